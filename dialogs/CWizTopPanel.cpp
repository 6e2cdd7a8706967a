#include "dialogs/CWizTopPanel.h"

#include "resources/resource.h"

CWizTopPanel::CWizTopPanel() : CWizDialogBase(IDD_WIZ_TOP_PANEL) {}
