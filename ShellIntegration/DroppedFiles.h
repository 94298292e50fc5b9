#pragma once
// The file list (CF_HDROP) that the shell hands over in a data object, held in global memory and
// locked for as long as the holder lives.
#include <windows.h>
#include <objidl.h>
#include <shellapi.h>

class DroppedFiles {
public:
    // Asks data for CF_HDROP in global memory and locks it; failed when the object has none.
    explicit DroppedFiles(IDataObject* data) noexcept;
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;
    ~DroppedFiles();

    bool Failed() const noexcept { return !m_locked; }
    UINT Count() const noexcept;
    // Copies item index into buffer (cut to its size); the item's length, 0 past the last item.
    UINT Path(UINT index, wchar_t* buffer, UINT bufferChars) const noexcept;

private:
    HDROP Drop() const noexcept { return static_cast<HDROP>(m_medium.hGlobal); }

    STGMEDIUM m_medium{};
    bool m_received = false;
    bool m_locked = false;
};
