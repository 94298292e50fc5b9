// keepcopyprobe <source> <target> copy|move: one keep-copy job; the exit code is its Win32 error.
#include "Viewer/engine/KeepCopyFiles.h"
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) return ERROR_BAD_ARGUMENTS;
    return static_cast<int>(CopyOrMoveFile(argv[1], argv[2], std::wcscmp(argv[3], L"move") == 0));
}
