#include "model/CTarneloInfo.h"

#include <shellapi.h>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "model/IconManager.h"

namespace Model {

namespace {

// The part of a file name before its last dot and the part from the dot on.
void SplitName(const CString& fileName, CString& title, CString& extension)
{
    const int dot = fileName.ReverseFind(L'.');
    if (dot <= 0) {
        title = fileName;
        extension.Empty();
    } else {
        title = fileName.Left(dot);
        extension = fileName.Mid(dot);
    }
}

BOOL IsDriveRoot(const CString& path)
{
    return (path.GetLength() == 2 || (path.GetLength() == 3 && path[2] == L'\\')) && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

}  // namespace

CTarneloInfo::_SCREEN_INFO CTarneloInfo::GetSystemScreenInfo()
{
    _SCREEN_INFO screen;
    screen.rcVirtual = GetVirtualScreenRect();
    ::GetTaskbarInfo(&screen.rcTaskbar, &screen.bTaskbarAutoHide, &screen.nTaskbarEdge);
    return screen;
}

CTarneloInfo::CTarneloInfo()
    : m_nId(0), m_bVisible(TRUE), m_pos{0, 0}, m_nHotKeyModifiers(0), m_nHotKeyKey(0), m_nReserved(0),
      m_color(0xFF404040)
{
}

CTarneloInfo::~CTarneloInfo() = default;

CTarneloInfo::_ITEM* CTarneloInfo::FindItem(const CString& name)
{
    for (_ITEM& item : m_items) {
        if (item.strName == name)
            return &item;
    }
    return nullptr;
}

const CTarneloInfo::_ITEM* CTarneloInfo::FindItemByPath(const CString& path) const
{
    for (const _ITEM& item : m_items) {
        if (item.strPath == path)
            return &item;
    }
    return nullptr;
}

void CTarneloInfo::ResolveItem(_ITEM& item)
{
    item.bResolvePending = FALSE;
    if (item.nType == ITEM_TYPE_SHORTCUT || item.nType == ITEM_TYPE_INTERNET_SHORTCUT) {
        item.strResolvedPath = item.strPath;
        item.bExists = TRUE;
        return;
    }
    item.bExists = ResolveShortcut(item.strResolvedPath, item.strPath);
    if (item.bExists)
        return;
    item.strResolvedPath.Empty();
    if (GetExtension(item.strPath) == L"url") {
        item.nType = ITEM_TYPE_INTERNET_SHORTCUT;
        item.bExists = TRUE;
        item.strResolvedPath = item.strPath;
    }
}

void CTarneloInfo::ResolvePendingItems()
{
    for (_ITEM& item : m_items) {
        if (item.bResolvePending)
            ResolveItem(item);
    }
}

BOOL CTarneloInfo::DoPendingWork(const std::function<bool()>& timeUp, BOOL* pKeyRegistered, BOOL* pIconMade)
{
    for (_ITEM& item : m_items) {
        if (!item.bResolvePending && !item.bKeyPending && !item.bIconCheckPending)
            continue;
        if (item.bResolvePending)
            ResolveItem(item);
        if (item.bKeyPending) {
            // The key comes from the resolved target, so it waits for the resolving.
            item.bKeyPending = FALSE;
            if (m_pIconManager) {
                m_pIconManager->RegisterIcon(static_cast<int>(item.nType), item.strResolvedPath, item.strIconKey);
                if (pKeyRegistered)
                    *pKeyRegistered = TRUE;
            }
        } else if (item.bIconCheckPending && item.bExists && m_pIconManager) {
            const int type = static_cast<int>(item.nType);
            if (m_pIconManager->RemakeBrokenIcon(type, item.strResolvedPath, item.strIconKey) && pIconMade)
                *pIconMade = TRUE;
        }
        item.bIconCheckPending = FALSE;
        if (timeUp && timeUp())
            return TRUE;
    }
    return FALSE;
}

BOOL CTarneloInfo::IsInBoxFolder(const CString& path) const
{
    if (m_strFolder.IsEmpty())
        return FALSE;
    const int slash = path.ReverseFind(L'\\');
    if (slash < 0)
        return FALSE;
    const CString name = path.Mid(slash + 1);
    // A name that could climb out of the folder or name another drive does not count.
    if (name.IsEmpty() || name == L"." || name == L".." || name.Find(L'/') >= 0 || name.Find(L':') >= 0)
        return FALSE;
    return path.Left(slash).CompareNoCase(m_strFolder) == 0;
}

CString CTarneloInfo::MakeUniqueDest(const CString& fileName, const _ITEM* self) const
{
    CString title, extension;
    SplitName(fileName, title, extension);
    for (int n = 1;; ++n) {
        CString candidate;
        if (n == 1)
            candidate.Format(L"%s\\%s", m_strFolder.GetString(), fileName.GetString());
        else
            candidate.Format(L"%s\\%s (%d)%s", m_strFolder.GetString(), title.GetString(), n,
                             extension.GetString());
        bool taken = false;
        const CString candidateName = ExtractFileName(candidate);
        for (const _ITEM& item : m_items) {
            // File names in one folder are the same file whatever their case. A name that
            // another item goes by is left too: an item may be named after its file.
            if (&item != self && (item.strPath.CompareNoCase(candidate) == 0 || item.strName == candidateName)) {
                taken = true;
                break;
            }
        }
        // A file that no item names may still be named elsewhere (a kept copy of a damaged
        // box file, a box file brought back): it is never replaced. An item placed again
        // over its own file does not come here.
        if (!taken && ::GetFileAttributesW(candidate) != INVALID_FILE_ATTRIBUTES)
            taken = true;
        if (!taken)
            return candidate;
    }
}

BOOL CTarneloInfo::AddItem(CString name, CString path, BOOL bMove, DWORD* pError)
{
    const auto fail = [pError](DWORD error) {
        if (pError)
            *pError = error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
        return FALSE;
    };
    if (pError)
        *pError = ERROR_SUCCESS;
    // "C:\Work\" is the folder C:\Work; a drive root keeps its backslash.
    CString source = path;
    while (source.GetLength() > 3 && source[source.GetLength() - 1] == L'\\')
        source = source.Left(source.GetLength() - 1);
    const BOOL driveRoot = IsDriveRoot(source);
    if (driveRoot && source.GetLength() == 2)
        source += L'\\';

    // A folder is a folder whatever its name ends in; only files are typed by extension.
    UINT type = ITEM_TYPE_FILE;
    if (IsDirectory(source)) {
        type = ITEM_TYPE_FOLDER;
    } else {
        const CString extension = GetExtension(source);
        if (extension == L"lnk")
            type = ITEM_TYPE_SHORTCUT;
        else if (extension == L"url")
            type = ITEM_TYPE_INTERNET_SHORTCUT;
    }
    Log(kLogInfo, FormatString(L"<boxinfo> AddItem:%s type:%d", path.GetString(), static_cast<int>(type)));
    if (m_bBoxFileUnread) {
        Log(kLogWarn, L"<boxinfo> AddItem refused: the box file is not read, its files stay as they are");
        return fail(ERROR_ACCESS_DENIED);
    }

    if (m_strFolder.IsEmpty() || source.IsEmpty()) {
        Log(kLogError, L"<boxinfo> AddItem: no box folder or no path");
        return fail(ERROR_PATH_NOT_FOUND);
    }

    // The file name in the box folder: shortcut files keep their own name; every other
    // file or folder gets a shortcut named after its title (a drive after its letter).
    if (!driveRoot && ExtractFileName(source).IsEmpty()) {
        Log(kLogError, FormatString(L"<boxinfo> AddItem: no file name in %s", path.GetString()));
        return fail(ERROR_INVALID_NAME);
    }
    CString fileName;
    if (driveRoot) {
        fileName = source.Left(1) + L".lnk";
        if (name.IsEmpty())
            name = source.Left(1);
    } else if (type == ITEM_TYPE_SHORTCUT || type == ITEM_TYPE_INTERNET_SHORTCUT) {
        fileName = ExtractFileName(source);
    } else {
        CString title = ExtractFileTitle(source);
        if (title.IsEmpty())
            title = ExtractFileName(source);
        fileName = title + L".lnk";
    }
    if (name.IsEmpty())
        name = ExtractFileName(source);

    // An item registered again keeps its own file when that file is its alone; otherwise
    // the file takes a name that no other item's file has (a.txt and a.doc both want a.lnk).
    const BOOL userFile = type == ITEM_TYPE_SHORTCUT || type == ITEM_TYPE_INTERNET_SHORTCUT;
    _ITEM* existing = FindItem(name);
    CString dest;
    if (existing && (userFile || bMove) && source.CompareNoCase(existing->strPath) != 0) {
        // A shortcut file is the user's own, and the item's file may be the only copy of
        // another (a moved one): a file under a registered name replaces nothing. The same
        // bytes again are the item as it is; other bytes become an item of their own, named
        // after the free name their file takes.
        if (userFile && SameFileBytes(source, existing->strPath)) {
            Log(kLogInfo, FormatString(L"<boxinfo> AddItem: %s is the item's file already", source.GetString()));
            return TRUE;
        }
        existing = nullptr;
        dest = MakeUniqueDest(fileName, nullptr);
        name = ExtractFileName(dest);
    } else if (existing && IsInBoxFolder(existing->strPath)) {
        CString oldTitle, oldExtension, newTitle, newExtension;
        SplitName(ExtractFileName(existing->strPath), oldTitle, oldExtension);
        SplitName(fileName, newTitle, newExtension);
        bool shared = false;
        for (const _ITEM& item : m_items) {
            if (&item != existing && item.strPath.CompareNoCase(existing->strPath) == 0)
                shared = true;
        }
        if (!shared && oldExtension.CompareNoCase(newExtension) == 0)
            dest = existing->strPath;
    }
    if (dest.IsEmpty())
        dest = MakeUniqueDest(fileName, existing);

    // Place the file. A failure registers nothing, and an existing file is only replaced
    // once the new one is in hand.
    const bool alreadyThere = existing && dest == existing->strPath && source.CompareNoCase(dest) == 0;
    if (type == ITEM_TYPE_SHORTCUT || type == ITEM_TYPE_INTERNET_SHORTCUT) {
        if (alreadyThere) {
            // The item's own file registered again: it is in place already. Any other file
            // of the box folder is placed under a free name like a file from elsewhere.
        } else if (bMove) {
            if (!::MoveFileExW(source, dest, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
                const long error = static_cast<long>(::GetLastError());
                LogValue(kLogError, FormatString(L"<boxinfo> AddItem: move failed %s -> %s le:", source.GetString(),
                                               dest.GetString()),
                         error);
                return fail(static_cast<DWORD>(error));
            }
        } else if (!::CopyFileW(source, dest, FALSE)) {
            const long error = static_cast<long>(::GetLastError());
            LogValue(kLogError, FormatString(L"<boxinfo> AddItem: copy failed %s -> %s le:", source.GetString(),
                                           dest.GetString()),
                     error);
            return fail(static_cast<DWORD>(error));
        }
    } else {
        // Files and folders themselves are never moved into the box, only linked to: the
        // user's own file must not end up where deleting the item would delete it.
        // A shortcut to nothing would register an item that cannot be opened.
        if (!FileExists(source)) {
            Log(kLogError, FormatString(L"<boxinfo> AddItem: not found %s", source.GetString()));
            return fail(ERROR_FILE_NOT_FOUND);
        }
        if (!CreateShortcut(source, dest)) {
            const DWORD error = ::GetLastError();
            LogValue(kLogError, FormatString(L"<boxinfo> AddItem: shortcut failed %s -> %s le:", source.GetString(),
                                           dest.GetString()),
                     static_cast<long>(error));
            return fail(error);
        }
    }

    if (existing) {
        existing->strPath = dest;
        return TRUE;
    }

    _ITEM item;
    item.nType = type;
    item.strName = name;
    item.strPath = dest;
    if (type == ITEM_TYPE_SHORTCUT || type == ITEM_TYPE_INTERNET_SHORTCUT) {
        item.strResolvedPath = dest;
        item.bExists = TRUE;
    } else {
        item.bExists = ResolveShortcut(item.strResolvedPath, dest);
        if (!item.bExists)
            item.strResolvedPath.Empty();
    }
    if (m_pIconManager)
        m_pIconManager->RegisterIcon(static_cast<int>(item.nType), item.strResolvedPath, item.strIconKey);
    m_items.push_back(item);
    return TRUE;
}

BOOL CTarneloInfo::RenameItem(CString oldName, CString newName)
{
    Log(kLogInfo, CString(L"<boxinfo> rename:") + newName);
    _ITEM* item = FindItem(oldName);
    if (!item)
        return FALSE;
    if (newName.IsEmpty()) {
        Log(kLogWarn, L"<boxinfo> rename: empty name refused");
        return FALSE;
    }
    for (const _ITEM& other : m_items) {
        if (&other != item && other.strName == newName) {
            Log(kLogWarn, L"<boxinfo> rename: name already used");
            return FALSE;
        }
    }
    item->strName = newName;
    return TRUE;
}

BOOL CTarneloInfo::DeleteItem(CString name)
{
    Log(kLogInfo, CString(L"<boxinfo> delete:") + name);
    if (m_bBoxFileUnread) {
        Log(kLogWarn, L"<boxinfo> delete refused: the box file is not read, its files stay as they are");
        return FALSE;
    }
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->strName != name)
            continue;
        if (m_pIconManager)
            m_pIconManager->DeleteIcon(it->strIconKey);
        // Only the box's own files are deleted: a path from elsewhere (an edited box file)
        // may be anyone's file.
        if (IsInBoxFolder(it->strPath)) {
            if (!::DeleteFileW(it->strPath)) {
                const DWORD error = ::GetLastError();
                if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                    LogValue(kLogWarn, FormatString(L"<boxinfo> delete: file kept %s le:", it->strPath.GetString()),
                             static_cast<long>(error));
            }
        } else {
            Log(kLogWarn, FormatString(L"<boxinfo> delete: not in the box folder, file kept: %s",
                                      it->strPath.GetString()));
        }
        m_items.erase(it);
        return TRUE;
    }
    return FALSE;
}

BOOL CTarneloInfo::AdjustPosition()
{
    return AdjustPosition(GetSystemScreenInfo());
}

BOOL CTarneloInfo::AdjustPosition(const _SCREEN_INFO& screen)
{
    const RECT& vs = screen.rcVirtual;
    LONG x = m_pos.x;
    LONG y = m_pos.y;
    // The test leaves 32 pixels of the box on the screen; the correction leaves 40. Stored
    // positions may be anything, so the sums are taken wide.
    if (x < vs.left)
        x = vs.left + 5;
    else if (static_cast<LONGLONG>(x) + 32 > vs.right)
        x = vs.right - 40;
    if (y < vs.top)
        y = vs.top + 5;
    else if (static_cast<LONGLONG>(y) + 32 > vs.bottom)
        y = vs.bottom - 40;

    const POINT corrected = {x, y};
    if (!screen.bTaskbarAutoHide && ::PtInRect(&screen.rcTaskbar, corrected)) {
        switch (screen.nTaskbarEdge) {
        case ABE_LEFT: x = screen.rcTaskbar.right + 5; break;
        case ABE_TOP: y = screen.rcTaskbar.bottom + 5; break;
        case ABE_RIGHT: x = screen.rcTaskbar.left - 32; break;
        case ABE_BOTTOM: y = screen.rcTaskbar.top - 32; break;
        default: break;
        }
    }
    const BOOL moved = (x != m_pos.x || y != m_pos.y) ? TRUE : FALSE;
    m_pos.x = x;
    m_pos.y = y;
    return moved;
}

}  // namespace Model
