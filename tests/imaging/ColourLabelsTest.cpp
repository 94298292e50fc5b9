#include "Viewer/imaging/ColourLabels.h"
#include "Viewer/core/AppSettings.h"
#include <gtest/gtest.h>
#include <string>

namespace {
// Sets the labelling convention that ParseLabelName reads, and puts the old one back.
class ScopedConvention {
public:
    explicit ScopedConvention(DWORD convention) : m_old(AppSettings::LabellingConvention)
    {
        AppSettings::LabellingConvention = convention;
    }
    ~ScopedConvention() { AppSettings::LabellingConvention = m_old; }

private:
    DWORD m_old;
};

struct ParseCase {
    const wchar_t* text;
    int expected[3];  // under conventions 0, 1, 2
};

const ParseCase ParseCases[] = {
    {nullptr, {-1, -1, -1}},      {L"", {-1, -1, -1}},          {L"7", {-1, 7, 7}},
    {L"5", {5, 5, 5}},            {L"3 stars", {3, 3, 3}},      {L"12", {-1, -1, -1}},
    {L"0", {-1, -1, -1}},         {L"red", {1, 1, 1}},          {L"YELLOW", {2, 3, 7}},
    {L"Green", {3, 4, 2}},        {L"Blue", {4, 6, 3}},         {L"Purple", {5, 7, -1}},
    {L"Orange", {-1, 2, 6}},      {L"Cyan", {-1, 5, 8}},        {L"Magenta", {-1, 8, 5}},
    {L"Pink", {-1, 9, -1}},       {L"Brown", {-1, -1, 4}},      {L"grey", {-1, -1, 9}},
    {L"Gray", {-1, -1, 9}},       {L"Select", {1, 1, 1}},       {L"second", {2, 2, 2}},
    {L"Approved", {3, 3, 3}},     {L"Review", {4, 4, 4}},       {L"to do", {5, 5, 5}},
    {L"Red ", {-1, -1, -1}},      {L"Violet", {-1, -1, -1}},
};
}

TEST(ColourLabels, NamesByConventionAndNumber)
{
    const wchar_t* expected[3][11] = {
        {L"", L"Red", L"Yellow", L"Green", L"Blue", L"Purple", L"", L"", L"", L"", L""},
        {L"", L"Red", L"Orange", L"Yellow", L"Green", L"Cyan", L"Blue", L"Purple", L"Magenta", L"Pink", L""},
        {L"", L"Red", L"Green", L"Blue", L"Brown", L"Magenta", L"Orange", L"Yellow", L"Cyan", L"Gray", L""},
    };
    for (int convention = 0; convention < 3; ++convention) {
        for (int number = 0; number <= 10; ++number) {
            EXPECT_STREQ(expected[convention][number], GetLabelName(number, convention))
                << "convention " << convention << " number " << number;
        }
    }
    EXPECT_STREQ(L"Yellow", GetLabelName(2, 7)) << "an unknown convention is convention 0";
    EXPECT_STREQ(L"", GetLabelName(-1, 1));
}

TEST(ColourLabels, ParsesNamesAndDigitsUnderEachConvention)
{
    for (int convention = 0; convention < 3; ++convention) {
        ScopedConvention scoped(convention);
        for (const ParseCase& c : ParseCases) {
            EXPECT_EQ(c.expected[convention], ParseLabelName(c.text))
                << "convention " << convention << " text " << (c.text ? std::wstring(c.text) : L"(null)");
        }
    }
}

TEST(ColourLabels, NameWrittenUnderOneConventionReadsBackByName)
{
    for (int convention = 0; convention < 3; ++convention) {
        ScopedConvention scoped(convention);
        for (int number = 1; number <= 9; ++number) {
            const wchar_t* name = GetLabelName(number, convention);
            if (*name) {
                EXPECT_EQ(number, ParseLabelName(name)) << convention << " " << number;
            }
        }
    }
    const wchar_t* cyan = GetLabelName(5, 1);
    ScopedConvention two(2);
    EXPECT_EQ(8, ParseLabelName(cyan));
    AppSettings::LabellingConvention = 0;
    EXPECT_EQ(-1, ParseLabelName(cyan));
}

TEST(ColourLabels, RangeChecksReturnTheValueItself)
{
    struct { int n; int five; int nine; } cases[] = {
        {0, -1, -1}, {1, 1, 1}, {3, 3, 3}, {5, 5, 5}, {6, -1, 6}, {9, -1, 9}, {10, -1, -1},
        {-1, -1, -1}, {0x10003, 3, 3},  // taken as 16 bits
    };
    for (auto& c : cases) {
        EXPECT_EQ(c.five, IsValidLabelIndex5(c.n)) << c.n;
        EXPECT_EQ(c.nine, IsValidLabelIndex9(c.n)) << c.n;
        EXPECT_EQ(c.five, IsValidLabelIndex(c.n, 0)) << c.n;
        EXPECT_EQ(c.nine, IsValidLabelIndex(c.n, 1)) << c.n;
    }
}
