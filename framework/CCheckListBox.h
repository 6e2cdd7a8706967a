// A list box whose items carry a check box each. The template control must be owner-drawn
// with fixed height and keep its strings (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS). A click on an
// item's box, or the space bar, toggles the check of the item and tells the parent with
// WM_COMMAND CLBN_CHKCHANGE. The check states live in the items' item data, so a check list
// box has no item data of its own for the caller.
#pragma once

#include <windows.h>

#include "framework/CListBox.h"

// The notification code of a toggled check.
constexpr UINT CLBN_CHKCHANGE = 40;

class CCheckListBox : public CListBox
{
public:
    // 0 unchecked, 1 checked (2 is kept and drawn as indeterminate). Out of range: nothing.
    void SetCheck(int index, int check);
    // The check of the item; 0 for an index out of range.
    int GetCheck(int index) const;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

protected:
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);

    DECLARE_MESSAGE_MAP()

private:
    // The width of the check box column at the left of each item.
    int CheckColumnWidth() const;
    void Toggle(int index);
};
