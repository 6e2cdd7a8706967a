// The manager's version check against a web server inside this test on 127.0.0.1:80: the
// request, the reply forms, the notice shown only for a newer version, the 30-day rule, the
// time stored in "config.ini", failures, and timer 1's first period and expiry.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/ShellHelpers.h"
#include "dialogs/WizardTestSupport.h"
#include "framework/CTime.h"
#include "resources/resource.h"
#include "ManagerTestSupport.h"

namespace {

// Answers every request with one body and remembers each request line.
class VersionServer
{
public:
    explicit VersionServer(std::string body) : m_body(std::move(body))
    {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
            return;
        m_started = true;
        m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_listener == INVALID_SOCKET)
            return;
        BOOL reuse = TRUE;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(80);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(m_listener, 8) != 0) {
            ::closesocket(m_listener);
            m_listener = INVALID_SOCKET;
            return;
        }
        m_thread = std::thread([this] { Serve(); });
    }
    VersionServer(const VersionServer&) = delete;
    VersionServer& operator=(const VersionServer&) = delete;
    ~VersionServer()
    {
        if (m_listener != INVALID_SOCKET)
            ::closesocket(m_listener);  // ends the blocking accept
        if (m_thread.joinable())
            m_thread.join();
        if (m_started)
            ::WSACleanup();
    }
    bool Listening() const { return m_listener != INVALID_SOCKET; }
    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

private:
    void Serve()
    {
        for (;;) {
            SOCKET client = ::accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            std::string request;
            char chunk[1024];
            while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
                const int got = ::recv(client, chunk, sizeof(chunk), 0);
                if (got <= 0)
                    break;
                request.append(chunk, static_cast<size_t>(got));
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(request.substr(0, request.find("\r\n")));
            }
            const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                      std::to_string(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body;
            size_t sent = 0;
            while (sent < reply.size()) {
                const int n = ::send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
                if (n <= 0)
                    break;
                sent += static_cast<size_t>(n);
            }
            ::shutdown(client, SD_SEND);
            ::closesocket(client);
        }
    }

    std::string m_body;
    bool m_started = false;
    SOCKET m_listener = INVALID_SOCKET;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
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

// ---- Reading the reply -------------------------------------------------------------------------

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
        EXPECT_EQ(c.found, CTarneloWndManager::ParseVersion(c.text, version)) << c.text;
        EXPECT_EQ(CString(c.version), version) << c.text;
    }
}

TEST(VersionTimer, TheFirstPeriodIsOneSecondWhenNeverCheckedElseSpreadOverHalfHours)
{
    const CTime never = Model::CConfigInfo::GetNeverDate();
    EXPECT_EQ(1000u, CTarneloWndManager::FirstVersionCheckPeriod(never, 12345));
    const CTime checked(2026, 11, 3, 0, 0, 0);
    EXPECT_EQ(60000u, CTarneloWndManager::FirstVersionCheckPeriod(checked, 0));
    EXPECT_EQ(60000u + 1800000u, CTarneloWndManager::FirstVersionCheckPeriod(checked, 11));
    EXPECT_EQ(16260000u, CTarneloWndManager::FirstVersionCheckPeriod(checked, 9));
    EXPECT_EQ(60000u + 5u * 1800000u, CTarneloWndManager::FirstVersionCheckPeriod(checked, 0xFFFFFFFFu));  // ends in 5
}

// ---- Checking --------------------------------------------------------------------------------------

TEST_F(VersionCheckTest, ANewerVersionIsAnnouncedAndTheTimeOfTheCheckIsSaved)
{
    VersionServer server("<html>version:1.0.2.0\\n</html>");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    const LONGLONG before = CTime::GetCurrentTime().GetTime();

    const Notice notice = Check();

    EXPECT_EQ(std::vector<std::string>{ kRequestPath }, server.Requests());
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

        EXPECT_EQ(1u, server.Requests().size()) << body;
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
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(recent, m_config.m_verCheckDate);
    EXPECT_TRUE(StoredCheckDate().empty());
    EXPECT_FALSE(LogHas("<boxmng> Check latest version"));

    m_config.m_verCheckDate = CTime(now - 30 * kDay - 1);
    EXPECT_TRUE(Check().shown);
    EXPECT_EQ(1u, server.Requests().size());
}

TEST_F(VersionCheckTest, ALastCheckInTheFutureDoesNotHoldTheCheckOff)
{
    VersionServer server("version:1.0.1.2\\n");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    const LONGLONG now = CTime::GetCurrentTime().GetTime();
    m_config.m_verCheckDate = CTime(now + 400 * kDay);
    Check();
    EXPECT_EQ(1u, server.Requests().size());
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

TEST_F(VersionCheckTest, ADamagedInstallDateCannotChangeTheRequest)
{
    VersionServer server("version:1.0.1.2\\n");
    if (!server.Listening())
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80";
    m_config.m_strInstallDate = L"2026 12#01&x=/";
    Check();
    EXPECT_EQ(std::vector<std::string>{
                  "GET /products/tarnelo/version/version.html?install=2026%2012%2301%26x%3D%2F HTTP/1.1" },
              server.Requests());
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
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(Model::CConfigInfo::GetNeverDate(), m_config.m_verCheckDate);

    m_config.m_bCheckLatestVersion = TRUE;
    ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerVersionCheck, 0);
    EXPECT_EQ(1u, server.Requests().size());
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

    EXPECT_TRUE(boxtest::PumpUntil([&] { return !server.Requests().empty(); }, 10000));
    EXPECT_EQ(std::vector<std::string>{ kRequestPath }, server.Requests());
}

}  // namespace
