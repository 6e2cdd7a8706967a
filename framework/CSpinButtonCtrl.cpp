#include "framework/CSpinButtonCtrl.h"

void CSpinButtonCtrl::SetRange32(int lower, int upper)
{
    ::SendMessageW(m_hWnd, UDM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const
{
    ::SendMessageW(m_hWnd, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
}

int CSpinButtonCtrl::SetPos32(int position)
{
    return static_cast<int>(::SendMessageW(m_hWnd, UDM_SETPOS32, 0, static_cast<LPARAM>(position)));
}

int CSpinButtonCtrl::GetPos32(BOOL* error) const
{
    return static_cast<int>(::SendMessageW(m_hWnd, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(error)));
}

HWND CSpinButtonCtrl::SetBuddy(HWND buddy)
{
    return reinterpret_cast<HWND>(::SendMessageW(m_hWnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0));
}

HWND CSpinButtonCtrl::GetBuddy() const
{
    return reinterpret_cast<HWND>(::SendMessageW(m_hWnd, UDM_GETBUDDY, 0, 0));
}
