#pragma once
// The digit commands: a digit rates the current picture, Shift and a digit gives it a colour label,
// Ctrl and a digit an urgency. The value shows at once; the frame's metadata writer stores it in the
// files in the background. Kinds switched off and values out of range are refused with a box that
// says why; the same value again within a second is not written twice.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/MetadataWriter.h"
#include <windows.h>

class CMainFrame;

// The string that refuses a digit with these keys under the current settings, or 0 when the
// command may go on. Checked in a fixed order: all kinds off, labels off, a label above 5 under
// convention 0, urgency off, rating off (which also stops labels and urgencies), a rating above 5.
UINT RatingRefusal(int digit, bool shift, bool control);

class CFrameRatingCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameRatingCommands)
        COMMAND_RANGE_HANDLER(ID_RATE_0, ID_RATE_9, OnRateCurrentImage)
    END_MESSAGE_MAP()

    explicit CFrameRatingCommands(CMainFrame& frame);

    // The frame's one writer of ratings, labels and urgencies.
    CMetadataWriter& Writer() noexcept { return m_writer; }

private:
    LRESULT OnRateCurrentImage(WORD, WORD id, HWND, BOOL&);
    void Refuse(UINT stringId);

    CMainFrame& m_frame;
    CMetadataWriter m_writer;
};
