// With no viewer of this user running, the library starts one from the install path that the
// installer wrote under HKEY_LOCAL_MACHINE (here the test's private copy), naming the stand-in program.
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include "tests/shell/ShellFixture.h"

namespace {
class ShellStart : public ShellFixture {
protected:
    HRESULT InvokeOn(const std::wstring& folder)
    {
        ComPtr<IContextMenu> handler = MenuOn({folder});
        return handler ? InvokeVerb(handler.Get()) : E_NOINTERFACE;
    }
};

// What CreateProcessW itself reports for an empty program path, as the library calls it then.
HRESULT EmptyProgramError()
{
    std::wstring commandLine = L"\"\" -i \"C:\\Photos\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(L"", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return S_OK;
    }
    return HRESULT_FROM_WIN32(GetLastError());
}
}

TEST_F(ShellStart, TheViewerStartsFromTheInstallPathAndTheProbeLeavesNoEvent)
{
    SetAppPath(kInstallKey, StubProgram());
    EXPECT_EQ(S_OK, InvokeOn(L"C:\\Photos"));
    EXPECT_EQ(ExpectedCommandLine(L"C:\\Photos"), StubCommandLine().value_or(L"<not started>"));
    EXPECT_FALSE(UniqueHandle(OpenEventW(SYNCHRONIZE, FALSE, InstanceEventName(UserName()).c_str())))
        << "no viewer runs, so no event may stay behind";
}

TEST_F(ShellStart, TheWow6432NodeKeyAloneServes)
{
    SetAppPath(kInstallKey32, StubProgram());
    EXPECT_EQ(S_OK, InvokeOn(L"D:\\Holiday 2024"));
    EXPECT_EQ(ExpectedCommandLine(L"D:\\Holiday 2024"), StubCommandLine().value_or(L"<not started>"));
}

TEST_F(ShellStart, TheNativeKeyComesFirst)
{
    SetAppPath(kInstallKey, StubProgram());
    SetAppPath(kInstallKey32, Temp().File(L"missing.exe"));
    EXPECT_EQ(S_OK, InvokeOn(L"C:\\Photos"));
    EXPECT_EQ(ExpectedCommandLine(L"C:\\Photos"), StubCommandLine().value_or(L"<not started>"));
}

TEST_F(ShellStart, WithoutAnInstallKeyTheFileIsNotFound)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), InvokeOn(L"C:\\Photos"));
    EXPECT_FALSE(StubCommandLine(500));
}

TEST_F(ShellStart, AnUnusableAppPathGivesTheErrorOfTheStart)
{
    const HRESULT expected = EmptyProgramError();
    ASSERT_TRUE(FAILED(expected));
    struct Case {
        const char* name;
        DWORD type;
        std::wstring text;  // empty: no value at all
    };
    const Case cases[] = {
        {"no AppPath", REG_SZ, L""},
        {"AppPath of another type", REG_EXPAND_SZ, StubProgram()},
        {"AppPath longer than a path", REG_SZ, L"C:\\" + std::wstring(300, L'x') + L".exe"},
    };
    for (const Case& c : cases) {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, kInstallKey, KEY_ALL_ACCESS));
        key.DeleteValue(L"AppPath");
        if (!c.text.empty())
            RegSetValueExW(key.Get(), L"AppPath", 0, c.type, reinterpret_cast<const BYTE*>(c.text.c_str()),
                           static_cast<DWORD>((c.text.size() + 1) * sizeof(wchar_t)));
        EXPECT_EQ(expected, InvokeOn(L"C:\\Photos")) << c.name;
    }
    EXPECT_FALSE(StubCommandLine(500));
}

TEST_F(ShellStart, ANonStringAppPathGivesTheErrorOfTheStart)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, kInstallKey, KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, key.SetDword(L"AppPath", 1));
    EXPECT_EQ(EmptyProgramError(), InvokeOn(L"C:\\Photos"));
}
