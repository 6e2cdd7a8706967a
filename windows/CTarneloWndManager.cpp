// The manager window's boxes and events: the box windows it makes from the records and
// keeps in its list, and the box and wizard events that change them, each saving the file
// it concerns. Start-up, timers and the end are in CTarneloWndManagerLifetime.cpp, the
// keyboard selection in CTarneloWndManagerSelection.cpp, where the boxes stand when
// resized or moved together in CTarneloWndManagerPlacement.cpp.
#include "windows/CTarneloWndManager.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "core/Logger.h"
#include "core/ShellHelpers.h"
#include "dialogs/CInputBoxSpaceDlg.h"
#include "dialogs/CSetBoxDlg.h"
#include "framework/ScopedHandles.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"
#include "windows/BoxGeometry.h"
#include "windows/CAlignManager.h"
#include "windows/CTarneloApp.h"
#include "windows/CTarneloWnd.h"

BOOL g_bDeletingBox = FALSE;
// g_bWizardExists belongs to the wizard (dialogs/CWizardDlg.cpp), which sets and clears it.

namespace {

// The edit-box dialog, preset from the event and read back on OK.
INT_PTR RunEditBoxDialog(CTarneloWndManager::_BOX_DIALOG& data)
{
    CSetBoxDlg dialog;
    dialog.m_bIconEnabled = data.bIconList;
    dialog.m_bAddMode = data.bNewBox;
    dialog.m_strName = data.strName;
    dialog.m_strIcon = data.strIcon;
    dialog.m_color = data.color;
    dialog.m_pConfig = data.pConfig;
    dialog.m_strIconsFolder = CTarneloApp::GetIconsFolder();
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK) {
        data.strName = dialog.m_strName;
        data.strIcon = dialog.m_strIcon;
        data.color = dialog.m_color;
    }
    return result;
}

// The clearance dialog, preset with the clearance and read back on OK.
INT_PTR RunClearanceDialog(int& clearance)
{
    CInputBoxSpaceDlg dialog;
    dialog.m_nSpace = clearance;
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK)
        clearance = dialog.m_nSpace;
    return result;
}

CTarneloWndManager::EditBoxDialogFn s_editBoxDialog = &RunEditBoxDialog;
CTarneloWndManager::ClearanceDialogFn s_clearanceDialog = &RunClearanceDialog;

// The box colour is ARGB in the style; the dialog shows it as COLORREF.
COLORREF ArgbToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

BEGIN_MESSAGE_MAP(CTarneloWndManager, CWnd)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_TIMER(kTimerVersionCheck, OnVersionCheckTimer)
    ON_TIMER(kTimerWaitingRequests, PostReadyRequests)
    ON_TIMER(kTimerTrayIcon, OnTrayIconTimer)
    ON_TIMER(kTimerLoadWarning, OnLoadWarningTimer)
    ON_TIMER(kTimerTypeAhead, OnTypeAheadTimer)
    ON_TIMER(kTimerSelection, OnSelectionTimer)
    ON_TIMER(kTimerSaveWarning, OnSaveWarningTimer)
    ON_TIMER(kTimerPendingItems, OnPendingItemsTimer)
    ON_TIMER(kTimerSaveRetry, OnSaveRetryTimer)
    ON_TIMER(kTimerHeldFiles, OnHeldFilesTimer)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
    ON_MESSAGE(WM_BOXMSG, OnBoxMsg)
    ON_MESSAGE(WM_WIZMSG, OnWizardMsg)
    ON_MESSAGE(WM_TRAYMSG, OnTrayNotify)
END_MESSAGE_MAP()

CTarneloWndManager::CTarneloWndManager(Model::CTarneloInfoManager* pInfoManager, Model::CConfigInfo* pConfig)
    : m_bSelectionMode(FALSE),
      m_pInfoManager(pInfoManager),
      m_pConfig(pConfig),
      m_nClearance(kDefaultClearance),
      m_trayIcon(kTrayIconId)
{
}

CTarneloWndManager::~CTarneloWndManager()
{
    // Destroyed here, while this class's handlers still exist, so that the boxes, the style
    // and the tray icon go the same way as on a normal exit.
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    DestroyAllBoxes();
    m_pStyle.reset();
}

void CTarneloWndManager::SetEditBoxDialogHook(EditBoxDialogFn fn)
{
    s_editBoxDialog = fn ? fn : &RunEditBoxDialog;
}

void CTarneloWndManager::SetClearanceDialogHook(ClearanceDialogFn fn)
{
    s_clearanceDialog = fn ? fn : &RunClearanceDialog;
}

INT_PTR CTarneloWndManager::RunBoxDialog(_BOX_DIALOG& data)
{
    const UINT saves = m_pConfig ? m_pConfig->GetSaveCount() : 0;
    const INT_PTR result = s_editBoxDialog(data);
    // The dialog keeps its size in the settings and saves them itself, once it has shown a
    // while: only a save it made has an outcome to note.
    if (m_pConfig && m_pConfig->GetSaveCount() != saves)
        NoteSaveResult(m_strConfigPath, m_pConfig->GetSaveError());
    return result;
}

void CTarneloWndManager::CreateBoxies(BOOL bPlace)
{
    Log(kLogInfo, L"<boxmng> CreateBoxies");
    DestroyAllBoxes();
    if (!m_pStyle || !m_pInfoManager || !m_pConfig)
        return;

    ReloadStyle();
    LoadBoxes();

    int index = 0;
    for (Model::CTarneloInfo* record : m_pInfoManager->m_boxes) {
        auto box = std::make_unique<CTarneloWnd>();
        if (bPlace) {
            // One column 200 pixels in from the right edge of the virtual screen; only the
            // records change, nothing is saved here.
            int width = 0;
            int height = 0;
            m_pStyle->MeasureBox(width, height, m_hWnd);
            // A box as wide as the screen still starts on it.
            const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
            record->m_pos.x = std::max(left, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN) - width - 200);
            record->m_pos.y = ::GetSystemMetrics(SM_YVIRTUALSCREEN) + 20 + index * (height + 8);
        }
        // The wizard's box panel makes the boxes while the wizard has the keyboard: they appear
        // beside it and leave it active.
        box->m_bShowInactive = g_bWizardExists;
        if (box->Create(record, this, WM_BOXMSG, m_pStyle.get(), m_pConfig, index == 0 ? TRUE : FALSE))
            m_boxList.push_back(std::move(box));
        ++index;
    }
    int width = 0;
    int height = 0;
    m_pStyle->MeasureBox(width, height, m_hWnd);
    m_placedBoxSize = SIZE{ width, height };
    Log(kLogInfo, L"CreateBoxies-done");
}

void CTarneloWndManager::DestroyAllBoxes()
{
    for (const auto& box : m_boxList) {
        if (box->m_hWnd && ::IsWindow(box->m_hWnd))
            box->DestroyWindow();
    }
    m_boxList.clear();
}

std::vector<CTarneloWnd*> CTarneloWndManager::Boxes() const
{
    std::vector<CTarneloWnd*> boxes;
    boxes.reserve(m_boxList.size());
    for (const auto& box : m_boxList)
        boxes.push_back(box.get());
    return boxes;
}

CTarneloWnd* CTarneloWndManager::FindBoxByInfo(const Model::CTarneloInfo* pInfo) const
{
    for (const auto& box : m_boxList) {
        if (box->m_pInfo == pInfo)
            return box.get();
    }
    return nullptr;
}

BOOL CTarneloWndManager::IsListedBox(const CTarneloWnd* pBox) const
{
    if (!pBox)
        return FALSE;
    for (const auto& box : m_boxList) {
        if (box.get() == pBox)
            return TRUE;
    }
    return FALSE;
}

CTarneloWnd* CTarneloWndManager::FindBoxByRequestId(LPARAM id) const
{
    for (const auto& box : m_boxList) {
        if (box->RequestId() == id)
            return box.get();
    }
    return nullptr;
}

void CTarneloWndManager::RefreshAllBoxes()
{
    for (const auto& box : m_boxList) {
        box->SetHighlight(m_bSelectionMode);
        const BOOL visible = box->m_pInfo && box->m_pInfo->m_bVisible;
        // Showing a box again never takes the activation from the window that has it.
        ::ShowWindow(box->m_hWnd, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void CTarneloWndManager::InsertSortedByPosition(std::list<std::unique_ptr<CTarneloWnd>>& list,
                                                std::unique_ptr<CTarneloWnd> pBox)
{
    RECT own = {};
    pBox->GetRect(own);
    for (auto it = list.begin(); it != list.end(); ++it) {
        RECT other = {};
        (*it)->GetRect(other);
        if (other.top > own.top) {
            list.insert(it, std::move(pBox));
            return;
        }
    }
    list.push_back(std::move(pBox));
}

void CTarneloWndManager::RemoveBox(std::list<std::unique_ptr<CTarneloWnd>>::iterator it)
{
    std::unique_ptr<CTarneloWnd> box = std::move(*it);
    Model::CTarneloInfo* record = box->m_pInfo;
    // The window must not outlive its record: it goes first, and leaves the list, before the
    // record is deleted.
    m_boxList.erase(it);
    if (box->m_hWnd && ::IsWindow(box->m_hWnd))
        box->DestroyWindow();
    box.reset();
    if (record)
        m_pInfoManager->DeleteBox(record);
}

void CTarneloWndManager::LogIgnoredBox(const wchar_t* event, LPARAM box) const
{
    // Also a request whose box has gone since it was posted.
    Log(kLogWarn, FormatString(L"<boxmng> %s: not a box of this program (%p), ignored", event,
                               reinterpret_cast<const void*>(box)));
}

// ---- Dispatch ----------------------------------------------------------------------------------

LRESULT CTarneloWndManager::OnBoxMsg(WPARAM wParam, LPARAM lParam)
{
    LogValue2(kLogInfo, L"<boxmng> box msg", static_cast<long>(wParam), static_cast<long>(lParam));
    if (wParam > BOXEVENT_LAST)
        return 1;
    switch (wParam) {
    case BOXEVENT_UPDATE_BOX_INFO: OnUpdateBoxInfo(); break;
    case BOXEVENT_ADD_BOX: OnAddBox(lParam); break;
    case BOXEVENT_DELETE_BOX: OnDeleteBox(lParam); break;
    case BOXEVENT_EDIT_BOX: OnEditBox(lParam); break;
    case BOXEVENT_UPDATE_STYLE: OnUpdateStyle(lParam); break;
    case BOXEVENT_RESTORE_STYLE: OnRestoreStyle(); break;
    case BOXEVENT_UPDATE_CONFIG: OnUpdateConfig(); break;
    case BOXEVENT_UPDATE_HOT_KEY: OnUpdateHotKey(); break;
    case BOXEVENT_UPDATE_HORIZONTAL_SIZE: OnUpdateHorizontalSize(lParam); break;
    case BOXEVENT_ALIGN_WINDOW: OnAlignWindow(); break;
    case BOXEVENT_KEY: OnKeyEvent(static_cast<UINT>(lParam)); break;
    case BOXEVENT_HOT_KEY_SELECTION: OnHotKeySelection(); break;
    case BOXEVENT_ENTIRELY_MOVE: MoveOtherBoxes(); break;
    case BOXEVENT_EXIT_APP: ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0); break;
    default: break;
    }
    return 1;
}

LRESULT CTarneloWndManager::OnWizardMsg(WPARAM wParam, LPARAM lParam)
{
    LogValue2(kLogInfo, L"<boxmng> wiz msg", static_cast<long>(wParam), static_cast<long>(lParam));
    if (wParam > WIZEVENT_LAST)
        return 1;
    // Only the wizard's panels send these; from anywhere else they would rebuild, restack
    // or edit the boxes behind the user's back.
    if (!g_bWizardExists) {
        Log(kLogWarn, L"<boxmng> wiz msg without a wizard, ignored");
        return 1;
    }
    switch (wParam) {
    case WIZEVENT_RELOAD_BOXIES:
        Log(kLogInfo, L"Event: ReloadBoxies");
        if (WaitForLoops(WM_WIZMSG, WIZEVENT_RELOAD_BOXIES, lParam != 0 ? 1 : 0, L"ReloadBoxies"))
            break;
        DestroyAllBoxes();
        CreateBoxies(lParam != 0 ? TRUE : FALSE);
        break;
    case WIZEVENT_EDIT_BOX: {
        // Only compared with the listed boxes' records.
        const CTarneloWnd* box = FindBoxByInfo(reinterpret_cast<const Model::CTarneloInfo*>(lParam));
        OnEditBox(box ? box->RequestId() : 0);
        break;
    }
    case WIZEVENT_UPDATE_BOX_INFO: OnUpdateBoxInfo(); break;
    case WIZEVENT_UPDATE_BOXIES:
        Log(kLogInfo, L"Event: UpdateBoxies");
        RefreshAllBoxes();
        break;
    case WIZEVENT_UPDATE_STYLE: OnUpdateStyle(lParam); break;
    case WIZEVENT_RESTORE_STYLE: OnRestoreStyle(); break;
    default: break;
    }
    return 1;
}

// ---- Box events --------------------------------------------------------------------------------

void CTarneloWndManager::OnUpdateBoxInfo()
{
    Log(kLogInfo, L"Event: UpdateBoxInfo");
    if (!m_pInfoManager)
        return;
    // The wizard's box panel hides the boxes the user does not want; they go for good here,
    // also when this had to wait until the wizard was gone.
    if (g_bWizardExists || m_bWizardRemovalsDue) {
        if (WaitForLoops(WM_BOXMSG, BOXEVENT_UPDATE_BOX_INFO, 0, L"UpdateBoxInfo")) {
            m_bWizardRemovalsDue = TRUE;
            return;
        }
        RemoveBoxesTheWizardHid();
        return;
    }
    SaveBoxFile();
}

void CTarneloWndManager::RemoveBoxesTheWizardHid()
{
    m_bWizardRemovalsDue = FALSE;
    for (auto it = m_boxList.begin(); it != m_boxList.end();) {
        auto next = std::next(it);
        if ((*it)->m_pInfo && !(*it)->m_pInfo->m_bVisible)
            RemoveBox(it);
        it = next;
    }
    SaveBoxFile();
}

void CTarneloWndManager::OnAddBox(LPARAM issuerId)
{
    Log(kLogInfo, L"Event: AddBox");
    if (!FindBoxByRequestId(issuerId)) {
        LogIgnoredBox(L"AddBox", issuerId);
        return;
    }
    if (!m_pStyle || !m_pInfoManager)
        return;

    _BOX_DIALOG dialog;
    dialog.bIconList = m_pStyle->HasBoxIcon();
    dialog.bNewBox = TRUE;
    dialog.color = ArgbToColorRef(m_pStyle->GetBoxColor());
    dialog.pConfig = m_pConfig;
    if (RunBoxDialog(dialog) != IDOK)
        return;
    // The dialog's own message loop may have removed the issuing box meanwhile.
    CTarneloWnd* const pIssuer = FindBoxByRequestId(issuerId);
    if (!pIssuer) {
        LogIgnoredBox(L"AddBox", issuerId);
        return;
    }

    m_pStyle->SetBoxColor(dialog.color);
    Model::CTarneloInfo* record = m_pInfoManager->AddNewBox();
    if (!record)
        return;

    // Below the issuing box, on a place of its own: never over another box while the
    // issuer's screen has a free place near it.
    RECT issuer = {};
    pIssuer->GetRect(issuer);
    std::vector<RECT> boxes;
    for (const auto& box : m_boxList) {
        RECT r = {};
        box->GetRect(r);
        boxes.push_back(r);
    }
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromRect(&issuer, MONITOR_DEFAULTTONEAREST), &monitor))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    record->m_pos = PlaceNewBox(issuer, m_pStyle->GetBoxSize(m_hWnd), boxes, monitor.rcWork, GetVirtualScreenRect());
    record->m_strName = dialog.strName;
    record->m_strIcon = dialog.strIcon;

    auto box = std::make_unique<CTarneloWnd>();
    if (!box->Create(record, this, WM_BOXMSG, m_pStyle.get(), m_pConfig, FALSE)) {
        // The record stays in the list and is saved with the next save of the box file.
        Log(kLogError, L"<boxmng> AddBox: the box window could not be created");
        return;
    }
    m_boxList.push_back(std::move(box));
    SaveBoxFile();
    SaveStyle();
    RefreshAllBoxes();
}

void CTarneloWndManager::OnDeleteBox(LPARAM boxId)
{
    Log(kLogInfo, L"Event: DeleteBox");
    if (g_bDeletingBox)
        return;
    if (!FindBoxByRequestId(boxId)) {
        LogIgnoredBox(L"DeleteBox", boxId);
        return;
    }
    if (WaitForLoops(WM_BOXMSG, BOXEVENT_DELETE_BOX, boxId, L"DeleteBox"))
        return;
    const ScopedFlag deleting(g_bDeletingBox);
    if (m_boxList.size() == 1) {
        ShowWarningMessage(IDS_CANT_DELETE_LAST_BOX);
        return;
    }

    const ScopedFlag dialogOpen(g_bDialogOpen);
    if (ShowQuestionMessage(IDS_DELETE_BOX_QUESTION) == IDYES) {
        // Looked up again: the question's message loop may have removed the box.
        auto it = m_boxList.begin();
        while (it != m_boxList.end() && (*it)->RequestId() != boxId)
            ++it;
        if (it != m_boxList.end()) {
            RemoveBox(it);
            SaveBoxFile();
        } else {
            LogIgnoredBox(L"DeleteBox", boxId);
        }
    }
}

void CTarneloWndManager::OnEditBox(LPARAM boxId)
{
    Log(kLogInfo, L"Event: EditBox");
    const ScopedFlag dialogOpen(g_bDialogOpen);
    if (!boxId)
        return;
    CTarneloWnd* pBox = FindBoxByRequestId(boxId);
    if (!pBox || !pBox->m_pInfo || !m_pStyle || !m_pInfoManager) {
        LogIgnoredBox(L"EditBox", boxId);
        return;
    }

    _BOX_DIALOG dialog;
    dialog.bIconList = m_pStyle->HasBoxIcon();
    dialog.bNewBox = FALSE;
    dialog.strName = pBox->m_pInfo->m_strName;
    dialog.strIcon = pBox->m_pInfo->m_strIcon;
    dialog.color = ArgbToColorRef(m_pStyle->GetBoxColor());
    dialog.pConfig = m_pConfig;
    if (RunBoxDialog(dialog) == IDOK) {
        pBox = FindBoxByRequestId(boxId);
        if (pBox && pBox->m_pInfo) {
            m_pStyle->SetBoxColor(dialog.color);
            pBox->m_pInfo->m_strName = dialog.strName;
            pBox->m_pInfo->m_strIcon = dialog.strIcon;
            SaveBoxFile();
            SaveStyle();
        } else {
            LogIgnoredBox(L"EditBox", boxId);
        }
    }

    for (const auto& box : m_boxList)
        box->m_bHover = FALSE;
    RefreshAllBoxes();
}

void CTarneloWndManager::OnUpdateStyle(LPARAM lParam)
{
    Log(kLogInfo, L"Event: UpdateStyle");
    if (!m_pStyle || !m_pInfoManager)
        return;
    if (m_pStyle->m_nIconDisplay == Model::CTarneloStyleInfo::kIconDisplayHidden) {
        m_pStyle->m_iconPos = POINT{ 0, 0 };
        m_pStyle->m_titleMargins.cxLeftWidth = 2;
        m_pStyle->m_titleMargins.cyTopHeight = 4;
    } else {
        SIZE icon = {};
        m_pInfoManager->GetMaxIconSize(&icon);
        if (m_pStyle->m_nIconDisplay == Model::CTarneloStyleInfo::kIconDisplayHalf) {
            icon.cx /= 2;
            icon.cy /= 2;
        }
        m_pStyle->m_iconPos = POINT{ 4, 4 };
        m_pStyle->m_nIconCellWidth = static_cast<int>(std::min<LONG>(icon.cx, INT_MAX - 8)) + 8;
        m_pStyle->m_nIconCellHeight = static_cast<int>(std::min<LONG>(icon.cy, INT_MAX - 8)) + 8;
    }
    // The icon images and the style dialog's values are bounded like the file's.
    Model::BoundStyleSizes(*m_pStyle, BoxesWorkAreaSize(), L"UpdateStyle");
    // 1 is the style dialog's live preview: shown, not saved.
    if (lParam == 0)
        SaveStyle();
    ResizeAllBoxes(lParam == 0 ? TRUE : FALSE);
}

void CTarneloWndManager::ReloadStyle()
{
    // Not read from the file again: another program may hold it at this very moment (a sync
    // tool uploading the style just saved), and its defaults would then replace a good style.
    if (m_pKeptStyle)
        *m_pStyle = *m_pKeptStyle;
}

void CTarneloWndManager::OnRestoreStyle()
{
    Log(kLogInfo, L"Event: RestoreStyle");
    if (!m_pStyle)
        return;
    ReloadStyle();
    // Previews resized the boxes: they take the size of the stored style again, the size
    // they were created with.
    ResizeAllBoxes(FALSE);
}

void CTarneloWndManager::OnUpdateConfig()
{
    Log(kLogInfo, L"Event: UpdateConfig");
    if (m_pConfig)
        SaveConfig();
}

void CTarneloWndManager::OnUpdateHotKey()
{
    Log(kLogInfo, L"Event: UpdateHotKey");
    for (const auto& box : m_boxList)
        box->ReRegisterHotKey();
    if (m_pInfoManager)
        SaveBoxFile();
}

void CTarneloWndManager::OnUpdateHorizontalSize(LPARAM width)
{
    Log(kLogInfo, L"Event: UpdateHorizontalSize");
    if (!m_pStyle)
        return;
    // Any process can post this width: it is brought between the narrowest box that can
    // still be seen, grabbed and widened and the width of the work area.
    const int boxWidth = Model::BoundBoxWidth(width, *m_pStyle, BoxesWorkAreaSize());
    if (boxWidth != width)
        LogValue(kLogWarn, L"<boxmng> box width out of range, taken as", boxWidth);
    // Without the icon the title is the whole box; the box is sized as a restart sizes it.
    const BOOL noIcon = m_pStyle->m_nIconDisplay == Model::CTarneloStyleInfo::kIconDisplayHidden;
    m_pStyle->m_nTitleWidth = noIcon ? boxWidth : boxWidth - m_pStyle->m_nIconCellWidth;
    SaveStyle();
    ResizeAllBoxes(TRUE);
}

void CTarneloWndManager::OnAlignWindow()
{
    Log(kLogInfo, L"Event: AlignWindow");
    int clearance = m_nClearance;
    if (s_clearanceDialog(clearance) != IDOK)
        return;
    m_nClearance = clearance;

    // The grid starts at the smallest left and the smallest top edge; every box has the
    // shared style's size, so the last one gives the cell.
    POINT origin = { INT_MAX, INT_MAX };
    SIZE cell = { 0, 0 };
    for (const auto& box : m_boxList) {
        RECT r = {};
        box->GetRect(r);
        origin.x = std::min(origin.x, r.left);
        origin.y = std::min(origin.y, r.top);
        cell = SIZE{ r.right - r.left, r.bottom - r.top };
    }

    // The list follows the top edges from now on, so that keyboard navigation runs down and
    // higher boxes choose their slots first.
    std::list<std::unique_ptr<CTarneloWnd>> sorted;
    for (auto& box : m_boxList)
        InsertSortedByPosition(sorted, std::move(box));
    m_boxList.swap(sorted);

    if (!m_boxList.empty()) {
        Utility::CAlignManager grid;
        grid.BuildGrid(origin, cell, m_nClearance, m_nClearance);
        for (const auto& box : m_boxList) {
            RECT r = {};
            box->GetRect(r);
            POINT slot = {};
            if (grid.FindSlot(POINT{ r.left, r.top }, &slot))
                box->MoveBoxTo(slot.x, slot.y);
        }
    }
    if (m_pInfoManager)
        SaveBoxFile();
}
