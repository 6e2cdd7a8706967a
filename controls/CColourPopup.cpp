#include "controls/CColourPopup.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "framework/CColorDialog.h"
#include "framework/ScopedHandles.h"

namespace Utility {

// COLORREF values (0x00BBGGRR), row by row.
const CColourPopup::ColourTableEntry CColourPopup::ColourTable[CColourPopup::kColourCount] = {
    { 0x000000, L"Black" },
    { 0x002AA5, L"Brown" },
    { 0x404000, L"Dark Olive Green" },
    { 0x005500, L"Dark Green" },
    { 0x5E0000, L"Dark Teal" },
    { 0x8B0000, L"Dark blue" },
    { 0x82004B, L"Indigo" },
    { 0x282828, L"Dark grey" },

    { 0x00008B, L"Dark red" },
    { 0x2068FF, L"Orange" },
    { 0x008B8B, L"Dark yellow" },
    { 0x009300, L"Green" },
    { 0x8E8E38, L"Teal" },
    { 0xFF0000, L"Blue" },
    { 0xC07B7B, L"Blue-grey" },
    { 0x666666, L"Grey - 40" },

    { 0x0000FF, L"Red" },
    { 0x5BADFF, L"Light orange" },
    { 0x32CD32, L"Lime" },
    { 0x71B33C, L"Sea green" },
    { 0xD4FF7F, L"Aqua" },
    { 0xC09E7D, L"Light blue" },
    { 0x800080, L"Violet" },
    { 0x7F7F7F, L"Grey - 50" },

    { 0xCBC0FF, L"Pink" },
    { 0x00D7FF, L"Gold" },
    { 0x00FFFF, L"Yellow" },
    { 0x00FF00, L"Bright green" },
    { 0xD0E040, L"Turquoise" },
    { 0xFFFFC0, L"Skyblue" },
    { 0x480048, L"Plum" },
    { 0xC0C0C0, L"Light grey" },

    { 0xE1E4FF, L"Rose" },
    { 0x8CB4D2, L"Tan" },
    { 0xE0FFFF, L"Light yellow" },
    { 0x98FB98, L"Pale green " },
    { 0xEEEEAF, L"Pale turquoise" },
    { 0x8B8368, L"Pale blue" },
    { 0xFAE6E6, L"Lavender" },
    { 0xFFFFFF, L"White" },
};

BEGIN_MESSAGE_MAP(CColourPopup, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_KILLFOCUS()
    ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
    ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
END_MESSAGE_MAP()

CColourPopup::CColourPopup(int left, int top, COLORREF colour, CWnd* parent, const wchar_t* defaultText,
                           const wchar_t* customText)
    : m_strDefaultText(defaultText), m_strCustomText(customText)
{
    m_bConstructing = TRUE;
    m_nNumRows = m_nNumColours / m_nNumColumns + (m_nNumColours % m_nNumColumns ? 1 : 0);
    m_nMargin = ::GetSystemMetrics(SM_CXEDGE);
    m_nBoxSize = 18;
    if (m_nBoxSize - 2 * m_nMargin - 2 < 5)
        m_nBoxSize = 2 * m_nMargin + 7;

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        m_hFont = ::CreateFontIndirectW(&metrics.lfMessageFont);
    if (!m_hFont)
        m_hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));

    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + (m_nNumColours - 1) * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(m_nNumColours);
    for (int i = 0; i < m_nNumColours; ++i) {
        palette->palPalEntry[i].peRed = GetRValue(ColourTable[i].crColour);
        palette->palPalEntry[i].peGreen = GetGValue(ColourTable[i].crColour);
        palette->palPalEntry[i].peBlue = GetBValue(ColourTable[i].crColour);
        palette->palPalEntry[i].peFlags = 0;
    }
    m_hPalette = ::CreatePalette(palette);

    m_crInitialColour = m_crColour = colour;
    m_hParent = parent ? parent->GetSafeHwnd() : nullptr;

    const wchar_t* className = AfxRegisterWndClass(CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                                   reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
    if (className && CreateEx(0, className, L"", WS_VISIBLE | WS_POPUP, left, top, 100, 100, m_hParent, nullptr)) {
        SetWindowSize();
        CreateToolTips();
        FindCellFromColour(colour);
        ::SetCapture(m_hWnd);
    }
    m_bConstructing = FALSE;
}

CColourPopup::~CColourPopup()
{
    if (m_hFont && m_hFont != ::GetStockObject(DEFAULT_GUI_FONT))
        ::DeleteObject(m_hFont);
    if (m_hPalette)
        ::DeleteObject(m_hPalette);
}

void CColourPopup::PostNcDestroy()
{
    // A popup whose window failed during construction is deleted by its opener, which
    // still holds the pointer; any other popup owns itself.
    if (!m_bConstructing)
        delete this;
}

// ---- Layout ----------------------------------------------------------------------------------

void CColourPopup::SetWindowSize()
{
    SIZE textSize = { 0, 0 };
    if (!m_strDefaultText.IsEmpty() || !m_strCustomText.IsEmpty()) {
        ScopedGetDC dc(m_hWnd);
        if (dc.get()) {
            ScopedSelectObject font(dc.get(), m_hFont);
            for (const CString* text : { &m_strDefaultText, &m_strCustomText }) {
                if (text->IsEmpty())
                    continue;
                SIZE size = {};
                ::GetTextExtentPoint32W(dc.get(), *text, text->GetLength(), &size);
                textSize.cx = size.cx > textSize.cx ? size.cx : textSize.cx;
                textSize.cy = size.cy > textSize.cy ? size.cy : textSize.cy;
            }
        }
        textSize.cx += 2 * m_nMargin;
        textSize.cy += 4 * m_nMargin + 2;
    }

    RECT current = {};
    ::GetWindowRect(m_hWnd, &current);
    m_WindowRect.left = current.left;
    m_WindowRect.top = current.top;
    m_WindowRect.right = current.left + m_nNumColumns * m_nBoxSize + 2 * m_nMargin;
    m_WindowRect.bottom = current.top + m_nNumRows * m_nBoxSize + 2 * m_nMargin;

    if (!m_strDefaultText.IsEmpty()) {
        if (textSize.cx > m_WindowRect.right - m_WindowRect.left)
            m_WindowRect.right = m_WindowRect.left + textSize.cx;
        textSize.cx = (m_WindowRect.right - m_WindowRect.left) - 2 * m_nMargin;
        m_DefaultTextRect = { m_nMargin, m_nMargin, m_nMargin + textSize.cx, 2 * m_nMargin + textSize.cy };
        m_WindowRect.bottom += (m_DefaultTextRect.bottom - m_DefaultTextRect.top) + 2 * m_nMargin;
    }
    if (!m_strCustomText.IsEmpty()) {
        if (textSize.cx > m_WindowRect.right - m_WindowRect.left)
            m_WindowRect.right = m_WindowRect.left + textSize.cx;
        textSize.cx = (m_WindowRect.right - m_WindowRect.left) - 2 * m_nMargin;
        const int height = m_WindowRect.bottom - m_WindowRect.top;
        m_CustomTextRect = { m_nMargin, height, (m_WindowRect.right - m_WindowRect.left) - m_nMargin,
                             height + m_nMargin + textSize.cy };
        m_WindowRect.bottom += (m_CustomTextRect.bottom - m_CustomTextRect.top) + 2 * m_nMargin;
    }

    // Stay on the primary screen; too low, the popup goes right above its button.
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (m_WindowRect.right > screenWidth)
        ::OffsetRect(&m_WindowRect, screenWidth - m_WindowRect.right, 0);
    if (m_WindowRect.left < 0)
        ::OffsetRect(&m_WindowRect, -m_WindowRect.left, 0);
    if (m_WindowRect.bottom > screenHeight) {
        RECT parentRect = {};
        if (m_hParent)
            ::GetWindowRect(m_hParent, &parentRect);
        ::OffsetRect(&m_WindowRect, 0,
                     -((m_WindowRect.bottom - m_WindowRect.top) + (parentRect.bottom - parentRect.top)));
    }

    ::MoveWindow(m_hWnd, m_WindowRect.left, m_WindowRect.top, m_WindowRect.right - m_WindowRect.left,
                 m_WindowRect.bottom - m_WindowRect.top, TRUE);
}

BOOL CColourPopup::GetCellRect(int index, RECT* rect) const
{
    if (!rect)
        return FALSE;
    if (index == CELL_AUTO_BOX) {
        if (m_strDefaultText.IsEmpty())
            return FALSE;
        *rect = m_DefaultTextRect;
        return TRUE;
    }
    if (index == CELL_OTHER_BOX) {
        if (m_strCustomText.IsEmpty())
            return FALSE;
        *rect = m_CustomTextRect;
        return TRUE;
    }
    if (index < 0 || index >= m_nNumColours)
        return FALSE;
    rect->left = (index % m_nNumColumns) * m_nBoxSize + m_nMargin;
    rect->top = (index / m_nNumColumns) * m_nBoxSize + m_nMargin;
    if (!m_strDefaultText.IsEmpty())
        rect->top += (m_DefaultTextRect.bottom - m_DefaultTextRect.top) + m_nMargin;
    rect->right = rect->left + m_nBoxSize;
    rect->bottom = rect->top + m_nBoxSize;
    return TRUE;
}

int CColourPopup::HitTest(POINT point) const
{
    // A point hits exactly what is drawn under it: the boxes, else the cell whose square
    // holds it; the frame and the gaps between the parts hit nothing.
    RECT rect;
    if (GetCellRect(CELL_OTHER_BOX, &rect) && ::PtInRect(&rect, point))
        return CELL_OTHER_BOX;
    if (GetCellRect(CELL_AUTO_BOX, &rect) && ::PtInRect(&rect, point))
        return CELL_AUTO_BOX;
    RECT first = {};
    GetCellRect(0, &first);
    const int x = point.x - first.left;
    const int y = point.y - first.top;
    if (x < 0 || y < 0)
        return CELL_NONE;
    const int column = x / m_nBoxSize;
    const int row = y / m_nBoxSize;
    if (column >= m_nNumColumns || row >= m_nNumRows)
        return CELL_NONE;
    const int index = row * m_nNumColumns + column;
    return index < m_nNumColours ? index : CELL_NONE;
}

void CColourPopup::CreateToolTips()
{
    m_hToolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hToolTip)
        return;
    for (int i = 0; i < m_nNumColours; ++i) {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_hWnd;
        tool.uId = 1;
        GetCellRect(i, &tool.rect);
        tool.lpszText = const_cast<wchar_t*>(ColourTable[i].szName);
        ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CColourPopup::FindCellFromColour(COLORREF colour)
{
    if (colour == COLOR_AUTOMATIC && !m_strDefaultText.IsEmpty()) {
        m_nChosenSel = CELL_AUTO_BOX;
        return;
    }
    for (int i = 0; i < m_nNumColours; ++i) {
        if (ColourTable[i].crColour == colour) {
            m_nChosenSel = i;
            return;
        }
    }
    m_nChosenSel = m_strCustomText.IsEmpty() ? CELL_NONE : CELL_OTHER_BOX;
}

// ---- Selection -------------------------------------------------------------------------------

void CColourPopup::InvalidateCell(int index)
{
    RECT rect;
    if (m_hWnd && GetCellRect(index, &rect))
        ::InvalidateRect(m_hWnd, &rect, FALSE);
}

void CColourPopup::ChangeSelection(int index)
{
    if (index >= m_nNumColours)
        index = CELL_OTHER_BOX;

    if ((m_nCurrentSel >= 0 && m_nCurrentSel < m_nNumColours) || m_nCurrentSel == CELL_OTHER_BOX ||
        m_nCurrentSel == CELL_AUTO_BOX) {
        const int old = m_nCurrentSel;
        m_nCurrentSel = CELL_NONE;
        InvalidateCell(old);
    }
    m_nCurrentSel = index;
    InvalidateCell(index);

    if (index == CELL_OTHER_BOX) {
        // The dialog's colour is not known yet: the parent is shown the colour it started with.
        ::SendMessageW(m_hParent, WM_COLOR_SELCHANGE, static_cast<WPARAM>(m_crInitialColour), 0);
        return;
    }
    if (index == CELL_AUTO_BOX)
        m_crColour = COLOR_AUTOMATIC;
    else if (index >= 0 && index < m_nNumColours)
        m_crColour = ColourTable[index].crColour;
    else
        return;
    ::SendMessageW(m_hParent, WM_COLOR_SELCHANGE, static_cast<WPARAM>(m_crColour), 0);
}

BOOL CColourPopup::RunColourDialog(COLORREF* chosen)
{
    // The dialog knows no "Auto": it opens on black for it.
    const COLORREF initial = m_crInitialColour == COLOR_AUTOMATIC ? RGB(0, 0, 0) : (m_crInitialColour & 0x00FFFFFF);
    CColorDialog dialog(initial, CC_FULLOPEN | CC_ANYCOLOR, this);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    *chosen = dialog.GetColor();
    return TRUE;
}

void CColourPopup::EndSelection(UINT message)
{
    // Keys and clicks that arrive while the choice is being reported end nothing more.
    if (m_bSelectionEnded)
        return;
    m_bSelectionEnded = TRUE;
    ::ReleaseCapture();

    if (message == WM_COLOR_SELENDOK && m_nCurrentSel == CELL_OTHER_BOX) {
        const ScopedFlag childDialog(m_bChildDialogOpen);
        COLORREF chosen = 0;
        if (RunColourDialog(&chosen))
            m_crColour = chosen;
        else
            message = WM_COLOR_SELENDCANCEL;
    }
    if (message == WM_COLOR_SELENDCANCEL)
        m_crColour = m_crInitialColour;

    // The parent's handler may close the dialog and with it this popup (which then deletes
    // itself): touch nothing of it afterwards unless its window is still ours.
    const HWND self = m_hWnd;
    ::SendMessageW(m_hParent, message, static_cast<WPARAM>(m_crColour), 0);
    if (!::IsWindow(self) || CWnd::FromHandlePermanent(self) != this)
        return;
    if (!m_bChildDialogOpen)
        DestroyWindow();
}

// ---- Messages ----------------------------------------------------------------------------------

BOOL CColourPopup::PreTranslateMessage(MSG* msg)
{
    if (m_hToolTip && msg)
        ::SendMessageW(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    const HWND capture = ::GetCapture();
    if (m_hWnd && !m_bSelectionEnded && capture && capture != m_hWnd)
        ::SetCapture(m_hWnd);
    return CWnd::PreTranslateMessage(msg);
}

void CColourPopup::DrawCell(HDC dc, int index)
{
    RECT rect;
    if (!GetCellRect(index, &rect))
        return;

    HPALETTE oldPalette = nullptr;
    if (m_hPalette && (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
        oldPalette = ::SelectPalette(dc, m_hPalette, FALSE);
        ::RealizePalette(dc);
    }

    const bool hot = index == m_nCurrentSel;
    const bool chosen = index == m_nChosenSel;
    ::FillRect(dc, &rect, ::GetSysColorBrush(chosen && !hot ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE));
    if (hot)
        ::DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    else if (chosen)
        ::DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);

    ::InflateRect(&rect, -(m_nMargin + 1), -(m_nMargin + 1));
    const COLORREF colour = ColourTable[index].crColour;
    ScopedBrush brush(::CreateSolidBrush(PALETTERGB(GetRValue(colour), GetGValue(colour), GetBValue(colour))));
    ScopedPen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    {
        ScopedSelectObject selectBrush(dc, brush.get());
        ScopedSelectObject selectPen(dc, pen.get());
        ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    }

    if (oldPalette)
        ::SelectPalette(dc, oldPalette, FALSE);
}

void CColourPopup::DrawBox(HDC dc, int index)
{
    RECT box;
    if (!GetCellRect(index, &box))
        return;
    const bool hot = index == m_nCurrentSel;
    const bool chosen = index == m_nChosenSel;
    const CString& text = index == CELL_AUTO_BOX ? m_strDefaultText : m_strCustomText;

    RECT inner = box;
    if (index == CELL_AUTO_BOX) {
        ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_BTNFACE));
        ::InflateRect(&inner, -1, -1);
    } else {
        RECT moved = box;
        moved.top += 2 * m_nMargin;
        ::FillRect(dc, &moved, ::GetSysColorBrush(COLOR_BTNFACE));
        // The separator between the cells and the box.
        const int left = box.left + 2 * m_nMargin;
        const int length = (box.right - box.left) - 4 * m_nMargin;
        ScopedPen shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
        ScopedPen highlight(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
        {
            ScopedSelectObject selectPen(dc, shadow.get());
            ::MoveToEx(dc, left, box.top, nullptr);
            ::LineTo(dc, left + length, box.top);
        }
        {
            ScopedSelectObject selectPen(dc, highlight.get());
            ::MoveToEx(dc, left, box.top + 1, nullptr);
            ::LineTo(dc, left + length, box.top + 1);
        }
        inner = moved;
        ::InflateRect(&inner, -1, -1);
    }

    ::FillRect(dc, &inner, ::GetSysColorBrush(chosen && !hot ? COLOR_3DLIGHT : COLOR_BTNFACE));
    if (index == CELL_AUTO_BOX) {
        RECT frame = inner;
        ::InflateRect(&frame, -2 * m_nMargin, -2 * m_nMargin);
        ScopedPen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
        ScopedSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
        ScopedSelectObject selectPen(dc, pen.get());
        ::Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    }
    if (hot)
        ::DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_RECT);
    else if (chosen)
        ::DrawEdge(dc, &inner, BDR_SUNKENOUTER, BF_RECT);

    ScopedSelectObject selectFont(dc, m_hFont);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text, text.GetLength(), &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(dc, oldMode);
}

void CColourPopup::OnPaint()
{
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (!dc)
        return;
    if (!m_strDefaultText.IsEmpty())
        DrawBox(dc, CELL_AUTO_BOX);
    for (int i = 0; i < m_nNumColours; ++i)
        DrawCell(dc, i);
    if (!m_strCustomText.IsEmpty())
        DrawBox(dc, CELL_OTHER_BOX);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    ::EndPaint(m_hWnd, &paint);
}

void CColourPopup::OnMouseMove(UINT flags, POINT point)
{
    const int index = HitTest(point);
    if (index != CELL_NONE && index != m_nCurrentSel)
        ChangeSelection(index);
    CWnd::OnMouseMove(flags, point);
}

void CColourPopup::OnLButtonUp(UINT, POINT)
{
    const DWORD position = ::GetMessagePos();
    const POINT point = { GET_X_LPARAM(position), GET_Y_LPARAM(position) };
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    EndSelection(::PtInRect(&window, point) ? WM_COLOR_SELENDOK : WM_COLOR_SELENDCANCEL);
}

void CColourPopup::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    const bool hasAuto = !m_strDefaultText.IsEmpty();
    const bool hasOther = !m_strCustomText.IsEmpty();
    const int last = m_nNumColours - 1;
    const int current = m_nCurrentSel;
    const bool onCell = current >= 0 && current < m_nNumColours;
    // The first existing target of "Other color..." / "Auto" / cell 0, and of
    // "Auto" / "Other color..." / the last cell.
    const int otherAutoFirst = hasOther ? CELL_OTHER_BOX : hasAuto ? CELL_AUTO_BOX : 0;
    const int autoOtherLast = hasAuto ? CELL_AUTO_BOX : hasOther ? CELL_OTHER_BOX : last;

    switch (key) {
    case VK_DOWN:
        if (current == CELL_AUTO_BOX)
            ChangeSelection(0);
        else if (current == CELL_OTHER_BOX)
            ChangeSelection(hasAuto ? CELL_AUTO_BOX : 0);
        else if (onCell && current + m_nNumColumns < m_nNumColours)
            ChangeSelection(current + m_nNumColumns);
        else
            ChangeSelection(otherAutoFirst);
        break;
    case VK_UP:
        if (current == CELL_AUTO_BOX)
            ChangeSelection(hasOther ? CELL_OTHER_BOX : last);
        else if (current == CELL_OTHER_BOX)
            ChangeSelection(last);
        else if (onCell && current >= m_nNumColumns)
            ChangeSelection(current - m_nNumColumns);
        else
            ChangeSelection(autoOtherLast);
        break;
    case VK_RIGHT:
        if (current == CELL_AUTO_BOX)
            ChangeSelection(0);
        else if (current == CELL_OTHER_BOX)
            ChangeSelection(hasAuto ? CELL_AUTO_BOX : 0);
        else if (onCell && current < last)
            ChangeSelection(current + 1);
        else
            ChangeSelection(otherAutoFirst);
        break;
    case VK_LEFT:
        if (current == CELL_AUTO_BOX)
            ChangeSelection(hasOther ? CELL_OTHER_BOX : last);
        else if (current == CELL_OTHER_BOX)
            ChangeSelection(last);
        else if (onCell && current > 0)
            ChangeSelection(current - 1);  // column 0 goes to the last column of the row above
        else
            ChangeSelection(autoOtherLast);
        break;
    case VK_RETURN:
    case VK_SPACE:
        EndSelection(WM_COLOR_SELENDOK);
        return;
    case VK_ESCAPE:
        EndSelection(WM_COLOR_SELENDCANCEL);
        return;
    default:
        break;
    }
    CWnd::OnKeyDown(key, repeat, flags);
}

void CColourPopup::OnKillFocus(HWND newFocus)
{
    CWnd::OnKillFocus(newFocus);
    ::ReleaseCapture();
}

LRESULT CColourPopup::OnQueryNewPalette(WPARAM, LPARAM)
{
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return Default();
}

LRESULT CColourPopup::OnPaletteChanged(WPARAM wParam, LPARAM)
{
    const LRESULT result = Default();
    if (reinterpret_cast<HWND>(wParam) != m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return result;
}

}  // namespace Utility
