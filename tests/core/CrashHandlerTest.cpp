#include "Viewer/core/CrashHandler.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <regex>
#include <string>
#include <vector>
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/CrashNotice.h"
#include "Viewer/core/CrashReport.h"
#include "Viewer/core/ExceptionFilterGuard.h"
#include "Viewer/core/LastActivity.h"
#include "Framework/UniqueHandle.h"
#include "tests/core/CrashProbe.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"

namespace {
LONG WINAPI FilterA(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }
LONG WINAPI FilterB(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

// Puts the process's filter back as it was before the test.
class FilterRestorer {
public:
    FilterRestorer() : m_original(SetUnhandledExceptionFilter(FilterA)) {}
    ~FilterRestorer() { SetUnhandledExceptionFilter(m_original); }

private:
    LPTOP_LEVEL_EXCEPTION_FILTER m_original;
};

struct SystemNameCase {
    DWORD platform, major, minor, build;
    BYTE productType;
    const wchar_t* expected;
};

void PrintTo(const SystemNameCase& c, std::ostream* out)
{
    *out << c.platform << "/" << c.major << "." << c.minor << "." << c.build << "/" << int(c.productType);
}

class SystemNames : public testing::TestWithParam<SystemNameCase> {};

TEST_P(SystemNames, FollowPlatformVersionAndProductType)
{
    OSVERSIONINFOEXW version{};
    version.dwPlatformId = GetParam().platform;
    version.dwMajorVersion = GetParam().major;
    version.dwMinorVersion = GetParam().minor;
    version.dwBuildNumber = GetParam().build;
    version.wProductType = GetParam().productType;
    EXPECT_STREQ(GetParam().expected, SystemName(version));
}

constexpr DWORD Nine = VER_PLATFORM_WIN32_WINDOWS, Nt = VER_PLATFORM_WIN32_NT, Ce = 3;
constexpr BYTE Workstation = VER_NT_WORKSTATION, Server = VER_NT_SERVER, Controller = VER_NT_DOMAIN_CONTROLLER;

INSTANTIATE_TEST_SUITE_P(
    Table, SystemNames,
    testing::Values(SystemNameCase{Nine, 4, 0, 950, 0, L"Windows 95"}, SystemNameCase{Nine, 4, 0, 951, 0, L"Windows 95 SP1"},
                    SystemNameCase{Nine, 4, 3, 1080, 0, L"Windows 95 SP1"},
                    SystemNameCase{Nine, 4, 0, 1081, 0, L"Windows 95 OSR2"},
                    SystemNameCase{Nine, 4, 10, 1998, 0, L"Windows 98"},
                    SystemNameCase{Nine, 4, 10, 2182, 0, L"Windows 98 SP1"},
                    SystemNameCase{Nine, 4, 10, 2183, 0, L"Windows 98 SE"}, SystemNameCase{Nine, 4, 90, 3000, 0, L"Windows ME"},
                    SystemNameCase{Nt, 3, 51, 1057, Workstation, L"Windows NT 3.51"},
                    SystemNameCase{Nt, 4, 0, 1381, Server, L"Windows NT 4"},
                    SystemNameCase{Nt, 5, 0, 2195, Workstation, L"Windows 2000"},
                    SystemNameCase{Nt, 5, 1, 2600, Workstation, L"Windows XP"},
                    SystemNameCase{Nt, 5, 2, 3790, Server, L"Windows 2003 Server"},
                    SystemNameCase{Nt, 6, 0, 6002, Workstation, L"Windows Vista"},
                    SystemNameCase{Nt, 6, 0, 6002, Server, L"Windows 2008 Server"},
                    SystemNameCase{Nt, 6, 1, 7601, Workstation, L"Windows 7"},
                    SystemNameCase{Nt, 6, 1, 7601, Server, L"Windows 7 Server"},
                    SystemNameCase{Nt, 6, 1, 7601, Controller, L"Unknown Windows Version"},
                    SystemNameCase{Nt, 6, 2, 9200, Workstation, L"Unknown Windows Version"},
                    SystemNameCase{Ce, 5, 0, 0, 0, L"Windows CE"},
                    SystemNameCase{Nine, 4, 0, 900, 0, L"Unknown Windows Version"},
                    SystemNameCase{7, 6, 1, 7601, Workstation, L"Unknown Windows Version"}));

TEST(ExceptionFilterGuard, KeepsTheFilterInPlaceWhileActive)
{
    FilterRestorer restorer;
    {
        ExceptionFilterGuard guard;
        ASSERT_TRUE(guard.Activate());
        EXPECT_TRUE(guard.Active());
        EXPECT_EQ(nullptr, SetUnhandledExceptionFilter(FilterB)) << "nothing installed, no previous filter";
        guard.Deactivate();
        EXPECT_FALSE(guard.Active());
    }
    EXPECT_EQ(&FilterA, SetUnhandledExceptionFilter(FilterA)) << "FilterB never got in";
}

TEST(CrashHandler, EnforcedFilterCannotBeReplacedUntilRemoved)
{
    FilterRestorer restorer;
    InstallCrashHandler(true);
    EXPECT_EQ(9998.1, LastActivityCode.load());
    EXPECT_EQ(nullptr, SetUnhandledExceptionFilter(FilterB));
    RemoveCrashHandler();
    EXPECT_EQ(9999.1, LastActivityCode.load());
    EXPECT_EQ(&FilterA, SetUnhandledExceptionFilter(FilterB)) << "the previous filter is back and calls work again";
    EXPECT_EQ(&FilterB, SetUnhandledExceptionFilter(FilterA));
}

TEST(CrashHandler, UnenforcedFilterIsInstalledAndGivesWayToLaterCalls)
{
    FilterRestorer restorer;
    LastActivityCode = 0;
    InstallCrashHandler(false);
    EXPECT_EQ(0.0, LastActivityCode.load()) << "no guard, no guard codes";
    EXPECT_EQ(&CrashExceptionFilter, SetUnhandledExceptionFilter(CrashExceptionFilter));
    RemoveCrashHandler();
    EXPECT_EQ(&FilterA, SetUnhandledExceptionFilter(FilterA));
}

struct NoticeCase {
    bool dump, report;
    const wchar_t* expected;
};

void PrintTo(const NoticeCase& c, std::ostream* out)
{
    *out << "dump " << c.dump << ", report " << c.report;
}

class CrashNoticeText : public testing::TestWithParam<NoticeCase> {};

TEST_P(CrashNoticeText, NamesTheWrittenFiles)
{
    ScopedResourceModule strings(CrashProbeFileName);
    ASSERT_TRUE(strings.Loaded()) << "crashprobe.exe is built with the tests";
    EXPECT_EQ(GetParam().expected, ComposeCrashNotice(GetParam().dump, GetParam().report, L"D.mdmp", L"R.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CrashNoticeText,
    testing::Values(NoticeCase{true, true, L"[10011][10013]D.mdmp\r\n\r\n[10014]R.txt\r\n[10015][10016] [10018][10019]"},
                    NoticeCase{true, false, L"[10011][10013]D.mdmp\r\n[10015][10017] [10018][10019]"},
                    NoticeCase{false, true, L"[10011][10014]R.txt\r\n[10015][10017] [10018][10019]"},
                    NoticeCase{false, false, L"[10011]"}));

TEST(CrashNotice, IsCutAt1039Characters)
{
    ScopedResourceModule strings(CrashProbeFileName);
    ASSERT_TRUE(strings.Loaded()) << "crashprobe.exe is built with the tests";
    std::wstring longPath(2000, L'p');
    EXPECT_EQ(1039u, ComposeCrashNotice(true, true, longPath.c_str(), L"R.txt").size());
}

TEST(CrashNotice, ExplorerSelectsTheFile)
{
    EXPECT_EQ(L"C:\\windows\\explorer.exe /e,/select,\"C:\\T\\a b.mdmp\"",
              ExplorerSelectCommandLine(L"C:\\windows\\explorer.exe", L"C:\\T\\a b.mdmp"));
}

TEST(CrashNotice, ShowsTheBoxThenOpensExplorerOnTheDumpOrElseTheReport)
{
    struct Case {
        bool dump, report;
        const wchar_t* selected;  // null: Explorer is not started
    };
    const Case cases[] = {
        {true, true, L"D.mdmp"}, {true, false, L"D.mdmp"}, {false, true, L"R.txt"}, {false, false, nullptr}};
    ScopedResourceModule strings(CrashProbeFileName);
    ASSERT_TRUE(strings.Loaded()) << "crashprobe.exe is built with the tests";
    wchar_t explorer[MAX_PATH];
    GetWindowsDirectoryW(explorer, MAX_PATH);
    wcscat(explorer, L"\\explorer.exe");
    for (const Case& c : cases) {
        std::vector<std::wstring> calls;
        ScopedModalSeam seam({
            .messageBox = [&](HWND, const wchar_t*, const wchar_t* caption, UINT type) {
                calls.push_back(L"box " + std::wstring(caption) + L" " + std::to_wstring(type));
                return IDOK;
            },
            .launchProcess = [&](const wchar_t* program, const wchar_t* commandLine) {
                calls.push_back(L"launch " + std::wstring(program) + L" | " + commandLine);
                return TRUE;
            },
        });
        ShowCrashNotice(c.dump, c.report, L"D.mdmp", L"R.txt");
        std::vector<std::wstring> expected = {L"box [10012] " +
                                              std::to_wstring(MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST)};
        if (c.selected)
            expected.push_back(L"launch " + std::wstring(explorer) + L" | " + explorer + L" /e,/select,\"" + c.selected +
                               L"\"");
        EXPECT_EQ(expected, calls) << "dump " << c.dump << ", report " << c.report;
    }
}

// ---- A real crash in a child process -------------------------------------------------------

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadBytes(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    return bytes;
}

// The report's lines without their CR LF; the byte-order mark is checked and dropped.
std::vector<std::wstring> ReportLines(const std::wstring& path)
{
    std::string bytes = ReadBytes(path);
    EXPECT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2)) << "UTF-16LE byte-order mark";
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_EQ(L"\r\n", text.substr(text.size() - 2)) << "the last line ends too";
    std::vector<std::wstring> lines;
    for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

size_t IndexOf(const std::vector<std::wstring>& lines, const std::wstring& line, size_t from = 0)
{
    auto found = std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line);
    return static_cast<size_t>(found - lines.begin());
}

class CrashReportOfAChild : public testing::Test {
protected:
    void SetUp() override
    {
        RegKey settings;
        ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        settings.SetDword(L"DisableHWA", 1);
        settings.SetDword(L"DisableSMP", 0);
        settings.SetDword(L"EnableICC", 1);  // MultiSampling stays absent
    }

    // Runs the probe and finds the two crash files, whose names must share their tail.
    void Crash(const wchar_t* mode)
    {
        m_run = RunCrashProbe(mode, m_folder.Path(), m_registry.RealPath());
        std::vector<std::wstring> files = FilesIn(m_folder.Path());
        std::wregex dumpName(L"crashprobe\\.exe\\.([0-9A-F]{12})\\.mdmp");
        std::wsmatch match;
        auto dump = std::find_if(files.begin(), files.end(), [&](const std::wstring& n) {
            return std::regex_match(n, match, dumpName);
        });
        ASSERT_NE(files.end(), dump) << "a dump named after the program";
        m_dumpPath = m_folder.File(*dump);
        m_reportPath = m_folder.File(L"crashprobe.exe." + match[1].str() + L".txt");
        EXPECT_EQ((std::vector<std::wstring>{*dump, L"crashprobe.exe." + match[1].str() + L".txt", L"probe-record.bin"}),
                  files);
    }

    RegistrySandbox m_registry;
    TempFolder m_folder;
    ProbeRun m_run;
    std::wstring m_dumpPath, m_reportPath;
};

TEST_F(CrashReportOfAChild, LeavesDumpReportAndNotice)
{
    ASSERT_NO_FATAL_FAILURE(Crash(L"crash"));
    EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), m_run.exitCode);
    EXPECT_EQ("MDMP", ReadBytes(m_dumpPath).substr(0, 4));

    wchar_t explorer[MAX_PATH];
    GetWindowsDirectoryW(explorer, MAX_PATH);
    wcscat(explorer, L"\\explorer.exe");
    const std::wstring expectedNotice =
        L"[10011][10013]" + m_dumpPath + L"\r\n\r\n[10014]" + m_reportPath + L"\r\n[10015][10016] [10018][10019]";
    EXPECT_EQ((std::vector<std::wstring>{L"box", L"[10012]", expectedNotice,
                                         std::to_wstring(MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST), L"launch",
                                         explorer, std::wstring(explorer) + L" /e,/select,\"" + m_dumpPath + L"\""}),
              m_run.record);
}

TEST_F(CrashReportOfAChild, ReportHasHeaderModulesAndSettings)
{
    ASSERT_NO_FATAL_FAILURE(Crash(L"crash"));
    std::vector<std::wstring> lines = ReportLines(m_reportPath);
    ASSERT_GT(lines.size(), 60u);

    const std::wregex header[] = {
        std::wregex(L"Error occurred at \\d{4}-\\d{1,2}-\\d{1,2} \\d\\d:\\d\\d:\\d\\d"),
        std::wregex(L".*\\\\crashprobe\\.exe", std::regex::icase),
        std::wregex(L"Operating system:  .+ \\(\\d+\\.\\d+\\.\\d+\\)"),
        std::wregex(L"\\d+ processor\\(s\\), type \\d+"),
        std::wregex(L"\\d+% memory in use"),
        std::wregex(L"\\d+ MBytes physical memory"),
        std::wregex(L"\\d+ MBytes physical memory free"),
        std::wregex(L"\\d+ MBytes paging file free"),
        std::wregex(L"\\d+ MBytes user address space"),
        std::wregex(L"\\d+ MBytes user address space free"),
        std::wregex(L""),
        std::wregex(L""),
    };
    for (size_t i = 0; i < std::size(header); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], header[i])) << "line " << i << ": " << testing::PrintToString(lines[i]);

    // Modules, numbered from 1 in address order: the program itself (above 4 GB on x64) with its
    // version resource, and the system libraries.
    EXPECT_EQ(L"Module 1:", lines[12]);
    const std::wstring program = lines[1];
    size_t at = IndexOf(lines, program, 13);
    ASSERT_LT(at, lines.size()) << "the program is in the module list";
    EXPECT_TRUE(std::regex_match(lines[at - 1], std::wregex(L"Module \\d+:")));
    // A 64-bit program lies above 4 GB (where the loader puts it depends on the system): every digit
    // of its base is printed, not only the low 32 bits.
    EXPECT_TRUE(std::regex_match(lines[at + 1],
                                 std::wregex(L"Image Base: 0x[1-9a-f][0-9a-f]{8,15}  Image Size: 0x[0-9a-f]{8}")))
        << testing::PrintToString(lines[at + 1]) << ": the full 64-bit base";
    EXPECT_TRUE(std::regex_match(lines[at + 2], std::wregex(L"Checksum:   0x[0-9a-f]{8}  Time Stamp: 0x[0-9a-f]{8}")));
    EXPECT_TRUE(std::regex_match(lines[at + 3],
                                 std::wregex(L"File Size:  \\d+ *  File Time:  \\d{4}-\\d+-\\d+ \\d\\d:\\d\\d:\\d\\d")));
    EXPECT_EQ((std::vector<std::wstring>{L"Version Information:", L"   Company:    Probe Works",
                                         L"   Product:    Crash Probe", L"   FileDesc:   Faults on purpose",
                                         L"   FileVer:    4.2.17.3", L"   ProdVer:    5.6.7.8", L""}),
              std::vector<std::wstring>(lines.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                        lines.begin() + static_cast<std::ptrdiff_t>(at + 11)));
    int modules = 0;
    bool systemLibrary = false;
    for (size_t i = 12; i < lines.size(); ++i) {
        if (lines[i] != L"Module " + std::to_wstring(modules + 1) + L":") continue;
        ++modules;
        std::wstring path = lines[i + 1];
        std::transform(path.begin(), path.end(), path.begin(), ::towlower);
        systemLibrary = systemLibrary || path.ends_with(L"\\kernel32.dll") || path.ends_with(L"\\ntdll.dll");
    }
    EXPECT_GE(modules, 3);
    EXPECT_TRUE(systemLibrary) << "the system libraries are listed too";

    // The settings section: the last-activity code, four stored values, then the current ones.
    size_t settings = IndexOf(lines, L"App Settings:");
    ASSERT_LT(settings + 2, lines.size());
    EXPECT_EQ(L"", lines[settings - 1]);
    EXPECT_EQ(L"", lines[settings + 1]);
    const std::vector<std::wstring> expected = {
        L"   CheckPoint: 123.456000", L"   DisableHWA: 1", L"   DisableSMP: 0", L"   EnableICC: 1",
        L"   MultiSampling: 0", L"   RightClickMagnifier: 300", L"   SmartMouseAcceleration: 100",
        L"   EnableInvertedZoomScrolling: 0", L"   HideZoomMouseCursor: 1", L"   SubFoldersBrowsing: 1",
        L"   EnableRating: 0", L"   EnableLabelling: 0", L"   EnableUrgency: 0", L"   LabellingConvention: 2",
        L"   CreateSidecarFiles: 0", L"   AlwaysCreateSidecarFiles: 0", L"   EmbedMetadata: 0",
        L"   PrefixFileNamesWithRating: 0", L"   EnableFilePrefixes: 0", L"   EnableFileOwerwrite: 0",
        L"   EnableExifAutoRotate: 1", L"   EnableFileDeletion: 0", L"   EnableMoveToRecycleBin: 1",
        L"   EnableExitFromEscapeKey: 1", L"   EnableFileNameInCaption: 1", L"   EnableHistogramDataCompression: 0",
        L"   EnablePerChannelHistogramNormalization: 0", L"   EnableCopiedStampOverlay: 1",
        L"   PreserveSourceFolderHierarchy: 0", L"   ReuseLastPictureFolder: 0", L"   ReuseLastKeepCopyFolder: 0",
        L"   WrapImageList: 1", L"   EnableMessageBeep: 1", L"   TrackModeActive: 1", L"   TetheredModeActive: 0",
        L"   AutoModeActive: 0", L"   AutoModeIntervalMs: 1000", L"   AutoHideTaskbar: 0", L"   AutoHideMouseCursor: 1",
        L"   SortByDateTime: 0", L"   ShowHistogram: 1", L"   ShowShootingData: 1", L"   DownscaleLargeImages: 0070",
        L"   WarnOnInvalidProfile: 0000", L"   DefaultProfile: sRGB IEC61966-2.1",
        L"   CustomTargetColorProfile: <Automatic>"};
    ASSERT_GE(lines.size(), settings + 2 + expected.size());
    EXPECT_EQ(expected, std::vector<std::wstring>(lines.begin() + static_cast<std::ptrdiff_t>(settings + 2),
                                                  lines.begin() + static_cast<std::ptrdiff_t>(settings + 2 + expected.size())));
    for (size_t i = settings + 2 + expected.size(); i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], std::wregex(L"   Adapter\\d+: State=0x[0-9a-f]{8} Name=.+ Device=.*")))
            << testing::PrintToString(lines[i]);
}

TEST_F(CrashReportOfAChild, EnforcedFilterSurvivesAnotherModulesReplacement)
{
    ASSERT_NO_FATAL_FAILURE(Crash(L"enforce"));
    ASSERT_GE(m_run.record.size(), 3u);
    EXPECT_EQ(L"hijack", m_run.record[0]);
    EXPECT_EQ(L"null", m_run.record[1]) << "the replacement call returned no previous filter";
    EXPECT_EQ(L"box", m_run.record[2]) << "our filter, not the other one, handled the crash";
    EXPECT_EQ(m_run.record.end(), std::find(m_run.record.begin(), m_run.record.end(), L"hijacked"));
}
}

namespace {
// A copy of the probe beside a dbghelp.dll whose dump writer fails after writing a few bytes. The
// loader prefers the copy's own library through the prefix's per-program override, the one way to
// choose a child's libraries under Wine (its environment does not reach the loader).
std::wstring ProbeWithFailingDumpWriter(const TempFolder& folder)
{
    const std::wstring program = folder.File(L"crashprobe-nodump.exe");
    EXPECT_TRUE(CopyFileW(CrashProbePath().c_str(), program.c_str(), FALSE));
    EXPECT_TRUE(CopyFileW((TestProgramFolder() + L"\\failingdump\\dbghelp.dll").c_str(),
                          folder.File(L"dbghelp.dll").c_str(), FALSE));
    RegKey overrides;
    EXPECT_EQ(ERROR_SUCCESS,
              overrides.Create(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\crashprobe-nodump.exe\\DllOverrides"));
    overrides.SetString(L"dbghelp", L"native");
    return program;
}
}

TEST(CrashReportWithoutDump, LeavesTheReportDeletesThePartialDumpAndSaysSo)
{
    TempFolder programFolder, crashFolder;
    const std::wstring program = ProbeWithFailingDumpWriter(programFolder);
    RegistrySandbox registry;  // after the override, which belongs in the real user key

    const ProbeRun run = RunCrashProbe(L"crash", crashFolder.Path(), registry.RealPath(), program);
    const std::vector<std::wstring> files = FilesIn(crashFolder.Path());
    ASSERT_EQ(2u, files.size()) << "the report and the probe's record, no dump";
    const std::wregex reportName(L"crashprobe-nodump\\.exe\\.[0-9A-F]{12}\\.txt");
    ASSERT_TRUE(std::regex_match(files[0], reportName)) << testing::PrintToString(files[0]);
    EXPECT_EQ(L"probe-record.bin", files[1]);
    const std::wstring report = crashFolder.File(files[0]);
    EXPECT_FALSE(ReportLines(report).empty());

    ASSERT_GE(run.record.size(), 4u);
    EXPECT_EQ(L"box", run.record[0]);
    EXPECT_EQ(L"[10011][10014]" + report + L"\r\n[10015][10017] [10018][10019]", run.record[2])
        << "the notice names only the report";
    ASSERT_GE(run.record.size(), 7u);
    EXPECT_EQ(L"launch", run.record[4]);
    EXPECT_NE(std::wstring::npos, run.record[6].find(L"/select,\"" + report + L"\"")) << "Explorer shows the report";
}

TEST(CrashHandler, IsNotInstalledWhenTheCrashFilePathsWouldPass260Characters)
{
    TempFolder base;
    RegistrySandbox registry;
    // The temporary folder alone stays a legal folder; with "\\crashprobe.exe.<12 digits>.mdmp" the
    // paths would pass 260 characters, and a cut path would write the files somewhere else.
    std::wstring longFolder = base.Path();
    while (longFolder.size() < 236) {
        longFolder += L"\\" + std::wstring(std::min<size_t>(60, 236 - longFolder.size()), L'd');
        ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr)) << longFolder.size();
    }
    const ProbeRun run = RunCrashProbe(L"crash", longFolder, registry.RealPath());
    EXPECT_EQ(std::vector<std::wstring>{}, FilesIn(longFolder)) << "no crash files, and no notice recorded";
    EXPECT_EQ(std::vector<std::wstring>{}, run.record);
    wchar_t current[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, current);
    for (const std::wstring& folder : {TestProgramFolder(), std::wstring(current)})
        for (const std::wstring& name : FilesIn(folder))
            EXPECT_NE(0u, name.rfind(L"crashprobe.exe.", 0)) << "crash file left in " << testing::PrintToString(folder);
}
