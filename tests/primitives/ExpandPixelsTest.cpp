#include "Viewer/primitives/ExpandPixels.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>

namespace {
// Two pages: the second one cannot be touched, so a row placed to end at the boundary shows any
// read past its last byte as a fault.
class GuardedRow {
public:
    GuardedRow()
    {
        m_base = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * Page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + Page, Page, PAGE_NOACCESS, &old);
    }
    ~GuardedRow() { VirtualFree(m_base, 0, MEM_RELEASE); }
    // Room for bytes bytes that end where the untouchable page begins.
    uint8_t* EndingAtTheGuard(size_t bytes) { return m_base + Page - bytes; }

private:
    static constexpr size_t Page = 4096;
    uint8_t* m_base = nullptr;
};
}

TEST(ExpandPixels, WidensEveryWidthAndReadsNothingPastTheRow)
{
    GuardedRow guarded;
    // Destinations on no whole pixel, a pixel short of 16 bytes, and on 16 bytes (streaming stores).
    for (size_t offset : {1, 4, 16}) {
        for (int32_t width = 0; width <= 70; ++width) {
            SCOPED_TRACE(testing::Message() << "width " << width << ", destination offset " << offset);
            uint8_t* src = guarded.EndingAtTheGuard(size_t(width) * 3);
            for (int32_t i = 0; i < width * 3; ++i) src[i] = uint8_t(i * 7 + width);
            // The bytes on each side of the row must stay as they are.
            alignas(16) uint8_t dst[16 + 70 * 4 + 1];
            std::memset(dst, 0xCD, sizeof(dst));
            ExpandRow24To32Opaque(src, dst + offset, width);
            EXPECT_EQ(0xCD, dst[offset - 1]);
            EXPECT_EQ(0xCD, dst[offset + size_t(width) * 4]);
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* p = dst + offset + 4 * x;
                ASSERT_EQ(0, std::memcmp(p, src + 3 * x, 3)) << "pixel " << x;
                ASSERT_EQ(0xFF, p[3]) << "pixel " << x;
            }
        }
    }
}
