#include "windows/VersionCheck.h"

#include "core/ShellHelpers.h"
#include "model/CConfigInfo.h"

namespace VersionCheck {

// The install date goes into the query as stored; a date damaged in "config.ini" must not
// change the request, so anything but letters, digits and "-._~" is percent-encoded (the
// program's own form "%Y%m%d_%H%M%S" passes unchanged).
CString QueryValue(const CString& text)
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        if ((ch >= L'0' && ch <= L'9') || (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z') || ch == L'-' ||
            ch == L'.' || ch == L'_' || ch == L'~') {
            out += ch;
            continue;
        }
        char bytes[4] = {};
        const int count = ::WideCharToMultiByte(CP_UTF8, 0, &ch, 1, bytes, sizeof(bytes), nullptr, nullptr);
        for (int b = 0; b < count; ++b)
            out.AppendFormat(L"%%%02X", static_cast<unsigned>(static_cast<unsigned char>(bytes[b])));
    }
    return out;
}

CString VersionRequestAddress(const CString& serverAddress, const CString& installDate)
{
    return serverAddress + L"/products/tarnelo/version/version.html?install=" + QueryValue(installDate);
}

BOOL IsVersionCheckDue(const CTime& lastCheck, const CTime& now)
{
    // A last check in the future (a clock set back, a damaged file) would hold every check
    // off until long after that date: such a date does not count.
    const LONGLONG last = lastCheck.GetTime();
    return (last <= now.GetTime() && now.GetTime() < last + kVersionCheckDistanceSeconds) ? FALSE : TRUE;
}

BOOL ParseVersion(const CString& text, CString& version)
{
    const int start = text.Find(L"version:");
    if (start < 0)
        return FALSE;
    int end = text.Find(L"\\n", start);
    if (end < 0)
        end = text.Find(L'<', start);
    if (end < 0)
        return FALSE;
    const int first = start + 8;
    version = text.Mid(first, end - first);
    return TRUE;
}

// Only four single digits separated by dots make a version; anything else counts as 0.
int VersionNumberOfReply(const CString& version)
{
    if (version.GetLength() < 7)
        return 0;
    for (int i = 0; i < 7; i += 2) {
        if (version[i] < L'0' || version[i] > L'9')
            return 0;
    }
    return ParseVersionNumber(version);
}

UINT FirstVersionCheckPeriod(const CTime& lastCheck, DWORD tickCount)
{
    // Never checked: soon. Else one minute plus zero to nine half-hours, so that many
    // machines do not all ask at once.
    if (lastCheck == Model::CConfigInfo::GetNeverDate())
        return kVersionCheckFirstMs;
    return 60000 + (tickCount % 10) * 1800000;
}

}  // namespace VersionCheck
