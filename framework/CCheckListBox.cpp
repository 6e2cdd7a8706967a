#include "framework/CCheckListBox.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CCheckListBox, CListBox)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

void CCheckListBox::SetCheck(int index, int check)
{
    if (index < 0 || index >= GetCount())
        return;
    const int stored = check == BST_INDETERMINATE ? BST_INDETERMINATE : (check ? BST_CHECKED : BST_UNCHECKED);
    SetItemData(index, static_cast<DWORD_PTR>(stored));
    RECT rect = {};
    if (GetItemRect(index, &rect) != LB_ERR)
        ::InvalidateRect(m_hWnd, &rect, FALSE);
}

int CCheckListBox::GetCheck(int index) const
{
    if (index < 0 || index >= GetCount())
        return BST_UNCHECKED;
    const DWORD_PTR data = GetItemData(index);
    return data == BST_CHECKED || data == BST_INDETERMINATE ? static_cast<int>(data) : BST_UNCHECKED;
}

int CCheckListBox::CheckColumnWidth() const
{
    const int itemHeight = static_cast<int>(::SendMessageW(m_hWnd, LB_GETITEMHEIGHT, 0, 0));
    return std::max(itemHeight, 12);
}

void CCheckListBox::Toggle(int index)
{
    SetCheck(index, GetCheck(index) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    const HWND parent = ::GetParent(m_hWnd);
    if (parent) {
        const int id = ::GetDlgCtrlID(m_hWnd);
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CLBN_CHKCHANGE), reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    if (!drawItem)
        return;
    const HDC dc = drawItem->hDC;
    RECT rect = drawItem->rcItem;
    const int item = static_cast<int>(drawItem->itemID);
    if (item < 0 || item >= GetCount()) {
        // An empty list that has the focus shows just the focus frame.
        if (drawItem->itemState & ODS_FOCUS)
            ::DrawFocusRect(dc, &rect);
        return;
    }

    // The check box column keeps the window colour; the text part shows the selection.
    const int boxColumn = std::min<int>(CheckColumnWidth(), rect.right - rect.left);
    RECT boxArea = { rect.left, rect.top, rect.left + boxColumn, rect.bottom };
    RECT textArea = { boxArea.right, rect.top, rect.right, rect.bottom };
    const bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &boxArea, ::GetSysColorBrush(COLOR_WINDOW));
    ::FillRect(dc, &textArea, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    const int side = std::max(0, std::min<int>(boxColumn, rect.bottom - rect.top) - 4);
    RECT box = { boxArea.left + 2, rect.top + (rect.bottom - rect.top - side) / 2, 0, 0 };
    box.right = box.left + side;
    box.bottom = box.top + side;
    UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
    const int check = GetCheck(item);
    if (check == BST_CHECKED)
        state |= DFCS_CHECKED;
    else if (check == BST_INDETERMINATE)
        state = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
    if (drawItem->itemState & ODS_DISABLED || !::IsWindowEnabled(m_hWnd))
        state |= DFCS_INACTIVE;
    if (side > 0)
        ::DrawFrameControl(dc, &box, DFC_BUTTON, state);

    CString text;
    GetText(item, text);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(
        dc, ::GetSysColor(!::IsWindowEnabled(m_hWnd) ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect = textArea;
    textRect.left += 2;
    ::DrawTextW(dc, text, text.GetLength(), &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
    if (drawItem->itemState & ODS_FOCUS)
        ::DrawFocusRect(dc, &textArea);
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT measureItem)
{
    // Room for a check box of the usual size.
    if (measureItem && measureItem->itemHeight < 16)
        measureItem->itemHeight = 16;
}

void CCheckListBox::OnLButtonDown(UINT, POINT point)
{
    Default();  // selects the item and takes the focus
    if (point.x < 0 || point.x >= CheckColumnWidth())
        return;
    const int item = ItemFromPoint(point);
    if (item != LB_ERR && item < GetCount() && ::IsWindowEnabled(m_hWnd))
        Toggle(item);
}

void CCheckListBox::OnLButtonDblClk(UINT flags, POINT point)
{
    // The second click of a quick pair toggles the box again, like the first.
    OnLButtonDown(flags, point);
}

void CCheckListBox::OnKeyDown(UINT key, UINT, UINT)
{
    Default();
    if (key != VK_SPACE)
        return;
    const int item = static_cast<int>(::SendMessageW(m_hWnd, LB_GETCARETINDEX, 0, 0));
    if (item >= 0 && item < GetCount())
        Toggle(item);
}
