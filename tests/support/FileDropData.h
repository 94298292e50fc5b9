#pragma once
// A data object as the shell hands it to its extensions: a list of files as CF_HDROP (DROPFILES with
// wide names, in global memory, a new copy for every GetData), or no file list at all.
#include "Framework/ComPtr.h"
#include <objidl.h>
#include <optional>
#include <string>
#include <vector>

class FileDropData : public IDataObject {
public:
    explicit FileDropData(std::optional<std::vector<std::wstring>> files) : m_files(std::move(files)) {}

    static ComPtr<IDataObject> Create(std::vector<std::wstring> files);
    static ComPtr<IDataObject> CreateWithoutFileList();

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

protected:
    void* FindInterface(REFIID iid) noexcept;

private:
    std::optional<std::vector<std::wstring>> m_files;
};
