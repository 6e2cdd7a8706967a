// The program's entry: the one application object and wWinMain, which hands over to the
// framework's entry.
#include <windows.h>

#include "framework/CWinApp.h"
#include "windows/CTarneloApp.h"

CTarneloApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand)
{
    return AfxWinMain(instance, previous, commandLine, showCommand);
}
