#pragma once
// The file of the module (program or library) that holds a given code or data address: a library
// finds its own path through the address of one of its functions.
#include <windows.h>
#include <string>

// Full path of the module that holds address; throws HResultError when there is none.
std::wstring ModulePathOfAddress(const void* address);
