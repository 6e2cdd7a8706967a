// What the control tests share: a visible parent window that hands control notifications
// back to its bound children (as dialogs do) and records the colour messages it receives,
// a message pump, reading pixels back, and GDI+ for the image tests.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <functional>
#include <vector>

#include "framework/AfxReflect.h"
#include "framework/CWnd.h"
#include "TestPump.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

namespace ControlsTest {

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received& other) const
    {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};

// A top-level test window at a fixed place; WM_COMMAND, WM_NOTIFY and WM_DRAWITEM go to the
// bound child first, as in a dialog. The colour messages and the commands that reach its own
// map are recorded.
class CParentWnd : public CWnd
{
public:
    std::vector<Received> received;
    std::vector<WORD> commands;  // notification codes of WM_COMMAND that reached the parent
    // Runs inside the parent's handling of a recorded message.
    std::function<void(const Received&)> onMessage;

    // Without clipChildren the parent paints under its children (as a dialog does).
    BOOL Create(int x = 100, int y = 100, int width = 400, int height = 300, bool clipChildren = true)
    {
        const wchar_t* cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        if (!CreateEx(0, cls, L"ControlsTestParent", WS_POPUP | WS_VISIBLE | (clipChildren ? WS_CLIPCHILDREN : 0), x, y, width, height,
                      nullptr, nullptr))
            return FALSE;
        ::UpdateWindow(m_hWnd);
        return TRUE;
    }

    // Only the colour messages, in order.
    std::vector<Received> Colour() const
    {
        std::vector<Received> out;
        for (const Received& r : received)
            if (r.message >= WM_USER + 1001 && r.message <= WM_USER + 1005)
                out.push_back(r);
        return out;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (AfxReflectToChild(m_hWnd, message, wParam, lParam, &result))
            return result;
        if (message >= WM_USER + 1001 && message <= WM_USER + 1005) {
            const Received r = { message, wParam, lParam };
            received.push_back(r);
            if (onMessage)
                onMessage(r);
            return 1;
        }
        if (message == WM_COMMAND && lParam)
            commands.push_back(HIWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Dispatches what is queued, then goes on until the condition holds (or a generous limit passes).
template <typename Condition>
bool PumpUntil(Condition done, DWORD limitMs = 5000)
{
    testpump::DispatchQueued();
    return testpump::PumpUntil(done, limitMs);
}

inline void Pump() { testpump::DispatchQueued(); }

// A 32-bpp top-down image that a window can be printed into and read back.
class Canvas
{
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        RECT all = { 0, 0, width, height };
        HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
        ::FillRect(m_dc, &all, magenta);
        ::DeleteObject(magenta);
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        const DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// A pixel of what a shown window has painted, in its client coordinates.
inline COLORREF WindowPixel(HWND hWnd, int x, int y)
{
    HDC dc = ::GetDC(hWnd);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(hWnd, dc);
    return colour;
}

// GDI+ for one test.
class GdiplusSession
{
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(m_token); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR m_token = 0;
};

// Keeps the test display's real cursor away from the test windows.
inline void ParkCursor()
{
    ::SetCursorPos(1200, 1000);
}

}  // namespace ControlsTest
