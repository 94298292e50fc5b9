#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/core/LanguageLibrary.h"

DecodeThreadContext::DecodeThreadContext(const DecodeDisplay* display)
    : m_display(display),
      m_crashMessage(LoadUiString(10025)),
      m_crashRawCodecEnding(LoadUiString(10026)),
      m_crashGeneralEnding(LoadUiString(10027)),
      m_crashCaption(LoadUiString(100))
{
}

// The texts go last loaded first, then the lock, then the COM object: the members' reverse order.
DecodeThreadContext::~DecodeThreadContext() = default;

uint32_t DecodeThreadContext::BackgroundArgb() const noexcept
{
    if (!m_display) return 0xFF000000u;
    const uint8_t* rgb = m_display->background;
    return 0xFF000000u | (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | uint32_t(rgb[2]);
}
