#include "Framework/FrameWindow.h"
#include "Framework/HResultError.h"
#include "Framework/ResourceModule.h"
#include "Framework/Window.h"
#include "tests/framework/resources/FrameworkTestResources.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace {
constexpr UINT kPing = WM_APP + 1;
constexpr UINT kBaseOnly = WM_APP + 2;
constexpr UINT kPassOn = WM_APP + 3;
constexpr WORD kCommand = 42;

class BaseWindow : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(BaseWindow)
        MESSAGE_HANDLER(kBaseOnly, OnBaseOnly)
    END_MESSAGE_MAP()
    std::vector<std::wstring> calls;
    LRESULT OnBaseOnly(UINT, WPARAM, LPARAM, BOOL&) { calls.push_back(L"base"); return 7; }
};

class TestWindow : public WindowImpl<TestWindow, BaseWindow> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_Window", CS_DBLCLKS, nullptr)
    BEGIN_MESSAGE_MAP(TestWindow)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(kPing, OnPing)
        MESSAGE_HANDLER(kPassOn, OnPassOn)
        COMMAND_ID_HANDLER(kCommand, OnCommand)
        COMMAND_RANGE_HANDLER(100, 109, OnRange)
        NOTIFY_HANDLER(5, NM_CLICK, OnClick)
        CHAIN_MESSAGE_MAP(BaseWindow)
    END_MESSAGE_MAP()

    HWND Create() { return WindowImpl::Create(nullptr, nullptr, L"test", WS_OVERLAPPEDWINDOW); }
    void OnFinalMessage(HWND window) override { finalWindow = window; }

    HWND createdWindow = nullptr;
    HWND finalWindow = nullptr;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) { createdWindow = m_hWnd; return 0; }
    LRESULT OnPing(UINT, WPARAM w, LPARAM l, BOOL&) { calls.push_back(L"ping " + std::to_wstring(w + l)); return 99; }
    LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& handled) { calls.push_back(L"pass"); handled = FALSE; return 0; }
    LRESULT OnCommand(WORD code, WORD id, HWND, BOOL&) { calls.push_back(L"command " + std::to_wstring(id) + L"/" + std::to_wstring(code)); return 0; }
    LRESULT OnRange(WORD, WORD id, HWND, BOOL&) { calls.push_back(L"range " + std::to_wstring(id)); return 0; }
    LRESULT OnClick(int id, NMHDR*, BOOL&) { calls.push_back(L"click " + std::to_wstring(id)); return 3; }
};

class ThrowingWindow : public WindowImpl<ThrowingWindow> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_Throwing", 0, nullptr)
    BEGIN_MESSAGE_MAP(ThrowingWindow)
        MESSAGE_HANDLER(kPing, OnPing)
    END_MESSAGE_MAP()
    LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { throw HResultError(E_FAIL); }
};
}

TEST(Window, MessagesCommandsAndNotificationsReachTheirHandlers)
{
    TestWindow window;
    HWND hwnd = window.Create();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(hwnd, window.createdWindow) << "WM_CREATE reaches the object already bound";
    wchar_t className[64]{};
    GetClassNameW(hwnd, className, 64);
    EXPECT_STREQ(L"LumenfoldTest_Window", className);

    EXPECT_EQ(99, SendMessageW(hwnd, kPing, 1, 2));
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(kCommand, 1), 0);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(105, 0), 0);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(110, 0), 0);  // outside every entry: default processing
    NMHDR header{hwnd, 5, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(3, SendMessageW(hwnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ(7, SendMessageW(hwnd, kBaseOnly, 0, 0)) << "chained to the base map";
    SendMessageW(hwnd, kPassOn, 0, 0);

    const std::vector<std::wstring> expected{L"ping 3", L"command 42/1", L"range 105", L"click 5", L"base", L"pass"};
    EXPECT_EQ(expected, window.calls);
}

TEST(Window, UnbindsAndCallsOnFinalMessageWhenDestroyed)
{
    TestWindow window;
    HWND hwnd = window.Create();
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(hwnd, window.finalWindow);
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Window, DestroyingTheObjectDestroysItsWindow)
{
    HWND hwnd = nullptr;
    {
        TestWindow window;
        hwnd = window.Create();
        ASSERT_TRUE(IsWindow(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Window, AHandlerThatThrowsEndsOnlyTheHandler)
{
    ThrowingWindow window;
    ASSERT_TRUE(window.Create(nullptr));
    EXPECT_EQ(0, SendMessageW(window.m_hWnd, kPing, 0, 0));
    EXPECT_TRUE(window.IsWindow());
}

TEST(Window, SubclassedControlKeepsItsOwnBehaviourForUnhandledMessages)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"typed", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit);
    TestWindow window;
    ASSERT_TRUE(window.SubclassWindow(edit));
    EXPECT_EQ(99, SendMessageW(edit, kPing, 0, 0));
    wchar_t text[16]{};
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(L"typed", text) << "WM_GETTEXT went on to the edit control";
    EXPECT_EQ(edit, window.UnsubclassWindow());
    EXPECT_EQ(0, SendMessageW(edit, kPing, 0, 0));
    DestroyWindow(edit);
}

namespace {
class TestFrame : public FrameWindowImpl<TestFrame> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_Frame", 0, nullptr)
    BEGIN_MESSAGE_MAP(TestFrame)
        COMMAND_ID_HANDLER(ID_TEST_COMMAND, OnTestCommand)
        CHAIN_MESSAGE_MAP(FrameWindowImpl<TestFrame>)
    END_MESSAGE_MAP()
    int commands = 0;
    LRESULT OnTestCommand(WORD, WORD, HWND, BOOL&) { ++commands; return 0; }
};

// Loads the test resource library as the resource module for the scope.
class TestResources {
public:
    TestResources()
        : m_module(LoadLibraryExW((TestProgramFolder() + L"\\framework_test_resources.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE)),
          m_previous(SetResourceInstance(m_module))
    {
    }
    ~TestResources()
    {
        SetResourceInstance(m_previous);
        if (m_module) FreeLibrary(m_module);
    }
    HMODULE Module() const { return m_module; }

private:
    HMODULE m_module;
    HINSTANCE m_previous;
};
}

TEST(FrameWindow, LoadsTitleAndAcceleratorsAndKeepsTheClientSized)
{
    TestResources resources;
    ASSERT_TRUE(resources.Module());
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame(IDR_TEST_FRAME));
    wchar_t title[32]{};
    GetWindowTextW(frame.m_hWnd, title, 32);
    EXPECT_STREQ(L"Test Frame", title);
    ASSERT_TRUE(frame.m_hAccel);

    MSG key{frame.m_hWnd, WM_KEYDOWN, 'N', 0};
    // Without Ctrl the key is no accelerator; the key state comes from the thread's input state.
    EXPECT_FALSE(frame.TranslateFrameAccelerator(&key));

    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(frame.TranslateFrameAccelerator(&key));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(1, frame.commands);

    frame.m_hWndClient = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, frame.m_hWnd, nullptr,
                                         nullptr, nullptr);
    SetWindowPos(frame.m_hWnd, nullptr, 0, 0, 400, 300, SWP_NOZORDER);
    RECT client{}, child{};
    GetClientRect(frame.m_hWnd, &client);
    GetClientRect(frame.m_hWndClient, &child);
    EXPECT_EQ(client.right, child.right);
    EXPECT_EQ(client.bottom, child.bottom);
}

TEST(ResourceModule, LoadsStringsFromTheCurrentResourceModule)
{
    EXPECT_EQ(L"", LoadResourceString(IDS_TEST_STRING)) << "the test program holds no such string";
    TestResources resources;
    EXPECT_EQ(L"A string from the data library", LoadResourceString(IDS_TEST_STRING));
}
