#include "Viewer/primitives/Fill.h"
#include "Viewer/primitives/CpuFeatures.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <cstring>
#include <emmintrin.h>

namespace
{
// Runs this long may be streamed past the caches, when they are longer than the largest cache.
constexpr std::int64_t ZeroStreamCheckBytes = 524288;
constexpr std::int64_t SetStreamCheckElements = 262144;

bool IsAligned(const void* p, std::uintptr_t alignment)
{
    return (reinterpret_cast<std::uintptr_t>(p) & (alignment - 1)) == 0;
}

__m128i* AsVector(void* p)
{
    return static_cast<__m128i*>(p);
}

// An element at an address that need not be aligned.
void StoreElement(std::int32_t* p, std::int32_t value)
{
    std::memcpy(p, &value, sizeof(value));
}

// 64 bytes per round from a 16-byte boundary; streamed stores bypass the caches and end with a fence.
void StoreRounds(char* p, std::int64_t rounds, __m128i pattern, bool stream)
{
    __m128i* v = AsVector(p);
    if (stream)
    {
        for (std::int64_t i = 0; i < rounds; ++i, v += 4)
        {
            _mm_stream_si128(v, pattern);
            _mm_stream_si128(v + 1, pattern);
            _mm_stream_si128(v + 2, pattern);
            _mm_stream_si128(v + 3, pattern);
        }
        _mm_sfence();
        return;
    }
    for (std::int64_t i = 0; i < rounds; ++i, v += 4)
    {
        _mm_store_si128(v, pattern);
        _mm_store_si128(v + 1, pattern);
        _mm_store_si128(v + 2, pattern);
        _mm_store_si128(v + 3, pattern);
    }
}
}

// An unaligned store covers the way to the 16-byte boundary, 64-byte rounds follow, and an
// unaligned store ending at the last byte covers the tail.
void FillRepeating4Wide(void* dst, std::int64_t bytes, std::int32_t value, bool stream)
{
    const __m128i pattern = _mm_set1_epi32(value);
    char* p = static_cast<char*>(dst);
    char* const end = p + bytes;
    _mm_storeu_si128(AsVector(p), pattern);
    p += 16 - (reinterpret_cast<std::uintptr_t>(p) & 15);
    const std::int64_t rounds = (end - p) / 64;
    StoreRounds(p, rounds, pattern, stream);
    for (p += rounds * 64; end - p >= 16; p += 16)
        _mm_store_si128(AsVector(p), pattern);
    if (p != end)
        _mm_storeu_si128(AsVector(end - 16), pattern);
}

namespace
{
// Baseline: eight elements per round, then the rest, 16 bytes at a time where aligned.
std::int32_t* SetInt32Baseline(std::int32_t value, std::int32_t* dst, std::int32_t len)
{
    const __m128i pattern = _mm_set1_epi32(value);
    std::int32_t* p = dst;
    std::int32_t n = len;
    for (; n >= 8; n -= 8, p += 8)
    {
        _mm_storeu_si128(AsVector(p), pattern);
        _mm_storeu_si128(AsVector(p + 4), pattern);
    }
    if (n >= 4 && IsAligned(p, 16))
    {
        _mm_store_si128(AsVector(p), pattern);
        p += 4;
        n -= 4;
    }
    for (; n > 0; --n)
        StoreElement(p++, value);
    return dst;
}

// Levels 1-3: the 32-bit pattern fill.
std::int32_t* SetInt32Pattern(const std::int32_t* value, std::int32_t* dst, std::int32_t len)
{
    if (len < 4 || !IsAligned(dst, sizeof(std::int32_t)))
    {
        for (std::int32_t i = 0; i < len; ++i)
            StoreElement(dst + i, *value);
        return dst;
    }
    const std::int64_t cache = len > SetStreamCheckElements ? LargestCacheBytes() : 0;
    const bool stream = cache > 0 && len > cache / 4;
    FillRepeating4Wide(dst, std::int64_t{len} * 4, *value, stream);
    return dst;
}

// Baseline: single bytes to a 4-byte boundary, then the 32-bit fill's rounds of 32 bytes and its
// aligned 16-byte store, then the last bytes one by one.
void ZeroBytesBaseline(char* p, std::int32_t bytes)
{
    std::int32_t n = bytes;
    for (; n > 0 && !IsAligned(p, 4); --n)
        *p++ = 0;
    const std::int32_t elements = n / 4;
    SetInt32Baseline(0, reinterpret_cast<std::int32_t*>(p), elements);
    p += 4 * elements;
    for (n -= 4 * elements; n > 0; --n)
        *p++ = 0;
}

void ZeroBytesWide(char* p, std::int32_t bytes)
{
    if (bytes < 16)
    {
        for (std::int32_t i = 0; i < bytes; ++i)
            p[i] = 0;
        return;
    }
    const std::int64_t cache = bytes > ZeroStreamCheckBytes ? LargestCacheBytes() : 0;
    FillRepeating4Wide(p, bytes, 0, cache > 0 && bytes >= cache);
}

NumericStatus CheckRun(const void* dst, std::int32_t len)
{
    if (!dst)
        return StatusNullPointer;
    return len < 1 ? StatusBadSize : StatusOk;
}
}

template <int Level>
std::int32_t* SetInt32(std::int32_t value, std::int32_t* dst, std::int32_t len)
{
    if constexpr (Level == LevelBaseline)
        return SetInt32Baseline(value, dst, len);
    else
        return SetInt32Pattern(&value, dst, len);
}

template <int Level>
NumericStatus SetInt32Checked(std::int32_t value, std::int32_t* dst, std::int32_t len)
{
    const NumericStatus status = CheckRun(dst, len);
    if (status == StatusOk)
        SetInt32<Level>(value, dst, len);
    return status;
}

template <int Level>
NumericStatus ZeroInt32(std::int32_t* dst, std::int32_t len)
{
    const NumericStatus status = CheckRun(dst, len);
    if (status != StatusOk)
        return status;
    // A byte count must fit in 32 bits: a run of more than 2 GiB is zeroed piece by piece.
    constexpr std::int32_t MaxElementsPerPiece = INT32_MAX / 4;
    for (std::int32_t done = 0; done < len;)
    {
        const std::int32_t piece = len - done < MaxElementsPerPiece ? len - done : MaxElementsPerPiece;
        ZeroBytes<Level>(dst + done, piece * 4);
        done += piece;
    }
    return StatusOk;
}

template <int Level>
void* ZeroBytes(void* dst, std::int32_t bytes)
{
    if constexpr (Level == LevelBaseline)
        ZeroBytesBaseline(static_cast<char*>(dst), bytes);
    else
        ZeroBytesWide(static_cast<char*>(dst), bytes);
    return dst;
}

#define LUMENFOLD_FILLS_OF_LEVEL(L)                                                             \
    template std::int32_t* SetInt32<L>(std::int32_t, std::int32_t*, std::int32_t);             \
    template NumericStatus SetInt32Checked<L>(std::int32_t, std::int32_t*, std::int32_t);       \
    template NumericStatus ZeroInt32<L>(std::int32_t*, std::int32_t);                           \
    template void* ZeroBytes<L>(void*, std::int32_t);
LUMENFOLD_FILLS_OF_LEVEL(0)
LUMENFOLD_FILLS_OF_LEVEL(1)
LUMENFOLD_FILLS_OF_LEVEL(2)
LUMENFOLD_FILLS_OF_LEVEL(3)
