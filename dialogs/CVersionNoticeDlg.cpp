#include "dialogs/CVersionNoticeDlg.h"

#include "dialogs/CWizardDlg.h"
#include "dialogs/VersionDialogShell.h"
#include "framework/AfxMessageBox.h"
#include "resources/resource.h"

const wchar_t CVersionNoticeDlg::kProductPageUrl[] = L"https://olvenworks.example/tarnelo/";

CVersionNoticeDlg::CVersionNoticeDlg() : CDialog(IDD_VERSION_NOTICE_DLG) {}

void CVersionNoticeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NOTICE_IMAGE, m_image);
    DDX_Text(pDX, IDC_NOTICE_CURRENT, m_strCurrentVersion);
    DDX_Text(pDX, IDC_NOTICE_LATEST, m_strLatestVersion);
}

BOOL CVersionNoticeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_image.Load();
    m_image.SetImage(CWizardDlg::GetImagesFolder() + L"\\latestVersion.png");
    UpdateData(FALSE);
    return TRUE;
}

void CVersionNoticeDlg::OnOK()
{
    VersionDialogShellOpen(AfxGetMainWndHandle(), kProductPageUrl);
    CDialog::OnOK();
}
