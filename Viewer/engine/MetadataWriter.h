#pragma once
// The rating, label and urgency writer: the user-interface thread sets a change in memory and queues
// it; one thread in the multithreaded apartment, below normal priority, carries the requests out one
// at a time in the order rating-prefix rename, XMP sidecar, embedded metadata. Success is silent;
// every failure is shown in a box owned by the main window, and the value in memory goes back to
// unset only when every store that is switched on failed.
//
// A request holds its entry by reference: opening another folder while requests wait still writes
// them into their files, and changes nothing in the new list.
#include "Framework/ComPtr.h"
#include "Framework/WorkerThread.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/engine/RequestQueue.h"
#include "Viewer/imaging/EmbeddedMetadata.h"
#include <windows.h>
#include <wincodec.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class CImageEngine;

struct MetadataWriteRequest {
    int32_t value = -1;                // the digit pressed
    bool isLabel = false;
    uint32_t labellingConvention = 0;  // at queueing time
    bool isUrgency = false;
    EntryRef entry;
};

class CMetadataWriter {
public:
    // Makes the thread's own imaging factory, inside the thread's apartment.
    using FactoryMaker = std::function<HRESULT(IWICImagingFactory** factory)>;
    static HRESULT CreateOwnFactory(IWICImagingFactory** factory);

    // owner: the main window's handle member. Starts the thread; without one every request is
    // refused.
    CMetadataWriter(const HWND* owner, CImageEngine& engine, FactoryMaker factoryMaker = CreateOwnFactory);
    CMetadataWriter(const CMetadataWriter&) = delete;
    CMetadataWriter& operator=(const CMetadataWriter&) = delete;
    // Carries out every request queued so far, then ends the thread.
    ~CMetadataWriter();

    // Sets the value on the entry and on every page of its file, then queues the write. The
    // labelling convention is the current setting's. E_UNEXPECTED without a thread, E_INVALIDARG
    // without an entry, else the setter's failure or S_OK.
    HRESULT QueueMetadataWrite(CImageEntry* entry, int32_t value, bool isLabel, bool isUrgency);

    // Returns once no request for the entry is queued or being carried out (at once when the thread
    // has ended). Messages sent to the calling thread are served meanwhile, since the writer sends
    // to the main window when it renames.
    void WaitForEntry(const CImageEntry* entry);

    // The pause between attempts at a file that another program holds (100 ms); set before the
    // first request.
    void SetSharingRetryPause(std::function<void()> pause) { m_retryPause = std::move(pause); }
    static constexpr int MaxSharingAttempts = 100;

private:
    HRESULT Run(WorkerThread& self);
    void Carry(const MetadataWriteRequest& request, const EmbeddedWriteContext& context);
    // The request's kind, back to unset in memory.
    void ResetValue(const MetadataWriteRequest& request);
    // The entry's base path and companion extensions, read under the list lock.
    void ReadNames(CImageEntry* entry, std::wstring& basePath, std::wstring& extensions);
    std::wstring RenameWithRating(const MetadataWriteRequest& request, std::wstring basePath,
                                  const std::wstring& extensions);
    HRESULT WriteWithRetries(const EmbeddedWriteContext& context, const std::wstring& path,
                             const MetadataWriteRequest& request, const SYSTEMTIME& time);

    const HWND* m_owner;
    CImageEngine& m_engine;
    FactoryMaker m_factoryMaker;
    std::function<void()> m_retryPause = [] { Sleep(100); };
    CSyncRequestQueue<MetadataWriteRequest> m_queue;
    // The entry of the request being carried out; set under the queue's mutex as it is taken.
    std::atomic<const CImageEntry*> m_inHand{nullptr};
    WorkerThread m_thread;
};
