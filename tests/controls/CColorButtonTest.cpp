// The colour button bound to a push button of a test window: its owner drawing (swatch,
// arrow, disabled look), the click that opens the popup, and the messages it relays to its
// parent with its control id.
#include <gtest/gtest.h>
#include <windows.h>

#include "controls/CColorButton.h"
#include "controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Utility::CColorButton;
using Utility::CColourPopup;

namespace {

constexpr int kButtonId = 1234;
constexpr COLORREF kGreen = 0x009300;  // cell 11
constexpr COLORREF kBlue = 0xFF0000;   // cell 13

// The popup that this thread shows now, or null.
CColourPopup* FindPopup()
{
    CColourPopup* found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM data) -> BOOL {
            if (auto* popup = dynamic_cast<CColourPopup*>(CWnd::FromHandlePermanent(hWnd))) {
                *reinterpret_cast<CColourPopup**>(data) = popup;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class ColorButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ParkCursor();
        ASSERT_TRUE(parent.Create(100, 100, 300, 120));
        const HWND hWnd = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 60, 24,
                                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)),
                                            ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, hWnd);
        ASSERT_TRUE(button.SubclassWindow(hWnd));
    }
    void TearDown() override
    {
        if (CColourPopup* popup = FindPopup())
            popup->DestroyWindow();
        Pump();
    }

    // The button as it draws itself into an image, through its parent like on screen.
    void Print(Canvas& canvas)
    {
        ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    }
    CColourPopup* Click()
    {
        ::SendMessageW(button, BM_CLICK, 0, 0);
        return FindPopup();
    }

    CParentWnd parent;
    CColorButton button;
};

}  // namespace

TEST_F(ColorButtonTest, BindingMakesItOwnerDrawnAndAutomatic)
{
    EXPECT_EQ(static_cast<LONG_PTR>(BS_OWNERDRAW), ::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(COLOR_AUTOMATIC, button.GetColor());
    EXPECT_EQ(::GetSysColor(COLOR_APPWORKSPACE), button.GetDefaultColor());
    button.SetColor(kGreen);
    EXPECT_EQ(kGreen, button.GetColor());
}

TEST_F(ColorButtonTest, DrawsSwatchArrowAndFrame)
{
    ASSERT_EQ(2, ::GetSystemMetrics(SM_CXEDGE));
    button.SetColor(kGreen);
    Canvas canvas(60, 24);
    Print(canvas);
    // Frame 2, edge 2: the swatch spans x 4..44 and y 4..19 with a black outline; the arrow
    // points down at x 51..55, y 11..13; an etched line separates them.
    EXPECT_EQ(kGreen, canvas.At(20, 12));
    EXPECT_EQ(kGreen, canvas.At(43, 18));
    EXPECT_EQ(0x000000u, canvas.At(4, 12));
    EXPECT_EQ(0x000000u, canvas.At(44, 12));
    EXPECT_EQ(0x000000u, canvas.At(20, 4));
    EXPECT_EQ(0x000000u, canvas.At(53, 11));
    EXPECT_EQ(0x000000u, canvas.At(53, 12));
    EXPECT_NE(0x000000u, canvas.At(51, 13));
    EXPECT_NE(kGreen, canvas.At(47, 12));
    EXPECT_NE(RGB(255, 0, 255), canvas.At(1, 1));  // the whole button was drawn

    // The automatic colour shows the default colour.
    button.SetColor(COLOR_AUTOMATIC);
    Canvas automatic(60, 24);
    Print(automatic);
    EXPECT_EQ(::GetSysColor(COLOR_APPWORKSPACE), automatic.At(20, 12));
}

TEST_F(ColorButtonTest, DisabledDrawsGreyArrowAndNoSwatch)
{
    button.SetColor(kGreen);
    ::EnableWindow(button, FALSE);
    Canvas canvas(60, 24);
    Print(canvas);
    EXPECT_NE(kGreen, canvas.At(20, 12));
    EXPECT_NE(0x000000u, canvas.At(4, 12));
    EXPECT_EQ(::GetSysColor(COLOR_GRAYTEXT), canvas.At(53, 11));
}

TEST_F(ColorButtonTest, ClickOpensThePopupBelowAndTellsTheParent)
{
    button.SetColor(kGreen);
    CColourPopup* popup = Click();
    ASSERT_NE(nullptr, popup);
    EXPECT_TRUE(button.IsPopupActive());
    RECT buttonRect = {}, popupRect = {};
    ::GetWindowRect(button, &buttonRect);
    ::GetWindowRect(*popup, &popupRect);
    EXPECT_EQ(buttonRect.left, popupRect.left);
    EXPECT_EQ(buttonRect.bottom, popupRect.top);
    EXPECT_EQ(11, popup->GetChosenSel());

    const std::vector<Received> expected = { { WM_COLOR_DROPDOWN, kGreen, kButtonId } };
    EXPECT_EQ(expected, parent.Colour());
    // The click is the button's own: the parent sees no BN_CLICKED.
    EXPECT_TRUE(parent.commands.empty());

    // While open it draws pushed: the swatch moves by one pixel.
    Canvas canvas(60, 24);
    Print(canvas);
    EXPECT_EQ(0x000000u, canvas.At(5, 13));
    EXPECT_EQ(kGreen, canvas.At(6, 6));
    EXPECT_NE(0x000000u, canvas.At(4, 13));
}

TEST_F(ColorButtonTest, AutomaticOpensWithAutoSunken)
{
    CColourPopup* popup = Click();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(CColourPopup::CELL_AUTO_BOX, popup->GetChosenSel());
    EXPECT_EQ((Received{ WM_COLOR_DROPDOWN, COLOR_AUTOMATIC, kButtonId }), parent.Colour().front());
}

TEST_F(ColorButtonTest, ChoosingRelaysEveryStepWithTheId)
{
    button.SetColor(kGreen);
    CColourPopup* popup = Click();
    ASSERT_NE(nullptr, popup);
    const HWND popupWnd = *popup;
    ::SendMessageW(popupWnd, WM_KEYDOWN, VK_RIGHT, 0);  // no hot cell: "Other color..."
    ::SendMessageW(popupWnd, WM_KEYDOWN, VK_RIGHT, 0);  // "Auto"
    ::SendMessageW(popupWnd, WM_KEYDOWN, VK_RIGHT, 0);  // cell 0, black
    // Hovering reaches the parent but leaves the button's colour.
    EXPECT_EQ(kGreen, button.GetColor());
    ::SendMessageW(popupWnd, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(::IsWindow(popupWnd));

    const std::vector<Received> expected = {
        { WM_COLOR_DROPDOWN, kGreen, kButtonId },
        { WM_COLOR_SELCHANGE, kGreen, kButtonId },  // "Other color..." shows the initial colour
        { WM_COLOR_SELCHANGE, COLOR_AUTOMATIC, kButtonId },
        { WM_COLOR_SELCHANGE, 0x000000, kButtonId },
        { WM_COLOR_CLOSEUP, 0x000000, kButtonId },
        { WM_COLOR_SELENDOK, 0x000000, kButtonId },
        { WM_COLOR_SELCHANGE, 0x000000, kButtonId },
    };
    EXPECT_EQ(expected, parent.Colour());
    EXPECT_EQ(0x000000u, button.GetColor());
    EXPECT_FALSE(button.IsPopupActive());
}

TEST_F(ColorButtonTest, SameColourSendsNoChangeAndCancelKeepsTheColour)
{
    button.SetColor(kBlue);
    ASSERT_NE(nullptr, Click());
    ::SendMessageW(*FindPopup(), WM_KEYDOWN, VK_RETURN, 0);
    std::vector<Received> expected = {
        { WM_COLOR_DROPDOWN, kBlue, kButtonId },
        { WM_COLOR_CLOSEUP, kBlue, kButtonId },
        { WM_COLOR_SELENDOK, kBlue, kButtonId },
    };
    EXPECT_EQ(expected, parent.Colour());

    parent.received.clear();
    ASSERT_NE(nullptr, Click());
    const HWND popupWnd = *FindPopup();
    ::SendMessageW(popupWnd, WM_KEYDOWN, VK_LEFT, 0);  // "Auto"
    ::SendMessageW(popupWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    expected = {
        { WM_COLOR_DROPDOWN, kBlue, kButtonId },
        { WM_COLOR_SELCHANGE, COLOR_AUTOMATIC, kButtonId },
        { WM_COLOR_CLOSEUP, kBlue, kButtonId },
        { WM_COLOR_SELENDCANCEL, kBlue, kButtonId },
    };
    EXPECT_EQ(expected, parent.Colour());
    EXPECT_EQ(kBlue, button.GetColor());
    EXPECT_FALSE(button.IsPopupActive());
}

TEST_F(ColorButtonTest, ParentClosingInItsHandlerEndsThePopupSafely)
{
    // A dialog that closes on the choice destroys the popup inside the popup's own report.
    button.SetColor(kBlue);
    CColourPopup* popup = Click();
    ASSERT_NE(nullptr, popup);
    const HWND popupWnd = *popup;
    parent.onMessage = [&](const Received& r) {
        if (r.message == WM_COLOR_SELENDOK)
            ::DestroyWindow(popupWnd);
    };
    ::SendMessageW(popupWnd, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(::IsWindow(popupWnd));
    EXPECT_EQ(nullptr, FindPopup());
}

namespace {

void RealClick(POINT screen)
{
    ::SetCursorPos(screen.x, screen.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

}  // namespace

TEST_F(ColorButtonTest, RealMouseOpensAndPicksACell)
{
    button.SetColor(kGreen);
    RECT buttonRect = {};
    ::GetWindowRect(button, &buttonRect);
    RealClick({ buttonRect.left + 10, buttonRect.top + 10 });
    ASSERT_TRUE(PumpUntil([] { return FindPopup() != nullptr; }, 3000));
    CColourPopup* popup = FindPopup();
    const HWND popupWnd = *popup;

    RECT popupRect = {}, blue = {};
    ::GetWindowRect(popupWnd, &popupRect);
    ASSERT_TRUE(popup->GetCellRect(13, &blue));
    const POINT target = { popupRect.left + (blue.left + blue.right) / 2, popupRect.top + (blue.top + blue.bottom) / 2 };
    // The popup holds the capture, so the move and the click reach it wherever they land.
    ::SetCursorPos(target.x, target.y);
    ASSERT_TRUE(PumpUntil([&] { return popup->GetCurrentSel() == 13; }, 3000));
    RealClick(target);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(popupWnd); }, 3000));
    ParkCursor();
    Pump();

    EXPECT_EQ(kBlue, button.GetColor());
    const std::vector<Received> colour = parent.Colour();
    ASSERT_GE(colour.size(), 3u);
    EXPECT_EQ((Received{ WM_COLOR_SELENDOK, kBlue, kButtonId }), colour[colour.size() - 2]);
    EXPECT_EQ((Received{ WM_COLOR_SELCHANGE, kBlue, kButtonId }), colour.back());
}
