// The colour popup on the test display: its table, cell layout and hit-testing, the chosen
// and hot cells, hovering, keys, clicks, the colour dialog behind "Other color...", keeping
// on the screen, and its painting.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
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
        if (g_dialogCommand == IDOK)
            ::SetDlgItemTextW(dialog, 706, L"200");  // the red field
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

TEST(ColourTable, NamedColoursAsStored)
{
    const auto& table = CColourPopup::ColourTable;
    EXPECT_EQ(0x002AA5u, table[1].crColour);
    EXPECT_EQ(0x82004Bu, table[6].crColour);
    EXPECT_EQ(0x2068FFu, table[9].crColour);
    EXPECT_EQ(kBlue, table[13].crColour);
    EXPECT_EQ(0xD4FF7Fu, table[20].crColour);
    EXPECT_EQ(0x8B8368u, table[37].crColour);
    EXPECT_STREQ(L"Blue", table[13].szName);
    EXPECT_STREQ(L"Pale green ", table[35].szName);
    EXPECT_STREQ(L"White", table[39].szName);
}

TEST_F(ColourPopupTest, LayoutOfBoxesAndCells)
{
    Open(kBlue);
    ASSERT_TRUE(::IsWindow(popupWnd));
    const int cell = popup->GetCellSize();
    EXPECT_EQ(18, cell);
    RECT window = {}, autoBox = {}, other = {}, first = {}, ninth = {}, last = {};
    ::GetWindowRect(popupWnd, &window);
    EXPECT_EQ(120, window.left);
    EXPECT_EQ(150, window.top);
    const int width = window.right - window.left;
    EXPECT_EQ(8 * cell + 2 * margin, width);  // both texts are narrower than the cells

    ASSERT_TRUE(popup->GetCellRect(CColourPopup::CELL_AUTO_BOX, &autoBox));
    ASSERT_TRUE(popup->GetCellRect(CColourPopup::CELL_OTHER_BOX, &other));
    ASSERT_TRUE(popup->GetCellRect(0, &first));
    ASSERT_TRUE(popup->GetCellRect(9, &ninth));
    ASSERT_TRUE(popup->GetCellRect(39, &last));
    EXPECT_FALSE(popup->GetCellRect(40, &ninth));
    const int boxHeight = autoBox.bottom - autoBox.top;
    EXPECT_EQ((RECT{ margin, margin, width - margin, margin + boxHeight }), autoBox);
    EXPECT_GT(boxHeight, 4 * margin + 2);  // a text line plus its padding
    EXPECT_EQ((RECT{ margin, autoBox.bottom + margin, margin + cell, autoBox.bottom + margin + cell }), first);
    EXPECT_EQ((RECT{ margin + cell, first.top + cell, margin + 2 * cell, first.top + 2 * cell }), ninth);
    EXPECT_EQ(first.top + 5 * cell, last.bottom);
    // "Other color..." starts at the popup's height so far and is as high as "Auto".
    EXPECT_EQ((RECT{ margin, last.bottom + 2 * margin, width - margin, last.bottom + 2 * margin + boxHeight }), other);
    EXPECT_EQ(other.bottom + 2 * margin, window.bottom - window.top);
    ASSERT_NE(nullptr, popup->GetToolTip());
    EXPECT_EQ(40, ::SendMessageW(popup->GetToolTip(), TTM_GETTOOLCOUNT, 0, 0));
    ::DestroyWindow(popupWnd);

    // Without texts only the cells; a wide text widens both boxes.
    Open(kBlue, nullptr, L"");
    ::GetWindowRect(popupWnd, &window);
    EXPECT_EQ(8 * cell + 2 * margin, window.right - window.left);
    EXPECT_EQ(5 * cell + 2 * margin, window.bottom - window.top);
    ASSERT_TRUE(popup->GetCellRect(0, &first));
    EXPECT_EQ(margin, first.top);
    EXPECT_FALSE(popup->GetCellRect(CColourPopup::CELL_AUTO_BOX, &autoBox));
    EXPECT_FALSE(popup->GetCellRect(CColourPopup::CELL_OTHER_BOX, &other));
    ::DestroyWindow(popupWnd);

    Open(kBlue, L"A rather long label for the automatic colour, wider than all cells", L"Other color...");
    ::GetWindowRect(popupWnd, &window);
    popup->GetCellRect(CColourPopup::CELL_OTHER_BOX, &other);
    EXPECT_GT(window.right - window.left, 8 * cell + 2 * margin);
    EXPECT_EQ(window.right - window.left - margin, other.right);
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
    struct Case
    {
        COLORREF colour;
        const wchar_t* autoText;
        const wchar_t* otherText;
        int chosen;
    };
    const Case cases[] = {
        { kBlue, L"Auto", L"Other", 13 },
        { COLOR_AUTOMATIC, L"Auto", L"Other", CColourPopup::CELL_AUTO_BOX },
        { kOffTable, L"Auto", L"Other", CColourPopup::CELL_OTHER_BOX },
        { kOffTable, L"Auto", L"", CColourPopup::CELL_NONE },
        // Without an "Auto" box the automatic colour is just a colour in no cell.
        { COLOR_AUTOMATIC, L"", L"Other", CColourPopup::CELL_OTHER_BOX },
    };
    for (const Case& c : cases) {
        Open(c.colour, c.autoText, c.otherText);
        EXPECT_EQ(c.chosen, popup->GetChosenSel()) << std::hex << c.colour;
        EXPECT_EQ(CColourPopup::CELL_NONE, popup->GetCurrentSel());
        ::DestroyWindow(popupWnd);
    }
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

TEST_F(ColourPopupTest, KeysAndButtonUpEndTheChoice)
{
    RECT window = {};
    const auto endWith = [&](int hover, const std::function<void()>& end) {
        parent.received.clear();
        Open(kOffTable);
        ::GetWindowRect(popupWnd, &window);
        if (hover != CColourPopup::CELL_NONE)
            Hover(hover);
        end();
        EXPECT_FALSE(::IsWindow(popupWnd));
        return parent.Colour().empty() ? Received{} : parent.Colour().back();
    };
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kBlue, 0 }), endWith(13, [&] { Key(VK_RETURN); }));
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kOffTable, 0 }), endWith(CColourPopup::CELL_NONE, [&] { Key(VK_SPACE); }));
    EXPECT_EQ((Received{ WM_COLOR_SELENDCANCEL, kOffTable, 0 }), endWith(13, [&] { Key(VK_ESCAPE); }));
    // Released on the frame, on no cell: the colour last hovered, else the opening one.
    const auto onFrame = [&] { ReleaseAt({ window.left + 1, window.top + 1 }); };
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, 0x0000FF, 0 }), endWith(16, onFrame));
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kOffTable, 0 }), endWith(CColourPopup::CELL_NONE, onFrame));
    EXPECT_EQ((Received{ WM_COLOR_SELENDCANCEL, kOffTable, 0 }),
              endWith(16, [&] { ReleaseAt({ window.right + 40, window.bottom + 40 }); }));
}

TEST_F(ColourPopupTest, OtherColourOpensTheColourDialog)
{
    const auto chooseOther = [&](COLORREF colour, UINT command) {
        parent.received.clear();
        Open(colour);
        Hover(CColourPopup::CELL_OTHER_BOX);
        g_dialogCommand = command;
        g_dialogSeen = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, AnswerColourDialog);
        Key(VK_RETURN);
        ::KillTimer(nullptr, timer);
        EXPECT_TRUE(g_dialogSeen);
        EXPECT_FALSE(::IsWindow(popupWnd));
        return parent.Colour().empty() ? Received{} : parent.Colour().back();
    };
    // Cancelling the dialog cancels the whole choice.
    EXPECT_EQ((Received{ WM_COLOR_SELENDCANCEL, kBlue, 0 }), chooseOther(kBlue, IDCANCEL));
    // OK gives the dialog's colour: it opened on the popup's colour and red was typed in.
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, 0x1234C8, 0 }), chooseOther(kOffTable, IDOK));
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
