#include "dialogs/CWizSetBoxPanel.h"

#include <iterator>

#include "core/Logger.h"
#include "dialogs/CSetStyleDlg.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloInfoManager.h"
#include "resources/resource.h"

namespace {

const int kNameEditIds[CWizSetBoxPanel::kNameCount] = { IDC_WIZ_NAME1, IDC_WIZ_NAME2, IDC_WIZ_NAME3,
                                                        IDC_WIZ_NAME4, IDC_WIZ_NAME5, IDC_WIZ_NAME6 };

INT_PTR RunStyleDialog(CWnd* pParent, CWnd* pTarget, UINT nMessage, Model::CTarneloStyleInfo* pStyle)
{
    CSetStyleDlg dialog(pParent);
    dialog.m_pTargetWnd = pTarget;
    dialog.m_nTargetMessage = nMessage;
    dialog.m_nTargetParam = CWizDialogBase::kUpdateStyle;
    dialog.m_pStyle = pStyle;
    return dialog.DoModal();
}

CWizSetBoxPanel::StyleDialogFn s_styleDialog = &RunStyleDialog;

}  // namespace

BEGIN_MESSAGE_MAP(CWizSetBoxPanel, CWizDialogBase)
    ON_TIMER(kTimerApplyNames, OnApplyNamesTimer)
    ON_BN_CLICKED(IDC_WIZ_ICON1, OnBnClickedIcon1)
    ON_BN_CLICKED(IDC_WIZ_ICON2, OnBnClickedIcon2)
    ON_BN_CLICKED(IDC_WIZ_ICON3, OnBnClickedIcon3)
    ON_BN_CLICKED(IDC_WIZ_ICON4, OnBnClickedIcon4)
    ON_BN_CLICKED(IDC_WIZ_ICON5, OnBnClickedIcon5)
    ON_BN_CLICKED(IDC_WIZ_ICON6, OnBnClickedIcon6)
    ON_EN_UPDATE(IDC_WIZ_NAME1, OnEnUpdateName)
    ON_EN_UPDATE(IDC_WIZ_NAME2, OnEnUpdateName)
    ON_EN_UPDATE(IDC_WIZ_NAME3, OnEnUpdateName)
    ON_EN_UPDATE(IDC_WIZ_NAME4, OnEnUpdateName)
    ON_EN_UPDATE(IDC_WIZ_NAME5, OnEnUpdateName)
    ON_EN_UPDATE(IDC_WIZ_NAME6, OnEnUpdateName)
    ON_BN_CLICKED(IDC_WIZ_ADVANCED, OnBnClickedAdvanced)
END_MESSAGE_MAP()

void CWizSetBoxPanel::SetStyleDialogHook(StyleDialogFn fn)
{
    s_styleDialog = fn ? fn : &RunStyleDialog;
}

CWizSetBoxPanel::CWizSetBoxPanel() : CWizDialogBase(IDD_WIZ_SETBOX_PANEL) {}

void CWizSetBoxPanel::DoDataExchange(CDataExchange* pDX)
{
    CWizDialogBase::DoDataExchange(pDX);
    for (int n = 0; n < kNameCount; ++n) {
        DDX_Text(pDX, kNameEditIds[n], m_strName[n]);
        DDX_Control(pDX, kNameEditIds[n], m_editName[n]);
    }
}

BOOL CWizSetBoxPanel::OnInitDialog()
{
    CWizDialogBase::OnInitDialog();
    Log(kLogInfo, L"WizSetBoxPanel start");
    UpdateData(FALSE);
    LoadNames();
    PostEvent(kReloadBoxies, 1);
    return TRUE;
}

Model::CTarneloInfo* CWizSetBoxPanel::GetBox(int n) const
{
    if (!m_pInfoManager || n < 0 || n >= kNameCount || n >= static_cast<int>(m_pInfoManager->m_boxes.size()))
        return nullptr;
    return *std::next(m_pInfoManager->m_boxes.begin(), n);
}

CString CWizSetBoxPanel::GetBoxName(int n) const
{
    const Model::CTarneloInfo* box = GetBox(n);
    return box ? box->m_strName : CString();
}

void CWizSetBoxPanel::LoadNames()
{
    for (int n = 0; n < kNameCount; ++n)
        m_strName[n] = GetBoxName(n);
    UpdateData(FALSE);
}

void CWizSetBoxPanel::ApplyNames()
{
    m_bNamesPending = FALSE;
    UpdateData(TRUE);
    for (int n = 0; n < kNameCount; ++n) {
        Model::CTarneloInfo* box = GetBox(n);
        if (!box)
            break;
        box->m_strName = m_strName[n];
        box->m_bVisible = m_strName[n].IsEmpty() ? FALSE : TRUE;
    }
    PostEvent(kUpdateBoxies, 0);
}

void CWizSetBoxPanel::OnEnUpdateName()
{
    m_bNamesPending = TRUE;
    KillTimer(kTimerApplyNames);
    SetTimer(kTimerApplyNames, kApplyNamesDelayMs);
}

void CWizSetBoxPanel::OnApplyNamesTimer()
{
    KillTimer(kTimerApplyNames);
    ApplyNames();
}

BOOL CWizSetBoxPanel::OnLeave()
{
    // A name typed just before Next or Back would otherwise be lost with the panel's timer.
    if (m_bNamesPending && m_hWnd) {
        KillTimer(kTimerApplyNames);
        ApplyNames();
    }
    PostEvent(kUpdateBoxInfo, 0);
    return TRUE;
}

void CWizSetBoxPanel::EditBox(int n)
{
    Model::CTarneloInfo* box = GetBox(n);
    if (box)
        PostEvent(kEditBox, reinterpret_cast<LPARAM>(box));
}

void CWizSetBoxPanel::OnBnClickedAdvanced()
{
    // The wizard is the style dialog's parent, so it stays disabled while the dialog is up:
    // this panel cannot be replaced (and deleted) under the running dialog.
    CWnd* wizard = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    const INT_PTR result = s_styleDialog(wizard, m_pOwnerWnd, m_nMessage, m_pStyle);
    PostEvent(result == IDOK ? kUpdateStyle : kRestoreStyle, 0);
}
