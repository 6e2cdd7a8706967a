// Making room in a dialog laid out by its template, for content the template could not
// size for the font in use: a picture scaled to the dialog's width, a picture of its own
// size in an area measured in dialog units, or list rows as tall as the font's glyphs.
#pragma once

#include <windows.h>

namespace DialogLayout {

// The control's window rectangle in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND control);

// Moves every control of the dialog that starts at or below y by dy (down when dy is
// positive) and makes the dialog dy taller, so the controls keep their distance to its
// bottom edge.
void MoveControlsBelow(HWND dialog, int y, int dy);

// Moves the control, at its size, to the middle of the area (client coordinates): a picture
// of a fixed pixel size then sits where the template meant it whatever the dialog font.
void CentreControl(HWND dialog, HWND control, const RECT& area);

// Makes the control dy taller together with every control around it (its group box); the
// controls below it move down and the dialog grows by as much.
void GrowControl(HWND dialog, HWND control, int dy);

}  // namespace DialogLayout
