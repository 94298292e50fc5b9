#include "Viewer/core/GdiPlus.h"
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

namespace {
bool GdiPlusWorks()
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat32bppARGB, nullptr, &bitmap) !=
        Gdiplus::Ok)
        return false;
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return true;
}
}

// Wine's GDI+ also draws without being started, so only the count shows when it is shut down.
TEST(GdiPlusCount, FirstUserStartsItAndLastUserShutsItDown)
{
    GdiPlusAcquire();
    EXPECT_TRUE(GdiPlusWorks());
    GdiPlusAcquire();
    EXPECT_EQ(2, GdiPlusUserCount());
    GdiPlusRelease();
    EXPECT_TRUE(GdiPlusWorks()) << "one user is left";
    GdiPlusRelease();
    EXPECT_EQ(0, GdiPlusUserCount());
}

TEST(GdiPlusCount, ReleaseWithoutUsersChangesNothing)
{
    GdiPlusRelease();
    EXPECT_EQ(0, GdiPlusUserCount());
    GdiPlusAcquire();
    EXPECT_EQ(1, GdiPlusUserCount());
    EXPECT_TRUE(GdiPlusWorks());
    GdiPlusRelease();
}
