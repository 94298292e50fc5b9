// The start-up task list ends promptly when the viewer closes while the update check waits on a
// server that accepts the connection and never answers (the platform's send would wait minutes).
#include "tests/support/SilentServer.h"  // winsock before windows.h
#include "Framework/RegKey.h"
#include "Framework/WorkerThread.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/VersionInfo.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/RegistrySandbox.h"
#include <gtest/gtest.h>
#include <string>

namespace {
std::wstring RunningVersionText()
{
    VersionParts running{};
    GetAppVersion(&running[0], &running[1], &running[2], &running[3], nullptr, 0, nullptr);
    return std::to_wstring(running[0]) + L"." + std::to_wstring(running[1]) + L"." + std::to_wstring(running[2]) +
           L"." + std::to_wstring(running[3]);
}
}  // namespace

TEST(StartupTasks, AViewerClosedWhileTheUpdateCheckWaitsOnASilentServerEndsPromptly)
{
    RegistrySandbox sandbox;
    MessageBoxRecorder noBoxes;
    SilentServer server;
    ASSERT_NE(0, server.Port());
    {
        RegKey settings;
        ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        settings.SetString(L"InstalledVersion", RunningVersionText());
        settings.SetDword(L"LastUpdateCheck", 0);
    }

    const std::wstring feed = server.Feed();
    WorkerThread startup;
    ASSERT_EQ(S_OK, startup.Start(L"start-up tasks", [&](WorkerThread& self) {
        RegKey settings;
        settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS);
        RunStartupTasks(settings, nullptr, nullptr, self.StopEvent(), feed);
        return S_OK;
    }, WorkerApartment::MultiThreaded));
    ASSERT_TRUE(server.WaitForClient(60)) << "the check reached the server";

    // The close: the frame stops and joins the start-up thread. The limit only keeps a failure from
    // hanging the test; the send itself would hold the thread for minutes.
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), startup.StopAndJoin(60000));
    EXPECT_EQ(S_OK, startup.Result());
    RegKey settings;
    ASSERT_EQ(ERROR_SUCCESS, settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath));
    EXPECT_EQ(0u, settings.QueryDword(L"LastUpdateCheck").value_or(7)) << "an abandoned check records nothing";
}
