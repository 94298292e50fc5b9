#pragma once
// Starts editor number `editor` of the user's list on file number `file` of the picture shown. The
// editor is read back from the registry at every launch, so a change made in the editors window
// applies at once. The shell starts it with the file's path as its one quoted argument; the
// viewer's working set is then trimmed four times over three seconds, while the editor loads.
#include "Framework/WorkerThread.h"

class CImageEntry;

// Starts it on the picture `entry` (the current one). False, after one MB_ICONHAND beep and with
// nothing started, when there is no picture, the picture has fewer files, or the editor's key or
// path is missing. trimmer runs the trimming; a trimming
// still running from an earlier launch is left to finish.
bool LaunchExternalEditor(const CImageEntry* entry, unsigned editor, unsigned file, WorkerThread& trimmer);
