#include "core/Logger.h"

#include <ctime>
#include <mutex>
#include <vector>

#include "core/PathHelpers.h"
#include "framework/CFile.h"
#include "framework/CTime.h"
#include "framework/ScopedHandles.h"

namespace {

// Empty until LogInit: every call before it does nothing.
CString g_logFolder;
CRITICAL_SECTION g_logLock;
std::once_flag g_logLockOnce;
LogClock g_logClock = nullptr;

int64_t Now()
{
    return g_logClock ? g_logClock() : static_cast<int64_t>(::time(nullptr));
}

struct LockGuard
{
    LockGuard() { ::EnterCriticalSection(&g_logLock); }
    ~LockGuard() { ::LeaveCriticalSection(&g_logLock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;
};

// A file last written on another month and day belongs to an earlier week: start it
// afresh. The year is not compared.
bool IsFromAnotherDay(const CString& path, const struct tm& today)
{
    CFileStatus status;
    if (!CFile::GetStatus(path, status))
        return true;
    struct tm written = {};
    if (!status.m_mtime.GetLocalTm(&written))
        written = {};
    return !(written.tm_mon == today.tm_mon && written.tm_mday == today.tm_mday && written.tm_mday != 0);
}

void AppendLine(const CString& path, const struct tm& today, const char* bytes, int count)
{
    // The look at the file's date is made under the lock too: two threads that both found
    // yesterday's file would otherwise each empty it, and the first one's line would be lost.
    LockGuard guard;
    const bool truncate = IsFromAnotherDay(path, today);
    const ScopedFile file(::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        truncate ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;  // a lost line is never reported
    LARGE_INTEGER zero = {};
    if (!::SetFilePointerEx(file.get(), zero, nullptr, FILE_END))
        return;
    DWORD written = 0;
    ::WriteFile(file.get(), bytes, static_cast<DWORD>(count), &written, nullptr);
}

}  // namespace

void LogInit(const wchar_t* folder)
{
    std::call_once(g_logLockOnce, [] { ::InitializeCriticalSection(&g_logLock); });
    g_logFolder = folder ? folder : L"";
}

void LogSetClock(LogClock clock)
{
    g_logClock = clock;
}

void Log(const wchar_t* level, const wchar_t* text)
{
    const int64_t now = Now();
    if (g_logFolder.IsEmpty())
        return;
    try {
        const CTime time(now);
        CString line = FormatString(L"%s [%s] %s\n", time.Format(L"%Y/%m/%d %H:%M.%S").GetString(),
                                    level ? level : L"", text ? text : L"");
        // The files are text files: every line feed is stored as CR LF.
        line.Replace(L"\n", L"\r\n");

        std::vector<char> utf8(static_cast<size_t>(line.GetLength()) * 3 + 1);
        const int count = ToUtf8(line, utf8.data(), static_cast<int>(utf8.size()));
        if (count <= 0)
            return;

        struct tm local = {};
        time.GetLocalTm(&local);
        const CString path = FormatString(L"%s\\Log%d.txt", g_logFolder.GetString(), local.tm_wday + 1);

        AppendLine(path, local, utf8.data(), count);
    } catch (...) {
        // Logging never fails its caller.
    }
}

void LogValue(const wchar_t* level, const wchar_t* text, long n)
{
    Log(level, FormatString(L"%s (%ld)", text ? text : L"", n));
}

void LogValue2(const wchar_t* level, const wchar_t* text, long n1, long n2)
{
    Log(level, FormatString(L"%s (%ld,%ld)", text ? text : L"", n1, n2));
}

void LogValue3(const wchar_t* level, const wchar_t* text, long n1, long n2, long n3)
{
    Log(level, FormatString(L"%s (%ld,%ld,%ld)", text ? text : L"", n1, n2, n3));
}

void LogException(const wchar_t* level, const wchar_t* label, long line, CException* exception)
{
    if (!exception) {
        const DWORD lastError = ::GetLastError();
        Log(level, FormatString(L"%s(%ld) Exception, le:%d", label ? label : L"", line,
                                static_cast<int>(lastError)));
        return;
    }
    // Starts empty so that an exception without a message logs nothing after the number.
    wchar_t message[256] = {};
    if (!exception->GetErrorMessage(message, 256))
        message[0] = L'\0';
    message[255] = L'\0';
    exception->Delete();
    Log(level, FormatString(L"%s(%ld) %s", label ? label : L"", line, message));
}
