#include "tests/support/FileDropData.h"
#include "Framework/ComObject.h"
#include <shlobj.h>
#include <cstring>

namespace {
ComPtr<IDataObject> CreateData(std::optional<std::vector<std::wstring>> files)
{
    ComPtr<IDataObject> data;
    ComObject<FileDropData>::Create(nullptr, IID_IDataObject, data.AsVoid(), std::move(files));
    return data;
}
}

ComPtr<IDataObject> FileDropData::Create(std::vector<std::wstring> files)
{
    return CreateData(std::move(files));
}

ComPtr<IDataObject> FileDropData::CreateWithoutFileList()
{
    return CreateData(std::nullopt);
}

HRESULT FileDropData::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium) return E_POINTER;
    if (const HRESULT hr = QueryGetData(format); hr != S_OK) return hr;
    // The names one after another, each terminated, and one more terminator after the last.
    std::wstring names;
    for (const std::wstring& file : *m_files) names += file + L'\0';
    names += L'\0';
    const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    if (!memory) return E_OUTOFMEMORY;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT FileDropData::QueryGetData(FORMATETC* format)
{
    if (!format) return E_POINTER;
    if (!m_files || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    return S_OK;
}

HRESULT FileDropData::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT FileDropData::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*)
{
    return E_NOTIMPL;
}

HRESULT FileDropData::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT FileDropData::EnumFormatEtc(DWORD, IEnumFORMATETC**)
{
    return E_NOTIMPL;
}

HRESULT FileDropData::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT FileDropData::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT FileDropData::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

void* FileDropData::FindInterface(REFIID iid) noexcept
{
    return iid == IID_IDataObject ? static_cast<IDataObject*>(this) : nullptr;
}
