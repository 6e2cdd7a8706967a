// Shows the hourglass for the life of the object and puts the previous cursor back after.
#pragma once

#include <windows.h>

class CWaitCursor
{
public:
    CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor();

    // Shows the hourglass again, after something (a dialog, a menu) changed the cursor.
    void Restore();

private:
    HCURSOR m_previous;
};
