#pragma once
// Owning holder of a menu loaded or created by the program: DestroyMenu on destruction, which also
// destroys its pop-ups.
#include <windows.h>
#include <memory>
#include <type_traits>

struct MenuDeleter {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
