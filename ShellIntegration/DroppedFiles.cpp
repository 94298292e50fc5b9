#include "ShellIntegration/DroppedFiles.h"

DroppedFiles::DroppedFiles(IDataObject* data) noexcept
{
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    m_received = data && SUCCEEDED(data->GetData(&format, &m_medium));
    m_locked = m_received && m_medium.tymed == TYMED_HGLOBAL && GlobalLock(m_medium.hGlobal);
}

DroppedFiles::~DroppedFiles()
{
    if (m_locked) GlobalUnlock(m_medium.hGlobal);
    if (m_received) ReleaseStgMedium(&m_medium);
}

UINT DroppedFiles::Count() const noexcept
{
    return m_locked ? DragQueryFileW(Drop(), 0xFFFFFFFF, nullptr, 0) : 0;
}

UINT DroppedFiles::Path(UINT index, wchar_t* buffer, UINT bufferChars) const noexcept
{
    return m_locked ? DragQueryFileW(Drop(), index, buffer, bufferChars) : 0;
}
