#include "E2eHarness.h"

#include <shlobj.h>

#ifndef TARNELO_EXE_NAME
#define TARNELO_EXE_NAME L"Tarnelo.exe"
#endif

namespace e2e {

namespace {

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::wstring(full, length);
}

std::wstring FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

}  // namespace

std::wstring TarneloExePath()
{
    // The test runs from <build>\tests; the program is built into <build>\windows.
    return FullPath(ModuleFolder() + L"\\..\\windows\\" + TARNELO_EXE_NAME);
}

std::wstring TarneloExeFolder()
{
    const std::wstring exe = TarneloExePath();
    return exe.substr(0, exe.find_last_of(L'\\'));
}

std::wstring LocalDataFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder)))
        return std::wstring();
    return std::wstring(folder) + L"\\Olvenworks\\Tarnelo";
}

bool DirectoryExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveTree(const std::wstring& path)
{
    if (path.empty())
        return false;
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
    return !DirectoryExists(path);
}

bool ResetDataFolder()
{
    const std::wstring data = LocalDataFolder();
    if (data.empty())
        return false;
    RemoveTree(data);
    return ::SHCreateDirectoryExW(nullptr, data.c_str(), nullptr) == ERROR_SUCCESS && DirectoryExists(data);
}

std::wstring TodayLogPath(const std::wstring& dataFolder)
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return dataFolder + L"\\logs\\Log" + std::to_wstring(now.wDayOfWeek + 1) + L".txt";
}

std::vector<LogLine> ReadLog(const std::wstring& path)
{
    std::vector<LogLine> lines;
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    ::CloseHandle(file);

    const std::wstring text = FromUtf8(bytes);
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const std::wstring line = text.substr(start, end - start);
        // "<time> [<level>] <text>"; the time holds one blank.
        LogLine parsed;
        const size_t open = line.find(L" [");
        const size_t close = open == std::wstring::npos ? std::wstring::npos : line.find(L"] ", open + 2);
        if (close == std::wstring::npos) {
            parsed.text = line;
        } else {
            parsed.time = line.substr(0, open);
            parsed.level = line.substr(open + 2, close - open - 2);
            parsed.text = line.substr(close + 2);
        }
        lines.push_back(parsed);
    }
    return lines;
}

std::vector<std::wstring> ReadLogTexts(const std::wstring& path)
{
    std::vector<std::wstring> texts;
    for (const LogLine& line : ReadLog(path))
        texts.push_back(line.text);
    return texts;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount64() - start > timeoutMs)
            return false;
        ::Sleep(20);
    }
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    return WaitUntil([&] { return FileExists(path); }, timeoutMs);
}

bool WaitForLogLine(const std::wstring& logPath, const std::wstring& text, DWORD timeoutMs)
{
    return WaitUntil(
        [&] {
            for (const LogLine& line : ReadLog(logPath)) {
                if (line.text == text)
                    return true;
            }
            return false;
        },
        timeoutMs);
}

// ---- Processes -------------------------------------------------------------------------------

Process::~Process()
{
    if (IsRunning())
        Terminate();
    if (m_info.hThread)
        ::CloseHandle(m_info.hThread);
    if (m_info.hProcess)
        ::CloseHandle(m_info.hProcess);
}

bool Process::Start(const std::wstring& exePath, const std::wstring& arguments)
{
    if (m_info.hProcess)
        return false;
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    const std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\'));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return ::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &startup, &m_info) != FALSE;
}

bool Process::WaitForExit(DWORD timeoutMs)
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool Process::IsRunning() const
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Process::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_info.hProcess)
        ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void Process::Terminate()
{
    if (m_info.hProcess) {
        ::TerminateProcess(m_info.hProcess, 1);
        ::WaitForSingleObject(m_info.hProcess, 5000);
    }
}

// ---- Windows ---------------------------------------------------------------------------------

namespace {

struct WindowQuery
{
    const wchar_t* name;
    const wchar_t* className;
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
    auto* query = reinterpret_cast<WindowQuery*>(lParam);
    if (query->processId) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != query->processId)
            return TRUE;
    }
    if (query->className && WindowClassName(window) != query->className)
        return TRUE;
    if (query->name) {
        wchar_t text[512] = {};
        ::GetWindowTextW(window, text, 512);
        if (std::wstring(text) != query->name)
            return TRUE;
    }
    query->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> FindWindows(const wchar_t* name, const wchar_t* className, DWORD processId)
{
    WindowQuery query{ name, className, processId, {} };
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND FindWindowByNameAndClass(const wchar_t* name, const wchar_t* className, DWORD processId)
{
    const std::vector<HWND> found = FindWindows(name, className, processId);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForWindow(const wchar_t* name, const wchar_t* className, DWORD processId, DWORD timeoutMs)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowByNameAndClass(name, className, processId)) != nullptr; },
              timeoutMs);
    return window;
}

std::wstring WindowClassName(HWND window)
{
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

LONG_PTR WindowExStyle(HWND window)
{
    return ::GetWindowLongPtrW(window, GWL_EXSTYLE);
}

bool PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(window, message, wParam, lParam) != FALSE;
}

// ---- Wine virtual desktops ----------------------------------------------------------------------

bool StartInDesktop(Process& explorer, const std::wstring& desktop, int width, int height,
                    const std::wstring& exePath)
{
    wchar_t windowsFolder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring explorerPath = std::wstring(windowsFolder) + L"\\explorer.exe";
    const std::wstring arguments = L"/desktop=" + desktop + L"," + std::to_wstring(width) + L"x" +
                                   std::to_wstring(height) + L" \"" + exePath + L"\"";
    return explorer.Start(explorerPath, arguments);
}

namespace {

struct DesktopJob
{
    std::wstring desktop;
    const std::function<void()>* fn;
    bool attached;
};

DWORD WINAPI DesktopThread(LPVOID parameter)
{
    auto* job = static_cast<DesktopJob*>(parameter);
    const HDESK desk = ::OpenDesktopW(job->desktop.c_str(), 0, FALSE, GENERIC_ALL);
    if (!desk)
        return 1;
    job->attached = ::SetThreadDesktop(desk) != FALSE;
    if (job->attached)
        (*job->fn)();
    ::CloseDesktop(desk);
    return 0;
}

}  // namespace

bool RunOnDesktop(const std::wstring& desktop, const std::function<void()>& fn)
{
    DesktopJob job{ desktop, &fn, false };
    const HANDLE thread = ::CreateThread(nullptr, 0, DesktopThread, &job, 0, nullptr);
    if (!thread)
        return false;
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    return job.attached;
}

std::vector<HWND> FindDesktopWindows(const std::wstring& desktop, const wchar_t* name, const wchar_t* className,
                                     DWORD processId)
{
    std::vector<HWND> found;
    RunOnDesktop(desktop, [&] { found = FindWindows(name, className, processId); });
    return found;
}

HWND WaitForDesktopWindow(const std::wstring& desktop, const wchar_t* name, const wchar_t* className,
                          DWORD timeoutMs)
{
    HWND window = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> found = FindDesktopWindows(desktop, name, className);
            window = found.empty() ? nullptr : found.front();
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

std::vector<DWORD> ReadDesktopScreen(const std::wstring& desktop, const RECT& area)
{
    std::vector<DWORD> pixels;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return pixels;
    RunOnDesktop(desktop, [&] {
        const HDC screen = ::GetDC(nullptr);
        if (!screen)
            return;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HDC memory = ::CreateCompatibleDC(screen);
        if (bitmap && memory && bits) {
            const HGDIOBJ old = ::SelectObject(memory, bitmap);
            if (::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
                ::GdiFlush();
                const auto* source = static_cast<const DWORD*>(bits);
                pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
                for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i)
                    pixels.push_back(source[i] & 0x00FFFFFF);
            }
            ::SelectObject(memory, old);
        }
        if (memory)
            ::DeleteDC(memory);
        if (bitmap)
            ::DeleteObject(bitmap);
        ::ReleaseDC(nullptr, screen);
    });
    return pixels;
}

ProcessOfWindow::~ProcessOfWindow()
{
    if (m_handle)
        ::CloseHandle(m_handle);
}

bool ProcessOfWindow::Open(HWND window)
{
    if (m_handle)
        return false;
    ::GetWindowThreadProcessId(window, &m_id);
    if (!m_id)
        return false;
    m_handle = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, m_id);
    return m_handle != nullptr;
}

bool ProcessOfWindow::WaitForExit(DWORD timeoutMs)
{
    return m_handle && ::WaitForSingleObject(m_handle, timeoutMs) == WAIT_OBJECT_0;
}

bool ProcessOfWindow::IsRunning() const
{
    return m_handle && ::WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT;
}

DWORD ProcessOfWindow::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_handle)
        ::GetExitCodeProcess(m_handle, &code);
    return code;
}

void ProcessOfWindow::Terminate()
{
    if (m_handle) {
        ::TerminateProcess(m_handle, 1);
        ::WaitForSingleObject(m_handle, 5000);
    }
}

}  // namespace e2e
