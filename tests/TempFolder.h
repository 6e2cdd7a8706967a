// A fresh folder under the user's temporary folder for one test, removed with everything in it
// (read-only files and folders included) when the test ends, and whole-file reads and writes.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace testfs {

using Bytes = std::vector<uint8_t>;

inline void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(folder.c_str());
}

namespace detail {

template <class Out>
Out ReadWholeFile(const std::wstring& path)
{
    Out bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    ::CloseHandle(file);
    return bytes;
}

template <class In>
bool WriteWholeFile(const std::wstring& path, const In& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    ::CloseHandle(file);
    return ok;
}

}  // namespace detail

// The whole file; empty when it cannot be opened.
inline Bytes ReadBytes(const std::wstring& path) { return detail::ReadWholeFile<Bytes>(path); }
inline std::string ReadString(const std::wstring& path) { return detail::ReadWholeFile<std::string>(path); }
// Replaces the file with exactly these bytes.
inline bool WriteBytes(const std::wstring& path, const Bytes& bytes) { return detail::WriteWholeFile(path, bytes); }
inline bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    return detail::WriteWholeFile(path, bytes);
}

// A file or folder is there.
inline bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// UTF-8 bytes as UTF-16 text.
template <class In>
std::wstring WideFromUtf8(const In& bytes)
{
    if (bytes.empty())
        return std::wstring();
    const char* data = reinterpret_cast<const char*>(bytes.data());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

class TempFolder
{
public:
    TempFolder()
    {
        static std::atomic<unsigned> counter{0};
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        for (int attempt = 0; attempt < 1000; ++attempt) {
            wchar_t name[64] = {};
            _snwprintf(name, 63, L"tarnelo-test-%lu-%lu-%u", ::GetCurrentProcessId(), ::GetTickCount(),
                       counter++);
            m_path = std::wstring(base) + name;
            if (::CreateDirectoryW(m_path.c_str(), nullptr))
                return;
            if (::GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
        m_path.clear();
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        if (!m_path.empty())
            RemoveTree(m_path);
    }

    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::wstring operator/(const std::wstring& name) const { return File(name); }

    static bool WriteBytes(const std::wstring& path, const Bytes& bytes) { return testfs::WriteBytes(path, bytes); }
    static Bytes ReadBytes(const std::wstring& path) { return testfs::ReadBytes(path); }

private:
    std::wstring m_path;
};

}  // namespace testfs
