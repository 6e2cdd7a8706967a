// The system's open or save file dialog for one file.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/CString.h"

class CWnd;

class CFileDialog
{
public:
    // The filter is "Text|patterns|Text|patterns||" (the last bar pair ends it). The dialog
    // has the explorer style; `vistaStyle` is accepted for the callers' sake and not used.
    CFileDialog(BOOL openFileDialog, const wchar_t* defaultExtension = nullptr, const wchar_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                CWnd* parent = nullptr, DWORD size = 0, BOOL vistaStyle = TRUE);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL. Callers may change m_ofn (e.g. lpstrInitialDir) before.
    INT_PTR DoModal();
    // The full path chosen, the file name alone, and its extension without the dot.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;

    OPENFILENAMEW m_ofn;

private:
    BOOL m_bOpenFileDialog;
    wchar_t m_fileName[4096] = {};  // room for any path the dialog gives
    CString m_filter;                // the filter with its bars turned into NULs
    CString m_defaultExtension;
};
