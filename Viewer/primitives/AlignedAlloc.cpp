#include "Viewer/primitives/AlignedAlloc.h"
#include <cstdlib>
#include <cstring>

const PrimitivesAllocatorTable PrimitivesAllocator = {std::malloc, std::calloc, std::realloc, std::free};

namespace
{
constexpr std::uintptr_t Alignment = 32;
// Room for the raw block's address before the handed-out one, and for the way to the next boundary.
constexpr std::size_t Overhead = sizeof(void*) + Alignment;
}

void* AlignedAlloc(std::int32_t size)
{
    if (size < 1)
        return nullptr;
    // Size in size_t so that a size near the 32-bit limit cannot wrap into a small block.
    void* raw = PrimitivesAllocator.allocate(static_cast<std::size_t>(size) + Overhead);
    if (!raw)
        return nullptr;
    // The first 32-byte boundary at least 8 bytes past raw.
    const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(raw) + Overhead - 1) & ~(Alignment - 1);
    void* p = reinterpret_cast<void*>(aligned);
    std::memcpy(static_cast<char*>(p) - sizeof(void*), &raw, sizeof(void*));
    return p;
}

std::int32_t* AlignedAllocInt32(std::int32_t count)
{
    if (count < 1 || count > INT32_MAX / static_cast<std::int32_t>(sizeof(std::int32_t)))
        return nullptr;
    return static_cast<std::int32_t*>(AlignedAlloc(count * static_cast<std::int32_t>(sizeof(std::int32_t))));
}

void AlignedFree(void* p)
{
    if (!p)
        return;
    void* raw;
    std::memcpy(&raw, static_cast<char*>(p) - sizeof(void*), sizeof(void*));
    PrimitivesAllocator.free(raw);
}
