// Entry of the viewer program.
#include "Viewer/core/startup/ProcessMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandTail, int showCommand)
{
    return ProcessMain(instance, commandTail, showCommand);
}
