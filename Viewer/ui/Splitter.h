#pragma once
// The frame's only child: the view above, the control bar below. The bottom pane keeps its height
// when the frame is resized, and either pane can be the only one shown (the bar hides itself when
// it slides away).
#include "Framework/Window.h"

class CSplitter : public WindowImpl<CSplitter> {
public:
    DECLARE_WINDOW_CLASS(L"Lumenfold_Splitter", 0, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)))

    BEGIN_MESSAGE_MAP(CSplitter)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_COMMAND, OnForward)
        MESSAGE_HANDLER(WM_NOTIFY, OnForward)
        MESSAGE_HANDLER(WM_DRAWITEM, OnForward)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnForward)
    END_MESSAGE_MAP()

    static constexpr int NoSinglePane = -1;

    HWND CreateSplitter(HWND parent);
    // Sets both panes (either may be null) and lays them out at once.
    void SetPanes(HWND top, HWND bottom);
    // The bottom pane's height, which resizing keeps.
    void SetBottomPaneHeight(int height);
    // Focus to the pane; false for an index other than 0 or 1 or for a pane single-pane mode hides.
    bool SetActivePane(int pane);
    // 0 or 1: only that pane is shown; NoSinglePane: both. False for any other value.
    bool SetSinglePaneMode(int pane);
    int SinglePaneMode() const noexcept { return m_singlePane; }
    int ActivePane() const noexcept { return m_activePane; }
    void UpdateLayout();

private:
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    // The panes' commands and notices belong to the frame.
    LRESULT OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    // Moves a pane's window, or invalidates its place when it has none.
    void PlacePane(HWND pane, const RECT& place);

    HWND m_panes[2]{};
    int m_bottomHeight = 0;
    int m_activePane = 0;
    int m_singlePane = NoSinglePane;
};
