// Owner of one GDI region. A region handed to a window with SetWindowRgn belongs to the
// window from then on: Detach it instead of deleting it.
#pragma once

#include "framework/CGdiObject.h"

class CRgn : public CGdiObject
{
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }

    // FALSE when a region is held already or GDI fails.
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
};
