#include "tests/support/SilentServer.h"

SilentServer::SilentServer()
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

SilentServer::~SilentServer()
{
    closesocket(m_socket);
    WSACleanup();
}

std::wstring SilentServer::Feed() const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_port) + L"/bin/versioninfo-en.rss";
}

bool SilentServer::WaitForClient(int seconds) const
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(m_socket, &readable);
    timeval limit{seconds, 0};
    return select(0, &readable, nullptr, nullptr, &limit) == 1;
}
