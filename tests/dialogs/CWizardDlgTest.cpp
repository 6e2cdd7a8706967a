// The first-boot wizard driven modally through its panels: states, buttons and panels, the
// events its panels post to the manager, names edited into the box records, the style
// dialog's answer, the version-check choice stored in the settings, and cancelling with its
// question.
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/Logger.h"
#include "core/ProcessFlags.h"
#include "dialogs/CWizDonePanel.h"
#include "dialogs/CWizSetBoxPanel.h"
#include "dialogs/CWizSetFilesPanel.h"
#include "dialogs/CWizTopPanel.h"
#include "dialogs/CWizardDlg.h"
#include "framework/AfxMessageBox.h"
#include "framework/TempFolder.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"
#include "WizardTestSupport.h"

using wiztest::Click;
using wiztest::EventSink;
using wiztest::ItemText;
using wiztest::ModalScript;
using wiztest::PumpUntil;

namespace {

constexpr UINT kWizMsg = WM_USER + 101;

// What the style dialog hook was given and answers.
struct StyleDialogSeen
{
    int calls = 0;
    HWND parent = nullptr;
    CWnd* target = nullptr;
    UINT message = 0;
    Model::CTarneloStyleInfo* style = nullptr;
    INT_PTR answer = IDCANCEL;
};
StyleDialogSeen g_style;

INT_PTR FakeStyleDialog(CWnd* parent, CWnd* target, UINT message, Model::CTarneloStyleInfo* style)
{
    ++g_style.calls;
    g_style.parent = parent ? parent->GetSafeHwnd() : nullptr;
    g_style.target = target;
    g_style.message = message;
    g_style.style = style;
    return g_style.answer;
}

// The owner as the wizard sees it: a window object around the event sink's window.
class OwnerWnd : public CWnd
{
};

class WizardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_logs = m_temp.Path();
        LogInit(m_logs.c_str());
        wiztest::MessageBoxes::Asked().clear();
        wiztest::MessageBoxes::Answer() = IDNO;
        AfxSetMessageBoxHook(&wiztest::MessageBoxes::Hook);
        g_style = StyleDialogSeen();
        CWizSetBoxPanel::SetStyleDialogHook(&FakeStyleDialog);
        m_owner.m_hWnd = m_sink.hwnd();
        AddBoxes({ L"Apps", L"Tools", L"Documents", L"Folders", L"Shared", L"Hot items" });
    }
    void TearDown() override
    {
        m_owner.m_hWnd = nullptr;
        CWizSetBoxPanel::SetStyleDialogHook(nullptr);
        AfxSetMessageBoxHook(nullptr);
        wiztest::PumpPending();
        LogInit(nullptr);
    }

    void AddBoxes(const std::vector<const wchar_t*>& names)
    {
        m_boxes.RemoveAll();
        for (const wchar_t* name : names) {
            auto* box = new Model::CTarneloInfo;
            box->m_strName = name;
            box->m_bVisible = TRUE;
            m_boxes.m_boxes.push_back(box);
        }
    }
    Model::CTarneloInfo* BoxAt(size_t n) const { return *std::next(m_boxes.m_boxes.begin(), static_cast<long>(n)); }

    // Runs a wizard on this test's records with the script and returns its result.
    INT_PTR Run(const std::function<void(HWND, CWizardDlg&)>& script)
    {
        CWizardDlg wizard;
        EXPECT_TRUE(g_bWizardExists);
        wizard.SetShared(&m_owner, kWizMsg, &m_style, &m_config, &m_boxes);
        m_wizard = &wizard;
        ModalScript modal(L"Setup", [&](HWND dialog) { script(dialog, wizard); });
        const INT_PTR result = wizard.DoModal();
        EXPECT_TRUE(modal.Ran());
        m_wizard = nullptr;
        return result;
    }

    HWND Panel() const { return m_wizard && m_wizard->m_pPanel ? m_wizard->m_pPanel->GetSafeHwnd() : nullptr; }
    // Waits until the events posted so far have reached the sink.
    void Deliver() { wiztest::PumpPending(); }

    std::string Logs() const
    {
        std::string all;
        for (int day = 1; day <= 7; ++day) {
            const std::wstring path = m_logs + L"\\Log" + std::to_wstring(day) + L".txt";
            HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                continue;
            char buffer[4096];
            DWORD got = 0;
            while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
                all.append(buffer, got);
            ::CloseHandle(file);
        }
        return all;
    }

    TempFolder m_temp;
    std::wstring m_logs;
    EventSink m_sink;
    OwnerWnd m_owner;
    Model::CTarneloStyleInfo m_style;
    Model::CConfigInfo m_config;
    Model::CTarneloInfoManager m_boxes;
    CWizardDlg* m_wizard = nullptr;
};

// ---- States, buttons and panels ----------------------------------------------------------------

TEST_F(WizardTest, NextWalksThroughThePanelsAndDoneEndsWithOk)
{
    struct Seen
    {
        int state;
        bool backEnabled;
        std::wstring next;
        bool panelOfKind;
        bool panelVisible;
        RECT panel;
    };
    std::vector<Seen> seen;
    RECT placeholder = {};

    const INT_PTR result = Run([&](HWND dialog, CWizardDlg& wizard) {
        ::GetWindowRect(::GetDlgItem(dialog, IDC_WIZ_PLACEHOLDER), &placeholder);
        for (int step = 0; step < 4; ++step) {
            Seen s = {};
            s.state = wizard.m_nState;
            s.backEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_WIZ_BACK)) != FALSE;
            s.next = ItemText(dialog, IDOK);
            CWizDialogBase* panel = wizard.m_pPanel;
            switch (step) {
            case 0: s.panelOfKind = dynamic_cast<CWizTopPanel*>(panel) != nullptr; break;
            case 1: s.panelOfKind = dynamic_cast<CWizSetBoxPanel*>(panel) != nullptr; break;
            case 2: s.panelOfKind = dynamic_cast<CWizSetFilesPanel*>(panel) != nullptr; break;
            default: s.panelOfKind = dynamic_cast<CWizDonePanel*>(panel) != nullptr; break;
            }
            s.panelVisible = panel && ::IsWindowVisible(panel->GetSafeHwnd());
            if (panel) {
                ::GetWindowRect(panel->GetSafeHwnd(), &s.panel);
                // The panel shares the wizard's shared pointers.
                EXPECT_EQ(&m_config, panel->m_pConfig);
                EXPECT_EQ(&m_boxes, panel->m_pInfoManager);
                EXPECT_EQ(&m_style, panel->m_pStyle);
                EXPECT_EQ(&m_owner, panel->m_pOwnerWnd);
                EXPECT_EQ(kWizMsg, panel->m_nMessage);
                EXPECT_EQ(dialog, ::GetParent(panel->GetSafeHwnd()));
            }
            seen.push_back(s);
            Click(dialog, IDOK);
        }
    });

    EXPECT_EQ(IDOK, result);
    ASSERT_EQ(4u, seen.size());
    const int states[] = { 0, 2, 3, 4 };
    const wchar_t* nextTexts[] = { L"Next", L"Next", L"Next", L"Done" };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(states[i], seen[i].state) << i;
        EXPECT_EQ(i != 0, seen[i].backEnabled) << i;
        EXPECT_EQ(std::wstring(nextTexts[i]), seen[i].next) << i;
        EXPECT_TRUE(seen[i].panelOfKind) << i;
        EXPECT_TRUE(seen[i].panelVisible) << i;
        EXPECT_EQ(placeholder.left, seen[i].panel.left) << i;
        EXPECT_EQ(placeholder.top, seen[i].panel.top) << i;
        EXPECT_EQ(placeholder.right, seen[i].panel.right) << i;
        EXPECT_EQ(placeholder.bottom, seen[i].panel.bottom) << i;
    }
    EXPECT_FALSE(g_bWizardExists);

    // The box panel had the boxes stacked when it opened and the box file saved when it was
    // left; nothing else reached the manager but name refreshes.
    Deliver();
    ASSERT_FALSE(m_sink.events.empty());
    EXPECT_EQ((EventSink::Event{ CWizDialogBase::kReloadBoxies, 1 }), m_sink.events.front());
    EXPECT_EQ((EventSink::Event{ CWizDialogBase::kUpdateBoxInfo, 0 }), m_sink.events.back());
    EXPECT_EQ(1u, m_sink.Count(CWizDialogBase::kReloadBoxies));
    EXPECT_EQ(1u, m_sink.Count(CWizDialogBase::kUpdateBoxInfo));
    EXPECT_EQ(m_sink.events.size() - 2, m_sink.Count(CWizDialogBase::kUpdateBoxies));

    const std::string log = Logs();
    for (const char* line : { "<wizard> state update (0)", "<wizard> next (0)", "<wizard> next (2)",
                              "<wizard> next (3)", "<wizard> next (4)", "WizSetBoxPanel start" })
        EXPECT_NE(std::string::npos, log.find(line)) << line;
}

TEST_F(WizardTest, BackWalksBackAndEnteringTheBoxPanelAgainReloadsTheBoxesAgain)
{
    std::vector<int> states;
    const INT_PTR result = Run([&](HWND dialog, CWizardDlg& wizard) {
        Click(dialog, IDOK);            // 2
        Click(dialog, IDOK);            // 3
        Click(dialog, IDOK);            // 4
        Click(dialog, IDC_WIZ_BACK);    // 3
        states.push_back(wizard.m_nState);
        EXPECT_EQ(std::wstring(L"Next"), ItemText(dialog, IDOK));
        Click(dialog, IDC_WIZ_BACK);    // 2
        states.push_back(wizard.m_nState);
        EXPECT_NE(nullptr, dynamic_cast<CWizSetBoxPanel*>(wizard.m_pPanel));
        Click(dialog, IDC_WIZ_BACK);    // 0
        states.push_back(wizard.m_nState);
        EXPECT_NE(nullptr, dynamic_cast<CWizTopPanel*>(wizard.m_pPanel));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_WIZ_BACK)));
        // A click that reaches the disabled button all the same changes nothing.
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WIZ_BACK, BN_CLICKED), 0);
        states.push_back(wizard.m_nState);
        EXPECT_NE(nullptr, dynamic_cast<CWizTopPanel*>(wizard.m_pPanel));
        wiztest::MessageBoxes::Answer() = IDYES;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<int>{ 3, 2, 0, 0 }), states);

    // Two visits of the box panel: two reloads, and the box file saved on each leave.
    Deliver();
    EXPECT_EQ(2u, m_sink.Count(CWizDialogBase::kReloadBoxies));
    EXPECT_EQ(2u, m_sink.Count(CWizDialogBase::kUpdateBoxInfo));
    for (const EventSink::Event& e : m_sink.events) {
        if (e.code == CWizDialogBase::kReloadBoxies) {
            EXPECT_EQ(1, e.value);
        }
    }
}

// ---- Cancel ------------------------------------------------------------------------------------

TEST_F(WizardTest, CancelAsksAndOnlyYesEndsTheWizard)
{
    std::vector<int> statesAfterNo;
    const INT_PTR result = Run([&](HWND dialog, CWizardDlg& wizard) {
        Click(dialog, IDOK);  // 2
        wiztest::MessageBoxes::Answer() = IDNO;
        // Escape, the close box and the hidden cancel button all ask.
        ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        statesAfterNo.push_back(wizard.m_nState);
        ::SendMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([] { return wiztest::MessageBoxes::Asked().size() == 2; }));
        statesAfterNo.push_back(wizard.m_nState);
        EXPECT_TRUE(::IsWindowVisible(dialog));
        EXPECT_NE(nullptr, dynamic_cast<CWizSetBoxPanel*>(wizard.m_pPanel));
        wiztest::MessageBoxes::Answer() = IDYES;
        ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<int>{ 2, 2 }), statesAfterNo);
    EXPECT_EQ((std::vector<std::wstring>{ L"Abort setup?", L"Abort setup?", L"Abort setup?" }),
              wiztest::MessageBoxes::Asked());
    // A cancelled wizard leaves no panel step behind: the box file is not saved by it.
    Deliver();
    EXPECT_EQ(0u, m_sink.Count(CWizDialogBase::kUpdateBoxInfo));
    EXPECT_FALSE(g_bWizardExists);
    EXPECT_TRUE(m_config.GetInstallDate().IsEmpty());
}

// ---- Languages ---------------------------------------------------------------------------------

TEST_F(WizardTest, AJapaneseUserInterfaceGetsTheJapaneseWizard)
{
    const LCID before = ::GetThreadLocale();
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
    std::vector<std::wstring> texts;
    bool ran = false;
    {
        CWizardDlg wizard;
        wizard.SetShared(&m_owner, kWizMsg, &m_style, &m_config, &m_boxes);
        m_wizard = &wizard;
        ModalScript modal(L"Tarneloの初期設定", [&](HWND dialog) {
            texts.push_back(ItemText(dialog, IDOK));
            texts.push_back(ItemText(dialog, IDC_WIZ_BACK));
            Click(dialog, IDOK);
            Click(dialog, IDOK);
            Click(dialog, IDOK);
            texts.push_back(ItemText(dialog, IDOK));
            texts.push_back(ItemText(Panel(), IDC_WIZ_CHECK_VERSION));
            wiztest::MessageBoxes::Answer() = IDYES;
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        wizard.DoModal();
        ran = modal.Ran();
        m_wizard = nullptr;
    }
    ::SetThreadLocale(before);
    if (!ran)
        GTEST_SKIP() << "this system does not pick dialog templates by the thread's language";
    EXPECT_EQ((std::vector<std::wstring>{ L"次へ", L"戻る", L"完了", L"  最新版を定期的にチェックする" }), texts);
    EXPECT_EQ((std::vector<std::wstring>{ L"初期設定を中止しますか？" }), wiztest::MessageBoxes::Asked());
}

// ---- The done panel ----------------------------------------------------------------------------

TEST_F(WizardTest, TheVersionCheckChoiceIsStoredOnDoneAndOnBack)
{
    m_config.m_bCheckLatestVersion = TRUE;
    BOOL afterBack = -1;
    const INT_PTR result = Run([&](HWND dialog, CWizardDlg&) {
        Click(dialog, IDOK);
        Click(dialog, IDOK);
        Click(dialog, IDOK);  // 4: the check starts unchecked
        EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(::GetDlgItem(Panel(), IDC_WIZ_CHECK_VERSION), BM_GETCHECK, 0, 0));
        Click(dialog, IDC_WIZ_BACK);
        afterBack = m_config.m_bCheckLatestVersion;
        Click(dialog, IDOK);  // 4 again
        Click(Panel(), IDC_WIZ_CHECK_VERSION);
        EXPECT_EQ(BST_CHECKED, ::SendMessageW(::GetDlgItem(Panel(), IDC_WIZ_CHECK_VERSION), BM_GETCHECK, 0, 0));
        Click(dialog, IDOK);  // Done
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(FALSE, afterBack);
    EXPECT_EQ(TRUE, m_config.m_bCheckLatestVersion);
}

// ---- The box panel -----------------------------------------------------------------------------

TEST_F(WizardTest, TheBoxPanelShowsTheFirstSixNamesAndEmptyEditsBeyondTheList)
{
    AddBoxes({ L"One", L"Two", L"Three", L"Four", L"Five", L"Six", L"Seven" });
    std::vector<std::wstring> full;
    Run([&](HWND dialog, CWizardDlg&) {
        Click(dialog, IDOK);
        for (int id : { IDC_WIZ_NAME1, IDC_WIZ_NAME2, IDC_WIZ_NAME3, IDC_WIZ_NAME4, IDC_WIZ_NAME5, IDC_WIZ_NAME6 })
            full.push_back(ItemText(Panel(), id));
        wiztest::MessageBoxes::Answer() = IDYES;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ((std::vector<std::wstring>{ L"One", L"Two", L"Three", L"Four", L"Five", L"Six" }), full);

    AddBoxes({ L"One", L"Two", L"Three", L"Four" });
    m_sink.events.clear();
    std::vector<std::wstring> shorter;
    Run([&](HWND dialog, CWizardDlg& wizard) {
        Click(dialog, IDOK);
        for (int id : { IDC_WIZ_NAME1, IDC_WIZ_NAME2, IDC_WIZ_NAME3, IDC_WIZ_NAME4, IDC_WIZ_NAME5, IDC_WIZ_NAME6 })
            shorter.push_back(ItemText(Panel(), id));
        auto* panel = dynamic_cast<CWizSetBoxPanel*>(wizard.m_pPanel);
        ASSERT_NE(nullptr, panel);
        EXPECT_EQ(CString(L"Four"), panel->GetBoxName(3));
        EXPECT_EQ(CString(), panel->GetBoxName(4));
        EXPECT_EQ(CString(), panel->GetBoxName(6));
        EXPECT_EQ(CString(), panel->GetBoxName(-1));
        // "Icon" of a box that exists asks the manager to edit that record; of a missing one,
        // nothing.
        Click(Panel(), IDC_WIZ_ICON5);
        Click(Panel(), IDC_WIZ_ICON6);
        Click(Panel(), IDC_WIZ_ICON2);
        wiztest::MessageBoxes::Answer() = IDYES;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ((std::vector<std::wstring>{ L"One", L"Two", L"Three", L"Four", L"", L"" }), shorter);
    Deliver();
    EXPECT_EQ(1u, m_sink.Count(CWizDialogBase::kEditBox));
    for (const EventSink::Event& e : m_sink.events) {
        if (e.code == CWizDialogBase::kEditBox) {
            EXPECT_EQ(reinterpret_cast<LPARAM>(BoxAt(1)), e.value);
        }
    }
}

TEST_F(WizardTest, EditedNamesReachTheRecordsAfterAPauseAndAnEmptiedNameHidesItsBox)
{
    Run([&](HWND dialog, CWizardDlg&) {
        Click(dialog, IDOK);
        // The names loaded into the edits settle first.
        PumpUntil([] { return false; }, 700);
        m_sink.events.clear();
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME1), L"Programs");
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME3), L"");
        EXPECT_EQ(CString(L"Apps"), BoxAt(0)->m_strName);  // not at once
        EXPECT_TRUE(PumpUntil([&] { return BoxAt(2)->m_bVisible == FALSE; }));
        EXPECT_EQ(CString(L"Programs"), BoxAt(0)->m_strName);
        EXPECT_EQ(TRUE, BoxAt(0)->m_bVisible);
        EXPECT_EQ(CString(), BoxAt(2)->m_strName);
        EXPECT_TRUE(PumpUntil([&] { return m_sink.Count(CWizDialogBase::kUpdateBoxies) > 0; }));
        EXPECT_EQ((EventSink::Event{ CWizDialogBase::kUpdateBoxies, 0 }), m_sink.events.back());

        // A name typed just before Next still reaches its record, before the box file is saved.
        m_sink.events.clear();
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME2), L"Utilities");
        Click(dialog, IDOK);
        EXPECT_EQ(CString(L"Utilities"), BoxAt(1)->m_strName);
        // Giving the emptied name back shows the box again.
        Click(dialog, IDC_WIZ_BACK);
        ::SetWindowTextW(::GetDlgItem(Panel(), IDC_WIZ_NAME3), L"Papers");
        EXPECT_TRUE(PumpUntil([&] { return BoxAt(2)->m_bVisible == TRUE; }));
        EXPECT_EQ(CString(L"Papers"), BoxAt(2)->m_strName);
        wiztest::MessageBoxes::Answer() = IDYES;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Deliver();
    const std::vector<WPARAM> codes = m_sink.Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(CWizDialogBase::kUpdateBoxies, codes[0]);
    EXPECT_EQ(CWizDialogBase::kUpdateBoxInfo, codes[1]);
}

TEST_F(WizardTest, AdvancedSettingsRunsTheStyleDialogOverTheWizardAndPostsItsOutcome)
{
    for (const INT_PTR answer : { IDOK, IDCANCEL }) {
        g_style = StyleDialogSeen();
        g_style.answer = answer;
        m_sink.events.clear();
        HWND wizardWindow = nullptr;
        Run([&](HWND dialog, CWizardDlg&) {
            wizardWindow = dialog;
            Click(dialog, IDOK);
            PumpUntil([] { return false; }, 700);
            m_sink.events.clear();
            Click(Panel(), IDC_WIZ_ADVANCED);
            wiztest::MessageBoxes::Answer() = IDYES;
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        Deliver();
        EXPECT_EQ(1, g_style.calls);
        EXPECT_EQ(wizardWindow, g_style.parent);
        EXPECT_EQ(&m_owner, g_style.target);
        EXPECT_EQ(kWizMsg, g_style.message);
        EXPECT_EQ(&m_style, g_style.style);
        ASSERT_FALSE(m_sink.events.empty());
        const WPARAM expected = answer == IDOK ? CWizDialogBase::kUpdateStyle : CWizDialogBase::kRestoreStyle;
        EXPECT_EQ((EventSink::Event{ expected, 0 }), m_sink.events.front()) << answer;
    }
}

TEST_F(WizardTest, TheProgramsStyleDialogOpensOverTheDisabledWizard)
{
    CWizSetBoxPanel::SetStyleDialogHook(nullptr);
    bool styleShown = false;
    bool wizardDisabled = false;
    HWND styleOwner = nullptr;
    HWND wizardWindow = nullptr;
    Run([&](HWND dialog, CWizardDlg&) {
        wizardWindow = dialog;
        Click(dialog, IDOK);
        PumpUntil([] { return false; }, 700);
        m_sink.events.clear();
        ModalScript style(L"Style", [&](HWND styleDialog) {
            styleShown = true;
            wizardDisabled = !::IsWindowEnabled(dialog);
            styleOwner = ::GetWindow(styleDialog, GW_OWNER);
            Click(styleDialog, IDCANCEL);
        });
        Click(Panel(), IDC_WIZ_ADVANCED);
        EXPECT_TRUE(::IsWindowEnabled(dialog));
        wiztest::MessageBoxes::Answer() = IDYES;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(styleShown);
    EXPECT_TRUE(wizardDisabled);
    EXPECT_EQ(wizardWindow, styleOwner);
    Deliver();
    ASSERT_FALSE(m_sink.events.empty());
    EXPECT_EQ((EventSink::Event{ CWizDialogBase::kRestoreStyle, 0 }), m_sink.events.front());
}

TEST_F(WizardTest, WithoutAnOwnerWindowNothingIsPostedAndTheWizardStillRuns)
{
    CWizardDlg wizard;
    wizard.SetShared(nullptr, kWizMsg, &m_style, &m_config, &m_boxes);
    ModalScript modal(L"Setup", [&](HWND dialog) {
        Click(dialog, IDOK);
        Click(wizard.m_pPanel->GetSafeHwnd(), IDC_WIZ_ICON1);
        Click(dialog, IDOK);
        Click(dialog, IDOK);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, wizard.DoModal());
    Deliver();
    EXPECT_TRUE(m_sink.events.empty());
}

}  // namespace
