#include "Viewer/core/NumberFormat.h"
#include <cwchar>
#include <vector>
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

// The value as plain digits, without grouping; a double rounded to a whole number.
void PrintPlain(const void* value, NumberKind kind, std::vector<wchar_t>& scratch)
{
    int written = -1;
    switch (kind) {
    case NumberKind::Signed64:
        written = std::swprintf(scratch.data(), scratch.size(), L"%lld", *static_cast<const long long*>(value));
        break;
    case NumberKind::Unsigned64:
        written = std::swprintf(scratch.data(), scratch.size(), L"%llu",
                                *static_cast<const unsigned long long*>(value));
        break;
    case NumberKind::Double:
        written = std::swprintf(scratch.data(), scratch.size(), L"%.0f", *static_cast<const double*>(value));
        break;
    }
    if (written < 0) throw HResultError(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
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
        std::vector<wchar_t> scratch(static_cast<size_t>(capacity), L'\0');
        if (!record.loaded) LoadRecord(record);
        PrintPlain(value, kind, scratch);
        NUMBERFMTW format{0, record.leadingZero, record.grouping, record.decimalSep.data(),
                          record.thousandSep.data(), record.negativeOrder};
        if (!GetNumberFormatW(record.locale, 0, scratch.data(), &format, buffer, capacity))
            return HResultFromLastError();
        return S_OK;
    });
    if (FAILED(hr)) buffer[0] = L'\0';
    return hr;
}
