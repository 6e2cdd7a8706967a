#include "dialogs/CSetOptionDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "core/ShellHelpers.h"
#include "dialogs/DialogLayout.h"
#include "resources/resource.h"

namespace {

// Rows of the option list, in order.
constexpr int kRowShowExtension = 0;
constexpr int kRowRegisterAndMove = 1;
constexpr int kRowCheckLatestVersion = 2;

// Entry 0 of the key list switches the hot key off.
constexpr int kKeyDisable = 0;

}  // namespace

BEGIN_MESSAGE_MAP(CSetOptionDlg, CDialog)
    ON_BN_CLICKED(IDC_OPTION_CTRL, OnModifierCheck)
    ON_BN_CLICKED(IDC_OPTION_SHIFT, OnModifierCheck)
    ON_BN_CLICKED(IDC_OPTION_ALT, OnModifierCheck)
    ON_CBN_SELCHANGE(IDC_OPTION_KEY, OnSelChangeKey)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_OPTION_HOTKEYS, OnItemChangedHotKeyList)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CSetOptionDlg::CSetOptionDlg(Model::CTarneloInfoManager* infoManager, Model::CConfigInfo* config, CWnd* parent)
    : CDialog(IDD_OPTIONS, parent), m_pInfoManager(infoManager), m_pConfig(config)
{
}

CSetOptionDlg::~CSetOptionDlg() = default;

CString CSetOptionDlg::FormatHotKey(UINT modifiers, UINT key)
{
    CString text;
    if (key == 0)
        return text;
    text.Format(L" %c ", static_cast<wchar_t>(key));
    // Only the three modifiers the dialog offers are named; any other bit alone adds nothing.
    if (modifiers & (MOD_CONTROL | MOD_SHIFT | MOD_ALT)) {
        CString names;
        if (modifiers & MOD_CONTROL)
            names += L"Ctrl, ";
        if (modifiers & MOD_SHIFT)
            names += L"Shift, ";
        if (modifiers & MOD_ALT)
            names += L"Alt, ";
        text += L"(" + names.Left(names.GetLength() - 2) + L")";
    }
    return text;
}

void CSetOptionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_OPTION_CHECKS, m_checkOptions);
    DDX_Control(pDX, IDC_OPTION_HOTKEYS, m_listHotKeys);
    DDX_Control(pDX, IDC_OPTION_CTRL, m_btnCtrl);
    DDX_Control(pDX, IDC_OPTION_SHIFT, m_btnShift);
    DDX_Control(pDX, IDC_OPTION_ALT, m_btnAlt);
    DDX_Check(pDX, IDC_OPTION_CTRL, m_bCtrl);
    DDX_Check(pDX, IDC_OPTION_SHIFT, m_bShift);
    DDX_Check(pDX, IDC_OPTION_ALT, m_bAlt);
    DDX_Control(pDX, IDC_OPTION_KEY, m_comboKey);
    DDX_CBString(pDX, IDC_OPTION_KEY, m_strKey);
}

BOOL CSetOptionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // The key list: " Disable", " A" to " Z", " 0" to " 9" and one blank.
    m_comboKey.ResetContent();
    m_comboKey.AddString(LoadResString(IDS_OPTION_KEY_DISABLE));
    for (wchar_t ch = L'A'; ch <= L'Z'; ++ch)
        m_comboKey.AddString(CString(L" ") + ch);
    for (wchar_t ch = L'0'; ch <= L'9'; ++ch)
        m_comboKey.AddString(CString(L" ") + ch);
    m_comboKey.AddString(L" ");

    if (m_pConfig) {
        AddOptionCheck(IDS_SHOW_FILE_EXTENSION, m_pConfig->m_bShowExtension);
        AddOptionCheck(IDS_DELETE_DESKTOP_SHORTCUT, m_pConfig->m_bRegisterAndMove);
        AddOptionCheck(IDS_CHECK_VERSION_PERIODICALLY, m_pConfig->m_bCheckLatestVersion);
    }
    FitOptionRows();

    m_listHotKeys.InsertColumn(0, L"", LVCFMT_LEFT, 120);
    m_listHotKeys.InsertColumn(1, L"", LVCFMT_LEFT, 140);
    if (m_pInfoManager) {
        int row = 0;
        for (Model::CTarneloInfo* box : m_pInfoManager->m_boxes) {
            auto* info = new _HOTKEY_INFO{ box->m_nHotKeyModifiers, box->m_nHotKeyKey, box };
            const int index = m_listHotKeys.InsertItem(row, box->m_strName);
            if (index < 0) {
                delete info;
                continue;
            }
            m_listHotKeys.SetItemText(index, 1, FormatHotKey(info->nModifiers, info->nKey));
            m_listHotKeys.SetItemData(index, reinterpret_cast<DWORD_PTR>(info));
            ++row;
        }
    }

    m_nSelectedRow = 0;
    m_listHotKeys.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    m_listHotKeys.SetExtendedStyle(m_listHotKeys.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    if (m_listHotKeys.GetItemCount() == 0)
        EnableModifierChecks();

    UpdateData(FALSE);
    return TRUE;
}

void CSetOptionDlg::AddOptionCheck(UINT stringId, BOOL flag)
{
    const int index = static_cast<int>(
        ::SendMessageW(m_checkOptions, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(stringId).GetString())));
    if (index >= 0 && flag)
        m_checkOptions.SetCheck(index, 1);
}

void CSetOptionDlg::FitOptionRows()
{
    // The rows are as tall as the glyphs of the user's language, which the template's list
    // height does not know: the list grows until every row shows without a scroll bar.
    const HWND list = m_checkOptions.GetSafeHwnd();
    const int rows = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    const int rowHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT client = {};
    ::GetClientRect(list, &client);
    if (rows > 0 && rowHeight > 0 && rows * rowHeight > client.bottom)
        DialogLayout::GrowControl(m_hWnd, list, rows * rowHeight - client.bottom);
}

CSetOptionDlg::_HOTKEY_INFO* CSetOptionDlg::GetRowInfo(int row) const
{
    if (row < 0 || row >= m_listHotKeys.GetItemCount())
        return nullptr;
    return reinterpret_cast<_HOTKEY_INFO*>(m_listHotKeys.GetItemData(row));
}

BOOL CSetOptionDlg::IsListed(const Model::CTarneloInfo* box) const
{
    if (!m_pInfoManager || !box)
        return FALSE;
    const auto& boxes = m_pInfoManager->m_boxes;
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end() ? TRUE : FALSE;
}

// ---- The hot-key rows -----------------------------------------------------------------------------

void CSetOptionDlg::OnItemChangedHotKeyList(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    // Text and data changes of a selected row say nothing about the selection.
    if (!(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED))
        return;
    m_nSelectedRow = change->iItem;
    const _HOTKEY_INFO* info = GetRowInfo(m_nSelectedRow);
    if (!info)
        return;
    ::SetDlgItemTextW(m_hWnd, IDC_OPTION_BOX_NAME, IsListed(info->pBox) ? info->pBox->m_strName.GetString() : L"");
    ShowHotKey(*info);
    EnableModifierChecks();
}

void CSetOptionDlg::ShowHotKey(const _HOTKEY_INFO& info)
{
    if (info.nKey != 0) {
        m_strKey.Format(L" %c", static_cast<wchar_t>(info.nKey));
        m_bCtrl = (info.nModifiers & MOD_CONTROL) ? TRUE : FALSE;
        m_bShift = (info.nModifiers & MOD_SHIFT) ? TRUE : FALSE;
        m_bAlt = (info.nModifiers & MOD_ALT) ? TRUE : FALSE;
        UpdateData(FALSE);
        // The list is searched without regard to case and keeps the last selection when
        // nothing matches: a key the list does not have (one from an edited box file) must
        // show no entry rather than a neighbour's or its other-case twin.
        int exact = -1;
        for (int i = 0; i < m_comboKey.GetCount(); ++i) {
            CString entry;
            m_comboKey.GetLBText(i, entry);
            if (entry == m_strKey) {
                exact = i;
                break;
            }
        }
        if (m_comboKey.GetCurSel() != exact)
            m_comboKey.SetCurSel(exact);
        return;
    }
    m_comboKey.SetCurSel(kKeyDisable);
    UpdateData(TRUE);
    m_bCtrl = m_bShift = m_bAlt = FALSE;
    UpdateData(FALSE);
}

void CSetOptionDlg::EnableModifierChecks()
{
    const BOOL enable = m_comboKey.GetCurSel() != kKeyDisable ? TRUE : FALSE;
    ::EnableWindow(m_btnCtrl, enable);
    ::EnableWindow(m_btnShift, enable);
    ::EnableWindow(m_btnAlt, enable);
}

void CSetOptionDlg::ApplyHotKey()
{
    UpdateData(TRUE);
    _HOTKEY_INFO* info = GetRowInfo(m_nSelectedRow);
    if (!info)
        return;
    const int selection = m_comboKey.GetCurSel();
    if (selection != kKeyDisable) {
        // No entry selected: the row's key is one the list does not have; it is kept.
        if (selection >= 0) {
            CString key = m_strKey;
            key.Trim();
            info->nKey = key.IsEmpty() ? 0 : key[0];
        }
        info->nModifiers = (m_bCtrl ? MOD_CONTROL : 0) | (m_bShift ? MOD_SHIFT : 0) | (m_bAlt ? MOD_ALT : 0);
    } else {
        info->nKey = 0;
    }
    m_listHotKeys.SetItemText(m_nSelectedRow, 1, FormatHotKey(info->nModifiers, info->nKey));
}

void CSetOptionDlg::OnModifierCheck()
{
    ApplyHotKey();
}

void CSetOptionDlg::OnSelChangeKey()
{
    ApplyHotKey();
    EnableModifierChecks();
}

// ---- Ending -----------------------------------------------------------------------------------------

void CSetOptionDlg::OnOK()
{
    if (m_pConfig) {
        m_pConfig->m_bShowExtension = m_checkOptions.GetCheck(kRowShowExtension) == 1 ? TRUE : FALSE;
        m_pConfig->m_bRegisterAndMove = m_checkOptions.GetCheck(kRowRegisterAndMove) == 1 ? TRUE : FALSE;
        m_pConfig->m_bCheckLatestVersion = m_checkOptions.GetCheck(kRowCheckLatestVersion) == 1 ? TRUE : FALSE;
    }
    for (int row = 0; row < m_listHotKeys.GetItemCount(); ++row) {
        const _HOTKEY_INFO* info = GetRowInfo(row);
        if (!info || !IsListed(info->pBox))
            continue;
        info->pBox->m_nHotKeyModifiers = info->nModifiers;
        info->pBox->m_nHotKeyKey = info->nKey;
    }
    CDialog::OnOK();
}

void CSetOptionDlg::OnDestroy()
{
    CDialog::OnDestroy();
    for (int row = 0; row < m_listHotKeys.GetItemCount(); ++row) {
        delete GetRowInfo(row);
        m_listHotKeys.SetItemData(row, 0);
    }
}
