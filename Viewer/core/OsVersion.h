#pragma once
// Two operating-system version tests, each asked of the system once and then remembered.

// Windows Vista (6.0) or later.
bool IsVistaOrLater() noexcept;
// Windows 7 (6.1) or later.
bool IsWin7OrLater() noexcept;
