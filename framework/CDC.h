// Owner of one memory device context. Whatever was selected into it is put back before
// the context is deleted, so the objects selected meanwhile can be deleted by their owners.
#pragma once

#include <windows.h>

class CDC
{
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    ~CDC();

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A memory context compatible with the given one (the screen when null); FALSE when one
    // is held already or GDI fails.
    BOOL CreateCompatibleDC(HDC hOther);
    // Takes ownership of a memory context; FALSE when one is held already or it is null.
    BOOL Attach(HDC hDC);
    // Puts the first selected bitmap back and deletes the context; FALSE when there was none.
    BOOL DeleteDC();

    // Selects a bitmap and returns the one it replaced (null on failure or without a
    // context). The context's own first bitmap is kept so that DeleteDC and
    // RestoreOriginalBitmap can put it back.
    HBITMAP SelectBitmap(HBITMAP hBitmap);
    // Selects the context's own first bitmap again, freeing whatever bitmap was selected.
    void RestoreOriginalBitmap();

private:
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOriginalBitmap = nullptr;
};
