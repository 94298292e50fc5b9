#include "bench/primitives/Stopwatch.h"
#include <algorithm>
#include <windows.h>

namespace
{
constexpr double RoundSeconds = 0.05;

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double SecondsFor(const std::function<void()>& work, long long calls)
{
    const double start = Now();
    for (long long i = 0; i < calls; ++i)
        work();
    return Now() - start;
}
}

long long CallsPerRound(const std::function<void()>& work)
{
    long long calls = 1;
    for (double seconds = SecondsFor(work, calls); seconds < RoundSeconds; seconds = SecondsFor(work, calls))
        calls *= seconds > 0 ? std::clamp(static_cast<long long>(RoundSeconds / seconds) + 1, 2LL, 100LL) : 100;
    return calls;
}

double SecondsPerCall(const std::function<void()>& work, long long calls)
{
    return SecondsFor(work, calls) / static_cast<double>(calls);
}
