#include "framework/CInternetException.h"

#include <cwchar>

BOOL CInternetException::GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxChars == 0)
        return FALSE;
    buffer[0] = L'\0';

    // WinINet keeps the texts of its own errors (12001 and up) in its module.
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE wininet = ::GetModuleHandleW(L"wininet.dll");
    if (wininet && m_dwError >= 12000 && m_dwError < 13000)
        flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = ::FormatMessageW(flags, wininet, m_dwError, 0, buffer, maxChars, nullptr);
    if (length >= maxChars)
        length = 0;
    // Messages end in CR LF, which would break a log line.
    while (length > 0 && (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r' || buffer[length - 1] == L' '))
        --length;
    buffer[length] = L'\0';
    if (length == 0)
        std::swprintf(buffer, maxChars, L"Internet error %lu", static_cast<unsigned long>(m_dwError));
    return TRUE;
}

void AfxThrowInternetException(DWORD_PTR context, DWORD error)
{
    if (error == 0)
        error = ::GetLastError();
    throw new CInternetException(error, context);
}
