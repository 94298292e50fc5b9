#include "tests/imaging/ColourCallFactory.h"
#include "Viewer/imaging/ColourManagement.h"

namespace {
IWICColorContext* RealContext(IWICColorContext* context)
{
    return context ? static_cast<ColourCallContext*>(context)->Real() : nullptr;
}

std::wstring Origin(IWICColorContext* context)
{
    return context ? static_cast<ColourCallContext*>(context)->origin : L"(none)";
}
}

HRESULT ColourCallContext::InitializeFromFilename(LPCWSTR name)
{
    origin = std::wstring(L"file:") + name;
    return m_real->InitializeFromFilename(name);
}

HRESULT ColourCallContext::InitializeFromMemory(const BYTE* bytes, UINT size)
{
    HRESULT hr = m_real->InitializeFromMemory(bytes, size);
    Bstr description = GetColorContextDescription(m_real.Get());
    origin = L"memory:" + std::wstring(description.Get() ? description.View() : std::to_wstring(size));
    return hr;
}

HRESULT ColourCallContext::InitializeFromExifColorSpace(UINT value)
{
    origin = L"exif:" + std::to_wstring(value);
    return m_real->InitializeFromExifColorSpace(value);
}

HRESULT ColourCallTransformer::Initialize(IWICBitmapSource* source, IWICColorContext* from, IWICColorContext* to,
                                         REFWICPixelFormatGUID format)
{
    m_factory.transforms.push_back({Origin(from), Origin(to), format, source});
    if (!m_factory.transformResults.empty()) {
        HRESULT hr = m_factory.transformResults.front();
        m_factory.transformResults.pop_front();
        if (FAILED(hr)) return hr;
    }
    return m_real->Initialize(source, RealContext(from), RealContext(to), format);
}

HRESULT ColourCallFactory::CreateColorContext(IWICColorContext** context)
{
    ComPtr<IWICColorContext> real;
    HRESULT hr = m_real->CreateColorContext(&real);
    if (FAILED(hr)) return hr;
    *context = new ColourCallContext(real.Get());
    return S_OK;
}

HRESULT ColourCallFactory::CreateColorTransformer(IWICColorTransform** transformer)
{
    ComPtr<IWICColorTransform> real;
    HRESULT hr = m_real->CreateColorTransformer(&real);
    if (FAILED(hr)) return hr;
    *transformer = new ColourCallTransformer(*this, real.Get());
    return S_OK;
}
