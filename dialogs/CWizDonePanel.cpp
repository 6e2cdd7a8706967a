#include "dialogs/CWizDonePanel.h"

#include "model/CConfigInfo.h"
#include "resources/resource.h"

CWizDonePanel::CWizDonePanel() : CWizDialogBase(IDD_WIZ_DONE_PANEL) {}

void CWizDonePanel::DoDataExchange(CDataExchange* pDX)
{
    CWizDialogBase::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_WIZ_CHECK_VERSION, m_bCheckLatestVersion);
}

BOOL CWizDonePanel::OnLeave()
{
    UpdateData(TRUE);
    if (m_pConfig)
        m_pConfig->m_bCheckLatestVersion = m_bCheckLatestVersion;
    return TRUE;
}
