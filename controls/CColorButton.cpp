#include "controls/CColorButton.h"

#include "framework/ScopedHandles.h"

#include "resources/resource.h"

namespace Utility {

BEGIN_MESSAGE_MAP(CColorButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_CREATE()
    ON_MESSAGE(WM_COLOR_SELENDOK, OnSelEndOK)
    ON_MESSAGE(WM_COLOR_SELENDCANCEL, OnSelEndCancel)
    ON_MESSAGE(WM_COLOR_SELCHANGE, OnSelChange)
END_MESSAGE_MAP()

CColorButton::CColorButton() : m_DefaultColor(::GetSysColor(COLOR_APPWORKSPACE))
{
    m_strDefaultText.LoadString(IDS_COLOR_AUTO);
    m_strCustomText.LoadString(IDS_COLOR_OTHER);
}

void CColorButton::SetColor(COLORREF colour)
{
    m_Color = colour;
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void CColorButton::PreSubclassWindow()
{
    // The button type bits hold one type: owner drawing replaces the template's push button.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

int CColorButton::OnCreate(LPCREATESTRUCTW createStruct)
{
    if (CButton::OnCreate(createStruct) == -1)
        return -1;
    // A button created here rather than bound to a template draws itself as well.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    return 0;
}

void CColorButton::NotifyParent(UINT message, COLORREF colour)
{
    const HWND parent = ::GetParent(m_hWnd);
    if (parent)
        ::SendMessageW(parent, message, static_cast<WPARAM>(colour), static_cast<LPARAM>(::GetDlgCtrlID(m_hWnd)));
}

BOOL CColorButton::OnClicked()
{
    m_bPopupActive = TRUE;
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);

    auto* popup = new CColourPopup(rect.left, rect.bottom, m_Color, this, m_strDefaultText, m_strCustomText);
    if (!popup->GetSafeHwnd()) {
        // No popup window: nothing will end the selection, so the button is idle again and
        // the parent hears of no drop-down.
        delete popup;
        m_bPopupActive = FALSE;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return TRUE;
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);  // drawn pressed while the popup is open
    NotifyParent(WM_COLOR_DROPDOWN, m_Color);
    return TRUE;  // the click is consumed: the parent sees no BN_CLICKED
}

LRESULT CColorButton::OnSelEndOK(WPARAM colour, LPARAM)
{
    m_bPopupActive = FALSE;
    const COLORREF old = m_Color;
    SetColor(static_cast<COLORREF>(colour));
    if (::GetParent(m_hWnd)) {
        NotifyParent(WM_COLOR_CLOSEUP, m_Color);
        NotifyParent(WM_COLOR_SELENDOK, m_Color);
        if (m_Color != old)
            NotifyParent(WM_COLOR_SELCHANGE, m_Color);
    }
    return 1;
}

LRESULT CColorButton::OnSelEndCancel(WPARAM colour, LPARAM)
{
    m_bPopupActive = FALSE;
    SetColor(static_cast<COLORREF>(colour));
    NotifyParent(WM_COLOR_CLOSEUP, m_Color);
    NotifyParent(WM_COLOR_SELENDCANCEL, m_Color);
    return 1;
}

LRESULT CColorButton::OnSelChange(WPARAM colour, LPARAM)
{
    // Hovering shows the colour to the parent only; the button keeps its own.
    NotifyParent(WM_COLOR_SELCHANGE, static_cast<COLORREF>(colour));
    return 1;
}

void CColorButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    if (!drawItem)
        return;
    const HDC dc = drawItem->hDC;
    RECT rect = drawItem->rcItem;
    UINT state = drawItem->itemState;
    if (m_bPopupActive)
        state |= ODS_SELECTED | ODS_FOCUS;
    const bool disabled = (state & ODS_DISABLED) != 0;

    UINT frame = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (state & ODS_SELECTED)
        frame |= DFCS_PUSHED;
    if (disabled)
        frame |= DFCS_INACTIVE;
    ::DrawFrameControl(dc, &rect, DFC_BUTTON, frame);

    if (state & ODS_SELECTED)
        ::OffsetRect(&rect, 1, 1);
    if (state & ODS_FOCUS) {
        RECT focus = { rect.left, rect.top, rect.right - 1, rect.bottom };
        ::DrawFocusRect(dc, &focus);
    }

    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    const int edgeY = ::GetSystemMetrics(SM_CYEDGE);
    ::InflateRect(&rect, -edgeX, -edgeY);

    // The drop-down arrow.
    const int x = rect.right - edgeX / 2;
    const int y = (rect.top + rect.bottom) / 2;
    const POINT arrow[3] = { { x - 4, y - 1 }, { x, y - 1 }, { x - 2, y + 1 } };
    const COLORREF arrowColour = disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
    {
        ScopedPen pen(::CreatePen(PS_SOLID, 1, arrowColour));
        ScopedBrush brush(::CreateSolidBrush(arrowColour));
        ScopedSelectObject selectPen(dc, pen.get());
        ScopedSelectObject selectBrush(dc, brush.get());
        const int oldMode = ::SetPolyFillMode(dc, WINDING);
        ::Polygon(dc, arrow, 3);
        ::SetPolyFillMode(dc, oldMode);
    }

    // The separator between swatch and arrow.
    rect.right = x - 4 - edgeX / 2;
    ::DrawEdge(dc, &rect, EDGE_ETCHED, BF_RIGHT);
    rect.right -= 2 * edgeX + 1;

    if (disabled)
        return;
    const COLORREF swatch = m_Color == COLOR_AUTOMATIC ? m_DefaultColor : m_Color;
    ScopedBrush brush(::CreateSolidBrush(swatch));
    ::FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
    ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

}  // namespace Utility
