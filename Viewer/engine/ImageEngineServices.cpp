#include "Viewer/engine/ImageEngine.h"
#include "Framework/HResultError.h"
#include <strsafe.h>

bool CImageEngine::IsListEmpty()
{
    CriticalSectionScope list(m_listLock);
    return m_entries.empty();
}

BSTR CImageEngine::GetEntryTextAt(uint32_t position, FILETIME* sortTime, CImageEntry** entry)
{
    CriticalSectionScope list(m_listLock);
    CImageEntry* found = GetEntryAtPosition(position);
    if (!found) return nullptr;
    *entry = found;
    if (sortTime) {
        const uint64_t time = found->GetSortTime();
        sortTime->dwLowDateTime = static_cast<DWORD>(time);
        sortTime->dwHighDateTime = static_cast<DWORD>(time >> 32);
    }
    // The slider's preview has room for a path's length; a longer text is cut.
    wchar_t text[MAX_PATH];
    StringCchPrintfW(text, MAX_PATH, L"%ls.%ls", found->GetBasePath().c_str(), found->GetExtensionsText().c_str());
    BSTR result = SysAllocString(text);
    if (!result) throw HResultError(E_OUTOFMEMORY);
    return result;
}
