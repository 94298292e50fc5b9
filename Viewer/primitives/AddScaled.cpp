#include "Viewer/primitives/AddScaled.h"
#include "Viewer/primitives/Fill.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <algorithm>
#include <emmintrin.h>

namespace
{
// The rule for one exact sum s: saturate(round-half-to-even(s * 2^-scale)), for scale <= 32.
std::int32_t ScaleSum(std::int64_t s, std::int32_t scale)
{
    if (scale <= -31)
        return s > 0 ? INT32_MAX : s < 0 ? INT32_MIN : 0;
    if (scale < 0)
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(s << -scale, INT32_MIN, INT32_MAX));
    if (scale == 0)
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(s, INT32_MIN, INT32_MAX));
    const std::int64_t bias = (std::int64_t{1} << (scale - 1)) - 1 + ((s >> scale) & 1);
    return static_cast<std::int32_t>((s + bias) >> scale);
}

NumericStatus CheckAddScaled(const std::int32_t* src, const std::int32_t* srcDst, std::int32_t len)
{
    if (!src || !srcDst)
        return StatusNullPointer;
    return len < 1 ? StatusBadSize : StatusOk;
}

__m128i Load(const std::int32_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

void Store(std::int32_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

__m128i Select(__m128i mask, __m128i whenSet, __m128i otherwise)
{
    return _mm_or_si128(_mm_and_si128(mask, whenSet), _mm_andnot_si128(mask, otherwise));
}

// a + b saturated to 32 bits; its sign and zeroness are those of the exact sum.
__m128i SaturatingAdd(__m128i a, __m128i b)
{
    const __m128i sum = _mm_add_epi32(a, b);
    // The sum overflowed where it has the opposite sign of both addends.
    const __m128i overflow = _mm_srai_epi32(_mm_and_si128(_mm_xor_si128(a, sum), _mm_xor_si128(b, sum)), 31);
    const __m128i saturated = _mm_xor_si128(_mm_srai_epi32(a, 31), _mm_set1_epi32(INT32_MAX));
    return Select(overflow, saturated, sum);
}

// 64-bit lanes shifted right arithmetically: SSE2 only shifts them logically.
__m128i ShiftRightArithmetic64(__m128i x, __m128i count)
{
    const __m128i sign = _mm_shuffle_epi32(_mm_srai_epi32(x, 31), _MM_SHUFFLE(3, 3, 1, 1));
    return _mm_xor_si128(_mm_srl_epi64(_mm_xor_si128(x, sign), count), sign);
}

// Rounds two exact 64-bit sums by 2^scale, ties to even; the results fit in 32 bits.
__m128i RoundShift64(__m128i s, __m128i count, __m128i bias)
{
    const __m128i odd = _mm_and_si128(_mm_srl_epi64(s, count), _mm_set_epi32(0, 1, 0, 1));
    return ShiftRightArithmetic64(_mm_add_epi64(_mm_add_epi64(s, bias), odd), count);
}

__m128i SaturatingAddLanes(__m128i a, __m128i b, std::int32_t)
{
    return SaturatingAdd(a, b);
}

// -31 and below: only the sign of the sum is left.
__m128i SignLanes(__m128i a, __m128i b, std::int32_t)
{
    const __m128i sum = SaturatingAdd(a, b);
    const __m128i zero = _mm_setzero_si128();
    return _mm_or_si128(_mm_and_si128(_mm_cmpgt_epi32(sum, zero), _mm_set1_epi32(INT32_MAX)),
                        _mm_and_si128(_mm_cmplt_epi32(sum, zero), _mm_set1_epi32(INT32_MIN)));
}

// -30 to -1: a sum that overflowed 32 bits saturates anyway once shifted left, so the saturated sum
// is shifted and saturated again.
__m128i ShiftLeftSaturateLanes(__m128i a, __m128i b, std::int32_t scale)
{
    const int shift = -scale;
    const __m128i sum = SaturatingAdd(a, b);
    const __m128i shifted = _mm_sll_epi32(sum, _mm_cvtsi32_si128(shift));
    const __m128i high = _mm_cmpgt_epi32(sum, _mm_set1_epi32(INT32_MAX >> shift));
    const __m128i low = _mm_cmplt_epi32(sum, _mm_set1_epi32(INT32_MIN >> shift));
    return Select(high, _mm_set1_epi32(INT32_MAX), Select(low, _mm_set1_epi32(INT32_MIN), shifted));
}

// Scale 1 without leaving 32 bits: with h = (a >> 1) + (b >> 1) and r = (a & 1) + (b & 1) the sum
// is 2h + r, and the halved sum rounded to even is h + ((r + (h & 1)) >> 1).
__m128i HalvingLanes(__m128i a, __m128i b, std::int32_t)
{
    const __m128i one = _mm_set1_epi32(1);
    const __m128i h = _mm_add_epi32(_mm_srai_epi32(a, 1), _mm_srai_epi32(b, 1));
    const __m128i r = _mm_add_epi32(_mm_and_si128(a, one), _mm_and_si128(b, one));
    return _mm_add_epi32(h, _mm_srli_epi32(_mm_add_epi32(r, _mm_and_si128(h, one)), 1));
}

// 2 to 32: the sums are widened to 64 bits, two per register.
__m128i RoundingLanes(__m128i a, __m128i b, std::int32_t scale)
{
    const __m128i count = _mm_cvtsi32_si128(scale);
    const __m128i bias = _mm_set1_epi64x((std::int64_t{1} << (scale - 1)) - 1);
    const __m128i signA = _mm_srai_epi32(a, 31);
    const __m128i signB = _mm_srai_epi32(b, 31);
    const __m128i low = _mm_add_epi64(_mm_unpacklo_epi32(a, signA), _mm_unpacklo_epi32(b, signB));
    const __m128i high = _mm_add_epi64(_mm_unpackhi_epi32(a, signA), _mm_unpackhi_epi32(b, signB));
    const __m128i lowResults = _mm_shuffle_epi32(RoundShift64(low, count, bias), _MM_SHUFFLE(3, 3, 2, 0));
    const __m128i highResults = _mm_shuffle_epi32(RoundShift64(high, count, bias), _MM_SHUFFLE(3, 3, 2, 0));
    return _mm_unpacklo_epi64(lowResults, highResults);
}

using Lanes = __m128i (*)(__m128i, __m128i, std::int32_t);

// Four elements per round through the lanes, the rest one by one.
template <Lanes lanes>
void AddScaledLoop(const std::int32_t* src, std::int32_t* srcDst, std::int32_t len, std::int32_t scale)
{
    std::int32_t i = 0;
    for (; i + 4 <= len; i += 4)
        Store(srcDst + i, lanes(Load(src + i), Load(srcDst + i), scale));
    for (; i < len; ++i)
        srcDst[i] = ScaleSum(std::int64_t{src[i]} + srcDst[i], scale);
}
}

template <int Level>
NumericStatus AddScaledInt32Level(const std::int32_t* src, std::int32_t* srcDst, std::int32_t len, std::int32_t scale)
{
    const NumericStatus status = CheckAddScaled(src, srcDst, len);
    if (status != StatusOk)
        return status;
    if (scale > 32)
        return ZeroInt32<Level>(srcDst, len);
    if constexpr (Level == LevelBaseline)
    {
        for (std::int32_t i = 0; i < len; ++i)
            srcDst[i] = ScaleSum(std::int64_t{src[i]} + srcDst[i], scale);
    }
    else if (scale == 0)
        AddScaledLoop<SaturatingAddLanes>(src, srcDst, len, scale);
    else if (scale <= -31)
        AddScaledLoop<SignLanes>(src, srcDst, len, scale);
    else if (scale < 0)
        AddScaledLoop<ShiftLeftSaturateLanes>(src, srcDst, len, scale);
    else if (scale == 1)
        AddScaledLoop<HalvingLanes>(src, srcDst, len, scale);
    else
        AddScaledLoop<RoundingLanes>(src, srcDst, len, scale);
    return StatusOk;
}

template NumericStatus AddScaledInt32Level<0>(const std::int32_t*, std::int32_t*, std::int32_t, std::int32_t);
template NumericStatus AddScaledInt32Level<1>(const std::int32_t*, std::int32_t*, std::int32_t, std::int32_t);
template NumericStatus AddScaledInt32Level<2>(const std::int32_t*, std::int32_t*, std::int32_t, std::int32_t);
template NumericStatus AddScaledInt32Level<3>(const std::int32_t*, std::int32_t*, std::int32_t, std::int32_t);

namespace
{
constexpr AddScaledInt32Body AddScaledInt32Bodies[ProcessorLevelCount] = {
    AddScaledInt32_Level0, AddScaledInt32_Level1, AddScaledInt32_Level2, AddScaledInt32_Level3};
}

NumericStatus AddScaledInt32(const std::int32_t* src, std::int32_t* srcDst, std::int32_t len, std::int32_t scale)
{
    return SelectBody(AddScaledInt32Bodies)(src, srcDst, len, scale);
}
