#include "dialogs/CSetOutlineDlg.h"

#include <commctrl.h>

#include <cwchar>

#include "dialogs/StyleDialogHelpers.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"

using StyleDialogs::ArgbFromColorRef;
using StyleDialogs::ColorRefFromArgb;

namespace {

// Entry 0 of the two lists is "Enable", entry 1 "Disable".
constexpr int kEnable = 0;
constexpr int kDisable = 1;

int ReadNumber(const CString& text)
{
    return static_cast<int>(std::wcstol(text.GetString(), nullptr, 10));
}

CString NumberText(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSetOutlineDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_OUTLINE_ENABLE, OnSelChangeOutline)
    ON_CBN_SELCHANGE(IDC_OUTLINE_SHADOW_ENABLE, OnSelChangeShadow)
END_MESSAGE_MAP()

CSetOutlineDlg::CSetOutlineDlg(CWnd* parent)
    : CDialog(IDD_TEXT_OUTLINE, parent)
{
}

CSetOutlineDlg::~CSetOutlineDlg() = default;

void CSetOutlineDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_OUTLINE_ENABLE, m_comboOutline);
    DDX_Control(pDX, IDC_OUTLINE_SHADOW_ENABLE, m_comboShadow);
    DDX_Control(pDX, IDC_OUTLINE_COLOR, m_btnOutlineColor);
    DDX_Control(pDX, IDC_OUTLINE_SHADOW_COLOR, m_btnShadowColor);
    DDX_Text(pDX, IDC_OUTLINE_WIDTH, m_strOutlineWidth);
    DDX_Text(pDX, IDC_OUTLINE_SHADOW_WIDTH, m_strShadowWidth);
    DDX_Text(pDX, IDC_OUTLINE_SHADOW_POSITION, m_strShadowPosition);
}

BOOL CSetOutlineDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    StyleDialogs::FillComboFromString(m_comboOutline, IDS_OUTLINE_SWITCH_ITEMS);
    StyleDialogs::FillComboFromString(m_comboShadow, IDS_OUTLINE_SWITCH_ITEMS);

    if (m_pTextStyle) {
        const Model::CTextStyle& style = *m_pTextStyle;
        m_comboOutline.SetCurSel(style.m_bOutline ? kEnable : kDisable);
        m_comboShadow.SetCurSel(style.m_bShadow ? kEnable : kDisable);
        m_btnShadowColor.SetColor(ColorRefFromArgb(style.m_shadowColor));
        m_btnOutlineColor.SetColor(ColorRefFromArgb(style.m_outlineColor));
        m_strOutlineWidth = NumberText(style.m_nOutlineThickness);
        m_strShadowPosition = NumberText(style.m_shadowOffset.x);
        m_strShadowWidth = NumberText(style.m_nShadowThickness);
    }
    ::SendMessageW(GetDlgItem(IDC_OUTLINE_WIDTH_SPIN), UDM_SETRANGE32, 0, 100);
    ::SendMessageW(GetDlgItem(IDC_OUTLINE_SHADOW_WIDTH_SPIN), UDM_SETRANGE32, 0, 100);
    ::SendMessageW(GetDlgItem(IDC_OUTLINE_SHADOW_POSITION_SPIN), UDM_SETRANGE32, static_cast<WPARAM>(-100), 100);
    UpdateData(FALSE);

    OnSelChangeOutline();
    OnSelChangeShadow();
    return TRUE;
}

void CSetOutlineDlg::OnSelChangeOutline()
{
    const BOOL enable = m_comboOutline.GetCurSel() == kEnable ? TRUE : FALSE;
    ::EnableWindow(m_btnOutlineColor, enable);
    ::EnableWindow(GetDlgItem(IDC_OUTLINE_WIDTH), enable);
    ::EnableWindow(GetDlgItem(IDC_OUTLINE_WIDTH_SPIN), enable);
}

void CSetOutlineDlg::OnSelChangeShadow()
{
    const BOOL enable = m_comboShadow.GetCurSel() == kEnable ? TRUE : FALSE;
    ::EnableWindow(m_btnShadowColor, enable);
    ::EnableWindow(GetDlgItem(IDC_OUTLINE_SHADOW_POSITION), enable);
    ::EnableWindow(GetDlgItem(IDC_OUTLINE_SHADOW_WIDTH), enable);
    ::EnableWindow(GetDlgItem(IDC_OUTLINE_SHADOW_POSITION_SPIN), enable);
    ::EnableWindow(GetDlgItem(IDC_OUTLINE_SHADOW_WIDTH_SPIN), enable);
}

void CSetOutlineDlg::OnOK()
{
    UpdateData(TRUE);
    if (m_pTextStyle) {
        Model::CTextStyle& style = *m_pTextStyle;
        style.m_bOutline = m_comboOutline.GetCurSel() == kEnable ? TRUE : FALSE;
        style.m_bShadow = m_comboShadow.GetCurSel() == kEnable ? TRUE : FALSE;
        style.m_shadowColor = ArgbFromColorRef(0xFF, m_btnShadowColor.GetColor());
        style.m_outlineColor = ArgbFromColorRef(0xFF, m_btnOutlineColor.GetColor());
        style.m_nOutlineThickness = ReadNumber(m_strOutlineWidth);
        style.m_nShadowThickness = ReadNumber(m_strShadowWidth);
        const int offset = ReadNumber(m_strShadowPosition);
        style.m_shadowOffset.x = offset;
        style.m_shadowOffset.y = offset;
        // Typed widths and offsets are taken within the ranges a title can show.
        Model::BoundTextStyleSizes(style, L"outline dialog");
    }
    CDialog::OnOK();
}
