#include "Viewer/ui/MenuPanelDlg.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/ui/SkinImages.h"

namespace {
constexpr UINT kBackgroundPng = 207;
constexpr UINT kStatePngs[3] = {206, 205, 204};  // normal, hot, pushed
constexpr UINT kFirstTooltipString = 10155;

Gdiplus::Bitmap* LoadSkin(UINT id)
{
    return LoadPngResource(MAKEINTRESOURCEW(id), SkinResourceType, GetResourceInstance(), true);
}
}

CMenuPanelDlg::CMenuPanelDlg()
    : m_buttons{CSkinImageButton(CSkinImageButton::StyleHover | CSkinImageButton::StyleAutoSize),
                CSkinImageButton(CSkinImageButton::StyleHover | CSkinImageButton::StyleAutoSize),
                CSkinImageButton(CSkinImageButton::StyleHover | CSkinImageButton::StyleAutoSize),
                CSkinImageButton(CSkinImageButton::StyleHover | CSkinImageButton::StyleAutoSize),
                CSkinImageButton(CSkinImageButton::StyleHover | CSkinImageButton::StyleAutoSize),
                CSkinImageButton(CSkinImageButton::StyleHover | CSkinImageButton::StyleAutoSize)}
{
}

CMenuPanelDlg::~CMenuPanelDlg() = default;

LRESULT CMenuPanelDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    // The skin's background, stretched once to the panel's size.
    if (std::unique_ptr<Gdiplus::Bitmap> image{LoadSkin(kBackgroundPng)}) {
        RECT client{};
        GetClientRect(m_hWnd, &client);
        HDC dc = GetDC(m_hWnd);
        {
            Gdiplus::Graphics reference(dc);
            auto background = std::make_unique<Gdiplus::Bitmap>(client.right, client.bottom, &reference);
            if (background->GetLastStatus() == Gdiplus::Ok) {
                Gdiplus::Graphics graphics(background.get());
                graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                graphics.DrawImage(image.get(), 0, 0, client.right, client.bottom);
                m_background = std::move(background);
            }
        }
        ReleaseDC(m_hWnd, dc);
    }
    for (size_t i = 0; i < m_states.size(); ++i) m_states[i].reset(LoadSkin(kStatePngs[i]));
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        HWND control = GetDlgItem(m_hWnd, kControls[i]);
        if (!control || !m_buttons[i].SubclassButton(control)) continue;
        m_buttons[i].SetButtonImages(m_background.get(), m_states[0].get(), m_states[2].get(), m_states[1].get(),
                                     nullptr);
        m_buttons[i].SetToolTipText(LoadUiString(kFirstTooltipString + static_cast<UINT>(i)));
    }
    return TRUE;
}

LRESULT CMenuPanelDlg::OnEraseBackground(UINT, WPARAM dc, LPARAM, BOOL&)
{
    if (!m_background) return 1;
    Gdiplus::Graphics graphics(reinterpret_cast<HDC>(dc));
    graphics.DrawImage(m_background.get(), 0, 0, static_cast<INT>(m_background->GetWidth()),
                       static_cast<INT>(m_background->GetHeight()));
    return 1;
}

LRESULT CMenuPanelDlg::OnCtlColorStatic(UINT, WPARAM dc, LPARAM control, BOOL&)
{
    const bool enabled = IsWindowEnabled(reinterpret_cast<HWND>(control)) != FALSE;
    SetTextColor(reinterpret_cast<HDC>(dc), enabled ? RGB(192, 192, 192) : RGB(160, 160, 160));
    SetBkMode(reinterpret_cast<HDC>(dc), TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT CMenuPanelDlg::OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return SendMessageW(GetParent(m_hWnd), message, wParam, lParam);
}
