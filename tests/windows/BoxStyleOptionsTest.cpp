// The box window's "Style" and "Options" commands: each runs its dialog modally on the box's
// style or settings, and the events it posts afterwards tell the manager what to save.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "BoxWndTestSupport.h"
#include "DialogTestSupport.h"
#include "resources/resource.h"
#include "windows/CTarneloWnd.h"

using namespace boxtest;

namespace {

class BoxDialogs : public BoxWndTest
{
protected:
    static void SetUpTestSuite()
    {
        BoxWndTest::SetUpTestSuite();
        INITCOMMONCONTROLSEX init = { sizeof(init), 0xFF };
        ::InitCommonControlsEx(&init);
    }
    void TearDown() override
    {
        DialogTestSupport::CancelSteps();
        BoxWndTest::TearDown();
    }
    static void Command(CTarneloWnd& box, UINT id)
    {
        ::SendMessageW(box.m_hWnd, WM_COMMAND, id, 0);
        PumpPending();
    }
    // The box events in the order they came, without the previews.
    std::vector<CRecordingManager::Event> Finals() const
    {
        std::vector<CRecordingManager::Event> out;
        for (const auto& e : m_manager.events) {
            if (!(e.code == BOXEVENT_UPDATE_STYLE && e.value == 1))
                out.push_back(e);
        }
        return out;
    }
};

}  // namespace

TEST_F(BoxDialogs, StyleOkPreviewsThenPostsTheFinalUpdate)
{
    CTarneloWnd box;
    MakeBox(box);
    DialogTestSupport::OnNextDialog(
        [&](HWND dlg) {
            ::SetDlgItemTextW(dlg, IDC_STYLE_MARGIN_LEFT, L"11");
            ASSERT_TRUE(PumpUntil([&] { return m_manager.Count(BOXEVENT_UPDATE_STYLE) == 1; }));
            EXPECT_EQ(1, m_manager.events.back().value);
            EXPECT_EQ(11, m_style.m_titleMargins.cxLeftWidth);
        },
        IDOK);
    Command(box, ID_BOX_STYLE);
    const auto finals = Finals();
    ASSERT_EQ(1u, finals.size());
    EXPECT_EQ(BOXEVENT_UPDATE_STYLE, finals[0].code);
    EXPECT_EQ(0, finals[0].value);
    // The final event comes after every preview.
    EXPECT_EQ(BOXEVENT_UPDATE_STYLE, m_manager.events.back().code);
    EXPECT_EQ(0, m_manager.events.back().value);
}

TEST_F(BoxDialogs, StyleCancelPostsRestoreStyle)
{
    CTarneloWnd box;
    MakeBox(box);
    DialogTestSupport::EndNextDialog(IDCANCEL);
    Command(box, ID_BOX_STYLE);
    ASSERT_EQ(1u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_RESTORE_STYLE, m_manager.events[0].code);
    EXPECT_EQ(0, m_manager.events[0].value);
}

TEST_F(BoxDialogs, OptionsOkWritesTheSettingsAndPostsConfigThenHotKey)
{
    CTarneloWnd box;
    MakeBox(box);
    m_config.m_bShowExtension = FALSE;
    DialogTestSupport::OnNextDialog(
        [&](HWND dlg) {
            // Row 0 of the check list is "Show file extension.": the space bar toggles it.
            const HWND list = ::GetDlgItem(dlg, IDC_OPTION_CHECKS);
            ::SendMessageW(list, LB_SETCURSEL, 0, 0);
            ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
        },
        IDOK);
    Command(box, ID_BOX_OPTIONS);
    EXPECT_EQ(TRUE, m_config.m_bShowExtension);
    ASSERT_EQ(2u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_UPDATE_CONFIG, m_manager.events[0].code);
    EXPECT_EQ(BOXEVENT_UPDATE_HOT_KEY, m_manager.events[1].code);
}

TEST_F(BoxDialogs, OptionsCancelPostsNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    DialogTestSupport::EndNextDialog(IDCANCEL);
    Command(box, ID_BOX_OPTIONS);
    EXPECT_TRUE(m_manager.events.empty());
}
