// The box window for real on the test display: creation, drawing into the back buffer,
// mouse sequences, clicks, the menu's commands, keys, the hot key and dropped files, each
// observed through the events a recording manager receives.
#include "BoxWndTestSupport.h"

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/WizardTestSupport.h"
#include "resources/resource.h"
#include "windows/BoxGeometry.h"
#include "windows/CFileListWnd.h"

using namespace boxtest;

namespace {

std::wstring WindowText(HWND hWnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hWnd, text, 256);
    return text;
}

// ---- Creation --------------------------------------------------------------------------------

using BoxCreate = BoxWndTest;

TEST_F(BoxCreate, AppearsAtTheRecordPositionAsALayeredPopupOwnedByTheManager)
{
    CTarneloWnd box;
    MakeBox(box, true);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(150, r.top);
    EXPECT_EQ(160, r.right - r.left);  // icon cell 40 + title 120
    EXPECT_EQ(40, r.bottom - r.top);   // icon cell height
    RECT kept = {};
    box.GetRect(kept);
    EXPECT_TRUE(::EqualRect(&r, &kept));
    const LONG_PTR exStyle = ::GetWindowLongPtrW(box.m_hWnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);  // the first box shows in Alt+Tab
    EXPECT_TRUE(::GetWindowLongPtrW(box.m_hWnd, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(L"TarneloApps", WindowText(box.m_hWnd));
    EXPECT_EQ(CString(L"Apps"), box.GetName());
    EXPECT_EQ(m_manager.m_hWnd, ::GetWindow(box.m_hWnd, GW_OWNER));
    EXPECT_TRUE(::GetWindowLongPtrW(box.m_hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    Model::CTarneloInfo second;
    second.m_strName = L"Tools";
    second.m_pos = POINT{ 400, 300 };
    CTarneloWnd other;
    MakeBox(other, false, &second);
    EXPECT_TRUE(::GetWindowLongPtrW(other.m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    ::GetWindowRect(other.m_hWnd, &r);
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(300, r.top);
}

TEST_F(BoxCreate, RefusesAMissingRecordStyleOrSettings)
{
    CTarneloWnd a, b, c;
    EXPECT_FALSE(a.Create(nullptr, &m_manager, WM_BOXMSG, &m_style, &m_config, TRUE));
    EXPECT_FALSE(b.Create(&m_info, &m_manager, WM_BOXMSG, nullptr, &m_config, TRUE));
    EXPECT_FALSE(c.Create(&m_info, &m_manager, WM_BOXMSG, &m_style, nullptr, TRUE));
    EXPECT_EQ(nullptr, a.m_hWnd);
    EXPECT_EQ(nullptr, b.m_hWnd);
    EXPECT_EQ(nullptr, c.m_hWnd);
    EXPECT_TRUE(a.GetName().IsEmpty());  // no record, no name
}

// ---- Hot key registration -----------------------------------------------------------------------

constexpr UINT kTestMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr UINT kTestKey = VK_F9;

// TRUE when the key is free: a probe window can take it (and gives it back).
bool HotKeyIsFree(HWND probe, UINT mods, UINT key)
{
    if (!::RegisterHotKey(probe, 77, mods, key))
        return false;
    ::UnregisterHotKey(probe, 77);
    return true;
}

TEST_F(BoxCreate, RegistersTheRecordsHotKeyAndReportsATakenKey)
{
    ASSERT_TRUE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
    m_info.m_nHotKeyModifiers = kTestMods;
    m_info.m_nHotKeyKey = kTestKey;
    {
        CTarneloWnd box;
        MakeBox(box);
        EXPECT_FALSE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
        EXPECT_TRUE(LogHas("<boxwnd> register hot key"));

        // A second box with the same key still comes up; the refusal is logged as an error.
        Model::CTarneloInfo twin;
        twin.m_strName = L"Twin";
        twin.m_nHotKeyModifiers = kTestMods;
        twin.m_nHotKeyKey = kTestKey;
        CTarneloWnd other;
        MakeBox(other, false, &twin);
        EXPECT_NE(nullptr, other.m_hWnd);
        const std::string logs = Logs();
        EXPECT_NE(std::string::npos, logs.find("ERR!")) << logs;
        EXPECT_NE(std::string::npos, logs.find("<boxwnd> RegisterHotKey failed")) << logs;
        EXPECT_NE(std::string::npos, logs.find("1409")) << logs;
        EXPECT_FALSE(other.ReRegisterHotKey());

        // Key 0 after the options changed: the old key is given up, nothing is registered.
        m_info.m_nHotKeyKey = 0;
        EXPECT_TRUE(box.ReRegisterHotKey());
        EXPECT_TRUE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
        // And a new key is taken.
        m_info.m_nHotKeyKey = kTestKey;
        EXPECT_TRUE(box.ReRegisterHotKey());
        EXPECT_FALSE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
    }
    // A destroyed box gives its key back.
    EXPECT_TRUE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
}

TEST_F(BoxCreate, KeyZeroRegistersNothing)
{
    m_info.m_nHotKeyModifiers = kTestMods;
    m_info.m_nHotKeyKey = 0;
    CTarneloWnd box;
    MakeBox(box);
    EXPECT_FALSE(LogHas("<boxwnd> register hot key"));
    EXPECT_FALSE(LogHas("RegisterHotKey failed"));
    EXPECT_TRUE(box.ReRegisterHotKey());
}

// ---- Drawing --------------------------------------------------------------------------------------

using BoxDraw = BoxWndTest;

TEST_F(BoxDraw, HoverAndHighlightFillTheWholeBoxHoverOnTop)
{
    CTarneloWnd box;
    MakeBox(box);
    const int w = 160, h = 40;
    box.Redraw();
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, w - 1, h - 1)));

    box.m_bHighlight = TRUE;
    box.Redraw();
    DWORD px = BackBufferPixel(box, w - 1, h - 1);
    EXPECT_EQ(255, Alpha(px));
    EXPECT_EQ(255, Red(px));
    EXPECT_EQ(0, Blue(px));
    EXPECT_EQ(255, Red(BackBufferPixel(box, 0, 0)));

    // The highlight shows only while the style's selection fill is on.
    m_style.m_bHotKeySelection = FALSE;
    box.Redraw();
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, w - 1, h - 1)));
    m_style.m_bHotKeySelection = TRUE;

    box.m_bHover = TRUE;
    box.Redraw();
    px = BackBufferPixel(box, w - 1, h - 1);
    EXPECT_EQ(255, Alpha(px));
    EXPECT_EQ(255, Blue(px));
    EXPECT_EQ(0, Red(px));

    box.m_bHighlight = FALSE;
    box.Redraw();
    px = BackBufferPixel(box, 0, h - 1);
    EXPECT_EQ(255, Blue(px));
}

TEST_F(BoxDraw, RectangleIconBackgroundTurnsOpaqueIntoAlpha254)
{
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 1;
    m_style.m_iconBackColor = 0xFF00FF00;
    CTarneloWnd box;
    MakeBox(box);
    box.Redraw();
    const DWORD corner = BackBufferPixel(box, 0, 0);
    EXPECT_EQ(254, Alpha(corner));
    EXPECT_GE(Green(corner), 250);
    EXPECT_EQ(254, Alpha(BackBufferPixel(box, 39, 39)));
    // The cell ends at its width.
    EXPECT_NE(254, Alpha(BackBufferPixel(box, 40, 39)));

    // A translucent colour is drawn as given.
    m_style.m_iconBackColor = 0x8000FF00;
    box.Redraw();
    EXPECT_EQ(0x80, Alpha(BackBufferPixel(box, 20, 20)));
}

TEST_F(BoxDraw, RoundedIconBackgroundKeepsOpaqueAndRoundsItsCorners)
{
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 2;
    m_style.m_iconBackColor = 0xFF00FF00;
    CTarneloWnd box;
    MakeBox(box);
    box.Redraw();
    const DWORD middle = BackBufferPixel(box, 20, 20);
    EXPECT_EQ(255, Alpha(middle));
    EXPECT_EQ(255, Green(middle));
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 0, 0)));

    // Shapes other than 1 and 2 draw no background.
    m_style.m_nIconBackShape = 3;
    box.Redraw();
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 20, 20)));
}

TEST_F(BoxDraw, RoundRectPathUsesTheSmallestOfWidthHeightAndDiameter)
{
    Gdiplus::GraphicsPath path;
    // Diameter 20 in a 40x40 box: the corner point (2, 2) lies outside the arc.
    CTarneloWnd::AddRoundRectPath(&path, 0, 0, 40, 40, 20);
    EXPECT_FALSE(path.IsVisible(2, 2));
    EXPECT_TRUE(path.IsVisible(10, 10));
    EXPECT_TRUE(path.IsVisible(20, 20));
    // Diameter 4: the same point is inside.
    CTarneloWnd::AddRoundRectPath(&path, 0, 0, 40, 40, 4);
    EXPECT_TRUE(path.IsVisible(2, 2));
    // A diameter larger than the width shrinks to the width (10): a pill shape.
    CTarneloWnd::AddRoundRectPath(&path, 0, 0, 10, 40, 100);
    EXPECT_TRUE(path.IsVisible(5, 20));
    EXPECT_FALSE(path.IsVisible(0, 1));
    // The path is reset each time: one figure only.
    Gdiplus::GraphicsPathIterator it(&path);
    EXPECT_EQ(1, it.GetSubpathCount());
}

TEST_F(BoxDraw, TitleBesideTheIconCellOrAtTheLeftIsCentredWithinItsMargins)
{
    CTarneloWnd box;
    MakeBox(box);
    box.Redraw();
    const RECT title = { 40, 0, 160, 40 };
    const RECT cell = { 0, 0, 40, 40 };
    EXPECT_GT(InkCount(box, title), 20);
    EXPECT_EQ(0, InkCount(box, cell));
    int firstShown = -1;
    for (int x = 0; x < 160 && firstShown < 0; ++x) {
        for (int y = 0; y < 40; ++y) {
            if (Alpha(BackBufferPixel(box, x, y)) != 0) {
                firstShown = x;
                break;
            }
        }
    }

    // Icon hidden: no icon background, and the title starts at x 0.
    m_style.m_nIconDisplay = 2;
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 1;
    m_style.m_iconBackColor = 0xFF00FF00;
    box.ResizeBox(160, 40);
    box.Redraw();
    int firstHidden = -1;
    for (int x = 0; x < 160 && firstHidden < 0; ++x) {
        for (int y = 0; y < 40; ++y) {
            const DWORD px = BackBufferPixel(box, x, y);
            EXPECT_FALSE(Alpha(px) == 254 && Green(px) > 200) << x << "," << y;
            if (Alpha(px) != 0) {
                firstHidden = x;
                break;
            }
        }
    }
    ASSERT_GE(firstShown, 0);
    ASSERT_GE(firstHidden, 0);
    EXPECT_EQ(40, firstShown - firstHidden);

    // No name, no ink.
    m_info.m_strName = L"";
    box.Redraw();
    EXPECT_EQ(0, InkCount(box, RECT{ 0, 0, 160, 40 }));

    // Centred on what the margins leave of the box's height, also below a top margin.
    m_style.m_nIconDisplay = 0;
    m_style.m_titleStyle.SetAlignment(0, 1);
    m_info.m_strName = L"Tools";
    for (const int topMargin : { 0, 10 }) {
        m_style.m_titleMargins = MARGINS{ 4, 4, topMargin, 0 };
        box.Redraw();
        EXPECT_NEAR(topMargin + (40 - topMargin) / 2.0, InkMiddleY(box, RECT{ 40, 0, 160, 40 }, 0), 1.0)
            << topMargin;
    }
}

Gdiplus::Bitmap* RedSquare(int size)
{
    auto* bitmap = new Gdiplus::Bitmap(size, size, PixelFormat32bppARGB);
    Gdiplus::Graphics g(bitmap);
    Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
    g.FillRectangle(&red, 0, 0, size, size);
    return bitmap;
}

TEST_F(BoxDraw, HalfSizeShrinksOnly32PixelImages)
{
    CTarneloWnd box;
    MakeBox(box);
    delete box.m_pIconImage;
    box.m_pIconImage = RedSquare(32);

    m_style.m_nIconDisplay = 0;
    box.Redraw();
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 10, 4 + 10)));
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 26, 4 + 26)));

    m_style.m_nIconDisplay = 1;
    box.Redraw();
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 8, 4 + 8)));
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 4 + 26, 4 + 8)));
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 4 + 8, 4 + 26)));

    // 48 pixels: drawn at full size even in half-size mode.
    delete box.m_pIconImage;
    box.m_pIconImage = RedSquare(48);
    box.Redraw();
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 30, 4 + 30)));
}

TEST_F(BoxDraw, OtherStyleKindsDrawOnlyTheFills)
{
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 1;
    m_style.m_iconBackColor = 0xFF00FF00;
    CTarneloWnd box;
    MakeBox(box);
    delete box.m_pIconImage;
    box.m_pIconImage = RedSquare(32);
    m_style.m_nKind = 1;
    box.Redraw();
    EXPECT_EQ(0, InkCount(box, RECT{ 0, 0, 160, 40 }));
    box.m_bHover = TRUE;
    box.Redraw();
    const DWORD px = BackBufferPixel(box, 10, 10);
    EXPECT_EQ(255, Blue(px));
    EXPECT_EQ(0, Red(px));
    EXPECT_EQ(0, Green(px));
}

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
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    EXPECT_FALSE(box.m_bMoving);
    g_bDialogOpen = FALSE;
    box.m_bCommandPending = TRUE;
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    EXPECT_FALSE(box.m_bHover);
}

TEST_F(BoxMouse, ALongDragMovesTheBoxAndStoresItsPosition)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    EXPECT_TRUE(box.m_bMoving);
    Mouse(box, WM_MOUSEMOVE, POINT{ 260, 190 }, MK_LBUTTON);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(250, r.left);
    EXPECT_EQ(180, r.top);
    EXPECT_EQ(160, r.right - r.left);
    // The record keeps its place until the drag ends.
    EXPECT_EQ(200, m_info.m_pos.x);
    g_tick += 101;
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
}

TEST_F(BoxMouse, EntireMoveSendsEveryStepToTheManager)
{
    m_config.m_bEntirelyMoveMode = TRUE;
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 220, 170 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 230, 180 }, MK_LBUTTON);
    // Sent, not posted: the manager moved the others within each step.
    ASSERT_EQ(3, m_manager.Count(BOXEVENT_ENTIRELY_MOVE));
    PumpPending();
    EXPECT_EQ(3u, m_manager.events.size());
    EXPECT_EQ(220, box.m_rect.left);
    EXPECT_EQ(210, box.m_ptPrevPos.x);  // the step the manager reads
    g_tick += 500;
    Mouse(box, WM_LBUTTONUP, POINT{ 230, 180 });
    PumpPending();
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
}

TEST_F(BoxMouse, AShortDragIsAClickButStoresWhereTheBoxWasLeft)
{
    CTarneloWnd box;
    MakeBox(box);
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 });
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
    const int minimum = GetMinimumBoxWidth(m_style);
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
    Mouse(box, WM_MOUSEMOVE, POINT{ 210, 160 }, MK_LBUTTON);
    Mouse(box, WM_MOUSEMOVE, POINT{ 260, 200 }, MK_LBUTTON);
    g_tick += 1000;
    Mouse(box, WM_LBUTTONUP, POINT{ 260, 200 });
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
    CFileListWnd* first = box.m_pFileList;
    box.OpenFileList(TRUE);
    EXPECT_EQ(first, box.m_pFileList);

    // A close request that names another list changes nothing.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_CLOSE, 0));
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_CLOSE, reinterpret_cast<LPARAM>(&box)));
    EXPECT_EQ(first, box.m_pFileList);
    EXPECT_TRUE(::IsWindow(list));

    // The list's own request closes it: window first, then the object.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_CLOSE, reinterpret_cast<LPARAM>(first)));
    EXPECT_EQ(nullptr, box.m_pFileList);
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
    ASSERT_NE(nullptr, box.m_pFileList);
    HWND list = box.m_pFileList->GetSafeHwnd();
    // An index past the items: the list goes, nothing is started.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_FILEWNDMSG, FILEWND_OPEN, 5));
    EXPECT_FALSE(::IsWindow(list));
    EXPECT_FALSE(LogHas("ShellExecute failed"));
    // The destroyed list asks to be deleted; then a new list may open.
    ASSERT_TRUE(PumpUntil([&] { return box.m_pFileList == nullptr; }));
    box.OpenFileList(TRUE);
    EXPECT_NE(nullptr, box.m_pFileList);
}

TEST_F(BoxClick, ABoxGoesWithItsOpenList)
{
    ASSERT_TRUE(m_info.AddItem(L"note.txt", MakeFile(L"note.txt").c_str(), FALSE));
    HWND list = nullptr;
    {
        CTarneloWnd box;
        MakeBox(box);
        box.OpenFileList(TRUE);
        ASSERT_NE(nullptr, box.m_pFileList);
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
    EXPECT_EQ(reinterpret_cast<LPARAM>(&box), e->value);
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

// ---- Menu -----------------------------------------------------------------------------------------

struct MenuProbe
{
    static UINT& Command()
    {
        static UINT command = 0;
        return command;
    }
    static int& Calls()
    {
        static int calls = 0;
        return calls;
    }
    static UINT& FixState()
    {
        static UINT state = 0;
        return state;
    }
    static UINT& EntireState()
    {
        static UINT state = 0;
        return state;
    }
    static BOOL& MenuFlag()
    {
        static BOOL flag = FALSE;
        return flag;
    }
    static HWND& Foreground()
    {
        static HWND hWnd = nullptr;
        return hWnd;
    }
    static UINT Track(HMENU menu, HWND, POINT)
    {
        ++Calls();
        FixState() = ::GetMenuState(menu, ID_BOX_FIX_POSITION, MF_BYCOMMAND);
        EntireState() = ::GetMenuState(menu, ID_BOX_ENTIRELY_MOVE, MF_BYCOMMAND);
        MenuFlag() = g_bMenuOpen;
        Foreground() = ::GetForegroundWindow();
        return Command();
    }
};

struct PickProbe
{
    static std::wstring& Folder()
    {
        static std::wstring folder;
        return folder;
    }
    static std::wstring& Answer()
    {
        static std::wstring answer;
        return answer;
    }
    static BOOL Pick(HWND, const CString& folder, CString& path)
    {
        Folder() = folder.GetString();
        if (Answer().empty())
            return FALSE;
        path = Answer().c_str();
        return TRUE;
    }
};

class BoxMenu : public BoxWndTest
{
protected:
    void SetUp() override
    {
        BoxWndTest::SetUp();
        MenuProbe::Calls() = 0;
        MenuProbe::Command() = 0;
        CTarneloWnd::SetTrackMenuHook(&MenuProbe::Track);
        PickProbe::Folder().clear();
        PickProbe::Answer().clear();
        CTarneloWnd::SetPickFileHook(&PickProbe::Pick);
    }
    // Right-clicks the box, picks the command and lets the command arrive.
    void Choose(CTarneloWnd& box, UINT command)
    {
        MenuProbe::Command() = command;
        ::SendMessageW(box.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        PumpPending();
    }
};

TEST_F(BoxMenu, ShowsTheChecksOfTheSettingsAndClearsTheMenuFlag)
{
    CTarneloWnd box;
    MakeBox(box);
    m_config.m_bLock = TRUE;
    m_config.m_bEntirelyMoveMode = FALSE;
    Choose(box, 0);
    ASSERT_EQ(1, MenuProbe::Calls());
    EXPECT_TRUE(MenuProbe::FixState() & MF_CHECKED);
    EXPECT_FALSE(MenuProbe::EntireState() & MF_CHECKED);
    EXPECT_TRUE(MenuProbe::MenuFlag());
    EXPECT_FALSE(g_bMenuOpen);
    // The box is in the foreground while its menu is up, so a click elsewhere closes it.
    EXPECT_EQ(box.m_hWnd, MenuProbe::Foreground());
    EXPECT_TRUE(m_manager.events.empty());

    m_config.m_bLock = FALSE;
    m_config.m_bEntirelyMoveMode = TRUE;
    Choose(box, 0);
    EXPECT_FALSE(MenuProbe::FixState() & MF_CHECKED);
    EXPECT_TRUE(MenuProbe::EntireState() & MF_CHECKED);
}

TEST_F(BoxMenu, AWmNullFollowsTheMenu)
{
    CTarneloWnd box;
    MakeBox(box);
    PumpPending();
    // Called as the manager calls it for the tray icon: no mouse message on the box.
    box.OnRButtonUp(0, POINT{ 0, 0 });
    EXPECT_EQ(1, MenuProbe::Calls());
    bool sawNull = false;
    MSG msg;
    while (::PeekMessageW(&msg, box.m_hWnd, 0, 0, PM_REMOVE))
        sawNull = sawNull || msg.message == WM_NULL;
    EXPECT_TRUE(sawNull);
}

TEST_F(BoxMenu, ABusyBoxShowsNoMenu)
{
    CTarneloWnd box;
    MakeBox(box);
    g_bFileListOpen = TRUE;
    Choose(box, ID_BOX_NEW);
    EXPECT_EQ(0, MenuProbe::Calls());
    EXPECT_TRUE(m_manager.events.empty());
}

TEST_F(BoxMenu, BoxCommandsPostTheirEvents)
{
    CTarneloWnd box;
    MakeBox(box);
    box.m_bHover = TRUE;
    Choose(box, ID_BOX_NEW);
    ASSERT_EQ(1u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_ADD_BOX, m_manager.events[0].code);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&box), m_manager.events[0].value);
    EXPECT_FALSE(box.m_bHover);

    Choose(box, ID_BOX_EDIT);
    ASSERT_EQ(2u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_EDIT_BOX, m_manager.events[1].code);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&box), m_manager.events[1].value);
    EXPECT_TRUE(box.m_bCommandPending);
    // Pending: the menu does not open again until the flag's timer ends it.
    Choose(box, ID_BOX_DELETE);
    EXPECT_EQ(2u, m_manager.events.size());
    ASSERT_TRUE(PumpUntil([&] { return !box.m_bCommandPending; }));

    Choose(box, ID_BOX_DELETE);
    ASSERT_EQ(3u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_DELETE_BOX, m_manager.events[2].code);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&box), m_manager.events[2].value);
    ASSERT_TRUE(PumpUntil([&] { return !box.m_bCommandPending; }));

    Choose(box, ID_BOX_ALIGN);
    ASSERT_EQ(4u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_ALIGN_WINDOW, m_manager.events[3].code);
    EXPECT_EQ(0, m_manager.events[3].value);
}

TEST_F(BoxMenu, SettingTogglesPostUpdateConfig)
{
    CTarneloWnd box;
    MakeBox(box);
    Choose(box, ID_BOX_FIX_POSITION);
    EXPECT_TRUE(m_config.m_bLock);
    Choose(box, ID_BOX_FIX_POSITION);
    EXPECT_FALSE(m_config.m_bLock);
    Choose(box, ID_BOX_ENTIRELY_MOVE);
    EXPECT_TRUE(m_config.m_bEntirelyMoveMode);
    EXPECT_EQ(3, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
    EXPECT_EQ(3u, m_manager.events.size());
}

TEST_F(BoxMenu, ExitAsksFirst)
{
    CTarneloWnd box;
    MakeBox(box);
    MessageBoxAnswers::Answer() = IDNO;
    Choose(box, ID_APP_EXIT_TARNELO);
    ASSERT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_EQ(std::wstring(LoadResString(IDS_EXIT_QUESTION)), MessageBoxAnswers::Asked()[0]);
    EXPECT_TRUE(m_manager.events.empty());
    MessageBoxAnswers::Answer() = IDYES;
    Choose(box, ID_APP_EXIT_TARNELO);
    ASSERT_EQ(1u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_EXIT_APP, m_manager.events[0].code);
}

TEST_F(BoxMenu, VersionShowsTheVersionDialogOverTheBoxAndPostsNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    box.m_bHover = TRUE;
    HWND owner = nullptr;
    wiztest::ModalScript version(L"Version", [&](HWND dialog) {
        owner = ::GetWindow(dialog, GW_OWNER);
        wiztest::Click(dialog, IDOK);
    });
    Choose(box, ID_APP_VERSION);
    EXPECT_TRUE(version.Ran());
    EXPECT_EQ(box.m_hWnd, owner);
    EXPECT_FALSE(box.m_bHover);
    EXPECT_EQ(1, MenuProbe::Calls());
    EXPECT_TRUE(m_manager.events.empty());
}

TEST_F(BoxMenu, RegisteringAProgramAddsItAndSaves)
{
    CTarneloWnd box;
    MakeBox(box);
    // Cancelled: nothing.
    Choose(box, ID_REGISTER_FROM_START_MENU);
    EXPECT_EQ(std::wstring(GetCommonStartMenuFolder()), PickProbe::Folder());
    EXPECT_TRUE(m_info.m_items.empty());
    EXPECT_TRUE(m_manager.events.empty());

    PickProbe::Answer() = MakeFile(L"tool.exe");
    Choose(box, ID_REGISTER_FROM_PROGRAM_FILES);
    EXPECT_EQ(std::wstring(GetProgramFilesFolder()), PickProbe::Folder());
    ASSERT_EQ(1u, m_info.m_items.size());
    EXPECT_EQ(std::wstring(L"tool.exe"), m_info.m_items.front().strName.str());
    EXPECT_EQ(Model::ITEM_TYPE_FILE, m_info.m_items.front().nType);
    ASSERT_EQ(1u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_UPDATE_BOX_INFO, m_manager.events[0].code);
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

// ---- Geometry -----------------------------------------------------------------------------------

using BoxGeometryWnd = BoxWndTest;

TEST_F(BoxGeometryWnd, ResizeAndMoveKeepTheRectangleAndTheRecordInStep)
{
    CTarneloWnd box;
    MakeBox(box);
    box.ResizeBox(300, 50);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(300, r.right - r.left);
    EXPECT_EQ(50, r.bottom - r.top);
    EXPECT_EQ(300, box.m_rcContent.Width);
    EXPECT_EQ(50, box.m_rcContent.Height);
    EXPECT_EQ(200, m_info.m_pos.x);  // resizing does not touch the record

    box.MoveBoxTo(50, 60);
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(50, r.left);
    EXPECT_EQ(60, r.top);
    EXPECT_EQ(300, r.right - r.left);
    EXPECT_EQ(50, m_info.m_pos.x);
    EXPECT_EQ(60, m_info.m_pos.y);
    RECT kept = {};
    box.GetRect(kept);
    EXPECT_TRUE(::EqualRect(&r, &kept));
}

TEST_F(BoxGeometryWnd, DisplayChangeBringsABoxBackAndUnfixesIt)
{
    CTarneloWnd box;
    MakeBox(box);
    m_config.m_bLock = TRUE;
    m_info.m_pos = POINT{ 30000, 30000 };
    EXPECT_EQ(0, ::SendMessageW(box.m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024)));
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_LT(r.left, 1280);
    EXPECT_LT(r.top, 1024);
    EXPECT_EQ(m_info.m_pos.x, r.left);
    EXPECT_EQ(m_info.m_pos.y, r.top);
    EXPECT_FALSE(m_config.m_bLock);

    // A box on the screen stays, and stays fixed.
    m_config.m_bLock = TRUE;
    m_info.m_pos = POINT{ r.left, r.top };
    ::SendMessageW(box.m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_TRUE(m_config.m_bLock);
}

// ---- Dropped files --------------------------------------------------------------------------------

class BoxDrop : public BoxWndTest
{
protected:
    void TearDown() override
    {
        for (const std::wstring& path : m_desktopFiles)
            ::DeleteFileW(path.c_str());
        BoxWndTest::TearDown();
    }

    // A shortcut on the user's desktop to a file of the temporary folder.
    std::wstring MakeDesktopShortcut(const wchar_t* name)
    {
        const std::wstring target = MakeFile((std::wstring(name) + L".txt").c_str());
        wchar_t unique[64];
        _snwprintf(unique, 64, L"%s_%lu.lnk", name, ::GetCurrentProcessId());
        unique[63] = L'\0';
        const std::wstring link = std::wstring(GetDesktopFolder().GetString()) + L"\\" + unique;
        m_desktopFiles.push_back(link);
        EXPECT_TRUE(CreateShortcut(target.c_str(), link.c_str()));
        return link;
    }

    void Drop(CTarneloWnd& box, const std::vector<std::wstring>& paths)
    {
        ::SendMessageW(box.m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
        PumpPending();
    }

    bool NoticeShown(CTarneloWnd& box) const
    {
        return box.m_noticeWnd.m_hWnd && ::IsWindow(box.m_noticeWnd.m_hWnd) &&
               ::IsWindowVisible(box.m_noticeWnd.m_hWnd);
    }

    std::vector<std::wstring> m_desktopFiles;
};

TEST_F(BoxDrop, AFileAndAFolderAreRegisteredWithTheNotice)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring file = MakeFile(L"report.txt");
    const std::wstring folder = m_temp.File(L"Projects");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Drop(box, { file, folder });
    ASSERT_EQ(2u, m_info.m_items.size());
    EXPECT_EQ(Model::ITEM_TYPE_FILE, m_info.m_items.front().nType);
    EXPECT_EQ(std::wstring(L"report.txt"), m_info.m_items.front().strName.str());
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, m_info.m_items.back().nType);
    EXPECT_EQ(std::wstring(L"Projects"), m_info.m_items.back().strName.str());
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    EXPECT_EQ(1u, m_manager.events.size());
    ASSERT_TRUE(NoticeShown(box));
    // Below the title, at the icon cell's width plus 30.
    RECT r = {};
    ::GetWindowRect(box.m_noticeWnd.m_hWnd, &r);
    EXPECT_EQ(200 + 40 + 30, r.left);
    EXPECT_EQ(150 + 40 - 10, r.top);
    EXPECT_EQ(std::wstring(LoadResString(IDS_GOT_IT)), std::wstring(box.m_noticeWnd.m_strText.GetString()));

    // The faded notice tells its box, which closes it.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_NOTICEMSG, 0, 0));
    EXPECT_FALSE(box.m_noticeWnd.m_hWnd && ::IsWindow(box.m_noticeWnd.m_hWnd));
}

TEST_F(BoxDrop, NothingRegisteredShowsNoNoticeAndSavesNothing)
{
    Model::CTarneloInfo broken;  // no box folder: nothing can be placed
    broken.m_strName = L"Broken";
    broken.m_pos = POINT{ 300, 300 };
    CTarneloWnd box;
    MakeBox(box, true, &broken);
    Drop(box, { MakeFile(L"a.txt") });
    EXPECT_TRUE(broken.m_items.empty());
    EXPECT_FALSE(NoticeShown(box));
    EXPECT_TRUE(m_manager.events.empty());
    EXPECT_TRUE(LogHas("<boxwnd> nothing registered"));
}

TEST_F(BoxDrop, OneGoodPathAmongBadOnesIsEnoughForTheNotice)
{
    CTarneloWnd box;
    MakeBox(box);
    // A shortcut that is not there cannot be copied into the box; the file next to it can.
    Drop(box, { m_temp.File(L"missing.lnk"), MakeFile(L"b.txt") });
    EXPECT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(NoticeShown(box));
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
}

TEST_F(BoxDrop, APathLongerThanMaxPathIsReadWhole)
{
    CTarneloWnd box;
    MakeBox(box);
    std::wstring folder = m_temp.Path();
    const std::wstring part = L"\\a_rather_long_folder_name_that_takes_room_0123456789";
    while (folder.size() < 300) {
        folder += part;
        ::CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::wstring path = folder + L"\\deep_file.txt";
    ASSERT_GT(path.size(), 260u);
    TempFolder::WriteBytes(path, { 'x' });
    Drop(box, { path });
    // Whatever the shortcut code makes of it, the box was given the whole path.
    EXPECT_TRUE(LogHas(("<boxinfo> AddItem:" + Utf8(path)).c_str()));
    EXPECT_EQ(!m_info.m_items.empty(), NoticeShown(box));
    EXPECT_EQ(m_info.m_items.empty() ? 0 : 1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
}

TEST_F(BoxDrop, ADesktopShortcutAsksOnceAndYesMovesIt)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring first = MakeDesktopShortcut(L"tarnelo_test_first");
    ASSERT_TRUE(IsDesktopShortcut(first.c_str()));
    MessageBoxAnswers::Answer() = IDYES;
    Drop(box, { first });
    ASSERT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_EQ(std::wstring(LoadResString(IDS_DELETE_DESKTOP_SHORTCUT_QUESTION)), MessageBoxAnswers::Asked()[0]);
    EXPECT_TRUE(m_config.m_bRegisterAndMove);
    EXPECT_TRUE(m_config.m_bRegisterAndMoveConfirmed);
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    ASSERT_EQ(1u, m_info.m_items.size());
    EXPECT_EQ(Model::ITEM_TYPE_SHORTCUT, m_info.m_items.front().nType);
    EXPECT_FALSE(FileExists(first.c_str()));  // moved off the desktop
    EXPECT_TRUE(FileExists(m_info.m_items.front().strPath));

    // The answer stands: a second desktop shortcut is moved without asking.
    const std::wstring second = MakeDesktopShortcut(L"tarnelo_test_second");
    Drop(box, { second });
    EXPECT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_EQ(2u, m_info.m_items.size());
    EXPECT_FALSE(FileExists(second.c_str()));
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
}

TEST_F(BoxDrop, ADesktopShortcutAnsweredNoIsCopied)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring link = MakeDesktopShortcut(L"tarnelo_test_kept");
    MessageBoxAnswers::Answer() = IDNO;
    Drop(box, { link });
    EXPECT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_FALSE(m_config.m_bRegisterAndMove);
    EXPECT_TRUE(m_config.m_bRegisterAndMoveConfirmed);
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
    ASSERT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(FileExists(link.c_str()));  // still on the desktop
    EXPECT_TRUE(FileExists(m_info.m_items.front().strPath));
}

TEST_F(BoxDrop, AShortcutElsewhereAsksNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring target = MakeFile(L"t.txt");
    const std::wstring link = m_temp.File(L"here.lnk");
    ASSERT_TRUE(CreateShortcut(target.c_str(), link.c_str()));
    Drop(box, { link });
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
    EXPECT_FALSE(m_config.m_bRegisterAndMoveConfirmed);
    EXPECT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(FileExists(link.c_str()));
}

}  // namespace
