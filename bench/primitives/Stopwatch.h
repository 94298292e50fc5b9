#pragma once
// Times pieces of work in rounds long enough for the clock's resolution.
#include <functional>

// How many calls of work make one round of about a twentieth of a second.
long long CallsPerRound(const std::function<void()>& work);
// Seconds per call over one round of calls.
double SecondsPerCall(const std::function<void()>& work, long long calls);
