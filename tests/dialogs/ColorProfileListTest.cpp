#include "Viewer/dialogs/OptionsDialog.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "tests/support/DialogDriver.h"
#include "tests/imaging/TestProfiles.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr int kProfileList = 1093;

// A generated profile placed in the system's colour directory under a unique .icm name (Wine lists
// only .icm files there), removed again afterwards.
class PlacedProfile {
public:
    explicit PlacedProfile(const std::wstring& description)
    {
        wchar_t system[MAX_PATH]{};
        GetSystemDirectoryW(system, MAX_PATH);
        fileName = L"LumenfoldOptions" + UniqueName() + L".icm";
        path = std::wstring(system) + L"\\spool\\drivers\\color\\" + fileName;
        ByteVector bytes = ProfileWithDescription("desc", description);
        memcpy(&bytes[12], "mntr", 4);  // a monitor profile: the list shows no other class
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        EXPECT_TRUE(file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    PlacedProfile(const PlacedProfile&) = delete;
    PlacedProfile& operator=(const PlacedProfile&) = delete;
    ~PlacedProfile() { DeleteFileW(path.c_str()); }

    std::wstring fileName;
    std::wstring path;
};

HWND ProfileList(HWND dialog)
{
    for (HWND page = GetWindow(GetDlgItem(dialog, 1057), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (HWND list = GetDlgItem(page, kProfileList)) return list;
    return nullptr;
}

std::wstring ItemText(HWND list, int position)
{
    wchar_t text[256]{};
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> Items(HWND list)
{
    std::vector<std::wstring> items;
    const auto count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int position = 0; position < count; ++position) items.push_back(ItemText(list, position));
    return items;
}

// Serves the dialog's thread until the scan has filled the list.
bool WaitForScan(HWND list)
{
    const std::wstring pending = LoadUiString(10124);
    for (int round = 0; round < 500; ++round) {
        PumpPostedMessages();
        if (SendMessageW(list, CB_GETCOUNT, 0, 0) != 1 || ItemText(list, 0) != pending) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return false;
}

class ColorProfileListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        m_saved = AppSettings::CustomTargetColorProfile;
        m_settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS);
        m_settings.SetDword(L"EnableICC", 1);
        m_settings.SetDword(L"OverrideTargetProfile", 1);
        LastOptionsPage = 0;
    }
    void TearDown() override { AppSettings::CustomTargetColorProfile = m_saved; }

    std::vector<ShownMessage> Run(const std::function<void(HWND)>& drive, OptionsServices services = {})
    {
        std::vector<ActionPlugInRecord> none;
        services.plugIns = &none;
        DialogDriver driver([&](HWND dialog) {
            drive(dialog);
            if (IsWindowVisible(dialog)) SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        COptionsDialog dialog(std::move(services));
        dialog.DoModal(nullptr);
        return driver.messages;
    }

    RegistrySandbox m_sandbox;
    ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegKey m_settings;

private:
    Bstr m_saved;
};
}

TEST_F(ColorProfileListTest, APlacedProfileIsListedUnderItsDescriptionAndChosenWhenCurrent)
{
    const PlacedProfile profile(L"Lumenfold test monitor");
    AppSettings::CustomTargetColorProfile = Bstr(profile.path);
    const auto messages = Run([&](HWND dialog) {
        HWND list = ProfileList(dialog);
        EXPECT_FALSE(IsWindowEnabled(list)) << "disabled while the scan runs";
        ASSERT_TRUE(WaitForScan(list));
        const std::vector<std::wstring> items = Items(list);
        EXPECT_NE(items.end(), std::find(items.begin(), items.end(), L"Lumenfold test monitor"));
        EXPECT_NE(items.end(), std::find(items.begin(), items.end(), L"sRGB IEC61966-2.1"));
        EXPECT_EQ(L"Lumenfold test monitor", ItemText(list, static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0))));
        EXPECT_TRUE(IsWindowEnabled(list));
    });
    EXPECT_EQ(profile.fileName, m_settings.QueryString(L"CustomTargetColorProfile").value_or(L""));
    EXPECT_TRUE(messages.empty()) << "the profile did not change";
}

TEST_F(ColorProfileListTest, AProfileWithoutDescriptionIsListedUnderItsFileNameAndChoosingItNeedsARestart)
{
    const PlacedProfile profile(L"");
    AppSettings::CustomTargetColorProfile = Bstr();
    const auto messages = Run([&](HWND dialog) {
        HWND list = ProfileList(dialog);
        ASSERT_TRUE(WaitForScan(list));
        const auto position = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(profile.fileName.c_str()));
        ASSERT_NE(CB_ERR, position);
        EXPECT_EQ(L"sRGB IEC61966-2.1", ItemText(list, static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0))));
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    });
    EXPECT_EQ(profile.fileName, m_settings.QueryString(L"CustomTargetColorProfile").value_or(L""));
    EXPECT_EQ(0, lstrcmpiW(profile.path.c_str(), AppSettings::CustomTargetColorProfile.c_str()));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadUiString(10109), messages[0].text);
}

TEST_F(ColorProfileListTest, AVanishedProfileLeavesTheDefaultChosenWhichStoresNothing)
{
    AppSettings::CustomTargetColorProfile = Bstr(L"C:\\windows\\system32\\spool\\drivers\\color\\LumenfoldGone.icm");
    const auto messages = Run([](HWND dialog) {
        HWND list = ProfileList(dialog);
        ASSERT_TRUE(WaitForScan(list));
        EXPECT_EQ(L"sRGB IEC61966-2.1", ItemText(list, static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0))));
    });
    EXPECT_EQ(L"", m_settings.QueryString(L"CustomTargetColorProfile").value_or(L"absent"));
    EXPECT_TRUE(AppSettings::CustomTargetColorProfile.Empty());
    ASSERT_EQ(1u, messages.size()) << "the profile in use changes at the next start";
}

TEST_F(ColorProfileListTest, ClosingBeforeTheScanEndsKeepsTheStoredProfile)
{
    AppSettings::CustomTargetColorProfile = Bstr(L"C:\\colour\\kept.icm");
    m_settings.SetString(L"CustomTargetColorProfile", L"kept.icm");
    OptionsServices slow;
    slow.enumerateProfiles = [](HANDLE stop) {
        WaitForSingleObject(stop, 2000);
        return std::vector<std::wstring>{L"late.icm"};
    };
    for (int round = 0; round < 4; ++round) {
        const auto messages = Run([](HWND) {}, slow);
        EXPECT_TRUE(messages.empty());
    }
    EXPECT_EQ(L"kept.icm", m_settings.QueryString(L"CustomTargetColorProfile").value_or(L""));
    EXPECT_EQ(L"C:\\colour\\kept.icm", std::wstring(AppSettings::CustomTargetColorProfile.View()));
}
