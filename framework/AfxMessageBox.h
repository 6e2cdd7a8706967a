// Message boxes owned by the application's main window, and the handle of that window.
#pragma once

#include <windows.h>

// The main window once the application has made it; null before (and after it is gone).
HWND AfxGetMainWndHandle();
void AfxSetMainWndHandle(HWND window);

// Shows a message box with the program's name as caption and returns the button pressed.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);

// Tests answer message boxes through a hook instead of showing them; null shows boxes again.
using AfxMessageBoxHook = int (*)(const wchar_t* text, UINT type);
void AfxSetMessageBoxHook(AfxMessageBoxHook hook);
