#include "core/PathHelpers.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <climits>
#include <cstring>
#include <vector>

#include "framework/CException.h"
#include "framework/CFile.h"

namespace {

const wchar_t kDataFolderSuffix[] = L"\\Olvenworks\\Tarnelo";

// The path of a shell folder known by its CSIDL, through its item list.
CString FolderFromItemList(int csidl)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return CString();
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = ::SHGetPathFromIDListW(list, path);
    ::CoTaskMemFree(list);
    return ok ? CString(path) : CString();
}

CString FolderFromPath(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path)))
        return CString();
    return CString(path);
}

// TRUE when path starts with folder and a backslash follows it, ignoring case.
BOOL IsInsideFolder(const CString& path, const CString& folder)
{
    if (folder.IsEmpty() || path.GetLength() <= folder.GetLength())
        return FALSE;
    if (path[folder.GetLength()] != L'\\')
        return FALSE;
    return path.Left(folder.GetLength()).CompareNoCase(folder) == 0;
}

}  // namespace

CString GetDataFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) {
        // The per-user folder counts only when an installer has already made it.
        CString local = CString(folder) + kDataFolderSuffix;
        if (::PathIsDirectoryW(local))
            return local;
    }
    folder[0] = L'\0';
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder)))
        return CString();
    CString common = CString(folder) + kDataFolderSuffix;
    if (!::PathIsDirectoryW(common) && !CreateDirectoryTree(common))
        return CString();
    return common;
}

BOOL CreateDirectoryTree(CString path)
{
    if (path.IsEmpty())
        return FALSE;
    // The usual case, a folder that is there already, costs one attribute query.
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return TRUE;
    if (path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    for (int slash = path.Find(L'\\'); slash >= 0; slash = path.Find(L'\\', slash + 1)) {
        const CString level = path.Left(slash);
        if (!::PathIsDirectoryW(level) && !::CreateDirectoryW(level, nullptr))
            return FALSE;
    }
    return TRUE;
}

CString GetModuleFolder()
{
    wchar_t module[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    // Drive and directory are everything up to and including the last backslash.
    const CString path(module);
    const int slash = path.ReverseFind(L'\\');
    if (slash <= 0)
        return CString();
    return path.Left(slash);
}

CString GetParentPath(CString path)
{
    int split = path.ReverseFind(L'\\');
    if (split < 0)
        split = path.ReverseFind(L'/');
    if (split < 0)
        return CString();
    return path.Left(split);
}

CString ExtractFileName(CString path)
{
    const int split = path.ReverseFind(L'\\');
    return split < 0 ? path : path.Mid(split + 1);
}

CString ExtractFileTitle(CString path)
{
    const CString name = ExtractFileName(path);
    const int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

CString GetExtension(CString path)
{
    // The dot is looked for in the whole path, not only in the file name.
    const int dot = path.ReverseFind(L'.');
    if (dot < 0)
        return CString();
    CString extension = path.Mid(dot + 1);
    extension.MakeLower();
    return extension;
}

BOOL FileExists(CString path)
{
    CFileStatus status;
    return CFile::GetStatus(path, status) ? TRUE : FALSE;
}

BOOL IsDirectory(CString path)
{
    CFileStatus status;
    if (!CFile::GetStatus(path, status))
        return FALSE;
    return (status.m_attribute & FILE_ATTRIBUTE_DIRECTORY) ? TRUE : FALSE;
}

int ToUtf8(CString text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    if (text.IsEmpty())
        return 0;
    // Leave room for the NUL; a text that does not fit fails as a whole.
    const int written = ::WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), buffer, size - 1,
                                              nullptr, nullptr);
    if (written <= 0 || written >= size) {
        buffer[0] = '\0';
        return 0;
    }
    buffer[written] = '\0';
    return written;
}

CString FromUtf8(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX / 2 - 2))
        return CString();
    const int byteCount = static_cast<int>(bytes.size());
    std::vector<wchar_t> wide(static_cast<size_t>(byteCount) * 2 + 2, L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), byteCount, wide.data(),
                                             static_cast<int>(wide.size()) - 1);
    if (length <= 0)
        return CString();
    wide[static_cast<size_t>(length)] = L'\0';
    // The text ends at its first NUL.
    return CString(wide.data());
}

CString GetDesktopFolder()
{
    return FolderFromItemList(CSIDL_DESKTOPDIRECTORY);
}

CString GetCommonDesktopFolder()
{
    return FolderFromItemList(CSIDL_COMMON_DESKTOPDIRECTORY);
}

CString GetCommonStartMenuFolder()
{
    return FolderFromPath(CSIDL_COMMON_STARTMENU);
}

CString GetProgramFilesFolder()
{
    return FolderFromPath(CSIDL_PROGRAM_FILES);
}

BOOL IsDesktopShortcut(CString path)
{
    if (!IsInsideFolder(path, GetDesktopFolder()) && !IsInsideFolder(path, GetCommonDesktopFolder()))
        return FALSE;
    const CString extension = GetExtension(path);
    return (extension == L"lnk" || extension == L"url") ? TRUE : FALSE;
}

namespace {

// The reason of the call that just failed; never 0, so that a failure always reads as one.
DWORD LastErrorOfFailure()
{
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

}  // namespace

BOOL ReplaceFileContents(CString path, const void* data, DWORD size, DWORD* error)
{
    DWORD failure = ERROR_SUCCESS;
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        failure = ERROR_ACCESS_DENIED;
    const CString temp = path + L".temp";
    if (failure == ERROR_SUCCESS) {
        const HANDLE file = ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            failure = LastErrorOfFailure();
        } else {
            DWORD written = 0;
            if (!::WriteFile(file, data, size, &written, nullptr) || !::FlushFileBuffers(file))
                failure = LastErrorOfFailure();
            else if (written != size)
                failure = ERROR_DISK_FULL;
            ::CloseHandle(file);
            if (failure == ERROR_SUCCESS && !::MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                failure = LastErrorOfFailure();
            if (failure != ERROR_SUCCESS)
                ::DeleteFileW(temp);
        }
    }
    if (error)
        *error = failure;
    return failure == ERROR_SUCCESS ? TRUE : FALSE;
}

DWORD ReadWholeFile(HANDLE file, ULONGLONG maxBytes, std::vector<BYTE>* bytes)
{
    bytes->clear();
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file, &size))
        return LastErrorOfFailure();
    if (static_cast<ULONGLONG>(size.QuadPart) > maxBytes || static_cast<ULONGLONG>(size.QuadPart) > MAXDWORD)
        return ERROR_FILE_TOO_LARGE;
    try {
        bytes->resize(static_cast<size_t>(size.QuadPart));
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    DWORD read = 0;
    if (!bytes->empty() && !::ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr))
        return LastErrorOfFailure();
    return read == bytes->size() ? ERROR_SUCCESS : ERROR_HANDLE_EOF;
}

BOOL SameFileBytes(const CString& first, const CString& second)
{
    try {
        CFile a;
        CFile b;
        if (!a.Open(first, CFile::modeRead | CFile::shareDenyNone) ||
            !b.Open(second, CFile::modeRead | CFile::shareDenyNone) || a.GetLength() != b.GetLength())
            return FALSE;
        std::vector<BYTE> bufferA(64 * 1024);
        std::vector<BYTE> bufferB(bufferA.size());
        for (;;) {
            const UINT n = a.Read(bufferA.data(), static_cast<UINT>(bufferA.size()));
            if (b.Read(bufferB.data(), static_cast<UINT>(bufferB.size())) != n)
                return FALSE;
            if (n == 0)
                return TRUE;
            if (std::memcmp(bufferA.data(), bufferB.data(), n) != 0)
                return FALSE;
        }
    } catch (CException* e) {
        e->Delete();
    }
    return FALSE;
}

BOOL IsHeldFileError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

namespace {
DWORD s_heldFileWaitMs = kHeldFileWaitMs;
}  // namespace

DWORD GetHeldFileWaitMs()
{
    return s_heldFileWaitMs;
}

void SetHeldFileWaitMs(DWORD waitMs)
{
    s_heldFileWaitMs = waitMs;
}

DWORD OpenHeldFile(const std::function<DWORD()>& open, DWORD waitMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD error = open();
        if (error == ERROR_SUCCESS || !IsHeldFileError(error) || ::GetTickCount() - start >= waitMs)
            return error;
        ::Sleep(kHeldFileRetryMs);
    }
}
