#include "model/IconManager.h"

#include <shellapi.h>
#include <commctrl.h>

#include <cwchar>
#include <new>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "framework/CException.h"
#include "framework/CFileFind.h"
#include "framework/ScopedHandles.h"

namespace Model {

namespace {

const int kFolderType = 2;

// Numbers of "ext" files beyond this are not counted, so the counter can never overflow.
const long kMaxExtNumber = 999999999;

// Names that Windows opens as devices whatever extension follows them ("aux.si" is AUX).
bool IsDeviceName(const CString& key)
{
    CString lower(key);
    lower.MakeLower();
    for (const wchar_t* device : {L"con", L"prn", L"aux", L"nul"}) {
        if (lower == device)
            return true;
    }
    return lower.GetLength() == 4 && (lower.Left(3) == L"com" || lower.Left(3) == L"lpt") &&
           lower[3] >= L'1' && lower[3] <= L'9';
}

// A key is used as a file name in the cache folder: it must not reach out of it (a folder
// name with a dot gives an "extension" holding a backslash) nor name a stream or a device.
bool IsPlainKey(const CString& key)
{
    for (int i = 0; i < key.GetLength(); ++i) {
        const wchar_t ch = key[i];
        if (ch < 0x20 || std::wcschr(L"\\/:*?\"<>|", ch))
            return false;
    }
    return !IsDeviceName(key);
}

bool ParseExtNumber(const CString& title, long& number)
{
    // "ext" and the digits that follow it; no digits count as 0.
    number = 0;
    for (int i = 3; i < title.GetLength(); ++i) {
        const wchar_t ch = title[i];
        if (ch < L'0' || ch > L'9')
            break;
        number = number * 10 + (ch - L'0');
        if (number > kMaxExtNumber)
            return false;
    }
    return true;
}

// The key that every item of a kind shares: "folder", or the target's extension.
CString KindKey(int type, const CString& path)
{
    const CString key = type == kFolderType ? CString(L"folder") : GetExtension(path);
    return IsPlainKey(key) ? key : CString();  // the key of files without an extension
}

// Programs, shortcuts and internet shortcuts show icons of their own.
bool IsOwnIconKind(const CString& kind)
{
    return kind == L"exe" || kind == L"lnk" || kind == L"url";
}

std::wstring Lower(CString text)
{
    text.MakeLower();
    return text.GetString();
}

void LogCaught(const wchar_t* where)
{
    try {
        Log(kLogError, where);
    } catch (...) {
    }
}

}  // namespace

// ---------------------------------------------------------------- the cache

IconManager::IconManager() = default;

IconManager::~IconManager() = default;

void IconManager::Init(CString folder)
{
    m_strFolder = folder;
    m_earlierFiles.clear();
    m_listedKeys.clear();
    m_wholeKeys.clear();
    m_bFolderUnwritable = FALSE;
    m_nNextExt = GetNextExtIndex(&m_earlierFiles);
    CreateDirectoryTree(m_strFolder);
    // The listing ("<key>.si" and "<key>.li" files) tells which per-item keys have no file
    // at all, without a look per item.
    for (const CString& name : m_earlierFiles)
        m_listedKeys.insert(Lower(name.Left(name.ReverseFind(L'.'))));
}

void IconManager::ReserveKey(const CString& key)
{
    long number = 0;
    if (IsPerItemKey(key) && ParseExtNumber(key, number) && number >= m_nNextExt)
        m_nNextExt = static_cast<int>(number + 1);
}

BOOL IconManager::IsPerItemKey(const CString& key)
{
    if (key.GetLength() < 4 || key.Left(3) != CString(L"ext"))
        return FALSE;
    for (int i = 3; i < key.GetLength(); ++i) {
        if (key[i] < L'0' || key[i] > L'9')
            return FALSE;
    }
    return TRUE;
}

IconManager::_ICON_INFO* IconManager::Find(const CString& key)
{
    for (_ICON_INFO& info : m_icons) {
        if (info.strKey == key)
            return &info;
    }
    return nullptr;
}

CString IconManager::TakePerItemKey()
{
    // Files of an earlier run (or another program) may hold a number the counter has not
    // reached: two items must never share one pair of files.
    for (;;) {
        const CString key = FormatString(L"ext%d", m_nNextExt);
        ++m_nNextExt;
        if (!FileExists(GetIconPath(key, FALSE)) && !FileExists(GetIconPath(key, TRUE)) && !Find(key))
            return key;
    }
}

BOOL IconManager::RegisterIcon(int type, CString path, CString& key)
{
    try {
        const CString k = KindKey(type, path);

        // "exe", "lnk" and "url" items show icons of their own; so does a file whose
        // extension looks like a per-item key, which must not take over another item's icon.
        const bool shapedLikePerItem = IsPerItemKey(k) != FALSE;
        if (!shapedLikePerItem) {
            if (_ICON_INFO* listed = Find(k)) {
                key = k;
                // An earlier item of this kind had no shell icon (its target was gone): this
                // one may have one, or the kind would stay without an icon.
                if (!listed->hSmall && !listed->hLarge && !IconFileExists(k))
                    Took(*listed, FetchShellIcons(*listed, path));
                return TRUE;
            }
            if (IconFileExists(k)) {
                _ICON_INFO entry;
                entry.strKey = k;
                entry.hSmall = LoadIconFile(GetIconPath(k, FALSE));
                entry.hLarge = LoadIconFile(GetIconPath(k, TRUE));
                entry.bSmallOnDisk = entry.hSmall != nullptr;
                entry.bLargeOnDisk = entry.hLarge != nullptr;
                entry.bNoSmallFile = !entry.bSmallOnDisk;
                entry.bNoLargeFile = !entry.bLargeOnDisk;
                if (entry.hSmall && entry.hLarge)
                    m_wholeKeys.insert(Lower(k));
                key = k;
                m_icons.push_back(entry);
                Took(m_icons.back(), (entry.hSmall ? 1 : 0) + (entry.hLarge ? 1 : 0));
                return TRUE;
            }
        }

        _ICON_INFO entry;
        if (shapedLikePerItem || IsOwnIconKind(k))
            entry.strKey = TakePerItemKey();
        else
            entry.strKey = k;
        key = entry.strKey;

        const int handles = FetchShellIcons(entry, path);
        m_icons.push_back(entry);
        Took(m_icons.back(), handles);
    } catch (CException* e) {
        LogException(kLogError, L"<icon> RegisterIcon", __LINE__, e);
    } catch (const std::bad_alloc&) {
        LogCaught(L"<icon> RegisterIcon: out of memory");
    } catch (...) {
        LogCaught(L"<icon> RegisterIcon failed");
    }
    return TRUE;
}

IconFile::State IconManager::CheckKeyFiles(const CString& key)
{
    const std::wstring lower = Lower(key);
    if (m_wholeKeys.count(lower))
        return IconFile::State::Whole;
    // Every per-item file there was is in the listing, and those written since are whole. A
    // listed file is read whatever its size: one that another program holds may show none.
    if (IsPerItemKey(key) && !m_listedKeys.count(lower))
        return IconFile::State::Broken;
    // A file that cannot be read is never written over, so its key is not made again.
    IconFile::State result = IconFile::State::Whole;
    for (const BOOL large : {FALSE, TRUE}) {
        const IconFile::State file = IconFile::Check(GetIconPath(key, large));
        if (file == IconFile::State::Unreadable || result == IconFile::State::Whole)
            result = file;
    }
    if (result == IconFile::State::Whole)
        m_wholeKeys.insert(lower);
    return result;
}

BOOL IconManager::RemakeBrokenIcon(int type, const CString& path, const CString& key)
{
    try {
        const CString kind = KindKey(type, path);
        const BOOL allowed = IsPerItemKey(key) || (key == kind && !IsOwnIconKind(kind));
        if (m_bFolderUnwritable || path.IsEmpty() || !allowed || !IsPlainKey(key) ||
            CheckKeyFiles(key) != IconFile::State::Broken || ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
            return FALSE;
        _ICON_INFO* entry = Find(key);
        if (entry) {
            DestroyHandles(*entry);
        } else {
            m_icons.emplace_back();
            entry = &m_icons.back();
            entry->strKey = key;
        }
        Took(*entry, FetchShellIcons(*entry, path));
        if (entry->bSmallOnDisk && entry->bLargeOnDisk)
            Log(kLogInfo, CString(L"<icon> missing or broken icon files made again:") + key);
        return entry->hSmall || entry->hLarge;
    } catch (CException* e) {
        LogException(kLogError, L"<icon> RemakeBrokenIcon", __LINE__, e);
    } catch (...) {
        LogCaught(L"<icon> RemakeBrokenIcon failed");
    }
    return FALSE;
}

int IconManager::FetchShellIcons(_ICON_INFO& entry, const CString& path)
{
    entry.hSmall = GetShellIcon(path, FALSE);
    entry.hLarge = GetShellIcon(path, TRUE);
    entry.bSmallOnDisk = entry.hSmall && SaveIconFile(entry.hSmall, 32, GetIconPath(entry.strKey, FALSE));
    entry.bLargeOnDisk = entry.hLarge && SaveIconFile(entry.hLarge, 32, GetIconPath(entry.strKey, TRUE));
    // An icon that could not be stored has no file to look for once it is let go of.
    entry.bNoSmallFile = entry.hSmall && !entry.bSmallOnDisk;
    entry.bNoLargeFile = entry.hLarge && !entry.bLargeOnDisk;
    if (entry.bSmallOnDisk && entry.bLargeOnDisk)
        m_wholeKeys.insert(Lower(entry.strKey));
    if ((entry.hSmall && !entry.bSmallOnDisk) || (entry.hLarge && !entry.bLargeOnDisk)) {
        // A name that takes no file (a folder, a file another program holds) is left as it
        // is. A folder that takes none (disk full, no rights) would fail every remake, and
        // each would hold its icons in memory for good.
        if (!m_bFolderUnwritable) {
            m_bFolderUnwritable = !FolderTakesFiles();
            if (m_bFolderUnwritable)
                Log(kLogWarn, L"<icon> the icon folder cannot be written: no icon files are made again in this run");
            else
                Log(kLogWarn, CString(L"<icon> an icon file cannot be written, left as it is:") + entry.strKey);
        }
        size_t memoryOnly = MemoryOnlyHandles(&entry);
        for (const BOOL large : {FALSE, TRUE}) {
            HICON& handle = large ? entry.hLarge : entry.hSmall;
            if (!handle || (large ? entry.bLargeOnDisk : entry.bSmallOnDisk))
                continue;
            if (memoryOnly < kMaxHandles) {
                ++memoryOnly;
                continue;
            }
            ::DestroyIcon(handle);
            handle = nullptr;
        }
    }
    return (entry.hSmall ? 1 : 0) + (entry.hLarge ? 1 : 0);
}

BOOL IconManager::FolderTakesFiles() const
{
    // A file of a large icon's size that goes again when it is closed, also if the process
    // ends before.
    const CString probe = FormatString(L"%s\\~write-test%lu.tmp", m_strFolder.GetString(), ::GetCurrentProcessId());
    const ScopedFile file(::CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE,
                                        nullptr));
    const std::vector<BYTE> bytes(4286, 0);
    DWORD written = 0;
    return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

size_t IconManager::MemoryOnlyHandles(const _ICON_INFO* except) const
{
    size_t count = 0;
    for (const _ICON_INFO& info : m_icons) {
        if (&info == except)
            continue;
        count += (info.hSmall && !info.bSmallOnDisk ? 1 : 0) + (info.hLarge && !info.bLargeOnDisk ? 1 : 0);
    }
    return count;
}

void IconManager::Took(_ICON_INFO& entry, int handles)
{
    m_nHandles += static_cast<size_t>(handles);
    entry.nLastUse = ++m_nUses;
    while (m_nHandles > kMaxHandles) {
        // The least recently asked-for handle that its file can give back.
        _ICON_INFO* oldest = nullptr;
        for (_ICON_INFO& info : m_icons) {
            const bool releasable = (info.hSmall && info.bSmallOnDisk) || (info.hLarge && info.bLargeOnDisk);
            if (releasable && &info != &entry && (!oldest || info.nLastUse < oldest->nLastUse))
                oldest = &info;
        }
        if (!oldest)
            return;
        for (HICON* handle : {&oldest->hSmall, &oldest->hLarge}) {
            const BOOL onDisk = handle == &oldest->hSmall ? oldest->bSmallOnDisk : oldest->bLargeOnDisk;
            if (*handle && onDisk) {
                ::DestroyIcon(*handle);
                *handle = nullptr;
                --m_nHandles;
            }
        }
    }
}

void IconManager::DestroyHandles(_ICON_INFO& entry)
{
    for (HICON* handle : {&entry.hSmall, &entry.hLarge}) {
        if (*handle) {
            ::DestroyIcon(*handle);
            *handle = nullptr;
            --m_nHandles;
        }
    }
}

HICON IconManager::GetIcon(CString key, int size)
{
    const BOOL large = size != 0;
    if (!IsPlainKey(key)) {
        Log(kLogWarn, CString(L"Can't load icon:") + key);
        return nullptr;
    }
    _ICON_INFO* entry = Find(key);
    if (!entry) {
        // Listed also when its file gives no icon, so that the file is looked for once a run.
        try {
            m_icons.emplace_back();
        } catch (...) {
            return nullptr;
        }
        entry = &m_icons.back();
        entry->strKey = key;
    }
    HICON& handle = large ? entry->hLarge : entry->hSmall;
    BOOL& noFile = large ? entry->bNoLargeFile : entry->bNoSmallFile;
    int loaded = 0;
    if (!handle && !noFile) {
        handle = LoadIconFile(GetIconPath(key, large));
        loaded = handle ? 1 : 0;
        noFile = !handle;
        if (handle)
            (large ? entry->bLargeOnDisk : entry->bSmallOnDisk) = TRUE;
    }
    const HICON result = handle;
    Took(*entry, loaded);
    return result;
}

void IconManager::DeleteIcon(CString key)
{
    if (!IsPerItemKey(key))
        return;
    for (auto it = m_icons.begin(); it != m_icons.end(); ++it) {
        if (it->strKey != key)
            continue;
        DestroyHandles(*it);
        ::DeleteFileW(GetIconPath(key, FALSE));
        ::DeleteFileW(GetIconPath(key, TRUE));
        m_listedKeys.erase(Lower(key));
        m_wholeKeys.erase(Lower(key));
        m_icons.erase(it);
        return;
    }
}

CString IconManager::GetIconPath(CString key, BOOL large) const
{
    return FormatString(L"%s\\%s.%s", m_strFolder.GetString(), key.GetString(), large ? L"li" : L"si");
}

BOOL IconManager::IconFileExists(CString key) const
{
    return FileExists(GetIconPath(key, FALSE));
}

BOOL IconManager::RemoveUnnamedFiles(const std::unordered_set<std::wstring>& named,
                                     const std::function<bool()>& timeUp)
{
    while (!m_earlierFiles.empty()) {
        CString name = m_earlierFiles.back();
        m_earlierFiles.pop_back();
        CString key = name.Left(name.ReverseFind(L'.'));
        key.MakeLower();
        if (named.count(key.GetString()) == 0 && ::DeleteFileW(m_strFolder + L"\\" + name))
            ++m_nRemovedFiles;
        if (timeUp && timeUp() && !m_earlierFiles.empty())
            return TRUE;
    }
    if (m_nRemovedFiles)
        LogValue(kLogInfo, L"<icon> icon files that no item names, removed:", m_nRemovedFiles);
    m_nRemovedFiles = 0;
    return FALSE;
}

int IconManager::GetNextExtIndex(std::vector<CString>* perItemFiles) const
{
    long largest = 1;
    for (const wchar_t* suffix : {L"si", L"li"}) {
        const CString pattern = FormatString(L"%s\\ext*.%s", m_strFolder.GetString(), suffix);
        CFileFind finder;
        BOOL more = finder.FindFile(pattern);
        while (more) {
            more = finder.FindNextFile();
            if (finder.IsDirectory())
                continue;
            const CString title = finder.GetFileName();
            const int dot = title.ReverseFind(L'.');
            if (dot < 3 || title.Mid(dot + 1).CompareNoCase(suffix) != 0 ||
                title.Left(3).CompareNoCase(L"ext") != 0)
                continue;
            long number = 0;
            if (ParseExtNumber(title.Left(dot), number) && number > largest)
                largest = number;
            CString key = title.Left(dot);
            key.MakeLower();
            if (perItemFiles && IsPerItemKey(key))
                perItemFiles->push_back(title);
        }
    }
    return static_cast<int>(largest + 1);
}

HICON IconManager::GetShellIcon(CString path, BOOL large)
{
    // An item whose target could not be resolved has no path; the shell would answer with
    // some icon of its own, which must not become the icon of every file without extension.
    if (path.IsEmpty())
        return nullptr;
    // The icon at the item's place in the shell's own image list, which is what SHGFI_ICON
    // gives too, for a part of its cost: under Wine an internet shortcut's large icon costs
    // some 45 ms that way against 4 ms this way.
    SHFILEINFOW info = {};
    const UINT flags = SHGFI_SYSICONINDEX | (large ? 0u : static_cast<UINT>(SHGFI_SMALLICON));
    const auto list = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(path, 0xFFFFFFFF, &info, sizeof(info), flags));
    if (!list)
        return nullptr;
    return ::ImageList_GetIcon(list, info.iIcon, ILD_NORMAL);
}

BOOL IconManager::SaveIconFile(HICON icon, int bitCount, CString path)
{
    return IconFile::Save(icon, bitCount, path);
}

HICON IconManager::LoadIconFile(CString path)
{
    return IconFile::Load(path);
}

}  // namespace Model
