// A stand-in dbghelp.dll whose dump writer starts a dump and then fails, as a full disk or a
// process too damaged to walk would make the real one fail. A copy of the crash probe loads it
// instead of the platform's, so the crash handler's handling of a failed dump can be seen.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI MiniDumpWriteDump(HANDLE, DWORD, HANDLE file, int, void*, void*, void*)
{
    const char partial[] = "MDMP partial";
    DWORD written = 0;
    WriteFile(file, partial, sizeof(partial), &written, nullptr);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
