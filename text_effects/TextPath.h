// Shared by the text strategies and the outline text: page-unit conversion, the extent
// of a path in pixels, and GDI+ paths built from text that GDI lays out.
#pragma once

#include <windows.h>
#include <objidl.h> // GDI+ needs the COM types that a lean windows.h leaves out
#include <gdiplus.h>

namespace TextEffects
{

// Converts a length pair given in the graphics' page unit to pixels. Either out pointer
// may be null. Fails (nothing written) for a null graphics, UnitWorld or an unknown unit.
bool ConvertToPixels(Gdiplus::Graphics* pGraphics, float fX, float fY, float* pfPixelsX,
                     float* pfPixelsY);

// The arithmetic of ConvertToPixels for a given unit and resolution, for units that no
// graphics can be set to as well.
bool ConvertUnitToPixels(Gdiplus::Unit unit, float fDpiX, float fDpiY, float fX, float fY,
                         float* pfPixelsX, float* pfPixelsY);

// The caller seeds *pfWidth and *pfHeight with the layout origin; they receive the extent
// from that origin to the rightmost and lowest point of the path, in pixels. Any part of
// the path left of or above the coordinate 0 counts as well.
bool MeasurePathFromOrigin(Gdiplus::Graphics* pGraphics, const Gdiplus::GraphicsPath* pPath,
                           float* pfWidth, float* pfHeight);

// The same contract with the span of the path's points; the seeded origin is ignored.
bool MeasurePathBounds(Gdiplus::Graphics* pGraphics, const Gdiplus::GraphicsPath* pPath,
                       float* pfWidth, float* pfHeight);

// A path of the text as GDI draws it at (x, y) with the font, in device pixels of the
// graphics' device context. *ppPath always receives a new path (empty on failure), which
// the caller deletes, whatever the result.
bool GdiTextPath(Gdiplus::Graphics* pGraphics, Gdiplus::GraphicsPath** ppPath,
                 const wchar_t* pszText, const LOGFONTW* pLogFont, int x, int y);

// As GdiTextPath, the text centred horizontally in the rectangle.
bool GdiTextPathInRect(Gdiplus::Graphics* pGraphics, Gdiplus::GraphicsPath** ppPath,
                       const wchar_t* pszText, const LOGFONTW* pLogFont, int x, int y,
                       int nWidth, int nHeight);

// Appends the figures of a GDI path (points and PT_* types as GetPath gives them).
void GdiPathToGraphicsPath(Gdiplus::GraphicsPath* pPath, const POINT* pPoints,
                           const BYTE* pTypes, int nCount);

} // namespace TextEffects
