#include "Viewer/dialogs/OptionsDialog.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {
using namespace AppSettings;

// Every process-wide value the dialog may change, put back after each test.
DWORD* const kTouched[] = {
    &RightClickMagnifier, &SmartMouseAcceleration, &AutoModeInterval, &EnableInvertedZoomScrolling,
    &HideZoomMouseCursor, &SubFoldersBrowsing, &EnableRating, &EnableLabelling, &EnableUrgency,
    &LabellingConvention, &CreateSidecarFiles, &EmbedMetadata, &PrefixFileNamesWithRating, &EnableFilePrefixes,
    &EnableFileOwerwrite, &EnableExifAutoRotate, &EnableFileDeletion, &EnableMoveToRecycleBin,
    &EnableExitFromEscapeKey, &EnableFileNameInCaption, &EnableHistogramDataCompression,
    &EnablePerChannelHistogramNormalization, &EnableCopiedStampOverlay, &PreserveSourceFolderHierarchy,
    &ReuseLastPictureFolder, &ReuseLastKeepCopyFolder, &WrapImageList, &EnableMessageBeep, &AutoHideTaskbar,
    &AutoHideMouseCursor, &SortByDateTime, &DownscaleLargeImages, &EnableMultiFrameSupport,
    &SaveBookmarksAcrossSessions, &MemoryUsageGuideNumber, &EnableRatingAutoAdvance, &EnableAbortableImageLoading,
    &SmoothPixelsInZoomModes, &StretchSmallImages,
};

// The pages, found by a control only they hold.
enum Page { Display, Mouse, Rating, Files, PlugIns, General, Performance };
constexpr int kMarker[] = {1027, 1043, 1042, 1046, 1074, 1032, 1120};

HWND PageOf(HWND dialog, Page page)
{
    for (HWND child = GetWindow(GetDlgItem(dialog, 1057), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, kMarker[page])) return child;
    return nullptr;
}

HWND Control(HWND dialog, Page page, int id)
{
    return GetDlgItem(PageOf(dialog, page), id);
}

void Click(HWND dialog, Page page, int id)
{
    SendMessageW(Control(dialog, page, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, Page page, int id)
{
    return SendMessageW(Control(dialog, page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND dialog, Page page, int id)
{
    return IsWindowEnabled(Control(dialog, page, id)) != FALSE;
}

// Chooses a list item the way a user does: the selection, then the notification to the page.
void Choose(HWND dialog, Page page, int id, int position)
{
    HWND list = Control(dialog, page, id);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::wstring SelectedText(HWND dialog, Page page, int id)
{
    HWND list = Control(dialog, page, id);
    const auto position = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (position < 0) return L"";
    wchar_t text[256]{};
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text));
    return text;
}

void SelectPage(HWND dialog, int position)
{
    HWND chooser = GetDlgItem(dialog, 1056);
    SendMessageW(chooser, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1056, LBN_SELCHANGE), reinterpret_cast<LPARAM>(chooser));
}

void Close(HWND dialog, WORD id = IDCANCEL)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        for (DWORD* value : kTouched) m_saved.push_back(*value);
        m_savedProfile = CustomTargetColorProfile;
        LastOptionsPage = 0;
        CommandLineColorProfile = false;
        m_settings.Create(HKEY_CURRENT_USER, KeyPath, KEY_ALL_ACCESS);
    }
    void TearDown() override
    {
        RestoreSettings();
        CustomTargetColorProfile = m_savedProfile;
        CommandLineColorProfile = false;
        LastOptionsPage = 0;
    }

    // Opens the dialog, lets drive change it, and closes it (Cancel) unless drive did; the message
    // boxes shown on the way.
    std::vector<ShownMessage> Run(const std::function<void(HWND)>& drive, OptionsServices services = {})
    {
        if (!services.enumerateProfiles) services.enumerateProfiles = [](HANDLE) { return std::vector<std::wstring>{}; };
        if (!services.plugIns) services.plugIns = &m_plugIns;
        DialogDriver driver([&](HWND dialog) {
            drive(dialog);
            if (IsWindowVisible(dialog)) Close(dialog);
        });
        COptionsDialog dialog(std::move(services));
        dialog.DoModal(nullptr);
        m_restartNoticeShown = dialog.RestartNoticeShown();
        return driver.messages;
    }

    void RestoreSettings()
    {
        for (size_t index = 0; index < std::size(kTouched); ++index) *kTouched[index] = m_saved[index];
    }

    std::optional<DWORD> Stored(const wchar_t* name) const { return m_settings.QueryDword(name); }

    RegistrySandbox m_sandbox;
    ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegKey m_settings;
    std::vector<ActionPlugInRecord> m_plugIns;
    bool m_restartNoticeShown = false;

private:
    std::vector<DWORD> m_saved;
    Bstr m_savedProfile;
};
}

TEST_F(OptionsDialogTest, EveryWayOfClosingStoresTheChangesLikeOk)
{
    struct Way {
        const char* name;
        std::function<void(HWND)> close;
    };
    const Way ways[] = {
        {"OK", [](HWND dialog) { Close(dialog, IDOK); }},
        {"Cancel", [](HWND dialog) { Close(dialog, IDCANCEL); }},
        {"Escape",
         [](HWND dialog) {
             MSG escape{GetDlgItem(dialog, 1056), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
             IsDialogMessageW(dialog, &escape);
             PumpPostedMessages();
         }},
        {"close box",
         [](HWND dialog) {
             SendMessageW(dialog, WM_CLOSE, 0, 0);
             PumpPostedMessages();
         }},
    };
    for (const Way& way : ways) {
        EnableFilePrefixes = 0;
        Run([&](HWND dialog) {
            Click(dialog, Files, 1046);
            way.close(dialog);
            EXPECT_FALSE(IsWindowVisible(dialog)) << way.name << " ends the dialog";
        });
        EXPECT_EQ(1u, Stored(L"EnableFilePrefixes").value_or(0)) << way.name;
        EXPECT_EQ(1u, EnableFilePrefixes) << way.name;
    }
}

TEST_F(OptionsDialogTest, OpenAndCloseUnchangedNormalisesFlagsSlidersAndLists)
{
    EnableRating = 5;
    SmartMouseAcceleration = 500;
    MemoryUsageGuideNumber = 200;
    AutoModeInterval = 1100;
    DownscaleLargeImages = 40;
    LabellingConvention = 5;
    RightClickMagnifier = 20;
    SortByDateTime = 0;
    Run([](HWND) {});
    const std::map<std::wstring, DWORD> expected{
        {L"EnableRating", 1},          {L"SmartMouseAcceleration", 300}, {L"MemoryUsageGuideNumber", 96},
        {L"AutoModeInterval", 1000},   {L"DownscaleLargeImages", 112},   {L"LabellingConvention", 0},
        {L"RightClickMagnifier", 200}, {L"SortByDateTime", 0},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(value, Stored(name.c_str()).value_or(12345)) << name;
    EXPECT_EQ(1000u, AutoModeInterval);
}

TEST_F(OptionsDialogTest, TheRestartSettingsAreTakenFromTheRegistryWithTheirDefaults)
{
    m_settings.SetDword(L"MultiSampling", 7);
    Run([](HWND dialog) {
        EXPECT_FALSE(Checked(dialog, Display, 1027)) << "hardware acceleration is off when not stored";
        EXPECT_TRUE(Checked(dialog, Display, 1031));
        EXPECT_FALSE(Checked(dialog, Performance, 1028));
    });
    const std::map<std::wstring, DWORD> expected{{L"DisableHWA", 1},           {L"DisableSMP", 1},
                                                 {L"EnableICC", 0},            {L"OverrideTargetProfile", 0},
                                                 {L"MultiSampling", 1}};
    for (const auto& [name, value] : expected) EXPECT_EQ(value, Stored(name.c_str()).value_or(12345)) << name;
    EXPECT_FALSE(m_restartNoticeShown);
}

TEST_F(OptionsDialogTest, AForcedTargetProfileShowsColourManagementOnAndLockedAndStoresNone)
{
    CommandLineColorProfile = true;
    Run([](HWND dialog) {
        for (int id : {1029, 1094}) {
            EXPECT_TRUE(Checked(dialog, Display, id)) << id;
            EXPECT_FALSE(Enabled(dialog, Display, id)) << id;
        }
        EXPECT_FALSE(Enabled(dialog, Display, 1093));
    });
    EXPECT_FALSE(Stored(L"EnableICC"));
    EXPECT_FALSE(Stored(L"OverrideTargetProfile"));
    EXPECT_FALSE(m_settings.QueryString(L"CustomTargetColorProfile"));
    EXPECT_EQ(1u, Stored(L"DisableHWA").value_or(0));
}

TEST_F(OptionsDialogTest, TheUpdateCheckBoxWritesOnlyTheChangeOfOnOrOff)
{
    struct Case {
        std::optional<DWORD> stored;
        bool click;
        std::optional<DWORD> expected;
    };
    const Case cases[] = {
        {std::nullopt, false, std::nullopt}, {std::nullopt, true, 1}, {0, true, 1},
        {1440, false, 1440},                 {1440, true, 0},         {0, false, 0},
    };
    for (const Case& test : cases) {
        m_settings.DeleteValue(L"UpdateCheckInterval");
        if (test.stored) m_settings.SetDword(L"UpdateCheckInterval", *test.stored);
        Run([&](HWND dialog) {
            EXPECT_EQ(test.stored.value_or(0) != 0, Checked(dialog, General, 1032));
            if (test.click) Click(dialog, General, 1032);
        });
        EXPECT_EQ(test.expected, Stored(L"UpdateCheckInterval"))
            << "stored " << test.stored.value_or(99) << " clicked " << test.click;
    }
}

TEST_F(OptionsDialogTest, TheRulesTieTheControlsTogether)
{
    struct Case {
        const char* name;
        std::function<void()> before;
        std::function<void(HWND)> change;
        std::function<void(HWND)> check;
    };
    const Case cases[] = {
        {"a labelling convention other than 0 turns urgency off and locks it",
         [] { EnableLabelling = 1; EnableUrgency = 1; LabellingConvention = 0; },
         [](HWND dialog) { Choose(dialog, Rating, 1062, 2); },
         [](HWND dialog) {
             EXPECT_FALSE(Checked(dialog, Rating, 1063));
             EXPECT_FALSE(Enabled(dialog, Rating, 1063));
             EXPECT_EQ(0u, EnableUrgency);
             Choose(dialog, Rating, 1062, 0);
             EXPECT_TRUE(Enabled(dialog, Rating, 1063));
             EXPECT_FALSE(Checked(dialog, Rating, 1063));
         }},
        {"unchecking the only storage box chooses the other",
         [] { EnableRating = 1; CreateSidecarFiles = 1; EmbedMetadata = 0; PrefixFileNamesWithRating = 0; },
         [](HWND dialog) { Click(dialog, Rating, 1049); },
         [](HWND dialog) {
             EXPECT_FALSE(Checked(dialog, Rating, 1049));
             EXPECT_TRUE(Checked(dialog, Rating, 1051));
             EXPECT_EQ(1u, EmbedMetadata);
         }},
        {"without rating, labelling and urgency the storage boxes are off and locked",
         [] { EnableRating = 1; CreateSidecarFiles = 1; },
         [](HWND dialog) { Click(dialog, Rating, 1042); },
         [](HWND dialog) {
             for (int id : {1049, 1051, 1052}) {
                 EXPECT_FALSE(Checked(dialog, Rating, id)) << id;
                 EXPECT_FALSE(Enabled(dialog, Rating, id)) << id;
             }
             EXPECT_FALSE(Enabled(dialog, Rating, 1045));
         }},
        {"rating prefixes lock the sort box and name the reason in its caption",
         [] { EnableRating = 1; SortByDateTime = 2; PrefixFileNamesWithRating = 1; },
         [](HWND) {},
         [](HWND dialog) {
             HWND sort = Control(dialog, General, 1102);
             wchar_t caption[256]{};
             GetWindowTextW(sort, caption, 256);
             EXPECT_NE(std::wstring::npos, std::wstring(caption).find(LoadUiString(1125)));
             EXPECT_FALSE(IsWindowEnabled(sort));
             Click(dialog, Rating, 1052);
             GetWindowTextW(sort, caption, 256);
             EXPECT_EQ(std::wstring::npos, std::wstring(caption).find(LoadUiString(1125)));
             EXPECT_EQ(L"Sort by date and time:", std::wstring(caption));
             EXPECT_TRUE(IsWindowEnabled(sort));
         }},
        {"the sort list shows its placeholder while off and the first choice when switched on",
         [] { SortByDateTime = 0; },
         [](HWND) {},
         [](HWND dialog) {
             EXPECT_EQ(LoadUiString(10116), SelectedText(dialog, General, 1126));
             EXPECT_FALSE(Enabled(dialog, General, 1126));
             Click(dialog, General, 1102);
             EXPECT_EQ(LoadUiString(10117), SelectedText(dialog, General, 1126));
             EXPECT_EQ(4, SendMessageW(Control(dialog, General, 1126), CB_GETCOUNT, 0, 0));
             EXPECT_EQ(1u, SortByDateTime);
         }},
        {"downscaling switched on from 0 takes 112 MB",
         [] { DownscaleLargeImages = 0; },
         [](HWND dialog) { Click(dialog, Performance, 1122); },
         [](HWND dialog) {
             EXPECT_EQ(112u, DownscaleLargeImages);
             EXPECT_EQ(0u, SelectedText(dialog, Performance, 1117).find(L"112MB "));
             Click(dialog, Performance, 1122);
             EXPECT_EQ(LoadUiString(10115), SelectedText(dialog, Performance, 1117));
         }},
        {"the sliders switched on from 0 start at 100 and 32",
         [] { SmartMouseAcceleration = 0; MemoryUsageGuideNumber = 0; },
         [](HWND dialog) {
             EXPECT_FALSE(Enabled(dialog, Performance, 1028));
             EXPECT_TRUE(IsWindowVisible(Control(dialog, Mouse, 1065)) || !IsWindowVisible(PageOf(dialog, Mouse)));
             Click(dialog, Mouse, 1060);
             Click(dialog, Performance, 1120);
         },
         [](HWND dialog) {
             EXPECT_EQ(100, SendMessageW(Control(dialog, Mouse, 1058), TBM_GETPOS, 0, 0));
             EXPECT_EQ(32, SendMessageW(Control(dialog, Performance, 1123), TBM_GETPOS, 0, 0));
             EXPECT_TRUE(Enabled(dialog, Performance, 1028));
             EXPECT_EQ(100u, SmartMouseAcceleration);
             EXPECT_EQ(32u, MemoryUsageGuideNumber);
         }},
        {"the magnifier's list follows its box",
         [] { RightClickMagnifier = 800; },
         [](HWND dialog) { Click(dialog, Mouse, 1043); },
         [](HWND dialog) {
             EXPECT_FALSE(Enabled(dialog, Mouse, 1059));
             EXPECT_FALSE(Enabled(dialog, Mouse, 1132));
             EXPECT_EQ(L"200%", SelectedText(dialog, Mouse, 1059));
         }},
        {"folder reuse and the recycle bin follow their boxes",
         [] { ReuseLastPictureFolder = 1; ReuseLastKeepCopyFolder = 1; EnableFileDeletion = 1; },
         [](HWND dialog) {
             Click(dialog, General, 1092);
             Click(dialog, Files, 1052);
         },
         [](HWND dialog) {
             EXPECT_FALSE(Checked(dialog, General, 1095));
             EXPECT_FALSE(Enabled(dialog, General, 1095));
             EXPECT_FALSE(Enabled(dialog, Files, 1055));
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RestoreSettings();
        test.before();
        Run([&](HWND dialog) {
            test.change(dialog);
            test.check(dialog);
        });
    }
}

TEST_F(OptionsDialogTest, ASliderMovedBeforeAPageSwitchKeepsItsPosition)
{
    SmartMouseAcceleration = 100;
    MemoryUsageGuideNumber = 32;
    Run([](HWND dialog) {
        SendMessageW(Control(dialog, Mouse, 1058), TBM_SETPOS, TRUE, 250);
        SendMessageW(Control(dialog, Performance, 1123), TBM_SETPOS, TRUE, 64);
        SelectPage(dialog, 2);
        Click(dialog, Rating, 1042);
        EXPECT_EQ(250, SendMessageW(Control(dialog, Mouse, 1058), TBM_GETPOS, 0, 0));
    });
    EXPECT_EQ(250u, Stored(L"SmartMouseAcceleration").value_or(0));
    EXPECT_EQ(64u, Stored(L"MemoryUsageGuideNumber").value_or(0));
}

TEST_F(OptionsDialogTest, TheRestartNoticeSaysWhatNeedsTheRestart)
{
    struct Case {
        const char* name;
        std::function<void(HWND)> change;
        std::optional<UINT> notice;
    };
    const Case cases[] = {
        {"hardware acceleration on", [](HWND dialog) { Click(dialog, Display, 1027); Click(dialog, Display, 1031); }, 10110},
        {"multisampling", [](HWND dialog) { Click(dialog, Display, 1031); }, 10109},
        {"multisampling undone",
         [](HWND dialog) {
             Click(dialog, Display, 1031);
             Click(dialog, Display, 1031);
         },
         std::nullopt},
    };
    for (const Case& test : cases) {
        m_settings.SetDword(L"DisableHWA", 1);
        m_settings.SetDword(L"MultiSampling", 0);
        std::vector<std::wstring> texts;
        for (const ShownMessage& message : Run(test.change)) texts.push_back(message.text);
        const std::vector<std::wstring> expected =
            test.notice ? std::vector<std::wstring>{LoadUiString(*test.notice)} : std::vector<std::wstring>{};
        EXPECT_EQ(expected, texts) << test.name;
        EXPECT_EQ(test.notice.has_value(), m_restartNoticeShown) << test.name;
    }
}

TEST_F(OptionsDialogTest, ReopeningShowsTheLastChosenPageAndMissingPagesShiftTheNumbers)
{
    Run([](HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(PageOf(dialog, Display)));
        SelectPage(dialog, 4);
    });
    EXPECT_EQ(4, LastOptionsPage);
    Run([](HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(PageOf(dialog, General))) << "without plug-ins position 4 is the general page";
        EXPECT_EQ(nullptr, PageOf(dialog, PlugIns));
    });
    LastOptionsPage = 6;
    Run([](HWND dialog) {
        for (Page page : {Display, Mouse, Rating, Files, General, Performance})
            EXPECT_FALSE(IsWindowVisible(PageOf(dialog, page))) << page;
    });
}

TEST_F(OptionsDialogTest, TabMovesFromTheChooserIntoThePage)
{
    Run([](HWND dialog) {
        HWND next = GetNextDlgTabItem(dialog, GetDlgItem(dialog, 1056), FALSE);
        EXPECT_EQ(PageOf(dialog, Display), GetParent(next));
    });
}

TEST_F(OptionsDialogTest, ThePlugInsPageListsEachRecordReadOnly)
{
    m_plugIns.resize(2);
    m_plugIns[0].DisplayName = Bstr(L"Sharpen");
    m_plugIns[0].VersionInformation = Bstr(L"1.2");
    m_plugIns[0].Description = Bstr(L"Makes edges crisp");
    m_plugIns[0].AssignedHotkey = 'S' | (HOTKEYF_CONTROL << 8);
    m_plugIns[1].Enabled = 0;
    Run([](HWND dialog) {
        HWND list = Control(dialog, PlugIns, 1074);
        ASSERT_EQ(2, ListView_GetItemCount(list));
        wchar_t text[128]{};
        ListView_GetItemText(list, 0, 0, text, 128);
        EXPECT_EQ(std::wstring(L"Sharpen 1.2"), text);
        ListView_GetItemText(list, 1, 0, text, 128);
        EXPECT_EQ(std::wstring(L"N/A N/A"), text);
        wchar_t detail[128]{};
        GetWindowTextW(Control(dialog, PlugIns, 1075), detail, 128);
        EXPECT_EQ(std::wstring(L"Makes edges crisp"), detail);
        GetWindowTextW(Control(dialog, PlugIns, 1076), detail, 128);
        EXPECT_EQ(std::wstring(L"N/A"), detail);
        EXPECT_EQ('S' | (HOTKEYF_CONTROL << 8), SendMessageW(Control(dialog, PlugIns, 1071), HKM_GETHOTKEY, 0, 0));
        EXPECT_TRUE(Checked(dialog, PlugIns, 1077));
        ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
        ListView_SetItemState(list, 0, 0, LVIS_SELECTED);
        EXPECT_FALSE(Checked(dialog, PlugIns, 1077));
        for (int id : {1077, 1071, 1078}) EXPECT_FALSE(Enabled(dialog, PlugIns, id)) << id;
    });
}
