#include "Viewer/imaging/SiblingPath.h"
#include "Framework/HResultError.h"
#include <objbase.h>
#include <cwchar>

std::wstring MakeSiblingPath(const std::wstring& path)
{
    GUID guid{};
    ThrowIfFailed(CoCreateGuid(&guid));
    wchar_t digits[16];
    swprintf(digits, 16, L".%02X%02X%02X%02X%02X%02X%X", guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
             guid.Data4[6], guid.Data4[7], guid.Data2 & 0xF);
    return path + digits;
}
