#pragma once
// A listening socket on 127.0.0.1 that never accepts: a client's connection waits in its backlog
// and its request is never answered, as with a server that went silent.
#include <winsock2.h>
#include <string>

class SilentServer {
public:
    SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    ~SilentServer();

    unsigned short Port() const noexcept { return m_port; }
    // An address of the update feed's shape on this server.
    std::wstring Feed() const;
    // True once a client has connected, within seconds.
    bool WaitForClient(int seconds) const;

private:
    SOCKET m_socket = INVALID_SOCKET;
    unsigned short m_port = 0;
};
