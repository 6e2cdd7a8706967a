// The application object's folder operations, its system-information lines, what reaches
// its log, a start refused because another instance runs and the services a first start
// cancelled at the wizard has started. The full start is exercised end to end (e2e).
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>

#include <ctime>
#include <regex>
#include <string>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "framework/AfxSocket.h"
#include "framework/CWnd.h"
#include "framework/TempFolder.h"
#include "windows/CTarneloApp.h"

namespace {

std::vector<std::wstring> ReadLines(const std::wstring& path)
{
    std::vector<std::wstring> lines;
    const std::wstring text = testfs::WideFromUtf8(testfs::ReadString(path));
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The clock stands still at the test's start, so every line goes to one weekday file (a
// clock far from the real date would empty the file at every line, as the file's last write
// is real).
int64_t g_frozenNow = 0;
int64_t FrozenClock()
{
    return g_frozenNow;
}

std::wstring LogFileFor(const std::wstring& folder, int64_t when)
{
    const time_t seconds = static_cast<time_t>(when);
    const struct tm* local = ::localtime(&seconds);
    return folder + L"\\Log" + std::to_wstring(local ? local->tm_wday + 1 : 0) + L".txt";
}

TEST(CTarneloApp, FolderOperationsAreBuiltOnTheDataAndProgramFolders)
{
    const CString data = GetDataFolder();
    const bool iconsExisted = ::PathIsDirectoryW(data + L"\\icons") != FALSE;
    EXPECT_EQ(data, CTarneloApp::GetDataFolder());
    EXPECT_EQ(data + L"\\icons", CTarneloApp::GetIconsFolder());
    EXPECT_EQ(data + L"\\files", CTarneloApp::GetFilesFolder());
    EXPECT_EQ(data + L"\\tarnelo.ser", CTarneloApp::GetBoxFilePath());
    EXPECT_EQ(GetModuleFolder() + L"\\images", CTarneloApp::GetImagesFolder());
    // Asking for a folder creates nothing.
    EXPECT_EQ(iconsExisted, ::PathIsDirectoryW(data + L"\\icons") != FALSE);
}

TEST(CTarneloApp, SystemInformationIsTwelveLinesInOrder)
{
    TempFolder folder;
    g_frozenNow = static_cast<int64_t>(::time(nullptr));
    LogSetClock(FrozenClock);
    LogInit(folder.Path().c_str());
    CTarneloApp::LogSystemInfo();
    LogInit(L"");
    LogSetClock(nullptr);
    AfxSetExceptionLogger(nullptr);

    const std::vector<std::wstring> lines = ReadLines(LogFileFor(folder.Path(), g_frozenNow));
    ASSERT_EQ(12u, lines.size());
    const std::wregex linePrefix(LR"(^\d{4}/\d{2}/\d{2} \d{2}:\d{2}\.\d{2} \[info\] )");
    std::vector<std::wstring> texts;
    for (const std::wstring& line : lines) {
        std::wsmatch match;
        ASSERT_TRUE(std::regex_search(line, match, linePrefix)) << line;
        texts.push_back(match.suffix().str());
    }

    EXPECT_EQ(std::wstring(L"version:1.0.1.2"), texts[0]);
    EXPECT_TRUE(std::regex_match(texts[1], std::wregex(LR"(cpu \{arch:\d+ num:\d+ type:\d+ level:\d+ rev:\d+\})")))
        << texts[1];
    EXPECT_TRUE(std::regex_match(texts[2], std::wregex(LR"(memory load:\d+%)"))) << texts[2];

    // 64-bit memory figures are printed whole: the total virtual size alone exceeds 32 bits.
    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof(memory);
    ::GlobalMemoryStatus(&memory);
    std::wsmatch total;
    ASSERT_TRUE(std::regex_match(texts[3], total, std::wregex(LR"(memory total\{phy:(\d+) page:(\d+) virtual:(\d+)\})")))
        << texts[3];
    EXPECT_EQ(std::to_wstring(memory.dwTotalPhys), total[1].str());
    EXPECT_EQ(std::to_wstring(memory.dwTotalVirtual), total[3].str());
    EXPECT_TRUE(std::regex_match(texts[4], std::wregex(LR"(memory available\{phy:\d+ page:\d+ virtual:\d+\})")))
        << texts[4];

    EXPECT_TRUE(std::regex_match(texts[5], std::wregex(LR"(OS: windows .* - .* \(\d+\.\d+\))"))) << texts[5];
    const std::wstring display = L"display num:" + std::to_wstring(::GetSystemMetrics(SM_CMONITORS)) + L" corner(" +
                                 std::to_wstring(::GetSystemMetrics(SM_XVIRTUALSCREEN)) + L"," +
                                 std::to_wstring(::GetSystemMetrics(SM_YVIRTUALSCREEN)) + L") primary(" +
                                 std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L"," +
                                 std::to_wstring(::GetSystemMetrics(SM_CYSCREEN)) + L") virtual(" +
                                 std::to_wstring(::GetSystemMetrics(SM_CXVIRTUALSCREEN)) + L"," +
                                 std::to_wstring(::GetSystemMetrics(SM_CYVIRTUALSCREEN)) + L") work(";
    EXPECT_EQ(display, texts[6].substr(0, display.size()));

    TIME_ZONE_INFORMATION zone = {};
    const DWORD zoneResult = ::GetTimeZoneInformation(&zone);
    EXPECT_EQ(L"TZ result:" + std::to_wstring(zoneResult) + L" (err:", texts[7].substr(0, texts[7].find(L"err:") + 4));
    EXPECT_EQ(L" bias:" + std::to_wstring(zone.Bias), texts[7].substr(texts[7].rfind(L' ')));
    EXPECT_EQ(std::wstring(L"TZ(standard) ") + zone.StandardName + L" bias:" + std::to_wstring(zone.StandardBias),
              texts[8]);
    EXPECT_EQ(std::wstring(L"TZ(daylight) ") + zone.DaylightName + L" bias:" + std::to_wstring(zone.DaylightBias),
              texts[9]);
    EXPECT_EQ(L"UserDefault LCID:" + std::to_wstring(::GetUserDefaultLCID()) + L" LangID:" +
                  std::to_wstring(::GetUserDefaultLangID()) + L" UILanguage:" +
                  std::to_wstring(::GetUserDefaultUILanguage()),
              texts[10]);
    EXPECT_EQ(L"SystemDefault LCID:" + std::to_wstring(::GetSystemDefaultLCID()) + L" LangID:" +
                  std::to_wstring(::GetSystemDefaultLangID()) + L" UILanguage:" +
                  std::to_wstring(::GetSystemDefaultUILanguage()),
              texts[11]);
}

bool SocketsStarted()
{
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ::closesocket(socket);
    return socket != INVALID_SOCKET;
}

// Then the same start once the name is free: a first start, cancelled at the wizard, has
// started the sockets library, and its exit stops it.
TEST(CTarneloApp, ARefusedStartUndoesNothingItDidNotStartAndAStartStartsTheSockets)
{
    // Another instance holds the name.
    const HANDLE held = ::CreateMutexW(nullptr, FALSE, L"Tarnelo");
    ASSERT_NE(nullptr, held);
    {
        CTarneloApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(0u, app.m_gdiplusToken);
        EXPECT_EQ(0, app.ExitInstance());
    }
    ::CloseHandle(held);

    // The sockets as a new process has them, and this prefix's settings and boxes aside.
    int socketStarts = 0;
    while (socketStarts < 64 && ::WSACleanup() == 0)
        ++socketStarts;
    ASSERT_FALSE(SocketsStarted());
    const CString data = GetDataFolder();
    const CString aside[] = {data + L"\\config.ini", data + L"\\tarnelo.ser"};
    for (const CString& path : aside)
        ::MoveFileExW(path, path + L".aside", MOVEFILE_REPLACE_EXISTING);
    CTarneloWndManager::SetWizardHook([](CTarneloWndManager*) -> INT_PTR { return IDCANCEL; });
    {
        CTarneloApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_TRUE(SocketsStarted());
        app.ExitInstance();
    }
    EXPECT_FALSE(SocketsStarted());
    CTarneloWndManager::SetWizardHook(nullptr);
    LogInit(L"");
    for (const CString& path : aside)
        ::MoveFileExW(path + L".aside", path, MOVEFILE_REPLACE_EXISTING);
    while (socketStarts-- > 0)
        AfxSocketInit();
    AfxSetExceptionLogger(nullptr);
    // COM on this thread is still initialised as the test runner left it: S_FALSE means an
    // initialisation was already in place.
    const HRESULT again = ::CoInitialize(nullptr);
    EXPECT_EQ(S_FALSE, again);
    if (SUCCEEDED(again))
        ::CoUninitialize();
}

}  // namespace

namespace {

class CFailingHandlerWnd : public CWnd
{
private:
    LRESULT OnFail(WPARAM, LPARAM) { throw new CFileException(CFileException::diskFull, ERROR_DISK_FULL, L"x.ser"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingHandlerWnd, CWnd)
    ON_MESSAGE(WM_APP + 9, OnFail)
END_MESSAGE_MAP()

// Also the help command that the main window leaves, which the application takes.
TEST(CTarneloApp, ExceptionsCaughtAtWindowsAndTheHelpCommandGoToTheLog)
{
    TempFolder folder;
    g_frozenNow = static_cast<int64_t>(::time(nullptr));
    LogSetClock(FrozenClock);
    LogInit(folder.Path().c_str());
    {
        CTarneloApp app;  // installs the log as the framework's exception reporter and logger
        CFailingHandlerWnd window;
        ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), L"failing", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        EXPECT_EQ(0, ::SendMessageW(window.m_hWnd, WM_APP + 9, 0, 0));
        EXPECT_TRUE(::IsWindow(window.m_hWnd));
        app.m_pMainWnd = &window;
        ::SendMessageW(window.m_hWnd, WM_COMMAND, ID_HELP, 0);
        app.m_pMainWnd = nullptr;
    }
    AfxSetExceptionLogger(nullptr);
    AfxSetLogger(nullptr);
    LogInit(L"");
    LogSetClock(nullptr);

    const std::vector<std::wstring> lines = ReadLines(LogFileFor(folder.Path(), g_frozenNow));
    ASSERT_EQ(2u, lines.size());
    const std::wstring expected = L"[ERR!] <wnd> exception in message(" + std::to_wstring(WM_APP + 9) + L") ";
    EXPECT_NE(std::wstring::npos, lines[0].find(expected)) << lines[0];
    EXPECT_NE(std::wstring::npos, lines[1].find(L"[info] <app> help: no help file")) << lines[1];
}

}  // namespace
