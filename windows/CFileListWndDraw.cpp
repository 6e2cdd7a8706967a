// The file list's drawing: the full drawing of every row, the redraw of the rows a change
// of the current row touches, and the icons, read once per list into bitmaps.
#include "windows/CFileListWnd.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "core/Logger.h"
#include "core/ShellHelpers.h"
#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/ScopedHandles.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/IconManager.h"
#include "windows/FileListLayout.h"

using namespace FileListLayout;

namespace {

// Icons larger than this are not icons the cache hands out; they are refused, not drawn.
constexpr int kMaxIconSide = 1024;

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
        const ScopedGetDC screen(nullptr);
        // GetDIBits writes exactly height rows of width pixels into our own buffer.
        const int rows = ::GetDIBits(screen.get(), info.hbmColor, 0, static_cast<UINT>(height), pixels.data(), &bmi,
                                     DIB_RGB_COLORS);
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

}  // namespace

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

    // The bands of the shown rows whose look changed, as indexes of the rows shown; a row
    // drawn as current that has left the list needs the full redraw.
    const int visible = GetVisibleRows();
    std::vector<int> changed;
    int index = -m_nTopRow;
    bool drawnFound = m_pDrawnCurrent == nullptr;
    for (const auto& row : m_rows) {
        if ((row.get() == m_pDrawnCurrent || row.get() == m_pCurrent) && index >= 0 && index < visible)
            changed.push_back(index);
        drawnFound = drawnFound || row.get() == m_pDrawnCurrent;
        ++index;
    }
    if (!drawnFound)
        return FALSE;
    m_pDrawnCurrent = m_pCurrent;
    if (changed.empty())
        return TRUE;  // the change lies in rows scrolled out of view: the screen stays

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
        DrawBackground(m_pGraphics.get(), i * m_nRowHeight, m_nRowHeight);
    index = -m_nTopRow;
    for (const auto& row : m_rows) {
        const bool beside = std::any_of(changed.begin(), changed.end(),
                                        [index](int i) { return index >= i - 1 && index <= i + 1; });
        if (beside)
            DrawItem(m_pGraphics.get(), row.get());
        ++index;
    }
    for (int i : changed)
        DrawScrollMark(m_pGraphics.get(), i * m_nRowHeight, m_nRowHeight);
    // Next rows make one band, so that no band's border reaches into its neighbour.
    for (size_t k = 0; k < changed.size(); ++k) {
        const size_t first = k;
        while (k + 1 < changed.size() && changed[k + 1] == changed[k] + 1)
            ++k;
        const int rows = changed[k] - changed[first] + 1;
        DrawBorder(m_pGraphics.get(), changed[first] * m_nRowHeight, rows * m_nRowHeight);
    }
    m_pGraphics->ResetClip();
    m_pGraphics->Flush(Gdiplus::FlushIntentionSync);
    ::GdiFlush();
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
    if (!row.strShownName.IsEmpty())
        return row.strShownName;
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
    ++m_nDrawing;
    DrawBackground(pGraphics, 0, h);
    // The rows shown, from the first one scrolled to.
    const int first = m_nTopRow < static_cast<int>(m_rows.size()) ? m_nTopRow : static_cast<int>(m_rows.size());
    int left = GetVisibleRows();
    for (auto it = std::next(m_rows.begin(), first); it != m_rows.end() && left-- > 0; ++it)
        DrawItem(pGraphics, it->get());
    DrawScrollMark(pGraphics, 0, h);
    DrawBorder(pGraphics, 0, h);
    ReleaseUndrawnIcons();
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

void CFileListWnd::DrawScrollMark(Gdiplus::Graphics* pGraphics, int top, int height)
{
    // Drawn over the rows' right ends: hit-testing still gives the row under it.
    const int w = m_rect.right - m_rect.left;
    const int h = m_rect.bottom - m_rect.top;
    const ScrollMark mark = GetScrollMark(m_nTopRow, GetVisibleRows(), static_cast<int>(m_rows.size()), h);
    const int first = std::max(top, mark.top);
    const int last = std::min(top + height, mark.top + mark.length);
    if (last <= first)
        return;
    pGraphics->SetSmoothingMode(m_rowSmoothing);
    Gdiplus::SolidBrush brush{Gdiplus::Color(m_pStyle->m_menuBorderColor)};
    pGraphics->FillRectangle(&brush, w - kScrollMarkInset - kScrollMarkWidth, first, kScrollMarkWidth, last - first);
}

void CFileListWnd::DrawItem(Gdiplus::Graphics* pGraphics, _FILE_INFO* pRow)
{
    if (!pGraphics || !pRow || !m_pStyle)
        return;
    // The row where it is shown; rows scrolled out of view are not on the surface.
    const Gdiplus::Rect rc(pRow->rcItem.X, RowTop(*pRow), pRow->rcItem.Width, pRow->rcItem.Height);
    if (rc.Y >= m_rect.bottom - m_rect.top || rc.GetBottom() <= 0)
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
        if (const PreparedIcon* prepared = RowIcon(*pRow))
            pGraphics->DrawImage(prepared->bitmap.get(), kIconX, rc.Y + kIconTop,
                                 static_cast<INT>(prepared->bitmap->GetWidth()),
                                 static_cast<INT>(prepared->bitmap->GetHeight()));
    } else {
        ::Log(kLogError, CString(L"<filewnd> Not exist:") + GetLogName(pRow->strName));
    }

    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_text.SetTextColor(Gdiplus::Color(pRow->bExists ? m_pStyle->m_menuTextColor : kMissingTextColor));
    const Gdiplus::Rect layout(rc.X + m_nIconColumnWidth + kNameGap, rc.Y, rc.Width, rc.Height);
    const CString name = DisplayName(*pRow);
    m_text.Draw(pGraphics, layout, &format, name.GetString());
}

// ---- Icons -------------------------------------------------------------------------------------

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

void CFileListWnd::OnIconsChanged()
{
    PostRedraw();
}

const CFileListWnd::PreparedIcon* CFileListWnd::RowIcon(_FILE_INFO& row)
{
    Model::IconManager* icons = m_pInfo ? m_pInfo->GetIconManager() : nullptr;
    if (!icons)
        return nullptr;
    if (row.strIconKey.IsEmpty()) {
        // An item read without a key gets one a little after the boxes came up; until then
        // its row has no icon.
        const Model::CTarneloInfo::_ITEM* item = m_pInfo->FindItemByPath(row.strPath);
        if (item && item->bKeyPending)
            return nullptr;
        if (item)
            row.strIconKey = item->strIconKey;
    }
    // The pixels of an icon that many rows share are read once while the list shows it.
    const auto found = m_icons.find(row.strIconKey);
    if (found != m_icons.end()) {
        found->second.drawing = m_nDrawing;
        return found->second.bitmap ? &found->second : nullptr;
    }
    // The handle is the cache's and may be let go of by its next call: the pixels are read now.
    const HICON icon = icons->GetIcon(row.strIconKey, m_pStyle && m_pStyle->m_bSmallMenu ? 0 : 1);
    if (!icon) {
        LogValue(kLogError, L"<filewnd> SHGetFileInfo failed", static_cast<long>(::GetLastError()));
        return nullptr;
    }
    if (m_icons.size() >= kMaxPreparedIcons) {
        ReleaseUndrawnIcons();
        if (m_icons.size() >= kMaxPreparedIcons)
            m_icons.clear();
    }
    PreparedIcon& prepared = m_icons[row.strIconKey];
    prepared.drawing = m_nDrawing;
    if (!PrepareIcon(static_cast<int>(row.nType), icon, prepared))
        prepared.bitmap.reset();
    return prepared.bitmap ? &prepared : nullptr;
}

void CFileListWnd::ReleaseUndrawnIcons()
{
    for (auto it = m_icons.begin(); it != m_icons.end();) {
        if (it->second.drawing != m_nDrawing)
            it = m_icons.erase(it);
        else
            ++it;
    }
}

BOOL CFileListWnd::PrepareIcon(int nType, HICON hIcon, PreparedIcon& prepared)
{
    ScopedIconInfo bitmaps;
    if (!bitmaps.Load(hIcon)) {
        LogValue2(kLogError, L"<filewnd> GetIconInfo failed", static_cast<long>(::GetLastError()),
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
    if (!ReadIconPixels(hIcon, bitmaps.get(), prepared.pixels, width, height)) {
        LogValue(kLogError, L"<filewnd> icon bits unreadable", static_cast<long>(::GetLastError()));
        return FALSE;
    }
    // The bitmap draws from the pixels, which stay with it and are not touched again.
    prepared.bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppARGB,
                                                        reinterpret_cast<BYTE*>(prepared.pixels.data()));
    return prepared.bitmap->GetLastStatus() == Gdiplus::Ok ? TRUE : FALSE;
}
