// The framework's exception family. Exceptions are thrown by pointer and freed by the
// catcher with Delete(), so a catch site can log one and let it go in one place.
#pragma once

#include <windows.h>

class CException
{
public:
    virtual ~CException() = default;
    // Writes the message (at most maxChars characters with the NUL); FALSE when none.
    virtual BOOL GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext = nullptr) const;
    void Delete() { delete this; }
};

class CMemoryException : public CException
{
public:
    BOOL GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext = nullptr) const override;
};

class CFileException : public CException
{
public:
    enum Cause { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
                 invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation,
                 lockViolation, diskFull, endOfFile };

    CFileException(int cause = none, LONG osError = -1, const wchar_t* fileName = nullptr);
    BOOL GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext = nullptr) const override;
    static int OsErrorToCause(LONG osError);

    int m_cause;
    LONG m_lOsError;
    wchar_t m_strFileName[MAX_PATH];
};

class CArchiveException : public CException
{
public:
    enum Cause { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(int cause = none, const wchar_t* fileName = nullptr);
    BOOL GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext = nullptr) const override;

    int m_cause;
    wchar_t m_strFileName[MAX_PATH];
};

// Raise helpers: allocate the exception and throw the pointer.
[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, const wchar_t* fileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, const wchar_t* fileName = nullptr);
