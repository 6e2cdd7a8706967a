// A small HTTP server on 127.0.0.1:80 for the tests of code that fetches over HTTP (that code
// always uses the default port). Each request gets the reply the test makes of its path; the
// connection is closed after the reply and every request line is remembered.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testhttp {

class LoopbackServer
{
public:
    // Makes the whole reply, status line and headers included, for a request's path.
    using Answer = std::function<std::string(const std::string& path)>;

    explicit LoopbackServer(Answer answer) : m_answer(std::move(answer))
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
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
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

    bool Listening() const { return m_listener != INVALID_SOCKET; }
    int Error() const { return m_error; }
    std::vector<std::string> RequestLines()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requestLines;
    }

    static std::string Reply(const std::string& status, const std::string& body)
    {
        return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
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
            const std::string reply = m_answer(path);
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

    Answer m_answer;
    bool m_started = false;
    SOCKET m_listener = INVALID_SOCKET;
    int m_error = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_requestLines;
};

}  // namespace testhttp
