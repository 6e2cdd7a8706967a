#include "framework/CDC.h"

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::CreateCompatibleDC(HDC hOther)
{
    if (m_hDC)
        return FALSE;
    return Attach(::CreateCompatibleDC(hOther));
}

BOOL CDC::Attach(HDC hDC)
{
    if (m_hDC || !hDC)
        return FALSE;
    m_hDC = hDC;
    m_hOriginalBitmap = nullptr;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    RestoreOriginalBitmap();
    const BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    return deleted;
}

HBITMAP CDC::SelectBitmap(HBITMAP hBitmap)
{
    if (!m_hDC || !hBitmap)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, hBitmap);
    if (!previous || previous == HGDI_ERROR)
        return nullptr;
    if (!m_hOriginalBitmap)
        m_hOriginalBitmap = previous;
    return static_cast<HBITMAP>(previous);
}

void CDC::RestoreOriginalBitmap()
{
    if (m_hDC && m_hOriginalBitmap)
        ::SelectObject(m_hDC, m_hOriginalBitmap);
}
