// The user's options and a few remembered values, kept in the private-profile file
// "config.ini" of the data folder. The record is loaded once at start-up and saved whole
// by whoever changes it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CString.h"
#include "framework/CTime.h"

namespace Model {

class CConfigInfo
{
public:
    // The file's name in the data folder.
    static constexpr wchar_t kFileName[] = L"config.ini";

    CConfigInfo();
    virtual ~CConfigInfo();

    // "<data folder>\config.ini".
    static CString FilePath(const CString& dataFolder);

    // Reads every key of the file at path (the data folder joined with "config.ini") and
    // keeps the path for later saves. A missing file or key gives its default. A file that
    // is there but cannot be read (another program holds it) is tried again for a moment;
    // then FALSE: every setting takes its default, GetLoadError tells why, and the file is
    // not saved over until a Load reads it.
    BOOL Load(CString path);
    DWORD GetLoadError() const { return m_dwLoadError; }
    // Writes every key to path, or to the kept path when path is empty, as one whole file
    // that takes the old one's place in one step. FALSE when it could not be written, or
    // would replace a file that could not be read; the old file is then unchanged and
    // GetSaveError tells why.
    BOOL Save(CString path = CString());
    // The system's error code of the last Save that failed, 0 when the last one succeeded.
    DWORD GetSaveError() const { return m_dwSaveError; }
    // How many saves were asked for in this run, for a caller to tell whether one was made.
    UINT GetSaveCount() const { return m_nSaves; }
    // The bytes Save writes: every section and key in the file's order, lines ended by CR LF,
    // in the ANSI code page, as the profile functions write a new file.
    std::string FileText() const;

    static CString ReadString(const wchar_t* section, const wchar_t* key, const wchar_t* path);
    // "YYYY/MM/DD" to midnight local time; anything that is no real date gives the value
    // that stands for never (2000-01-01 00:00 local time).
    static CTime ParseDate(CString text);
    static CTime GetNeverDate();

    CString GetInstallDate() const { return m_strInstallDate; }
    // Stores the time as "%Y%m%d_%H%M%S" in local time; the caller saves.
    void SetInstallDate(CTime time);

    BOOL m_bLock;
    BOOL m_bShowExtension;
    BOOL m_bMouseHoverOpen;
    BOOL m_bRegisterAndMove;
    BOOL m_bRegisterAndMoveConfirmed;
    BOOL m_bCheckLatestVersion;
    BOOL m_bEntirelyMoveMode;
    CTime m_verCheckDate;
    CString m_strInstallDate;
    int m_nEditDialogWidth;
    int m_nEditDialogHeight;
    CString m_strPath;

private:
    DWORD m_dwSaveError = 0;
    UINT m_nSaves = 0;
    DWORD m_dwLoadError = 0;    // why the last Load could not read its file
    CString m_strUnreadPath;    // that file: never written over in this run
};

}  // namespace Model
