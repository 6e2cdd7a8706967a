// The manager's own dialogs for the box events: the edit-box dialog for EditBox and AddBox
// and the clearance dialog for AlignWindow, run for real and answered from their loops.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <iterator>
#include <memory>
#include <string>

#include "core/Logger.h"
#include "dialogs/CSetBoxDlg.h"
#include "framework/AfxMessageBox.h"
#include "framework/TempFolder.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "model/IconManager.h"
#include "resources/resource.h"
#include "windows/CTarneloWnd.h"
#include "windows/CTarneloWndManager.h"
#include "BoxWndTestSupport.h"
#include "dialogs/BoxDialogTestSupport.h"

using boxdlgtest::ModalScript;
using boxdlgtest::TextOf;

namespace {

class ManagerBoxDialogsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_gdiplusToken, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_gdiplusToken); }

    void SetUp() override
    {
        m_data = m_temp.Path();
        const std::wstring logs = m_data + L"\\logs";
        ::CreateDirectoryW(logs.c_str(), nullptr);
        ::CreateDirectoryW((m_data + L"\\files").c_str(), nullptr);
        LogInit(logs.c_str());
        m_icons.Init(CString((m_data + L"\\fileIcons").c_str()));
        m_infoManager.Bind(CString((m_data + L"\\files").c_str()), CString((m_data + L"\\icons").c_str()), &m_icons,
                           &m_config);
        AfxSetMessageBoxHook(&boxtest::MessageBoxAnswers::Hook);
        g_bDialogOpen = g_bMenuOpen = g_bFileListOpen = g_bBoxDialogOpen = FALSE;
        CTarneloWndManager::SetEditBoxDialogHook(nullptr);
        CTarneloWndManager::SetClearanceDialogHook(nullptr);
        ::SetCursorPos(5, 1000);

        const std::wstring config = m_data + L"\\config.ini";
        ::WritePrivateProfileStringW(L"install", L"date", L"20261201_101010", config.c_str());
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, config.c_str());
        m_manager = std::make_unique<CTarneloWndManager>(&m_infoManager, &m_config);
        ASSERT_TRUE(m_manager->Init(CString(m_data.c_str())));
        ASSERT_LE(2u, m_manager->m_boxList.size());
    }

    void TearDown() override
    {
        m_manager.reset();
        AfxSetMessageBoxHook(nullptr);
        boxtest::PumpPending();
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, (m_data + L"\\config.ini").c_str());
    }

    LRESULT Box(WPARAM code, LPARAM value = 0) { return ::SendMessageW(m_manager->m_hWnd, WM_BOXMSG, code, value); }

    static ULONG_PTR s_gdiplusToken;
    TempFolder m_temp;
    std::wstring m_data;
    Model::IconManager m_icons;
    Model::CConfigInfo m_config;
    Model::CTarneloInfoManager m_infoManager;
    std::unique_ptr<CTarneloWndManager> m_manager;
};
ULONG_PTR ManagerBoxDialogsTest::s_gdiplusToken = 0;

}  // namespace

TEST_F(ManagerBoxDialogsTest, EditAndAddRunTheEditBoxDialogOnTheBoxAndTheSettings)
{
    CTarneloWnd* box = m_manager->m_boxList.front();
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
    Box(BOXEVENT_EDIT_BOX, reinterpret_cast<LPARAM>(box));
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
    Box(BOXEVENT_ADD_BOX, reinterpret_cast<LPARAM>(box));
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
