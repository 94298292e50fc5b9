#pragma once
// The options dialog's read-only view of the action plug-ins found at start: one row each, and the
// selected one's description, author, hot key and enabled state. Nothing on the page can be changed.
#include "Viewer/core/ActionPlugInHost.h"
#include <windows.h>
#include <string>
#include <vector>

// The record's display name or version, or "N/A" when it has none.
std::wstring GetPlugInDisplayName(const ActionPlugInRecord& record);
std::wstring GetPlugInVersion(const ActionPlugInRecord& record);

// Sets up the list and fills one row per record; selecting the first row fills the details.
void FillPlugInsPage(HWND page, const std::vector<ActionPlugInRecord>& plugIns);
// Shows the details of the selected row's record (or "N/A" without one) and leaves the page read-only.
void ShowSelectedPlugIn(HWND page, const std::vector<ActionPlugInRecord>& plugIns);

enum PlugInsPageControl : WORD {
    PlugInListControl = 1074,
    PlugInDescription = 1075,
    PlugInAuthor = 1076,
    PlugInHotkey = 1071,
    PlugInEnabled = 1077,
    PlugInWebSite = 1078,
};
