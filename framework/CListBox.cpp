#include "framework/CListBox.h"

namespace {

int Send(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return static_cast<int>(::SendMessageW(hWnd, message, wParam, lParam));
}

}  // namespace

BEGIN_MESSAGE_MAP(CListBox, CWnd)
    ON_WM_DRAWITEM_REFLECT()
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

int CListBox::AddString(const wchar_t* text)
{
    return Send(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : L""));
}

int CListBox::InsertString(int index, const wchar_t* text)
{
    return Send(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text ? text : L""));
}

int CListBox::DeleteString(int index)
{
    return Send(m_hWnd, LB_DELETESTRING, static_cast<WPARAM>(index));
}

void CListBox::ResetContent()
{
    Send(m_hWnd, LB_RESETCONTENT);
}

int CListBox::GetCount() const
{
    return Send(m_hWnd, LB_GETCOUNT);
}

int CListBox::GetCurSel() const
{
    return Send(m_hWnd, LB_GETCURSEL);
}

int CListBox::SetCurSel(int index)
{
    return Send(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(index));
}

int CListBox::GetTextLen(int index) const
{
    return Send(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index));
}

void CListBox::GetText(int index, CString& text) const
{
    text.Empty();
    const int length = GetTextLen(index);
    if (length <= 0)
        return;
    wchar_t* buffer = text.GetBuffer(length + 1);
    const int copied = Send(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer(copied > 0 && copied <= length ? copied : 0);
}

int CListBox::SetItemData(int index, DWORD_PTR data)
{
    return Send(m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

DWORD_PTR CListBox::GetItemData(int index) const
{
    return static_cast<DWORD_PTR>(::SendMessageW(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int CListBox::GetItemRect(int index, RECT* rect) const
{
    return Send(m_hWnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect));
}

int CListBox::ItemFromPoint(POINT point) const
{
    const LRESULT hit = ::SendMessageW(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    // The high word says the point lies outside the client area (below the last item).
    if (HIWORD(hit) != 0)
        return LB_ERR;
    return LOWORD(hit);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
