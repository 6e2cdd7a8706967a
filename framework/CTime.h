// A point in time as seconds since 1970 (UTC), shown in local time. An invalid or
// unrepresentable time is the value 0 and formats as the empty string: it never throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>

#include "framework/CString.h"

class CTime
{
public:
    CTime() = default;
    explicit CTime(int64_t time) : m_time(time) {}
    // Local date and time; an impossible combination gives the value 0.
    CTime(int year, int month, int day, int hour, int minute, int second);
    // A file time (UTC); a zero file time gives the value 0.
    explicit CTime(const FILETIME& fileTime);

    static CTime GetCurrentTime();

    int64_t GetTime() const { return m_time; }
    // Local broken-down time; FALSE (and a zeroed result) when it cannot be converted.
    BOOL GetLocalTm(struct tm* out) const;
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday ... 7 = Saturday; 0 when invalid
    // strftime-style text in local time ("%Y/%m/%d %H:%M.%S").
    CString Format(const wchar_t* format) const;

    friend bool operator==(const CTime& a, const CTime& b) { return a.m_time == b.m_time; }
    friend bool operator<(const CTime& a, const CTime& b) { return a.m_time < b.m_time; }

private:
    int64_t m_time = 0;
};
