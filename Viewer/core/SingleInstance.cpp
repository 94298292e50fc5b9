#include "Viewer/core/SingleInstance.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"

namespace {
// How long the wake-up waits for each window that is busy but not (yet) hung.
constexpr UINT kWakeUpWindowTimeoutMs = 1000;
constexpr UINT kRequestTooLongString = 10213;
constexpr UINT kProgramNameString = 100;
}

bool WakeRunningInstance(const wchar_t* commandTail)
{
    LastActivityCode = 113;
    const std::wstring user = CurrentUserName();
    LastActivityCode = 114;
    WakeUpMessage = RegisterWindowMessageW(kWakeUpMessageName);
    InstanceEvent = CreateEventW(nullptr, TRUE, FALSE, FormatInstanceEventName(user.c_str()).c_str());
    const DWORD createError = GetLastError();
    LastActivityCode = 115;
    if (!InstanceEvent || createError != ERROR_ALREADY_EXISTS) return false;

    CloseInstanceEvent();
    LastActivityCode = 116;
    // The receiver owns the atom and deletes it. An atom name cannot be empty: a start without
    // arguments sends a blank, which brings the viewer forward without asking it to open anything.
    // An atom that cannot be made (a tail too long for an atom name) still wakes the viewer with 0,
    // which brings nothing; the user is told that the request did not reach it.
    const ATOM atom = GlobalAddAtomW(commandTail && *commandTail ? commandTail : L" ");
    if (atom == 0)
        ShowMessageBox(nullptr, LoadUiString(kRequestTooLongString).c_str(), LoadUiString(kProgramNameString).c_str(),
                       MB_ICONEXCLAMATION);
    // Sent, so that the running viewer has handled it before this process ends; but every top-level
    // window of the desktop gets it, and one program that does not answer must not hold this start
    // forever. A window that times out still receives the message later, and the atom lives on
    // until its receiver deletes it.
    SendMessageTimeoutW(HWND_BROADCAST, WakeUpMessage, atom, 0, SMTO_ABORTIFHUNG, kWakeUpWindowTimeoutMs, nullptr);
    LastActivityCode = 117;
    return true;
}

void CloseInstanceEvent() noexcept
{
    if (HANDLE event = InstanceEvent) {
        InstanceEvent = nullptr;
        CloseHandle(event);
    }
}
