// The file list's commands on the current row: its context menu, open, copy, rename,
// delete, open the file's location and show its properties.
#include "windows/CFileListWnd.h"

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/CRenameItemDlg.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "framework/ScopedHandles.h"
#include "resources/resource.h"
#include "windows/FileListLayout.h"

using namespace FileListLayout;

namespace {

UINT RealTrackMenu(HMENU menu, HWND owner, POINT at)
{
    return static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
}

CFileListWnd::TrackMenuFn s_trackMenu = &RealTrackMenu;
CFileListWnd::ShellExecuteFn s_shellExecute = &::ShellExecuteW;
CFileListWnd::ShellExecuteExFn s_shellExecuteEx = &::ShellExecuteExW;

// Shows the shell's properties of a file; the process handle that the call may return is
// closed at once. Touches no list object: the list may be gone when the shell returns.
void ShowProperties(const CString& target)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = nullptr;
    info.lpVerb = L"Properties";
    info.lpFile = target.GetString();
    s_shellExecuteEx(&info);
    const ScopedKernelHandle process(info.hProcess);
}

}  // namespace

// ---- Seams for tests ---------------------------------------------------------------------------

void CFileListWnd::SetTrackMenuHook(TrackMenuFn fn)
{
    s_trackMenu = fn ? fn : &RealTrackMenu;
}

void CFileListWnd::SetShellExecuteHook(ShellExecuteFn fn)
{
    s_shellExecute = fn ? fn : &::ShellExecuteW;
}

void CFileListWnd::SetShellExecuteExHook(ShellExecuteExFn fn)
{
    s_shellExecuteEx = fn ? fn : &::ShellExecuteExW;
}

// ---- Context menu ------------------------------------------------------------------------------

void CFileListWnd::OnRButtonUp(UINT nFlags, POINT point)
{
    ::Log(kLogAction, L"<filewnd> R-up");
    if (m_bCloseRequested || m_nModalDepth > 0) {
        Default();
        return;
    }
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    if (!IsInside(screen) || !m_pCurrent)
        return;
    ScopedMenu menu(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_ITEM_MENU)));
    if (!menu)
        return;
    const HMENU popup = ::GetSubMenu(menu.get(), 0);
    if (!popup)
        return;
    ::ReleaseCapture();
    ::Log(kLogAction, L"<filewnd> show menu");
    UINT command = 0;
    {
        const ScopedFlag menuOpen(m_bMenuOpen);
        const ScopedCount modal(m_nModalDepth);
        POINT at = {0, 0};
        ::GetCursorPos(&at);
        command = s_trackMenu(popup, m_hWnd, at);
    }
    ::Log(kLogAction, L"<filewnd> close menu");
    menu.reset();
    if (m_hWnd && ::IsWindow(m_hWnd) && !m_bCloseRequested) {
        ::SetCapture(m_hWnd);
        // The command arrives after the menu has gone, as a menu's own command would.
        if (command)
            ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        Default();
    }
}

// ---- Commands ----------------------------------------------------------------------------------

void CFileListWnd::OpenSelectedItem()
{
    if (!m_pCurrent)
        return;
    CWaitCursor wait;
    ::Log(kLogAction, CString(L"File/Folder open:") + GetLogName(m_pCurrent->strName));
    ::ReleaseCapture();
    const int index = IndexOf(m_rows, m_pCurrent);
    if (index >= 0)
        PostToOwner(FILEWND_OPEN, index);
}

void CFileListWnd::OnMenuOpen()
{
    ::Log(kLogAction, L"<filewnd> menu - open");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    OpenSelectedItem();
}

void CFileListWnd::OnMenuCopy()
{
    ::Log(kLogAction, L"<filewnd> menu - copy");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    CString target;
    if (!ResolveShortcut(target, m_pCurrent->strPath)) {
        // Nothing sensible to copy: what the clipboard holds stays.
        ::Log(kLogError, CString(L"<filewnd> copy: no file behind the item:") + GetLogName(m_pCurrent->strName));
        return;
    }
    if (!CopyFileToClipboard(target))
        LogValue(kLogError, L"<filewnd> copy: clipboard refused", static_cast<long>(::GetLastError()));
}

void CFileListWnd::OnMenuRename()
{
    ::Log(kLogAction, L"<filewnd> menu - rename");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    const CString oldName = m_pCurrent->strName;
    const UINT type = m_pCurrent->nType;
    CRenameItemDlg dialog;
    dialog.m_strNewName = ExtractFileTitle(oldName);
    const CString extension = GetExtension(oldName);

    // The dialog needs the mouse, which the list holds; the list stays open meanwhile.
    ::ReleaseCapture();
    INT_PTR result = IDCANCEL;
    {
        const ScopedFlag renameOpen(m_bRenameOpen);
        const ScopedCount modal(m_nModalDepth);
        result = dialog.DoModal();
    }
    if (!m_hWnd || !::IsWindow(m_hWnd) || m_bCloseRequested)
        return;
    if (result != IDOK) {
        TakeInputBack();
        return;
    }

    ::Log(kLogAction, L"<filewnd> do rename");
    // A folder takes the text as typed; anything else keeps its extension, in lower case
    // (a name without one ends in a dot).
    const CString newName = type == Model::ITEM_TYPE_FOLDER ? dialog.m_strNewName
                                                             : dialog.m_strNewName + L"." + extension;
    // An empty name (an extension alone is none) or one another item has is refused: the
    // user is told why, and the list stays open with the item as it was.
    if (!m_pInfo || dialog.m_strNewName.IsEmpty() || !m_pInfo->RenameItem(oldName, newName)) {
        {
            const ScopedFlag renameOpen(m_bRenameOpen);
            const ScopedCount modal(m_nModalDepth);
            ShowWarningMessage(IDS_CANT_RENAME_ITEM);
        }
        TakeInputBack();
        return;
    }
    PostToOwner(FILEWND_UPDATE, 0);
    RequestClose(nullptr);
}

void CFileListWnd::TakeInputBack()
{
    if (!m_hWnd || !::IsWindow(m_hWnd) || m_bCloseRequested)
        return;
    ::SetForegroundWindow(m_hWnd);
    ::SetCapture(m_hWnd);
}

void CFileListWnd::OnMenuOpenFolder()
{
    ::Log(kLogAction, L"<filewnd> menu - folder");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    CString target;
    {
        const ScopedCount modal(m_nModalDepth);
        if (ResolveShortcut(target, m_pCurrent->strPath))
            s_shellExecute(nullptr, L"open", GetParentPath(target).GetString(), nullptr, nullptr, SW_SHOWNORMAL);
        else
            ShowWarningMessage(IDS_CANT_OPEN_FILE_LOCATION, 0);
    }
    RequestClose(nullptr);
}

void CFileListWnd::OnMenuDelete()
{
    ::Log(kLogAction, L"<filewnd> menu - delete");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    // A box standing in for an unread box file deletes no file: its folder may hold the
    // files of the user's boxes.
    if (m_pInfo && m_pInfo->m_bBoxFileUnread) {
        const ScopedCount modal(m_nModalDepth);
        ShowWarningMessage(IDS_BOX_FILE_NOT_READ, 0);
        return;
    }
    int answer = IDNO;
    {
        const ScopedCount modal(m_nModalDepth);
        answer = ShowQuestionMessage(IDS_DELETE_ITEM_QUESTION, 0);
    }
    if (answer != IDYES || !m_pCurrent || m_bCloseRequested)
        return;
    const CString name = m_pCurrent->strName;
    if (m_pInfo)
        m_pInfo->DeleteItem(name);
    // The row goes too, so that the rows keep the record's order until the list closes.
    for (auto it = m_rows.begin(); it != m_rows.end(); ++it) {
        if (it->get() == m_pCurrent) {
            m_rows.erase(it);
            break;
        }
    }
    m_pCurrent = nullptr;
    LayoutRows(m_rows, m_nWidth, m_nRowHeight);
    PostToOwner(FILEWND_UPDATE, 0);
    RequestClose(nullptr);
}

void CFileListWnd::OnMenuProperties()
{
    ::Log(kLogAction, L"<filewnd> menu - property");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    CString target;
    if (!ResolveShortcut(target, m_pCurrent->strPath))
        return;
    // The list goes first; the box may delete it while the shell shows its window, so
    // nothing below touches this object.
    RequestClose(nullptr);
    ShowProperties(target);
}
