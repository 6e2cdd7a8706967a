// The user's options and a few remembered values, kept in the private-profile file
// "config.ini" of the data folder. The record is loaded once at start-up and saved whole
// by whoever changes it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CString.h"
#include "framework/CTime.h"

namespace Model {

class CIniText;

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
    // Sets every key in the file at path, or at the kept path when path is empty, keeping
    // every line it does not write and the file's encoding, and writes the file whole, taking
    // the old one's place in one step. FALSE when it could not be written, or would replace a
    // file that could not be read (now or at Load), or would grow past what a save reads; the
    // old file is then unchanged and GetSaveError tells why.
    BOOL Save(CString path = CString());
    // The system's error code of the last Save that failed, 0 when the last one succeeded.
    DWORD GetSaveError() const { return m_dwSaveError; }
    // How many saves were asked for in this run, for a caller to tell whether one was made.
    UINT GetSaveCount() const { return m_nSaves; }
    // The bytes Save writes over a file that holds existing: every key set in it, in place
    // where it stands, new keys after the last key of their section, new sections at the end,
    // in the file's order. A new file (no bytes) has lines ended by CR LF, in the ANSI code
    // page, as the profile functions write a new file.
    std::string FileText(std::string existing = std::string()) const;

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
    // Sets one key of the file's text to the value formatted "%d".
    static void WriteInt(const wchar_t* section, const wchar_t* key, int value, CIniText& text);

    DWORD m_dwSaveError = 0;
    UINT m_nSaves = 0;
    DWORD m_dwLoadError = 0;    // why the last Load could not read its file
    CString m_strUnreadPath;    // that file: never written over in this run
};

}  // namespace Model
