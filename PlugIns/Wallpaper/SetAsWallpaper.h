#pragma once
// The wallpaper action plug-in: after the user confirms, the viewer's current picture becomes the
// desktop wallpaper. Created once by the viewer and called from several threads of the
// multithreaded apartment; its only state is the language, written by Initialize.
#include "Framework/ComPtr.h"
#include "Shared/ActionPlugIn.h"
#include <atomic>

class CSetAsWallpaper : public IImageStackActionPlugIn, public ISupportErrorInfo {
public:
    CSetAsWallpaper();

    void* FindInterface(REFIID iid) noexcept;

    // IDispatch, answered from the type library embedded in the module that holds this code.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    HRESULT STDMETHODCALLTYPE Initialize(IUnknown* host, unsigned short langid, IUnknown* stream) override;
    HRESULT STDMETHODCALLTYPE Terminate() override;
    HRESULT STDMETHODCALLTYPE GetCapabilities(tagLMFISAPCAPABILITIES* capabilities) override;
    HRESULT STDMETHODCALLTYPE GetPreferredHotkey(LONG* hotkey) override;
    HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetAuthorInformation(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE GetVersionInformation(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Configure(HWND parent, IUnknown* stream) override;
    HRESULT STDMETHODCALLTYPE Process(HWND parent, BSTR pathWithoutExtension, BSTR extensions, int keyPressed,
                                      tagLMFISAPPOSTACTIONBEHAVIOR* behaviour) override;
    HRESULT STDMETHODCALLTYPE Cancel(LONG abruptly) override;

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    HRESULT TypeInfo(ITypeInfo** typeInfo) const noexcept;

    std::atomic<LANGID> m_language{0};
    ComPtr<ITypeInfo> m_typeInfo;
    HRESULT m_typeInfoResult = E_UNEXPECTED;
};

// Ctrl+W in the layout of the hot-key control.
inline constexpr LONG kWallpaperHotkey = 0x257;
