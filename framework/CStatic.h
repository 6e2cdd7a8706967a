// A static control of a dialog. An owner-drawn one (SS_OWNERDRAW) draws itself in DrawItem,
// which its parent dialog hands it through reflection.
#pragma once

#include <windows.h>

#include "framework/AfxReflect.h"
#include "framework/CWnd.h"

class CStatic : public CWnd
{
public:
    // Draws an owner-drawn static; the base draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

    DECLARE_MESSAGE_MAP()
};
