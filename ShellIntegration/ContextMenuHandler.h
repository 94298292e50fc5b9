#pragma once
// The verb "Browse with Lumenfold..." on the context menu of a folder or a drive, which hands the
// selected folder to the viewer.
#include <windows.h>
#include <oaidl.h>
#include <shlobj.h>

class CContextMenuHandler : public IShellExtInit, public IContextMenu, public ISupportErrorInfo {
public:
    // IShellExtInit: keeps the path of the one selected item.
    HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progId) override;

    // IContextMenu
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast,
                                               UINT flags) override;
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR idCmd, UINT type, UINT* reserved, CHAR* name,
                                               UINT nameChars) override;

    // ISupportErrorInfo: failures of both interfaces leave COM error information.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

protected:
    void* FindInterface(REFIID iid) noexcept;

private:
    HRESULT KeepSelection(IDataObject* data) noexcept;

    wchar_t m_path[MAX_PATH]{};
};
