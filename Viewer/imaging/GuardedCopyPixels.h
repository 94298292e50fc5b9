#pragma once
// The guard around a codec's own code: every call the decode makes into a codec or a metadata
// handler on a picture's behalf, above all the CopyPixels that writes the decoded pixels. A codec
// that faults there must not take the viewer down silently or leave a half-made image behind.
#include "Framework/HResultError.h"
#include <windows.h>
#include <wincodec.h>
#include <type_traits>

class DecodeThreadContext;

// Faults seen inside the guard since the process started; only ever incremented, interlocked.
extern volatile LONG CodecCrashCount;

// WINCODEC_ERR_VALUEOVERFLOW (an arithmetic overflow, 0x80070216), which mingw-w64's wincodec.h lacks:
// a picture whose sizes do not fit the 32-bit sizes of a copy.
constexpr HRESULT WicValueOverflow = HRESULT_FROM_WIN32(534);

// What the guard returns after a fault, seen only where the two endings below are replaced:
// HRESULT_FROM_WIN32(ERROR_UNHANDLED_EXCEPTION).
extern const HRESULT CodecFaultResult;

// Runs call(data) and returns its result. When the code it calls faults, the first fault in the
// process tells the user which file did it (naming a raw codec when rawCodec is set at that moment)
// and ends the process with 0xFFFFFFFF; a later fault ends only the calling thread. Guards nest: a
// fault ends at the innermost one. call must not throw.
HRESULT RunCodecGuarded(const DecodeThreadContext* context, const bool& rawCodec, const wchar_t* path,
                        HRESULT (*call)(void* data), void* data);

// The same for any callable returning an HRESULT; an exception it throws becomes its HRESULT.
template <class Call>
HRESULT RunCodecGuarded(const DecodeThreadContext* context, const bool& rawCodec, const wchar_t* path, Call&& call)
{
    using Callable = std::remove_reference_t<Call>;
    return RunCodecGuarded(
        context, rawCodec, path,
        [](void* data) -> HRESULT {
            try {
                return (*static_cast<Callable*>(data))();
            } catch (...) {
                return HResultFromCaughtException();
            }
        },
        const_cast<void*>(static_cast<const void*>(&call)));
}

// E_INVALIDARG for a null source or buffer, for a rectangle outside the source or with a negative
// size, for a stride shorter than the rectangle's row of the source's pixel format and for a
// buffer shorter than stride times height; WicValueOverflow when stride times height does
// not fit 32 bits; else the result of source->CopyPixels, run under the guard above. No byte is
// written before the checks pass.
HRESULT GuardedCopyPixels(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path,
                          IWICBitmapSource* source, const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer);
