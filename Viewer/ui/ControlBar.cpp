#include "Viewer/ui/ControlBar.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/ui/SkinImages.h"
#include "Viewer/core/WindowPlacement.h"
#include <utility>

namespace {
constexpr UINT kBackgroundPng = 203;
constexpr UINT kSeparatorPng = 220;
constexpr UINT kMenuStripPng = 243;
constexpr UINT kButtonStripPng = 226;
constexpr UINT kContextMenu = 244;
constexpr int kFadeStep = 13;
constexpr int kRepeatDelay = 750;
constexpr int kRepeatInterval = 500;
constexpr int kSeparatorLefts[] = {96, 295, 402, 509};
constexpr int kTextLeft = 712;
constexpr int kHotAreaFromRight = 87;

struct ButtonRow {
    int control;
    int left;  // at 96 DPI
    bool repeats;
};
constexpr ButtonRow kButtons[7] = {{1004, 4, false},   {1005, 111, true}, {1006, 203, true},  {1003, 310, false},
                                   {1009, 417, false}, {1088, 524, true}, {1089, 616, true}};

int ScaledBy(int value, float scale)
{
    return static_cast<int>(static_cast<float>(value) * scale + 0.5f);
}

float DpiScale(HDC dc, int axis)
{
    return static_cast<float>(GetDeviceCaps(dc, axis)) * (1.0f / 96.0f);
}

SIZE WindowSize(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void CheckItem(HMENU menu, UINT id, bool on)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void EnableItem(HMENU menu, UINT id, bool on)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}
}

ControlBarLayout LayOutControlBar(int width, int height, float scale, const std::array<SIZE, 7>& buttonSizes,
                                  int nameHeight, int statusHeight) noexcept
{
    ControlBarLayout layout{};
    for (size_t i = 0; i < layout.buttons.size(); ++i)
        layout.buttons[i] = POINT{ScaledBy(kButtons[i].left, scale), height - buttonSizes[i].cy};
    const int textLeft = ScaledBy(kTextLeft, scale) + 6;
    const int textWidth = width - 6 - textLeft;
    layout.nameLine = RECT{textLeft, height - 2 * nameHeight - 3, textLeft + textWidth, height - nameHeight - 3};
    layout.statusLine = RECT{textLeft, height - statusHeight - 1, textLeft + textWidth, height - 1};
    layout.hotArea = RECT{width - ScaledBy(kHotAreaFromRight, scale), 1, width, height - 1};
    return layout;
}

void InvalidateUnderChild(HWND child, bool andChild)
{
    HWND parent = GetParent(child);
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    InvalidateRect(parent, &place, TRUE);
    if (andChild) InvalidateRect(child, nullptr, FALSE);
}

CControlBar::CControlBar() : m_ignoreNextClickMessage(RegisterWindowMessageW(L"WM_IGNORE_NEXT_CLICK")) {}

CControlBar::~CControlBar()
{
    if (m_menu) DestroyMenu(m_menu);
}

HWND CControlBar::CreateBar(HWND parent, HWND frame, const CFrameModes* modes)
{
    m_frame = frame;
    m_modes = modes;
    return Create(parent);
}

void CControlBar::SetLineText(int control, const wchar_t* text)
{
    HWND line = GetDlgItem(m_hWnd, control);
    if (!line) return;
    wchar_t current[520]{};
    GetWindowTextW(line, current, static_cast<int>(std::size(current)));
    const wchar_t* wanted = text ? text : L"";
    if (wcscmp(current, wanted) == 0) return;
    SetWindowTextW(line, wanted);
    InvalidateUnderChild(line, true);
}

LRESULT CControlBar::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    MakeBackground();
    m_separator.reset(LoadPngResource(MAKEINTRESOURCEW(kSeparatorPng), SkinResourceType, GetResourceInstance(), true));
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        CImageButton& button = m_buttons[i];
        const ButtonRow& row = kButtons[i];
        HWND control = GetDlgItem(m_hWnd, row.control);
        if (!control || !button.SubclassAndInit(control)) continue;
        button.SetStripImage(m_background.get(), i == 0 ? kMenuStripPng : kButtonStripPng, SkinResourceType);
        button.SetFadeStep(kFadeStep);
        if (i == 0) button.SetBoldCaption(true);
        if (row.repeats) button.SetAutoRepeat(true, kRepeatDelay, kRepeatInterval);
    }
    if (HWND name = GetDlgItem(m_hWnd, ID_NAME_LINE)) m_nameLine.SubclassWindow(name);
    if (HWND status = GetDlgItem(m_hWnd, ID_STATUS_LINE)) m_statusLine.SubclassWindow(status);
    // Nothing in the bar shows the hot area; a click on it asks the frame for the slider.
    m_hotArea = CreateWindowExW(0, L"BUTTON", nullptr, WS_CHILD | BS_OWNERDRAW, 0, 0, 0, 0, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_HOT_AREA)), GetModuleInstance(), nullptr);
    m_menu = LoadMenuW(GetResourceInstance(), MAKEINTRESOURCEW(kContextMenu));
    return TRUE;
}

// The skin's background, stretched once to the widest the frame can be at the bar's height.
void CControlBar::MakeBackground()
{
    std::unique_ptr<Gdiplus::Bitmap> image(
        LoadPngResource(MAKEINTRESOURCEW(kBackgroundPng), SkinResourceType, GetResourceInstance(), true));
    if (!image) return;
    HDC dc = GetDC(m_hWnd);
    const float scale = DpiScale(dc, LOGPIXELSY);
    const int width = GetSystemMetrics(SM_CXMAXTRACK);
    const int height = ScaledBy(static_cast<int>(image->GetHeight()), scale);
    {
        Gdiplus::Graphics reference(dc);
        auto background = std::make_unique<Gdiplus::Bitmap>(width, height, &reference);
        if (background->GetLastStatus() == Gdiplus::Ok) {
            Gdiplus::Graphics graphics(background.get());
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            graphics.DrawImage(image.get(), 0, 0, width, height);
            m_background = std::move(background);
        }
    }
    ReleaseDC(m_hWnd, dc);
}

LRESULT CControlBar::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    Gdiplus::Graphics graphics(dc);
    if (m_background)
        graphics.DrawImage(m_background.get(), 0, 0, static_cast<INT>(m_background->GetWidth()),
                           static_cast<INT>(m_background->GetHeight()));
    if (m_separator) {
        const float sx = DpiScale(dc, LOGPIXELSX);
        const float sy = DpiScale(dc, LOGPIXELSY);
        const int width = ScaledBy(static_cast<int>(m_separator->GetWidth()), sx);
        const int height = ScaledBy(static_cast<int>(m_separator->GetHeight()), sy);
        for (int left : kSeparatorLefts) graphics.DrawImage(m_separator.get(), ScaledBy(left, sx), 0, width, height);
    }
    return 1;
}

LRESULT CControlBar::OnSize(UINT, WPARAM, LPARAM size, BOOL&)
{
    HDC dc = GetDC(m_hWnd);
    const float scale = DpiScale(dc, LOGPIXELSX);
    ReleaseDC(m_hWnd, dc);
    std::array<SIZE, 7> sizes{};
    for (size_t i = 0; i < sizes.size(); ++i)
        if (m_buttons[i].IsWindow()) sizes[i] = WindowSize(m_buttons[i].m_hWnd);
    HWND name = GetDlgItem(m_hWnd, ID_NAME_LINE);
    HWND status = GetDlgItem(m_hWnd, ID_STATUS_LINE);
    const int nameHeight = name ? WindowSize(name).cy : 0;
    const int statusHeight = status ? WindowSize(status).cy : 0;
    const ControlBarLayout layout =
        LayOutControlBar(LOWORD(size), HIWORD(size), scale, sizes, nameHeight, statusHeight);
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
    HDWP batch = BeginDeferWindowPos(10);
    for (size_t i = 0; i < sizes.size() && batch; ++i) {
        if (!m_buttons[i].IsWindow()) continue;
        batch = DeferWindowPos(batch, m_buttons[i].m_hWnd, nullptr, layout.buttons[i].x, layout.buttons[i].y, 0, 0,
                               kFlags | SWP_NOSIZE);
    }
    for (auto [line, place] : {std::pair{name, layout.nameLine}, std::pair{status, layout.statusLine}}) {
        if (line && batch)
            batch = DeferWindowPos(batch, line, nullptr, place.left, place.top, place.right - place.left,
                                   place.bottom - place.top, kFlags);
    }
    if (m_hotArea && batch)
        batch = DeferWindowPos(batch, m_hotArea, nullptr, layout.hotArea.left, layout.hotArea.top, layout.hotArea.right,
                               layout.hotArea.bottom, kFlags);
    if (batch) EndDeferWindowPos(batch);
    for (HWND line : {name, status})
        if (line) InvalidateUnderChild(line, true);
    return 0;
}

LRESULT CControlBar::OnCtlColorStatic(UINT, WPARAM dc, LPARAM control, BOOL&)
{
    const bool status = GetDlgCtrlID(reinterpret_cast<HWND>(control)) == ID_STATUS_LINE;
    SetTextColor(reinterpret_cast<HDC>(dc), status ? RGB(200, 200, 200) : RGB(210, 210, 210));
    SetBkMode(reinterpret_cast<HDC>(dc), TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT CControlBar::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_tracking) return 0;
    m_tracking = true;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
    TrackMouseEvent(&track);
    PostToFrame(WM_APP_CONTROLBAR_MOUSE_ENTER);
    return 0;
}

LRESULT CControlBar::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    m_tracking = false;
    PostToFrame(WM_APP_CONTROLBAR_MOUSE_LEAVE);
    return 0;
}

// Only the picture steps care that a held button already moved: the bookmark steps take the release too.
LRESULT CControlBar::OnIgnoreNextClick(UINT message, WPARAM control, LPARAM button, BOOL&)
{
    if ((control == ID_NAV_PREVIOUS || control == ID_NAV_NEXT) && m_frame && ::IsWindow(m_frame))
        SendMessageW(m_frame, message, control, button);
    return 0;
}

LRESULT CControlBar::OnContextMenu(UINT, WPARAM, LPARAM point, BOOL&)
{
    const POINT at = ContextMenuPoint(point);
    TrackPopup(m_menu ? GetSubMenu(m_menu, 0) : nullptr, TPM_BOTTOMALIGN, at.x, at.y, m_hWnd);
    return 0;
}

LRESULT CControlBar::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    PostToFrame(WM_APP_HIDE_SLIDER_POPUP);
    CheckItem(menu, ID_AUTO_HIDE_TASKBAR, AppSettings::AutoHideTaskbar > 0);
    CheckItem(menu, ID_KIOSK_MODE, AskFrame(WM_APP_GET_KIOSK_MODE) != 0);
    CheckItem(menu, ID_SHOW_HISTOGRAM, AppSettings::ShowHistogram > 0);
    CheckItem(menu, ID_SHOW_SHOOTING_DATA, AppSettings::ShowShootingData > 0);
    CheckItem(menu, ID_SHOW_BOOKMARKS, AppSettings::ShowBookmarkList > 0);
    CheckItem(menu, ID_SHOW_EXTERNAL_EDITORS, AppSettings::ShowExternalEditors > 0);
    CheckItem(menu, ID_KEYWORDS_IPTC, AppSettings::ShowIptcEditor > 0);
    CheckItem(menu, ID_TRACK_MODE, m_modes && m_modes->IsTrackMode());
    CheckItem(menu, ID_DEVICE_MODE, m_modes && m_modes->IsDeviceMode());
    CheckItem(menu, ID_AUTO_MODE, m_modes && m_modes->IsSlideshowRunning());
    const bool hasPictures = static_cast<LONG_PTR>(AskFrame(WM_APP_GET_IMAGE_COUNT)) >= 1;
    EnableItem(menu, ID_RELOAD_QUICK_SLOTS, hasPictures);
    for (UINT slot = 0; slot <= 9; ++slot) EnableItem(menu, ID_TOGGLE_QUICK_SLOT_0 + slot, hasPictures);
    EnableItem(menu, ID_TOGGLE_MARK, hasPictures);
    for (UINT slot = 0; slot <= 9; ++slot) {
        const bool filled = static_cast<LONG_PTR>(AskFrame(WM_APP_QUERY_QUICK_SLOT, slot)) > 0;
        EnableItem(menu, ID_GO_QUICK_SLOT_0 + slot, filled);
        CheckItem(menu, ID_TOGGLE_QUICK_SLOT_0 + slot, filled);
    }
    const bool marked = static_cast<LONG_PTR>(AskFrame(WM_APP_GET_MARKED_COUNT)) >= 1;
    EnableItem(menu, ID_PUBLISH, marked);
    EnableItem(menu, ID_CLEAR_MARKS, marked);
    return 0;
}

LRESULT CControlBar::OnAutoHideTaskbar(WORD, WORD, HWND, BOOL&)
{
    AppSettings::AutoHideTaskbar = AppSettings::AutoHideTaskbar ? 0 : 1;
    PostToFrame(WM_APP_APPLY_TASKBAR_LAYOUT);
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS) == ERROR_SUCCESS)
        key.SetDword(L"AutoHideTaskbar", AppSettings::AutoHideTaskbar);
    return 0;
}

LRESULT CControlBar::OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return SendMessageW(GetParent(m_hWnd), message, wParam, lParam);
}

LRESULT CControlBar::AskFrame(UINT message, WPARAM wParam) const
{
    return m_frame && ::IsWindow(m_frame) ? SendMessageW(m_frame, message, wParam, 0) : 0;
}

void CControlBar::PostToFrame(UINT message) const
{
    if (m_frame && ::IsWindow(m_frame)) PostMessageW(m_frame, message, 0, 0);
}
