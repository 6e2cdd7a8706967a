// A push button that shows a colour as a swatch beside a small drop-down arrow. A click opens
// the colour popup below it; the button keeps the chosen colour and relays every event of the
// popup to its own parent as one of the colour messages, with its control id as lParam.
// Dialogs bind it to a push button of their template, which it makes owner-drawn.
#pragma once

#include <windows.h>

#include "controls/CColourPopup.h"
#include "framework/CButton.h"
#include "framework/CString.h"

namespace Utility {

class CColorButton : public CButton
{
public:
    CColorButton();

    // The colour (a COLORREF, or COLOR_AUTOMATIC).
    COLORREF GetColor() const { return m_Color; }
    // Stores the colour and redraws the button at once when it has a window.
    void SetColor(COLORREF colour);

    // Colour shown in the swatch while the colour is COLOR_AUTOMATIC.
    COLORREF GetDefaultColor() const { return m_DefaultColor; }
    // TRUE while the popup is open.
    BOOL IsPopupActive() const { return m_bPopupActive; }

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

protected:
    void PreSubclassWindow() override;

    COLORREF m_Color = COLOR_AUTOMATIC;
    COLORREF m_DefaultColor;
    CString m_strDefaultText;  // the popup's "Auto" box
    CString m_strCustomText;   // the popup's "Other color..." box
    BOOL m_bPopupActive = FALSE;

private:
    BOOL OnClicked();
    int OnCreate(LPCREATESTRUCTW createStruct);
    LRESULT OnSelEndOK(WPARAM colour, LPARAM);
    LRESULT OnSelEndCancel(WPARAM colour, LPARAM);
    LRESULT OnSelChange(WPARAM colour, LPARAM);
    // Sends a colour message to the parent with this button's control id.
    void NotifyParent(UINT message, COLORREF colour);

    DECLARE_MESSAGE_MAP()
};

}  // namespace Utility
