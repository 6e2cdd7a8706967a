// The manager's version check against a web server inside this test on 127.0.0.1:80: the
// request, the reply forms, the notice shown only for a newer version, the 30-day rule, the
// time stored in "config.ini", failures, and timer 1's first period and expiry.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/ShellHelpers.h"
#include "dialogs/WizardTestSupport.h"
#include "framework/CTime.h"
#include "resources/resource.h"
#include "windows/VersionCheck.h"
#include "ManagerTestSupport.h"
#include "TestHttpServer.h"

namespace {

// Answers every request with one body.
class VersionServer : public testhttp::LoopbackServer
{
public:
    explicit VersionServer(const std::string& body)
        : LoopbackServer([body](const std::string&) { return Reply("200 OK", body); })
    {
    }
};

constexpr LONGLONG kDay = 24 * 60 * 60;
const char kRequestPath[] = "GET /products/tarnelo/version/version.html?install=20261201_101010 HTTP/1.1";

class VersionCheckTest : public managertest::ManagerFixture
{
protected:
    void SetUp() override
    {
        PrepareDataFolder();
        AfxSetMessageBoxHook(&boxtest::MessageBoxAnswers::Hook);
        CTarneloWndManager::SetVersionServer(L"http://127.0.0.1");

        WriteInstallDate();
        ASSERT_TRUE(StartManager());
        // Each case decides when the check runs.
        m_manager->KillTimer(CTarneloWndManager::kTimerVersionCheck);
    }
    void TearDown() override
    {
        m_manager.reset();
        CTarneloWndManager::SetVersionServer(nullptr);
        FinishTest();
        LogInit(nullptr);
    }

    std::wstring StoredCheckDate() const { return Ini(L"verCheck", L"date"); }

    // Runs one check; the notice, if one comes, is read and answered "Later".
    struct Notice
    {
        bool shown = false;
        std::wstring current;
        std::wstring latest;
    };
    Notice Check()
    {
        Notice notice;
        wiztest::ModalScript modal(L"Tarnelo", [&](HWND dialog) {
            notice.current = wiztest::ItemText(dialog, IDC_NOTICE_CURRENT);
            notice.latest = wiztest::ItemText(dialog, IDC_NOTICE_LATEST);
            wiztest::Click(dialog, IDCANCEL);
        });
        m_manager->CheckLatestVersion();
        notice.shown = modal.Ran();
        return notice;
    }
};

// ---- The rules: request, reply and periods -------------------------------------------------------

TEST(VersionRequest, ADamagedInstallDateCannotChangeTheRequest)
{
    EXPECT_EQ(CString(L"http://127.0.0.1/products/tarnelo/version/version.html?install=2026%2012%2301%26x%3D%2F"),
              VersionCheck::VersionRequestAddress(L"http://127.0.0.1", L"2026 12#01&x=/"));
}

TEST(VersionReply, TheVersionEndsAtABackslashNPairElseAtTheNextLessThanSign)
{
    struct Case
    {
        const wchar_t* text;
        BOOL found;
        const wchar_t* version;
    };
    const Case cases[] = {
        { L"<p>version:1.0.2.0\\n</p>", TRUE, L"1.0.2.0" },
        { L"version:1.0.1.2<br>", TRUE, L"1.0.1.2" },
        // A backslash pair after "version:" wins over an earlier "<".
        { L"version:1.0.3.0<br>\\n", TRUE, L"1.0.3.0<br>" },
        // Only what follows "version:" counts.
        { L"a\\n b<version:1.2.3.4<", TRUE, L"1.2.3.4" },
        { L"version: 1.0.2.0 \\n", TRUE, L" 1.0.2.0 " },
        { L"version:\\n", TRUE, L"" },
        { L"version:1.0.2.0", FALSE, L"unchanged" },
        { L"Version:1.0.2.0\\n", FALSE, L"unchanged" },
        { L"", FALSE, L"unchanged" },
    };
    for (const Case& c : cases) {
        CString version = L"unchanged";
        EXPECT_EQ(c.found, VersionCheck::ParseVersion(c.text, version)) << c.text;
        EXPECT_EQ(CString(c.version), version) << c.text;
    }
}

TEST(VersionTimer, TheFirstPeriodIsOneSecondWhenNeverCheckedElseSpreadOverHalfHours)
{
    const CTime never = Model::CConfigInfo::GetNeverDate();
    EXPECT_EQ(1000u, VersionCheck::FirstVersionCheckPeriod(never, 12345));
    const CTime checked(2026, 11, 3, 0, 0, 0);
    EXPECT_EQ(60000u, VersionCheck::FirstVersionCheckPeriod(checked, 0));
    EXPECT_EQ(60000u + 1800000u, VersionCheck::FirstVersionCheckPeriod(checked, 11));
    EXPECT_EQ(16260000u, VersionCheck::FirstVersionCheckPeriod(checked, 9));
    EXPECT_EQ(60000u + 5u * 1800000u, VersionCheck::FirstVersionCheckPeriod(checked, 0xFFFFFFFFu));  // ends in 5
}

// ---- Checking --------------------------------------------------------------------------------------

TEST_F(VersionCheckTest, ANewerVersionIsAnnouncedAndTheTimeOfTheCheckIsSaved)
{
    VersionServer server("<html>version:1.0.2.0\\n</html>");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    const LONGLONG before = CTime::GetCurrentTime().GetTime();

    const Notice notice = Check();

    EXPECT_EQ(std::vector<std::string>{ kRequestPath }, server.RequestLines());
    EXPECT_TRUE(notice.shown);
    EXPECT_EQ(std::wstring(L"1.0.1.2"), notice.current);
    EXPECT_EQ(std::wstring(L"1.0.2.0"), notice.latest);
    EXPECT_GE(m_config.m_verCheckDate.GetTime(), before);
    EXPECT_LE(m_config.m_verCheckDate.GetTime(), CTime::GetCurrentTime().GetTime());
    EXPECT_EQ(std::wstring(CTime::GetCurrentTime().Format(L"%Y/%m/%d").GetString()), StoredCheckDate());
    EXPECT_TRUE(LogHas("<boxmng> Check latest version"));
    EXPECT_TRUE(LogHas("<boxmng> latest version:1.0.2.0 this version:1.0.1.2"));
}

TEST_F(VersionCheckTest, TheSameOrAnOlderOrADamagedVersionShowsNothingButCountsAsACheck)
{
    for (const char* body : { "version:1.0.1.2<br>", "version:1.0.0.9\\n", "version:x.0.0.0\\n", "version:10.0.0.0<",
                              "no version here", "" }) {
        VersionServer server(body);
        if (!server.Listening())
            GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
        m_config.m_verCheckDate = Model::CConfigInfo::GetNeverDate();
        ::DeleteFileW(ConfigPath().c_str());

        const Notice notice = Check();

        EXPECT_EQ(1u, server.RequestLines().size()) << body;
        EXPECT_FALSE(notice.shown) << body;
        EXPECT_NE(Model::CConfigInfo::GetNeverDate(), m_config.m_verCheckDate) << body;
        EXPECT_FALSE(StoredCheckDate().empty()) << body;
    }
}

TEST_F(VersionCheckTest, WithinThirtyDaysOfTheLastCheckNothingIsAsked)
{
    VersionServer server("version:1.0.2.0\\n");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    const LONGLONG now = CTime::GetCurrentTime().GetTime();
    const CTime recent(now - 30 * kDay + 60);
    m_config.m_verCheckDate = recent;
    ::DeleteFileW(ConfigPath().c_str());

    EXPECT_FALSE(Check().shown);
    EXPECT_TRUE(server.RequestLines().empty());
    EXPECT_EQ(recent, m_config.m_verCheckDate);
    EXPECT_TRUE(StoredCheckDate().empty());
    EXPECT_FALSE(LogHas("<boxmng> Check latest version"));

    m_config.m_verCheckDate = CTime(now - 30 * kDay - 1);
    EXPECT_TRUE(Check().shown);
    EXPECT_EQ(1u, server.RequestLines().size());
}

TEST_F(VersionCheckTest, ALastCheckInTheFutureDoesNotHoldTheCheckOff)
{
    VersionServer server("version:1.0.1.2\\n");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    const LONGLONG now = CTime::GetCurrentTime().GetTime();
    m_config.m_verCheckDate = CTime(now + 400 * kDay);
    Check();
    EXPECT_EQ(1u, server.RequestLines().size());
    EXPECT_LE(m_config.m_verCheckDate.GetTime(), CTime::GetCurrentTime().GetTime());
}

TEST_F(VersionCheckTest, AFailedRequestIsLoggedWithItsCodeAndNotStored)
{
    // Nobody listens on 127.0.0.1:80.
    m_config.m_verCheckDate = Model::CConfigInfo::GetNeverDate();
    ::DeleteFileW(ConfigPath().c_str());

    EXPECT_FALSE(Check().shown);
    EXPECT_TRUE(LogHas("<boxmng> Check latest version"));
    EXPECT_TRUE(LogHas("<boxmng> can't get version info. (0)"));
    EXPECT_EQ(Model::CConfigInfo::GetNeverDate(), m_config.m_verCheckDate);
    EXPECT_TRUE(StoredCheckDate().empty());
}

// ---- Timer 1 -------------------------------------------------------------------------------------

TEST_F(VersionCheckTest, TheTimerChecksOnlyWhileTheOptionIsOn)
{
    VersionServer server("version:1.0.1.2\\n");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    m_config.m_verCheckDate = Model::CConfigInfo::GetNeverDate();

    m_config.m_bCheckLatestVersion = FALSE;
    ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerVersionCheck, 0);
    EXPECT_TRUE(server.RequestLines().empty());
    EXPECT_EQ(Model::CConfigInfo::GetNeverDate(), m_config.m_verCheckDate);

    m_config.m_bCheckLatestVersion = TRUE;
    ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerVersionCheck, 0);
    EXPECT_EQ(1u, server.RequestLines().size());
    EXPECT_NE(Model::CConfigInfo::GetNeverDate(), m_config.m_verCheckDate);
}

TEST_F(VersionCheckTest, AStartThatNeverCheckedAsksSoonAfterStartingWhenTheOptionIsOn)
{
    VersionServer server("version:1.0.1.2\\n");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    m_manager.reset();
    const std::wstring config = ConfigPath();
    ::WritePrivateProfileStringW(L"option", L"checkLatestVersion", L"1", config.c_str());
    ::WritePrivateProfileStringW(L"verCheck", L"date", nullptr, config.c_str());
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, config.c_str());
    m_manager = std::make_unique<CTarneloWndManager>(&m_infoManager, &m_config);
    ASSERT_TRUE(m_manager->Init(CString(m_data.c_str())));
    ASSERT_EQ(TRUE, m_config.m_bCheckLatestVersion);

    EXPECT_TRUE(boxtest::PumpUntil([&] { return !server.RequestLines().empty(); }, 10000));
    EXPECT_EQ(std::vector<std::string>{ kRequestPath }, server.RequestLines());
}

}  // namespace
