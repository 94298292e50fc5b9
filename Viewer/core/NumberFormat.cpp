#include "Viewer/core/NumberFormat.h"
#include <cwchar>
#include <iterator>
#include <string>
#include "Framework/HResultError.h"

namespace {
constexpr int MaxCapacity = 32767;

// The pseudo-locales that stand for the user's or system's choice rather than one language.
bool IsLocalePlaceholder(LCID locale) noexcept
{
    switch (locale) {
    case 0:
    case LOCALE_INVARIANT:
    case LOCALE_USER_DEFAULT:
    case LOCALE_SYSTEM_DEFAULT:
    case 3072:
    case 4096:
    case 5120:
        return true;
    default:
        return false;
    }
}

std::wstring ReadLocaleText(LCID locale, LCTYPE item)
{
    wchar_t text[16]{};
    ThrowLastErrorIf(!GetLocaleInfoW(locale, item, text, 16));
    return text;
}

// The leading decimal number of a locale text: "3;0" gives 3.
UINT ReadLocaleNumber(LCID locale, LCTYPE item)
{
    return static_cast<UINT>(std::wcstoul(ReadLocaleText(locale, item).c_str(), nullptr, 10));
}

void LoadRecord(NumberFormatRecord& record)
{
    if (!IsLocalePlaceholder(record.locale) && !IsValidLocale(record.locale, LCID_SUPPORTED)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        ThrowLastErrorIf(true);
    }
    record.decimalSep = ReadLocaleText(record.locale, LOCALE_SDECIMAL);
    record.thousandSep = ReadLocaleText(record.locale, LOCALE_STHOUSAND);
    record.leadingZero = ReadLocaleNumber(record.locale, LOCALE_ILZERO);
    record.grouping = ReadLocaleNumber(record.locale, LOCALE_SGROUPING);
    record.negativeOrder = ReadLocaleNumber(record.locale, LOCALE_INEGNUMBER);
    record.numDigits = ReadLocaleNumber(record.locale, LOCALE_IDIGITS);
    record.loaded = true;
}

// The value as plain digits, without grouping; a double rounded to a whole number. The C runtime's
// bounded print cuts a long number without saying so, so the digits are made in a buffer that holds
// any value (a double prints up to 309 digits) and measured against the caller's capacity.
std::wstring PrintPlain(const void* value, NumberKind kind, int capacity)
{
    wchar_t digits[352] = L"";
    int written = -1;
    switch (kind) {
    case NumberKind::Signed64:
        written = std::swprintf(digits, std::size(digits), L"%lld", *static_cast<const long long*>(value));
        break;
    case NumberKind::Unsigned64:
        written = std::swprintf(digits, std::size(digits), L"%llu", *static_cast<const unsigned long long*>(value));
        break;
    case NumberKind::Double:
        written = std::swprintf(digits, std::size(digits), L"%.0f", *static_cast<const double*>(value));
        break;
    }
    const size_t length = wcsnlen(digits, std::size(digits));
    if (written < 0 || length + 1 > size_t(capacity)) throw HResultError(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    return std::wstring(digits, length);
}
}

HRESULT FormatNumber(NumberFormatRecord& record, const void* value, NumberKind kind, wchar_t* buffer,
                     int capacity) noexcept
{
    if (!value || !buffer || capacity < 1 || capacity > MaxCapacity || static_cast<int>(kind) < 0 ||
        static_cast<int>(kind) > 2)
        return E_INVALIDARG;
    buffer[0] = L'\0';
    HRESULT hr = CatchAsHResult([&] {
        if (!record.loaded) LoadRecord(record);
        const std::wstring digits = PrintPlain(value, kind, capacity);
        NUMBERFMTW format{0, record.leadingZero, record.grouping, record.decimalSep.data(),
                          record.thousandSep.data(), record.negativeOrder};
        if (!GetNumberFormatW(record.locale, 0, digits.c_str(), &format, buffer, capacity))
            return HResultFromLastError();
        return S_OK;
    });
    if (FAILED(hr)) buffer[0] = L'\0';
    return hr;
}
