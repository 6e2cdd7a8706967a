// The version dialog and the version notice driven modally: their texts and links, what
// their buttons open (recorded instead of opened) and how they end.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/PathHelpers.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CVersionNoticeDlg.h"
#include "dialogs/VersionDialogShell.h"
#include "resources/resource.h"
#include "WizardTestSupport.h"

using wiztest::Click;
using wiztest::ItemText;
using wiztest::ModalScript;
using wiztest::ShellCalls;

namespace {

class VersionDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ShellCalls::Calls().clear();
        SetVersionDialogShellHook(&ShellCalls::Hook);
        Utility::CUrlStatic::SetShellExecuteHook(&ShellCalls::Hook);
    }
    void TearDown() override
    {
        SetVersionDialogShellHook(nullptr);
        Utility::CUrlStatic::SetShellExecuteHook(nullptr);
        wiztest::PumpPending();
    }
};

TEST_F(VersionDialogsTest, TheVersionDialogShowsItsLinksAndOpensTheDataFolderWithoutClosing)
{
    CAboutDlg dialog;
    bool stayedOpen = false;
    std::wstring version;
    ModalScript modal(L"Version", [&](HWND window) {
        // The link to the download page carries its label; the credit links without one show
        // their address; the maker's link shows the maker's name.
        EXPECT_EQ(CString(L"Check latest version."), dialog.m_linkLatest.GetDisplayText());
        EXPECT_EQ(CString(L"https://olvenworks.example/en/tarnelo/download/"), dialog.m_linkLatest.m_strUrl);
        EXPECT_EQ(CString(CAboutDlg::kCreditUrl1), dialog.m_linkCredit1.GetDisplayText());
        EXPECT_EQ(CString(CAboutDlg::kCreditUrl2), dialog.m_linkCredit2.GetDisplayText());
        EXPECT_EQ(CString(CAboutDlg::kCreditUrl3), dialog.m_linkCredit3.GetDisplayText());
        EXPECT_EQ(CString(CAboutDlg::kCreditLabel4), dialog.m_linkCredit4.GetDisplayText());
        EXPECT_EQ(CString(CAboutDlg::kCreditUrl4), dialog.m_linkCredit4.m_strUrl);
        EXPECT_EQ(CString(L"Olvenworks"), dialog.m_linkMaker.GetDisplayText());
        EXPECT_EQ(CString(CAboutDlg::kMakerUrl), dialog.m_linkMaker.m_strUrl);
        for (const Utility::CUrlStatic* link : { &dialog.m_linkLatest, &dialog.m_linkCredit1, &dialog.m_linkCredit2,
                                                 &dialog.m_linkCredit3, &dialog.m_linkCredit4, &dialog.m_linkMaker })
            EXPECT_NE(nullptr, link->GetSafeHwnd());
        EXPECT_EQ(std::wstring(L"Open data folder"), ItemText(window, IDC_ABOUT_OPEN_DATA_FOLDER));

        Click(window, IDC_ABOUT_OPEN_DATA_FOLDER);
        stayedOpen = ::IsWindowVisible(window) != FALSE;
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(modal.Ran());
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(1u, ShellCalls::Calls().size());
    EXPECT_EQ(std::wstring(L"open"), ShellCalls::Calls()[0].verb);
    EXPECT_EQ(std::wstring(GetDataFolder().GetString()), ShellCalls::Calls()[0].target);
    EXPECT_EQ(SW_SHOW, ShellCalls::Calls()[0].show);
}

TEST_F(VersionDialogsTest, TheDownloadLinkOfTheVersionDialogOpensTheDownloadPage)
{
    CAboutDlg dialog;
    ModalScript modal(L"Version", [&](HWND window) {
        const HWND link = ::GetDlgItem(window, IDC_ABOUT_LINK_LATEST);
        ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    });
    dialog.DoModal();
    ASSERT_EQ(1u, ShellCalls::Calls().size());
    EXPECT_EQ(std::wstring(L"https://olvenworks.example/en/tarnelo/download/"), ShellCalls::Calls()[0].target);
}

TEST_F(VersionDialogsTest, TheNoticeShowsBothVersionsAsGivenAndYesOpensTheProductPage)
{
    CVersionNoticeDlg notice;
    notice.m_strCurrentVersion = L"1.0.1.2";
    notice.m_strLatestVersion = L"1.0.2.0 beta";
    std::wstring current;
    std::wstring latest;
    std::wstring yes;
    std::wstring later;
    ModalScript modal(L"Tarnelo", [&](HWND window) {
        current = ItemText(window, IDC_NOTICE_CURRENT);
        latest = ItemText(window, IDC_NOTICE_LATEST);
        yes = ItemText(window, IDOK);
        later = ItemText(window, IDCANCEL);
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, notice.DoModal());
    EXPECT_EQ(std::wstring(L"1.0.1.2"), current);
    EXPECT_EQ(std::wstring(L"1.0.2.0 beta"), latest);
    EXPECT_EQ(std::wstring(L"Yes"), yes);
    EXPECT_EQ(std::wstring(L"Later"), later);
    ASSERT_EQ(1u, ShellCalls::Calls().size());
    EXPECT_EQ(std::wstring(L"open"), ShellCalls::Calls()[0].verb);
    EXPECT_EQ(std::wstring(CVersionNoticeDlg::kProductPageUrl), ShellCalls::Calls()[0].target);
}

TEST_F(VersionDialogsTest, LaterOpensNothing)
{
    CVersionNoticeDlg notice;
    notice.m_strCurrentVersion = L"1.0.1.2";
    notice.m_strLatestVersion = L"2.0.0.0";
    ModalScript modal(L"Tarnelo", [&](HWND window) { Click(window, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, notice.DoModal());
    EXPECT_TRUE(ShellCalls::Calls().empty());
}

// The Japanese templates, as a Japanese UI loads them.
TEST_F(VersionDialogsTest, JapaneseTemplatesCarryTheirOwnTexts)
{
    const LCID before = ::GetThreadLocale();
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
    CVersionNoticeDlg notice;
    std::wstring yes;
    std::wstring later;
    ModalScript modal(L"Tarnelo", [&](HWND window) {
        yes = ItemText(window, IDOK);
        later = ItemText(window, IDCANCEL);
        Click(window, IDCANCEL);
    });
    notice.DoModal();
    ::SetThreadLocale(before);
    if (yes == L"Yes")
        GTEST_SKIP() << "this system does not pick dialog templates by the thread's language";
    EXPECT_EQ(std::wstring(L"はい"), yes);
    EXPECT_EQ(std::wstring(L"今回は見送る"), later);
}

}  // namespace
