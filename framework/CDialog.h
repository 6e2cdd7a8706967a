// A dialog box made from a dialog template of the program's resources and bound to this
// object before its first message, so every message of the dialog (WM_INITDIALOG included)
// goes through the message maps and the window layer's exception barrier.
//
// Modal use: construct on the stack with the template id, preset public members, DoModal,
// read the members back after IDOK. DoModal runs its own modal loop (the owner is disabled
// meanwhile), which gives PreTranslateMessage to the window a message is for and its parents,
// so popups opened from the dialog see their messages first, then the dialog's keyboard
// navigation. Modeless use: Create(templateId, parent), e.g. a child panel (a template with
// WS_CHILD) placed inside a parent dialog; deleting the object destroys its window.
//
// The base OnInitDialog exchanges data into the controls (UpdateData(FALSE)), which also binds
// the control members of DDX_Control. The base OnOK reads the controls (UpdateData(TRUE)) and
// ends the dialog with IDOK; OnCancel ends it with IDCANCEL. The dialog hands control
// notifications to the bound control first (see AfxReflect.h).
#pragma once

#include <windows.h>

#include "framework/AfxReflect.h"
#include "framework/CDataExchange.h"
#include "framework/CWnd.h"

class CDialog : public CWnd
{
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // A modeless dialog's window is destroyed with the object; its last messages then reach
    // only this class's map (derived handlers are gone), as for any CWnd.
    ~CDialog() override;

    // Runs the dialog modally and returns the value given to EndDialog (IDOK, IDCANCEL, ...);
    // -1 when the dialog could not be made (no such template, already open). When WM_QUIT
    // arrives meanwhile, the dialog ends with IDCANCEL and WM_QUIT is posted again.
    // The owner, disabled while the dialog runs, is the parent's top-level window (the main
    // window when there is no parent) or the modal dialog that window has up; without either,
    // the active window of the thread.
    virtual INT_PTR DoModal();
    // Makes a modeless dialog from the template with `parent` as parent (or owner). FALSE when
    // the object has a window already or creation fails. Shown only if the template says so.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);

    // TRUE lets the dialog manager set the focus on the first control.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Ends a modal dialog with the result once the current message is handled; hides a
    // modeless one (its window stays until the object or DestroyWindow ends it).
    void EndDialog(int result);

    // Exchanges data between the controls and the members: TRUE reads the controls, FALSE
    // fills them. FALSE when a control of the exchange is missing or cannot be bound.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The child control with the id, or null.
    HWND GetDlgItem(int id) const;

    // Keyboard navigation (Tab, Enter, Escape, arrows) of a top-level dialog for messages of
    // the dialog and its controls. A child dialog leaves it to the dialog it lies in.
    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    // Lists the DDX_ calls of the dialog; the base has none.
    virtual void DoDataExchange(CDataExchange* pDX);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    DECLARE_MESSAGE_MAP()

private:
    // Makes the window from the template (bound before its first message); null on failure.
    HWND CreateFromTemplate(UINT templateId, HWND parentOrOwner);
    // The window that owns a modal run (and is disabled meanwhile), or null.
    HWND ModalOwner() const;
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    BOOL m_bModal = FALSE;        // DoModal's loop is running for this dialog
    BOOL m_bEndModal = FALSE;     // EndDialog asked the loop to stop
    INT_PTR m_nModalResult = -1;  // the value DoModal returns
};
