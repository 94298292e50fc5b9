// A viewer whose update check waits on a silent server still closes at once: the close abandons the
// check instead of waiting minutes for the platform's send.
#include "tests/support/SilentServer.h"  // winsock before windows.h
#include "tests/process/ViewerFixture.h"

namespace {
class UpdateCheckProcess : public ViewerFixture {};
}

TEST_F(UpdateCheckProcess, AViewerClosedDuringItsUpdateCheckOnASilentServerExitsNormally)
{
    SilentServer server;
    ASSERT_NE(0, server.Port());
    ViewerEnvironment environment = Environment();
    environment.updateFeed = server.Feed();
    {
        // The first start of this version only records it; the check is due at the second.
        ViewerProcess first(L"", environment);
        HWND frame = first.WaitForFrame(kStartTimeoutMs);
        ASSERT_TRUE(frame);
        for (int waited = 0; waited < 600 && !SettingsKey().QueryString(L"InstalledVersion"); ++waited) Sleep(50);
        ASSERT_TRUE(SettingsKey().QueryString(L"InstalledVersion"));
        PostMessageW(frame, WM_CLOSE, 0, 0);
        ASSERT_EQ(1u, first.WaitForExit(kExitTimeoutMs).value_or(99));
    }
    SettingsKey(KEY_ALL_ACCESS).SetDword(L"LastUpdateCheck", 0);

    ViewerProcess viewer(L"", environment);
    HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(server.WaitForClient(60)) << "the viewer's check reached the server";
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, viewer.WaitForExit(kExitTimeoutMs).value_or(99));
    EXPECT_EQ(0u, SettingsKey().QueryDword(L"LastUpdateCheck").value_or(7)) << "the abandoned check recorded nothing";
}
