// Path, folder and text-conversion helpers. Every function takes its path by value, returns
// a new string or a BOOL, and never throws.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
// Puts the bytes in place of the file at path in one step: they are written to path +
// ".temp", flushed to the disk, then moved over path, so that a crash leaves the old file or
// the new one, never a cut one. A read-only file is not replaced (Wine would). FALSE, with
// the system's reason in *error, when anything fails; the file at path is then unchanged.
BOOL ReplaceFileContents(CString path, const void* data, DWORD size, DWORD* error);
// Reads the whole of an open file of at most maxBytes into *bytes, from where the handle
// stands (its start, for a handle just opened). Gives 0, the system's reason,
// ERROR_FILE_TOO_LARGE for a larger file (nothing is read), or ERROR_HANDLE_EOF when fewer
// bytes came than the file's size: it was cut short while it was read, or the handle did not
// stand at its start.
DWORD ReadWholeFile(HANDLE file, ULONGLONG maxBytes, std::vector<BYTE>* bytes);
// TRUE when both files can be read and hold the same bytes.
BOOL SameFileBytes(const CString& first, const CString& second);

// A data file that another program holds open (a backup, sync or scanning tool does this at
// logon) is there, not missing and not damaged: it is waited for this long, tried this often.
inline constexpr DWORD kHeldFileWaitMs = 1500;
inline constexpr DWORD kHeldFileRetryMs = 100;
// The wait that OpenHeldFile makes unless told otherwise: kHeldFileWaitMs, or what a test
// that holds files many times sets instead.
DWORD GetHeldFileWaitMs();
void SetHeldFileWaitMs(DWORD waitMs);
// Whether an open failed because another program holds the file: a sharing or lock
// violation. Access denied (no rights, a folder in the file's place) does not pass by waiting.
BOOL IsHeldFileError(DWORD error);
// Calls open, which opens a file and gives 0 or the system's error code, again while the file
// is held by another program, for up to waitMs. Gives open's last result.
DWORD OpenHeldFile(const std::function<DWORD()>& open, DWORD waitMs = GetHeldFileWaitMs());
