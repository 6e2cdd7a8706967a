#include "model/CConfigInfo.h"

#include <cwchar>
#include <cwctype>

#include "core/Logger.h"

namespace Model {

namespace {

const wchar_t kOption[] = L"option";
const wchar_t kInstall[] = L"install";
const wchar_t kVerCheck[] = L"verCheck";
const wchar_t kEditDialog[] = L"editDialog";

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
    // The profile functions may hold an older copy of a file changed behind their back.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path);

    m_bLock = ::GetPrivateProfileIntW(kOption, L"lock", 0, path);
    m_bShowExtension = ::GetPrivateProfileIntW(kOption, L"showExtension", 0, path);
    m_bMouseHoverOpen = ::GetPrivateProfileIntW(kOption, L"mouseHoverOpen", 0, path);
    m_bRegisterAndMove = ::GetPrivateProfileIntW(kOption, L"registerAndMove", 0, path);
    m_bRegisterAndMoveConfirmed = ::GetPrivateProfileIntW(kOption, L"registerAndMoveConfirmed", 0, path);
    m_bCheckLatestVersion = ::GetPrivateProfileIntW(kOption, L"checkLatestVersion", 0, path);
    m_bEntirelyMoveMode = ::GetPrivateProfileIntW(kOption, L"entirelyMoveMode", 1, path);
    m_strInstallDate = ReadString(kInstall, L"date", path);
    m_verCheckDate = ParseDate(ReadString(kVerCheck, L"date", path));
    m_nEditDialogWidth = static_cast<int>(::GetPrivateProfileIntW(kEditDialog, L"width", 683, path));
    m_nEditDialogHeight = static_cast<int>(::GetPrivateProfileIntW(kEditDialog, L"height", 442, path));
    return TRUE;
}

BOOL CConfigInfo::Save(CString path)
{
    if (!path.IsEmpty())
        m_strPath = path;
    const CString& file = m_strPath;
    if (file.IsEmpty()) {
        Log(kLogError, L"config save: no path");
        return FALSE;
    }

    BOOL ok = TRUE;
    ok &= WriteInt(kOption, L"lock", m_bLock, file);
    ok &= WriteInt(kOption, L"showExtension", m_bShowExtension, file);
    ok &= WriteInt(kOption, L"mouseHoverOpen", m_bMouseHoverOpen, file);
    ok &= WriteInt(kOption, L"registerAndMove", m_bRegisterAndMove, file);
    ok &= WriteInt(kOption, L"registerAndMoveConfirmed", m_bRegisterAndMoveConfirmed, file);
    ok &= WriteInt(kOption, L"checkLatestVersion", m_bCheckLatestVersion, file);
    ok &= WriteInt(kOption, L"entirelyMoveMode", m_bEntirelyMoveMode, file);
    ok &= ::WritePrivateProfileStringW(kInstall, L"date", m_strInstallDate, file) ? TRUE : FALSE;
    const CString checkDate = m_verCheckDate.Format(L"%Y/%m/%d");
    ok &= ::WritePrivateProfileStringW(kVerCheck, L"date", checkDate, file) ? TRUE : FALSE;
    ok &= WriteInt(kEditDialog, L"width", m_nEditDialogWidth, file);
    ok &= WriteInt(kEditDialog, L"height", m_nEditDialogHeight, file);
    // Push the cached file out now rather than at some later moment.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file);
    if (!ok)
        Log(kLogError, FormatString(L"config save failed: %s", file.GetString()));
    return ok;
}

BOOL CConfigInfo::WriteInt(const wchar_t* section, const wchar_t* key, int value, const wchar_t* path)
{
    CString text;
    text.Format(L"%d", value);
    return ::WritePrivateProfileStringW(section, key, text, path) ? TRUE : FALSE;
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
