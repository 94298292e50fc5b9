#include "Viewer/engine/ImageEngine.h"

bool CImageEngine::IsListEmpty()
{
    CriticalSectionScope list(m_listLock);
    return m_entries.empty();
}
