// The options dialog driven modally: the option checks and the hot-key rows it shows, what
// the key list and the modifier checks do to a row, and what OK and Cancel write.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "StyleDialogTestSupport.h"
#include "core/ShellHelpers.h"
#include "dialogs/CSetOptionDlg.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloInfoManager.h"
#include "resources/resource.h"

using DialogTestSupport::ClickButton;
using DialogTestSupport::ItemText;
using DialogTestSupport::OnNextDialog;
using DialogTestSupport::SelectComboItem;
using namespace styletest;

namespace {

// Entries of the key list: " Disable", " A".." Z" (1..26), " 0".." 9" (27..36), " " (37).
constexpr int kKeyB = 2;
constexpr int kKeyBlank = 37;

std::wstring RowText(HWND dialog, int row, int column)
{
    wchar_t text[128] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    ::SendDlgItemMessageW(dialog, IDC_OPTION_HOTKEYS, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(&item));
    return text;
}

void SelectRow(HWND dialog, int row)
{
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendDlgItemMessageW(dialog, IDC_OPTION_HOTKEYS, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(&item));
}

std::wstring ListText(HWND dialog, int row)
{
    wchar_t text[256] = {};
    ::SendDlgItemMessageW(dialog, IDC_OPTION_CHECKS, LB_GETTEXT, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(text));
    return text;
}

class OptionDlg : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        AddBox(L"Apps", MOD_CONTROL | MOD_ALT, 'A');
        AddBox(L"Tools", MOD_SHIFT, 0);
        AddBox(L"Docs", 0, '5');
        m_config.m_bShowExtension = TRUE;
        m_config.m_bRegisterAndMove = FALSE;
        m_config.m_bCheckLatestVersion = TRUE;
    }
    Model::CTarneloInfo* AddBox(const wchar_t* name, UINT modifiers, UINT key)
    {
        auto* box = new Model::CTarneloInfo();
        box->m_strName = name;
        box->m_nHotKeyModifiers = modifiers;
        box->m_nHotKeyKey = key;
        m_boxes.m_boxes.push_back(box);
        return box;
    }
    Model::CTarneloInfo* Box(int index)
    {
        auto it = m_boxes.m_boxes.begin();
        std::advance(it, index);
        return *it;
    }

    Model::CTarneloInfoManager m_boxes;
    Model::CConfigInfo m_config;
};

}  // namespace

TEST(OptionHotKeyText, KeyThenModifiersInAFixedOrder)
{
    EXPECT_EQ(CString(L""), CSetOptionDlg::FormatHotKey(MOD_CONTROL, 0));
    EXPECT_EQ(CString(L" 5 "), CSetOptionDlg::FormatHotKey(0, '5'));
    EXPECT_EQ(CString(L" A (Ctrl, Alt)"), CSetOptionDlg::FormatHotKey(MOD_CONTROL | MOD_ALT, 'A'));
    EXPECT_EQ(CString(L" B (Ctrl, Shift)"), CSetOptionDlg::FormatHotKey(MOD_SHIFT | MOD_CONTROL, 'B'));
    EXPECT_EQ(CString(L" Z (Ctrl, Shift, Alt)"), CSetOptionDlg::FormatHotKey(7, 'Z'));
    EXPECT_EQ(CString(L" Q (Alt)"), CSetOptionDlg::FormatHotKey(MOD_ALT, 'Q'));
    // A modifier the dialog does not offer is not named.
    EXPECT_EQ(CString(L" Q "), CSetOptionDlg::FormatHotKey(MOD_WIN, 'Q'));
}

TEST_F(OptionDlg, ShowsTheOptionsAndEveryBoxsHotKey)
{
    CSetOptionDlg dialog(&m_boxes, &m_config);
    OnNextDialog(
        [&](HWND dlg) {
            EXPECT_EQ(LoadResString(IDS_SHOW_FILE_EXTENSION).str(), ListText(dlg, 0));
            EXPECT_EQ(LoadResString(IDS_DELETE_DESKTOP_SHORTCUT).str(), ListText(dlg, 1));
            EXPECT_EQ(LoadResString(IDS_CHECK_VERSION_PERIODICALLY).str(), ListText(dlg, 2));
            EXPECT_EQ(1, dialog.m_checkOptions.GetCheck(0));
            EXPECT_EQ(0, dialog.m_checkOptions.GetCheck(1));
            EXPECT_EQ(1, dialog.m_checkOptions.GetCheck(2));

            EXPECT_EQ(3, ::SendDlgItemMessageW(dlg, IDC_OPTION_HOTKEYS, LVM_GETITEMCOUNT, 0, 0));
            EXPECT_EQ(L"Apps", RowText(dlg, 0, 0));
            EXPECT_EQ(L" A (Ctrl, Alt)", RowText(dlg, 0, 1));
            EXPECT_EQ(L"Tools", RowText(dlg, 1, 0));
            EXPECT_EQ(L"", RowText(dlg, 1, 1));
            EXPECT_EQ(L" 5 ", RowText(dlg, 2, 1));
            const DWORD ex = static_cast<DWORD>(::SendDlgItemMessageW(dlg, IDC_OPTION_HOTKEYS,
                                                                      LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
            EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
                      ex & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));

            // Row 0 is shown at start.
            EXPECT_EQ(38, ::SendDlgItemMessageW(dlg, IDC_OPTION_KEY, CB_GETCOUNT, 0, 0));
            EXPECT_EQ(L"Apps", ItemText(dlg, IDC_OPTION_BOX_NAME));
            EXPECT_EQ(1, CurSel(dlg, IDC_OPTION_KEY));
            EXPECT_TRUE(Checked(dlg, IDC_OPTION_CTRL));
            EXPECT_FALSE(Checked(dlg, IDC_OPTION_SHIFT));
            EXPECT_TRUE(Checked(dlg, IDC_OPTION_ALT));
            EXPECT_TRUE(Enabled(dlg, IDC_OPTION_SHIFT));

            // A box without hot key: " Disable", three cleared and disabled checks.
            SelectRow(dlg, 1);
            EXPECT_EQ(L"Tools", ItemText(dlg, IDC_OPTION_BOX_NAME));
            EXPECT_EQ(0, CurSel(dlg, IDC_OPTION_KEY));
            EXPECT_EQ(L" Disable", ItemText(dlg, IDC_OPTION_KEY));
            for (int id : { IDC_OPTION_CTRL, IDC_OPTION_SHIFT, IDC_OPTION_ALT }) {
                EXPECT_FALSE(Checked(dlg, id)) << id;
                EXPECT_FALSE(Enabled(dlg, id)) << id;
            }

            SelectRow(dlg, 2);
            EXPECT_EQ(L" 5", ItemText(dlg, IDC_OPTION_KEY));
            EXPECT_FALSE(Checked(dlg, IDC_OPTION_CTRL));
            EXPECT_TRUE(Enabled(dlg, IDC_OPTION_CTRL));
        },
        IDCANCEL);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST_F(OptionDlg, OkWritesTheSettingsAndEveryBoxsHotKey)
{
    CSetOptionDlg dialog(&m_boxes, &m_config);
    OnNextDialog(
        [&](HWND dlg) {
            // Row 1: " B", then Shift and Ctrl.
            SelectRow(dlg, 1);
            SelectComboItem(dlg, IDC_OPTION_KEY, kKeyB);
            EXPECT_TRUE(Enabled(dlg, IDC_OPTION_CTRL));
            ClickButton(dlg, IDC_OPTION_SHIFT);
            ClickButton(dlg, IDC_OPTION_CTRL);
            EXPECT_EQ(L" B (Ctrl, Shift)", RowText(dlg, 1, 1));

            // Row 0: " Disable" clears the key and keeps the modifiers.
            SelectRow(dlg, 0);
            SelectComboItem(dlg, IDC_OPTION_KEY, 0);
            EXPECT_EQ(L"", RowText(dlg, 0, 1));
            EXPECT_FALSE(Enabled(dlg, IDC_OPTION_ALT));

            // Row 2: the blank entry gives key 0 with the checks still enabled.
            SelectRow(dlg, 2);
            SelectComboItem(dlg, IDC_OPTION_KEY, kKeyBlank);
            EXPECT_EQ(L"", RowText(dlg, 2, 1));
            EXPECT_TRUE(Enabled(dlg, IDC_OPTION_ALT));
            ClickButton(dlg, IDC_OPTION_ALT);
            EXPECT_EQ(L"", RowText(dlg, 2, 1));

            // Going back to row 1 shows what was chosen there.
            SelectRow(dlg, 1);
            EXPECT_EQ(L" B", ItemText(dlg, IDC_OPTION_KEY));
            EXPECT_TRUE(Checked(dlg, IDC_OPTION_CTRL));
            EXPECT_TRUE(Checked(dlg, IDC_OPTION_SHIFT));

            // Nothing reaches the records before OK.
            EXPECT_EQ(0u, Box(1)->m_nHotKeyKey);
            EXPECT_EQ(static_cast<UINT>('A'), Box(0)->m_nHotKeyKey);

            dialog.m_checkOptions.SetCheck(0, 0);
            dialog.m_checkOptions.SetCheck(1, 1);
            dialog.m_checkOptions.SetCheck(2, 2);  // only a plain check counts as on
        },
        IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(FALSE, m_config.m_bShowExtension);
    EXPECT_EQ(TRUE, m_config.m_bRegisterAndMove);
    EXPECT_EQ(FALSE, m_config.m_bCheckLatestVersion);
    EXPECT_EQ(0u, Box(0)->m_nHotKeyKey);
    EXPECT_EQ(static_cast<UINT>(MOD_CONTROL | MOD_ALT), Box(0)->m_nHotKeyModifiers);
    EXPECT_EQ(static_cast<UINT>('B'), Box(1)->m_nHotKeyKey);
    EXPECT_EQ(static_cast<UINT>(MOD_CONTROL | MOD_SHIFT), Box(1)->m_nHotKeyModifiers);
    EXPECT_EQ(0u, Box(2)->m_nHotKeyKey);
    EXPECT_EQ(static_cast<UINT>(MOD_ALT), Box(2)->m_nHotKeyModifiers);
}

TEST_F(OptionDlg, CancelLeavesTheSettingsAndTheBoxes)
{
    CSetOptionDlg dialog(&m_boxes, &m_config);
    OnNextDialog(
        [&](HWND dlg) {
            SelectComboItem(dlg, IDC_OPTION_KEY, kKeyB);
            ClickButton(dlg, IDC_OPTION_SHIFT);
            dialog.m_checkOptions.SetCheck(0, 0);
            dialog.m_checkOptions.SetCheck(1, 1);
        },
        IDCANCEL);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(TRUE, m_config.m_bShowExtension);
    EXPECT_EQ(FALSE, m_config.m_bRegisterAndMove);
    EXPECT_EQ(static_cast<UINT>('A'), Box(0)->m_nHotKeyKey);
    EXPECT_EQ(static_cast<UINT>(MOD_CONTROL | MOD_ALT), Box(0)->m_nHotKeyModifiers);
}

TEST_F(OptionDlg, AKeyTheListDoesNotHaveShowsNoEntryAndIsKept)
{
    // F1 (0x70) reads as "p", whose upper-case twin the list does have.
    Model::CTarneloInfo* box = Box(0);
    box->m_nHotKeyKey = VK_F1;
    box->m_nHotKeyModifiers = MOD_CONTROL;
    CSetOptionDlg dialog(&m_boxes, &m_config);
    OnNextDialog(
        [&](HWND dlg) {
            // Row 2's " 5" first, so that a kept selection would show.
            SelectRow(dlg, 2);
            SelectRow(dlg, 0);
            EXPECT_EQ(-1, CurSel(dlg, IDC_OPTION_KEY));
            EXPECT_TRUE(Enabled(dlg, IDC_OPTION_SHIFT));
            ClickButton(dlg, IDC_OPTION_SHIFT);
        },
        IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(static_cast<UINT>(VK_F1), box->m_nHotKeyKey);
    EXPECT_EQ(static_cast<UINT>(MOD_CONTROL | MOD_SHIFT), box->m_nHotKeyModifiers);
}

TEST_F(OptionDlg, ABoxDeletedWhileTheDialogIsOpenIsNotWritten)
{
    std::unique_ptr<Model::CTarneloInfo> gone(Box(1));
    CSetOptionDlg dialog(&m_boxes, &m_config);
    OnNextDialog(
        [&](HWND dlg) {
            SelectRow(dlg, 1);
            SelectComboItem(dlg, IDC_OPTION_KEY, kKeyB);
            m_boxes.m_boxes.remove(gone.get());
            SelectRow(dlg, 2);
            SelectComboItem(dlg, IDC_OPTION_KEY, kKeyB);
        },
        IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0u, gone->m_nHotKeyKey);
    EXPECT_EQ(static_cast<UINT>('B'), Box(1)->m_nHotKeyKey);  // "Docs", now second
}

TEST_F(OptionDlg, NoBoxesAndNoSettingsShowAnEmptyDialog)
{
    CSetOptionDlg dialog(nullptr, nullptr);
    OnNextDialog(
        [&](HWND dlg) {
            EXPECT_EQ(0, ::SendDlgItemMessageW(dlg, IDC_OPTION_HOTKEYS, LVM_GETITEMCOUNT, 0, 0));
            EXPECT_EQ(0, ::SendDlgItemMessageW(dlg, IDC_OPTION_CHECKS, LB_GETCOUNT, 0, 0));
            SelectComboItem(dlg, IDC_OPTION_KEY, kKeyB);
            ClickButton(dlg, IDC_OPTION_CTRL);
        },
        IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
}
