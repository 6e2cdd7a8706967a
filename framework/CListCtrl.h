// A list-view control of a dialog. Indices are 0-based; -1 reports "none" and failures.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CString.h"
#include "framework/CWnd.h"

class CImageList;

class CListCtrl : public CWnd
{
public:
    // Report view: a column at `column` with the heading, format and width (-1: no width).
    int InsertColumn(int column, const wchar_t* heading, int format = LVCFMT_LEFT, int width = -1);
    // An item with the text, and with an image of the image lists.
    int InsertItem(int index, const wchar_t* text);
    int InsertItem(int index, const wchar_t* text, int image);
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;

    BOOL SetItemText(int index, int subItem, const wchar_t* text);
    // Empty for an item or column that does not exist.
    CString GetItemText(int index, int subItem) const;
    BOOL SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    BOOL SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const;
    // The next item after `start` (-1: from the top) with the LVNI_ flags, e.g. LVNI_SELECTED.
    int GetNextItem(int start, int flags) const;
    // LVM_FINDITEMW from after `start` (-1: from the top).
    int FindItem(const LVFINDINFOW* find, int start = -1) const;
    BOOL EnsureVisible(int index, BOOL partialOk);

    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD exStyle);
    // LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE; returns the list's previous image list. Unless
    // the control has LVS_SHAREIMAGELISTS it destroys its image lists itself when destroyed.
    HIMAGELIST SetImageList(CImageList* imageList, int which);
    HIMAGELIST GetImageList(int which) const;
    BOOL SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
};
