// Dialogs under a real display: modal runs and their results, initialisation with the
// controls in place, data exchange both ways for every kind, bound control wrappers and the
// notifications they get back, a child panel inside a dialog, and the exception barrier.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "framework/CButton.h"
#include "framework/CDialog.h"
#include "framework/CDialogEx.h"
#include "framework/CEdit.h"
#include "framework/CException.h"
#include "framework/TestDialogs.h"

using namespace DialogTestSupport;

namespace {

// ---- Dialogs and controls of the tests ------------------------------------------------------

// A button that takes its own click when `consume` says so and counts what reaches it.
class CProbeButton : public CButton
{
public:
    bool consume = true;
    int reflectedClicks = 0;
    int probes = 0;
    int draws = 0;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override
    {
        ++draws;
        ::FillRect(drawItem->hDC, &drawItem->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }

protected:
    BOOL OnReflectedClick()
    {
        ++reflectedClicks;
        return consume ? TRUE : FALSE;
    }
    LRESULT OnProbe(WPARAM wParam, LPARAM) { ++probes; return static_cast<LRESULT>(wParam) + 1; }
    void OnReturnKey(NMHDR*, LRESULT* result) { *result = 5; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnReflectedClick)
    ON_NOTIFY_REFLECT(NM_RETURN, OnReturnKey)
    ON_MESSAGE(WM_APP + 7, OnProbe)
END_MESSAGE_MAP()

// An edit whose look at a key throws, to test the modal loop's own barrier.
class CThrowingEdit : public CEdit
{
public:
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN && msg->wParam == 'X')
            throw std::runtime_error("look-ahead failed");
        return FALSE;
    }
};

class CTestPanel : public CDialog
{
public:
    CString m_strText = L"panel text";
    int initCount = 0;
    int buttonClicks = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_P_EDIT, m_strText); }
    BOOL OnInitDialog() override
    {
        ++initCount;
        return CDialog::OnInitDialog();
    }
    void OnButton() { ++buttonClicks; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestPanel, CDialog)
    ON_BN_CLICKED(IDC_P_BUTTON, OnButton)
END_MESSAGE_MAP()

class CTestDlg : public CDialog
{
public:
    explicit CTestDlg(UINT templateId = IDD_TEST_ALL, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    int m_nNumber = 0;
    CString m_strText;
    int m_nCheck = 0;
    int m_nTriState = 0;
    int m_nListIndex = -1;
    CString m_strEditCombo;
    CString m_strListString;
    int m_nRadio = -1;
    CProbeButton m_ownerButton;
    CEdit m_editText;

    bool exchangeAll = true;     // the plain template has only the text edit
    bool exchangeMissing = false;  // names a control the template lacks, before the others
    std::function<void(CTestDlg&)> onInit;
    std::function<void()> onThrowButton;
    int parentClicks = 0;
    int okCount = 0;
    int destroyCount = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (exchangeMissing) {
            int unused = 0;
            DDX_Text(pDX, IDD_TEST_MISSING, unused);
        }
        DDX_Text(pDX, IDC_T_TEXT, m_strText);
        if (!exchangeAll)
            return;
        DDX_Text(pDX, IDC_T_NUMBER, m_nNumber);
        DDX_Check(pDX, IDC_T_CHECK, m_nCheck);
        DDX_Check(pDX, IDC_T_TRISTATE, m_nTriState);
        DDX_CBIndex(pDX, IDC_T_LIST_INDEX, m_nListIndex);
        DDX_CBString(pDX, IDC_T_EDIT_COMBO, m_strEditCombo);
        DDX_CBString(pDX, IDC_T_LIST_STRING, m_strListString);
        DDX_Radio(pDX, IDC_T_RADIO1, m_nRadio);
        DDX_Control(pDX, IDC_T_OWNER_BUTTON, m_ownerButton);
        DDX_Control(pDX, IDC_T_TEXT, m_editText);
    }

    BOOL OnInitDialog() override
    {
        // The lists get their entries before the base exchange selects among them.
        if (exchangeAll) {
            for (const wchar_t* entry : { L"Alpha", L"Beta", L"Gamma" })
                ::SendDlgItemMessageW(m_hWnd, IDC_T_LIST_INDEX, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
            for (const wchar_t* entry : { L"8", L"10", L"72" })
                ::SendDlgItemMessageW(m_hWnd, IDC_T_EDIT_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
            for (const wchar_t* entry : { L" Disable", L" A", L" B", L"Beta", L"Bet" })
                ::SendDlgItemMessageW(m_hWnd, IDC_T_LIST_STRING, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        }
        CDialog::OnInitDialog();
        if (onInit)
            onInit(*this);
        return TRUE;
    }

    void OnOK() override
    {
        ++okCount;
        CDialog::OnOK();
    }

    void OnParentClick() { ++parentClicks; }
    void OnThrow()
    {
        if (onThrowButton)
            onThrowButton();
    }
    LRESULT OnDestroyMsg(WPARAM, LPARAM)
    {
        ++destroyCount;
        return static_cast<LRESULT>(Default());
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_BN_CLICKED(IDC_T_OWNER_BUTTON, OnParentClick)
    ON_BN_CLICKED(IDC_T_THROW, OnThrow)
    ON_MESSAGE(WM_DESTROY, OnDestroyMsg)
END_MESSAGE_MAP()

// Collects what the exception barrier reports.
std::vector<long> g_reported;
void CollectException(const wchar_t*, const wchar_t*, long line, CException* exception)
{
    g_reported.push_back(line);
    if (exception)
        exception->Delete();
}

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::SetCursorPos(1200, 1000);
        g_reported.clear();
        AfxSetExceptionLogger(CollectException);
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, PendingSteps()) << "a dialog step was never used";
        CancelSteps();
        AfxSetExceptionLogger(nullptr);
        // Nothing of a test may stay behind for the next one.
        EXPECT_EQ(nullptr, FindThreadDialog());
    }
};

// ---- Modal runs --------------------------------------------------------------------------------

TEST_F(DialogTest, DoModalReturnsHowTheDialogEnded)
{
    CTestDlg dialog(IDD_TEST_PLAIN);
    dialog.exchangeAll = false;

    OnNextDialog([](HWND dlg) { ClickButton(dlg, IDOK); });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.okCount);

    OnNextDialog([](HWND dlg) { ClickButton(dlg, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());

    // Escape goes through the modal loop's keyboard handling to IDCANCEL; Enter to the
    // default button; the close box to IDCANCEL.
    OnNextDialog([](HWND dlg) {
        const HWND edit = ::GetDlgItem(dlg, IDC_T_TEXT);
        ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    OnNextDialog([](HWND dlg) { ::PostMessageW(::GetDlgItem(dlg, IDC_T_TEXT), WM_KEYDOWN, VK_RETURN, 0); });
    EXPECT_EQ(IDOK, dialog.DoModal());
    OnNextDialog([](HWND dlg) { ::PostMessageW(dlg, WM_CLOSE, 0, 0); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());

    // Any value given to EndDialog comes back; the window is gone when DoModal returns.
    HWND seen = nullptr;
    OnNextDialog([&](HWND dlg) {
        seen = dlg;
        EXPECT_EQ(dlg, dialog.GetSafeHwnd());
        dialog.EndDialog(42);
    });
    EXPECT_EQ(42, dialog.DoModal());
    EXPECT_FALSE(::IsWindow(seen));
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
    EXPECT_EQ(6, dialog.destroyCount);
}

TEST_F(DialogTest, DoModalFailsWithoutTemplateOrWhileOpen)
{
    CTestDlg missing(IDD_TEST_MISSING);
    EXPECT_EQ(-1, missing.DoModal());

    CTestDlg dialog(IDD_TEST_PLAIN);
    dialog.exchangeAll = false;
    INT_PTR nested = 0;
    OnNextDialog([&](HWND) { nested = dialog.DoModal(); }, IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(-1, nested);
}

TEST_F(DialogTest, EndDialogDuringInitialisationNeverShowsTheDialog)
{
    CTestDlg dialog(IDD_TEST_PLAIN);
    dialog.exchangeAll = false;
    dialog.onInit = [](CTestDlg& d) { d.EndDialog(7); };
    EXPECT_EQ(7, dialog.DoModal());
    EXPECT_EQ(1, dialog.destroyCount);
}

TEST_F(DialogTest, OwnerIsDisabledWhileTheDialogRuns)
{
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
                                         nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    CWnd ownerWnd;
    ASSERT_TRUE(ownerWnd.SubclassWindow(owner));
    CTestDlg dialog(IDD_TEST_PLAIN, &ownerWnd);
    dialog.exchangeAll = false;
    BOOL enabledMeanwhile = TRUE;
    HWND ownerOfDialog = nullptr;
    OnNextDialog([&](HWND dlg) {
        enabledMeanwhile = ::IsWindowEnabled(owner);
        ownerOfDialog = ::GetWindow(dlg, GW_OWNER);
    }, IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_EQ(owner, ownerOfDialog);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ownerWnd.UnsubclassWindow();
    ::DestroyWindow(owner);
}

TEST_F(DialogTest, NestedModalDialogsEndInTurn)
{
    CTestDlg outer;
    CTestDlg inner(IDD_TEST_PLAIN);
    inner.exchangeAll = false;
    INT_PTR innerResult = 0;
    HWND outerDialog = nullptr;
    outer.onThrowButton = [&] {
        // Without a parent (and without a main window) the dialog that is up owns the new one.
        OnNextDialog([&](HWND dlg) {
            EXPECT_NE(outerDialog, dlg);
            EXPECT_EQ(outerDialog, ::GetWindow(dlg, GW_OWNER));
            EXPECT_FALSE(::IsWindowEnabled(outerDialog));
        }, IDOK);
        innerResult = inner.DoModal();
    };
    OnNextDialog([&](HWND dlg) {
        outerDialog = dlg;
        ClickButton(dlg, IDC_T_THROW);
        EXPECT_TRUE(::IsWindowEnabled(dlg));
    }, IDCANCEL);
    EXPECT_EQ(IDCANCEL, outer.DoModal());
    EXPECT_EQ(IDOK, innerResult);
}

TEST_F(DialogTest, QuitOrDestructionEndsTheModalLoop)
{
    CTestDlg dialog(IDD_TEST_PLAIN);
    dialog.exchangeAll = false;
    OnNextDialog([](HWND) { ::PostQuitMessage(3); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    // The outer loop still gets its WM_QUIT.
    MSG msg = {};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);

    OnNextDialog([](HWND dlg) { ::DestroyWindow(dlg); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
}

// ---- Initialisation and data exchange ---------------------------------------------------------

TEST_F(DialogTest, OnInitDialogRunsWithTheControlsThereBeforeTheDialogShows)
{
    CTestDlg dialog;
    dialog.m_strText = L"preset";
    bool ran = false;
    dialog.onInit = [&](CTestDlg& d) {
        ran = true;
        for (int id : { IDC_T_NUMBER, IDC_T_TEXT, IDC_T_CHECK, IDC_T_CHECK_LIST, IDC_T_REPORT, IDC_T_SPIN, IDOK })
            EXPECT_NE(nullptr, d.GetDlgItem(id)) << id;
        EXPECT_EQ(nullptr, d.GetDlgItem(IDD_TEST_MISSING));
        // The base initialisation has filled the controls and bound the wrappers.
        EXPECT_EQ(L"preset", ItemText(d.m_hWnd, IDC_T_TEXT));
        EXPECT_EQ(d.GetDlgItem(IDC_T_OWNER_BUTTON), d.m_ownerButton.GetSafeHwnd());
        EXPECT_FALSE(::IsWindowVisible(d.m_hWnd));
    };
    bool visibleLater = false;
    OnNextDialog([&](HWND dlg) { visibleLater = ::IsWindowVisible(dlg) != FALSE; }, IDCANCEL);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(ran);
    EXPECT_TRUE(visibleLater);
    // Cancel reads nothing back; the wrappers are unbound with their windows.
    EXPECT_EQ(L"preset", dialog.m_strText);
    EXPECT_EQ(nullptr, dialog.m_ownerButton.GetSafeHwnd());
    EXPECT_EQ(nullptr, dialog.m_editText.GetSafeHwnd());
}

TEST_F(DialogTest, UpdateDataFillsEveryKindOfControl)
{
    CTestDlg dialog;
    dialog.m_nNumber = -123;
    dialog.m_strText = L"Text \u3042";
    dialog.m_nCheck = 5;     // any non-zero value checks
    dialog.m_nTriState = 2;  // indeterminate on a 3-state box
    dialog.m_nListIndex = 2;
    dialog.m_strEditCombo = L"7";  // not "72": an editable box shows the value itself
    dialog.m_strListString = L"be";
    dialog.m_nRadio = 1;
    OnNextDialog([&](HWND dlg) {
        EXPECT_EQ(L"-123", ItemText(dlg, IDC_T_NUMBER));
        EXPECT_EQ(L"Text \u3042", ItemText(dlg, IDC_T_TEXT));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dlg, IDC_T_CHECK));
        EXPECT_EQ(BST_INDETERMINATE, ::IsDlgButtonChecked(dlg, IDC_T_TRISTATE));
        EXPECT_EQ(2, ::SendDlgItemMessageW(dlg, IDC_T_LIST_INDEX, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(L"7", ItemText(dlg, IDC_T_EDIT_COMBO));
        EXPECT_EQ(CB_ERR, ::SendDlgItemMessageW(dlg, IDC_T_EDIT_COMBO, CB_GETCURSEL, 0, 0));
        // A drop-down list takes the first entry that begins with the text.
        EXPECT_EQ(3, ::SendDlgItemMessageW(dlg, IDC_T_LIST_STRING, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dlg, IDC_T_RADIO1));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dlg, IDC_T_RADIO2));
        EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dlg, IDC_T_RADIO3));

        // A value the editable box lists is selected as well; "2" on a 2-state box checks it.
        dialog.m_strEditCombo = L"72";
        dialog.m_nTriState = 0;
        dialog.m_nCheck = 2;
        dialog.m_nRadio = -1;
        dialog.m_nListIndex = -1;
        dialog.m_strListString = L"nothing starts so";
        EXPECT_TRUE(dialog.UpdateData(FALSE));
        EXPECT_EQ(2, ::SendDlgItemMessageW(dlg, IDC_T_EDIT_COMBO, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(L"72", ItemText(dlg, IDC_T_EDIT_COMBO));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dlg, IDC_T_CHECK));
        EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dlg, IDC_T_TRISTATE));
        EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dlg, IDC_T_RADIO2));
        EXPECT_EQ(CB_ERR, ::SendDlgItemMessageW(dlg, IDC_T_LIST_INDEX, CB_GETCURSEL, 0, 0));
        // No entry begins with the text: the selection stays.
        EXPECT_EQ(3, ::SendDlgItemMessageW(dlg, IDC_T_LIST_STRING, CB_GETCURSEL, 0, 0));
    }, IDCANCEL);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST_F(DialogTest, UpdateDataReadsEveryKindOfControl)
{
    CTestDlg dialog;
    OnNextDialog([&](HWND dlg) {
        // Numbers are read in base 10 the way wcstol reads them.
        const struct { const wchar_t* text; int value; } numbers[] = {
            { L"25px", 25 }, { L"abc", 0 }, { L"  -12", -12 }, { L"+7", 7 }, { L"010", 10 },
            { L"0x1F", 0 }, { L"", 0 }, { L"99999999999", 2147483647 }, { L"-99999999999", -2147483647 - 1 },
        };
        for (const auto& number : numbers) {
            SetItemText(dlg, IDC_T_NUMBER, number.text);
            dialog.m_nNumber = 1;
            EXPECT_TRUE(dialog.UpdateData(TRUE));
            EXPECT_EQ(number.value, dialog.m_nNumber) << number.text;
        }

        SetItemText(dlg, IDC_T_TEXT, L"typed \u3042");
        ::CheckDlgButton(dlg, IDC_T_CHECK, BST_CHECKED);
        ::CheckDlgButton(dlg, IDC_T_TRISTATE, BST_INDETERMINATE);
        ::SendDlgItemMessageW(dlg, IDC_T_LIST_INDEX, CB_SETCURSEL, 1, 0);
        SetItemText(dlg, IDC_T_EDIT_COMBO, L"13");
        ::SendDlgItemMessageW(dlg, IDC_T_LIST_STRING, CB_SETCURSEL, 1, 0);
        ::CheckRadioButton(dlg, IDC_T_RADIO1, IDC_T_RADIO3, IDC_T_RADIO3);
        SetItemText(dlg, IDC_T_NUMBER, L"42");
        ClickButton(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(42, dialog.m_nNumber);
    EXPECT_EQ(L"typed \u3042", dialog.m_strText);
    EXPECT_EQ(1, dialog.m_nCheck);
    EXPECT_EQ(2, dialog.m_nTriState);
    EXPECT_EQ(1, dialog.m_nListIndex);
    EXPECT_EQ(L"13", dialog.m_strEditCombo);
    EXPECT_EQ(L" A", dialog.m_strListString);
    EXPECT_EQ(2, dialog.m_nRadio);

    // Nothing chosen reads as -1 and as the empty text.
    OnNextDialog([&](HWND dlg) {
        ::SendDlgItemMessageW(dlg, IDC_T_LIST_INDEX, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SendDlgItemMessageW(dlg, IDC_T_LIST_STRING, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::CheckRadioButton(dlg, IDC_T_RADIO1, IDC_T_RADIO3, 0);
        ::CheckDlgButton(dlg, IDC_T_RADIO3, BST_UNCHECKED);
        ClickButton(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(-1, dialog.m_nListIndex);
    EXPECT_EQ(L"", dialog.m_strListString);
    EXPECT_EQ(-1, dialog.m_nRadio);
}

TEST_F(DialogTest, AMissingControlFailsTheExchangeAndKeepsOkFromClosing)
{
    CTestDlg dialog(IDD_TEST_PLAIN);
    dialog.exchangeAll = false;
    dialog.m_strText = L"kept";
    OnNextDialog([&](HWND dlg) {
        dialog.exchangeMissing = true;
        SetItemText(dlg, IDC_T_TEXT, L"changed");
        EXPECT_FALSE(dialog.UpdateData(TRUE));
        EXPECT_EQ(L"kept", dialog.m_strText);  // the exchange stopped at the missing control
        ClickButton(dlg, IDOK);                // OnOK's exchange fails: the dialog stays
        EXPECT_TRUE(::IsWindowVisible(dlg));
        dialog.exchangeMissing = false;
    }, IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(2, dialog.okCount);
    EXPECT_EQ(L"changed", dialog.m_strText);
    EXPECT_FALSE(dialog.UpdateData(TRUE));  // no window, no exchange
}

// ---- Bound wrappers and reflection -----------------------------------------------------------

TEST_F(DialogTest, DdxControlBindsAWrapperThatGetsItsMessagesAndNotifications)
{
    CTestDlg dialog;
    OnNextDialog([&](HWND dlg) {
        const HWND button = ::GetDlgItem(dlg, IDC_T_OWNER_BUTTON);
        EXPECT_EQ(&dialog.m_ownerButton, CWnd::FromHandlePermanent(button));
        EXPECT_EQ(43, ::SendMessageW(button, WM_APP + 7, 42, 0));
        EXPECT_EQ(1, dialog.m_ownerButton.probes);

        // The button's own click goes to the button first; consumed, the dialog never sees it.
        ClickButton(dlg, IDC_T_OWNER_BUTTON);
        EXPECT_EQ(1, dialog.m_ownerButton.reflectedClicks);
        EXPECT_EQ(0, dialog.parentClicks);
        dialog.m_ownerButton.consume = false;
        ClickButton(dlg, IDC_T_OWNER_BUTTON);
        EXPECT_EQ(2, dialog.m_ownerButton.reflectedClicks);
        EXPECT_EQ(1, dialog.parentClicks);

        // The owner-drawn button draws itself through the dialog.
        const int before = dialog.m_ownerButton.draws;
        ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        EXPECT_GT(dialog.m_ownerButton.draws, before);
        RECT rect = {};
        ::GetClientRect(button, &rect);
        const HDC dc = ::GetDC(button);
        EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(dc, rect.right / 2, rect.bottom / 2));
        ::ReleaseDC(button, dc);

        // A second exchange keeps the binding.
        EXPECT_TRUE(dialog.UpdateData(TRUE));
        EXPECT_EQ(button, dialog.m_ownerButton.GetSafeHwnd());
    }, IDCANCEL);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_ownerButton.GetSafeHwnd());

    // Run again, the same members bind to the new dialog's controls.
    dialog.m_ownerButton.consume = true;
    OnNextDialog([&](HWND dlg) {
        EXPECT_EQ(::GetDlgItem(dlg, IDC_T_OWNER_BUTTON), dialog.m_ownerButton.GetSafeHwnd());
        ClickButton(dlg, IDC_T_OWNER_BUTTON);
    }, IDCANCEL);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(3, dialog.m_ownerButton.reflectedClicks);
}

TEST_F(DialogTest, DdxControlFailsOnAControlBoundElsewhere)
{
    CTestDlg dialog(IDD_TEST_PLAIN);
    dialog.exchangeAll = false;
    OnNextDialog([&](HWND dlg) {
        CEdit other;
        ASSERT_TRUE(other.SubclassDlgItem(IDC_T_TEXT, &dialog));
        CEdit second;
        CDataExchange exchange(&dialog, FALSE);
        DDX_Control(&exchange, IDC_T_TEXT, second);
        EXPECT_TRUE(exchange.HasFailed());
        EXPECT_EQ(nullptr, second.GetSafeHwnd());
        EXPECT_EQ(::GetDlgItem(dlg, IDC_T_TEXT), ::GetFocus());
    }, IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST_F(DialogTest, ReflectionReachesOnlyBoundChildrenWithAMatchingEntry)
{
    CTestDlg dialog;
    dialog.Create(IDD_TEST_ALL);
    ASSERT_NE(nullptr, dialog.GetSafeHwnd());
    const HWND button = dialog.GetDlgItem(IDC_T_OWNER_BUTTON);
    LRESULT result = 99;
    // A menu command names no control.
    EXPECT_FALSE(AfxReflectToChild(dialog, WM_COMMAND, MAKEWPARAM(IDC_T_OWNER_BUTTON, 0), 0, &result));
    // An unbound control.
    EXPECT_FALSE(AfxReflectToChild(dialog, WM_COMMAND, MAKEWPARAM(IDC_T_THROW, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_T_THROW)), &result));
    // A bound control without an entry for the code.
    EXPECT_FALSE(AfxReflectToChild(dialog, WM_COMMAND, MAKEWPARAM(IDC_T_OWNER_BUTTON, BN_SETFOCUS),
                                   reinterpret_cast<LPARAM>(button), &result));
    EXPECT_TRUE(AfxReflectToChild(dialog, WM_COMMAND, MAKEWPARAM(IDC_T_OWNER_BUTTON, BN_CLICKED),
                                  reinterpret_cast<LPARAM>(button), &result));
    EXPECT_EQ(1, dialog.m_ownerButton.reflectedClicks);
    // Owner drawing of a menu item is not a control's.
    DRAWITEMSTRUCT menuItem = {};
    menuItem.CtlType = ODT_MENU;
    menuItem.hwndItem = button;
    EXPECT_FALSE(AfxReflectToChild(dialog, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem), &result));
    EXPECT_EQ(0, dialog.m_ownerButton.draws);
    EXPECT_FALSE(AfxReflectToChild(dialog, WM_NOTIFY, 0, 0, &result));
    // A notification with its result.
    NMHDR header = { button, IDC_T_OWNER_BUTTON, static_cast<UINT>(NM_RETURN) };
    EXPECT_TRUE(AfxReflectToChild(dialog, WM_NOTIFY, IDC_T_OWNER_BUTTON, reinterpret_cast<LPARAM>(&header), &result));
    EXPECT_EQ(5, result);
    header.code = static_cast<UINT>(NM_CLICK);
    EXPECT_FALSE(AfxReflectToChild(dialog, WM_NOTIFY, IDC_T_OWNER_BUTTON, reinterpret_cast<LPARAM>(&header), &result));
    dialog.DestroyWindow();
}

// ---- Child panels ---------------------------------------------------------------------------

TEST_F(DialogTest, ModelessChildPanelLivesInsideItsParent)
{
    CTestDlg dialog;
    std::unique_ptr<CTestPanel> panel;
    HWND firstPanel = nullptr;
    OnNextDialog([&](HWND dlg) {
        panel = std::make_unique<CTestPanel>();
        ASSERT_TRUE(panel->Create(IDD_TEST_PANEL, &dialog));
        firstPanel = panel->GetSafeHwnd();
        EXPECT_EQ(1, panel->initCount);
        EXPECT_EQ(dlg, ::GetParent(firstPanel));
        EXPECT_TRUE(::GetWindowLongPtrW(firstPanel, GWL_STYLE) & WS_CHILD);
        EXPECT_EQ(L"panel text", ItemText(firstPanel, IDC_P_EDIT));
        EXPECT_FALSE(panel->Create(IDD_TEST_PANEL, &dialog));  // one window per object

        // Placed where the placeholder is, as a wizard places its panels.
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        ::GetWindowPlacement(dialog.GetDlgItem(IDC_T_PLACEHOLDER), &placement);
        ::SetWindowPlacement(firstPanel, &placement);
        ::ShowWindow(firstPanel, SW_SHOW);
        RECT panelRect = {}, holderRect = {};
        ::GetWindowRect(firstPanel, &panelRect);
        ::GetWindowRect(dialog.GetDlgItem(IDC_T_PLACEHOLDER), &holderRect);
        EXPECT_EQ(holderRect.left, panelRect.left);
        EXPECT_EQ(holderRect.top, panelRect.top);

        // The panel's own button reaches the panel's map, not the dialog's.
        ClickButton(firstPanel, IDC_P_BUTTON);
        EXPECT_EQ(1, panel->buttonClicks);
        SetItemText(firstPanel, IDC_P_EDIT, L"typed");
        EXPECT_TRUE(panel->UpdateData(TRUE));
        EXPECT_EQ(L"typed", panel->m_strText);

        // Replacing the panel destroys the old window with its object.
        panel = std::make_unique<CTestPanel>();
        EXPECT_FALSE(::IsWindow(firstPanel));
        ASSERT_TRUE(panel->Create(IDD_TEST_PANEL, &dialog));
        ::ShowWindow(panel->GetSafeHwnd(), SW_SHOW);

        // Enter in the panel's edit is the outer dialog's default button.
        ::PostMessageW(::GetDlgItem(panel->GetSafeHwnd(), IDC_P_EDIT), WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    // The panel went with its parent; its object is left unbound and safe to delete.
    ASSERT_TRUE(panel);
    EXPECT_EQ(nullptr, panel->GetSafeHwnd());
    panel.reset();
}

// ---- Exception barrier ------------------------------------------------------------------------

TEST_F(DialogTest, ExceptionsInHandlersStayInsideTheDialog)
{
    CTestDlg dialog;
    int thrown = 0;
    dialog.onThrowButton = [&] {
        ++thrown;
        if (thrown == 1)
            AfxThrowMemoryException();
        throw std::runtime_error("not a framework exception");
    };
    CThrowingEdit edit;
    OnNextDialog([&](HWND dlg) {
        ClickButton(dlg, IDC_T_THROW);
        ClickButton(dlg, IDC_T_THROW);
        EXPECT_TRUE(::IsWindowVisible(dlg));
        // The modal loop's look-ahead has a barrier of its own.
        ASSERT_TRUE(edit.SubclassDlgItem(IDC_T_NUMBER, &dialog));
        ::PostMessageW(edit, WM_KEYDOWN, 'X', 0);
    }, IDOK, 30);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(2, thrown);
    EXPECT_EQ((std::vector<long>{ WM_COMMAND, WM_COMMAND, WM_KEYDOWN }), g_reported);
}

TEST_F(DialogTest, ExceptionInOnInitDialogLeavesAUsableDialog)
{
    CTestDlg dialog;
    dialog.onInit = [](CTestDlg&) { throw std::runtime_error("init failed"); };
    OnNextDialog([&](HWND dlg) { EXPECT_TRUE(::IsWindowVisible(dlg)); }, IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ((std::vector<long>{ WM_INITDIALOG }), g_reported);
}

TEST_F(DialogTest, ExtendedDialogRunsLikeTheBase)
{
    CDialogEx dialog(IDD_TEST_PLAIN);
    OnNextDialog([](HWND dlg) { SetItemText(dlg, IDC_T_TEXT, L"x"); }, IDOK);
    EXPECT_EQ(IDOK, dialog.DoModal());
}

}  // namespace
