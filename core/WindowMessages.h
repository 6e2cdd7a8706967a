// The messages the program's windows send one another, named in one place. Every number
// lies above WM_USER and is private to this program's window classes.
#pragma once

#include <windows.h>

// ---- Between the boxes, the wizard, the tray icon and the manager --------------------------
// Box events to the manager: wParam is a BOXEVENT_ code (see the box window), lParam the box
// or a value.
#define WM_BOXMSG (WM_USER + 100)
// Wizard events to the manager: wParam is a WIZEVENT_ code (see the manager), lParam a value.
#define WM_WIZMSG (WM_USER + 101)
// The tray icon's callback to the manager.
#define WM_TRAYMSG (WM_USER + 102)

// ---- Layered windows -----------------------------------------------------------------------
// Posted by a layered window to itself to redraw (wParam 0, lParam 0).
#define WM_REDRAWMSG (WM_USER + 200)
// From the file list to its box: wParam FILEWND_UPDATE, FILEWND_OPEN (lParam = item index)
// or FILEWND_CLOSE (lParam = the list object asking to be closed; the box destroys the
// list's window and deletes the object only when it is the box's current list, and not
// before a handler of the list that runs a loop has returned).
#define WM_FILEWNDMSG (WM_USER + 201)
#define FILEWND_UPDATE 0
#define FILEWND_OPEN 1
#define FILEWND_CLOSE 2
// Posted by the notice popup to its owner when it has faded out (wParam 0, lParam 0).
#define WM_NOTICEMSG (WM_USER + 202)

// ---- The colour picker ---------------------------------------------------------------------
// Sent (never posted) from the colour popup to its button and from the button to its parent
// dialog. wParam is the colour; lParam is 0 from the popup and the button's control id from
// the button.
#define WM_COLOR_SELCHANGE    (WM_USER + 1001)
#define WM_COLOR_DROPDOWN     (WM_USER + 1002)
#define WM_COLOR_CLOSEUP      (WM_USER + 1003)
#define WM_COLOR_SELENDOK     (WM_USER + 1004)
#define WM_COLOR_SELENDCANCEL (WM_USER + 1005)
