// The wizard's third panel: one picture that shows how files are registered on a box.
#pragma once

#include "controls/CImagePreviewStatic.h"
#include "dialogs/CWizDialogBase.h"

class CWizSetFilesPanel : public CWizDialogBase
{
public:
    CWizSetFilesPanel();
    BOOL OnInitDialog() override;

    Utility::CImagePreviewStatic m_image;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
