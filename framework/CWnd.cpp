#include "framework/CWnd.h"

#include <mutex>
#include <set>
#include <string>
#include <unordered_map>

#include "framework/AfxMessageBox.h"
#include "framework/CWinApp.h"

namespace {

// The windows of this process bound to their objects. Kept here rather than in a window
// property: every message looks its window up, and a property lookup is a round trip to
// the window server under Wine (each timer tick of each box paid two or three of them).
// A window of another process is never in it, whatever its properties say.
class BindingMap
{
public:
    CWnd* Find(HWND hWnd)
    {
        ::AcquireSRWLockShared(&m_lock);
        const auto it = m_windows.find(hWnd);
        CWnd* const window = it == m_windows.end() ? nullptr : it->second;
        ::ReleaseSRWLockShared(&m_lock);
        return window;
    }
    void Set(HWND hWnd, CWnd* window)
    {
        Exclusive guard(m_lock);
        m_windows[hWnd] = window;
    }
    // Removes the binding only when it is still this object's.
    void Remove(HWND hWnd, const CWnd* window)
    {
        Exclusive guard(m_lock);
        const auto it = m_windows.find(hWnd);
        if (it != m_windows.end() && it->second == window)
            m_windows.erase(it);
    }

private:
    // The slim lock stays in the process (no server call), unlike a mutex object.
    struct Exclusive
    {
        explicit Exclusive(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
        ~Exclusive() { ::ReleaseSRWLockExclusive(&m_lock); }
        Exclusive(const Exclusive&) = delete;
        Exclusive& operator=(const Exclusive&) = delete;
        SRWLOCK& m_lock;
    };
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::unordered_map<HWND, CWnd*> m_windows;
};

BindingMap& Bindings()
{
    // Never destroyed: windows may still be unbound while static objects go away.
    static BindingMap* const map = new BindingMap();
    return *map;
}

AfxExceptionLogger g_exceptionLogger = nullptr;

// The messages being handled on this thread, innermost first. Each frame lives on the stack
// of the window procedure call that handles it, so nested dispatch (sent messages, modal
// loops) keeps every caller's message, and Default() never reads a frame of a window that
// has been deleted meanwhile.
struct MessageFrame
{
    const CWnd* window;  // only compared: the object may be gone by the time a frame is read
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    MessageFrame* outer;
};
thread_local MessageFrame* t_currentMessage = nullptr;

// The object whose window CreateEx is creating on this thread, until it is bound, and the
// class it asked for (the system may create helper windows, such as the input method's, on
// the way).
thread_local CWnd* t_windowBeingCreated = nullptr;
thread_local const wchar_t* t_classBeingCreated = nullptr;

bool IsClassBeingCreated(HWND hWnd)
{
    const wchar_t* expected = t_classBeingCreated;
    if (!expected)
        return false;
    if (IS_INTRESOURCE(expected))
        return ::GetClassWord(hWnd, GCW_ATOM) == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(expected));
    wchar_t name[256] = {};
    return ::GetClassNameW(hWnd, name, 256) > 0 && ::lstrcmpiW(name, expected) == 0;
}

void ReportCaught(UINT message)
{
    AfxReportException(L"<wnd> exception in message", static_cast<long>(message), nullptr);
}

}  // namespace

void AfxSetExceptionLogger(AfxExceptionLogger logger)
{
    g_exceptionLogger = logger;
}

void AfxReportException(const wchar_t* label, long line, CException* exception)
{
    if (g_exceptionLogger) {
        try {
            g_exceptionLogger(L"ERR!", label, line, exception);
        } catch (...) {
            // A failing logger must not turn a reported exception into an escaping one.
        }
        return;
    }
    if (exception)
        exception->Delete();
}

const wchar_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    // Names handed out stay valid for the process: they live in a node-based set.
    static std::mutex lock;
    static std::set<std::wstring> names;

    const HINSTANCE instance = AfxGetInstanceHandle();
    wchar_t name[128];
    _snwprintf(name, sizeof(name) / sizeof(name[0]), L"Tarnelo:%p:%x:%p:%p:%p", static_cast<void*>(instance),
               classStyle, static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
    name[sizeof(name) / sizeof(name[0]) - 1] = L'\0';

    std::lock_guard<std::mutex> guard(lock);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (!::GetClassInfoExW(instance, name, &existing)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = classStyle;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        if (!::RegisterClassExW(&wc))
            return nullptr;
    }
    return names.insert(name).first->c_str();
}

// ---- Binding ---------------------------------------------------------------------------------

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    return Bindings().Find(hWnd);
}

void CWnd::Bind(HWND hWnd)
{
    m_hWnd = hWnd;
    Bindings().Set(hWnd, this);
    CWinApp* app = AfxGetApp();
    if (app && static_cast<CWnd*>(app->m_pMainWnd) == this)
        AfxSetMainWndHandle(hWnd);
}

void CWnd::BindCreated(HWND hWnd)
{
    Bind(hWnd);
    // A system class (a button, a tooltip) keeps its procedure as the default processing.
    const auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (proc != AfxWndProc) {
        m_pfnSuper = proc;
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc));
    }
}

void CWnd::Unbind()
{
    if (m_hWnd)
        Bindings().Remove(m_hWnd, this);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    m_bSubclassed = FALSE;
}

void CWnd::FinishNcDestroy()
{
    // A subclassed window keeps its own procedure for whatever may still reach it.
    if (m_pfnSuper && reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == AfxWndProc)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    Unbind();
    CWinApp* app = AfxGetApp();
    if (app && static_cast<CWnd*>(app->m_pMainWnd) == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();
}

CWnd::~CWnd()
{
    if (!m_hWnd || FromHandlePermanent(m_hWnd) != this)
        return;
    if (m_bSubclassed) {
        UnsubclassWindow();
        return;
    }
    // The window cannot outlive the object its procedure routes to. Its last messages reach
    // only this base class now, and PostNcDestroy is the base's (which does nothing).
    if (!::DestroyWindow(m_hWnd))
        Unbind();  // another thread's window: at least never route to a dead object
}

LRESULT CALLBACK CWnd::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_windowBeingCreated && IsClassBeingCreated(reinterpret_cast<HWND>(wParam))) {
        CWnd* window = t_windowBeingCreated;
        t_windowBeingCreated = nullptr;
        window->BindCreated(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    if (m_hWnd || !className)
        return FALSE;
    CWnd* const outerPending = t_windowBeingCreated;
    const wchar_t* const outerClass = t_classBeingCreated;
    t_windowBeingCreated = this;
    t_classBeingCreated = className;
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
    const HWND hWnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent,
                                        menuOrId, AfxGetInstanceHandle(), param);
    if (hook)
        ::UnhookWindowsHookEx(hook);
    if (hWnd && t_windowBeingCreated == this) {
        // Neither the hook nor a first message bound it (a system class created without the
        // hook): bind it now, late but before the caller sees it.
        t_windowBeingCreated = nullptr;
        BindCreated(hWnd);
    }
    // When the window failed before it was bound, nothing refers to this object; when it
    // failed after, WM_NCDESTROY has unbound it and PostNcDestroy may have deleted it.
    t_windowBeingCreated = outerPending;
    t_classBeingCreated = outerClass;
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, LPVOID param)
{
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd))
        return FALSE;
    m_hWnd = hWnd;  // PreSubclassWindow may change styles through this object
    PreSubclassWindow();
    Bind(hWnd);
    m_bSubclassed = TRUE;
    const auto old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    // A window of one of our own classes that was not bound has no procedure of its own.
    m_pfnSuper = old == AfxWndProc ? nullptr : old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent || !parent->m_hWnd)
        return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd || !m_bSubclassed)
        return nullptr;
    const HWND hWnd = m_hWnd;
    // Only our own procedure can be swapped back; when someone subclassed the window after
    // us, their procedure stays and calls into AfxWndProc, which then gives every message
    // the plain default processing.
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == AfxWndProc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(m_pfnSuper ? m_pfnSuper : ::DefWindowProcW));
    }
    Unbind();
    return hWnd;
}

// ---- Small operations -------------------------------------------------------------------------

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    return m_hWnd ? ::SetTimer(m_hWnd, id, elapse, proc) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    return m_hWnd ? ::KillTimer(m_hWnd, id) : FALSE;
}

static BOOL ModifyStyleOf(HWND hWnd, int index, DWORD remove, DWORD add, UINT swpFlags)
{
    if (!hWnd)
        return FALSE;
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, index));
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrW(hWnd, index, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

// ---- Dispatch ---------------------------------------------------------------------------------

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    UINT code = 0;
    UINT_PTR id = 0;
    if (message == WM_COMMAND) {
        // Menus (0) and accelerators (1) both come as commands; controls give their code.
        code = lParam ? HIWORD(wParam) : 0;
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header)
            return FALSE;
        code = header->code;
        id = header->idFrom;
    } else if (message == WM_TIMER) {
        id = static_cast<UINT_PTR>(wParam);
    }
    if (DispatchToMap(message, code, id, wParam, lParam, result))
        return TRUE;
    // The application takes the commands that its main window leaves.
    CWinApp* app = AfxGetApp();
    if (message != WM_COMMAND || !app || static_cast<CWnd*>(app->m_pMainWnd) != this)
        return FALSE;
    *result = 0;
    return app->OnCmdMsg(wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MessageFrame* frame = t_currentMessage;
    if (!frame)
        return 0;
    return DefWindowProc(frame->message, frame->wParam, frame->lParam);
}

BOOL CWnd::IsHandlingMessage() const
{
    for (const MessageFrame* frame = t_currentMessage; frame; frame = frame->outer) {
        if (frame->window == this)
            return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* window = CWnd::FromHandlePermanent(hWnd);
    if (!window && t_windowBeingCreated && !t_windowBeingCreated->m_hWnd) {
        // Without the creation hook, a window of our own class is bound at its first message.
        window = t_windowBeingCreated;
        t_windowBeingCreated = nullptr;
        window->Bind(hWnd);
    }
    if (!window)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);

    MessageFrame frame = { window, hWnd, message, wParam, lParam, t_currentMessage };
    t_currentMessage = &frame;
    LRESULT result = 0;
    // No exception may unwind through the system's frames: catch all of them here.
    try {
        result = window->WindowProc(message, wParam, lParam);
    } catch (CException* exception) {
        AfxReportException(L"<wnd> exception in message", static_cast<long>(message), exception);
        result = message == WM_CREATE ? -1 : 0;  // a failed WM_CREATE (or WM_NCCREATE) fails creation
    } catch (...) {
        ReportCaught(message);
        result = message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_NCDESTROY) {
        try {
            window->FinishNcDestroy();
        } catch (CException* exception) {
            AfxReportException(L"<wnd> exception in message", static_cast<long>(message), exception);
        } catch (...) {
            ReportCaught(message);
        }
    }
    t_currentMessage = frame.outer;
    return result;
}

// ---- Handlers with the default processing -----------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnActivate(UINT, HWND, BOOL) { Default(); }
void CWnd::OnKillFocus(HWND) { Default(); }
void CWnd::OnSetFocus(HWND) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnLButtonDblClk(UINT, POINT) { Default(); }
void CWnd::OnRButtonDown(UINT, POINT) { Default(); }
void CWnd::OnRButtonUp(UINT, POINT) { Default(); }
void CWnd::OnHotKey(UINT, UINT, UINT) { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
void CWnd::OnInitMenuPopup(HMENU, UINT, BOOL) { Default(); }
void CWnd::OnExitSizeMove() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
