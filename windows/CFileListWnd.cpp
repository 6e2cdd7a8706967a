// The file list's core: opening (measuring, placing and creating the window), the rows it
// starts with, and the close protocol with its box. Drawing, input and the item commands
// live in CFileListWndDraw.cpp, CFileListWndInput.cpp and CFileListWndCommands.cpp.
#include "windows/CFileListWnd.h"

#include <memory>
#include <vector>

#include "core/Logger.h"
#include "core/ShellHelpers.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"
#include "windows/FileListLayout.h"

using namespace FileListLayout;

BEGIN_MESSAGE_MAP(CFileListWnd, CVornWndBase)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_TIMER(IDT_AUTO_CLOSE, OnAutoCloseTimer)
    ON_TIMER(IDT_TYPEAHEAD_CLEAR, OnTypeAheadTimer)
    ON_TIMER(IDT_REORDER_SCROLL, OnReorderScrollTimer)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
    ON_WM_DROPFILES()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_REDRAWMSG, OnRedrawMsg)
    ON_COMMAND(ID_ITEM_OPEN, OnMenuOpen)
    ON_COMMAND(ID_ITEM_COPY, OnMenuCopy)
    ON_COMMAND(ID_ITEM_OPEN_LOCATION, OnMenuOpenFolder)
    ON_COMMAND(ID_ITEM_DELETE, OnMenuDelete)
    ON_COMMAND(ID_ITEM_PROPERTIES, OnMenuProperties)
    ON_COMMAND(ID_ITEM_RENAME, OnMenuRename)
END_MESSAGE_MAP()

CFileListWnd::CFileListWnd() = default;

CFileListWnd::~CFileListWnd()
{
    ClearFileList();
}

// ---- Opening -----------------------------------------------------------------------------------

BOOL CFileListWnd::Open(Model::CTarneloInfo* pInfo, Gdiplus::Graphics* pGraphics, CWnd* pOwner, UINT nNotifyMsg,
                        Model::CTarneloStyleInfo* pStyle, Model::CConfigInfo* pConfig, BOOL bMoveCursor)
{
    if (m_hWnd || !pInfo || !pStyle)
        return FALSE;
    ::Log(kLogAction, L"<filewnd> - open");

    const BOOL smallMenu = pStyle->m_bSmallMenu;
    m_nRowHeight = GetRowHeight(smallMenu);
    m_nIconColumnWidth = GetIconColumnWidth(smallMenu);
    m_pInfo = pInfo;
    m_pStyle = pStyle;
    m_pConfig = pConfig;
    m_nNotifyMsg = nNotifyMsg;

    m_text.SetTextColor(Gdiplus::Color(pStyle->m_menuTextColor));
    m_text.SetFont(pStyle->m_strMenuFontFace, smallMenu ? pStyle->m_nMenuFontSizeSmall : pStyle->m_nMenuFontSizeLarge,
                   pStyle->m_nMenuFontStyle);
    m_text.SetOutlineEnabled(false);
    m_text.SetShadowEnabled(false);

    // The names are measured on the box's surface; without one, on a private bitmap.
    std::unique_ptr<Gdiplus::Bitmap> ownBitmap;
    std::unique_ptr<Gdiplus::Graphics> ownGraphics;
    if (!pGraphics) {
        ownBitmap = std::make_unique<Gdiplus::Bitmap>(1, 1, PixelFormat32bppARGB);
        ownGraphics.reset(Gdiplus::Graphics::FromImage(ownBitmap.get()));
        pGraphics = ownGraphics.get();
    }
    Gdiplus::StringFormat format;
    const auto measure = [&](const CString& text) {
        SIZE measured = {0, 0};
        m_text.Measure(pGraphics, text, &format, &measured);
        return static_cast<int>(measured.cx);
    };
    int widest = 0;
    std::vector<int> widths;
    if (pGraphics) {
        widths.reserve(pInfo->m_items.size());
        const BOOL showExtension = pConfig ? pConfig->m_bShowExtension : FALSE;
        for (const Model::CTarneloInfo::_ITEM& item : pInfo->m_items) {
            widths.push_back(measure(GetDisplayName(item.nType, item.strName, showExtension)));
            if (widths.back() > widest)
                widest = widths.back();
        }
    }

    const SIZE box = pStyle->GetBoxSize(pOwner ? pOwner->m_hWnd : nullptr);
    const RECT boxRect = {pInfo->m_pos.x, pInfo->m_pos.y, pInfo->m_pos.x + box.cx, pInfo->m_pos.y + box.cy};
    const RECT placed = PlaceList(pInfo->m_pos, pStyle->m_nIconDisplay, box.cy,
                                  GetListSize(m_nIconColumnWidth, widest, m_nRowHeight, pInfo->m_items.size()),
                                  m_nRowHeight, GetListArea(boxRect));
    const POINT pos = {placed.left, placed.top};
    const SIZE size = {placed.right - placed.left, placed.bottom - placed.top};

    m_nWidth = size.cx;
    m_rows.clear();
    m_pCurrent = nullptr;
    m_pDrawnCurrent = nullptr;
    m_bFullRedrawDue = TRUE;
    m_icons.clear();
    m_nTopRow = 0;
    m_nWheelDelta = 0;
    BuildFileInfoList(pInfo->m_items, size.cx, m_nRowHeight);
    // A name wider than the list is cut to it, with an ellipsis.
    const int nameArea = size.cx - m_nIconColumnWidth - kNameGap;
    auto width = widths.begin();
    for (auto& row : m_rows) {
        if (width != widths.end() && *width++ > nameArea)
            row->strShownName = FitNameWithEllipsis(DisplayName(*row), nameArea, measure);
    }

    if (!Create({ .title = L"VornFileList", .x = pos.x, .y = pos.y, .width = size.cx, .height = size.cy,
                  .owner = pOwner, .shadow = TRUE, .shadowX = 3, .shadowY = 3, .region = TRUE,
                  .color = kWindowColor })) {
        m_rows.clear();
        return FALSE;
    }

    g_bFileListOpen = 1;
    m_nOutsideTicks = 0;
    m_bCloseRequested = FALSE;
    PostRedraw();
    SetTimer(IDT_AUTO_CLOSE, kAutoCloseMs);

    if (bMoveCursor) {
        POINT cursor = {0, 0};
        ::GetCursorPos(&cursor);
        const POINT target = GetOpenCursorPos(cursor, m_rect);
        ::SetCursorPos(target.x, target.y);
    }
    return TRUE;
}

void CFileListWnd::BuildFileInfoList(const std::list<Model::CTarneloInfo::_ITEM>& items, int nWidth, int nRowHeight)
{
    int index = static_cast<int>(m_rows.size());
    for (const Model::CTarneloInfo::_ITEM& item : items) {
        auto row = std::make_unique<_FILE_INFO>();
        row->nType = item.nType;
        row->strName = item.strName;
        row->strPath = item.strPath;
        row->strResolvedPath = item.strResolvedPath;
        row->bExists = item.bExists;
        row->strIconKey = item.strIconKey;
        row->rcItem = Gdiplus::Rect(0, index * nRowHeight, nWidth, nRowHeight);
        m_rows.push_back(std::move(row));
        ++index;
    }
}

void CFileListWnd::ClearFileList()
{
    // The window goes while this object is whole, so that its WM_DESTROY reaches our handler.
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    m_pCurrent = nullptr;
    m_rows.clear();
    m_icons.clear();
}

// ---- Closing -----------------------------------------------------------------------------------

void CFileListWnd::RequestClose(const wchar_t* reason)
{
    if (m_bCloseRequested)
        return;
    if (reason)
        ::Log(kLogInfo, reason);
    m_bCloseRequested = TRUE;
    m_nDragState = DRAG_NONE;
    if (m_hWnd) {
        KillTimer(IDT_AUTO_CLOSE);
        KillTimer(IDT_TYPEAHEAD_CLEAR);
        KillTimer(IDT_REORDER_SCROLL);
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
    const HWND owner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
    if (owner && ::IsWindow(owner) &&
        ::PostMessageW(owner, m_nNotifyMsg, FILEWND_CLOSE, reinterpret_cast<LPARAM>(this)))
        return;
    // No box to ask: the window goes now; the object stays with whoever made it.
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

int CFileListWnd::OnCreate(LPCREATESTRUCTW lpCreateStruct)
{
    if (CVornWndBase::OnCreate(lpCreateStruct) == -1)
        return -1;
    ::SetCapture(m_hWnd);
    return 0;
}

void CFileListWnd::OnDestroy()
{
    ::Log(kLogWarn, L"<filewnd> destroy");
    g_bFileListOpen = 0;
    if (!m_bCloseRequested) {
        m_bCloseRequested = TRUE;
        const HWND owner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
        if (owner && ::IsWindow(owner))
            ::PostMessageW(owner, m_nNotifyMsg, FILEWND_CLOSE, reinterpret_cast<LPARAM>(this));
    }
    CVornWndBase::OnDestroy();
}

void CFileListWnd::OnAutoCloseTimer()
{
    if (!m_bCloseRequested && !m_bDraggingOut && !g_bConfirmOpen && m_nModalDepth == 0) {
        POINT cursor = {0, 0};
        ::GetCursorPos(&cursor);
        if (IsInside(cursor)) {
            m_nOutsideTicks = 0;
        } else if (++m_nOutsideTicks > kAutoCloseTicks) {
            m_nOutsideTicks = 0;
            if (!m_bMenuOpen && !m_bRenameOpen)
                RequestClose(L"<filewnd> send destroy0");
        }
    }
}

// ---- Rows --------------------------------------------------------------------------------------

CFileListWnd::_FILE_INFO* CFileListWnd::HitTest(int x, int y) const
{
    if (y < 0 || y >= GetVisibleRows() * m_nRowHeight)
        return nullptr;
    return FileListLayout::HitTest(m_rows, x, y + m_nTopRow * m_nRowHeight);
}

int CFileListWnd::GetVisibleRows() const
{
    const int height = m_rect.bottom - m_rect.top;
    return m_nRowHeight > 0 && height > 0 ? height / m_nRowHeight : 0;
}

BOOL CFileListWnd::ScrollTo(int top)
{
    top = ClampTopRow(top, GetVisibleRows(), static_cast<int>(m_rows.size()));
    if (top == m_nTopRow)
        return FALSE;
    m_nTopRow = top;
    PostRedraw();
    return TRUE;
}

void CFileListWnd::MoveItem(_FILE_INFO* pCurrent, _FILE_INFO* pTarget)
{
    MoveRow(m_rows, pCurrent, pTarget, m_nWidth, m_nRowHeight);
}

void CFileListWnd::CommitItemOrder()
{
    if (m_pInfo)
        CommitRows(m_rows, m_pInfo->m_items);
}

void CFileListWnd::PostToOwner(WPARAM wParam, LPARAM lParam)
{
    const HWND owner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
    if (owner && ::IsWindow(owner))
        ::PostMessageW(owner, m_nNotifyMsg, wParam, lParam);
}

BOOL CFileListWnd::IsInside(POINT screenPoint) const
{
    return ::PtInRect(&m_rect, screenPoint);
}
