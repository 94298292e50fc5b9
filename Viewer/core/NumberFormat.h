#pragma once
// Whole numbers in the digit grouping of a locale ("6000" -> "6,000" in English).
#include <windows.h>
#include <string>

// One per user of FormatNumber: the owner sets the locale; the first format fills the rest from
// that locale and keeps it. Not to be formatted through from two threads at once.
struct NumberFormatRecord {
    LCID locale = LOCALE_USER_DEFAULT;
    // The fields of NUMBERFMT, in its order.
    UINT numDigits = 0;
    UINT leadingZero = 0;
    UINT grouping = 0;
    std::wstring decimalSep;
    std::wstring thousandSep;
    UINT negativeOrder = 0;
    bool loaded = false;
};

enum class NumberKind : int { Signed64 = 0, Unsigned64 = 1, Double = 2 };

// value points to an INT64, UINT64 or double as kind says; capacity is 1 to 32767 characters.
// Every kind comes out without decimals (a double is rounded). On any failure after the argument
// checks the buffer holds an empty text.
HRESULT FormatNumber(NumberFormatRecord& record, const void* value, NumberKind kind, wchar_t* buffer,
                     int capacity) noexcept;
