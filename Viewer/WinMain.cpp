// Entry of the viewer program.
#include "Framework/MessageLoop.h"
#include "Viewer/ui/MainFrame.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    CoInitialize(nullptr);
    int result = 0;
    {
        MessageLoop loop;
        RegisterMessageLoop(&loop);
        CMainFrame frame;
        if (frame.CreateFrame(100)) {
            loop.AddMessageFilter(&frame);
            ShowWindow(frame.m_hWnd, showCommand);
            result = loop.Run();
            loop.RemoveMessageFilter(&frame);
        }
        UnregisterMessageLoop();
    }
    CoUninitialize();
    return result;
}
