#include "framework/CWinApp.h"

#include "framework/AfxMessageBox.h"
#include "framework/CWnd.h"

namespace {

// Constant-initialised, so the application object's constructor may run before any other
// static of this file.
CWinApp* g_currentApp = nullptr;
AfxLogger g_logger = nullptr;

}  // namespace

CWinApp::MainWndPointer& CWinApp::MainWndPointer::operator=(CWnd* window)
{
    m_window = window;
    // A window not created yet publishes its handle when it is bound.
    AfxSetMainWndHandle(window ? window->m_hWnd : nullptr);
    return *this;
}

CWinApp::CWinApp(const wchar_t* appName)
    : m_hInstance(::GetModuleHandleW(nullptr)), m_pszAppName(appName)
{
    g_currentApp = this;
}

CWinApp::~CWinApp()
{
    if (g_currentApp == this)
        g_currentApp = nullptr;
}

void AfxSetLogger(AfxLogger logger)
{
    g_logger = logger;
}

void AfxLog(const wchar_t* level, const wchar_t* text)
{
    if (g_logger)
        g_logger(level, text);
}

void CWinApp::OnHelp()
{
    AfxLog(L"info", L"<app> help: no help file");
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg)
{
    for (HWND hWnd = msg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* window = CWnd::FromHandlePermanent(hWnd);
        if (window && window->PreTranslateMessage(msg))
            return TRUE;
    }
    return FALSE;
}

int CWinApp::Run()
{
    MSG msg = {};
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        BOOL consumed = FALSE;
        // Window procedures have their own barrier; this one covers the look-ahead hooks.
        try {
            consumed = PreTranslateMessage(&msg);
        } catch (CException* exception) {
            AfxReportException(L"<app> exception in message loop", static_cast<long>(msg.message), exception);
        } catch (...) {
            AfxReportException(L"<app> exception in message loop", static_cast<long>(msg.message), nullptr);
        }
        if (!consumed) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

CWinApp* AfxGetApp()
{
    return g_currentApp;
}

CWnd* AfxGetMainWnd()
{
    return g_currentApp ? static_cast<CWnd*>(g_currentApp->m_pMainWnd) : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_currentApp ? g_currentApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    if (instance)
        app->m_hInstance = instance;

    int exitCode = 0;
    try {
        if (!app->InitInstance()) {
            if (CWnd* mainWindow = app->m_pMainWnd)
                mainWindow->DestroyWindow();
            exitCode = app->ExitInstance();
        } else {
            exitCode = app->Run();
        }
    } catch (CException* exception) {
        AfxReportException(L"<app> exception at start or exit", 0, exception);
        exitCode = -1;
    } catch (...) {
        AfxReportException(L"<app> exception at start or exit", 0, nullptr);
        exitCode = -1;
    }
    return exitCode;
}
