#include "Viewer/dialogs/OwnerDrawList.h"
#include "Viewer/dialogs/DialogSkin.h"

// The row's own copy of what it shows; attached as the list box row's item data.
struct COwnerDrawList::Record {
    UINT mask = 0;
    UINT style = 0;
    UINT format = DT_NOPREFIX;
    std::wstring text;
    std::wstring subText;
    int image = 0;
    std::unique_ptr<ListItemData> data;
};

namespace {
// A font selected into a device context for the scope.
class SelectedFont {
public:
    SelectedFont(HDC dc, HFONT font) noexcept : m_dc(dc), m_previous(font ? SelectObject(dc, font) : nullptr) {}
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;
    ~SelectedFont()
    {
        if (m_previous) SelectObject(m_dc, m_previous);
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

void Shrink(RECT& area, LONG x, LONG y) noexcept
{
    InflateRect(&area, -x, -y);
}

void FillSolid(HDC dc, const RECT& area, COLORREF color) noexcept
{
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void FillVerticalGradient(HDC dc, const RECT& area, COLORREF top, COLORREF bottom) noexcept
{
    TRIVERTEX corners[2]{};
    corners[0] = {area.left, area.top, static_cast<COLOR16>(GetRValue(top) << 8),
                  static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0};
    corners[1] = {area.right, area.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
                  static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0};
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}
}

BOOL COwnerDrawList::SubclassWindow(HWND listBox) noexcept
{
    if (!WindowBase::SubclassWindow(listBox)) return FALSE;
    SetListColors();
    return TRUE;
}

void COwnerDrawList::SetListColors() noexcept
{
    if (m_hWnd) {
        LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        style &= ~static_cast<LONG_PTR>(LBS_SORT | LBS_MULTIPLESEL | LBS_HASSTRINGS);
        SetWindowLongPtrW(m_hWnd, GWL_STYLE, style | LBS_NOTIFY);
    }
    const LONG windowText = static_cast<LONG>(GetSysColor(COLOR_WINDOWTEXT));
    const LONG highlight = static_cast<LONG>(GetSysColor(COLOR_HIGHLIGHT));
    m_scheme[SubTextColor] = windowText;
    m_scheme[TextColor] = windowText;
    m_scheme[BackgroundColor] = static_cast<LONG>(GetSysColor(COLOR_WINDOW));
    m_scheme[SelectionColor] = highlight;
    m_scheme[GradientTopColor] = highlight;
    m_scheme[RoundedFillColor] = highlight;
    m_scheme[SelectedTextColor] = static_cast<LONG>(GetSysColor(COLOR_HIGHLIGHTTEXT));
    m_scheme[BorderColor] = highlight;
}

HFONT COwnerDrawList::SetFont(HFONT font) noexcept
{
    HFONT previous = m_subTextFont;
    m_subTextFont = font;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    return previous;
}

int COwnerDrawList::AddItem(const ListItemInfo& info, std::unique_ptr<ListItemData> data)
{
    auto record = std::make_unique<Record>();
    record->mask = info.mask;
    if (info.mask & ListItemInfo::Text) record->text = info.text;
    if (info.mask & ListItemInfo::SubText) record->subText = info.subText;
    if (info.mask & ListItemInfo::Image) record->image = info.image;
    if (info.mask & ListItemInfo::Style) record->style = info.style;
    if (info.mask & ListItemInfo::Format) record->format = info.format;
    if (info.mask & ListItemInfo::Data) record->data = std::move(data);

    const auto index = static_cast<int>(SendMessageW(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(info.item), 0));
    if (index < 0) return index;
    SendMessageW(m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(record.release()));
    return index;
}

bool COwnerDrawList::GetItem(ListItemInfo& info) const
{
    const Record* record = RecordOf(info.item);
    if (!record) return false;
    if (info.mask & ListItemInfo::Text) info.text = record->text;
    if (info.mask & ListItemInfo::SubText) info.subText = record->subText;
    if (info.mask & ListItemInfo::Image) info.image = record->image;
    if (info.mask & ListItemInfo::Style) info.style = record->style;
    if (info.mask & ListItemInfo::Format) info.format = record->format;
    if (info.mask & ListItemInfo::Data) info.data = record->data.get();
    return true;
}

const COwnerDrawList::Record* COwnerDrawList::RecordOf(int row) const noexcept
{
    if (!m_hWnd || row < 0) return nullptr;
    const LRESULT data = SendMessageW(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
    if (data == LB_ERR || data == 0) return nullptr;
    return reinterpret_cast<const Record*>(data);
}

LRESULT COwnerDrawList::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    SetListColors();
    return result;
}

LRESULT COwnerDrawList::OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Every row's record is freed through the reflected WM_DELETEITEM.
    SendMessageW(m_hWnd, LB_RESETCONTENT, 0, 0);
    return DefWindowProc(message, wParam, lParam);
}

LRESULT COwnerDrawList::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    PaintDoubleBuffered(reinterpret_cast<HDC>(wParam));
    return 1;
}

LRESULT COwnerDrawList::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    InvalidateRect(m_hWnd, nullptr, TRUE);
    handled = FALSE;
    return 0;
}

LRESULT COwnerDrawList::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    DrawListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
}

LRESULT COwnerDrawList::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (measure->CtlType == ODT_MENU) {
        measure->itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU));
        return TRUE;
    }
    HDC dc = GetDC(m_hWnd);
    if (!dc) return TRUE;
    TEXTMETRICW metrics{};
    {
        SelectedFont font(dc, reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &metrics);
    }
    ReleaseDC(m_hWnd, dc);
    measure->itemHeight = static_cast<UINT>(metrics.tmHeight);
    return TRUE;
}

LRESULT COwnerDrawList::OnCompareItem(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

LRESULT COwnerDrawList::OnDeleteItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const auto* deleted = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
    std::unique_ptr<Record> owned(reinterpret_cast<Record*>(deleted->itemData));
    return TRUE;
}

void COwnerDrawList::PaintListBackground(HDC dc, const RECT& area, COLORREF color, POINT canvasOrigin) const noexcept
{
    RECT target = area;
    OffsetRect(&target, -canvasOrigin.x, -canvasOrigin.y);
    if (!m_background) {
        FillSolid(dc, target, color);
        return;
    }
    // The picture's pixel under the list's top-left corner lands at the list's client origin.
    POINT origin{0, 0};
    MapWindowPoints(m_hWnd, GetParent(m_hWnd), &origin, 1);
    const INT width = area.right - area.left + 1;
    const INT height = area.bottom - area.top + 1;
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(m_background, Gdiplus::Rect(target.left, target.top, width, height), origin.x + area.left,
                       origin.y + area.top, width, height, Gdiplus::UnitPixel);
}

void COwnerDrawList::PaintDoubleBuffered(HDC dc) const noexcept
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    MemoryCanvas canvas(dc, client.right, client.bottom);
    PaintListBackground(canvas.Dc(), client, static_cast<COLORREF>(m_scheme[BackgroundColor]));
    canvas.CopyTo(dc, 0, 0);
}

void COwnerDrawList::DrawRowBackground(HDC dc, const RECT& row, RECT& area, const Record& record, bool selected,
                                      COLORREF fill) const
{
    const bool rounded = selected && (record.style & ListItemInfo::RoundedSelection);
    PaintListBackground(dc, row, rounded ? static_cast<COLORREF>(m_scheme[BackgroundColor]) : fill,
                        POINT{row.left, row.top});
    Shrink(area, m_scheme[RowMarginX], m_scheme[RowMarginY]);
    if (!rounded) return;

    HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(m_scheme[BorderColor]));
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(m_scheme[RoundedFillColor]));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    RoundRect(dc, area.left, area.top, area.right, area.bottom, m_scheme[CornerWidth], m_scheme[CornerHeight]);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    RECT inner = area;
    Shrink(inner, 2, 2);
    FillVerticalGradient(dc, inner, static_cast<COLORREF>(m_scheme[GradientTopColor]),
                         static_cast<COLORREF>(m_scheme[SelectionColor]));
}

int COwnerDrawList::DrawLine(HDC dc, RECT& area, const std::wstring& text, UINT format, COLORREF color) const
{
    RECT measured = area;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    const int height = measured.bottom - measured.top;
    area.top += height;
    return height;
}

void COwnerDrawList::DrawListItem(const DRAWITEMSTRUCT& item) const
{
    if (item.itemID == static_cast<UINT>(-1)) return;
    const Record* record = reinterpret_cast<const Record*>(item.itemData);
    if (!record) return;
    const RECT row = item.rcItem;
    const int width = row.right - row.left;
    const int height = row.bottom - row.top;
    MemoryCanvas canvas(item.hDC, width, height);
    HDC dc = canvas.Dc();

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const auto textColor = static_cast<COLORREF>(m_scheme[selected ? SelectedTextColor : TextColor]);
    const auto subTextColor = static_cast<COLORREF>(m_scheme[selected ? SelectedTextColor : SubTextColor]);
    const auto fill = static_cast<COLORREF>(m_scheme[selected ? SelectionColor : BackgroundColor]);

    RECT area{0, 0, width, height};
    DrawRowBackground(dc, row, area, *record, selected, fill);
    if (record->style & ListItemInfo::RoundedSelection) Shrink(area, m_scheme[CornerWidth], m_scheme[CornerHeight]);

    if ((record->mask & ListItemInfo::Image) && m_images) {
        int iconWidth = 0;
        int iconHeight = 0;
        ImageList_GetIconSize(m_images, &iconWidth, &iconHeight);
        const int top = area.top + (area.bottom - area.top) / 2 - iconHeight / 2;
        ImageList_Draw(m_images, record->image, dc, area.left, top, ILD_NORMAL);
        area.left += iconWidth;
    }

    {
        SelectedFont font(dc, reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, fill);
        if (record->mask & ListItemInfo::Text) {
            Shrink(area, m_scheme[TextMarginX], m_scheme[TextMarginY]);
            DrawLine(dc, area, record->text, record->format, textColor);
        }
        if (record->mask & ListItemInfo::SubText) {
            SelectedFont subFont(dc, m_subTextFont);
            Shrink(area, m_scheme[SubTextInset], 0);
            area.top += m_scheme[SubTextOffset];
            DrawLine(dc, area, record->subText, record->format, subTextColor);
        }
    }
    if (selected && m_selectionImage) {
        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(m_selectionImage, Gdiplus::Rect(0, 0, width, height));
    }
    canvas.CopyTo(item.hDC, row.left, row.top);
}
