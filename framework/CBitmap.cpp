#include "framework/CBitmap.h"

BOOL CBitmap::CreateTopDownDIB(int nWidth, int nHeight, void** ppBits)
{
    if (ppBits)
        *ppBits = nullptr;
    if (m_hObject || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;  // negative: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!hBitmap)
        return FALSE;
    m_hObject = hBitmap;
    if (ppBits)
        *ppBits = bits;
    return TRUE;
}

BOOL CBitmap::GetBitmap(BITMAP* pBitmap) const
{
    if (!m_hObject || !pBitmap)
        return FALSE;
    return ::GetObjectW(m_hObject, sizeof(BITMAP), pBitmap) == static_cast<int>(sizeof(BITMAP));
}
