#pragma once
// The fixed choice lists (drop-down lists whose items carry a 32-bit value) and the two sliders of
// the options pages, and how the item that matches a stored value is found.
#include <windows.h>

namespace OptionsChoices {
// The controls of the lists and sliders.
enum ControlId : WORD {
    ZoomList = 1059,
    SlideshowList = 1113,
    LabellingList = 1062,
    SortList = 1126,
    DownscaleList = 1117,
    MouseAccelerationSlider = 1058,
    MemoryGuideSlider = 1123,
};

// The downscaling size that a list falls back to: 112 MB, first variant.
inline constexpr int DownscaleFallbackPosition = 38;
inline constexpr int SlideshowFallbackPosition = 15;  // "1s"
inline constexpr int ZoomFallbackPosition = 3;        // "200%"

void FillZoomList(HWND list);
void FillSlideshowList(HWND list);
void FillLabellingList(HWND list);
void FillSortList(HWND list);
void FillDownscaleList(HWND list);

// Appends an item with its value; its position, or a negative error.
int AddChoice(HWND list, const wchar_t* text, DWORD value) noexcept;
DWORD SelectedValue(HWND list) noexcept;
int SelectedPosition(HWND list) noexcept;
void SelectPosition(HWND list, int position) noexcept;

// The zoom item whose text begins with "<percent>%", else "200%", else position 3, else position 0.
void SelectZoom(HWND list, DWORD percent);
// Selects fallbackPosition first when the list holds that many items, then the last item whose value
// equals the given one.
void SelectByValue(HWND list, DWORD value, int fallbackPosition) noexcept;

// The placeholder item (value 0) that a box-and-list setting shows while its box is off.
int FindPlaceholder(HWND list) noexcept;
void RemovePlaceholder(HWND list) noexcept;
void SelectPlaceholder(HWND list, UINT textId);

struct SliderRange {
    WORD control;
    WORD offLabel;  // stands in the slider's place while the setting is off
    int minimum;
    int maximum;
    int pageSize;
    DWORD switchedOnValue;
};
inline constexpr SliderRange MouseAcceleration{MouseAccelerationSlider, 1065, 20, 300, 5, 100};
inline constexpr SliderRange MemoryGuide{MemoryGuideSlider, 1124, 1, 96, 4, 32};

// Sets the range and page size, adds the transparent-background style and moves the slider's label
// by one pixel (one off the left, two off the bottom, one up).
void PrepareSlider(HWND page, const SliderRange& slider) noexcept;
DWORD ClampToSlider(DWORD value, const SliderRange& slider) noexcept;
}  // namespace OptionsChoices
