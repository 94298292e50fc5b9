#pragma once
// What every decode call of one decode worker receives: the way to the display device, a lock for
// the bitmap source's size queries, and the texts of the message shown when a codec crashes.
// Made on the worker's own stack after it entered its COM apartment; it owns everything in it.
#include <windows.h>
#include <d3d9.h>
#include <cstdint>
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/CriticalSection.h"

// The display as the decode workers see it, held by the engine and read at each decode. The owner
// (the main window's side) writes it on the user-interface thread while no decode runs, so the
// imaging layer never reaches up to the window or the view for these values.
struct DecodeDisplay {
    IDirect3DDevice9* device = nullptr;         // the current device; null: no surface can be made
    D3DFORMAT surfaceFormat = D3DFMT_UNKNOWN;   // the display format, the format of every off-screen surface
    uint8_t background[3] = {0, 0, 0};          // the view's background colour: red, green, blue
};

class DecodeThreadContext {
public:
    // display is the engine's record of the display (null: no device). Throws when the lock cannot
    // be created or a text cannot be copied.
    explicit DecodeThreadContext(const DecodeDisplay* display);
    DecodeThreadContext(const DecodeThreadContext&) = delete;
    DecodeThreadContext& operator=(const DecodeThreadContext&) = delete;
    virtual ~DecodeThreadContext();

    // The engine's current device, or null when it has none.
    IDirect3DDevice9* Device() const noexcept { return m_display ? m_display->device : nullptr; }
    // The format of the off-screen surfaces; D3DFMT_UNKNOWN without a display record.
    D3DFORMAT SurfaceFormat() const noexcept { return m_display ? m_display->surfaceFormat : D3DFMT_UNKNOWN; }
    // The view's background as opaque ARGB: first byte in bits 16-23, second in 8-15, third in 0-7.
    uint32_t BackgroundArgb() const noexcept;

    // Held around the bitmap source's GetSize calls.
    void Lock() noexcept { m_lock.Enter(); }
    void Unlock() noexcept { m_lock.Leave(); }

    // Whatever COM object the decode path keeps with the worker; released with the context.
    ComPtr<IUnknown>& Companion() noexcept { return m_companion; }

    // The codec-crash message: a format with the file path as its one insertion, its ending when the
    // crash happened in a raw codec, its ending otherwise, and the caption.
    const wchar_t* CrashMessage() const noexcept { return m_crashMessage.c_str(); }
    const wchar_t* CrashRawCodecEnding() const noexcept { return m_crashRawCodecEnding.c_str(); }
    const wchar_t* CrashGeneralEnding() const noexcept { return m_crashGeneralEnding.c_str(); }
    const wchar_t* CrashCaption() const noexcept { return m_crashCaption.c_str(); }

private:
    const DecodeDisplay* m_display;
    ComPtr<IUnknown> m_companion;
    CriticalSection m_lock;
    Bstr m_crashMessage;
    Bstr m_crashRawCodecEnding;
    Bstr m_crashGeneralEnding;
    Bstr m_crashCaption;
};
