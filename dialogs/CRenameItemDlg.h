// Asks for the new name of an item of a box's file list: one edit beside an OK button, no
// caption. The caller presets m_strNewName and reads it back after IDOK; the text is taken
// as typed (the box record refuses names it cannot keep).
#pragma once

#include <windows.h>

#include "framework/CDialogEx.h"
#include "framework/CEdit.h"
#include "framework/CString.h"

class CRenameItemDlg : public CDialogEx
{
public:
    // Shortly after the dialog is shown the edit takes the keyboard focus.
    static constexpr UINT_PTR kTimerFocus = 1;
    static constexpr UINT kFocusDelayMs = 10;

    explicit CRenameItemDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    CString m_strNewName;
    CEdit m_editName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnFocusTimer();

    DECLARE_MESSAGE_MAP()
};
