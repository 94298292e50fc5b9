#include "Viewer/engine/FolderScanner.h"
#include <shlwapi.h>
#include <cstddef>
#include <string_view>
#include "Framework/HResultError.h"

namespace {

constexpr wchar_t Blanks[] = L" \t\r\n";
constexpr wchar_t Separators[] = L";,:|";
constexpr DWORD WatchSlotCount = 32;
constexpr DWORD WatchBufferBytes = 2048;
constexpr DWORD WatchPollMilliseconds = 100;

std::wstring_view TrimBlanks(std::wstring_view text) noexcept
{
    const size_t first = text.find_first_not_of(Blanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// The folder with exactly one separator before whatever is appended.
std::wstring FolderPrefix(std::wstring_view folder)
{
    std::wstring prefix(folder);
    if (prefix.empty() || prefix.back() != L'\\') prefix += L'\\';
    return prefix;
}

HRESULT CopyOut(std::wstring_view text, BSTR* out) noexcept
{
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_POINTER;
}

WIN32_FILE_ATTRIBUTE_DATA DataOf(const WIN32_FIND_DATAW& found) noexcept
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    data.dwFileAttributes = found.dwFileAttributes;
    data.ftCreationTime = found.ftCreationTime;
    data.ftLastAccessTime = found.ftLastAccessTime;
    data.ftLastWriteTime = found.ftLastWriteTime;
    data.nFileSizeHigh = found.nFileSizeHigh;
    data.nFileSizeLow = found.nFileSizeLow;
    return data;
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) noexcept : m_handle(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE) FindClose(m_handle);
    }
    HANDLE Get() const noexcept { return m_handle; }

private:
    HANDLE m_handle;
};

// Signals an event when the scope ends, however it ends.
class SignalOnExit {
public:
    explicit SignalOnExit(HANDLE event) noexcept : m_event(event) {}
    SignalOnExit(const SignalOnExit&) = delete;
    SignalOnExit& operator=(const SignalOnExit&) = delete;
    ~SignalOnExit() { SetEvent(m_event); }

private:
    HANDLE m_event;
};

// One outstanding change request: the buffer must stay put until the system has completed it.
struct WatchSlot {
    OVERLAPPED overlapped;
    alignas(DWORD) BYTE buffer[WatchBufferBytes];
};

}  // namespace

CFolderScanner::CFolderScanner()
    : m_scanDone(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_watchDone(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_watchReady(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    ThrowLastErrorIf(!m_scanDone || !m_watchDone || !m_watchReady);
}

CFolderScanner::~CFolderScanner()
{
    if (m_state == Running) Stop(TRUE);
}

HRESULT CFolderScanner::IsStarted(BOOL* started)
{
    if (!started) return E_INVALIDARG;
    *started = m_state == Running;
    return S_OK;
}

HRESULT CFolderScanner::GetNext(BSTR* path, DWORD timeoutMilliseconds)
{
    return GetNextRecord(path, nullptr, timeoutMilliseconds);
}

HRESULT CFolderScanner::GetNextRecord(BSTR* path, WIN32_FILE_ATTRIBUTE_DATA* data, DWORD timeoutMilliseconds)
{
    if (!path) return E_INVALIDARG;
    *path = nullptr;
    FolderRecord record;
    if (!m_queue.WaitAndTake(record, timeoutMilliseconds)) return S_FALSE;
    *path = record.path.Detach();
    if (data) *data = record.data;
    return S_OK;
}

HRESULT CFolderScanner::GetRecordCount(DWORD* count)
{
    if (!count) return E_INVALIDARG;
    *count = static_cast<DWORD>(m_queue.Count());
    return S_OK;
}

HRESULT CFolderScanner::IsScanning(BOOL* scanning)
{
    if (!scanning) return E_INVALIDARG;
    *scanning = m_state == Running && WaitForSingleObject(m_scanDone.Get(), 0) == WAIT_TIMEOUT;
    return S_OK;
}

HRESULT CFolderScanner::Stop(BOOL clearQueue)
{
    if (m_state != Running) return E_FAIL;
    m_state = Stopping;
    m_stop = true;
    // Joining serves messages sent to this thread, so a producer that sends to one of its windows
    // cannot stall the stop.
    m_scanThread.Join();
    m_watchThread.Join();
    if (clearQueue) m_queue.Clear(INFINITE);
    m_state = Idle;
    return S_OK;
}

HRESULT CFolderScanner::Start(StartMode mode)
{
    if (m_state != Idle || m_folder.Empty()) return E_FAIL;
    if (m_noWatch && mode == StartMode::WatchOnly) return E_FAIL;
    m_stop = false;
    ResetEvent(m_scanDone.Get());
    ResetEvent(m_watchDone.Get());
    ResetEvent(m_watchReady.Get());
    if (!m_noWatch) {
        if (FAILED(m_watchThread.Start(L"folder watch", [this](WorkerThread& self) { return Watch(self); },
                                       WorkerApartment::None, THREAD_PRIORITY_TIME_CRITICAL)))
            return E_FAIL;
        // The scan starts only once the watch listens, so a file made in between is seen by one of them.
        WaitForSingleObject(m_watchReady.Get(), INFINITE);
    }
    switch (mode) {
    case StartMode::WatchOnly:
        SetEvent(m_scanDone.Get());
        break;
    case StartMode::ScanOnThread:
        if (FAILED(m_scanThread.Start(L"folder scan", [this](WorkerThread&) { return Enumerate(); }))) {
            m_stop = true;
            m_watchThread.Join();
            return E_FAIL;
        }
        break;
    default:
        CatchAsHResult([this] { return Enumerate(); });
        break;
    }
    m_state = Running;
    return S_OK;
}

HRESULT CFolderScanner::GetRecursive(BOOL* recursive)
{
    if (!recursive) return E_INVALIDARG;
    *recursive = m_recursive;
    return S_OK;
}

HRESULT CFolderScanner::SetRecursive(BOOL recursive)
{
    if (m_state != Idle) return E_FAIL;
    m_recursive = recursive != FALSE;
    return S_OK;
}

HRESULT CFolderScanner::GetFilterSpec(BSTR* spec)
{
    if (!spec) return E_INVALIDARG;
    *spec = nullptr;
    return CatchAsHResult([&] {
        CriticalSectionScope locked(m_lock);
        if (m_patterns.empty()) return S_OK;
        std::wstring joined;
        for (const std::wstring& pattern : m_patterns) {
            if (!joined.empty()) joined += L';';
            joined += pattern;
        }
        return CopyOut(joined, spec);
    });
}

HRESULT CFolderScanner::SetFilterSpec(const wchar_t* spec)
{
    if (m_state != Idle) return E_FAIL;
    if (!spec || !*spec) return E_INVALIDARG;
    return CatchAsHResult([&] {
        const std::wstring_view text = TrimBlanks(spec);
        CriticalSectionScope locked(m_lock);
        m_patterns.clear();
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find_first_of(Separators, start);
            if (end == std::wstring_view::npos) end = text.size();
            if (end > start) {
                const std::wstring pattern(TrimBlanks(text.substr(start, end - start)));
                if (pattern.empty() || !PathIsFileSpecW(pattern.c_str())) {
                    m_patterns.clear();
                    return E_INVALIDARG;
                }
                m_patterns.push_back(pattern);
            }
            start = end + 1;
        }
        return S_OK;
    });
}

HRESULT CFolderScanner::GetFolder(BSTR* folder)
{
    if (!folder) return E_INVALIDARG;
    *folder = nullptr;
    if (m_folder.Empty()) return S_OK;
    return CopyOut(m_folder.View(), folder);
}

HRESULT CFolderScanner::SetFolder(const wchar_t* folder, BOOL noWatch)
{
    if (m_state != Idle) return E_FAIL;
    if (!folder || !*folder) return E_INVALIDARG;
    wchar_t canonical[MAX_PATH + 1];
    if (!PathCanonicalizeW(canonical, folder)) return E_INVALIDARG;
    if (!PathIsDirectoryW(canonical)) return E_INVALIDARG;
    if (!noWatch && PathIsNetworkPathW(canonical)) return E_INVALIDARG;
    return CatchAsHResult([&] {
        m_folder = Bstr(canonical);
        m_noWatch = noWatch != FALSE;
        return S_OK;
    });
}

HRESULT CFolderScanner::GetOptions(DWORD* attributeMask)
{
    if (!attributeMask) return E_INVALIDARG;
    *attributeMask = m_options;
    return S_OK;
}

HRESULT CFolderScanner::SetOptions(DWORD attributeMask)
{
    if (attributeMask & FILE_ATTRIBUTE_DIRECTORY) return E_INVALIDARG;
    m_options = attributeMask;
    return S_OK;
}

HRESULT CFolderScanner::QueryFile(const wchar_t* path)
{
    if (!path || !*path) return E_INVALIDARG;
    const WIN32_FILE_ATTRIBUTE_DATA data = QueryFileData(path);
    if (data.dwFileAttributes & m_options) return S_FALSE;
    return CatchAsHResult([&] {
        QueueFound(path, data);
        return S_OK;
    });
}

bool CFolderScanner::Matches(const wchar_t* name) const noexcept
{
    if (m_patterns.empty()) return true;
    for (const std::wstring& pattern : m_patterns)
        if (PathMatchSpecW(name, pattern.c_str())) return true;
    return false;
}

void CFolderScanner::QueueFound(const std::wstring& path, const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    m_queue.AddLocked(FolderRecord{CanonicalPath(path.c_str()), data});
}

HRESULT CFolderScanner::Enumerate()
{
    SignalOnExit done(m_scanDone.Get());
    ScanFolder(m_folder.c_str());
    return S_OK;
}

CFolderScanner::ScanEnd CFolderScanner::ScanFolder(const std::wstring& folder)
{
    const bool patternSearch = m_patterns.size() == 1 && !m_recursive;
    const std::wstring prefix = FolderPrefix(folder);
    const std::wstring search = prefix + (patternSearch ? m_patterns.front() : std::wstring(L"*.*"));
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileExW(search.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (find.Get() == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_NO_MORE_FILES:
        case ERROR_ACCESS_DENIED:  // a folder the user may not enter is passed over
            return ScanEnd::Continue;
        default:  // the folder itself is gone or unreachable: nothing further down can be scanned
            return ScanEnd::Abort;
        }
    }
    do {
        if (m_stop) return ScanEnd::Abort;
        if (found.dwFileAttributes & m_options) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!m_recursive || !wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
            if (ScanFolder(prefix + found.cFileName) == ScanEnd::Abort) return ScanEnd::Abort;
            continue;
        }
        if (patternSearch || Matches(found.cFileName)) QueueFound(prefix + found.cFileName, DataOf(found));
    } while (FindNextFileW(find.Get(), &found));
    return ScanEnd::Continue;
}

HRESULT CFolderScanner::Watch(WorkerThread&)
{
    SignalOnExit done(m_watchDone.Get());
    SignalOnExit ready(m_watchReady.Get());
    UniqueHandle directory(CreateFileW(m_folder.c_str(), FILE_LIST_DIRECTORY,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!directory) return HResultFromLastError();
    UniqueHandle port(CreateIoCompletionPort(directory.Get(), nullptr, 0, 0));
    if (!port) return HResultFromLastError();

    std::vector<WatchSlot> slots(WatchSlotCount);
    DWORD outstanding = 0;
    const auto post = [&](WatchSlot& slot) {
        slot = WatchSlot{};
        if (!ReadDirectoryChangesW(directory.Get(), slot.buffer, WatchBufferBytes, m_recursive,
                                   FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_CREATION, nullptr,
                                   &slot.overlapped, nullptr))
            return false;
        ++outstanding;
        return true;
    };
    // The buffers may be freed only once the system has given back every request it still holds.
    const auto cancelAll = [&] {
        CancelIo(directory.Get());
        while (outstanding) {
            DWORD bytes;
            ULONG_PTR key;
            OVERLAPPED* overlapped = nullptr;
            GetQueuedCompletionStatus(port.Get(), &bytes, &key, &overlapped, INFINITE);
            if (!overlapped) break;
            --outstanding;
        }
    };

    HRESULT result = S_OK;
    for (WatchSlot& slot : slots) {
        if (!post(slot)) {
            result = HResultFromLastError();
            break;
        }
    }
    SetEvent(m_watchReady.Get());
    const std::wstring prefix = FolderPrefix(m_folder.View());
    while (SUCCEEDED(result) && !m_stop) {
        DWORD bytes = 0;
        ULONG_PTR key;
        OVERLAPPED* overlapped = nullptr;
        const BOOL completed = GetQueuedCompletionStatus(port.Get(), &bytes, &key, &overlapped, WatchPollMilliseconds);
        if (!overlapped) {
            if (GetLastError() != WAIT_TIMEOUT) result = HResultFromLastError();
            continue;
        }
        --outstanding;
        // A burst larger than the buffer completes with nothing in it and is simply asked again; any
        // other failure (the folder was deleted) ends the watch.
        if (!completed && GetLastError() != ERROR_NOTIFY_ENUM_DIR) {
            result = HResultFromLastError();
            continue;
        }
        WatchSlot& slot = *CONTAINING_RECORD(overlapped, WatchSlot, overlapped);
        for (DWORD offset = 0; completed && bytes >= offset + sizeof(FILE_NOTIFY_INFORMATION);) {
            const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(slot.buffer + offset);
            const DWORD nameBytes = change->FileNameLength;
            if (offset + offsetof(FILE_NOTIFY_INFORMATION, FileName) + nameBytes > bytes) break;
            if (change->Action == FILE_ACTION_ADDED || change->Action == FILE_ACTION_RENAMED_NEW_NAME) {
                const std::wstring name(change->FileName, nameBytes / sizeof(wchar_t));
                if (Matches(name.c_str())) {
                    const std::wstring path = prefix + name;
                    const WIN32_FILE_ATTRIBUTE_DATA data = QueryFileData(path.c_str());
                    if (!(data.dwFileAttributes & m_options)) QueueFound(path, data);
                }
            }
            if (!change->NextEntryOffset) break;
            offset += change->NextEntryOffset;
        }
        if (!post(slot)) result = HResultFromLastError();
    }
    cancelAll();
    return result;
}
