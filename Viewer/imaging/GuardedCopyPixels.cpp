#include "Viewer/imaging/GuardedCopyPixels.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/DecodeThreadContext.h"
#include <shlwapi.h>

volatile LONG CodecCrashCount = 0;

namespace {
// ERROR_UNHANDLED_EXCEPTION, which mingw-w64's winerror.h lacks.
constexpr DWORD ErrorUnhandledException = 574;

// g++ cannot catch a fault with try/catch, so a vectored handler sends the faulting thread back to
// the point it armed before calling into the codec. The jump happens after the exception dispatch
// has finished (the handler only rewrites the thread's context), so no dispatcher frame is skipped.
struct RecoveryPoint {
    void* jumpBuffer[5];  // __builtin_setjmp's layout
};

// The slot of the armed recovery point of each thread; null on threads that are not in a guard.
// Win32 TLS because the handler runs for every exception of every thread and must never allocate.
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

// True when the copy ran to its end; false when the codec faulted and the thread came back here.
__attribute__((noinline)) bool CopyUnderRecoveryPoint(IWICBitmapSource* source, const WICRect* rect, UINT stride,
                                                      UINT bufferSize, BYTE* buffer, HRESULT* result)
{
    RecoveryPoint point;
    if (__builtin_setjmp(point.jumpBuffer)) {
        TlsSetValue(RecoverySlot(), nullptr);
        return false;
    }
    TlsSetValue(RecoverySlot(), &point);
    *result = source->CopyPixels(rect, stride, bufferSize, buffer);
    TlsSetValue(RecoverySlot(), nullptr);
    return true;
}

void TellUserOfCodecCrash(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path)
{
    wchar_t text[2048] = L"";
    // wnsprintfW reads "%s" as a wide string, the form the language library's message uses.
    wnsprintfW(text, ARRAYSIZE(text), context->CrashMessage(), path);
    StrCatBuffW(text, rawCodec ? context->CrashRawCodecEnding() : context->CrashGeneralEnding(), ARRAYSIZE(text));
    ShowMessageBox(GetActiveWindow(), text, context->CrashCaption(), MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST);
}
}

HRESULT GuardedCopyPixels(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path,
                          IWICBitmapSource* source, const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    if (!source) return E_INVALIDARG;
    InstallFaultHandlerOnce();
    HRESULT result = E_FAIL;
    if (CopyUnderRecoveryPoint(source, rect, stride, bufferSize, buffer, &result)) return result;

    if (InterlockedIncrement(&CodecCrashCount) == 1) {
        TellUserOfCodecCrash(context, rawCodec, path);
        EndProcess(0xFFFFFFFF);
    } else {
        EndCurrentThread(0xFFFFFFFF);
    }
    return HRESULT_FROM_WIN32(ErrorUnhandledException);
}
