// Entry of the viewer program.
#include "Viewer/core/ProcessMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandTail, int showCommand)
{
    return ProcessMain(instance, commandTail, showCommand);
}
