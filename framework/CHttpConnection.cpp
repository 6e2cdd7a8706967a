#include "framework/CHttpConnection.h"

#include "framework/CHttpFile.h"

CHttpConnection::CHttpConnection(HINTERNET connection, const wchar_t* server, DWORD_PTR context)
    : m_hConnection(connection), m_strServer(server), m_dwContext(context)
{
}

CHttpConnection::~CHttpConnection()
{
    Close();
}

void CHttpConnection::Close()
{
    if (m_hConnection) {
        ::InternetCloseHandle(m_hConnection);
        m_hConnection = nullptr;
    }
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const wchar_t* verb, const wchar_t* object,
                                                        const wchar_t* referer, DWORD_PTR context,
                                                        const wchar_t** acceptTypes, const wchar_t* version,
                                                        DWORD flags)
{
    if (!m_hConnection)
        return nullptr;
    HINTERNET request = ::HttpOpenRequestW(m_hConnection, verb, object, version, referer, acceptTypes, flags, context);
    if (!request)
        return nullptr;
    return std::make_unique<CHttpFile>(request, object, context);
}
