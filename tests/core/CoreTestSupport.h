// Helpers shared by the core tests: the shared temporary folder and whole-file reads and
// writes, file times, and a second run of this test executable as a child process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "TempFolder.h"
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

using testfs::TempFolder;
// Whole files as byte strings.
inline std::string ReadBytes(const std::wstring& path) { return testfs::ReadString(path); }
using testfs::WriteBytes;
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
