// The wizard's first panel: two lines of text that say what the wizard is for.
#pragma once

#include "dialogs/CWizDialogBase.h"

class CWizTopPanel : public CWizDialogBase
{
public:
    CWizTopPanel();
};
