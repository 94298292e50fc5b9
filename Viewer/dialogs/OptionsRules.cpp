// The rules that tie the options dialog's controls together: which are enabled, checked or reset as
// others change, and the process-wide values that change with them while the dialog is open.
#include "Viewer/dialogs/OptionsDialog.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include <commctrl.h>

namespace {
using namespace OptionsChoices;

constexpr UINT kSortPlaceholder = 10116;
constexpr UINT kDownscalePlaceholder = 10115;
constexpr UINT kRequiredByPrefixes = 1125;

void SelectDefaultProfile(HWND list) noexcept
{
    const auto position = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(AppSettings::DefaultTargetProfileName.c_str()));
    if (position != CB_ERR) SelectPosition(list, static_cast<int>(position));
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}
}  // namespace

void COptionsDialog::UpdateControlStates()
{
    ApplyColourRules();
    ApplyMagnifierRules();
    ApplySliderRules(Mouse, 1060, MouseAcceleration, AppSettings::SmartMouseAcceleration, 0);
    ApplyLabellingRules();
    Page(Rating).Enable(1045, Page(Rating).IsChecked(1042));
    ApplyStorageRules();
    ApplySortCaptionRule();
    Page(File).Enable(1055, Page(File).IsChecked(1052));
    COptionsPage& general = Page(General);
    if (!general.IsChecked(1092)) general.Check(1095, false);
    general.Enable(1095, general.IsChecked(1092));
    ApplyBoxListRules(General, 1102, SortList, AppSettings::SortByDateTime, kSortPlaceholder, 0);
    ApplySliderRules(Performance, 1120, MemoryGuide, AppSettings::MemoryUsageGuideNumber, 1028);
    ApplyBoxListRules(Performance, 1122, DownscaleList, AppSettings::DownscaleLargeImages, kDownscalePlaceholder,
                      DownscaleFallbackPosition);
    m_restartNotice = !(RestartSettingsShown() == m_openedWith);
}

void COptionsDialog::ApplyColourRules()
{
    COptionsPage& display = Page(Display);
    const bool managed = display.IsChecked(1029);
    if (!managed) display.Check(1094, false);
    const bool overridden = display.IsChecked(1094);
    if (!overridden) SelectDefaultProfile(display.Item(1093));
    display.Enable(1094, managed);
    display.Enable(1093, managed && overridden);
    if (AppSettings::CommandLineColorProfile)
        for (WORD id : {1029, 1094, 1093}) display.Enable(id, false);
}

void COptionsDialog::ApplyMagnifierRules()
{
    COptionsPage& mouse = Page(Mouse);
    const bool on = mouse.IsChecked(1043);
    mouse.Enable(ZoomList, on);
    mouse.Enable(1132, on);
    if (on) return;
    HWND list = mouse.Item(ZoomList);
    SelectPosition(list, SendMessageW(list, CB_GETCOUNT, 0, 0) > ZoomFallbackPosition ? ZoomFallbackPosition : 0);
}

void COptionsDialog::ApplySliderRules(PageKind kind, WORD box, const SliderRange& slider, DWORD& value,
                                      WORD dependentBox)
{
    COptionsPage& page = Page(kind);
    HWND trackbar = page.Item(slider.control);
    const bool on = page.IsChecked(box);
    if (!on) {
        value = 0;
    } else {
        // A slider that was already on may have been moved: its position is the value.
        if (value != 0) value = static_cast<DWORD>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
        if (value == 0) value = slider.switchedOnValue;
    }
    if (dependentBox) page.Enable(dependentBox, on);
    page.Show(slider.control, on);
    page.Enable(slider.control, on);
    page.Show(slider.offLabel, !on);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, static_cast<LPARAM>(value));
}

void COptionsDialog::ApplyLabellingRules()
{
    COptionsPage& rating = Page(Rating);
    HWND list = rating.Item(LabellingList);
    if (rating.IsChecked(1054)) {
        const int position = SelectedPosition(list);
        AppSettings::LabellingConvention = position > 0 ? static_cast<DWORD>(position) : 0;
        const bool urgencyConvention = AppSettings::LabellingConvention == 0;
        if (!urgencyConvention) {
            AppSettings::EnableUrgency = 0;
            rating.Check(1063, false);
        }
        rating.Enable(1063, urgencyConvention);
        rating.Enable(LabellingList, true);
    } else {
        AppSettings::LabellingConvention = 0;
        SelectPosition(list, 0);
        rating.Enable(LabellingList, false);
        rating.Enable(1063, true);
    }
}

void COptionsDialog::ApplyStorageRules()
{
    COptionsPage& rating = Page(Rating);
    const bool rated = rating.IsChecked(1042);
    if (!rated && !rating.IsChecked(1054) && !rating.IsChecked(1063)) {
        AppSettings::CreateSidecarFiles = 0;
        AppSettings::EmbedMetadata = 0;
        AppSettings::PrefixFileNamesWithRating = 0;
        for (WORD id : {1049, 1051, 1052}) {
            rating.Check(id, false);
            rating.Enable(id, false);
        }
        return;
    }
    rating.Enable(1049, true);
    rating.Enable(1051, true);
    rating.Enable(1052, rated && AppSettings::SortByDateTime != 0);
    if (AppSettings::SortByDateTime == 0) rating.Check(1052, false);
    if (rating.IsChecked(1049) || rating.IsChecked(1051) || rating.IsChecked(1052)) {
        AppSettings::CreateSidecarFiles = rating.IsChecked(1049) ? 1 : 0;
        AppSettings::EmbedMetadata = rating.IsChecked(1051) ? 1 : 0;
        AppSettings::PrefixFileNamesWithRating = rating.IsChecked(1052) ? 1 : 0;
        return;
    }
    // One way of storing always stays chosen: the other one than before. The prefix box is off, so
    // its value is too (the sort box's lock follows it).
    AppSettings::PrefixFileNamesWithRating = 0;
    const bool sidecars = AppSettings::CreateSidecarFiles == 0;
    AppSettings::CreateSidecarFiles = sidecars ? 1 : 0;
    AppSettings::EmbedMetadata = sidecars ? 0 : 1;
    rating.Check(1049, sidecars);
    rating.Check(1051, !sidecars);
}

void COptionsDialog::ApplySortCaptionRule()
{
    HWND box = Page(General).Item(1102);
    if (!box) return;
    const std::wstring required = LoadUiString(kRequiredByPrefixes);
    std::wstring caption = WindowText(box);
    const size_t found = required.empty() ? std::wstring::npos : caption.find(required);
    if (Page(Rating).IsChecked(1042) && AppSettings::PrefixFileNamesWithRating) {
        EnableWindow(box, FALSE);
        if (!caption.empty() && found == std::wstring::npos) SetWindowTextW(box, (caption + L" " + required).c_str());
        return;
    }
    EnableWindow(box, TRUE);
    if (found == std::wstring::npos) return;
    caption.resize(found > 0 ? found - 1 : 0);
    SetWindowTextW(box, caption.c_str());
}

void COptionsDialog::ApplyBoxListRules(PageKind kind, WORD box, WORD list, DWORD& value, UINT placeholder,
                                       int firstChoice)
{
    COptionsPage& page = Page(kind);
    HWND choices = page.Item(list);
    const bool on = page.IsChecked(box);
    if (on) {
        if (value == 0) {
            RemovePlaceholder(choices);
            if (SendMessageW(choices, CB_GETCOUNT, 0, 0) > firstChoice) SelectPosition(choices, firstChoice);
        }
        value = SelectedValue(choices);
    } else {
        value = 0;
        SelectPlaceholder(choices, placeholder);
    }
    page.Enable(list, on);
}
