#include "Viewer/imaging/GuardedCopyPixels.h"
#include "Framework/FaultGuard.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/imaging/PixelFormatBits.h"
#include <shlwapi.h>
#include <cstdint>

volatile LONG CodecCrashCount = 0;

// ERROR_UNHANDLED_EXCEPTION, which mingw-w64's winerror.h lacks.
const HRESULT CodecFaultResult = HRESULT_FROM_WIN32(574);

namespace {
void TellUserOfCodecCrash(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path)
{
    if (!context) return;  // no texts to tell it with
    wchar_t text[2048] = L"";
    // wnsprintfW reads "%s" as a wide string, the form the language library's message uses.
    wnsprintfW(text, ARRAYSIZE(text), context->CrashMessage(), path);
    StrCatBuffW(text, rawCodec ? context->CrashRawCodecEnding() : context->CrashGeneralEnding(), ARRAYSIZE(text));
    ShowMessageBox(GetActiveWindow(), text, context->CrashCaption(), MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST);
}

struct CopyRequest {
    IWICBitmapSource* source;
    const WICRect* rect;
    UINT stride;
    UINT bufferSize;
    BYTE* buffer;
};

// A codec trusts the rectangle, stride and size it is given, and a wrong one makes it write past
// the buffer; so they are checked against the source before it is asked to write a byte.
HRESULT CheckCopyRequest(const CopyRequest& request)
{
    if (!request.buffer) return E_INVALIDARG;
    UINT width = 0, height = 0;
    if (HRESULT hr = request.source->GetSize(&width, &height); FAILED(hr)) return hr;
    if (width > INT_MAX || height > INT_MAX) return WicValueOverflow;
    const WICRect whole = {0, 0, INT(width), INT(height)};
    const WICRect& rect = request.rect ? *request.rect : whole;
    if (rect.X < 0 || rect.Y < 0 || rect.Width < 0 || rect.Height < 0 ||
        int64_t(rect.X) + rect.Width > int64_t(width) || int64_t(rect.Y) + rect.Height > int64_t(height))
        return E_INVALIDARG;
    WICPixelFormatGUID format = {};
    UINT bits = 0;
    if (HRESULT hr = request.source->GetPixelFormat(&format); FAILED(hr)) return hr;
    if (HRESULT hr = GetPixelFormatBitsPerPixel(format, &bits); FAILED(hr)) return hr;
    const uint64_t rowBytes = (uint64_t(rect.Width) * bits + 7) / 8;
    const uint64_t bytes = uint64_t(request.stride) * uint64_t(rect.Height);
    if (bytes > UINT32_MAX) return WicValueOverflow;
    if (request.stride < rowBytes || bytes > request.bufferSize) return E_INVALIDARG;
    return S_OK;
}
}

HRESULT RunCodecGuarded(const DecodeThreadContext* context, const bool& rawCodec, const wchar_t* path,
                        HRESULT (*call)(void*), void* data)
{
    HRESULT result = E_FAIL;
    if (RunCatchingFaults([&] { result = call(data); })) return result;

    const FaultGuardsSuspended ending;
    if (InterlockedIncrement(&CodecCrashCount) == 1) {
        TellUserOfCodecCrash(context, rawCodec, path);
        EndProcess(0xFFFFFFFF);
    } else {
        EndCurrentThread(0xFFFFFFFF);
    }
    return CodecFaultResult;
}

HRESULT GuardedCopyPixels(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path,
                          IWICBitmapSource* source, const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    if (!source) return E_INVALIDARG;
    const CopyRequest request = {source, rect, stride, bufferSize, buffer};
    return RunCodecGuarded(context, rawCodec, path, [&request]() -> HRESULT {
        if (HRESULT hr = CheckCopyRequest(request); FAILED(hr)) return hr;
        return request.source->CopyPixels(request.rect, request.stride, request.bufferSize, request.buffer);
    });
}
