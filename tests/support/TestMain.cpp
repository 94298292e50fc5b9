// Entry of every test program.
#include <gmock/gmock.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    // A crash must end the test with a status, never open an error box that waits for a user.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
