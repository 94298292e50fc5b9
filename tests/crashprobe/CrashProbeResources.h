#pragma once
// What the probe's resources hold, for the tests that read them.
#define PROBE_VERSION_MAJOR 4
#define PROBE_VERSION_MINOR 2
#define PROBE_VERSION_BUILD 17
#define PROBE_VERSION_REVISION 3
#define PROBE_COMPANY "Probe Works"
#define PROBE_PRODUCT "Crash Probe"
#define PROBE_DESCRIPTION "Faults on purpose"
