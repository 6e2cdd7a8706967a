// A file opened through its Win32 handle. Open() reports failure by its result;
// Read/Write/Seek raise CFileException* on a system failure (Write also on a short write).
#pragma once

#include <windows.h>

#include "framework/CException.h"
#include "framework/CString.h"
#include "framework/CTime.h"

struct CFileStatus
{
    CTime m_ctime;
    CTime m_mtime;
    CTime m_atime;
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;
    wchar_t m_szFullName[MAX_PATH] = {};
};

class CFile
{
public:
    enum OpenFlags {
        modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002,
        shareCompat = 0x0000, shareExclusive = 0x0010, shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030, shareDenyNone = 0x0040,
        modeNoTruncate = 0x10000, modeCreate = 0x1000, typeText = 0x4000, typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    // FALSE when the file cannot be opened; the error, when asked for, gets the cause.
    virtual BOOL Open(const wchar_t* fileName, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();
    void Abort();  // closes without raising
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    virtual ULONGLONG GetLength() const;
    virtual ULONGLONG GetPosition() const;
    virtual void Flush();
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE GetHandle() const { return m_hFile; }
    const CString& GetFilePath() const { return m_strFileName; }

    // The status of a file or folder by path; FALSE when it does not exist.
    static BOOL GetStatus(const wchar_t* fileName, CFileStatus& status);

protected:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;
};
