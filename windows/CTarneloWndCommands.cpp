// The box window's commands: its menu and what the menu's items do, the file list it
// opens and the items it runs.
#include "windows/CTarneloWnd.h"

#include <memory>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CSetOptionDlg.h"
#include "dialogs/CSetStyleDlg.h"
#include "framework/CFileDialog.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "framework/ScopedHandles.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"
#include "windows/CFileListWnd.h"
#include "windows/CTarneloApp.h"

namespace {

UINT RealTrackMenu(HMENU menu, HWND owner, POINT at)
{
    return static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
}

// Asks for one program file to register, starting in folder; FALSE when cancelled.
BOOL PickFile(const CString& folder, CString& path)
{
    // A registration only reads the file: no read-only box.
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_NOCHANGEDIR | OFN_HIDEREADONLY,
                       L"exe Files (*.exe;*.lnk;*.bat)|*.exe; *.lnk; *.bat||");
    dialog.m_ofn.lpstrInitialDir = folder.IsEmpty() ? nullptr : folder.GetString();
    if (dialog.DoModal() != IDOK) {
        // A cancel leaves no error; a dialog that failed (a path longer than its buffer) does.
        const DWORD error = ::CommDlgExtendedError();
        if (error != 0)
            LogValue(kLogError, L"<boxwnd> file dialog failed:", static_cast<long>(error));
        return FALSE;
    }
    path = dialog.GetPathName();
    return path.IsEmpty() ? FALSE : TRUE;
}

CTarneloWnd::TrackMenuFn s_trackMenu = &RealTrackMenu;
CTarneloWnd::ShellExecuteFn s_shellExecute = &::ShellExecuteW;

}  // namespace

void CTarneloWnd::SetTrackMenuHook(TrackMenuFn fn)
{
    s_trackMenu = fn ? fn : &RealTrackMenu;
}

void CTarneloWnd::SetShellExecuteHook(ShellExecuteFn fn)
{
    s_shellExecute = fn ? fn : &::ShellExecuteW;
}

// ---- File list and items -----------------------------------------------------------------------

void CTarneloWnd::OpenFileList(BOOL bMoveCursor)
{
    // One list at a time: this box's own list may still be on its way out.
    if (g_bFileListOpen || g_bBoxDialogOpen || m_pFileList || !m_pInfo || m_pInfo->m_items.empty())
        return;
    // The rows show what the items are: an item still to be read would pass for missing.
    m_pInfo->ResolvePendingItems();
    m_pFileList = std::make_unique<CFileListWnd>();
    if (!m_pFileList->Open(m_pInfo, m_pGraphics.get(), this, WM_FILEWNDMSG, m_pStyle, m_pConfig, bMoveCursor)) {
        // A list that never came up sends no close message: forget it here, or the box
        // would refuse every later click.
        DeleteFileList();
    }
}

void CTarneloWnd::RefreshFileListIcons()
{
    if (m_pFileList)
        m_pFileList->OnIconsChanged();
}

LRESULT CTarneloWnd::OnFileWndMsg(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case FILEWND_UPDATE:
        Log(kLogInfo, L"<boxwnd> UPDATE msg from fileWnd");
        PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
        break;
    case FILEWND_OPEN:
        Log(kLogInfo, L"<boxwnd> OPEN msg from fileWnd");
        if (m_pFileList) {
            // The list's WM_DESTROY asks for the object to be deleted (FILEWND_CLOSE).
            DestroyFileListWindow();
            ExecuteItem(static_cast<int>(lParam));
        }
        break;
    case FILEWND_CLOSE:
        Log(kLogInfo, L"<boxwnd> CLOSE msg from fileWnd");
        // Only the list that asked is deleted: a close request still queued from an
        // earlier list must not delete the one open now.
        if (m_pFileList && lParam == reinterpret_cast<LPARAM>(m_pFileList.get())) {
            if (m_pFileList->IsHandlingMessage()) {
                // A loop run by one of the list's handlers dispatched this: the list goes
                // once that handler has returned.
                Log(kLogInfo, L"<boxwnd> list close waits for an open menu or dialog");
                SetTimer(kTimerListClose, kListCloseMs);
            } else {
                DestroyFileListWindow();
                DeleteFileList();
            }
        } else {
            Log(kLogInfo, L"<boxwnd> close msg of another list ignored");
        }
        break;
    default:
        break;
    }
    return 1;
}

void CTarneloWnd::DestroyFileListWindow()
{
    if (m_pFileList && m_pFileList->GetSafeHwnd() && ::IsWindow(m_pFileList->GetSafeHwnd()))
        m_pFileList->DestroyWindow();
}

void CTarneloWnd::DeleteFileList()
{
    m_pFileList.reset();
}

void CTarneloWnd::ExecuteItem(int index)
{
    CWaitCursor wait;
    if (!m_pInfo || index < 0)
        return;
    auto it = m_pInfo->m_items.begin();
    for (int i = 0; i < index && it != m_pInfo->m_items.end(); ++i)
        ++it;
    if (it == m_pInfo->m_items.end())
        return;
    const CString path = it->strPath;

    const INT_PTR result = reinterpret_cast<INT_PTR>(
        s_shellExecute(nullptr, L"open", path.GetString(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32)
        return;
    LogValue(kLogError, L"<boxwnd> ShellExecute failed:", static_cast<long>(result));
    CString target;
    if (ResolveShortcut(target, path)) {
        const INT_PTR again = reinterpret_cast<INT_PTR>(
            s_shellExecute(nullptr, L"open", target.GetString(), nullptr, nullptr, SW_SHOWNORMAL));
        if (again <= 32)
            LogValue(kLogError, L"<boxwnd> ShellExecute failed again:", static_cast<long>(again));
    } else {
        LogValue(kLogError, L"<boxwnd> GetRealFilePath failed:", static_cast<long>(::GetLastError()));
    }
}

// ---- Menu --------------------------------------------------------------------------------------

LRESULT CTarneloWnd::OnRButtonUpMsg(WPARAM wParam, LPARAM lParam)
{
    OnRButtonUp(static_cast<UINT>(wParam),
                POINT{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) });
    return Default();
}

void CTarneloWnd::OnRButtonUp(UINT, POINT)
{
    Log(kLogInfo, L"<boxwnd> R-up");
    if (IsBusy() || !m_hWnd)
        return;

    // The menu is destroyed however its handler ends, the busy flag lowered before it.
    ScopedMenu menu(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_BOX_MENU)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) {
        LogValue(kLogError, L"<boxwnd> LoadMenu failed:", static_cast<long>(::GetLastError()));
        return;
    }
    HWND owner = m_hWnd;
    UINT command = 0;
    {
        const ScopedFlag menuOpen(g_bMenuOpen);
        const BOOL locked = m_pConfig && m_pConfig->m_bLock;
        const BOOL entirely = m_pConfig && m_pConfig->m_bEntirelyMoveMode;
        ::CheckMenuItem(popup, ID_BOX_FIX_POSITION, MF_BYCOMMAND | (locked ? MF_CHECKED : MF_UNCHECKED));
        ::CheckMenuItem(popup, ID_BOX_ENTIRELY_MOVE, MF_BYCOMMAND | (entirely ? MF_CHECKED : MF_UNCHECKED));

        Log(kLogInfo, L"<boxwnd> show menu");
        while ((::GetWindowLongW(owner, GWL_STYLE) & WS_CHILD) && ::GetParent(owner))
            owner = ::GetParent(owner);
        // A menu whose owner is not in the foreground is never dismissed by a click
        // elsewhere: bring the owner forward first, and let it process a message after the
        // menu closes.
        ::SetForegroundWindow(owner);
        command = s_trackMenu(popup, owner, CursorPos());
        ::PostMessageW(owner, WM_NULL, 0, 0);
    }
    menu.reset();

    // The command arrives as the menu's own would: after the menu has gone.
    if (command != 0)
        ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void CTarneloWnd::OnNewBox()
{
    m_bHover = FALSE;
    PostBoxEvent(BOXEVENT_ADD_BOX, RequestId());
}

void CTarneloWnd::OnEditBox()
{
    m_bHover = FALSE;
    SetTimer(kTimerCommandPending, kCommandPendingMs);
    m_bCommandPending = TRUE;
    PostBoxEvent(BOXEVENT_EDIT_BOX, RequestId());
}

void CTarneloWnd::OnDeleteBox()
{
    SetTimer(kTimerCommandPending, kCommandPendingMs);
    m_bCommandPending = TRUE;
    PostBoxEvent(BOXEVENT_DELETE_BOX, RequestId());
}

void CTarneloWnd::OnRegisterFromStartMenu()
{
    RegisterProgram(GetCommonStartMenuFolder());
}

void CTarneloWnd::OnRegisterFromProgramFiles()
{
    RegisterProgram(GetProgramFilesFolder());
}

void CTarneloWnd::RegisterProgram(const CString& folder)
{
    if (RefuseFiles())
        return;
    CString path;
    if (!PickFile(folder, path) || !m_pInfo)
        return;
    CString failures;
    if (RegisterFile(path, FALSE, failures))
        PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
    TellNotRegistered(failures);
}

void CTarneloWnd::OnFixPosition()
{
    if (!m_pConfig)
        return;
    m_pConfig->m_bLock = m_pConfig->m_bLock ? FALSE : TRUE;
    PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
}

void CTarneloWnd::OnEntirelyMove()
{
    if (!m_pConfig)
        return;
    m_pConfig->m_bEntirelyMoveMode = m_pConfig->m_bEntirelyMoveMode ? FALSE : TRUE;
    PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
}

void CTarneloWnd::OnAlignBoxes()
{
    PostBoxEvent(BOXEVENT_ALIGN_WINDOW, 0);
}

void CTarneloWnd::OnStyle()
{
    m_bHover = FALSE;
    if (!m_pStyle)
        return;
    // The dialog posts its own previews (lParam 1); the final event says whether the
    // manager saves the style or reloads it from its file.
    CSetStyleDlg dialog;
    dialog.m_pTargetWnd = m_pOwner;
    dialog.m_nTargetMessage = m_nBoxMsg;
    dialog.m_nTargetParam = BOXEVENT_UPDATE_STYLE;
    dialog.m_pStyle = m_pStyle;
    const INT_PTR result = dialog.DoModal();
    PostBoxEvent(result == IDOK ? BOXEVENT_UPDATE_STYLE : BOXEVENT_RESTORE_STYLE, 0);
}

void CTarneloWnd::OnOptions()
{
    m_bHover = FALSE;
    // The dialog works on the application's box list and settings.
    auto* app = dynamic_cast<CTarneloApp*>(AfxGetApp());
    CSetOptionDlg dialog(app ? &app->m_infoManager : nullptr, app ? &app->m_config : m_pConfig);
    if (dialog.DoModal() != IDOK)
        return;
    PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
    PostBoxEvent(BOXEVENT_UPDATE_HOT_KEY, 0);
}

void CTarneloWnd::OnHelp()
{
    m_bHover = FALSE;
    const CString address = LoadResString(IDS_HELP_PAGE_URL);
    if (address.IsEmpty())
        return;
    s_shellExecute(m_hWnd, L"open", address.GetString(), nullptr, nullptr, SW_SHOW);
}

void CTarneloWnd::OnVersion()
{
    m_bHover = FALSE;
    CAboutDlg dialog(this);
    dialog.DoModal();
}

void CTarneloWnd::OnExit()
{
    if (ShowQuestionMessage(IDS_EXIT_QUESTION) == IDYES)
        PostBoxEvent(BOXEVENT_EXIT_APP, 0);
}
