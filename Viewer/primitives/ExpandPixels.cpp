#include "Viewer/primitives/ExpandPixels.h"
#include <emmintrin.h>

namespace
{
// The four pixels in the first 12 bytes of v, each widened to 4 bytes with an opaque fourth byte.
// SSE2 has no byte shuffle, so each pixel is shifted to the front of its own copy and the four
// fronts are gathered with unpacks.
__m128i SpreadFour(__m128i v, __m128i opaque)
{
    const __m128i first = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));
    const __m128i second = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));
    return _mm_or_si128(_mm_unpacklo_epi64(first, second), opaque);
}
}

void ExpandRow24To32Opaque(const std::uint8_t* src, std::uint8_t* dst, std::int32_t width)
{
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::int32_t x = 0;
    // Sixteen pixels are 48 source bytes: three whole loads, so no byte past the row is read.
    for (; x + 16 <= width; x += 16, src += 48, dst += 64)
    {
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
        const __m128i bytes12 = _mm_or_si128(_mm_srli_si128(v0, 12), _mm_slli_si128(v1, 4));
        const __m128i bytes24 = _mm_or_si128(_mm_srli_si128(v1, 8), _mm_slli_si128(v2, 8));
        const __m128i bytes36 = _mm_srli_si128(v2, 4);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), SpreadFour(v0, opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16), SpreadFour(bytes12, opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 32), SpreadFour(bytes24, opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 48), SpreadFour(bytes36, opaque));
    }
    for (; x < width; ++x, src += 3, dst += 4)
    {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = 0xFF;
    }
}
