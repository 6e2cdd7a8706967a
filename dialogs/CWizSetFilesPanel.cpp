#include "dialogs/CWizSetFilesPanel.h"

#include "dialogs/CWizardDlg.h"
#include "dialogs/DialogLayout.h"
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
    // The picture keeps its own size in pixels, the area the template gives it is measured
    // in dialog units, which differ with the font of the user's language (the Japanese one
    // makes the area wider than the picture): it goes to the middle of that area.
    const RECT area = DialogLayout::ChildRect(m_hWnd, m_image.GetSafeHwnd());
    m_image.SetImageAt(CWizardDlg::GetImagesFolder() + L"\\SetFilesImage.png", area.left, area.top, area.right,
                       area.bottom);
    DialogLayout::CentreControl(m_hWnd, m_image.GetSafeHwnd(), area);
    return TRUE;
}
