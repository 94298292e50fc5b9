#pragma once
// The wake-up protocol between a starter (a second viewer, the shell integration) and the running
// viewer of the same user.

// Named manual-reset event of the running viewer; %ls is the user name.
inline constexpr wchar_t kInstanceEventFormat[] = L"Lumenfold.%ls.10180562_7e73_4c55_a206_da359ccedfdf";
// Registered message broadcast to the top-level windows; wParam carries a global atom with the argument text.
inline constexpr wchar_t kWakeUpMessageName[] = L"WM_LUMENFOLD_WAKEUP";
