#include <gtest/gtest.h>

#include <winsock2.h>

#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "TestHttpServer.h"
#include "core/HttpGet.h"
#include "core/Logger.h"
#include "framework/CInternetSession.h"

using namespace CoreTest;

namespace {

using testhttp::LoopbackServer;

// The server's replies, by path.
std::string Answer(const std::string& path)
{
    if (path.rfind("/products/tarnelo/version/version.html", 0) == 0)
        return LoopbackServer::Reply("200 OK", "<html>version:1.0.2.0\\n</html>");
    if (path == "/long")
        return LoopbackServer::Reply("200 OK", std::string(10000, 'a') + "tail");
    if (path == "/nul")
        return LoopbackServer::Reply("200 OK", std::string("before\0after", 12));
    if (path == "/japanese")
        return LoopbackServer::Reply("200 OK", Utf8(u8"バージョン:1.0.1.2"));
    if (path == "/cut-japanese")
        return LoopbackServer::Reply("200 OK", Utf8(u8"日本"));
    if (path == "/empty")
        return LoopbackServer::Reply("200 OK", std::string());
    return LoopbackServer::Reply("404 Not Found", "<html>Not here</html>");
}

class HttpGetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LogInit(m_logFolder.Path().c_str());
        if (!m_server.Listening())
            GTEST_SKIP() << "cannot listen on 127.0.0.1:80 (error " << m_server.Error() << ")";
    }
    void TearDown() override { LogInit(nullptr); }
    std::string LogText() const
    {
        std::string all;
        for (int day = 1; day <= 7; ++day)
            all += ReadBytes(m_logFolder / (L"Log" + std::to_wstring(day) + L".txt"));
        return all;
    }

    TempFolder m_logFolder;
    LoopbackServer m_server{&Answer};
};

}  // namespace

TEST_F(HttpGetTest, ReturnsTheStatusAndBodyAndSendsThePathWithItsQuery)
{
    CString body(L"stale");
    DWORD status = 0;
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/products/tarnelo/version/version.html?install=20160329_140509",
                              body, status, 4096));
    EXPECT_EQ(200u, status);
    EXPECT_EQ(CString(L"<html>version:1.0.2.0\\n</html>"), body);
    const std::vector<std::string> lines = m_server.RequestLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("GET /products/tarnelo/version/version.html?install=20160329_140509 HTTP/1.1", lines[0]);
    EXPECT_NE(std::string::npos, LogText().find("[info] Got version, code: (200)\r\n"));
}

TEST_F(HttpGetTest, A404PageIsReturnedWithTrue)
{
    CString body;
    DWORD status = 0;
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/missing", body, status, 4096));
    EXPECT_EQ(404u, status);
    EXPECT_EQ(CString(L"<html>Not here</html>"), body);
    EXPECT_NE(std::string::npos, LogText().find("[info] Got version, code: (404)\r\n"));
}

TEST_F(HttpGetTest, ALongBodyIsCutAtMaxLen)
{
    CString body;
    DWORD status = 0;
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/long", body, status, 4096));
    EXPECT_EQ(200u, status);
    EXPECT_EQ(CString(std::wstring(4096, L'a')), body);

    // A limit beyond the body's length gives the whole body.
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/long", body, status, 20000));
    EXPECT_EQ(CString(std::wstring(10000, L'a') + L"tail"), body);
}

TEST_F(HttpGetTest, TheBodyEndsAtItsFirstNul)
{
    CString body;
    DWORD status = 0;
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/nul", body, status, 4096));
    EXPECT_EQ(CString(L"before"), body);
}

TEST_F(HttpGetTest, TheBodyIsConvertedFromUtf8)
{
    CString body;
    DWORD status = 0;
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/japanese", body, status, 4096));
    EXPECT_EQ(CString(L"バージョン:1.0.1.2"), body);
    // A limit inside a character leaves a replacement for the broken bytes, never more text.
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/cut-japanese", body, status, 4));
    ASSERT_GE(body.GetLength(), 1);
    EXPECT_EQ(L'日', body[0]);
    EXPECT_LE(body.GetLength(), 3);
}

TEST_F(HttpGetTest, AnExplicitPortInTheUrlIsNotUsed)
{
    CString body;
    DWORD status = 0;
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1:8123/missing", body, status, 4096));
    EXPECT_EQ(404u, status);
    EXPECT_EQ(1u, m_server.RequestLines().size());
}

TEST_F(HttpGetTest, NoReadWithoutAPositiveLimit)
{
    CString body(L"stale");
    DWORD status = 0;
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/long", body, status, 0));
    EXPECT_EQ(200u, status);
    EXPECT_TRUE(body.IsEmpty());
    body = L"stale";
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/long", body, status, -5));
    EXPECT_TRUE(body.IsEmpty());
    ASSERT_TRUE(HttpGetString(L"http://127.0.0.1/empty", body, status, 4096));
    EXPECT_TRUE(body.IsEmpty());
}

TEST(HttpGet, AnUnreachableServerGivesFalseAndOneErrorLine)
{
    TempFolder logFolder;
    LogInit(logFolder.Path().c_str());
    CString body(L"stale");
    DWORD status = 12345;
    // Nothing listens on this loopback address (the test server takes only 127.0.0.1).
    EXPECT_FALSE(HttpGetString(L"http://127.0.0.2/products/tarnelo/version/version.html", body, status, 4096));
    EXPECT_TRUE(body.IsEmpty());
    EXPECT_EQ(12345u, status);  // no reply, no status
    std::string text;
    for (int day = 1; day <= 7; ++day)
        text += ReadBytes(logFolder / (L"Log" + std::to_wstring(day) + L".txt"));
    EXPECT_EQ(1u, static_cast<size_t>(std::count(text.begin(), text.end(), '\n'))) << text;
    EXPECT_NE(std::string::npos, text.find("[ERR!] Http get error(54) ")) << text;
    LogInit(nullptr);
}

TEST(HttpGet, AnUnparsableUrlGivesFalse)
{
    CString body(L"stale");
    DWORD status = 0;
    EXPECT_FALSE(HttpGetString(L"not a url", body, status, 4096));
    EXPECT_TRUE(body.IsEmpty());
    EXPECT_FALSE(HttpGetString(L"", body, status, 4096));
}

TEST(AfxParseURL, SplitsServiceServerObjectAndPort)
{
    DWORD service = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 0;
    ASSERT_TRUE(AfxParseURL(L"http://www.example.com:8080/a/b.html?x=1&y=2", service, server, object, port));
    EXPECT_EQ(static_cast<DWORD>(AFX_INET_SERVICE_HTTP), service);
    EXPECT_EQ(CString(L"www.example.com"), server);
    EXPECT_EQ(CString(L"/a/b.html?x=1&y=2"), object);
    EXPECT_EQ(8080, port);

    ASSERT_TRUE(AfxParseURL(L"https://example.com", service, server, object, port));
    EXPECT_EQ(static_cast<DWORD>(AFX_INET_SERVICE_HTTPS), service);
    EXPECT_EQ(CString(L"/"), object);
    EXPECT_EQ(443, port);

    EXPECT_FALSE(AfxParseURL(L"nonsense", service, server, object, port));
    EXPECT_TRUE(server.IsEmpty());
    EXPECT_FALSE(AfxParseURL(nullptr, service, server, object, port));
}
