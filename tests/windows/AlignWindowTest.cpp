// Aligning the boxes through the manager: the clearance it asks for, the grid it builds from
// the boxes' own rectangles, where each box goes, and what it saves.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "ManagerTestSupport.h"

namespace {

struct ClearanceScript
{
    INT_PTR answer = IDOK;
    int clearance = 10;
    std::vector<int> shown;  // the clearance each run was preset with
};
ClearanceScript g_clearance;

INT_PTR AnswerClearance(int& clearance)
{
    g_clearance.shown.push_back(clearance);
    if (g_clearance.answer == IDOK)
        clearance = g_clearance.clearance;
    return g_clearance.answer;
}

class AlignWindowTest : public managertest::ManagerFixture
{
protected:
    void SetUp() override
    {
        PrepareDataFolder();
        AfxSetMessageBoxHook(&boxtest::MessageBoxAnswers::Hook);
        g_bDialogOpen = g_bMenuOpen = g_bFileListOpen = g_bBoxDialogOpen = FALSE;
        g_clearance = ClearanceScript();
        CTarneloWndManager::SetClearanceDialogHook(&AnswerClearance);

        WriteInstallDate();
        ASSERT_TRUE(StartManager());
        ASSERT_EQ(6u, m_manager->m_boxList.size());
        const RECT r = RectOf(m_manager->m_boxList.front().get());
        m_w = r.right - r.left;
        m_h = r.bottom - r.top;
        ASSERT_GT(m_w, 0);
        ASSERT_GT(m_h, 0);
    }

    void TearDown() override
    {
        m_manager.reset();
        CTarneloWndManager::SetClearanceDialogHook(nullptr);
        FinishTest();
    }

    void Align() { ::SendMessageW(m_manager->m_hWnd, WM_BOXMSG, BOXEVENT_ALIGN_WINDOW, 0); }
    static void ExpectAt(const CTarneloWnd* box, int x, int y, const char* what)
    {
        const RECT r = RectOf(box);
        EXPECT_EQ(x, r.left) << what;
        EXPECT_EQ(y, r.top) << what;
        EXPECT_EQ(x, box->m_pInfo->m_pos.x) << what;
        EXPECT_EQ(y, box->m_pInfo->m_pos.y) << what;
    }

    int m_w = 0;
    int m_h = 0;
};

}  // namespace

TEST_F(AlignWindowTest, BoxesSnapToTheGridOfTheirOwnSizeAndTheChosenClearance)
{
    const int c = 10;
    const int stepX = m_w + c;
    const int stepY = m_h + c;
    // The last column starts below the screen's right edge and may reach beyond it.
    const int screenRight = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int lastColumn = 100;
    while (lastColumn + stepX < screenRight)
        lastColumn += stepX;

    CTarneloWnd* a = BoxAt(0);
    CTarneloWnd* b = BoxAt(1);
    CTarneloWnd* cBox = BoxAt(2);
    CTarneloWnd* d = BoxAt(3);
    CTarneloWnd* e = BoxAt(4);
    CTarneloWnd* f = BoxAt(5);
    // The list order is not the vertical order: e lies in the second row, b in a's slot.
    e->MoveBoxTo(100 + 3, 100 + stepY + 2);
    a->MoveBoxTo(100, 100);
    cBox->MoveBoxTo(100 + stepX + 7, 101);
    b->MoveBoxTo(105, 103);
    d->MoveBoxTo(100 + 2 * stepX - 1, 100 + 3 * stepY + 5);  // still in the second column
    f->MoveBoxTo(lastColumn + stepX + 10, 120);               // right of the last column

    ::DeleteFileW((m_data + L"\\tarnelo.ser").c_str());
    Align();
    ASSERT_EQ(1u, g_clearance.shown.size());
    EXPECT_EQ(10, g_clearance.shown[0]);

    // Higher boxes choose first: a keeps its slot, b goes below it, e below b.
    ExpectAt(a, 100, 100, "a");
    ExpectAt(b, 100, 100 + stepY, "b");
    ExpectAt(e, 100, 100 + 2 * stepY, "e");
    ExpectAt(cBox, 100 + stepX, 100, "c");
    ExpectAt(d, 100 + stepX, 100 + 3 * stepY, "d");
    ExpectAt(f, lastColumn + stepX + 10, 120, "f stays");
    // The list now follows the top edges as they were before the move (equal tops keep order).
    const std::vector<CTarneloWnd*> expected = { a, cBox, b, f, e, d };
    EXPECT_EQ(expected, m_manager->Boxes());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_data + L"\\tarnelo.ser").c_str()));

    // The stored positions are the new ones (the loader brings the off-screen f back).
    Model::CTarneloInfoManager reloaded;
    reloaded.Bind(CString((m_data + L"\\files").c_str()), CString((m_data + L"\\icons").c_str()), &m_icons, &m_config);
    ASSERT_TRUE(reloaded.Load(CString((m_data + L"\\tarnelo.ser").c_str())));
    for (const Model::CTarneloInfo* record : reloaded.m_boxes) {
        for (const CTarneloWnd* box : m_manager->Boxes()) {
            if (box != f && box->m_pInfo->m_nId == record->m_nId) {
                EXPECT_EQ(box->m_pInfo->m_pos.x, record->m_pos.x);
                EXPECT_EQ(box->m_pInfo->m_pos.y, record->m_pos.y);
            }
        }
    }

    // Aligning again with the same clearance moves nothing.
    const std::vector<CTarneloWnd*> boxes = { a, b, cBox, d, e, f };
    std::vector<RECT> before;
    for (const CTarneloWnd* box : boxes)
        before.push_back(RectOf(box));
    Align();
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(before[i].left, RectOf(boxes[i]).left) << i;
        EXPECT_EQ(before[i].top, RectOf(boxes[i]).top) << i;
    }
}

TEST_F(AlignWindowTest, TheClearanceIsKeptBetweenRunsAndACancelMovesNothing)
{
    int x = 40;
    for (CTarneloWnd* box : m_manager->Boxes()) {
        box->MoveBoxTo(x, 300 - x);
        x += 37;
    }
    std::vector<RECT> before;
    for (const CTarneloWnd* box : m_manager->Boxes())
        before.push_back(RectOf(box));

    g_clearance.answer = IDCANCEL;
    Align();
    size_t i = 0;
    for (const CTarneloWnd* box : m_manager->Boxes()) {
        EXPECT_EQ(before[i].left, RectOf(box).left);
        EXPECT_EQ(before[i].top, RectOf(box).top);
        ++i;
    }

    g_clearance.answer = IDOK;
    g_clearance.clearance = 30;
    Align();
    g_clearance.answer = IDCANCEL;
    Align();
    ASSERT_EQ(3u, g_clearance.shown.size());
    EXPECT_EQ(10, g_clearance.shown[0]);
    EXPECT_EQ(10, g_clearance.shown[1]);
    EXPECT_EQ(30, g_clearance.shown[2]);

    // With clearance 30, every box sits on the grid that starts at the smallest corner.
    const int originX = 40;
    const int originY = 300 - (40 + 5 * 37);
    for (const CTarneloWnd* box : m_manager->Boxes()) {
        const RECT r = RectOf(box);
        EXPECT_EQ(0, (r.left - originX) % (m_w + 30));
        EXPECT_EQ(0, (r.top - originY) % (m_h + 30));
    }
}
