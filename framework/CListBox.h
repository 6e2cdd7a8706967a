// A list box of a dialog. Indices are 0-based; LB_ERR (-1) reports "none" and failures.
// An owner-drawn list box measures and draws its items in MeasureItem and DrawItem, which its
// parent dialog hands it through reflection.
#pragma once

#include <windows.h>

#include "framework/AfxReflect.h"
#include "framework/CString.h"
#include "framework/CWnd.h"

class CListBox : public CWnd
{
public:
    int AddString(const wchar_t* text);
    int InsertString(int index, const wchar_t* text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;

    // Single-selection list boxes.
    int GetCurSel() const;
    int SetCurSel(int index);

    // The text of item `index`; empty when there is no such item.
    void GetText(int index, CString& text) const;
    int GetTextLen(int index) const;

    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    int GetItemRect(int index, RECT* rect) const;
    // The item under a client point, or LB_ERR when the point is below the last item.
    int ItemFromPoint(POINT point) const;

    // Owner drawing; the base draws nothing and keeps the height the control proposes.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    DECLARE_MESSAGE_MAP()
};
