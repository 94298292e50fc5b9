#include "Viewer/imaging/ColourLabels.h"
#include "Viewer/core/AppSettings.h"
#include <shlwapi.h>
#include <cstdint>
#include <cwchar>

namespace {
int ConventionColumn(int convention) noexcept
{
    return convention == 1 || convention == 2 ? convention : 0;
}

const wchar_t* const LabelNames[9][3] = {
    {L"Red", L"Red", L"Red"},
    {L"Yellow", L"Orange", L"Green"},
    {L"Green", L"Yellow", L"Blue"},
    {L"Blue", L"Green", L"Brown"},
    {L"Purple", L"Cyan", L"Magenta"},
    {L"", L"Blue", L"Orange"},
    {L"", L"Purple", L"Yellow"},
    {L"", L"Magenta", L"Cyan"},
    {L"", L"Pink", L"Gray"},
};

struct NameRow {
    const wchar_t* name;
    int number[3];
};

// Besides the colours, "Select" to "To Do" name labels 1-5 under every convention; they are never written.
const NameRow NamesRead[] = {
    {L"Red", {1, 1, 1}},       {L"Yellow", {2, 3, 7}},    {L"Green", {3, 4, 2}},    {L"Blue", {4, 6, 3}},
    {L"Purple", {5, 7, -1}},   {L"Orange", {-1, 2, 6}},   {L"Cyan", {-1, 5, 8}},    {L"Magenta", {-1, 8, 5}},
    {L"Pink", {-1, 9, -1}},    {L"Brown", {-1, -1, 4}},   {L"Gray", {-1, -1, 9}},   {L"Grey", {-1, -1, 9}},
    {L"Select", {1, 1, 1}},    {L"Second", {2, 2, 2}},    {L"Approved", {3, 3, 3}}, {L"Review", {4, 4, 4}},
    {L"To Do", {5, 5, 5}},
};

int InRange(int n, int last) noexcept
{
    int value = static_cast<uint16_t>(n);
    return value >= 1 && value <= last ? value : -1;
}
}

const wchar_t* GetLabelName(int number, int convention) noexcept
{
    if (number < 1 || number > 9) return L"";
    return LabelNames[number - 1][ConventionColumn(convention)];
}

int ParseLabelName(const wchar_t* text) noexcept
{
    if (!text || !*text) return -1;
    int column = ConventionColumn(static_cast<int>(AppSettings::LabellingConvention));
    if (*text >= L'1' && *text <= L'9') {
        long number = wcstol(text, nullptr, 10);
        long last = column == 0 ? 5 : 9;
        return number >= 1 && number <= last ? static_cast<int>(number) : -1;
    }
    for (const NameRow& row : NamesRead) {
        if (StrCmpIW(text, row.name) == 0) return row.number[column];
    }
    return -1;
}

int IsValidLabelIndex5(int n) noexcept
{
    return InRange(n, 5);
}

int IsValidLabelIndex9(int n) noexcept
{
    return InRange(n, 9);
}

int IsValidLabelIndex(int n, int nine) noexcept
{
    return nine ? IsValidLabelIndex9(n) : IsValidLabelIndex5(n);
}
