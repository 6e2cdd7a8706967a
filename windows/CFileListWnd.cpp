#include "windows/CFileListWnd.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/CRenameItemDlg.h"
#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/IconManager.h"
#include "resources/resource.h"
#include "windows/CDragFile.h"
#include "windows/CDropSource.h"
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

// Icons larger than this are not icons the cache hands out; they are refused, not drawn.
constexpr int kMaxIconSide = 1024;

// Deletes the two bitmaps GetIconInfo hands out.
struct IconInfoBitmaps
{
    ICONINFO info = {};
    ~IconInfoBitmaps()
    {
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
    }
};

// A 32-bpp top-down DIB section selected into its own memory DC, every pixel set to fill.
// Declare the bitmap before the DC, so the DC lets go of it before it is deleted.
bool MakeSurface(CBitmap& bitmap, CDC& dc, uint32_t*& bits, int width, int height, uint32_t fill)
{
    void* raw = nullptr;
    if (!dc.CreateCompatibleDC(nullptr) || !bitmap.CreateTopDownDIB(width, height, &raw) || !raw ||
        !dc.SelectBitmap(bitmap))
        return false;
    bits = static_cast<uint32_t*>(raw);
    std::fill_n(bits, static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    return true;
}

// The icon's pixels as straight-alpha ARGB, top-down, w x h. A 32-bpp colour bitmap with
// any alpha is read as it is; every other icon is drawn by the system, once as its image
// and once as its mask, and the mask gives each pixel full or no alpha.
bool ReadIconPixels(HICON icon, const ICONINFO& info, std::vector<uint32_t>& pixels, int& width, int& height)
{
    BITMAP bm = {};
    const HBITMAP shape = info.hbmColor ? info.hbmColor : info.hbmMask;
    if (!shape || ::GetObjectW(shape, sizeof(bm), &bm) != static_cast<int>(sizeof(bm)))
        return false;
    width = bm.bmWidth;
    // A monochrome icon keeps its AND and XOR masks one above the other in one bitmap.
    height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    if (height < 0)
        height = -height;
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide)
        return false;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    pixels.assign(count, 0);

    if (info.hbmColor && bm.bmBitsPixel == 32) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        const HDC screen = ::GetDC(nullptr);
        // GetDIBits writes exactly height rows of width pixels into our own buffer.
        const int rows = ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(height), pixels.data(), &bmi,
                                     DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        if (rows == height) {
            for (uint32_t p : pixels) {
                if (p >> 24)
                    return true;
            }
        }
    }

    CBitmap imageBitmap, maskBitmap;
    CDC imageDc, maskDc;
    uint32_t* image = nullptr;
    uint32_t* mask = nullptr;
    if (!MakeSurface(imageBitmap, imageDc, image, width, height, 0x00000000) ||
        !MakeSurface(maskBitmap, maskDc, mask, width, height, 0x00FFFFFF))
        return false;
    if (!::DrawIconEx(imageDc, 0, 0, icon, width, height, 0, nullptr, DI_IMAGE) ||
        !::DrawIconEx(maskDc, 0, 0, icon, width, height, 0, nullptr, DI_MASK))
        return false;
    ::GdiFlush();
    for (size_t i = 0; i < count; ++i) {
        const bool opaque = (mask[i] & 0x00FFFFFF) == 0;
        pixels[i] = opaque ? (0xFF000000u | (image[i] & 0x00FFFFFF)) : 0;
    }
    return true;
}

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
    if (info.hProcess)
        ::CloseHandle(info.hProcess);
}

}  // namespace

BEGIN_MESSAGE_MAP(CFileListWnd, CVornWndBase)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
    ON_WM_DROPFILES()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_REDRAWMSG, OnRedrawMsg)
    ON_COMMAND(ID_ITEM_OPEN, OnMenuOpen)
    ON_COMMAND(ID_ITEM_COPY, OnMenuCopy)
    ON_COMMAND(ID_ITEM_OPEN_LOCATION, OnMenuOpenFolder)
    ON_COMMAND(ID_ITEM_DELETE, OnMenuDelete)
    ON_COMMAND(ID_ITEM_PROPERTIES, OnMenuProperties)
    ON_COMMAND(ID_ITEM_RENAME, OnMenuRename)
END_MESSAGE_MAP()

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
    ::Log(L"act ", L"<filewnd> - open");

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
    int widest = 0;
    if (pGraphics) {
        Gdiplus::StringFormat format;
        for (const Model::CTarneloInfo::_ITEM& item : pInfo->m_items) {
            const CString name = GetDisplayName(item.nType, item.strName, pConfig ? pConfig->m_bShowExtension : FALSE);
            SIZE measured = {0, 0};
            m_text.Measure(pGraphics, name, &format, &measured);
            if (measured.cx > widest)
                widest = measured.cx;
        }
    }

    RECT screen;
    screen.left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    screen.top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    screen.right = screen.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    SIZE size = GetListSize(m_nIconColumnWidth, widest, m_nRowHeight, pInfo->m_items.size());
    size.cy = FitListHeight(size.cy, m_nRowHeight, screen);
    const SIZE box = pStyle->GetBoxSize(pOwner ? pOwner->m_hWnd : nullptr);
    const POINT pos = GetListPosition(pInfo->m_pos, pStyle->m_nIconDisplay, box.cy, size, screen);

    m_nWidth = size.cx;
    m_rows.clear();
    m_pCurrent = nullptr;
    m_pDrawnCurrent = nullptr;
    m_bFullRedrawDue = TRUE;
    m_icons.clear();
    BuildFileInfoList(pInfo->m_items, size.cx, m_nRowHeight);

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
}

// ---- Closing -----------------------------------------------------------------------------------

void CFileListWnd::RequestClose(const wchar_t* reason)
{
    if (m_bCloseRequested)
        return;
    if (reason)
        ::Log(L"info", reason);
    m_bCloseRequested = TRUE;
    m_nDragState = 0;
    if (m_hWnd) {
        KillTimer(IDT_AUTO_CLOSE);
        KillTimer(IDT_TYPEAHEAD_CLEAR);
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
    ::Log(L"warn", L"<filewnd> destroy");
    g_bFileListOpen = 0;
    if (!m_bCloseRequested) {
        m_bCloseRequested = TRUE;
        const HWND owner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
        if (owner && ::IsWindow(owner))
            ::PostMessageW(owner, m_nNotifyMsg, FILEWND_CLOSE, reinterpret_cast<LPARAM>(this));
    }
    CVornWndBase::OnDestroy();
}

void CFileListWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == IDT_AUTO_CLOSE) {
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
    } else if (nIDEvent == IDT_TYPEAHEAD_CLEAR) {
        KillTimer(IDT_TYPEAHEAD_CLEAR);
        m_strTypeAhead.Empty();
    }
    CWnd::OnTimer(nIDEvent);
}

// ---- Drawing -----------------------------------------------------------------------------------

LRESULT CFileListWnd::OnRedrawMsg(WPARAM, LPARAM)
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return 1;
    if (m_bFullRedrawDue || !RedrawChangedRows())
        Redraw();
    return 1;
}

void CFileListWnd::PostRedraw()
{
    m_bFullRedrawDue = TRUE;
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_REDRAWMSG, 0, 0);
}

void CFileListWnd::PostCurrentRowRedraw()
{
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_REDRAWMSG, 0, 0);
}

BOOL CFileListWnd::RedrawChangedRows()
{
    if (m_pDrawnCurrent == m_pCurrent)
        return TRUE;  // a redraw posted earlier has shown it already
    const int w = m_rect.right - m_rect.left;
    const int h = m_rect.bottom - m_rect.top;
    DIBSECTION dib = {};
    const HBITMAP bitmap = m_bitmap;
    if (!m_pGraphics || !m_pStyle || !bitmap || ::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) ||
        !dib.dsBm.bmBits || dib.dsBm.bmWidth != w || dib.dsBm.bmHeight != h)
        return FALSE;

    // The bands of the rows whose look changed, as row indexes; a row drawn as current that
    // has left the list needs the full redraw.
    std::vector<int> changed;
    int index = 0;
    bool drawnFound = m_pDrawnCurrent == nullptr;
    for (const auto& row : m_rows) {
        if (row.get() == m_pDrawnCurrent || row.get() == m_pCurrent)
            changed.push_back(index);
        drawnFound = drawnFound || row.get() == m_pDrawnCurrent;
        ++index;
    }
    if (!drawnFound)
        return FALSE;

    // The bands start transparent, as the whole buffer does at a full redraw, and are drawn
    // clipped to themselves: the background, the neighbouring rows (whose ink may reach
    // in), the rows, the border.
    ::GdiFlush();
    auto* bits = static_cast<uint32_t*>(dib.dsBm.bmBits);
    Gdiplus::Region clip(Gdiplus::Rect(0, 0, 0, 0));
    for (int i : changed) {
        const int top = std::max(0, i * m_nRowHeight);
        const int bottom = std::min(h, (i + 1) * m_nRowHeight);
        if (bottom > top)
            std::fill(bits + static_cast<size_t>(top) * w, bits + static_cast<size_t>(bottom) * w, 0u);
        clip.Union(Gdiplus::Rect(0, i * m_nRowHeight, w, m_nRowHeight));
    }
    m_pGraphics->SetClip(&clip);
    // The background of the bands alone: under Wine a fill costs its whole rectangle
    // whatever the clip leaves of it.
    for (int i : changed)
        DrawBackground(m_pGraphics, i * m_nRowHeight, m_nRowHeight);
    index = 0;
    for (const auto& row : m_rows) {
        const bool beside = std::any_of(changed.begin(), changed.end(),
                                        [index](int i) { return index >= i - 1 && index <= i + 1; });
        if (beside)
            DrawItem(m_pGraphics, row.get());
        ++index;
    }
    // Next rows make one band, so that no band's border reaches into its neighbour.
    for (size_t k = 0; k < changed.size(); ++k) {
        const size_t first = k;
        while (k + 1 < changed.size() && changed[k + 1] == changed[k] + 1)
            ++k;
        const int rows = changed[k] - changed[first] + 1;
        DrawBorder(m_pGraphics, changed[first] * m_nRowHeight, rows * m_nRowHeight);
    }
    m_pGraphics->ResetClip();
    m_pGraphics->Flush(Gdiplus::FlushIntentionSync);
    ::GdiFlush();
    m_pDrawnCurrent = m_pCurrent;
    RECT dirty = {0, h, w, 0};
    for (int i : changed) {
        dirty.top = std::min<LONG>(dirty.top, i * m_nRowHeight);
        dirty.bottom = std::max<LONG>(dirty.bottom, std::min(h, (i + 1) * m_nRowHeight));
    }
    UpdateLayered(255, &dirty);
    return TRUE;
}

CString CFileListWnd::DisplayName(const _FILE_INFO& row) const
{
    return GetDisplayName(row.nType, row.strName, m_pConfig ? m_pConfig->m_bShowExtension : FALSE);
}

void CFileListWnd::OnCustomDraw(Gdiplus::Graphics* pGraphics)
{
    if (!pGraphics || !m_pStyle)
        return;
    // Every row starts from the modes of a fresh buffer, so that a row drawn again alone
    // comes out as it did here.
    m_rowSmoothing = pGraphics->GetSmoothingMode();
    m_rowInterpolation = pGraphics->GetInterpolationMode();
    const int h = m_rect.bottom - m_rect.top;
    DrawBackground(pGraphics, 0, h);
    for (const auto& row : m_rows)
        DrawItem(pGraphics, row.get());
    DrawBorder(pGraphics, 0, h);
    m_pDrawnCurrent = m_pCurrent;
    m_bFullRedrawDue = FALSE;
}

void CFileListWnd::DrawBackground(Gdiplus::Graphics* pGraphics, int top, int height)
{
    const int w = m_rect.right - m_rect.left;
    pGraphics->SetSmoothingMode(m_rowSmoothing);
    pGraphics->SetInterpolationMode(m_rowInterpolation);
    Gdiplus::SolidBrush back{Gdiplus::Color(m_pStyle->m_menuBackColor)};
    pGraphics->FillRectangle(&back, 0, top, w, height);
    Gdiplus::SolidBrush column{Gdiplus::Color(m_pStyle->m_menuIconColumnColor)};
    pGraphics->FillRectangle(&column, 0, top, m_nIconColumnWidth, height);
}

void CFileListWnd::DrawBorder(Gdiplus::Graphics* pGraphics, int top, int height)
{
    // Only the top and left lines fall inside the buffer; the shadow lines the other two.
    // For a band, a rectangle with the list's own left and right edges whose top and bottom
    // edges are the list's where the band reaches them and lie beyond the band elsewhere.
    pGraphics->SetSmoothingMode(m_rowSmoothing);
    Gdiplus::Pen border{Gdiplus::Color(m_pStyle->m_menuBorderColor), 1.0f};
    const int h = m_rect.bottom - m_rect.top;
    const int first = top <= 0 ? 0 : top - 2;
    const int last = top + height >= h ? h : top + height + 2;
    pGraphics->DrawRectangle(&border, 0, first, m_rect.right - m_rect.left, last - first);
}

void CFileListWnd::DrawItem(Gdiplus::Graphics* pGraphics, _FILE_INFO* pRow)
{
    if (!pGraphics || !pRow || !m_pStyle)
        return;
    const Gdiplus::Rect& rc = pRow->rcItem;
    // Rows below a list cut to the screen's height are not on its surface.
    if (rc.Y >= m_rect.bottom - m_rect.top)
        return;
    pGraphics->SetSmoothingMode(m_rowSmoothing);
    pGraphics->SetInterpolationMode(m_rowInterpolation);
    if (pRow == m_pCurrent) {
        Gdiplus::SolidBrush hover{Gdiplus::Color(m_pStyle->m_menuHoverColor)};
        pGraphics->FillRectangle(&hover, rc.X + 2, rc.Y + 1, rc.Width - 4, rc.Height - 2);
        Gdiplus::Pen hoverBorder{Gdiplus::Color(m_pStyle->m_menuHoverBorderColor), 1.0f};
        pGraphics->DrawRectangle(&hoverBorder, rc.X + 2, rc.Y + 1, rc.Width - 4, rc.Height - 2);
    }

    if (pRow->bExists) {
        Model::IconManager* icons = m_pInfo ? m_pInfo->GetIconManager() : nullptr;
        const HICON icon = icons ? icons->GetIcon(pRow->strIconKey, m_pStyle->m_bSmallMenu ? 0 : 1) : nullptr;
        const PreparedIcon* prepared = icon ? IconFor(static_cast<int>(pRow->nType), icon) : nullptr;
        if (prepared)
            pGraphics->DrawImage(prepared->bitmap.get(), kIconX, rc.Y + kIconTop,
                                 static_cast<INT>(prepared->bitmap->GetWidth()),
                                 static_cast<INT>(prepared->bitmap->GetHeight()));
        else if (!icon)
            LogValue(L"ERR!", L"<filewnd> SHGetFileInfo failed", static_cast<long>(::GetLastError()));
    } else {
        ::Log(L"ERR!", CString(L"<filewnd> Not exist:") + GetLogName(pRow->strName));
    }

    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_text.SetTextColor(Gdiplus::Color(pRow->bExists ? m_pStyle->m_menuTextColor : kMissingTextColor));
    const Gdiplus::Rect layout(rc.X + m_nIconColumnWidth + kNameGap, rc.Y, rc.Width, rc.Height);
    const CString name = DisplayName(*pRow);
    m_text.Draw(pGraphics, layout, &format, name.GetString());
}

BOOL CFileListWnd::DrawIcon(Gdiplus::Graphics* pGraphics, int nType, HICON hIcon, int x, int y)
{
    if (!pGraphics || !hIcon)
        return FALSE;
    PreparedIcon prepared;
    if (!PrepareIcon(nType, hIcon, prepared))
        return FALSE;
    const auto width = static_cast<INT>(prepared.bitmap->GetWidth());
    const auto height = static_cast<INT>(prepared.bitmap->GetHeight());
    return pGraphics->DrawImage(prepared.bitmap.get(), x, y, width, height) == Gdiplus::Ok ? TRUE : FALSE;
}

const CFileListWnd::PreparedIcon* CFileListWnd::IconFor(int nType, HICON hIcon)
{
    // The cache hands out the same handle for the same icon, so the pixels of an icon many
    // rows share are read once while the list is open.
    const auto found = m_icons.find(hIcon);
    if (found != m_icons.end())
        return found->second.bitmap ? &found->second : nullptr;
    PreparedIcon& prepared = m_icons[hIcon];
    if (!PrepareIcon(nType, hIcon, prepared))
        prepared.bitmap.reset();
    return prepared.bitmap ? &prepared : nullptr;
}

BOOL CFileListWnd::PrepareIcon(int nType, HICON hIcon, PreparedIcon& prepared)
{
    IconInfoBitmaps bitmaps;
    if (!::GetIconInfo(hIcon, &bitmaps.info)) {
        LogValue2(L"ERR!", L"<filewnd> GetIconInfo failed", static_cast<long>(::GetLastError()),
                  static_cast<long>(reinterpret_cast<INT_PTR>(hIcon)));
        return FALSE;
    }

    int major = 0;
    GetOSInfo(nullptr, nullptr, &major, nullptr);
    if (major == 5 && nType != static_cast<int>(Model::ITEM_TYPE_FOLDER)) {
        // That system's icons carry no alpha worth keeping: GDI+ takes the icon as it is.
        prepared.bitmap.reset(Gdiplus::Bitmap::FromHICON(hIcon));
        return prepared.bitmap ? TRUE : FALSE;
    }

    int width = 0;
    int height = 0;
    if (!ReadIconPixels(hIcon, bitmaps.info, prepared.pixels, width, height)) {
        LogValue(L"ERR!", L"<filewnd> icon bits unreadable", static_cast<long>(::GetLastError()));
        return FALSE;
    }
    // The bitmap draws from the pixels, which stay with it and are not touched again.
    prepared.bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppARGB,
                                                        reinterpret_cast<BYTE*>(prepared.pixels.data()));
    return prepared.bitmap->GetLastStatus() == Gdiplus::Ok ? TRUE : FALSE;
}

// ---- Rows --------------------------------------------------------------------------------------

CFileListWnd::_FILE_INFO* CFileListWnd::HitTest(const RowList& rows, int x, int y)
{
    for (const auto& row : rows) {
        const Gdiplus::Rect& rc = row->rcItem;
        if (IsPointInRow(rc.X, rc.Y, rc.Width, rc.Height, POINT{x, y}))
            return row.get();
    }
    return nullptr;
}

CFileListWnd::_FILE_INFO* CFileListWnd::HitTest(int x, int y) const
{
    return HitTest(m_rows, x, y);
}

int CFileListWnd::IndexOf(const RowList& rows, const _FILE_INFO* pRow)
{
    int index = 0;
    for (const auto& row : rows) {
        if (row.get() == pRow)
            return index;
        ++index;
    }
    return -1;
}

void CFileListWnd::LayoutRows(RowList& rows, int nWidth, int nRowHeight)
{
    int index = 0;
    for (auto& row : rows) {
        row->rcItem = Gdiplus::Rect(0, index * nRowHeight, nWidth, nRowHeight);
        ++index;
    }
}

BOOL CFileListWnd::MoveRow(RowList& rows, _FILE_INFO* pCurrent, _FILE_INFO* pTarget, int nWidth, int nRowHeight)
{
    if (!pCurrent || !pTarget || pCurrent == pTarget)
        return FALSE;
    auto current = rows.end();
    auto target = rows.end();
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        if (it->get() == pCurrent)
            current = it;
        else if (it->get() == pTarget)
            target = it;
    }
    if (current == rows.end() || target == rows.end())
        return FALSE;
    // The node itself moves: nothing is copied, so no row can be doubled or lost.
    if (pCurrent->rcItem.Y < pTarget->rcItem.Y)
        rows.splice(std::next(target), rows, current);
    else
        rows.splice(target, rows, current);
    LayoutRows(rows, nWidth, nRowHeight);
    return TRUE;
}

void CFileListWnd::MoveItem(_FILE_INFO* pCurrent, _FILE_INFO* pTarget)
{
    MoveRow(m_rows, pCurrent, pTarget, m_nWidth, m_nRowHeight);
}

void CFileListWnd::CommitRows(const RowList& rows, std::list<Model::CTarneloInfo::_ITEM>& items)
{
    // The record's own items are put in the rows' order (each row takes the first item of
    // its name and file not taken yet). Items no row shows, such as files dropped on the
    // box while the list was open, keep their order after them; an item that left the
    // record meanwhile is not brought back. So the commit only ever reorders the record.
    std::list<Model::CTarneloInfo::_ITEM> ordered;
    for (const auto& row : rows) {
        for (auto it = items.begin(); it != items.end(); ++it) {
            if (it->strName == row->strName && it->strPath == row->strPath) {
                ordered.splice(ordered.end(), items, it);
                break;
            }
        }
    }
    ordered.splice(ordered.end(), items);
    items.swap(ordered);
}

void CFileListWnd::CommitItemOrder()
{
    if (m_pInfo)
        CommitRows(m_rows, m_pInfo->m_items);
}

void CFileListWnd::SelectItem(_FILE_INFO* pRow)
{
    if (pRow && m_hWnd) {
        POINT point = {pRow->rcItem.X + kSelectCursorOffset, pRow->rcItem.Y + kSelectCursorOffset};
        ::ClientToScreen(m_hWnd, &point);
        ::SetCursorPos(point.x, point.y);
    }
    m_pCurrent = pRow;
    PostCurrentRowRedraw();
}

void CFileListWnd::SelectPrevItem()
{
    const int count = static_cast<int>(m_rows.size());
    const int index = WrapIndex(IndexOf(m_rows, m_pCurrent), -1, count);
    if (index >= 0)
        SelectItem(std::next(m_rows.begin(), index)->get());
}

void CFileListWnd::SelectNextItem()
{
    const int count = static_cast<int>(m_rows.size());
    const int index = WrapIndex(IndexOf(m_rows, m_pCurrent), 1, count);
    if (index >= 0)
        SelectItem(std::next(m_rows.begin(), index)->get());
}

void CFileListWnd::OpenSelectedItem()
{
    if (!m_pCurrent)
        return;
    CWaitCursor wait;
    ::Log(L"act ", CString(L"File/Folder open:") + GetLogName(m_pCurrent->strName));
    ::ReleaseCapture();
    const int index = IndexOf(m_rows, m_pCurrent);
    if (index >= 0)
        PostToOwner(FILEWND_OPEN, index);
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

// ---- Type-ahead --------------------------------------------------------------------------------

void CFileListWnd::TypeAheadKey(UINT nKey)
{
    SetTimer(IDT_TYPEAHEAD_CLEAR, kTypeAheadMs);
    if (!ApplyTypeAheadKey(m_strTypeAhead, nKey))
        return;
    // The typed text spells an item's name: only its beginning goes to the log.
    ::Log(L"info", CString(L"<filewnd> SelectItem:") + GetLogName(m_strTypeAhead) + L"\n");
    _FILE_INFO* row = FindItem(m_strTypeAhead);
    if (row)
        SelectItem(row);
}

CFileListWnd::_FILE_INFO* CFileListWnd::FindItem(const CString& text)
{
    std::vector<CString> names;
    names.reserve(m_rows.size());
    for (const auto& row : m_rows)
        names.push_back(row->strName);
    int matched = 0;
    const int index = FindTypeAheadMatch(names, text, &matched);
    if (index < 0)
        return nullptr;
    _FILE_INFO* row = std::next(m_rows.begin(), index)->get();
    ::Log(L"info", CString(L"<filewnd> Found item:") + GetLogName(row->strName.Left(matched)) + L" find:" +
                       GetLogName(text.Left(matched)) + L"\n");
    return row;
}

// ---- Mouse -------------------------------------------------------------------------------------

void CFileListWnd::OnMouseMove(UINT nFlags, POINT point)
{
    if (m_bCloseRequested || m_nModalDepth > 0) {
        Default();
        return;
    }
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    const BOOL inside = IsInside(screen);

    if (!(nFlags & MK_LBUTTON)) {
        if (inside && !m_bDraggingOut) {
            ::SetForegroundWindow(m_hWnd);
            ::SetCapture(m_hWnd);
            _FILE_INFO* hit = HitTest(point.x, point.y);
            if (hit && hit != m_pCurrent) {
                m_pCurrent = hit;
                PostCurrentRowRedraw();
            }
        }
    } else {
        if (m_nDragState == 2) {
            if (inside) {
                _FILE_INFO* hit = HitTest(point.x, point.y);
                if (hit && m_pCurrent && hit != m_pCurrent) {
                    ++m_nMoveCount;
                    MoveItem(m_pCurrent, hit);
                    PostRedraw();
                }
            }
        } else if (!m_bDraggingOut) {
            if (!m_pCurrent) {
                m_nDragState = 0;
            } else if (m_nDragState == 0) {
                m_ptPress = point;
                m_nDragState = 1;
            } else if (m_nDragState == 1 && IsReorderDrag(m_ptPress, point)) {
                m_nDragState = 2;
                m_nMoveCount = 0;
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
                ::Log(L"act ", L"<filewnd> Item move start.");
            }
        }
        if (!m_bDraggingOut && m_pCurrent && !inside && m_nMoveCount == 0) {
            DragOut();
            return;
        }
    }
    Default();
}

CString CFileListWnd::GetDragPath(const _FILE_INFO& row)
{
    switch (row.nType) {
    case Model::ITEM_TYPE_FOLDER:
    case Model::ITEM_TYPE_SHORTCUT:
    case Model::ITEM_TYPE_INTERNET_SHORTCUT:
        return row.strPath;
    case Model::ITEM_TYPE_FILE: {
        CString target;
        if (ResolveShortcut(target, row.strPath))
            return target;
        return CString();
    }
    default:
        return CString();
    }
}

void CFileListWnd::DragOut()
{
    ::ReleaseCapture();
    m_bDraggingOut = TRUE;
    m_nDragState = 0;
    LogValue(L"act ", L"<filewnd> Drag out", static_cast<long>(m_pCurrent->nType));

    const CString path = GetDragPath(*m_pCurrent);
    if (!path.IsEmpty()) {
        auto* data = new Utility::CDragFile(path);
        auto source = std::make_unique<Utility::CDropSource>();
        data->DelayRenderData(CF_HDROP);
        const DROPEFFECT effect = data->DoDragDrop(DROPEFFECT_COPY, &m_rect, source.get());
        if (effect == DROPEFFECT_COPY)
            ::Log(L"act ", L"<filewnd> DD Copied");
        else if (effect == DROPEFFECT_NONE)
            ::Log(L"act ", L"<filewnd> DD None");
        else
            ::Log(L"act ", L"<filewnd> DD Other");
        data->Release();
    } else {
        ::Log(L"ERR!", CString(L"<filewnd> nothing to drag:") + GetLogName(m_pCurrent->strName));
    }

    m_bDraggingOut = FALSE;
    Default();
    RequestClose(L"<filewnd> send destroy1");
}

void CFileListWnd::OnLButtonUp(UINT nFlags, POINT point)
{
    ::Log(L"act ", L"<filewnd> L-up");
    ::ReleaseCapture();
    if (m_bCloseRequested || m_nModalDepth > 0) {
        m_nDragState = 0;
        Default();
        return;
    }
    if (m_nDragState == 2 && m_nMoveCount >= 1) {
        ::Log(L"act ", L"<filewnd> item moved.");
        m_nDragState = 0;
        m_nMoveCount = 0;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        CommitItemOrder();
        PostToOwner(FILEWND_UPDATE, 0);
    } else {
        m_nDragState = 0;
        m_nMoveCount = 0;
        if (!m_bDraggingOut) {
            POINT screen = point;
            ::ClientToScreen(m_hWnd, &screen);
            if (IsInside(screen) && m_pCurrent)
                OpenSelectedItem();
            if (m_hWnd && ::IsWindow(m_hWnd))
                RequestClose(L"<filewnd> send destroy2");
        }
    }
    Default();
}

void CFileListWnd::OnRButtonUp(UINT nFlags, POINT point)
{
    ::Log(L"act ", L"<filewnd> R-up");
    if (m_bCloseRequested || m_nModalDepth > 0) {
        Default();
        return;
    }
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    if (!IsInside(screen) || !m_pCurrent)
        return;
    const HMENU menu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_ITEM_MENU));
    if (!menu)
        return;
    const HMENU popup = ::GetSubMenu(menu, 0);
    if (!popup) {
        ::DestroyMenu(menu);
        return;
    }
    ::ReleaseCapture();
    ::Log(L"act ", L"<filewnd> show menu");
    m_bMenuOpen = TRUE;
    ++m_nModalDepth;
    POINT at = {0, 0};
    ::GetCursorPos(&at);
    const UINT command = s_trackMenu(popup, m_hWnd, at);
    --m_nModalDepth;
    ::Log(L"act ", L"<filewnd> close menu");
    m_bMenuOpen = FALSE;
    ::DestroyMenu(menu);
    if (m_hWnd && ::IsWindow(m_hWnd) && !m_bCloseRequested) {
        ::SetCapture(m_hWnd);
        // The command arrives after the menu has gone, as a menu's own command would.
        if (command)
            ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        Default();
    }
}

void CFileListWnd::OnDropFiles(HDROP hDropInfo)
{
    CWnd::OnDropFiles(hDropInfo);
}

// ---- Keys --------------------------------------------------------------------------------------

void CFileListWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_bCloseRequested || m_nModalDepth > 0) {
        Default();
        return;
    }
    switch (nChar) {
    case VK_HOME:
        SelectItem(m_rows.empty() ? nullptr : m_rows.front().get());
        break;
    case VK_END:
        SelectItem(m_rows.empty() ? nullptr : m_rows.back().get());
        break;
    case VK_UP:
        SelectPrevItem();
        break;
    case VK_DOWN:
        SelectNextItem();
        break;
    case VK_RETURN:
    case VK_RIGHT:
        if (m_pCurrent)
            OpenSelectedItem();
        m_strTypeAhead.Empty();
        break;
    case VK_ESCAPE:
    case VK_LEFT:
        if (m_bMenuOpen || m_bRenameOpen)
            break;
        // Just above the list's corner, which is on the box when the list hangs below it.
        ::SetCursorPos(m_rect.left, m_rect.top - kCursorInset);
        RequestClose(L"<filewnd> send destroy3");
        break;
    case VK_DELETE:
        OnMenuDelete();
        break;
    default:
        TypeAheadKey(nChar);
        break;
    }
}

// ---- Commands ----------------------------------------------------------------------------------

void CFileListWnd::OnMenuOpen()
{
    ::Log(L"act ", L"<filewnd> menu - open");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    OpenSelectedItem();
}

void CFileListWnd::OnMenuCopy()
{
    ::Log(L"act ", L"<filewnd> menu - copy");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    CString target;
    if (!ResolveShortcut(target, m_pCurrent->strPath)) {
        // Nothing sensible to copy: what the clipboard holds stays.
        ::Log(L"ERR!", CString(L"<filewnd> copy: no file behind the item:") + GetLogName(m_pCurrent->strName));
        return;
    }
    if (!CopyFileToClipboard(target))
        LogValue(L"ERR!", L"<filewnd> copy: clipboard refused", static_cast<long>(::GetLastError()));
}

void CFileListWnd::OnMenuRename()
{
    ::Log(L"act ", L"<filewnd> menu - rename");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    const CString oldName = m_pCurrent->strName;
    const UINT type = m_pCurrent->nType;
    CRenameItemDlg dialog;
    dialog.m_strNewName = ExtractFileTitle(oldName);
    const CString extension = GetExtension(oldName);

    // The dialog needs the mouse, which the list holds; the list stays open meanwhile.
    ::ReleaseCapture();
    m_bRenameOpen = TRUE;
    ++m_nModalDepth;
    const INT_PTR result = dialog.DoModal();
    --m_nModalDepth;
    m_bRenameOpen = FALSE;
    if (!m_hWnd || !::IsWindow(m_hWnd) || m_bCloseRequested)
        return;
    if (result != IDOK) {
        ::SetCapture(m_hWnd);
        return;
    }

    ::Log(L"act ", L"<filewnd> do rename");
    // A folder takes the text as typed; anything else keeps its extension, in lower case
    // (a name without one ends in a dot).
    const CString newName = type == Model::ITEM_TYPE_FOLDER ? dialog.m_strNewName
                                                             : dialog.m_strNewName + L"." + extension;
    // An empty name (an extension alone is none) or one another item has is refused: the
    // user is told why, and the list stays open with the item as it was.
    if (!m_pInfo || dialog.m_strNewName.IsEmpty() || !m_pInfo->RenameItem(oldName, newName)) {
        m_bRenameOpen = TRUE;
        ++m_nModalDepth;
        ShowWarningMessage(IDS_CANT_RENAME_ITEM);
        --m_nModalDepth;
        m_bRenameOpen = FALSE;
        if (m_hWnd && ::IsWindow(m_hWnd) && !m_bCloseRequested)
            ::SetCapture(m_hWnd);
        return;
    }
    PostToOwner(FILEWND_UPDATE, 0);
    RequestClose(nullptr);
}

void CFileListWnd::OnMenuOpenFolder()
{
    ::Log(L"act ", L"<filewnd> menu - folder");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    CString target;
    ++m_nModalDepth;
    if (ResolveShortcut(target, m_pCurrent->strPath))
        s_shellExecute(nullptr, L"open", GetParentPath(target).GetString(), nullptr, nullptr, SW_SHOWNORMAL);
    else
        ShowWarningMessage(IDS_CANT_OPEN_FILE_LOCATION, 0);
    --m_nModalDepth;
    RequestClose(nullptr);
}

void CFileListWnd::OnMenuDelete()
{
    ::Log(L"act ", L"<filewnd> menu - delete");
    if (!m_pCurrent || m_bCloseRequested)
        return;
    ++m_nModalDepth;
    const int answer = ShowQuestionMessage(IDS_DELETE_ITEM_QUESTION, 0);
    --m_nModalDepth;
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
    ::Log(L"act ", L"<filewnd> menu - property");
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
