// An up-down control of a dialog, usually bound to the edit before it (its buddy).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

class CSpinButtonCtrl : public CWnd
{
public:
    void SetRange32(int lower, int upper);
    void GetRange32(int& lower, int& upper) const;
    int SetPos32(int position);
    // The position; *error (if given) is TRUE when the buddy's text is not a valid number.
    int GetPos32(BOOL* error = nullptr) const;
    HWND SetBuddy(HWND buddy);
    HWND GetBuddy() const;
};
