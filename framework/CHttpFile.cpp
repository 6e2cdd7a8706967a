#include "framework/CHttpFile.h"

#include "framework/CInternetException.h"

CHttpFile::CHttpFile(HINTERNET request, const wchar_t* object, DWORD_PTR context)
    : m_hRequest(request), m_strObject(object), m_dwContext(context)
{
}

CHttpFile::~CHttpFile()
{
    Close();
}

void CHttpFile::Close()
{
    if (m_hRequest) {
        ::InternetCloseHandle(m_hRequest);
        m_hRequest = nullptr;
    }
}

BOOL CHttpFile::SendRequest(const wchar_t* headers, DWORD headersLength, void* optional, DWORD optionalLength)
{
    if (!m_hRequest)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    if (!::HttpSendRequestW(m_hRequest, headers, headers ? headersLength : 0, optional, optionalLength))
        AfxThrowInternetException(m_dwContext);
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& statusCode) const
{
    statusCode = 0;
    if (!m_hRequest)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    DWORD code = 0;
    DWORD size = sizeof(code);
    if (!::HttpQueryInfoW(m_hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr))
        AfxThrowInternetException(m_dwContext);
    statusCode = code;
    return TRUE;
}

UINT CHttpFile::Read(void* buffer, UINT count)
{
    if (!m_hRequest)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    if (!buffer || count == 0)
        return 0;
    // WinINet may hand out fewer bytes than asked before the end: keep reading until the
    // buffer is full or the body has ended.
    UINT total = 0;
    while (total < count) {
        DWORD got = 0;
        if (!::InternetReadFile(m_hRequest, static_cast<BYTE*>(buffer) + total, count - total, &got))
            AfxThrowInternetException(m_dwContext);
        if (got == 0)
            break;
        if (got > count - total)  // never trust a count beyond what was asked for
            got = count - total;
        total += got;
    }
    return total;
}
