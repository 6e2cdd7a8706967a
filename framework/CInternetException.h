// A WinINet failure raised by the internet classes: the error code of the failed call.
#pragma once

#include <windows.h>

#include "framework/CException.h"

class CInternetException : public CException
{
public:
    explicit CInternetException(DWORD error, DWORD_PTR context = 1) : m_dwError(error), m_dwContext(context) {}
    // The system's text for the error, or "Internet error <code>" when it has none.
    BOOL GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext = nullptr) const override;

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};

// Raises a CInternetException* for the error (0 takes the thread's last error).
[[noreturn]] void AfxThrowInternetException(DWORD_PTR context, DWORD error = 0);
