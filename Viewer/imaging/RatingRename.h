#pragma once
// The star rating shown in the file names: a picture and all its companion files (its other
// extensions and its sidecar) are renamed so that the name begins with "{N}"; rating 0 takes the
// prefix away. Only a three-character prefix of a brace, a digit and a brace is recognised.
#include <windows.h>
#include <functional>
#include <string>

// The base path with the rating prefix of the rating (1-9) or without one (any other rating); empty
// for a path shorter than 4 characters or without a file name. At most 519 characters of the path
// are kept.
std::wstring MakeRatingPrefixedName(const std::wstring& basePath, int rating);

struct RatingRenameHooks {
    const HWND* owner;  // the main window's handle member, for the messages
    // Runs before each picture file (not the sidecar) is moved, with its new path, so that the list
    // does not take the renamed file for a new one.
    std::function<void(const std::wstring& newPath)> announce;
};

// Moves basePath.e to newBasePath.e for every extension e of the ";"-separated list and "xmp" that
// exists. When a target exists already nothing is moved (message 10182); a failing move stops the
// pass (message 10183) and leaves the files moved so far. True when at least one file was moved.
bool RenameWithRatingPrefix(const std::wstring& basePath, const std::wstring& newBasePath,
                            const std::wstring& extensions, const RatingRenameHooks& hooks);
