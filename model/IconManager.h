// The cache of item icons. Every registered item carries an icon key; the cache maps each
// key to the small and large shell icon of the item, held as icon handles and kept on disk
// as two single-image ICO files ("<key>.si" and "<key>.li") in its folder, so that an icon
// can be drawn in a later run without asking the shell, also when the item's target is gone.
//
// Items of one kind share a key: every folder "folder", every file of one extension that
// extension. Programs, shortcuts and internet shortcuts (exe, lnk, url) show icons of their
// own, so each of them gets a key of its own, "ext" followed by a number.
//
// Thousands of keys would hold thousands of icons, and the process runs out of GDI objects
// long before the cache runs out of keys: the cache holds at most kMaxHandles icon handles,
// letting go of those asked for least recently whose files can give them back.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/CString.h"
#include "model/IconFile.h"

namespace Model {

class IconManager
{
public:
    struct _ICON_INFO
    {
        CString strKey;
        HICON hSmall = nullptr;
        HICON hLarge = nullptr;
        // Whether the icon's file holds it, so that its handle can be let go of and loaded
        // again, and when the entry was last asked for.
        BOOL bSmallOnDisk = FALSE;
        BOOL bLargeOnDisk = FALSE;
        // Whether there is no file to load the icon from: a look found none in this run, or
        // the icon could not be stored. It is not looked for again until the cache writes it.
        BOOL bNoSmallFile = FALSE;
        BOOL bNoLargeFile = FALSE;
        ULONGLONG nLastUse = 0;
    };

    // The most icon handles the cache holds (each holds two or three GDI objects). Icons
    // that exist only in memory, because their files could not be written, are never let go
    // of: beyond this many of them, an icon that cannot be stored is not kept.
    static constexpr size_t kMaxHandles = 256;

    IconManager();
    IconManager(const IconManager&) = delete;
    IconManager& operator=(const IconManager&) = delete;
    // Empties the list. The icon handles are not destroyed: callers may still be drawing
    // them, and they live until the process ends.
    ~IconManager();

    // Opens the cache folder (the data folder followed by "\fileIcons"), creating it when
    // missing, and finds the number of the next per-item key from the files in it.
    void Init(CString folder);

    // The per-item icon files that were in the folder when it was opened are those of earlier
    // runs; a run that ended before its keys were saved leaves files that no item names.
    BOOL HasEarlierFiles() const { return !m_earlierFiles.empty(); }
    // Deletes, one by one until timeUp says so, the earlier per-item files whose key (in lower
    // case) is not in named. TRUE while some are left to look at. Keys given in this run
    // always number above the earlier files, so their files are never touched.
    BOOL RemoveUnnamedFiles(const std::unordered_set<std::wstring>& named, const std::function<bool()>& timeUp);
    // Keeps every earlier file for the rest of the run.
    void KeepEarlierFiles() { m_earlierFiles.clear(); }
    // A per-item key that a box file names: no new item may be given it, also when its files
    // are gone (they are made again under it).
    void ReserveKey(const CString& key);
    // Makes the icon files of an item's key again from its target when either of them is
    // missing or holds no icon, so that the item, stored with the key, shows its icon again.
    // Only a per-item key or the key of the target's own kind is made (another target's icon
    // would become the icon of a whole kind). TRUE when the shell gave an icon. A per-item key
    // of which Init's listing shows no file is made without a look; other keys' files are
    // read once a run. A file that cannot be read (another program holds it) is left as it
    // is, and so is a name that takes no file (a folder); the other keys are made. Only when
    // the folder itself takes no file is none made again for the rest of the run.
    BOOL RemakeBrokenIcon(int type, const CString& path, const CString& key);

    // Gives the key for an item of the given type (1 file, 2 folder, 3 shortcut, 4 internet
    // shortcut) whose shell icon is that of path, extracting and saving the icons when the key
    // is new. Always TRUE; never raises.
    BOOL RegisterIcon(int type, CString path, CString& key);

    // The icon of a key; size 0 small, 1 large. NULL when it cannot be loaded; a file that
    // gave none is not looked for again in this run (unless the cache writes it). The cache
    // keeps ownership of the handle, which stays valid while fewer than kMaxHandles other
    // icons are asked for: draw it, or copy it, before asking for more.
    HICON GetIcon(CString key, int size);

    // Releases a per-item key ("ext" and a number): destroys its icons and deletes its files.
    // Shared keys are never released.
    void DeleteIcon(CString key);

    const CString& GetFolder() const { return m_strFolder; }
    int GetNextExt() const { return m_nNextExt; }
    const std::vector<_ICON_INFO>& GetIcons() const { return m_icons; }
    // The icon handles the cache holds now.
    size_t GetHandleCount() const { return m_nHandles; }

    // The building blocks, public so that each can be exercised on its own.

    // "<folder>\<key>.si", or ".li" when large.
    CString GetIconPath(CString key, BOOL large) const;
    // Whether the small file of the key exists.
    BOOL IconFileExists(CString key) const;
    // One more than the largest number of the "ext*.si" and "ext*.li" files in the folder,
    // and at least 2. perItemFiles gets the names of those files that hold per-item icons.
    int GetNextExtIndex(std::vector<CString>* perItemFiles = nullptr) const;
    // The shell's icon of an existing file or folder; NULL when the shell gives none or the
    // path is empty.
    static HICON GetShellIcon(CString path, BOOL large);
    // The cache's icon files, written and read by IconFile.
    static BOOL SaveIconFile(HICON icon, int bitCount, CString path);
    static HICON LoadIconFile(CString path);

    // Whether a key names a per-item icon ("ext" followed by digits only).
    static BOOL IsPerItemKey(const CString& key);

private:
    _ICON_INFO* Find(const CString& key);
    // Whether both files of the key hold icons.
    IconFile::State CheckKeyFiles(const CString& key);
    // Asks the shell for both icons of path and saves those it gives under the entry's key;
    // an icon that cannot be saved is kept while the icons held only in memory stay within
    // kMaxHandles. The number of handles kept.
    int FetchShellIcons(_ICON_INFO& entry, const CString& path);
    // Whether the folder takes a new file of an icon's size, so that a save that failed
    // failed for its own name alone.
    BOOL FolderTakesFiles() const;
    // The handles of icons held only in memory, but for those of one entry.
    size_t MemoryOnlyHandles(const _ICON_INFO* except) const;
    // The next per-item key whose number no file and no listed entry uses.
    CString TakePerItemKey();
    // Counts the handles an entry took, marks it as just asked for, and lets go of the
    // handles asked for least recently beyond kMaxHandles (never the entry's own).
    void Took(_ICON_INFO& entry, int handles);
    void DestroyHandles(_ICON_INFO& entry);

    CString m_strFolder;
    int m_nNextExt = 2;
    std::vector<_ICON_INFO> m_icons;
    std::vector<CString> m_earlierFiles;  // file names, not yet looked at by RemoveUnnamedFiles
    // Keys in lower case. Per-item keys of which Init listed a file (its bytes are not looked
    // at yet):
    std::unordered_set<std::wstring> m_listedKeys;
    // Keys whose two files were read as icons or written in this run:
    std::unordered_set<std::wstring> m_wholeKeys;
    BOOL m_bFolderUnwritable = FALSE;
    long m_nRemovedFiles = 0;
    size_t m_nHandles = 0;
    ULONGLONG m_nUses = 0;
};

}  // namespace Model
