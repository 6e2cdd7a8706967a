// Helpers shared by the style, text outline and options dialogs: moving colours between
// the style record (ARGB) and the colour buttons (COLORREF), transparency texts, and the
// fixed entries of the templates' drop-down lists.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include "framework/CString.h"

namespace StyleDialogs {

// Red and blue change places; the alpha is dropped.
COLORREF ColorRefFromArgb(Gdiplus::ARGB color);
// The button's red, green and blue under the given alpha; the automatic colour
// (COLOR_AUTOMATIC, the buttons' "Auto" box) is black.
Gdiplus::ARGB ArgbFromColorRef(BYTE alpha, COLORREF color);

// Fills a combo box (emptied first) with the line-feed separated entries of a string
// resource, in order; returns how many were added.
int FillComboFromString(HWND combo, UINT stringId);

}  // namespace StyleDialogs
