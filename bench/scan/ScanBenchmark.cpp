// How fast a camera folder of 10,000 and of 50,000 files (raw files with their JPEGs, no content)
// becomes the sorted image list: the time until the frame hears of the first entry and until the
// whole list is there, beside a plain FindFirstFileW enumeration of the same folder in the same run,
// and what the list costs in memory per entry. Generates its folders in the temporary folder.
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Framework/UniqueHandle.h"
#include "Framework/Window.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/engine/ImageList.h"
#include <windows.h>
#include <shlwapi.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Notes when the first WM_APP_FILE_ADDED arrives.
class FirstEntryWatch : public WindowImpl<FirstEntryWatch> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldBench_Frame", 0, nullptr)
    BEGIN_MESSAGE_MAP(FirstEntryWatch)
        MESSAGE_HANDLER(WM_APP_FILE_ADDED, OnFileAdded)
    END_MESSAGE_MAP()

    Clock::time_point firstEntry{};
    bool seen = false;

private:
    LRESULT OnFileAdded(UINT, WPARAM, LPARAM, BOOL&)
    {
        if (!seen) firstEntry = Clock::now();
        seen = true;
        return 0;
    }
};

std::wstring MakeCameraFolder(int files)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lumenfold-scan-" + std::to_wstring(files) + L"-" +
                                std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < files / 2; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\IMG_%05d", i + 1);
        for (const wchar_t* extension : {L".CR2", L".JPG"}) {
            UniqueHandle file(CreateFileW((folder + name + extension).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        }
    }
    return folder;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// The baseline: every name of the folder through the platform's own enumeration.
// count: the files the supported list matches, which the scanner hands on.
double PlainEnumerationSeconds(const std::wstring& folder, const std::wstring& supported, int& count)
{
    const Clock::time_point start = Clock::now();
    count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                PathMatchSpecExW(found.cFileName, supported.c_str(), PMSF_MULTIPLE) == S_OK)
                ++count;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return SecondsSince(start);
}

// Bytes in use in every heap of the process: the list's entries, strings and map nodes all live
// there, and the count does not depend on how the system reports a process's pages.
SIZE_T HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    SIZE_T used = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return used;
}

// The scanner alone: its records taken as fast as they come, nothing listed.
double ScannerOnlySeconds(const std::wstring& folder, const std::wstring& supported, int files)
{
    CFolderScanner scanner;
    const Clock::time_point start = Clock::now();
    ThrowIfFailed(scanner.SetFilterSpec(supported.c_str()));
    ThrowIfFailed(scanner.SetFolder(folder.c_str(), FALSE));
    ThrowIfFailed(scanner.Start(CFolderScanner::StartMode::ScanOnThread));
    for (int taken = 0; taken < files && SecondsSince(start) < 600;) {
        Bstr path;
        if (scanner.GetNextRecord(&path, nullptr, 300) == S_OK) ++taken;
    }
    const double seconds = SecondsSince(start);
    scanner.Stop(TRUE);
    return seconds;
}

// The list alone: every name of the folder handed to the list on this thread, no scanner.
double ListOnlySeconds(const std::wstring& folder, const std::wstring& supported, HWND* frame)
{
    CImageEngine engine(frame, true, false);
    engine.PrepareList(supported);
    const Clock::time_point start = Clock::now();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                engine.AddFileToList((folder + L"\\" + found.cFileName).c_str(), found.ftLastWriteTime, false);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return SecondsSince(start);
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The supported list the viewer opens folders with: the installed codecs' extensions.
std::wstring InstalledCodecsList()
{
    ComPtr<IWICImagingFactory> factory;
    ThrowIfFailed(factory.CoCreate(CLSID_WICImagingFactory));
    const UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return BuildSupportedList(factory.Get(), ready.Get());
}

void Measure(int files, const std::wstring& supported)
{
    const std::wstring folder = MakeCameraFolder(files);
    int plainCount = 0;
    PlainEnumerationSeconds(folder, supported, plainCount);  // warms the file system's caches for both
    const double plain = PlainEnumerationSeconds(folder, supported, plainCount);

    // Raw files are not among the installed codecs' types here: the scanner hands on what matches.
    const double scannerOnly = ScannerOnlySeconds(folder, supported, plainCount);
    HWND noFrame = nullptr;
    const double listOnly = ListOnlySeconds(folder, supported, &noFrame);

    FirstEntryWatch frame;
    HWND frameHandle = frame.Create(nullptr, nullptr, L"bench", WS_OVERLAPPEDWINDOW);
    const uint32_t expected = static_cast<uint32_t>(files / 2);
    double whole = 0;
    double perEntry = 0;
    {
        const SIZE_T before = HeapBytesInUse();
        CImageEngine engine(&frameHandle, true, false);
        const Clock::time_point start = Clock::now();
        if (!engine.OpenFolder(folder.c_str(), false, false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr))
            throw HResultError(E_FAIL);
        while (engine.GetEntryCount() < expected && SecondsSince(start) < 600) {
            Pump();
            Sleep(1);
        }
        whole = SecondsSince(start);
        Pump();
        perEntry = double(HeapBytesInUse() - before) / expected;
        std::printf("%6d | %7u | %11.3f | %10.3f | %14.3f | %12.3f | %9.3f | %9.0f\n", files,
                    engine.GetEntryCount(), std::chrono::duration<double>(frame.firstEntry - start).count(), whole,
                    plain, scannerOnly, listOnly, perEntry);
        std::fflush(stdout);
    }
    frame.DestroyWindow();
    RemoveFolder(folder);
}
}

int wmain()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    std::printf("Camera folder (IMG_nnnnn.CR2 + .JPG, empty files) opened into the image list, names order.\n"
                "Seconds; baseline: FindFirstFileW over the same folder. Scanner only: its records drained, nothing\n"
                "listed. List only: the names handed to the list on one thread, no scanner.\n"
                " files | entries | first entry | whole list | FindFirstFileW | scanner only | list only | bytes/entry\n");
    try {
        const std::wstring supported = InstalledCodecsList();
        std::printf("Supported list (the installed codecs'): %ls\n", supported.c_str());
        Measure(10000, supported);
        Measure(50000, supported);
    } catch (...) {
        std::printf("failed: 0x%08lX\n", static_cast<unsigned long>(HResultFromCaughtException()));
        return 1;
    }
    CoUninitialize();
    return 0;
}
