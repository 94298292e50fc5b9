#include "tests/core/LocalHttpServer.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#include <algorithm>
#include <cctype>

namespace {
std::string HeaderValue(const std::string& head, const std::string& name)
{
    std::string lower = head;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const std::string key = "\r\n" + name + ":";
    const size_t at = lower.find(key);
    if (at == std::string::npos) return {};
    size_t start = at + key.size();
    while (start < head.size() && head[start] == ' ') ++start;
    return head.substr(start, head.find("\r\n", start) - start);
}
}  // namespace

LocalHttpServer::LocalHttpServer(Handler handler) : m_handler(std::move(handler)), m_listener(INVALID_SOCKET)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, 8) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener != INVALID_SOCKET) closesocket(listener);
        return;
    }
    m_listener = listener;
    m_port = ntohs(address.sin_port);
    m_thread.Start(L"test HTTP server", [this](WorkerThread& self) { return Serve(self); });
}

LocalHttpServer::~LocalHttpServer()
{
    m_thread.StopAndJoin();
    if (m_listener != INVALID_SOCKET) closesocket(m_listener);
    WSACleanup();
}

std::wstring LocalHttpServer::Address(const std::wstring& path) const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_port) + path;
}

std::vector<HttpRequestRecord> LocalHttpServer::Requests()
{
    CriticalSectionScope scope(m_lock);
    return m_requests;
}

HRESULT LocalHttpServer::Serve(WorkerThread& self)
{
    while (!self.StopRequested()) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener, &readable);
        timeval wait{0, 50000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        const SOCKET connection = accept(m_listener, nullptr, nullptr);
        if (connection == INVALID_SOCKET) continue;
        Answer(connection);
        closesocket(connection);
    }
    return S_OK;
}

void LocalHttpServer::Answer(uintptr_t connection)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const int received = recv(connection, buffer, sizeof(buffer), 0);
        if (received <= 0) return;
        head.append(buffer, size_t(received));
    }
    HttpRequestRecord record{head.substr(0, head.find("\r\n")), HeaderValue(head, "user-agent")};
    {
        CriticalSectionScope scope(m_lock);
        m_requests.push_back(record);
    }
    const size_t pathStart = record.requestLine.find(' ') + 1;
    const std::string path = record.requestLine.substr(pathStart, record.requestLine.find(' ', pathStart) - pathStart);
    const HttpAnswer answer = m_handler(path);
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " " + answer.statusText + "\r\n" +
                           "Content-Type: text/xml\r\nConnection: close\r\nContent-Length: " +
                           std::to_string(answer.body.size()) + "\r\n" + answer.extraHeaders + "\r\n" + answer.body;
    for (size_t sent = 0; sent < response.size();) {
        const int count = send(connection, response.data() + sent, int(response.size() - sent), 0);
        if (count <= 0) return;
        sent += size_t(count);
    }
    shutdown(connection, SD_SEND);
}
