// The manager window's boxes and events on a temporary data folder with real box windows:
// which file each box and wizard event saves and which it leaves alone, ignored codes,
// pointers from outside the box list, the minimum box width, the placement of new boxes,
// deleting and editing with answered dialogs, moving all boxes together and wizard events
// without a wizard. Start-up and exit are in CTarneloWndManagerLifetimeTest.cpp, the
// keyboard in CTarneloWndManagerSelectionTest.cpp.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/ShellHelpers.h"
#include "model/CTarneloStyleInfo.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"
#include "windows/BoxGeometry.h"
#include "ManagerTestSupport.h"

namespace {

using managertest::g_script;
using managertest::kBoxFile;
using managertest::kConfigFile;
using managertest::kStyleFile;
using managertest::ManagerTest;

// ---- Which file each event saves ------------------------------------------------------------------

TEST_F(ManagerTest, EachBoxEventSavesItsOwnFileAndLeavesTheOthersAlone)
{
    ASSERT_TRUE(Start());
    struct Case
    {
        WPARAM code;
        LPARAM value;
        int files;
        const char* line;
    };
    const Case cases[] = {
        { BOXEVENT_UPDATE_BOX_INFO, 0, kBoxFile, "Event: UpdateBoxInfo" },
        { BOXEVENT_UPDATE_STYLE, 0, kStyleFile, "Event: UpdateStyle" },
        { BOXEVENT_UPDATE_STYLE, 1, 0, "Event: UpdateStyle" },
        { BOXEVENT_RESTORE_STYLE, 0, 0, "Event: RestoreStyle" },
        { BOXEVENT_UPDATE_CONFIG, 0, kConfigFile, "Event: UpdateConfig" },
        { BOXEVENT_UPDATE_HOT_KEY, 0, kBoxFile, "Event: UpdateHotKey" },
        { BOXEVENT_UPDATE_HORIZONTAL_SIZE, 300, kStyleFile, "Event: UpdateHorizontalSize" },
        { BOXEVENT_ALIGN_WINDOW, 0, 0, "Event: AlignWindow" },  // clearance dialog cancelled
        { BOXEVENT_KEY, VK_HOME, 0, nullptr },
        { BOXEVENT_HOT_KEY_SELECTION, 0, 0, "Event: HotKeySelection" },
        { BOXEVENT_ENTIRELY_MOVE, 0, 0, nullptr },
        { BOXEVENT_LAST + 1, 0, 0, nullptr },
        { 100, Ptr(BoxAt(0)), 0, nullptr },
    };
    for (const Case& c : cases) {
        ForgetFiles();
        EXPECT_EQ(1, Box(c.code, c.value)) << c.code;
        EXPECT_EQ(c.files, Written()) << "code " << c.code << " value " << c.value;
        EXPECT_TRUE(NoTempFiles());
        if (c.line) {
            EXPECT_TRUE(LogHas(c.line)) << c.line;
        }
    }
    // Every event is logged by the dispatcher, the ignored ones too.
    EXPECT_TRUE(LogHas("<boxmng> box msg (14,0)"));
    EXPECT_TRUE(LogHas("<boxmng> box msg (100,"));
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_TRUE(::IsWindow(m_manager->m_hWnd));
}

TEST_F(ManagerTest, EachWizardEventSavesItsOwnFileAndCodesAboveFiveAreIgnored)
{
    ASSERT_TRUE(Start());
    g_bWizardExists = TRUE;
    struct Case
    {
        WPARAM code;
        LPARAM value;
        int files;
    };
    const Case cases[] = {
        { WIZEVENT_UPDATE_BOX_INFO, 0, kBoxFile },
        { WIZEVENT_UPDATE_BOXIES, 0, 0 },
        { WIZEVENT_UPDATE_STYLE, 0, kStyleFile },
        { WIZEVENT_UPDATE_STYLE, 1, 0 },
        { WIZEVENT_RESTORE_STYLE, 0, 0 },
        { WIZEVENT_EDIT_BOX, 0, 0 },        // no such record
        { WIZEVENT_EDIT_BOX, 0x1234, 0 },   // a value that is no record of the list
        { WIZEVENT_LAST + 1, 0, 0 },
        { 77, 1, 0 },
    };
    for (const Case& c : cases) {
        ForgetFiles();
        EXPECT_EQ(1, Wizard(c.code, c.value)) << c.code;
        EXPECT_EQ(c.files, Written()) << "code " << c.code << " value " << c.value;
    }
    EXPECT_EQ(0, g_script.calls);  // no edit dialog for a record that is not listed
    EXPECT_TRUE(LogHas("<boxmng> wiz msg (6,0)"));
    EXPECT_TRUE(LogHas("Event: UpdateBoxies"));
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_EQ(6u, m_manager->m_boxList.size());

    // ReloadBoxies rebuilds the windows from the files without saving anything.
    ForgetFiles();
    const CTarneloWnd* before = BoxAt(0);
    EXPECT_EQ(1, Wizard(WIZEVENT_RELOAD_BOXIES, 0));
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_TRUE(::IsWindow(BoxAt(0)->m_hWnd));
    (void)before;

    // Without the wizard no wizard event is taken, whoever sends it: nothing is rebuilt,
    // restacked, edited or saved.
    g_bWizardExists = FALSE;
    const CTarneloWnd* first = BoxAt(0);
    const RECT place = RectOf(BoxAt(0));
    for (WPARAM code = 0; code <= WIZEVENT_LAST; ++code) {
        EXPECT_EQ(1, Wizard(code, code == WIZEVENT_EDIT_BOX ? Ptr(BoxAt(0)->m_pInfo) : 1));
        EXPECT_EQ(0, Written()) << code;
    }
    EXPECT_EQ(first, BoxAt(0));
    EXPECT_EQ(place.left, RectOf(BoxAt(0)).left);
    EXPECT_EQ(0, g_script.calls);
    EXPECT_TRUE(LogHas("<boxmng> wiz msg without a wizard, ignored"));
}

TEST_F(ManagerTest, AddBoxSavesBoxAndStyleOnlyOnOkAndPlacesTheNewBoxBelowTheIssuer)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* issuer = BoxAt(0);
    issuer->MoveBoxTo(100, 100);

    ForgetFiles();
    g_script.answer = IDCANCEL;
    Box(BOXEVENT_ADD_BOX, issuer->RequestId());
    EXPECT_EQ(1, g_script.calls);
    EXPECT_TRUE(g_script.seen.bNewBox);
    EXPECT_TRUE(g_script.seen.strName.IsEmpty());
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_EQ(6u, m_infoManager.m_boxes.size());

    g_script.answer = IDOK;
    g_script.name = L"Music";
    g_script.icon = L"set\\note.png";
    g_script.color = RGB(0x10, 0x20, 0x30);
    Box(BOXEVENT_ADD_BOX, issuer->RequestId());
    EXPECT_EQ(kBoxFile | kStyleFile, Written());
    EXPECT_TRUE(NoTempFiles());
    ASSERT_EQ(7u, m_manager->m_boxList.size());
    const CTarneloWnd* added = m_manager->m_boxList.back().get();
    EXPECT_EQ(L"Music", added->m_pInfo->m_strName);
    EXPECT_EQ(L"set\\note.png", added->m_pInfo->m_strIcon);
    EXPECT_EQ(0x102030u, m_manager->m_pStyle->GetBoxColor() & 0xFFFFFFu);
    const RECT from = RectOf(issuer);
    const RECT r = RectOf(added);
    EXPECT_EQ(from.left, r.left);
    EXPECT_EQ(from.bottom + 10, r.top);
    // Not in the task switcher.
    EXPECT_NE(0, ::GetWindowLongPtrW(added->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(ManagerTest, DeleteAsksAndOnYesRemovesWindowAndRecordAndSavesTheBoxFile)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* box = BoxAt(1);
    const HWND window = box->m_hWnd;
    const std::wstring name = box->m_pInfo->m_strName.GetString();

    ForgetFiles();
    boxtest::MessageBoxAnswers::Answer() = IDNO;
    Box(BOXEVENT_DELETE_BOX, box->RequestId());
    EXPECT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_FALSE(g_bDeletingBox);

    boxtest::MessageBoxAnswers::Answer() = IDYES;
    Box(BOXEVENT_DELETE_BOX, box->RequestId());
    EXPECT_EQ(kBoxFile, Written());
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    EXPECT_EQ(5u, m_infoManager.m_boxes.size());
    EXPECT_FALSE(::IsWindow(window));
    for (const std::wstring& left : Names())
        EXPECT_NE(name, left);
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_FALSE(g_bDeletingBox);

    // A second delete while the first is under way is ignored.
    g_bDeletingBox = TRUE;
    boxtest::MessageBoxAnswers::Asked().clear();
    Box(BOXEVENT_DELETE_BOX, BoxAt(0)->RequestId());
    EXPECT_TRUE(boxtest::MessageBoxAnswers::Asked().empty());
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    g_bDeletingBox = FALSE;
}

TEST_F(ManagerTest, TheLastBoxCannotBeDeleted)
{
    ASSERT_TRUE(Start());
    while (m_manager->m_boxList.size() > 1)
        Box(BOXEVENT_DELETE_BOX, BoxAt(0)->RequestId());
    ForgetFiles();
    boxtest::MessageBoxAnswers::Asked().clear();
    Box(BOXEVENT_DELETE_BOX, BoxAt(0)->RequestId());
    ASSERT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
    EXPECT_EQ(L"You can't delete last one.", boxtest::MessageBoxAnswers::Asked()[0]);
    EXPECT_EQ(1u, m_manager->m_boxList.size());
    EXPECT_EQ(1u, m_infoManager.m_boxes.size());
    EXPECT_EQ(0, Written());
    EXPECT_FALSE(g_bDeletingBox);
}

TEST_F(ManagerTest, EditSavesBoxAndStyleOnlyOnOk)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* box = BoxAt(2);
    box->m_bHover = TRUE;
    const CString oldName = box->m_pInfo->m_strName;

    ForgetFiles();
    g_script.answer = IDCANCEL;
    Box(BOXEVENT_EDIT_BOX, box->RequestId());
    EXPECT_EQ(0, Written());
    EXPECT_FALSE(g_script.seen.bNewBox);
    EXPECT_EQ(oldName, g_script.seen.strName);
    EXPECT_EQ(oldName, box->m_pInfo->m_strName);
    EXPECT_FALSE(box->m_bHover);
    EXPECT_FALSE(g_bDialogOpen);

    g_script.answer = IDOK;
    g_script.name = L"Renamed";
    g_script.icon = L"x.png";
    Box(BOXEVENT_EDIT_BOX, box->RequestId());
    EXPECT_EQ(kBoxFile | kStyleFile, Written());
    EXPECT_EQ(L"Renamed", box->m_pInfo->m_strName);
    EXPECT_EQ(L"x.png", box->m_pInfo->m_strIcon);
    EXPECT_FALSE(g_bDialogOpen);

    // The wizard names the box by its record.
    ForgetFiles();
    g_script.name = L"From wizard";
    g_bWizardExists = TRUE;
    Wizard(WIZEVENT_EDIT_BOX, Ptr(box->m_pInfo));
    EXPECT_EQ(kBoxFile | kStyleFile, Written());
    EXPECT_EQ(L"From wizard", box->m_pInfo->m_strName);
}

// ---- Pointers from outside the list ------------------------------------------------------------

TEST_F(ManagerTest, APointerThatIsNoListedBoxIsLoggedAndIgnored)
{
    ASSERT_TRUE(Start());
    CTarneloWnd stranger;  // a real object, but not one of the manager's boxes
    const LPARAM foreign[] = { 0x10, 0x12345678, -1, Ptr(&stranger), Ptr(m_infoManager.m_boxes.front()) };
    ForgetFiles();
    for (const LPARAM value : foreign) {
        for (const WPARAM code : { BOXEVENT_ADD_BOX, BOXEVENT_DELETE_BOX, BOXEVENT_EDIT_BOX }) {
            // Posted as another process would post it.
            ASSERT_TRUE(::PostMessageW(m_manager->m_hWnd, WM_BOXMSG, code, value));
            boxtest::PumpPending();
        }
    }
    EXPECT_EQ(0, g_script.calls);
    EXPECT_TRUE(boxtest::MessageBoxAnswers::Asked().empty());
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_EQ(6u, m_infoManager.m_boxes.size());
    EXPECT_EQ(15u, LogCount("not a box of this program"));
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_FALSE(g_bDeletingBox);
}

TEST_F(ManagerTest, ABoxRemovedWhileTheEditDialogIsUpIsNotTouchedAfterIt)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* box = BoxAt(3);
    g_script.manager = m_manager.get();
    g_script.removeDuring = box;
    g_script.answer = IDOK;
    g_script.name = L"Gone";

    Box(BOXEVENT_EDIT_BOX, box->RequestId());
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    for (const std::wstring& name : Names())
        EXPECT_NE(L"Gone", name);
    EXPECT_TRUE(LogHas("<boxmng> EditBox: not a box of this program"));
    EXPECT_FALSE(g_bDialogOpen);

    // The same for a new box issued by a box that goes while the dialog is up.
    CTarneloWnd* issuer = BoxAt(0);
    g_script.removeDuring = issuer;
    g_script.name = L"Orphan";
    Box(BOXEVENT_ADD_BOX, issuer->RequestId());
    EXPECT_EQ(4u, m_manager->m_boxList.size());
    EXPECT_EQ(4u, m_infoManager.m_boxes.size());
    for (const std::wstring& name : Names())
        EXPECT_NE(L"Orphan", name);
}

// ---- Sizes -------------------------------------------------------------------------------------

TEST_F(ManagerTest, HorizontalSizeGivesEveryBoxAWidthBetweenTheMinimumAndTheWorkArea)
{
    ASSERT_TRUE(Start());
    Model::CTarneloStyleInfo& style = *m_manager->m_pStyle;
    ASSERT_NE(2, style.m_nIconDisplay);
    const int cell = style.m_nIconCellWidth;
    const int minimum = cell + Model::kMinimumTitleWidth;
    const SIZE area = Model::GetWorkAreaSize();
    ASSERT_GT(area.cx, 320);

    struct Case
    {
        LPARAM asked;
        int width;
    };
    const Case cases[] = {
        { 320, 320 },
        { 0, minimum },
        { 5, minimum },
        { -400, minimum },
        { cell, minimum },
        { LPARAM(INT_MIN), minimum },
        { -(LPARAM(1) << 40), minimum },
        { area.cx, area.cx },
        { 5000, area.cx },
        { 32767, area.cx },
        { 32768, area.cx },
        { 65536, area.cx },
        { 100000, area.cx },
        { LPARAM(INT_MAX), area.cx },
        { LPARAM(1) << 40, area.cx },
    };
    for (const Case& c : cases) {
        Box(BOXEVENT_UPDATE_HORIZONTAL_SIZE, c.asked);
        EXPECT_EQ(c.width - cell, style.m_nTitleWidth) << c.asked;
        for (CTarneloWnd* box : m_manager->Boxes()) {
            const RECT r = RectOf(box);
            EXPECT_EQ(c.width, r.right - r.left) << c.asked;
            EXPECT_EQ(style.m_nIconCellHeight, r.bottom - r.top) << c.asked;
            // A box its width pushed over the screen's edge is back on it.
            EXPECT_GE(r.left, 0) << c.asked;
            EXPECT_LE(r.right, ::GetSystemMetrics(SM_CXVIRTUALSCREEN)) << c.asked;
        }
        // What was saved is what a restart reads.
        Model::CTarneloStyleInfo reread;
        ASSERT_TRUE(reread.Load(Path(L"style.ser").c_str()));
        EXPECT_EQ(c.width - cell, reread.m_nTitleWidth) << c.asked;
    }
    EXPECT_TRUE(LogHas("<boxmng> box width out of range, taken as (" + std::to_string(minimum) + ")"));
    EXPECT_TRUE(LogHas("<boxmng> box width out of range, taken as (" + std::to_string(area.cx) + ")"));
}

TEST_F(ManagerTest, WithoutIconsTheTitleIsTheWholeWidthAndTheBoxIsMeasuredAsAtStart)
{
    ASSERT_TRUE(Start());
    Model::CTarneloStyleInfo& style = *m_manager->m_pStyle;
    style.m_nIconDisplay = 2;
    Box(BOXEVENT_UPDATE_STYLE, 0);  // icon-hidden layout, saved

    Box(BOXEVENT_UPDATE_HORIZONTAL_SIZE, 260);
    EXPECT_EQ(260, style.m_nTitleWidth);
    int w = 0;
    int h = 0;
    style.MeasureBox(w, h, m_manager->m_hWnd);
    EXPECT_EQ(260, w);
    for (CTarneloWnd* box : m_manager->Boxes()) {
        const RECT r = RectOf(box);
        EXPECT_EQ(260, r.right - r.left);
        EXPECT_EQ(h, r.bottom - r.top);
    }

    Box(BOXEVENT_UPDATE_HORIZONTAL_SIZE, 3);
    EXPECT_EQ(Model::kMinimumTitleWidth, style.m_nTitleWidth);

    // A restart sizes the boxes from the saved style exactly so.
    Model::CTarneloStyleInfo reread;
    ASSERT_TRUE(reread.Load(Path(L"style.ser").c_str()));
    int rw = 0;
    int rh = 0;
    reread.MeasureBox(rw, rh, m_manager->m_hWnd);
    const RECT r = RectOf(BoxAt(0));
    EXPECT_EQ(r.right - r.left, rw);
    EXPECT_EQ(r.bottom - r.top, rh);
}

TEST_F(ManagerTest, StylePreviewResizesButDoesNotSaveAndRestoreBringsTheSavedSizeBack)
{
    ASSERT_TRUE(Start());
    Box(BOXEVENT_UPDATE_STYLE, 0);
    const testfs::Bytes file = testfs::ReadBytes(Path(L"style.ser"));
    const RECT saved = RectOf(BoxAt(0));
    m_manager->m_pStyle->m_nTitleWidth += 50;
    Box(BOXEVENT_UPDATE_STYLE, 1);
    EXPECT_EQ(file, testfs::ReadBytes(Path(L"style.ser")));
    const RECT preview = RectOf(BoxAt(0));
    EXPECT_EQ((saved.right - saved.left) + 50, preview.right - preview.left);

    // Cancel: the style comes back from its file, and every box to its size, window and
    // drawing surface alike.
    Box(BOXEVENT_RESTORE_STYLE, 0);
    for (CTarneloWnd* box : m_manager->Boxes()) {
        const RECT after = RectOf(box);
        EXPECT_EQ(saved.right - saved.left, after.right - after.left);
        EXPECT_EQ(saved.bottom - saved.top, after.bottom - after.top);
        EXPECT_EQ(saved.right - saved.left, box->m_rcContent.Width);
        EXPECT_EQ(saved.bottom - saved.top, box->m_rcContent.Height);
    }
    // A final style whose file could not be written is what a later Cancel comes back to.
    ASSERT_TRUE(::CreateDirectoryW(Path(L"style.ser.temp").c_str(), nullptr));
    m_manager->m_pStyle->m_nTitleWidth += 30;
    Box(BOXEVENT_UPDATE_STYLE, 0);
    Box(BOXEVENT_RESTORE_STYLE, 0);
    EXPECT_EQ((saved.right - saved.left) + 30, RectOf(BoxAt(0)).right - RectOf(BoxAt(0)).left);
    EXPECT_EQ(file, testfs::ReadBytes(Path(L"style.ser")));
    // Its save made again by itself takes that style, not a preview shown meanwhile.
    const int meant = m_manager->m_pStyle->m_nTitleWidth;
    m_manager->m_pStyle->m_nTitleWidth += 40;
    Box(BOXEVENT_UPDATE_STYLE, 1);
    ASSERT_TRUE(::RemoveDirectoryW(Path(L"style.ser.temp").c_str()));
    ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerSaveRetry, 0);
    Model::CTarneloStyleInfo stored;
    stored.Load(CString(Path(L"style.ser").c_str()));
    EXPECT_EQ(meant, stored.m_nTitleWidth);
}

// A box that lay inside its work area and that a larger size pushes over the edge comes back
// onto it, for good only on OK or a width change; a box left across the edge stays put.
TEST_F(ManagerTest, OnlyABoxTheNewSizePushesOverTheEdgeComesBackAndOnlyForGood)
{
    ASSERT_TRUE(Start());
    Box(BOXEVENT_UPDATE_STYLE, 0);  // the style file, which a cancel reloads
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(BoxAt(0)->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor));
    const LONG w = RectOf(BoxAt(0)).right - RectOf(BoxAt(0)).left;
    const LONG edge = monitor.rcWork.right;
    const LONG across = edge - w / 2;
    BoxAt(0)->MoveBoxTo(edge - w - 10, 100);
    BoxAt(1)->MoveBoxTo(across, 200);
    // Code, value, title widened by, where the first box's window and record then are.
    const LONG steps[][5] = {
        { BOXEVENT_UPDATE_STYLE, 1, 50, edge - w - 50, edge - w - 10 },  // preview
        { BOXEVENT_RESTORE_STYLE, 0, 0, edge - w - 10, edge - w - 10 },  // cancel
        { BOXEVENT_UPDATE_STYLE, 0, 0, edge - w - 10, edge - w - 10 },   // OK, no change
        { BOXEVENT_UPDATE_STYLE, 0, 50, edge - w - 50, edge - w - 50 },  // OK, wider
        { BOXEVENT_UPDATE_HORIZONTAL_SIZE, w + 100, 0, edge - w - 100, edge - w - 100 },
    };
    for (const auto& step : steps) {
        m_manager->m_pStyle->m_nTitleWidth += step[2];
        Box(step[0], step[1]);
        EXPECT_EQ((std::vector<LONG>{ step[3], step[4], across, across }),
                  (std::vector<LONG>{ RectOf(BoxAt(0)).left, BoxAt(0)->m_pInfo->m_pos.x, RectOf(BoxAt(1)).left,
                                      BoxAt(1)->m_pInfo->m_pos.x })) << step[0] << "," << step[1];
    }
}

// ---- Moving, aligning, wizard removal ---------------------------------------------------------

TEST_F(ManagerTest, DraggingABoxInEntireMoveModeTakesEveryBoxAlongToTheReleaseAndStopsAtTheEdges)
{
    ASSERT_TRUE(Start());
    m_config.m_bEntirelyMoveMode = TRUE;
    static DWORD tick = 10000;
    CTarneloWnd::SetTickHook([] { return tick; });
    std::vector<RECT> before;
    for (CTarneloWnd* box : m_manager->Boxes())
        before.push_back(RectOf(box));
    CTarneloWnd* dragged = BoxAt(2);
    const POINT press = { before[2].left + 20, before[2].top + 10 };
    const auto mouse = [&](UINT message, LONG dx, LONG dy, UINT flags) {
        const RECT r = RectOf(dragged);
        ::SendMessageW(dragged->m_hWnd, message, flags, MAKELPARAM(press.x + dx - r.left, press.y + dy - r.top));
    };
    // Each step moves every box, the release past the last step; the column stops where its
    // first box reaches the screen's left edge or its last 32 pixels above the bottom.
    const RECT screen = GetVirtualScreenRect();
    const LONG steps[][3] = { { WM_LBUTTONDOWN, 0, 0 }, { WM_MOUSEMOVE, 0, 0 }, { WM_MOUSEMOVE, -30, 20 },
                              { WM_MOUSEMOVE, -5000, 20 }, { WM_LBUTTONUP, -30000, 32000 } };
    for (const auto& step : steps) {
        tick += 500;
        mouse(static_cast<UINT>(step[0]), step[1], step[2], step[0] == WM_LBUTTONUP ? 0 : MK_LBUTTON);
        Box(BOXEVENT_ENTIRELY_MOVE);  // the same step again, as any program can ask for it: nothing
        const LONG dx = std::max(step[1], screen.left - before.front().left);
        const LONG dy = std::min(step[2], screen.bottom - 32 - before.back().top);
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(before[i].left + dx, RectOf(BoxAt(i)).left) << i;
            EXPECT_EQ(before[i].top + dy, RectOf(BoxAt(i)).top) << i;
        }
    }
    CTarneloWnd::SetTickHook(nullptr);
    // Every box is saved where it now stands.
    ForgetFiles();
    boxtest::PumpPending();
    Model::CTarneloInfoManager reread;
    reread.Bind(CString((m_data + L"\\files").c_str()), CString(), nullptr, nullptr);
    ASSERT_TRUE(reread.Load(CString(Path(L"tarnelo.ser").c_str())));
    ASSERT_EQ(before.size(), reread.m_boxes.size());
    size_t i = 0;
    for (const Model::CTarneloInfo* record : reread.m_boxes) {
        EXPECT_EQ(RectOf(BoxAt(i)).left, record->m_pos.x) << i;
        EXPECT_EQ(RectOf(BoxAt(i)).top, record->m_pos.y) << i;
        ++i;
    }
}

TEST_F(ManagerTest, AlignOnOkOrdersTheBoxesByTopEdgeAndSavesTheBoxFile)
{
    ASSERT_TRUE(Start());
    // Reverse the vertical order.
    int y = 400;
    for (CTarneloWnd* box : m_manager->Boxes()) {
        box->MoveBoxTo(50, y);
        y -= 50;
    }
    const CTarneloWnd* last = m_manager->m_boxList.back().get();

    ForgetFiles();
    g_script.answer = IDCANCEL;
    Box(BOXEVENT_ALIGN_WINDOW, 0);
    EXPECT_EQ(0, Written());
    EXPECT_EQ(last, m_manager->m_boxList.back().get());

    g_script.answer = IDOK;
    g_script.clearance = 25;
    Box(BOXEVENT_ALIGN_WINDOW, 0);
    EXPECT_EQ(kBoxFile, Written());
    EXPECT_EQ(25, m_manager->m_nClearance);
    EXPECT_EQ(last, m_manager->m_boxList.front().get());
    int top = INT_MIN;
    for (CTarneloWnd* box : m_manager->Boxes()) {
        EXPECT_LE(top, RectOf(box).top);
        top = RectOf(box).top;
    }
}

TEST_F(ManagerTest, UpdateBoxInfoRemovesHiddenBoxesOnlyWhileTheWizardExists)
{
    ASSERT_TRUE(Start());
    BoxAt(1)->m_pInfo->m_bVisible = FALSE;
    Box(BOXEVENT_UPDATE_BOX_INFO, 0);
    EXPECT_EQ(6u, m_manager->m_boxList.size());

    g_bWizardExists = TRUE;
    const HWND hidden = BoxAt(1)->m_hWnd;
    Box(BOXEVENT_UPDATE_BOX_INFO, 0);
    g_bWizardExists = FALSE;
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    EXPECT_EQ(5u, m_infoManager.m_boxes.size());
    EXPECT_FALSE(::IsWindow(hidden));

    Model::CTarneloInfoManager reread;
    reread.Bind(CString((m_data + L"\\files").c_str()), CString(), nullptr, nullptr);
    ASSERT_TRUE(reread.Load(CString(Path(L"tarnelo.ser").c_str())));
    EXPECT_EQ(5u, reread.m_boxes.size());
}

// What a box window's WM_DESTROY finds: whether it is still listed and its record still kept.
struct DestroyWatch
{
    HWND window = nullptr;
    const CTarneloWndManager* manager = nullptr;
    const Model::CTarneloInfoManager* records = nullptr;
    const Model::CTarneloInfo* record = nullptr;
    int seen = 0;
    bool listed = true;
    bool recordKept = false;
};
DestroyWatch g_watch;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_watch.window && message->message == WM_DESTROY) {
        ++g_watch.seen;
        g_watch.listed = false;
        for (const CTarneloWnd* box : g_watch.manager->Boxes())
            g_watch.listed = g_watch.listed || box->m_hWnd == g_watch.window;
        g_watch.recordKept = false;
        for (const Model::CTarneloInfo* record : g_watch.records->m_boxes)
            g_watch.recordKept = g_watch.recordKept || record == g_watch.record;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ManagerTest, ADeletedBoxsWindowGoesAndLeavesTheListBeforeItsRecordIsDeleted)
{
    ASSERT_TRUE(Start());
    for (const bool wizard : { false, true }) {
        CTarneloWnd* box = BoxAt(1);
        g_watch = DestroyWatch();
        g_watch.window = box->m_hWnd;
        g_watch.manager = m_manager.get();
        g_watch.records = &m_infoManager;
        g_watch.record = box->m_pInfo;
        const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &WatchDestroy, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
        if (wizard) {
            // A box hidden in the wizard goes with UpdateBoxInfo.
            box->m_pInfo->m_bVisible = FALSE;
            g_bWizardExists = TRUE;
            Box(BOXEVENT_UPDATE_BOX_INFO, 0);
            g_bWizardExists = FALSE;
        } else {
            Box(BOXEVENT_DELETE_BOX, box->RequestId());
        }
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ(1, g_watch.seen) << wizard;
        EXPECT_FALSE(g_watch.listed) << wizard;
        EXPECT_TRUE(g_watch.recordKept) << wizard;
    }
    EXPECT_EQ(4u, m_manager->m_boxList.size());
    EXPECT_EQ(4u, m_infoManager.m_boxes.size());
}

}  // namespace
