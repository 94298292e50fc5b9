#pragma once
// Fresh memory that is about to be written in full: its pages are made present in one call instead of
// one page fault at a time. Each fault is a trip into the system, and where faults are dear (a virtual
// machine) the first touch of a camera picture's target costs about as much as decoding it.
#include <cstddef>

// True when the pages of the range were made present at once; false when the system refused (a lock
// quota, for one): the pages then arrive one fault at a time as before, and nothing else changes.
bool CommitPagesAtOnce(void* start, size_t bytes) noexcept;
