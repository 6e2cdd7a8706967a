#include "framework/CRgn.h"

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    if (m_hObject)
        return FALSE;
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    if (m_hObject)
        return FALSE;
    return Attach(::CreateRectRgn(x1, y1, x2, y2));
}
