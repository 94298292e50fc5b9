#pragma once
// TEST-ONLY hooks for the end-to-end tests, which start the real program. They are switched on by
// the environment the test gives the program; without those variables nothing here has any effect.
//
//   LUMENFOLD_TEST_SETTINGS_KEY  a key path below HKEY_CURRENT_USER that stands in for the whole of
//                                HKEY_CURRENT_USER, so the program never touches the real settings.
//   LUMENFOLD_TEST_LOG           a file to which the program appends one line per event: every message
//                                box, modal dialog and beep (each answered at once with IDOK, so
//                                nothing waits for a user) and what RecordForTest reports.
//   LUMENFOLD_TEST_USER_NAME     the user name the single-instance rule sees, so that a test's viewers
//                                meet only each other. (Under Wine the user name comes from the
//                                process's WINEUSERNAME variable, which a starting process cannot
//                                hand down; the hook sets it inside the program.)
//   LUMENFOLD_TEST_UPDATE_FEED   the update feed's address, served by the test on 127.0.0.1.
#include <string>
#include <string_view>

// Called first thing by the process entry.
void InstallProcessTestHooks();

// The update feed the test serves, else feed.
std::wstring UpdateFeedAddress(std::wstring_view feed);

// One line "<what>\t<text>" in the test log (UTF-8) when there is one.
void RecordForTest(std::wstring_view what, std::wstring_view text);
