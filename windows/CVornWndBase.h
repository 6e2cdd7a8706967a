// The base of every desktop window the program draws itself (box, file list, notice): a
// borderless per-pixel-alpha layered popup with a back buffer (a 32-bpp top-down DIB section
// in a memory DC, with a GDI+ Graphics on it) and one drawing pipeline, Redraw: new back
// buffer, window region, the derived class's OnCustomDraw, the drop shadow, and the layered
// update. If the layered update fails, the window falls back to painting its back buffer in
// WM_PAINT. The base also draws the icons of the context menus its windows open.
//
// A derived window never paints in WM_PAINT: it changes its state and posts WM_REDRAWMSG to
// itself; its handler calls Redraw when the window still exists and returns 1.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <memory>

#include "core/WindowMessages.h"  // WM_REDRAWMSG
#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CRgn.h"
#include "framework/CWnd.h"
#include "framework/ScopedHandles.h"
#include "windows/CWndShadow.h"

// How a layered window is made; a field left out keeps its default. Name the fields:
//   Create({ .title = L"VornFileList", .x = 10, .y = 20, .width = 80, .height = 30,
//            .owner = this, .shadow = TRUE, .shadowX = 3, .shadowY = 3 });
struct LayeredWindowParams
{
    // Corner styles: rounded corners need a region as well.
    static constexpr int kCornerSquare = 1;
    static constexpr int kCornerRound = 2;

    const wchar_t* title = L"";
    // Place and size in screen coordinates.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // The owner window; may be null.
    CWnd* owner = nullptr;
    // A drop shadow at this offset.
    BOOL shadow = FALSE;
    int shadowX = 0;
    int shadowY = 0;
    // A window region, which with kCornerRound gives rounded corners.
    BOOL region = FALSE;
    int cornerStyle = kCornerSquare;
    Gdiplus::ARGB color = 0xFF000000;
    // Shown in Alt+Tab (and then not a tool window).
    BOOL taskSwitcher = FALSE;
};

class CVornWndBase : public CWnd
{
public:
    CVornWndBase();
    ~CVornWndBase() override;

    // Creates the layered popup the parameters describe. TRUE when the window exists.
    BOOL Create(const LayeredWindowParams& params);

    void GetRect(RECT& rect) const;
    void GetPos(POINT& pt) const;
    // Moves the window keeping its size; the old left/top go to m_ptPrevPos.
    void MoveTo(int x, int y);
    // Rebuilds the back buffer, draws it and pushes it to the screen. Never throws.
    void Redraw();

    // Draws the whole window into the back buffer, whose pixels start fully transparent.
    virtual void OnCustomDraw(Gdiplus::Graphics* pGraphics) = 0;

    static void Log(const wchar_t* level, const wchar_t* text);
    // Logs "<text> <code>".
    static void LogError(const wchar_t* level, const wchar_t* text, DWORD code);
    // The shared icon resource of a menu command id, or null (ids from 0x10000 have none).
    static HICON LoadMenuIcon(UINT id);

    // The layered update the windows call: UpdateLayeredWindow, replaceable so that tests
    // can watch or refuse updates. Restore it to ::UpdateLayeredWindow after use.
    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                DWORD);
    static UpdateLayeredWindowFn s_pfnUpdateLayeredWindow;

    // Window rectangle in screen coordinates; derived classes keep it in step with every
    // move and resize.
    RECT m_rect;
    // The content: x and y (always 0, 0), width and height of the back buffer.
    Gdiplus::Rect m_rcContent;
    // Left/top before the last MoveTo (the manager moves all boxes by the step).
    POINT m_ptPrevPos;
    CBitmap m_bitmap;
    CDC m_memDC;
    // GDI+ graphics on m_memDC; owned; rebuilt at every Redraw; null without a back buffer.
    std::unique_ptr<Gdiplus::Graphics> m_pGraphics;
    CRgn m_rgn;
    Utility::CWndShadow m_shadow;
    ScopedKernelHandle m_hMutex;
    CWnd* m_pOwner;
    BOOL m_bFallback;
    BOOL m_bLayered;
    BOOL m_bTaskSwitcher;
    BOOL m_bShadow;
    int m_nShadowX;
    int m_nShadowY;
    BOOL m_bRegion;
    int m_nCornerStyle;
    Gdiplus::ARGB m_color;
    // Set before Create: the window appears without taking the activation from the window
    // that has it.
    BOOL m_bShowInactive = FALSE;

protected:
    // Pushes the back buffer to the layered window at the constant alpha given (255: as
    // drawn); pDirty, when given, is the only part that changed since the last update. A
    // window of no size is skipped; a refused update switches to fallback painting.
    void UpdateLayered(BYTE nAlpha = 255, const RECT* pDirty = nullptr);
    void CreateBackBuffer();
    void SetRoundRegion();

    int OnCreate(LPCREATESTRUCTW lpCreateStruct);
    void OnDestroy();
    void OnPaint();
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnInitMenuPopup(HMENU hPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    DECLARE_MESSAGE_MAP()

private:
    void DeleteGraphics();
    // Forgets a region the window has taken, deletes any other.
    void ReleaseRegion();
    BOOL m_bRegionTaken = FALSE;  // m_rgn's handle belongs to the window
    BOOL m_bWindowHasRegion = FALSE;  // the window has a region of ours (kept across buffers)
};
