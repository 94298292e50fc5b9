#pragma once
// Files the engine tests make in their temporary folders.
#include <windows.h>
#include <string>
#include <string_view>

// Creates or replaces path with exactly these bytes; fails the test when it cannot.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);
// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
