#pragma once
// The module from which windows, dialogs, menus, accelerators and strings are loaded: the language
// library once it is loaded, the program itself before that.
#include <windows.h>
#include <string>

HINSTANCE GetResourceInstance() noexcept;
// Returns the previous resource module.
HINSTANCE SetResourceInstance(HINSTANCE module) noexcept;
// The module whose window classes and code this is (the program or the library that links the framework).
HINSTANCE GetModuleInstance() noexcept;

// A string of the resource module; empty when it is missing.
std::wstring LoadResourceString(UINT id);
