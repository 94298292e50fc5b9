// The start-up task list ends promptly when the viewer closes while the update check waits on a
// server that accepts the connection and never answers (the platform's send would wait minutes).
#include <winsock2.h>
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
// A listening socket on 127.0.0.1 that never accepts: connections wait in its backlog unanswered.
class SilentServer {
public:
    SilentServer()
    {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        if (bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && listen(m_socket, 4) == 0 &&
            getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    ~SilentServer()
    {
        closesocket(m_socket);
        WSACleanup();
    }

    std::wstring Feed() const { return L"http://127.0.0.1:" + std::to_wstring(m_port) + L"/bin/versioninfo-en.rss"; }
    unsigned short Port() const noexcept { return m_port; }
    // True once a client has connected (a connection waits in the backlog).
    bool WaitForClient(int seconds) const
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_socket, &readable);
        timeval limit{seconds, 0};
        return select(0, &readable, nullptr, nullptr, &limit) == 1;
    }

private:
    SOCKET m_socket = INVALID_SOCKET;
    unsigned short m_port = 0;
};

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
