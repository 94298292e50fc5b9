// One viewer per user: a second start hands its command line to the running viewer and ends.
#include "tests/process/ViewerFixture.h"
#include <thread>

namespace {
class SingleInstanceProcess : public ViewerFixture {};

// A top-level window of another program that stops answering messages for as long as it lives, as
// a busy or hung program's window does; the wake-up broadcast reaches it too.
class UnansweringWindow {
public:
    UnansweringWindow()
        : m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_created(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_thread([this] {
              HWND window = CreateWindowExW(0, L"STATIC", L"unanswering", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                            nullptr, nullptr);
              m_window = window;
              SetEvent(m_created.Get());
              WaitForSingleObject(m_release.Get(), INFINITE);
              DestroyWindow(window);
          })
    {
        WaitForSingleObject(m_created.Get(), INFINITE);
    }
    UnansweringWindow(const UnansweringWindow&) = delete;
    UnansweringWindow& operator=(const UnansweringWindow&) = delete;
    ~UnansweringWindow()
    {
        SetEvent(m_release.Get());
        m_thread.join();
    }
    HWND Window() const noexcept { return m_window; }

private:
    UniqueHandle m_release;
    UniqueHandle m_created;
    HWND m_window = nullptr;
    std::thread m_thread;
};
}

TEST_F(SingleInstanceProcess, SecondStartWithAFolderWakesTheRunningViewerAndEndsWithZero)
{
    ViewerProcess first(L"", Environment());
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(Log().WaitFor(L"status", std::nullopt, kStartTimeoutMs)) << "the first viewer did not come up";

    TempFolder pictures;
    const std::wstring tail = L"-i \"" + pictures.Path() + L"\"";
    ViewerProcess second(tail, Environment(L"second.log"));
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(0u, second.WaitForExit(kExitTimeoutMs).value_or(99));
    EXPECT_TRUE(Log(L"second.log").Texts(L"status").empty()) << "the second start must not show a window";

    ASSERT_TRUE(Log().WaitFor(L"open", pictures.Path(), kExitTimeoutMs));
    EXPECT_EQ(std::vector<std::wstring>{tail}, Log().Texts(L"wake-up"));
    EXPECT_EQ(0, GlobalFindAtomW(tail.c_str())) << "the receiver deletes the atom";

    HWND frame = first.WaitForFrame(kStartTimeoutMs);
    ASSERT_TRUE(frame);
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, first.WaitForExit(kExitTimeoutMs).value_or(99));
}

TEST_F(SingleInstanceProcess, AnotherUserGetsAViewerOfItsOwn)
{
    ViewerProcess first(L"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"status", std::nullopt, kStartTimeoutMs));

    ViewerEnvironment otherUser = Environment(L"other.log");
    otherUser.userName = UniqueUserName();
    ViewerProcess other(L"", otherUser);
    ASSERT_TRUE(Log(L"other.log").WaitFor(L"status", std::nullopt, kStartTimeoutMs));
    EXPECT_FALSE(other.WaitForExit(0)) << "the other user's viewer runs on";
    EXPECT_TRUE(Log().Texts(L"wake-up").empty());
}

TEST_F(SingleInstanceProcess, AfterTheViewerClosedTheNextStartRunsAsTheFirst)
{
    {
        ViewerProcess first(L"", Environment());
        HWND frame = first.WaitForFrame(kStartTimeoutMs);
        ASSERT_TRUE(frame);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        ASSERT_EQ(1u, first.WaitForExit(kExitTimeoutMs).value_or(99));
    }
    ViewerProcess next(L"", Environment(L"next.log"));
    EXPECT_TRUE(Log(L"next.log").WaitFor(L"status", std::nullopt, kStartTimeoutMs));
}

TEST_F(SingleInstanceProcess, SecondStartWithoutArgumentsOnlyBringsTheViewerForward)
{
    ViewerProcess first(L"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"status", std::nullopt, kStartTimeoutMs));
    ViewerProcess second(L"", Environment(L"second.log"));
    EXPECT_EQ(0u, second.WaitForExit(kExitTimeoutMs).value_or(99));
    EXPECT_TRUE(Log().WaitFor(L"wake-up", std::nullopt, kExitTimeoutMs)) << "the running viewer hears it";
    EXPECT_TRUE(Log().Texts(L"open").empty());
}

TEST_F(SingleInstanceProcess, TailTooLongForAnAtomSaysSoAndEndsTheSecondStartWithZero)
{
    ViewerProcess first(L"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"status", std::nullopt, kStartTimeoutMs));
    ViewerProcess second(L"-i \"" + std::wstring(300, L'x') + L"\"", Environment(L"second.log"));
    EXPECT_EQ(0u, second.WaitForExit(kExitTimeoutMs).value_or(99));
    ASSERT_TRUE(ServedEarlierMessages(first.WaitForFrame(kStartTimeoutMs), kExitTimeoutMs));
    EXPECT_TRUE(Log().Texts(L"wake-up").empty()) << "atom 0 cannot be read, so nothing happens";
    EXPECT_TRUE(Log(L"second.log").Texts(L"status").empty());
    const std::vector<std::wstring> boxes = Log(L"second.log").Texts(L"messagebox");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Lumenfold|" + LanguageLibraryString(10213), boxes[0]);
}

TEST_F(SingleInstanceProcess, AWindowThatDoesNotAnswerHoldsNeitherTheSecondStartNorTheWakeUp)
{
    ViewerProcess first(L"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"status", std::nullopt, kStartTimeoutMs));
    UnansweringWindow unanswering;
    ASSERT_TRUE(unanswering.Window());

    TempFolder pictures;
    ViewerProcess second(L"-i \"" + pictures.Path() + L"\"", Environment(L"second.log"));
    EXPECT_EQ(0u, second.WaitForExit(kExitTimeoutMs).value_or(99)) << "the second start waits for no window forever";
    EXPECT_TRUE(Log().WaitFor(L"open", pictures.Path(), kExitTimeoutMs));
}
