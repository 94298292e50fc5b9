#include "Viewer/core/Hash64.h"
#include <gtest/gtest.h>

TEST(Hash64, OwnHashIsTheZeroExtendedStringHash)
{
    EXPECT_EQ(96354u, Hash64(L"abc", 3, true));  // ((97 * 31) + 98) * 31 + 99
    EXPECT_EQ(0u, Hash64(L"abc", 0, true));
    EXPECT_EQ(65535u, Hash64(L"\xFFFF", 1, true)) << "code units are unsigned";
}

TEST(Hash64, SystemHashDiffersFromOwnHashAndIsStable)
{
    const std::uint64_t system = Hash64(L"C:\\Pictures\\IMG_0001", 20, false);
    EXPECT_NE(Hash64(L"C:\\Pictures\\IMG_0001", 20, true), system);
    EXPECT_EQ(system, Hash64(L"C:\\Pictures\\IMG_0001", 20, false));
    EXPECT_NE(system, Hash64(L"C:\\Pictures\\IMG_0002", 20, false));
    EXPECT_GT(system, 0xFFFFFFFFull) << "all 64 bits carry the system hash";
}

TEST(Hash64, CountsCharactersNotTheTerminator)
{
    for (bool own : {false, true}) {
        EXPECT_EQ(Hash64(L"abc", 3, own), Hash64(L"abcdef", 3, own));
        EXPECT_EQ(Hash64(L"abc", 3, own), Hash64String(L"abc", own));
    }
}

TEST(Hash64, NullOrNegativeInputHashesToZero)
{
    EXPECT_EQ(0u, Hash64String(nullptr, false));
    EXPECT_EQ(0u, Hash64String(nullptr, true));
    EXPECT_EQ(0u, Hash64(nullptr, 5, false));
    EXPECT_EQ(0u, Hash64(L"abc", -1, false));
}
