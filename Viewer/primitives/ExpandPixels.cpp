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

void ExpandPixels(const std::uint8_t*& src, std::uint8_t*& dst, std::int32_t count)
{
    for (std::int32_t x = 0; x < count; ++x, src += 3, dst += 4)
    {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = 0xFF;
    }
}

// Sixteen pixels a round, 48 source bytes: three whole loads, so no byte past the row is read.
// Streaming stores (on an aligned destination) skip reading the destination into the cache first:
// the widened picture is written once and not read again soon.
template <bool Stream>
std::int32_t ExpandRounds(const std::uint8_t*& src, std::uint8_t*& dst, std::int32_t width)
{
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::int32_t x = 0;
    for (; x + 16 <= width; x += 16, src += 48, dst += 64)
    {
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
        const __m128i out[4] = {
            SpreadFour(v0, opaque),
            SpreadFour(_mm_or_si128(_mm_srli_si128(v0, 12), _mm_slli_si128(v1, 4)), opaque),
            SpreadFour(_mm_or_si128(_mm_srli_si128(v1, 8), _mm_slli_si128(v2, 8)), opaque),
            SpreadFour(_mm_srli_si128(v2, 4), opaque),
        };
        for (int k = 0; k < 4; ++k)
        {
            auto* to = reinterpret_cast<__m128i*>(dst + 16 * k);
            if constexpr (Stream)
                _mm_stream_si128(to, out[k]);
            else
                _mm_storeu_si128(to, out[k]);
        }
    }
    if constexpr (Stream)
        _mm_sfence();
    return x;
}
}

void ExpandRow24To32Opaque(const std::uint8_t* src, std::uint8_t* dst, std::int32_t width)
{
    if (width < 1)
        return;
    std::int32_t done = 0;
    if ((reinterpret_cast<std::uintptr_t>(dst) & 3) == 0)
    {
        // Whole pixels up to the first 16-byte boundary of the destination, then aligned rounds.
        const std::int32_t lead = std::int32_t((16 - (reinterpret_cast<std::uintptr_t>(dst) & 15)) & 15) / 4;
        const std::int32_t first = lead < width ? lead : width;
        ExpandPixels(src, dst, first);
        done = first + ExpandRounds<true>(src, dst, width - first);
    }
    else
    {
        done = ExpandRounds<false>(src, dst, width);
    }
    ExpandPixels(src, dst, width - done);
}
