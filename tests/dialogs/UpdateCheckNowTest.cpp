#include "Viewer/dialogs/UpdateCheckNow.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/VersionInfo.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
class UpdateCheckNowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        m_settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS);
        m_savedDescription = AppSettings::NewVersionDescription;
        m_savedFlag = AppSettings::NewVersionAvailable;
    }
    void TearDown() override
    {
        AppSettings::NewVersionDescription = m_savedDescription;
        AppSettings::NewVersionAvailable = m_savedFlag;
    }

    // Runs the button's check with a fake feed, answering every message box with answer.
    void CheckNow(HRESULT result, UINT ttl, const wchar_t* version, const wchar_t* description, int answer = IDNO)
    {
        const ScopedModalSeam seam(ModalSeam{
            .messageBox =
                [&](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
                    messages.push_back({text, caption, type});
                    return answer;
                },
            .openWithShell =
                [&](HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*, const wchar_t*, int) {
                    opened.push_back({verb, file});
                    return reinterpret_cast<HINSTANCE>(INT_PTR{42});
                }});
        CheckForUpdatesNow(nullptr, [&](UINT& feedTtl, Bstr& latest, Bstr& text) {
            feedTtl = ttl;
            if (version) latest = Bstr(version);
            if (description) text = Bstr(description);
            return result;
        });
    }

    RegistrySandbox m_sandbox;
    ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegKey m_settings;
    std::vector<ShownMessage> messages;
    std::vector<ShellOpen> opened;

private:
    Bstr m_savedDescription;
    bool m_savedFlag = false;
};
}

TEST_F(UpdateCheckNowTest, AFailedCheckSaysSoAndStillRecordsItsTime)
{
    m_settings.SetDword(L"UpdateCheckInterval", 77);
    const DWORD before = UpdateClockNow();
    CheckNow(HRESULT_FROM_WIN32(ERROR_TIMEOUT), 1440, nullptr, nullptr);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadUiString(10114), messages[0].text);
    EXPECT_EQ(LoadUiString(10111), messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), messages[0].type);
    EXPECT_GE(m_settings.QueryDword(L"LastUpdateCheck").value_or(0), before);
    EXPECT_EQ(77u, m_settings.QueryDword(L"UpdateCheckInterval").value_or(0)) << "a failure learns no interval";
}

TEST_F(UpdateCheckNowTest, NoNewerVersionStoresTheFeedsTimeToLive)
{
    CheckNow(S_FALSE, 720, L"1.0.0.0", nullptr);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadUiString(10113), messages[0].text);
    EXPECT_EQ(720u, m_settings.QueryDword(L"UpdateCheckInterval").value_or(0));
    EXPECT_TRUE(m_settings.QueryDword(L"LastUpdateCheck"));
    EXPECT_TRUE(opened.empty());
}

TEST_F(UpdateCheckNowTest, ANewerVersionIsOfferedAndYesOpensTheDownloadsPageForTheRunningVersion)
{
    CheckNow(S_OK, 60, L"5.3.21.7", L"Faster decoding.", IDYES);
    ASSERT_EQ(1u, messages.size());
    EXPECT_NE(std::wstring::npos, messages[0].text.find(L"5.03 (Build 021)"));
    EXPECT_NE(std::wstring::npos, messages[0].text.find(L"Faster decoding.\r\n\r\n"));
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION), messages[0].type);
    EXPECT_EQ(L"5.3.21.7", m_settings.QueryString(L"NewVersionAvailable").value_or(L""));
    EXPECT_EQ(L"Faster decoding.", m_settings.QueryString(L"NewVersionDescription").value_or(L""));
    EXPECT_TRUE(AppSettings::NewVersionAvailable);
    EXPECT_EQ(L"Faster decoding.", std::wstring(AppSettings::NewVersionDescription.View()));

    WORD major = 0, minor = 0, build = 0, revision = 0;
    GetAppVersion(&major, &minor, &build, &revision, nullptr, 0, nullptr);
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(std::wstring(kDownloadsPage) + L"?curver=" + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
                  std::to_wstring(build) + L"." + std::to_wstring(revision),
              opened[0].file);
}

TEST_F(UpdateCheckNowTest, NoOpensNothing)
{
    CheckNow(S_OK, 60, L"5.3.21.7", nullptr, IDNO);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(L"", m_settings.QueryString(L"NewVersionDescription").value_or(L"absent"));
}
