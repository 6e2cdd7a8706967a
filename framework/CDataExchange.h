// Dialog data exchange: the DDX_ functions move one value between a dialog control and a
// member, in the direction of the CDataExchange (m_bSaveAndValidate TRUE: control to member).
// A control that is missing, or that DDX_Control cannot bind, fails the exchange: the later
// DDX_ calls of the same exchange do nothing, the focus goes to the failing control (when
// it exists), and UpdateData returns FALSE.
#pragma once

#include <windows.h>

#include "framework/CString.h"

class CWnd;

class CDataExchange
{
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);

    // The control with the id, remembered as the one the exchange is at; null (and the
    // exchange failed) when the dialog has no such control.
    HWND PrepareCtrl(int id);
    // Marks the exchange as failed and moves the focus to the last prepared control.
    void Fail();
    BOOL HasFailed() const { return m_bFailed; }

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

private:
    HWND m_hWndLastControl = nullptr;
    BOOL m_bFailed = FALSE;
};

// A number as text: shown with "%d"; read as a base-10 number the way wcstol reads it
// (leading blanks and a sign taken, reading stops at the first non-digit, no digits give 0,
// out-of-range text gives the nearest int).
void DDX_Text(CDataExchange* pDX, int id, int& value);
// The window text of any control (edit, static, button, editable combo box).
void DDX_Text(CDataExchange* pDX, int id, CString& value);
// A check box or 3-state button: 0 unchecked, 1 checked, 2 indeterminate. When filling, any
// other non-zero value checks the box (2 only on a 3-state button).
void DDX_Check(CDataExchange* pDX, int id, int& value);
// A group of radio buttons starting at the control `id` (which has WS_GROUP) up to the next
// WS_GROUP: the index of the checked one, -1 for none.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// The selection index of a combo box, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int id, int& value);
// The text of a combo box. Reading: the selected entry of a drop-down list (empty when none
// is selected) or the edit text of an editable combo box. Filling: a drop-down list selects
// the first entry that begins with the text (case-insensitive; the selection stays when none
// does); an editable combo box shows the text exactly as it is, selecting the entry equal to
// it when there is one.
void DDX_CBString(CDataExchange* pDX, int id, CString& value);
// Binds the member object to the control (subclassing it) when the member has no window yet,
// so the control's messages reach the member's message map.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
