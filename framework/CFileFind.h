// Enumerates the entries that match a wildcard path ("folder\*.si").
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/ScopedHandles.h"

class CFileFind
{
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    ~CFileFind() { Close(); }

    // TRUE when at least one entry matches; then call FindNextFile before the first read.
    BOOL FindFile(const wchar_t* pattern = L"*.*");
    // TRUE while more entries follow the one it moves to.
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetFileTitle() const;
    ULONGLONG GetLength() const;
    BOOL IsDirectory() const;
    BOOL IsDots() const;

private:
    ScopedFind m_hFind;
    WIN32_FIND_DATAW m_found = {};
    WIN32_FIND_DATAW m_next = {};
    BOOL m_hasNext = FALSE;
    BOOL m_hasCurrent = FALSE;
    CString m_root;
};
