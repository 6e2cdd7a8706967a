// Owner of one GDI object handle (a bitmap, a region, ...): the object is deleted with its
// owner unless it was detached first, for example because a window took it over.
#pragma once

#include <windows.h>

class CGdiObject
{
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject();

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    // Takes ownership of a handle; FALSE when this object holds one already or it is null.
    BOOL Attach(HGDIOBJ hObject);
    // Gives the handle up without deleting it.
    HGDIOBJ Detach();
    // Deletes the handle; FALSE when there was none or GDI refused (it stays held then,
    // as GDI refuses only objects still selected into a device context).
    BOOL DeleteObject();

protected:
    HGDIOBJ m_hObject = nullptr;
};
