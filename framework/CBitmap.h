// Owner of one GDI bitmap.
#pragma once

#include "framework/CGdiObject.h"

class CBitmap : public CGdiObject
{
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    // A 32-bpp top-down DIB section of the size (rows run from the top, so pixel (x, y) is
    // at bits[y * width + x]); its pixels start as zero. FALSE when a bitmap is held already,
    // the size is not positive or GDI fails. ppBits, when given, receives the pixels.
    BOOL CreateTopDownDIB(int nWidth, int nHeight, void** ppBits = nullptr);
    // The bitmap's description; FALSE when there is no bitmap.
    BOOL GetBitmap(BITMAP* pBitmap) const;
};
