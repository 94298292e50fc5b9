#include "Viewer/dialogs/EditorLaunch.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/engine/ImageEntry.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
void WriteEditor(unsigned index, const std::wstring& path)
{
    RegKey key;
    key.Create(HKEY_CURRENT_USER,
               (std::wstring(AppSettings::KeyPath) + L"\\ExternalEditors\\" + std::to_wstring(index)).c_str());
    key.SetString(L"Editor", path);
}

// The arguments the stand-in editor wrote, one a line; empty until it has run.
std::wstring ReadArguments(const std::wstring& probe)
{
    HANDLE file = CreateFileW((probe + L".args").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    text.resize(read / sizeof(wchar_t));
    return text;
}

EntryRef RawPair(const std::wstring& basePath)
{
    EntryRef entry = MakeEntry(nullptr, std::wstring(basePath), nullptr, 0, 1, L"jpg", false);
    entry->AddCompanionExtension(L"cr2");
    return entry;
}

class EditorLaunchTest : public testing::Test {
protected:
    std::vector<UINT> beeps;
    std::vector<std::wstring> started;
    RegistrySandbox registry;
    WorkerThread trimmer;
};

TEST_F(EditorLaunchTest, TheEditorGetsTheChosenFileAsOneQuotedArgument)
{
    ScopedModalSeam seam{ModalSeam{
        .messageBeep = [this](UINT type) {
            beeps.push_back(type);
            return TRUE;
        },
        .executeWithShell = [this](SHELLEXECUTEINFOW* info) {
            started.push_back(std::wstring(info->lpFile) + L" " + info->lpParameters);
            EXPECT_EQ(0u, info->fMask);
            EXPECT_EQ(SW_SHOWNORMAL, info->nShow);
            EXPECT_EQ(nullptr, info->lpVerb);
            return TRUE;
        }}};
    WriteEditor(0, L"C:\\Tools\\paint.exe");
    WriteEditor(1, L"C:\\Tools\\raw.exe");
    EntryRef picture = RawPair(L"C:\\Trip\\IMG 0001");

    EXPECT_TRUE(LaunchExternalEditor(picture.Get(), 1, 1, trimmer));
    EXPECT_TRUE(LaunchExternalEditor(picture.Get(), 0, 0, trimmer));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\Tools\\raw.exe \"C:\\Trip\\IMG 0001.cr2\"",
                                         L"C:\\Tools\\paint.exe \"C:\\Trip\\IMG 0001.jpg\""}),
              started);
    EXPECT_TRUE(beeps.empty());

    // No picture, a file past the picture's files, an editor number without key: one beep each.
    started.clear();
    EXPECT_FALSE(LaunchExternalEditor(nullptr, 0, 0, trimmer));
    EXPECT_FALSE(LaunchExternalEditor(picture.Get(), 0, 2, trimmer));
    EXPECT_FALSE(LaunchExternalEditor(picture.Get(), 2, 0, trimmer));
    EXPECT_TRUE(started.empty());
    EXPECT_EQ((std::vector<UINT>{MB_ICONHAND, MB_ICONHAND, MB_ICONHAND}), beeps);
    EXPECT_EQ(WAIT_OBJECT_0, trimmer.StopAndJoin(10000));
}

TEST_F(EditorLaunchTest, ARealEditorReceivesAPathWithSpacesAndForeignLettersExactly)
{
    TempFolder folder;
    const std::wstring probe = folder.File(L"probe editor.exe");
    ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\editorprobe.exe").c_str(), probe.c_str(), FALSE))
        << "editorprobe.exe is built with the tests";
    WriteEditor(0, probe);
    const std::wstring base = folder.File(L"Vacances d\u2019\u00E9t\u00E9 \u590F\\Plage \u00E0 midi");
    EntryRef picture = RawPair(base);

    ASSERT_TRUE(LaunchExternalEditor(picture.Get(), 0, 1, trimmer));
    std::wstring arguments;
    for (int i = 0; i < 300 && arguments.empty(); ++i) {
        Sleep(100);
        arguments = ReadArguments(probe);
    }
    EXPECT_EQ(base + L".cr2\n", arguments);
    EXPECT_EQ(WAIT_OBJECT_0, trimmer.StopAndJoin(10000));
}
}
