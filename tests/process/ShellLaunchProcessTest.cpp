// The shell library with the real viewer: the folder verb hands its folder to the running viewer of
// the user, or starts the viewer from its install path.
#include "tests/process/ViewerFixture.h"
#include "tests/shell/ShellLibrary.h"
#include "tests/support/FileDropData.h"
#include "tests/support/HiveSandbox.h"
#include <shlobj.h>

namespace {
class ShellLaunchProcess : public ViewerFixture {
protected:
    // The library's probe looks for a viewer of this process's user: the test's viewers' user.
    ShellLaunchProcess() { SetEnvironmentVariableW(L"WINEUSERNAME", Environment().userName.c_str()); }

    HRESULT InvokeVerbOn(const std::wstring& folder) const
    {
        ComPtr<IShellExtInit> init = m_library.Create<IShellExtInit>(kContextMenuClsid);
        ComPtr<IContextMenu> menu;
        if (!init || FAILED(init->Initialize(nullptr, FileDropData::Create({folder}).Get(), nullptr)) ||
            FAILED(init.As(menu)))
            return E_UNEXPECTED;
        CMINVOKECOMMANDINFO info{};
        info.cbSize = sizeof(info);
        return menu->InvokeCommand(&info);
    }

private:
    ApartmentThread m_apartment;
    ShellLibrary m_library;
};

// Closes the frame windows of every viewer on the desktop (the tests that start viewers run one at
// a time) and waits until their processes have ended.
void CloseEveryViewer()
{
    std::vector<HWND> frames;
    EnumWindows(
        [](HWND window, LPARAM found) {
            wchar_t className[64]{};
            GetClassNameW(window, className, 64);
            if (wcscmp(className, L"Lumenfold_Frame") == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&frames));
    for (HWND frame : frames) {
        DWORD processId = 0;
        GetWindowThreadProcessId(frame, &processId);
        const UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
        PostMessageW(frame, WM_CLOSE, 0, 0);
        if (process && WaitForSingleObject(process.Get(), kExitTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(process.Get(), 99);
    }
}
}

TEST_F(ShellLaunchProcess, TheVerbHandsItsFolderToTheRunningViewer)
{
    TempFolder first;
    TempFolder second;
    ViewerProcess viewer(L"-i \"" + first.Path() + L"\"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"open", first.Path(), kStartTimeoutMs));
    ASSERT_TRUE(viewer.WaitForFrame(kStartTimeoutMs));

    EXPECT_EQ(S_OK, InvokeVerbOn(second.Path()));
    EXPECT_TRUE(Log().WaitFor(L"open", second.Path(), kStartTimeoutMs));
    EXPECT_EQ(std::vector<std::wstring>{L"-i \"" + second.Path() + L"\""}, Log().Texts(L"wake-up"));
}

TEST_F(ShellLaunchProcess, WithoutARunningViewerTheVerbStartsTheInstalledOne)
{
    const HiveSandbox machine{HKEY_LOCAL_MACHINE};
    RegKey install;
    ASSERT_EQ(ERROR_SUCCESS, install.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Brenholt\\Lumenfold", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, install.SetString(L"AppPath", BuiltViewerProgram()));
    // The started viewer inherits this process's environment: the test settings for the viewer.
    const ViewerEnvironment environment = Environment();
    SetEnvironmentVariableW(L"LUMENFOLD_TEST_USER_NAME", environment.userName.c_str());
    SetEnvironmentVariableW(L"LUMENFOLD_TEST_SETTINGS_KEY", environment.settingsRoot.c_str());
    SetEnvironmentVariableW(L"LUMENFOLD_TEST_LOG", environment.logPath.c_str());

    TempFolder pictures;
    EXPECT_EQ(S_OK, InvokeVerbOn(pictures.Path()));
    EXPECT_TRUE(Log().WaitFor(L"open", pictures.Path(), kStartTimeoutMs));
    CloseEveryViewer();
}
