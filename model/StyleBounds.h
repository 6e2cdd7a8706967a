// The one place that bounds every size of the box style. Values reach the style from
// "style.ser", from box events that any process can post and from the style dialogs; each
// of those passes them through here, so no value can make a box the screen cannot show
// (zero or negative, or far larger than the screen, which the window system refuses).
#pragma once

#include <windows.h>

namespace Model {

class CTarneloStyleInfo;
class CTextStyle;

// The narrowest title a box keeps, so that a box can always be seen, grabbed and widened.
inline constexpr int kMinimumTitleWidth = 40;
// The smallest icon cell: a 16-pixel icon drawn at half size with its 4-pixel border.
inline constexpr int kMinimumIconCell = 16;
// Title text, its margins, outline and shadow: the dialogs' own ranges.
inline constexpr int kMaximumFontSize = 256;
inline constexpr int kMaximumTitleMargin = 100;
inline constexpr int kMaximumLineWidth = 100;
inline constexpr int kMaximumShadowOffset = 100;

// The size of the largest monitor's work area (width and height each the largest), or of the
// primary screen when that is not known: a box may be as large as the monitor it is on, and
// boxes live on any monitor.
SIZE GetWorkAreaSize();

// The narrowest box the style allows: the icon cell plus the minimum title, or in
// icon-hidden mode (icon display 2) the minimum title alone.
int GetMinimumBoxWidth(const CTarneloStyleInfo& style);
// A box width within the style's minimum and the work area's width. Taken 64 bits wide, so
// that a width from a message's lParam is bounded whole.
int BoundBoxWidth(LONGLONG width, const CTarneloStyleInfo& style, SIZE workArea);

// Brings every size of the style (kind, icon cell, title width, margins and the title's text
// sizes) within its range. Each value changed is logged at level "warn", naming where it came
// from; returns how many were changed.
int BoundStyleSizes(CTarneloStyleInfo& style, SIZE workArea, const wchar_t* source);
// The same for the sizes of a text style alone: font size, outline and shadow widths and the
// shadow offset.
int BoundTextStyleSizes(CTextStyle& text, const wchar_t* source);

}  // namespace Model
