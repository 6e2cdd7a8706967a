// One box: its id, place on the desktop, title, icon image, hot key and the ordered list
// of its registered items. Every item refers to a file of the box's own folder: a copied
// or moved shortcut, or a shortcut made for a file or folder.
#pragma once

#include <windows.h>

#include <functional>
#include <list>

#include "framework/CObject.h"
#include "framework/CString.h"

namespace Model {

class IconManager;

// Item types as stored in the box file and used by the icon cache.
inline constexpr UINT ITEM_TYPE_FILE = 1;
inline constexpr UINT ITEM_TYPE_FOLDER = 2;
inline constexpr UINT ITEM_TYPE_SHORTCUT = 3;
inline constexpr UINT ITEM_TYPE_INTERNET_SHORTCUT = 4;

class CTarneloInfo : public CObject
{
public:
    struct _ITEM
    {
        UINT nType = 0;
        CString strName;
        CString strPath;          // the item's file in the box folder
        CString strResolvedPath;  // what the item opens and shows the icon of (not stored)
        BOOL bExists = FALSE;     // the file could be read (not stored)
        CString strIconKey;
        // Work that reading the box file leaves for later (not stored): the item's shortcut is
        // still to be read (strResolvedPath and bExists are not known yet), its icon key still
        // to be registered, or the icon files of its stored key still to be made again if
        // they are gone.
        BOOL bResolvePending = FALSE;
        BOOL bKeyPending = FALSE;
        BOOL bIconCheckPending = FALSE;
    };

    // The screen that box positions are kept on: the virtual screen and the taskbar.
    struct _SCREEN_INFO
    {
        RECT rcVirtual = {};
        RECT rcTaskbar = {};
        BOOL bTaskbarAutoHide = FALSE;
        UINT nTaskbarEdge = 0;
    };
    static _SCREEN_INFO GetSystemScreenInfo();

    CTarneloInfo();
    ~CTarneloInfo() override;

    // Registers the file or folder at path under name, placing a file for it in the box
    // folder. TRUE when the item was registered (or, for a name already registered, its
    // file placed again). A shortcut file, moved (bMove) or copied, never replaces an item's
    // file: under a registered name it is that item when its bytes are the item's file's
    // (nothing is placed), and otherwise a new item named after its free file name. FALSE,
    // with nothing registered and the system's reason in *pError, when the file could not be
    // placed or the box takes no files (m_bBoxFileUnread).
    BOOL AddItem(CString name, CString path, BOOL bMove, DWORD* pError = nullptr);
    // Gives the first item named oldName the name newName. FALSE, changing nothing, when no
    // item has oldName, or newName is empty or taken by another item of this box.
    BOOL RenameItem(CString oldName, CString newName);
    // Removes the first item of that name and, when it lies in the box folder, its file.
    // FALSE when no item has the name, or the box takes no files (nothing is removed).
    BOOL DeleteItem(CString name);
    // Moves the box back onto the screen and off a visible taskbar; TRUE when it moved.
    BOOL AdjustPosition();
    BOOL AdjustPosition(const _SCREEN_INFO& screen);

    // The icon cache that items are registered with; not owned, not stored.
    void SetIconManager(IconManager* icons) { m_pIconManager = icons; }
    IconManager* GetIconManager() const { return m_pIconManager; }

    // The first item with exactly that name, or null.
    _ITEM* FindItem(const CString& name);
    // The item whose file is path (no two items of a box share one), or null.
    const _ITEM* FindItemByPath(const CString& path) const;

    // Reads the item's file as the box file's reader does: a shortcut made for a file or a
    // folder gives its target, and bExists tells whether it could be read; an unreadable one
    // whose name ends in ".url" is an internet shortcut. Shortcuts and internet shortcuts are
    // their own targets.
    static void ResolveItem(_ITEM& item);
    // Resolves every item still waiting for it, so that the items can be shown as they are.
    void ResolvePendingItems();
    // Does the waiting work of the items, in order, one item at a time (resolving it, then
    // registering its icon key or making its missing or broken icon files again) until
    // timeUp says so after an item. TRUE when work may be left; pKeyRegistered is set when an
    // icon key was registered, pIconMade when an icon was made again under its key.
    BOOL DoPendingWork(const std::function<bool()>& timeUp, BOOL* pKeyRegistered, BOOL* pIconMade);

    UINT m_nId;
    BOOL m_bVisible;
    POINT m_pos;
    CString m_strName;
    CString m_strFolder;
    std::list<_ITEM> m_items;
    UINT m_nHotKeyModifiers;
    UINT m_nHotKeyKey;
    UINT m_nReserved;
    DWORD m_color;  // ARGB
    CString m_strIcon;
    // The box list's file could not be read (another program held it, or it was damaged and
    // could not be copied aside), and this box is not kept in it: its folder may hold files
    // that the unread file names, so the box neither places nor deletes any. Not stored.
    BOOL m_bBoxFileUnread = FALSE;

private:
    BOOL IsInBoxFolder(const CString& path) const;
    // A file name in the box folder, based on fileName, that no other item's file uses or
    // goes by, and no file of the folder has.
    CString MakeUniqueDest(const CString& fileName, const _ITEM* self) const;

    IconManager* m_pIconManager = nullptr;
};

}  // namespace Model
