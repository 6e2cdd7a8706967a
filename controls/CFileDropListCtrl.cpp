#include "controls/CFileDropListCtrl.h"

#include <objidl.h>
#include <ole2.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/ShellHelpers.h"
#include "framework/AfxMessageBox.h"
#include "framework/ScopedHandles.h"

BEGIN_MESSAGE_MAP(CFileDropListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_WM_DROPFILES()
END_MESSAGE_MAP()

CFileDropListCtrl::CFileDropListCtrl()
{
    // Shell links are read through COM; OLE is balanced per control, so a thread that
    // initialised it already only gains a reference that the destructor gives back.
    const HRESULT result = ::OleInitialize(nullptr);
    if (FAILED(result)) {
        AfxMessageBox(L"OLE initialization failed.\n\nMake sure that the OLE libraries are the correct version.");
        return;
    }
    m_bOleInitialised = TRUE;
}

CFileDropListCtrl::~CFileDropListCtrl()
{
    if (m_bOleInitialised)
        ::OleUninitialize();
}

BOOL CFileDropListCtrl::SetDropMode(const DropMode& mode)
{
    if ((mode.nMask & DL_USE_CALLBACK) && !mode.pfnCallback)
        return FALSE;
    nMask = mode.nMask;
    strFileExt = mode.strFileExt;
    pfnCallback = mode.pfnCallback;
    return TRUE;
}

int CFileDropListCtrl::InsertPathItem(CString path)
{
    if (!(nMask & DL_ALLOW_DUPLICATES)) {
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = path;
        if (FindItem(&find, -1) != -1)
            return -1;
    }
    return InsertItem(0, path);
}

int CFileDropListCtrl::OnCreate(LPCREATESTRUCTW createStruct)
{
    if (CListCtrl::OnCreate(createStruct) == -1)
        return -1;
    ::DragAcceptFiles(m_hWnd, TRUE);
    return 0;
}

void CFileDropListCtrl::OnDropFiles(HDROP drop)
{
    std::vector<CString> paths;
    ReadDroppedFiles(drop, paths);
    for (CString path : paths) {
        const CString target = ExpandShortcut(path);
        if (!target.IsEmpty())
            path = target;

        UINT kind = 0;
        if (!ValidatePathname(path, kind))
            continue;
        if ((nMask & DL_USE_CALLBACK) && pfnCallback)
            pfnCallback(this, path, kind);
        else
            InsertPathItem(path);
    }
}

CString CFileDropListCtrl::ExpandShortcut(const CString& path)
{
    if (path.IsEmpty())
        return CString();
    ScopedComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))))
        return CString();
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))))
        return CString();
    if (FAILED(file->Load(path, STGM_READ)))
        return CString();
    // Room for targets beyond MAX_PATH, so a long target is never cut into another path.
    std::wstring target(32768, L'\0');
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_UNCPRIORITY) != S_OK)
        return CString();
    target[target.size() - 1] = L'\0';
    return CString(target.c_str());
}

BOOL CFileDropListCtrl::ValidatePathname(const CString& path, UINT& kind) const
{
    struct _stat64i32 status = {};
    if (::_wstat64i32(path, &status) != 0)
        return FALSE;
    if ((status.st_mode & _S_IFDIR) && (nMask & DL_ACCEPT_FOLDERS)) {
        kind = DL_FOLDER_TYPE;
        return TRUE;
    }
    if (!(status.st_mode & _S_IFREG) || !(nMask & DL_ACCEPT_FILES))
        return FALSE;
    kind = DL_FILE_TYPE;
    if (!(nMask & DL_FILTER_EXTENSION))
        return TRUE;
    return CString(::PathFindExtensionW(path)).CompareNoCase(strFileExt) == 0;
}
