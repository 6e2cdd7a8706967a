// The text outline dialog driven modally: the rows switched by their lists, what OK writes
// (also of a switched-off row) and that Cancel writes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include "StyleDialogTestSupport.h"
#include "dialogs/CSetOutlineDlg.h"
#include "model/CTextStyle.h"
#include "resources/resource.h"

using DialogTestSupport::ItemText;
using DialogTestSupport::OnNextDialog;
using DialogTestSupport::SelectComboItem;
using DialogTestSupport::SetItemText;
using namespace styletest;

namespace {

class TestOutlineDlg : public CSetOutlineDlg
{
public:
    using CSetOutlineDlg::m_btnOutlineColor;
    using CSetOutlineDlg::m_btnShadowColor;
};

class OutlineDlg : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        m_text.m_bOutline = TRUE;
        m_text.m_outlineColor = 0x40112233;
        m_text.m_nOutlineThickness = 2;
        m_text.m_bShadow = FALSE;
        m_text.m_shadowColor = 0x80445566;
        m_text.m_nShadowThickness = 4;
        m_text.m_shadowOffset = POINT{ 3, 7 };
        m_dialog.m_pTextStyle = &m_text;
    }

    Model::CTextStyle m_text;
    TestOutlineDlg m_dialog;
};

const int kOutlineRow[] = { IDC_OUTLINE_COLOR, IDC_OUTLINE_WIDTH, IDC_OUTLINE_WIDTH_SPIN };
const int kShadowRow[] = { IDC_OUTLINE_SHADOW_COLOR, IDC_OUTLINE_SHADOW_WIDTH, IDC_OUTLINE_SHADOW_WIDTH_SPIN,
                           IDC_OUTLINE_SHADOW_POSITION, IDC_OUTLINE_SHADOW_POSITION_SPIN };

void ExpectRow(HWND dialog, const int (&ids)[3], bool enabled)
{
    for (int id : ids)
        EXPECT_EQ(enabled, Enabled(dialog, id)) << id;
}
void ExpectRow(HWND dialog, const int (&ids)[5], bool enabled)
{
    for (int id : ids)
        EXPECT_EQ(enabled, Enabled(dialog, id)) << id;
}

}  // namespace

TEST_F(OutlineDlg, OpensWithTheRecordAndTheListsSwitchTheirRows)
{
    const Model::CTextStyle before = m_text;
    OnNextDialog(
        [&](HWND dlg) {
            EXPECT_EQ(0, CurSel(dlg, IDC_OUTLINE_ENABLE));
            EXPECT_EQ(1, CurSel(dlg, IDC_OUTLINE_SHADOW_ENABLE));
            EXPECT_EQ(2, ::SendDlgItemMessageW(dlg, IDC_OUTLINE_ENABLE, CB_GETCOUNT, 0, 0));
            EXPECT_EQ(RGB(0x11, 0x22, 0x33), m_dialog.m_btnOutlineColor.GetColor());
            EXPECT_EQ(RGB(0x44, 0x55, 0x66), m_dialog.m_btnShadowColor.GetColor());
            EXPECT_EQ(L"2", ItemText(dlg, IDC_OUTLINE_WIDTH));
            EXPECT_EQ(L"4", ItemText(dlg, IDC_OUTLINE_SHADOW_WIDTH));
            EXPECT_EQ(L"3", ItemText(dlg, IDC_OUTLINE_SHADOW_POSITION));
            int low = 0, high = 0;
            ::SendDlgItemMessageW(dlg, IDC_OUTLINE_SHADOW_POSITION_SPIN, UDM_GETRANGE32,
                                  reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
            EXPECT_EQ(-100, low);
            EXPECT_EQ(100, high);
            ExpectRow(dlg, kOutlineRow, true);
            ExpectRow(dlg, kShadowRow, false);

            SelectComboItem(dlg, IDC_OUTLINE_ENABLE, 1);
            SelectComboItem(dlg, IDC_OUTLINE_SHADOW_ENABLE, 0);
            ExpectRow(dlg, kOutlineRow, false);
            ExpectRow(dlg, kShadowRow, true);
            SetItemText(dlg, IDC_OUTLINE_WIDTH, L"9");
        },
        IDCANCEL);
    EXPECT_EQ(IDCANCEL, m_dialog.DoModal());
    EXPECT_EQ(before.m_bOutline, m_text.m_bOutline);
    EXPECT_EQ(before.m_bShadow, m_text.m_bShadow);
    EXPECT_EQ(before.m_outlineColor, m_text.m_outlineColor);
    EXPECT_EQ(before.m_nOutlineThickness, m_text.m_nOutlineThickness);
    EXPECT_EQ(7, m_text.m_shadowOffset.y);
}

TEST_F(OutlineDlg, OkWritesEveryFieldAlsoOfASwitchedOffRow)
{
    OnNextDialog(
        [&](HWND dlg) {
            SelectComboItem(dlg, IDC_OUTLINE_ENABLE, 1);
            SetItemText(dlg, IDC_OUTLINE_WIDTH, L"250");  // beyond the range: taken as 100
            ::SendMessageW(::GetDlgItem(dlg, IDC_OUTLINE_SHADOW_COLOR), WM_COLOR_SELENDOK, COLOR_AUTOMATIC, 0);
            SetItemText(dlg, IDC_OUTLINE_SHADOW_WIDTH, L"6");
        },
        IDOK);
    EXPECT_EQ(IDOK, m_dialog.DoModal());
    EXPECT_EQ(FALSE, m_text.m_bOutline);
    EXPECT_EQ(FALSE, m_text.m_bShadow);
    EXPECT_EQ(0xFF112233u, m_text.m_outlineColor);  // alpha 0xFF after OK
    EXPECT_EQ(0xFF000000u, m_text.m_shadowColor);   // "Auto" is black
    EXPECT_EQ(100, m_text.m_nOutlineThickness);
    EXPECT_EQ(6, m_text.m_nShadowThickness);
    // One position for both: y follows x.
    EXPECT_EQ(3, m_text.m_shadowOffset.x);
    EXPECT_EQ(3, m_text.m_shadowOffset.y);
}

TEST_F(OutlineDlg, ANegativePositionFromTheUpDownIsStored)
{
    m_text.m_shadowOffset = POINT{ -2, 5 };
    m_text.m_bShadow = TRUE;
    OnNextDialog(
        [&](HWND dlg) {
            EXPECT_EQ(L"-2", ItemText(dlg, IDC_OUTLINE_SHADOW_POSITION));
            ::SendDlgItemMessageW(dlg, IDC_OUTLINE_SHADOW_POSITION_SPIN, UDM_SETPOS32, 0, -40);
            EXPECT_EQ(L"-40", ItemText(dlg, IDC_OUTLINE_SHADOW_POSITION));
        },
        IDOK);
    EXPECT_EQ(IDOK, m_dialog.DoModal());
    EXPECT_EQ(TRUE, m_text.m_bShadow);
    EXPECT_EQ(-40, m_text.m_shadowOffset.x);
    EXPECT_EQ(-40, m_text.m_shadowOffset.y);
}
