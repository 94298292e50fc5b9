#include "Viewer/core/CrashNotice.h"
#include <windows.h>
#include <shlwapi.h>
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"

namespace {
constexpr size_t MaxNoticeChars = 1039;
}

std::wstring ComposeCrashNotice(bool dumpWritten, bool reportWritten, const wchar_t* dumpPath,
                                const wchar_t* reportPath)
{
    std::wstring text = LoadUiString(10011);
    if (dumpWritten) text += LoadUiString(10013) + dumpPath + L"\r\n";
    if (reportWritten) {
        if (dumpWritten) text += L"\r\n";
        text += LoadUiString(10014) + reportPath + L"\r\n";
    }
    if (dumpWritten || reportWritten) {
        text += LoadUiString(10015);
        text += LoadUiString(dumpWritten && reportWritten ? 10016 : 10017);
        text += L" " + LoadUiString(10018) + LoadUiString(10019);
    }
    if (text.size() > MaxNoticeChars) text.resize(MaxNoticeChars);
    return text;
}

std::wstring ExplorerSelectCommandLine(const wchar_t* explorerPath, const wchar_t* filePath)
{
    return std::wstring(explorerPath) + L" /e,/select,\"" + filePath + L"\"";
}

void ShowCrashNotice(bool dumpWritten, bool reportWritten, const wchar_t* dumpPath, const wchar_t* reportPath)
{
    ShowMessageBox(GetActiveWindow(), ComposeCrashNotice(dumpWritten, reportWritten, dumpPath, reportPath).c_str(),
                   LoadUiString(10012).c_str(), MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
    if (!dumpWritten && !reportWritten) return;
    wchar_t explorer[MAX_PATH]{};
    if (!GetWindowsDirectoryW(explorer, MAX_PATH) || !PathAppendW(explorer, L"explorer.exe")) return;
    LaunchProcess(explorer, ExplorerSelectCommandLine(explorer, dumpWritten ? dumpPath : reportPath).c_str());
}
