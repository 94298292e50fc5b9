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
