#include "framework/CException.h"

#include <cwchar>
#include <new>

namespace {

// Copies text into a caller's buffer of maxChars characters (NUL included), cutting it
// when it does not fit; FALSE (with an empty buffer where there is one) for no text.
BOOL CopyMessage(const wchar_t* text, wchar_t* buffer, UINT maxChars)
{
    if (!buffer || maxChars == 0)
        return FALSE;
    buffer[0] = L'\0';
    if (!text || !*text)
        return FALSE;
    const size_t length = wcslen(text);
    const size_t copied = length < maxChars - 1 ? length : maxChars - 1;
    wmemcpy(buffer, text, copied);
    buffer[copied] = L'\0';
    return TRUE;
}

void CopyFileName(wchar_t* target, const wchar_t* fileName)
{
    target[0] = L'\0';
    if (!fileName)
        return;
    const size_t length = wcsnlen(fileName, MAX_PATH - 1);
    wmemcpy(target, fileName, length);
    target[length] = L'\0';
}

// "<what> <file>." or "<what>." when the file is not known.
BOOL WriteWithFile(const wchar_t* what, const wchar_t* fileName, wchar_t* buffer, UINT maxChars)
{
    wchar_t text[MAX_PATH + 200];
    if (fileName && *fileName)
        _snwprintf(text, sizeof(text) / sizeof(text[0]), L"%ls %ls.", what, fileName);
    else
        _snwprintf(text, sizeof(text) / sizeof(text[0]), L"%ls.", what);
    text[sizeof(text) / sizeof(text[0]) - 1] = L'\0';
    return CopyMessage(text, buffer, maxChars);
}

}  // namespace

BOOL CException::GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    CopyMessage(nullptr, buffer, maxChars);
    return FALSE;
}

BOOL CMemoryException::GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    return CopyMessage(L"Out of memory.", buffer, maxChars);
}

CFileException::CFileException(int cause, LONG osError, const wchar_t* fileName)
    : m_cause(cause), m_lOsError(osError)
{
    CopyFileName(m_strFileName, fileName);
}

BOOL CFileException::GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    const wchar_t* what = nullptr;
    switch (m_cause) {
    case none: what = nullptr; break;
    case genericException: what = L"An unexpected error occurred while accessing"; break;
    case fileNotFound: what = L"File not found:"; break;
    case badPath: what = L"The path is invalid:"; break;
    case tooManyOpenFiles: what = L"Too many files are open to open"; break;
    case accessDenied: what = L"Access was denied to"; break;
    case invalidFile: what = L"An invalid file handle was used with"; break;
    case removeCurrentDir: what = L"The current folder cannot be removed:"; break;
    case directoryFull: what = L"The folder is full, so no file can be made in it:"; break;
    case badSeek: what = L"A seek failed on"; break;
    case hardIO: what = L"A hardware input/output error occurred on"; break;
    case sharingViolation: what = L"A sharing violation occurred while accessing"; break;
    case lockViolation: what = L"A locked region was accessed in"; break;
    case diskFull: what = L"The disk is full while writing"; break;
    case endOfFile: what = L"An attempt was made to read past the end of"; break;
    default: what = L"An unknown file error occurred with"; break;
    }
    if (!what) {
        CopyMessage(nullptr, buffer, maxChars);
        return FALSE;
    }
    return WriteWithFile(what, m_strFileName, buffer, maxChars);
}

int CFileException::OsErrorToCause(LONG osError)
{
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
        return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

CArchiveException::CArchiveException(int cause, const wchar_t* fileName) : m_cause(cause)
{
    CopyFileName(m_strFileName, fileName);
}

BOOL CArchiveException::GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    const wchar_t* what = nullptr;
    switch (m_cause) {
    case none: what = nullptr; break;
    case genericException: what = L"The data is damaged or not in the expected form in"; break;
    case readOnly: what = L"An attempt was made to write to an archive opened for loading:"; break;
    case endOfFile: what = L"Unexpected end of file while reading"; break;
    case writeOnly: what = L"An attempt was made to read from an archive opened for storing:"; break;
    case badIndex: what = L"The file has an invalid format:"; break;
    case badClass: what = L"An unexpected object type was found in"; break;
    case badSchema: what = L"The file holds an unsupported version of an object:"; break;
    default: what = L"An unknown archive error occurred with"; break;
    }
    if (!what) {
        CopyMessage(nullptr, buffer, maxChars);
        return FALSE;
    }
    return WriteWithFile(what, m_strFileName, buffer, maxChars);
}

void AfxThrowMemoryException()
{
    throw new CMemoryException();
}

void AfxThrowFileException(int cause, LONG osError, const wchar_t* fileName)
{
    throw new CFileException(cause, osError, fileName);
}

void AfxThrowArchiveException(int cause, const wchar_t* fileName)
{
    throw new CArchiveException(cause, fileName);
}
