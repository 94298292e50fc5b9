#include "Viewer/core/VersionInfo.h"
#include <gtest/gtest.h>
#include "Viewer/core/LastActivity.h"
#include "tests/core/CrashProbe.h"
#include "tests/crashprobe/CrashProbeResources.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"

namespace {
struct VersionTextCase {
    VersionParts version;
    const wchar_t* label;
    size_t capacity;
    const wchar_t* expected;
};

void PrintTo(const VersionTextCase& c, std::ostream* out)
{
    *out << c.version[0] << "." << c.version[1] << "." << c.version[2] << "." << c.version[3] << (c.label ? " labelled" : "") << " in " << c.capacity;
}

class AppVersionText : public testing::TestWithParam<VersionTextCase> {};

TEST_P(AppVersionText, IsFormattedByLabelAndRevision)
{
    wchar_t text[64];
    std::fill(std::begin(text), std::end(text), L'#');
    FormatAppVersion(GetParam().version, GetParam().label, text, GetParam().capacity);
    EXPECT_STREQ(GetParam().expected, text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppVersionText,
    testing::Values(VersionTextCase{{4, 2, 17, 3}, L"Build", 64, L"4.02 (Build: 017.3) 64-bit"},
                    VersionTextCase{{4, 2, 17, 0}, L"Build", 64, L"4.02 (Build: 017) 64-bit"},
                    VersionTextCase{{4, 2, 17, 3}, nullptr, 64, L"4.02.17.3"},
                    VersionTextCase{{4, 2, 17, 0}, nullptr, 64, L"4.02.17"},
                    VersionTextCase{{12, 34, 5678, 9}, L"Build", 64, L"12.34 (Build: 5678.9) 64-bit"},
                    VersionTextCase{{4, 2, 17, 3}, L"Build", 5, L"4.02"},  // cut at the capacity
                    VersionTextCase{{4, 2, 17, 3}, nullptr, 1, L""}));

TEST(ModuleVersionInfo, ReadsNumbersAndTextsOfTheResource)
{
    ModuleVersionInfo info(CrashProbePath().c_str());
    EXPECT_EQ(CrashProbePath(), info.path);
    ASSERT_NE(nullptr, info.block);
    EXPECT_EQ((VersionParts{PROBE_VERSION_MAJOR, PROBE_VERSION_MINOR, PROBE_VERSION_BUILD, PROBE_VERSION_REVISION}),
              info.fileVersion);
    EXPECT_EQ((VersionParts{5, 6, 7, 8}), info.productVersion);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), info.fileType);
    EXPECT_EQ(static_cast<DWORD>(VOS_NT_WINDOWS32), info.fileOS);
    EXPECT_EQ(L"" PROBE_COMPANY, info.companyName);
    EXPECT_EQ(L"" PROBE_PRODUCT, info.productName);
    EXPECT_EQ(L"" PROBE_DESCRIPTION, info.fileDescription);

    wchar_t value[260] = L"unchanged";
    EXPECT_TRUE(QueryVersionString(info, L"ProductName", value));
    EXPECT_STREQ(L"" PROBE_PRODUCT, value);
    EXPECT_FALSE(QueryVersionString(info, L"LegalTrademarks", value));
    EXPECT_STREQ(L"", value);
}

TEST(ModuleVersionInfo, WithoutResourceOrPathIsEmpty)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);  // the test program carries no version resource
    for (const wchar_t* path : {static_cast<const wchar_t*>(self), L"", static_cast<const wchar_t*>(nullptr),
                                L"C:\\no\\such\\file.dll"}) {
        ModuleVersionInfo info(path);
        EXPECT_EQ(nullptr, info.block);
        EXPECT_EQ(VersionParts{}, info.fileVersion);
        EXPECT_EQ(VersionParts{}, info.productVersion);
        EXPECT_EQ(L"", info.companyName);
        wchar_t value[260] = L"unchanged";
        EXPECT_FALSE(QueryVersionString(info, L"CompanyName", value));
        EXPECT_STREQ(L"", value);
    }
}

TEST(ModuleVersionInfo, KeepsAtMost518CharactersOfThePath)
{
    std::wstring longPath = L"C:\\" + std::wstring(600, L'x');
    EXPECT_EQ(518u, ModuleVersionInfo(longPath.c_str()).path.size());
}

TEST(GetAppVersion, WithoutAResourceFailsAndLeavesTheOutValues)
{
    WORD major = 77, minor = 77, build = 77, revision = 77;
    wchar_t text[32] = L"unchanged";
    LastActivityCode = 0;
    EXPECT_TRUE(FAILED(GetAppVersion(&major, &minor, &build, &revision, text, 32, L"Build")));
    EXPECT_EQ(77, major);
    EXPECT_EQ(77, revision);
    EXPECT_STREQ(L"unchanged", text);
    EXPECT_EQ(129.0, LastActivityCode.load()) << "stopped inside the version read";
}

TEST(GetAppVersion, ReadsTheRunningProgramsOwnVersion)
{
    RegistrySandbox registry;
    TempFolder folder;
    ProbeRun run = RunCrashProbe(L"version", folder.Path(), registry.RealPath());
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((std::vector<std::wstring>{L"version", L"4", L"2", L"17", L"3", L"4.02 (Build: 017.3) 64-bit",
                                         L"4.02.17.3", L"4"}),
              run.record);
}
}
