// The manager's first boot with the program's own wizard: the boxes come while the wizard
// runs, names edited in it reach the box file, an emptied name removes its box, Done stores
// the install date and the version-check choice, and a confirmed cancel ends the start.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/CWizardDlg.h"
#include "dialogs/WizardTestSupport.h"
#include "resources/resource.h"
#include "ManagerTestSupport.h"

namespace {

class WizardManagerTest : public managertest::ManagerFixture
{
protected:
    void SetUp() override
    {
        PrepareDataFolder();
        wiztest::MessageBoxes::Asked().clear();
        wiztest::MessageBoxes::Answer() = IDYES;
        AfxSetMessageBoxHook(&wiztest::MessageBoxes::Hook);
        CTarneloWndManager::SetWizardHook(nullptr);
        g_bWizardExists = FALSE;
    }
    void TearDown() override
    {
        m_manager.reset();
        FinishTest();
        LogInit(nullptr);
    }

    bool Start(const std::function<void(HWND)>& script)
    {
        m_manager = std::make_unique<CTarneloWndManager>(&m_infoManager, &m_config);
        wiztest::ModalScript modal(L"Setup", script);
        const BOOL started = m_manager->Init(CString(m_data.c_str()));
        EXPECT_TRUE(modal.Ran());
        return started != FALSE;
    }
    HWND Panel() const
    {
        const HWND wizard = wiztest::FindThreadDialog(L"Setup");
        return wizard ? ::FindWindowExW(wizard, nullptr, L"#32770", nullptr) : nullptr;
    }
};

TEST_F(WizardManagerTest, AFirstBootRunsTheWizardWhoseBoxesAndNamesStayAfterDone)
{
    size_t boxesInWizard = 0;
    HWND wizardWindow = nullptr;
    HWND activeInWizard = nullptr;
    bool existsInWizard = false;
    std::vector<bool> shown;
    const bool started = Start([&](HWND wizard) {
        existsInWizard = g_bWizardExists != FALSE;
        wizardWindow = wizard;
        wiztest::Click(wizard, IDOK);
        // The box panel has the boxes made while the wizard runs.
        EXPECT_TRUE(wiztest::PumpUntil([&] { return m_manager->m_boxList.size() == 6; }));
        boxesInWizard = m_manager->m_boxList.size();
        // The boxes appear beside the wizard, which keeps the keyboard.
        wiztest::PumpUntil([] { return false; }, 300);
        activeInWizard = ::GetActiveWindow();
        // Names settle, then one is changed and the last one emptied.
        wiztest::PumpUntil([] { return false; }, 700);
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME1), L"Programs");
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME6), L"");
        EXPECT_TRUE(wiztest::PumpUntil([&] { return !::IsWindowVisible(m_manager->m_boxList.back()->m_hWnd); }));
        for (CTarneloWnd* box : m_manager->Boxes())
            shown.push_back(::IsWindowVisible(box->m_hWnd) != FALSE);
        wiztest::Click(wizard, IDOK);
        // Leaving the panel saves the box file and removes the box without a name.
        EXPECT_TRUE(wiztest::PumpUntil([&] { return m_manager->m_boxList.size() == 5; }));
        wiztest::Click(wizard, IDOK);
        wiztest::Click(Panel(), IDC_WIZ_CHECK_VERSION);
        wiztest::Click(wizard, IDOK);  // Done
    });

    ASSERT_TRUE(started);
    EXPECT_TRUE(existsInWizard);
    EXPECT_FALSE(g_bWizardExists);
    EXPECT_EQ(6u, boxesInWizard);
    EXPECT_EQ(wizardWindow, activeInWizard);
    EXPECT_EQ((std::vector<bool>{ true, true, true, true, true, false }), shown);
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    EXPECT_EQ((std::vector<std::wstring>{ L"Programs", L"Tools", L"Documents", L"Folders", L"Shared" }), Names());
    EXPECT_EQ(15, m_config.GetInstallDate().GetLength());
    EXPECT_EQ(std::wstring(m_config.GetInstallDate().GetString()), Ini(L"install", L"date"));
    EXPECT_EQ(std::wstring(L"1"), Ini(L"option", L"checkLatestVersion"));

    // What the box file holds is what the next start shows.
    Model::CTarneloInfoManager reread;
    reread.Bind(CString((m_data + L"\\files").c_str()), CString((m_data + L"\\icons").c_str()), &m_icons, &m_config);
    ASSERT_TRUE(reread.Load(CString((m_data + L"\\tarnelo.ser").c_str())));
    std::vector<std::wstring> stored;
    for (const Model::CTarneloInfo* record : reread.m_boxes)
        stored.push_back(record->m_strName.GetString());
    EXPECT_EQ(Names(), stored);
}

TEST_F(WizardManagerTest, ACancelledWizardEndsTheStartWithoutAnInstallDate)
{
    const bool started = Start([&](HWND wizard) {
        wiztest::MessageBoxes::Answer() = IDYES;
        ::PostMessageW(wizard, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(started);
    EXPECT_EQ(nullptr, m_manager->m_hWnd);
    EXPECT_FALSE(g_bWizardExists);
    EXPECT_EQ((std::vector<std::wstring>{ L"Abort setup?" }), wiztest::MessageBoxes::Asked());
    EXPECT_TRUE(Ini(L"install", L"date").empty());
    const std::string log = Logs();
    EXPECT_NE(std::string::npos, log.find("<boxmng> first boot"));
    EXPECT_NE(std::string::npos, log.find("<boxmng> Install is canceled."));
}

}  // namespace
