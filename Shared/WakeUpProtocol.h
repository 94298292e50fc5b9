#pragma once
// The wake-up protocol between a starter (a second viewer, the shell integration) and the running
// viewer of the same user.
#include <windows.h>
#include <cwchar>
#include <iterator>
#include <string>

// Named manual-reset event of the running viewer; %ls is the user name.
inline constexpr wchar_t kInstanceEventFormat[] = L"Lumenfold.%ls.10180562_7e73_4c55_a206_da359ccedfdf";
// Registered message broadcast to the top-level windows; wParam carries a global atom with the argument text.
inline constexpr wchar_t kWakeUpMessageName[] = L"WM_LUMENFOLD_WAKEUP";
// The viewer's switch that opens the folder following it in double quotation marks.
inline constexpr wchar_t kImageFolderSwitch[] = L"-i";

// The marker's name for a user.
inline std::wstring FormatInstanceEventName(const wchar_t* userName)
{
    wchar_t name[520]{};
    swprintf(name, std::size(name), kInstanceEventFormat, userName);
    return name;
}

// The logon name of the process's user (up to 260 characters); empty when it cannot be read.
inline std::wstring CurrentUserName()
{
    wchar_t user[260]{};
    DWORD length = static_cast<DWORD>(std::size(user));
    if (!GetUserNameW(user, &length)) user[0] = L'\0';
    return user;
}
