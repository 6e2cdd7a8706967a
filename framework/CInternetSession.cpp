#include "framework/CInternetSession.h"

#include <vector>

#include "framework/CHttpConnection.h"

CInternetSession::CInternetSession(const wchar_t* agent, DWORD_PTR context, DWORD accessType,
                                   const wchar_t* proxyName, const wchar_t* proxyBypass, DWORD flags)
    : m_dwContext(context)
{
    m_hSession = ::InternetOpenW(agent, accessType, proxyName, proxyBypass, flags);
}

CInternetSession::~CInternetSession()
{
    Close();
}

void CInternetSession::Close()
{
    if (m_hSession) {
        ::InternetCloseHandle(m_hSession);
        m_hSession = nullptr;
    }
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const wchar_t* server, INTERNET_PORT port,
                                                                     const wchar_t* userName, const wchar_t* password)
{
    if (!m_hSession || !server || !*server)
        return nullptr;
    HINTERNET connection = ::InternetConnectW(m_hSession, server, port, userName, password,
                                              INTERNET_SERVICE_HTTP, 0, m_dwContext);
    if (!connection)
        return nullptr;
    return std::make_unique<CHttpConnection>(connection, server, m_dwContext);
}

BOOL AfxParseURL(const wchar_t* url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port)
{
    serviceType = AFX_INET_SERVICE_UNK;
    server.Empty();
    object.Empty();
    port = 0;
    if (!url || !*url)
        return FALSE;

    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    // Zero buffers with non-zero lengths ask for pointers into the URL itself.
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlW(url, 0, 0, &parts))
        return FALSE;

    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP: serviceType = AFX_INET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_HTTPS: serviceType = AFX_INET_SERVICE_HTTPS; break;
    case INTERNET_SCHEME_FTP: serviceType = AFX_INET_SERVICE_FTP; break;
    case INTERNET_SCHEME_FILE: serviceType = AFX_INET_SERVICE_FILE; break;
    default: serviceType = AFX_INET_SERVICE_UNK; break;
    }
    if (parts.lpszHostName && parts.dwHostNameLength > 0)
        server = CString(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength));
    if (parts.lpszUrlPath && parts.dwUrlPathLength > 0)
        object = CString(parts.lpszUrlPath, static_cast<int>(parts.dwUrlPathLength));
    if (parts.lpszExtraInfo && parts.dwExtraInfoLength > 0)
        object += CString(parts.lpszExtraInfo, static_cast<int>(parts.dwExtraInfoLength));
    if (object.IsEmpty())
        object = L"/";
    port = parts.nPort;
    if (server.IsEmpty())
        return FALSE;
    return TRUE;
}
