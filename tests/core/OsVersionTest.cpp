#include "Viewer/core/OsVersion.h"
#include <gtest/gtest.h>
#include "Viewer/core/LastActivity.h"

// Wine reports Windows 7 (6.1.7601), which passes both tests.
TEST(OsVersion, BothTestsHoldOnWindows7AndLeaveTheirCodes)
{
    EXPECT_TRUE(IsVistaOrLater());
    EXPECT_EQ(2.1, LastActivityCode.load());
    EXPECT_TRUE(IsWin7OrLater());
    EXPECT_EQ(2.2, LastActivityCode.load());
    EXPECT_TRUE(IsWin7OrLater()) << "the remembered answer";
}
