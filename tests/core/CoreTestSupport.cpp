#include "CoreTestSupport.h"

#include <vector>

namespace CoreTest {

bool SetLastWriteTime(const std::wstring& path, int64_t secondsSince1970)
{
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const uint64_t ticks = (static_cast<uint64_t>(secondsSince1970) + 11644473600ULL) * 10000000ULL;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    const bool ok = ::SetFileTime(file, nullptr, nullptr, &time) != FALSE;
    ::CloseHandle(file);
    return ok;
}

std::string Utf8(const char8_t* text)
{
    return std::string(reinterpret_cast<const char*>(text));
}

int RunChildTest(const std::wstring& name, const std::wstring& arg)
{
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" --gtest_filter=ChildProcess." + name;
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');

    ::SetEnvironmentVariableW(L"TARNELO_CHILD_ARG", arg.c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const BOOL started = ::CreateProcessW(exe, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process);
    ::SetEnvironmentVariableW(L"TARNELO_CHILD_ARG", nullptr);
    if (!started)
        return -1;
    ::CloseHandle(process.hThread);
    DWORD exitCode = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    else
        ::TerminateProcess(process.hProcess, 99);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

std::wstring ChildArgument()
{
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TARNELO_CHILD_ARG", value, 1024);
    if (length == 0 || length >= 1024)
        return std::wstring();
    return std::wstring(value, length);
}

}  // namespace CoreTest
