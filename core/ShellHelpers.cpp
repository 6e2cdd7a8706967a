#include "core/ShellHelpers.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ProcessFlags.h"
#include "framework/AfxMessageBox.h"
#include "framework/ScopedHandles.h"

BOOL g_bConfirmOpen = FALSE;

namespace {

// The open handle marks this process as the running instance until it ends.
HANDLE g_instanceMutex = nullptr;

BOOL CreateLinkObject(ScopedComPtr<IShellLinkW>& link, ScopedComPtr<IPersistFile>& file)
{
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())) || !link.get())
        return FALSE;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) || !file.get())
        return FALSE;
    return TRUE;
}

}  // namespace

BOOL IsAlreadyRunning(const wchar_t* name)
{
    if (g_instanceMutex)
        return TRUE;
    ScopedKernelHandle mutex(::CreateMutexW(nullptr, FALSE, name));
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return TRUE;
    g_instanceMutex = mutex.release();
    return FALSE;
}

BOOL CreateShortcut(CString target, CString linkPath)
{
    ScopedComPtr<IShellLinkW> link;
    ScopedComPtr<IPersistFile> file;
    HRESULT saved = E_FAIL;
    if (CreateLinkObject(link, file)) {
        link->SetPath(target);
        link->SetWorkingDirectory(GetParentPath(target));
        saved = file->Save(linkPath, TRUE);
    }
    if (SUCCEEDED(saved))
        return TRUE;
    ::SetLastError(HRESULT_FACILITY(saved) == FACILITY_WIN32 ? HRESULT_CODE(saved) : static_cast<DWORD>(saved));
    return FALSE;
}

BOOL ResolveShortcut(CString& out, CString linkPath)
{
    ScopedComPtr<IShellLinkW> link;
    ScopedComPtr<IPersistFile> file;
    if (!CreateLinkObject(link, file))
        return FALSE;
    if (FAILED(file->Load(linkPath, STGM_READ)))
        return FALSE;

    wchar_t buffer[MAX_PATH] = {};
    WIN32_FIND_DATAW found = {};
    // A link to a shell item that is not a file (S_FALSE, no path) has nothing to resolve.
    if (link->GetPath(buffer, MAX_PATH, &found, 0) != S_OK)
        return FALSE;
    buffer[MAX_PATH - 1] = L'\0';
    CString target(buffer);
    if (target.IsEmpty())
        return FALSE;

    if (::PathIsDirectoryW(target) || FileExists(target)) {
        out = target;
    } else if (target.Find(L"Program Files (x86)") >= 0) {
        // The same program installed as a 64-bit program.
        target.Replace(L"Program Files (x86)", L"Program Files");
        out = target;
    } else {
        Log(kLogError, FormatString(L"File not found1 real:%s link:%s", target.GetString(), linkPath.GetString()));
        out = target;
    }
    return TRUE;
}

BOOL CopyFileToClipboard(CString path)
{
    if (!::OpenClipboard(AfxGetMainWndHandle()))
        return FALSE;

    const SIZE_T size = sizeof(DROPFILES) + sizeof(wchar_t) * static_cast<SIZE_T>(path.GetLength()) + 4;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) {
        ::CloseClipboard();
        return FALSE;
    }
    auto* data = static_cast<BYTE*>(::GlobalLock(block));
    if (!data) {
        ::GlobalFree(block);
        ::CloseClipboard();
        return FALSE;
    }
    auto* header = reinterpret_cast<DROPFILES*>(data);
    header->pFiles = sizeof(DROPFILES);
    header->pt = {0, 0};
    header->fNC = FALSE;
    header->fWide = TRUE;
    // The block was zeroed, so the path's NUL and the list's closing NUL are already there.
    std::memcpy(data + sizeof(DROPFILES), path.GetString(), sizeof(wchar_t) * static_cast<size_t>(path.GetLength()));
    ::GlobalUnlock(block);

    ::EmptyClipboard();
    if (!::SetClipboardData(CF_HDROP, block)) {
        // The clipboard took nothing: the block is still ours.
        ::GlobalFree(block);
        ::CloseClipboard();
        return FALSE;
    }
    ::CloseClipboard();
    return TRUE;
}

namespace {

// A drop block of size bytes holds a whole file list: its names start inside it, and each
// name, and the list (an empty name), ends inside it.
BOOL IsWholeDropBlock(const BYTE* data, SIZE_T size)
{
    DROPFILES header = {};
    if (size < sizeof(header))
        return FALSE;
    std::memcpy(&header, data, sizeof(header));
    if (header.pFiles < sizeof(header) || header.pFiles >= size || (header.fWide != FALSE && header.fWide != TRUE))
        return FALSE;
    const SIZE_T unit = header.fWide ? sizeof(wchar_t) : 1;
    SIZE_T nameLength = 0;
    for (SIZE_T at = header.pFiles; at + unit <= size; at += unit) {
        const bool zero = data[at] == 0 && (unit == 1 || data[at + 1] == 0);
        if (!zero)
            ++nameLength;
        else if (nameLength == 0)
            return TRUE;
        else
            nameLength = 0;
    }
    return FALSE;
}

}  // namespace

BOOL ReadDroppedFiles(HDROP drop, std::vector<CString>& paths)
{
    paths.clear();
    const SIZE_T size = drop ? ::GlobalSize(drop) : 0;
    const void* data = size > 0 ? ::GlobalLock(drop) : nullptr;
    const BOOL whole = data && IsWholeDropBlock(static_cast<const BYTE*>(data), size);
    if (data)
        ::GlobalUnlock(drop);
    if (!whole) {
        Log(kLogWarn, FormatString(L"<shell> dropped files: no file list of this program (%p), ignored",
                                   static_cast<const void*>(drop)));
        return FALSE;
    }
    const ScopedDrop finisher(drop);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // The length comes first: a name is read whole, never cut to some buffer's size.
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::vector<wchar_t> name(static_cast<size_t>(length) + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, i, name.data(), length + 1);
        if (copied > 0)
            paths.emplace_back(name.data(), static_cast<int>(copied < length ? copied : length));
    }
    return TRUE;
}

CString LoadResString(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

void ShowWarningMessage(UINT id, UINT flags)
{
    AfxMessageBox(LoadResString(id), flags | MB_ICONEXCLAMATION, 0);
}

int ShowQuestionMessage(UINT id, UINT flags)
{
    const ScopedFlag confirming(g_bConfirmOpen);
    return AfxMessageBox(LoadResString(id), flags | MB_YESNO | MB_ICONQUESTION, 0);
}

CString GetSystemErrorText(DWORD error)
{
    wchar_t buffer[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                          buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    CString text(buffer, static_cast<int>(std::min<DWORD>(length, std::size(buffer) - 1)));
    text.Replace(L'\r', L' ');
    text.Replace(L'\n', L' ');
    text.Trim();
    if (text.IsEmpty())
        text = FormatString(L"Error %lu.", error);
    return text;
}

CString GetOSName(DWORD platformId, DWORD major, DWORD minor)
{
    if (platformId != VER_PLATFORM_WIN32_NT)
        return CString(L"Unknown");
    if (major == 5) {
        switch (minor) {
        case 0: return CString(L"2000");
        case 1: return CString(L"XP");
        case 2: return CString(L"Server 2003");
        default: return CString(L"Unknown (NT)");
        }
    }
    if (major == 6) {
        switch (minor) {
        case 0: return CString(L"Vista");
        case 1: return CString(L"7");
        case 2: return CString(L"8");
        default: return CString(L"Unknown");
        }
    }
    return CString();
}

BOOL GetOSInfo(CString* name, CString* servicePack, int* major, int* minor)
{
    if (name)
        name->Empty();
    if (servicePack)
        servicePack->Empty();
    if (major)
        *major = 0;
    if (minor)
        *minor = 0;

    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info))
        return FALSE;
#pragma GCC diagnostic pop
    info.szCSDVersion[127] = L'\0';
    if (name)
        *name = GetOSName(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
    if (servicePack)
        *servicePack = info.szCSDVersion;
    if (major)
        *major = static_cast<int>(info.dwMajorVersion);
    if (minor)
        *minor = static_cast<int>(info.dwMinorVersion);
    return TRUE;
}

int UILanguageCode(LANGID language)
{
    if (language == 1041)
        return 0;
    if (language == 1033)
        return 1;
    return 2;
}

int GetUILanguage()
{
    return UILanguageCode(::GetUserDefaultUILanguage());
}

CString GetAppVersion()
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */);
    if (!found)
        return CString();
    const DWORD size = ::SizeofResource(module, found);
    HGLOBAL loaded = ::LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return CString();

    // The root block: length, value length, type, the key "VS_VERSION_INFO" with its NUL,
    // padding to a 32-bit boundary, then the fixed file information.
    static const wchar_t key[] = L"VS_VERSION_INFO";
    const size_t keyOffset = 6;
    const size_t valueOffset = (keyOffset + sizeof(key) + 3) & ~static_cast<size_t>(3);
    if (size < valueOffset + sizeof(VS_FIXEDFILEINFO))
        return CString();
    WORD valueLength = 0;
    std::memcpy(&valueLength, data + 2, sizeof(valueLength));
    if (valueLength < sizeof(VS_FIXEDFILEINFO) || std::memcmp(data + keyOffset, key, sizeof(key)) != 0)
        return CString();
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, data + valueOffset, sizeof(fixed));
    if (fixed.dwSignature != 0xFEEF04BD)
        return CString();
    return FormatString(L"%d.%d.%d.%d", HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                        HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS));
}

int ParseVersionNumber(CString text)
{
    if (text.GetLength() < 7 || text[1] != L'.' || text[3] != L'.' || text[5] != L'.')
        return 0;
    return (text[0] - L'0') * 1000 + (text[2] - L'0') * 100 + (text[4] - L'0') * 10 + (text[6] - L'0');
}

void GetTaskbarInfo(RECT* rect, BOOL* autoHide, UINT* edge)
{
    APPBARDATA data = {};
    data.cbSize = sizeof(data);
    const UINT_PTR state = ::SHAppBarMessage(ABM_GETSTATE, &data);
    if (autoHide)
        *autoHide = (state & ABS_AUTOHIDE) ? TRUE : FALSE;
    data = {};
    data.cbSize = sizeof(data);
    ::SHAppBarMessage(ABM_GETTASKBARPOS, &data);
    if (edge)
        *edge = data.uEdge;
    if (rect)
        *rect = data.rc;
}

RECT GetVirtualScreenRect()
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{ left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN) };
}

BOOL IsBeyondScreenX(int x)
{
    return x > ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN) ? TRUE : FALSE;
}

BOOL IsBeyondScreenY(int y)
{
    return y > ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN) ? TRUE : FALSE;
}
