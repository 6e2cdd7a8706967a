#include "framework/CDataExchange.h"

#include <cwchar>

#include "framework/CWnd.h"

namespace {

CString WindowText(HWND hWnd)
{
    CString text;
    const int length = ::GetWindowTextLengthW(hWnd);
    if (length <= 0)
        return text;
    wchar_t* buffer = text.GetBuffer(length + 1);
    const int copied = ::GetWindowTextW(hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied > 0 && copied <= length ? copied : 0);
    return text;
}

// The control for the next DDX_ step, or null when the exchange has failed (now or before).
HWND ControlFor(CDataExchange* pDX, int id)
{
    if (!pDX || pDX->HasFailed())
        return nullptr;
    return pDX->PrepareCtrl(id);
}

bool IsRadioButton(HWND hWnd)
{
    return (::SendMessageW(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

}  // namespace

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
{
}

HWND CDataExchange::PrepareCtrl(int id)
{
    if (m_bFailed)
        return nullptr;
    const HWND dialog = m_pDlgWnd ? m_pDlgWnd->GetSafeHwnd() : nullptr;
    const HWND control = dialog ? ::GetDlgItem(dialog, id) : nullptr;
    m_hWndLastControl = control;
    if (!control)
        Fail();
    return control;
}

void CDataExchange::Fail()
{
    m_bFailed = TRUE;
    if (m_hWndLastControl && ::IsWindow(m_hWndLastControl))
        ::SetFocus(m_hWndLastControl);
}

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    const HWND control = ControlFor(pDX, id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate) {
        // long is 32 bits here, so wcstol's saturation already keeps the number in int's range.
        value = static_cast<int>(std::wcstol(WindowText(control), nullptr, 10));
    } else {
        ::SetWindowTextW(control, FormatString(L"%d", value));
    }
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    const HWND control = ControlFor(pDX, id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = WindowText(control);
    else
        ::SetWindowTextW(control, value);
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    const HWND control = ControlFor(pDX, id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
        return;
    }
    const LONG_PTR type = ::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
    WPARAM check = value ? BST_CHECKED : BST_UNCHECKED;
    if (value == BST_INDETERMINATE && threeState)
        check = BST_INDETERMINATE;
    ::SendMessageW(control, BM_SETCHECK, check, 0);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value)
{
    const HWND first = ControlFor(pDX, id);
    if (!first)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND button = first; button; button = ::GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (::GetWindowLongPtrW(button, GWL_STYLE) & WS_GROUP))
            break;
        if (!IsRadioButton(button))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (value < 0 && ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageW(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& value)
{
    const HWND control = ControlFor(pDX, id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value)
{
    const HWND control = ControlFor(pDX, id);
    if (!control)
        return;
    const bool dropDownList = (::GetWindowLongPtrW(control, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
    if (pDX->m_bSaveAndValidate) {
        if (!dropDownList) {
            value = WindowText(control);
            return;
        }
        value.Empty();
        const int selected = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
        if (selected < 0)
            return;
        const int length = static_cast<int>(::SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0));
        if (length <= 0)
            return;
        wchar_t* buffer = value.GetBuffer(length + 1);
        const int copied = static_cast<int>(
            ::SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(buffer)));
        value.ReleaseBuffer(copied > 0 && copied <= length ? copied : 0);
        return;
    }
    if (dropDownList) {
        ::SendMessageW(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString()));
        return;
    }
    // An editable box shows the value itself: a prefix match would turn "7" into "72".
    const int exact = static_cast<int>(
        ::SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())));
    ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(exact), 0);
    if (WindowText(control) != value)
        ::SetWindowTextW(control, value);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (!pDX || pDX->HasFailed() || control.GetSafeHwnd())
        return;
    const HWND window = pDX->PrepareCtrl(id);
    if (window && !control.SubclassWindow(window))
        pDX->Fail();
}
