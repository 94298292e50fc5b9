#pragma once
// Scratch memory on 32-byte boundaries for the primitives.
#include <cstddef>
#include <cstdint>

// The C runtime's allocation functions, which the aligned allocation goes through.
struct PrimitivesAllocatorTable
{
    void* (*allocate)(std::size_t);
    void* (*allocateZeroed)(std::size_t, std::size_t);
    void* (*reallocate)(void*, std::size_t);
    void (*free)(void*);
};
extern const PrimitivesAllocatorTable PrimitivesAllocator;

// A 32-byte-aligned block of size bytes; null when size < 1 or the allocation fails.
void* AlignedAlloc(std::int32_t size);
// Room for count 32-bit values, 32-byte aligned; null when count < 1, when count values do not fit
// in a 32-bit byte size, or when the allocation fails.
std::int32_t* AlignedAllocInt32(std::int32_t count);
// Frees a block from AlignedAlloc; null is ignored.
void AlignedFree(void* p);

struct AlignedFreeDeleter
{
    void operator()(void* p) const { AlignedFree(p); }
};
