#include "dialogs/CInputBoxSpaceDlg.h"

#include <wchar.h>

#include "dialogs/IntToString.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CInputBoxSpaceDlg, CDialog)
    ON_COMMAND(IDOK, OnOK)
END_MESSAGE_MAP()

CInputBoxSpaceDlg::CInputBoxSpaceDlg(CWnd* parent) : CDialog(IDD_INPUT_BOX_SPACE, parent) {}

void CInputBoxSpaceDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SPACE_EDIT, m_editSpace);
    DDX_Text(pDX, IDC_SPACE_EDIT, m_strSpace);
    DDX_Control(pDX, IDC_SPACE_SPIN, m_spinSpace);
}

BOOL CInputBoxSpaceDlg::OnInitDialog()
{
    // The base exchange binds the controls, so the range reaches the up-down control.
    CDialog::OnInitDialog();
    m_strSpace = IntToString(m_nSpace);
    m_spinSpace.SetRange32(kMinSpace, kMaxSpace);
    UpdateData(FALSE);
    return TRUE;
}

int CInputBoxSpaceDlg::ParseSpace(const CString& text)
{
    const long value = wcstol(text.GetString(), nullptr, 10);
    if (value < kMinSpace)
        return kMinSpace;
    if (value > kMaxSpace)
        return kMaxSpace;
    return static_cast<int>(value);
}

void CInputBoxSpaceDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    m_nSpace = ParseSpace(m_strSpace);
    EndDialog(IDOK);
}
