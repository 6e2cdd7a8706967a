// Control notifications handed back to the control that sent them.
//
// A child control tells its parent about itself (WM_COMMAND codes, WM_NOTIFY, owner drawing,
// colours, scrolling). A control wrapper that wants to handle such a message itself - an
// owner-drawn button drawing itself, a button consuming its own click - lists it in its own
// message map under the reflected number (AFX_WM_REFLECT_BASE + the message) with the
// macros below; the parent window asks its child first through AfxReflectToChild (dialogs do
// this for every message), and only when the child takes nothing does the parent's own map
// see the message.
//
// Reflected entries run inside the parent's message: they must not call Default().
#pragma once

#include <windows.h>

#include "framework/CWnd.h"

// Reflected numbers are only ever matched in message maps, never sent as window messages.
constexpr UINT AFX_WM_REFLECT_BASE = 0xBC00;
constexpr UINT AFX_WM_REFLECT_COMMAND = AFX_WM_REFLECT_BASE + WM_COMMAND;
constexpr UINT AFX_WM_REFLECT_NOTIFY = AFX_WM_REFLECT_BASE + WM_NOTIFY;
constexpr UINT AFX_WM_REFLECT_DRAWITEM = AFX_WM_REFLECT_BASE + WM_DRAWITEM;
constexpr UINT AFX_WM_REFLECT_MEASUREITEM = AFX_WM_REFLECT_BASE + WM_MEASUREITEM;

// Offers a message that the window `parent` received to the bound child object it concerns
// (the control of a WM_COMMAND notification, the sender of WM_NOTIFY, the control of
// WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM, WM_CTLCOLOR..., WM_HSCROLL and
// WM_VSCROLL). TRUE, with the result, when the child's map took it; FALSE for every other
// message, a control that is not bound, or a child whose map has no matching entry.
BOOL AfxReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// void fn(): the control's own command notification; the parent does not see it.
#define ON_CONTROL_REFLECT(code, fn) \
    { AFX_WM_REFLECT_COMMAND, static_cast<UINT>(code), AFX_ALL_IDS, AFX_MSG_HANDLER(self->fn(); return TRUE) },
// BOOL fn(): TRUE consumes the notification, FALSE lets the parent's map see it as well.
#define ON_CONTROL_REFLECT_EX(code, fn) \
    { AFX_WM_REFLECT_COMMAND, static_cast<UINT>(code), AFX_ALL_IDS, AFX_MSG_HANDLER(return self->fn() ? TRUE : FALSE) },
// void fn(NMHDR*, LRESULT*): the control's own WM_NOTIFY code; the result starts at 0 and the
// parent does not see the notification.
#define ON_NOTIFY_REFLECT(code, fn)                                                                 \
    { AFX_WM_REFLECT_NOTIFY, static_cast<UINT>(code), AFX_ALL_IDS, AFX_MSG_HANDLER(                 \
        LRESULT result = 0; self->fn(reinterpret_cast<NMHDR*>(lParam), &result); return result) },
// virtual void DrawItem(LPDRAWITEMSTRUCT) / MeasureItem(LPMEASUREITEMSTRUCT) of the control.
#define ON_WM_DRAWITEM_REFLECT() \
    { AFX_WM_REFLECT_DRAWITEM, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); return TRUE) },
#define ON_WM_MEASUREITEM_REFLECT() \
    { AFX_WM_REFLECT_MEASUREITEM, 0, AFX_ALL_IDS, AFX_MSG_HANDLER(self->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); return TRUE) },
