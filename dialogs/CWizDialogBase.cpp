#include "dialogs/CWizDialogBase.h"

CWizDialogBase::CWizDialogBase(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

void CWizDialogBase::SetShared(CWnd* pOwnerWnd, UINT nMessage, Model::CTarneloStyleInfo* pStyle,
                               Model::CConfigInfo* pConfig, Model::CTarneloInfoManager* pInfoManager)
{
    m_pOwnerWnd = pOwnerWnd;
    m_nMessage = nMessage;
    m_pStyle = pStyle;
    m_pConfig = pConfig;
    m_pInfoManager = pInfoManager;
}

BOOL CWizDialogBase::OnLeave()
{
    return TRUE;
}

void CWizDialogBase::PostEvent(WPARAM code, LPARAM value) const
{
    if (m_pOwnerWnd && m_pOwnerWnd->GetSafeHwnd())
        ::PostMessageW(m_pOwnerWnd->GetSafeHwnd(), m_nMessage, code, value);
}

BOOL CWizDialogBase::IsPanel() const
{
    return m_hWnd && (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_CHILD) ? TRUE : FALSE;
}

void CWizDialogBase::OnOK()
{
    if (!IsPanel())
        CDialog::OnOK();
}

void CWizDialogBase::OnCancel()
{
    if (!IsPanel())
        CDialog::OnCancel();
}
