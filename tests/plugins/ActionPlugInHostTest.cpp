// The host finds, verifies and creates the plug-ins of the category. The class of the delivered
// wallpaper plug-in is registered here by hand, pointing at the signed library, at an unsigned copy or
// at a copy changed after signing, as the cases need; the language library gives the texts.
#include "Framework/RegKey.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include "tests/testplugin/TestPlugIns.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {
const CLSID kWallpaperClsid{0x2EFC8013, 0x587A, 0x492D, {0x9E, 0xFD, 0x30, 0x93, 0xB6, 0x87, 0x1E, 0xEA}};
constexpr wchar_t kClassKey[] = L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}";
constexpr wchar_t kCategorySubkey[] = L"\\Implemented Categories\\{ECA4A319-8ADD-4311-AF23-FBCF5C955BCD}";

std::wstring ClassKeyOf(const CLSID& clsid)
{
    wchar_t text[40] = L"";
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

std::wstring SignedPlugIn()
{
    return TestProgramFolder() + L"\\Lumenfold.PlugIn.SetAsWallpaper.dll";
}

class PlugInHost : public ::testing::Test {
protected:
    PlugInHost() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~PlugInHost() override
    {
        for (const std::wstring& key : m_registered) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Classes\\") + kClassKey).c_str());
        CoUninitialize();
    }

    // The wallpaper class as COM sees it, its server named by path (REG_SZ or REG_EXPAND_SZ).
    void RegisterClass(HKEY root, const std::wstring& prefix, const std::wstring& server, DWORD type = REG_SZ)
    {
        RegisterClassOf(root, prefix, kClassKey, L"Lumenfold.PlugIn.SetAsWallpaper.1", server, type);
    }

    void RegisterClassOf(HKEY root, const std::wstring& prefix, const std::wstring& key, const wchar_t* progIdText,
                         const std::wstring& server, DWORD type = REG_SZ)
    {
        if (root == HKEY_CLASSES_ROOT) m_registered.push_back(key);
        RegKey classKey, serverKey, progId, category;
        ASSERT_EQ(ERROR_SUCCESS, classKey.Create(root, (prefix + key).c_str()));
        ASSERT_EQ(ERROR_SUCCESS, progId.Create(root, (prefix + key + L"\\ProgID").c_str()));
        progId.SetString(nullptr, progIdText);
        ASSERT_EQ(ERROR_SUCCESS, category.Create(root, (prefix + key + kCategorySubkey).c_str()));
        ASSERT_EQ(ERROR_SUCCESS, serverKey.Create(root, (prefix + key + L"\\InprocServer32").c_str()));
        serverKey.SetString(L"ThreadingModel", L"Both");
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(serverKey.Get(), nullptr, 0, type,
                                                reinterpret_cast<const BYTE*>(server.c_str()),
                                                DWORD((server.size() + 1) * sizeof(wchar_t))));
    }

    ActionPlugInRecord Record(WORD language = 0x0409)
    {
        ActionPlugInRecord record;
        record.Clsid = kWallpaperClsid;
        record.LangId = language;
        return record;
    }

    std::vector<std::wstring> m_registered;
    ScopedResourceModule m_language{L"Lumenfold.Core.EN.dll"};
    MessageBoxRecorder boxes;
};

std::wstring Hex(LONG code)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08X", unsigned(code));
    return text;
}
}  // namespace

TEST_F(PlugInHost, ASignedPlugInOnAnExpandedPathIsCreatedAndQueriedInItsLanguage)
{
    SetEnvironmentVariableW(L"LUMENFOLD_PLUGIN_FOLDER", TestProgramFolder().c_str());
    RegisterClass(HKEY_CLASSES_ROOT, L"", L"%LUMENFOLD_PLUGIN_FOLDER%\\Lumenfold.PlugIn.SetAsWallpaper.dll",
                  REG_EXPAND_SZ);
    EXPECT_EQ(SignedPlugIn(), PlugInServerPath(kWallpaperClsid));

    std::vector<ActionPlugInRecord> plugIns = CreateActionPlugIns(0x040C);
    ASSERT_EQ(1u, plugIns.size());
    const ActionPlugInRecord& record = plugIns[0];
    EXPECT_EQ(L"Lumenfold.PlugIn.SetAsWallpaper.1", record.ProgId.View());
    EXPECT_EQ(L"Mettre en fond d'\u00e9cran", record.DisplayName.View()) << "Initialize came first, with the language";
    EXPECT_EQ(L"1.0", record.VersionInformation.View());
    EXPECT_FALSE(record.Description.Empty());
    EXPECT_FALSE(record.AuthorInformation.Empty());
    EXPECT_EQ(0u, record.Capabilities);
    EXPECT_EQ(0x257u, record.PreferredHotkey);
    EXPECT_EQ(1u, record.Enabled);
    EXPECT_TRUE(record.PlugIn);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(PlugInHost, UnsignedAndAlteredCopiesAreRefusedWithTheirCodeAndProgId)
{
    TempFolder folder;
    const std::wstring altered = folder.File(L"altered.dll");
    ASSERT_TRUE(CopyFileW(SignedPlugIn().c_str(), altered.c_str(), FALSE));
    {
        std::fstream file(std::filesystem::path(altered), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(0x400);
        file.put('\x5A');
    }
    struct Case {
        std::wstring server;
        LONG code;
    };
    const Case cases[] = {
        {TestProgramFolder() + L"\\plugin_test_unsigned.dll", LONG(0x800B0100)},
        {altered, LONG(0x80096010)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << Hex(c.code));
        boxes.calls.clear();
        RegisterClass(HKEY_CLASSES_ROOT, L"", c.server);
        ActionPlugInRecord record = Record();
        EXPECT_FALSE(ValidateAndCreatePlugIn(record));
        EXPECT_FALSE(record.PlugIn);
        ASSERT_EQ(1u, boxes.calls.size());
        EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(Hex(c.code))) << boxes.calls[0].text;
        EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(L"Lumenfold.PlugIn.SetAsWallpaper.1")) << boxes.calls[0].text;
        EXPECT_EQ(UINT(MB_TASKMODAL | MB_TOPMOST), boxes.calls[0].type);
    }
}

TEST_F(PlugInHost, ASignatureThePolicyDeclinedToEvaluateIsAccepted)
{
    RegisterClass(HKEY_CLASSES_ROOT, L"", SignedPlugIn());
    ActionPlugInRecord record = Record();
    std::wstring verified;
    EXPECT_TRUE(ValidateAndCreatePlugIn(record, [&](const std::wstring& path) {
        verified = path;
        return LONG(0x80092026);
    }));
    EXPECT_EQ(SignedPlugIn(), verified);
    EXPECT_TRUE(record.PlugIn);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(PlugInHost, AClassOfTheCurrentUserAloneIsSkippedSilently)
{
    RegisterClass(HKEY_CURRENT_USER, L"Software\\Classes\\", SignedPlugIn());
    ActionPlugInRecord record = Record();
    EXPECT_FALSE(ValidateAndCreatePlugIn(record));
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(PlugInHost, CallsInitializeThenTheGettersInOrderAndSkipsOnlyAPlugInThatFaults)
{
    const std::wstring fake = TestProgramFolder() + L"\\plugin_test_fake.dll";
    RegisterClassOf(HKEY_CLASSES_ROOT, L"", ClassKeyOf(kRecordingPlugInClsid), L"Lumenfold.Test.Recording", fake);
    RegisterClassOf(HKEY_CLASSES_ROOT, L"", ClassKeyOf(kFaultingPlugInClsid), L"Lumenfold.Test.Faulting", fake);
    RegisterClassOf(HKEY_CLASSES_ROOT, L"", ClassKeyOf(kFailingPlugInClsid), L"Lumenfold.Test.Failing", fake);

    std::vector<ActionPlugInRecord> plugIns = CreateActionPlugIns(0x0409);
    ASSERT_EQ(2u, plugIns.size());
    const ActionPlugInRecord* recording = nullptr;
    const ActionPlugInRecord* failing = nullptr;
    for (const ActionPlugInRecord& record : plugIns)
        (record.Clsid == kRecordingPlugInClsid ? recording : failing) = &record;
    ASSERT_TRUE(recording && failing);
    EXPECT_EQ(L"Initialize(null,1033,null) GetDisplayName GetDescription GetAuthorInformation GetVersionInformation",
              recording->VersionInformation.View());
    EXPECT_EQ(0x257u, recording->PreferredHotkey) << "GetCapabilities came before GetPreferredHotkey";
    EXPECT_EQ(DWORD(LMF_ISAPCAPS_CONFIGURABLE), recording->Capabilities);

    // Failing getters leave the record empty, and the plug-in is listed all the same.
    EXPECT_EQ(kFailingPlugInClsid, failing->Clsid);
    EXPECT_TRUE(failing->DisplayName.Empty());
    EXPECT_EQ(0u, failing->PreferredHotkey);
    EXPECT_TRUE(failing->PlugIn);

    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_EQ(L"A plug-in crashed during initialization (Lumenfold.Test.Faulting)", boxes.calls[0].text);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.calls[0].type);
}

TEST_F(PlugInHost, AnObjectWhoseCodeIsNotInTheVerifiedFileIsReleasedAndRefused)
{
    const std::wstring fake = TestProgramFolder() + L"\\plugin_test_fake.dll";
    RegisterClassOf(HKEY_CLASSES_ROOT, L"", ClassKeyOf(kForeignPlugInClsid), L"Lumenfold.Test.Foreign", fake);
    ActionPlugInRecord record = Record();
    record.Clsid = kForeignPlugInClsid;
    EXPECT_FALSE(ValidateAndCreatePlugIn(record));
    EXPECT_FALSE(record.PlugIn);
    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(L"Lumenfold.Test.Foreign")) << boxes.calls[0].text;
}
