// The control wrappers on the controls of a real dialog: combo box, check list box, list
// view, image list and up-down control, and the system's colour and file dialogs.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "framework/CCheckListBox.h"
#include "framework/CColorDialog.h"
#include "framework/CComboBox.h"
#include "framework/CDialog.h"
#include "framework/CFileDialog.h"
#include "framework/CImageList.h"
#include "framework/CListCtrl.h"
#include "framework/CSpinButtonCtrl.h"
#include "framework/CStatic.h"
#include "framework/TempFolder.h"
#include "framework/TestDialogs.h"
#include "TestPump.h"

using namespace DialogTestSupport;

namespace {

class CDrawnStatic : public CStatic
{
public:
    int draws = 0;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override
    {
        ++draws;
        ::FillRect(drawItem->hDC, &drawItem->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
};

// The test dialog shown modeless, with its controls bound to the wrappers.
class CWrapperDlg : public CDialog
{
public:
    CComboBox m_combo;
    CComboBox m_editCombo;
    CCheckListBox m_checks;
    CListCtrl m_report;
    CSpinButtonCtrl m_spin;
    CDrawnStatic m_drawn;
    std::vector<int> checkChanges;  // the items whose check the user toggled

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_T_LIST_INDEX, m_combo);
        DDX_Control(pDX, IDC_T_EDIT_COMBO, m_editCombo);
        DDX_Control(pDX, IDC_T_CHECK_LIST, m_checks);
        DDX_Control(pDX, IDC_T_REPORT, m_report);
        DDX_Control(pDX, IDC_T_SPIN, m_spin);
        DDX_Control(pDX, IDC_T_OWNER_STATIC, m_drawn);
    }
    void OnCheckChange() { checkChanges.push_back(m_checks.GetCurSel()); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWrapperDlg, CDialog)
    ON_CONTROL(CLBN_CHKCHANGE, IDC_T_CHECK_LIST, OnCheckChange)
END_MESSAGE_MAP()

class ControlWrappersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::SetCursorPos(1200, 1000);
        ASSERT_TRUE(dialog.Create(IDD_TEST_ALL));
        ::SetWindowPos(dialog, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::UpdateWindow(dialog);
    }
    void TearDown() override
    {
        CancelSteps();
        dialog.DestroyWindow();
    }

    static void Pump() { testpump::DispatchQueued(); }

    CWrapperDlg dialog;
};

TEST_F(ControlWrappersTest, ComboBoxEntriesSelectionTextAndData)
{
    CComboBox& combo = dialog.m_combo;
    EXPECT_EQ(0, combo.AddString(L"Alpha"));
    EXPECT_EQ(1, combo.AddString(L"Beta"));
    EXPECT_EQ(1, combo.InsertString(1, L"Between"));
    EXPECT_EQ(3, combo.GetCount());
    EXPECT_EQ(CB_ERR, combo.GetCurSel());

    CString text;
    combo.GetLBText(1, text);
    EXPECT_EQ(L"Between", text);
    combo.GetLBText(7, text);
    EXPECT_EQ(L"", text);
    EXPECT_EQ(7, combo.GetLBTextLen(1));

    EXPECT_EQ(2, combo.FindStringExact(-1, L"beta"));  // the control compares without case
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, L"Bet"));
    EXPECT_EQ(1, combo.FindString(-1, L"Bet"));
    EXPECT_EQ(1, combo.SelectString(-1, L"bet"));
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(CB_ERR, combo.SelectString(-1, L"zzz"));
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(2, combo.SetCurSel(2));
    EXPECT_EQ(CB_ERR, combo.SetCurSel(-1));
    EXPECT_EQ(CB_ERR, combo.GetCurSel());

    int value = 5;
    combo.SetItemDataPtr(0, &value);
    combo.SetItemData(2, 77);
    EXPECT_EQ(&value, combo.GetItemDataPtr(0));
    EXPECT_EQ(77u, combo.GetItemData(2));
    EXPECT_EQ(nullptr, combo.GetItemDataPtr(9));

    EXPECT_EQ(2, combo.DeleteString(0));
    combo.ResetContent();
    EXPECT_EQ(0, combo.GetCount());
}

TEST_F(ControlWrappersTest, CheckListBoxKeepsDrawsAndTogglesChecks)
{
    CCheckListBox& list = dialog.m_checks;
    // Measuring reaches the bound list through its dialog and leaves room for the box.
    MEASUREITEMSTRUCT measure = { ODT_LISTBOX, IDC_T_CHECK_LIST, 0, 0, 10, 0 };
    LRESULT result = 0;
    EXPECT_TRUE(AfxReflectToChild(dialog, WM_MEASUREITEM, IDC_T_CHECK_LIST, reinterpret_cast<LPARAM>(&measure), &result));
    EXPECT_EQ(16u, measure.itemHeight);
    for (const wchar_t* text : { L"Show file extension.", L"Second", L"Third" })
        list.AddString(text);
    list.SetCheck(1, 1);
    list.SetCheck(2, 7);   // any non-zero checks
    list.SetCheck(5, 1);   // out of range: nothing
    list.SetCheck(-1, 1);
    EXPECT_EQ(0, list.GetCheck(0));
    EXPECT_EQ(1, list.GetCheck(1));
    EXPECT_EQ(1, list.GetCheck(2));
    EXPECT_EQ(0, list.GetCheck(5));
    CString text;
    list.GetText(0, text);
    EXPECT_EQ(L"Show file extension.", text);

    // The check column of a checked row differs from an unchecked one.
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    RECT row0 = {}, row1 = {};
    ASSERT_NE(LB_ERR, list.GetItemRect(0, &row0));
    ASSERT_NE(LB_ERR, list.GetItemRect(1, &row1));
    const HDC dc = ::GetDC(list);
    int differing = 0;
    const int height = row0.bottom - row0.top;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < height; ++x) {
            if (::GetPixel(dc, row0.left + x, row0.top + y) != ::GetPixel(dc, row1.left + x, row1.top + y))
                ++differing;
        }
    }
    // The text part of an unselected row is drawn on the window colour.
    const COLORREF textBackground = ::GetPixel(dc, row0.right - 2, row0.top + 1);
    ::ReleaseDC(list, dc);
    EXPECT_GT(differing, 3);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), textBackground);

    // A click in an item's box toggles it and tells the dialog; a click on its text does not.
    const int boxX = (row0.bottom - row0.top) / 2;
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(boxX, row0.top + 3));
    ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(boxX, row0.top + 3));
    EXPECT_EQ(1, list.GetCheck(0));
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row1.right - 5, row1.top + 3));
    ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(row1.right - 5, row1.top + 3));
    EXPECT_EQ(1, list.GetCheck(1));
    EXPECT_EQ(1, list.GetCurSel());
    // Space toggles the current item.
    ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(0, list.GetCheck(1));
    EXPECT_EQ((std::vector<int>{ 0, 1 }), dialog.checkChanges);
    // A click below the last item toggles nothing.
    RECT client = {};
    ::GetClientRect(list, &client);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(boxX, client.bottom - 2));
    ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(boxX, client.bottom - 2));
    EXPECT_EQ(1, list.GetCheck(2));
    EXPECT_EQ(2u, dialog.checkChanges.size());
}

TEST_F(ControlWrappersTest, ListCtrlRowsColumnsStatesAndSearch)
{
    CListCtrl& list = dialog.m_report;
    EXPECT_EQ(0, list.InsertColumn(0, L"", LVCFMT_LEFT, 120));
    EXPECT_EQ(1, list.InsertColumn(1, L"", LVCFMT_LEFT, 140));
    EXPECT_EQ(0, list.InsertItem(0, L"Box one"));
    EXPECT_EQ(1, list.InsertItem(1, L"Box two"));
    EXPECT_EQ(0, list.InsertItem(0, L"Top", 0));
    EXPECT_EQ(3, list.GetItemCount());
    EXPECT_TRUE(list.SetItemText(1, 1, L" A (Ctrl, Alt)"));
    EXPECT_EQ(L"Box one", list.GetItemText(1, 0));
    EXPECT_EQ(L" A (Ctrl, Alt)", list.GetItemText(1, 1));
    EXPECT_EQ(L"", list.GetItemText(2, 1));
    EXPECT_EQ(L"", list.GetItemText(9, 0));
    // A text longer than the first buffer comes back whole.
    const std::wstring longText(1000, L'x');
    list.SetItemText(2, 0, longText.c_str());
    EXPECT_EQ(longText, list.GetItemText(2, 0).str());

    int record = 0;
    EXPECT_TRUE(list.SetItemData(1, reinterpret_cast<DWORD_PTR>(&record)));
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&record), list.GetItemData(1));
    EXPECT_EQ(0u, list.GetItemData(9));

    EXPECT_EQ(-1, list.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED), list.GetItemState(1, LVIS_SELECTED));
    EXPECT_TRUE(list.EnsureVisible(2, FALSE));

    LVFINDINFOW find = {};
    find.flags = LVFI_STRING;
    find.psz = L"Box one";
    EXPECT_EQ(1, list.FindItem(&find));
    find.psz = L"Box three";
    EXPECT_EQ(-1, list.FindItem(&find));
    EXPECT_EQ(-1, list.FindItem(nullptr));

    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              list.GetExtendedStyle() & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
    EXPECT_TRUE(list.SetBkColor(RGB(1, 2, 3)));
    EXPECT_EQ(RGB(1, 2, 3), list.GetBkColor());

    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(L"Box one", list.GetItemText(0, 0));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(0, list.GetItemCount());
}

TEST_F(ControlWrappersTest, ImageListOwnsItsListAndFeedsTheListView)
{
    CImageList images;
    EXPECT_EQ(-1, images.Add(static_cast<HBITMAP>(nullptr), RGB(255, 255, 255)));
    ASSERT_TRUE(images.Create(32, 32, ILC_COLOR32 | ILC_MASK, 200, 10));
    EXPECT_FALSE(images.Create(32, 32, ILC_COLOR32, 1, 1));  // holds one already
    EXPECT_EQ(0, images.GetImageCount());

    const HDC screen = ::GetDC(nullptr);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 32, 32);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(0, images.Add(bitmap, RGB(255, 255, 255)));
    EXPECT_EQ(1, images.Add(bitmap, RGB(255, 255, 255)));
    EXPECT_EQ(2, images.GetImageCount());
    ::DeleteObject(bitmap);

    // The list view shares the list (the template says LVS_SHAREIMAGELISTS).
    EXPECT_EQ(nullptr, dialog.m_report.SetImageList(&images, LVSIL_SMALL));
    EXPECT_EQ(images.GetSafeHandle(), dialog.m_report.GetImageList(LVSIL_SMALL));
    EXPECT_EQ(images.GetSafeHandle(), dialog.m_report.SetImageList(nullptr, LVSIL_SMALL));

    const HIMAGELIST handle = images.Detach();
    EXPECT_EQ(nullptr, images.GetSafeHandle());
    EXPECT_FALSE(images.DeleteImageList());
    EXPECT_TRUE(images.Attach(handle));
    EXPECT_FALSE(images.Attach(handle));
    EXPECT_TRUE(images.DeleteImageList());
    EXPECT_EQ(0, images.GetImageCount());
}

TEST_F(ControlWrappersTest, SpinButtonRangeAndPositionFollowItsBuddy)
{
    CSpinButtonCtrl& spin = dialog.m_spin;
    const HWND edit = dialog.GetDlgItem(IDC_T_SPIN_EDIT);
    EXPECT_EQ(edit, spin.GetBuddy());
    spin.SetRange32(-100, 100);
    int lower = 0, upper = 0;
    spin.GetRange32(lower, upper);
    EXPECT_EQ(-100, lower);
    EXPECT_EQ(100, upper);

    spin.SetRange32(0, 100);
    spin.SetPos32(42);
    EXPECT_EQ(L"42", ItemText(dialog, IDC_T_SPIN_EDIT));
    // The arrow keys in the buddy stop at the ends of the range.
    SetItemText(dialog, IDC_T_SPIN_EDIT, L"100");
    ::SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(100, spin.GetPos32());
    SetItemText(dialog, IDC_T_SPIN_EDIT, L"0");
    ::SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
    BOOL error = TRUE;
    EXPECT_EQ(0, spin.GetPos32(&error));
    EXPECT_FALSE(error);
}

TEST_F(ControlWrappersTest, OwnerDrawnStaticDrawsItself)
{
    const HWND control = dialog.GetDlgItem(IDC_T_OWNER_STATIC);
    ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_GT(dialog.m_drawn.draws, 0);
    const HDC dc = ::GetDC(control);
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(dc, 2, 2));
    ::ReleaseDC(control, dc);
}

TEST_F(ControlWrappersTest, ColorDialogGivesTheColourOnlyOnOk)
{
    CColorDialog chooser(RGB(10, 20, 30), CC_FULLOPEN | CC_ANYCOLOR, &dialog);
    EXPECT_EQ(static_cast<HWND>(dialog), chooser.m_cc.hwndOwner);
    EXPECT_TRUE(chooser.m_cc.Flags & CC_RGBINIT);
    EndNextDialog(IDOK);
    EXPECT_EQ(IDOK, chooser.DoModal());
    EXPECT_EQ(RGB(10, 20, 30), chooser.GetColor());

    // Cancel keeps the initial colour even after another one was shown.
    CColorDialog second(RGB(200, 100, 50), CC_FULLOPEN, &dialog);
    OnNextDialog([](HWND chooserWindow) {
        // The full dialog's red, green and blue edits.
        SetItemText(chooserWindow, 706, L"1");
        SetItemText(chooserWindow, 707, L"2");
        SetItemText(chooserWindow, 708, L"3");
    }, IDCANCEL);
    EXPECT_EQ(IDCANCEL, second.DoModal());
    EXPECT_EQ(RGB(200, 100, 50), second.GetColor());
}

TEST_F(ControlWrappersTest, FileDialogTurnsTheFilterAndGivesThePath)
{
    CFileDialog chooser(TRUE, nullptr, nullptr, OFN_NOCHANGEDIR, L"exe Files (*.exe;*.lnk;*.bat)|*.exe; *.lnk; *.bat||",
                        nullptr, 0, TRUE);
    const wchar_t expected[] = L"exe Files (*.exe;*.lnk;*.bat)\0*.exe; *.lnk; *.bat\0";
    ASSERT_NE(nullptr, chooser.m_ofn.lpstrFilter);
    EXPECT_EQ(0, std::wmemcmp(expected, chooser.m_ofn.lpstrFilter, sizeof(expected) / sizeof(expected[0])));
    EXPECT_EQ(L'\0', chooser.m_ofn.lpstrFilter[sizeof(expected) / sizeof(expected[0])]);
    EXPECT_TRUE(chooser.m_ofn.Flags & OFN_NOCHANGEDIR);
    EXPECT_TRUE(chooser.m_ofn.Flags & OFN_EXPLORER);

    EndNextDialog(IDCANCEL);
    EXPECT_EQ(IDCANCEL, chooser.DoModal());
    EXPECT_EQ(L"", chooser.GetPathName());

    // A file typed into the name box comes back whole, and split.
    TempFolder folder;
    const std::wstring path = folder.Path() + L"\\Tool.Setup.exe";
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    CFileDialog open(TRUE, nullptr, nullptr, OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST, L"All (*.*)|*.*||");
    OnNextDialog([&](HWND fileDialog) {
        // The name box of the explorer-style dialog (an editable combo box).
        HWND name = ::GetDlgItem(fileDialog, 0x47c);
        if (!name)
            name = ::GetDlgItem(fileDialog, 0x480);
        ASSERT_NE(nullptr, name);
        ::SetWindowTextW(name, path.c_str());
    }, IDOK);
    EXPECT_EQ(IDOK, open.DoModal());
    EXPECT_EQ(path, open.GetPathName().str());
    EXPECT_EQ(L"Tool.Setup.exe", open.GetFileName());
    EXPECT_EQ(L"exe", open.GetFileExt());
}

}  // namespace
