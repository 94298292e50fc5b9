#include "Viewer/core/DecodeApartment.h"
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "tests/support/RegistrySandbox.h"

namespace {
// A "ThreadingModel" value as raw registry data.
struct ModelValue {
    DWORD type;
    std::wstring bytesAsText;  // written with its length in bytes below
    DWORD byteLength;
};

ModelValue Text(const std::wstring& text, DWORD type = REG_SZ)
{
    return {type, text, static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))};
}

struct ApartmentCase {
    const char* name;
    std::optional<DWORD> forceSta;
    bool win7OrLater;
    std::optional<ModelValue> model;  // none: no class registration at all
    bool expectMta;
};

void PrintTo(const ApartmentCase& c, std::ostream* out)
{
    *out << c.name;
}

class DecodeApartmentChoice : public testing::TestWithParam<ApartmentCase> {};

TEST_P(DecodeApartmentChoice, FollowsSettingVersionAndRegistration)
{
    RegistrySandbox registry;
    const ApartmentCase& c = GetParam();
    if (c.forceSta) {
        RegKey settings;
        ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        settings.SetDword(L"WICForceSTA", *c.forceSta);
    }
    // Stands in for HKEY_CLASSES_ROOT.
    RegKey classes;
    ASSERT_EQ(ERROR_SUCCESS, classes.Create(HKEY_CURRENT_USER, L"Classes"));
    if (c.model) {
        RegKey server;
        ASSERT_EQ(ERROR_SUCCESS,
                  server.Create(classes.Get(), L"CLSID\\{CACAF262-9370-4615-A13B-9F5539DA4C0A}\\InProcServer32"));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(server.Get(), L"ThreadingModel", 0, c.model->type,
                                                reinterpret_cast<const BYTE*>(c.model->bytesAsText.data()),
                                                c.model->byteLength));
    }
    EXPECT_EQ(c.expectMta, DecideMtaForDecoding(c.win7OrLater, classes.Get()));
}

const std::wstring TooLong(70, L'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeApartmentChoice,
    testing::Values(
        ApartmentCase{"ForcedStaOnWindows7", 1, true, Text(L"Both"), false},
        ApartmentCase{"ForcedStaOnOlderSystem", 7, false, Text(L"Free"), false},
        ApartmentCase{"ForceZeroIsNoForce", 0, true, std::nullopt, true},
        ApartmentCase{"Windows7IgnoresRegistration", std::nullopt, true, Text(L"Apartment"), true},
        ApartmentCase{"OlderApartment", std::nullopt, false, Text(L"Apartment"), false},
        ApartmentCase{"OlderMissingKey", std::nullopt, false, std::nullopt, false},
        ApartmentCase{"OlderDwordValue", std::nullopt, false, ModelValue{REG_DWORD, L"\x0001\x0000", 4}, false},
        ApartmentCase{"OlderFreeLowerCase", std::nullopt, false, Text(L"free"), true},
        ApartmentCase{"OlderBoth", std::nullopt, false, Text(L"Both"), true},
        ApartmentCase{"OlderBothExpandable", std::nullopt, false, Text(L"BOTH", REG_EXPAND_SZ), true},
        // The registry adds a terminator the caller forgot when the next character in memory is one,
        // so the character after the counted bytes must not be.
        ApartmentCase{"OlderUnterminated", std::nullopt, false, ModelValue{REG_SZ, L"BothX", 8}, false},
        ApartmentCase{"OlderOddLength", std::nullopt, false, ModelValue{REG_SZ, L"Both", 9}, false},
        ApartmentCase{"OlderEmpty", std::nullopt, false, ModelValue{REG_SZ, L"", 0}, false},
        ApartmentCase{"OlderTooLongForTheBuffer", std::nullopt, false, Text(TooLong), false},
        ApartmentCase{"OlderBothWithSuffix", std::nullopt, false, Text(L"Both2"), false}),
    [](const testing::TestParamInfo<ApartmentCase>& info) { return std::string(info.param.name); });

TEST(UseMtaForDecoding, AnswersOnceForTheWholeProcess)
{
    RegistrySandbox registry;
    RegKey settings;
    ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
    settings.SetDword(L"WICForceSTA", 1);
    LastActivityCode = 0;
    EXPECT_FALSE(UseMtaForDecoding());
    EXPECT_EQ(2.3, LastActivityCode.load());

    settings.SetDword(L"WICForceSTA", 0);  // takes effect at the next start only
    EXPECT_FALSE(UseMtaForDecoding());
}
}
