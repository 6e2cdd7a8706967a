// The ordered list of every box record and the box file "tarnelo.ser" it is kept in. The
// list order is the order of creation, keyboard navigation and saving; after loading it
// runs down each column of boxes from left to right.
#pragma once

#include <windows.h>

#include <functional>
#include <list>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CString.h"
#include "model/CTarneloInfo.h"

namespace Model {

class CConfigInfo;
class IconManager;

class CTarneloInfoManager
{
public:
    static constexpr UINT FILE_VERSION = 1003;
    // The box file's name in the data folder.
    static constexpr wchar_t kFileName[] = L"tarnelo.ser";

    // "<data folder>\tarnelo.ser".
    static CString FilePath(const CString& dataFolder);

    CTarneloInfoManager();
    CTarneloInfoManager(const CTarneloInfoManager&) = delete;
    CTarneloInfoManager& operator=(const CTarneloInfoManager&) = delete;
    ~CTarneloInfoManager();

    // What the list takes from the application: the "files" folder that box folders are
    // made in, the "icons" folder of box images, the icon cache given to every record and
    // the settings whose lock option a moved box clears. Call before Load.
    void Bind(CString filesFolder, CString iconsFolder, IconManager* icons, CConfigInfo* config);
    // The screen that boxes are kept on; null means the system's own.
    void SetScreenInfo(const CTarneloInfo::_SCREEN_INFO* screen);

    // Replaces the list with the boxes of the file at path; the six default boxes when
    // there is no such file. Reading does no work per item: the items' shortcuts are read,
    // the icon keys of items stored without one registered and missing or broken icon files
    // of stored keys made again later, by DoPendingWork. FALSE when the file could not be
    // read whole (bytes after the counted boxes included): it is then kept as a numbered copy
    // beside it (path + ".bad", ".bad2", ...; an earlier copy is never replaced) and the boxes
    // read before the failure are kept.
    BOOL Load(CString path);
    // After Load: TRUE when the file was there but could not be read whole. keptCopy gets the
    // copy it is kept as, or is emptied when it could not be copied; the file is then not
    // saved over in this run.
    BOOL WasDamaged(CString* keptCopy = nullptr) const;
    // After Load: the system's error code when the file was there but held by another
    // program all the while Load waited for it, else 0. No box was read, and the file is not
    // saved over in this run.
    DWORD GetLoadError() const { return m_dwLoadError; }
    // The work that Load leaves for later, done item by item, the box first (when it is
    // listed) and then every box in order, until timeUp says so after an item. TRUE while
    // work is left. Before it, the icon files of earlier runs that no item of a file read
    // whole names are deleted, unless a copy of a damaged box file is kept beside it. Once no
    // work is left, a file whose icon keys were registered is saved to its path, once.
    // pNewIcons gets the boxes in which an icon key was registered or an icon made again.
    BOOL DoPendingWork(CTarneloInfo* pFirst, const std::function<bool()>& timeUp,
                       std::vector<CTarneloInfo*>* pNewIcons = nullptr);
    // All that work at once.
    void CompletePendingWork();
    BOOL HasPendingWork() const;
    // Whether the work still ends with saving the file its icon keys were registered for.
    BOOL IsKeysSaveDue() const { return !m_strKeysSavePath.IsEmpty(); }
    // Whether icon keys registered by that work are not yet in the file it is to be saved to.
    BOOL HasUnsavedKeys() const { return m_bUnsavedKeys && IsKeysSaveDue(); }

    // Writes the list to path + ".temp" and puts that in place of path. FALSE, leaving the
    // file at path as it was, when anything fails; GetSaveError then tells why.
    BOOL Save(CString path);
    // The system's error code of the last Save that failed, 0 when the last one succeeded.
    DWORD GetSaveError() const { return m_dwSaveError; }
    // One record from or to an open archive; for Load and Save only (LoadBox reads within
    // the bytes that Load has counted for the file).
    BOOL LoadBox(CArchive& ar, BOOL* pModified);
    BOOL SaveBox(CArchive& ar, CTarneloInfo* record);

    void CreateDefaultBoxes();
    // A new record with the largest id plus one and its folder made; the caller fills it.
    CTarneloInfo* AddNewBox();
    // Deletes a record of the list; its folder and files stay on disk.
    void DeleteBox(CTarneloInfo* record);
    void RemoveAll();
    // The largest width and height of the boxes' icon images, each at least 16.
    void GetMaxIconSize(SIZE* out);
    void SortBoxes();
    CTarneloInfo* FindLeftmostBox();
    static void InsertSorted(std::list<CTarneloInfo*>& list, CTarneloInfo* record, LONGLONG lo, LONGLONG hi);
    // "<files folder>\%03u" of the id.
    CString GetBoxFolder(UINT id) const;

    std::list<CTarneloInfo*> m_boxes;
    UINT m_nVersion;

private:
    CTarneloInfo::_SCREEN_INFO GetScreen() const;
    // Leaves the icon files of earlier runs alone for the rest of the run.
    void KeepIconFiles();
    // Copies a box file that could not be read aside before anything can overwrite it.
    void KeepAside(const CString& path, const wchar_t* why);
    BOOL SaveFailed(DWORD error);

    CString m_strFilesFolder;
    CString m_strIconsFolder;
    IconManager* m_pIconManager = nullptr;
    CConfigInfo* m_pConfig = nullptr;
    std::optional<CTarneloInfo::_SCREEN_INFO> m_screen;
    CString m_strUnsafePath;      // a box file that could be neither read nor kept aside
    BOOL m_bDamaged = FALSE;      // the last Load met a damaged file
    CString m_strKeptCopy;        // and kept it as this copy
    DWORD m_dwLoadError = 0;      // why the last Load found the file held by another program
    // The last Load could neither read its file nor keep it aside: its records, and every
    // record made until the next Load, are marked m_bBoxFileUnread and take no files.
    BOOL m_bFileUnread = FALSE;
    DWORD m_dwSaveError = 0;      // why the last Save failed
    CString m_strKeysSavePath;    // saved to once the icon keys that Load left are registered
    // The records in the order the file holds them, which is the order their items' work is
    // done in (so per-item keys are numbered as the file's order gives them).
    std::vector<CTarneloInfo*> m_fileOrder;
    BOOL m_bUnsavedKeys = FALSE;  // keys registered since the file was last written
    // The per-item icon keys (in lower case) that the file read whole names, while the icon
    // files of earlier runs are still to be looked at.
    std::unordered_set<std::wstring> m_namedKeys;
    BOOL m_bSweepDue = FALSE;
};

}  // namespace Model
