#include "ShellIntegration/AutoPlayHandler.h"
#include "Framework/ComErrorInfo.h"
#include "Framework/HResultError.h"
#include "ShellIntegration/DroppedFiles.h"
#include "ShellIntegration/LaunchViewer.h"
#include <shlwapi.h>
#include <cwchar>

namespace {
constexpr UINT kFolderChars = 780;

// The shortest parent folder among the dropped items; the earlier item on equal lengths; empty when
// the data holds no file list.
void ChooseFolder(IDataObject* data, wchar_t (&chosen)[kFolderChars])
{
    const DroppedFiles files(data);
    wchar_t parent[MAX_PATH];
    for (UINT index = 0; files.Path(index, parent, MAX_PATH) != 0; ++index) {
        PathRemoveFileSpecW(parent);
        if (!chosen[0] || wcslen(parent) < wcslen(chosen)) lstrcpynW(chosen, parent, kFolderChars);
    }
}

// Whatever is dragged over the handler would be copied; the shell may leave out the effect.
HRESULT OfferCopy(DWORD* effect)
{
    if (effect) *effect = DROPEFFECT_COPY;
    return S_OK;
}
}

HRESULT CAutoPlayHandler::DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect)
{
    return OfferCopy(effect);
}

HRESULT CAutoPlayHandler::DragOver(DWORD, POINTL, DWORD* effect)
{
    return OfferCopy(effect);
}

HRESULT CAutoPlayHandler::DragLeave()
{
    return S_OK;
}

HRESULT CAutoPlayHandler::Drop(IDataObject* data, DWORD, POINTL, DWORD*)
{
    wchar_t folder[kFolderChars]{};
    ChooseFolder(data, folder);
    return ReportComError(CatchAsHResult([&] { return LaunchViewer(folder, LaunchSource::AutoPlay); }), IID_IDropTarget,
                          L"Brenholt.Lumenfold.AutoPlayHandler.1");
}

HRESULT CAutoPlayHandler::InterfaceSupportsErrorInfo(REFIID iid)
{
    return iid == IID_IDropTarget ? S_OK : S_FALSE;
}

void* CAutoPlayHandler::FindInterface(REFIID iid) noexcept
{
    if (iid == IID_IDropTarget) return static_cast<IDropTarget*>(this);
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}
