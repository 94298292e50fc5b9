#include "Framework/HResultError.h"
#include <gtest/gtest.h>

TEST(HResultFromLastError, WrapsWin32ErrorsKeepsHResultsAndNeverReportsSuccess)
{
    struct Case {
        DWORD lastError;
        HRESULT expected;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)},
        {ERROR_INVALID_PARAMETER, static_cast<HRESULT>(0x80070057)},
        {static_cast<DWORD>(E_OUTOFMEMORY), E_OUTOFMEMORY},  // already an HRESULT
        {0, E_FAIL},                                         // a failure without a code is still one
    };
    for (const Case& c : cases) {
        SetLastError(c.lastError);
        EXPECT_EQ(c.expected, HResultFromLastError()) << c.lastError;
    }
}
