#include "E2eHarness.h"

#include <shlobj.h>

#include <cstdio>

#include "TempFolder.h"
#include "core/WindowMessages.h"

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
    testfs::RemoveTree(path);
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
    const std::wstring text = testfs::WideFromUtf8(testfs::ReadString(path));
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

size_t CountLogLines(const std::wstring& path, const std::wstring& text)
{
    size_t count = 0;
    for (const std::wstring& line : ReadLogTexts(path))
        count += line == text ? 1 : 0;
    return count;
}

void PrintLog(const std::wstring& path)
{
    for (const LogLine& line : ReadLog(path))
        std::printf("program log: [%ls] %ls\n", line.level.c_str(), line.text.c_str());
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

// ---- Real input on a virtual desktop -----------------------------------------------------------

namespace {

bool SendMouseInput(DWORD flags, DWORD data = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    return ::SendInput(1, &input, sizeof(input)) == 1;
}

// A button event at a screen point, carried in the same input: a late echo of an earlier
// cursor placement (see PlaceCursor) cannot move the press or the release elsewhere.
bool SendMouseInputAt(DWORD flags, POINT at)
{
    const LONG width = ::GetSystemMetrics(SM_CXSCREEN);
    const LONG height = ::GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        return false;
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // Rounded up, so that the scaling back to pixels lands on the pixel itself.
    input.mi.dx = (at.x * 65536 + width - 1) / width;
    input.mi.dy = (at.y * 65536 + height - 1) / height;
    return ::SendInput(1, &input, sizeof(input)) == 1;
}

bool SendKeyInput(WORD virtualKey, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return ::SendInput(1, &input, sizeof(input)) == 1;
}

// Puts the cursor at (x, y) on the calling thread's desktop, with a mouse move there, and
// waits waitMs. In a virtual desktop a cursor placement also goes through the X server, and
// the echo of an earlier one may overtake it for a moment: the cursor is put again until it
// stays put.
bool PlaceCursor(int x, int y, DWORD waitMs)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (!::SetCursorPos(x, y))
            return false;
        SendMouseInput(MOUSEEVENTF_MOVE);
        ::Sleep(waitMs);
        POINT now = {};
        if (::GetCursorPos(&now) && now.x == x && now.y == y)
            return true;
    }
    return false;
}

}  // namespace

bool MoveCursor(const std::wstring& desktop, int x, int y)
{
    bool moved = false;
    RunOnDesktop(desktop, [&] { moved = PlaceCursor(x, y, 20); });
    return moved;
}

POINT CursorPos(const std::wstring& desktop)
{
    POINT point = { -1, -1 };
    RunOnDesktop(desktop, [&] { ::GetCursorPos(&point); });
    return point;
}

bool SendMouseButtons(const std::wstring& desktop, DWORD buttonFlags, int wheelDelta)
{
    bool sent = false;
    RunOnDesktop(desktop, [&] { sent = SendMouseInput(buttonFlags, static_cast<DWORD>(wheelDelta)); });
    return sent;
}

bool ClickAt(const std::wstring& desktop, int x, int y, bool rightButton, DWORD holdMs)
{
    bool sent = false;
    RunOnDesktop(desktop, [&] {
        // The window under the cursor first sees the cursor arrive (hover, capture).
        if (!PlaceCursor(x, y, holdMs))
            return;
        sent = SendMouseInputAt(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, POINT{ x, y }) &&
               SendMouseInputAt(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, POINT{ x, y });
    });
    return sent;
}

bool DragWithLeftButton(const std::wstring& desktop, POINT from, POINT to, int steps, DWORD stepMs, HWND holder)
{
    if (steps < 1)
        steps = 1;
    bool done = false;
    RunOnDesktop(desktop, [&] {
        if (!PlaceCursor(from.x, from.y, stepMs))
            return;
        if (holder) {
            const DWORD thread = ::GetWindowThreadProcessId(holder, nullptr);
            const bool held = WaitUntil(
                [&] {
                    GUITHREADINFO info = {};
                    info.cbSize = sizeof(info);
                    // Nudged on the spot, so that a window that missed the arrival sees a move.
                    SendMouseInput(MOUSEEVENTF_MOVE);
                    return ::GetGUIThreadInfo(thread, &info) && info.hwndCapture == holder;
                },
                kEventTimeoutMs);
            if (!held)
                return;
        }
        if (!SendMouseInputAt(MOUSEEVENTF_LEFTDOWN, from))
            return;
        // A move on the spot: a window that takes hold on the first move with the button
        // down takes it at from.
        SendMouseInputAt(0, from);
        ::Sleep(stepMs);
        for (int i = 1; i <= steps; ++i) {
            // Each step as a move of the input queue, in order before the release.
            if (!PlaceCursor(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps, stepMs))
                return;
        }
        done = SendMouseInputAt(MOUSEEVENTF_LEFTUP, to);
    });
    return done;
}

bool PressKey(const std::wstring& desktop, WORD virtualKey)
{
    bool sent = false;
    RunOnDesktop(desktop, [&] { sent = SendKeyInput(virtualKey, 0) && SendKeyInput(virtualKey, KEYEVENTF_KEYUP); });
    return sent;
}

HWND DesktopForegroundWindow(const std::wstring& desktop)
{
    HWND window = nullptr;
    RunOnDesktop(desktop, [&] { window = ::GetForegroundWindow(); });
    return window;
}

// ---- Files the program reads and writes --------------------------------------------------------

bool WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                                  nullptr) &&
                                      written == bytes.size());
    ::CloseHandle(file);
    return ok;
}

std::vector<BYTE> ReadFileBytes(const std::wstring& path)
{
    std::vector<BYTE> bytes;
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    BYTE buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.insert(bytes.end(), buffer, buffer + read);
    ::CloseHandle(file);
    return bytes;
}

bool WriteInstallDate(const std::wstring& dataFolder)
{
    const std::wstring path = dataFolder + L"\\config.ini";
    const bool written = ::WritePrivateProfileStringW(L"install", L"date", L"20261201_101010", path.c_str()) != FALSE;
    // Written through to the file before the program reads it.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    return written;
}

bool ResetInstalledDataFolder(std::wstring& dataFolder, std::wstring& logPath)
{
    if (!ResetDataFolder())
        return false;
    dataFolder = LocalDataFolder();
    logPath = TodayLogPath(dataFolder);
    return WriteInstallDate(dataFolder);
}

int ReadIniInt(const std::wstring& path, const wchar_t* section, const wchar_t* key, int missing)
{
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    return static_cast<int>(::GetPrivateProfileIntW(section, key, missing, path.c_str()));
}

namespace {

void AppendDword(std::vector<BYTE>& bytes, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

// Reads the box file front to back; every read checks the bytes left first.
class BoxFileReader
{
public:
    explicit BoxFileReader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}

    bool Bytes(size_t count, const BYTE*& out)
    {
        if (m_bytes.size() - m_pos < count)
            return false;
        out = m_bytes.data() + m_pos;
        m_pos += count;
        return true;
    }
    bool Uint(size_t size, unsigned long long& value)
    {
        const BYTE* p = nullptr;
        if (!Bytes(size, p))
            return false;
        value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= static_cast<unsigned long long>(p[i]) << (8 * i);
        return true;
    }
    bool Dword(DWORD& value)
    {
        unsigned long long v = 0;
        if (!Uint(4, v))
            return false;
        value = static_cast<DWORD>(v);
        return true;
    }
    bool Long(LONG& value)
    {
        DWORD v = 0;
        if (!Dword(v))
            return false;
        value = static_cast<LONG>(v);
        return true;
    }
    // Only the wide form the program writes: FF FE FF, then the length.
    bool String(std::wstring& text)
    {
        unsigned long long marker = 0;
        unsigned long long length = 0;
        if (!Uint(1, marker) || marker != 0xFF || !Uint(2, marker) || marker != 0xFFFE || !Uint(1, length))
            return false;
        if (length == 0xFF) {
            if (!Uint(2, length))
                return false;
            if (length == 0xFFFF && !Uint(4, length))
                return false;
        }
        if (length > (m_bytes.size() - m_pos) / 2)
            return false;
        const BYTE* p = nullptr;
        Bytes(static_cast<size_t>(length) * 2, p);
        text.assign(static_cast<size_t>(length), L'\0');
        for (size_t i = 0; i < length; ++i)
            text[i] = static_cast<wchar_t>(p[2 * i] | (p[2 * i + 1] << 8));
        return true;
    }
    bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
    const std::vector<BYTE>& m_bytes;
    size_t m_pos = 0;
};

}  // namespace

void AppendArchiveString(std::vector<BYTE>& bytes, const std::wstring& text)
{
    bytes.push_back(0xFF);
    bytes.push_back(0xFE);
    bytes.push_back(0xFF);
    const size_t length = text.size();
    if (length < 0xFF) {
        bytes.push_back(static_cast<BYTE>(length));
    } else if (length < 0xFFFE) {
        bytes.push_back(0xFF);
        bytes.push_back(static_cast<BYTE>(length));
        bytes.push_back(static_cast<BYTE>(length >> 8));
    } else {
        bytes.push_back(0xFF);
        bytes.push_back(0xFF);
        bytes.push_back(0xFF);
        AppendDword(bytes, static_cast<DWORD>(length));
    }
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
}

std::vector<BYTE> BoxFileBytes(const std::vector<BoxFileRecord>& boxes, DWORD version)
{
    std::vector<BYTE> bytes;
    AppendDword(bytes, version);
    AppendArchiveString(bytes, std::wstring());
    AppendDword(bytes, static_cast<DWORD>(boxes.size()));
    for (const BoxFileRecord& box : boxes) {
        AppendDword(bytes, box.id);
        AppendDword(bytes, static_cast<DWORD>(box.x));
        AppendDword(bytes, static_cast<DWORD>(box.y));
        AppendArchiveString(bytes, box.name);
        AppendDword(bytes, static_cast<DWORD>(box.items.size()));
        for (const BoxFileItem& item : box.items) {
            AppendDword(bytes, item.type);
            AppendArchiveString(bytes, item.name);
            AppendArchiveString(bytes, item.path);
            if (version >= 1003)
                AppendArchiveString(bytes, item.iconKey);
        }
        if (version >= 1002) {
            AppendDword(bytes, box.hotKeyModifiers);
            AppendDword(bytes, box.hotKeyKey);
        }
        AppendDword(bytes, box.reserved);
        AppendDword(bytes, box.colorRef);
        AppendArchiveString(bytes, box.icon);
    }
    return bytes;
}

bool ParseBoxFile(const std::vector<BYTE>& bytes, std::vector<BoxFileRecord>& boxes, DWORD* version)
{
    boxes.clear();
    BoxFileReader reader(bytes);
    DWORD fileVersion = 0;
    DWORD count = 0;
    std::wstring reserved;
    if (!reader.Dword(fileVersion) || !reader.String(reserved) || !reader.Dword(count))
        return false;
    if (version)
        *version = fileVersion;
    for (DWORD i = 0; i < count; ++i) {
        BoxFileRecord box;
        DWORD items = 0;
        if (!reader.Dword(box.id) || !reader.Long(box.x) || !reader.Long(box.y) || !reader.String(box.name) ||
            !reader.Dword(items))
            return false;
        for (DWORD j = 0; j < items; ++j) {
            BoxFileItem item;
            if (!reader.Dword(item.type) || !reader.String(item.name) || !reader.String(item.path))
                return false;
            if (fileVersion >= 1003 && !reader.String(item.iconKey))
                return false;
            box.items.push_back(item);
        }
        if (fileVersion >= 1002 && (!reader.Dword(box.hotKeyModifiers) || !reader.Dword(box.hotKeyKey)))
            return false;
        if (!reader.Dword(box.reserved) || !reader.Dword(box.colorRef) || !reader.String(box.icon))
            return false;
        boxes.push_back(box);
    }
    return reader.AtEnd();
}

// ---- The program running in a virtual desktop --------------------------------------------------

bool DesktopSession::Start(const std::wstring& desktop, int width, int height, DWORD timeoutMs)
{
    if (!m_desktop.empty())
        return false;
    m_desktop = desktop;
    const std::wstring log = TodayLogPath(LocalDataFolder());
    if (!StartInDesktop(m_explorer, desktop, width, height, TarneloExePath()))
        return false;
    if (!WaitForLogLine(log, L"CreateBoxies-done", timeoutMs))
        return false;
    m_manager = WaitForDesktopWindow(desktop, L"TarneloWndManager", nullptr, timeoutMs);
    return m_manager && m_program.Open(m_manager);
}

bool DesktopSession::End(DWORD timeoutMs)
{
    bool ended = !m_program.IsRunning();
    if (!ended) {
        // The exit event, as the confirmed menu command posts it.
        PostToWindow(m_manager, WM_BOXMSG, 13, 0);
        ended = m_program.WaitForExit(timeoutMs);
        if (!ended)
            m_program.Terminate();
    }
    // The virtual desktop goes with its last program; it is ended here if it lingers.
    if (m_explorer.IsRunning() && !m_explorer.WaitForExit(5000))
        m_explorer.Terminate();
    return ended;
}

HWND DesktopSession::Box(const std::wstring& name) const
{
    const std::vector<HWND> found =
        FindDesktopWindows(m_desktop, (L"Tarnelo" + name).c_str(), nullptr, m_program.Id());
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> DesktopSession::VisibleWindows(const wchar_t* name, const wchar_t* className) const
{
    std::vector<HWND> visible;
    // Visibility takes the parents into account up to the desktop window, which only a
    // thread of that desktop sees as its own.
    RunOnDesktop(m_desktop, [&] {
        for (const HWND window : FindWindows(name, className, m_program.Id())) {
            if (::IsWindowVisible(window))
                visible.push_back(window);
        }
    });
    return visible;
}

}  // namespace e2e
