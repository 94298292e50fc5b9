#pragma once
// The start-mode switches of the command line: a slideshow, track mode or device mode to begin once
// the window is up. Device mode wins over track mode, which wins over the slideshow.
#include "Viewer/core/CommandLine.h"

// Sets StartModes from the switches; "a*utoMode" with a value also sets the slideshow interval
// (at least 10 ms) for this run.
void ReadStartModeSwitches(CommandLine& commandLine);
