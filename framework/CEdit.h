// An edit control of a dialog: its text goes through DDX_Text and the Win32 calls on its
// handle; the class exists so that a dialog can bind it (DDX_Control) and derive from it.
#pragma once

#include "framework/CWnd.h"

class CEdit : public CWnd
{
};
