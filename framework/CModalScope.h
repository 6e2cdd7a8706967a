// Marks a modal loop (a dialog's or a message box's) for as long as the object lives, so
// that code outside the loop can tell one is running: a window that is about to be torn
// down must wait while a handler further up the stack still runs such a loop. Every other
// loop (a menu's, a drag's, a common dialog's, a shell call's) also keeps the handler that
// runs it on the stack: CWnd::IsHandlingMessage tells, for one window, whether any loop of
// any kind runs inside one of its handlers.
#pragma once

class CModalScope
{
public:
    CModalScope() { ++s_depth; }
    ~CModalScope() { --s_depth; }
    CModalScope(const CModalScope&) = delete;
    CModalScope& operator=(const CModalScope&) = delete;

    // How many modal loops are running now (UI thread only).
    static int Depth() { return s_depth; }

private:
    static inline int s_depth = 0;
};
