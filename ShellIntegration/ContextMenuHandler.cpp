#include "ShellIntegration/ContextMenuHandler.h"
#include "Framework/ComErrorInfo.h"
#include "Framework/HResultError.h"
#include "ShellIntegration/DroppedFiles.h"
#include "ShellIntegration/LaunchViewer.h"

namespace {
constexpr wchar_t kVerbText[] = L"Browse with Lumenfold...";
constexpr wchar_t kHelpText[] = L"Launch Lumenfold to quickly browse this folder or drive.";

HRESULT Reported(HRESULT hr, REFIID iid) noexcept
{
    return ReportComError(hr, iid, L"Brenholt.Lumenfold.ContextMenuHandler.1");
}
}

HRESULT CContextMenuHandler::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY)
{
    return Reported(KeepSelection(data), IID_IShellExtInit);
}

HRESULT CContextMenuHandler::KeepSelection(IDataObject* data) noexcept
{
    const DroppedFiles files(data);
    if (files.Failed() || files.Count() != 1) return E_INVALIDARG;
    files.Path(0, m_path, MAX_PATH);
    return m_path[0] ? S_OK : E_INVALIDARG;
}

HRESULT CContextMenuHandler::QueryContextMenu(HMENU menu, UINT, UINT idCmdFirst, UINT, UINT flags)
{
    if (flags & (CMF_DEFAULTONLY | CMF_VERBSONLY)) return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    // The verb always stands first, wherever the shell would put it.
    if (!InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, idCmdFirst, kVerbText))
        return Reported(HResultFromLastError(), IID_IContextMenu);
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
}

HRESULT CContextMenuHandler::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    // Only the offset of the one verb, 0: a string verb or another offset is not ours.
    if (!info || info->lpVerb) return Reported(E_INVALIDARG, IID_IContextMenu);
    return Reported(CatchAsHResult([&] { return LaunchViewer(m_path, LaunchSource::ContextMenu); }), IID_IContextMenu);
}

HRESULT CContextMenuHandler::GetCommandString(UINT_PTR idCmd, UINT type, UINT*, CHAR* name, UINT nameChars)
{
    if (idCmd != 0) return Reported(E_INVALIDARG, IID_IContextMenu);
    // Only the wide help text: no verb names, no ANSI texts, no validation answers.
    if (type != GCS_HELPTEXTW) return Reported(E_FAIL, IID_IContextMenu);
    if (!name) return Reported(E_INVALIDARG, IID_IContextMenu);
    lstrcpynW(reinterpret_cast<wchar_t*>(name), kHelpText, static_cast<int>(nameChars));
    return S_OK;
}

HRESULT CContextMenuHandler::InterfaceSupportsErrorInfo(REFIID iid)
{
    return iid == IID_IShellExtInit || iid == IID_IContextMenu ? S_OK : S_FALSE;
}

void* CContextMenuHandler::FindInterface(REFIID iid) noexcept
{
    if (iid == IID_IShellExtInit) return static_cast<IShellExtInit*>(this);
    if (iid == IID_IContextMenu) return static_cast<IContextMenu*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}
