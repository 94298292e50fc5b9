#pragma once
// Decoding one entry on a decode worker, and the user-interface thread's wait for that decode.
#include "Viewer/engine/ImageEntry.h"
#include <windows.h>

class DecodeThreadContext;

// Decodes the file base path + "." + extension (the entry's page of it) into a Direct3D surface
// (useSurface) or a GDI+ bitmap, or rebuilds the surface from the saved pixels without reading the
// file. Runs with the entry's lock held. Returns the HRESULT it also stores as the entry's decode
// result: E_ABORT once the entry's cancel flag is set; a stored failure other than
// D3DERR_OUTOFVIDEOMEMORY is kept and nothing is decoded. The loading flag is clear afterwards,
// however the call ends.
HRESULT DecodeEntry(CImageEntry& entry, DecodeThreadContext* context, const wchar_t* extension, bool useSurface,
                    bool colourManage, bool raw, bool autoRotate) noexcept;

// Waits up to timeoutMilliseconds while the entry is loading, keeping the calling thread's sent
// messages served. With notify the frame window is sent WM_APP_DECODE_WAIT_BEGIN before and
// WM_APP_DECODE_WAIT_END after the wait. Unless noAbort, a wheel turn or a navigation key waiting
// in the frame's input queue cancels the decode when "EnableAbortableImageLoading" is on, and the
// wait ends. S_OK with an image; S_FALSE when cancelled without one; else the stored failure, or
// E_FAIL.
HRESULT WaitForDecode(CImageEntry& entry, bool noAbort, bool notify, DWORD timeoutMilliseconds, HWND frame) noexcept;
