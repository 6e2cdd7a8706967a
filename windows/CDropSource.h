// The drop-source side of dragging an item out of a file list: the drag starts at once
// (the list starts it only after the cursor has left it), Escape or pressing the right
// button with the left cancels it, releasing the left button drops.
#pragma once

#include <windows.h>

#include "framework/COleDropSource.h"

namespace Utility {

class CDropSource : public COleDropSource
{
public:
    CDropSource() = default;
    ~CDropSource() override = default;

    STDMETHODIMP QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;
    STDMETHODIMP GiveFeedback(DWORD dropEffect) override;
    BOOL OnBeginDrag(CWnd* pWnd) override;
};

}  // namespace Utility
