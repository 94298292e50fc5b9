#include "Framework/FaultGuard.h"
#include <windows.h>

namespace {
// The jump happens after the exception dispatch has finished (the handler only rewrites the
// thread's context), so no dispatcher frame is skipped.
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

// Only the processor's faults count. A vectored handler sees every exception first, also those the
// foreign code raises and catches itself (C++ exceptions of code built with other compilers,
// debugger notices), and those must pass by untouched.
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
}  // namespace

__attribute__((noinline)) bool CallCatchingFaults(void (*call)(void* context), void* context) noexcept
{
    InstallFaultHandlerOnce();
    // A guard inside a guard puts the outer recovery point back when it ends.
    void* const outer = TlsGetValue(RecoverySlot());
    RecoveryPoint point;
    if (__builtin_setjmp(point.jumpBuffer)) {
        TlsSetValue(RecoverySlot(), outer);
        return false;
    }
    TlsSetValue(RecoverySlot(), &point);
    call(context);
    TlsSetValue(RecoverySlot(), outer);
    return true;
}

FaultGuardsSuspended::FaultGuardsSuspended() noexcept : m_armed(TlsGetValue(RecoverySlot()))
{
    TlsSetValue(RecoverySlot(), nullptr);
}

FaultGuardsSuspended::~FaultGuardsSuspended()
{
    TlsSetValue(RecoverySlot(), m_armed);
}
