#pragma once
// A test that plays the shell: the real library on a single-threaded-apartment thread, a user name
// of the test's own (so that no viewer of another test counts as running), a private
// HKEY_LOCAL_MACHINE for the install path, and the stand-in viewer program that records how it was
// started.
#include "tests/shell/ShellLibrary.h"
#include "tests/support/FileDropData.h"
#include "tests/support/HiveSandbox.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <optional>

inline constexpr wchar_t kInstallKey[] = L"SOFTWARE\\Brenholt\\Lumenfold";
inline constexpr wchar_t kInstallKey32[] = L"SOFTWARE\\Wow6432Node\\Brenholt\\Lumenfold";

// The running viewer's marker event of a user, as the viewer names it.
std::wstring InstanceEventName(const std::wstring& user);

class ShellFixture : public testing::Test {
protected:
    ShellFixture();

    const ShellLibrary& Library() const noexcept { return m_library; }
    const std::wstring& UserName() const noexcept { return m_user; }
    const TempFolder& Temp() const noexcept { return m_temp; }

    static std::wstring StubProgram() { return TestProgramFolder() + L"\\shellstub.exe"; }
    // Writes "AppPath" (REG_SZ) under the install key of that path in the private HKEY_LOCAL_MACHINE.
    static void SetAppPath(const wchar_t* installKey, const std::wstring& path);
    // The command line the stand-in was started with; nothing when it did not start within timeoutMs.
    std::optional<std::wstring> StubCommandLine(DWORD timeoutMs = 20000) const;
    // The command line of a start from the stand-in's install path on that folder.
    static std::wstring ExpectedCommandLine(const std::wstring& folder);

    // A context-menu handler of the library, initialized with those items.
    ComPtr<IContextMenu> MenuOn(const std::vector<std::wstring>& items) const;
    // The verb invoked by its command offset, as the shell does when the user picks it.
    static HRESULT InvokeVerb(IContextMenu* menu, UINT_PTR offset = 0);
    // A drop of those items on the library's AutoPlay handler.
    HRESULT DropOnAutoPlay(IDataObject* data) const;

private:
    ApartmentThread m_apartment;
    ShellLibrary m_library;
    HiveSandbox m_hives{HKEY_LOCAL_MACHINE};
    TempFolder m_temp;
    std::wstring m_user;
};
