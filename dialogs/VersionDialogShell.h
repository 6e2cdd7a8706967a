// How the version dialogs open a web page or a folder with the shell: ShellExecuteW with
// "open", unless a test has put its own function in its place.
#pragma once

#include <windows.h>

#include "controls/CUrlStatic.h"
#include "framework/CString.h"

// ShellExecuteW(owner, "open", target, no parameters, no folder, SW_SHOW); failures are not
// reported to the user.
void VersionDialogShellOpen(HWND owner, const CString& target);
// Tests see what would be opened instead of starting a browser; null restores the shell.
void SetVersionDialogShellHook(Utility::CUrlStatic::ShellExecuteFn fn);
