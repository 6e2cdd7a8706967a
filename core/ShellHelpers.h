// Shell, system and message helpers: the single-instance guard, shortcuts, one file on the
// clipboard, message boxes by string id, versions, the taskbar and the virtual screen.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "framework/CString.h"


BOOL IsAlreadyRunning(const wchar_t* name);
// FALSE with the reason as the last error: the system's code, or the shell's HRESULT.
BOOL CreateShortcut(CString target, CString linkPath);
BOOL ResolveShortcut(CString& out, CString linkPath);
BOOL CopyFileToClipboard(CString path);
// The paths of a dropped file list (the HDROP of WM_DROPFILES), each read whole, in order;
// empty names are left out. The block is read only when it is one: at least a DROPFILES,
// its names starting inside it, each name and the list ended inside it. Anything else (under
// Wine a handle of another process can arrive) is logged and not touched: FALSE. A block
// that was read is finished (freed).
BOOL ReadDroppedFiles(HDROP drop, std::vector<CString>& paths);
CString LoadResString(UINT id);
void ShowWarningMessage(UINT id, UINT flags = MB_OK);
int ShowQuestionMessage(UINT id, UINT flags = 0);
// The system's text for an error code in the UI language, on one line ("Access denied.");
// "Error 1234." when the system has none.
CString GetSystemErrorText(DWORD error);
BOOL GetOSInfo(CString* name, CString* servicePack, int* major, int* minor);
// The name GetOSInfo gives a platform and version ("7" for NT 6.1).
CString GetOSName(DWORD platformId, DWORD major, DWORD minor);
int GetUILanguage();
// The code GetUILanguage gives a UI language: 0 Japanese, 1 US English, 2 any other.
int UILanguageCode(LANGID language);
CString GetAppVersion();
int ParseVersionNumber(CString text);
void GetTaskbarInfo(RECT* rect, BOOL* autoHide, UINT* edge);
// The virtual screen: the rectangle that holds every monitor.
RECT GetVirtualScreenRect();
BOOL IsBeyondScreenX(int x);
BOOL IsBeyondScreenY(int y);
