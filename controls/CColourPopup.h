// The drop-down of the colour button: a borderless popup with 40 named colour cells in 8
// columns, an "Auto" box above them and an "Other color..." box below them that opens the
// standard colour dialog. It reports hovering and the final choice to its parent button with
// the colour messages below, holds the mouse capture while open and deletes itself when its
// window is destroyed: the opener creates it with new and never deletes it.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "core/WindowMessages.h"  // the colour messages WM_COLOR_*
#include "framework/CWnd.h"

// The "Auto" colour. A dialog that stores it as a colour takes it as black.
#define COLOR_AUTOMATIC (static_cast<COLORREF>(0xFF000000))

namespace Utility {

class CColourPopup : public CWnd
{
public:
    // Cell indices beside the colour cells 0..39.
    static constexpr int CELL_NONE = -1;
    static constexpr int CELL_OTHER_BOX = -2;
    static constexpr int CELL_AUTO_BOX = -3;

    struct ColourTableEntry
    {
        COLORREF crColour;
        const wchar_t* szName;  // the tooltip text, English in every language
    };
    static constexpr int kColourCount = 40;
    static constexpr int kColumnCount = 8;
    static const ColourTableEntry ColourTable[kColourCount];

    // Creates the window at once at (left, top) in screen coordinates, below the button
    // `parent`. An empty (or null) text means that box does not exist. When the window cannot
    // be created, GetSafeHwnd() is null and the opener must delete the object itself.
    CColourPopup(int left, int top, COLORREF colour, CWnd* parent, const wchar_t* defaultText,
                 const wchar_t* customText);
    ~CColourPopup() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // The rectangle of a colour cell or box in client coordinates; FALSE for any other index
    // and for a box that does not exist.
    BOOL GetCellRect(int index, RECT* rect) const;
    // The cell or box under a client point, or CELL_NONE.
    int HitTest(POINT point) const;
    int GetCurrentSel() const { return m_nCurrentSel; }
    int GetChosenSel() const { return m_nChosenSel; }
    COLORREF GetCurrentColour() const { return m_crColour; }
    int GetCellSize() const { return m_nBoxSize; }
    int GetMargin() const { return m_nMargin; }
    HWND GetToolTip() const { return m_hToolTip; }

protected:
    void PostNcDestroy() override;

    int m_nCurrentSel = CELL_NONE;  // the hot cell
    int m_nChosenSel = CELL_NONE;   // the cell of the colour the popup opened with
    BOOL m_bChildDialogOpen = FALSE;

private:
    void SetWindowSize();
    void CreateToolTips();
    void FindCellFromColour(COLORREF colour);
    void ChangeSelection(int index);
    void EndSelection(UINT message);
    void DrawCell(HDC dc, int index);
    void DrawBox(HDC dc, int index);
    void InvalidateCell(int index);
    BOOL RunColourDialog(COLORREF* chosen);

    void OnPaint();
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKillFocus(HWND newFocus);
    LRESULT OnQueryNewPalette(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteChanged(WPARAM wParam, LPARAM lParam);

    int m_nNumColours = kColourCount;
    int m_nNumColumns = kColumnCount;
    int m_nNumRows = 0;
    int m_nBoxSize = 18;
    int m_nMargin = 2;
    CString m_strDefaultText;
    CString m_strCustomText;
    RECT m_CustomTextRect = {};
    RECT m_DefaultTextRect = {};
    RECT m_WindowRect = {};
    HFONT m_hFont = nullptr;
    HPALETTE m_hPalette = nullptr;
    COLORREF m_crInitialColour = 0;
    COLORREF m_crColour = 0;
    HWND m_hToolTip = nullptr;
    HWND m_hParent = nullptr;
    BOOL m_bConstructing = FALSE;
    BOOL m_bSelectionEnded = FALSE;

    DECLARE_MESSAGE_MAP()
};

}  // namespace Utility
