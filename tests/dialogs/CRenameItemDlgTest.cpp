// The rename dialog run modally: the preset text, what OK gives back (as typed, empty
// included), cancel, the focus on its edit, and its template.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "dialogs/CRenameItemDlg.h"
#include "resources/resource.h"
#include "dialogs/BoxDialogTestSupport.h"

using boxdlgtest::ModalScript;
using boxdlgtest::TextOf;

TEST(RenameDialog, ShowsThePresetFocusesTheEditAndGivesTheTypedTextOnOk)
{
    const wchar_t* typed[] = { L"Summary", L"", L"  two words . x " };
    for (const wchar_t* text : typed) {
        CRenameItemDlg dialog;
        dialog.m_strNewName = L"Report";
        std::wstring shown;
        bool focused = false;
        bool captionless = false;
        ModalScript script;
        script.Then([&](HWND dlg) {
                  shown = TextOf(::GetDlgItem(dlg, IDC_RENAME_NAME));
                  captionless = (::GetWindowLongPtrW(dlg, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
                  return true;
              })
            .Then([&](HWND dlg) {
                // Waits for the focus (the timer gives it about 10 ms after the start).
                focused = ::GetFocus() == ::GetDlgItem(dlg, IDC_RENAME_NAME);
                return focused;
            })
            .Then([&](HWND dlg) {
                ::SetDlgItemTextW(dlg, IDC_RENAME_NAME, text);
                return true;
            })
            .Click(IDOK);
        script.Arm();
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(L"Report", shown);
        EXPECT_TRUE(focused);
        EXPECT_TRUE(captionless);
        EXPECT_STREQ(text, dialog.m_strNewName.GetString());
    }
}

TEST(RenameDialog, TheFocusMovesToTheEditEvenWhenSomethingElseHadIt)
{
    CRenameItemDlg dialog;
    dialog.m_strNewName = L"Notes";
    bool refocused = false;
    ModalScript script(5);
    script.Then([&](HWND dlg) {
              ::SetFocus(::GetDlgItem(dlg, IDOK));
              // The dialog's own timer runs again only when asked; start it as the dialog does.
              ::SetTimer(dlg, CRenameItemDlg::kTimerFocus, CRenameItemDlg::kFocusDelayMs, nullptr);
              return true;
          })
        .Then([&](HWND dlg) {
            refocused = ::GetFocus() == ::GetDlgItem(dlg, IDC_RENAME_NAME);
            return refocused;
        })
        .Then([&](HWND dlg) {
            ::SetDlgItemTextW(dlg, IDC_RENAME_NAME, L"Changed");
            return true;
        })
        .Click(IDCANCEL);
    script.Arm();
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(refocused);
    EXPECT_STREQ(L"Notes", dialog.m_strNewName.GetString());  // cancel reads nothing back
    // The template has no caption in either language.
    EXPECT_EQ(L"", boxdlgtest::TemplateCaption(IDD_RENAME_ITEM, MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL)));
    EXPECT_EQ(L"", boxdlgtest::TemplateCaption(IDD_RENAME_ITEM, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
}
