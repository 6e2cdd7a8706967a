#include "windows/CDropSource.h"

namespace Utility {

STDMETHODIMP CDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed || (dwKeyState & (MK_LBUTTON | MK_RBUTTON)) == (MK_LBUTTON | MK_RBUTTON))
        return DRAGDROP_S_CANCEL;
    if (dwKeyState & MK_LBUTTON)
        return S_OK;
    return DRAGDROP_S_DROP;
}

STDMETHODIMP CDropSource::GiveFeedback(DWORD dropEffect)
{
    (void)dropEffect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

BOOL CDropSource::OnBeginDrag(CWnd* pWnd)
{
    (void)pWnd;
    return TRUE;
}

}  // namespace Utility
