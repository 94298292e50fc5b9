// The engine's decode workers: started at every folder opening, each takes requests from the decode
// queue, decodes the entry's preferred file and reports the outcome to the cache sizing.
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/DecodeApartment.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/DecodeWorkerRules.h"
#include "Viewer/engine/DriveSlots.h"
#include "Viewer/engine/ImageEngine.h"
#include <algorithm>
#include <limits>

namespace {
constexpr DWORD PopWait = 250;
constexpr DWORD WorkerStopWait = 30000;
constexpr DWORD PausedWorkerWait = 60000;
constexpr DWORD FirstWorkerPause = 250;
constexpr DWORD ScanPumpPause = 100;

bool IsOutOfMemory(HRESULT hr) noexcept
{
    return hr == D3DERR_OUTOFVIDEOMEMORY || hr == E_OUTOFMEMORY;
}

bool Signalled(HANDLE event, DWORD milliseconds) noexcept
{
    return WaitForSingleObject(event, milliseconds) == WAIT_OBJECT_0;
}

class DriveSlotScope {
public:
    explicit DriveSlotScope(const CImageEntry& entry) : m_ticket(AcquireDriveSlot(entry)) {}
    DriveSlotScope(const DriveSlotScope&) = delete;
    DriveSlotScope& operator=(const DriveSlotScope&) = delete;
    ~DriveSlotScope() { ReleaseDriveSlot(m_ticket); }

private:
    DriveSlotTicket m_ticket;
};

uint32_t DecodedSize(const ImageInfo& info) noexcept
{
    const double bytes = double(info.width) * double(info.height) * (double(info.bitsPerPixel) / 8.0);
    return static_cast<uint32_t>(std::min(bytes, double(std::numeric_limits<uint32_t>::max())));
}

// The marks read from the file become the entry's; the label is in the convention now chosen.
void CopyRatingWords(CImageEntry& entry)
{
    const ImageInfo& info = *entry.GetInfo();
    if (!(info.flags & ImageInfoRatingWords)) return;
    entry.rating = info.ratingWords.rating;
    entry.label = info.ratingWords.label;
    entry.urgency = info.ratingWords.urgency;
    if (entry.label != -1) entry.labellingConvention = static_cast<int32_t>(AppSettings::LabellingConvention);
}
}

void CImageEngine::SetDecodeDisplay(const DecodeDisplay& display, UINT totalTextureMemory, bool useSurfaces)
{
    m_display = display;
    m_totalTextureMemory = totalTextureMemory;
    m_useSurfaces = useSurfaces;
}

void CImageEngine::SendToFrame(UINT message, WPARAM wParam, LPARAM lParam) const noexcept
{
    if (m_owner && *m_owner && IsWindow(*m_owner)) SendMessageW(*m_owner, message, wParam, lParam);
}

void CImageEngine::StartDecodeWorkers()
{
    const WorkerApartment apartment =
        UseMtaForDecoding() ? WorkerApartment::MultiThreaded : WorkerApartment::SingleThreaded;
    for (int i = 0; i < m_workerCount; ++i)
        ThrowIfFailed(m_workers[i].Start(L"decode", [this, i](WorkerThread& self) { return DecodeWorkerProc(self, i); },
                                         apartment));
}

void CImageEngine::StopDecodeWorkers() noexcept
{
    for (WorkerThread& worker : m_workers) worker.RequestStop();
    const ULONGLONG deadline = GetTickCount64() + WorkerStopWait;
    for (WorkerThread& worker : m_workers) {
        const ULONGLONG now = GetTickCount64();
        worker.Join(now < deadline ? static_cast<DWORD>(deadline - now) : 0);
    }
}

HRESULT CImageEngine::DecodeWorkerProc(WorkerThread& self, int index)
{
    const HANDLE stop = self.StopEvent();
    // Staggered, so that the picture asked for first is decoded by one worker alone.
    const DWORD delay = static_cast<DWORD>(index) * m_workerStartDelay;
    if (index > 0 && (m_startDelayWait ? m_startDelayWait(stop, delay) : Signalled(stop, delay))) return S_OK;
    LastActivityCode = 400.0;
    LastActivityCode = 401.0;
    DecodeThreadContext context(&m_display);
    LastActivityCode = 402.0;
    while (!Signalled(stop, 0)) {
        EntryRef entry;
        if (!m_decodeQueue.Pop(entry, nullptr, PopWait)) continue;
        if (Signalled(stop, m_backOff[index])) {
            // The popped entry is not decoded: it must not stay locked or marked as loading, or a
            // later eviction would wait for it for ever and a decode wait would never end.
            entry->SetLoading(false);
            entry->EntryLockLeave();
            break;
        }
        m_backOff[index] = NextBackOffWait(m_backOff[index], index);
        if (!DecodePopped(stop, index, *entry, context)) break;
    }
    return S_OK;
}

bool CImageEngine::DecodePopped(HANDLE stop, int index, CImageEntry& entry, DecodeThreadContext& context)
{
    DriveSlotScope slot(entry);
    DecodeChoice choice;
    {
        CriticalSectionScope list(m_listLock);
        choice = ChooseDecodeExtension(entry.GetExtensions().View());
    }
    LastActivityCode = 403.3;
    const HRESULT hr = DecodeEntry(entry, &context, choice.extension.c_str(), m_useSurfaces, m_colourProfile,
                                   choice.raw, AppSettings::EnableExifAutoRotate != 0);
    LastActivityCode = 404.0;
    const uint32_t size = DecodedSize(*entry.GetInfo());
    if (SUCCEEDED(hr)) {
        CopyRatingWords(entry);
        entry.EntryLockLeave();
        if (AdjustCache(hr, size) == CacheAdjustment::CannotShrink) TellCacheCannotShrink();
        while (index >= 1 && m_pausedWorkers != 0)
            if (Signalled(stop, PausedWorkerWait)) return false;
        return true;
    }
    entry.EntryLockLeave();
    RemoveFromCacheSet(&entry);
    switch (AdjustCache(hr, size)) {
    case CacheAdjustment::Unchanged:
        return true;
    case CacheAdjustment::WindowChanged:
        if (!IsOutOfMemory(hr)) return true;
        QueueDecodeRequest(&entry);
        break;
    case CacheAdjustment::CannotShrink:
        TellCacheCannotShrink();
        break;
    }
    return PauseWorker(stop, index);
}

bool CImageEngine::PauseWorker(HANDLE stop, int index)
{
    if (index == 0) {
        Sleep(FirstWorkerPause);
        return true;
    }
    ++m_pausedWorkers;
    do {
        if (Signalled(stop, PausedWorkerWait)) {
            --m_pausedWorkers;
            return false;
        }
    } while (--m_pausedWorkers > 0);
    return true;
}

void CImageEngine::TellCacheCannotShrink() const
{
    if (m_owner && *m_owner && IsWindow(*m_owner)) PostMessageW(*m_owner, WM_APP_SHOW_CURSOR, 0, 0);
    const std::wstring title = LoadResourceString(100);
    const bool device = m_display.device != nullptr;
    const std::wstring text = LoadResourceString(device ? 10131 : 10132);
    ShowMessageBox(GetActiveWindow(), text.c_str(), title.c_str(),
                   (device ? MB_ICONHAND : MB_ICONEXCLAMATION) | MB_TASKMODAL | MB_TOPMOST);
}

void CImageEngine::FlushCache(bool full)
{
    if (full) SendToFrame(WM_APP_ENTRY_RELEASED, 0, 0);
    StopDecodeWorkers();
    m_decodeQueue.Clear(nullptr, INFINITE);
    StartDecodeWorkers();
    EvictAll(full);
}

void CImageEngine::EvictAll(bool dropEntries)
{
    CriticalSectionScope list(m_listLock);
    {
        CriticalSectionScope queue(m_queueLock);
        for (auto& [entry, reference] : m_cacheSet) EvictEntry(entry);
        m_cacheSet.clear();
    }
    if (dropEntries) ClearList();
}

void CImageEngine::ShutdownLoader()
{
    if (m_closing) {
        SaveQuickSlots();
        SaveBookmarkFile();
    }
    SendToFrame(WM_APP_ENTRY_RELEASED, 0, 0);
    m_scanner.Stop(TRUE);
    m_listThread.RequestStop();
    StopDecodeWorkers();
    m_listThread.Join(60000);
    m_decodeQueue.Clear(nullptr, INFINITE);
    EvictAll(true);
    WaitForEvictions();
}

bool CImageEngine::ConfirmExitWithPendingWrites()
{
    m_closing = true;
    if (!MarksWaitForScan()) return true;
    const HWND frame = m_owner && *m_owner && IsWindow(*m_owner) ? *m_owner : nullptr;
    if (frame) PostMessageW(frame, WM_APP_SHOW_CURSOR, 0, 0);
    const std::wstring text = LoadResourceString(10136);
    const std::wstring title = LoadResourceString(10134);
    if (ShowMessageBox(frame, text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK) {
        if (frame) {
            SendMessageW(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            EnableWindow(frame, FALSE);
            ShowWindow(frame, SW_HIDE);
        }
        while (ScannerBusy()) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(ScanPumpPause);
        }
    } else {
        m_closing = false;
    }
    CriticalSectionScope bookmarks(m_bookmarks.Lock());
    m_bookmarks.unresolvedSlots = 0;
    m_bookmarks.unresolvedBookmarks = 0;
    return m_closing;
}
