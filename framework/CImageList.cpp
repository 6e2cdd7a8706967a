#include "framework/CImageList.h"

CImageList::~CImageList()
{
    DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    if (m_hImageList)
        return FALSE;
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return TRUE;
}

BOOL CImageList::Attach(HIMAGELIST imageList)
{
    if (m_hImageList || !imageList)
        return FALSE;
    m_hImageList = imageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    const HIMAGELIST imageList = m_hImageList;
    m_hImageList = nullptr;
    return imageList;
}

int CImageList::Add(HBITMAP bitmap, COLORREF mask)
{
    if (!m_hImageList || !bitmap)
        return -1;
    return ::ImageList_AddMasked(m_hImageList, bitmap, mask);
}

int CImageList::Add(HICON icon)
{
    if (!m_hImageList || !icon)
        return -1;
    return ::ImageList_AddIcon(m_hImageList, icon);
}

int CImageList::GetImageCount() const
{
    return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0;
}
