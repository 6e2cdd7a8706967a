#include "framework/CColorDialog.h"

#include "framework/AfxMessageBox.h"
#include "framework/CWnd.h"

namespace {

// The dialog's sixteen custom colours, kept from one dialog to the next.
COLORREF g_customColors[16] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
};

}  // namespace

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : m_cc{}
{
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.hwndOwner = parent ? parent->GetSafeHwnd() : AfxGetMainWndHandle();
    m_cc.rgbResult = initial;
    m_cc.lpCustColors = g_customColors;
    m_cc.Flags = flags | CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal()
{
    const COLORREF initial = m_cc.rgbResult;
    if (::ChooseColorW(&m_cc))
        return IDOK;
    m_cc.rgbResult = initial;
    return IDCANCEL;
}
