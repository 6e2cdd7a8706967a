// A WinINet session: the root of the connections and requests made through it. Closing
// (or destroying) the session closes its handle.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "framework/CString.h"

class CHttpConnection;

// Service types of AfxParseURL.
enum : DWORD {
    AFX_INET_SERVICE_UNK = 0x1000,
    AFX_INET_SERVICE_FTP = 0x0001,
    AFX_INET_SERVICE_HTTP = 0x0003,
    AFX_INET_SERVICE_HTTPS = 0x1005,
    AFX_INET_SERVICE_FILE = 0x1006,
};

class CInternetSession
{
public:
    explicit CInternetSession(const wchar_t* agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, const wchar_t* proxyName = nullptr,
                              const wchar_t* proxyBypass = nullptr, DWORD flags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
    virtual ~CInternetSession();

    void Close();
    HINTERNET GetHandle() const { return m_hSession; }
    DWORD_PTR GetContext() const { return m_dwContext; }

    // A connection to an HTTP server (port 0 = the default HTTP port); null when WinINet
    // refuses one. It must not outlive the session.
    std::unique_ptr<CHttpConnection> GetHttpConnection(const wchar_t* server, INTERNET_PORT port = 0,
                                                       const wchar_t* userName = nullptr,
                                                       const wchar_t* password = nullptr);

private:
    HINTERNET m_hSession = nullptr;
    DWORD_PTR m_dwContext = 1;
};

// Splits a URL into its service type, server, object (path and query) and port; FALSE
// (with empty parts) when it is not a URL.
BOOL AfxParseURL(const wchar_t* url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port);
