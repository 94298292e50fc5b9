#pragma once
// The plain-text crash report: where and on what the program died, every module loaded in the
// process with its version, and the program's settings with the last-activity code.
#include <windows.h>

// Writes the whole report (UTF-16LE with its byte-order mark, lines ending in CR LF) into an
// open file, as far as it gets.
void WriteCrashReport(HANDLE file) noexcept;

// The name the report gives the system, by platform, version and product type.
const wchar_t* SystemName(const OSVERSIONINFOEXW& version) noexcept;
