#include "model/CConfigInfo.h"

#include <cwchar>
#include <cwctype>
#include <utility>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "framework/ScopedHandles.h"
#include "model/CIniText.h"

namespace Model {

namespace {

const wchar_t kOption[] = L"option";
const wchar_t kInstall[] = L"install";
const wchar_t kVerCheck[] = L"verCheck";
const wchar_t kEditDialog[] = L"editDialog";
const int kDefaultEditDialogWidth = 683;
const int kDefaultEditDialogHeight = 442;

// A decimal number from the leading digits of a short text, as the profile functions
// read integers: 0 when it does not start with a digit.
int LeadingNumber(const CString& text)
{
    int value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        if (ch < L'0' || ch > L'9')
            break;
        value = value * 10 + (ch - L'0');
    }
    return value;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return days[month - 1];
}

// A settings file is a few hundred bytes; one far larger is not read, written over or made.
const LONGLONG kMaxFileBytes = 1024 * 1024;
// A save finds the file held only for a moment, by a tool that looks at what was just written.
const DWORD kHeldFileSaveWaitMs = 300;

// The bytes of the file at path; none when it is missing. FALSE, with the reason in *error,
// when it is there but cannot be read whole.
BOOL ReadSettingsFile(const CString& path, std::string* text, DWORD* error)
{
    text->clear();
    ScopedFile file;
    *error = OpenHeldFile([&]() -> DWORD {
        file = ScopedFile(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file ? ERROR_SUCCESS : ::GetLastError();
    }, kHeldFileSaveWaitMs);
    if (*error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND) {
        *error = ERROR_SUCCESS;
        return TRUE;
    }
    std::vector<BYTE> bytes;
    if (*error == ERROR_SUCCESS)
        *error = ReadWholeFile(file.get(), kMaxFileBytes, &bytes);
    if (*error != ERROR_SUCCESS)
        return FALSE;
    text->assign(bytes.begin(), bytes.end());
    return TRUE;
}

}  // namespace

CConfigInfo::CConfigInfo()
    : m_bLock(FALSE), m_bShowExtension(FALSE), m_bMouseHoverOpen(FALSE), m_bRegisterAndMove(FALSE),
      m_bRegisterAndMoveConfirmed(FALSE), m_bCheckLatestVersion(FALSE), m_bEntirelyMoveMode(TRUE),
      m_verCheckDate(0), m_nEditDialogWidth(0), m_nEditDialogHeight(0)
{
}

CConfigInfo::~CConfigInfo() = default;

CString CConfigInfo::FilePath(const CString& dataFolder)
{
    return FormatString(L"%s\\%s", dataFolder.GetString(), kFileName);
}

BOOL CConfigInfo::Load(CString path)
{
    m_strPath = path;
    m_strUnreadPath.Empty();
    m_dwLoadError = ERROR_SUCCESS;
    // The profile functions may hold an older copy of a file changed behind their back.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path);

    // The profile functions take a file they cannot open for a missing one, and the defaults
    // they then give would be saved over the user's settings. A backup, sync or scanning tool
    // may hold the file for a moment at logon: it is waited for, and held here (for reading,
    // by anyone) until every key is read, so that no one locks it half-way.
    ScopedFile reading;
    const DWORD error = OpenHeldFile([&]() -> DWORD {
        reading = ScopedFile(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return reading ? ERROR_SUCCESS : ::GetLastError();
    });
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        LogValue(kLogError, FormatString(L"config cannot be read, defaults in use and not saved over: %s le:",
                                         path.GetString()),
                 static_cast<long>(error));
        *this = CConfigInfo();
        m_nEditDialogWidth = kDefaultEditDialogWidth;
        m_nEditDialogHeight = kDefaultEditDialogHeight;
        m_verCheckDate = GetNeverDate();
        m_strPath = m_strUnreadPath = path;
        m_dwLoadError = error;
        return FALSE;
    }

    m_bLock = ::GetPrivateProfileIntW(kOption, L"lock", 0, path);
    m_bShowExtension = ::GetPrivateProfileIntW(kOption, L"showExtension", 0, path);
    m_bMouseHoverOpen = ::GetPrivateProfileIntW(kOption, L"mouseHoverOpen", 0, path);
    m_bRegisterAndMove = ::GetPrivateProfileIntW(kOption, L"registerAndMove", 0, path);
    m_bRegisterAndMoveConfirmed = ::GetPrivateProfileIntW(kOption, L"registerAndMoveConfirmed", 0, path);
    m_bCheckLatestVersion = ::GetPrivateProfileIntW(kOption, L"checkLatestVersion", 0, path);
    m_bEntirelyMoveMode = ::GetPrivateProfileIntW(kOption, L"entirelyMoveMode", 1, path);
    m_strInstallDate = ReadString(kInstall, L"date", path);
    m_verCheckDate = ParseDate(ReadString(kVerCheck, L"date", path));
    m_nEditDialogWidth = static_cast<int>(::GetPrivateProfileIntW(kEditDialog, L"width", kDefaultEditDialogWidth, path));
    m_nEditDialogHeight = static_cast<int>(::GetPrivateProfileIntW(kEditDialog, L"height", kDefaultEditDialogHeight, path));
    return TRUE;
}

BOOL CConfigInfo::Save(CString path)
{
    ++m_nSaves;
    if (!path.IsEmpty())
        m_strPath = path;
    if (m_strPath.IsEmpty()) {
        Log(kLogError, L"config save: no path");
        m_dwSaveError = ERROR_INVALID_NAME;
        return FALSE;
    }
    if (!m_strUnreadPath.IsEmpty() && m_strUnreadPath.CompareNoCase(m_strPath) == 0) {
        Log(kLogError, FormatString(L"config not saved over, it could not be read: %s", m_strPath.GetString()));
        m_dwSaveError = m_dwLoadError;
        return FALSE;
    }
    // The keys are set in the file as it is now, so that what others keep there stays; it is
    // written whole and put in place in one step: a crash during a save leaves the old file
    // or the new one, never one cut in the middle (which would look like a first start).
    std::string existing;
    if (!ReadSettingsFile(m_strPath, &existing, &m_dwSaveError)) {
        LogValue(kLogError, FormatString(L"config not saved, the file cannot be read: %s le:", m_strPath.GetString()),
                 static_cast<long>(m_dwSaveError));
        return FALSE;
    }
    const std::string text = FileText(std::move(existing));
    // The keys it lacked may take a file past the size a save reads: such a file is not
    // written, or every later save would refuse it.
    m_dwSaveError = text.size() > static_cast<size_t>(kMaxFileBytes) ? ERROR_FILE_TOO_LARGE : ERROR_SUCCESS;
    if (m_dwSaveError != ERROR_SUCCESS ||
        !ReplaceFileContents(m_strPath, text.data(), static_cast<DWORD>(text.size()), &m_dwSaveError)) {
        LogValue(kLogError, FormatString(L"config save failed: %s le:", m_strPath.GetString()),
                 static_cast<long>(m_dwSaveError));
        return FALSE;
    }
    // The profile functions may still hold the file as it was.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, m_strPath);
    return TRUE;
}

std::string CConfigInfo::FileText(std::string existing) const
{
    CIniText text(std::move(existing));
    WriteInt(kOption, L"lock", m_bLock, text);
    WriteInt(kOption, L"showExtension", m_bShowExtension, text);
    WriteInt(kOption, L"mouseHoverOpen", m_bMouseHoverOpen, text);
    WriteInt(kOption, L"registerAndMove", m_bRegisterAndMove, text);
    WriteInt(kOption, L"registerAndMoveConfirmed", m_bRegisterAndMoveConfirmed, text);
    WriteInt(kOption, L"checkLatestVersion", m_bCheckLatestVersion, text);
    WriteInt(kOption, L"entirelyMoveMode", m_bEntirelyMoveMode, text);
    text.SetValue(kInstall, L"date", m_strInstallDate);
    text.SetValue(kVerCheck, L"date", m_verCheckDate.Format(L"%Y/%m/%d"));
    WriteInt(kEditDialog, L"width", m_nEditDialogWidth, text);
    WriteInt(kEditDialog, L"height", m_nEditDialogHeight, text);
    return text.Bytes();
}

void CConfigInfo::WriteInt(const wchar_t* section, const wchar_t* key, int value, CIniText& text)
{
    text.SetValue(section, key, FormatString(L"%d", value));
}

CString CConfigInfo::ReadString(const wchar_t* section, const wchar_t* key, const wchar_t* path)
{
    wchar_t buffer[256] = {};
    ::GetPrivateProfileStringW(section, key, L"", buffer, 256, path);
    buffer[255] = L'\0';
    return CString(buffer);
}

CTime CConfigInfo::GetNeverDate()
{
    return CTime(2000, 1, 1, 0, 0, 0);
}

CTime CConfigInfo::ParseDate(CString text)
{
    if (text.GetLength() < 10)
        return GetNeverDate();
    const int year = LeadingNumber(text.Mid(0, 4));
    const int month = LeadingNumber(text.Mid(5, 2));
    const int day = LeadingNumber(text.Mid(8, 2));
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return GetNeverDate();
    // Dates the time type cannot hold (before 1970, after 3000) also count as never.
    const CTime date(year, month, day, 0, 0, 0);
    if (date.GetTime() == 0)
        return GetNeverDate();
    return date;
}

void CConfigInfo::SetInstallDate(CTime time)
{
    m_strInstallDate = time.Format(L"%Y%m%d_%H%M%S");
}

}  // namespace Model
