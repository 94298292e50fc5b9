#include "Viewer/core/SingleInstance.h"
#include "Shared/WakeUpProtocol.h"
#include "Viewer/core/LastActivity.h"
#include <cwchar>

std::wstring FormatInstanceEventName(const wchar_t* userName)
{
    wchar_t name[520]{};
    swprintf(name, std::size(name), kInstanceEventFormat, userName);
    return name;
}

namespace {
std::wstring CurrentUserName()
{
    wchar_t user[260]{};
    DWORD length = static_cast<DWORD>(std::size(user));
    if (!GetUserNameW(user, &length)) user[0] = L'\0';
    return user;
}
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
    // which brings nothing.
    const ATOM atom = GlobalAddAtomW(commandTail && *commandTail ? commandTail : L" ");
    SendMessageW(HWND_BROADCAST, WakeUpMessage, atom, 0);
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
