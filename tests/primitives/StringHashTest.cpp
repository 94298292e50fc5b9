#include "LevelScope.h"
#include "Viewer/primitives/StringHash.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
class HashStringUtf16AtLevel : public AtEveryLevel
{
};

std::vector<std::uint16_t> Units(const std::wstring& text)
{
    return std::vector<std::uint16_t>(text.begin(), text.end());
}
}

TEST_P(HashStringUtf16AtLevel, HashesMultiplyBy31AndAddEachUnit)
{
    struct Case
    {
        const char* what;
        std::vector<std::uint16_t> units;
        std::uint32_t hash;
    };
    const Case cases[] = {
        {"abc", Units(L"abc"), 96354},
        {"one unit", {0x41}, 0x41},
        {"units above 0x7FFF are unsigned", {0xFFFF}, 65535},
        {"two high units", {0xFFFF, 0x8000}, 2064353},
        {"a path", Units(L"C:\\Pictures\\IMG_0001.JPG"), 336222418},
    };
    for (const Case& c : cases)
    {
        std::uint32_t out = 0xDEADBEEF;
        ASSERT_EQ(StatusOk, HashStringUtf16(c.units.data(), static_cast<std::int32_t>(c.units.size()), &out)) << c.what;
        EXPECT_EQ(c.hash, out) << c.what;
    }
}

TEST_P(HashStringUtf16AtLevel, LongRunsWrapModulo2To32)
{
    // The sum of 31^k for k below 100000, modulo 2^32.
    const std::vector<std::uint16_t> ones(100000, 1);
    std::uint32_t out = 0;
    ASSERT_EQ(StatusOk, HashStringUtf16(ones.data(), 100000, &out));
    EXPECT_EQ(2257431040u, out);
}

TEST_P(HashStringUtf16AtLevel, ChecksPointersThenLength)
{
    const std::uint16_t units[] = {'a', 'b'};
    struct Case
    {
        const char* what;
        const std::uint16_t* s;
        std::int32_t len;
        bool nullOut;
        NumericStatus status;
        std::uint32_t out;
    };
    const Case cases[] = {
        {"empty run", units, 0, false, StatusOk, 0},
        {"null run with len 0", nullptr, 0, false, StatusNullPointer, 0x12345678},
        {"null run with a negative len", nullptr, -1, false, StatusNullPointer, 0x12345678},
        {"null out", units, 2, true, StatusNullPointer, 0x12345678},
        {"negative len", units, -1, false, StatusBadLength, 0x12345678},
    };
    for (const Case& c : cases)
    {
        std::uint32_t out = 0x12345678;
        EXPECT_EQ(c.status, HashStringUtf16(c.s, c.len, c.nullOut ? nullptr : &out)) << c.what;
        EXPECT_EQ(c.out, out) << c.what;
    }
}

INSTANTIATE_AT_EVERY_LEVEL(HashStringUtf16AtLevel);
