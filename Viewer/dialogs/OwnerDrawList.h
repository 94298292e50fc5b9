#pragma once
// An owner-drawn list box with fixed row height, drawn row by row: an optional icon, a first and a
// second line of text, a plain or a rounded-gradient selection, and optionally the parent dialog's
// background picture showing through, so that the list looks painted on the dialog. The dialog must
// reflect its owner-draw messages to the list (REFLECT_NOTIFICATIONS).
#include "Framework/NotificationReflection.h"
#include "Framework/Window.h"
#include <commctrl.h>
#include <gdiplus.h>
#include <array>
#include <memory>
#include <string>

// What a row may carry for its owner; the row owns it and frees it with itself.
class ListItemData {
public:
    virtual ~ListItemData() = default;
};

struct ListItemInfo {
    enum Mask : UINT {
        Text = 0x01,
        SubText = 0x02,
        Image = 0x04,
        Style = 0x10,
        Format = 0x20,
        Data = 0x40,
    };
    enum : UINT { RoundedSelection = 0x10 };

    int item = 0;
    UINT mask = 0;
    UINT style = 0;
    UINT format = 0;  // DrawText flags; DT_NOPREFIX when not given
    std::wstring text;
    std::wstring subText;
    int image = 0;
    ListItemData* data = nullptr;  // GetItem: the row's own, still owned by the row
};

class COwnerDrawList : public WindowBase {
public:
    enum SchemeIndex {
        SubTextColor,
        TextColor,
        BackgroundColor,
        SelectionColor,  // also the bottom of the selection gradient
        GradientTopColor,
        RoundedFillColor,
        SelectedTextColor,
        BorderColor,
        RowMarginX,
        RowMarginY,
        TextMarginX,
        TextMarginY,
        SubTextInset,
        SubTextOffset,
        CornerWidth,
        CornerHeight,
        SchemeSize
    };
    using Scheme = std::array<LONG, SchemeSize>;

    BEGIN_MESSAGE_MAP(COwnerDrawList)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(Reflected(WM_DRAWITEM), OnDrawItem)
        MESSAGE_HANDLER(Reflected(WM_MEASUREITEM), OnMeasureItem)
        MESSAGE_HANDLER(Reflected(WM_COMPAREITEM), OnCompareItem)
        MESSAGE_HANDLER(Reflected(WM_DELETEITEM), OnDeleteItem)
    END_MESSAGE_MAP()

    COwnerDrawList() = default;
    ~COwnerDrawList() override = default;

    // Subclasses the list box and gives it the system colours.
    BOOL SubclassWindow(HWND listBox) noexcept;
    // Leaves the list box a notifying owner-drawn list without sorting, selection of several rows or
    // strings of its own, and sets the colours of the scheme from the system's (lengths stay).
    void SetListColors() noexcept;

    Scheme GetColors() const noexcept { return m_scheme; }
    void SetColors(const Scheme& scheme) noexcept { m_scheme = scheme; }
    void SetImageList(HIMAGELIST images) noexcept { m_images = images; }
    // The second line's font (not owned); returns the previous one.
    HFONT SetFont(HFONT font) noexcept;
    void SetImage(Gdiplus::Image* image) noexcept { m_background = image; }
    void SetSelectionImage(Gdiplus::Image* image) noexcept { m_selectionImage = image; }

    // Inserts a row at info.item with its own copy of the fields the mask names; the row takes the
    // data (mask Data). The new row's index, or the list box's negative error code.
    int AddItem(const ListItemInfo& info, std::unique_ptr<ListItemData> data = nullptr);
    // Copies out what the mask asks for; false when the row has no record.
    bool GetItem(ListItemInfo& info) const;

protected:
    // Paints the list background over the rectangle (list coordinates) into a canvas whose origin lies
    // at canvasOrigin of the list: the picture, or the colour.
    void PaintListBackground(HDC dc, const RECT& area, COLORREF color, POINT canvasOrigin = {0, 0}) const noexcept;
    void DrawListItem(const DRAWITEMSTRUCT& item) const;

private:
    struct Record;

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDrawItem(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMeasureItem(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCompareItem(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDeleteItem(UINT, WPARAM, LPARAM, BOOL&);

    const Record* RecordOf(int row) const noexcept;
    void PaintDoubleBuffered(HDC dc) const noexcept;
    // Paints the row's background into its canvas and shrinks area (canvas coordinates) by the margins.
    void DrawRowBackground(HDC dc, const RECT& row, RECT& area, const Record& record, bool selected,
                           COLORREF fill) const;
    int DrawLine(HDC dc, RECT& area, const std::wstring& text, UINT format, COLORREF color) const;

    Scheme m_scheme{};
    HIMAGELIST m_images = nullptr;
    HFONT m_subTextFont = nullptr;
    Gdiplus::Image* m_background = nullptr;
    Gdiplus::Image* m_selectionImage = nullptr;
};
