#include "Framework/MessageLoop.h"
#include <algorithm>
#include <map>
#include <mutex>

namespace {
struct LoopRegistry {
    std::mutex lock;
    std::map<DWORD, MessageLoop*> loops;
};

LoopRegistry& Registry()
{
    static LoopRegistry registry;
    return registry;
}

template <class T>
void Remove(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}

void MessageLoop::AddMessageFilter(MessageFilter* filter) { m_filters.push_back(filter); }
void MessageLoop::RemoveMessageFilter(MessageFilter* filter) { Remove(m_filters, filter); }
void MessageLoop::AddIdleHandler(IdleHandler* handler) { m_idleHandlers.push_back(handler); }
void MessageLoop::RemoveIdleHandler(IdleHandler* handler) { Remove(m_idleHandlers, handler); }

BOOL MessageLoop::PreTranslateMessage(MSG* message)
{
    // A filter may remove itself while it is asked: walk a copy.
    const std::vector<MessageFilter*> filters = m_filters;
    for (auto it = filters.rbegin(); it != filters.rend(); ++it)
        if ((*it)->PreTranslateMessage(message)) return TRUE;
    return FALSE;
}

BOOL MessageLoop::OnIdle()
{
    const std::vector<IdleHandler*> handlers = m_idleHandlers;
    BOOL more = FALSE;
    for (IdleHandler* handler : handlers)
        if (handler->OnIdle()) more = TRUE;
    return more;
}

bool MessageLoop::IsIdleMessage(const MSG& message)
{
    // Mouse moves, paints and the caret's timer do not end an idle period.
    switch (message.message) {
    case WM_MOUSEMOVE: case WM_NCMOUSEMOVE: case WM_PAINT: case 0x0118 /* WM_SYSTIMER */:
        return false;
    default:
        return true;
    }
}

int MessageLoop::Run()
{
    bool idle = true;
    MSG message{};
    for (;;) {
        while (idle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
            idle = OnIdle() != FALSE;

        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) continue;
        if (!got) break;
        if (!PreTranslateMessage(&message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (IsIdleMessage(message)) idle = true;
    }
    return static_cast<int>(message.wParam);
}

void RegisterMessageLoop(MessageLoop* loop, DWORD threadId)
{
    std::lock_guard guard(Registry().lock);
    Registry().loops[threadId] = loop;
}

void UnregisterMessageLoop(DWORD threadId)
{
    std::lock_guard guard(Registry().lock);
    Registry().loops.erase(threadId);
}

MessageLoop* GetMessageLoop(DWORD threadId)
{
    std::lock_guard guard(Registry().lock);
    auto it = Registry().loops.find(threadId);
    return it == Registry().loops.end() ? nullptr : it->second;
}
