// Owns one image list (destroyed with the object unless detached).
#pragma once

#include <windows.h>
#include <commctrl.h>

class CImageList
{
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList();

    // ILC_ flags (e.g. ILC_COLOR32 | ILC_MASK); FALSE when the object holds a list already
    // or creation fails.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // Destroys the list; FALSE when there is none.
    BOOL DeleteImageList();
    BOOL Attach(HIMAGELIST imageList);
    HIMAGELIST Detach();

    // The index of the new image, or -1. The masked form makes `mask` transparent.
    int Add(HBITMAP bitmap, COLORREF mask);
    int Add(HICON icon);
    int GetImageCount() const;

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    HIMAGELIST m_hImageList = nullptr;
};
