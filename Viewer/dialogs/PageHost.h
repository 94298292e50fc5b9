#pragma once
// Holds the pages (child dialogs) of a dialog in a placeholder control: shows one page at a time,
// sized to its own client area, and keeps Tab and the arrow keys working across the page boundary.
// The host does not own the pages.
#include "Framework/NotificationReflection.h"
#include "Framework/Window.h"
#include <vector>

// The chooser position last selected in the options dialog; lives for the process, never stored.
inline int LastOptionsPage = 0;

class CPageHost : public WindowBase {
public:
    // Notifications to the parent (WM_NOTIFY with the host's id and window).
    enum Notification : int {
        Initialised = -560,
        PageAdded = -561,
        PageChanging = -552,  // a non-zero answer keeps the current page
        PageChanged = -551,
    };

    BEGIN_MESSAGE_MAP(CPageHost)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        REFLECT_NOTIFICATIONS()
    END_MESSAGE_MAP()

    BOOL SubclassWindow(HWND host) noexcept;
    // Appends a page, hidden; returns its index.
    int AddPage(HWND page);
    // Shows the page at LastOptionsPage. False when there is no such page or the parent kept the
    // current one.
    bool ShowPage();

    int PageCount() const noexcept { return static_cast<int>(m_pages.size()); }
    int CurrentIndex() const noexcept { return m_currentIndex; }
    HWND CurrentPage() const noexcept { return m_currentPage; }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);

    void Initialise() noexcept;
    LRESULT NotifyParent(int code) const noexcept;
    void FitCurrentPage() const noexcept;

    std::vector<HWND> m_pages;
    HWND m_currentPage = nullptr;
    int m_currentIndex = -1;
};
