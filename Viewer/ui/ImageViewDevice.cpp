// The view's side of a lost or resized render device: painting only clears the window while a reset
// is pending, timer 1 polls the device, and the reset puts the displayed picture back: the view's
// own picture from a copy of its pixels, an entry's picture decoded again by the engine.
#include "Framework/HResultError.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/ui/DeviceCalls.h"
#include "Viewer/ui/ImageView.h"
#include "Viewer/ui/MainFrame.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/ui/SurfaceRows.h"
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace {

// Resizing must be quiet this long before the back buffer follows it.
constexpr DWORD kResizeSettleMs = 400;
constexpr DWORD kStillLostPollMs = 333;
constexpr DWORD kRefreshWaitMs = 60000;

// The view's own picture across a reset: its rows in system memory, at the pitch they had.
struct SavedPixels {
    std::unique_ptr<uint8_t[]> bytes;
    UINT pitch = 0;
    UINT rows = 0;
};

SavedPixels SaveSurfacePixels(IDirect3DSurface9* surface, UINT rows)
{
    SavedPixels saved;
    D3DLOCKED_RECT locked{};
    if (FAILED(surface->LockRect(&locked, nullptr, 0))) return saved;
    const UINT pitch = static_cast<UINT>(locked.Pitch);
    saved.bytes.reset(new (std::nothrow) uint8_t[static_cast<size_t>(pitch) * rows]);
    if (saved.bytes) {
        std::memcpy(saved.bytes.get(), locked.pBits, static_cast<size_t>(pitch) * rows);
        saved.pitch = pitch;
        saved.rows = rows;
    }
    surface->UnlockRect();
    return saved;
}

// A new surface of the saved size in the display format, filled from the copy; null when the device
// cannot make it.
IDirect3DSurface9* RestoreSurfacePixels(const SavedPixels& saved, UINT width)
{
    ComPtr<IDirect3DSurface9> surface;
    if (FAILED(RenderDevice.Device->CreateOffscreenPlainSurface(width, saved.rows, RenderDevice.DisplayMode.Format,
                                                                D3DPOOL_DEFAULT, &surface, nullptr)))
        return nullptr;
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(surface->LockRect(&locked, nullptr, 0))) {
        CopySurfaceRows(static_cast<uint8_t*>(locked.pBits), static_cast<size_t>(locked.Pitch), saved.bytes.get(),
                        saved.pitch, saved.rows);
        surface->UnlockRect();
    }
    return surface.Detach();
}

}  // namespace

void RefreshCurrentSurface(CMainFrame& frame, IDirect3DSurface9*& slot)
{
    if (CImageEntry* entry = frame.Engine().GetCurrentEntry()) {
        if (SUCCEEDED(WaitForDecode(*entry, false, true, kRefreshWaitMs, frame.m_hWnd))) slot = entry->GetSurface();
    }
    if (frame.SystemCommands().TakeSlideshowBeforeSuspend()) PostMessageW(frame.m_hWnd, WM_COMMAND, ID_AUTO_MODE, 0);
}

LRESULT CImageView::OnSize(UINT, WPARAM sizeType, LPARAM, BOOL& handled)
{
    LastActivityCode = 603.0;
    handled = FALSE;
    if (sizeType == SIZE_MINIMIZED) return 0;
    if (!RenderDevice.Device) {
        InvalidateRect(m_hWnd, nullptr, FALSE);
    } else {
        // Black while the user drags the border; one reset once the size has settled.
        if (!m_resetPending) {
            RenderDevice.Device->Clear(0, nullptr, D3DCLEAR_TARGET, BackgroundColour, 0.0f, 0);
            PresentDevice();
        }
        m_resetPending = true;
        KillTimer(m_hWnd, TIMER_DEVICE);
        SetTimer(m_hWnd, TIMER_DEVICE, kResizeSettleMs, nullptr);
    }
    UpdateCursor();
    return 0;
}

LRESULT CImageView::OnTimer(UINT, WPARAM id, LPARAM, BOOL&)
{
    LastActivityCode = 604.0;
    if (id != TIMER_DEVICE) {
        OnInputTimer(id);
        return 0;
    }
    KillTimer(m_hWnd, TIMER_DEVICE);
    if (!RenderDevice.Device) return 0;
    if (TestDeviceCooperativeLevel() == D3DERR_DEVICELOST) {
        m_resetPending = true;
        SetTimer(m_hWnd, TIMER_DEVICE, kStillLostPollMs, nullptr);
        return 0;
    }
    ResetDevice();
    return 0;
}

LRESULT CImageView::OnPowerBroadcast(UINT, WPARAM event, LPARAM, BOOL&)
{
    LastActivityCode = 614.0;
    switch (event) {
    case PBT_APMSUSPEND:
    case PBT_APMSTANDBY:
        KillTimer(m_hWnd, TIMER_DEVICE);
        break;
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMESTANDBY:
        KillTimer(m_hWnd, TIMER_DEVICE);
        if (RenderDevice.Device) SetTimer(m_hWnd, TIMER_DEVICE, kStillLostPollMs, nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}

void CImageView::ResetDevice()
{
    LastActivityCode = 605.0;
    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (RenderDevice.Device) {
        // Everything made in the device goes before the reset and is made again at the next paint.
        m_copiedStamp.ReleaseDeviceObjects();
        m_markStamp.ReleaseDeviceObjects();

        SavedPixels saved;
        if (m_ownsPicture) {
            CriticalSectionScope lock(ViewLock);
            if (DisplayedSurface) {
                saved = SaveSurfacePixels(DisplayedSurface, static_cast<UINT>(m_imageHeight));
                IDirect3DSurface9* owned = std::exchange(DisplayedSurface, nullptr);
                owned->Release();
            }
        }
        // No surface of the device may survive the reset: the workers stop and every cached picture goes.
        m_frame->Engine().FlushCache(false);

        RECT client{};
        GetClientRect(m_hWnd, &client);
        RenderDevice.PresentParameters.BackBufferWidth = static_cast<UINT>(client.right);
        RenderDevice.PresentParameters.BackBufferHeight = static_cast<UINT>(client.bottom);
        RenderDevice.PresentParameters.BackBufferCount = 1;
        // A failed reset shows itself as a lost device at the next paint or poll.
        ResetRenderDevice(RenderDevice.PresentParameters);
        ApplySamplerFilters();

        // The slot holds an owned surface only while the view counts its picture as owned: an owned
        // picture whose pixels could not be kept leaves the view empty rather than borrowing.
        CriticalSectionScope lock(ViewLock);
        IDirect3DSurface9* current = nullptr;
        RefreshCurrentSurface(*m_frame, current);
        if (!m_ownsPicture) {
            DisplayedSurface = current;
        } else if (saved.bytes) {
            DisplayedSurface = RestoreSurfacePixels(saved, static_cast<UINT>(m_imageWidth));
        }
    }
    SetCursor(previousCursor);
    m_resetPending = false;
    InvalidateRect(m_hWnd, nullptr, FALSE);
}
