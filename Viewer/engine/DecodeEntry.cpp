#include "Viewer/engine/DecodeEntry.h"
#include "Framework/HResultError.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/imaging/DecodePipeline.h"
#include <algorithm>
#include <cstring>
#include <string>

namespace {
constexpr DWORD PollMilliseconds = 50;
// The loading flag is looked at this often within a poll: a user stepping through a folder gets a
// picture that becomes ready a moment after it was asked for without waiting out the rest of the poll.
constexpr DWORD LoadingCheckMilliseconds = 2;

// A surface of the entry's size in the display format, filled from the saved pixels.
HRESULT RebuildSurface(DecodeThreadContext* context, HGLOBAL saved, UINT savedPitch, UINT width, UINT height,
                       ComPtr<IDirect3DSurface9>& surface)
{
    IDirect3DDevice9* device = context ? context->Device() : nullptr;
    if (!device) return E_POINTER;
    const BYTE* source = static_cast<const BYTE*>(GlobalLock(saved));
    if (!source) return HResultFromLastError();
    HRESULT hr = device->CreateOffscreenPlainSurface(width, height, context->SurfaceFormat(), D3DPOOL_DEFAULT,
                                                     &surface, nullptr);
    D3DLOCKED_RECT locked = {};
    if (SUCCEEDED(hr)) hr = surface->LockRect(&locked, nullptr, 0);
    if (SUCCEEDED(hr)) {
        BYTE* target = static_cast<BYTE*>(locked.pBits);
        const UINT pitch = static_cast<UINT>(locked.Pitch);
        if (pitch == savedPitch) {
            memcpy(target, source, size_t(height) * pitch);
        } else {
            const size_t row = std::min(savedPitch, pitch);
            for (UINT y = 0; y < height; ++y) memcpy(target + size_t(y) * pitch, source + size_t(y) * savedPitch, row);
        }
        surface->UnlockRect();
    } else {
        surface = nullptr;
    }
    GlobalUnlock(saved);
    return hr;
}

// True when the frame's input queue holds a wheel turn or a key that moves to another picture.
bool NavigationInputWaiting(HWND frame) noexcept
{
    MSG message;
    if (PeekMessageW(&message, frame, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_NOREMOVE | PM_NOYIELD)) return true;
    if (!PeekMessageW(&message, frame, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE | PM_NOYIELD)) return false;
    switch (message.wParam) {
    case VK_BACK: case VK_TAB: case VK_SPACE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_ADD: case VK_SUBTRACT:
    case VK_BROWSER_BACK: case VK_BROWSER_FORWARD: case VK_MEDIA_NEXT_TRACK: case VK_MEDIA_PREV_TRACK:
    case VK_OEM_PLUS: case VK_OEM_MINUS:
        return true;
    default:
        return false;
    }
}

// Sleeps for the time or until the entry's decode has ended, answering the messages other threads
// send to this thread's windows meanwhile: a worker that sends to the frame while the frame waits for
// it must not stall.
void SleepWhileLoading(const CImageEntry& entry, DWORD milliseconds) noexcept
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end || !entry.IsLoading()) return;
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(end - now, LoadingCheckMilliseconds));
        if (MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_SENDMESSAGE, 0) == WAIT_TIMEOUT) continue;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void SendToFrame(HWND frame, UINT message, WPARAM wParam, CImageEntry& entry) noexcept
{
    if (frame && IsWindow(frame)) SendMessageW(frame, message, wParam, reinterpret_cast<LPARAM>(&entry));
}
}

HRESULT DecodeEntry(CImageEntry& entry, DecodeThreadContext* context, const wchar_t* extension, bool useSurface,
                    bool colourManage, bool raw, bool autoRotate) noexcept
{
    HRESULT hr = CatchAsHResult([&]() -> HRESULT {
        entry.m_onSurface = useSurface;
        entry.m_decodedExtension = extension ? Bstr(extension) : Bstr();
        if (entry.IsCancelled()) return E_ABORT;
        const std::wstring path = entry.m_basePath + L"." + (extension ? extension : L"");
        if (path.size() >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        const HRESULT stored = entry.GetDecodeResult();
        if (useSurface) {
            entry.m_surface = nullptr;
            if (entry.m_savedPixels) {
                const HRESULT rebuilt = RebuildSurface(context, entry.m_savedPixels.Get(), entry.m_savedPitch,
                                                       entry.m_width, entry.m_height, entry.m_surface);
                entry.m_savedPixels.Reset();
                return rebuilt;
            }
            if (FAILED(stored) && stored != D3DERR_OUTOFVIDEOMEMORY) return stored;
            return LoadToSurface(context, path.c_str(), entry.m_pageIndex, &entry.m_surface, &entry.m_width,
                                 &entry.m_height, colourManage, raw, autoRotate, &entry.m_info, &entry.m_cancel,
                                 AppSettings::DownscaleLargeImages);
        }
        entry.m_bitmap.reset();
        entry.m_savedPixels.Reset();
        if (FAILED(stored)) return stored;
        Gdiplus::Bitmap* bitmap = nullptr;
        const HRESULT loaded = LoadToBitmap(context, path.c_str(), entry.m_pageIndex, &bitmap, &entry.m_width,
                                            &entry.m_height, colourManage, raw, autoRotate, &entry.m_info,
                                            &entry.m_cancel, AppSettings::DownscaleLargeImages);
        entry.m_bitmap.reset(bitmap);
        return loaded;
    });
    entry.SetDecodeResult(hr);
    entry.SetLoading(false);
    return hr;
}

HRESULT WaitForDecode(CImageEntry& entry, bool noAbort, bool notify, DWORD timeoutMilliseconds, HWND frame) noexcept
{
    const ULONGLONG start = GetTickCount64();
    if (timeoutMilliseconds != 0 && entry.IsLoading()) {
        if (notify) SendToFrame(frame, WM_APP_DECODE_WAIT_BEGIN, 0, entry);
        for (;;) {
            // Once this wait has cancelled the decode, the user has moved on: the wait ends even
            // while the request still sits in the queue behind other decodes. The input is looked
            // at before the first sleep too, so that the presses a held key has queued are passed
            // over at once rather than a poll each.
            if (!noAbort && !entry.IsCancelled() && NavigationInputWaiting(frame) &&
                AppSettings::EnableAbortableImageLoading) {
                entry.SetCancel(true);
                break;
            }
            SleepWhileLoading(entry, PollMilliseconds);
            if (!entry.IsLoading() || GetTickCount64() - start >= timeoutMilliseconds) break;
        }
    }
    const bool hasImage = entry.HasImage();
    const bool cancelled = entry.IsCancelled() && !hasImage;
    if (notify) SendToFrame(frame, WM_APP_DECODE_WAIT_END, cancelled ? 1 : 0, entry);
    if (cancelled) return S_FALSE;
    if (hasImage) return S_OK;
    const HRESULT stored = entry.GetDecodeResult();
    return FAILED(stored) ? stored : E_FAIL;
}
