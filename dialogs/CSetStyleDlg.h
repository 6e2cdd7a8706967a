// The "Style" dialog: edits the one box style shared by every box and file list, in place.
// Half a second after the last change it writes the controls into the style and posts the
// opener's message to the target window (wParam as given, lParam 1), so the boxes show a
// live preview; whether the style is then saved or reloaded from its file is the opener's
// business after the dialog ends. Its "Outline" button edits the title's outline and shadow.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include "controls/CColorButton.h"
#include "controls/CFontComboBox.h"
#include "framework/CComboBox.h"
#include "framework/CDialog.h"
#include "framework/CEdit.h"
#include "framework/CSpinButtonCtrl.h"
#include "framework/CString.h"
#include "model/CTarneloStyleInfo.h"

class CSetStyleDlg : public CDialog
{
public:
    // The preview timer and its delay after the last change.
    static constexpr UINT_PTR kPreviewTimer = 1;
    static constexpr UINT kPreviewDelayMs = 500;

    explicit CSetStyleDlg(CWnd* parent = nullptr);
    ~CSetStyleDlg() override;

    // Transparency percent shown for an alpha: 100 - alpha * 100 / 255, rounded.
    static int TransparencyOfAlpha(BYTE alpha);
    static CString AlphaToTransparencyText(BYTE alpha);
    // The alpha of a transparency text, read as a base-10 number: the current alpha when the
    // number is the one that alpha shows as, else (100 - t) * 255 / 100. A number outside
    // 0..100 is taken as the nearest end, and the text becomes that end.
    static BYTE TransparencyTextToAlpha(CString& text, BYTE currentAlpha);
    // TRUE when the trimmed text is a number above zero; otherwise shows the warning of
    // the string id and returns FALSE.
    static BOOL CheckPositiveNumber(CString text, UINT messageId);
    // The font-style list's entries are "Normal", "Italic", "Bold", "Bold Italic"; the style
    // record keeps GDI+ style bits (bold 1, italic 2).
    static int FontStyleFromIndex(int index);
    static int IndexFromFontStyle(int style);

    // Set by the opener before DoModal.
    CWnd* m_pTargetWnd = nullptr;
    UINT m_nTargetMessage = 0;
    WPARAM m_nTargetParam = 0;
    Model::CTarneloStyleInfo* m_pStyle = nullptr;

    // Writes every control into the style and posts the preview to the target.
    void Apply();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnPreviewTimer();
    void OnDestroy();
    void OnBackgroundCheck();
    void OnHotKeySelectionCheck();
    void OnOutline();
    void OnChange();
    LRESULT OnColorSelChange(WPARAM colour, LPARAM controlId);

    // Fills the controls from the members without taking the filling for a user's change.
    void FillControls();
    void RestartPreviewTimer();
    void EnableHotKeyControls(BOOL enable);

    CComboBox m_comboIconDisplay;
    BOOL m_bIconBackground = FALSE;
    Utility::CColorButton m_btnBackColor;
    CString m_strBackTransparency;
    Utility::CFontComboBox m_comboFontName;
    CComboBox m_comboFontStyle;
    CComboBox m_comboFontSize;
    CString m_strFontSize;
    Utility::CColorButton m_btnTextColor;
    CString m_strMarginTop;
    CString m_strMarginLeft;
    Utility::CColorButton m_btnSelectedColor;
    CString m_strSelectedTransparency;
    BOOL m_bHotKeySelection = FALSE;
    Utility::CColorButton m_btnHotKeyColor;
    CString m_strHotKeyTransparency;
    CEdit m_editHotKeyTransparency;
    CSpinButtonCtrl m_spinHotKeyTransparency;
    BOOL m_bLargeMenu = FALSE;

    // Above 0 while the dialog writes its own controls: their change notifications are no
    // user's changes and start no preview.
    int m_nFilling = 0;

    DECLARE_MESSAGE_MAP()
};
