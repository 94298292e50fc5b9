#include "Viewer/imaging/TextCompare.h"
#include "Framework/Bstr.h"

bool SameText(std::wstring_view a, std::wstring_view b)
{
    Bstr left(a);
    Bstr right(b);
    return VarBstrCmp(left.Get(), right.Get(), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}
