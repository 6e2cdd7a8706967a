#include "dialogs/CRenameItemDlg.h"

#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CRenameItemDlg, CDialogEx)
    ON_COMMAND(IDOK, OnOK)
    ON_TIMER(kTimerFocus, OnFocusTimer)
END_MESSAGE_MAP()

CRenameItemDlg::CRenameItemDlg(CWnd* parent) : CDialogEx(IDD_RENAME_ITEM, parent) {}

void CRenameItemDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialogEx::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_RENAME_NAME, m_strNewName);
    DDX_Control(pDX, IDC_RENAME_NAME, m_editName);
}

BOOL CRenameItemDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    SetTimer(kTimerFocus, kFocusDelayMs);
    UpdateData(FALSE);
    return TRUE;
}

void CRenameItemDlg::OnFocusTimer()
{
    // The dialog may not be the active window yet when it is shown from a popup list; the
    // edit takes the focus once it is.
    KillTimer(kTimerFocus);
    if (m_editName.m_hWnd)
        ::SetFocus(m_editName.m_hWnd);
}

void CRenameItemDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}
