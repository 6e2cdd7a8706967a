// The weekday log: one line per call into "Log%d.txt" (1 = Sunday ... 7 = Saturday) of the
// log folder, UTF-8 with CR LF endings; a file last written on another date is emptied by
// the first line of the day. Logging never reports a failure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/CException.h"
#include "framework/CString.h"

// The levels a line is written with, four characters each so the lines stay aligned.
inline constexpr wchar_t kLogInfo[] = L"info";
inline constexpr wchar_t kLogWarn[] = L"warn";
inline constexpr wchar_t kLogError[] = L"ERR!";
inline constexpr wchar_t kLogAction[] = L"act ";  // something the user did

void LogInit(const wchar_t* folder);
void Log(const wchar_t* level, const wchar_t* text);
void LogValue(const wchar_t* level, const wchar_t* text, long n);
void LogValue2(const wchar_t* level, const wchar_t* text, long n1, long n2);
void LogValue3(const wchar_t* level, const wchar_t* text, long n1, long n2, long n3);
// Logs a caught exception and deletes it (a null exception logs the last Win32 error).
void LogException(const wchar_t* level, const wchar_t* label, long line, CException* exception);

// Tests replace the clock (seconds since 1970); null restores the system clock.
using LogClock = int64_t (*)();
void LogSetClock(LogClock clock);
