#include "Viewer/engine/TetheredHandler.h"
#include "Framework/ClassFactory.h"
#include "Framework/ComObject.h"
#include "Framework/ComPtr.h"

namespace {
constexpr auto ClassesRoot = RegistryHive::ClassesRoot;
constexpr auto LocalMachine = RegistryHive::LocalMachine;
constexpr auto DeleteKey = OnRemoval::DeleteKey;
constexpr auto DeleteValues = OnRemoval::DeleteValues;

constexpr wchar_t kTetheredText[] = L"Lumenfold's Tethered Shooting Handler";
constexpr wchar_t kHandlerName[] = L"Brenholt.Lumenfold.ShootTethered";

const ServerClass kTetheredClasses[] = {{CLSID_TetheredHandler, &ComObject<CTetheredHandler>::Create<>}};
}

HRESULT CTetheredHandler::Initialize(LPCWSTR)
{
    return S_OK;
}

HRESULT CTetheredHandler::HandleEvent(LPCWSTR, LPCWSTR, LPCWSTR)
{
    return S_OK;
}

HRESULT CTetheredHandler::HandleEventWithContent(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, IDataObject*)
{
    return S_OK;
}

void* CTetheredHandler::FindInterface(REFIID iid) noexcept
{
    return iid == IID_IHWEventHandler ? static_cast<IHWEventHandler*>(this) : nullptr;
}

std::vector<RegistryEntry> TetheredHandlerRegistryScript()
{
    return {
        {ClassesRoot, L"Brenholt.Lumenfold.TetheredHandler", {{nullptr, kTetheredText}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.TetheredHandler\\CLSID", {{nullptr, kTetheredHandlerClsid}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.TetheredHandler\\CurVer", {{nullptr, kTetheredHandlerProgId}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.TetheredHandler.1", {{nullptr, kTetheredText}}, DeleteKey},
        {ClassesRoot, L"Brenholt.Lumenfold.TetheredHandler.1\\CLSID", {{nullptr, kTetheredHandlerClsid}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{D8A6AFCA-98F9-4E87-9898-41D4F248B135}", {{nullptr, kTetheredText}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{D8A6AFCA-98F9-4E87-9898-41D4F248B135}\\ProgID", {{nullptr, kTetheredHandlerProgId}},
         DeleteKey},
        {ClassesRoot, L"CLSID\\{D8A6AFCA-98F9-4E87-9898-41D4F248B135}\\VersionIndependentProgID",
         {{nullptr, kTetheredHandlerIndependentProgId}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{D8A6AFCA-98F9-4E87-9898-41D4F248B135}\\LocalServer32", {{nullptr, L"\"%MODULE%\""}},
         DeleteKey},
        {LocalMachine, kTetheredAutoPlayHandlerKey,
         {{L"Provider", L"Lumenfold"},
          {L"Action", L"Shoot tethered"},
          {L"DefaultIcon", L"%MODULE%"},
          {L"ProgID", kTetheredHandlerProgId},
          {L"InitCmdLine", L""}},
         DeleteKey},
        {LocalMachine, kTetheredAutoPlayEventKey, {{kHandlerName, L""}}, DeleteValues},
    };
}

HRESULT RegisterTetheredHandler(const RegistryRoots& roots, const std::wstring& programPath) noexcept
{
    return CatchAsHResult([&] {
        const Registrar registrar(TetheredHandlerRegistryScript(), {{L"%MODULE%", programPath}});
        const HRESULT hr = registrar.Register(roots);
        // Half a registration would offer AutoPlay a handler that cannot start.
        if (FAILED(hr)) registrar.Unregister(roots);
        return hr;
    });
}

HRESULT UnregisterTetheredHandler(const RegistryRoots& roots) noexcept
{
    return CatchAsHResult([&] { return Registrar(TetheredHandlerRegistryScript(), {}).Unregister(roots); });
}

HRESULT TetheredHandlerClassObject::Register() noexcept
{
    if (m_cookie) return S_FALSE;
    ComPtr<IClassFactory> factory;
    HRESULT hr = GetServerClassObject(kTetheredClasses, CLSID_TetheredHandler, IID_IClassFactory,
                                      factory.AsVoid());
    if (SUCCEEDED(hr))
        hr = CoRegisterClassObject(CLSID_TetheredHandler, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                   &m_cookie);
    return hr;
}

void TetheredHandlerClassObject::Revoke() noexcept
{
    if (m_cookie) CoRevokeClassObject(std::exchange(m_cookie, 0));
}
