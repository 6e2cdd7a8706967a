#include "framework/CDialog.h"

#include "framework/AfxMessageBox.h"
#include "framework/CModalScope.h"
#include "framework/CWinApp.h"

namespace {

// The dialog object whose window is being made on this thread, until it is bound.
thread_local CDialog* t_dialogBeingCreated = nullptr;

// The system's dialog class, "#32770".
constexpr ATOM kDialogClassAtom = 32770;

bool IsDialogClass(HWND hWnd)
{
    return ::GetClassWord(hWnd, GCW_ATOM) == kDialogClassAtom;
}

// Offers a message of the modal loop to the window it is for and to its parents; the
// application's own look-ahead when there is an application.
BOOL PreTranslateInModalLoop(MSG* msg)
{
    try {
        if (CWinApp* app = AfxGetApp())
            return app->PreTranslateMessage(msg);
        for (HWND hWnd = msg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
            CWnd* window = CWnd::FromHandlePermanent(hWnd);
            if (window && window->PreTranslateMessage(msg))
                return TRUE;
        }
    } catch (CException* exception) {
        AfxReportException(L"<dlg> exception in modal loop", static_cast<long>(msg->message), exception);
    } catch (...) {
        AfxReportException(L"<dlg> exception in modal loop", static_cast<long>(msg->message), nullptr);
    }
    return FALSE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CDialog::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_dialogBeingCreated) {
        const HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (IsDialogClass(hWnd)) {
            CDialog* dialog = t_dialogBeingCreated;
            t_dialogBeingCreated = nullptr;
            dialog->SubclassWindow(hWnd);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    // Every message reaches the object through its window procedure first; the dialog
    // manager's own procedure calls this one only for what the maps left to it. Should the
    // creation hook have missed the window, bind it here, at its first message.
    CWnd* window = FromHandlePermanent(hWnd);
    if (!window && t_dialogBeingCreated) {
        CDialog* dialog = t_dialogBeingCreated;
        t_dialogBeingCreated = nullptr;
        if (dialog->SubclassWindow(hWnd))
            window = dialog;
    }
    if (message != WM_INITDIALOG || !window)
        return FALSE;
    // Only a window bound this late gets WM_INITDIALOG here.
    try {
        return static_cast<CDialog*>(window)->OnInitDialog();
    } catch (CException* exception) {
        AfxReportException(L"<dlg> exception in message", static_cast<long>(message), exception);
    } catch (...) {
        AfxReportException(L"<dlg> exception in message", static_cast<long>(message), nullptr);
    }
    return TRUE;
}

HWND CDialog::CreateFromTemplate(UINT templateId, HWND parentOrOwner)
{
    CDialog* const outer = t_dialogBeingCreated;
    t_dialogBeingCreated = this;
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
    const HWND hWnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId), parentOrOwner,
                                           DialogProc, 0);
    if (hook)
        ::UnhookWindowsHookEx(hook);
    t_dialogBeingCreated = outer;
    return hWnd;
}

HWND CDialog::ModalOwner() const
{
    // The parent's (or the main window's) top-level window; when a modal dialog of that window
    // is up, that dialog, so a dialog opened from a dialog's handler disables the one below.
    HWND base = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : AfxGetMainWndHandle();
    if (base && !::IsWindow(base))
        base = nullptr;
    if (base && (::GetWindowLongPtrW(base, GWL_STYLE) & WS_CHILD))
        base = ::GetAncestor(base, GA_ROOT);
    if (!base) {
        // Neither parent nor main window: the window of this thread that is active, if any.
        return ::GetActiveWindow();
    }
    const HWND popup = ::GetLastActivePopup(base);
    return popup && ::IsWindowVisible(popup) && ::IsWindowEnabled(popup) ? popup : base;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd || m_bModal)
        return -1;
    const HWND owner = ModalOwner();

    const CModalScope modal;
    m_bModal = TRUE;
    m_bEndModal = FALSE;
    m_nModalResult = -1;
    const HWND hWnd = CreateFromTemplate(m_nIDTemplate, owner);
    if (!hWnd || !m_hWnd) {
        // No window, or one that ended already during its creation.
        m_bModal = FALSE;
        return hWnd && m_bEndModal ? m_nModalResult : -1;
    }

    // Like the system's modal dialogs: the owner takes no input while the dialog is up.
    const bool disabledOwner = owner && !m_bEndModal && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);
    if (!m_bEndModal && !(::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VISIBLE))
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    while (!m_bEndModal && m_hWnd) {
        MSG msg = {};
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: give the outer loop its WM_QUIT back.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            if (!m_bEndModal)
                m_nModalResult = IDCANCEL;
            break;
        }
        if (got == -1) {
            if (!m_bEndModal)
                m_nModalResult = IDCANCEL;
            break;
        }
        if (!PreTranslateInModalLoop(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    m_bModal = FALSE;
    m_bEndModal = FALSE;
    // The owner is enabled before the dialog goes, so that it takes the activation back.
    if (disabledOwner && ::IsWindow(owner))
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::DestroyWindow(m_hWnd);
    }
    return m_nModalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    if (m_hWnd || m_bModal)
        return FALSE;
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    return CreateFromTemplate(templateId, parent ? parent->GetSafeHwnd() : nullptr) != nullptr && m_hWnd != nullptr;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_bModal) {
        m_bEndModal = TRUE;
        // Wakes the modal loop should it be waiting for a message.
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
        return;
    }
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    if (!m_hWnd)
        return FALSE;
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.HasFailed();
}

void CDialog::DoDataExchange(CDataExchange*) {}

HWND CDialog::GetDlgItem(int id) const
{
    return m_hWnd ? ::GetDlgItem(m_hWnd, id) : nullptr;
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (!msg || !m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    if (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_CHILD)
        return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The dialog manager takes the answer to WM_INITDIALOG as "set the focus"; the dialog
    // manager's procedure has nothing to add to it.
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    if (message == WM_NCDESTROY && m_bModal) {
        // Destroyed behind the modal loop's back: let the loop end.
        if (!m_bEndModal && m_nModalResult == -1)
            m_nModalResult = IDCANCEL;
        m_bEndModal = TRUE;
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (AfxReflectToChild(m_hWnd, message, wParam, lParam, result))
        return TRUE;
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}
