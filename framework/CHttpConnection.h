// A connection to one HTTP server within a session; requests are opened on it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "framework/CString.h"

class CHttpFile;

class CHttpConnection
{
public:
    CHttpConnection(HINTERNET connection, const wchar_t* server, DWORD_PTR context);
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;
    virtual ~CHttpConnection();

    void Close();
    HINTERNET GetHandle() const { return m_hConnection; }
    const CString& GetServerName() const { return m_strServer; }

    // A request not yet sent; null when WinINet refuses one. It must not outlive the connection.
    std::unique_ptr<CHttpFile> OpenRequest(const wchar_t* verb, const wchar_t* object,
                                           const wchar_t* referer = nullptr, DWORD_PTR context = 1,
                                           const wchar_t** acceptTypes = nullptr,
                                           const wchar_t* version = nullptr,
                                           DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);

private:
    HINTERNET m_hConnection = nullptr;
    CString m_strServer;
    DWORD_PTR m_dwContext = 1;
};
