#pragma once
// The one place where a codec's own code writes the decoded pixels; a codec that faults there
// must not take the viewer down silently or leave a half-made image behind.
#include <windows.h>
#include <wincodec.h>

class DecodeThreadContext;

// Faults seen inside GuardedCopyPixels since the process started; only ever incremented, interlocked.
extern volatile LONG CodecCrashCount;

// E_INVALIDARG for a null source, else the result of source->CopyPixels. When the codec faults, the
// first fault in the process tells the user which file did it and ends the process with 0xFFFFFFFF;
// a later fault ends only the calling thread. The result after a fault (seen only where those two
// endings are replaced) is HRESULT_FROM_WIN32(ERROR_UNHANDLED_EXCEPTION).
HRESULT GuardedCopyPixels(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path,
                          IWICBitmapSource* source, const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer);
