// The application object's entry: InitInstance, the message loop, and ExitInstance on
// every path, with the main window's handle published and withdrawn.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/AfxMessageBox.h"
#include "framework/CWinApp.h"
#include "framework/CWinAppEx.h"
#include "framework/CWnd.h"

namespace {

const wchar_t* AppTestClass()
{
    return AfxRegisterWndClass(0);
}

// A WM_QUIT left in the test thread's queue would end the next test's loop at once.
void DrainQuit()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class CRecordingApp : public CWinAppEx
{
public:
    enum class Mode { failWithWindow, closeMainWindow, quitWithCode, throwAtInit, preTranslate };

    explicit CRecordingApp(Mode mode) : CWinAppEx(TRUE), m_mode(mode) {}

    std::vector<std::wstring> steps;
    CWnd mainWindow;
    HWND mainHandle = nullptr;
    bool handlePublished = false;
    bool windowGoneAtExit = false;

    BOOL InitInstance() override
    {
        steps.push_back(L"init");
        switch (m_mode) {
        case Mode::failWithWindow:
            m_pMainWnd = &mainWindow;  // set before the window exists: published when it is bound
            mainWindow.CreateEx(0, AppTestClass(), L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
            mainHandle = mainWindow.m_hWnd;
            handlePublished = mainHandle && AfxGetMainWndHandle() == mainHandle;
            return FALSE;
        case Mode::closeMainWindow:
            mainWindow.CreateEx(0, AppTestClass(), L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
            m_pMainWnd = &mainWindow;
            mainHandle = mainWindow.m_hWnd;
            handlePublished = mainHandle && AfxGetMainWndHandle() == mainHandle;
            ::PostMessageW(mainHandle, WM_CLOSE, 0, 0);  // the default processing destroys it
            return TRUE;
        case Mode::quitWithCode:
            ::PostQuitMessage(7);
            return TRUE;
        case Mode::throwAtInit:
            throw new CException();
        case Mode::preTranslate:
            return TRUE;
        }
        return FALSE;
    }
    int ExitInstance() override
    {
        steps.push_back(L"exit");
        windowGoneAtExit = mainHandle && !::IsWindow(mainHandle);
        const int code = CWinAppEx::ExitInstance();
        return m_mode == Mode::failWithWindow ? 42 : code;
    }

private:
    Mode m_mode;
};

TEST(CWinApp, TheNewestApplicationIsTheCurrentOne)
{
    EXPECT_EQ(nullptr, AfxGetApp());
    {
        CRecordingApp app(CRecordingApp::Mode::quitWithCode);
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_EQ(::GetModuleHandleW(nullptr), app.m_hInstance);
        EXPECT_TRUE(app.m_bResourceSmartUpdate);
        EXPECT_EQ(::GetModuleHandleW(nullptr), AfxGetResourceHandle());
    }
    EXPECT_EQ(nullptr, AfxGetApp());
    EXPECT_EQ(-1, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_HIDE));  // no application
}

TEST(CWinApp, FailedInitDestroysTheMainWindowAndStillRunsExitInstance)
{
    CRecordingApp app(CRecordingApp::Mode::failWithWindow);
    EXPECT_EQ(42, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_HIDE));
    DrainQuit();
    EXPECT_EQ((std::vector<std::wstring>{ L"init", L"exit" }), app.steps);
    EXPECT_TRUE(app.handlePublished);
    EXPECT_TRUE(app.windowGoneAtExit);
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    EXPECT_EQ(nullptr, AfxGetMainWndHandle());
}

TEST(CWinApp, DestroyingTheMainWindowEndsTheLoop)
{
    CRecordingApp app(CRecordingApp::Mode::closeMainWindow);
    EXPECT_EQ(0, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_HIDE));
    EXPECT_EQ((std::vector<std::wstring>{ L"init", L"exit" }), app.steps);
    EXPECT_TRUE(app.handlePublished);
    EXPECT_TRUE(app.windowGoneAtExit);
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    EXPECT_EQ(nullptr, AfxGetMainWndHandle());
}

TEST(CWinApp, TheQuitCodeIsTheExitCode)
{
    CRecordingApp app(CRecordingApp::Mode::quitWithCode);
    EXPECT_EQ(7, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_HIDE));
    EXPECT_EQ((std::vector<std::wstring>{ L"init", L"exit" }), app.steps);
}

std::vector<long> g_appReports;
void RecordAppReport(const wchar_t*, const wchar_t*, long line, CException* exception)
{
    g_appReports.push_back(line);
    if (exception)
        exception->Delete();
}

TEST(CWinApp, AnExceptionAtStartIsCaughtAndEndsTheProgram)
{
    g_appReports.clear();
    AfxSetExceptionLogger(RecordAppReport);
    CRecordingApp app(CRecordingApp::Mode::throwAtInit);
    EXPECT_EQ(-1, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_HIDE));
    AfxSetExceptionLogger(nullptr);
    EXPECT_EQ(1u, g_appReports.size());
}

// A window that swallows one message before dispatch and ends the loop on another.
class CFilteringWnd : public CWnd
{
public:
    int swallowedSeen = 0;
    BOOL PreTranslateMessage(MSG* msg) override { return msg->message == WM_APP + 1; }

private:
    LRESULT OnSwallowed(WPARAM, LPARAM) { ++swallowedSeen; return 0; }
    LRESULT OnQuit(WPARAM, LPARAM) { ::PostQuitMessage(3); return 0; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFilteringWnd, CWnd)
    ON_MESSAGE(WM_APP + 1, OnSwallowed)
    ON_MESSAGE(WM_APP + 2, OnQuit)
END_MESSAGE_MAP()

TEST(CWinApp, TheLoopLetsWindowsFilterMessagesBeforeDispatch)
{
    CRecordingApp app(CRecordingApp::Mode::preTranslate);
    CFilteringWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AppTestClass(), L"parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AppTestClass(), L"child", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd, nullptr));
    ::PostMessageW(child.m_hWnd, WM_APP + 1, 0, 0);   // the parent's filter takes it
    ::PostMessageW(parent.m_hWnd, WM_APP + 1, 0, 0);
    ::PostMessageW(parent.m_hWnd, WM_APP + 2, 0, 0);
    EXPECT_EQ(3, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, nullptr, SW_HIDE));
    EXPECT_EQ(0, parent.swallowedSeen);
}

}  // namespace
