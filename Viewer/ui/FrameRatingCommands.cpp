#include "Viewer/ui/FrameRatingCommands.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/MainFrame.h"
#include <shlwapi.h>

namespace {
constexpr UINT MessageTitleStringId = 100;
constexpr UINT AllKindsOffStringId = 10078;
constexpr UINT LabelsOffStringId = 10079;
constexpr UINT LabelAboveFiveStringId = 10080;
constexpr UINT UrgencyOffLabelsNineStringId = 10081;
constexpr UINT UrgencyOffStringId = 10082;
constexpr UINT RatingOffStringId = 10083;
constexpr UINT RatingAboveFiveStringId = 10084;
// One second in FILETIME units: a repeat of the same value within it is not written again.
constexpr uint64_t RepeatInterval = 10'000'000;

uint64_t Now()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}
}

UINT RatingRefusal(int digit, bool shift, bool control)
{
    using namespace AppSettings;
    if (!EnableRating && !EnableLabelling && !EnableUrgency) return AllKindsOffStringId;
    if (shift && !EnableLabelling) return LabelsOffStringId;
    if (shift && digit >= 6 && LabellingConvention == 0) return LabelAboveFiveStringId;
    if (control && !EnableUrgency)
        return EnableLabelling && (LabellingConvention == 1 || LabellingConvention == 2) ? UrgencyOffLabelsNineStringId
                                                                                           : UrgencyOffStringId;
    if (!EnableRating) return RatingOffStringId;
    if (!shift && !control && digit >= 6) return RatingAboveFiveStringId;
    return 0;
}

CFrameRatingCommands::CFrameRatingCommands(CMainFrame& frame) : m_frame(frame), m_writer(&frame.m_hWnd, frame.Engine())
{
}

LRESULT CFrameRatingCommands::OnRateCurrentImage(WORD, WORD id, HWND, BOOL&)
{
    LastActivityCode = 274.0;
    const int digit = id - ID_RATE_0;
    CImageEngine& engine = m_frame.Engine();
    if (engine.IsListEmpty()) return 0;
    // The keys' state when the digit's message was queued: a key let go since still counts.
    const bool shift = QueryKeyState(VK_SHIFT) < 0;
    const bool control = QueryKeyState(VK_CONTROL) < 0;
    if (const UINT refusal = RatingRefusal(digit, shift, control)) {
        Refuse(refusal);
        return 0;
    }
    CImageEntry* entry = engine.GetCurrentEntry();
    if (!entry) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    const uint64_t now = Now();
    const bool repeat = shift || control
                            ? (!shift || entry->label == digit) && (!control || entry->urgency == digit)
                            : entry->rating == digit;
    if (!repeat || now - entry->lastRatingTime > RepeatInterval) {
        entry->lastRatingTime = now;
        if (FAILED(m_writer.QueueMetadataWrite(entry, digit, shift, control))) return 0;
    }
    if (AppSettings::EnableRatingAutoAdvance && !shift && !control)
        SetTimer(m_frame.m_hWnd, TIMER_FRAME_AUTO_ADVANCE, 1, nullptr);
    return 0;
}

void CFrameRatingCommands::Refuse(UINT stringId)
{
    m_frame.ShowViewCursor();
    wchar_t text[2048];
    wnsprintfW(text, 2048, L"%s", LoadResourceString(stringId).c_str());
    ShowMessageBox(m_frame.m_hWnd, text, LoadResourceString(MessageTitleStringId).c_str(), MB_ICONINFORMATION);
}
