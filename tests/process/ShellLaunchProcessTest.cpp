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
    SetInheritedViewerEnvironment(Environment());

    TempFolder pictures;
    EXPECT_EQ(S_OK, InvokeVerbOn(pictures.Path()));
    EXPECT_TRUE(Log().WaitFor(L"open", pictures.Path(), kStartTimeoutMs));
    CloseEveryViewer();
}
