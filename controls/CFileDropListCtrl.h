// A list-view control that accepts files and folders dropped on it from the shell. A mode
// mask says what it accepts (files, folders, one extension), whether a path may be listed
// twice, and whether accepted paths are inserted into the list or handed to a callback of
// its owner. A dropped shortcut counts as the file it points to.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/CListCtrl.h"
#include "framework/CString.h"

// Mode bits.
#define DL_ACCEPT_FILES     0x0001  // files are accepted
#define DL_ACCEPT_FOLDERS   0x0002  // folders are accepted
#define DL_ALLOW_DUPLICATES 0x0004  // a path already listed may be inserted again
#define DL_FILTER_EXTENSION 0x0010  // a file is accepted only with the one extension
#define DL_USE_CALLBACK     0x0020  // accepted paths go to the callback instead of the list

// Kinds given to the callback.
#define DL_FOLDER_TYPE 0x0040
#define DL_FILE_TYPE   0x0080

class CFileDropListCtrl : public CListCtrl
{
public:
    // Called with the control, the accepted path and its kind; the result is not used.
    using DropCallback = UINT (*)(CFileDropListCtrl* control, CString& path, UINT& kind);

    struct DropMode
    {
        UINT nMask = DL_ACCEPT_FILES | DL_ACCEPT_FOLDERS;
        CString strFileExt;  // with its dot, e.g. ".png"
        DropCallback pfnCallback = nullptr;
    };

    CFileDropListCtrl();
    ~CFileDropListCtrl() override;

    // FALSE, keeping the earlier mode, when the callback mode is asked for without a callback.
    BOOL SetDropMode(const DropMode& mode);
    // Inserts the path at the top; -1 when it is listed already and duplicates are not allowed.
    virtual int InsertPathItem(CString path);

    UINT GetMask() const { return nMask; }

protected:
    int OnCreate(LPCREATESTRUCTW createStruct);
    void OnDropFiles(HDROP drop);

    // The target of a shell link, or the empty string when the path is not one.
    static CString ExpandShortcut(const CString& path);
    // Whether the mode accepts the path, and as which kind.
    BOOL ValidatePathname(const CString& path, UINT& kind) const;

    UINT nMask = DL_ACCEPT_FILES | DL_ACCEPT_FOLDERS;
    CString strFileExt;
    DropCallback pfnCallback = nullptr;
    BOOL m_bOleInitialised = FALSE;

    DECLARE_MESSAGE_MAP()
};
