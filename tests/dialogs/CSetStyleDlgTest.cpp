// The style dialog driven modally: what it shows of a style, what OK, Cancel and the live
// preview write back, the transparency and colour conversions, the font-size check and the
// outline button.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "StyleDialogTestSupport.h"
#include "TempFolder.h"
#include "core/ShellHelpers.h"
#include "dialogs/CSetStyleDlg.h"
#include "dialogs/StyleDialogHelpers.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"

using DialogTestSupport::ClickButton;
using DialogTestSupport::ItemText;
using DialogTestSupport::OnNextDialog;
using DialogTestSupport::SelectComboItem;
using DialogTestSupport::SetItemText;
using namespace styletest;

namespace {

constexpr UINT kBoxMsg = WM_USER + 100;

// Reaches the dialog's colour buttons.
class TestStyleDlg : public CSetStyleDlg
{
public:
    using CSetStyleDlg::m_btnBackColor;
    using CSetStyleDlg::m_btnHotKeyColor;
    using CSetStyleDlg::m_btnSelectedColor;
    using CSetStyleDlg::m_btnTextColor;
};

// Picks a colour on a button as its popup does when a cell is clicked.
void PickColour(HWND dialog, int id, COLORREF colour)
{
    ::SendMessageW(::GetDlgItem(dialog, id), WM_COLOR_SELENDOK, colour, 0);
}

class StyleDlg : public DialogTest
{
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        m_style.m_nIconDisplay = 1;
        m_style.m_bIconBackground = FALSE;
        m_style.m_iconBackColor = 0x80102030;
        m_style.m_titleStyle.m_textColor = 0x11AABBCC;
        m_style.m_titleStyle.m_strFontFace = L"Tahoma";
        m_style.m_titleStyle.m_nFontStyle = 1;  // bold
        m_style.m_titleStyle.m_nFontSize = 14;
        m_style.m_titleMargins.cyTopHeight = 4;
        m_style.m_titleMargins.cxLeftWidth = 6;
        m_style.m_selectedColor = 0xFF00FF00;
        m_style.m_hotKeyColor = 0x00123456;
        m_style.m_bHotKeySelection = FALSE;
        m_style.m_bSmallMenu = 1;

        m_dialog.m_pTargetWnd = nullptr;
        m_dialog.m_nTargetMessage = kBoxMsg;
        m_dialog.m_nTargetParam = 4;
        m_dialog.m_pStyle = &m_style;
    }

    // Makes the recording window the preview target.
    void Target()
    {
        m_targetWnd.m_hWnd = m_target.m_hWnd;
        m_dialog.m_pTargetWnd = &m_targetWnd;
    }
    void TearDown() override
    {
        m_targetWnd.m_hWnd = nullptr;
        DialogTest::TearDown();
    }
    int Previews() const
    {
        int n = 0;
        for (const auto& m : m_target.messages)
            n += (m.message == kBoxMsg && m.wParam == 4 && m.lParam == 1) ? 1 : 0;
        return n;
    }

    Model::CTarneloStyleInfo m_style;
    TestStyleDlg m_dialog;
    RecordingTarget m_target;
    CWnd m_targetWnd;  // a view of the recording window, bound to nothing
};

}  // namespace

TEST(StyleConversions, TransparencyAndAlphaBothWays)
{
    EXPECT_EQ(CString(L"0"), CSetStyleDlg::AlphaToTransparencyText(0xFF));
    EXPECT_EQ(CString(L"50"), CSetStyleDlg::AlphaToTransparencyText(0x80));
    EXPECT_EQ(CString(L"50"), CSetStyleDlg::AlphaToTransparencyText(0x7F));  // 49.8 rounds to 50
    EXPECT_EQ(CString(L"31"), CSetStyleDlg::AlphaToTransparencyText(0xB0));
    EXPECT_EQ(CString(L"100"), CSetStyleDlg::AlphaToTransparencyText(0));

    // A typed percent becomes an alpha that shows as that percent again, and the percent an
    // alpha shows as gives that alpha back.
    for (int percent = 0; percent <= 100; ++percent) {
        CString text;
        text.Format(L"%d", percent);
        const BYTE alpha = CSetStyleDlg::TransparencyTextToAlpha(text, percent == 100 ? 0xFF : 0);
        EXPECT_EQ(text, CSetStyleDlg::AlphaToTransparencyText(alpha)) << percent;
    }
    for (int alpha = 0; alpha <= 255; ++alpha) {
        CString text = CSetStyleDlg::AlphaToTransparencyText(static_cast<BYTE>(alpha));
        EXPECT_EQ(alpha, CSetStyleDlg::TransparencyTextToAlpha(text, static_cast<BYTE>(alpha))) << alpha;
    }

    struct Case { const wchar_t* text; BYTE current; BYTE alpha; const wchar_t* shown; };
    const Case cases[] = {
        { L"50", 0xFF, 0x7F, L"50" }, { L"50", 0x80, 0x80, L"50" }, { L"0", 0x00, 0xFF, L"0" },
        { L"100", 0xFF, 0, L"100" }, { L"250", 0xFF, 0, L"100" }, { L"", 0x00, 0xFF, L"" },
        { L"abc", 0x00, 0xFF, L"abc" }, { L"25x", 0x00, 0xBF, L"25x" }, { L"99999999999", 0xFF, 0, L"100" },
        { L"-5", 0x00, 0xFF, L"0" },
    };
    for (const Case& c : cases) {
        CString text = c.text;
        EXPECT_EQ(c.alpha, CSetStyleDlg::TransparencyTextToAlpha(text, c.current)) << c.text;
        EXPECT_EQ(CString(c.shown), text) << c.text;
    }
}

TEST(StyleConversions, ColoursSwapRedAndBlueAndAutoIsBlack)
{
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), StyleDialogs::ColorRefFromArgb(0x80102030));
    EXPECT_EQ(0x7F102030u, StyleDialogs::ArgbFromColorRef(0x7F, RGB(0x10, 0x20, 0x30)));
    EXPECT_EQ(0xFF000000u, StyleDialogs::ArgbFromColorRef(0xFF, COLOR_AUTOMATIC));
    EXPECT_EQ(0x40000000u, StyleDialogs::ArgbFromColorRef(0x40, COLOR_AUTOMATIC));

    const int styles[] = { 0, 2, 1, 3 };
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(styles[index], CSetStyleDlg::FontStyleFromIndex(index));
        EXPECT_EQ(index, CSetStyleDlg::IndexFromFontStyle(styles[index]));
    }
    EXPECT_EQ(0, CSetStyleDlg::FontStyleFromIndex(-1));
    EXPECT_EQ(0, CSetStyleDlg::FontStyleFromIndex(4));
    EXPECT_EQ(2, CSetStyleDlg::IndexFromFontStyle(1 | 4));  // underline bits are ignored
}

TEST_F(StyleDlg, OpensWithTheStyleAndCancelChangesNothing)
{
    Target();
    const Model::CTarneloStyleInfo before = m_style;
    OnNextDialog(
        [&](HWND dlg) {
            EXPECT_EQ(1, CurSel(dlg, IDC_STYLE_ICON_DISPLAY));
            EXPECT_EQ(3, ::SendDlgItemMessageW(dlg, IDC_STYLE_ICON_DISPLAY, CB_GETCOUNT, 0, 0));
            EXPECT_FALSE(Checked(dlg, IDC_STYLE_BACKGROUND));
            EXPECT_FALSE(Enabled(dlg, IDC_STYLE_BACK_COLOR));
            EXPECT_TRUE(Enabled(dlg, IDC_STYLE_BACK_ALPHA));
            EXPECT_EQ(RGB(0x10, 0x20, 0x30), m_dialog.m_btnBackColor.GetColor());
            EXPECT_EQ(L"50", ItemText(dlg, IDC_STYLE_BACK_ALPHA));
            EXPECT_EQ(RGB(0xAA, 0xBB, 0xCC), m_dialog.m_btnTextColor.GetColor());
            EXPECT_EQ(L"Tahoma", ItemText(dlg, IDC_STYLE_FONT_NAME));
            EXPECT_EQ(2, CurSel(dlg, IDC_STYLE_FONT_STYLE));
            EXPECT_EQ(L"14", ItemText(dlg, IDC_STYLE_FONT_SIZE));
            EXPECT_EQ(16, ::SendDlgItemMessageW(dlg, IDC_STYLE_FONT_SIZE, CB_GETCOUNT, 0, 0));
            EXPECT_EQ(L"4", ItemText(dlg, IDC_STYLE_MARGIN_TOP));
            EXPECT_EQ(L"6", ItemText(dlg, IDC_STYLE_MARGIN_LEFT));
            EXPECT_EQ(RGB(0, 0xFF, 0), m_dialog.m_btnSelectedColor.GetColor());
            EXPECT_EQ(L"0", ItemText(dlg, IDC_STYLE_SELECTED_ALPHA));
            EXPECT_EQ(RGB(0x12, 0x34, 0x56), m_dialog.m_btnHotKeyColor.GetColor());
            EXPECT_EQ(L"100", ItemText(dlg, IDC_STYLE_HOTKEY_ALPHA));
            EXPECT_FALSE(Checked(dlg, IDC_STYLE_HOTKEY_SELECTION));
            EXPECT_FALSE(Enabled(dlg, IDC_STYLE_HOTKEY_COLOR));
            EXPECT_FALSE(Enabled(dlg, IDC_STYLE_HOTKEY_ALPHA));
            EXPECT_FALSE(Enabled(dlg, IDC_STYLE_HOTKEY_ALPHA_SPIN));
            EXPECT_TRUE(Enabled(dlg, IDC_STYLE_SELECTED_ALPHA));
            EXPECT_FALSE(Checked(dlg, IDC_STYLE_LARGE_MENU));
            int low = -1, high = -1;
            ::SendDlgItemMessageW(dlg, IDC_STYLE_MARGIN_LEFT_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                                  reinterpret_cast<LPARAM>(&high));
            EXPECT_EQ(0, low);
            EXPECT_EQ(100, high);

            // The two checks switch their controls and start no preview.
            ClickButton(dlg, IDC_STYLE_BACKGROUND);
            EXPECT_TRUE(Enabled(dlg, IDC_STYLE_BACK_COLOR));
            ClickButton(dlg, IDC_STYLE_HOTKEY_SELECTION);
            EXPECT_TRUE(Enabled(dlg, IDC_STYLE_HOTKEY_COLOR));
            EXPECT_TRUE(Enabled(dlg, IDC_STYLE_HOTKEY_ALPHA));
            EXPECT_TRUE(Enabled(dlg, IDC_STYLE_HOTKEY_ALPHA_SPIN));
            ClickButton(dlg, IDC_STYLE_HOTKEY_SELECTION);
            EXPECT_FALSE(Enabled(dlg, IDC_STYLE_HOTKEY_COLOR));
            PumpFor(800);
            EXPECT_EQ(0, Previews());
        },
        IDCANCEL);
    EXPECT_EQ(IDCANCEL, m_dialog.DoModal());
    PumpFor(100);
    EXPECT_TRUE(m_target.messages.empty());
    EXPECT_EQ(before.m_nIconDisplay, m_style.m_nIconDisplay);
    EXPECT_EQ(before.m_bIconBackground, m_style.m_bIconBackground);
    EXPECT_EQ(before.m_iconBackColor, m_style.m_iconBackColor);
    EXPECT_EQ(before.m_hotKeyColor, m_style.m_hotKeyColor);
    EXPECT_EQ(before.m_bHotKeySelection, m_style.m_bHotKeySelection);
    EXPECT_EQ(before.m_titleStyle.m_nFontStyle, m_style.m_titleStyle.m_nFontStyle);
}

TEST_F(StyleDlg, OkWritesEveryFieldAndPostsAPreview)
{
    Target();
    OnNextDialog(
        [&](HWND dlg) {
            SelectComboItem(dlg, IDC_STYLE_ICON_DISPLAY, 2);
            ClickButton(dlg, IDC_STYLE_BACKGROUND);
            SetItemText(dlg, IDC_STYLE_BACK_ALPHA, L"250");
            PickColour(dlg, IDC_STYLE_BACK_COLOR, RGB(1, 2, 3));
            PickColour(dlg, IDC_STYLE_TEXT_COLOR, COLOR_AUTOMATIC);
            SelectComboItem(dlg, IDC_STYLE_FONT_STYLE, 3);
            SetItemText(dlg, IDC_STYLE_FONT_SIZE, L"20");
            SetItemText(dlg, IDC_STYLE_MARGIN_TOP, L"7");
            SetItemText(dlg, IDC_STYLE_MARGIN_LEFT, L"9");
            SetItemText(dlg, IDC_STYLE_SELECTED_ALPHA, L"50");
            ClickButton(dlg, IDC_STYLE_HOTKEY_SELECTION);
            SetItemText(dlg, IDC_STYLE_HOTKEY_ALPHA, L"25");
            ClickButton(dlg, IDC_STYLE_LARGE_MENU);
        },
        IDOK);
    EXPECT_EQ(IDOK, m_dialog.DoModal());
    EXPECT_EQ(2, m_style.m_nIconDisplay);
    EXPECT_EQ(1, m_style.m_bIconBackground);
    EXPECT_EQ(0x00010203u, m_style.m_iconBackColor);
    EXPECT_EQ(0xFF000000u, m_style.m_titleStyle.m_textColor);
    EXPECT_EQ(L"Tahoma", m_style.m_titleStyle.m_strFontFace.str());
    EXPECT_EQ(3, m_style.m_titleStyle.m_nFontStyle);
    EXPECT_EQ(20, m_style.m_titleStyle.m_nFontSize);
    EXPECT_EQ(7, m_style.m_titleMargins.cyTopHeight);
    EXPECT_EQ(9, m_style.m_titleMargins.cxLeftWidth);
    EXPECT_EQ(0x7F00FF00u, m_style.m_selectedColor);
    EXPECT_EQ(0xBF123456u, m_style.m_hotKeyColor);
    EXPECT_EQ(1, m_style.m_bHotKeySelection);
    EXPECT_EQ(0, m_style.m_bSmallMenu);
    EXPECT_TRUE(MessageBoxes::Shown().empty());

    // OK applies once more, which posts a preview; the opener's final event is its own.
    PumpFor(100);
    ASSERT_FALSE(m_target.messages.empty());
    EXPECT_GE(Previews(), 1);
    EXPECT_EQ(static_cast<int>(m_target.messages.size()), Previews());
}

TEST_F(StyleDlg, OkWithoutAChangeLeavesTheStyleFileByteForByte)
{
    // The program's own starting style, whose alphas (0x80, 0xB0) fall between two percents.
    testfs::TempFolder folder;
    const std::wstring path = folder.Path() + L"\\style.ser";
    Model::CTarneloStyleInfo style;
    ASSERT_TRUE(style.Save(path.c_str()));
    // A loaded style is the program's: the file as saved after a load is the one to keep.
    ASSERT_TRUE(style.Load(path.c_str()));
    ASSERT_TRUE(style.Save(path.c_str()));
    const testfs::Bytes saved = testfs::ReadBytes(path);
    ASSERT_FALSE(saved.empty());

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(style.Load(path.c_str()));
        CSetStyleDlg dialog;
        dialog.m_pStyle = &style;
        DialogTestSupport::EndNextDialog(IDOK);
        EXPECT_EQ(IDOK, dialog.DoModal());
        ASSERT_TRUE(style.Save(path.c_str()));
        EXPECT_EQ(saved, testfs::ReadBytes(path)) << "after OK number " << round + 1;
    }
}

TEST_F(StyleDlg, APreviewWritesTheStyleHalfASecondAfterAChange)
{
    Target();
    OnNextDialog(
        [&](HWND dlg) {
            SetItemText(dlg, IDC_STYLE_MARGIN_TOP, L"12");
            ASSERT_TRUE(PumpUntil([&] { return Previews() == 1; }));
            EXPECT_EQ(12, m_style.m_titleMargins.cyTopHeight);
            const auto& message = m_target.messages.back();
            EXPECT_EQ(kBoxMsg, message.message);
            EXPECT_EQ(4u, message.wParam);
            EXPECT_EQ(1, message.lParam);

            // A transparency above 100 is taken as 100, a margin beyond its range as its
            // largest, and both are shown so after the preview.
            SetItemText(dlg, IDC_STYLE_BACK_ALPHA, L"250");
            SetItemText(dlg, IDC_STYLE_MARGIN_LEFT, L"5000");
            ASSERT_TRUE(PumpUntil([&] { return Previews() == 2; }));
            EXPECT_EQ(L"100", ItemText(dlg, IDC_STYLE_BACK_ALPHA));
            EXPECT_EQ(0u, m_style.m_iconBackColor >> 24);
            EXPECT_EQ(L"100", ItemText(dlg, IDC_STYLE_MARGIN_LEFT));
            EXPECT_EQ(100, m_style.m_titleMargins.cxLeftWidth);

            // Hovering a colour in an open popup previews too (the button keeps its colour).
            ::SendMessageW(dlg, WM_COLOR_SELCHANGE, RGB(9, 9, 9), IDC_STYLE_TEXT_COLOR);
            ASSERT_TRUE(PumpUntil([&] { return Previews() == 3; }));

            // Rewriting the shown values is no change of the user's: no preview follows.
            PumpFor(800);
            EXPECT_EQ(3, Previews());
        },
        IDCANCEL);
    EXPECT_EQ(IDCANCEL, m_dialog.DoModal());
    // Cancel leaves the last preview in memory; the opener reloads the file.
    EXPECT_EQ(12, m_style.m_titleMargins.cyTopHeight);
}

TEST_F(StyleDlg, OnlyTheHotKeyTransparencyChangedStartsNoPreviewButOkWritesIt)
{
    Target();
    m_style.m_bHotKeySelection = TRUE;
    OnNextDialog(
        [&](HWND dlg) {
            EXPECT_TRUE(Enabled(dlg, IDC_STYLE_HOTKEY_ALPHA));
            SetItemText(dlg, IDC_STYLE_HOTKEY_ALPHA, L"40");
            SetItemText(dlg, IDC_STYLE_SELECTED_ALPHA, L"40");
            PumpFor(800);
            EXPECT_EQ(0, Previews());
        },
        IDOK);
    EXPECT_EQ(IDOK, m_dialog.DoModal());
    EXPECT_EQ(0x99123456u, m_style.m_hotKeyColor);
    EXPECT_EQ(0x9900FF00u, m_style.m_selectedColor);
}

TEST_F(StyleDlg, AFontSizeNotAboveZeroWarnsAndKeepsTheDialogOpen)
{
    Target();
    const CString warning = LoadResString(IDS_FONT_SIZE_ZERO);
    ASSERT_EQ(CString(L"Font size must be greater than zero."), warning);
    OnNextDialog(
        [&](HWND dlg) {
            for (const wchar_t* bad : { L"0", L"  ", L"abc", L"-3" }) {
                SetItemText(dlg, IDC_STYLE_FONT_SIZE, bad);
                ClickButton(dlg, IDOK);
                EXPECT_TRUE(::IsWindowVisible(dlg)) << bad;
            }
            ASSERT_EQ(4u, MessageBoxes::Shown().size());
            for (const std::wstring& text : MessageBoxes::Shown())
                EXPECT_EQ(warning.str(), text);
            EXPECT_EQ(14, m_style.m_titleStyle.m_nFontSize);

            // A preview with a bad size warns too and keeps the old size.
            SelectComboItem(dlg, IDC_STYLE_FONT_STYLE, 0);
            ASSERT_TRUE(PumpUntil([&] { return Previews() == 1; }));
            EXPECT_EQ(5u, MessageBoxes::Shown().size());
            EXPECT_EQ(14, m_style.m_titleStyle.m_nFontSize);
            EXPECT_EQ(0, m_style.m_titleStyle.m_nFontStyle);

            SetItemText(dlg, IDC_STYLE_FONT_SIZE, L" 16 ");
        },
        IDOK);
    EXPECT_EQ(IDOK, m_dialog.DoModal());
    EXPECT_EQ(16, m_style.m_titleStyle.m_nFontSize);
    EXPECT_EQ(5u, MessageBoxes::Shown().size());
}

TEST_F(StyleDlg, AFaceThatIsNotInstalledSelectsNothingAndIsStoredEmpty)
{
    for (const wchar_t* face : { L"No Such Face 123", L"tahoma" }) {
        m_style.m_titleStyle.m_strFontFace = face;
        TestStyleDlg dialog;
        dialog.m_pStyle = &m_style;
        OnNextDialog([&](HWND dlg) { EXPECT_EQ(-1, CurSel(dlg, IDC_STYLE_FONT_NAME)) << face; }, IDOK);
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_TRUE(m_style.m_titleStyle.m_strFontFace.IsEmpty()) << face;
    }
}

TEST_F(StyleDlg, ADisplayModeOutsideTheListIsKept)
{
    m_style.m_nIconDisplay = 7;
    OnNextDialog([&](HWND dlg) { EXPECT_EQ(-1, CurSel(dlg, IDC_STYLE_ICON_DISPLAY)); }, IDOK);
    EXPECT_EQ(IDOK, m_dialog.DoModal());
    EXPECT_EQ(7, m_style.m_nIconDisplay);
}

TEST_F(StyleDlg, TheOutlineButtonEditsTheTitleStyleAndItsOkPreviews)
{
    Target();
    m_style.m_titleStyle.m_bOutline = TRUE;
    OnNextDialog(
        [&](HWND dlg) {
            // Cancel in the outline dialog changes nothing and previews nothing.
            DialogTestSupport::OnNextDialog(
                [&](HWND outline) {
                    EXPECT_NE(dlg, outline);
                    EXPECT_EQ(dlg, ::GetWindow(outline, GW_OWNER));
                    EXPECT_FALSE(::IsWindowEnabled(dlg));
                    SelectComboItem(outline, IDC_OUTLINE_ENABLE, 1);
                },
                IDCANCEL);
            ClickButton(dlg, IDC_STYLE_OUTLINE);
            EXPECT_EQ(TRUE, m_style.m_titleStyle.m_bOutline);
            PumpFor(700);
            EXPECT_EQ(0, Previews());

            DialogTestSupport::OnNextDialog([&](HWND outline) { SelectComboItem(outline, IDC_OUTLINE_ENABLE, 1); },
                                            IDOK);
            ClickButton(dlg, IDC_STYLE_OUTLINE);
            EXPECT_EQ(FALSE, m_style.m_titleStyle.m_bOutline);
            ASSERT_TRUE(PumpUntil([&] { return Previews() == 1; }));
        },
        IDCANCEL);
    EXPECT_EQ(IDCANCEL, m_dialog.DoModal());
}
