#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/core/LanguageLibrary.h"

DecodeThreadContext::DecodeThreadContext(IDirect3DDevice9* const* deviceSlot)
    : m_deviceSlot(deviceSlot),
      m_crashMessage(LoadUiString(10025)),
      m_crashRawCodecEnding(LoadUiString(10026)),
      m_crashGeneralEnding(LoadUiString(10027)),
      m_crashCaption(LoadUiString(100))
{
}

// The texts go last loaded first, then the lock, then the COM object: the members' reverse order.
DecodeThreadContext::~DecodeThreadContext() = default;
