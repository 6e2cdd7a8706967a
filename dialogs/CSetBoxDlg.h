// The dialog in which the user names a box, picks its icon image from the icon sets and sets
// the icon-background colour. Each sub-folder of the icons folder is one icon set; PNG files
// of 32 x 32 or 16 x 16 pixels dropped on the icon list while "My Icons" is shown are copied
// into that set. The dialog is resizable and remembers its client size in the settings
// ("config.ini"), 600 ms after the last resize, whether it then ends with OK or not.
//
// Caller protocol: construct on the stack, preset m_strName, m_strIcon, m_color,
// m_bIconEnabled, m_bAddMode (and where the dialog keeps its size, m_pConfig), run DoModal,
// read m_strName, m_strIcon and m_color back after IDOK.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include "controls/CColorButton.h"
#include "controls/CFileDropListCtrl.h"
#include "framework/CButton.h"
#include "framework/CComboBox.h"
#include "framework/CDialog.h"
#include "framework/CImageList.h"
#include "framework/CStatic.h"
#include "framework/CString.h"

namespace Model {
class CConfigInfo;
}

class CSetBoxDlg;

// The most recently constructed dialog still alive (null otherwise); the drop callback, a
// plain function, reaches the dialog through it.
extern CSetBoxDlg* g_pSetBoxDlg;

class CSetBoxDlg : public CDialog
{
public:
    static constexpr UINT_PTR kTimerSaveSize = 1;
    static constexpr UINT kSaveSizeDelayMs = 600;
    static constexpr int kIconSize = 32;
    static constexpr int kSmallIconSize = 16;
    static constexpr int kImageListInitial = 200;
    static constexpr int kImageListGrow = 10;
    // A 16 x 16 icon is scaled up onto this opaque colour (ARGB).
    static constexpr Gdiplus::ARGB kThumbnailBackground = 0xFF800000;
    // The set that takes dropped icons.
    static constexpr const wchar_t* kMyIcons = L"My Icons";

    explicit CSetBoxDlg(CWnd* parent = nullptr);
    ~CSetBoxDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;

    // Shows the icons of one set: every file of its folder that loads as a picture of a
    // usable size; the box's current icon is selected when it is among them.
    void LoadIconSet(const CString& setName);
    // Adds the picture at path to the image list and the icon list; FALSE (nothing added)
    // when it does not load or has another size than 32 x 32 or 16 x 16.
    BOOL AddIcon(int index, const CString& path);
    // The drop hint shows while the set "My Icons" is shown.
    void UpdateDropHint();
    // Copies a dropped PNG into "My Icons" and shows it; warns when the set shown is another,
    // the file does not load, or it has another size.
    void AddDroppedIcon(const CString& path);
    // The icon list's drop callback.
    static UINT OnIconFileDropped(CFileDropListCtrl* control, CString& path, UINT& kind);

    // The client size the settings ask for, never smaller than the template's (smaller, the
    // controls would overlap) nor larger than the virtual screen, so a damaged "config.ini"
    // cannot hide the dialog's buttons; 0 x 0 without settings.
    static SIZE StoredClientSize(const Model::CConfigInfo* config, SIZE templateClient);

    // In and out.
    CString m_strName;
    CString m_strIcon;  // "<set>\<file>", relative to the icons folder; empty: no icon
    COLORREF m_color = 0;
    // In.
    BOOL m_bIconEnabled = TRUE;
    BOOL m_bAddMode = FALSE;
    // The settings whose edit-dialog size the dialog takes and keeps (saved to their own
    // file); null: the template's size, nothing saved.
    Model::CConfigInfo* m_pConfig = nullptr;
    // The icons folder; empty: the data folder's "icons".
    CString m_strIconsFolder;
    // The set shown.
    CString m_strIconSet;

    // Controls.
    CFileDropListCtrl m_listIcons;
    CImageList m_imageList;
    Utility::CColorButton m_btnColor;
    CComboBox m_comboIconSet;
    CStatic m_staticDropHint;
    CStatic m_staticBackground;
    CButton m_btnOK;
    CButton m_btnCancel;

    // Layout state.
    int m_nLastCx = 0;
    int m_nLastCy = 0;
    BOOL m_bInitialised = FALSE;
    // The window size of the template, the smallest the user can drag the dialog to.
    SIZE m_minWindow = {};

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    LRESULT OnColorCloseUp(WPARAM colour, LPARAM id);
    void OnDestroy();
    void OnSelChangeIconSet();
    void OnDblClkIconList(NMHDR* header, LRESULT* result);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnGetMinMaxInfo(WPARAM, LPARAM info);
    void OnSaveSizeTimer();

    DECLARE_MESSAGE_MAP()

private:
    // The folder of one set.
    CString SetFolder(const CString& setName) const;
    // A new, empty image list on the icon list, whose background is the icon colour.
    void ResetImageList();
    // Moves a child control's edges by the given amounts.
    void MoveControl(int id, int dLeft, int dTop, int dRight, int dBottom);
};
