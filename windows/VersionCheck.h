// The version check's rules that need no window: how often the program asks, what it asks
// the version server and how it reads the reply. The manager window runs the check on its
// timer, makes the request and shows the notice.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/CTime.h"

namespace VersionCheck {

// The maker's version server. The request path and the reply form are what that server
// answers to; tests point the check at a local server instead.
inline constexpr wchar_t kVersionServer[] = L"http://olvenworks.example";
// The server is asked at most once in 30 days, and only this much of its reply is read.
inline constexpr LONGLONG kVersionCheckDistanceSeconds = 2592000;
inline constexpr int kVersionReplyLimit = 4096;
// The timer's first period when the check has never run, and its period after each expiry.
inline constexpr UINT kVersionCheckFirstMs = 1000;
inline constexpr UINT kVersionCheckPeriodMs = 43200000;  // 12 hours

// The install date as it goes into the query: anything but letters, digits and "-._~" is
// percent-encoded as UTF-8.
CString QueryValue(const CString& text);
// The address that asks the server at serverAddress ("http://host") for the latest version.
CString VersionRequestAddress(const CString& serverAddress, const CString& installDate);
// TRUE when a check made at lastCheck no longer holds the next one off at now: 30 days have
// passed, or lastCheck lies in the future.
BOOL IsVersionCheckDue(const CTime& lastCheck, const CTime& now);
// The text between "version:" and the next backslash-and-"n" pair after it (else the next
// "<"); FALSE, leaving version alone, when either is missing.
BOOL ParseVersion(const CString& text, CString& version);
// The number of a version read from the server: four single digits separated by dots, else
// 0, so that a damaged reply never announces an update.
int VersionNumberOfReply(const CString& version);
// The first period of the check's timer: one second when never checked, else one minute
// plus (tickCount mod 10) half-hours.
UINT FirstVersionCheckPeriod(const CTime& lastCheck, DWORD tickCount);

}  // namespace VersionCheck
