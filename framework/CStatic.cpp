#include "framework/CStatic.h"

BEGIN_MESSAGE_MAP(CStatic, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}
