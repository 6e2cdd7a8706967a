#include "controls/CImagePreviewStatic.h"

#include <objidl.h>
#include <gdiplus.h>

namespace Utility {

using namespace Gdiplus::DllExports;

CImagePreviewStatic::CImagePreviewStatic()
{
    m_wsFilename[0] = L'\0';
}

CImagePreviewStatic::~CImagePreviewStatic() = default;

void CImagePreviewStatic::FreeImage()
{
    m_img.reset();
}

BOOL CImagePreviewStatic::Load()
{
    if (!m_hWnd)
        return FALSE;
    FreeImage();
    if (m_wsFilename[0] != L'\0' && GdipLoadImageFromFile(m_wsFilename, m_img.put()) != Gdiplus::Ok)
        m_img.release();  // a failed load hands out nothing to free
    if (GdipCreateFromHWND(m_hWnd, m_graphics.put()) != Gdiplus::Ok)
        m_graphics.release();
    return TRUE;
}

UINT CImagePreviewStatic::GetImageWidth() const
{
    UINT width = 0;
    if (m_img && GdipGetImageWidth(m_img.get(), &width) != Gdiplus::Ok)
        width = 0;
    return width;
}

UINT CImagePreviewStatic::GetImageHeight() const
{
    UINT height = 0;
    if (m_img && GdipGetImageHeight(m_img.get(), &height) != Gdiplus::Ok)
        height = 0;
    return height;
}

void CImagePreviewStatic::LoadImageFile(const CString& path)
{
    // A path that does not fit the buffer is not cut into another path: no image then.
    if (path.GetLength() < MAX_PATH)
        ::lstrcpynW(m_wsFilename, path, MAX_PATH);
    else
        m_wsFilename[0] = L'\0';

    FreeImage();
    if (m_wsFilename[0] != L'\0' && GdipLoadImageFromFile(m_wsFilename, m_img.put()) != Gdiplus::Ok)
        m_img.release();  // a failed load hands out nothing to free
}

void CImagePreviewStatic::Place(int x, int y, int width, int height)
{
    if (!m_hWnd)
        return;
    ::MoveWindow(m_hWnd, x, y, width, height, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CImagePreviewStatic::ShowImage(const CString& path, int x, int y)
{
    LoadImageFile(path);
    Place(x, y, static_cast<int>(GetImageWidth()), static_cast<int>(GetImageHeight()));
}

void CImagePreviewStatic::SetImage(const CString& path)
{
    ShowImage(path, 0, 0);
}

void CImagePreviewStatic::SetImageAt(const CString& path, int x, int y, int, int)
{
    ShowImage(path, x, y);
}

void CImagePreviewStatic::SetImageToWidth(const CString& path, int width)
{
    LoadImageFile(path);
    const UINT imageWidth = GetImageWidth();
    if (imageWidth == 0 || width <= 0) {
        Place(0, 0, 0, 0);
        return;
    }
    Place(0, 0, width, ::MulDiv(static_cast<int>(GetImageHeight()), width, static_cast<int>(imageWidth)));
}

void CImagePreviewStatic::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    if (!m_img || !m_hWnd)
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    Gdiplus::RectF bounds;
    Gdiplus::Unit unit = Gdiplus::UnitPixel;
    if (GdipGetImageBounds(m_img.get(), &bounds, &unit) != Gdiplus::Ok)
        return;

    // Without the window's drawing surface, the context of this drawing serves.
    Gdiplus::GpGraphics* graphics = m_graphics.get();
    ScopedGdipGraphics own;
    if (!graphics && drawItem && drawItem->hDC) {
        if (GdipCreateFromHDC(drawItem->hDC, own.put()) == Gdiplus::Ok)
            graphics = own.get();
        else
            own.release();
    }
    if (!graphics)
        return;
    GdipDrawImageRectRect(graphics, m_img.get(), static_cast<Gdiplus::REAL>(client.left),
                          static_cast<Gdiplus::REAL>(client.top),
                          static_cast<Gdiplus::REAL>(client.right - client.left),
                          static_cast<Gdiplus::REAL>(client.bottom - client.top), bounds.X, bounds.Y, bounds.Width,
                          bounds.Height, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
}

}  // namespace Utility
