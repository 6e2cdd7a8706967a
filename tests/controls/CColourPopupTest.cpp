// The colour popup on the test display: its table, cell layout and hit-testing, the chosen
// and hot cells, hovering, keys, clicks, the colour dialog behind "Other color...", keeping
// on the screen, and its painting.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "controls/CColourPopup.h"
#include "controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Utility::CColourPopup;

namespace {

constexpr COLORREF kBlue = 0xFF0000;       // cell 13
constexpr COLORREF kOffTable = 0x123456;   // in no cell

// Finds the dialog box that this thread shows now, or null.
HWND FindThreadDialog()
{
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM data) -> BOOL {
            wchar_t cls[32] = {};
            ::GetClassNameW(hWnd, cls, 32);
            if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(hWnd)) {
                *reinterpret_cast<HWND*>(data) = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// What the timer does to the colour dialog once it is up.
UINT g_dialogCommand = IDCANCEL;
bool g_dialogSeen = false;

void CALLBACK AnswerColourDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    if (HWND dialog = FindThreadDialog()) {
        ::KillTimer(nullptr, id);
        g_dialogSeen = true;
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_dialogCommand, BN_CLICKED), 0);
    }
}

class ColourPopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ParkCursor();
        ASSERT_TRUE(parent.Create(100, 100, 300, 40));
        margin = ::GetSystemMetrics(SM_CXEDGE);
    }
    void TearDown() override
    {
        if (::IsWindow(popupWnd))
            ::DestroyWindow(popupWnd);  // the popup deletes itself
        Pump();
        ParkCursor();
    }

    CColourPopup* Open(COLORREF colour, const wchar_t* autoText = L"Auto", const wchar_t* otherText = L"Other color...",
                       int x = 120, int y = 150)
    {
        popup = new CColourPopup(x, y, colour, &parent, autoText, otherText);
        popupWnd = popup->GetSafeHwnd();
        return popup;
    }
    POINT Centre(int index) const
    {
        RECT r = {};
        EXPECT_TRUE(popup->GetCellRect(index, &r)) << index;
        return { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    }
    void Hover(int index)
    {
        const POINT p = Centre(index);
        ::SendMessageW(popupWnd, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
    void Key(UINT key) { ::SendMessageW(popupWnd, WM_KEYDOWN, key, 0); }
    // Releases the button at a screen point, as the mouse does: the message carries the
    // cursor position of its posting.
    void ReleaseAt(POINT screen)
    {
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageW(popupWnd, WM_LBUTTONUP, 0, 0);
        PumpUntil([&] { return !::IsWindow(popupWnd); }, 3000);
    }

    CParentWnd parent;
    CColourPopup* popup = nullptr;
    HWND popupWnd = nullptr;
    int margin = 2;
};

}  // namespace

TEST(ColourTable, FortyNamedColoursAsStored)
{
    ASSERT_EQ(40, CColourPopup::kColourCount);
    EXPECT_EQ(0x000000u, CColourPopup::ColourTable[0].crColour);
    EXPECT_STREQ(L"Black", CColourPopup::ColourTable[0].szName);
    EXPECT_EQ(0x002AA5u, CColourPopup::ColourTable[1].crColour);
    EXPECT_EQ(0x82004Bu, CColourPopup::ColourTable[6].crColour);
    EXPECT_EQ(0x2068FFu, CColourPopup::ColourTable[9].crColour);
    EXPECT_EQ(kBlue, CColourPopup::ColourTable[13].crColour);
    EXPECT_STREQ(L"Blue", CColourPopup::ColourTable[13].szName);
    EXPECT_EQ(0x0000FFu, CColourPopup::ColourTable[16].crColour);
    EXPECT_EQ(0xD4FF7Fu, CColourPopup::ColourTable[20].crColour);
    EXPECT_STREQ(L"Pale green ", CColourPopup::ColourTable[35].szName);
    EXPECT_EQ(0x8B8368u, CColourPopup::ColourTable[37].crColour);
    EXPECT_EQ(0xFFFFFFu, CColourPopup::ColourTable[39].crColour);
    EXPECT_STREQ(L"White", CColourPopup::ColourTable[39].szName);
    EXPECT_EQ(0xFF000000u, COLOR_AUTOMATIC);
    EXPECT_EQ(WM_USER + 1001u, static_cast<UINT>(WM_COLOR_SELCHANGE));
    EXPECT_EQ(WM_USER + 1005u, static_cast<UINT>(WM_COLOR_SELENDCANCEL));
}

TEST_F(ColourPopupTest, LayoutOfBoxesAndCells)
{
    Open(kBlue);
    ASSERT_TRUE(::IsWindow(popupWnd));
    const int cell = popup->GetCellSize();
    EXPECT_EQ(18, cell);
    EXPECT_EQ(margin, popup->GetMargin());

    RECT window = {};
    ::GetWindowRect(popupWnd, &window);
    EXPECT_EQ(120, window.left);
    EXPECT_EQ(150, window.top);
    const int width = window.right - window.left;
    EXPECT_EQ(8 * cell + 2 * margin, width);  // both texts are narrower than the cells

    RECT autoBox = {}, other = {}, first = {}, ninth = {}, last = {};
    ASSERT_TRUE(popup->GetCellRect(CColourPopup::CELL_AUTO_BOX, &autoBox));
    ASSERT_TRUE(popup->GetCellRect(CColourPopup::CELL_OTHER_BOX, &other));
    ASSERT_TRUE(popup->GetCellRect(0, &first));
    ASSERT_TRUE(popup->GetCellRect(9, &ninth));
    ASSERT_TRUE(popup->GetCellRect(39, &last));
    EXPECT_FALSE(popup->GetCellRect(40, &last));
    EXPECT_FALSE(popup->GetCellRect(CColourPopup::CELL_NONE, &last));
    popup->GetCellRect(39, &last);

    const int boxHeight = autoBox.bottom - autoBox.top;
    EXPECT_EQ(margin, autoBox.left);
    EXPECT_EQ(margin, autoBox.top);
    EXPECT_EQ(width - margin, autoBox.right);
    EXPECT_GT(boxHeight, 4 * margin + 2);  // a text line plus its padding

    EXPECT_EQ(margin, first.left);
    EXPECT_EQ(autoBox.bottom + margin, first.top);
    EXPECT_EQ(cell, first.right - first.left);
    EXPECT_EQ(cell, first.bottom - first.top);
    EXPECT_EQ(margin + cell, ninth.left);
    EXPECT_EQ(first.top + cell, ninth.top);
    EXPECT_EQ(margin + 8 * cell, last.right);
    EXPECT_EQ(first.top + 5 * cell, last.bottom);

    // "Other color..." starts at the popup's height so far and is as high as "Auto".
    EXPECT_EQ(last.bottom + 2 * margin, other.top);
    EXPECT_EQ(margin, other.left);
    EXPECT_EQ(width - margin, other.right);
    EXPECT_EQ(boxHeight, other.bottom - other.top);
    EXPECT_EQ(other.bottom + 2 * margin, window.bottom - window.top);

    HWND tip = popup->GetToolTip();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(40, ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(ColourPopupTest, WithoutTextsOnlyCells)
{
    Open(kBlue, nullptr, L"");
    RECT window = {}, first = {}, box = {};
    ::GetWindowRect(popupWnd, &window);
    EXPECT_EQ(8 * 18 + 2 * margin, window.right - window.left);
    EXPECT_EQ(5 * 18 + 2 * margin, window.bottom - window.top);
    ASSERT_TRUE(popup->GetCellRect(0, &first));
    EXPECT_EQ(margin, first.top);
    EXPECT_FALSE(popup->GetCellRect(CColourPopup::CELL_AUTO_BOX, &box));
    EXPECT_FALSE(popup->GetCellRect(CColourPopup::CELL_OTHER_BOX, &box));
}

TEST_F(ColourPopupTest, WideTextWidensThePopup)
{
    const wchar_t* wide = L"A rather long label for the automatic colour, wider than all cells";
    Open(kBlue, wide, L"Other color...");
    RECT window = {}, autoBox = {}, other = {};
    ::GetWindowRect(popupWnd, &window);
    popup->GetCellRect(CColourPopup::CELL_AUTO_BOX, &autoBox);
    popup->GetCellRect(CColourPopup::CELL_OTHER_BOX, &other);
    const int width = window.right - window.left;
    EXPECT_GT(width, 8 * 18 + 2 * margin);
    EXPECT_EQ(width - margin, autoBox.right);
    EXPECT_EQ(width - margin, other.right);
}

TEST_F(ColourPopupTest, HitTestFollowsWhatIsDrawn)
{
    Open(kBlue);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(i, popup->HitTest(Centre(i))) << i;
    EXPECT_EQ(CColourPopup::CELL_AUTO_BOX, popup->HitTest(Centre(CColourPopup::CELL_AUTO_BOX)));
    EXPECT_EQ(CColourPopup::CELL_OTHER_BOX, popup->HitTest(Centre(CColourPopup::CELL_OTHER_BOX)));

    RECT first = {}, ninth = {}, autoBox = {};
    popup->GetCellRect(0, &first);
    popup->GetCellRect(9, &ninth);
    popup->GetCellRect(CColourPopup::CELL_AUTO_BOX, &autoBox);
    // The corners of a cell belong to it; the frame and the gap under "Auto" to nothing.
    EXPECT_EQ(9, popup->HitTest({ ninth.left, ninth.top }));
    EXPECT_EQ(9, popup->HitTest({ ninth.right - 1, ninth.bottom - 1 }));
    EXPECT_EQ(0, popup->HitTest({ first.left, first.top }));
    EXPECT_EQ(CColourPopup::CELL_NONE, popup->HitTest({ 0, first.top + 2 }));
    EXPECT_EQ(CColourPopup::CELL_NONE, popup->HitTest({ first.left + 2, first.top - 1 }));
    EXPECT_EQ(CColourPopup::CELL_NONE, popup->HitTest({ first.left + 2, autoBox.bottom }));
    EXPECT_EQ(CColourPopup::CELL_NONE, popup->HitTest({ first.left + 8 * 18, first.top + 2 }));
}

TEST_F(ColourPopupTest, ChosenCellFromTheOpeningColour)
{
    Open(kBlue);
    EXPECT_EQ(13, popup->GetChosenSel());
    EXPECT_EQ(CColourPopup::CELL_NONE, popup->GetCurrentSel());
    ::DestroyWindow(popupWnd);

    Open(COLOR_AUTOMATIC);
    EXPECT_EQ(CColourPopup::CELL_AUTO_BOX, popup->GetChosenSel());
    ::DestroyWindow(popupWnd);

    Open(kOffTable);
    EXPECT_EQ(CColourPopup::CELL_OTHER_BOX, popup->GetChosenSel());
    ::DestroyWindow(popupWnd);

    Open(kOffTable, L"Auto", L"");
    EXPECT_EQ(CColourPopup::CELL_NONE, popup->GetChosenSel());
    ::DestroyWindow(popupWnd);

    // Without an "Auto" box the automatic colour is just a colour in no cell.
    Open(COLOR_AUTOMATIC, L"", L"Other color...");
    EXPECT_EQ(CColourPopup::CELL_OTHER_BOX, popup->GetChosenSel());
}

TEST_F(ColourPopupTest, HoverReportsColoursAndOtherReportsTheInitialOne)
{
    Open(kOffTable);
    Hover(13);
    Hover(13);  // no change, no message
    Hover(CColourPopup::CELL_AUTO_BOX);
    Hover(CColourPopup::CELL_OTHER_BOX);
    const std::vector<Received> expected = {
        { WM_COLOR_SELCHANGE, kBlue, 0 },
        { WM_COLOR_SELCHANGE, COLOR_AUTOMATIC, 0 },
        { WM_COLOR_SELCHANGE, kOffTable, 0 },
    };
    EXPECT_EQ(expected, parent.Colour());
    EXPECT_EQ(CColourPopup::CELL_OTHER_BOX, popup->GetCurrentSel());
    // Hovering "Other color..." keeps the colour last hovered.
    EXPECT_EQ(COLOR_AUTOMATIC, popup->GetCurrentColour());

    // The frame hits nothing: the hot cell stays.
    ::SendMessageW(popupWnd, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(CColourPopup::CELL_OTHER_BOX, popup->GetCurrentSel());
    EXPECT_EQ(3u, parent.Colour().size());
}

TEST_F(ColourPopupTest, ArrowKeysWalkCellsAndBoxes)
{
    Open(kBlue);
    struct Step
    {
        UINT key;
        int expected;
    };
    const int OTHER = CColourPopup::CELL_OTHER_BOX, AUTO = CColourPopup::CELL_AUTO_BOX;
    const Step steps[] = {
        { VK_RIGHT, OTHER }, { VK_RIGHT, AUTO }, { VK_RIGHT, 0 }, { VK_RIGHT, 1 }, { VK_LEFT, 0 },
        { VK_LEFT, AUTO },   { VK_LEFT, OTHER }, { VK_LEFT, 39 }, { VK_DOWN, OTHER }, { VK_DOWN, AUTO },
        { VK_DOWN, 0 },      { VK_DOWN, 8 },     { VK_LEFT, 7 },  { VK_RIGHT, 8 },  { VK_UP, 0 },
        { VK_UP, AUTO },     { VK_UP, OTHER },   { VK_UP, 39 },   { VK_RIGHT, OTHER }, { VK_UP, 39 },
        { VK_UP, 31 },
    };
    for (const Step& step : steps) {
        Key(step.key);
        ASSERT_EQ(step.expected, popup->GetCurrentSel()) << "key " << step.key;
    }
    EXPECT_EQ(CColourPopup::ColourTable[31].crColour, parent.Colour().back().wParam);
}

TEST_F(ColourPopupTest, ArrowKeysWithoutBoxesWrapOverCells)
{
    Open(kBlue, L"", L"");
    Key(VK_RIGHT);
    EXPECT_EQ(0, popup->GetCurrentSel());
    Key(VK_LEFT);
    EXPECT_EQ(39, popup->GetCurrentSel());
    Key(VK_DOWN);
    EXPECT_EQ(0, popup->GetCurrentSel());
    Key(VK_UP);
    EXPECT_EQ(39, popup->GetCurrentSel());
    Key(VK_RIGHT);
    EXPECT_EQ(0, popup->GetCurrentSel());
}

TEST_F(ColourPopupTest, EnterConfirmsAndEscapeCancels)
{
    Open(kOffTable);
    Hover(13);
    Key(VK_RETURN);
    EXPECT_FALSE(::IsWindow(popupWnd));
    ASSERT_FALSE(parent.Colour().empty());
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kBlue, 0 }), parent.Colour().back());

    parent.received.clear();
    Open(kOffTable);
    Hover(13);
    Key(VK_ESCAPE);
    EXPECT_FALSE(::IsWindow(popupWnd));
    EXPECT_EQ((Received{ WM_COLOR_SELENDCANCEL, kOffTable, 0 }), parent.Colour().back());

    parent.received.clear();
    Open(kBlue);
    Key(VK_SPACE);  // nothing hovered: the opening colour
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kBlue, 0 }), parent.Colour().back());
}

TEST_F(ColourPopupTest, ButtonUpInsideConfirmsOutsideCancels)
{
    Open(kOffTable);
    RECT window = {};
    ::GetWindowRect(popupWnd, &window);
    Hover(16);
    // On the frame, on no cell: the colour last hovered.
    ReleaseAt({ window.left + 1, window.top + 1 });
    EXPECT_FALSE(::IsWindow(popupWnd));
    ASSERT_FALSE(parent.Colour().empty());
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, 0x0000FF, 0 }), parent.Colour().back());

    parent.received.clear();
    Open(kOffTable);
    ReleaseAt({ window.left + 1, window.top + 1 });
    ASSERT_FALSE(parent.Colour().empty());
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kOffTable, 0 }), parent.Colour().back());

    parent.received.clear();
    Open(kOffTable);
    Hover(16);
    ReleaseAt({ window.right + 40, window.bottom + 40 });
    EXPECT_FALSE(::IsWindow(popupWnd));
    ASSERT_FALSE(parent.Colour().empty());
    EXPECT_EQ((Received{ WM_COLOR_SELENDCANCEL, kOffTable, 0 }), parent.Colour().back());
}

TEST_F(ColourPopupTest, OtherColourOpensTheColourDialog)
{
    // Cancelling the dialog cancels the whole choice.
    Open(kBlue);
    Hover(CColourPopup::CELL_OTHER_BOX);
    g_dialogCommand = IDCANCEL;
    g_dialogSeen = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, AnswerColourDialog);
    Key(VK_RETURN);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_dialogSeen);
    EXPECT_FALSE(::IsWindow(popupWnd));
    ASSERT_FALSE(parent.Colour().empty());
    EXPECT_EQ((Received{ WM_COLOR_SELENDCANCEL, kBlue, 0 }), parent.Colour().back());

    // OK gives the dialog's colour; it opens on the popup's colour.
    parent.received.clear();
    Open(kOffTable);
    Hover(CColourPopup::CELL_OTHER_BOX);
    g_dialogCommand = IDOK;
    g_dialogSeen = false;
    const UINT_PTR timer2 = ::SetTimer(nullptr, 0, 100, AnswerColourDialog);
    Key(VK_SPACE);
    ::KillTimer(nullptr, timer2);
    EXPECT_TRUE(g_dialogSeen);
    EXPECT_FALSE(::IsWindow(popupWnd));
    ASSERT_FALSE(parent.Colour().empty());
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kOffTable, 0 }), parent.Colour().back());
}

TEST_F(ColourPopupTest, KeepsOnTheScreen)
{
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    RECT window = {}, parentRect = {};

    Open(kBlue, L"Auto", L"Other color...", screenWidth - 50, 150);
    ::GetWindowRect(popupWnd, &window);
    EXPECT_EQ(screenWidth, window.right);
    EXPECT_EQ(150, window.top);
    ::DestroyWindow(popupWnd);

    Open(kBlue, L"Auto", L"Other color...", -30, 150);
    ::GetWindowRect(popupWnd, &window);
    EXPECT_EQ(0, window.left);
    ::DestroyWindow(popupWnd);

    // Too low: right above the "button" (here the test window) it was opened under.
    ::GetWindowRect(parent, &parentRect);
    Open(kBlue, L"Auto", L"Other color...", 300, screenHeight - 20);
    ::GetWindowRect(popupWnd, &window);
    const int height = window.bottom - window.top;
    EXPECT_EQ(screenHeight - 20 - height - (parentRect.bottom - parentRect.top), window.top);
    EXPECT_EQ(300, window.left);
}

TEST_F(ColourPopupTest, PaintsCellsWithChosenAndHotMarks)
{
    Open(kBlue);
    Hover(16);
    ::UpdateWindow(popupWnd);
    RECT blue = {}, red = {}, white = {};
    popup->GetCellRect(13, &blue);
    popup->GetCellRect(16, &red);
    popup->GetCellRect(39, &white);
    auto screen = [&](const RECT& cell, int dx, int dy) {
        return WindowPixel(popupWnd, cell.left + dx, cell.top + dy);
    };
    EXPECT_EQ(kBlue, screen(blue, 9, 9));
    EXPECT_EQ(0x0000FFu, screen(red, 9, 9));
    EXPECT_EQ(0xFFFFFFu, screen(white, 9, 9));
    // Between edge and swatch: the chosen cell is lit, the others (and the hot one) are not.
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), screen(blue, margin, margin));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), screen(white, margin, margin));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), screen(red, margin, margin));
    // The swatch's outline.
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), screen(white, margin + 1, 9));
    // A raised edge: light at the top left of the hot cell, a sunken one: dark there.
    EXPECT_NE(::GetSysColor(COLOR_BTNSHADOW), screen(red, 0, 0));
    EXPECT_NE(::GetSysColor(COLOR_BTNFACE), screen(blue, 0, 0));
}
