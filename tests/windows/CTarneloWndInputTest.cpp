// The box window under mouse sequences, clicks, keys and the hot key, each observed through
// the events a recording manager receives.
#include "BoxWndTestSupport.h"

#include "core/ShellHelpers.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"
#include "windows/CFileListWnd.h"

using namespace boxtest;

namespace {

// ---- Mouse ----------------------------------------------------------------------------------------

DWORD g_tick = 0;
DWORD FakeTick() { return g_tick; }

class BoxMouse : public BoxWndTest
{
protected:
    void SetUp() override
    {
        BoxWndTest::SetUp();
        g_tick = 10000;
        CTarneloWnd::SetTickHook(&FakeTick);
    }
};

TEST_F(BoxMouse, HoverFollowsTheCursorWithCapture)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    EXPECT_TRUE(box.m_bHover);
    EXPECT_EQ(box.m_hWnd, ::GetCapture());
    // The size strip captures but leaves the hover as it is.
    Mouse(box, WM_MOUSEMOVE, POINT{ 355, 160 });
    EXPECT_TRUE(box.m_bHover);
    EXPECT_EQ(box.m_hWnd, ::GetCapture());
    Mouse(box, WM_MOUSEMOVE, POINT{ 600, 600 });
    EXPECT_FALSE(box.m_bHover);
    EXPECT_NE(box.m_hWnd, ::GetCapture());
}

TEST_F(BoxMouse, ABusyBoxIgnoresTheMouse)
{
    CTarneloWnd box;
    MakeBox(box);
    g_bDialogOpen = TRUE;
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    EXPECT_FALSE(box.m_bHover);
    Mouse(box, WM_LBUTTONDOWN, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    EXPECT_FALSE(box.m_bMoving);
    g_bDialogOpen = FALSE;
    box.m_bCommandPending = TRUE;
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    EXPECT_FALSE(box.m_bHover);
}

TEST_F(BoxMouse, ALongDragMovesTheBoxAndStoresItsPositionOnlyWhileAPressOnItLasts)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    // Moves that say the button is down, with no press on the box (a press on another window,
    // or another program's messages) or after a press that ended as a click, leave it alone.
    const LONG unpressed[][3] = { { WM_MOUSEMOVE, 210, 160 }, { WM_MOUSEMOVE, 260, 190 }, { WM_LBUTTONDOWN, 210, 160 },
                                  { WM_LBUTTONUP, 210, 160 }, { WM_MOUSEMOVE, 210, 160 }, { WM_MOUSEMOVE, 260, 190 } };
    for (const auto& m : unpressed)
        Mouse(box, static_cast<UINT>(m[0]), POINT{ m[1], m[2] }, MK_LBUTTON);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONDOWN, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    EXPECT_TRUE(box.m_bMoving);
    Mouse(box, WM_MOUSEMOVE, POINT{ 260, 190 }, MK_LBUTTON);
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(250, r.left);
    EXPECT_EQ(180, r.top);
    EXPECT_EQ(160, r.right - r.left);
    // The record keeps its place until the drag ends.
    EXPECT_EQ(200, m_info.m_pos.x);
    g_tick += 101;
    // Far off the screen the box stops at its edge, where the start would keep it.
    Mouse(box, WM_MOUSEMOVE, POINT{ -30000, 190 }, MK_LBUTTON);
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(GetVirtualScreenRect().left, r.left);
    Mouse(box, WM_MOUSEMOVE, POINT{ 300, 200 }, MK_LBUTTON);
    Mouse(box, WM_LBUTTONUP, POINT{ 300, 200 });
    EXPECT_FALSE(box.m_bMoving);
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(290, r.left);
    EXPECT_EQ(190, r.top);
    EXPECT_EQ(290, m_info.m_pos.x);
    EXPECT_EQ(190, m_info.m_pos.y);
    PumpPending();
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    EXPECT_EQ(0, m_manager.Count(BOXEVENT_ENTIRELY_MOVE));
    EXPECT_TRUE(LogHas("<boxwnd> start moving"));
    EXPECT_TRUE(LogHas("<boxwnd> box moved"));

    // A press takes the mouse, and ends with its loss: the drag stays, and is kept, where it is
    // shown. A move off the box that says the button is up while the press lasts (queued
    // before it) ends nothing.
    for (const UINT end : { WM_CAPTURECHANGED, WM_MOUSEMOVE }) {
        const POINT at = { m_info.m_pos.x + 10, m_info.m_pos.y + 10 };
        ::ReleaseCapture();
        Mouse(box, WM_LBUTTONDOWN, at, MK_LBUTTON);
        EXPECT_EQ(box.m_hWnd, ::GetCapture());
        Mouse(box, WM_MOUSEMOVE, at, MK_LBUTTON);
        Mouse(box, WM_MOUSEMOVE, POINT{ at.x + 5, at.y + 5 }, MK_LBUTTON);
        if (end == WM_CAPTURECHANGED)
            ::SetCapture(m_manager.m_hWnd);
        else
            Mouse(box, end, POINT{ at.x + 300, at.y });
        Mouse(box, WM_MOUSEMOVE, POINT{ at.x + 50, at.y + 50 }, MK_LBUTTON);
        ::GetWindowRect(box.m_hWnd, &r);
        EXPECT_EQ(end == WM_CAPTURECHANGED ? at.x - 5 : at.x + 40, r.left) << end;
        if (end == WM_CAPTURECHANGED)
            EXPECT_EQ(r.left, m_info.m_pos.x);
    }
}

TEST_F(BoxMouse, AShortDragIsAClickButStoresWhereTheBoxWasLeft)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONDOWN, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 213, 161 }, MK_LBUTTON);
    g_tick += 100;  // exactly 100 ms: still a click
    Mouse(box, WM_LBUTTONUP, POINT{ 213, 161 });
    EXPECT_TRUE(LogHas("<boxwnd> a little moved."));
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(203, r.left);
    // The window stayed where the jitter left it, and so does the record, saved.
    EXPECT_EQ(203, m_info.m_pos.x);
    EXPECT_EQ(151, m_info.m_pos.y);
    PumpPending();
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    // And the release was a click: the box has no items, so the warning comes.
    ASSERT_TRUE(PumpUntil([] { return !MessageBoxAnswers::Asked().empty(); }));
    EXPECT_EQ(std::wstring(LoadResString(IDS_NO_FILE_REGISTERED)), MessageBoxAnswers::Asked()[0]);
}

TEST_F(BoxMouse, AShortDragInEntireMoveModeSavesEveryBoxItMoved)
{
    m_config.m_bEntirelyMoveMode = TRUE;
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONDOWN, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 212, 160 }, MK_LBUTTON);
    EXPECT_EQ(2, m_manager.Count(BOXEVENT_ENTIRELY_MOVE));
    g_tick += 40;
    Mouse(box, WM_LBUTTONUP, POINT{ 212, 160 });
    PumpPending();
    // The others were moved (and their records set) by the manager at each step: one
    // UpdateBoxInfo saves them all together with this box's new place.
    EXPECT_EQ(202, m_info.m_pos.x);
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
}

TEST_F(BoxMouse, AShortPressWithoutMovementSavesNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONDOWN, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    g_tick += 30;
    Mouse(box, WM_LBUTTONUP, POINT{ 210, 160 });
    PumpPending();
    EXPECT_EQ(0, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    EXPECT_EQ(200, m_info.m_pos.x);
    EXPECT_EQ(150, m_info.m_pos.y);
}

TEST_F(BoxMouse, DraggingTheRightEdgeWidensTheBoxAndReportsTheWidth)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 355, 160 });
    Mouse(box, WM_LBUTTONDOWN, POINT{ 355, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 355, 160 }, MK_LBUTTON);
    EXPECT_TRUE(box.m_bSizing);
    EXPECT_FALSE(box.m_bMoving);
    EXPECT_EQ(box.m_hWnd, ::GetCapture());
    Mouse(box, WM_MOUSEMOVE, POINT{ 420, 170 }, MK_LBUTTON);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(221, r.right - r.left);  // right edge = x + 1
    EXPECT_EQ(40, r.bottom - r.top);
    Mouse(box, WM_LBUTTONUP, POINT{ 449, 170 });
    EXPECT_FALSE(box.m_bSizing);
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(250, r.right - r.left);
    PumpPending();
    const auto* e = m_manager.Last(BOXEVENT_UPDATE_HORIZONTAL_SIZE);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(250, e->value);
    EXPECT_EQ(0, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    EXPECT_EQ(200, m_info.m_pos.x);
}

TEST_F(BoxMouse, NarrowingStopsAtTheMinimumAndNeverTurnsIntoAMove)
{
    CTarneloWnd box;
    MakeBox(box);
    const int minimum = Model::GetMinimumBoxWidth(m_style);
    Mouse(box, WM_LBUTTONDOWN, POINT{ 355, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 355, 160 }, MK_LBUTTON);
    ASSERT_TRUE(box.m_bSizing);
    // Far into the body and beyond the left edge.
    Mouse(box, WM_MOUSEMOVE, POINT{ 230, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 20, 160 }, MK_LBUTTON);
    EXPECT_FALSE(box.m_bMoving);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(minimum, r.right - r.left);
    g_tick += 1000;
    Mouse(box, WM_LBUTTONUP, POINT{ 20, 160 });
    PumpPending();
    const auto* e = m_manager.Last(BOXEVENT_UPDATE_HORIZONTAL_SIZE);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(minimum, e->value);
    EXPECT_EQ(0, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
}

TEST_F(BoxMouse, FixedPositionRefusesMovingAndWidening)
{
    m_config.m_bLock = TRUE;
    m_config.m_bEntirelyMoveMode = TRUE;
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_LBUTTONDOWN, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 260, 200 }, MK_LBUTTON);
    g_tick += 1000;
    Mouse(box, WM_LBUTTONUP, POINT{ 260, 200 });
    Mouse(box, WM_LBUTTONDOWN, POINT{ 355, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 355, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 500, 160 }, MK_LBUTTON);
    Mouse(box, WM_LBUTTONUP, POINT{ 500, 160 });
    EXPECT_FALSE(box.m_bMoving);
    EXPECT_FALSE(box.m_bSizing);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(150, r.top);
    EXPECT_EQ(160, r.right - r.left);
    PumpPending();
    EXPECT_EQ(0, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    EXPECT_EQ(0, m_manager.Count(BOXEVENT_UPDATE_HORIZONTAL_SIZE));
    EXPECT_EQ(0, m_manager.Count(BOXEVENT_ENTIRELY_MOVE));
}

TEST_F(BoxMouse, HoverTimersFollowTheRealCursor)
{
    CTarneloWnd box;
    MakeBox(box);
    ::SetCursorPos(900, 900);
    box.m_bHover = TRUE;
    ::SendMessageW(box.m_hWnd, WM_TIMER, CTarneloWnd::kTimerHoverCheck, 0);
    EXPECT_FALSE(box.m_bHover);
    // Busy: the hover stays.
    box.m_bHover = TRUE;
    g_bMenuOpen = TRUE;
    ::SendMessageW(box.m_hWnd, WM_TIMER, CTarneloWnd::kTimerHoverCheck, 0);
    EXPECT_TRUE(box.m_bHover);
    g_bMenuOpen = FALSE;
    // Cursor on the box: the hover stays.
    ::SetCursorPos(210, 160);
    POINT at = {};
    ::GetCursorPos(&at);
    ASSERT_EQ(210, at.x);  // the test display moves the cursor
    ::SendMessageW(box.m_hWnd, WM_TIMER, CTarneloWnd::kTimerHoverCheck, 0);
    EXPECT_TRUE(box.m_bHover);
}

// ---- Clicks ---------------------------------------------------------------------------------------

using BoxClick = BoxMouse;

TEST_F(BoxClick, ADelayedClickOnAnEmptyBoxWarnsOnce)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONUP, POINT{ 210, 160 });
    EXPECT_TRUE(LogHas("<boxwnd> click"));
    ASSERT_TRUE(PumpUntil([] { return !MessageBoxAnswers::Asked().empty(); }));
    EXPECT_EQ(std::wstring(LoadResString(IDS_NO_FILE_REGISTERED)), MessageBoxAnswers::Asked()[0]);
    EXPECT_TRUE(LogHas("<boxwnd> delayed click"));
    EXPECT_FALSE(g_bNoFileNoticeShown);

    // While the warning is up (another box's), a click warns no second time.
    MessageBoxAnswers::Asked().clear();
    g_bNoFileNoticeShown = TRUE;
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONUP, POINT{ 210, 160 });
    ASSERT_TRUE(PumpUntil([&] { return Logs().find("delayed click") != Logs().rfind("delayed click"); }));
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
}

TEST_F(BoxClick, ADelayedClickOnABoxWithItemsOpensItsFileList)
{
    ASSERT_TRUE(m_info.AddItem(L"note.txt", MakeFile(L"note.txt").c_str(), FALSE));
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONUP, POINT{ 210, 160 });
    ASSERT_TRUE(PumpUntil([&] { return box.m_pFileList != nullptr; }));
    EXPECT_TRUE(LogHas("<boxwnd> delayed click"));
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
    HWND list = box.m_pFileList->GetSafeHwnd();
    ASSERT_TRUE(list && ::IsWindow(list));
    EXPECT_EQ(box.m_hWnd, ::GetWindow(list, GW_OWNER));
    EXPECT_TRUE(g_bFileListOpen);

    // A second open is refused while the list is there.
    CFileListWnd* first = box.m_pFileList.get();
    box.OpenFileList(TRUE);
    EXPECT_EQ(first, box.m_pFileList.get());

    // A close request that names another list changes nothing.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_CLOSE, 0));
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_CLOSE, reinterpret_cast<LPARAM>(&box)));
    EXPECT_EQ(first, box.m_pFileList.get());
    EXPECT_TRUE(::IsWindow(list));

    // The list's own request closes it: window first, then the object.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_CLOSE, reinterpret_cast<LPARAM>(first)));
    EXPECT_EQ(nullptr, box.m_pFileList.get());
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_FALSE(g_bFileListOpen);
    PumpPending();
}

TEST_F(BoxClick, OpeningAnItemFromTheListClosesTheList)
{
    ASSERT_TRUE(m_info.AddItem(L"note.txt", MakeFile(L"note.txt").c_str(), FALSE));
    CTarneloWnd box;
    MakeBox(box);
    box.OpenFileList(TRUE);
    ASSERT_NE(nullptr, box.m_pFileList.get());
    HWND list = box.m_pFileList->GetSafeHwnd();
    // An index past the items: the list goes, nothing is started.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_OPEN, 5));
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_FALSE(LogHas("ShellExecute failed"));
    // The destroyed list asks to be deleted; then a new list may open.
    ASSERT_TRUE(PumpUntil([&] { return box.m_pFileList == nullptr; }));
    box.OpenFileList(TRUE);
    EXPECT_NE(nullptr, box.m_pFileList.get());
}

TEST_F(BoxClick, ABoxGoesWithItsOpenList)
{
    ASSERT_TRUE(m_info.AddItem(L"note.txt", MakeFile(L"note.txt").c_str(), FALSE));
    HWND list = nullptr;
    {
        CTarneloWnd box;
        MakeBox(box);
        box.OpenFileList(TRUE);
        ASSERT_NE(nullptr, box.m_pFileList.get());
        list = box.m_pFileList->GetSafeHwnd();
    }
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_FALSE(g_bFileListOpen);
    PumpPending();
}

TEST_F(BoxClick, AClickAwayFromTheBoxOrWithoutHoverArmsNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_LBUTTONUP, POINT{ 210, 160 });  // not hovered
    box.m_bHover = TRUE;
    Mouse(box, WM_LBUTTONUP, POINT{ 700, 700 });  // outside
    EXPECT_FALSE(LogHas("<boxwnd> click"));
}

TEST_F(BoxClick, ADoubleClickCancelsTheClickAndEditsTheBox)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONUP, POINT{ 210, 160 });
    Mouse(box, WM_LBUTTONDBLCLK, POINT{ 210, 160 }, MK_LBUTTON);
    EXPECT_FALSE(box.m_bHover);
    EXPECT_TRUE(box.m_bCommandPending);
    EXPECT_TRUE(box.IsBusy());
    PumpPending();
    const auto* e = m_manager.Last(BOXEVENT_EDIT_BOX);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(box.RequestId(), e->value);
    // The pending flag ends by its own timer; the click never fires.
    ASSERT_TRUE(PumpUntil([&] { return !box.m_bCommandPending; }));
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
    EXPECT_FALSE(LogHas("<boxwnd> delayed click"));
}

TEST_F(BoxClick, AClickWhileTheEditDialogIsOpenArmsNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    box.m_bHover = TRUE;
    g_bBoxDialogOpen = TRUE;
    Mouse(box, WM_LBUTTONUP, POINT{ 210, 160 });
    EXPECT_TRUE(LogHas("<boxwnd> click"));
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(LogHas("<boxwnd> delayed click"));
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
}

TEST_F(BoxClick, FileListMessagesReportChangesAndNeedNoList)
{
    CTarneloWnd box;
    MakeBox(box);
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_UPDATE, 0));
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_OPEN, 3));
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_CLOSE, 0));
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, 7, 0));
    PumpPending();
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    EXPECT_EQ(1u, m_manager.events.size());
}

TEST_F(BoxClick, OpeningAnItemThatIsNotThereDoesNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    box.ExecuteItem(0);
    box.ExecuteItem(-1);
    box.ExecuteItem(1000);
    EXPECT_FALSE(LogHas("ShellExecute failed"));
}

// ---- Keys, activation and the hot key ---------------------------------------------------------

using BoxKeys = BoxWndTest;

TEST_F(BoxKeys, KeysGoToTheManager)
{
    CTarneloWnd box;
    MakeBox(box);
    // Coming up active with the cursor elsewhere counts as an Alt+Tab entry; not here.
    box.m_bKeyboardMode = FALSE;
    ::SendMessageW(box.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    PumpPending();
    const auto* e = m_manager.Last(BOXEVENT_KEY);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(VK_DOWN, e->value);
}

TEST_F(BoxKeys, AltTabEntrySelectsTheBoxAtTheFirstKey)
{
    CTarneloWnd box;
    MakeBox(box, true);
    // As at start: the first activation is the box coming up.
    g_bFirstActivation = TRUE;
    box.m_bKeyboardMode = FALSE;
    ::SetCursorPos(900, 900);
    ::SendMessageW(box.m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(g_bFirstActivation);
    EXPECT_FALSE(box.m_bKeyboardMode);  // the first activation only clears the flag
    ::SendMessageW(box.m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(box.m_bKeyboardMode);
    ::SendMessageW(box.m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(box.m_bKeyboardMode);
    ::SendMessageW(box.m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(box.m_bKeyboardMode);

    ::SendMessageW(box.m_hWnd, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(box.m_bKeyboardMode);
    PumpPending();
    const auto* e = m_manager.Last(BOXEVENT_KEY);
    ASSERT_NE(nullptr, e);
    // The cursor went to the box (left + 10, top + 10), so the key became Up.
    POINT at = {};
    ::GetCursorPos(&at);
    EXPECT_EQ(210, at.x);
    EXPECT_EQ(160, at.y);
    EXPECT_EQ(VK_UP, e->value);
    EXPECT_TRUE(box.m_bHover);
}

TEST_F(BoxKeys, TheHotKeySelectsTheBoxWhenItsModifiersMatch)
{
    m_info.m_nHotKeyModifiers = MOD_CONTROL | MOD_ALT;
    m_info.m_nHotKeyKey = 0;
    CTarneloWnd box;
    MakeBox(box);
    ::SetCursorPos(900, 900);
    ::SendMessageW(box.m_hWnd, WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'B'));
    PumpPending();
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_HOT_KEY_SELECTION));
    EXPECT_EQ(static_cast<UINT>('B'), m_info.m_nHotKeyKey);
    POINT at = {};
    ::GetCursorPos(&at);
    EXPECT_EQ(210, at.x);
    EXPECT_EQ(160, at.y);
    EXPECT_TRUE(box.m_bHover);
    EXPECT_EQ(box.m_hWnd, ::GetCapture());

    // Other modifiers: ignored, logged, no selection.
    ::SendMessageW(box.m_hWnd, WM_HOTKEY, 1, MAKELPARAM(MOD_SHIFT, 'B'));
    PumpPending();
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_HOT_KEY_SELECTION));
    EXPECT_TRUE(LogHas("<boxwnd> ignored."));
}

TEST_F(BoxKeys, SelectionAndHighlight)
{
    CTarneloWnd box;
    MakeBox(box);
    // A cursor already over the box keeps its x; one elsewhere goes to left + 10.
    ::SetCursorPos(300, 500);
    box.Select();
    POINT at = {};
    ::GetCursorPos(&at);
    EXPECT_EQ(300, at.x);
    EXPECT_EQ(160, at.y);
    EXPECT_TRUE(box.m_bHover);
    ::SetCursorPos(100, 500);
    box.Select();
    ::GetCursorPos(&at);
    EXPECT_EQ(210, at.x);
    EXPECT_EQ(160, at.y);
    // Over the size strip or on the right edge the box would not be hovered: left + 10 too.
    for (const int x : { 355, 360 }) {
        box.Deselect();
        ::SetCursorPos(x, 500);
        box.Select();
        ::GetCursorPos(&at);
        EXPECT_EQ(210, at.x) << x;
        EXPECT_TRUE(box.m_bHover) << x;
    }
    box.Deselect();
    EXPECT_FALSE(box.m_bHover);
    EXPECT_NE(box.m_hWnd, ::GetCapture());
    // The cursor leaves, so no real mouse move hovers the box again.
    ::SetCursorPos(1200, 1000);
    PumpPending();
    box.m_bHover = FALSE;
    box.SetHighlight(TRUE);
    EXPECT_TRUE(box.m_bHighlight);
    PumpPending();
    EXPECT_EQ(255, Red(BackBufferPixel(box, 159, 39)));
    box.SetHighlight(FALSE);
    EXPECT_FALSE(box.m_bHighlight);
}

}  // namespace
