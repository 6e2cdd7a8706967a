// The base of the first-boot wizard and of each of its panels: the five things they share
// (the window that receives wizard events and its message, the style, the settings and the
// box list) and the step a panel takes when the wizard leaves it.
#pragma once

#include <windows.h>

#include "framework/CDialog.h"

namespace Model {
class CConfigInfo;
class CTarneloInfoManager;
class CTarneloStyleInfo;
}  // namespace Model

class CWizDialogBase : public CDialog
{
public:
    // Wizard event codes, the wParam of the wizard's message to its owner.
    static constexpr WPARAM kReloadBoxies = 0;   // lParam 1: the boxes in one column
    static constexpr WPARAM kEditBox = 1;        // lParam: the box record
    static constexpr WPARAM kUpdateBoxInfo = 2;
    static constexpr WPARAM kUpdateBoxies = 3;
    static constexpr WPARAM kUpdateStyle = 4;    // lParam 1 preview, 0 final
    static constexpr WPARAM kRestoreStyle = 5;

    explicit CWizDialogBase(UINT templateId, CWnd* parent = nullptr);

    void SetShared(CWnd* pOwnerWnd, UINT nMessage, Model::CTarneloStyleInfo* pStyle, Model::CConfigInfo* pConfig,
                   Model::CTarneloInfoManager* pInfoManager);
    // Called when the wizard moves away from this panel (Next or Back); TRUE in the base.
    virtual BOOL OnLeave();
    // A panel is a child of the wizard and never ends like a dialog of its own: only the
    // wizard's buttons move on.
    void OnOK() override;
    void OnCancel() override;

    CWnd* m_pOwnerWnd = nullptr;
    UINT m_nMessage = 0;
    Model::CTarneloStyleInfo* m_pStyle = nullptr;
    Model::CConfigInfo* m_pConfig = nullptr;
    Model::CTarneloInfoManager* m_pInfoManager = nullptr;

protected:
    BOOL IsPanel() const;
    // Posts one wizard event to the owner; nothing when there is no owner window.
    void PostEvent(WPARAM code, LPARAM value) const;
};
