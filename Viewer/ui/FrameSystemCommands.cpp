#include "Viewer/ui/FrameSystemCommands.h"
#include "Framework/ComPtr.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/ui/MainFrame.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/ui/SkinImages.h"
#include <dbt.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <cwctype>

namespace {
// The wheel's own message, so that a key that steps like the wheel takes exactly its road.
LRESULT StepLikeTheWheel(HWND frame, bool forward)
{
    const short delta = forward ? -WHEEL_DELTA : WHEEL_DELTA;
    return SendMessageW(frame, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
}
}

HGLOBAL MakeFileDropBlock(const std::vector<std::wstring>& paths)
{
    size_t characters = 1;
    for (const std::wstring& path : paths) characters += path.size() + 1;
    const size_t size = sizeof(DROPFILES) + characters * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    if (!header) {
        GlobalFree(block);
        return nullptr;
    }
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        path.copy(names, path.size());
        names += path.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

bool IsImageFolderOnVolume(const std::wstring& folder, DWORD unitMask)
{
    LastActivityCode = 272.0;
    if (folder.empty()) return false;
    const wchar_t drive = static_cast<wchar_t>(std::towlower(folder.front()));
    LastActivityCode = 273.0;
    if (drive < L'a' || drive > L'z') return false;
    return (unitMask >> (drive - L'a')) & 1u;
}

void CFrameSystemCommands::ShowEmptyViewScreen(bool skipStatus)
{
    LastActivityCode = 253.0;
    constexpr UINT kLogoPng = 225;
    constexpr UINT kHardwareTextString = 10049;
    constexpr UINT kSoftwareTextString = 10051;
    constexpr UINT kBarHintString = 10050;
    std::unique_ptr<Gdiplus::Bitmap> logo(LoadPngResource(MAKEINTRESOURCEW(kLogoPng), L"PNG", GetResourceInstance(), true));
    const bool device = static_cast<bool>(RenderDevice.Device);
    std::wstring text = LoadUiString(device ? kHardwareTextString : kSoftwareTextString);
    text += AppSettings::AutoHideTaskbar ? L", " + LoadUiString(kBarHintString) : L".";
    const int width = logo ? static_cast<int>(logo->GetWidth()) : 0;
    const int height = logo ? static_cast<int>(logo->GetHeight()) : 0;
    ComPtr<IDirect3DSurface9> surface;
    if (logo && device) surface = ComPtr<IDirect3DSurface9>::Attach(ImageToSurface(logo.get(), D3DPOOL_DEFAULT));
    m_frame.View().SetImage(width, height, surface.Get(), device ? nullptr : logo.release(), 0, nullptr, nullptr,
                            nullptr, true, text.c_str());
    m_frame.View().ClearPanelsImageInfo();
    LastActivityCode = 253.6;
    m_frame.Caption().SetTitleForEntry(nullptr, false, skipStatus);
    LastActivityCode = 253.7;
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    LastActivityCode = 253.99;
}

void CFrameSystemCommands::CopyToClipboard()
{
    LastActivityCode = 257.0;
    CImageEntry* entry = m_frame.Engine().GetCurrentEntry();
    if (!entry || !OpenClipboard(m_frame.m_hWnd)) return;
    EmptyClipboard();
    if (HGLOBAL block = MakeFileDropBlock(EntryFilesWithSidecar(*entry))) {
        // The clipboard owns the block once it took it.
        if (!SetClipboardData(CF_HDROP, block)) GlobalFree(block);
    }
    CloseClipboard();
    LastActivityCode = 257.99;
}

LRESULT CFrameSystemCommands::OnEditCopy(WORD, WORD, HWND, BOOL&)
{
    CopyToClipboard();
    return 0;
}

LRESULT CFrameSystemCommands::OnAppCommand(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    LastActivityCode = 269.0;
    HWND frame = m_frame.m_hWnd;
    switch (GET_APPCOMMAND_LPARAM(lParam) & 0x0FFF) {
    case APPCOMMAND_BROWSER_BACKWARD:
    case APPCOMMAND_MEDIA_PREVIOUSTRACK:
        return StepLikeTheWheel(frame, false);
    case APPCOMMAND_BROWSER_FORWARD:
    case APPCOMMAND_MEDIA_NEXTTRACK:
        return StepLikeTheWheel(frame, true);
    case APPCOMMAND_NEW:
        return SendMessageW(frame, WM_COMMAND, ID_CHOOSE_KEEP_COPY_FOLDER, 0);
    case APPCOMMAND_OPEN:
        return SendMessageW(frame, WM_COMMAND, ID_BROWSE_FOLDER, 0);
    case APPCOMMAND_SAVE:
        return SendMessageW(frame, WM_COMMAND, ID_KEEP_COPY, 0);
    case APPCOMMAND_COPY:
        CopyToClipboard();
        return 0;
    default:
        return 0;
    }
}

// Nothing of the device or the list survives a suspend: the view shows the empty screen until the
// resume puts the current picture back.
LRESULT CFrameSystemCommands::OnPowerBroadcast(UINT, WPARAM event, LPARAM lParam, BOOL&)
{
    LastActivityCode = 256.0;
    CImageEngine& engine = m_frame.Engine();
    const bool suspending = event == PBT_APMSUSPEND || event == PBT_APMSTANDBY;
    if (suspending) {
        m_slideshowBeforeSuspend = m_frame.Modes().IsSlideshowRunning();
        if (m_slideshowBeforeSuspend) {
            LastActivityCode = 243.0;
            m_frame.Modes().StopSlideshow();
        }
        ShowEmptyViewScreen(false);
        engine.SaveQuickSlots();
        engine.FlushCache(false);
    }
    const LRESULT viewResult = SendMessageW(m_frame.View().m_hWnd, WM_POWERBROADCAST, event, lParam);
    const bool resuming = event == PBT_APMRESUMECRITICAL || event == PBT_APMRESUMESUSPEND || event == PBT_APMRESUMESTANDBY;
    if (resuming) {
        if (CImageEntry* entry = engine.GetCurrentEntry()) m_frame.Navigation().ShowEntry(entry, false);
    }
    return viewResult;
}

// The image folder's stick or card was pulled: nothing of it may stay on screen or in the cache.
LRESULT CFrameSystemCommands::OnDeviceChange(UINT, WPARAM event, LPARAM lParam, BOOL&)
{
    LastActivityCode = 271.0;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (event == DBT_DEVICEREMOVECOMPLETE && header && header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
        const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam);
        const Bstr& folder = m_frame.ImageFolderPath();
        if (folder.Get() && IsImageFolderOnVolume(folder.Get(), volume->dbcv_unitmask)) {
            ShowEmptyViewScreen(false);
            CImageEngine& engine = m_frame.Engine();
            engine.SaveQuickSlots();
            {
                CriticalSectionScope list(engine.ListLock());
                engine.QuickSlots().ClearQuickSlots();
            }
            engine.FlushCache(true);
            if (m_frame.OpenRequests().RecentlyWoken()) {
                KillTimer(m_frame.m_hWnd, TIMER_FRAME_RECENTLY_WOKEN);
                m_frame.OpenRequests().EndWakeUpGuard();
            }
            m_frame.Caption().UpdateStatusLine(nullptr);
        }
    }
    LastActivityCode = 271.99;
    return TRUE;
}
