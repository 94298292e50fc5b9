#include "Viewer/primitives/Fill.h"
#include <cstring>
#include <gtest/gtest.h>
#include <type_traits>
#include <vector>

// The fills are called directly by the body of their level, so each level is tested on its own.
template <class LevelConstant>
class FillAtLevel : public testing::Test
{
protected:
    static constexpr int Level = LevelConstant::value;
};

using FillLevels = testing::Types<std::integral_constant<int, 0>, std::integral_constant<int, 1>,
                                  std::integral_constant<int, 2>, std::integral_constant<int, 3>>;
TYPED_TEST_SUITE(FillAtLevel, FillLevels);

namespace
{
constexpr unsigned char Guard = 0xA5;
constexpr std::int32_t Pattern = 0x12345678;

// A byte buffer with guard bytes around the run at every offset from a 64-byte boundary.
class GuardedBuffer
{
public:
    GuardedBuffer(std::size_t offset, std::size_t bytes) : storage_(offset + bytes + 256, Guard), bytes_(bytes)
    {
        const auto base = reinterpret_cast<std::uintptr_t>(storage_.data());
        start_ = ((base + 63) & ~std::uintptr_t{63}) - base + offset;
    }
    unsigned char* Run() { return storage_.data() + start_; }
    // Every byte outside the run still holds the guard.
    bool GuardsIntact() const
    {
        for (std::size_t i = 0; i < storage_.size(); ++i)
        {
            if ((i < start_ || i >= start_ + bytes_) && storage_[i] != Guard)
                return false;
        }
        return true;
    }

private:
    std::vector<unsigned char> storage_;
    std::size_t bytes_;
    std::size_t start_ = 0;
};

bool AllElementsAre(const unsigned char* run, std::int32_t len, std::int32_t value)
{
    for (std::int32_t i = 0; i < len; ++i)
    {
        std::int32_t element;
        std::memcpy(&element, run + 4 * i, 4);
        if (element != value)
            return false;
    }
    return true;
}

bool AllBytesZero(const unsigned char* run, std::int32_t bytes)
{
    for (std::int32_t i = 0; i < bytes; ++i)
    {
        if (run[i] != 0)
            return false;
    }
    return true;
}
}

TYPED_TEST(FillAtLevel, SetInt32StoresExactlyLenElementsAtAnyAlignment)
{
    // Every phase of the 16-byte rounds, including addresses half an element and one byte off.
    for (std::size_t offset = 0; offset < 16; ++offset)
    {
        for (std::int32_t len = 0; len <= 70; ++len)
        {
            GuardedBuffer buffer(offset, len * 4);
            auto* dst = reinterpret_cast<std::int32_t*>(buffer.Run());
            EXPECT_EQ(dst, SetInt32<TestFixture::Level>(Pattern, dst, len));
            EXPECT_TRUE(AllElementsAre(buffer.Run(), len, Pattern)) << "offset " << offset << " len " << len;
            EXPECT_TRUE(buffer.GuardsIntact()) << "offset " << offset << " len " << len;
        }
    }
}

TYPED_TEST(FillAtLevel, SetInt32OfALongRunFillsItAll)
{
    // Longer than the runs that may be streamed past the caches.
    const std::int32_t len = 5'000'003;
    GuardedBuffer buffer(4, std::size_t{len} * 4);
    SetInt32<TestFixture::Level>(-7, reinterpret_cast<std::int32_t*>(buffer.Run()), len);
    EXPECT_TRUE(AllElementsAre(buffer.Run(), len, -7));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TYPED_TEST(FillAtLevel, SetInt32OfNoElementsWritesNothing)
{
    for (std::int32_t len : {0, -1, -100})
    {
        GuardedBuffer buffer(0, 0);
        SetInt32<TestFixture::Level>(Pattern, reinterpret_cast<std::int32_t*>(buffer.Run()), len);
        EXPECT_TRUE(buffer.GuardsIntact()) << len;
    }
}

TYPED_TEST(FillAtLevel, ZeroBytesClearsExactlyTheRunAtAnyAlignment)
{
    for (std::size_t offset = 0; offset < 16; ++offset)
    {
        for (std::int32_t bytes : {0, 1, 3, 4, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, 127, 128, 129, 200})
        {
            GuardedBuffer buffer(offset, bytes);
            EXPECT_EQ(buffer.Run(), ZeroBytes<TestFixture::Level>(buffer.Run(), bytes));
            EXPECT_TRUE(AllBytesZero(buffer.Run(), bytes)) << "offset " << offset << " bytes " << bytes;
            EXPECT_TRUE(buffer.GuardsIntact()) << "offset " << offset << " bytes " << bytes;
        }
    }
}

TYPED_TEST(FillAtLevel, ZeroBytesOfALongRunClearsItAll)
{
    const std::int32_t bytes = 20'000'001;
    GuardedBuffer buffer(3, bytes);
    ZeroBytes<TestFixture::Level>(buffer.Run(), bytes);
    EXPECT_TRUE(AllBytesZero(buffer.Run(), bytes));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TYPED_TEST(FillAtLevel, CheckedFillsTestPointerThenLength)
{
    constexpr int Level = TestFixture::Level;
    struct Case
    {
        bool nullDst;
        std::int32_t len;
        NumericStatus status;
    };
    const Case cases[] = {
        {true, 0, StatusNullPointer}, {true, 5, StatusNullPointer}, {false, 0, StatusBadSize},
        {false, -3, StatusBadSize},   {false, 1, StatusOk},         {false, 37, StatusOk},
    };
    for (const Case& c : cases)
    {
        for (bool zero : {false, true})
        {
            GuardedBuffer buffer(0, c.len > 0 ? c.len * 4 : 0);
            auto* dst = c.nullDst ? nullptr : reinterpret_cast<std::int32_t*>(buffer.Run());
            const NumericStatus status = zero ? ZeroInt32<Level>(dst, c.len) : SetInt32Checked<Level>(Pattern, dst, c.len);
            EXPECT_EQ(c.status, status) << (zero ? "ZeroInt32" : "SetInt32Checked") << " len " << c.len;
            if (status == StatusOk)
            {
                EXPECT_TRUE(AllElementsAre(buffer.Run(), c.len, zero ? 0 : Pattern));
            }
            EXPECT_TRUE(buffer.GuardsIntact());
        }
    }
}

TEST(FillRepeating4Wide, StreamedAndCachedRoundsFillExactlyTheRun)
{
    // Streaming is chosen only on processors that report their cache size: both kinds run here.
    struct Case
    {
        std::int32_t value;
        std::size_t offsetStep;  // a repeating pattern starts on a 4-byte boundary, zero anywhere
        std::size_t byteStep;
    };
    for (const Case& c : {Case{Pattern, 4, 4}, Case{0, 1, 1}})
    {
        for (bool stream : {false, true})
        {
            for (std::size_t offset = 0; offset < 16; offset += c.offsetStep)
            {
                for (std::size_t bytes = 16; bytes <= 400; bytes += c.byteStep)
                {
                    GuardedBuffer buffer(offset, bytes);
                    FillRepeating4Wide(buffer.Run(), static_cast<std::int64_t>(bytes), c.value, stream);
                    const auto length = static_cast<std::int32_t>(bytes);
                    const bool filled = c.value == 0 ? AllBytesZero(buffer.Run(), length)
                                                     : AllElementsAre(buffer.Run(), length / 4, c.value);
                    ASSERT_TRUE(filled && buffer.GuardsIntact())
                        << "value " << c.value << (stream ? " streamed" : " cached") << " offset " << offset
                        << " bytes " << bytes;
                }
            }
        }
    }
}
