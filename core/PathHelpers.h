// Path, folder and text-conversion helpers. Every function takes its path by value, returns
// a new string or a BOOL, and never throws.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CString.h"

CString GetDataFolder();
BOOL CreateDirectoryTree(CString path);
CString GetModuleFolder();
CString GetParentPath(CString path);
CString ExtractFileName(CString path);
CString ExtractFileTitle(CString path);
CString GetExtension(CString path);
BOOL FileExists(CString path);
BOOL IsDirectory(CString path);
int ToUtf8(CString text, char* buffer, int size);
CString FromUtf8(const std::string& bytes);
CString GetDesktopFolder();
CString GetCommonDesktopFolder();
CString GetCommonStartMenuFolder();
CString GetProgramFilesFolder();
BOOL IsDesktopShortcut(CString path);
