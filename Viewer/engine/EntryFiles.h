#pragma once
// The files that make up one picture of the list: its own file, its companions of other extensions
// and its ".xmp" sidecar. Copying, moving, deleting and the clipboard all take the picture whole.
#include "Viewer/engine/ImageEntry.h"
#include <string>
#include <vector>

// Base path + "." + each extension of the entry's list, in list order, then the sidecar when one
// exists. The caller holds the owner's list lock (the extension list may grow meanwhile).
std::vector<std::wstring> EntryFilesWithSidecar(const CImageEntry& entry);
