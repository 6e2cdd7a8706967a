// The wizard's last panel: "Setup is done." and the choice whether the program looks for new
// versions, which goes into the settings whenever the panel is left (Done or Back).
#pragma once

#include "dialogs/CWizDialogBase.h"

class CWizDonePanel : public CWizDialogBase
{
public:
    CWizDonePanel();
    BOOL OnLeave() override;

    BOOL m_bCheckLatestVersion = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
