#pragma once
// The small borderless window beside the navigation slider's thumb that tells which picture lies
// there: its position in the list, its date, its folder and its file name.
#include "Framework/Window.h"
#include <array>
#include <memory>
#include <string>
#include <gdiplus.h>

class CInfoText : public WindowImpl<CInfoText> {
public:
    DECLARE_WINDOW_CLASS(L"Lumenfold_InfoText", 0, nullptr)

    BEGIN_MESSAGE_MAP(CInfoText)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    END_MESSAGE_MAP()

    enum Line : size_t { LinePosition = 0, LineDate = 1, LineFolder = 2, LineFile = 3 };

    CInfoText();
    ~CInfoText() override;

    HWND CreateInfo(HWND parent);
    void SetLine(Line line, const std::wstring& text) { m_lines[line] = text; }
    const std::wstring& LineText(Line line) const noexcept { return m_lines[line]; }
    // Sizes the window to its lines and shows it with its right edge at x, centred on y (screen).
    void ShowAt(int x, int y);

private:
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&);
    void DoPaint(HDC dc);

    std::unique_ptr<Gdiplus::Font> m_regular;
    std::unique_ptr<Gdiplus::Font> m_bold;
    std::array<std::wstring, 4> m_lines;
    std::array<Gdiplus::RectF, 4> m_boxes;
};
