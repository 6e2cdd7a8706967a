// The hidden manager window: the application's main window and the hub of every change to
// the boxes. It loads the three data files, creates one box window per box record, owns the
// box windows, the shared style record and the tray icon, and handles every box event and
// wizard event, saving at once the file each change concerns; at exit only a file whose
// save failed is saved once more.
//
// AddBox, DeleteBox and EditBox name their box by its request id, which no later box window
// takes: a request that outlives its box (the wizard's reload makes every box anew) finds no
// box and is dropped and logged. Any process can post to this window; the id is only looked
// up in the list, and looked up again after every modal dialog, whose loop may have removed
// the box meanwhile.
#pragma once

#include <windows.h>

#include <list>
#include <memory>
#include <vector>

#include "core/ProcessFlags.h"
#include "core/WindowMessages.h"  // WM_BOXMSG, WM_WIZMSG, WM_TRAYMSG
#include "framework/CString.h"
#include "framework/CTime.h"
#include "framework/CWnd.h"
#include "windows/CTrayIcon.h"

namespace Model {
class CConfigInfo;
class CTarneloInfo;
class CTarneloInfoManager;
class CTarneloStyleInfo;
}  // namespace Model

class CTarneloWnd;

// ---- Wizard events -----------------------------------------------------------------------
// Wizard event codes (wParam of WM_WIZMSG).
inline constexpr WPARAM WIZEVENT_RELOAD_BOXIES = 0;   // lParam: 1 = arrange in a column
inline constexpr WPARAM WIZEVENT_EDIT_BOX = 1;        // lParam: a box record
inline constexpr WPARAM WIZEVENT_UPDATE_BOX_INFO = 2;
inline constexpr WPARAM WIZEVENT_UPDATE_BOXIES = 3;
inline constexpr WPARAM WIZEVENT_UPDATE_STYLE = 4;    // lParam 1 preview, 0 final
inline constexpr WPARAM WIZEVENT_RESTORE_STYLE = 5;
inline constexpr WPARAM WIZEVENT_LAST = WIZEVENT_RESTORE_STYLE;

class CTarneloWndManager : public CWnd
{
public:
    // Timer ids of the manager window.
    static constexpr UINT_PTR kTimerVersionCheck = 1;
    static constexpr UINT_PTR kTimerTypeAhead = 2;   // clears the typed text
    static constexpr UINT_PTR kTimerSelection = 3;   // ends the selection mode
    static constexpr UINT_PTR kTimerWaitingRequests = 4;  // retries requests that had to wait
    static constexpr UINT_PTR kTimerLoadWarning = 5;    // tells of the files not read at start once up
    static constexpr UINT_PTR kTimerTrayIcon = 6;       // adds the tray icon after the first drawing
    static constexpr UINT_PTR kTimerSaveWarning = 9;    // tells of a failed save once the event is done
    static constexpr UINT_PTR kTimerPendingItems = 11;  // reads the items' shortcuts and icons
    static constexpr UINT_PTR kTimerSaveRetry = 12;     // saves again a file whose save failed
    static constexpr UINT_PTR kTimerHeldFiles = 13;     // reads a held box file or style once free
    static constexpr UINT kLoadWarningMs = 100;
    static constexpr UINT kTypeAheadMs = 1000;
    static constexpr UINT kSelectionMs = 1000;
    static constexpr UINT kWaitingRequestsMs = 100;
    static constexpr UINT kHeldFilesMs = 1000;
    // The items' work goes in slices of about this long, one slice per timer tick: a timer
    // message comes only when no input, posted message or drawing waits.
    static constexpr UINT kPendingItemsMs = 10;
    static constexpr DWORD kPendingSliceMs = 30;
    // A failed save is tried again this often for as long as it fails: a change reaches the
    // disk soon after whatever refused it lets go, however long that took (three small files,
    // so the tries cost nothing).
    static constexpr UINT kSaveRetryMs = 5000;
    static constexpr UINT kTrayIconId = 1;
    static constexpr int kDefaultClearance = 10;

    // The box list and the settings belong to the application; the manager only uses them.
    CTarneloWndManager(Model::CTarneloInfoManager* pInfoManager, Model::CConfigInfo* pConfig);
    ~CTarneloWndManager() override;

    // Creates the hidden window, loads "config.ini", "style.ser" and "tarnelo.ser" of the data
    // folder, runs the first-boot wizard when no install date is stored (else creates the box
    // windows), adds the tray icon and arms the version check. FALSE when the window cannot
    // be made or the wizard was not completed (the window is then gone again).
    BOOL Init(const CString& dataFolder);
    // Reloads the style and the boxes and creates one box window per record; place TRUE puts
    // the boxes in one column near the right edge of the virtual screen.
    void CreateBoxies(BOOL bPlace);
    void DestroyAllBoxes();
    CTarneloWnd* FindBoxByInfo(const Model::CTarneloInfo* pInfo) const;
    // Highlight as the selection mode says; shown or hidden as the record says.
    void RefreshAllBoxes();
    // Inserts the box before the first box whose top edge lies lower, or at the tail.
    static void InsertSortedByPosition(std::list<std::unique_ptr<CTarneloWnd>>& list, std::unique_ptr<CTarneloWnd> pBox);
    // TRUE when pBox is one of the listed box windows; the pointer is only compared.
    BOOL IsListedBox(const CTarneloWnd* pBox) const;
    // The listed box of that request id, or null.
    CTarneloWnd* FindBoxByRequestId(LPARAM id) const;

    // The event dispatchers; both always return 1.
    LRESULT OnBoxMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnWizardMsg(WPARAM wParam, LPARAM lParam);

    // Box events.
    void OnUpdateBoxInfo();
    // The box is named by its request id (CTarneloWnd::RequestId).
    void OnAddBox(LPARAM issuerId);
    void OnDeleteBox(LPARAM boxId);
    void OnEditBox(LPARAM boxId);
    void OnUpdateStyle(LPARAM lParam);
    void OnRestoreStyle();
    void OnUpdateConfig();
    void OnUpdateHotKey();
    void OnUpdateHorizontalSize(LPARAM width);
    void OnAlignWindow();
    void MoveOtherBoxes();

    // Keyboard selection and type-ahead (CTarneloWndManagerSelection.cpp).
    void OnHotKeySelection();
    void OnKeyEvent(UINT nKey);
    void SelectPrevBox();
    void SelectNextBox();
    void SelectFirstBox();
    void SelectLastBox();
    void OnTypeAhead(UINT nKey);
    CTarneloWnd* FindBoxByPrefix(const CString& text) const;

    // The tray icon: added by a timer once the boxes have shown; a left click brings the boxes
    // to the front, a right click opens the first box's menu.
    BOOL AddTrayIcon();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);

    // ---- Version check (its rules are in windows/VersionCheck) ---------------------------------
    // Asks the version server which version is the latest (at most once in 30 days), shows the
    // version notice when it is newer than this program's, and stores the time of the check.
    void CheckLatestVersion();
    // The version server's web address ("http://host"); null restores the maker's server.
    static void SetVersionServer(const wchar_t* address);

    // ---- Dialogs ---------------------------------------------------------------------------
    // What the edit-box dialog is preset with and gives back on OK.
    struct _BOX_DIALOG
    {
        BOOL bIconList = FALSE;  // icon images can be chosen
        BOOL bNewBox = FALSE;    // "Add Box" rather than editing
        CString strName;
        CString strIcon;
        COLORREF color = 0;
        Model::CConfigInfo* pConfig = nullptr;  // where the dialog keeps its size
    };
    using EditBoxDialogFn = INT_PTR (*)(_BOX_DIALOG& data);
    // Preset with the clearance; gives the new one back on OK.
    using ClearanceDialogFn = INT_PTR (*)(int& clearance);
    // Runs the first-boot wizard on this manager; IDOK when the user completed it.
    using WizardFn = INT_PTR (*)(CTarneloWndManager* pManager);
    // Replace the dialogs (tests answer them here); null restores the program's own.
    static void SetEditBoxDialogHook(EditBoxDialogFn fn);
    static void SetClearanceDialogHook(ClearanceDialogFn fn);
    static void SetWizardHook(WizardFn fn);

    // The manager's state: the selection mode, the data files' paths, the records it owns
    // and the boxes it shows.
    BOOL m_bSelectionMode;
    CString m_strDataFolder;
    CString m_strConfigPath;
    CString m_strStylePath;
    CString m_strBoxFilePath;
    Model::CTarneloInfoManager* m_pInfoManager;
    Model::CConfigInfo* m_pConfig;
    std::unique_ptr<Model::CTarneloStyleInfo> m_pStyle;
    // The boxes, owned; their order is the keyboard's order.
    std::list<std::unique_ptr<CTarneloWnd>> m_boxList;
    // The listed boxes as they stand, for code that only looks at them.
    std::vector<CTarneloWnd*> Boxes() const;
    CString m_strTypedText;
    int m_nClearance;
    CString m_strLoadWarning;  // shown once by timer kTimerLoadWarning

    // The window goes through here only: a WM_DESTROY that comes any other way (posted by
    // another process) is taken as a request to close.
    BOOL DestroyWindow() override;

    // ---- Saving (CTarneloWndManagerSaving.cpp) -------------------------------------------------
    // Every save of a data file goes through these. A save that fails is told to the user
    // once: not again while the same file keeps failing, again once it has been saved and
    // fails anew. What is in memory stays; the file is saved again by timer kTimerSaveRetry
    // (silently) until a save of it succeeds, and once more when the program ends.
    BOOL SaveBoxFile();
    BOOL SaveStyle();
    BOOL SaveConfig();
    // Takes the outcome of a save of the file at path: error 0 when it was saved, else the
    // system's error code. Gives the text to tell, empty when nothing is to be told.
    CString NoteSaveResult(const CString& path, DWORD error);
    // Before the program ends (a close, or the end of the Windows session): saves once more
    // each file whose last save failed, and names those that still fail, in a message box
    // or, at the end of a session, where no message can wait, in the log.
    void KeepChangesBeforeEnd(BOOL bSessionEnding);

protected:
    void OnClose();
    void OnDestroy();
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    // One handler per timer id; other ids take the default processing.
    void OnVersionCheckTimer();
    void OnTrayIconTimer();
    void OnLoadWarningTimer();
    void OnTypeAheadTimer();
    void OnSelectionTimer();
    void OnSaveWarningTimer();
    void OnPendingItemsTimer();
    void OnSaveRetryTimer();
    void OnHeldFilesTimer();

    DECLARE_MESSAGE_MAP()

private:
    // A request that frees boxes (deleting one, reloading all, closing the program) while a
    // box or its file list still runs a loop of its own inside one of its handlers would pull
    // the object out from under that handler. Such a request waits, and is posted again once
    // the loop has ended.
    struct _WAITING_REQUEST
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    // TRUE when the request has to wait: it is then kept (once) and the retry timer runs.
    BOOL WaitForLoops(UINT message, WPARAM wParam, LPARAM lParam, const wchar_t* name);
    BOOL MustWait(const _WAITING_REQUEST& request) const;
    // Posts every kept request whose loops have ended.
    void PostReadyRequests();

    // Puts back the style as last read or saved (as meant to be saved when its file could not
    // take it), undoing previews; the file is not read again.
    void ReloadStyle();
    // Loads the box file; when no box could be read, the six default boxes stand in. TRUE
    // when the file holds the user's boxes: it gave at least one, or another program holds it.
    BOOL LoadBoxes();
    // A style or box file held by another program at start, once it is free: its style or
    // boxes take the place of the defaults, unless those were changed meanwhile. TRUE when
    // nothing is left to wait for.
    BOOL SettleHeldStyle();
    BOOL SettleHeldBoxFile();
    // A file not read at start that has been read since: saved and told like any other.
    void ForgetUnreadFile(const CString& path);
    // The boxes whose names the user emptied in the wizard go for good, with their records;
    // the box file is saved without them.
    void RemoveBoxesTheWizardHid();
    // At exit: the icon keys that the items of the box file got since the start, when the
    // file's save with them is still to come, are saved with it now.
    void SaveIconKeysAtExit();
    // The warning about a damaged box file: it names the copy it is kept as, or says that it
    // could not be copied and is not saved over.
    static CString DamagedBoxFileWarning(const CString& keptCopy, const CString& boxFile);
    // A data file that is there but could not be read at start: told once the program is up
    // (the text of textId with the path and the system's reason), and not written in this run.
    void NoteUnreadFile(const CString& path, UINT textId, DWORD error);
    void NoteUnreadFile(const CString& path, const CString& warning);
    // Tells, once the program is up, of a box file that the last load found damaged.
    void NoteDamagedBoxFile();
    // Gives every box the style's size and brings back onto its monitor's work area a box that
    // lay inside it and that the new size pushes over an edge; a box left across an edge stays.
    // bSave makes that for good (the records and the box file); else only the windows move,
    // and the records keep where the user put the boxes (a preview, a cancel).
    void ResizeAllBoxes(BOOL bSave);
    // The largest work area of the monitors that hold a box (the primary's when there is none):
    // no box size may be larger.
    SIZE BoxesWorkAreaSize() const;
    // Removes a listed box: its window goes and leaves the list before its record is deleted.
    void RemoveBox(std::list<std::unique_ptr<CTarneloWnd>>::iterator it);
    void LogIgnoredBox(const wchar_t* event, LPARAM box) const;
    // The edit-box dialog (or its test hook); a failed save of the size it keeps is told.
    INT_PTR RunBoxDialog(_BOX_DIALOG& data);
    void ArmVersionCheck();
    // The current box (hovered), searched from the head or from the tail.
    CTarneloWnd* FindHoveredBox(BOOL bFromTail) const;
    void EnterSelectionMode();

    // Whether the path is one of the files (names compared as the file system does).
    static BOOL IsListed(const std::vector<CString>& files, const CString& path);
    static void Unlist(std::vector<CString>& files, const CString& path);

    std::vector<_WAITING_REQUEST> m_waitingRequests;
    // Saves each file whose last save failed; bAll also those never written in this run.
    void SaveFailedFilesAgain(BOOL bAll);

    std::vector<CString> m_failingSaves;  // files whose failed save was told, until saved
    std::vector<CString> m_unsavedFiles;  // files whose last save failed
    std::vector<CString> m_unreadFiles;   // files not read at start, never written in this run
    std::vector<CString> m_heldFiles;     // unread files the held-files timer still watches
    CString m_strSaveWarnings;             // told by timer kTimerSaveWarning
    // The style to keep: as last read or saved, or as meant to be saved when its file did not
    // take it (or, standing in for an unread file, was never saved at all). What a cancelled
    // style dialog, a reload of the boxes and the save retries go back to.
    std::unique_ptr<Model::CTarneloStyleInfo> m_pKeptStyle;
    BOOL m_bSaveWarningUp = FALSE;
    CTrayIcon m_trayIcon;
    // The box size the records' positions were chosen with: the size of the saved style.
    SIZE m_placedBoxSize = {};
    // A wizard's UpdateBoxInfo had to wait: its removals are still due, even once the wizard
    // has gone.
    BOOL m_bWizardRemovalsDue = FALSE;
    // Set by DestroyWindow: the WM_DESTROY that follows is the real one.
    BOOL m_bDestroying = FALSE;
};
