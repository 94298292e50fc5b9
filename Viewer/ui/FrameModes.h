#pragma once
// The frame's running modes, of which at most one is on: the slideshow, which shows the next picture
// at every interval, and track mode, which shows each new file of the folder as it arrives (for
// shooting tethered).
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"

class CMainFrame;

class CFrameModes : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameModes)
        COMMAND_ID_HANDLER(ID_AUTO_MODE, OnAutoMode)
        COMMAND_ID_HANDLER(ID_TRACK_MODE, OnTrackMode)
    END_MESSAGE_MAP()

    explicit CFrameModes(CMainFrame& frame) : m_frame(frame) {}

    bool IsSlideshowRunning() const noexcept { return m_slideshow; }
    bool IsTrackMode() const noexcept { return m_trackMode; }
    bool AnyModeRunning() const noexcept { return m_slideshow || m_trackMode; }

    void ToggleAutoMode();
    void ToggleTrackMode();
    // The next slideshow step after the interval; each shown step arms the next.
    void ArmSlideshowStep();
    // Ends the slideshow when it runs (a navigation command, the end of a list that does not wrap).
    void StopSlideshow();

private:
    LRESULT OnAutoMode(WORD, WORD, HWND, BOOL&);
    LRESULT OnTrackMode(WORD, WORD, HWND, BOOL&);

    void EndTrackMode();
    void TellEngine();

    CMainFrame& m_frame;
    bool m_slideshow = false;
    bool m_trackMode = false;
};
