// Helpers for end-to-end tests: they start the real Tarnelo.exe, wait for it, look at its
// windows from outside and read what it wrote (its data folder and its log).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The input tests' virtual desktop and the time they give the program for each step.
constexpr wchar_t kDesktop[] = L"TarneloE2e";
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kEventTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 20000;

// The names of the six boxes a data folder without a box file starts with, in their order.
inline constexpr const wchar_t* kDefaultBoxNames[] = { L"Apps",    L"Tools",  L"Documents",
                                                       L"Folders", L"Shared", L"Hot items" };

// The program under test: <build>\windows\Tarnelo.exe beside this test's <build>\tests.
std::wstring TarneloExePath();
std::wstring TarneloExeFolder();

// The data folder the program picks when it exists: local application data followed by
// "\Olvenworks\Tarnelo".
std::wstring LocalDataFolder();
// Empties the local data folder (creating it when missing), so the program uses it.
bool ResetDataFolder();
// Deletes a folder with everything in it; TRUE when nothing is left.
bool RemoveTree(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);
bool FileExists(const std::wstring& path);

// The log file the program writes today: data\logs\Log<1..7>.txt, 1 = Sunday.
std::wstring TodayLogPath(const std::wstring& dataFolder);

struct LogLine
{
    std::wstring time;   // "2016/03/29 14:05.09"
    std::wstring level;  // "info", "warn", "ERR!", "act "
    std::wstring text;
};
// The lines of a log file (UTF-8, CR LF); none when the file is missing.
std::vector<LogLine> ReadLog(const std::wstring& path);
std::vector<std::wstring> ReadLogTexts(const std::wstring& path);
// How many lines of the log read exactly text.
size_t CountLogLines(const std::wstring& path, const std::wstring& text);
// Prints every line of the log, to explain a failed test.
void PrintLog(const std::wstring& path);

// Waits (checking every few milliseconds) until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
bool WaitForFile(const std::wstring& path, DWORD timeoutMs);
bool WaitForLogLine(const std::wstring& logPath, const std::wstring& text, DWORD timeoutMs);

// A started process; a process still running when the object goes is terminated.
class Process
{
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    bool Start(const std::wstring& exePath, const std::wstring& arguments = std::wstring());
    // TRUE when the process ended within the time.
    bool WaitForExit(DWORD timeoutMs);
    bool IsRunning() const;
    DWORD ExitCode() const;
    DWORD Id() const { return m_info.dwProcessId; }
    void Terminate();

private:
    PROCESS_INFORMATION m_info = {};
};

// Holds a named mutex, as a running instance does.
class NamedMutex
{
public:
    explicit NamedMutex(const wchar_t* name) : m_handle(::CreateMutexW(nullptr, FALSE, name)) {}
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    ~NamedMutex()
    {
        if (m_handle)
            ::CloseHandle(m_handle);
    }
    bool IsHeld() const { return m_handle != nullptr; }

private:
    HANDLE m_handle;
};

// Top-level windows by name and class (null matches any), of one process when processId
// is not 0.
std::vector<HWND> FindWindows(const wchar_t* name, const wchar_t* className, DWORD processId = 0);
HWND FindWindowByNameAndClass(const wchar_t* name, const wchar_t* className, DWORD processId = 0);
HWND WaitForWindow(const wchar_t* name, const wchar_t* className, DWORD processId, DWORD timeoutMs);
std::wstring WindowClassName(HWND window);
RECT WindowRect(HWND window);
LONG_PTR WindowExStyle(HWND window);
// Posts a message that carries no pointers into the program.
bool PostToWindow(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// ---- Wine virtual desktops ---------------------------------------------------------------------
// A program started in a virtual desktop of fixed size ("explorer /desktop=NAME,WxH exe") sees
// a defined screen. Its windows live on that desktop: this process reaches them from a
// helper thread attached to the desktop, so windows are found and the screen is read there.

// Starts explorer.exe with "/desktop=name,WxH" and the program; the process is explorer's.
bool StartInDesktop(Process& explorer, const std::wstring& desktop, int width, int height,
                    const std::wstring& exePath);
// Runs fn on a new thread attached to the desktop; false when the desktop cannot be opened.
bool RunOnDesktop(const std::wstring& desktop, const std::function<void()>& fn);
// As FindWindows, for the top-level windows of a desktop.
std::vector<HWND> FindDesktopWindows(const std::wstring& desktop, const wchar_t* name, const wchar_t* className,
                                     DWORD processId = 0);
HWND WaitForDesktopWindow(const std::wstring& desktop, const wchar_t* name, const wchar_t* className,
                          DWORD timeoutMs);
// The screen of a desktop inside the rectangle, as 0x00RRGGBB pixels row by row; empty when
// it cannot be read.
std::vector<DWORD> ReadDesktopScreen(const std::wstring& desktop, const RECT& area);

// A process found by one of its windows, opened to wait for its end and read its exit code.
class ProcessOfWindow
{
public:
    ProcessOfWindow() = default;
    ProcessOfWindow(const ProcessOfWindow&) = delete;
    ProcessOfWindow& operator=(const ProcessOfWindow&) = delete;
    ~ProcessOfWindow();

    bool Open(HWND window);
    bool WaitForExit(DWORD timeoutMs);
    bool IsRunning() const;
    DWORD ExitCode() const;
    DWORD Id() const { return m_id; }
    void Terminate();

private:
    HANDLE m_handle = nullptr;
    DWORD m_id = 0;
};

// ---- Real input on a virtual desktop -----------------------------------------------------------
// The cursor is put with SetCursorPos and buttons and keys are sent with SendInput, from a
// thread attached to the desktop: Wine then routes them to that desktop's windows exactly as
// the user's would be. Under Wine a cursor move sends WM_MOUSEMOVE carrying the buttons held.
// In a virtual desktop a placement also goes through the X server, whose echo of an earlier
// placement may overtake it for a moment: these helpers put the cursor again until it stays.

bool MoveCursor(const std::wstring& desktop, int x, int y);
POINT CursorPos(const std::wstring& desktop);
// Presses or releases buttons: MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTUP, ...; or turns the
// wheel (MOUSEEVENTF_WHEEL) by wheelDelta.
bool SendMouseButtons(const std::wstring& desktop, DWORD buttonFlags, int wheelDelta = 0);
// Moves the cursor to the point (it rests there holdMs) and clicks there.
bool ClickAt(const std::wstring& desktop, int x, int y, bool rightButton = false, DWORD holdMs = 100);
// Presses the left button at from (with a move on the spot there), moves in steps (stepMs
// apart) to to and releases it there. Given a holder, the press waits until that window has
// taken the mouse for the cursor resting at from: on a busy machine a window that captures
// on hover may not have seen the cursor arrive yet, and the drag's moves would pass it by.
bool DragWithLeftButton(const std::wstring& desktop, POINT from, POINT to, int steps, DWORD stepMs,
                        HWND holder = nullptr);
// Presses and releases a key.
bool PressKey(const std::wstring& desktop, WORD virtualKey);
// The window that receives the desktop's keyboard input.
HWND DesktopForegroundWindow(const std::wstring& desktop);

// ---- Files the program reads and writes --------------------------------------------------------

bool WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes);
// Empty when the file is missing.
std::vector<BYTE> ReadFileBytes(const std::wstring& path);
// Gives "config.ini" of the data folder an install date, so the first-boot wizard is skipped.
bool WriteInstallDate(const std::wstring& dataFolder);
// A fresh data folder with an install date, as the program starts without its wizard; gives the
// folder and the path of today's log in it.
bool ResetInstalledDataFolder(std::wstring& dataFolder, std::wstring& logPath);
// An integer key of an INI file changed behind this process's back (the cache is dropped first).
int ReadIniInt(const std::wstring& path, const wchar_t* section, const wchar_t* key, int missing);

// The box file "tarnelo.ser": a 4-byte version, an archive string (ignored), a 4-byte box
// count, then the box records; numbers little-endian, strings in the archive's encoding
// (FF FE FF, a length in characters, UTF-16LE characters).
struct BoxFileItem
{
    DWORD type = 1;  // 1 file, 2 folder, 3 shortcut, 4 internet shortcut
    std::wstring name;
    std::wstring path;
    std::wstring iconKey;  // from version 1003
};
struct BoxFileRecord
{
    DWORD id = 0;
    LONG x = 0;
    LONG y = 0;
    std::wstring name;
    std::vector<BoxFileItem> items;
    DWORD hotKeyModifiers = 0;  // from version 1002
    DWORD hotKeyKey = 0;        // from version 1002
    DWORD reserved = 0;
    DWORD colorRef = 0x00404040;
    std::wstring icon;
};
void AppendArchiveString(std::vector<BYTE>& bytes, const std::wstring& text);
std::vector<BYTE> BoxFileBytes(const std::vector<BoxFileRecord>& boxes, DWORD version = 1003);
// False for a file that ends early or holds a length beyond its end.
bool ParseBoxFile(const std::vector<BYTE>& bytes, std::vector<BoxFileRecord>& boxes, DWORD* version = nullptr);

// ---- The program running in a virtual desktop --------------------------------------------------

// Starts Tarnelo.exe in a virtual desktop on the data folder as it stands and waits until its
// boxes are made; ends it by the exit event (or by force) when it goes.
class DesktopSession
{
public:
    DesktopSession() = default;
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;
    ~DesktopSession() { End(); }

    bool Start(const std::wstring& desktop, int width, int height, DWORD timeoutMs);
    // TRUE when the program ended by itself within the time; else it is terminated.
    bool End(DWORD timeoutMs = 20000);

    const std::wstring& Desktop() const { return m_desktop; }
    HWND Manager() const { return m_manager; }
    ProcessOfWindow& Program() { return m_program; }
    // A box window by its box name (its window is named "Tarnelo" and the name).
    HWND Box(const std::wstring& name) const;
    // The program's top-level windows of a class on the desktop ("#32768" menus, "#32770"
    // message boxes), visible ones only.
    std::vector<HWND> VisibleWindows(const wchar_t* name, const wchar_t* className) const;

private:
    std::wstring m_desktop;
    Process m_explorer;
    ProcessOfWindow m_program;
    HWND m_manager = nullptr;
};

}  // namespace e2e
