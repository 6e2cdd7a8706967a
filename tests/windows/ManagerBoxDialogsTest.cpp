// The manager's own dialogs for the box events: the edit-box dialog for EditBox and AddBox
// and the clearance dialog for AlignWindow, run for real and answered from their loops.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "dialogs/CSetBoxDlg.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"
#include "ManagerTestSupport.h"
#include "dialogs/BoxDialogTestSupport.h"

using boxdlgtest::ModalScript;
using boxdlgtest::TextOf;

namespace {

class ManagerBoxDialogsTest : public managertest::ManagerFixture
{
protected:
    void SetUp() override
    {
        PrepareDataFolder();
        AfxSetMessageBoxHook(&boxtest::MessageBoxAnswers::Hook);
        g_bDialogOpen = g_bMenuOpen = g_bFileListOpen = g_bBoxDialogOpen = FALSE;
        CTarneloWndManager::SetEditBoxDialogHook(nullptr);
        CTarneloWndManager::SetClearanceDialogHook(nullptr);

        WriteInstallDate();
        ASSERT_TRUE(StartManager());
        ASSERT_LE(2u, m_manager->m_boxList.size());
    }

    void TearDown() override
    {
        m_manager.reset();
        FinishTest();
    }

    LRESULT Box(WPARAM code, LPARAM value = 0) { return ::SendMessageW(m_manager->m_hWnd, WM_BOXMSG, code, value); }
};

}  // namespace

TEST_F(ManagerBoxDialogsTest, EditAndAddRunTheEditBoxDialogOnTheBoxAndTheSettings)
{
    CTarneloWnd* box = m_manager->m_boxList.front().get();
    const std::wstring oldName = box->m_pInfo->m_strName.GetString();
    std::wstring shownName;
    std::wstring caption;
    BOOL flags = FALSE;
    Model::CConfigInfo* config = nullptr;
    ModalScript edit;
    edit.Then([&](HWND dlg) {
            shownName = TextOf(::GetDlgItem(dlg, IDC_SETBOX_NAME));
            caption = TextOf(dlg);
            flags = g_bBoxDialogOpen && g_bDialogOpen;
            config = g_pSetBoxDlg ? g_pSetBoxDlg->m_pConfig : nullptr;
            ::SetDlgItemTextW(dlg, IDC_SETBOX_NAME, L"Renamed");
            return true;
        })
        .Click(IDOK);
    edit.Arm();
    Box(BOXEVENT_EDIT_BOX, box->RequestId());
    EXPECT_FALSE(edit.TimedOut());
    EXPECT_EQ(oldName, shownName);
    EXPECT_EQ(L"Edit box", caption);
    EXPECT_TRUE(flags);
    EXPECT_EQ(&m_config, config);
    EXPECT_STREQ(L"Renamed", box->m_pInfo->m_strName.GetString());
    EXPECT_FALSE(g_bBoxDialogOpen);
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_data + L"\\tarnelo.ser").c_str()));

    const size_t before = m_manager->m_boxList.size();
    ModalScript add;
    add.Then([&](HWND dlg) {
           caption = TextOf(dlg);
           ::SetDlgItemTextW(dlg, IDC_SETBOX_NAME, L"Fresh");
           return true;
       })
        .Click(IDOK);
    add.Arm();
    Box(BOXEVENT_ADD_BOX, box->RequestId());
    EXPECT_EQ(L"Add Box", caption);
    ASSERT_EQ(before + 1, m_manager->m_boxList.size());
    EXPECT_STREQ(L"Fresh", m_manager->m_boxList.back()->m_pInfo->m_strName.GetString());
}

TEST_F(ManagerBoxDialogsTest, AlignAsksForTheClearanceWithTheClearanceDialog)
{
    std::wstring shown;
    ModalScript first;
    first.Then([&](HWND dlg) {
             shown = TextOf(::GetDlgItem(dlg, IDC_SPACE_EDIT));
             ::SetDlgItemTextW(dlg, IDC_SPACE_EDIT, L"20");
             return true;
         })
        .Click(IDOK);
    first.Arm();
    Box(BOXEVENT_ALIGN_WINDOW);
    EXPECT_EQ(L"10", shown);
    EXPECT_EQ(20, m_manager->m_nClearance);

    ModalScript second;
    second.Then([&](HWND dlg) {
              shown = TextOf(::GetDlgItem(dlg, IDC_SPACE_EDIT));
              ::SetDlgItemTextW(dlg, IDC_SPACE_EDIT, L"55");
              return true;
          })
        .Click(IDCANCEL);
    second.Arm();
    Box(BOXEVENT_ALIGN_WINDOW);
    EXPECT_EQ(L"20", shown);
    EXPECT_EQ(20, m_manager->m_nClearance);
}
