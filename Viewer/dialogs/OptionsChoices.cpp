#include "Viewer/dialogs/OptionsChoices.h"
#include "Viewer/core/LanguageLibrary.h"
#include <commctrl.h>
#include <algorithm>
#include <string>

namespace OptionsChoices {
namespace {
constexpr DWORD kZoomPercents[] = {50,   75,   100,  200,  300,  400,  500,  600,  700,  800,  900,
                                   1000, 1200, 1400, 1600, 1800, 2000, 2400, 2800, 3200, 6400};

struct Choice {
    const wchar_t* text;
    DWORD value;
};
constexpr Choice kSlideshowIntervals[] = {
    {L"~30i/s", 33},     {L"~24i/s", 42},     {L"~18i/s", 55},     {L"~15i/s", 67},       {L"0.1s", 100},
    {L"0.2s", 200},      {L"0.25s", 250},     {L"0.3s", 300},      {L"0.4s", 400},        {L"0.5s", 500},
    {L"0.6s", 600},      {L"0.7s", 700},      {L"0.75s", 750},     {L"0.8s", 800},        {L"0.9s", 900},
    {L"1s", 1000},       {L"1.25s", 1250},    {L"1.5s", 1500},     {L"1.75s", 1750},      {L"2s", 2000},
    {L"2.5s", 2500},     {L"3s", 3000},       {L"4s", 4000},       {L"5s", 5000},         {L"6s", 6000},
    {L"7.5s", 7500},     {L"10s", 10000},     {L"12s", 12000},     {L"15s", 15000},       {L"20s", 20000},
    {L"30s", 30000},     {L"45s", 45000},     {L"1mn", 60000},     {L"1.5mn", 90000},     {L"2mn", 120000},
    {L"2.5mn", 150000},  {L"3mn", 180000},    {L"4mn", 240000},    {L"5mn", 300000},      {L"6mn", 360000},
    {L"7.5mn", 450000},  {L"10mn", 600000},   {L"12mn", 720000},   {L"15mn", 900000},     {L"20mn", 1200000},
    {L"30mn", 1800000},  {L"45mn", 2700000},  {L"1h", 3600000},
};
constexpr DWORD kDownscaleSizes[] = {2,   4,   6,   8,   10,  12,  14,  16,  18,  20,  24,  32,  48,  56,
                                     64,  72,  80,  88,  96,  112, 128, 160, 192, 224, 256, 288, 320, 352,
                                     384, 416, 448, 480, 512, 576, 640, 704, 768, 832, 896, 960, 1024};
constexpr DWORD kSecondVariant = 0x80000000;

int Count(HWND list) noexcept
{
    return static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
}

DWORD ValueAt(HWND list, int position) noexcept
{
    return static_cast<DWORD>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(position), 0));
}

void FillFromStrings(HWND list, UINT firstString, DWORD firstValue, int count)
{
    for (int index = 0; index < count; ++index)
        AddChoice(list, LoadUiString(firstString + static_cast<UINT>(index)).c_str(), firstValue + static_cast<DWORD>(index));
}

bool SelectByPrefix(HWND list, const std::wstring& prefix)
{
    const int count = Count(list);
    for (int position = 0; position < count; ++position) {
        const auto length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
        if (length == CB_ERR) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text.data()));
        if (text.compare(0, prefix.size(), prefix) == 0) {
            SelectPosition(list, position);
            return true;
        }
    }
    return false;
}
}  // namespace

int AddChoice(HWND list, const wchar_t* text, DWORD value) noexcept
{
    const auto position = static_cast<int>(SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    if (position >= 0) SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(position), value);
    return position;
}

DWORD SelectedValue(HWND list) noexcept
{
    const int position = SelectedPosition(list);
    return position >= 0 ? ValueAt(list, position) : 0;
}

int SelectedPosition(HWND list) noexcept
{
    return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
}

void SelectPosition(HWND list, int position) noexcept
{
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void FillZoomList(HWND list)
{
    for (DWORD percent : kZoomPercents) AddChoice(list, (std::to_wstring(percent) + L"%").c_str(), percent);
}

void FillSlideshowList(HWND list)
{
    for (const Choice& choice : kSlideshowIntervals) AddChoice(list, choice.text, choice.value);
}

void FillLabellingList(HWND list)
{
    FillFromStrings(list, 10121, 0, 3);
    SelectPosition(list, 0);
}

void FillSortList(HWND list)
{
    FillFromStrings(list, 10117, 1, 4);
}

void FillDownscaleList(HWND list)
{
    const std::wstring first = LoadUiString(10125);
    const std::wstring second = LoadUiString(10126);
    for (DWORD size : kDownscaleSizes) {
        const std::wstring prefix = size == 1024 ? L"1GB " : std::to_wstring(size) + L"MB ";
        AddChoice(list, (prefix + first).c_str(), size);
        AddChoice(list, (prefix + second).c_str(), size | kSecondVariant);
    }
}

void SelectZoom(HWND list, DWORD percent)
{
    if (SelectByPrefix(list, std::to_wstring(percent) + L"%")) return;
    if (SelectByPrefix(list, L"200%")) return;
    if (Count(list) > ZoomFallbackPosition) {
        SelectPosition(list, ZoomFallbackPosition);
        return;
    }
    SelectPosition(list, 0);
}

void SelectByValue(HWND list, DWORD value, int fallbackPosition) noexcept
{
    const int count = Count(list);
    if (count > fallbackPosition) SelectPosition(list, fallbackPosition);
    for (int position = count - 1; position >= 0; --position) {
        if (ValueAt(list, position) == value) {
            SelectPosition(list, position);
            return;
        }
    }
}

int FindPlaceholder(HWND list) noexcept
{
    const int count = Count(list);
    for (int position = 0; position < count; ++position)
        if (ValueAt(list, position) == 0) return position;
    return -1;
}

void RemovePlaceholder(HWND list) noexcept
{
    const int position = FindPlaceholder(list);
    if (position >= 0) SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

void SelectPlaceholder(HWND list, UINT textId)
{
    int position = FindPlaceholder(list);
    if (position < 0) position = AddChoice(list, LoadUiString(textId).c_str(), 0);
    SelectPosition(list, position);
}

void PrepareSlider(HWND page, const SliderRange& slider) noexcept
{
    HWND trackbar = GetDlgItem(page, slider.control);
    if (trackbar) {
        SetWindowLongPtrW(trackbar, GWL_STYLE, GetWindowLongPtrW(trackbar, GWL_STYLE) | TBS_TRANSPARENTBKGND);
        SendMessageW(trackbar, TBM_SETRANGEMIN, FALSE, slider.minimum);
        SendMessageW(trackbar, TBM_SETRANGEMAX, TRUE, slider.maximum);
        SendMessageW(trackbar, TBM_SETPAGESIZE, 0, slider.pageSize);
    }
    HWND label = GetDlgItem(page, slider.offLabel);
    if (!label) return;
    RECT area{};
    GetWindowRect(label, &area);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    area.left += 1;
    area.bottom -= 2;
    OffsetRect(&area, 0, -1);
    SetWindowPos(label, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

DWORD ClampToSlider(DWORD value, const SliderRange& slider) noexcept
{
    return std::clamp(value, static_cast<DWORD>(slider.minimum), static_cast<DWORD>(slider.maximum));
}
}  // namespace OptionsChoices
