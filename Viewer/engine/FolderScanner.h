#pragma once
// Finds the files of one folder (optionally with its subfolders) that match a list of wildcard
// patterns, then watches the folder for files that appear in it. Every file found or seen becomes a
// FolderRecord in the record queue, from which the engine's file-list thread takes them.
//
// Calling order: Stop(true); SetFilterSpec; SetFolder; SetRecursive; SetOptions; QueryFile for the
// file to show first; Start(StartMode::ScanOnThread); then GetNextRecord in a loop.
//
// The folder, patterns and flags change only while idle, so the scan and watch threads read them
// without a lock. Every path is absolute: the scan never touches the process's current directory,
// which other threads may rely on.
#include <windows.h>
#include <atomic>
#include <string>
#include <vector>
#include "Framework/Bstr.h"
#include "Framework/CriticalSection.h"
#include "Framework/UniqueHandle.h"
#include "Framework/WorkerThread.h"
#include "Viewer/engine/SyncQueue.h"

class CFolderScanner {
public:
    enum class StartMode : DWORD {
        WatchOnly = 0,      // no scan: scan-done is signalled at once
        ScanOnThread = 1,   // the enumeration runs on a thread of its own
        ScanOnCaller = 2,   // the enumeration runs before Start returns
    };

    // Throws the system's error when the queue or the events cannot be created.
    CFolderScanner();
    CFolderScanner(const CFolderScanner&) = delete;
    CFolderScanner& operator=(const CFolderScanner&) = delete;
    // A running scanner is stopped and its queue cleared.
    ~CFolderScanner();

    // Every operation returns E_INVALIDARG for a missing out-pointer.
    HRESULT IsStarted(BOOL* started);
    // GetNextRecord without the file data.
    HRESULT GetNext(BSTR* path, DWORD timeoutMilliseconds);
    // S_OK with the oldest-created queued record (the caller owns *path), S_FALSE when none came
    // within the time-out (*path null). data may be null.
    HRESULT GetNextRecord(BSTR* path, WIN32_FILE_ATTRIBUTE_DATA* data, DWORD timeoutMilliseconds);
    HRESULT GetRecordCount(DWORD* count);
    // Running and the enumeration not yet finished.
    HRESULT IsScanning(BOOL* scanning);
    // E_FAIL unless running. Waits for both threads (serving sent messages); the queued records stay
    // unless clearQueue.
    HRESULT Stop(BOOL clearQueue);
    // E_FAIL unless idle with a folder, or for WatchOnly with watching switched off.
    HRESULT Start(StartMode mode);
    HRESULT GetRecursive(BOOL* recursive);
    // E_FAIL unless idle.
    HRESULT SetRecursive(BOOL recursive);
    // The patterns joined with ";"; null when every file matches.
    HRESULT GetFilterSpec(BSTR* spec);
    // E_FAIL unless idle. The spec is split at any of ";,:|"; a spec of only separators lets every
    // file match; a pattern holding a path separator or colon fails the call (E_INVALIDARG) and
    // leaves the list empty.
    HRESULT SetFilterSpec(const wchar_t* spec);
    HRESULT GetFolder(BSTR* folder);
    // E_FAIL unless idle; E_INVALIDARG for anything but an existing folder, and for a network folder
    // unless noWatch (a share is only scanned, never watched).
    HRESULT SetFolder(const wchar_t* folder, BOOL noWatch);
    HRESULT GetOptions(DWORD* attributeMask);
    // Files and folders whose attributes share a bit with the mask are skipped. E_INVALIDARG when the
    // mask holds FILE_ATTRIBUTE_DIRECTORY. Allowed in any state.
    HRESULT SetOptions(DWORD attributeMask);
    // Asks about one file now and queues it (S_OK whether or not the queue took it); S_FALSE when its
    // attributes are skipped. Any state.
    HRESULT QueryFile(const wchar_t* path);

    // The watch thread's result once it has ended (a watched folder that was deleted ends it with
    // an error); E_PENDING while it watches or before it started.
    HRESULT WatchResult() const noexcept { return m_watchThread.Result(); }

private:
    enum State : LONG { Idle = 0, Running = 1, Stopping = 2 };
    enum class ScanEnd { Continue, Abort };

    bool Matches(const wchar_t* name) const noexcept;
    HRESULT Enumerate();
    ScanEnd ScanFolder(const std::wstring& folder);
    HRESULT Watch(WorkerThread& self);
    void QueueFound(const std::wstring& path, const WIN32_FILE_ATTRIBUTE_DATA& data);

    std::atomic<bool> m_stop{false};
    CriticalSection m_lock;
    BOOL m_recursive = FALSE;
    BOOL m_noWatch = FALSE;
    Bstr m_folder;
    std::atomic<LONG> m_state{Idle};
    std::vector<std::wstring> m_patterns;
    CSyncQueue m_queue;
    UniqueHandle m_scanDone;
    UniqueHandle m_watchDone;
    // Signalled once the watch listens for changes (or has given up), so the scan starts after it.
    UniqueHandle m_watchReady;
    std::atomic<DWORD> m_options{0};
    // Last, so that both threads have ended before anything they read is destroyed.
    WorkerThread m_scanThread;
    WorkerThread m_watchThread;
};
