// The library's registration, read back from private copies of HKEY_CLASSES_ROOT and
// HKEY_LOCAL_MACHINE (and HKEY_CURRENT_USER for the per-user install).
#include "Framework/Bstr.h"
#include "Framework/RegKey.h"
#include "tests/shell/ShellLibrary.h"
#include "tests/support/HiveSandbox.h"
#include "tests/support/RegistryReadBack.h"
#include <gtest/gtest.h>
#include <oleauto.h>
#include <optional>
#include <tuple>

namespace {
constexpr wchar_t kModule[] = L"%MODULE%";

struct ExpectedValue {
    HKEY hive;
    const wchar_t* path;
    const wchar_t* name;  // null: the default value
    const wchar_t* data;  // %MODULE%: the library's full path
};

const ExpectedValue kClassesRootValues[] = {
    {HKEY_CLASSES_ROOT, L"AppID\\{10180562-7E73-4C55-A206-DA359CCEDFDF}", nullptr, L"Lumenfold Shell Integration Component"},
    {HKEY_CLASSES_ROOT, L"AppID\\Lumenfold.dll", L"AppID", L"{10180562-7E73-4C55-A206-DA359CCEDFDF}"},
    {HKEY_CLASSES_ROOT, L"Brenholt.Lumenfold.AutoPlayHandler", nullptr, L"Lumenfold's AutoPlay Handler"},
    {HKEY_CLASSES_ROOT, L"Brenholt.Lumenfold.AutoPlayHandler\\CLSID", nullptr, L"{057C7771-F320-4C2A-A2EA-747945FA82F2}"},
    {HKEY_CLASSES_ROOT, L"Brenholt.Lumenfold.AutoPlayHandler\\CurVer", nullptr, L"Brenholt.Lumenfold.AutoPlayHandler.1"},
    {HKEY_CLASSES_ROOT, L"Brenholt.Lumenfold.AutoPlayHandler.1", nullptr, L"Lumenfold's AutoPlay Handler"},
    {HKEY_CLASSES_ROOT, L"Brenholt.Lumenfold.AutoPlayHandler.1\\CLSID", nullptr, L"{057C7771-F320-4C2A-A2EA-747945FA82F2}"},
    {HKEY_CLASSES_ROOT, L"Brenholt.Lumenfold.AutoPlayHandler.1\\shell\\open\\DropTarget", L"CLSID",
     L"{057C7771-F320-4C2A-A2EA-747945FA82F2}"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}", nullptr, L"Lumenfold's AutoPlay Handler"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}\\ProgID", nullptr,
     L"Brenholt.Lumenfold.AutoPlayHandler.1"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}\\VersionIndependentProgID", nullptr,
     L"Brenholt.Lumenfold.AutoPlayHandler"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}\\InprocServer32", nullptr, kModule},
    {HKEY_CLASSES_ROOT, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}", nullptr, L"Lumenfold's Context Menu Handler"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}\\ProgID", nullptr,
     L"Brenholt.Lumenfold.ContextMenuHandler.1"},
    {HKEY_CLASSES_ROOT, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}\\InprocServer32", nullptr, kModule},
    {HKEY_CLASSES_ROOT, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {HKEY_CLASSES_ROOT, L"Directory\\shellex\\ContextMenuHandlers\\Brenholt.Lumenfold", nullptr,
     L"{B4F3C99C-6099-4617-8052-82ABF04C2F6E}"},
    {HKEY_CLASSES_ROOT, L"Drive\\shellex\\ContextMenuHandlers\\Brenholt.Lumenfold", nullptr,
     L"{B4F3C99C-6099-4617-8052-82ABF04C2F6E}"},
};

#define AUTOPLAY L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoPlayHandlers\\"
const ExpectedValue kLocalMachineValues[] = {
    {HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Brenholt.Lumenfold.ShowPicturesOnArrival", L"Provider", L"Lumenfold"},
    {HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Brenholt.Lumenfold.ShowPicturesOnArrival", L"Action", L"View pictures"},
    {HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Brenholt.Lumenfold.ShowPicturesOnArrival", L"DefaultIcon", kModule},
    {HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Brenholt.Lumenfold.ShowPicturesOnArrival", L"InvokeProgID",
     L"Brenholt.Lumenfold.AutoPlayHandler.1"},
    {HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Brenholt.Lumenfold.ShowPicturesOnArrival", L"InvokeVerb", L"open"},
    {HKEY_LOCAL_MACHINE, AUTOPLAY L"EventHandlers\\ShowPicturesOnArrival", L"Brenholt.Lumenfold.ShowPicturesOnArrival", L""},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
     L"{B4F3C99C-6099-4617-8052-82ABF04C2F6E}", L"Brenholt.Lumenfold (Context Menu Extension)"},
};

void ExpectValues(const ShellLibrary& library, HKEY root, const ExpectedValue* begin, const ExpectedValue* end)
{
    for (const ExpectedValue* value = begin; value != end; ++value) {
        const std::wstring expected = std::wstring(value->data) == kModule ? library.Path() : value->data;
        EXPECT_EQ(expected, ReadRegistryString(root, value->path, value->name).value_or(L"<missing>"))
            << value->path << " " << (value->name ? value->name : L"(default)");
    }
}

void CreateKeyWithValue(HKEY root, const wchar_t* path, const wchar_t* name)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(root, path));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString(name, L"another program's"));
}

class ShellRegistration : public testing::Test {
protected:
    HiveSandbox m_hives{HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    ShellLibrary m_library;
};
}

TEST_F(ShellRegistration, RegisterServerWritesEveryKeyWithTheLibrarysPath)
{
    ASSERT_TRUE(m_library.Loaded());
    ASSERT_EQ(S_OK, m_library.RegisterServer());
    ExpectValues(m_library, HKEY_CLASSES_ROOT, std::begin(kClassesRootValues), std::end(kClassesRootValues));
    ExpectValues(m_library, HKEY_LOCAL_MACHINE, std::begin(kLocalMachineValues), std::end(kLocalMachineValues));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\{84C8E485-55BE-4243-B819-2B9FECAF5895}"))
        << "the type library is never registered";
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID"));
}

TEST_F(ShellRegistration, UnregisterServerRemovesTheNamedEntriesAndKeepsWhatOthersShare)
{
    // Other programs' entries beside ours under every shared parent.
    CreateKeyWithValue(HKEY_CLASSES_ROOT, L"AppID\\Other.dll", L"AppID");
    CreateKeyWithValue(HKEY_CLASSES_ROOT, L"CLSID\\{00000000-1111-2222-3333-444444444444}", nullptr);
    CreateKeyWithValue(HKEY_CLASSES_ROOT, L"Directory\\shellex\\ContextMenuHandlers\\Other", nullptr);
    CreateKeyWithValue(HKEY_CLASSES_ROOT, L"Drive\\shellex\\ContextMenuHandlers\\Other", nullptr);
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Other", L"Action");
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, AUTOPLAY L"EventHandlers\\ShowPicturesOnArrival", L"Other");
    CreateKeyWithValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                       L"{00000000-1111-2222-3333-444444444444}");

    ASSERT_EQ(S_OK, m_library.RegisterServer());
    ASSERT_EQ(S_OK, m_library.UnregisterServer());

    for (const wchar_t* gone : {L"AppID\\{10180562-7E73-4C55-A206-DA359CCEDFDF}", L"AppID\\Lumenfold.dll",
                                L"Brenholt.Lumenfold.AutoPlayHandler", L"Brenholt.Lumenfold.AutoPlayHandler.1",
                                L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}",
                                L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}",
                                L"Directory\\shellex\\ContextMenuHandlers\\Brenholt.Lumenfold",
                                L"Drive\\shellex\\ContextMenuHandlers\\Brenholt.Lumenfold"})
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, gone)) << gone;
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Brenholt.Lumenfold.ShowPicturesOnArrival"));
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, AUTOPLAY L"EventHandlers\\ShowPicturesOnArrival",
                            L"Brenholt.Lumenfold.ShowPicturesOnArrival"));
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                            L"{B4F3C99C-6099-4617-8052-82ABF04C2F6E}"));

    EXPECT_TRUE(ReadRegistryString(HKEY_CLASSES_ROOT, L"AppID\\Other.dll", L"AppID"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{00000000-1111-2222-3333-444444444444}"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Directory\\shellex\\ContextMenuHandlers\\Other"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Drive\\shellex\\ContextMenuHandlers\\Other"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Other"));
    EXPECT_TRUE(ReadRegistryString(HKEY_LOCAL_MACHINE, AUTOPLAY L"EventHandlers\\ShowPicturesOnArrival", L"Other"));
    EXPECT_TRUE(ReadRegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                           L"{00000000-1111-2222-3333-444444444444}"));

    EXPECT_EQ(S_OK, m_library.UnregisterServer()) << "what is already gone is no failure";
}

TEST_F(ShellRegistration, UserInstallPutsTheClassesUnderTheUsersClassesAndTheRestMachineWide)
{
    ASSERT_EQ(S_OK, m_library.Install(TRUE, L"USER"));
    RegKey userClasses;
    ASSERT_EQ(ERROR_SUCCESS, userClasses.Open(HKEY_CURRENT_USER, L"Software\\Classes"));
    ExpectValues(m_library, userClasses.Get(), std::begin(kClassesRootValues), std::end(kClassesRootValues));
    ExpectValues(m_library, HKEY_LOCAL_MACHINE, std::begin(kLocalMachineValues), std::end(kLocalMachineValues));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}"));

    ASSERT_EQ(S_OK, m_library.Install(FALSE, L"user"));
    EXPECT_FALSE(RegistryKeyExists(userClasses.Get(), L"CLSID\\{B4F3C99C-6099-4617-8052-82ABF04C2F6E}"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, AUTOPLAY L"Handlers\\Brenholt.Lumenfold.ShowPicturesOnArrival"));
}

TEST_F(ShellRegistration, InstallWithoutUserRegistersMachineWide)
{
    ASSERT_EQ(S_OK, m_library.Install(TRUE, nullptr));
    ExpectValues(m_library, HKEY_CLASSES_ROOT, std::begin(kClassesRootValues), std::end(kClassesRootValues));
    ASSERT_EQ(S_OK, m_library.Install(FALSE, L""));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{057C7771-F320-4C2A-A2EA-747945FA82F2}"));
}

TEST_F(ShellRegistration, TheLibraryCarriesItsTypeLibraryAndItsName)
{
    const UniqueModule resources(LoadLibraryExW(m_library.Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    wchar_t componentName[64]{};
    LoadStringW(resources.get(), 100, componentName, 64);
    EXPECT_STREQ(L"Lumenfold Shell Integration Component", componentName);

    ComPtr<ITypeLib> typeLibrary;
    ASSERT_EQ(S_OK, LoadTypeLibEx(m_library.Path().c_str(), REGKIND_NONE, &typeLibrary));
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, typeLibrary->GetLibAttr(&attributes));
    const GUID libraryId{0x84C8E485, 0x55BE, 0x4243, {0xB8, 0x19, 0x2B, 0x9F, 0xEC, 0xAF, 0x58, 0x95}};
    EXPECT_EQ(libraryId, attributes->guid);
    EXPECT_EQ(1, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    typeLibrary->ReleaseTLibAttr(attributes);

    Bstr name;
    Bstr help;
    ASSERT_EQ(S_OK, typeLibrary->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    EXPECT_EQ(L"ShellIntegrationLib", name.View());
    EXPECT_EQ(L"Lumenfold Shell Integration 1.0 Type Library", help.View());

    for (const auto& [clsid, expectedName, expectedHelp] :
         {std::tuple{kAutoPlayClsid, L"AutoPlayHandler", L"Lumenfold's AutoPlay Handler"},
          std::tuple{kContextMenuClsid, L"ContextMenuHandler", L"Lumenfold's Context Menu Handler"}}) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, typeLibrary->GetTypeInfoOfGuid(clsid, &info)) << expectedName;
        ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr));
        EXPECT_EQ(expectedName, name.View());
        EXPECT_EQ(expectedHelp, help.View());
        TYPEATTR* type = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&type));
        EXPECT_EQ(TKIND_COCLASS, type->typekind);
        EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FCANCREATE);
        info->ReleaseTypeAttr(type);
    }
}
