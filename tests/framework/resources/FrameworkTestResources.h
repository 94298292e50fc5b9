#pragma once
// Ids of the framework tests' resource-only library.
#define IDD_TEST_DIALOG 200
#define IDC_TEST_EDIT 1001
#define IDS_TEST_STRING 300
#define IDR_TEST_FRAME 400
#define ID_TEST_COMMAND 40001
