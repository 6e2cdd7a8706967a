#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CoreTestSupport.h"
#include "core/HttpGet.h"
#include "core/Logger.h"
#include "framework/CInternetSession.h"

using namespace CoreTest;

namespace {

// A small HTTP server on 127.0.0.1:80 (the helper always uses the default HTTP port),
// answering each request by its path and closing the connection after the reply.
class LoopbackServer
{
public:
    LoopbackServer()
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
            m_error = ::WSAGetLastError();
            ::closesocket(m_listener);
            m_listener = INVALID_SOCKET;
            return;
        }
        m_thread = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        if (m_listener != INVALID_SOCKET) {
            m_stopping = true;
            ::closesocket(m_listener);  // ends the blocking accept
        }
        if (m_thread.joinable())
            m_thread.join();
        if (m_started)
            ::WSACleanup();
    }
    bool listening() const { return m_listener != INVALID_SOCKET; }
    int error() const { return m_error; }
    std::vector<std::string> requestLines()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requestLines;
    }

private:
    static std::string Reply(const std::string& status, const std::string& body)
    {
        return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

    static std::string Answer(const std::string& path)
    {
        if (path.rfind("/products/tarnelo/version/version.html", 0) == 0)
            return Reply("200 OK", "<html>version:1.0.2.0\\n</html>");
        if (path == "/long")
            return Reply("200 OK", std::string(10000, 'a') + "tail");
        if (path == "/nul")
            return Reply("200 OK", std::string("before\0after", 12));
        if (path == "/japanese")
            return Reply("200 OK", Utf8(u8"バージョン:1.0.1.2"));
        if (path == "/cut-japanese")
            return Reply("200 OK", Utf8(u8"日本"));
        if (path == "/empty")
            return Reply("200 OK", std::string());
        return Reply("404 Not Found", "<html>Not here</html>");
    }

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
            const std::string firstLine = request.substr(0, request.find("\r\n"));
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requestLines.push_back(firstLine);
            }
            // "GET <path> HTTP/1.1"
            std::string path;
            const size_t space = firstLine.find(' ');
            if (space != std::string::npos)
                path = firstLine.substr(space + 1, firstLine.rfind(' ') - space - 1);
            const std::string reply = Answer(path);
            size_t sent = 0;
            while (sent < reply.size()) {
                const int n = ::send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
                if (n <= 0)
                    break;
                sent += static_cast<size_t>(n);
            }
            ::shutdown(client, SD_SEND);
            ::closesocket(client);
            if (m_stopping)
                return;
        }
    }

    bool m_started = false;
    SOCKET m_listener = INVALID_SOCKET;
    int m_error = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_requestLines;
};

class HttpGetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LogInit(m_logFolder.path().c_str());
        if (!m_server.listening())
            GTEST_SKIP() << "cannot listen on 127.0.0.1:80 (error " << m_server.error() << ")";
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
    LoopbackServer m_server;
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
    const std::vector<std::string> lines = m_server.requestLines();
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
    EXPECT_EQ(1u, m_server.requestLines().size());
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
    LogInit(logFolder.path().c_str());
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
