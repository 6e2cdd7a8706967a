// A combo box of a dialog. Indices are 0-based; CB_ERR (-1) reports "none" and failures.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/CWnd.h"

class CComboBox : public CWnd
{
public:
    // The index of the new entry (its sorted place in a CBS_SORT box); CB_ERR or CB_ERRSPACE.
    int AddString(const wchar_t* text);
    int InsertString(int index, const wchar_t* text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;

    int GetCurSel() const;
    // -1 clears the selection. CB_ERR when the index is out of range (the selection is then
    // cleared, as the control does).
    int SetCurSel(int index);

    // The text of entry `index`; empty when there is no such entry.
    void GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;

    // Searches from after `startAfter` (-1: from the top), case-insensitive.
    int FindString(int startAfter, const wchar_t* prefix) const;
    int FindStringExact(int startAfter, const wchar_t* text) const;
    // Selects the first entry beginning with the prefix; CB_ERR (selection kept) when none.
    int SelectString(int startAfter, const wchar_t* prefix);

    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    int SetItemDataPtr(int index, void* data);
    void* GetItemDataPtr(int index) const;
};
