#pragma once
// The file steps of one keep-copy job, as the copy worker carries them out. The kept file appears
// under its name only whole: the copy is written under a temporary name in the target folder,
// flushed, and then moved onto the target, so that a crash or a kill in the middle never leaves a
// half-written file that looks like the kept picture; a move deletes its source only after that.
#include <windows.h>
#include <string>

// True when both paths name one existing file (same volume and file index), however spelt.
bool IsSameFile(const std::wstring& first, const std::wstring& second);

// Creates the target's folder, copies source onto target (replacing it) and, for a move, then
// deletes the source. A file that is its own target is neither copied nor deleted. ERROR_SUCCESS,
// or the Win32 error of the step that failed.
DWORD CopyOrMoveFile(const std::wstring& source, const std::wstring& target, bool move);
