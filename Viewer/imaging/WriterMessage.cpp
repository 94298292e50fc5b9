#include "Viewer/imaging/WriterMessage.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/FrameMessages.h"
#include <shlwapi.h>
#include <cstdarg>
#include <string>

void ShowWriterMessage(const HWND* owner, UINT captionId, UINT icon, UINT textId, ...)
{
    wchar_t text[2048];
    const std::wstring format = LoadResourceString(textId);
    va_list arguments;
    va_start(arguments, textId);
    wvnsprintfW(text, 2048, format.c_str(), arguments);
    va_end(arguments);
    const HWND window = owner ? *owner : nullptr;
    if (window && IsWindow(window)) PostMessageW(window, WM_APP_SHOW_CURSOR, 0, 0);
    ShowMessageBox(window, text, LoadResourceString(captionId).c_str(), icon);
}
