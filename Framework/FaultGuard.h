#pragma once
// Calls into foreign code (a codec, a plug-in) that may fault. g++ cannot catch a processor fault
// with try/catch, so a vectored exception handler sends a thread that faults inside a guarded call
// back to the recovery point the guard armed before the call. Objects that the abandoned frames
// held are not destroyed: the caller treats the foreign object as lost.
#include <utility>

// Runs call(context); true when it returned, false when it faulted.
bool CallCatchingFaults(void (*call)(void* context), void* context) noexcept;

template <class Call>
bool RunCatchingFaults(Call&& call) noexcept
{
    return CallCatchingFaults([](void* context) { (*static_cast<std::remove_reference_t<Call>*>(context))(); },
                              &call);
}

// Suspends the calling thread's guards for its lifetime. The ending after a fault (a message, the
// end of the process) runs inside the guards of the calls that enclose the faulting one; a fault of
// its own there (on a heap the foreign code damaged) must not be taken for a second foreign fault
// and resumed at an outer recovery point, where the ending would be skipped.
class FaultGuardsSuspended {
public:
    FaultGuardsSuspended() noexcept;
    ~FaultGuardsSuspended();
    FaultGuardsSuspended(const FaultGuardsSuspended&) = delete;
    FaultGuardsSuspended& operator=(const FaultGuardsSuspended&) = delete;

private:
    void* m_armed;
};
