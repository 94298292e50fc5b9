#include "Framework/NotificationReflection.h"
#include "Framework/Window.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <vector>

namespace {
// A child control that records the reflected messages it receives.
class ReflectingChild : public WindowImpl<ReflectingChild> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_ReflectingChild", 0, nullptr)
    BEGIN_MESSAGE_MAP(ReflectingChild)
        MESSAGE_RANGE_HANDLER(ReflectedMessageBase, ReflectedMessageBase + WM_USER - 1, OnReflected)
    END_MESSAGE_MAP()
    std::vector<UINT> received;

private:
    LRESULT OnReflected(UINT message, WPARAM, LPARAM, BOOL&)
    {
        received.push_back(message);
        return 77;
    }
};

class ReflectingParent : public WindowImpl<ReflectingParent> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_ReflectingParent", 0, nullptr)
    BEGIN_MESSAGE_MAP(ReflectingParent)
        COMMAND_ID_HANDLER(5, OnOwnCommand)
        REFLECT_NOTIFICATIONS()
    END_MESSAGE_MAP()
    int ownCommands = 0;

private:
    LRESULT OnOwnCommand(WORD, WORD, HWND, BOOL&)
    {
        ++ownCommands;
        return 0;
    }
};
}

TEST(NotificationReflection, ChildMessagesReachTheChildRaisedByTheBaseAndMenusStayWithTheParent)
{
    ReflectingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, nullptr, L"parent", WS_OVERLAPPEDWINDOW));
    ReflectingChild child;
    RECT area{0, 0, 50, 20};
    HWND control = child.Create(parent.m_hWnd, &area, nullptr, WS_CHILD, 0, reinterpret_cast<HMENU>(INT_PTR{9}));
    ASSERT_TRUE(control);

    EXPECT_EQ(77, SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(9, BN_CLICKED), reinterpret_cast<LPARAM>(control)));
    NMHDR header{control, 9, NM_CLICK};
    SendMessageW(parent.m_hWnd, WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&header));
    DRAWITEMSTRUCT draw{};
    draw.CtlID = 9;
    draw.hwndItem = control;
    SendMessageW(parent.m_hWnd, WM_DRAWITEM, 9, reinterpret_cast<LPARAM>(&draw));
    MEASUREITEMSTRUCT measure{};
    measure.CtlID = 9;
    SendMessageW(parent.m_hWnd, WM_MEASUREITEM, 9, reinterpret_cast<LPARAM>(&measure));
    DELETEITEMSTRUCT deleted{};
    deleted.hwndItem = control;
    SendMessageW(parent.m_hWnd, WM_DELETEITEM, 9, reinterpret_cast<LPARAM>(&deleted));
    COMPAREITEMSTRUCT compare{};
    compare.hwndItem = control;
    SendMessageW(parent.m_hWnd, WM_COMPAREITEM, 9, reinterpret_cast<LPARAM>(&compare));
    // A menu's command and a menu's drawing have no control to go back to.
    SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(5, 0), 0);
    draw.CtlType = ODT_MENU;
    SendMessageW(parent.m_hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));

    const std::vector<UINT> expected{0x2000 + WM_COMMAND,     0x2000 + WM_NOTIFY,     0x2000 + WM_DRAWITEM,
                                     0x2000 + WM_MEASUREITEM, 0x2000 + WM_DELETEITEM, 0x2000 + WM_COMPAREITEM};
    EXPECT_EQ(expected, child.received);
    EXPECT_EQ(1, parent.ownCommands);
}
