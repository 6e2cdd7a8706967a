// Shared pieces of the layered-window tests: GDI+ for the suite, the shadow class, message
// pumping with a generous limit, a layered window that draws known fills, and a watch on
// the layered updates.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "windows/CVornWndBase.h"
#include "windows/CWndShadow.h"
#include "TestPump.h"

namespace LayeredTest {

// GDI+ and the shadow class for a whole suite.
class LayeredWindowSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&s_token, &input, nullptr));
        // FALSE when another suite of this process did it first: either way it is done.
        Utility::CWndShadow::Initialize(::GetModuleHandleW(nullptr));
    }
    static void TearDownTestSuite()
    {
        Gdiplus::GdiplusShutdown(s_token);
        s_token = 0;
    }
    void TearDown() override { PumpPending(); }

    static void PumpPending() { testpump::DispatchQueued(); }

    // Dispatches messages until the condition holds; FALSE after the (generous) limit.
    template <typename Condition>
    static bool PumpUntil(Condition done, DWORD limitMs = 10000)
    {
        return testpump::PumpUntil(done, limitMs);
    }

    static inline ULONG_PTR s_token = 0;
};

// A layered window that fills its top half with one colour and its bottom half with another.
class CFillWnd : public CVornWndBase
{
public:
    Gdiplus::ARGB m_top = 0xFF0000FF;     // opaque blue
    Gdiplus::ARGB m_bottom = 0xFF00FF00;  // opaque green
    int m_nDraws = 0;
    bool m_bThrow = false;           // throws a plain C++ exception
    bool m_bThrowFramework = false;  // throws a framework exception

    void OnCustomDraw(Gdiplus::Graphics* pGraphics) override
    {
        ++m_nDraws;
        if (m_bThrow)
            throw 1;
        if (m_bThrowFramework)
            AfxThrowFileException(CFileException::diskFull);
        const int width = m_rect.right - m_rect.left;
        const int height = m_rect.bottom - m_rect.top;
        Gdiplus::SolidBrush top{Gdiplus::Color(m_top)};
        Gdiplus::SolidBrush bottom{Gdiplus::Color(m_bottom)};
        pGraphics->FillRectangle(&top, 0, 0, width, height / 2);
        pGraphics->FillRectangle(&bottom, 0, height / 2, width, height - height / 2);
    }

    // A message the window answers itself, to see that its procedure is still reached.
    static constexpr UINT WM_PROBE = WM_USER + 300;

    // The back buffer's pixels (top-down rows); empty without a bitmap.
    std::vector<uint32_t> BackBuffer() const
    {
        DIBSECTION dib = {};
        if (!m_bitmap.GetSafeHandle() ||
            ::GetObjectW(m_bitmap.GetSafeHandle(), sizeof(dib), &dib) != static_cast<int>(sizeof(dib)) ||
            !dib.dsBm.bmBits)
            return {};
        ::GdiFlush();
        const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
        return std::vector<uint32_t>(bits, bits + static_cast<size_t>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight);
    }

    // Public entries to the protected pipeline steps.
    using CVornWndBase::UpdateLayered;

private:
    LRESULT OnProbe(WPARAM, LPARAM) { return 42; }
    LRESULT OnRedrawMsg(WPARAM, LPARAM)
    {
        if (::IsWindow(m_hWnd))
            Redraw();
        return 1;
    }

    DECLARE_MESSAGE_MAP()
};

// Watches (and on request refuses) the layered updates of the windows, restoring the real
// update when it goes out of scope.
class UpdateWatch
{
public:
    struct Call
    {
        HWND hWnd;
        SIZE size;
        BYTE alpha;
    };

    UpdateWatch() { s_current = this; CVornWndBase::s_pfnUpdateLayeredWindow = &Hook; }
    ~UpdateWatch() { CVornWndBase::s_pfnUpdateLayeredWindow = ::UpdateLayeredWindow; s_current = nullptr; }
    UpdateWatch(const UpdateWatch&) = delete;
    UpdateWatch& operator=(const UpdateWatch&) = delete;

    bool m_bRefuse = false;
    std::vector<Call> m_calls;

    std::vector<Call> CallsFor(HWND hWnd) const
    {
        std::vector<Call> result;
        for (const Call& call : m_calls) {
            if (call.hWnd == hWnd)
                result.push_back(call);
        }
        return result;
    }

private:
    static BOOL WINAPI Hook(HWND hWnd, HDC dst, POINT* ptDst, SIZE* size, HDC src, POINT* ptSrc, COLORREF key,
                            BLENDFUNCTION* blend, DWORD flags)
    {
        UpdateWatch* watch = s_current;
        if (watch) {
            watch->m_calls.push_back({hWnd, size ? *size : SIZE{0, 0}, blend ? blend->SourceConstantAlpha : BYTE(0)});
            if (watch->m_bRefuse) {
                ::SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
        }
        return ::UpdateLayeredWindow(hWnd, dst, ptDst, size, src, ptSrc, key, blend, flags);
    }

    static inline UpdateWatch* s_current = nullptr;
};

// A plain popup that records the messages posted to it and can act on one.
class CRecorderWnd : public CWnd
{
public:
    BOOL CreatePopup(int x, int y, int width, int height)
    {
        const wchar_t* cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                                 static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        return CreateEx(WS_EX_TOOLWINDOW, cls, L"recorder", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                        nullptr);
    }
    std::vector<UINT> m_messages;
    UINT m_watched = 0;
    void (*m_onWatched)(CRecorderWnd*) = nullptr;
    void* m_context = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER && message < 0x8000) {
            m_messages.push_back(message);
            if (message == m_watched && m_onWatched)
                m_onWatched(this);
            return 1;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

inline BYTE AlphaOf(uint32_t pixel) { return static_cast<BYTE>(pixel >> 24); }

}  // namespace LayeredTest
