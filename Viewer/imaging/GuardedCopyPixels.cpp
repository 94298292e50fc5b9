#include "Viewer/imaging/GuardedCopyPixels.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/imaging/PixelFormatBits.h"
#include <shlwapi.h>
#include <cstdint>

volatile LONG CodecCrashCount = 0;

// ERROR_UNHANDLED_EXCEPTION, which mingw-w64's winerror.h lacks.
const HRESULT CodecFaultResult = HRESULT_FROM_WIN32(574);

namespace {
// g++ cannot catch a fault with try/catch, so a vectored handler sends the faulting thread back to
// the point it armed before calling into the codec. The jump happens after the exception dispatch
// has finished (the handler only rewrites the thread's context), so no dispatcher frame is skipped.
struct RecoveryPoint {
    void* jumpBuffer[5];  // __builtin_setjmp's layout
};

// The slot of the innermost armed recovery point of each thread; null on threads that are not in a
// guard. Win32 TLS because the handler runs for every exception of every thread and must never allocate.
DWORD RecoverySlot()
{
    static const DWORD slot = TlsAlloc();
    return slot;
}

[[noreturn]] void ResumeAtRecoveryPoint(RecoveryPoint* point)
{
    __builtin_longjmp(point->jumpBuffer, 1);
}

// Only the processor's faults count. A vectored handler sees every exception first, also those a
// codec raises and catches itself (C++ exceptions of codecs built with other compilers, debugger
// notices), and those must pass by untouched.
bool IsFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_NONCONTINUABLE_EXCEPTION:
        return true;
    default:
        return false;
    }
}

LONG CALLBACK SendFaultToRecoveryPoint(EXCEPTION_POINTERS* exception)
{
    const DWORD lastError = GetLastError();
    auto* point = static_cast<RecoveryPoint*>(TlsGetValue(RecoverySlot()));
    SetLastError(lastError);
    if (!point || !IsFault(exception->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;

    CONTEXT* registers = exception->ContextRecord;
    // A frame just below the faulting one, aligned as at a function's entry: the abandoned frames may
    // be overwritten, and a thread that overflowed its stack has little room left below.
    registers->Rsp = ((registers->Rsp - 64) & ~DWORD64(15)) - 8;
    registers->Rip = reinterpret_cast<DWORD64>(&ResumeAtRecoveryPoint);
    registers->Rcx = reinterpret_cast<DWORD64>(point);
    return EXCEPTION_CONTINUE_EXECUTION;
}

void InstallFaultHandlerOnce()
{
    static const PVOID handler = AddVectoredExceptionHandler(1, SendFaultToRecoveryPoint);
    (void)handler;
}

// True when the call ran to its end; false when it faulted and the thread came back here. The
// recovery point of an enclosing guard is armed again either way.
__attribute__((noinline)) bool CallUnderRecoveryPoint(HRESULT (*call)(void*), void* data, HRESULT* result)
{
    RecoveryPoint point;
    void* volatile const enclosing = TlsGetValue(RecoverySlot());
    if (__builtin_setjmp(point.jumpBuffer)) {
        TlsSetValue(RecoverySlot(), enclosing);
        return false;
    }
    TlsSetValue(RecoverySlot(), &point);
    *result = call(data);
    TlsSetValue(RecoverySlot(), enclosing);
    return true;
}

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
    InstallFaultHandlerOnce();
    HRESULT result = E_FAIL;
    if (CallUnderRecoveryPoint(call, data, &result)) return result;

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
