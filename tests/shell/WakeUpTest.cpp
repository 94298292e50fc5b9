// With a viewer of this user running, the library hands the folder over through the wake-up
// protocol instead of starting a viewer. The test plays the running viewer: it holds the user's
// marker event and a top-level window that hears the broadcast wake-up message. Every running
// viewer of the desktop hears that broadcast too, so these tests take the viewers' lock.
#include "Framework/UniqueHandle.h"
#include "tests/shell/ShellFixture.h"

namespace {
struct WakeUp {
    std::wstring text;  // the atom's text; empty for atom 0
    WPARAM atom;
    LPARAM source;
};

// A top-level window of the test's thread that collects the wake-up messages it receives; it reads
// and deletes their atoms as the viewer does.
class WakeUpReceiver {
public:
    WakeUpReceiver()
        : m_message(RegisterWindowMessageW(L"WM_LUMENFOLD_WAKEUP")),
          m_window(CreateWindowExW(0, L"STATIC", L"wake-up receiver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr))
    {
    }
    WakeUpReceiver(const WakeUpReceiver&) = delete;
    WakeUpReceiver& operator=(const WakeUpReceiver&) = delete;
    ~WakeUpReceiver() { DestroyWindow(m_window); }

    // Serves the thread's queue for waitMs; the wake-up messages that came for the window.
    std::vector<WakeUp> Receive(DWORD waitMs) const
    {
        std::vector<WakeUp> received;
        const ULONGLONG end = GetTickCount64() + waitMs;
        while (GetTickCount64() < end) {
            MSG message{};
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                Sleep(10);
                continue;
            }
            if (message.hwnd == m_window && message.message == m_message) {
                wchar_t text[256]{};
                const ATOM atom = static_cast<ATOM>(message.wParam);
                if (atom) {
                    GlobalGetAtomNameW(atom, text, 256);
                    GlobalDeleteAtom(atom);
                }
                received.push_back({text, message.wParam, message.lParam});
            }
            DispatchMessageW(&message);
        }
        return received;
    }

private:
    UINT m_message;
    HWND m_window;
};

class ShellWakeUp : public ShellFixture {
protected:
    ShellWakeUp() { SetAppPath(kInstallKey, StubProgram()); }

    // The marker event of a running viewer of that user.
    static UniqueHandle RunningViewer(const std::wstring& user)
    {
        return UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, InstanceEventName(user).c_str()));
    }

    const WakeUpReceiver m_receiver;
};
}

TEST_F(ShellWakeUp, TheVerbWakesTheRunningViewerWithTheFolder)
{
    const UniqueHandle viewer = RunningViewer(UserName());
    ComPtr<IContextMenu> handler = MenuOn({L"C:\\Photos"});
    ASSERT_TRUE(handler);
    EXPECT_EQ(S_OK, InvokeVerb(handler.Get()));

    const std::vector<WakeUp> received = m_receiver.Receive(1000);
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(L"-i \"C:\\Photos\"", received[0].text);
    EXPECT_EQ(0, received[0].source);
    EXPECT_FALSE(StubCommandLine(0)) << "no second viewer is started";
}

TEST_F(ShellWakeUp, TheAutoPlayDropWakesTheRunningViewerAsItsSource)
{
    const UniqueHandle viewer = RunningViewer(UserName());
    EXPECT_EQ(S_OK, DropOnAutoPlay(FileDropData::Create({L"E:\\DCIM\\100CAM\\A.JPG", L"E:\\DCIM\\B.JPG"}).Get()));

    const std::vector<WakeUp> received = m_receiver.Receive(1000);
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(L"-i \"E:\\DCIM\"", received[0].text);
    EXPECT_EQ(1, received[0].source);
}

TEST_F(ShellWakeUp, AViewerOfAnotherUserDoesNotCount)
{
    const UniqueHandle otherUsersViewer = RunningViewer(L"other-" + UniqueName().substr(0, 8));
    ComPtr<IContextMenu> handler = MenuOn({L"C:\\Photos"});
    ASSERT_TRUE(handler);
    EXPECT_EQ(S_OK, InvokeVerb(handler.Get()));
    EXPECT_EQ(ExpectedCommandLine(L"C:\\Photos"), StubCommandLine().value_or(L"<not started>"));
    EXPECT_TRUE(m_receiver.Receive(500).empty());
}

TEST_F(ShellWakeUp, AFolderTooLongForAnAtomStillWakesTheViewerWithNothing)
{
    const UniqueHandle viewer = RunningViewer(UserName());
    // The longest path a selection carries: 259 characters, so the argument text has 265.
    const std::wstring folder = L"C:\\" + std::wstring(256, L'p');
    ComPtr<IContextMenu> handler = MenuOn({folder});
    ASSERT_TRUE(handler);
    EXPECT_EQ(S_OK, InvokeVerb(handler.Get()));

    const std::vector<WakeUp> received = m_receiver.Receive(1000);
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(0u, received[0].atom);
    EXPECT_FALSE(StubCommandLine(0));
}
