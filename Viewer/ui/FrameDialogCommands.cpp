#include "Viewer/ui/FrameDialogCommands.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/dialogs/AboutDialog.h"
#include "Viewer/dialogs/HelpDialog.h"
#include "Viewer/dialogs/OptionsDialog.h"
#include "Viewer/ui/MainFrame.h"
#include "Viewer/ui/SkinImages.h"

namespace {
constexpr UINT kSortingChangedNotice = 10044;
constexpr UINT kNoticeTitle = 100;

// What the frame applies again when it changed in the options dialog.
struct FrameSettings {
    DWORD autoHideTaskbar = AppSettings::AutoHideTaskbar;
    DWORD copiedStampOverlay = AppSettings::EnableCopiedStampOverlay;
    DWORD memoryUsageGuide = AppSettings::MemoryUsageGuideNumber;
    DWORD sortByDateTime = AppSettings::SortByDateTime;
    DWORD multiFrameSupport = AppSettings::EnableMultiFrameSupport;
};

// A dark dialog of the frame, run modally once the cursor is visible; its result does not matter.
template <class Dialog>
void RunSkinnedDialog(CMainFrame& frame, double activityCode)
{
    LastActivityCode = activityCode;
    frame.ShowViewCursor();
    Dialog dialog(FrameSkinImageLoader());
    dialog.DoModal(frame.m_hWnd);
}
}

SkinImageLoader FrameSkinImageLoader()
{
    return [](UINT id) {
        return std::unique_ptr<Gdiplus::Bitmap>(
            LoadPngResource(MAKEINTRESOURCEW(id), SkinResourceType, GetResourceInstance(), true));
    };
}

LRESULT CFrameDialogCommands::OnOptions(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 235.0;
    m_frame.ShowViewCursor();
    const FrameSettings before;
    COptionsDialog dialog(OptionsServices{.loadSkinImage = FrameSkinImageLoader()});
    dialog.DoModal(m_frame.m_hWnd);
    const FrameSettings after;

    if (after.autoHideTaskbar != before.autoHideTaskbar)
        SendMessageW(m_frame.m_hWnd, WM_APP_APPLY_TASKBAR_LAYOUT, 0, 0);
    if (after.copiedStampOverlay != before.copiedStampOverlay && m_frame.View().IsWindow())
        InvalidateRect(m_frame.View().m_hWnd, nullptr, FALSE);
    if (!dialog.RestartNoticeShown() &&
        (after.sortByDateTime != before.sortByDateTime || after.multiFrameSupport != before.multiFrameSupport)) {
        ShowMessageBox(m_frame.m_hWnd, LoadUiString(kSortingChangedNotice).c_str(), LoadUiString(kNoticeTitle).c_str(),
                       MB_ICONASTERISK);
    }
    if (after.memoryUsageGuide != before.memoryUsageGuide) {
        m_frame.Engine().ComputeCacheSize(true);
        // Only a lowered guide gives memory back to the system at once.
        if (after.memoryUsageGuide < before.memoryUsageGuide)
            SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    }
    if (CImageEntry* entry = m_frame.Engine().GetCurrentEntry()) m_frame.Caption().SetTitleForEntry(entry, false, false);
    // The panels paint with settings the dialog may have changed (the histogram's compression and
    // normalisation among them).
    LastActivityCode = 235.2;
    m_frame.View().Histogram().RefreshImageInfo();
    LastActivityCode = 235.3;
    m_frame.View().ShootingData().RefreshImageInfo();
    LastActivityCode = 235.99;
    return 0;
}

LRESULT CFrameDialogCommands::OnHelp(WORD, WORD, HWND, BOOL&)
{
    RunSkinnedDialog<CHelpDialog>(m_frame, 237.0);
    return 0;
}

LRESULT CFrameDialogCommands::OnAbout(WORD, WORD, HWND, BOOL&)
{
    RunSkinnedDialog<CAboutDialog>(m_frame, 238.0);
    return 0;
}
