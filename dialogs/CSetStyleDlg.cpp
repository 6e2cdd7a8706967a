#include "dialogs/CSetStyleDlg.h"

#include <commctrl.h>

#include <cwchar>
#include <iterator>

#include "core/ShellHelpers.h"
#include "dialogs/CSetOutlineDlg.h"
#include "dialogs/StyleDialogHelpers.h"
#include "framework/ScopedHandles.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"

using StyleDialogs::ArgbFromColorRef;
using StyleDialogs::ColorRefFromArgb;

namespace {

// The font-style list in its order: regular, italic, bold, bold italic.
constexpr int kFontStyles[] = { 0, 2, 1, 3 };

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

BYTE AlphaOf(Gdiplus::ARGB color)
{
    return static_cast<BYTE>(color >> 24);
}

}  // namespace

BEGIN_MESSAGE_MAP(CSetStyleDlg, CDialog)
    ON_TIMER(kPreviewTimer, OnPreviewTimer)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_STYLE_BACKGROUND, OnBackgroundCheck)
    ON_BN_CLICKED(IDC_STYLE_HOTKEY_SELECTION, OnHotKeySelectionCheck)
    ON_BN_CLICKED(IDC_STYLE_OUTLINE, OnOutline)
    ON_CBN_SELCHANGE(IDC_STYLE_ICON_DISPLAY, OnChange)
    ON_CBN_SELCHANGE(IDC_STYLE_FONT_NAME, OnChange)
    ON_CBN_SELCHANGE(IDC_STYLE_FONT_SIZE, OnChange)
    ON_CBN_SELCHANGE(IDC_STYLE_FONT_STYLE, OnChange)
    ON_EN_UPDATE(IDC_STYLE_BACK_ALPHA, OnChange)
    ON_EN_UPDATE(IDC_STYLE_MARGIN_TOP, OnChange)
    ON_EN_UPDATE(IDC_STYLE_MARGIN_LEFT, OnChange)
    ON_MESSAGE(WM_COLOR_SELCHANGE, OnColorSelChange)
END_MESSAGE_MAP()

CSetStyleDlg::CSetStyleDlg(CWnd* parent)
    : CDialog(IDD_STYLE, parent)
{
}

CSetStyleDlg::~CSetStyleDlg() = default;

// ---- Conversions --------------------------------------------------------------------------------

int CSetStyleDlg::TransparencyOfAlpha(BYTE alpha)
{
    // Rounded, so that every percent the dialog turns into an alpha shows as itself again.
    const int opacity = (alpha * 100 + 127) / 255;
    return 100 - opacity;
}

CString CSetStyleDlg::AlphaToTransparencyText(BYTE alpha)
{
    return NumberText(TransparencyOfAlpha(alpha));
}

BYTE CSetStyleDlg::TransparencyTextToAlpha(CString& text, BYTE currentAlpha)
{
    long transparency = std::wcstol(text.GetString(), nullptr, 10);
    // A pasted "-5" would otherwise wrap round to an almost transparent alpha.
    if (transparency > 100) {
        transparency = 100;
        text = L"100";
    } else if (transparency < 0) {
        transparency = 0;
        text = L"0";
    }
    // There are 256 alphas and 101 percents: the percent an alpha shows as stands for that
    // alpha, so a value the user leaves alone is stored again exactly as it was.
    if (transparency == TransparencyOfAlpha(currentAlpha))
        return currentAlpha;
    return static_cast<BYTE>(((100 - transparency) * 255) / 100);
}

BOOL CSetStyleDlg::CheckPositiveNumber(CString text, UINT messageId)
{
    text.Trim();
    if (!text.IsEmpty() && std::wcstol(text.GetString(), nullptr, 10) > 0)
        return TRUE;
    ShowWarningMessage(messageId);
    return FALSE;
}

int CSetStyleDlg::FontStyleFromIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kFontStyles)))
        return 0;
    return kFontStyles[index];
}

int CSetStyleDlg::IndexFromFontStyle(int style)
{
    style &= 3;
    for (int i = 0; i < static_cast<int>(std::size(kFontStyles)); ++i) {
        if (kFontStyles[i] == style)
            return i;
    }
    return 0;
}

// ---- Opening --------------------------------------------------------------------------------------

void CSetStyleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STYLE_ICON_DISPLAY, m_comboIconDisplay);
    DDX_Check(pDX, IDC_STYLE_BACKGROUND, m_bIconBackground);
    DDX_Control(pDX, IDC_STYLE_BACK_COLOR, m_btnBackColor);
    DDX_Text(pDX, IDC_STYLE_BACK_ALPHA, m_strBackTransparency);
    DDX_Control(pDX, IDC_STYLE_FONT_NAME, m_comboFontName);
    DDX_Control(pDX, IDC_STYLE_FONT_STYLE, m_comboFontStyle);
    DDX_Control(pDX, IDC_STYLE_FONT_SIZE, m_comboFontSize);
    DDX_CBString(pDX, IDC_STYLE_FONT_SIZE, m_strFontSize);
    DDX_Control(pDX, IDC_STYLE_TEXT_COLOR, m_btnTextColor);
    DDX_Text(pDX, IDC_STYLE_MARGIN_TOP, m_strMarginTop);
    DDX_Text(pDX, IDC_STYLE_MARGIN_LEFT, m_strMarginLeft);
    DDX_Control(pDX, IDC_STYLE_SELECTED_COLOR, m_btnSelectedColor);
    DDX_Text(pDX, IDC_STYLE_SELECTED_ALPHA, m_strSelectedTransparency);
    DDX_Check(pDX, IDC_STYLE_HOTKEY_SELECTION, m_bHotKeySelection);
    DDX_Control(pDX, IDC_STYLE_HOTKEY_COLOR, m_btnHotKeyColor);
    DDX_Control(pDX, IDC_STYLE_HOTKEY_ALPHA, m_editHotKeyTransparency);
    DDX_Text(pDX, IDC_STYLE_HOTKEY_ALPHA, m_strHotKeyTransparency);
    DDX_Control(pDX, IDC_STYLE_HOTKEY_ALPHA_SPIN, m_spinHotKeyTransparency);
    DDX_Check(pDX, IDC_STYLE_LARGE_MENU, m_bLargeMenu);
}

BOOL CSetStyleDlg::OnInitDialog()
{
    const ScopedCount filling(m_nFilling);
    CDialog::OnInitDialog();

    StyleDialogs::FillComboFromString(m_comboIconDisplay, IDS_STYLE_DISPLAY_ITEMS);
    StyleDialogs::FillComboFromString(m_comboFontStyle, IDS_STYLE_FONT_STYLE_ITEMS);
    StyleDialogs::FillComboFromString(m_comboFontSize, IDS_STYLE_FONT_SIZE_ITEMS);
    m_comboFontName.FillFonts();

    static const int kPercentSpins[] = { IDC_STYLE_MARGIN_TOP_SPIN, IDC_STYLE_MARGIN_LEFT_SPIN,
                                         IDC_STYLE_BACK_ALPHA_SPIN, IDC_STYLE_SELECTED_ALPHA_SPIN,
                                         IDC_STYLE_HOTKEY_ALPHA_SPIN };
    for (int id : kPercentSpins)
        ::SendMessageW(GetDlgItem(id), UDM_SETRANGE32, 0, 100);

    if (m_pStyle) {
        const Model::CTarneloStyleInfo& style = *m_pStyle;
        const Model::CTextStyle& title = style.m_titleStyle;
        // A stored mode outside the list leaves it without a selection.
        m_comboIconDisplay.SetCurSel(style.m_nIconDisplay >= 0 && style.m_nIconDisplay < m_comboIconDisplay.GetCount()
                                         ? style.m_nIconDisplay
                                         : -1);
        m_bIconBackground = style.m_bIconBackground ? TRUE : FALSE;
        m_btnBackColor.SetColor(ColorRefFromArgb(style.m_iconBackColor));
        m_strBackTransparency = AlphaToTransparencyText(AlphaOf(style.m_iconBackColor));
        m_btnTextColor.SetColor(ColorRefFromArgb(title.m_textColor));
        m_comboFontName.SelectFont(title.m_strFontFace);
        m_comboFontStyle.SetCurSel(IndexFromFontStyle(title.m_nFontStyle));
        m_strFontSize = NumberText(title.m_nFontSize);
        m_strMarginTop = NumberText(style.m_titleMargins.cyTopHeight);
        m_strMarginLeft = NumberText(style.m_titleMargins.cxLeftWidth);
        m_btnSelectedColor.SetColor(ColorRefFromArgb(style.m_selectedColor));
        m_btnHotKeyColor.SetColor(ColorRefFromArgb(style.m_hotKeyColor));
        m_strSelectedTransparency = AlphaToTransparencyText(AlphaOf(style.m_selectedColor));
        m_strHotKeyTransparency = AlphaToTransparencyText(AlphaOf(style.m_hotKeyColor));
        m_bHotKeySelection = style.m_bHotKeySelection ? TRUE : FALSE;
        m_bLargeMenu = style.m_bSmallMenu ? FALSE : TRUE;
    }

    ::EnableWindow(m_btnBackColor, m_bIconBackground);
    UpdateData(FALSE);
    UpdateData(TRUE);
    EnableHotKeyControls(m_bHotKeySelection);
    return TRUE;
}

void CSetStyleDlg::EnableHotKeyControls(BOOL enable)
{
    ::EnableWindow(m_btnHotKeyColor, enable);
    ::EnableWindow(m_editHotKeyTransparency, enable);
    ::EnableWindow(m_spinHotKeyTransparency, enable);
}

// ---- Changes and the preview --------------------------------------------------------------------

void CSetStyleDlg::OnBackgroundCheck()
{
    UpdateData(TRUE);
    ::EnableWindow(m_btnBackColor, m_bIconBackground);
}

void CSetStyleDlg::OnHotKeySelectionCheck()
{
    UpdateData(TRUE);
    EnableHotKeyControls(m_bHotKeySelection);
}

void CSetStyleDlg::OnChange()
{
    if (m_nFilling > 0)
        return;
    RestartPreviewTimer();
}

LRESULT CSetStyleDlg::OnColorSelChange(WPARAM, LPARAM)
{
    RestartPreviewTimer();
    return 1;
}

void CSetStyleDlg::RestartPreviewTimer()
{
    KillTimer(kPreviewTimer);
    SetTimer(kPreviewTimer, kPreviewDelayMs);
}

void CSetStyleDlg::OnPreviewTimer()
{
    KillTimer(kPreviewTimer);
    Apply();
}

void CSetStyleDlg::OnDestroy()
{
    CDialog::OnDestroy();
    KillTimer(kPreviewTimer);
}

void CSetStyleDlg::FillControls()
{
    const ScopedCount filling(m_nFilling);
    UpdateData(FALSE);
}

void CSetStyleDlg::Apply()
{
    UpdateData(TRUE);
    if (!m_pStyle)
        return;
    Model::CTarneloStyleInfo& style = *m_pStyle;
    Model::CTextStyle& title = style.m_titleStyle;

    // With nothing selected (a stored mode the list does not have) the mode stays as it was.
    const int display = m_comboIconDisplay.GetCurSel();
    if (display >= 0)
        style.m_nIconDisplay = display;
    style.m_bIconBackground = m_bIconBackground ? 1 : 0;
    style.m_iconBackColor =
        ArgbFromColorRef(TransparencyTextToAlpha(m_strBackTransparency, AlphaOf(style.m_iconBackColor)),
                         m_btnBackColor.GetColor());
    title.m_textColor = ArgbFromColorRef(0xFF, m_btnTextColor.GetColor());
    title.m_strFontFace = m_comboFontName.GetSelectedFont();
    title.m_nFontStyle = FontStyleFromIndex(m_comboFontStyle.GetCurSel());
    if (CheckPositiveNumber(m_strFontSize, IDS_FONT_SIZE_ZERO))
        title.m_nFontSize = ReadNumber(m_strFontSize);
    style.m_titleMargins.cyTopHeight = ReadNumber(m_strMarginTop);
    style.m_titleMargins.cxLeftWidth = ReadNumber(m_strMarginLeft);
    style.m_selectedColor =
        ArgbFromColorRef(TransparencyTextToAlpha(m_strSelectedTransparency, AlphaOf(style.m_selectedColor)),
                         m_btnSelectedColor.GetColor());
    style.m_hotKeyColor =
        ArgbFromColorRef(TransparencyTextToAlpha(m_strHotKeyTransparency, AlphaOf(style.m_hotKeyColor)),
                         m_btnHotKeyColor.GetColor());
    style.m_bHotKeySelection = m_bHotKeySelection ? 1 : 0;
    style.m_bSmallMenu = m_bLargeMenu ? 0 : 1;
    // Typed sizes are taken within the ranges a box can show, and shown as taken.
    if (Model::BoundStyleSizes(style, Model::GetWorkAreaSize(), L"style dialog") > 0) {
        m_strFontSize = NumberText(title.m_nFontSize);
        m_strMarginTop = NumberText(style.m_titleMargins.cyTopHeight);
        m_strMarginLeft = NumberText(style.m_titleMargins.cxLeftWidth);
    }

    if (m_pTargetWnd && m_pTargetWnd->GetSafeHwnd())
        ::PostMessageW(m_pTargetWnd->GetSafeHwnd(), m_nTargetMessage, m_nTargetParam, 1);

    // Shows a transparency taken as 0 or 100 as such.
    FillControls();
}

void CSetStyleDlg::OnOK()
{
    UpdateData(TRUE);
    if (!CheckPositiveNumber(m_strFontSize, IDS_FONT_SIZE_ZERO))
        return;
    // This apply takes every pending change; no preview may follow it.
    KillTimer(kPreviewTimer);
    Apply();
    CDialog::OnOK();
}

void CSetStyleDlg::OnOutline()
{
    if (!m_pStyle)
        return;
    // Owned by this dialog, so that this one stays disabled while the outline is edited.
    CSetOutlineDlg dialog(this);
    dialog.m_pTextStyle = &m_pStyle->m_titleStyle;
    if (dialog.DoModal() == IDOK)
        RestartPreviewTimer();
}
