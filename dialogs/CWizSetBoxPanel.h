// The wizard's box panel: the names of the first six boxes, each with an "Icon" button that
// has the manager open the edit-box dialog on that box, and "Advanced settings", which opens
// the style dialog. The boxes are on the desktop meanwhile: the panel has them placed in a
// column when it opens, shows each name change half a second after the last keystroke, and
// has the box file saved when it is left (which removes the boxes whose name was emptied).
#pragma once

#include <windows.h>

#include "dialogs/CWizDialogBase.h"
#include "framework/CEdit.h"
#include "framework/CString.h"

namespace Model {
class CTarneloInfo;
}

class CWizSetBoxPanel : public CWizDialogBase
{
public:
    static constexpr int kNameCount = 6;
    static constexpr UINT_PTR kTimerApplyNames = 1;
    static constexpr UINT kApplyNamesDelayMs = 500;

    // Runs the style dialog on the style for the panel and returns its result; the dialog
    // posts its live previews to target with message and wParam 4.
    using StyleDialogFn = INT_PTR (*)(CWnd* pParent, CWnd* pTarget, UINT nMessage, Model::CTarneloStyleInfo* pStyle);
    // Replaces the style dialog (tests answer it here); null restores the program's own.
    static void SetStyleDialogHook(StyleDialogFn fn);

    CWizSetBoxPanel();

    BOOL OnInitDialog() override;
    BOOL OnLeave() override;

    // The six names from the first six box records (empty where there is none).
    void LoadNames();
    // The name of the n-th box record of the list, or "" when n is 6 or more or no such box.
    CString GetBoxName(int n) const;
    // The six names into the first six box records; an empty name hides its box.
    void ApplyNames();

    CString m_strName[kNameCount];
    CEdit m_editName[kNameCount];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnApplyNamesTimer();
    void OnEnUpdateName();
    void OnBnClickedIcon1() { EditBox(0); }
    void OnBnClickedIcon2() { EditBox(1); }
    void OnBnClickedIcon3() { EditBox(2); }
    void OnBnClickedIcon4() { EditBox(3); }
    void OnBnClickedIcon5() { EditBox(4); }
    void OnBnClickedIcon6() { EditBox(5); }
    void OnBnClickedAdvanced();

    DECLARE_MESSAGE_MAP()

private:
    Model::CTarneloInfo* GetBox(int n) const;
    void EditBox(int n);

    BOOL m_bNamesPending = FALSE;  // a name changed and is not yet in its box record
};
