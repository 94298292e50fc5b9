#pragma once
// Owning holder of a loaded library (code or data file): FreeLibrary on destruction.
#include <windows.h>
#include <memory>
#include <type_traits>

struct ModuleFreer {
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
