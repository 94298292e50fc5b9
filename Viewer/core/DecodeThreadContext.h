#pragma once
// What every decode call of one decode worker receives: the way to the display device, a lock for
// the bitmap source's size queries, and the texts of the message shown when a codec crashes.
// Made on the worker's own stack after it entered its COM apartment; it owns everything in it.
#include <windows.h>
#include <d3d9.h>
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Viewer/core/CriticalSection.h"

class DecodeThreadContext {
public:
    // deviceSlot is the engine's slot that holds the current device (it may hold null). Throws
    // when the lock cannot be created or a text cannot be copied.
    explicit DecodeThreadContext(IDirect3DDevice9* const* deviceSlot);
    DecodeThreadContext(const DecodeThreadContext&) = delete;
    DecodeThreadContext& operator=(const DecodeThreadContext&) = delete;
    virtual ~DecodeThreadContext();

    // The engine's current device, or null when it has none.
    IDirect3DDevice9* Device() const noexcept { return m_deviceSlot ? *m_deviceSlot : nullptr; }

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
    IDirect3DDevice9* const* m_deviceSlot;
    ComPtr<IUnknown> m_companion;
    CriticalSection m_lock;
    Bstr m_crashMessage;
    Bstr m_crashRawCodecEnding;
    Bstr m_crashGeneralEnding;
    Bstr m_crashCaption;
};
