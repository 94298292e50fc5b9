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

const ServerClass kClasses[] = {
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
