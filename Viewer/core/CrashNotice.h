#pragma once
// Tells the user after a crash which files were written and where, and opens Explorer on them.
#include <string>

// The message text (at most 1039 characters) for what was written.
std::wstring ComposeCrashNotice(bool dumpWritten, bool reportWritten, const wchar_t* dumpPath,
                                const wchar_t* reportPath);

// Explorer's command line that opens the folder with the file selected.
std::wstring ExplorerSelectCommandLine(const wchar_t* explorerPath, const wchar_t* filePath);

// Shows the notice and, when a file was written, starts Explorer on the dump (or the report).
void ShowCrashNotice(bool dumpWritten, bool reportWritten, const wchar_t* dumpPath, const wchar_t* reportPath);
