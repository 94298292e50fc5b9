#include "Viewer/dialogs/ExternalEditorList.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "tests/support/RegistrySandbox.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
const std::wstring ListPath = std::wstring(AppSettings::KeyPath) + L"\\ExternalEditors";

RegKey EditorKey(unsigned index)
{
    RegKey key;
    key.Create(HKEY_CURRENT_USER, (ListPath + L"\\" + std::to_wstring(index)).c_str());
    return key;
}

void WriteEditor(unsigned index, const std::wstring& path, DWORD flags)
{
    RegKey key = EditorKey(index);
    key.SetString(L"Editor", path);
    key.SetDword(L"Flags", flags);
}

void WriteRaw(unsigned index, DWORD type, const void* data, DWORD bytes)
{
    RegKey key = EditorKey(index);
    RegSetValueExW(key.Get(), L"Editor", 0, type, static_cast<const BYTE*>(data), bytes);
}

std::vector<std::wstring> Paths(const std::vector<EditorRecord>& editors)
{
    std::vector<std::wstring> paths;
    for (const EditorRecord& editor : editors) paths.push_back(editor.path);
    return paths;
}

bool KeyExists(unsigned index)
{
    RegKey key;
    return key.Open(HKEY_CURRENT_USER, (ListPath + L"\\" + std::to_wstring(index)).c_str()) == ERROR_SUCCESS;
}

TEST(ExternalEditorListTest, LoadingStopsAtTheFirstGapAndTheNextSaveKeepsWhatWasLoaded)
{
    RegistrySandbox registry;
    WriteEditor(0, L"C:\\Tools\\paint.exe", 7);
    WriteEditor(1, L"C:\\Tools\\raw.exe", 0);
    WriteEditor(3, L"C:\\Tools\\lost.exe", 0);
    const std::vector<EditorRecord> editors = LoadEditorRecords();
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\Tools\\paint.exe", L"C:\\Tools\\raw.exe"}), Paths(editors));
    ASSERT_EQ(2u, editors.size());
    EXPECT_EQ(7u, editors[0].flags);

    SaveEditorRecords(editors);
    EXPECT_TRUE(KeyExists(0));
    EXPECT_TRUE(KeyExists(1));
    EXPECT_FALSE(KeyExists(3));
    EXPECT_EQ(L"C:\\Tools\\raw.exe", ReadEditorEntry(1));
    EXPECT_EQ(7u, LoadEditorRecords()[0].flags);
}

TEST(ExternalEditorListTest, AnUnreadableEditorValueSkipsItsRowOnlyAndIsNeverLaunched)
{
    struct Case {
        const char* what;
        DWORD type;
        std::wstring data;
        DWORD bytes;
    };
    const std::wstring path = L"C:\\x.exe";
    const DWORD whole = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    const Case cases[] = {
        {"a number", REG_DWORD, path, 4},
        {"an odd byte count", REG_SZ, path, whole - 1},
        {"binary data", REG_BINARY, path, whole},
        {"longer than the path field", REG_SZ, std::wstring(EditorPathCapacity, L'a'),
         static_cast<DWORD>((EditorPathCapacity + 1) * sizeof(wchar_t))},
    };
    for (const Case& c : cases) {
        RegistrySandbox registry;
        WriteEditor(0, L"C:\\first.exe", 0);
        WriteRaw(1, c.type, c.data.c_str(), c.bytes);
        WriteEditor(2, L"C:\\third.exe", 0);
        EXPECT_EQ(L"", ReadEditorEntry(1)) << c.what;
        EXPECT_EQ((std::vector<std::wstring>{L"C:\\first.exe", L"C:\\third.exe"}), Paths(LoadEditorRecords()))
            << c.what;
    }
    RegistrySandbox registry;
    WriteRaw(0, REG_EXPAND_SZ, L"%TEMP%\\e.exe", sizeof(L"%TEMP%\\e.exe"));
    EXPECT_EQ(L"%TEMP%\\e.exe", ReadEditorEntry(0)) << "read as it stands, not expanded";
    EXPECT_EQ(L"", ReadEditorEntry(5)) << "no such key";
}

TEST(ExternalEditorListTest, ASixtyFifthEditorIsSavedButNotLoaded)
{
    RegistrySandbox registry;
    RegKey settings;
    ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
    std::vector<EditorRecord> editors;
    for (unsigned i = 0; i <= MaxLoadedEditors; ++i) editors.push_back({i, L"C:\\e" + std::to_wstring(i) + L".exe"});
    SaveEditorRecords(editors);
    EXPECT_TRUE(KeyExists(MaxLoadedEditors));
    const std::vector<EditorRecord> loaded = LoadEditorRecords();
    EXPECT_EQ(MaxLoadedEditors, loaded.size());
    SaveEditorRecords(loaded);
    EXPECT_FALSE(KeyExists(MaxLoadedEditors));
}

TEST(ExternalEditorListTest, WithoutTheSettingsKeyNothingIsSaved)
{
    RegistrySandbox registry;
    SaveEditorRecords({{0, L"C:\\e.exe"}});
    EXPECT_FALSE(KeyExists(0));
}
}
