#include "framework/CTime.h"

#include <time.h>
#include <wchar.h>

#include <string>

namespace {

// Seconds between 1601-01-01 (file times) and 1970-01-01, in 100-ns units.
constexpr int64_t kEpochDifference = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10000000LL;

}  // namespace

CTime::CTime(int year, int month, int day, int hour, int minute, int second)
{
    // Reject what the C runtime would silently roll over (31 February becoming 3 March).
    if (year < 1970 || year > 3000 || month < 1 || month > 12 || day < 1 || day > 31 ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return;
    struct tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    const __time64_t value = _mktime64(&parts);
    if (value <= 0)
        return;
    if (parts.tm_year != year - 1900 || parts.tm_mon != month - 1 || parts.tm_mday != day)
        return;
    m_time = value;
}

CTime::CTime(const FILETIME& fileTime)
{
    const int64_t ticks = static_cast<int64_t>(
        (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime);
    // Times before 1970 (and the zero file time) have no value here.
    if (ticks <= kEpochDifference)
        return;
    m_time = (ticks - kEpochDifference) / kTicksPerSecond;
}

CTime CTime::GetCurrentTime()
{
    const __time64_t now = _time64(nullptr);
    return CTime(now > 0 ? static_cast<int64_t>(now) : 0);
}

BOOL CTime::GetLocalTm(struct tm* out) const
{
    if (!out)
        return FALSE;
    *out = {};
    if (m_time <= 0)
        return FALSE;
    const __time64_t value = static_cast<__time64_t>(m_time);
    if (_localtime64_s(out, &value) != 0) {
        *out = {};
        return FALSE;
    }
    return TRUE;
}

int CTime::GetYear() const
{
    struct tm parts;
    return GetLocalTm(&parts) ? parts.tm_year + 1900 : 0;
}

int CTime::GetMonth() const
{
    struct tm parts;
    return GetLocalTm(&parts) ? parts.tm_mon + 1 : 0;
}

int CTime::GetDay() const
{
    struct tm parts;
    return GetLocalTm(&parts) ? parts.tm_mday : 0;
}

int CTime::GetHour() const
{
    struct tm parts;
    return GetLocalTm(&parts) ? parts.tm_hour : 0;
}

int CTime::GetMinute() const
{
    struct tm parts;
    return GetLocalTm(&parts) ? parts.tm_min : 0;
}

int CTime::GetSecond() const
{
    struct tm parts;
    return GetLocalTm(&parts) ? parts.tm_sec : 0;
}

int CTime::GetDayOfWeek() const
{
    struct tm parts;
    return GetLocalTm(&parts) ? parts.tm_wday + 1 : 0;
}

CString CTime::Format(const wchar_t* format) const
{
    struct tm parts;
    if (!format || !*format || !GetLocalTm(&parts))
        return CString();
    // The C runtime's wcsftime mangles text other than ASCII around the letters (Wine's
    // gives garbage for "%d日") and fails on letters it does not know: hand it one known
    // conversion at a time and copy everything else as it is.
    static const wchar_t kLetters[] = L"aAbBcdHIjmMpSUwWxXyYzZ%";
    std::wstring result;
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%') {
            result += *p;
            continue;
        }
        const bool alternate = p[1] == L'#';
        const wchar_t letter = alternate ? p[2] : p[1];
        if (letter == L'\0' || !wcschr(kLetters, letter)) {
            result += *p;  // a lone or unknown '%' stands for itself
            continue;
        }
        const wchar_t piece[4] = {L'%', alternate ? L'#' : letter, alternate ? letter : L'\0', L'\0'};
        wchar_t out[256];
        const size_t written = wcsftime(out, 256, piece, &parts);
        if (written > 0 && written < 256)
            result.append(out, written);
        p += alternate ? 2 : 1;
    }
    return CString(std::move(result));
}
