#include "Viewer/core/Trim.h"
#include <gtest/gtest.h>
#include <string>

namespace {
struct TrimCase {
    const wchar_t* input;
    bool removeInner;
    const wchar_t* expected;
};

void PrintTo(const TrimCase& c, std::ostream* out)
{
    *out << testing::PrintToString(std::wstring(c.input)) << (c.removeInner ? " inner" : "");
}

class TrimTable : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimTable, TrimsInPlace)
{
    std::wstring text = GetParam().input;
    EXPECT_EQ(S_OK, Trim(text.data(), GetParam().removeInner));
    EXPECT_EQ(std::wstring(GetParam().expected), text.c_str());
}

INSTANTIATE_TEST_SUITE_P(Cases, TrimTable,
                         testing::Values(TrimCase{L"  a b\tc  ", true, L"abc"},
                                         TrimCase{L"  a b\tc  ", false, L"a b\tc"},
                                         TrimCase{L"a \t \r\n b", true, L"ab"},  // a run goes, not one space
                                         TrimCase{L"\t\r\n\v\f x", false, L"x"},
                                         TrimCase{L"   ", false, L""},
                                         TrimCase{L"   ", true, L""},
                                         TrimCase{L"", true, L""},
                                         TrimCase{L"abc", true, L"abc"},
                                         TrimCase{L"\x3000wide\x3000", false, L"wide"}));  // ideographic space

TEST(Trim, EachSideAloneAndNullText)
{
    std::wstring left = L"  x  ", right = L"  x  ";
    EXPECT_EQ(S_OK, TrimLeft(left.data()));
    EXPECT_EQ(std::wstring(L"x  "), left.c_str());
    EXPECT_EQ(S_OK, TrimRight(right.data()));
    EXPECT_EQ(std::wstring(L"  x"), right.c_str());

    EXPECT_EQ(S_OK, TrimLeft(nullptr));
    EXPECT_EQ(S_OK, TrimRight(nullptr));
    EXPECT_EQ(S_OK, Trim(nullptr, true));
}
}
