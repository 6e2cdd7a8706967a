#include "BoxTestSupport.h"

#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <fstream>

#include "core/Logger.h"

namespace BoxTest {

namespace {

std::atomic<int> g_folderCounter{0};

void RemoveTree(const std::wstring& folder)
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

}  // namespace

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    for (;;) {
        wchar_t name[64] = {};
        _snwprintf(name, 63, L"boxtest_%lu_%d_%lu", ::GetCurrentProcessId(), g_folderCounter++,
                   ::GetTickCount());
        m_path = std::wstring(base) + name;
        if (::CreateDirectoryW(m_path.c_str(), nullptr))
            break;
    }
    ::CreateDirectoryW((m_path + L"\\logs").c_str(), nullptr);
    LogInit((m_path + L"\\logs").c_str());
}

TempFolder::~TempFolder()
{
    LogInit(L"");
    RemoveTree(m_path);
}

std::wstring TempFolder::Logs() const
{
    std::wstring text;
    for (int day = 1; day <= 7; ++day) {
        const Bytes bytes = ReadBytes(m_path + L"\\logs\\Log" + std::to_wstring(day) + L".txt");
        if (bytes.empty())
            continue;
        const int wide = ::MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring part(static_cast<size_t>(wide), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes.data()),
                              static_cast<int>(bytes.size()), part.data(), wide);
        text += part;
    }
    return text;
}

GdiplusRun::GdiplusRun()
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

GdiplusRun::~GdiplusRun()
{
    if (m_token)
        Gdiplus::GdiplusShutdown(m_token);
}

Writer& Writer::Str(const std::wstring& text)
{
    U8(0xFF).U16(0xFFFE);
    if (text.size() < 0xFF)
        U8(static_cast<uint8_t>(text.size()));
    else
        U8(0xFF).U16(static_cast<uint16_t>(text.size()));
    for (wchar_t ch : text)
        U16(static_cast<uint16_t>(ch));
    return *this;
}

Writer& Writer::Str8(const std::string& text)
{
    U8(static_cast<uint8_t>(text.size()));
    for (char ch : text)
        U8(static_cast<uint8_t>(ch));
    return *this;
}

Bytes ReadBytes(const std::wstring& path)
{
    Bytes bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 256 * 1024 * 1024) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            got = 0;
        bytes.resize(got);
    }
    ::CloseHandle(file);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() ||
                    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadText(const std::wstring& path)
{
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

int CountOccurrences(const std::wstring& text, const std::wstring& needle)
{
    int count = 0;
    for (size_t at = text.find(needle); at != std::wstring::npos; at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

Model::CTarneloInfo::_SCREEN_INFO ExampleScreen()
{
    Model::CTarneloInfo::_SCREEN_INFO screen;
    screen.rcVirtual = {0, 0, 1920, 1080};
    screen.rcTaskbar = {0, 1040, 1920, 1080};
    screen.bTaskbarAutoHide = FALSE;
    screen.nTaskbarEdge = 3;  // bottom
    return screen;
}

}  // namespace BoxTest
