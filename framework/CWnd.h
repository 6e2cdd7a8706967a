// A window object bound to one HWND, with message dispatch through per-class message maps.
//
// The object owns nothing but the binding: the window procedure finds the object through
// it and routes each message to the first matching entry of the class's map, then of its
// base classes' maps; an unhandled message gets the default processing (the class's own
// procedure for a subclassed window, DefWindowProcW otherwise). The binding is made before
// the window sees its first message, so even WM_NCCREATE reaches the map. No C++ exception
// ever leaves the window procedure: it is caught there and reported (see
// AfxSetExceptionLogger).
#pragma once

#include <windows.h>
#include <shellapi.h>  // HDROP

#include "framework/CCmdTarget.h"
#include "framework/CException.h"

// Receives every exception caught at a window procedure or in the message loop, with a
// label, the message being handled as the number, and the framework exception (or null for
// any other exception); it must delete the exception. The application installs its logger.
using AfxExceptionLogger = void (*)(const wchar_t* level, const wchar_t* label, long line, CException* exception);
void AfxSetExceptionLogger(AfxExceptionLogger logger);
// Reports a caught exception through the installed logger, or just deletes it.
void AfxReportException(const wchar_t* label, long line, CException* exception);

// Registers (once) a window class with this framework's window procedure and returns its
// generated name, which stays valid for the life of the process; null when it fails.
const wchar_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                   HICON icon = nullptr);

// The window procedure of every window bound to a CWnd.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CWnd : public CCmdTarget
{
public:
    CWnd() = default;
    // A window this object created is destroyed with it; a subclassed one gets its own
    // procedure back and lives on.
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creates the window bound to this object. FALSE when it exists already or creation fails
    // (then PostNcDestroy may have run, as for any destroyed window).
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, LPVOID param = nullptr);
    // Destroys the window; the object may be gone afterwards when PostNcDestroy deletes it.
    virtual BOOL DestroyWindow();

    // Binds an existing window and routes its messages through this object's map; its own
    // procedure becomes the default processing. FALSE when either side is bound already.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Gives a subclassed window its own procedure back and returns it.
    HWND UnsubclassWindow();

    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);

    // TRUE while a handler of this window is on this thread's stack. Seen from any other
    // handler, that handler waits for a nested message loop to return (a dialog's, a message
    // box's, a menu's, a drag's, a common dialog's, a shell call's), and the object must not
    // be deleted before it has.
    BOOL IsHandlingMessage() const;

    // Called by the message loop for the target window and its parents before dispatch;
    // TRUE when the message was consumed.
    virtual BOOL PreTranslateMessage(MSG* msg);

    HWND m_hWnd = nullptr;

protected:
    // Dispatches one message: the map first, the default processing when no entry takes it.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Finds and calls the map entry; FALSE when none matches. A command that the main
    // window's map does not take goes on to the application's.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The default processing of a message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of the message now being handled by this window.
    LRESULT Default();
    // Before a window is bound by SubclassWindow.
    virtual void PreSubclassWindow() {}
    // After the window's last message; a heap object that owns itself deletes itself here.
    virtual void PostNcDestroy() {}

    // The handlers that the ON_WM_ macros call, each doing the default processing, so that a
    // derived handler can end with the base's.
    int OnCreate(LPCREATESTRUCTW createStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnClose();
    void OnPaint();
    void OnTimer(UINT_PTR id);
    void OnSize(UINT type, int cx, int cy);
    void OnMove(int x, int y);
    void OnShowWindow(BOOL show, UINT status);
    void OnActivate(UINT state, HWND other, BOOL minimized);
    void OnKillFocus(HWND newFocus);
    void OnSetFocus(HWND oldFocus);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    void OnRButtonDown(UINT flags, POINT point);
    void OnRButtonUp(UINT flags, POINT point);
    void OnHotKey(UINT id, UINT modifiers, UINT key);
    void OnDropFiles(HDROP drop);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT drawItem);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measureItem);
    void OnInitMenuPopup(HMENU menu, UINT index, BOOL systemMenu);
    void OnExitSizeMove();
    BOOL OnEraseBkgnd(HDC dc);

    WNDPROC m_pfnSuper = nullptr;  // the window's own procedure when subclassed

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    // Binds the window being created by CreateEx before its first message.
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hWnd);
    // Binds a window that CreateEx made and routes a system class's window through us.
    void BindCreated(HWND hWnd);
    void Unbind();
    // The window's last message has been handled: unbind, end the loop for the main window,
    // then PostNcDestroy (after which the object must not be touched).
    void FinishNcDestroy();

    BOOL m_bSubclassed = FALSE;  // bound by SubclassWindow rather than created here
};

// ---- Message-map entries of windows (the map itself: CCmdTarget.h) ------------------------

#define AFX_LPARAM_POINT POINT{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) }
// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(message, fn) \
    { message, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(return self->fn(wParam, lParam)) },
// void fn(): a control notification through WM_COMMAND
#define ON_CONTROL(code, id, fn) \
    { WM_COMMAND, static_cast<UINT>(code), id, id, AFX_MSG_HANDLER(self->fn(); return 0) },
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
// void fn(NMHDR*, LRESULT*): the result starts at 0
#define ON_NOTIFY(code, id, fn)                                                            \
    { WM_NOTIFY, static_cast<UINT>(code), id, id, AFX_MSG_HANDLER(                         \
        LRESULT result = 0; self->fn(reinterpret_cast<NMHDR*>(lParam), &result); return result) },
// void fn(): one timer id
#define ON_TIMER(id, fn) \
    { WM_TIMER, 0, id, id, AFX_MSG_HANDLER(self->fn(); return 0) },

#define ON_WM_CREATE() \
    { WM_CREATE, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(return self->OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam))) },
#define ON_WM_DESTROY() \
    { WM_DESTROY, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnDestroy(); return 0) },
#define ON_WM_NCDESTROY() \
    { WM_NCDESTROY, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnNcDestroy(); return 0) },
#define ON_WM_CLOSE() \
    { WM_CLOSE, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnClose(); return 0) },
#define ON_WM_PAINT() \
    { WM_PAINT, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnPaint(); return 0) },
#define ON_WM_TIMER() \
    { WM_TIMER, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0) },
#define ON_WM_SIZE() \
    { WM_SIZE, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0) },
#define ON_WM_MOVE() \
    { WM_MOVE, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0) },
#define ON_WM_SHOWWINDOW() \
    { WM_SHOWWINDOW, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); return 0) },
#define ON_WM_ACTIVATE() \
    { WM_ACTIVATE, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0); return 0) },
#define ON_WM_KILLFOCUS() \
    { WM_KILLFOCUS, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnKillFocus(reinterpret_cast<HWND>(wParam)); return 0) },
#define ON_WM_SETFOCUS() \
    { WM_SETFOCUS, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnSetFocus(reinterpret_cast<HWND>(wParam)); return 0) },
#define ON_WM_KEYDOWN() \
    { WM_KEYDOWN, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0) },
#define ON_WM_CHAR() \
    { WM_CHAR, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0) },
#define ON_WM_MOUSEMOVE() \
    { WM_MOUSEMOVE, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnMouseMove(static_cast<UINT>(wParam), AFX_LPARAM_POINT); return 0) },
#define ON_WM_LBUTTONDOWN() \
    { WM_LBUTTONDOWN, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnLButtonDown(static_cast<UINT>(wParam), AFX_LPARAM_POINT); return 0) },
#define ON_WM_LBUTTONUP() \
    { WM_LBUTTONUP, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnLButtonUp(static_cast<UINT>(wParam), AFX_LPARAM_POINT); return 0) },
#define ON_WM_LBUTTONDBLCLK() \
    { WM_LBUTTONDBLCLK, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnLButtonDblClk(static_cast<UINT>(wParam), AFX_LPARAM_POINT); return 0) },
#define ON_WM_RBUTTONDOWN() \
    { WM_RBUTTONDOWN, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnRButtonDown(static_cast<UINT>(wParam), AFX_LPARAM_POINT); return 0) },
#define ON_WM_RBUTTONUP() \
    { WM_RBUTTONUP, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnRButtonUp(static_cast<UINT>(wParam), AFX_LPARAM_POINT); return 0) },
#define ON_WM_HOTKEY() \
    { WM_HOTKEY, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnHotKey(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0) },
#define ON_WM_DROPFILES() \
    { WM_DROPFILES, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0) },
#define ON_WM_DRAWITEM() \
    { WM_DRAWITEM, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); return TRUE) },
#define ON_WM_MEASUREITEM() \
    { WM_MEASUREITEM, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); return TRUE) },
#define ON_WM_INITMENUPOPUP() \
    { WM_INITMENUPOPUP, 0, AFX_ALL_IDS, AFX_MSG_HANDLER( \
        self->OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0); return 0) },
#define ON_WM_EXITSIZEMOVE() \
    { WM_EXITSIZEMOVE, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->OnExitSizeMove(); return 0) },
#define ON_WM_ERASEBKGND() \
    { WM_ERASEBKGND, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(return self->OnEraseBkgnd(reinterpret_cast<HDC>(wParam))) },
