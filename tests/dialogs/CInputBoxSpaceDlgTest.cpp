// The clearance dialog run modally: the preset it shows, the number it reads back from what
// was typed, the up-down control's range, cancel, and its template in both languages.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialogs/CInputBoxSpaceDlg.h"
#include "dialogs/IntToString.h"
#include "resources/resource.h"
#include "dialogs/BoxDialogTestSupport.h"

using boxdlgtest::ModalScript;
using boxdlgtest::TextOf;

namespace {

// Runs the dialog preset with `space`, types `typed` and presses OK; what was shown first.
struct Typed
{
    INT_PTR result = 0;
    int space = 0;
    std::wstring shown;
};

Typed TypeAndOk(int space, const wchar_t* typed)
{
    CInputBoxSpaceDlg dialog;
    dialog.m_nSpace = space;
    Typed out;
    ModalScript script;
    script.Then([&](HWND dlg) {
        out.shown = TextOf(::GetDlgItem(dlg, IDC_SPACE_EDIT));
        ::SetDlgItemTextW(dlg, IDC_SPACE_EDIT, typed);
        return true;
    }).Click(IDOK);
    script.Arm();
    out.result = dialog.DoModal();
    EXPECT_FALSE(script.TimedOut());
    out.space = dialog.m_nSpace;
    return out;
}

// Presses an arrow key in the edit, which the up-down control answers.
void PressArrow(HWND dialog, UINT key)
{
    const HWND edit = ::GetDlgItem(dialog, IDC_SPACE_EDIT);
    ::SendMessageW(edit, WM_KEYDOWN, key, 1);
    ::SendMessageW(edit, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST(ClearanceDialog, ShowsThePresetAndReadsTheTypedNumberBase10)
{
    const Typed first = TypeAndOk(10, L"25px");
    EXPECT_EQ(IDOK, first.result);
    EXPECT_EQ(L"10", first.shown);
    EXPECT_EQ(25, first.space);

    struct Case
    {
        const wchar_t* typed;
        int space;
    };
    // Leading blanks and a sign are taken, reading stops at the first non-digit, no digits
    // give 0; numbers outside the up-down range are brought into it.
    const Case cases[] = {
        { L"abc", 0 }, { L"  42", 42 }, { L"+7", 7 }, { L"", 0 }, { L"010", 10 }, { L"3.9", 3 },
        { L"-5", 0 }, { L"250", 100 }, { L"99999999999999999999", 100 }, { L"-99999999999999999999", 0 },
    };
    for (const Case& c : cases) {
        const Typed t = TypeAndOk(25, c.typed);
        EXPECT_EQ(L"25", t.shown);
        EXPECT_EQ(c.space, t.space) << std::string(c.typed, c.typed + wcslen(c.typed));
    }
}

TEST(ClearanceDialog, CancelLeavesTheValueAndTheArrowsStopAtZeroAndHundred)
{
    CInputBoxSpaceDlg dialog;
    dialog.m_nSpace = 99;
    int lower = -1;
    int upper = -1;
    std::wstring afterUp;
    std::wstring atTop;
    std::wstring atBottom;
    std::wstring afterDownFromBottom;
    ModalScript script;
    script.Then([&](HWND dlg) {
              ::SendMessageW(::GetDlgItem(dlg, IDC_SPACE_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                             reinterpret_cast<LPARAM>(&upper));
              PressArrow(dlg, VK_UP);
              afterUp = TextOf(::GetDlgItem(dlg, IDC_SPACE_EDIT));
              PressArrow(dlg, VK_UP);
              atTop = TextOf(::GetDlgItem(dlg, IDC_SPACE_EDIT));
              ::SetDlgItemTextW(dlg, IDC_SPACE_EDIT, L"1");
              PressArrow(dlg, VK_DOWN);
              atBottom = TextOf(::GetDlgItem(dlg, IDC_SPACE_EDIT));
              PressArrow(dlg, VK_DOWN);
              afterDownFromBottom = TextOf(::GetDlgItem(dlg, IDC_SPACE_EDIT));
              return true;
          })
        .Click(IDCANCEL);
    script.Arm();
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(0, lower);
    EXPECT_EQ(100, upper);
    EXPECT_EQ(L"100", afterUp);
    EXPECT_EQ(L"100", atTop);
    EXPECT_EQ(L"0", atBottom);
    EXPECT_EQ(L"0", afterDownFromBottom);
    EXPECT_EQ(99, dialog.m_nSpace);
}

TEST(ClearanceDialog, TemplateCaptionsInBothLanguagesAndTheNumberText)
{
    EXPECT_EQ(L"Enter clearance",
              boxdlgtest::TemplateCaption(IDD_INPUT_BOX_SPACE, MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL)));
    EXPECT_EQ(L"BOXの間隔を入力してください",
              boxdlgtest::TemplateCaption(IDD_INPUT_BOX_SPACE, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
    EXPECT_STREQ(L"-12", IntToString(-12).GetString());
    EXPECT_STREQ(L"0", IntToString(0).GetString());
    EXPECT_STREQ(L"2147483647", IntToString(2147483647).GetString());
}
