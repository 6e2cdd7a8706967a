// The box window's core: creation, style, hot key registration, size and move, its events
// and the busy state. Drawing, input and commands are in CTarneloWndDraw.cpp,
// CTarneloWndInput.cpp and CTarneloWndCommands.cpp.
#include "windows/CTarneloWnd.h"

#include "core/Logger.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/CTextStyle.h"
#include "resources/resource.h"
#include "windows/CFileListWnd.h"
#include "windows/CTarneloApp.h"

BOOL g_bMenuOpen = 0;
BOOL g_bFileListOpen = 0;
BOOL g_bNoFileNoticeShown = 0;
BOOL g_bFirstActivation = 1;
BOOL g_bDialogOpen = 0;

BEGIN_MESSAGE_MAP(CTarneloWnd, CVornWndBase)
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChangedMsg)
    ON_MESSAGE(WM_RBUTTONUP, OnRButtonUpMsg)
    ON_WM_DROPFILES()
    ON_TIMER(kTimerHoverCheck, OnHoverCheckTimer)
    ON_TIMER(kTimerButtonCheck, OnButtonCheckTimer)
    ON_TIMER(kTimerDelayedClick, OnDelayedClickTimer)
    ON_TIMER(kTimerCommandPending, OnCommandPendingTimer)
    ON_TIMER(kTimerListClose, OnListCloseTimer)
    ON_WM_ACTIVATE()
    ON_WM_KEYDOWN()
    ON_WM_HOTKEY()
    ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
    ON_MESSAGE(WM_REDRAWMSG, OnRedrawMsg)
    ON_MESSAGE(WM_FILEWNDMSG, OnFileWndMsg)
    ON_MESSAGE(WM_NOTICEMSG, OnNoticeMsg)
    ON_COMMAND(ID_BOX_NEW, OnNewBox)
    ON_COMMAND(ID_BOX_EDIT, OnEditBox)
    ON_COMMAND(ID_BOX_DELETE, OnDeleteBox)
    ON_COMMAND(ID_REGISTER_FROM_START_MENU, OnRegisterFromStartMenu)
    ON_COMMAND(ID_REGISTER_FROM_PROGRAM_FILES, OnRegisterFromProgramFiles)
    ON_COMMAND(ID_BOX_FIX_POSITION, OnFixPosition)
    ON_COMMAND(ID_BOX_ENTIRELY_MOVE, OnEntirelyMove)
    ON_COMMAND(ID_BOX_ALIGN, OnAlignBoxes)
    ON_COMMAND(ID_BOX_STYLE, OnStyle)
    ON_COMMAND(ID_BOX_OPTIONS, OnOptions)
    ON_COMMAND(ID_APP_HELP, OnHelp)
    ON_COMMAND(ID_APP_VERSION, OnVersion)
    ON_COMMAND(ID_APP_EXIT_TARNELO, OnExit)
END_MESSAGE_MAP()

namespace {

// Box windows are numbered in the order they are made, never reusing a number in a run; the
// high bits keep the numbers far from the small values and addresses others might post.
LPARAM s_lastBoxSerial = 0;
constexpr LPARAM kRequestIdTag = static_cast<LPARAM>(0x7B0C) << 48;

}  // namespace

CTarneloWnd::CTarneloWnd() : m_requestId(kRequestIdTag | ++s_lastBoxSerial) {}

CTarneloWnd::~CTarneloWnd()
{
    // The window goes while every member is still alive, so that its last messages (and
    // the owned notice popup's) reach complete objects; its hot key goes with it.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::UnregisterHotKey(m_hWnd, kHotKeyId);
        DestroyWindow();
    }
}

// ---- Creation and style ------------------------------------------------------------------------

BOOL CTarneloWnd::Create(Model::CTarneloInfo* pInfo, CWnd* pManager, UINT nBoxMsg, Model::CTarneloStyleInfo* pStyle,
                         Model::CConfigInfo* pConfig, BOOL bShowInTaskSwitcher)
{
    m_pConfig = pConfig;
    m_nBoxMsg = nBoxMsg;
    m_pStyle = pStyle;
    m_pInfo = pInfo;
    if (!pInfo || !pStyle || !pConfig) {
        Log(kLogError, L"<boxwnd> Create: no record, style or settings");
        return FALSE;
    }

    const CString title = CString(L"Tarnelo") + pInfo->m_strName;
    SetStyle(pStyle);

    int width = 0;
    int height = 0;
    pStyle->MeasureBox(width, height, pManager ? pManager->GetSafeHwnd() : nullptr);
    Log(kLogInfo, FormatString(L"<boxwnd> create id:%u pos:(%ld,%ld) size:(%d,%d)", pInfo->m_nId, pInfo->m_pos.x,
                              pInfo->m_pos.y, width, height));

    if (!CVornWndBase::Create({ .title = title, .x = pInfo->m_pos.x, .y = pInfo->m_pos.y, .width = width,
                                .height = height, .owner = pManager, .taskSwitcher = bShowInTaskSwitcher }))
        return FALSE;

    ::DragAcceptFiles(m_hWnd, TRUE);
    RegisterRecordHotKey();
    PostRedraw();
    SetTimer(kTimerHoverCheck, kHoverCheckMs);
    SetTimer(kTimerButtonCheck, kButtonCheckMs);
    return TRUE;
}

BOOL CTarneloWnd::RegisterRecordHotKey()
{
    if (!m_pInfo || m_pInfo->m_nHotKeyKey == 0)
        return TRUE;
    if (!::RegisterHotKey(m_hWnd, kHotKeyId, m_pInfo->m_nHotKeyModifiers, m_pInfo->m_nHotKeyKey)) {
        // Another program (or box) holds the key (1409): say so, the box works without it.
        LogValue(kLogError, FormatString(L"<boxwnd> RegisterHotKey failed (%u,%u) le:", m_pInfo->m_nHotKeyModifiers,
                                       m_pInfo->m_nHotKeyKey),
                 static_cast<long>(::GetLastError()));
        return FALSE;
    }
    LogValue2(kLogInfo, L"<boxwnd> register hot key", static_cast<long>(m_pInfo->m_nHotKeyModifiers),
              static_cast<long>(m_pInfo->m_nHotKeyKey));
    return TRUE;
}

BOOL CTarneloWnd::ReRegisterHotKey()
{
    if (!m_hWnd)
        return FALSE;
    ::UnregisterHotKey(m_hWnd, kHotKeyId);
    return RegisterRecordHotKey();
}

CString CTarneloWnd::GetName() const
{
    return m_pInfo ? m_pInfo->m_strName : CString();
}

void CTarneloWnd::SetStyle(Model::CTarneloStyleInfo* pStyle)
{
    if (!pStyle)
        return;
    try {
        if (pStyle->m_nKind == Model::CTarneloStyleInfo::kKindIconAndTitle) {
            const Model::CTextStyle& ts = pStyle->m_titleStyle;
            m_titleText.SetTextColor(Gdiplus::Color(ts.m_textColor));
            m_titleText.SetFont(ts.m_strFontFace, ts.m_nFontSize, ts.m_nFontStyle);
            m_titleText.SetOutlineEnabled(ts.m_bOutline != 0);
            m_titleText.SetOutline(Gdiplus::Color(ts.m_outlineColor), ts.m_nOutlineThickness);
            m_titleText.SetShadowEnabled(ts.m_bShadow != 0);
            m_titleText.SetShadow(Gdiplus::Color(ts.m_shadowColor), ts.m_nShadowThickness,
                                  Gdiplus::Point(ts.m_shadowOffset.x, ts.m_shadowOffset.y));
        }
        CString iconPath;
        iconPath.Format(L"%s\\%s", CTarneloApp::GetIconsFolder().GetString(),
                        m_pInfo ? m_pInfo->m_strIcon.GetString() : L"");
        m_pIconImage.reset();
        m_pIconImage = std::make_unique<Gdiplus::Image>(iconPath.GetString());
    } catch (CException* e) {
        e->Delete();
        Log(kLogError, L"<boxwnd> SetStyle exception.");
    } catch (...) {
        Log(kLogError, L"<boxwnd> SetStyle exception.");
    }
}

int CTarneloWnd::OnCreate(LPCREATESTRUCTW createStruct)
{
    return CVornWndBase::OnCreate(createStruct) == -1 ? -1 : 0;
}

// ---- Geometry ----------------------------------------------------------------------------------

void CTarneloWnd::ResizeBox(int width, int height)
{
    m_rect.right = m_rect.left + width;
    m_rect.bottom = m_rect.top + height;
    m_rcContent.Width = width;
    m_rcContent.Height = height;
    if (m_hWnd)
        ::MoveWindow(m_hWnd, m_rect.left, m_rect.top, width, height, TRUE);
}

void CTarneloWnd::MoveBoxTo(int x, int y)
{
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    m_rect = RECT{ x, y, x + width, y + height };
    if (m_pInfo) {
        m_pInfo->m_pos.x = x;
        m_pInfo->m_pos.y = y;
    }
    if (m_hWnd)
        ::MoveWindow(m_hWnd, x, y, width, height, TRUE);
}

LRESULT CTarneloWnd::OnDisplayChange(WPARAM, LPARAM)
{
    if (m_pInfo && m_pInfo->AdjustPosition()) {
        const int width = m_rect.right - m_rect.left;
        const int height = m_rect.bottom - m_rect.top;
        m_rect = RECT{ m_pInfo->m_pos.x, m_pInfo->m_pos.y, m_pInfo->m_pos.x + width, m_pInfo->m_pos.y + height };
        ::SetWindowPos(m_hWnd, nullptr, m_rect.left, m_rect.top, 0, 0,
                       SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
        // A box brought back onto a smaller screen must be movable even when fixed.
        if (m_pConfig)
            m_pConfig->m_bLock = FALSE;
    }
    return 0;
}

// ---- Events ------------------------------------------------------------------------------------

void CTarneloWnd::PostBoxEvent(WPARAM code, LPARAM value)
{
    if (m_pOwner && m_pOwner->GetSafeHwnd())
        ::PostMessageW(m_pOwner->GetSafeHwnd(), m_nBoxMsg, code, value);
}

void CTarneloWnd::PostRedraw()
{
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_REDRAWMSG, 0, 0);
}

BOOL CTarneloWnd::IsBusy() const
{
    return (g_bDialogOpen || g_bMenuOpen || g_bFileListOpen || g_bBoxDialogOpen || m_bCommandPending) ? TRUE : FALSE;
}

BOOL CTarneloWnd::IsRunningLoop() const
{
    return IsHandlingMessage() || (m_pFileList && m_pFileList->IsHandlingMessage()) ? TRUE : FALSE;
}
