#include "model/StyleBounds.h"

#include <algorithm>
#include <climits>

#include "core/Logger.h"
#include "framework/CString.h"
#include "model/CTarneloStyleInfo.h"
#include "model/CTextStyle.h"

namespace Model {

namespace {

// One value and the range it must lie in.
struct Range
{
    const wchar_t* name;
    int* value;
    int low;
    int high;
};

int Clamp(LONGLONG value, int low, int high)
{
    // A screen smaller than the smallest box still gets the smallest box.
    if (high < low)
        high = low;
    if (value < low)
        return low;
    return value > high ? high : static_cast<int>(value);
}

int BoundRanges(const Range* ranges, size_t count, const wchar_t* source)
{
    int changed = 0;
    for (size_t i = 0; i < count; ++i) {
        const Range& range = ranges[i];
        const int bounded = Clamp(*range.value, range.low, range.high);
        if (bounded == *range.value)
            continue;
        Log(kLogWarn, FormatString(L"%s: %s %d out of range, taken as %d", source, range.name, *range.value, bounded));
        *range.value = bounded;
        ++changed;
    }
    return changed;
}

BOOL ShowsIcon(const CTarneloStyleInfo& style)
{
    return style.m_nIconDisplay != CTarneloStyleInfo::kIconDisplayHidden;
}

}  // namespace

SIZE GetWorkAreaSize()
{
    SIZE largest = {};
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info = {};
            info.cbSize = sizeof(info);
            auto* size = reinterpret_cast<SIZE*>(data);
            if (::GetMonitorInfoW(monitor, &info)) {
                size->cx = std::max(size->cx, info.rcWork.right - info.rcWork.left);
                size->cy = std::max(size->cy, info.rcWork.bottom - info.rcWork.top);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&largest));
    if (largest.cx > 0 && largest.cy > 0)
        return largest;
    RECT area = {};
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) && area.right > area.left && area.bottom > area.top)
        return SIZE{ area.right - area.left, area.bottom - area.top };
    return SIZE{ ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) };
}

int GetMinimumBoxWidth(const CTarneloStyleInfo& style)
{
    if (!ShowsIcon(style))
        return kMinimumTitleWidth;
    const int cell = style.m_nIconCellWidth > 0 ? style.m_nIconCellWidth : 0;
    return Clamp(static_cast<LONGLONG>(cell) + kMinimumTitleWidth, kMinimumTitleWidth, INT_MAX);
}

int BoundBoxWidth(LONGLONG width, const CTarneloStyleInfo& style, SIZE workArea)
{
    return Clamp(width, GetMinimumBoxWidth(style), workArea.cx);
}

int BoundTextStyleSizes(CTextStyle& text, const wchar_t* source)
{
    int offsetX = static_cast<int>(text.m_shadowOffset.x);
    int offsetY = static_cast<int>(text.m_shadowOffset.y);
    const Range ranges[] = {
        { L"font size", &text.m_nFontSize, 1, kMaximumFontSize },
        { L"outline width", &text.m_nOutlineThickness, 0, kMaximumLineWidth },
        { L"shadow width", &text.m_nShadowThickness, 0, kMaximumLineWidth },
        { L"shadow offset x", &offsetX, -kMaximumShadowOffset, kMaximumShadowOffset },
        { L"shadow offset y", &offsetY, -kMaximumShadowOffset, kMaximumShadowOffset },
    };
    const int changed = BoundRanges(ranges, sizeof(ranges) / sizeof(ranges[0]), source);
    text.m_shadowOffset = POINT{ offsetX, offsetY };
    return changed;
}

int BoundStyleSizes(CTarneloStyleInfo& style, SIZE workArea, const wchar_t* source)
{
    // Only icon and title is measured and drawn: any other kind would leave the boxes
    // without a size.
    // The cells come first, as the title's room depends on them.
    const Range first[] = {
        { L"kind", &style.m_nKind, CTarneloStyleInfo::kKindIconAndTitle, CTarneloStyleInfo::kKindIconAndTitle },
        { L"icon cell width", &style.m_nIconCellWidth, kMinimumIconCell, workArea.cx - kMinimumTitleWidth },
        { L"icon cell height", &style.m_nIconCellHeight, kMinimumIconCell, workArea.cy },
        { L"title margin left", &style.m_titleMargins.cxLeftWidth, 0, kMaximumTitleMargin },
        { L"title margin right", &style.m_titleMargins.cxRightWidth, 0, kMaximumTitleMargin },
        { L"title margin top", &style.m_titleMargins.cyTopHeight, 0, kMaximumTitleMargin },
        { L"title margin bottom", &style.m_titleMargins.cyBottomHeight, 0, kMaximumTitleMargin },
    };
    int changed = BoundRanges(first, sizeof(first) / sizeof(first[0]), source);
    const int room = workArea.cx - (ShowsIcon(style) ? style.m_nIconCellWidth : 0);
    const Range title[] = { { L"title width", &style.m_nTitleWidth, kMinimumTitleWidth, room } };
    changed += BoundRanges(title, 1, source);
    return changed + BoundTextStyleSizes(style.m_titleStyle, source);
}

}  // namespace Model
