#include "dialogs/CWizardDlg.h"

#include <memory>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ProcessFlags.h"
#include "core/ShellHelpers.h"
#include "dialogs/CWizDonePanel.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/CWizSetBoxPanel.h"
#include "dialogs/CWizSetFilesPanel.h"
#include "dialogs/CWizTopPanel.h"
#include "resources/resource.h"

BOOL g_bWizardExists = FALSE;

BEGIN_MESSAGE_MAP(CWizardDlg, CWizDialogBase)
    ON_BN_CLICKED(IDC_WIZ_BACK, OnBnClickedBack)
    ON_BN_CLICKED(IDOK, OnBnClickedNext)
    ON_BN_CLICKED(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CWizardDlg::CWizardDlg() : CWizDialogBase(IDD_WIZARD_DLG)
{
    g_bWizardExists = TRUE;
}

CWizardDlg::~CWizardDlg()
{
    delete m_pPanel;
    m_pPanel = nullptr;
    g_bWizardExists = FALSE;
}

const wchar_t* CWizardDlg::GetHeaderImageName(int state)
{
    switch (state) {
    case 0: return L"wizTop.png";
    case 2: return L"wizSetBox.png";
    case 3: return L"wizSetFiles.png";
    case 4: return L"wizDone.png";
    default: return nullptr;
    }
}

CString CWizardDlg::GetImagesFolder()
{
    // The program's pictures lie in "images" beside the executable.
    return GetModuleFolder() + L"\\images";
}

void CWizardDlg::DoDataExchange(CDataExchange* pDX)
{
    CWizDialogBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WIZ_BACK, m_btnBack);
    DDX_Control(pDX, IDOK, m_btnNext);
    DDX_Control(pDX, IDC_WIZ_HEADER_IMAGE, m_headerImage);
    DDX_Control(pDX, IDC_WIZ_PLACEHOLDER, m_placeholder);
}

BOOL CWizardDlg::OnInitDialog()
{
    CWizDialogBase::OnInitDialog();
    // The template's space between the header and the panels, kept when the header picture
    // takes its height from the dialog's width.
    m_nHeaderGap = DialogLayout::ChildRect(m_hWnd, GetDlgItem(IDC_WIZ_PLACEHOLDER)).top -
                   DialogLayout::ChildRect(m_hWnd, GetDlgItem(IDC_WIZ_HEADER_IMAGE)).bottom;
    m_headerImage.Load();
    ChangeState(IDD_WIZ_TOP_PANEL, new CWizTopPanel, 0);
    return TRUE;
}

void CWizardDlg::ChangeState(UINT templateId, CWizDialogBase* pPanel, int newState)
{
    LogValue(kLogInfo, L"<wizard> state update", m_nState);
    std::unique_ptr<CWizDialogBase> panel(pPanel);

    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(GetDlgItem(IDC_WIZ_PLACEHOLDER), &placement);

    if (panel) {
        panel->SetShared(m_pOwnerWnd, m_nMessage, m_pStyle, m_pConfig, m_pInfoManager);
        if (panel->Create(templateId, this)) {
            placement.showCmd = SW_SHOWNORMAL;
            ::SetWindowPlacement(panel->GetSafeHwnd(), &placement);
            ::ShowWindow(panel->GetSafeHwnd(), SW_SHOW);
        } else {
            LogValue(kLogError, L"<wizard> panel not made", static_cast<long>(templateId));
        }
    }
    delete m_pPanel;
    m_pPanel = panel.release();

    m_nState = newState;
    UpdateButtons();
    UpdateHeaderImage();

    // The old panel may have taken the focus with it: give it to "Next", so that Enter and
    // Tab keep working.
    const HWND focus = ::GetFocus();
    if (!focus || (focus != m_hWnd && !::IsChild(m_hWnd, focus)))
        ::SetFocus(GetDlgItem(IDOK));
}

void CWizardDlg::UpdateButtons()
{
    const HWND back = GetDlgItem(IDC_WIZ_BACK);
    const HWND next = GetDlgItem(IDOK);
    ::SetWindowTextW(next, LoadResString(m_nState == 4 ? IDS_DONE : IDS_NEXT));
    ::EnableWindow(back, m_nState != 0);
    ::EnableWindow(next, TRUE);
}

void CWizardDlg::UpdateHeaderImage()
{
    const wchar_t* name = GetHeaderImageName(m_nState);
    if (!name)
        return;
    // The dialog's width follows the font of the user's language, the picture does not: it
    // is scaled to fill the width, and the panel, the buttons and the dialog's bottom edge
    // move to keep their place below it.
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    m_headerImage.SetImageToWidth(GetImagesFolder() + L"\\" + name, client.right);
    const RECT header = DialogLayout::ChildRect(m_hWnd, m_headerImage.GetSafeHwnd());
    if (header.bottom <= header.top)
        return;  // no picture: the template's layout stays
    const int panelTop = DialogLayout::ChildRect(m_hWnd, GetDlgItem(IDC_WIZ_PLACEHOLDER)).top;
    DialogLayout::MoveControlsBelow(m_hWnd, panelTop, header.bottom + m_nHeaderGap - panelTop);
}

void CWizardDlg::LeavePanel()
{
    if (!m_pPanel)
        return;
    m_pPanel->OnLeave();
    delete m_pPanel;
    m_pPanel = nullptr;
}

void CWizardDlg::OnBnClickedNext()
{
    LogValue(kLogInfo, L"<wizard> next", m_nState);
    LeavePanel();
    switch (m_nState) {
    case 0: ChangeState(IDD_WIZ_SETBOX_PANEL, new CWizSetBoxPanel, 2); break;
    case 2: ChangeState(IDD_WIZ_SETFILES_PANEL, new CWizSetFilesPanel, 3); break;
    case 3: ChangeState(IDD_WIZ_DONE_PANEL, new CWizDonePanel, 4); break;
    case 4: EndDialog(IDOK); break;
    default: break;
    }
}

void CWizardDlg::OnBnClickedBack()
{
    LogValue(kLogInfo, L"<wizard> prev", m_nState);
    // Back is disabled on the first panel; a stray click there changes nothing.
    if (m_nState == 0)
        return;
    LeavePanel();
    switch (m_nState) {
    case 2: ChangeState(IDD_WIZ_TOP_PANEL, new CWizTopPanel, 0); break;
    case 3: ChangeState(IDD_WIZ_SETBOX_PANEL, new CWizSetBoxPanel, 2); break;
    case 4: ChangeState(IDD_WIZ_SETFILES_PANEL, new CWizSetFilesPanel, 3); break;
    default: break;
    }
}

void CWizardDlg::OnCancel()
{
    if (ShowQuestionMessage(IDS_ABORT_SETUP_QUESTION, 0) == IDYES)
        EndDialog(IDCANCEL);
}
