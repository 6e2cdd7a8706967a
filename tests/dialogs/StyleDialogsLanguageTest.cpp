// The options, style and text outline dialogs in both languages: captions, labels and the
// entries of their fixed lists as the resource loader picks them for the UI language.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "StyleDialogTestSupport.h"
#include "dialogs/CSetOptionDlg.h"
#include "dialogs/CSetOutlineDlg.h"
#include "dialogs/CSetStyleDlg.h"
#include "model/CTarneloStyleInfo.h"
#include "model/CTextStyle.h"
#include "resources/resource.h"

using DialogTestSupport::ItemText;
using DialogTestSupport::OnNextDialog;
using namespace styletest;

namespace {

std::wstring Caption(HWND dialog)
{
    wchar_t text[128] = {};
    ::GetWindowTextW(dialog, text, 128);
    return text;
}

std::wstring ComboItem(HWND dialog, int id, int index)
{
    wchar_t text[128] = {};
    ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ButtonText(HWND dialog, int id)
{
    return ItemText(dialog, id);
}

struct Texts
{
    const wchar_t* styleCaption;
    const wchar_t* display[3];
    const wchar_t* fontStyles[4];
    const wchar_t* largeMenu;
    const wchar_t* outlineButton;
    const wchar_t* outlineCaption;
    const wchar_t* switches[2];
    const wchar_t* optionsCaption;
    const wchar_t* disable;
    const wchar_t* cancel;
};

const Texts kEnglish = {
    L"Style", { L"1/1 scale", L"1/2 scale", L"Hide" }, { L"Normal", L"Italic", L"Bold", L"Bold Italic" },
    L" Large menu", L"Outline", L"Text outline", { L"Enable", L"Disable" }, L"Options", L" Disable", L"Cancel",
};
const Texts kJapanese = {
    L"スタイル設定", { L"等倍", L"1/2", L"非表示" }, { L"標準", L"斜体", L"太字", L"太字 斜体" },
    L"大きなメニュー", L"アウトライン", L"テキストのアウトライン設定", { L"有り", L"無し" }, L"オプション設定", L" 無効",
    L"キャンセル",
};

class StyleDialogsLanguage : public DialogTest
{
protected:
    void TearDown() override
    {
        ::SetThreadLocale(m_locale);
        DialogTest::TearDown();
    }

    void Check(const Texts& t)
    {
        Model::CTarneloStyleInfo style;
        CSetStyleDlg styleDialog;
        styleDialog.m_pStyle = &style;
        OnNextDialog(
            [&](HWND dlg) {
                EXPECT_EQ(t.styleCaption, Caption(dlg));
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(t.display[i], ComboItem(dlg, IDC_STYLE_ICON_DISPLAY, i));
                for (int i = 0; i < 4; ++i)
                    EXPECT_EQ(t.fontStyles[i], ComboItem(dlg, IDC_STYLE_FONT_STYLE, i));
                EXPECT_EQ(L"72", ComboItem(dlg, IDC_STYLE_FONT_SIZE, 15));
                EXPECT_EQ(t.largeMenu, ButtonText(dlg, IDC_STYLE_LARGE_MENU));
                EXPECT_EQ(t.outlineButton, ButtonText(dlg, IDC_STYLE_OUTLINE));
                EXPECT_EQ(t.cancel, ButtonText(dlg, IDCANCEL));
            },
            IDCANCEL);
        EXPECT_EQ(IDCANCEL, styleDialog.DoModal());

        Model::CTextStyle text;
        CSetOutlineDlg outlineDialog;
        outlineDialog.m_pTextStyle = &text;
        OnNextDialog(
            [&](HWND dlg) {
                EXPECT_EQ(t.outlineCaption, Caption(dlg));
                for (int i = 0; i < 2; ++i) {
                    EXPECT_EQ(t.switches[i], ComboItem(dlg, IDC_OUTLINE_ENABLE, i));
                    EXPECT_EQ(t.switches[i], ComboItem(dlg, IDC_OUTLINE_SHADOW_ENABLE, i));
                }
            },
            IDCANCEL);
        EXPECT_EQ(IDCANCEL, outlineDialog.DoModal());

        CSetOptionDlg optionDialog(nullptr, nullptr);
        OnNextDialog(
            [&](HWND dlg) {
                EXPECT_EQ(t.optionsCaption, Caption(dlg));
                EXPECT_EQ(t.disable, ComboItem(dlg, IDC_OPTION_KEY, 0));
                EXPECT_EQ(L" A", ComboItem(dlg, IDC_OPTION_KEY, 1));
                EXPECT_EQ(L" 9", ComboItem(dlg, IDC_OPTION_KEY, 36));
                EXPECT_EQ(L" ", ComboItem(dlg, IDC_OPTION_KEY, 37));
            },
            IDCANCEL);
        EXPECT_EQ(IDCANCEL, optionDialog.DoModal());
    }

    LCID m_locale = ::GetThreadLocale();
};

}  // namespace

TEST_F(StyleDialogsLanguage, EnglishUi)
{
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    Check(kEnglish);
}

TEST_F(StyleDialogsLanguage, JapaneseUi)
{
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
    Check(kJapanese);
}
