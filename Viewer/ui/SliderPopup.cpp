#include "Viewer/ui/SliderPopup.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueGdiObject.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/ui/ShootingDataText.h"
#include "Framework/PaintMessage.h"
#include "Viewer/ui/SkinImages.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <algorithm>

namespace {
constexpr UINT kSkinPngs[3] = {233, 234, 235};  // top, middle, bottom
constexpr int kDefaultWidth = 88;
constexpr int kDefaultHeight = 245;
constexpr int kMinimumHeight = 145;
constexpr int kFrameMargin = 30;
constexpr DWORD kPreviewFade = 450;

enum ScrollCode : int {
    LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbReleased = 4, ThumbMoved = 5, Top = 6, Bottom = 7,
    EndTrack = 8
};

// The sort time as the user's clock showed it: file times are kept in UTC, capture dates as taken.
FILETIME ShownSortTime(const FILETIME& sortTime)
{
    if (AppSettings::SortByDateTime != 1 && AppSettings::SortByDateTime != 2) return sortTime;
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    FILETIME shown = sortTime;
    if (FileTimeToSystemTime(&sortTime, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        SystemTimeToFileTime(&local, &shown);
    return shown;
}
}

int SliderPageSize(int count) noexcept
{
    return std::clamp(count / 10, 1, 100);
}

int SliderHeight(int stored, const std::array<int, 3>& skinHeights, int limit) noexcept
{
    int height = stored;
    if (height == 0) {
        const bool allLoaded = skinHeights[0] > 0 && skinHeights[1] > 0 && skinHeights[2] > 0;
        const int sum = skinHeights[0] + skinHeights[1] + skinHeights[2];
        height = allLoaded && sum < kDefaultHeight + 1 ? sum : kDefaultHeight;
    }
    return limit >= 0 ? std::min(height, limit) : height;
}

std::wstring PreviewFolder(const std::wstring& path)
{
    const size_t file = static_cast<size_t>(PathFindFileNameW(path.c_str()) - path.c_str());
    if (file >= 2 && path[file - 2] == L':') return path.substr(0, 3);
    if (file < 2) return {};
    const size_t slash = path.rfind(L'\\', file - 2);
    const size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    return path.substr(start, std::min<size_t>(file - 1 - start, MAX_PATH));
}

CSliderPopup::CSliderPopup() = default;

CSliderPopup::~CSliderPopup()
{
    if (m_trackbarBrush) DeleteObject(m_trackbarBrush);
}

LRESULT CSliderPopup::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    for (size_t i = 0; i < m_skin.size(); ++i)
        m_skin[i].reset(LoadPngResource(MAKEINTRESOURCEW(kSkinPngs[i]), SkinResourceType, GetResourceInstance(), true));
    m_trackbar = CreateWindowExW(WS_EX_NOACTIVATE, TRACKBAR_CLASSW, nullptr,
                                 WS_CHILD | TBS_VERT | TBS_LEFT | TBS_NOTICKS | TBS_TOOLTIPS, 0, 0, 0, 0, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_TRACKBAR)), GetModuleInstance(), nullptr);
    if (m_trackbar) {
        SendMessageW(m_trackbar, CCM_SETUNICODEFORMAT, TRUE, 0);
        SendMessageW(m_trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 1));
        SendMessageW(m_trackbar, TBM_SETPAGESIZE, 0, 1);
        SendMessageW(m_trackbar, TBM_SETPOS, TRUE, 0);
        LayoutTrackbar();
        ShowWindow(m_trackbar, SW_SHOWNA);
    }
    if (HWND focus = GetDlgItem(m_hWnd, ID_FOCUS)) SetFocus(focus);
    BOOL handled = TRUE;
    OnSize(WM_SIZE, 0, 0, handled);
    return FALSE;
}

// Only the top corners show rounded: the region reaches below the window.
LRESULT CSliderPopup::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    m_storedHeight = client.bottom - client.top;
    SetWindowRgn(m_hWnd, CreateRoundRectRgn(client.left, client.top, client.right + 2, client.bottom + 9, 9, 9), TRUE);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    LayoutTrackbar();
    return 0;
}

void CSliderPopup::LayoutTrackbar()
{
    if (!m_trackbar) return;
    RECT place{};
    GetClientRect(m_hWnd, &place);
    InflateRect(&place, -30, -24);
    OffsetRect(&place, 0, 2);
    SetWindowPos(m_trackbar, nullptr, place.left, place.top, std::max(0L, place.right - place.left),
                 std::max(0L, place.bottom - place.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

// The user makes the popup taller or shorter by its top edge only.
LRESULT CSliderPopup::OnNcHitTest(UINT, WPARAM, LPARAM point, BOOL&)
{
    const POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const RECT strip{window.left + GetSystemMetrics(SM_CXSIZEFRAME), window.top,
                     window.right - GetSystemMetrics(SM_CXSIZEFRAME), window.top + GetSystemMetrics(SM_CYSIZEFRAME)};
    return PtInRect(&strip, at) ? HTTOP : HTCLIENT;
}

LRESULT CSliderPopup::OnGetMinMaxInfo(UINT, WPARAM, LPARAM info, BOOL&)
{
    auto* limits = reinterpret_cast<MINMAXINFO*>(info);
    limits->ptMinTrackSize.y = kMinimumHeight;
    limits->ptMaxTrackSize.y = FrameClientHeight() - kFrameMargin;
    return 0;
}

int CSliderPopup::FrameClientHeight() const noexcept
{
    RECT client{};
    GetClientRect(GetParent(m_hWnd), &client);
    return client.bottom - client.top;
}

int CSliderPopup::GetPreferredWidth() const noexcept
{
    return m_skin[0] ? static_cast<int>(m_skin[0]->GetWidth()) : kDefaultWidth;
}

int CSliderPopup::GetPreferredHeight() const noexcept
{
    std::array<int, 3> heights{};
    for (size_t i = 0; i < m_skin.size(); ++i) heights[i] = m_skin[i] ? static_cast<int>(m_skin[i]->GetHeight()) : 0;
    return SliderHeight(m_storedHeight, heights, IsWindow() ? FrameClientHeight() - kFrameMargin : -1);
}

void CSliderPopup::SetRangeAndPosition(int count, int position)
{
    if (!m_trackbar) return;
    if (count == m_shownCount && position == m_shownPosition) return;
    if (m_dragging) {
        m_listChangedWhileDragging = true;
        return;
    }
    m_shownCount = count;
    m_shownPosition = position;
    const int last = std::max(count, 1);
    SendMessageW(m_trackbar, TBM_SETRANGEMIN, FALSE, 1);
    SendMessageW(m_trackbar, TBM_SETRANGEMAX, FALSE, last);
    SendMessageW(m_trackbar, TBM_SETPOS, TRUE, std::max(std::min(count, position), 1));
    SendMessageW(m_trackbar, TBM_SETRANGEMAX, TRUE, last);
    SendMessageW(m_trackbar, TBM_SETPAGESIZE, 0, SliderPageSize(count));
}

LRESULT CSliderPopup::ToFrame(bool send, WPARAM code, LPARAM value) const
{
    HWND frame = GetParent(m_hWnd);
    if (!frame) return 0;
    if (send) return SendMessageW(frame, WM_APP_SLIDER_NAVIGATE, code, value);
    PostMessageW(frame, WM_APP_SLIDER_NAVIGATE, code, value);
    return 0;
}

void CSliderPopup::EndDrag()
{
    m_dragging = false;
    m_listChangedWhileDragging = false;
    m_pageUpLatch = false;
    m_pageDownLatch = false;
}

LRESULT CSliderPopup::OnScroll(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const int code = static_cast<int>(wParam & 0xFF);
    const LPARAM position = m_trackbar ? SendMessageW(m_trackbar, TBM_GETPOS, 0, 0) : 0;
    switch (code) {
    case LineUp:
    case LineDown:
    case Top:
    case Bottom:
        ToFrame(false, static_cast<WPARAM>(code), position);
        EndDrag();
        ShowWindow(m_hWnd, SW_HIDE);
        break;
    case PageUp:
    case PageDown: {
        // A press reports its page step twice: only the first moves.
        bool& latch = code == PageUp ? m_pageUpLatch : m_pageDownLatch;
        if (!latch) {
            if (!m_dragging) {
                m_listChangedWhileDragging = false;
                m_dragging = true;
            }
            ToFrame(false, static_cast<WPARAM>(code), position);
            ShowWindow(m_hWnd, SW_HIDE);
        }
        latch = !latch;
        (code == PageUp ? m_pageDownLatch : m_pageUpLatch) = false;
        break;
    }
    case ThumbReleased:
        if (m_thumbReleaseBusy) {
            m_pageUpLatch = m_pageDownLatch = false;
            break;
        }
        m_thumbReleaseBusy = true;
        // New files arrived under the user's hand: the previewed picture is chosen by name.
        if (m_listChangedWhileDragging && m_previewName.Get()) {
            std::wstring basePath(m_previewName.View());
            PathRemoveExtensionW(basePath.data());
            const Bstr name(basePath.c_str());
            ToFrame(true, kReleaseByName, reinterpret_cast<LPARAM>(name.Get()));
        } else {
            ToFrame(true, ThumbReleased, position);
        }
        EndDrag();
        ShowWindow(m_hWnd, SW_HIDE);
        m_thumbReleaseBusy = false;
        break;
    case ThumbMoved:
        m_listChangedWhileDragging = false;
        m_dragging = true;
        ToFrame(true, ThumbMoved, position);
        m_pageUpLatch = m_pageDownLatch = false;
        break;
    case EndTrack:
        EndDrag();
        break;
    default:
        break;
    }
    return 0;
}

void CSliderPopup::ShowPreview(const wchar_t* path, const FILETIME* sortTime, uint32_t position, uint32_t count,
                               uint16_t pageIndex, uint16_t pageCount)
{
    if (!path) {
        EndPreview();
        return;
    }
    if (m_previewName.View() != path) m_previewName = Bstr(path);
    if (!m_preview.IsWindow() && !m_preview.CreateInfo(m_hWnd)) return;
    wchar_t shownPosition[16]{};
    wchar_t shownCount[16]{};
    const uint64_t positionValue = position;
    const uint64_t countValue = count;
    FormatNumber(m_numbers, &positionValue, NumberKind::Unsigned64, shownPosition, 16);
    FormatNumber(m_numbers, &countValue, NumberKind::Unsigned64, shownCount, 16);
    m_preview.SetLine(CInfoText::LinePosition, std::wstring(shownPosition) + L" / " + shownCount);
    const std::wstring full(path);
    std::wstring file = PathFindFileNameW(full.c_str());
    if (pageCount > 1) file += L" [" + std::to_wstring(pageIndex + 1) + L"/" + std::to_wstring(pageCount) + L"]";
    m_preview.SetLine(CInfoText::LineFile, file);
    const std::wstring folder = PreviewFolder(full);
    if (!folder.empty()) m_preview.SetLine(CInfoText::LineFolder, folder);
    if (AppSettings::SortByDateTime && sortTime)
        m_preview.SetLine(CInfoText::LineDate, CaptureDateText(ShownSortTime(*sortTime)));
    RECT thumb{};
    if (m_trackbar) SendMessageW(m_trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT corner{thumb.left, thumb.top};
    ClientToScreen(m_trackbar ? m_trackbar : m_hWnd, &corner);
    m_preview.ShowAt(corner.x - 14, corner.y + 7);
}

void CSliderPopup::EndPreview()
{
    m_previewName = Bstr();
    if (m_preview.IsWindow()) PostMessageW(m_hWnd, WM_HIDE_PREVIEW, 0, 0);
}

LRESULT CSliderPopup::OnHidePreview(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_preview.IsWindow()) AnimateWindow(m_preview.m_hWnd, kPreviewFade, AW_HIDE | AW_BLEND);
    return 0;
}

LRESULT CSliderPopup::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    m_preview.DestroyWindow();
    return 0;
}

LRESULT CSliderPopup::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    if (message == WM_PRINTCLIENT) {
        DrawBackground(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    // The paint goes through a memory bitmap, so that the skin never shows half drawn.
    PaintOrPrint(m_hWnd, message, wParam, [this](HDC dc) {
        RECT client{};
        GetClientRect(m_hWnd, &client);
        UniqueMemoryDc memory(CreateCompatibleDC(dc));
        UniqueGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
        if (!memory || !bitmap) return;
        HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
        DrawBackground(memory.get());
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        SelectObject(memory.get(), previous);
    });
    return 0;
}

void CSliderPopup::DrawBackground(HDC dc)
{
    if (!m_skin[0] || !m_skin[1] || !m_skin[2]) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    const int topHeight = static_cast<int>(m_skin[0]->GetHeight());
    const int bottomHeight = static_cast<int>(m_skin[2]->GetHeight());
    graphics.DrawImage(m_skin[1].get(), client.left, topHeight, client.right - client.left,
                       client.bottom - client.top - topHeight - bottomHeight + 5);
    graphics.DrawImage(m_skin[0].get(), 0, 0, static_cast<INT>(m_skin[0]->GetWidth()), topHeight);
    graphics.DrawImage(m_skin[2].get(), client.left, client.bottom - bottomHeight,
                       static_cast<INT>(m_skin[2]->GetWidth()), bottomHeight);
}

LRESULT CSliderPopup::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM control, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND window = reinterpret_cast<HWND>(control);
    SetTextColor(dc, IsWindowEnabled(window) ? RGB(0xC0, 0xC0, 0xC0) : RGB(0xA0, 0xA0, 0xA0));
    SetBkMode(dc, TRANSPARENT);
    if (GetDlgCtrlID(window) != ID_TRACKBAR) return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
    if (!m_trackbarBrush) m_trackbarBrush = CreateSolidBrush(RGB(145, 145, 145));
    return reinterpret_cast<LRESULT>(m_trackbarBrush);
}
