// A push button, check box or radio button of a dialog. An owner-drawn button (BS_OWNERDRAW)
// draws itself in DrawItem, which its parent dialog hands it through reflection.
#pragma once

#include <windows.h>

#include "framework/AfxReflect.h"
#include "framework/CWnd.h"

class CButton : public CWnd
{
public:
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int check);
    // The button's state bits (BST_PUSHED, BST_FOCUS, ...).
    UINT GetState() const;

    // Draws an owner-drawn button; the base draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

    DECLARE_MESSAGE_MAP()
};
