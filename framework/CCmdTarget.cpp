#include "framework/CCmdTarget.h"

BOOL CCmdTarget::OnCmdMsg(WPARAM wParam, LPARAM lParam)
{
    // Menus (0) and accelerators (1) both come as commands; controls give their code.
    LRESULT result = 0;
    return DispatchToMap(WM_COMMAND, lParam ? HIWORD(wParam) : 0, LOWORD(wParam), wParam, lParam, &result);
}

BOOL CCmdTarget::DispatchToMap(UINT message, UINT code, UINT_PTR id, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    for (const AfxMsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const AfxMsgMapEntry* entry = map->entries; entry->handler; ++entry) {
            if (entry->message != message || entry->code != code || id < entry->idFirst || id > entry->idLast)
                continue;
            *result = entry->handler(this, wParam, lParam);
            return TRUE;
        }
    }
    return FALSE;
}

const AfxMsgMap* CCmdTarget::GetThisMessageMap()
{
    static const AfxMsgMapEntry entries[] = { { 0, 0, 0, 0, nullptr } };
    static const AfxMsgMap map = { nullptr, entries };
    return &map;
}

const AfxMsgMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}
