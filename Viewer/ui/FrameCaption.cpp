#include "Viewer/ui/FrameCaption.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/ui/MainFrame.h"
#include <shlwapi.h>

namespace {
constexpr UINT kLoadingString = 10060;
constexpr UINT kNoDeviceString = 10061;
constexpr UINT kSlideshowString = 10062;
constexpr UINT kImportingString = 10063;
constexpr UINT kTrackModeString = 10064;
constexpr UINT kNetworkSlideshowString = 10065;
constexpr UINT kNetworkFolderString = 10066;
constexpr UINT kDownscaledString = 10067;
constexpr UINT kCopiedString = 10068;
constexpr UINT kMarkedString = 10069;
constexpr UINT kRatingString = 10070;
constexpr UINT kLabelString = 10071;
constexpr UINT kUrgencyString = 10072;
constexpr size_t kSortPartLimit = 64;
constexpr size_t kBookmarkNameLimit = 64;

// A language text with one number in it: the first %u or %d takes the value; nothing else of the
// text is read as a format, so that no library text can make the formatting read past its one value.
std::wstring WithNumber(UINT stringId, int value)
{
    std::wstring text = LoadUiString(stringId);
    for (const wchar_t* placeholder : {L"%u", L"%d"}) {
        const size_t at = text.find(placeholder);
        if (at != std::wstring::npos) return text.replace(at, 2, std::to_wstring(value));
    }
    return text;
}

UINT SortWord(DWORD sortByDateTime)
{
    switch (sortByDateTime) {
    case 0: return 10073;
    case 1:
    case 2: return 10074;
    case 3: return 10075;
    case 4: return 10076;
    default: return 0;
    }
}

std::wstring SortAndNamePart(const StatusFacts& facts)
{
    std::wstring part;
    if (const UINT word = SortWord(facts.sortByDateTime)) part = L" " + LoadUiString(word);
    if (facts.entry) {
        const std::wstring slot =
            facts.entry->quickSlot >= 0 ? std::to_wstring(facts.entry->quickSlot) : std::wstring();
        const std::wstring name(facts.entry->GetBookmarkName().View().substr(0, kBookmarkNameLimit));
        if (!slot.empty() && !name.empty())
            part += L" [" + slot + L", " + name + L"]";
        else if (!name.empty())
            part += L" [" + name + L"]";
        else if (!slot.empty())
            part += L" [" + slot + L"]";
    }
    return part.substr(0, kSortPartLimit);
}

std::wstring Marks(CImageEntry& entry)
{
    std::wstring marks;
    const auto add = [&marks](const std::wstring& text) {
        if (!marks.empty()) marks += L", ";
        marks += text;
    };
    if (*entry.GetCopiedFlag()) add(LoadUiString(kCopiedString));
    if (*entry.GetMarkedFlag()) add(LoadUiString(kMarkedString));
    if (entry.rating >= 1) add(WithNumber(kRatingString, entry.rating));
    if (entry.label >= 1) add(WithNumber(kLabelString, entry.label));
    if (entry.urgency >= 1) add(WithNumber(kUrgencyString, entry.urgency));
    return marks;
}

// The running mode, after two blanks: a network folder's note, track mode, device mode's import or
// its devices, or the slideshow.
std::wstring ModeSuffix(const StatusFacts& facts)
{
    UINT mode = 0;
    if (facts.networkFolder) {
        mode = facts.slideshow ? kNetworkSlideshowString : kNetworkFolderString;
    } else if (facts.trackMode) {
        mode = kTrackModeString;
    } else if (facts.deviceMode) {
        if (facts.importing)
            mode = kImportingString;
        else if (facts.deviceCount == 0)
            mode = kNoDeviceString;
        else
            return L"  [" + facts.deviceNames + L"]";
    } else if (facts.slideshow) {
        mode = kSlideshowString;
    }
    return mode ? L"  " + LoadUiString(mode) : std::wstring();
}
}

std::wstring BuildNameText(CImageEntry& entry)
{
    std::wstring text = entry.GetBasePath() + L"." + entry.GetExtensionsText();
    if (entry.GetPageCount() > 1)
        text += L" [" + std::to_wstring(entry.GetPageIndex() + 1) + L"/" + std::to_wstring(entry.GetPageCount()) + L"]";
    return text;
}

std::wstring BuildCaption(const std::wstring& nameText, bool fileNameInCaption, const std::wstring& programTitle)
{
    std::wstring caption;
    const size_t slash = nameText.rfind(L'\\');
    if (fileNameInCaption && slash != std::wstring::npos) caption = nameText.substr(slash + 1) + L" - ";
    return caption + programTitle;
}

std::wstring BuildStatusLine(const StatusFacts& facts)
{
    const std::wstring sortPart = SortAndNamePart(facts);
    const std::wstring position = facts.position + L"/" + facts.count + (sortPart.empty() ? L"" : L" ") + sortPart;
    const bool downscaled = facts.entry && facts.entry->GetInfo()->downscaled;
    const std::wstring downscale = downscaled ? LoadUiString(kDownscaledString) : std::wstring();
    const std::wstring marks = facts.entry ? Marks(*facts.entry) : std::wstring();
    std::wstring line;
    if (!marks.empty()) line = L"[" + marks + L"] ";
    line += std::to_wstring(facts.zoomPercentage) + L"% " + downscale + L" " + position;
    return line + ModeSuffix(facts);
}

void CFrameCaption::SetTitleForEntry(CImageEntry* entry, bool loading, bool skipStatus)
{
    LastActivityCode = 261.0;
    if (m_frame.Engine().IsRemovingEntry()) return;
    std::wstring nameText;
    if (!skipStatus) {
        if (loading)
            nameText = LoadUiString(kLoadingString);
        else if (entry)
            nameText = BuildNameText(*entry);
    }
    const bool unchanged = nameText == m_nameText.View() && m_nameTextCaptionMode == AppSettings::EnableFileNameInCaption;
    if (!unchanged) {
        if (!nameText.empty()) {
            m_nameText = nameText;
            m_nameTextCaptionMode = AppSettings::EnableFileNameInCaption;
            ShowOnBar(CControlBar::ID_NAME_LINE, nameText.c_str());
            RecordForTest(L"name", nameText);
        }
        // While loading the caption keeps the file's name.
        const std::wstring captionName = loading ? (entry ? BuildNameText(*entry) : std::wstring()) : nameText;
        SetCaption(BuildCaption(captionName, AppSettings::EnableFileNameInCaption != 0,
                                std::wstring(m_frame.ProgramTitle().View())));
        m_frame.EditorCommands().RefreshFileList();
    }
    if (!skipStatus) UpdateStatusLine(entry);
    LastActivityCode = 261.99;
}

void CFrameCaption::ShowOnBar(int line, const wchar_t* text)
{
    CControlBar& bar = m_frame.ControlBar();
    if (!bar.IsWindow()) return;
    bar.SetLineText(line, text);
    UpdateWindow(bar.m_hWnd);
}

void CFrameCaption::SetCaption(const std::wstring& caption)
{
    wchar_t current[520]{};
    GetWindowTextW(m_frame.m_hWnd, current, static_cast<int>(std::size(current)));
    if (caption == current) return;
    SetWindowTextW(m_frame.m_hWnd, caption.c_str());
    RecordForTest(L"caption", caption);
}

void CFrameCaption::SetStatusText(const wchar_t* text)
{
    LastActivityCode = 262.0;
    const std::wstring_view newText = text ? text : L"";
    if (newText == m_nameText.View() && (text != nullptr) == (m_nameText.Get() != nullptr)) return;
    m_nameText = text ? Bstr(newText) : Bstr();
    ShowOnBar(CControlBar::ID_NAME_LINE, text);
    RecordForTest(L"status", newText);
}

void CFrameCaption::UpdateStatusLine(CImageEntry* entry, uint32_t* count, uint32_t* position)
{
    LastActivityCode = 260.0;
    CImageEngine& engine = m_frame.Engine();
    uint64_t listCount = 0;
    uint64_t listPosition = 0;
    {
        CriticalSectionScope list(engine.ListLock());
        listPosition = engine.GetCurrentPosition();
        listCount = engine.GetEntryCount();
    }
    if (count) *count = static_cast<uint32_t>(listCount);
    if (position) *position = static_cast<uint32_t>(listPosition);

    StatusFacts facts;
    wchar_t number[32]{};
    FormatNumber(m_numbers, &listPosition, NumberKind::Unsigned64, number, 16);
    facts.position = number;
    FormatNumber(m_numbers, &listCount, NumberKind::Unsigned64, number, 20);
    facts.count = number;
    facts.sortByDateTime = AppSettings::SortByDateTime;
    facts.entry = entry;
    // The bookmark list follows the picture shown.
    if (entry) m_frame.BookmarkList().SelectBookmark(entry->GetBookmarkName().c_str());
    facts.zoomPercentage = m_frame.View().ZoomPercentage();
    facts.networkFolder = PathIsNetworkPathW(m_frame.ImageFolderPath().c_str());
    facts.slideshow = m_frame.Modes().IsSlideshowRunning();
    facts.trackMode = m_frame.Modes().IsTrackMode();
    facts.deviceMode = m_frame.Modes().IsDeviceMode();
    if (facts.deviceMode && !facts.networkFolder) GatherDeviceFacts(facts);
    const std::wstring line = BuildStatusLine(facts);
    if (line == m_statusLine.View()) {
        LastActivityCode = 260.99;
        return;
    }
    m_statusLine = line;
    ShowOnBar(CControlBar::ID_STATUS_LINE, line.c_str());
    RecordForTest(L"status-line", line);
}

void CFrameCaption::GatherDeviceFacts(StatusFacts& facts)
{
    bool changed = false;
    if (m_statusFlag != m_shownStatusFlag) {
        m_shownStatusFlag = m_statusFlag;
        changed = true;
    }
    facts.importing = m_statusFlag;
    if (!m_statusFlag) {
        facts.deviceNames = m_frame.Modes().DeviceWatcher().GetDeviceNamesText(&facts.deviceCount).View();
        if (facts.deviceCount != m_shownDeviceCount) {
            m_shownDeviceCount = facts.deviceCount;
            changed = true;
        }
    }
    if (changed) m_frame.SlideInTaskbar();
}

LRESULT CFrameCaption::OnDecodeWaitBegin(UINT, WPARAM, LPARAM entry, BOOL&)
{
    LastActivityCode = 264.0;
    SetTitleForEntry(reinterpret_cast<CImageEntry*>(entry), true, false);
    return 0;
}

LRESULT CFrameCaption::OnDecodeWaitEnd(UINT, WPARAM cancelled, LPARAM entry, BOOL&)
{
    LastActivityCode = 265.0;
    if (!cancelled) SetTitleForEntry(reinterpret_cast<CImageEntry*>(entry), false, false);
    return 0;
}

LRESULT CFrameCaption::OnSetStatusText(UINT, WPARAM, LPARAM text, BOOL&)
{
    LastActivityCode = 263.0;
    SetStatusText(reinterpret_cast<const wchar_t*>(text));
    return 1;
}

LRESULT CFrameCaption::OnEntryInserted(UINT, WPARAM, LPARAM entry, BOOL&)
{
    CImageEntry* inserted = reinterpret_cast<CImageEntry*>(entry);
    if (inserted && inserted == m_frame.Engine().GetCurrentEntry(true)) SetTitleForEntry(inserted, false, false);
    return 0;
}

LRESULT CFrameCaption::OnSetFrameFlag(UINT, WPARAM flag, LPARAM, BOOL&)
{
    m_statusFlag = flag != 0;
    return 0;
}
