#include "Viewer/ui/FrameMarkCommands.h"
#include "Viewer/ui/FrameSpeech.h"
#include "Viewer/ui/MainFrame.h"

LRESULT CFrameMarkCommands::OnSpeakRating(WORD, WORD, HWND, BOOL&)
{
    m_frame.Speech().SpeakTextAsync(SpokenRatingText(m_frame.Engine().GetCurrentEntry(true)));
    return 0;
}
