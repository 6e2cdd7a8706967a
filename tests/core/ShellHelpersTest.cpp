#include <gtest/gtest.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "CoreTestSupport.h"
#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ProcessFlags.h"
#include "core/ShellHelpers.h"
#include "framework/AfxMessageBox.h"

using namespace CoreTest;

namespace {

// Logs into a private folder for the length of a test.
class ScopedLog
{
public:
    ScopedLog() { LogInit(m_folder.Path().c_str()); }
    ~ScopedLog() { LogInit(nullptr); }
    // Everything logged today, whatever the weekday file.
    std::string Text() const
    {
        std::string all;
        for (int day = 1; day <= 7; ++day)
            all += ReadBytes(m_folder / (L"Log" + std::to_wstring(day) + L".txt"));
        return all;
    }

private:
    TempFolder m_folder;
};

std::string Narrow(const CString& text)
{
    char buffer[1024];
    const int count = ToUtf8(text, buffer, sizeof(buffer));
    return std::string(buffer, static_cast<size_t>(count));
}

}  // namespace

// ---------------------------------------------------------------- single instance

TEST(ShellHelpers, ASecondProcessIsRefusedByTheMutex)
{
    const std::wstring name = L"TarneloCoreTest-" + std::to_wstring(::GetCurrentProcessId());
    // Nobody holds the name yet: a child gets FALSE, which shows that the child can tell.
    EXPECT_EQ(0, RunChildTest(L"IsAlreadyRunning", L"0" + name));

    ASSERT_FALSE(IsAlreadyRunning(name.c_str()));
    EXPECT_TRUE(IsAlreadyRunning(name.c_str()));  // this process already holds it
    EXPECT_EQ(0, RunChildTest(L"IsAlreadyRunning", L"1" + name));
}

// Runs only as a child: the argument is the expected answer (0 or 1) and the mutex name.
TEST(ChildProcess, IsAlreadyRunning)
{
    const std::wstring arg = ChildArgument();
    if (arg.size() < 2)
        GTEST_SKIP() << "runs only as a child process";
    EXPECT_EQ(arg[0] == L'1' ? TRUE : FALSE, IsAlreadyRunning(arg.substr(1).c_str()));
}

// ---------------------------------------------------------------- shortcuts

TEST(ShellHelpers, CreatedShortcutResolvesToItsTarget)
{
    TempFolder folder;
    ScopedLog log;
    const std::wstring target = folder / L"target.txt";
    const std::wstring link = folder / L"target.lnk";
    ASSERT_TRUE(WriteBytes(target, "x"));

    ASSERT_TRUE(CreateShortcut(target.c_str(), link.c_str()));
    EXPECT_TRUE(FileExists(link.c_str()));
    CString out;
    ASSERT_TRUE(ResolveShortcut(out, link.c_str()));
    EXPECT_EQ(0, out.CompareNoCase(target.c_str())) << Narrow(out);

    // A shortcut to a folder resolves to the folder.
    const std::wstring folderLink = folder / L"folder.lnk";
    ASSERT_TRUE(CreateShortcut(folder.Path().c_str(), folderLink.c_str()));
    ASSERT_TRUE(ResolveShortcut(out, folderLink.c_str()));
    EXPECT_EQ(0, out.CompareNoCase(folder.Path().c_str())) << Narrow(out);

    // The working folder is the target's folder.
    IShellLinkW* shellLink = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                             reinterpret_cast<void**>(&shellLink))));
    IPersistFile* persist = nullptr;
    ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))));
    EXPECT_TRUE(SUCCEEDED(persist->Load(link.c_str(), STGM_READ)));
    wchar_t workingFolder[MAX_PATH] = {};
    EXPECT_TRUE(SUCCEEDED(shellLink->GetWorkingDirectory(workingFolder, MAX_PATH)));
    EXPECT_EQ(0, CString(workingFolder).CompareNoCase(folder.Path().c_str()));
    persist->Release();
    shellLink->Release();

    EXPECT_EQ("", log.Text());
}

TEST(ShellHelpers, CreateShortcutFailsWhereTheLinkCannotBeSaved)
{
    TempFolder folder;
    const std::wstring target = folder / L"target.txt";
    ASSERT_TRUE(WriteBytes(target, "x"));
    EXPECT_FALSE(CreateShortcut(target.c_str(), (folder / L"no\\such\\folder\\target.lnk").c_str()));
}

TEST(ShellHelpers, MissingTargetUnderProgramFilesX86MapsToProgramFiles)
{
    TempFolder folder;
    ScopedLog log;
    const std::wstring link = folder / L"app.lnk";
    ASSERT_TRUE(CreateShortcut(L"C:\\Program Files (x86)\\TarneloMissingApp\\app.exe", link.c_str()));
    CString out;
    ASSERT_TRUE(ResolveShortcut(out, link.c_str()));
    EXPECT_EQ(CString(L"C:\\Program Files\\TarneloMissingApp\\app.exe"), out) << Narrow(out);
    EXPECT_EQ("", log.Text());
}

TEST(ShellHelpers, MissingTargetElsewhereIsReturnedAndLogged)
{
    TempFolder folder;
    ScopedLog log;
    const std::wstring target = folder / L"gone.txt";
    const std::wstring link = folder / L"gone.lnk";
    ASSERT_TRUE(WriteBytes(target, "x"));
    ASSERT_TRUE(CreateShortcut(target.c_str(), link.c_str()));
    ASSERT_TRUE(::DeleteFileW(target.c_str()));

    CString out;
    ASSERT_TRUE(ResolveShortcut(out, link.c_str()));
    EXPECT_EQ(0, out.CompareNoCase(target.c_str())) << Narrow(out);
    const std::string expected =
        "[ERR!] File not found1 real:" + Narrow(out) + " link:" + Narrow(link.c_str()) + "\r\n";
    const std::string text = log.Text();
    EXPECT_NE(std::string::npos, text.find(expected)) << text;
    EXPECT_EQ(1u, static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
}

TEST(ShellHelpers, ResolveShortcutRefusesWhatIsNotAFileShortcut)
{
    TempFolder folder;
    const std::wstring notALink = folder / L"text.lnk";
    ASSERT_TRUE(WriteBytes(notALink, "this is not a shell link"));
    CString out(L"unchanged");
    EXPECT_FALSE(ResolveShortcut(out, notALink.c_str()));
    EXPECT_FALSE(ResolveShortcut(out, (folder / L"missing.lnk").c_str()));
    EXPECT_EQ(CString(L"unchanged"), out);

    // A shortcut to a shell item without a file path (the computer folder).
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                             reinterpret_cast<void**>(&link))));
    LPITEMIDLIST computer = nullptr;
    ASSERT_TRUE(SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)));
    link->SetIDList(computer);
    ::CoTaskMemFree(computer);
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    const std::wstring itemLink = folder / L"computer.lnk";
    const HRESULT saved = file->Save(itemLink.c_str(), TRUE);
    file->Release();
    link->Release();
    ASSERT_TRUE(SUCCEEDED(saved));
    EXPECT_FALSE(ResolveShortcut(out, itemLink.c_str()));
    EXPECT_EQ(CString(L"unchanged"), out);
}

// ---------------------------------------------------------------- clipboard

TEST(ShellHelpers, CopyFileToClipboardPutsOneWidePathAsHdrop)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"clipboard owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    AfxSetMainWndHandle(owner);

    const CString path(L"C:\\フォルダ\\file.txt");
    const size_t n = static_cast<size_t>(path.GetLength());
    ASSERT_TRUE(CopyFileToClipboard(path));

    ASSERT_TRUE(::OpenClipboard(owner));
    HANDLE data = ::GetClipboardData(CF_HDROP);
    ASSERT_NE(nullptr, data);
    const SIZE_T size = ::GlobalSize(data);
    EXPECT_EQ(2 * n + 24, size);
    const auto* bytes = static_cast<const BYTE*>(::GlobalLock(data));
    ASSERT_NE(nullptr, bytes);
    if (size >= 2 * n + 24) {
        DROPFILES header;
        std::memcpy(&header, bytes, sizeof(header));
        EXPECT_EQ(20u, header.pFiles);
        EXPECT_EQ(0, header.pt.x);
        EXPECT_EQ(0, header.pt.y);
        EXPECT_FALSE(header.fNC);
        EXPECT_TRUE(header.fWide);
        EXPECT_EQ(0, std::memcmp(bytes + 20, path.GetString(), 2 * n));
        const BYTE nuls[4] = {0, 0, 0, 0};
        EXPECT_EQ(0, std::memcmp(bytes + 20 + 2 * n, nuls, 4));
    }
    ::GlobalUnlock(data);
    // The shell reads the same one path back.
    wchar_t back[MAX_PATH] = {};
    EXPECT_EQ(1u, ::DragQueryFileW(static_cast<HDROP>(data), 0xFFFFFFFF, nullptr, 0));
    EXPECT_EQ(n, ::DragQueryFileW(static_cast<HDROP>(data), 0, back, MAX_PATH));
    EXPECT_EQ(path, CString(back));
    ::EmptyClipboard();
    ::CloseClipboard();

    AfxSetMainWndHandle(nullptr);
    ::DestroyWindow(owner);
}

// ---------------------------------------------------------------- message boxes

namespace {
BOOL g_flagWhileUp = FALSE;
UINT g_typeSeen = 0;
std::wstring g_textSeen;
int g_hookCalls = 0;

int AnswerNo(const wchar_t* text, UINT type)
{
    g_flagWhileUp = g_bConfirmOpen;
    g_typeSeen = type;
    g_textSeen = text;
    ++g_hookCalls;
    return IDNO;
}
}  // namespace

TEST(ShellHelpers, QuestionAndWarningMessagesGoThroughTheMessageBox)
{
    AfxSetMessageBoxHook(AnswerNo);
    g_hookCalls = 0;
    EXPECT_FALSE(g_bConfirmOpen);
    EXPECT_EQ(IDNO, ShowQuestionMessage(65000, MB_DEFBUTTON2));
    EXPECT_TRUE(g_flagWhileUp);
    EXPECT_FALSE(g_bConfirmOpen);
    EXPECT_EQ(static_cast<UINT>(MB_DEFBUTTON2 | MB_YESNO | MB_ICONQUESTION), g_typeSeen);
    EXPECT_EQ(std::wstring(LoadResString(65000).GetString()), g_textSeen);

    ShowWarningMessage(65000);
    EXPECT_FALSE(g_flagWhileUp);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), g_typeSeen);
    ShowWarningMessage(65000, MB_OKCANCEL);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION), g_typeSeen);
    EXPECT_EQ(3, g_hookCalls);
    AfxSetMessageBoxHook(nullptr);
}

namespace {
struct BoxSeen
{
    bool found = false;
    HWND owner = nullptr;
    std::wstring caption;
};
BoxSeen g_boxSeen;

BOOL CALLBACK FindMessageBox(HWND window, LPARAM)
{
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (std::wstring(className) != L"#32770")
        return TRUE;
    g_boxSeen.found = true;
    g_boxSeen.owner = ::GetWindow(window, GW_OWNER);
    wchar_t caption[256] = {};
    ::GetWindowTextW(window, caption, 256);
    g_boxSeen.caption = caption;
    ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}

// Runs inside the message box's own loop: answers the box with Cancel once it is up.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMessageBox, 0);
    if (g_boxSeen.found)
        ::KillTimer(nullptr, timer);
}
}  // namespace

TEST(ShellHelpers, AfxMessageBoxShowsABoxOwnedByTheMainWindow)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"main window", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    AfxSetMainWndHandle(owner);
    EXPECT_EQ(owner, AfxGetMainWndHandle());

    g_boxSeen = BoxSeen();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, AnswerBox);
    ASSERT_NE(0u, timer);
    EXPECT_EQ(IDCANCEL, AfxMessageBox(L"Question for the test", MB_OKCANCEL, 0));
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_boxSeen.found);
    EXPECT_EQ(owner, g_boxSeen.owner);
    EXPECT_EQ(L"core_tests", g_boxSeen.caption);

    // A main window that is gone is no owner any more.
    ::DestroyWindow(owner);
    EXPECT_EQ(nullptr, AfxGetMainWndHandle());
    AfxSetMainWndHandle(nullptr);
}

TEST(ShellHelpers, LoadResStringOfAMissingIdIsEmpty)
{
    EXPECT_TRUE(LoadResString(65001).IsEmpty());
}

// ---------------------------------------------------------------- versions and system

TEST(ShellHelpers, ParseVersionNumberReadsFourSingleDigits)
{
    EXPECT_EQ(1012, ParseVersionNumber(L"1.0.1.2"));
    EXPECT_EQ(1234, ParseVersionNumber(L"1.2.3.45"));
    EXPECT_EQ(0, ParseVersionNumber(L"1.0.10.2"));
    EXPECT_EQ(0, ParseVersionNumber(L"10.0.1.0"));
    EXPECT_EQ(0, ParseVersionNumber(L"1.0.1"));
    EXPECT_EQ(0, ParseVersionNumber(L""));
    EXPECT_EQ(9999, ParseVersionNumber(L"9.9.9.9"));
    EXPECT_EQ(2000, ParseVersionNumber(L"2.0.0.0<"));
}

TEST(ShellHelpers, GetAppVersionReadsTheVersionResource)
{
    EXPECT_EQ(CString(L"1.0.1.2"), GetAppVersion());
    EXPECT_EQ(1012, ParseVersionNumber(GetAppVersion()));
}

TEST(ShellHelpers, OsNamesAndTheReportedVersion)
{
    EXPECT_EQ(CString(L"2000"), GetOSName(VER_PLATFORM_WIN32_NT, 5, 0));
    EXPECT_EQ(CString(L"XP"), GetOSName(VER_PLATFORM_WIN32_NT, 5, 1));
    EXPECT_EQ(CString(L"Server 2003"), GetOSName(VER_PLATFORM_WIN32_NT, 5, 2));
    EXPECT_EQ(CString(L"Unknown (NT)"), GetOSName(VER_PLATFORM_WIN32_NT, 5, 3));
    EXPECT_EQ(CString(L"Vista"), GetOSName(VER_PLATFORM_WIN32_NT, 6, 0));
    EXPECT_EQ(CString(L"7"), GetOSName(VER_PLATFORM_WIN32_NT, 6, 1));
    EXPECT_EQ(CString(L"8"), GetOSName(VER_PLATFORM_WIN32_NT, 6, 2));
    EXPECT_EQ(CString(L"Unknown"), GetOSName(VER_PLATFORM_WIN32_NT, 6, 3));
    EXPECT_EQ(CString(L""), GetOSName(VER_PLATFORM_WIN32_NT, 10, 0));
    EXPECT_EQ(CString(L"Unknown"), GetOSName(VER_PLATFORM_WIN32_WINDOWS, 4, 10));

    CString name(L"stale");
    CString servicePack(L"stale");
    int major = -1;
    int minor = -1;
    ASSERT_TRUE(GetOSInfo(&name, &servicePack, &major, &minor));
    EXPECT_EQ(GetOSName(VER_PLATFORM_WIN32_NT, static_cast<DWORD>(major), static_cast<DWORD>(minor)), name);
    EXPECT_NE(CString(L"stale"), servicePack);
    // Wine reports Windows 7.
    EXPECT_EQ(6, major);
    EXPECT_EQ(1, minor);
    EXPECT_EQ(CString(L"7"), name);
    EXPECT_TRUE(GetOSInfo(nullptr, nullptr, nullptr, nullptr));
}

TEST(ShellHelpers, UILanguageCodes)
{
    EXPECT_EQ(0, UILanguageCode(1041));
    EXPECT_EQ(1, UILanguageCode(1033));
    EXPECT_EQ(2, UILanguageCode(2057));
    EXPECT_EQ(2, UILanguageCode(1031));
    EXPECT_EQ(UILanguageCode(::GetUserDefaultUILanguage()), GetUILanguage());
}

TEST(ShellHelpers, TaskbarInfoFillsEveryOutput)
{
    RECT rect = {-7, -7, -7, -7};
    BOOL autoHide = 7;
    UINT edge = 7;
    GetTaskbarInfo(&rect, &autoHide, &edge);
    EXPECT_TRUE(autoHide == TRUE || autoHide == FALSE);
    EXPECT_LE(edge, static_cast<UINT>(ABE_BOTTOM));
    // Wine's taskbar: auto-hidden at the bottom edge.
    EXPECT_TRUE(autoHide);
    EXPECT_EQ(static_cast<UINT>(ABE_BOTTOM), edge);
    EXPECT_GT(rect.right, rect.left);
    EXPECT_GT(rect.bottom, rect.top);
    GetTaskbarInfo(nullptr, nullptr, nullptr);
}

TEST(ShellHelpers, ScreenTestsUseTheVirtualScreensFarEdges)
{
    const int right = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int bottom = ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    EXPECT_FALSE(IsBeyondScreenX(right));
    EXPECT_TRUE(IsBeyondScreenX(right + 1));
    EXPECT_FALSE(IsBeyondScreenX(0));
    EXPECT_FALSE(IsBeyondScreenY(bottom));
    EXPECT_TRUE(IsBeyondScreenY(bottom + 1));
    EXPECT_FALSE(IsBeyondScreenY(-5000));
}
