// The manager window's life: start-up with the first-boot wizard and the loading of the data
// files, the timers that follow it (the tray icon, the warning about files not read, the
// reading of a held style or box file once free, the version check), and the end: a close
// that waits for the loops of the boxes, then destruction.
#include "windows/CTarneloWndManager.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/HttpGet.h"
#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/CVersionNoticeDlg.h"
#include "dialogs/CWizardDlg.h"
#include "framework/AfxMessageBox.h"
#include "framework/CFile.h"
#include "framework/CModalScope.h"
#include "framework/CTime.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"
#include "windows/CTarneloWnd.h"
#include "windows/VersionCheck.h"

namespace {

// The version server asked; tests point the check at a local server instead.
CString s_versionServer = VersionCheck::kVersionServer;

// The first-boot wizard on this manager: its panels post their events here.
INT_PTR RunWizard(CTarneloWndManager* pManager)
{
    CWizardDlg wizard;  // the wizard's existence flag is set until it goes
    wizard.SetShared(pManager, WM_WIZMSG, pManager->m_pStyle.get(), pManager->m_pConfig, pManager->m_pInfoManager);
    const INT_PTR result = wizard.DoModal();
    // Wizard events are taken only while the wizard exists: those its last panel posted as
    // the wizard was finished (the box file's save among them) are handled before it goes.
    MSG msg;
    while (result == IDOK && ::PeekMessageW(&msg, pManager->m_hWnd, WM_WIZMSG, WM_WIZMSG, PM_REMOVE))
        ::DispatchMessageW(&msg);
    return result;
}

CTarneloWndManager::WizardFn s_wizard = &RunWizard;

HICON LoadAppIcon()
{
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TARNELO));
}

// A menu of this thread is open (a box menu, or any other tracked popup).
BOOL IsMenuLoopRunning()
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    return g_bMenuOpen || (::GetGUIThreadInfo(::GetCurrentThreadId(), &gui) && (gui.flags & GUI_INMENUMODE));
}

}  // namespace

void CTarneloWndManager::SetWizardHook(WizardFn fn)
{
    s_wizard = fn ? fn : &RunWizard;
}

// ---- Start-up ----------------------------------------------------------------------------------

BOOL CTarneloWndManager::Init(const CString& dataFolder)
{
    CWaitCursor wait;
    Log(kLogInfo, L"<boxmng> init");
    m_strDataFolder = dataFolder;

    const wchar_t* windowClass = AfxRegisterWndClass(CS_DBLCLKS, nullptr, nullptr, LoadAppIcon());
    if (!windowClass || !m_pInfoManager || !m_pConfig)
        return FALSE;
    if (!CreateEx(0, windowClass, L"TarneloWndManager", 0x80, RECT{}, nullptr, 0))
        return FALSE;

    m_pStyle = std::make_unique<Model::CTarneloStyleInfo>();

    // The loaders fall back to defaults themselves; start-up goes on whatever they report.
    m_strConfigPath = Model::CConfigInfo::FilePath(m_strDataFolder);
    const BOOL configRead = m_pConfig->Load(m_strConfigPath);
    m_strStylePath = Model::CTarneloStyleInfo::FilePath(m_strDataFolder);
    m_strBoxFilePath = Model::CTarneloInfoManager::FilePath(m_strDataFolder);

    // The style is read once. The boxes, a cancelled style dialog and the wizard come back to
    // the copy kept of it, which a file held by another program at such a moment cannot spoil.
    m_pStyle->Load(m_strStylePath);
    m_pKeptStyle = std::make_unique<Model::CTarneloStyleInfo>(*m_pStyle);

    // Settings that are there but could not be read are no first start: the program runs on
    // defaults, and the warning says already that the file is not saved over.
    if (!configRead)
        NoteUnreadFile(m_strConfigPath, IDS_SETTINGS_UNREADABLE, m_pConfig->GetLoadError());
    // Noted before the wizard, whose refused saves of the style are then not told as well.
    if (m_pStyle->GetLoadError() != ERROR_SUCCESS)
        NoteUnreadFile(m_strStylePath, IDS_STYLE_UNREADABLE, m_pStyle->GetLoadError());
    BOOL firstBoot = configRead && m_pConfig->GetInstallDate().IsEmpty();
    if (firstBoot) {
        // The wizard works on the loaded boxes; a usual start has CreateBoxies load them, once.
        if (LoadBoxes()) {
            // Boxes of the user's own but no install date: the settings were lost or damaged,
            // and the wizard would stack the boxes over the user's layout. They stay where
            // the box file puts them.
            Log(kLogWarn, L"<boxmng> settings missing or damaged, started with the boxes of the box file");
            m_pConfig->SetInstallDate(CTime::GetCurrentTime());
            SaveConfig();
            firstBoot = FALSE;
        }
    }
    if (firstBoot) {
        Log(kLogInfo, L"<boxmng> first boot");
        const INT_PTR result = s_wizard(this);
        if (result != IDOK) {
            Log(kLogInfo, L"<boxmng> Install is canceled.");
            DestroyWindow();
            return FALSE;
        }
        Log(kLogInfo, L"<boxmng> Install is done.");
        m_pConfig->SetInstallDate(CTime::GetCurrentTime());
        SaveConfig();
    } else {
        CreateBoxies(FALSE);
    }

    // The tray icon comes once the boxes have shown: a timer message waits for the posted
    // first drawings.
    SetTimer(kTimerTrayIcon, 0);
    ArmVersionCheck();
    NoteDamagedBoxFile();
    // A style or box file that another program held all the while it was waited for: the
    // defaults stand in and are not saved over it; the user's come once the file is free. A
    // style unreadable for another reason (a folder in its place) does not come by waiting.
    if (m_pInfoManager->GetLoadError() != ERROR_SUCCESS) {
        NoteUnreadFile(m_strBoxFilePath, IDS_BOX_FILE_UNREAD, m_pInfoManager->GetLoadError());
        m_heldFiles.push_back(m_strBoxFilePath);
    }
    if (IsHeldFileError(m_pStyle->GetLoadError()))
        m_heldFiles.push_back(m_strStylePath);
    if (!m_heldFiles.empty())
        SetTimer(kTimerHeldFiles, kHeldFilesMs);
    // Told once the program is up.
    if (!m_strLoadWarning.IsEmpty())
        SetTimer(kTimerLoadWarning, kLoadWarningMs);
    return TRUE;
}

void CTarneloWndManager::NoteDamagedBoxFile()
{
    CString keptCopy;
    if (!m_pInfoManager->WasDamaged(&keptCopy))
        return;
    const CString warning = DamagedBoxFileWarning(keptCopy, m_strBoxFilePath);
    if (keptCopy.IsEmpty())
        NoteUnreadFile(m_strBoxFilePath, warning);
    else
        m_strLoadWarning += (m_strLoadWarning.IsEmpty() ? L"" : L"\n\n") + warning;
}

void CTarneloWndManager::NoteUnreadFile(const CString& path, UINT textId, DWORD error)
{
    NoteUnreadFile(path, FormatString(LoadResString(textId), path.GetString(), GetSystemErrorText(error).GetString()));
}

void CTarneloWndManager::NoteUnreadFile(const CString& path, const CString& warning)
{
    m_strLoadWarning += (m_strLoadWarning.IsEmpty() ? L"" : L"\n\n") + warning;
    // The warning says already that the file is not saved over: its refused saves are not told.
    m_failingSaves.push_back(path);
    m_unreadFiles.push_back(path);
}

void CTarneloWndManager::OnHeldFilesTimer()
{
    // Not while a box, a menu or a dialog runs a loop on the boxes or the style that change now.
    const bool busy = std::any_of(m_boxList.begin(), m_boxList.end(), [](const auto& box) { return box->IsRunningLoop(); });
    if (busy || g_bDialogOpen || g_bBoxDialogOpen || g_bMenuOpen || g_bFileListOpen || g_bWizardExists)
        return;
    // A file leaves the watch once its data came (a reload of the boxes may have read the box
    // file meanwhile), once what stood in for it was changed and it waits for the next start,
    // or once nobody holds it and it still cannot be read: each is logged once, however long
    // the other file stays held.
    if (IsListed(m_heldFiles, m_strStylePath) &&
        (!m_pStyle || m_pStyle->GetLoadError() == ERROR_SUCCESS || SettleHeldStyle()))
        Unlist(m_heldFiles, m_strStylePath);
    if (IsListed(m_heldFiles, m_strBoxFilePath) &&
        (m_pInfoManager->GetLoadError() == ERROR_SUCCESS || SettleHeldBoxFile()))
        Unlist(m_heldFiles, m_strBoxFilePath);
    if (m_heldFiles.empty())
        KillTimer(kTimerHeldFiles);
}

BOOL CTarneloWndManager::SettleHeldStyle()
{
    // A change made meanwhile stays on screen; it is told as not kept at the end.
    if (IsListed(m_unsavedFiles, m_strStylePath)) {
        Log(kLogInfo, L"<boxmng> the style was changed, its file waits for the next start");
        return TRUE;
    }
    {
        // Looked at quietly first: the load logs every file it cannot read.
        CFile file;
        CFileException error;
        if (!file.Open(m_strStylePath, CFile::modeRead | CFile::shareDenyNone, &error) &&
            IsHeldFileError(static_cast<DWORD>(error.m_lOsError)))
            return FALSE;
    }
    // Read into a copy, which knows the file as unread and so does not wait for it again: a
    // file still held, or unreadable for another reason, leaves the style in use as it is.
    Model::CTarneloStyleInfo style(*m_pKeptStyle);
    style.Load(m_strStylePath);
    if (style.GetLoadError() != ERROR_SUCCESS)
        return !IsHeldFileError(style.GetLoadError());
    Log(kLogInfo, L"<boxmng> the style file is free, its style comes");
    *m_pKeptStyle = style;
    *m_pStyle = style;
    ForgetUnreadFile(m_strStylePath);
    // The boxes stand where the user put them with this style's size, as after a start.
    m_placedBoxSize = m_pStyle->GetBoxSize(m_hWnd);
    ResizeAllBoxes(FALSE);
    return TRUE;
}

BOOL CTarneloWndManager::SettleHeldBoxFile()
{
    // The default boxes stand in for those of the held box file. Once they were changed,
    // they stay: their changes are told as not kept at the end.
    if (IsListed(m_unsavedFiles, m_strBoxFilePath)) {
        Log(kLogInfo, L"<boxmng> the default boxes were changed, the box file waits for the next start");
        return TRUE;
    }
    {
        // Opened as the box list reads it: only then can the boxes go for those of the file.
        CFile file;
        if (!file.Open(m_strBoxFilePath, CFile::modeRead | CFile::shareDenyWrite))
            return FALSE;
    }
    Log(kLogInfo, L"<boxmng> the box file is free, its boxes come");
    CreateBoxies(FALSE);
    if (m_pInfoManager->GetLoadError() != ERROR_SUCCESS)  // taken again in the meantime
        return FALSE;
    ForgetUnreadFile(m_strBoxFilePath);
    NoteDamagedBoxFile();
    if (!m_strLoadWarning.IsEmpty())
        SetTimer(kTimerLoadWarning, kLoadWarningMs);
    return TRUE;
}

BOOL CTarneloWndManager::LoadBoxes()
{
    // Only a box file that is there can give the user's own boxes; without one the list
    // holds the default boxes.
    const BOOL present = ::GetFileAttributesW(m_strBoxFilePath) != INVALID_FILE_ATTRIBUTES;
    m_pInfoManager->Load(m_strBoxFilePath);
    // A file held by another program holds them too, though none could be read.
    const BOOL usersBoxes = present && (!m_pInfoManager->m_boxes.empty() || m_pInfoManager->GetLoadError() != ERROR_SUCCESS);
    // With no box there would be no menu and no way in: the default boxes stand in.
    if (m_pInfoManager->m_boxes.empty()) {
        Log(kLogWarn, L"<boxmng> no box could be read, the default boxes stand in");
        m_pInfoManager->CreateDefaultBoxes();
    }
    // The items' shortcuts and missing icon keys are read once the boxes are up.
    if (m_pInfoManager->HasPendingWork())
        SetTimer(kTimerPendingItems, kPendingItemsMs);
    return usersBoxes;
}

// The work the box file's reading left: one slice per tick, the box whose list is open first.
// The slices run on this thread rather than on a worker: the items belong to records that
// the user's actions change on this thread at any moment, the icon cache and the shell's
// link and icon objects are used by this thread alone, and a slice ends early for input.
void CTarneloWndManager::OnPendingItemsTimer()
{
    const DWORD start = ::GetTickCount();
    Model::CTarneloInfo* first = nullptr;
    for (const auto& box : m_boxList) {
        if (box->HasFileList())
            first = box->m_pInfo;
    }
    std::vector<Model::CTarneloInfo*> newIcons;
    const BOOL keysSaveDue = m_pInfoManager->IsKeysSaveDue();
    const BOOL more = m_pInfoManager->DoPendingWork(first, [start]() {
        return ::GetTickCount() - start >= kPendingSliceMs || HIWORD(::GetQueueStatus(QS_INPUT)) != 0;
    }, &newIcons);
    for (Model::CTarneloInfo* record : newIcons) {
        if (CTarneloWnd* box = FindBoxByInfo(record))
            box->RefreshFileListIcons();
    }
    if (!more) {
        KillTimer(kTimerPendingItems);
        // The work ended with the box file's save: a failure is told like any other save's.
        if (keysSaveDue)
            NoteSaveResult(m_strBoxFilePath, m_pInfoManager->GetSaveError());
        Log(kLogInfo, L"<boxmng> items read");
    }
}

CString CTarneloWndManager::DamagedBoxFileWarning(const CString& keptCopy, const CString& boxFile)
{
    // One string of two lines: the first when the file was kept as a copy, the second when
    // it could not even be copied (it is then not saved over in this run).
    const CString both = LoadResString(IDS_BOX_FILE_DAMAGED);
    const int split = both.Find(L'\n');
    CString line = both;
    if (split >= 0)
        line = keptCopy.IsEmpty() ? both.Mid(split + 1) : both.Left(split);
    return FormatString(line, keptCopy.IsEmpty() ? boxFile.GetString() : keptCopy.GetString());
}

void CTarneloWndManager::OnLoadWarningTimer()
{
    KillTimer(kTimerLoadWarning);
    const CString text = m_strLoadWarning;
    m_strLoadWarning.Empty();
    if (!text.IsEmpty())
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

// ---- Version check ----------------------------------------------------------------------------

void CTarneloWndManager::ArmVersionCheck()
{
    if (!m_pConfig)
        return;
    SetTimer(kTimerVersionCheck, VersionCheck::FirstVersionCheckPeriod(m_pConfig->m_verCheckDate, ::GetTickCount()));
}

void CTarneloWndManager::SetVersionServer(const wchar_t* address)
{
    s_versionServer = address ? address : VersionCheck::kVersionServer;
}

void CTarneloWndManager::CheckLatestVersion()
{
    if (!m_pConfig)
        return;
    const CString address = VersionCheck::VersionRequestAddress(s_versionServer, m_pConfig->GetInstallDate());
    const CTime now = CTime::GetCurrentTime();
    if (!VersionCheck::IsVersionCheckDue(m_pConfig->m_verCheckDate, now))
        return;
    Log(kLogInfo, L"<boxmng> Check latest version");

    CString body;
    DWORD status = 0;
    if (!HttpGetString(address, body, status, VersionCheck::kVersionReplyLimit)) {
        // Not stored: the request is made again at the next expiry.
        LogValue(kLogInfo, L"<boxmng> can't get version info.", static_cast<long>(status));
        return;
    }

    CString latest;
    if (VersionCheck::ParseVersion(body, latest)) {
        const CString own = GetAppVersion();
        const int ownNumber = ParseVersionNumber(own);
        const int latestNumber = VersionCheck::VersionNumberOfReply(latest);
        Log(kLogInfo, CString(L"<boxmng> latest version:") + latest + L" this version:" + own);
        if (latestNumber > ownNumber) {
            CVersionNoticeDlg notice;
            notice.m_strCurrentVersion = own;
            notice.m_strLatestVersion = latest;
            notice.DoModal();
        }
    }
    m_pConfig->m_verCheckDate = now;
    SaveConfig();
}

void CTarneloWndManager::OnVersionCheckTimer()
{
    if (m_pConfig && m_pConfig->m_bCheckLatestVersion) {
        KillTimer(kTimerVersionCheck);
        CheckLatestVersion();
        SetTimer(kTimerVersionCheck, VersionCheck::kVersionCheckPeriodMs);
    }
}

// ---- Close and destruction ----------------------------------------------------------------------

// A menu, dialog, message box, drag or shell call runs its own message loop inside a handler
// of a box, of its list or of this window; tearing the boxes down from within that loop
// would pull the object out from under the handler still running. So a close that arrives
// then (the exit event of another process, a close from outside) ends the menu and waits
// for the loops to end.
void CTarneloWndManager::OnClose()
{
    if (WaitForLoops(WM_CLOSE, 0, 0, L"close")) {
        if (IsMenuLoopRunning())
            ::EndMenu();
        return;
    }
    KeepChangesBeforeEnd(FALSE);
    DestroyWindow();
}

LRESULT CTarneloWndManager::OnEndSession(WPARAM wParam, LPARAM /*lParam*/)
{
    // The session ends without a close once this returns.
    if (wParam)
        KeepChangesBeforeEnd(TRUE);
    return 0;
}

void CTarneloWndManager::SaveIconKeysAtExit()
{
    // Items left without them would get new keys, and new icon files, at the next start,
    // while the files made for them in this run would be named by nothing.
    if (!m_pInfoManager || !m_pInfoManager->HasUnsavedKeys())
        return;
    Log(kLogInfo, L"<boxmng> saving the icon keys given so far");
    SaveBoxFile();
}

BOOL CTarneloWndManager::DestroyWindow()
{
    m_bDestroying = TRUE;
    return CWnd::DestroyWindow();
}

BOOL CTarneloWndManager::MustWait(const _WAITING_REQUEST& request) const
{
    if (request.message == WM_BOXMSG && request.wParam == BOXEVENT_DELETE_BOX) {
        // Only the box to delete counts; one that has gone waits for nothing.
        const CTarneloWnd* box = FindBoxByRequestId(request.lParam);
        return box && box->IsRunningLoop();
    }
    // This window's own delete question and box dialog (edit, or add beside a box) work on a
    // box of the list.
    if (request.message == WM_WIZMSG && request.wParam == WIZEVENT_RELOAD_BOXIES && (g_bDialogOpen || g_bBoxDialogOpen))
        return TRUE;
    // The others free every box.
    for (const auto& box : m_boxList) {
        if (box->IsRunningLoop())
            return TRUE;
    }
    // The end of the program also frees the style that this window's own dialogs and the
    // wizard work on.
    return request.message == WM_CLOSE && (IsMenuLoopRunning() || CModalScope::Depth() > 0);
}

BOOL CTarneloWndManager::WaitForLoops(UINT message, WPARAM wParam, LPARAM lParam, const wchar_t* name)
{
    const _WAITING_REQUEST request = { message, wParam, lParam };
    if (!MustWait(request))
        return FALSE;
    Log(kLogInfo, FormatString(L"<boxmng> %s waits for an open menu or dialog", name));
    const bool kept = std::any_of(m_waitingRequests.begin(), m_waitingRequests.end(), [&](const _WAITING_REQUEST& r) {
        return r.message == message && r.wParam == wParam && r.lParam == lParam;
    });
    if (!kept)
        m_waitingRequests.push_back(request);
    SetTimer(kTimerWaitingRequests, kWaitingRequestsMs);
    return TRUE;
}

void CTarneloWndManager::PostReadyRequests()
{
    // Each goes through its handler again, which looks at the boxes anew.
    std::vector<_WAITING_REQUEST> waiting;
    for (const _WAITING_REQUEST& request : m_waitingRequests) {
        if (MustWait(request))
            waiting.push_back(request);
        else
            ::PostMessageW(m_hWnd, request.message, request.wParam, request.lParam);
    }
    m_waitingRequests.swap(waiting);
    if (m_waitingRequests.empty())
        KillTimer(kTimerWaitingRequests);
}

void CTarneloWndManager::OnDestroy()
{
    if (!m_bDestroying) {
        // Not this window's own end: another process posted it. Taken as the exit event is,
        // so that it waits for the loops of the boxes and of the dialogs.
        Log(kLogWarn, L"<boxmng> WM_DESTROY from outside, taken as a close");
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return;
    }
    Log(kLogInfo, L"<boxmng> destroy");
    CWnd::OnDestroy();
    DestroyAllBoxes();
    m_pStyle.reset();
    m_trayIcon.Remove();
}

// ---- Tray icon ---------------------------------------------------------------------------------

void CTarneloWndManager::OnTrayIconTimer()
{
    KillTimer(kTimerTrayIcon);
    AddTrayIcon();
}

BOOL CTarneloWndManager::AddTrayIcon()
{
    return m_trayIcon.Add(m_hWnd, WM_TRAYMSG, LoadAppIcon(), L"Tarnelo");
}

LRESULT CTarneloWndManager::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    if (!m_trayIcon.IsOwnCallback(wParam))
        return 1;
    if (lParam == WM_LBUTTONDOWN) {
        for (const auto& box : m_boxList)
            ::SetForegroundWindow(box->m_hWnd);
    } else if (lParam == WM_RBUTTONUP) {
        if (!m_boxList.empty())
            m_boxList.front()->OnRButtonUp(0, POINT{ 0, 0 });
    }
    return 1;
}

