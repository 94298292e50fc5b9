#pragma once
// Owning holder of a GDI object (a font, a bitmap, a brush, a pen, a region): DeleteObject on
// destruction. The object must not be selected into a device context when its holder goes.
#include <windows.h>
#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
template <typename Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

// A memory device context (CreateCompatibleDC): DeleteDC on destruction.
struct MemoryDcDeleter {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;
