#include "windows/CVornWndBase.h"

#include <string>

#include "core/Logger.h"
#include "framework/CWinApp.h"
#include "framework/ScopedHandles.h"

CVornWndBase::UpdateLayeredWindowFn CVornWndBase::s_pfnUpdateLayeredWindow = ::UpdateLayeredWindow;

namespace {

// The application icon, the class icon of every window of this kind.
constexpr UINT kAppIconId = 128;

// Menu icons are identified by command ids below this; larger ids are never resources.
constexpr UINT kFirstNonResourceId = 0x10000;

}  // namespace

BEGIN_MESSAGE_MAP(CVornWndBase, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_DRAWITEM()
    ON_WM_INITMENUPOPUP()
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

CVornWndBase::CVornWndBase()
    : m_rect{0, 0, 0, 0},
      m_rcContent(0, 0, 0, 0),
      m_ptPrevPos{0, 0},
      m_hMutex(::CreateMutexW(nullptr, FALSE, nullptr)),
      m_pOwner(nullptr),
      m_bFallback(FALSE),
      m_bLayered(TRUE),
      m_bTaskSwitcher(FALSE),
      m_bShadow(FALSE),
      m_nShadowX(0),
      m_nShadowY(0),
      m_bRegion(FALSE),
      m_nCornerStyle(LayeredWindowParams::kCornerSquare),
      m_color(0xFF000000)
{
}

CVornWndBase::~CVornWndBase()
{
    // The window goes first, while the shadow (a member) still exists: the shadow's subclass
    // procedure sees WM_DESTROY and WM_NCDESTROY and takes itself out of the window.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
    DeleteGraphics();
    ReleaseRegion();
}

BOOL CVornWndBase::Create(const LayeredWindowParams& params)
{
    // A window that exists keeps its place and settings: a second creation is refused.
    if (m_hWnd)
        return FALSE;
    m_pOwner = params.owner;
    m_bShadow = params.shadow;
    m_nShadowX = params.shadowX;
    m_nShadowY = params.shadowY;
    m_bRegion = params.region;
    m_nCornerStyle = params.cornerStyle;
    m_color = params.color;
    m_bTaskSwitcher = params.taskSwitcher;
    m_rect = RECT{params.x, params.y, params.x + params.width, params.y + params.height};
    m_rcContent = Gdiplus::Rect(0, 0, params.width, params.height);
    // A new window is layered again: left in fallback it would never get the layered update
    // that a layered window needs before it shows at all.
    m_bFallback = FALSE;
    m_bWindowHasRegion = FALSE;

    const HICON icon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kAppIconId));
    const wchar_t* className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                                   static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH)), icon);
    const DWORD exStyle = params.taskSwitcher ? WS_EX_LAYERED : (WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    // A window created visible is activated as well; one that must leave the activation where
    // it is is shown afterwards.
    const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | (m_bShowInactive ? 0 : WS_VISIBLE);
    if (!CreateEx(exStyle, className, params.title, style, params.x, params.y, params.width, params.height,
                  params.owner ? params.owner->m_hWnd : nullptr, nullptr))
        return FALSE;
    if (m_bShowInactive)
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    return TRUE;
}

void CVornWndBase::GetRect(RECT& rect) const
{
    rect = m_rect;
}

void CVornWndBase::GetPos(POINT& pt) const
{
    pt.x = m_rect.left;
    pt.y = m_rect.top;
}

void CVornWndBase::MoveTo(int x, int y)
{
    m_ptPrevPos.x = m_rect.left;
    m_ptPrevPos.y = m_rect.top;
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    m_rect = RECT{x, y, x + width, y + height};
    if (m_hWnd)
        ::MoveWindow(m_hWnd, x, y, width, height, TRUE);
}

// ---- Logging -------------------------------------------------------------------------------

void CVornWndBase::Log(const wchar_t* level, const wchar_t* text)
{
    ::Log(level, text);
}

void CVornWndBase::LogError(const wchar_t* level, const wchar_t* text, DWORD code)
{
    CString line;
    line.Format(L"%s %d", text ? text : L"", static_cast<int>(code));
    ::Log(level, line);
}

// ---- Drawing pipeline ----------------------------------------------------------------------

void CVornWndBase::DeleteGraphics()
{
    m_pGraphics.reset();
}

void CVornWndBase::ReleaseRegion()
{
    if (m_bRegionTaken)
        m_rgn.Detach();
    else
        m_rgn.DeleteObject();
    m_bRegionTaken = FALSE;
}

void CVornWndBase::CreateBackBuffer()
{
    DeleteGraphics();
    ReleaseRegion();
    // The old bitmap is still selected: put the context's own bitmap back before deleting it.
    m_memDC.RestoreOriginalBitmap();
    m_bitmap.DeleteObject();

    // A DIB section rather than a bitmap compatible with the screen: the pixels keep the
    // alpha that GDI+ writes, which the per-pixel-alpha update needs.
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    if (!m_bitmap.CreateTopDownDIB(width, height))
        LogError(kLogError, L"<base> CreateCompatibleBitmap failed:", ::GetLastError());

    if (m_bitmap.GetSafeHandle())
        m_memDC.SelectBitmap(m_bitmap);
    ::SetBkMode(m_memDC, TRANSPARENT);

    // Without a context (OnCreate logged why) the Graphics is still made: it refuses every
    // call, and the derived drawing never sees a null pointer.
    m_pGraphics = std::make_unique<Gdiplus::Graphics>(m_memDC.GetSafeHdc());
    m_pGraphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
}

void CVornWndBase::SetRoundRegion()
{
    ReleaseRegion();
    if (!m_rgn.CreateRoundRectRgn(0, 0, m_rcContent.Width + 1, m_rcContent.Height + 1, 4, 4)) {
        LogError(kLogError, L"<base> CreateRoundRectRgn failure:", ::GetLastError());
        return;
    }
    if (!::SetWindowRgn(m_hWnd, m_rgn, TRUE)) {
        LogError(kLogError, L"<base> SetWindowRgn failure:", ::GetLastError());
        return;
    }
    m_bRegionTaken = TRUE;  // the window owns it now
    m_bWindowHasRegion = TRUE;
}

void CVornWndBase::Redraw()
{
    try {
        if (!m_hWnd)
            return;
        CreateBackBuffer();
        if (m_bRegion && m_nCornerStyle == LayeredWindowParams::kCornerRound) {
            SetRoundRegion();
        } else {
            // Only a window that was given a region has one to lose: asking the system at
            // every redraw costs a server round trip.
            if (m_bWindowHasRegion)
                ::SetWindowRgn(m_hWnd, nullptr, TRUE);
            m_bWindowHasRegion = FALSE;
            ReleaseRegion();
        }
        OnCustomDraw(m_pGraphics.get());
        if (m_pGraphics)
            m_pGraphics->Flush(Gdiplus::FlushIntentionSync);
        ::GdiFlush();
        if (m_bShadow) {
            if (!m_shadow.m_bCreated)
                m_shadow.Create(m_hWnd);
            m_shadow.ShowShadow(TRUE);
            m_shadow.SetPosition(m_nShadowX, m_nShadowY);
        }
        UpdateLayered();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    } catch (CException* exception) {
        wchar_t message[256] = {};
        exception->GetErrorMessage(message, 256);
        message[255] = L'\0';
        Log(kLogError, (CString(L"<vornwnd> exception!!:") + message).GetString());
        exception->Delete();
    } catch (...) {
        Log(kLogError, L"<vornwnd> exception!!");
    }
}

void CVornWndBase::UpdateLayered(BYTE nAlpha, const RECT* pDirty)
{
    SIZE size = {m_rect.right - m_rect.left, m_rect.bottom - m_rect.top};
    POINT source = {0, 0};
    if (!m_bLayered) {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return;
    }
    if (m_bFallback)
        return;  // WM_PAINT shows the back buffer
    // A window of no size has nothing to show; refusing it must not cost the layering.
    if (size.cx <= 0 || size.cy <= 0 || !m_hWnd)
        return;

    if (::SetLayout(m_memDC, LAYOUT_BITMAPORIENTATIONPRESERVED) == GDI_ERROR)
        LogError(kLogError, L"<base> SetLayout failed:", ::GetLastError());

    BLENDFUNCTION blend = {AC_SRC_OVER, 0, nAlpha, AC_SRC_ALPHA};
    const UpdateLayeredWindowFn update = s_pfnUpdateLayeredWindow ? s_pfnUpdateLayeredWindow : ::UpdateLayeredWindow;
    BOOL updated = FALSE;
    if (pDirty && update == ::UpdateLayeredWindow) {
        // Only the changed part of the buffer travels to the screen.
        UPDATELAYEREDWINDOWINFO info = {};
        info.cbSize = sizeof(info);
        info.psize = &size;
        info.hdcSrc = m_memDC;
        info.pptSrc = &source;
        info.pblend = &blend;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = pDirty;
        updated = ::UpdateLayeredWindowIndirect(m_hWnd, &info);
    } else {
        updated = update(m_hWnd, nullptr, nullptr, &size, m_memDC, &source, 0, &blend, ULW_ALPHA);
    }
    if (updated) {
        m_bFallback = FALSE;
        return;
    }
    m_bFallback = TRUE;
    LogError(kLogError, L"<base> UpdateLayeredWindow failed:", ::GetLastError());
    CString usage;
    usage.Format(L"<base> handle-usage gdi:%d userobj:%d",
                 static_cast<int>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)),
                 static_cast<int>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)));
    Log(kLogInfo, usage);
    ModifyStyleEx(WS_EX_LAYERED, 0, 0);
}

// ---- Messages ------------------------------------------------------------------------------

int CVornWndBase::OnCreate(LPCREATESTRUCTW lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1) {
        LogError(kLogError, L"<base> OnCreate failure:", ::GetLastError());
        return -1;
    }
    ScopedCreatedDC memDC;
    DWORD error = 0;
    {
        const ScopedGetDC windowDC(m_hWnd);
        memDC.reset(::CreateCompatibleDC(windowDC.get()));
        error = ::GetLastError();
    }
    if (!memDC || !m_memDC.Attach(memDC.get()))
        LogError(kLogError, L"<base> CreateCompatibleDC failure:", error);
    else
        memDC.release();  // the context is the member's now
    return 0;
}

void CVornWndBase::OnDestroy()
{
    CWnd::OnDestroy();
    // The Graphics draws on the context: it goes first.
    DeleteGraphics();
    m_memDC.DeleteDC();
    m_bitmap.DeleteObject();
}

void CVornWndBase::OnPaint()
{
    const bool layered = (::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    if (layered && !m_bFallback) {
        CWnd::OnPaint();
        return;
    }
    PAINTSTRUCT paint = {};
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (dc && m_memDC.GetSafeHdc()) {
        ::BitBlt(dc, 0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_memDC, 0, 0, SRCCOPY);
    }
    ::EndPaint(m_hWnd, &paint);
    CWnd::OnPaint();
}

// ---- Menu icons ----------------------------------------------------------------------------

HICON CVornWndBase::LoadMenuIcon(UINT id)
{
    if (id >= kFirstNonResourceId)
        return nullptr;
    return static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_SHARED));
}

namespace {

// The size of an icon's colour bitmap; FALSE when it cannot be read.
BOOL IconSize(HICON icon, SIZE& size)
{
    ScopedIconInfo info;
    if (!info.Load(icon))
        return FALSE;
    BITMAP bitmap = {};
    if (!info.get().hbmColor || !::GetObjectW(info.get().hbmColor, sizeof(bitmap), &bitmap))
        return FALSE;
    size = SIZE{bitmap.bmWidth, bitmap.bmHeight};
    return TRUE;
}

}  // namespace

void CVornWndBase::OnInitMenuPopup(HMENU hPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CWnd::OnInitMenuPopup(hPopupMenu, nIndex, bSysMenu);
    HMENU menu = bSysMenu ? ::GetSystemMenu(m_hWnd, FALSE) : hPopupMenu;
    if (!menu)
        return;
    MENUINFO menuInfo = {};
    menuInfo.cbSize = sizeof(menuInfo);
    menuInfo.fMask = MIM_STYLE;
    menuInfo.dwStyle = MNS_AUTODISMISS | MNS_CHECKORBMP;
    ::SetMenuInfo(menu, &menuInfo);

    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item))
            continue;
        if (!LoadMenuIcon(item.wID) || (item.fType & MFT_OWNERDRAW))
            continue;
        MENUITEMINFOW change = {};
        change.cbSize = sizeof(change);
        change.fMask = MIIM_BITMAP | MIIM_FTYPE;
        change.hbmpItem = HBMMENU_CALLBACK;
        change.fType = MFT_STRING;
        ::SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &change);
    }
}

void CVornWndBase::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (!lpMeasureItemStruct || lpMeasureItemStruct->CtlType != ODT_MENU) {
        CWnd::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
        return;
    }
    lpMeasureItemStruct->itemWidth = 16;
    lpMeasureItemStruct->itemHeight = 16;
    if (HICON icon = LoadMenuIcon(lpMeasureItemStruct->itemID)) {
        SIZE size = {};
        if (IconSize(icon, size)) {
            lpMeasureItemStruct->itemWidth = static_cast<UINT>(size.cx);
            lpMeasureItemStruct->itemHeight = static_cast<UINT>(size.cy);
        }
    }
}

void CVornWndBase::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct && lpDrawItemStruct->CtlType == ODT_MENU) {
        if (HICON icon = LoadMenuIcon(lpDrawItemStruct->itemID)) {
            SIZE size = {16, 16};
            IconSize(icon, size);
            ::DrawIconEx(lpDrawItemStruct->hDC, lpDrawItemStruct->rcItem.left, lpDrawItemStruct->rcItem.top, icon,
                         size.cx, size.cy, 0, nullptr, DI_NORMAL);
        }
    }
    CWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
}
