// The system's colour dialog. The custom colours of the dialog are kept for the process.
#pragma once

#include <windows.h>
#include <commdlg.h>

class CWnd;

class CColorDialog
{
public:
    // CC_RGBINIT is added to the flags, so the dialog opens on `initial`.
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    CColorDialog(const CColorDialog&) = delete;
    CColorDialog& operator=(const CColorDialog&) = delete;

    // IDOK or IDCANCEL.
    INT_PTR DoModal();
    // The colour chosen (the initial one until IDOK).
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLORW m_cc;
};
