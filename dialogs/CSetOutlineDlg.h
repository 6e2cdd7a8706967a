// The "Text outline" dialog: the outline and the drop shadow of the box titles, on one
// text-style record. Nothing is written before OK; on OK every field is written, also those
// of a row that is switched off.
#pragma once

#include <windows.h>

#include "controls/CColorButton.h"
#include "framework/CComboBox.h"
#include "framework/CDialog.h"
#include "framework/CString.h"
#include "model/CTextStyle.h"

class CSetOutlineDlg : public CDialog
{
public:
    explicit CSetOutlineDlg(CWnd* parent = nullptr);
    ~CSetOutlineDlg() override;

    // Set by the opener before DoModal.
    Model::CTextStyle* m_pTextStyle = nullptr;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnSelChangeOutline();
    void OnSelChangeShadow();

    CComboBox m_comboOutline;
    CComboBox m_comboShadow;
    Utility::CColorButton m_btnOutlineColor;
    Utility::CColorButton m_btnShadowColor;
    CString m_strOutlineWidth;
    CString m_strShadowWidth;
    CString m_strShadowPosition;

    DECLARE_MESSAGE_MAP()
};
