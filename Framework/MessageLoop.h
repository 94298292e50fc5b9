#pragma once
// The message loop of a user-interface thread, with message filters (asked newest first, before a
// message is translated and dispatched) and idle handlers (run while the queue is empty).
#include <windows.h>
#include <vector>

class MessageFilter {
public:
    // TRUE: the message was consumed and is neither translated nor dispatched.
    virtual BOOL PreTranslateMessage(MSG* message) = 0;

protected:
    ~MessageFilter() = default;
};

class IdleHandler {
public:
    // TRUE asks for another idle call before the next message arrives.
    virtual BOOL OnIdle() = 0;

protected:
    ~IdleHandler() = default;
};

class MessageLoop {
public:
    void AddMessageFilter(MessageFilter* filter);
    void RemoveMessageFilter(MessageFilter* filter);
    void AddIdleHandler(IdleHandler* handler);
    void RemoveIdleHandler(IdleHandler* handler);

    // Runs until WM_QUIT and returns its wParam.
    int Run();

    BOOL PreTranslateMessage(MSG* message);
    // TRUE when some handler wants more idle time.
    BOOL OnIdle();

private:
    static bool IsIdleMessage(const MSG& message);

    std::vector<MessageFilter*> m_filters;
    std::vector<IdleHandler*> m_idleHandlers;
};

// The message loop registered for a thread, so that windows created on it can add their filters.
void RegisterMessageLoop(MessageLoop* loop, DWORD threadId = GetCurrentThreadId());
void UnregisterMessageLoop(DWORD threadId = GetCurrentThreadId());
MessageLoop* GetMessageLoop(DWORD threadId = GetCurrentThreadId());
