#pragma once
// How far the program had got: every thread stores the number of the step it is about to run, and
// only the crash report ever reads it. Atomic so that the report never sees a torn value; a
// lock-free double on x64, so setting it from any thread costs next to nothing.
#include <atomic>

inline std::atomic<double> LastActivityCode{0.0};
