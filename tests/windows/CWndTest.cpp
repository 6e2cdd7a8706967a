// The window layer under a real display: binding, message maps, default processing,
// nested dispatch, the exception barrier, timers, subclassing and object lifetime.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/CWaitCursor.h"
#include "framework/CWnd.h"
#include "TestPump.h"

namespace {

const wchar_t* TestClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                               static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH)));
}

std::wstring TextOf(HWND hWnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hWnd, text, 256);
    return text;
}

using testpump::PumpUntil;

// ---- Binding -------------------------------------------------------------------------------

class CProbeWnd : public CWnd
{
public:
    std::vector<UINT> seen;
    bool boundAtFirstMessage = false;
    bool boundAtNcCreate = false;
    bool createSawParam = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (seen.empty())
            boundAtFirstMessage = m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this;
        seen.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    LRESULT OnNcCreate(WPARAM, LPARAM)
    {
        boundAtNcCreate = m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this;
        return Default();
    }
    int OnCreate(LPCREATESTRUCTW cs)
    {
        createSawParam = cs && cs->lpCreateParams == reinterpret_cast<void*>(0x1234);
        return CWnd::OnCreate(cs);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_MESSAGE(WM_NCCREATE, OnNcCreate)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(CWnd, IsBoundBeforeItsFirstMessage)
{
    CProbeWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                reinterpret_cast<void*>(0x1234)));
    EXPECT_TRUE(window.boundAtFirstMessage);
    EXPECT_TRUE(window.boundAtNcCreate);
    EXPECT_TRUE(window.createSawParam);
    ASSERT_FALSE(window.seen.empty());
    // Whatever came first (WM_GETMINMAXINFO for an overlapped window), WM_NCCREATE was seen.
    EXPECT_NE(std::find(window.seen.begin(), window.seen.end(), static_cast<UINT>(WM_NCCREATE)), window.seen.end());
    EXPECT_EQ(&window, CWnd::FromHandlePermanent(window.m_hWnd));
    EXPECT_EQ(std::wstring(L"probe"), TextOf(window.m_hWnd));
    // A second creation on a bound object is refused.
    EXPECT_FALSE(window.CreateEx(0, TestClass(), L"again", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
}

TEST(CWnd, SystemClassKeepsItsOwnBehaviourAsDefault)
{
    CProbeWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, TestClass(), L"parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    CProbeWnd button;
    ASSERT_TRUE(button.CreateEx(0, L"BUTTON", L"check", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 80, 20, parent.m_hWnd,
                                reinterpret_cast<HMENU>(1001)));
    EXPECT_TRUE(button.boundAtNcCreate);
    ::SendMessageW(button.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(button.m_hWnd, BM_GETCHECK, 0, 0));
}

TEST(CWnd, AClassGivenByItsAtomIsBoundBeforeItsFirstMessageToo)
{
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    const ATOM buttonAtom = static_cast<ATOM>(::GetClassInfoExW(nullptr, L"BUTTON", &info));
    ASSERT_NE(0, buttonAtom);
    CProbeWnd button;
    ASSERT_TRUE(button.CreateEx(0, MAKEINTATOM(buttonAtom), L"atom", WS_POPUP | BS_AUTOCHECKBOX, 0, 0, 80, 20,
                                nullptr, nullptr));
    EXPECT_TRUE(button.boundAtNcCreate);
    ::SendMessageW(button.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(button.m_hWnd, BM_GETCHECK, 0, 0));
}

TEST(CWnd, RegisteredClassesAreSharedByTheirAttributes)
{
    const wchar_t* first = AfxRegisterWndClass(CS_DBLCLKS, nullptr, nullptr, nullptr);
    const wchar_t* again = AfxRegisterWndClass(CS_DBLCLKS, nullptr, nullptr, nullptr);
    const wchar_t* other = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(std::wstring(first), std::wstring(again));
    EXPECT_NE(std::wstring(first), std::wstring(other));
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), other, &info));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_ARROW), info.hCursor);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(AfxWndProc), info.lpfnWndProc);
}

// ---- Maps ------------------------------------------------------------------------------------

constexpr UINT kMsgA = WM_APP + 1;
constexpr UINT kMsgB = WM_APP + 2;
constexpr UINT kMsgC = WM_APP + 3;
constexpr UINT kMsgNone = WM_APP + 4;

class CBaseMapWnd : public CWnd
{
public:
    std::vector<std::wstring> calls;

protected:
    LRESULT OnA(WPARAM wParam, LPARAM) { calls.push_back(L"base A"); return 100 + static_cast<LRESULT>(wParam); }
    LRESULT OnB(WPARAM, LPARAM) { calls.push_back(L"base B"); return 2; }
    void OnSave() { calls.push_back(L"base save"); }
    void OnTimer(UINT_PTR id) { calls.push_back(L"base timer " + std::to_wstring(id)); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseMapWnd, CWnd)
    ON_MESSAGE(kMsgA, OnA)
    ON_MESSAGE(kMsgB, OnB)
    ON_COMMAND(40001, OnSave)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CDerivedMapWnd : public CBaseMapWnd
{
private:
    LRESULT OnB2(WPARAM, LPARAM) { calls.push_back(L"derived B"); return 22; }
    LRESULT OnC(WPARAM, LPARAM) { calls.push_back(L"derived C"); return 3; }
    void OnRange(UINT id) { calls.push_back(L"range " + std::to_wstring(id)); }
    void OnClicked() { calls.push_back(L"clicked"); }
    void OnNotified(NMHDR* header, LRESULT* result)
    {
        calls.push_back(L"notify " + std::to_wstring(header->idFrom));
        *result = 77;
    }
    void OnTimerSeven() { calls.push_back(L"timer seven"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedMapWnd, CBaseMapWnd)
    ON_MESSAGE(kMsgB, OnB2)
    ON_MESSAGE(kMsgC, OnC)
    ON_COMMAND_RANGE(40010, 40019, OnRange)
    ON_BN_CLICKED(1001, OnClicked)
    ON_NOTIFY(NM_DBLCLK, 1002, OnNotified)
    ON_TIMER(7, OnTimerSeven)
END_MESSAGE_MAP()

TEST(CWndMessageMap, DerivedEntriesOverrideAndTheRestChainToTheBase)
{
    CDerivedMapWnd derived;
    ASSERT_TRUE(derived.CreateEx(0, TestClass(), L"derived", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(105, ::SendMessageW(derived.m_hWnd, kMsgA, 5, 0));
    EXPECT_EQ(22, ::SendMessageW(derived.m_hWnd, kMsgB, 0, 0));
    EXPECT_EQ(3, ::SendMessageW(derived.m_hWnd, kMsgC, 0, 0));
    EXPECT_EQ(0, ::SendMessageW(derived.m_hWnd, kMsgNone, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{ L"base A", L"derived B", L"derived C" }), derived.calls);

    CBaseMapWnd base;
    ASSERT_TRUE(base.CreateEx(0, TestClass(), L"base", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(2, ::SendMessageW(base.m_hWnd, kMsgB, 0, 0));
    EXPECT_EQ(0, ::SendMessageW(base.m_hWnd, kMsgC, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{ L"base B" }), base.calls);
}

TEST(CWndMessageMap, CommandsNotificationsAndTimersGoByIdAndCode)
{
    CDerivedMapWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"commands", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    const HWND control = window.m_hWnd;  // any non-null handle marks a control's notification

    ::SendMessageW(window.m_hWnd, WM_COMMAND, MAKEWPARAM(40001, 0), 0);             // menu, base entry
    ::SendMessageW(window.m_hWnd, WM_COMMAND, MAKEWPARAM(40001, 1), 0);             // accelerator
    ::SendMessageW(window.m_hWnd, WM_COMMAND, MAKEWPARAM(40015, 0), 0);             // in the range
    ::SendMessageW(window.m_hWnd, WM_COMMAND, MAKEWPARAM(40020, 0), 0);             // outside it
    ::SendMessageW(window.m_hWnd, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    ::SendMessageW(window.m_hWnd, WM_COMMAND, MAKEWPARAM(1001, BN_SETFOCUS), reinterpret_cast<LPARAM>(control));

    NMHDR header = { control, 1002, static_cast<UINT>(NM_DBLCLK) };
    EXPECT_EQ(77, ::SendMessageW(window.m_hWnd, WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&header)));
    NMHDR otherCode = { control, 1002, static_cast<UINT>(NM_CLICK) };
    EXPECT_EQ(0, ::SendMessageW(window.m_hWnd, WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&otherCode)));

    ::SendMessageW(window.m_hWnd, WM_TIMER, 7, 0);   // its own entry in the derived map
    ::SendMessageW(window.m_hWnd, WM_TIMER, 8, 0);   // every other id: the base's timer handler

    EXPECT_EQ((std::vector<std::wstring>{ L"base save", L"base save", L"range 40015", L"clicked", L"notify 1002",
                                          L"timer seven", L"base timer 8" }),
              window.calls);
}

// ---- Default processing and nesting -------------------------------------------------------

class CTextWnd : public CWnd
{
public:
    bool passOn = true;
    CTextWnd* nestedTarget = nullptr;  // gets a posted message handled in a local loop
    std::wstring nestedText;
    const CWnd* waiting = nullptr;  // seen from the nested handler: is its handler on the stack
    bool waitingSeen = false;

private:
    LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        const std::wstring text = reinterpret_cast<const wchar_t*>(lParam);
        if (text == L"outer" && nestedTarget) {
            // A nested loop, as a modal dialog runs inside a handler.
            ::PostMessageW(nestedTarget->m_hWnd, kMsgA, 0, 0);
            PumpUntil([&] { return TextOf(nestedTarget->m_hWnd) == nestedText; });
            // And a nested sent message to this same window.
            ::SendMessageW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"inner"));
        }
        return passOn ? Default() : TRUE;
    }
    LRESULT OnSetNested(WPARAM, LPARAM)
    {
        waitingSeen = waiting && waiting->IsHandlingMessage() && IsHandlingMessage();
        return ::SendMessageW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(nestedText.c_str()));
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTextWnd, CWnd)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(kMsgA, OnSetNested)
END_MESSAGE_MAP()

TEST(CWndDefault, DefaultGivesTheCurrentMessageItsDefaultProcessing)
{
    CTextWnd passing;
    ASSERT_TRUE(passing.CreateEx(0, TestClass(), L"start", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ::SetWindowTextW(passing.m_hWnd, L"changed");
    EXPECT_EQ(std::wstring(L"changed"), TextOf(passing.m_hWnd));

    CTextWnd blocking;
    ASSERT_TRUE(blocking.CreateEx(0, TestClass(), L"start", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    blocking.passOn = false;
    ::SetWindowTextW(blocking.m_hWnd, L"changed");
    EXPECT_EQ(std::wstring(L"start"), TextOf(blocking.m_hWnd));
}

TEST(CWndDefault, NestedDispatchKeepsEachCallersMessageAndTellsWhoseHandlerWaits)
{
    CTextWnd other;
    ASSERT_TRUE(other.CreateEx(0, TestClass(), L"other", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    other.nestedText = L"from the nested loop";

    CTextWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"start", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    window.nestedTarget = &other;
    other.nestedText = L"from the nested loop";
    window.nestedText = other.nestedText;
    other.waiting = &window;

    ::SendMessageW(window.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"outer"));
    // The inner "inner" was applied first, then the outer Default() applied the outer text.
    EXPECT_EQ(std::wstring(L"outer"), TextOf(window.m_hWnd));
    EXPECT_EQ(std::wstring(L"from the nested loop"), TextOf(other.m_hWnd));
    // The outer handler was on the stack while its loop ran the other window's handler.
    EXPECT_TRUE(other.waitingSeen);
    EXPECT_FALSE(window.IsHandlingMessage());
}

// ---- Exceptions ------------------------------------------------------------------------------

struct CaughtReport
{
    std::wstring level;
    std::wstring label;
    long line = 0;
    std::wstring message;
    bool hadException = false;
};
std::vector<CaughtReport> g_reports;

void RecordingLogger(const wchar_t* level, const wchar_t* label, long line, CException* exception)
{
    CaughtReport report{ level, label, line, L"", exception != nullptr };
    if (exception) {
        wchar_t text[256] = {};
        exception->GetErrorMessage(text, 256);
        report.message = text;
        exception->Delete();
    }
    g_reports.push_back(report);
}

bool g_probeDeleted = false;

class CProbeException : public CException
{
public:
    ~CProbeException() override { g_probeDeleted = true; }
    BOOL GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* = nullptr) const override
    {
        lstrcpynW(buffer, L"probe failure", static_cast<int>(maxChars));
        return TRUE;
    }
};

class CThrowingWnd : public CWnd
{
public:
    bool failCreate = false;

private:
    LRESULT OnFramework(WPARAM, LPARAM) { throw new CProbeException(); }
    LRESULT OnStandard(WPARAM, LPARAM) { throw std::runtime_error("standard"); }
    LRESULT OnAnything(WPARAM, LPARAM) { throw 42; }
    int OnCreate(LPCREATESTRUCTW cs)
    {
        if (failCreate)
            throw new CProbeException();
        return CWnd::OnCreate(cs);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
    ON_MESSAGE(kMsgA, OnFramework)
    ON_MESSAGE(kMsgB, OnStandard)
    ON_MESSAGE(kMsgC, OnAnything)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class CWndExceptions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_reports.clear();
        g_probeDeleted = false;
        AfxSetExceptionLogger(RecordingLogger);
    }
    void TearDown() override { AfxSetExceptionLogger(nullptr); }
};

TEST_F(CWndExceptions, AFrameworkExceptionIsReportedAndDeleted)
{
    CThrowingWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"throws", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(0, ::SendMessageW(window.m_hWnd, kMsgA, 0, 0));
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_EQ(std::wstring(L"ERR!"), g_reports[0].level);
    EXPECT_EQ(static_cast<long>(kMsgA), g_reports[0].line);
    EXPECT_TRUE(g_reports[0].hadException);
    EXPECT_EQ(std::wstring(L"probe failure"), g_reports[0].message);
    EXPECT_TRUE(g_probeDeleted);
    // The window still works afterwards.
    EXPECT_TRUE(::IsWindow(window.m_hWnd));
    EXPECT_EQ(0, ::SendMessageW(window.m_hWnd, kMsgNone, 0, 0));
}

TEST_F(CWndExceptions, AnyOtherExceptionIsReportedWithoutAnObject)
{
    CThrowingWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"throws", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ::SendMessageW(window.m_hWnd, kMsgB, 0, 0);
    ::SendMessageW(window.m_hWnd, kMsgC, 0, 0);
    ASSERT_EQ(2u, g_reports.size());
    EXPECT_FALSE(g_reports[0].hadException);
    EXPECT_EQ(static_cast<long>(kMsgB), g_reports[0].line);
    EXPECT_FALSE(g_reports[1].hadException);
    EXPECT_EQ(static_cast<long>(kMsgC), g_reports[1].line);
}

TEST_F(CWndExceptions, AnExceptionInCreateFailsTheCreation)
{
    CThrowingWnd window;
    window.failCreate = true;
    EXPECT_FALSE(window.CreateEx(0, TestClass(), L"throws", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(1u, g_reports.size());
    EXPECT_TRUE(g_probeDeleted);
}

TEST_F(CWndExceptions, WithoutALoggerTheExceptionIsStillDeleted)
{
    AfxSetExceptionLogger(nullptr);
    CThrowingWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"throws", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ::SendMessageW(window.m_hWnd, kMsgA, 0, 0);
    EXPECT_TRUE(g_probeDeleted);
}

// ---- Timers ----------------------------------------------------------------------------------

class CTimerWnd : public CWnd
{
public:
    int sevenTicks = 0;
    std::vector<UINT_PTR> otherTicks;

private:
    void OnSeven() { ++sevenTicks; }
    void OnTimer(UINT_PTR id)
    {
        otherTicks.push_back(id);
        KillTimer(id);  // one tick is enough
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimerWnd, CWnd)
    ON_TIMER(7, OnSeven)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(CWndTimer, TimerMessagesReachTheirEntriesUntilKilled)
{
    CTimerWnd window;
    EXPECT_EQ(0u, window.SetTimer(7, 10));  // no window yet
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"timers", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(7u, window.SetTimer(7, 10));
    EXPECT_EQ(3u, window.SetTimer(3, 10));
    ASSERT_TRUE(PumpUntil([&] { return window.sevenTicks >= 2 && !window.otherTicks.empty(); }));
    EXPECT_EQ(std::vector<UINT_PTR>{ 3 }, window.otherTicks);
    EXPECT_TRUE(window.KillTimer(7));
    PumpUntil([] { return false; }, 100);  // let any tick already queued arrive
    const int ticks = window.sevenTicks;
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, window.sevenTicks);
    EXPECT_EQ(std::vector<UINT_PTR>{ 3 }, window.otherTicks);
}

// ---- Lifetime and subclassing ----------------------------------------------------------------

bool g_heapWindowDeleted = false;

class CSelfDeletingWnd : public CWnd
{
public:
    ~CSelfDeletingWnd() override { g_heapWindowDeleted = true; }

protected:
    void PostNcDestroy() override { delete this; }
};

TEST(CWndLifetime, PostNcDestroyMayDeleteTheObject)
{
    g_heapWindowDeleted = false;
    auto* window = new CSelfDeletingWnd();
    ASSERT_TRUE(window->CreateEx(0, TestClass(), L"heap", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    const HWND hWnd = window->m_hWnd;
    EXPECT_TRUE(window->DestroyWindow());
    EXPECT_TRUE(g_heapWindowDeleted);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(CWndLifetime, DestroyedWindowUnbindsAndTheObjectCanCreateAgain)
{
    CProbeWnd window;
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"first", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    const HWND first = window.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_FALSE(window.DestroyWindow());
    ASSERT_TRUE(window.CreateEx(0, TestClass(), L"second", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_NE(nullptr, window.m_hWnd);
    EXPECT_FALSE(::IsWindow(first) && CWnd::FromHandlePermanent(first) == &window);
}

TEST(CWndLifetime, AnObjectGoingAwayTakesItsWindowAlong)
{
    HWND hWnd = nullptr;
    {
        CProbeWnd window;
        ASSERT_TRUE(window.CreateEx(0, TestClass(), L"scoped", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
        hWnd = window.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(CWndSubclass, ASubclassedWindowRoutesThroughTheMapAndGetsItsProcedureBack)
{
    const HWND edit = ::CreateWindowExW(0, L"EDIT", L"text", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, edit);
    const auto original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        CTextWnd window;
        window.passOn = false;
        ASSERT_TRUE(window.SubclassWindow(edit));
        EXPECT_FALSE(CTextWnd().SubclassWindow(edit));  // bound already
        EXPECT_EQ(&window, CWnd::FromHandlePermanent(edit));
        ::SetWindowTextW(edit, L"blocked");
        EXPECT_EQ(std::wstring(L"text"), TextOf(edit));
        window.passOn = true;
        ::SetWindowTextW(edit, L"passed");
        EXPECT_EQ(std::wstring(L"passed"), TextOf(edit));
        // The edit control's own behaviour stays the default processing.
        ::SendMessageW(edit, EM_SETSEL, 0, 3);
        DWORD start = 9, end = 9;
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(3u, end);
    }
    // The object is gone: the window lives on with its own procedure.
    EXPECT_TRUE(::IsWindow(edit));
    EXPECT_EQ(original, ::GetWindowLongPtrW(edit, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(edit));
    ::DestroyWindow(edit);
}

TEST(CWndStyles, ModifyStyleExChangesOnlyWhatIsAsked)
{
    CProbeWnd window;
    ASSERT_TRUE(window.CreateEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW, TestClass(), L"styles", WS_POPUP, 0, 0, 50, 50,
                                nullptr, nullptr));
    EXPECT_TRUE(window.ModifyStyleEx(WS_EX_LAYERED, 0, 0));
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window.m_hWnd, GWL_EXSTYLE);
    EXPECT_EQ(0, exStyle & WS_EX_LAYERED);
    EXPECT_NE(0, exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(window.ModifyStyleEx(WS_EX_LAYERED, 0, 0));  // nothing left to change
}

TEST(CWaitCursor, ShowsTheHourglassForItsLifetime)
{
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    {
        CWaitCursor wait;
        EXPECT_EQ(::LoadCursorW(nullptr, IDC_WAIT), ::GetCursor());
        ::SetCursor(arrow);
        wait.Restore();
        EXPECT_EQ(::LoadCursorW(nullptr, IDC_WAIT), ::GetCursor());
    }
    EXPECT_EQ(arrow, ::GetCursor());
}

}  // namespace
