#pragma once
// A small HTTP server on 127.0.0.1 inside the test program: the machines have no network, and the
// update check is tested against canned answers. It answers one request per connection and records
// every request it received.
#include "Framework/CriticalSection.h"
#include "Framework/WorkerThread.h"
#include <functional>
#include <string>
#include <vector>

struct HttpAnswer {
    int status = 200;
    std::string statusText = "OK";
    std::string body;
    std::string extraHeaders;  // whole header lines, each ending in CR LF
};

struct HttpRequestRecord {
    std::string requestLine;  // "GET /path HTTP/1.1"
    std::string userAgent;
};

class LocalHttpServer {
public:
    using Handler = std::function<HttpAnswer(const std::string& path)>;

    // Listens on a free port of 127.0.0.1; Port() is 0 when it could not.
    explicit LocalHttpServer(Handler handler);
    ~LocalHttpServer();

    unsigned short Port() const noexcept { return m_port; }
    std::wstring Address(const std::wstring& path) const;
    std::vector<HttpRequestRecord> Requests();

private:
    HRESULT Serve(WorkerThread& self);
    void Answer(uintptr_t connection);

    Handler m_handler;
    uintptr_t m_listener;
    unsigned short m_port = 0;
    CriticalSection m_lock;
    std::vector<HttpRequestRecord> m_requests;
    WorkerThread m_thread;
};
