#include "framework/CComboBox.h"

namespace {

int Send(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return static_cast<int>(::SendMessageW(hWnd, message, wParam, lParam));
}

}  // namespace

int CComboBox::AddString(const wchar_t* text)
{
    return Send(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : L""));
}

int CComboBox::InsertString(int index, const wchar_t* text)
{
    return Send(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text ? text : L""));
}

int CComboBox::DeleteString(int index)
{
    return Send(m_hWnd, CB_DELETESTRING, static_cast<WPARAM>(index));
}

void CComboBox::ResetContent()
{
    Send(m_hWnd, CB_RESETCONTENT);
}

int CComboBox::GetCount() const
{
    return Send(m_hWnd, CB_GETCOUNT);
}

int CComboBox::GetCurSel() const
{
    return Send(m_hWnd, CB_GETCURSEL);
}

int CComboBox::SetCurSel(int index)
{
    return Send(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(index));
}

int CComboBox::GetLBTextLen(int index) const
{
    return Send(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
}

void CComboBox::GetLBText(int index, CString& text) const
{
    text.Empty();
    const int length = GetLBTextLen(index);
    if (length <= 0)
        return;
    wchar_t* buffer = text.GetBuffer(length + 1);
    const int copied = Send(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer(copied > 0 && copied <= length ? copied : 0);
}

int CComboBox::FindString(int startAfter, const wchar_t* prefix) const
{
    return Send(m_hWnd, CB_FINDSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(prefix ? prefix : L""));
}

int CComboBox::FindStringExact(int startAfter, const wchar_t* text) const
{
    return Send(m_hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter),
                reinterpret_cast<LPARAM>(text ? text : L""));
}

int CComboBox::SelectString(int startAfter, const wchar_t* prefix)
{
    return Send(m_hWnd, CB_SELECTSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(prefix ? prefix : L""));
}

int CComboBox::SetItemData(int index, DWORD_PTR data)
{
    return Send(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

DWORD_PTR CComboBox::GetItemData(int index) const
{
    return static_cast<DWORD_PTR>(::SendMessageW(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int CComboBox::SetItemDataPtr(int index, void* data)
{
    return SetItemData(index, reinterpret_cast<DWORD_PTR>(data));
}

void* CComboBox::GetItemDataPtr(int index) const
{
    const DWORD_PTR data = GetItemData(index);
    // CB_ERR is not a pointer.
    return data == static_cast<DWORD_PTR>(CB_ERR) ? nullptr : reinterpret_cast<void*>(data);
}
