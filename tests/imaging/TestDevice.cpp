#include "tests/imaging/TestDevice.h"

TestDevice::~TestDevice()
{
    m_display = {};
    m_device.Release();
    m_direct3D.Release();
    if (m_window) DestroyWindow(m_window);
}

HRESULT TestDevice::Create()
{
    m_window = CreateWindowExW(0, L"STATIC", L"decode", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                               nullptr, nullptr);
    if (!m_window) return HRESULT_FROM_WIN32(GetLastError());
    m_direct3D = ComPtr<IDirect3D9>::Attach(Direct3DCreate9(D3D_SDK_VERSION));
    if (!m_direct3D) return E_FAIL;
    D3DDISPLAYMODE mode = {};
    HRESULT hr = m_direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    if (FAILED(hr)) return hr;
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.Windowed = TRUE;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = m_window;
    hr = m_direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                                  D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &parameters,
                                  &m_device);
    if (FAILED(hr)) return hr;
    m_display.device = m_device.Get();
    m_display.surfaceFormat = mode.Format;
    return S_OK;
}
