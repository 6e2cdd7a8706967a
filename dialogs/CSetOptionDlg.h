// The "Options" dialog: three on/off options of the settings and one system-wide hot key per
// box. Changes reach only the dialog's own row records until OK, which writes the settings
// and every listed box's hot key in memory; the opener then posts UpdateConfig and
// UpdateHotKey, which save them and register the hot keys again.
#pragma once

#include <windows.h>

#include "framework/CButton.h"
#include "framework/CCheckListBox.h"
#include "framework/CComboBox.h"
#include "framework/CDialog.h"
#include "framework/CListCtrl.h"
#include "framework/CString.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloInfoManager.h"

class CSetOptionDlg : public CDialog
{
public:
    // One hot-key row: what the box's hot key will be after OK.
    struct _HOTKEY_INFO
    {
        UINT nModifiers;  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4
        UINT nKey;        // the key's character, 0 for none
        Model::CTarneloInfo* pBox;
    };

    // The application's box list and settings; either may be null (nothing of it is shown
    // or written).
    CSetOptionDlg(Model::CTarneloInfoManager* infoManager, Model::CConfigInfo* config, CWnd* parent = nullptr);
    ~CSetOptionDlg() override;

    // The second column of a row: " A (Ctrl, Alt)", " 5 ", or empty for key 0.
    static CString FormatHotKey(UINT modifiers, UINT key);

    Model::CTarneloInfoManager* m_pInfoManager;
    Model::CConfigInfo* m_pConfig;

    CCheckListBox m_checkOptions;
    CListCtrl m_listHotKeys;
    BOOL m_bCtrl = FALSE;
    BOOL m_bShift = FALSE;
    BOOL m_bAlt = FALSE;
    CButton m_btnCtrl;
    CButton m_btnShift;
    CButton m_btnAlt;
    CComboBox m_comboKey;
    CString m_strKey;
    int m_nSelectedRow = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnModifierCheck();
    void OnSelChangeKey();
    void OnItemChangedHotKeyList(NMHDR* header, LRESULT* result);
    void OnDestroy();

    void AddOptionCheck(UINT stringId, BOOL flag);
    void FitOptionRows();
    void ShowHotKey(const _HOTKEY_INFO& info);
    void EnableModifierChecks();
    void ApplyHotKey();
    // The record of a row, or null.
    _HOTKEY_INFO* GetRowInfo(int row) const;
    // Whether the box is still in the box list (a box deleted meanwhile is not touched).
    BOOL IsListed(const Model::CTarneloInfo* box) const;

    DECLARE_MESSAGE_MAP()
};
