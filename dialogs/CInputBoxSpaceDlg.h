// Asks for the clearance in pixels between boxes before the manager aligns them on a grid.
// The caller presets m_nSpace with its clearance and reads it back after IDOK.
#pragma once

#include <windows.h>

#include "framework/CDialog.h"
#include "framework/CEdit.h"
#include "framework/CSpinButtonCtrl.h"
#include "framework/CString.h"

class CInputBoxSpaceDlg : public CDialog
{
public:
    // The range the up-down control offers, and the range a typed value is brought into:
    // the alignment grid needs a step (box size plus clearance) that moves forward.
    static constexpr int kMinSpace = 0;
    static constexpr int kMaxSpace = 100;

    explicit CInputBoxSpaceDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    // Reads the text as a base-10 number (leading blanks and a sign taken, reading stops at
    // the first non-digit, no digits give 0) and brings it into 0..100.
    void OnOK() override;

    // The text of the edit read as the clearance.
    static int ParseSpace(const CString& text);

    int m_nSpace = 0;
    CString m_strSpace;
    CEdit m_editSpace;
    CSpinButtonCtrl m_spinSpace;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
