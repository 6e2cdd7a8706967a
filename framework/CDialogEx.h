// The extended dialog class: the same as CDialog for this program (the extended class's
// own looks - background colours, images - are not used).
#pragma once

#include "framework/CDialog.h"

class CDialogEx : public CDialog
{
public:
    CDialogEx() = default;
    explicit CDialogEx(UINT templateId, CWnd* parent = nullptr);
};
