#include "Viewer/primitives/AlignedAlloc.h"
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

TEST(AlignedAlloc, BlocksAre32ByteAlignedAndHoldTheirSize)
{
    for (std::int32_t size : {1, 7, 31, 32, 33, 4096, 786432, 10'000'000})
    {
        std::unique_ptr<void, AlignedFreeDeleter> block(AlignedAlloc(size));
        ASSERT_NE(nullptr, block) << size;
        EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(block.get()) % 32) << size;
        std::memset(block.get(), 0x5A, size);  // every byte is usable
        EXPECT_EQ(0x5A, static_cast<unsigned char*>(block.get())[size - 1]);
    }
}

TEST(AlignedAlloc, SizesBelowOneGiveNull)
{
    for (std::int32_t size : {0, -1, INT32_MIN})
        EXPECT_EQ(nullptr, AlignedAlloc(size)) << size;
    for (std::int32_t count : {0, -1, INT32_MIN})
        EXPECT_EQ(nullptr, AlignedAllocInt32(count)) << count;
}

TEST(AlignedAlloc, Int32CountsHoldTheirValues)
{
    const std::int32_t count = 196608;
    std::unique_ptr<std::int32_t[], AlignedFreeDeleter> values(AlignedAllocInt32(count));
    ASSERT_NE(nullptr, values);
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(values.get()) % 32);
    for (std::int32_t i = 0; i < count; ++i)
        values[i] = i;
    EXPECT_EQ(count - 1, values[count - 1]);
}

TEST(AlignedAlloc, Int32CountWhoseByteSizeOverflowsGivesNull)
{
    // count * 4 would wrap in 32 bits into a block far smaller than asked for: 0x40000001 wraps to 4
    // bytes, which an unchecked allocation would hand out.
    for (std::int32_t count : {0x40000001, 0x40000400, INT32_MAX / 4 + 1, INT32_MAX})
        EXPECT_EQ(nullptr, AlignedAllocInt32(count)) << count;
}

TEST(AlignedAlloc, SizeNearTheLimitFailsCleanlyOrHoldsIt)
{
    // size + the overhead must not wrap into a small block.
    std::unique_ptr<void, AlignedFreeDeleter> block(AlignedAlloc(INT32_MAX));
    if (block)
        static_cast<unsigned char*>(block.get())[INT32_MAX - 1] = 1;
}

TEST(AlignedAlloc, FreeingNullDoesNothing)
{
    AlignedFree(nullptr);
}
