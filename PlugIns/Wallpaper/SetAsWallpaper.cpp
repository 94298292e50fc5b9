#include "PlugIns/Wallpaper/SetAsWallpaper.h"
#include "Framework/Bstr.h"
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Framework/ModulePath.h"
#include "PlugIns/Wallpaper/PlugInTexts.h"
#include "PlugIns/Wallpaper/WallpaperIds.h"
#include "PlugIns/Wallpaper/WallpaperSetter.h"
#include <shlwapi.h>
#include <string>

namespace {
// Every method reports any failure inside it as E_UNEXPECTED: nothing may leave a COM method.
template <class Operation>
HRESULT Guarded(Operation&& operation) noexcept
{
    try {
        return operation();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT GiveText(BSTR* out, const wchar_t* text) noexcept
{
    if (!out) return E_INVALIDARG;
    *out = SysAllocString(text);
    return *out ? S_OK : E_UNEXPECTED;
}

// The files of the stack that exist, in the order of the extension list (empty pieces skipped).
bool SetFirstUsableFile(const wchar_t* pathWithoutExtension, const wchar_t* extensions, LANGID language)
{
    const std::wstring_view list(extensions);
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(L';', start);
        if (end == std::wstring_view::npos) end = list.size();
        if (end > start) {
            const std::wstring path =
                std::wstring(pathWithoutExtension) + L"." + std::wstring(list.substr(start, end - start));
            if (PathFileExistsW(path.c_str()) && SetWallpaperFromFile(path.c_str(), language)) return true;
        }
        start = end + 1;
    }
    return false;
}
}  // namespace

CSetAsWallpaper::CSetAsWallpaper()
{
    // The type library is loaded once, when the object is made, so that the threads that call the
    // object only read it.
    m_typeInfoResult = CatchAsHResult([&] {
        const std::wstring module = ModulePathOfAddress(reinterpret_cast<const void*>(&TextsFor));
        ComPtr<ITypeLib> library;
        ThrowIfFailed(LoadTypeLibEx(module.c_str(), REGKIND_NONE, &library));
        return library->GetTypeInfoOfGuid(__uuidof(IImageStackActionPlugIn), &m_typeInfo);
    });
}

void* CSetAsWallpaper::FindInterface(REFIID iid) noexcept
{
    if (iid == __uuidof(IImageStackActionPlugIn) || iid == IID_IDispatch)
        return static_cast<IImageStackActionPlugIn*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT CSetAsWallpaper::TypeInfo(ITypeInfo** typeInfo) const noexcept
{
    if (FAILED(m_typeInfoResult)) return m_typeInfoResult;
    *typeInfo = m_typeInfo.Get();
    return S_OK;
}

HRESULT CSetAsWallpaper::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT CSetAsWallpaper::GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo)
{
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ITypeInfo* info = nullptr;
    const HRESULT hr = TypeInfo(&info);
    if (FAILED(hr)) return hr;
    info->AddRef();
    *typeInfo = info;
    return S_OK;
}

HRESULT CSetAsWallpaper::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = nullptr;
    const HRESULT hr = TypeInfo(&info);
    return FAILED(hr) ? hr : DispGetIDsOfNames(info, names, count, ids);
}

HRESULT CSetAsWallpaper::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                EXCEPINFO* exception, UINT* argumentError)
{
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = nullptr;
    const HRESULT hr = TypeInfo(&info);
    if (FAILED(hr)) return hr;
    return info->Invoke(static_cast<IImageStackActionPlugIn*>(this), id, flags, parameters, result, exception,
                        argumentError);
}

HRESULT CSetAsWallpaper::Initialize(IUnknown*, unsigned short langid, IUnknown*)
{
    m_language = langid;
    return S_OK;
}

HRESULT CSetAsWallpaper::Terminate()
{
    return S_OK;
}

HRESULT CSetAsWallpaper::GetCapabilities(tagLMFISAPCAPABILITIES* capabilities)
{
    if (!capabilities) return E_INVALIDARG;
    *capabilities = LMF_ISAPCAPS_NONE;
    return S_OK;
}

HRESULT CSetAsWallpaper::GetPreferredHotkey(LONG* hotkey)
{
    if (!hotkey) return E_INVALIDARG;
    *hotkey = kWallpaperHotkey;
    return S_OK;
}

HRESULT CSetAsWallpaper::GetDisplayName(BSTR* text)
{
    return GiveText(text, TextsFor(m_language).displayName);
}

HRESULT CSetAsWallpaper::GetDescription(BSTR* text)
{
    return GiveText(text, TextsFor(m_language).description);
}

HRESULT CSetAsWallpaper::GetAuthorInformation(BSTR* text)
{
    return GiveText(text, kWallpaperAuthor);
}

HRESULT CSetAsWallpaper::GetVersionInformation(BSTR* text)
{
    return GiveText(text, kWallpaperVersion);
}

HRESULT CSetAsWallpaper::Configure(HWND, IUnknown*)
{
    return E_NOTIMPL;
}

HRESULT CSetAsWallpaper::Process(HWND parent, BSTR pathWithoutExtension, BSTR extensions, int,
                                 tagLMFISAPPOSTACTIONBEHAVIOR* behaviour)
{
    // The behaviour is never written: the viewer's "do nothing" stands.
    if (!pathWithoutExtension || !extensions || !behaviour) return E_INVALIDARG;
    return Guarded([&] {
        const LANGID language = m_language;
        const PlugInTexts& texts = TextsFor(language);
        Bstr version;
        if (FAILED(GetVersionInformation(&version))) return E_UNEXPECTED;
        const std::wstring title = std::wstring(texts.confirmationTitle) + std::wstring(version.View());
        if (ShowMessageBox(parent, texts.confirmation, title.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return S_FALSE;
        return SetFirstUsableFile(pathWithoutExtension, extensions, language) ? S_OK : E_FAIL;
    });
}

HRESULT CSetAsWallpaper::Cancel(LONG)
{
    return E_NOTIMPL;
}

HRESULT CSetAsWallpaper::InterfaceSupportsErrorInfo(REFIID)
{
    return S_OK;
}
