#include "Framework/ClassFactory.h"
#include "Framework/ComObject.h"
#include "Framework/ModuleLock.h"
#include "Shared/ActionPlugIn.h"
#include "tests/testplugin/TestPlugIns.h"
#include <string>

namespace {
enum class Behaviour { Recording, Faulting, Failing };

class TestPlugIn : public IImageStackActionPlugIn {
public:
    explicit TestPlugIn(Behaviour behaviour) : m_behaviour(behaviour) {}

    void* FindInterface(REFIID iid) noexcept
    {
        return iid == __uuidof(IImageStackActionPlugIn) || iid == IID_IDispatch
                   ? static_cast<IImageStackActionPlugIn*>(this)
                   : nullptr;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE Initialize(IUnknown* host, unsigned short langid, IUnknown* stream) override
    {
        m_calls += L"Initialize(" + std::wstring(host ? L"host" : L"null") + L"," + std::to_wstring(langid) + L"," +
                   std::wstring(stream ? L"stream" : L"null") + L")";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Terminate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCapabilities(tagLMFISAPCAPABILITIES* capabilities) override
    {
        m_calls += L" GetCapabilities";
        if (m_behaviour == Behaviour::Failing) return E_FAIL;
        *capabilities = LMF_ISAPCAPS_CONFIGURABLE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPreferredHotkey(LONG* hotkey) override
    {
        if (m_behaviour == Behaviour::Failing) return E_FAIL;
        *hotkey = m_calls.find(L"GetCapabilities") != std::wstring::npos ? 0x257 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* text) override { return Give(L"GetDisplayName", text); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* text) override
    {
        if (m_behaviour == Behaviour::Faulting) {
            volatile int* nowhere = nullptr;
            return HRESULT(*nowhere);
        }
        return Give(L"GetDescription", text);
    }
    HRESULT STDMETHODCALLTYPE GetAuthorInformation(BSTR* text) override { return Give(L"GetAuthorInformation", text); }
    HRESULT STDMETHODCALLTYPE GetVersionInformation(BSTR* text) override
    {
        return Give(L"GetVersionInformation", text);
    }
    HRESULT STDMETHODCALLTYPE Configure(HWND, IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Process(HWND, BSTR, BSTR, int, tagLMFISAPPOSTACTIONBEHAVIOR*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Cancel(LONG) override { return E_NOTIMPL; }

private:
    // Each getter answers the calls made so far, its own included.
    HRESULT Give(const wchar_t* name, BSTR* text)
    {
        m_calls += L" ";
        m_calls += name;
        if (m_behaviour == Behaviour::Failing) return E_FAIL;
        *text = SysAllocString(m_calls.c_str());
        return S_OK;
    }

    Behaviour m_behaviour;
    std::wstring m_calls;
};

template <Behaviour behaviour>
HRESULT Create(IUnknown* outer, REFIID iid, void** object)
{
    return ComObject<TestPlugIn>::Create(outer, iid, object, behaviour);
}

// The wallpaper library beside this one makes the object; this library's own code never runs in it.
HRESULT CreateForeign(IUnknown* outer, REFIID iid, void** object)
{
    wchar_t path[MAX_PATH * 2] = L"";
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&CreateForeign), &self);
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH * 2);
    std::wstring library(path, length);
    library = library.substr(0, library.find_last_of(L'\\') + 1) + L"Lumenfold.PlugIn.SetAsWallpaper.dll";
    HMODULE wallpaper = LoadLibraryW(library.c_str());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(wallpaper ? GetProcAddress(wallpaper, "DllGetClassObject") : nullptr));
    if (!getClassObject) return E_FAIL;
    static constexpr CLSID kWallpaper{0x2EFC8013, 0x587A, 0x492D, {0x9E, 0xFD, 0x30, 0x93, 0xB6, 0x87, 0x1E, 0xEA}};
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(kWallpaper, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(outer, iid, object);
    factory->Release();
    return hr;
}

const ServerClass kClasses[] = {
    {kForeignPlugInClsid, &CreateForeign},
    {kRecordingPlugInClsid, &Create<Behaviour::Recording>},
    {kFaultingPlugInClsid, &Create<Behaviour::Faulting>},
    {kFailingPlugInClsid, &Create<Behaviour::Failing>},
};
}  // namespace

STDAPI DllCanUnloadNow()
{
    return CanUnloadModule();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return GetServerClassObject(kClasses, clsid, iid, object);
}
