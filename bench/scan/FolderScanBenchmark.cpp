// How long the folder scanner takes to hand the file-list thread its first record and all of them,
// for a generated camera folder of 10,000 and of 50,000 empty picture files (every third picture
// with a raw companion), beside a plain FindFirstFileW enumeration of the same folder in the same
// run; and what a queued record costs on the heaps.
#include "Framework/Bstr.h"
#include "Viewer/engine/FolderScanner.h"
#include <windows.h>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::wstring BenchFolder(int files)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"lumenfold-bench-scan-" + std::to_wstring(files);
}

// Calls use with each of the folder's `files` paths: IMG_00001.JPG ..., IMG_xxxxx.CR2 beside every third.
template <class Use>
void ForEachCameraFile(const std::wstring& folder, int files, Use use)
{
    int made = 0;
    for (int picture = 1; made < files; ++picture) {
        for (const wchar_t* extension : {L"JPG", L"CR2"}) {
            if ((extension[0] == L'C' && picture % 3) || made == files) continue;
            wchar_t name[32];
            swprintf(name, 32, L"\\IMG_%05d.%ls", picture, extension);
            use(folder + name);
            ++made;
        }
    }
}

std::wstring MakeCameraFolder(int files)
{
    const std::wstring folder = BenchFolder(files);
    CreateDirectoryW(folder.c_str(), nullptr);
    ForEachCameraFile(folder, files, [](const std::wstring& path) {
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    });
    return folder;
}

void RemoveCameraFolder(const std::wstring& folder, int files)
{
    ForEachCameraFile(folder, files, [](const std::wstring& path) { DeleteFileW(path.c_str()); });
    RemoveDirectoryW(folder.c_str());
}

struct Timing {
    int count = 0;
    double first = 0;
    double all = 0;
};

Timing PlainEnumeration(const std::wstring& folder)
{
    Timing timing;
    const Clock::time_point start = Clock::now();
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return timing;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!timing.count++) timing.first = Milliseconds(Clock::now() - start);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    timing.all = Milliseconds(Clock::now() - start);
    return timing;
}

// As the engine opens a folder: scan on the scanner's thread, watch, take records on this one.
// "all" is when the last record was taken, not when the consumer noticed that no more would come.
Timing ScannerToConsumer(const std::wstring& folder)
{
    Timing timing;
    CFolderScanner scanner;
    scanner.SetFolder(folder.c_str(), FALSE);
    scanner.SetOptions(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const Clock::time_point start = Clock::now();
    if (FAILED(scanner.Start(CFolderScanner::StartMode::ScanOnThread))) return timing;
    for (;;) {
        Bstr path;
        if (scanner.GetNextRecord(&path, nullptr, 300) == S_OK) {
            timing.all = Milliseconds(Clock::now() - start);
            if (!timing.count++) timing.first = timing.all;
            continue;
        }
        BOOL scanning = FALSE;
        scanner.IsScanning(&scanning);
        if (!scanning) break;
    }
    scanner.Stop(TRUE);
    return timing;
}

// Bytes in use on all the process's heaps (the C runtime keeps one of its own beside the one the
// strings come from).
SIZE_T HeapBytesInUse()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(DWORD(heaps.size()), heaps.data()));
    SIZE_T bytes = 0;
    for (HANDLE heap : heaps) {
        HeapLock(heap);
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        HeapUnlock(heap);
    }
    return bytes;
}

// Every record queued at once (scan on the caller, nothing taken, no watch): how long the scan
// alone takes, and what the queue costs per record.
Timing ScanAlone(const std::wstring& folder, double& bytesPerRecord)
{
    Timing timing;
    CFolderScanner scanner;
    scanner.SetFolder(folder.c_str(), TRUE);
    const SIZE_T before = HeapBytesInUse();
    const Clock::time_point start = Clock::now();
    scanner.Start(CFolderScanner::StartMode::ScanOnCaller);
    timing.all = Milliseconds(Clock::now() - start);
    const SIZE_T after = HeapBytesInUse();
    DWORD count = 0;
    scanner.GetRecordCount(&count);
    timing.count = int(count);
    bytesPerRecord = count ? double(after - before) / count : 0;
    scanner.Stop(TRUE);
    return timing;
}

}  // namespace

// Arguments: the folder sizes to measure; 10,000 and 50,000 without any.
int wmain(int argc, wchar_t** argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(_wtoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 50000};
    std::wprintf(L"scan: empty camera files (IMG_nnnnn.JPG, a .CR2 beside every third), times in ms\n");
    std::wprintf(L"%8ls %-22ls %8ls %10ls %10ls %14ls\n", L"files", L"road", L"found", L"first", L"all",
                 L"bytes/record");
    for (int files : sizes) {
        const std::wstring folder = MakeCameraFolder(files);
        PlainEnumeration(folder);  // warms the file system's caches for every road alike
        const Timing plain = PlainEnumeration(folder);
        double perRecord = 0;
        const Timing alone = ScanAlone(folder, perRecord);
        const Timing scanned = ScannerToConsumer(folder);
        std::wprintf(L"%8d %-22ls %8d %10.1f %10.1f %14ls\n", files, L"FindFirstFileW", plain.count, plain.first,
                     plain.all, L"-");
        std::wprintf(L"%8d %-22ls %8d %10ls %10.1f %14.0f\n", files, L"scan alone, queued", alone.count, L"-",
                     alone.all, perRecord);
        std::wprintf(L"%8d %-22ls %8d %10.1f %10.1f %14ls\n", files, L"scanner to consumer", scanned.count,
                     scanned.first, scanned.all, L"-");
        std::fflush(stdout);
        RemoveCameraFolder(folder, files);
    }
    return 0;
}
