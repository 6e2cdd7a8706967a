#include "dialogs/CWizSetFilesPanel.h"

#include "dialogs/CWizardDlg.h"
#include "resources/resource.h"

CWizSetFilesPanel::CWizSetFilesPanel() : CWizDialogBase(IDD_WIZ_SETFILES_PANEL) {}

void CWizSetFilesPanel::DoDataExchange(CDataExchange* pDX)
{
    CWizDialogBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WIZ_SETFILES_IMAGE, m_image);
}

BOOL CWizSetFilesPanel::OnInitDialog()
{
    CWizDialogBase::OnInitDialog();
    m_image.Load();
    // The picture stays where the template puts it, at its own size.
    RECT rect = {};
    ::GetWindowRect(m_image.GetSafeHwnd(), &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    m_image.SetImageAt(CWizardDlg::GetImagesFolder() + L"\\SetFilesImage.png", rect.left, rect.top, rect.right,
                       rect.bottom);
    return TRUE;
}
