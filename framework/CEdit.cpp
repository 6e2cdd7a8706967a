#include "framework/CEdit.h"

void CEdit::SetSel(int first, int last, BOOL noScroll)
{
    ::SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
    if (!noScroll)
        ::SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
}

void CEdit::SetLimitText(UINT maxChars)
{
    ::SendMessageW(m_hWnd, EM_LIMITTEXT, maxChars, 0);
}
