#include "Framework/HResultError.h"
#include "Framework/Window.h"
#include "Framework/WorkerThread.h"
#include <gtest/gtest.h>
#include <atomic>
#include <new>
#include <stdexcept>

namespace {
struct ThrowCase {
    const char* name;
    void (*raise)();
    HRESULT expected;
};

const ThrowCase kThrowCases[] = {
    {"HResultError", [] { throw HResultError(E_ACCESSDENIED); }, E_ACCESSDENIED},
    {"bad_alloc", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY},
    {"runtime_error", [] { throw std::runtime_error("broken"); }, E_UNEXPECTED},
    {"not an exception class", [] { throw 42; }, E_UNEXPECTED},
};

class ThrowingBody : public testing::TestWithParam<ThrowCase> {};

TEST_P(ThrowingBody, EndsItsThreadWithAnHResultAndTheProcessLives)
{
    WorkerThread worker;
    ASSERT_EQ(S_OK, worker.Start(L"test", [](WorkerThread&) -> HRESULT {
        GetParam().raise();
        return S_OK;
    }));
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), worker.Join(10000));
    EXPECT_EQ(GetParam().expected, worker.Result());
    EXPECT_FALSE(worker.Running());
}

INSTANTIATE_TEST_SUITE_P(WorkerThread, ThrowingBody, testing::ValuesIn(kThrowCases),
                         [](const testing::TestParamInfo<ThrowCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(WorkerThread, GivesTheBodysResultAndRunsInTheApartmentAskedFor)
{
    WorkerThread worker;
    HRESULT secondInit = E_PENDING;
    ASSERT_EQ(S_OK, worker.Start(L"test", [&](WorkerThread&) {
        // Already in the multithreaded apartment: joining it again answers S_FALSE.
        secondInit = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(secondInit)) CoUninitialize();
        return HRESULT(S_FALSE);
    }, WorkerApartment::MultiThreaded));
    worker.Join();
    EXPECT_EQ(S_FALSE, worker.Result());
    EXPECT_EQ(S_FALSE, secondInit);
}

TEST(WorkerThread, DestroyingARunningWorkerStopsAndJoinsIt)
{
    std::atomic<bool> started{false}, ended{false};
    {
        WorkerThread worker;
        ASSERT_EQ(S_OK, worker.Start(L"test", [&](WorkerThread& self) {
            started = true;
            WaitForSingleObject(self.StopEvent(), INFINITE);
            Sleep(50);  // still running when the destructor has begun to wait
            ended = self.StopRequested();
            return S_OK;
        }));
        while (!started) Sleep(1);
        EXPECT_TRUE(worker.Running());
        EXPECT_EQ(DWORD(WAIT_TIMEOUT), worker.Join(20)) << "the body runs until it is asked to stop";
    }
    EXPECT_TRUE(ended) << "the destructor asked the body to stop and waited for its end";
}

TEST(WorkerThread, CanStartAgainOnceTheFirstThreadHasEnded)
{
    WorkerThread worker;
    ASSERT_EQ(S_OK, worker.Start(L"test", [](WorkerThread& self) {
        WaitForSingleObject(self.StopEvent(), INFINITE);
        return S_OK;
    }));
    EXPECT_EQ(E_UNEXPECTED, worker.Start(L"test", [](WorkerThread&) { return S_OK; }));
    worker.StopAndJoin();
    ASSERT_EQ(S_OK, worker.Start(L"test", [](WorkerThread& self) {
        return self.StopRequested() ? E_FAIL : S_OK;  // the new run starts without the old stop request
    }));
    worker.Join();
    EXPECT_EQ(S_OK, worker.Result());
}

class Receiver : public WindowImpl<Receiver> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_WorkerReceiver", 0, nullptr)
    BEGIN_MESSAGE_MAP(Receiver)
        MESSAGE_HANDLER(WM_APP + 7, OnReport)
    END_MESSAGE_MAP()
    int reports = 0;

private:
    LRESULT OnReport(UINT, WPARAM value, LPARAM, BOOL&)
    {
        ++reports;
        return LRESULT(value + 1);
    }
};

TEST(WorkerThread, AWorkerSendingToAWindowOfTheJoiningThreadCompletes)
{
    Receiver receiver;
    const HWND window = receiver.Create(HWND_MESSAGE, nullptr, L"receiver", 0);
    ASSERT_TRUE(window);
    LRESULT answer = 0;
    WorkerThread worker;
    ASSERT_EQ(S_OK, worker.Start(L"test", [&](WorkerThread&) {
        answer = SendMessageW(window, WM_APP + 7, 41, 0);
        return S_OK;
    }));
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), worker.StopAndJoin(10000)) << "the join served the sent message";
    EXPECT_EQ(42, answer);
    EXPECT_EQ(1, receiver.reports);
    receiver.DestroyWindow();
}
}  // namespace
