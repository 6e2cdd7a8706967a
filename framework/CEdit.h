// An edit control of a dialog: its text goes through DDX_Text and the Win32 calls on its
// handle; the class exists so that a dialog can bind it (DDX_Control) and derive from it.
#pragma once

#include <windows.h>

#include "framework/CWnd.h"

class CEdit : public CWnd
{
public:
    // Selects the characters first..last (last -1: to the end) and scrolls them into view.
    void SetSel(int first, int last, BOOL noScroll = FALSE);
    // The longest text the user may type (0: the system's maximum).
    void SetLimitText(UINT maxChars);
};
