#include "Framework/MessageLoop.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
constexpr UINT kProbe = WM_APP + 10;

class RecordingFilter : public MessageFilter {
public:
    RecordingFilter(std::vector<std::wstring>& log, std::wstring name, bool swallow)
        : m_log(log), m_name(std::move(name)), m_swallow(swallow) {}
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message != kProbe) return FALSE;
        m_log.push_back(m_name);
        return m_swallow;
    }

private:
    std::vector<std::wstring>& m_log;
    std::wstring m_name;
    bool m_swallow;
};

// Counts the probe messages that reach a window, i.e. were dispatched.
struct ProbeWindow {
    HWND hwnd = nullptr;
    static inline int dispatched = 0;
    ProbeWindow()
    {
        WNDCLASSW wc{};
        wc.lpszClassName = L"LumenfoldTest_Probe";
        wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == kProbe) { ++dispatched; PostQuitMessage(5); return 0; }
            return DefWindowProcW(w, m, wp, lp);
        };
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~ProbeWindow() { DestroyWindow(hwnd); }
};

class CountingIdle : public IdleHandler {
public:
    int calls = 0;
    HWND target = nullptr;
    BOOL OnIdle() override
    {
        if (++calls == 1) PostMessageW(target, kProbe, 0, 0);
        return FALSE;
    }
};
}

TEST(MessageLoop, TheNewestFilterSeesAMessageFirstAndCanSwallowIt)
{
    std::vector<std::wstring> log;
    RecordingFilter older(log, L"older", false), newer(log, L"newer", true);
    MessageLoop loop;
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&newer);
    MSG message{nullptr, kProbe};
    EXPECT_TRUE(loop.PreTranslateMessage(&message));
    EXPECT_EQ(std::vector<std::wstring>{L"newer"}, log);

    loop.RemoveMessageFilter(&newer);
    EXPECT_FALSE(loop.PreTranslateMessage(&message));
    EXPECT_EQ((std::vector<std::wstring>{L"newer", L"older"}), log);
}

TEST(MessageLoop, RunsIdleHandlersDispatchesAndReturnsTheQuitCode)
{
    ProbeWindow window;
    ASSERT_TRUE(window.hwnd);
    std::vector<std::wstring> log;
    RecordingFilter passing(log, L"filter", false);
    CountingIdle idle;
    idle.target = window.hwnd;

    MessageLoop loop;
    loop.AddMessageFilter(&passing);
    loop.AddIdleHandler(&idle);
    ProbeWindow::dispatched = 0;
    EXPECT_EQ(5, loop.Run());
    EXPECT_EQ(1, idle.calls) << "an idle handler that wants no more is not asked again until a message arrives";
    EXPECT_EQ(1, ProbeWindow::dispatched);
    EXPECT_EQ(std::vector<std::wstring>{L"filter"}, log);
}

TEST(MessageLoop, ASwallowedMessageIsNeverDispatched)
{
    ProbeWindow window;
    std::vector<std::wstring> log;
    RecordingFilter swallowing(log, L"swallow", true);
    MessageLoop loop;
    loop.AddMessageFilter(&swallowing);
    ProbeWindow::dispatched = 0;
    PostMessageW(window.hwnd, kProbe, 0, 0);
    PostQuitMessage(9);
    EXPECT_EQ(9, loop.Run());
    EXPECT_EQ(0, ProbeWindow::dispatched);
    EXPECT_EQ(std::vector<std::wstring>{L"swallow"}, log);
}

TEST(MessageLoop, IsRegisteredPerThread)
{
    MessageLoop loop;
    EXPECT_EQ(nullptr, GetMessageLoop());
    RegisterMessageLoop(&loop);
    EXPECT_EQ(&loop, GetMessageLoop());
    EXPECT_EQ(nullptr, GetMessageLoop(GetCurrentThreadId() + 1));
    UnregisterMessageLoop();
    EXPECT_EQ(nullptr, GetMessageLoop());
}
