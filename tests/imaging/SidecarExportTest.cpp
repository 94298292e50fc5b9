// Sidecars for another program to read: run by exiftool-sidecars.sh, which names the folder in
// LUMENFOLD_SIDECAR_EXPORT, gives it a sidecar written by exiftool to update, and reads all of them
// back with exiftool. Without the variable the case has nothing to do.
#include "Viewer/imaging/XmpSidecar.h"
#include "tests/support/ScopedComApartment.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

TEST(SidecarExport, WritesANewSidecarAndUpdatesOneAnotherProgramWrote)
{
    const wchar_t* folder = _wgetenv(L"LUMENFOLD_SIDECAR_EXPORT");
    if (!folder || !*folder) GTEST_SKIP() << "run by exiftool-sidecars.sh";
    const ScopedComApartment apartment;
    const std::wstring created = std::wstring(folder) + L"\\created.xmp";
    const std::wstring updated = std::wstring(folder) + L"\\updated.xmp";
    const HWND noWindow = nullptr;
    const SYSTEMTIME time{2024, 3, 2, 5, 14, 7, 9, 0};
    constexpr int kLabelConvention = 1;
    ASSERT_EQ(S_OK, CreateXmpSidecar({&noWindow, L"Lumenfold test"}, created.c_str(), 4, false, kLabelConvention, false, time));
    ASSERT_EQ(S_OK, UpdateXmpSidecar(created.c_str(), 2, true, kLabelConvention, false, time));
    ASSERT_EQ(S_OK, UpdateXmpSidecar(created.c_str(), 3, false, kLabelConvention, true, time));
    ASSERT_EQ(S_OK, UpdateXmpSidecar(updated.c_str(), 5, false, kLabelConvention, false, time));
    ASSERT_EQ(S_OK, UpdateXmpSidecar(updated.c_str(), 1, true, kLabelConvention, false, time));
}
