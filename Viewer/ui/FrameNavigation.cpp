#include "Viewer/ui/FrameNavigation.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/ui/MainFrame.h"

namespace {
constexpr DWORD kDecodeWaitMs = 60000;
constexpr DWORD kPrefetchRefreshMs = 5000;
// Variants of the next command (its lParam).
constexpr LPARAM kFirstShow = -1;
constexpr LPARAM kByPendingName = -2;
constexpr LPARAM kSlideshowStep = -3;
}

CFrameNavigation::CFrameNavigation(CMainFrame& frame)
    : m_frame(frame), m_ignoreNextClickMessage(RegisterWindowMessageW(L"WM_IGNORE_NEXT_CLICK"))
{
}

HRESULT CFrameNavigation::ShowEntry(CImageEntry* entry, bool abortable)
{
    const HRESULT hr = WaitForDecode(*entry, !abortable, true, kDecodeWaitMs, m_frame.m_hWnd);
    CImageView& view = m_frame.View();
    if (FAILED(hr)) {
        view.ShowPlaceholderImage();
    } else if (hr == S_OK) {
        {
            // Read and handed over under the view's lock: a release of the entry's picture on another
            // thread either comes first (and nothing is shown) or clears the view's slot after.
            CriticalSectionScope lock(ViewLock);
            view.SetImage(static_cast<int>(entry->GetWidth()), static_cast<int>(entry->GetHeight()),
                          entry->GetSurface(), entry->GetBitmap(), static_cast<int>(entry->GetState()),
                          entry->GetInfo(), entry->GetCopiedFlag(), entry->GetMarkedFlag(), false, nullptr);
        }
        RecordForTest(L"shown", entry->GetBasePath());
    }
    return hr;
}

void CFrameNavigation::ShowMoved(CImageEntry* entry, bool armBarHide)
{
    if (ShowEntry(entry, true) == S_OK && armBarHide) {
        LastActivityCode = 242.0;
        m_frame.ArmBarAutoHide(CMainFrame::kBarHideAfterKeyMs);
    }
}

void CFrameNavigation::BeepOnFailure() const
{
    LastActivityCode = 131.0;
    if (AppSettings::EnableMessageBeep) PlayMessageBeep(MB_ICONEXCLAMATION);
}

bool CFrameNavigation::TakeIgnoreNextClick()
{
    if (!m_ignoreNextClick) return false;
    m_ignoreNextClick = false;
    return true;
}

void CFrameNavigation::GoToEntry(CImageEntry* entry)
{
    LastActivityCode = 222.0;
    if (entry && m_frame.Engine().GoToEntry(entry)) ShowEntry(entry, true);
    if (m_frame.View().IsWindow()) SetFocus(m_frame.View().m_hWnd);
}

void CFrameNavigation::GoToPositionAndShow(uint32_t position)
{
    LastActivityCode = 221.0;
    if (CImageEntry* entry = m_frame.Engine().GoToPosition(position)) ShowEntry(entry, true);
    if (m_frame.View().IsWindow()) SetFocus(m_frame.View().m_hWnd);
}

LRESULT CFrameNavigation::OnIgnoreNextClick(BOOL& handled)
{
    m_ignoreNextClick = true;
    handled = FALSE;
    return 0;
}

LRESULT CFrameNavigation::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    LastActivityCode = 267.0;
    const short delta = static_cast<short>(HIWORD(wParam));
    if (delta >= 0) {
        BOOL handled = TRUE;
        return OnGoPrevious(CMainFrame::kFromKeyboard, ID_NAV_PREVIOUS, nullptr, handled);
    }
    if (TakeIgnoreNextClick()) return 0;
    m_frame.Modes().StopSlideshow();
    if (CImageEntry* entry = m_frame.Engine().GoNext(1)) ShowMoved(entry, true);
    return 0;
}

// The list thread tells of each listed file: the first one is shown after a moment (so that a
// folder's first files arrive together), later ones refresh the window of decoded neighbours.
LRESULT CFrameNavigation::OnFileAdded(UINT, WPARAM count, LPARAM delay, BOOL&)
{
    LastActivityCode = 254.0;
    const DWORD now = GetTickCount();
    if (count != 0) {
        if (now - m_lastFileAddedTick >= kPrefetchRefreshMs) {
            m_lastFileAddedTick = now;
            m_frame.Engine().UpdatePrefetchWindow(false);
        }
        return 0;
    }
    if (delay > 0) Sleep(static_cast<DWORD>(delay));
    PostMessageW(m_frame.m_hWnd, WM_COMMAND, ID_NAV_NEXT, kFirstShow);
    m_lastFileAddedTick = now;
    return 0;
}

LRESULT CFrameNavigation::OnGoToEntryMessage(UINT, WPARAM entry, LPARAM, BOOL&)
{
    GoToEntry(reinterpret_cast<CImageEntry*>(entry));
    return 0;
}

LRESULT CFrameNavigation::OnRefreshIfCurrent(UINT, WPARAM entry, LPARAM, BOOL&)
{
    CImageEntry* current = m_frame.Engine().GetCurrentEntry(true);
    if (current && (entry == 0 || reinterpret_cast<CImageEntry*>(entry) == current)) GoToEntry(current);
    return 0;
}

LRESULT CFrameNavigation::OnGoPrevious(WORD code, WORD, HWND, BOOL&)
{
    LastActivityCode = 209.0;
    if (TakeIgnoreNextClick()) return 0;
    m_frame.Modes().StopSlideshow();
    if (CImageEntry* entry = m_frame.Engine().GoPrevious(1)) ShowMoved(entry, code == CMainFrame::kFromKeyboard);
    return 0;
}

LRESULT CFrameNavigation::OnGoNext(WORD code, WORD, HWND control, BOOL&)
{
    LastActivityCode = 214.0;
    if (TakeIgnoreNextClick()) return 0;
    GoNext(reinterpret_cast<LPARAM>(control), code == CMainFrame::kFromKeyboard);
    return 0;
}

void CFrameNavigation::GoNext(LPARAM variant, bool fromKeyboard)
{
    CImageEngine& engine = m_frame.Engine();
    CImageEntry* entry = nullptr;
    switch (variant) {
    case kFirstShow:
        // The file named when the folder was opened is shown rather than the one after it.
        entry = engine.GoToTargetName(0, false);
        if (!entry) entry = engine.GoNext(1);
        if (entry) ShowMoved(entry, true);
        return;
    case kByPendingName:
        m_frame.Modes().StopSlideshow();
        entry = engine.GoToTargetName(0, true);
        break;
    case kSlideshowStep:
        entry = engine.GoNext(1, true);
        if (!entry) {
            m_frame.Modes().StopSlideshow();
            return;
        }
        ShowEntry(entry, true);
        if (m_frame.Modes().IsSlideshowRunning()) m_frame.Modes().ArmSlideshowStep();
        return;
    default:
        m_frame.Modes().StopSlideshow();
        entry = engine.GoNext(1);
        break;
    }
    if (entry) ShowMoved(entry, fromKeyboard);
}

LRESULT CFrameNavigation::OnGoNextOrStopSlideshow(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 212.0;
    if (m_frame.Modes().IsSlideshowRunning()) {
        m_frame.ShowViewCursor();
        m_frame.Modes().StopSlideshow();
        return 0;
    }
    if (TakeIgnoreNextClick()) return 0;
    LastActivityCode = 214.0;
    if (CImageEntry* entry = m_frame.Engine().GoNext(1)) ShowMoved(entry, true);
    return 0;
}

LRESULT CFrameNavigation::OnGoPreviousFile(WORD code, WORD id, HWND control, BOOL& handled)
{
    LastActivityCode = 208.0;
    CImageEntry* current = m_frame.Engine().GetCurrentEntry(true);
    if (!current) return 0;
    if (current->GetPageCount() < 2) return OnGoPrevious(code, id, control, handled);
    m_frame.Modes().StopSlideshow();
    if (CImageEntry* entry = m_frame.Engine().GoPrevious(current->GetPageIndex() + 1u))
        ShowMoved(entry, code == CMainFrame::kFromKeyboard);
    return 0;
}

LRESULT CFrameNavigation::OnGoNextFile(WORD code, WORD id, HWND control, BOOL& handled)
{
    LastActivityCode = 213.0;
    CImageEntry* current = m_frame.Engine().GetCurrentEntry(true);
    if (!current) return 0;
    if (current->GetPageCount() < 2) return OnGoNext(code, id, control, handled);
    m_frame.Modes().StopSlideshow();
    const uint32_t steps = static_cast<uint32_t>(current->GetPageCount() - current->GetPageIndex());
    if (CImageEntry* entry = m_frame.Engine().GoNext(steps))
        ShowMoved(entry, code == CMainFrame::kFromKeyboard || reinterpret_cast<LPARAM>(control) == kFirstShow);
    return 0;
}

LRESULT CFrameNavigation::OnJump(WORD code, WORD command, HWND, BOOL&)
{
    // Sorted by date the list is not grouped by folder: a folder's ends are the list's.
    if (AppSettings::SortByDateTime != 0) {
        if (command == ID_GO_FOLDER_START) command = ID_NAV_FIRST;
        if (command == ID_GO_FOLDER_END) command = ID_NAV_LAST;
    }
    CImageEngine& engine = m_frame.Engine();
    m_frame.Modes().StopSlideshow();
    CImageEntry* before = engine.GetCurrentEntry(true);
    CImageEntry* after = nullptr;
    switch (command) {
    case ID_NAV_FIRST: LastActivityCode = 210.0; after = engine.GoFirst(); break;
    case ID_NAV_LAST: LastActivityCode = 211.0; after = engine.GoLast(); break;
    case ID_GO_FOLDER_START: LastActivityCode = 215.0; after = engine.GoToFolderStart(); break;
    case ID_GO_FOLDER_END: LastActivityCode = 216.0; after = engine.GoToFolderEnd(); break;
    case ID_GO_NEXT_FOLDER: LastActivityCode = 217.0; after = engine.GoNextFolder(); break;
    case ID_GO_PREVIOUS_FOLDER: LastActivityCode = 218.0; after = engine.GoPreviousFolder(); break;
    default: break;
    }
    if (before && after && after != before)
        ShowMoved(after, code == CMainFrame::kFromKeyboard);
    else
        BeepOnFailure();
    return 0;
}

LRESULT CFrameNavigation::OnStepTen(WORD code, WORD command, HWND, BOOL&)
{
    constexpr uint32_t kSteps = 10;
    const bool forward = command == ID_FORWARD_10;
    LastActivityCode = forward ? 220.0 : 219.0;
    m_frame.Modes().StopSlideshow();
    CImageEngine& engine = m_frame.Engine();
    if (CImageEntry* entry = forward ? engine.GoNext(kSteps) : engine.GoPrevious(kSteps))
        ShowMoved(entry, code == CMainFrame::kFromKeyboard);
    return 0;
}

LRESULT CFrameNavigation::OnToggleActualSize(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 223.0;
    m_frame.ArmBarAutoHide(CMainFrame::kBarHideAfterKeyMs);
    CImageView& view = m_frame.View();
    view.SetActualSize(!view.IsActualSize());
    view.UpdateCursor();
    if (view.IsWindow()) InvalidateRect(view.m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CFrameNavigation::OnGoQuickSlot(WORD, WORD command, HWND, BOOL&)
{
    LastActivityCode = 284.0;
    CQuickSlots& slots = m_frame.Engine().QuickSlots();
    EntryRef entry;
    {
        CriticalSectionScope lock(slots.Lock());
        entry = EntryRef(slots.EntryAt(command - ID_GO_QUICK_SLOT_0));
    }
    if (entry)
        GoToEntry(entry.Get());
    else
        PlayMessageBeep(MB_ICONEXCLAMATION);
    return 0;
}

LRESULT CFrameNavigation::OnReloadCurrent(WORD, WORD, HWND, BOOL&)
{
    CImageEntry* current = m_frame.Engine().GetCurrentEntry(true);
    if (!current) {
        PlayMessageBeep(MB_ICONHAND);
        return 0;
    }
    current->ReleaseDecodedImage();
    GoToEntry(current);
    return 0;
}
