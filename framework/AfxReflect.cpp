#include "framework/AfxReflect.h"

#include <commctrl.h>

namespace {

// Reads another window object's message map. Only a class derived from CWnd may name the
// protected accessor; the pointer to member it yields works on any CWnd.
struct MapReader : CWnd
{
    static const AfxMsgMap* MapOf(const CWnd* window)
    {
        const auto getMap = &MapReader::GetMessageMap;
        return (window->*getMap)();
    }
};

// The child window a parent's message is about, or null.
HWND ChildOf(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT* code)
{
    *code = 0;
    switch (message) {
    case WM_COMMAND:
        *code = HIWORD(wParam);
        return reinterpret_cast<HWND>(lParam);  // null for menus and accelerators
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header)
            return nullptr;
        *code = header->code;
        return header->hwndFrom;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        // The control is not named; its id is (a list box measures during its creation).
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (!item || item->CtlType == ODT_MENU)
            return nullptr;
        return ::GetDlgItem(parent, static_cast<int>(item->CtlID));
    }
    case WM_COMPAREITEM: {
        const auto* item = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam);
        return item ? item->hwndItem : nullptr;
    }
    case WM_DELETEITEM: {
        const auto* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
        return item ? item->hwndItem : nullptr;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

}  // namespace

BOOL AfxReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    UINT code = 0;
    const HWND child = ChildOf(parent, message, wParam, lParam, &code);
    if (!child || child == parent || !::IsWindow(child))
        return FALSE;
    CWnd* const window = CWnd::FromHandlePermanent(child);
    if (!window)
        return FALSE;
    const UINT reflected = AFX_WM_REFLECT_BASE + message;
    for (const AfxMsgMap* map = MapReader::MapOf(window); map; map = map->base ? map->base() : nullptr) {
        for (const AfxMsgMapEntry* entry = map->entries; entry->handler; ++entry) {
            if (entry->message != reflected || entry->code != code)
                continue;
            const LRESULT answer = entry->handler(window, wParam, lParam);
            if (message == WM_COMMAND) {
                // A command handler answers whether it consumed the notification.
                *result = 0;
                return answer != 0;
            }
            *result = answer;
            return TRUE;
        }
    }
    return FALSE;
}
