// One HTTP request and its reply. SendRequest, QueryInfoStatusCode and Read raise
// CInternetException* when WinINet fails.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/CString.h"

class CHttpFile
{
public:
    CHttpFile(HINTERNET request, const wchar_t* object, DWORD_PTR context);
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;
    virtual ~CHttpFile();

    void Close();
    HINTERNET GetHandle() const { return m_hRequest; }
    const CString& GetObjectName() const { return m_strObject; }

    BOOL SendRequest(const wchar_t* headers = nullptr, DWORD headersLength = 0, void* optional = nullptr,
                     DWORD optionalLength = 0);
    BOOL QueryInfoStatusCode(DWORD& statusCode) const;
    // Reads up to count bytes of the body; fewer only at its end.
    UINT Read(void* buffer, UINT count);

private:
    HINTERNET m_hRequest = nullptr;
    CString m_strObject;
    DWORD_PTR m_dwContext = 1;
};
