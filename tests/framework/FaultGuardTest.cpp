#include "Framework/FaultGuard.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {
void Fault()
{
    *static_cast<volatile int*>(nullptr) = 1;
}

// A raised access violation, which a handler may continue, stands for a fault that the guards must
// let pass: the last vectored handler counts it and lets RaiseException return.
LONG PassedFaults = 0;
constexpr ULONG_PTR RaisedMark = 0x4C554D45;

void RaiseFault()
{
    const ULONG_PTR mark = RaisedMark;
    RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 1, &mark);
}

LONG CALLBACK ContinueRaisedFault(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters != 1 ||
        record.ExceptionInformation[0] != RaisedMark)
        return EXCEPTION_CONTINUE_SEARCH;
    ++PassedFaults;
    return EXCEPTION_CONTINUE_EXECUTION;
}
}

TEST(FaultGuard, AFaultEndsOnlyTheGuardAroundIt)
{
    bool afterInner = false;
    const bool outer = RunCatchingFaults([&] {
        EXPECT_FALSE(RunCatchingFaults([] { Fault(); }));
        afterInner = true;
    });
    EXPECT_TRUE(outer);
    EXPECT_TRUE(afterInner);
    EXPECT_FALSE(RunCatchingFaults([] {
        EXPECT_TRUE(RunCatchingFaults([] {}));
        Fault();  // the outer guard is armed again once the inner one has returned
    }));
}

TEST(FaultGuard, SuspendedGuardsLetAFaultPassAndArmAgainAfterwards)
{
    const PVOID handler = AddVectoredExceptionHandler(0, ContinueRaisedFault);
    PassedFaults = 0;
    bool guardedAgain = false;
    const bool outer = RunCatchingFaults([&] {
        {
            const FaultGuardsSuspended ending;
            RaiseFault();
            // A guard inside the suspension still catches its own call's faults.
            EXPECT_FALSE(RunCatchingFaults([] { Fault(); }));
            RaiseFault();
        }
        guardedAgain = !RunCatchingFaults([] { RaiseFault(); });
    });
    RemoveVectoredExceptionHandler(handler);
    EXPECT_TRUE(outer) << "a fault under the suspension resumed at the outer guard";
    EXPECT_EQ(2, PassedFaults);
    EXPECT_TRUE(guardedAgain);
}
