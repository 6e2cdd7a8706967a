#include "dialogs/CAboutDlg.h"

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/CWizardDlg.h"
#include "dialogs/VersionDialogShell.h"
#include "resources/resource.h"

const wchar_t CAboutDlg::kCreditUrl1[] = L"https://olvenworks.example/tarnelo/icons/";
const wchar_t CAboutDlg::kCreditUrl2[] = L"https://olvenworks.example/tarnelo/menu-icons/";
const wchar_t CAboutDlg::kCreditUrl3[] = L"https://olvenworks.example/tarnelo/pictures/";
const wchar_t CAboutDlg::kCreditUrl4[] = L"https://olvenworks.example/tarnelo/art/";
const wchar_t CAboutDlg::kCreditLabel4[] = L"olvenworks.example/tarnelo/art";
const wchar_t CAboutDlg::kMakerUrl[] = L"https://olvenworks.example/";
const wchar_t CAboutDlg::kMakerName[] = L"Olvenworks";

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_BN_CLICKED(IDC_ABOUT_OPEN_DATA_FOLDER, OnBnClickedOpenDataFolder)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUT_DLG, pParent) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_LOGO, m_logo);
    DDX_Control(pDX, IDC_ABOUT_LINK_LATEST, m_linkLatest);
    DDX_Control(pDX, IDC_ABOUT_LINK_CREDIT1, m_linkCredit1);
    DDX_Control(pDX, IDC_ABOUT_LINK_CREDIT2, m_linkCredit2);
    DDX_Control(pDX, IDC_ABOUT_LINK_CREDIT4, m_linkCredit4);
    DDX_Control(pDX, IDC_ABOUT_LINK_CREDIT3, m_linkCredit3);
    DDX_Control(pDX, IDC_ABOUT_LINK_MAKER, m_linkMaker);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_logo.Load();
    m_logo.SetImage(CWizardDlg::GetImagesFolder() + L"\\vornVersionBoxLogo.png");

    m_linkLatest.m_strLabel = LoadResString(IDS_CHECK_LATEST_VERSION);
    m_linkLatest.m_strUrl = LoadResString(IDS_DOWNLOAD_PAGE_URL);
    m_linkCredit1.m_strUrl = kCreditUrl1;
    m_linkCredit2.m_strUrl = kCreditUrl2;
    m_linkCredit3.m_strUrl = kCreditUrl3;
    m_linkCredit4.m_strUrl = kCreditUrl4;
    m_linkCredit4.m_strLabel = kCreditLabel4;
    m_linkMaker.m_strUrl = kMakerUrl;
    m_linkMaker.m_strLabel = kMakerName;
    return TRUE;
}

void CAboutDlg::OnBnClickedOpenDataFolder()
{
    // The dialog stays open.
    VersionDialogShellOpen(m_hWnd, GetDataFolder());
}

void CAboutDlg::OnBnClickedOk()
{
    CDialog::OnOK();
}
