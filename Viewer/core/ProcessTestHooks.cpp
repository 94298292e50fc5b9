#include "Viewer/core/ProcessTestHooks.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include <memory>
#include <string>

namespace {
std::wstring EnvironmentValue(const wchar_t* name)
{
    wchar_t value[1024]{};
    const DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
    return length && length < std::size(value) ? std::wstring(value, length) : std::wstring();
}

std::wstring g_logPath;
std::unique_ptr<ScopedModalSeam> g_answeringSeam;

std::string ToUtf8(std::wstring_view text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

// Stays open while the process runs: it is the process's HKEY_CURRENT_USER.
RegKey g_currentUserStandIn;

void RedirectCurrentUserKey(const std::wstring& path)
{
    if (g_currentUserStandIn.Create(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS)
        RegOverridePredefKey(HKEY_CURRENT_USER, g_currentUserStandIn.Get());
}

void AnswerModalCallsIntoLog()
{
    ModalSeam seam;
    seam.messageBox = [](HWND, const wchar_t* text, const wchar_t* caption, UINT) {
        RecordForTest(L"messagebox", std::wstring(caption ? caption : L"") + L"|" + (text ? text : L""));
        return IDOK;
    };
    seam.messageBeep = [](UINT type) {
        RecordForTest(L"beep", std::to_wstring(type));
        return TRUE;
    };
    seam.modalDialog = [](HINSTANCE, UINT templateId, HWND, DLGPROC, LPARAM) -> INT_PTR {
        RecordForTest(L"dialog", std::to_wstring(templateId));
        return IDOK;
    };
    g_answeringSeam = std::make_unique<ScopedModalSeam>(std::move(seam));
}
}

void InstallProcessTestHooks()
{
    const std::wstring settingsKey = EnvironmentValue(L"LUMENFOLD_TEST_SETTINGS_KEY");
    if (!settingsKey.empty()) RedirectCurrentUserKey(settingsKey);
    const std::wstring userName = EnvironmentValue(L"LUMENFOLD_TEST_USER_NAME");
    if (!userName.empty()) SetEnvironmentVariableW(L"WINEUSERNAME", userName.c_str());
    g_logPath = EnvironmentValue(L"LUMENFOLD_TEST_LOG");
    if (!g_logPath.empty()) AnswerModalCallsIntoLog();
}

void RecordForTest(std::wstring_view what, std::wstring_view text)
{
    if (g_logPath.empty()) return;
    const UniqueHandle file(CreateFileW(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string line = ToUtf8(std::wstring(what) + L"\t" + std::wstring(text) + L"\n");
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::wstring UpdateFeedAddress(std::wstring_view feed)
{
    const std::wstring served = EnvironmentValue(L"LUMENFOLD_TEST_UPDATE_FEED");
    return served.empty() ? std::wstring(feed) : served;
}
