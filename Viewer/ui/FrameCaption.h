#pragma once
// What the viewer tells about the picture shown: the window caption (file name and program title),
// the name label (the file with its companions and page, or the loading text) and the status line
// (zoom, marks, rating, position in the list, sort order, quick slot, bookmark and running mode, in
// device mode with the connected devices' names).
// A text is set only when it changed, so that nothing flickers on the quarter-second refresh.
#include "Framework/Bstr.h"
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/NumberFormat.h"
#include <cstdint>
#include <string>

class CMainFrame;
class CImageEntry;

// "base.ext+ext [page/pages]" of an entry.
std::wstring BuildNameText(CImageEntry& entry);
// The caption for a name text: its file name and " - " when asked for, then the program title.
std::wstring BuildCaption(const std::wstring& nameText, bool fileNameInCaption, const std::wstring& programTitle);

// What the status line shows, gathered from the frame, the engine and the entry.
struct StatusFacts {
    std::wstring position;  // formatted, 1-based
    std::wstring count;     // formatted
    DWORD sortByDateTime = 0;
    CImageEntry* entry = nullptr;
    int zoomPercentage = 100;
    bool networkFolder = false;
    bool slideshow = false;
    bool trackMode = false;
    bool deviceMode = false;
    // Device mode: a picture is being imported (the frame's status flag), else the connected
    // devices' names joined by "+" and how many they are.
    bool importing = false;
    std::wstring deviceNames;
    size_t deviceCount = 0;
};
std::wstring BuildStatusLine(const StatusFacts& facts);

class CFrameCaption : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameCaption)
        MESSAGE_HANDLER(WM_APP_DECODE_WAIT_BEGIN, OnDecodeWaitBegin)
        MESSAGE_HANDLER(WM_APP_DECODE_WAIT_END, OnDecodeWaitEnd)
        MESSAGE_HANDLER(WM_APP_SET_STATUS_TEXT, OnSetStatusText)
        MESSAGE_HANDLER(WM_APP_ENTRY_INSERTED, OnEntryInserted)
        MESSAGE_HANDLER(WM_APP_SET_FRAME_FLAG, OnSetFrameFlag)
    END_MESSAGE_MAP()

    explicit CFrameCaption(CMainFrame& frame) : m_frame(frame) {}

    // Rebuilds the name text and the caption for the entry (the loading text while it decodes);
    // then, unless told to skip it, the status line.
    void SetTitleForEntry(CImageEntry* entry, bool loading, bool skipStatus);
    // The name label's text, set directly (the folder's listing status, the empty-view text).
    void SetStatusText(const wchar_t* text);
    // Rebuilds the status line; hands back the list's count and the 1-based current position.
    void UpdateStatusLine(CImageEntry* entry, uint32_t* count = nullptr, uint32_t* position = nullptr);

    const Bstr& NameText() const noexcept { return m_nameText; }
    const Bstr& StatusLine() const noexcept { return m_statusLine; }
    bool StatusFlag() const noexcept { return m_statusFlag; }

private:
    LRESULT OnDecodeWaitBegin(UINT, WPARAM, LPARAM entry, BOOL&);
    LRESULT OnDecodeWaitEnd(UINT, WPARAM cancelled, LPARAM entry, BOOL&);
    LRESULT OnSetStatusText(UINT, WPARAM, LPARAM text, BOOL&);
    LRESULT OnEntryInserted(UINT, WPARAM, LPARAM entry, BOOL&);
    LRESULT OnSetFrameFlag(UINT, WPARAM flag, LPARAM, BOOL&);

    void SetCaption(const std::wstring& caption);
    // Device mode's part of the facts; a change of the import state or of the devices brings a bar
    // that hides itself into view.
    void GatherDeviceFacts(StatusFacts& facts);
    // Sets a text line of the control bar and repaints the bar at once.
    void ShowOnBar(int line, const wchar_t* text);

    CMainFrame& m_frame;
    Bstr m_nameText;
    DWORD m_nameTextCaptionMode = 0;
    Bstr m_statusLine;
    bool m_statusFlag = false;
    bool m_shownStatusFlag = false;
    size_t m_shownDeviceCount = 0;
    NumberFormatRecord m_numbers;
};
