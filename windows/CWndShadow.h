// A soft drop shadow for a top-level window: a click-through layered window owned by the
// parent, placed behind it at a small offset, whose per-pixel-alpha image follows the
// parent's shape (its window region, or its rectangle). The shadow tracks the parent by
// subclassing the parent's window procedure: it moves, resizes, hides and dies with it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>

#include "framework/ScopedHandles.h"

namespace Utility
{

class CWndShadow
{
public:
    CWndShadow();
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;
    virtual ~CWndShadow();

    // Once per process: finds the layered-window update, registers the shadow's window
    // class. FALSE when already done or the system cannot draw layered windows (then no
    // shadow is ever created).
    static BOOL Initialize(HINSTANCE hInstance);

    // Creates the shadow window for the parent and subclasses the parent. Does nothing
    // before Initialize succeeded or while a shadow exists.
    void Create(HWND hParentWnd);
    void ShowShadow(BOOL bShow);
    // Offsets of the shadow from the parent, each within -20..20; FALSE (and no change)
    // outside that range.
    BOOL SetPosition(int x, int y);
    // Recomputes the visibility from the parent's style and shows or hides the shadow.
    void Show(HWND hParentWnd);
    // Recomputes the shadow image from the parent's shape and moves the shadow window.
    void Update(HWND hParentWnd);
    // Fills a W x H image of 32-bit premultiplied pixels, bottom-up rows, where W and H are
    // the parent's size plus twice m_nSize. Writes nothing outside nBytes.
    void MakeShadow(uint32_t* pShadBits, size_t nBytes, HWND hParent, const RECT* rcParent);

    // The subclass procedure of every parent.
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // The premultiplied pixel of a colour at an alpha.
    static uint32_t PreMultiply(COLORREF cl, unsigned char nAlpha);

    // Status bits of m_nStatus.
    enum : unsigned char
    {
        SS_ENABLED = 1,          // the shadow is on
        SS_VISABLE = 2,          // the shadow window is shown
        SS_PARENTVISIBLE = 4,    // the parent is visible
        SS_DISABLEDBYAERO = 8    // suppressed (never set by this program)
    };

    // Parent window -> its shadow; an entry lives from Create to the parent's WM_NCDESTROY.
    static std::map<HWND, CWndShadow*> s_shadowMap;

    HWND m_hWnd;
    WNDPROC m_pfnOriParentProc;
    unsigned char m_nStatus;
    unsigned char m_nDarkness;
    unsigned char m_nSharpness;
    signed char m_nSize;
    signed char m_nxOffset;
    signed char m_nyOffset;
    LPARAM m_wndSize;
    bool m_bUpdate;
    bool m_bCreated;
    COLORREF m_color;
    ScopedKernelHandle m_hMutex;

private:
    // Holds the shadow's mutex for a scope.
    class CLock;
    // The parent this shadow subclassed (kept for a clean unhooking at destruction).
    HWND m_hParent = nullptr;
    // Show, with the parent counted as visible while it is being shown.
    void ShowFor(HWND hParentWnd, bool bParentShowing);
    // Takes the shadow out of its parent: the map entry, the subclassing, the window.
    void Detach();
};

}  // namespace Utility
