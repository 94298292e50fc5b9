#pragma once
// The viewer's main frame window.
#include "Framework/FrameWindow.h"
#include "Framework/MessageLoop.h"

class CMainFrame : public FrameWindowImpl<CMainFrame>, public MessageFilter {
public:
    DECLARE_WINDOW_CLASS(L"Lumenfold_Frame", CS_DBLCLKS, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)))

    BEGIN_MESSAGE_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        CHAIN_MESSAGE_MAP(FrameWindowImpl<CMainFrame>)
    END_MESSAGE_MAP()

    BOOL PreTranslateMessage(MSG* message) override;

private:
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
};
