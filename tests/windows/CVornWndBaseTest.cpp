// The layered window base under a real display: creation and geometry, the back buffer a
// redraw leaves, the layered update and its fallback, the window region, exceptions inside
// the drawing, and the menu icons.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "LayeredTestSupport.h"
#include "core/Logger.h"
#include "framework/TempFolder.h"
#include "resources/resource.h"

using namespace LayeredTest;

namespace {

class VornWndBase : public LayeredWindowSuite
{
};

LONG_PTR ExStyle(HWND hWnd) { return ::GetWindowLongPtrW(hWnd, GWL_EXSTYLE); }

// ---- Creation and geometry -------------------------------------------------------------------

TEST_F(VornWndBase, CreatesALayeredPopupOfTheRequestedPlaceAndStyle)
{
    CRecorderWnd owner;
    ASSERT_TRUE(owner.CreatePopup(0, 0, 20, 20));
    CFillWnd window;
    ASSERT_TRUE(
        window.Create({ .title = L"VornFileList", .x = 40, .y = 50, .width = 120, .height = 30, .owner = &owner }));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_LAYERED | WS_EX_TOOLWINDOW),
              ExStyle(window.m_hWnd) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
    const LONG_PTR style = ::GetWindowLongPtrW(window.m_hWnd, GWL_STYLE);
    EXPECT_EQ(static_cast<LONG_PTR>(WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS),
              style & (WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_BORDER));
    EXPECT_EQ(owner.m_hWnd, ::GetWindow(window.m_hWnd, GW_OWNER));
    wchar_t title[64] = {};
    ::GetWindowTextW(window.m_hWnd, title, 64);
    EXPECT_STREQ(L"VornFileList", title);
    EXPECT_NE(0u, ::GetClassLongPtrW(window.m_hWnd, GCL_STYLE) & CS_DBLCLKS);

    RECT rect = {};
    window.GetRect(rect);
    EXPECT_EQ((RECT{40, 50, 160, 80}).left, rect.left);
    EXPECT_EQ(50, rect.top);
    EXPECT_EQ(160, rect.right);
    EXPECT_EQ(80, rect.bottom);
    EXPECT_EQ(0, window.m_rcContent.X);
    EXPECT_EQ(0, window.m_rcContent.Y);
    EXPECT_EQ(120, window.m_rcContent.Width);
    EXPECT_EQ(30, window.m_rcContent.Height);
    RECT screen = {};
    ::GetWindowRect(window.m_hWnd, &screen);
    EXPECT_EQ(40, screen.left);
    EXPECT_EQ(50, screen.top);
    EXPECT_EQ(120, screen.right - screen.left);
    EXPECT_EQ(30, screen.bottom - screen.top);
    // The memory context exists from WM_CREATE on.
    EXPECT_NE(nullptr, window.m_memDC.GetSafeHdc());
    EXPECT_NE(nullptr, window.m_hMutex.get());

    // A second creation is refused and changes nothing.
    EXPECT_FALSE(window.Create({ .title = L"again", .x = 1, .y = 2, .width = 3, .height = 4, .shadow = TRUE,
                                 .shadowX = 3, .shadowY = 3, .region = TRUE,
                                 .cornerStyle = LayeredWindowParams::kCornerRound, .color = 0xFEC0C0C0,
                                 .taskSwitcher = TRUE }));
    EXPECT_EQ(40, window.m_rect.left);
    EXPECT_EQ(120, window.m_rcContent.Width);
    EXPECT_EQ(&owner, window.m_pOwner);
    EXPECT_FALSE(window.m_bShadow);
}

TEST_F(VornWndBase, TaskSwitcherWindowIsNoToolWindow)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"Tarnelo box", .width = 50, .height = 20, .taskSwitcher = TRUE }));
    EXPECT_NE(0, ExStyle(window.m_hWnd) & WS_EX_LAYERED);
    EXPECT_EQ(0, ExStyle(window.m_hWnd) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(window.m_bTaskSwitcher);
}

TEST_F(VornWndBase, MoveToKeepsSizeAndRemembersThePreviousPlace)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"move", .x = 10, .y = 20, .width = 60, .height = 25 }));
    window.MoveTo(200, 300);
    EXPECT_EQ(10, window.m_ptPrevPos.x);
    EXPECT_EQ(20, window.m_ptPrevPos.y);
    POINT pos = {};
    window.GetPos(pos);
    EXPECT_EQ(200, pos.x);
    EXPECT_EQ(300, pos.y);
    EXPECT_EQ(260, window.m_rect.right);
    EXPECT_EQ(325, window.m_rect.bottom);
    RECT screen = {};
    ::GetWindowRect(window.m_hWnd, &screen);
    EXPECT_EQ(200, screen.left);
    EXPECT_EQ(300, screen.top);
    EXPECT_EQ(60, screen.right - screen.left);
    window.MoveTo(-5, 7);
    EXPECT_EQ(200, window.m_ptPrevPos.x);
    EXPECT_EQ(300, window.m_ptPrevPos.y);
}

TEST_F(VornWndBase, CanBeCreatedAgainAfterItsWindowWasDestroyed)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"once", .width = 30, .height = 30, .shadow = TRUE, .shadowX = 3, .shadowY = 3,
                                .region = TRUE, .cornerStyle = LayeredWindowParams::kCornerRound,
                                .color = 0xFEC0C0C0 }));
    window.Redraw();
    ASSERT_TRUE(window.DestroyWindow());
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(nullptr, window.m_pGraphics);
    EXPECT_EQ(nullptr, window.m_memDC.GetSafeHdc());
    EXPECT_EQ(nullptr, window.m_bitmap.GetSafeHandle());
    ASSERT_TRUE(window.Create({ .title = L"twice", .x = 5, .y = 5, .width = 40, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE,
                                .cornerStyle = LayeredWindowParams::kCornerRound, .color = 0xFEC0C0C0 }));
    window.Redraw();
    EXPECT_EQ(40u * 20u, window.BackBuffer().size());
    EXPECT_TRUE(window.m_shadow.m_bCreated);
}

// ---- Back buffer ----------------------------------------------------------------------------

TEST_F(VornWndBase, RedrawLeavesTheDrawingInATopDownBackBufferWithAlpha)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"fill", .x = 30, .y = 30, .width = 40, .height = 20 }));
    window.Redraw();
    EXPECT_EQ(1, window.m_nDraws);
    ASSERT_NE(nullptr, window.m_pGraphics);

    DIBSECTION dib = {};
    ASSERT_EQ(static_cast<int>(sizeof(dib)), ::GetObjectW(window.m_bitmap.GetSafeHandle(), sizeof(dib), &dib));
    EXPECT_EQ(32, dib.dsBm.bmBitsPixel);
    EXPECT_EQ(40, dib.dsBm.bmWidth);
    EXPECT_EQ(20, dib.dsBm.bmHeight);

    const std::vector<uint32_t> pixels = window.BackBuffer();
    ASSERT_EQ(40u * 20u, pixels.size());
    // Opaque fills keep their alpha: the first rows are the top half.
    EXPECT_EQ(0xFF0000FFu, pixels[0]);
    EXPECT_EQ(0xFF0000FFu, pixels[9 * 40 + 39]);
    EXPECT_EQ(0xFF00FF00u, pixels[10 * 40 + 0]);
    EXPECT_EQ(0xFF00FF00u, pixels[19 * 40 + 39]);
    EXPECT_FALSE(window.m_bFallback);
    EXPECT_NE(0, ExStyle(window.m_hWnd) & WS_EX_LAYERED);
}

TEST_F(VornWndBase, EveryRedrawStartsFromATransparentBuffer)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"fresh", .width = 16, .height = 8 }));
    window.Redraw();
    window.m_top = 0x00000000;  // draws nothing in the top half this time
    window.Redraw();
    const std::vector<uint32_t> pixels = window.BackBuffer();
    ASSERT_EQ(16u * 8u, pixels.size());
    EXPECT_EQ(0u, pixels[0]);
    EXPECT_EQ(0u, pixels[3 * 16 + 15]);
    EXPECT_EQ(0xFF00FF00u, pixels[7 * 16 + 15]);
}

TEST_F(VornWndBase, ResizedContentGetsABufferOfTheNewSize)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"resize", .width = 16, .height = 8 }));
    window.Redraw();
    window.m_rect.right = window.m_rect.left + 30;
    window.m_rect.bottom = window.m_rect.top + 12;
    ::MoveWindow(window.m_hWnd, 0, 0, 30, 12, TRUE);
    window.Redraw();
    BITMAP bitmap = {};
    ASSERT_TRUE(window.m_bitmap.GetBitmap(&bitmap));
    EXPECT_EQ(30, bitmap.bmWidth);
    EXPECT_EQ(12, bitmap.bmHeight);
}

TEST_F(VornWndBase, RedrawMessageRedrawsOncePerPostedMessage)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"posted", .width = 16, .height = 8 }));
    ::PostMessageW(window.m_hWnd, WM_REDRAWMSG, 0, 0);
    ::PostMessageW(window.m_hWnd, WM_REDRAWMSG, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return window.m_nDraws >= 2; }));
    EXPECT_EQ(2, window.m_nDraws);
}

// ---- Layered update and its fallback -------------------------------------------------------

TEST_F(VornWndBase, LayeredUpdatePushesTheWholeWindowAtFullStrength)
{
    UpdateWatch watch;
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"push", .width = 33, .height = 17 }));
    window.Redraw();
    const auto calls = watch.CallsFor(window.m_hWnd);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(33, calls[0].size.cx);
    EXPECT_EQ(17, calls[0].size.cy);
    EXPECT_EQ(255, calls[0].alpha);
    EXPECT_FALSE(window.m_bFallback);
}

TEST_F(VornWndBase, RefusedLayeredUpdateFallsBackToPaintingTheBackBuffer)
{
    UpdateWatch watch;
    watch.m_bRefuse = true;
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"fallback", .x = 60, .y = 60, .width = 40, .height = 20 }));
    window.Redraw();
    EXPECT_TRUE(window.m_bFallback);
    EXPECT_EQ(0, ExStyle(window.m_hWnd) & WS_EX_LAYERED);
    EXPECT_EQ(1u, watch.CallsFor(window.m_hWnd).size());

    // WM_PAINT now copies the back buffer to the window.
    ::RedrawWindow(window.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpPending();
    HDC dc = ::GetDC(window.m_hWnd);
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(RGB(0, 0, 255), ::GetPixel(dc, 5, 2));
    EXPECT_EQ(RGB(0, 255, 0), ::GetPixel(dc, 35, 17));
    ::ReleaseDC(window.m_hWnd, dc);

    // For good: later redraws no longer try the layered update, even when it would work.
    watch.m_bRefuse = false;
    window.Redraw();
    EXPECT_EQ(1u, watch.CallsFor(window.m_hWnd).size());
    EXPECT_TRUE(window.m_bFallback);
    EXPECT_EQ(2, window.m_nDraws);
}

TEST_F(VornWndBase, WindowCreatedAgainAfterAFallbackIsLayeredAndUpdatedAgain)
{
    UpdateWatch watch;
    watch.m_bRefuse = true;
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"first", .x = 60, .y = 60, .width = 40, .height = 20 }));
    window.Redraw();
    ASSERT_TRUE(window.m_bFallback);
    ASSERT_TRUE(window.DestroyWindow());

    // The new window carries the layered style; without an update it would never show.
    watch.m_bRefuse = false;
    watch.m_calls.clear();
    ASSERT_TRUE(window.Create({ .title = L"again", .x = 60, .y = 60, .width = 40, .height = 20 }));
    EXPECT_NE(0, ExStyle(window.m_hWnd) & WS_EX_LAYERED);
    window.Redraw();
    EXPECT_FALSE(window.m_bFallback);
    EXPECT_EQ(1u, watch.CallsFor(window.m_hWnd).size());
}

TEST_F(VornWndBase, WindowOfNoSizeSkipsTheUpdateButStaysLayered)
{
    UpdateWatch watch;
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"empty" }));
    window.Redraw();
    EXPECT_TRUE(watch.CallsFor(window.m_hWnd).empty());
    EXPECT_FALSE(window.m_bFallback);
    EXPECT_NE(0, ExStyle(window.m_hWnd) & WS_EX_LAYERED);

    // Given a size later, it draws layered as usual.
    window.m_rect = RECT{0, 0, 10, 10};
    ::MoveWindow(window.m_hWnd, 0, 0, 10, 10, TRUE);
    window.Redraw();
    ASSERT_EQ(1u, watch.CallsFor(window.m_hWnd).size());
    EXPECT_FALSE(window.m_bFallback);
    EXPECT_EQ(0xFF0000FFu, window.BackBuffer()[0]);
}

TEST_F(VornWndBase, NotLayeredPipelineOnlyInvalidates)
{
    UpdateWatch watch;
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"plain", .width = 10, .height = 10 }));
    window.m_bLayered = FALSE;
    window.Redraw();
    EXPECT_TRUE(watch.CallsFor(window.m_hWnd).empty());
    EXPECT_FALSE(window.m_bFallback);
}

// ---- Window region --------------------------------------------------------------------------

struct RegionCase
{
    BOOL region;
    int corner;
    bool rounded;
};

class VornWndRegion : public LayeredWindowSuite, public ::testing::WithParamInterface<RegionCase>
{
};

TEST_P(VornWndRegion, OnlyRoundedCornersGiveTheWindowARegion)
{
    const RegionCase c = GetParam();
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"region", .width = 50, .height = 30, .region = c.region,
                                .cornerStyle = c.corner, .color = 0xFEC0C0C0 }));
    for (int round = 0; round < 2; ++round) {  // rebuilt at every redraw
        window.Redraw();
        HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
        const int type = ::GetWindowRgn(window.m_hWnd, rgn);
        if (c.rounded) {
            EXPECT_NE(ERROR, type);
            // Corners are cut, the edges' middles are in.
            EXPECT_FALSE(::PtInRegion(rgn, 0, 0));
            EXPECT_FALSE(::PtInRegion(rgn, 49, 29) && ::PtInRegion(rgn, 0, 29) && ::PtInRegion(rgn, 49, 0));
            EXPECT_TRUE(::PtInRegion(rgn, 25, 0));
            EXPECT_TRUE(::PtInRegion(rgn, 0, 15));
            EXPECT_TRUE(::PtInRegion(rgn, 49, 15));
            EXPECT_TRUE(::PtInRegion(rgn, 25, 29));
            EXPECT_FALSE(::PtInRegion(rgn, 51, 15));
        } else {
            EXPECT_EQ(ERROR, type);
        }
        ::DeleteObject(rgn);
    }
}

INSTANTIATE_TEST_SUITE_P(CornerStyles, VornWndRegion,
                         ::testing::Values(RegionCase{FALSE, 1, false}, RegionCase{TRUE, 1, false},
                                           RegionCase{FALSE, 2, false}, RegionCase{TRUE, 2, true}));

TEST_F(VornWndBase, SquareCornersAgainRemoveTheRegion)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"corners", .width = 50, .height = 30, .region = TRUE,
                                .cornerStyle = LayeredWindowParams::kCornerRound, .color = 0xFEC0C0C0 }));
    window.Redraw();
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, ::GetWindowRgn(window.m_hWnd, rgn));
    window.m_nCornerStyle = 1;
    window.Redraw();
    EXPECT_EQ(ERROR, ::GetWindowRgn(window.m_hWnd, rgn));
    EXPECT_EQ(nullptr, window.m_rgn.GetSafeHandle());
    ::DeleteObject(rgn);
}

// ---- Exceptions in the drawing --------------------------------------------------------------

TEST_F(VornWndBase, ExceptionInTheDrawingKeepsTheLastImage)
{
    UpdateWatch watch;
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"throws", .width = 10, .height = 10 }));
    window.Redraw();
    ASSERT_EQ(1u, watch.CallsFor(window.m_hWnd).size());
    window.m_bThrow = true;
    EXPECT_NO_THROW(window.Redraw());
    // Nothing half-drawn was pushed to the screen.
    EXPECT_EQ(1u, watch.CallsFor(window.m_hWnd).size());
    EXPECT_FALSE(window.m_bFallback);
    window.m_bThrow = false;
    window.m_bThrowFramework = true;
    EXPECT_NO_THROW(window.Redraw());
    EXPECT_EQ(1u, watch.CallsFor(window.m_hWnd).size());
    window.m_bThrowFramework = false;
    window.Redraw();
    EXPECT_EQ(2u, watch.CallsFor(window.m_hWnd).size());
    EXPECT_EQ(4, window.m_nDraws);
}

// ---- Log lines ------------------------------------------------------------------------------

// Logs into a fresh folder for the life of the object, then turns logging off again.
class LogCapture
{
public:
    LogCapture() { LogInit(m_folder.Path().c_str()); }
    ~LogCapture() { LogInit(L""); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written today, as text.
    std::string Text() const
    {
        std::string text;
        for (int day = 1; day <= 7; ++day) {
            const std::vector<BYTE> bytes = TempFolder::ReadBytes(m_folder.File((L"Log" + std::to_wstring(day) + L".txt").c_str()));
            text.append(bytes.begin(), bytes.end());
        }
        return text;
    }

private:
    TempFolder m_folder;
};

TEST_F(VornWndBase, RefusedUpdateAndDrawingExceptionsAreLogged)
{
    LogCapture log;
    {
        UpdateWatch watch;
        watch.m_bRefuse = true;  // refuses with ERROR_INVALID_PARAMETER (87)
        CFillWnd window;
        ASSERT_TRUE(window.Create({ .title = L"logged", .width = 10, .height = 10 }));
        window.Redraw();
        window.m_bThrowFramework = true;
        window.Redraw();
        window.m_bThrowFramework = false;
        window.m_bThrow = true;
        window.Redraw();
    }
    const std::string text = log.Text();
    EXPECT_NE(std::string::npos, text.find("<base> UpdateLayeredWindow failed: 87")) << text;
    EXPECT_NE(std::string::npos, text.find("<base> handle-usage gdi:")) << text;
    EXPECT_NE(std::string::npos, text.find(" userobj:")) << text;
    EXPECT_NE(std::string::npos, text.find("<vornwnd> exception!!:")) << text;
    EXPECT_NE(std::string::npos, text.find("<vornwnd> exception!!\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("ERR!")) << text;
}

TEST(VornWndBaseLog, ErrorLinesCarryTheCodeInDecimal)
{
    LogCapture log;
    CVornWndBase::LogError(L"ERR!", L"<base> SetLayout failed:", 1400);
    CVornWndBase::Log(L"info", L"plain line");
    const std::string text = log.Text();
    EXPECT_NE(std::string::npos, text.find("<base> SetLayout failed: 1400\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("plain line")) << text;
}

// ---- Destruction ----------------------------------------------------------------------------

TEST_F(VornWndBase, DestroyingTheObjectTakesItsWindowAndShadowDown)
{
    auto window = std::make_unique<CFillWnd>();
    ASSERT_TRUE(window->Create({ .title = L"dies", .x = 10, .y = 10, .width = 40, .height = 20, .shadow = TRUE,
                                 .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window->Redraw();
    const HWND hWnd = window->m_hWnd;
    ASSERT_TRUE(window->m_shadow.m_bCreated);
    const HWND shadow = window->m_shadow.m_hWnd;
    ASSERT_TRUE(::IsWindow(shadow));
    window.reset();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(::IsWindow(shadow));
    EXPECT_EQ(0u, Utility::CWndShadow::s_shadowMap.count(hWnd));
}

// ---- Menu icons -----------------------------------------------------------------------------

TEST_F(VornWndBase, MenuIconsComeFromIconResourcesBelow0x10000)
{
    EXPECT_EQ(nullptr, CVornWndBase::LoadMenuIcon(0x10000));
    EXPECT_EQ(nullptr, CVornWndBase::LoadMenuIcon(0x10000 + IDI_TARNELO));
    EXPECT_EQ(nullptr, CVornWndBase::LoadMenuIcon(40000));
    EXPECT_NE(nullptr, CVornWndBase::LoadMenuIcon(IDI_TARNELO));
    EXPECT_NE(nullptr, CVornWndBase::LoadMenuIcon(ID_BOX_NEW));
    // Shared: the same handle every time.
    EXPECT_EQ(CVornWndBase::LoadMenuIcon(ID_BOX_NEW), CVornWndBase::LoadMenuIcon(ID_BOX_NEW));
}

UINT MeasureMenuItem(HWND hWnd, UINT id, UINT type = ODT_MENU, UINT* height = nullptr)
{
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = type;
    measure.itemID = id;
    measure.itemWidth = 1;
    measure.itemHeight = 1;
    ::SendMessageW(hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    if (height)
        *height = measure.itemHeight;
    return measure.itemWidth;
}

TEST_F(VornWndBase, MenuItemMeasuresAsItsIconOr16)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"menu", .width = 10, .height = 10 }));
    UINT height = 0;
    // No icon resource with this id.
    EXPECT_EQ(16u, MeasureMenuItem(window.m_hWnd, 40000, ODT_MENU, &height));
    EXPECT_EQ(16u, height);
    EXPECT_EQ(16u, MeasureMenuItem(window.m_hWnd, 0x10000 + ID_BOX_NEW, ODT_MENU, &height));
    EXPECT_EQ(16u, height);
    // A 16-pixel menu icon.
    EXPECT_EQ(16u, MeasureMenuItem(window.m_hWnd, ID_BOX_NEW, ODT_MENU, &height));
    EXPECT_EQ(16u, height);
    // The application icon: the size of the image it loads as (its first image).
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(CVornWndBase::LoadMenuIcon(IDI_TARNELO), &info));
    BITMAP colour = {};
    ASSERT_NE(0, ::GetObjectW(info.hbmColor, sizeof(colour), &colour));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    const UINT iconWidth = MeasureMenuItem(window.m_hWnd, IDI_TARNELO, ODT_MENU, &height);
    EXPECT_EQ(static_cast<UINT>(colour.bmWidth), iconWidth);
    EXPECT_EQ(static_cast<UINT>(colour.bmHeight), height);
    // Not a menu item: left to the default processing.
    EXPECT_EQ(1u, MeasureMenuItem(window.m_hWnd, 40000, ODT_BUTTON, &height));
}

TEST_F(VornWndBase, MenuPopupGivesOnlyItemsWithIconsTheCallbackBitmap)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"menu", .width = 10, .height = 10 }));
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, ID_BOX_NEW, L"New box");
    ::AppendMenuW(menu, MF_STRING, 40000, L"No icon");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_OWNERDRAW, ID_BOX_EDIT, nullptr);
    ::SendMessageW(window.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));

    auto bitmapOf = [&](UINT position, UINT* type) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_BITMAP | MIIM_FTYPE;
        EXPECT_TRUE(::GetMenuItemInfoW(menu, position, TRUE, &item));
        *type = item.fType;
        return item.hbmpItem;
    };
    UINT type = 0;
    EXPECT_EQ(HBMMENU_CALLBACK, bitmapOf(0, &type));
    EXPECT_EQ(0u, type & MFT_OWNERDRAW);
    EXPECT_EQ(nullptr, bitmapOf(1, &type));
    EXPECT_EQ(nullptr, bitmapOf(3, &type));  // owner-drawn items are left as they are
    EXPECT_NE(0u, type & MFT_OWNERDRAW);

    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    ASSERT_TRUE(::GetMenuInfo(menu, &info));
    EXPECT_EQ(static_cast<DWORD>(MNS_AUTODISMISS | MNS_CHECKORBMP),
              info.dwStyle & (MNS_AUTODISMISS | MNS_CHECKORBMP));
    ::DestroyMenu(menu);
}

TEST_F(VornWndBase, MenuIconIsDrawnAtTheItemsCorner)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"menu", .width = 10, .height = 10 }));
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 40, 40);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, 40, 40};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));

    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = 40000;  // no icon: nothing drawn
    draw.hDC = dc;
    draw.rcItem = RECT{10, 10, 26, 26};
    ::SendMessageW(window.m_hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    bool changed = false;
    for (int y = 0; y < 40 && !changed; ++y)
        for (int x = 0; x < 40 && !changed; ++x)
            changed = ::GetPixel(dc, x, y) != RGB(255, 255, 255);
    EXPECT_FALSE(changed);

    draw.itemID = ID_BOX_NEW;
    ::SendMessageW(window.m_hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    bool inside = false;
    bool outside = false;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (::GetPixel(dc, x, y) == RGB(255, 255, 255))
                continue;
            (x >= 10 && x < 26 && y >= 10 && y < 26 ? inside : outside) = true;
        }
    }
    EXPECT_TRUE(inside);
    EXPECT_FALSE(outside);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

}  // namespace
