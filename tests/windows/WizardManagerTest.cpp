// The manager's first boot with the program's own wizard: the boxes come while the wizard
// runs, names edited in it reach the box file, an emptied name removes its box, Done stores
// the install date and the version-check choice, and a confirmed cancel ends the start.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/Logger.h"
#include "dialogs/CWizardDlg.h"
#include "dialogs/WizardTestSupport.h"
#include "framework/AfxMessageBox.h"
#include "framework/TempFolder.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/IconManager.h"
#include "resources/resource.h"
#include "windows/CTarneloWnd.h"
#include "windows/CTarneloWndManager.h"
#include "BoxWndTestSupport.h"

namespace {

class WizardManagerTest : public ::testing::Test
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
        m_logs = m_data + L"\\logs";
        ::CreateDirectoryW(m_logs.c_str(), nullptr);
        ::CreateDirectoryW((m_data + L"\\files").c_str(), nullptr);
        LogInit(m_logs.c_str());
        m_icons.Init(CString((m_data + L"\\fileIcons").c_str()));
        m_infoManager.Bind(CString((m_data + L"\\files").c_str()), CString((m_data + L"\\icons").c_str()), &m_icons,
                           &m_config);
        wiztest::MessageBoxes::Asked().clear();
        wiztest::MessageBoxes::Answer() = IDYES;
        AfxSetMessageBoxHook(&wiztest::MessageBoxes::Hook);
        CTarneloWndManager::SetWizardHook(nullptr);
        g_bWizardExists = FALSE;
        ::SetCursorPos(5, 1000);
    }
    void TearDown() override
    {
        m_manager.reset();
        AfxSetMessageBoxHook(nullptr);
        boxtest::PumpPending();
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ConfigPath().c_str());
        LogInit(nullptr);
    }

    std::wstring ConfigPath() const { return m_data + L"\\config.ini"; }
    std::wstring Ini(const wchar_t* section, const wchar_t* key) const
    {
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ConfigPath().c_str());
        wchar_t text[64] = {};
        ::GetPrivateProfileStringW(section, key, L"", text, 64, ConfigPath().c_str());
        return text;
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
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (const Model::CTarneloInfo* record : m_infoManager.m_boxes)
            names.push_back(record->m_strName.GetString());
        return names;
    }

    static ULONG_PTR s_gdiplusToken;
    TempFolder m_temp;
    std::wstring m_data;
    std::wstring m_logs;
    Model::IconManager m_icons;
    Model::CConfigInfo m_config;
    Model::CTarneloInfoManager m_infoManager;
    std::unique_ptr<CTarneloWndManager> m_manager;
};
ULONG_PTR WizardManagerTest::s_gdiplusToken = 0;

TEST_F(WizardManagerTest, AFirstBootRunsTheWizardWhoseBoxesAndNamesStayAfterDone)
{
    size_t boxesInWizard = 0;
    bool existsInWizard = false;
    std::vector<bool> shown;
    const bool started = Start([&](HWND wizard) {
        existsInWizard = g_bWizardExists != FALSE;
        wiztest::Click(wizard, IDOK);
        // The box panel has the boxes made while the wizard runs.
        EXPECT_TRUE(wiztest::PumpUntil([&] { return m_manager->m_boxList.size() == 6; }));
        boxesInWizard = m_manager->m_boxList.size();
        // Names settle, then one is changed and the last one emptied.
        wiztest::PumpUntil([] { return false; }, 700);
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME1), L"Programs");
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME6), L"");
        EXPECT_TRUE(wiztest::PumpUntil([&] { return !::IsWindowVisible(m_manager->m_boxList.back()->m_hWnd); }));
        for (CTarneloWnd* box : m_manager->m_boxList)
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
    const std::string log = boxtest::ReadAllLogs(m_logs);
    EXPECT_NE(std::string::npos, log.find("<boxmng> first boot"));
    EXPECT_NE(std::string::npos, log.find("<boxmng> Install is canceled."));
}

}  // namespace
