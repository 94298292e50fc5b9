// The options dialog's settings: how the controls show them when the dialog opens, and how they are
// taken back and stored when it closes.
#include "Viewer/dialogs/OptionsDialog.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include <commctrl.h>
#include <shlwapi.h>

namespace {
using namespace OptionsChoices;
using PageKind = COptionsDialog::PageKind;

struct BoxSetting {
    PageKind page;
    WORD box;
    DWORD* value;
};

// The settings shown by a plain check box: checked when the value is non-zero, stored as 0 or 1.
const BoxSetting kBoxSettings[] = {
    {COptionsDialog::Display, 1047, &AppSettings::EnableExifAutoRotate},
    {COptionsDialog::Display, 1049, &AppSettings::StretchSmallImages},
    {COptionsDialog::Display, 1048, &AppSettings::EnableAbortableImageLoading},
    {COptionsDialog::Mouse, 1132, &AppSettings::SmoothPixelsInZoomModes},
    {COptionsDialog::Mouse, 1053, &AppSettings::EnableInvertedZoomScrolling},
    {COptionsDialog::Mouse, 1115, &AppSettings::AutoHideMouseCursor},
    {COptionsDialog::Mouse, 1050, &AppSettings::HideZoomMouseCursor},
    {COptionsDialog::Rating, 1042, &AppSettings::EnableRating},
    {COptionsDialog::Rating, 1045, &AppSettings::EnableRatingAutoAdvance},
    {COptionsDialog::Rating, 1054, &AppSettings::EnableLabelling},
    {COptionsDialog::Rating, 1063, &AppSettings::EnableUrgency},
    {COptionsDialog::Rating, 1049, &AppSettings::CreateSidecarFiles},
    {COptionsDialog::Rating, 1051, &AppSettings::EmbedMetadata},
    {COptionsDialog::Rating, 1052, &AppSettings::PrefixFileNamesWithRating},
    {COptionsDialog::File, 1046, &AppSettings::EnableFilePrefixes},
    {COptionsDialog::File, 1064, &AppSettings::EnableFileOwerwrite},
    {COptionsDialog::File, 1067, &AppSettings::PreserveSourceFolderHierarchy},
    {COptionsDialog::File, 1052, &AppSettings::EnableFileDeletion},
    {COptionsDialog::File, 1055, &AppSettings::EnableMoveToRecycleBin},
    {COptionsDialog::File, 1038, &AppSettings::EnableCopiedStampOverlay},
    {COptionsDialog::File, 1061, &AppSettings::SubFoldersBrowsing},
    {COptionsDialog::General, 1048, &AppSettings::EnableExitFromEscapeKey},
    {COptionsDialog::General, 1086, &AppSettings::EnableFileNameInCaption},
    {COptionsDialog::General, 1090, &AppSettings::EnableHistogramDataCompression},
    {COptionsDialog::General, 1091, &AppSettings::EnablePerChannelHistogramNormalization},
    {COptionsDialog::General, 1092, &AppSettings::ReuseLastPictureFolder},
    {COptionsDialog::General, 1095, &AppSettings::ReuseLastKeepCopyFolder},
    {COptionsDialog::General, 1103, &AppSettings::WrapImageList},
    {COptionsDialog::General, 1104, &AppSettings::EnableMessageBeep},
    {COptionsDialog::General, 1107, &AppSettings::AutoHideTaskbar},
    {COptionsDialog::General, 1106, &AppSettings::EnableMultiFrameSupport},
    {COptionsDialog::General, 1110, &AppSettings::SaveBookmarksAcrossSessions},
};

struct StoredValue {
    const wchar_t* name;
    const DWORD* value;
};

// Written in this order before the update-check interval...
const StoredValue kFirstStored[] = {
    {L"RightClickMagnifier", &AppSettings::RightClickMagnifier},
    {L"SmoothPixelsInZoomModes", &AppSettings::SmoothPixelsInZoomModes},
    {L"SmartMouseAcceleration", &AppSettings::SmartMouseAcceleration},
    {L"SubFoldersBrowsing", &AppSettings::SubFoldersBrowsing},
    {L"EnableInvertedZoomScrolling", &AppSettings::EnableInvertedZoomScrolling},
    {L"AutoHideMouseCursor", &AppSettings::AutoHideMouseCursor},
    {L"HideZoomMouseCursor", &AppSettings::HideZoomMouseCursor},
    {L"EnableExifAutoRotate", &AppSettings::EnableExifAutoRotate},
    {L"StretchSmallImages", &AppSettings::StretchSmallImages},
    {L"EnableAbortableImageLoading", &AppSettings::EnableAbortableImageLoading},
    {L"AutoModeInterval", &AppSettings::AutoModeInterval},
    {L"EnableRating", &AppSettings::EnableRating},
    {L"EnableRatingAutoAdvance", &AppSettings::EnableRatingAutoAdvance},
    {L"EnableLabelling", &AppSettings::EnableLabelling},
    {L"EnableUrgency", &AppSettings::EnableUrgency},
    {L"LabellingConvention", &AppSettings::LabellingConvention},
    {L"CreateSidecarFiles", &AppSettings::CreateSidecarFiles},
    {L"EmbedMetadata", &AppSettings::EmbedMetadata},
    {L"PrefixFileNamesWithRating", &AppSettings::PrefixFileNamesWithRating},
    {L"EnableFilePrefixes", &AppSettings::EnableFilePrefixes},
    {L"EnableFileOwerwrite", &AppSettings::EnableFileOwerwrite},
    {L"PreserveSourceFolderHierarchy", &AppSettings::PreserveSourceFolderHierarchy},
    {L"EnableFileDeletion", &AppSettings::EnableFileDeletion},
    {L"EnableMoveToRecycleBin", &AppSettings::EnableMoveToRecycleBin},
    {L"EnableCopiedStampOverlay", &AppSettings::EnableCopiedStampOverlay},
};

// ...and these after it.
const StoredValue kSecondStored[] = {
    {L"EnableExitFromEscapeKey", &AppSettings::EnableExitFromEscapeKey},
    {L"EnableFileNameInCaption", &AppSettings::EnableFileNameInCaption},
    {L"EnableHistogramDataCompression", &AppSettings::EnableHistogramDataCompression},
    {L"EnablePerChannelHistogramNormalization", &AppSettings::EnablePerChannelHistogramNormalization},
    {L"ReuseLastPictureFolder", &AppSettings::ReuseLastPictureFolder},
    {L"ReuseLastKeepCopyFolder", &AppSettings::ReuseLastKeepCopyFolder},
    {L"WrapImageList", &AppSettings::WrapImageList},
    {L"EnableMessageBeep", &AppSettings::EnableMessageBeep},
    {L"AutoHideTaskbar", &AppSettings::AutoHideTaskbar},
    {L"SortByDateTime", &AppSettings::SortByDateTime},
    {L"DownscaleLargeImages", &AppSettings::DownscaleLargeImages},
    {L"EnableMultiFrameSupport", &AppSettings::EnableMultiFrameSupport},
    {L"SaveBookmarksAcrossSessions", &AppSettings::SaveBookmarksAcrossSessions},
};

void Store(RegKey& key, std::span<const StoredValue> values) noexcept
{
    for (const StoredValue& stored : values) key.SetDword(stored.name, *stored.value);
}

DWORD SliderPosition(HWND trackbar) noexcept
{
    return static_cast<DWORD>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
}

bool UsesUrgencyConvention(DWORD convention) noexcept
{
    return convention != 1 && convention != 2;
}

std::wstring ListText(HWND list, int position)
{
    const auto length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}
}  // namespace

void COptionsDialog::ShowSettings()
{
    COptionsPage& rating = Page(Rating);
    if (AppSettings::LabellingConvention > 2) AppSettings::LabellingConvention = 0;
    SelectPosition(rating.Item(LabellingList), static_cast<int>(AppSettings::LabellingConvention));
    if (!UsesUrgencyConvention(AppSettings::LabellingConvention)) AppSettings::EnableUrgency = 0;

    for (WORD id : {1029, 1042, 1045, 1054}) (id == 1029 ? Page(Display) : rating).Enable(id, true);
    Page(General).Enable(1106, true);
    Page(General).Enable(1110, true);
    for (const BoxSetting& setting : kBoxSettings) Page(setting.page).Check(setting.box, *setting.value != 0);
    Page(Display).Check(1027, m_openedWith.DisableHWA == 0);
    Page(Display).Check(1029, m_openedWith.EnableICC != 0);
    Page(Display).Check(1094, m_openedWith.OverrideTargetProfile != 0);
    Page(Display).Check(1031, m_openedWith.MultiSampling != 0);
    Page(Performance).Check(1028, m_openedWith.DisableSMP == 0);
    Page(General).Check(1032, m_updateCheck);

    COptionsPage& mouse = Page(Mouse);
    mouse.Check(1043, AppSettings::RightClickMagnifier != 0);
    SelectZoom(mouse.Item(ZoomList), AppSettings::RightClickMagnifier);
    AppSettings::RightClickMagnifier = SelectedValue(mouse.Item(ZoomList));
    SelectByValue(mouse.Item(SlideshowList), AppSettings::AutoModeInterval, SlideshowFallbackPosition);
    for (auto [page, box, slider, value] :
         {std::tuple{Mouse, WORD{1060}, MouseAcceleration, &AppSettings::SmartMouseAcceleration},
          std::tuple{Performance, WORD{1120}, MemoryGuide, &AppSettings::MemoryUsageGuideNumber}}) {
        Page(page).Check(box, *value != 0);
        if (*value == 0) continue;
        *value = ClampToSlider(*value, slider);
        SendMessageW(Page(page).Item(slider.control), TBM_SETPOS, TRUE, static_cast<LPARAM>(*value));
    }

    rating.Enable(LabellingList, AppSettings::EnableLabelling != 0);
    if (!UsesUrgencyConvention(AppSettings::LabellingConvention)) rating.Enable(1063, false);

    Page(General).Check(1102, AppSettings::SortByDateTime != 0);
    SelectByValue(Page(General).Item(SortList), AppSettings::SortByDateTime, 0);
    Page(Performance).Check(1122, AppSettings::DownscaleLargeImages != 0);
    SelectByValue(Page(Performance).Item(DownscaleList), AppSettings::DownscaleLargeImages, DownscaleFallbackPosition);
}

RestartSettings COptionsDialog::RestartSettingsShown() const noexcept
{
    const COptionsPage& display = *m_pages[Display];
    RestartSettings shown;
    shown.DisableHWA = display.IsChecked(1027) ? 0 : 1;
    shown.DisableSMP = m_pages[Performance]->IsChecked(1028) ? 0 : 1;
    shown.EnableICC = display.IsChecked(1029) ? 1 : 0;
    shown.OverrideTargetProfile = display.IsChecked(1094) ? 1 : 0;
    shown.MultiSampling = display.IsChecked(1031) ? 1 : 0;
    return shown;
}

void COptionsDialog::ReadControls()
{
    for (const BoxSetting& setting : kBoxSettings) *setting.value = Page(setting.page).IsChecked(setting.box) ? 1 : 0;
    COptionsPage& mouse = Page(Mouse);
    AppSettings::RightClickMagnifier = mouse.IsChecked(1043) ? SelectedValue(mouse.Item(ZoomList)) : 0;
    AppSettings::SmartMouseAcceleration = mouse.IsChecked(1060) ? SliderPosition(mouse.Item(MouseAccelerationSlider)) : 0;
    AppSettings::AutoModeInterval = SelectedValue(mouse.Item(SlideshowList));

    COptionsPage& rating = Page(Rating);
    if (rating.IsChecked(1054)) {
        const int position = SelectedPosition(rating.Item(LabellingList));
        AppSettings::LabellingConvention = position > 0 ? static_cast<DWORD>(position) : 0;
        if (!UsesUrgencyConvention(AppSettings::LabellingConvention)) AppSettings::EnableUrgency = 0;
    } else {
        AppSettings::LabellingConvention = 0;
    }
    AppSettings::SortByDateTime = Page(General).IsChecked(1102) ? SelectedValue(Page(General).Item(SortList)) : 0;
    COptionsPage& performance = Page(Performance);
    AppSettings::DownscaleLargeImages = performance.IsChecked(1122) ? SelectedValue(performance.Item(DownscaleList)) : 0;
    AppSettings::MemoryUsageGuideNumber =
        performance.IsChecked(1120) ? SliderPosition(performance.Item(MemoryGuideSlider)) : 0;

    const RestartSettings shown = RestartSettingsShown();
    m_hardwareAccelerationSwitchedOn = shown.DisableHWA == 0 && m_openedWith.DisableHWA == 1;
    m_restartNotice = !(shown == m_openedWith);
}

void COptionsDialog::StoreSettings(bool forcedProfile)
{
    RegKey key;
    key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS);
    const RestartSettings shown = RestartSettingsShown();
    key.SetDword(L"DisableHWA", shown.DisableHWA);
    key.SetDword(L"DisableSMP", shown.DisableSMP);
    if (!forcedProfile) {
        key.SetDword(L"EnableICC", shown.EnableICC);
        key.SetDword(L"OverrideTargetProfile", shown.OverrideTargetProfile);
    }
    key.SetDword(L"MultiSampling", shown.MultiSampling);
    if (!forcedProfile) StoreTargetProfile(key, shown);
    m_profileFiles.clear();

    Store(key, kFirstStored);
    const DWORD storedInterval = key.QueryDword(L"UpdateCheckInterval").value_or(0);
    const bool checkUpdates = Page(General).IsChecked(1032);
    if (storedInterval == 0 && checkUpdates) key.SetDword(L"UpdateCheckInterval", 1);
    if (storedInterval != 0 && !checkUpdates) key.SetDword(L"UpdateCheckInterval", 0);
    Store(key, kSecondStored);
    COptionsPage& performance = Page(Performance);
    AppSettings::MemoryUsageGuideNumber =
        performance.IsChecked(1120) ? SliderPosition(performance.Item(MemoryGuideSlider)) : 0;
    key.SetDword(L"MemoryUsageGuideNumber", AppSettings::MemoryUsageGuideNumber);
}

void COptionsDialog::StoreTargetProfile(RegKey& key, const RestartSettings& shown)
{
    std::wstring fileName;
    if (shown.EnableICC && shown.OverrideTargetProfile) {
        // Until the scan has filled the list there is no choice to take: the stored profile stays.
        if (!m_profilesShown) return;
        HWND list = Page(Display).Item(1093);
        const int position = SelectedPosition(list);
        const std::wstring text = position >= 0 ? ListText(list, position) : std::wstring();
        if (text.empty()) return;
        const DWORD file = SelectedValue(list);
        const bool isDefault = CompareStringW(LOCALE_USER_DEFAULT, 0, text.c_str(), -1,
                                              AppSettings::DefaultTargetProfileName.c_str(), -1) == CSTR_EQUAL;
        if (!isDefault && file > 0 && file <= m_profileFiles.size()) fileName = m_profileFiles[file - 1];
    }
    key.SetString(L"CustomTargetColorProfile", fileName);
    std::wstring path;
    if (!fileName.empty()) {
        path = AppSettings::FindColorProfileFile(fileName);
        if (path.empty()) path = fileName;
    }
    if (AppSettings::CustomTargetColorProfile.View() == path) return;
    AppSettings::CustomTargetColorProfile = Bstr(path);
    m_restartNotice = true;
}

LRESULT COptionsDialog::OnProfilesFound(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (m_closing) return 0;
    const auto& found = *reinterpret_cast<const std::vector<FoundProfile>*>(lParam);
    HWND list = Page(Display).Item(1093);
    const std::wstring current(AppSettings::CustomTargetColorProfile.View());
    const wchar_t* preselect = current.empty() ? nullptr : PathFindFileNameW(current.c_str());
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    m_profileFiles.clear();
    for (const FoundProfile& profile : found) {
        m_profileFiles.push_back(profile.fileName);
        const int position = AddChoice(list, profile.text.c_str(), static_cast<DWORD>(m_profileFiles.size()));
        if (position >= 0 && preselect && lstrcmpiW(profile.fileName.c_str(), preselect) == 0)
            SelectPosition(list, position);
    }
    const wchar_t* defaultName = AppSettings::DefaultTargetProfileName.c_str();
    if (SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(defaultName)) == CB_ERR)
        AddChoice(list, defaultName, 0);
    if (SelectedPosition(list) < 0)
        SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(defaultName));
    m_profilesShown = true;
    InvalidateRect(list, nullptr, TRUE);
    UpdateControlStates();
    return 0;
}
