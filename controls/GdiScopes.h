// Scope owners for the GDI work of the controls' drawing: a selection into a context that is
// undone, an object that is deleted, and a client context that is released at scope end.
#pragma once

#include <windows.h>

namespace Utility {

class ScopedSelect
{
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

class ScopedGdi
{
public:
    explicit ScopedGdi(HGDIOBJ object) : m_object(object) {}
    ~ScopedGdi()
    {
        if (m_object)
            ::DeleteObject(m_object);
    }
    ScopedGdi(const ScopedGdi&) = delete;
    ScopedGdi& operator=(const ScopedGdi&) = delete;
    HGDIOBJ get() const { return m_object; }

private:
    HGDIOBJ m_object;
};

class ScopedClientDC
{
public:
    explicit ScopedClientDC(HWND hWnd) : m_hWnd(hWnd), m_dc(::GetDC(hWnd)) {}
    ~ScopedClientDC()
    {
        if (m_dc)
            ::ReleaseDC(m_hWnd, m_dc);
    }
    ScopedClientDC(const ScopedClientDC&) = delete;
    ScopedClientDC& operator=(const ScopedClientDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_hWnd;
    HDC m_dc;
};

}  // namespace Utility
