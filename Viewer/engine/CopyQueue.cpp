#include "Viewer/engine/CopyQueue.h"
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/engine/KeepCopyFiles.h"
#include "Viewer/engine/StopQueueWorker.h"
#include <shlwapi.h>

namespace {
constexpr DWORD PopWait = 100;
constexpr UINT IDS_COPY_FAILED = 10021;
constexpr UINT IDS_COPY_CAPTION = 10020;

// The copied mark of the entry and of the other pages of its file.
void MarkCopied(CImageEntry& entry, bool copied)
{
    if (CImageEngine* owner = entry.GetOwner())
        owner->SetCopiedForGroup(&entry, copied);
    else
        *entry.GetCopiedFlag() = copied;
}
}

CCopyQueue::CCopyQueue(HWND* owner) : m_owner(owner)
{
    ThrowIfFailed(m_worker.Start(L"keep copy", [this](WorkerThread& self) { return Run(self); },
                                 WorkerApartment::None, THREAD_PRIORITY_BELOW_NORMAL));
}

CCopyQueue::~CCopyQueue()
{
    Stop();
}

void CCopyQueue::Stop() noexcept
{
    StopQueueWorker(m_worker, m_jobs);
}

HRESULT CCopyQueue::Enqueue(CImageEntry* entry, const std::wstring& source, const std::wstring& target, bool move)
{
    if (!entry) return E_INVALIDARG;
    if (!m_worker.Running()) return E_UNEXPECTED;
    // Counted and marked before the job can run, so that the worker's end of it comes after.
    entry->AddPendingCopy();
    MarkCopied(*entry, true);
    if (m_jobs.Push(CopyJob{source, target, move, EntryRef(entry)})) return S_OK;
    MarkCopied(*entry, false);
    entry->FinishPendingCopy();
    return E_FAIL;
}

HRESULT CCopyQueue::Run(WorkerThread& self)
{
    for (;;) {
        CopyJob job;
        if (!m_jobs.Pop(job, nullptr, PopWait)) {
            // Only an empty queue lets the worker end: every job asked for is carried out.
            if (self.StopRequested()) return S_OK;
            continue;
        }
        try {
            CarryOut(job);
        } catch (...) {
            TraceCaughtException(L"keep copy");
        }
        job.entry->FinishPendingCopy();
    }
}

void CCopyQueue::CarryOut(const CopyJob& job) const
{
    const DWORD error = CopyOrMoveFile(job.source, job.target, job.move);
    if (error == ERROR_SUCCESS) return;
    MarkCopied(*job.entry, false);
    ReportFailure(error);
}

void CCopyQueue::ReportFailure(DWORD error) const
{
    wchar_t text[MAX_PATH];
    wnsprintfW(text, MAX_PATH, LoadResourceString(IDS_COPY_FAILED).c_str(), HRESULT_FROM_WIN32(error));
    const HWND owner = m_owner ? *m_owner : nullptr;
    if (owner && IsWindow(owner)) SendMessageW(owner, WM_APP_SHOW_CURSOR, 0, 0);
    ShowMessageBox(owner, text, LoadResourceString(IDS_COPY_CAPTION).c_str(), MB_ICONHAND);
}
