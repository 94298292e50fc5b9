#include "Viewer/ui/FrameMarkCommands.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/FrameSpeech.h"
#include "Viewer/ui/MainFrame.h"

LRESULT CFrameMarkCommands::OnSpeakRating(WORD, WORD, HWND, BOOL&)
{
    m_frame.Speech().SpeakTextAsync(SpokenRatingText(m_frame.Engine().GetCurrentEntry(true)));
    return 0;
}

LRESULT CFrameMarkCommands::OnToggleMark(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 303.0;
    CImageEngine& engine = m_frame.Engine();
    if (engine.GetEntryCount() == 0) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    const EntryRef entry(engine.GetCurrentEntry(true));
    if (!entry) return 0;
    engine.SetMarkedForGroup(entry.Get(), *entry->GetMarkedFlag() == 0);
    // Shown again so that the view draws the mark.
    m_frame.Navigation().ShowEntry(entry.Get(), false);
    return 0;
}
