#include "Viewer/primitives/StringHash.h"
#include "Viewer/primitives/ProcessorLevel.h"

namespace
{
using HashStringUtf16Body = NumericStatus (*)(const std::uint16_t*, std::int32_t, std::uint32_t*);

constexpr HashStringUtf16Body HashStringUtf16Bodies[ProcessorLevelCount] = {
    HashStringUtf16Mul31, HashStringUtf16Mul31, HashStringUtf16Mul31, HashStringUtf16Mul31};
}

NumericStatus HashStringUtf16Mul31(const std::uint16_t* s, std::int32_t len, std::uint32_t* out)
{
    if (!s || !out)
        return StatusNullPointer;
    if (len < 0)
        return StatusBadLength;
    std::uint32_t h = 0;
    for (std::int32_t i = 0; i < len; ++i)
        h = h * 31 + s[i];
    *out = h;
    return StatusOk;
}

NumericStatus HashStringUtf16(const std::uint16_t* s, std::int32_t len, std::uint32_t* out)
{
    return SelectBody(HashStringUtf16Bodies)(s, len, out);
}
