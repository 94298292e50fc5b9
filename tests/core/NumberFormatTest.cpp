#include "Viewer/core/NumberFormat.h"
#include <gtest/gtest.h>
#include <string>

namespace {
constexpr LCID EnglishUnitedStates = 0x0409;
constexpr LCID German = 0x0407;

std::wstring Format(LCID locale, const void* value, NumberKind kind, int capacity = 32)
{
    NumberFormatRecord record;
    record.locale = locale;
    wchar_t buffer[64] = L"unchanged";
    HRESULT hr = FormatNumber(record, value, kind, buffer, capacity);
    EXPECT_EQ(S_OK, hr);
    return buffer;
}

TEST(FormatNumber, WholeNumbersInTheLocalesGrouping)
{
    const long long minusFive = -5, sixThousand = 6000, zero = 0;
    const unsigned long long largest = ~0ull;
    const double roundsUp = 1234.6, roundsDown = 999999.4;
    EXPECT_EQ(L"1,235", Format(EnglishUnitedStates, &roundsUp, NumberKind::Double));
    EXPECT_EQ(L"999,999", Format(EnglishUnitedStates, &roundsDown, NumberKind::Double));
    EXPECT_EQ(L"-5", Format(EnglishUnitedStates, &minusFive, NumberKind::Signed64));
    EXPECT_EQ(L"6,000", Format(EnglishUnitedStates, &sixThousand, NumberKind::Signed64));
    EXPECT_EQ(L"0", Format(EnglishUnitedStates, &zero, NumberKind::Signed64));
    EXPECT_EQ(L"18,446,744,073,709,551,615", Format(EnglishUnitedStates, &largest, NumberKind::Unsigned64));
    EXPECT_EQ(L"6.000", Format(German, &sixThousand, NumberKind::Signed64));
    EXPECT_EQ(L"1.235", Format(German, &roundsUp, NumberKind::Double)) << "no decimals in any locale";
}

TEST(FormatNumber, LoadsTheRecordOnceFromItsLocale)
{
    NumberFormatRecord record;
    record.locale = German;
    const long long value = 1234567;
    wchar_t buffer[32];
    ASSERT_EQ(S_OK, FormatNumber(record, &value, NumberKind::Signed64, buffer, 32));
    EXPECT_TRUE(record.loaded);
    EXPECT_EQ(L",", record.decimalSep);
    EXPECT_EQ(L".", record.thousandSep);
    EXPECT_EQ(3u, record.grouping);

    record.thousandSep = L"'";  // a loaded record is used as it stands
    record.negativeOrder = 0;   // parentheses
    const long long negative = -value;
    ASSERT_EQ(S_OK, FormatNumber(record, &negative, NumberKind::Signed64, buffer, 32));
    EXPECT_STREQ(L"(1'234'567)", buffer);
}

TEST(FormatNumber, PlaceholderLocalesNeedNoValidation)
{
    const long long value = 42;
    EXPECT_EQ(L"42", Format(LOCALE_USER_DEFAULT, &value, NumberKind::Signed64));
    EXPECT_EQ(L"42", Format(LOCALE_SYSTEM_DEFAULT, &value, NumberKind::Signed64));
}

struct BadArguments {
    bool nullValue;
    bool nullBuffer;
    int capacity;
    int kind;
};

void PrintTo(const BadArguments& c, std::ostream* out)
{
    *out << "value " << !c.nullValue << ", buffer " << !c.nullBuffer << ", capacity " << c.capacity << ", kind " << c.kind;
}

class FormatNumberRefuses : public testing::TestWithParam<BadArguments> {};

TEST_P(FormatNumberRefuses, WithInvalidArgument)
{
    NumberFormatRecord record;
    record.locale = EnglishUnitedStates;
    const long long value = 1;
    wchar_t buffer[8] = L"x";
    const BadArguments& bad = GetParam();
    EXPECT_EQ(E_INVALIDARG, FormatNumber(record, bad.nullValue ? nullptr : &value, static_cast<NumberKind>(bad.kind),
                                         bad.nullBuffer ? nullptr : buffer, bad.capacity));
    EXPECT_FALSE(record.loaded);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatNumberRefuses,
                         testing::Values(BadArguments{true, false, 8, 0}, BadArguments{false, true, 8, 0},
                                         BadArguments{false, false, 0, 0}, BadArguments{false, false, 32768, 0},
                                         BadArguments{false, false, -1, 0}, BadArguments{false, false, 8, 3},
                                         BadArguments{false, false, 8, -1}));

TEST(FormatNumber, FailuresLeaveAnEmptyText)
{
    const long long value = 1234567;
    wchar_t buffer[32] = L"unchanged";

    NumberFormatRecord unknown;
    unknown.locale = 0x7FFF;  // no such locale
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER),
              FormatNumber(unknown, &value, NumberKind::Signed64, buffer, 32));
    EXPECT_STREQ(L"", buffer);

    // Too small a buffer fails rather than cutting the number: 12345 cut to "123" would format and fit in 4.
    struct TooSmall {
        long long value;
        int capacity;
    };
    for (const TooSmall& c : {TooSmall{1234567, 5}, TooSmall{12345, 4}, TooSmall{12345, 6}}) {
        NumberFormatRecord english;
        english.locale = EnglishUnitedStates;
        wcscpy(buffer, L"unchanged");
        EXPECT_TRUE(FAILED(FormatNumber(english, &c.value, NumberKind::Signed64, buffer, c.capacity)))
            << c.value << " in " << c.capacity;
        EXPECT_STREQ(L"", buffer);
    }
}
}
