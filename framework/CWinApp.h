// The application object: one per process, reached through AfxGetApp. The entry AfxWinMain
// runs InitInstance; when it succeeds the message loop runs until WM_QUIT, which is posted
// when the main window is destroyed; then ExitInstance, also when InitInstance failed, and
// its result is the process's exit code.
#pragma once

#include <windows.h>

#include "framework/CCmdTarget.h"

class CWnd;

// The framework's standard help command.
#define ID_HELP 0xE146

// Receives the framework's own log lines with their level. The application installs its
// logger; without one the lines are dropped.
using AfxLogger = void (*)(const wchar_t* level, const wchar_t* text);
void AfxSetLogger(AfxLogger logger);
void AfxLog(const wchar_t* level, const wchar_t* text);

class CWinApp : public CCmdTarget
{
public:
    // The main window. Setting it also publishes its handle as the owner of message boxes
    // and the clipboard (AfxSetMainWndHandle); it is cleared when that window is destroyed.
    class MainWndPointer
    {
    public:
        MainWndPointer& operator=(CWnd* window);
        operator CWnd*() const { return m_window; }
        CWnd* operator->() const { return m_window; }

    private:
        CWnd* m_window = nullptr;
    };

    // The newest application object becomes the current one.
    explicit CWinApp(const wchar_t* appName = nullptr);
    ~CWinApp() override;

    // FALSE ends the program without running the message loop.
    virtual BOOL InitInstance();
    // The message loop until WM_QUIT, then ExitInstance, whose result it returns.
    virtual int Run();
    // The exit code: the WM_QUIT code when the loop ran, else 0.
    virtual int ExitInstance();
    // Gives the target window and its parents a look at a message before it is dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);

    HINSTANCE m_hInstance;
    const wchar_t* m_pszAppName;
    MainWndPointer m_pMainWnd;

protected:
    // The handler of the standard help command for an application's map. The program ships
    // no help file: the command is logged and nothing else happens.
    void OnHelp();

    int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// The module holding the program's resources (the executable).
HINSTANCE AfxGetResourceHandle();

// The framework's entry: call it from wWinMain with wWinMain's arguments.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
