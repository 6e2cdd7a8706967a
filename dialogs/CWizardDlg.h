// The first-boot wizard "Setup": a header picture, one panel at a time over a placeholder
// and the "Back" / "Next" buttons. Next leads from the top panel (state 0) to the box panel
// (2), the files panel (3) and the done panel (4), whose "Done" ends the wizard with IDOK;
// Back goes the other way; a confirmed cancel ends it with IDCANCEL from any state.
#pragma once

#include <windows.h>

#include "controls/CImagePreviewStatic.h"
#include "dialogs/CWizDialogBase.h"
#include "framework/CButton.h"
#include "framework/CStatic.h"


class CWizardDlg : public CWizDialogBase
{
public:
    CWizardDlg();
    ~CWizardDlg() override;

    BOOL OnInitDialog() override;
    // Shows the panel (made here from the template, inside the placeholder) and takes the
    // new state: buttons and header picture follow it. The wizard owns the panel.
    void ChangeState(UINT templateId, CWizDialogBase* pPanel, int newState);

    // The header picture of a state, a file of the program's images folder.
    static const wchar_t* GetHeaderImageName(int state);
    static CString GetImagesFolder();

    int m_nState = 0;
    CWizDialogBase* m_pPanel = nullptr;
    CButton m_btnBack;
    CButton m_btnNext;
    Utility::CImagePreviewStatic m_headerImage;
    CStatic m_placeholder;
    // Pixels between the header picture and the panels.
    int m_nHeaderGap = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBnClickedBack();
    void OnBnClickedNext();
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    // The current panel's leave step, then the panel goes.
    void LeavePanel();
    void UpdateButtons();
    void UpdateHeaderImage();
};
