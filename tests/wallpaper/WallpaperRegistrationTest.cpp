// The built, signed library registered as an installer registers it: both scripts, the type library
// and the category; COM then creates the plug-in from the library. Registering classes for COM is
// machine-wide in the prefix, so these tests take the lock of class registration.
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/UniqueModule.h"
#include "Shared/ActionPlugIn.h"
#include "tests/support/RegistryReadBack.h"
#include "tests/support/TestPaths.h"
#include <comcat.h>
#include <gtest/gtest.h>

namespace {
constexpr wchar_t kClassKey[] = L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}";
const CLSID kWallpaperClsid{0x2EFC8013, 0x587A, 0x492D, {0x9E, 0xFD, 0x30, 0x93, 0xB6, 0x87, 0x1E, 0xEA}};

class WallpaperRegistration : public ::testing::Test {
protected:
    WallpaperRegistration()
        : m_path(TestProgramFolder() + L"\\Lumenfold.PlugIn.SetAsWallpaper.dll"), m_module(LoadLibraryW(m_path.c_str()))
    {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    }
    ~WallpaperRegistration() override { CoUninitialize(); }

    template <class Function>
    Function Export(const char* name) const
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module.get(), name)));
    }
    HRESULT Register() const { return Export<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer")(); }
    HRESULT Unregister() const { return Export<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer")(); }
    HRESULT Install(BOOL install, const wchar_t* commandLine) const
    {
        return Export<HRESULT(STDAPICALLTYPE*)(BOOL, const wchar_t*)>("DllInstall")(install, commandLine);
    }

    std::wstring m_path;
    UniqueModule m_module;
};

std::wstring CategoryDescription()
{
    ComPtr<ICatInformation> categories;
    if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_ALL, IID_ICatInformation,
                                categories.AsVoid())))
        return L"";
    wchar_t* description = nullptr;
    if (FAILED(categories->GetCategoryDesc(CATID_LumenfoldImageStackActionPlugIns, 0, &description))) return L"";
    std::wstring text(description);
    CoTaskMemFree(description);
    return text;
}
}  // namespace

TEST_F(WallpaperRegistration, RegistersItsScriptsTypeLibraryAndCategoryAndComCreatesIt)
{
    ASSERT_TRUE(m_module);
    ASSERT_EQ(S_OK, Register());
    const std::wstring classKey(kClassKey);
    EXPECT_EQ(m_path, ReadRegistryString(HKEY_CLASSES_ROOT, (classKey + L"\\InprocServer32").c_str(), nullptr));
    EXPECT_EQ(L"Both", ReadRegistryString(HKEY_CLASSES_ROOT, (classKey + L"\\InprocServer32").c_str(), L"ThreadingModel"));
    EXPECT_EQ(L"{8B16C253-A2E4-4260-B3B3-3DBF8CAB6B48}",
              ReadRegistryString(HKEY_CLASSES_ROOT, (classKey + L"\\TypeLib").c_str(), nullptr));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, (classKey + L"\\Programmable").c_str()));
    EXPECT_TRUE(RegistryKeyExists(
        HKEY_CLASSES_ROOT, (classKey + L"\\Implemented Categories\\{ECA4A319-8ADD-4311-AF23-FBCF5C955BCD}").c_str()));
    EXPECT_EQ(L"Lumenfold.PlugIn.SetAsWallpaper.1",
              ReadRegistryString(HKEY_CLASSES_ROOT, L"Lumenfold.PlugIn.SetAsWallpaper\\CurVer", nullptr));
    EXPECT_EQ(L"{3A590F2B-A46D-48C5-899D-7AE111F7AF4E}",
              ReadRegistryString(HKEY_CLASSES_ROOT, L"AppID\\Lumenfold.PlugIn.SetAsWallpaper.dll", L"AppID"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\{8B16C253-A2E4-4260-B3B3-3DBF8CAB6B48}"));
    EXPECT_EQ(L"Lumenfold ImageStackAction PlugIns", CategoryDescription());

    // A second registration (another plug-in would do the same) leaves one category as it was.
    EXPECT_EQ(S_OK, Register());
    EXPECT_EQ(L"Lumenfold ImageStackAction PlugIns", CategoryDescription());

    ComPtr<IImageStackActionPlugIn> plugIn;
    ASSERT_EQ(S_OK, CoCreateInstance(kWallpaperClsid, nullptr, CLSCTX_ALL, __uuidof(IImageStackActionPlugIn),
                                     plugIn.AsVoid()));
    Bstr name;
    EXPECT_EQ(S_OK, plugIn->GetDisplayName(&name));
    EXPECT_EQ(L"Set as Wallpaper", name.View());
    plugIn = nullptr;

    EXPECT_EQ(S_OK, Unregister());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Lumenfold.PlugIn.SetAsWallpaper"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"AppID\\{3A590F2B-A46D-48C5-899D-7AE111F7AF4E}"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"AppID"));
    EXPECT_EQ(L"Lumenfold ImageStackAction PlugIns", CategoryDescription()) << "the category stays";
}

TEST_F(WallpaperRegistration, PerUserInstallWritesTheCurrentUsersClasses)
{
    ASSERT_TRUE(m_module);
    ASSERT_EQ(S_OK, Install(TRUE, L"USER"));
    const std::wstring userClassKey = std::wstring(L"Software\\Classes\\") + kClassKey + L"\\InprocServer32";
    EXPECT_EQ(m_path, ReadRegistryString(HKEY_CURRENT_USER, userClassKey.c_str(), nullptr));
    EXPECT_EQ(S_OK, Install(FALSE, L"user"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, (std::wstring(L"Software\\Classes\\") + kClassKey).c_str()));
}
