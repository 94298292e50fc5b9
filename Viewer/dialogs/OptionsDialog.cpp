#include "Viewer/dialogs/OptionsDialog.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/ThemeHelper.h"
#include "Viewer/dialogs/PlugInsPage.h"
#include <iterator>

namespace {
constexpr UINT kBackgroundImage = 218;
constexpr UINT kSelectionImage = 229;
constexpr UINT kProfilesPending = 10124;
constexpr UINT kRestartNotice = 10109;
constexpr UINT kHardwareAccelerationNotice = 10110;
constexpr UINT kNoticeTitle = 100;

constexpr WORD kDisplayBoxes[] = {1027, 1029, 1094, 1031, 1047, 1049, 1048};
constexpr WORD kDisplayClicks[] = {1027, 1029, 1031, 1094};
constexpr WORD kMouseBoxes[] = {1043, 1132, 1060, 1053, 1115, 1050};
constexpr WORD kMouseClicks[] = {1043, 1060, 1061};
constexpr WORD kMouseSelections[] = {1059};
constexpr WORD kRatingBoxes[] = {1042, 1045, 1054, 1063, 1049, 1051, 1052};
constexpr WORD kRatingClicks[] = {1042, 1049, 1051, 1052, 1054, 1063};
constexpr WORD kRatingSelections[] = {1062};
constexpr WORD kFileBoxes[] = {1046, 1064, 1067, 1052, 1055, 1038, 1061};
constexpr WORD kFileClicks[] = {1046, 1052, 1055, 1064};
constexpr WORD kPlugInBoxes[] = {1077};
constexpr WORD kPlugInStatics[] = {1075, 1076};
constexpr WORD kGeneralBoxes[] = {1032, 1048, 1086, 1090, 1091, 1092, 1095, 1103, 1104, 1107, 1102, 1106, 1110};
constexpr WORD kGeneralClicks[] = {1032, 1092, 1102};
constexpr WORD kGeneralSelections[] = {1126};
constexpr WORD kPerformanceBoxes[] = {1120, 1028, 1122};
constexpr WORD kPerformanceClicks[] = {1028, 1120, 1122};

constexpr OptionsPageLayout kDisplayLayout{109, 10092, 10093, kDisplayBoxes, kDisplayClicks, {}, 0, {}};
constexpr OptionsPageLayout kMouseLayout{112, 10094, 10095, kMouseBoxes, kMouseClicks, kMouseSelections, 1058, {}};
constexpr OptionsPageLayout kRatingLayout{110, 10096, 10097, kRatingBoxes, kRatingClicks, kRatingSelections, 0, {}};
constexpr OptionsPageLayout kFileLayout{113, 10098, 10099, kFileBoxes, kFileClicks, {}, 0, {}};
constexpr OptionsPageLayout kPlugInsLayout{115, 10100, 10101, kPlugInBoxes, {}, {}, 0, kPlugInStatics};
constexpr OptionsPageLayout kGeneralLayout{111, 10102, 10103, kGeneralBoxes, kGeneralClicks, kGeneralSelections, 0, {}};
constexpr OptionsPageLayout kPerformanceLayout{118, 10104, 10105, kPerformanceBoxes, kPerformanceClicks, {}, 1123, {}};

DWORD Flag(const RegKey& key, const wchar_t* name, DWORD missing)
{
    const auto value = key.QueryDword(name);
    return value ? (*value != 0 ? 1 : 0) : missing;
}

SIZE MeasureEm(HDC dc, HFONT font)
{
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, L"EM", 2, &size);
    SelectObject(dc, previous);
    return size;
}
}

CDisplayOptionsPage::CDisplayOptionsPage() : COptionsPage(kDisplayLayout) {}
CMouseOptionsPage::CMouseOptionsPage() : COptionsPage(kMouseLayout) {}
CRatingOptionsPage::CRatingOptionsPage() : COptionsPage(kRatingLayout) {}
CFileOptionsPage::CFileOptionsPage() : COptionsPage(kFileLayout) {}
CPlugInsOptionsPage::CPlugInsOptionsPage() : COptionsPage(kPlugInsLayout) {}
CGeneralOptionsPage::CGeneralOptionsPage() : COptionsPage(kGeneralLayout) {}
CPerformanceOptionsPage::CPerformanceOptionsPage() : COptionsPage(kPerformanceLayout) {}

COptionsDialog::COptionsDialog(OptionsServices services)
    : m_services(std::move(services)),
      m_pages{&m_display, &m_mouse, &m_rating, &m_file, &m_plugIns, &m_general, &m_performance}
{
}

COptionsDialog::~COptionsDialog()
{
    m_profileScan.Stop();
}

const std::vector<ActionPlugInRecord>& COptionsDialog::PlugInRecords() const noexcept
{
    return m_services.plugIns ? *m_services.plugIns : g_ActionPlugIns;
}

LRESULT COptionsDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ReadRestartSettings();
    m_hasPlugIns = !PlugInRecords().empty();
    PrepareBackground();
    PrepareChooser();
    CreatePages();
    m_buttonImages.Attach(m_okButton, m_hWnd, IDOK, m_background.get());
    FillControls();
    ShowSettings();
    UpdateControlStates();
    EnableWindow(Page(Display).Item(1093), FALSE);
    m_profileScan.Start(m_hWnd, ProfilesFound, m_services.enumerateProfiles);
    CenterOnOwner(m_hWnd);
    return TRUE;
}

void COptionsDialog::ReadRestartSettings()
{
    m_openedWith = RestartSettings{};
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) == ERROR_SUCCESS) {
        m_openedWith.DisableHWA = Flag(key, L"DisableHWA", 1);
        m_openedWith.DisableSMP = Flag(key, L"DisableSMP", 1);
        m_openedWith.EnableICC = Flag(key, L"EnableICC", 0);
        m_openedWith.OverrideTargetProfile = Flag(key, L"OverrideTargetProfile", 0);
        m_openedWith.MultiSampling = Flag(key, L"MultiSampling", 0);
    }
    if (AppSettings::CommandLineColorProfile) {
        m_openedWith.EnableICC = 1;
        m_openedWith.OverrideTargetProfile = 1;
    }
    m_updateCheck = key && key.QueryDword(L"UpdateCheckInterval").value_or(0) != 0;
}

void COptionsDialog::PrepareBackground()
{
    if (!m_services.loadSkinImage) return;
    m_selectionImage = m_services.loadSkinImage(kSelectionImage);
    const std::unique_ptr<Gdiplus::Bitmap> picture = m_services.loadSkinImage(kBackgroundImage);
    m_background = RenderDialogBackground(m_hWnd, picture.get());
    m_buttonImages.Load(m_services.loadSkinImage);
}

void COptionsDialog::PrepareChooser()
{
    if (!m_chooser.SubclassWindow(GetDlgItem(m_hWnd, PageChooser))) return;
    m_chooser.SetImage(m_background.get());
    m_chooser.SetSelectionImage(m_selectionImage.get());
    m_chooserFont.reset(CreateSkinFont(m_hWnd, 85, FW_NORMAL));
    m_chooserBoldFont.reset(CreateSkinFont(m_hWnd, 85, FW_BOLD));
    HDC dc = GetDC(m_hWnd);
    const SIZE normalEm = MeasureEm(dc, m_chooserFont.get());
    const SIZE boldEm = MeasureEm(dc, m_chooserBoldFont.get());
    ReleaseDC(m_hWnd, dc);
    m_chooser.SetFont(m_chooserFont.get());
    SendMessageW(m_chooser.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_chooserBoldFont.get()), FALSE);

    COwnerDrawList::Scheme scheme = m_chooser.GetColors();
    scheme[COwnerDrawList::SubTextColor] = 0xB4B4B4;
    scheme[COwnerDrawList::TextColor] = 0xC0C0C0;
    scheme[COwnerDrawList::SelectionColor] = 0x5B5A59;
    scheme[COwnerDrawList::GradientTopColor] = 0x898A8B;
    scheme[COwnerDrawList::RoundedFillColor] = 0x666766;
    scheme[COwnerDrawList::SelectedTextColor] = 0xFFFFFF;
    scheme[COwnerDrawList::BorderColor] = 0x848384;
    scheme[COwnerDrawList::RowMarginX] = 1;
    scheme[COwnerDrawList::RowMarginY] = 1;
    scheme[COwnerDrawList::SubTextInset] = boldEm.cx / 2;
    scheme[COwnerDrawList::SubTextOffset] = boldEm.cy / 4;
    m_chooser.SetColors(scheme);
    const LONG rowHeight = boldEm.cy + 2 * normalEm.cy + scheme[COwnerDrawList::SubTextOffset] +
                           2 * scheme[COwnerDrawList::RowMarginY] + 2 * scheme[COwnerDrawList::CornerHeight];
    SendMessageW(m_chooser.m_hWnd, LB_SETITEMHEIGHT, 0, rowHeight);

    int position = 0;
    for (PageKind kind = Display; kind < PageKinds; kind = static_cast<PageKind>(kind + 1)) {
        if (!PageExists(kind)) continue;
        ListItemInfo row;
        row.item = position++;
        row.mask = ListItemInfo::Text | ListItemInfo::SubText | ListItemInfo::Style | ListItemInfo::Format;
        row.style = ListItemInfo::RoundedSelection;
        row.format = DT_WORDBREAK | DT_NOPREFIX;
        row.text = LoadUiString(Page(kind).Layout().titleString);
        row.subText = LoadUiString(Page(kind).Layout().subtitleString);
        m_chooser.AddItem(row);
    }
    SendMessageW(m_chooser.m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(LastOptionsPage), 0);
}

void COptionsDialog::CreatePages()
{
    if (!m_host.SubclassWindow(GetDlgItem(m_hWnd, PageHostControl))) return;
    for (PageKind kind = Display; kind < PageKinds; kind = static_cast<PageKind>(kind + 1)) {
        if (!PageExists(kind)) continue;
        if (HWND page = Page(kind).Create(m_host.m_hWnd, this, m_background.get())) m_host.AddPage(page);
    }
    m_host.ShowPage();
    if (CThemeHelper::Process().IsAppThemed())
        for (COptionsPage* page : m_pages)
            if (page->IsWindow()) page->SkinCheckBoxes();
    Page(General).MakeLink(CheckNowLink, LoadUiString(10106), RGB(0x4C, 0x52, 0x52));
    if (m_hasPlugIns) Page(PlugIns).MakeLink(PlugInWebSite, LoadUiString(10107), RGB(0x41, 0x47, 0x47));
}

void COptionsDialog::FillControls()
{
    using namespace OptionsChoices;
    FillZoomList(Page(Mouse).Item(ZoomList));
    FillSlideshowList(Page(Mouse).Item(SlideshowList));
    FillLabellingList(Page(Rating).Item(LabellingList));
    FillSortList(Page(General).Item(SortList));
    FillDownscaleList(Page(Performance).Item(DownscaleList));
    PrepareSlider(Page(Mouse).m_hWnd, MouseAcceleration);
    PrepareSlider(Page(Performance).m_hWnd, MemoryGuide);
    if (m_hasPlugIns) FillPlugInsPage(Page(PlugIns).m_hWnd, PlugInRecords());
    HWND profiles = Page(Display).Item(1093);
    AddChoice(profiles, LoadUiString(kProfilesPending).c_str(), 0);
    SelectPosition(profiles, 0);
}

LRESULT COptionsDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_closing = true;
    m_profileScan.Stop();
    handled = FALSE;
    return 0;
}

LRESULT COptionsDialog::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    return EraseWithPicture(reinterpret_cast<HDC>(wParam), m_background.get());
}

LRESULT COptionsDialog::OnColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return ColorStaticText(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
}

LRESULT COptionsDialog::OnPageSelected(WORD, WORD, HWND, BOOL&)
{
    const auto selected = static_cast<int>(SendMessageW(m_chooser.m_hWnd, LB_GETCURSEL, 0, 0));
    LastOptionsPage = selected;
    m_host.ShowPage();
    // Touching the page's slider with the focus makes the trackbar draw itself over the page.
    const int last = m_host.PageCount() - 1;
    const WORD trackbar = selected == 1 ? OptionsChoices::MouseAccelerationSlider
                          : selected == last ? OptionsChoices::MemoryGuideSlider
                                             : 0;
    HWND page = m_host.CurrentPage();
    if (trackbar && page) {
        HWND focus = GetFocus();
        SetFocus(GetDlgItem(page, trackbar));
        SetFocus(focus ? focus : m_chooser.m_hWnd);
    }
    UpdateControlStates();
    return 0;
}

LRESULT COptionsDialog::OnClose(WORD, WORD id, HWND, BOOL&)
{
    SaveSettings(id);
    return 0;
}

void COptionsDialog::CheckForUpdatesNow(HWND page)
{
    ::CheckForUpdatesNow(page, m_services.checkForUpdate);
}

void COptionsDialog::OnPlugInSelected()
{
    if (m_hasPlugIns) ShowSelectedPlugIn(Page(PlugIns).m_hWnd, PlugInRecords());
}

void COptionsDialog::SaveSettings(WORD id)
{
    const bool forcedProfile = AppSettings::CommandLineColorProfile;
    ReadControls();
    StoreSettings(forcedProfile);
    m_closing = true;
    m_profileScan.Stop();
    EndDialog(id);
    m_restartNoticeShown = m_restartNotice;
    if (!m_restartNotice) return;
    const std::wstring text = LoadUiString(m_hardwareAccelerationSwitchedOn ? kHardwareAccelerationNotice : kRestartNotice);
    ShowMessageBox(GetParent(m_hWnd), text.c_str(), LoadUiString(kNoticeTitle).c_str(), MB_ICONINFORMATION);
}
