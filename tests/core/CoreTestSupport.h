// Helpers shared by the core tests: a private temporary folder, whole-file reads and
// writes, file times, and a second run of this test executable as a child process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "framework/CString.h"

// Failure messages show strings as UTF-8 text.
inline void PrintTo(const CString& text, std::ostream* os)
{
    const int count = ::WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string bytes(count > 0 ? static_cast<size_t>(count) : 0, '\0');
    if (count > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), bytes.data(), count, nullptr, nullptr);
    *os << '"' << bytes << '"';
}

namespace CoreTest {

// A fresh folder under the system's temporary folder, removed with its content at the end.
class TempFolder
{
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

void RemoveTree(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool SetLastWriteTime(const std::wstring& path, int64_t secondsSince1970);
// The UTF-8 bytes of a u8 literal as a plain byte string.
std::string Utf8(const char8_t* text);

// Runs this executable again with only the test ChildProcess.<name> and the environment
// variable TARNELO_CHILD_ARG set to arg; returns its exit code (0 = the child's test passed,
// -1 when it could not be started or did not end).
int RunChildTest(const std::wstring& name, const std::wstring& arg);
// The argument a child test was given; empty when this is not a child run.
std::wstring ChildArgument();

}  // namespace CoreTest
