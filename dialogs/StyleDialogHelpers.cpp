#include "dialogs/StyleDialogHelpers.h"

#include "controls/CColourPopup.h"
#include "core/ShellHelpers.h"

namespace StyleDialogs {

COLORREF ColorRefFromArgb(Gdiplus::ARGB color)
{
    const BYTE red = static_cast<BYTE>(color >> 16);
    const BYTE green = static_cast<BYTE>(color >> 8);
    const BYTE blue = static_cast<BYTE>(color);
    return RGB(red, green, blue);
}

Gdiplus::ARGB ArgbFromColorRef(BYTE alpha, COLORREF color)
{
    if (color == COLOR_AUTOMATIC)
        color = RGB(0, 0, 0);
    return (static_cast<Gdiplus::ARGB>(alpha) << 24) | (static_cast<Gdiplus::ARGB>(GetRValue(color)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(color)) << 8) | GetBValue(color);
}

int FillComboFromString(HWND combo, UINT stringId)
{
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const CString all = LoadResString(stringId);
    if (all.IsEmpty())
        return 0;
    int count = 0;
    int start = 0;
    for (;;) {
        const int end = all.Find(L'\n', start);
        const CString entry = end < 0 ? all.Mid(start) : all.Mid(start, end - start);
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.GetString()));
        ++count;
        if (end < 0)
            break;
        start = end + 1;
    }
    return count;
}

}  // namespace StyleDialogs
