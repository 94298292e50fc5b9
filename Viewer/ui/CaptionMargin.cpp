#include "Viewer/ui/CaptionMargin.h"
#include "Framework/ResourceModule.h"
#include <cstdlib>

namespace {
constexpr int kUnset = -1;
constexpr int kLargestMargin = 72;
constexpr unsigned kCaptionMarginStringId = 20000;
// Read on the main thread only: the caption is drawn there.
int CachedCaptionMargin = kUnset;
}

int CaptionMarginFromText(const wchar_t* text) noexcept
{
    if (!text || !*text) return kUnset;
    const long value = std::labs(std::wcstol(text, nullptr, 10));
    return value > kLargestMargin ? kLargestMargin : static_cast<int>(value);
}

int GetCaptionMargin()
{
    if (CachedCaptionMargin == kUnset) CachedCaptionMargin = CaptionMarginFromText(LoadResourceString(kCaptionMarginStringId).c_str());
    return CachedCaptionMargin;
}
