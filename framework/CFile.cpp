#include "framework/CFile.h"

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(const wchar_t* fileName, UINT openFlags, CFileException* error)
{
    Abort();
    m_strFileName = fileName;
    if (error) {
        error->m_cause = CFileException::none;
        error->m_lOsError = 0;
        error->m_strFileName[0] = L'\0';
    }
    auto fail = [&](LONG osError) {
        if (error) {
            *error = CFileException(CFileException::OsErrorToCause(osError), osError, fileName);
            if (error->m_cause == CFileException::none)
                error->m_cause = CFileException::genericException;
        }
        return FALSE;
    };
    if (!fileName || !*fileName)
        return fail(ERROR_INVALID_NAME);

    DWORD access = 0;
    switch (openFlags & 0x3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: return fail(ERROR_INVALID_PARAMETER);
    }

    // The compatibility mode lets others read but not write while the file is open.
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareCompat: share = FILE_SHARE_READ; break;
    case shareExclusive: share = 0; break;
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE; break;
    default: return fail(ERROR_INVALID_PARAMETER);
    }

    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, FALSE};
    HANDLE handle = ::CreateFileW(fileName, access, share, &security, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return fail(static_cast<LONG>(::GetLastError()));
    m_hFile = handle;
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    const BOOL closed = ::CloseHandle(m_hFile);
    const DWORD osError = closed ? 0 : ::GetLastError();
    m_hFile = INVALID_HANDLE_VALUE;
    if (!closed)
        AfxThrowFileException(CFileException::OsErrorToCause(static_cast<LONG>(osError)),
                              static_cast<LONG>(osError), m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

namespace {

[[noreturn]] void ThrowLastError(const CString& fileName)
{
    const LONG osError = static_cast<LONG>(::GetLastError());
    int cause = CFileException::OsErrorToCause(osError);
    if (cause == CFileException::none)
        cause = CFileException::genericException;
    AfxThrowFileException(cause, osError, fileName);
}

}  // namespace

UINT CFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    if (m_hFile == INVALID_HANDLE_VALUE)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (!buffer)
        AfxThrowFileException(CFileException::genericException, ERROR_INVALID_PARAMETER, m_strFileName);
    DWORD read = 0;
    if (!::ReadFile(m_hFile, buffer, count, &read, nullptr)) {
        // A pipe whose writer has gone is just the end of the data.
        if (::GetLastError() == ERROR_BROKEN_PIPE)
            return 0;
        ThrowLastError(m_strFileName);
    }
    return read;
}

void CFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    if (m_hFile == INVALID_HANDLE_VALUE)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (!buffer)
        AfxThrowFileException(CFileException::genericException, ERROR_INVALID_PARAMETER, m_strFileName);
    DWORD written = 0;
    if (!::WriteFile(m_hFile, buffer, count, &written, nullptr))
        ThrowLastError(m_strFileName);
    if (written != count)
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    DWORD method = FILE_BEGIN;
    switch (from) {
    case begin: method = FILE_BEGIN; break;
    case current: method = FILE_CURRENT; break;
    case end: method = FILE_END; break;
    default: AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
    }
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position = {};
    if (!::SetFilePointerEx(m_hFile, distance, &position, method)) {
        const LONG osError = static_cast<LONG>(::GetLastError());
        AfxThrowFileException(CFileException::badSeek, osError, m_strFileName);
    }
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(m_hFile, &size))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    LARGE_INTEGER zero = {};
    LARGE_INTEGER position = {};
    if (!::SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::Flush()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    // A handle opened for reading only has nothing to flush.
    if (!::FlushFileBuffers(m_hFile) && ::GetLastError() != ERROR_ACCESS_DENIED)
        ThrowLastError(m_strFileName);
}

BOOL CFile::GetStatus(const wchar_t* fileName, CFileStatus& status)
{
    status = CFileStatus();
    if (!fileName || !*fileName)
        return FALSE;
    // Wildcards would make the attribute query match nothing or something else.
    if (wcspbrk(fileName, L"*?"))
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(fileName, GetFileExInfoStandard, &data))
        return FALSE;
    status.m_ctime = CTime(data.ftCreationTime);
    status.m_atime = CTime(data.ftLastAccessTime);
    status.m_mtime = CTime(data.ftLastWriteTime);
    status.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
    const DWORD length = ::GetFullPathNameW(fileName, MAX_PATH, status.m_szFullName, nullptr);
    if (length == 0 || length >= MAX_PATH)
        status.m_szFullName[0] = L'\0';
    return TRUE;
}
