// The drop shadow: its image computed from the parent's shape, its window's place, and how
// it follows the parent through moves, hiding, showing and destruction.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <memory>
#include <vector>

#include "LayeredTestSupport.h"

using namespace LayeredTest;
using Utility::CWndShadow;

namespace {

class WndShadow : public LayeredWindowSuite
{
};

RECT WindowRect(HWND hWnd)
{
    RECT rect = {};
    ::GetWindowRect(hWnd, &rect);
    return rect;
}

// The alpha the defaults give at distance r from an edge stamp.
int EdgeAlpha(double r)
{
    return static_cast<int>((1.0 - r / 6) * 150);
}

// ---- Pixels ------------------------------------------------------------------------------

TEST(WndShadowPixel, IsPremultipliedBgra)
{
    EXPECT_EQ(0x96000000u, CWndShadow::PreMultiply(RGB(0, 0, 0), 150));
    EXPECT_EQ(0xFFFF8000u, CWndShadow::PreMultiply(RGB(255, 128, 0), 255));
    // 200 * 100 / 255 = 78 (0x4E), 10 * 100 / 255 = 3
    EXPECT_EQ(0x644E0003u, CWndShadow::PreMultiply(RGB(200, 0, 10), 100));
    EXPECT_EQ(0u, CWndShadow::PreMultiply(RGB(255, 255, 255), 0));
}

class ShadowImage : public WndShadow
{
protected:
    // The image of the default shadow of a parent window, rows from the top.
    std::vector<uint32_t> ImageOf(HWND parent, int& width, int& height)
    {
        CWndShadow shadow;
        const RECT rc = WindowRect(parent);
        width = rc.right - rc.left;
        height = rc.bottom - rc.top;
        std::vector<uint32_t> bottomUp(static_cast<size_t>(width) * height, 0);
        shadow.MakeShadow(bottomUp.data(), bottomUp.size() * 4, parent, &rc);
        std::vector<uint32_t> topDown(bottomUp.size());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                topDown[static_cast<size_t>(y) * width + x] = bottomUp[static_cast<size_t>(height - 1 - y) * width + x];
        return topDown;
    }
};

TEST_F(ShadowImage, RectangleParentShowsASoftEdgeRightAndBelowIt)
{
    CRecorderWnd parent;
    ASSERT_TRUE(parent.CreatePopup(100, 100, 100, 40));
    int w = 0;
    int h = 0;
    const std::vector<uint32_t> image = ImageOf(parent.m_hWnd, w, h);
    ASSERT_EQ(100, w);
    ASSERT_EQ(40, h);
    auto alpha = [&](int x, int y) { return static_cast<int>(AlphaOf(image[static_cast<size_t>(y) * w + x])); };

    // Under the parent itself (the shadow lies 3, 3 lower right): transparent.
    EXPECT_EQ(0, alpha(50, 20));
    EXPECT_EQ(0, alpha(96, 20));
    EXPECT_EQ(0, alpha(50, 36));
    EXPECT_EQ(0, alpha(0, 0));
    // The right edge: the eroded shape ends at column 94; the edge falls off from there.
    EXPECT_EQ(EdgeAlpha(3), alpha(97, 20));
    EXPECT_EQ(EdgeAlpha(4), alpha(98, 20));
    EXPECT_EQ(EdgeAlpha(5), alpha(99, 20));
    // The bottom edge: the eroded shape ends at row 34.
    EXPECT_EQ(EdgeAlpha(3), alpha(50, 37));
    EXPECT_EQ(EdgeAlpha(5), alpha(50, 39));
    // The corner, off the eroded corner (94, 34).
    EXPECT_EQ(EdgeAlpha(std::sqrt(18.0)), alpha(97, 37));
    EXPECT_EQ(0, alpha(99, 39));
    // Black, premultiplied.
    EXPECT_EQ(static_cast<uint32_t>(EdgeAlpha(3)) << 24, image[static_cast<size_t>(20) * w + 97]);
}

TEST_F(ShadowImage, RoundedParentShapesTheShadowsCorner)
{
    CRecorderWnd square;
    ASSERT_TRUE(square.CreatePopup(100, 100, 60, 30));
    CRecorderWnd rounded;
    ASSERT_TRUE(rounded.CreatePopup(100, 200, 60, 30));
    ::SetWindowRgn(rounded.m_hWnd, ::CreateRoundRectRgn(0, 0, 61, 31, 20, 20), TRUE);
    int w = 0;
    int h = 0;
    const std::vector<uint32_t> a = ImageOf(square.m_hWnd, w, h);
    const std::vector<uint32_t> b = ImageOf(rounded.m_hWnd, w, h);
    ASSERT_EQ(a.size(), b.size());
    // Same along the straight edges, lighter at the rounded corner.
    EXPECT_EQ(a[static_cast<size_t>(15) * w + 58], b[static_cast<size_t>(15) * w + 58]);
    EXPECT_GT(AlphaOf(a[static_cast<size_t>(28) * w + 57]), AlphaOf(b[static_cast<size_t>(28) * w + 57]));
}

TEST_F(ShadowImage, NeverWritesPastTheBufferItIsGiven)
{
    CRecorderWnd parent;
    ASSERT_TRUE(parent.CreatePopup(100, 100, 40, 20));
    CWndShadow shadow;
    const RECT rc = WindowRect(parent.m_hWnd);
    // Half the image's bytes, followed by a guard area.
    const size_t half = 40 * 20 / 2;
    std::vector<uint32_t> buffer(half + 64, 0xABABABABu);
    std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(half), 0u);
    shadow.MakeShadow(buffer.data(), half * 4, parent.m_hWnd, &rc);
    for (size_t i = half; i < buffer.size(); ++i)
        ASSERT_EQ(0xABABABABu, buffer[i]) << i;
    // A parent of no width gives no shadow at all.
    const RECT none = {10, 10, 10, 30};
    std::vector<uint32_t> empty(64, 0);
    shadow.MakeShadow(empty.data(), empty.size() * 4, parent.m_hWnd, &none);
    for (uint32_t value : empty)
        EXPECT_EQ(0u, value);
}

// ---- Position ----------------------------------------------------------------------------

TEST_F(WndShadow, OffsetsAreLimitedTo20EitherWay)
{
    CWndShadow shadow;
    EXPECT_FALSE(shadow.SetPosition(21, 0));
    EXPECT_FALSE(shadow.SetPosition(0, -21));
    EXPECT_EQ(3, shadow.m_nxOffset);
    EXPECT_EQ(3, shadow.m_nyOffset);
    EXPECT_TRUE(shadow.SetPosition(-20, 20));
    EXPECT_EQ(-20, shadow.m_nxOffset);
    EXPECT_EQ(20, shadow.m_nyOffset);
}

TEST_F(WndShadow, DefaultsAreASoftBlackShadow)
{
    CWndShadow shadow;
    EXPECT_EQ(150, shadow.m_nDarkness);
    EXPECT_EQ(5, shadow.m_nSharpness);
    EXPECT_EQ(0, shadow.m_nSize);
    EXPECT_EQ(RGB(0, 0, 0), shadow.m_color);
    EXPECT_FALSE(shadow.m_bCreated);
    EXPECT_NE(nullptr, shadow.m_hMutex.get());
    EXPECT_FALSE(CWndShadow::Initialize(::GetModuleHandleW(nullptr)));  // once per process
}

TEST_F(WndShadow, ShadowWindowLiesBehindTheParentAtItsOffset)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"shaded", .x = 100, .y = 120, .width = 100, .height = 40, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    ASSERT_TRUE(window.m_shadow.m_bCreated);
    const HWND shadow = window.m_shadow.m_hWnd;
    ASSERT_TRUE(::IsWindow(shadow));
    EXPECT_EQ(&window.m_shadow, CWndShadow::s_shadowMap[window.m_hWnd]);
    EXPECT_EQ(window.m_hWnd, ::GetWindow(shadow, GW_OWNER));
    EXPECT_TRUE(::IsWindowVisible(shadow));
    const RECT rc = WindowRect(shadow);
    EXPECT_EQ(103, rc.left);
    EXPECT_EQ(123, rc.top);
    EXPECT_EQ(203, rc.right);
    EXPECT_EQ(163, rc.bottom);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(shadow, GWL_EXSTYLE);
    EXPECT_NE(0, exStyle & WS_EX_LAYERED);
    EXPECT_NE(0, exStyle & WS_EX_TRANSPARENT);
    wchar_t className[64] = {};
    ::GetClassNameW(shadow, className, 64);
    EXPECT_STREQ(L"DaskoShadowWnd", className);
    EXPECT_EQ(CWndShadow::SS_ENABLED | CWndShadow::SS_VISABLE | CWndShadow::SS_PARENTVISIBLE,
              window.m_shadow.m_nStatus);

    // Other offsets move it.
    window.m_nShadowX = -4;
    window.m_nShadowY = 6;
    window.Redraw();
    const RECT moved = WindowRect(shadow);
    EXPECT_EQ(96, moved.left);
    EXPECT_EQ(126, moved.top);
    // One shadow window however often the parent redraws.
    EXPECT_EQ(shadow, window.m_shadow.m_hWnd);
}

TEST_F(WndShadow, FollowsTheParentsMoves)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"mover", .x = 50, .y = 60, .width = 30, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    window.MoveTo(300, 200);
    const RECT rc = WindowRect(window.m_shadow.m_hWnd);
    EXPECT_EQ(303, rc.left);
    EXPECT_EQ(203, rc.top);
    EXPECT_EQ(30, rc.right - rc.left);
}

TEST_F(WndShadow, HidesAndShowsWithTheParent)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"blinker", .x = 50, .y = 60, .width = 30, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    const HWND shadow = window.m_shadow.m_hWnd;
    ASSERT_TRUE(::IsWindowVisible(shadow));

    ::ShowWindow(window.m_hWnd, SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(shadow));
    EXPECT_EQ(0, window.m_shadow.m_nStatus & (CWndShadow::SS_VISABLE | CWndShadow::SS_PARENTVISIBLE));

    ::ShowWindow(window.m_hWnd, SW_SHOWNA);
    EXPECT_TRUE(::IsWindowVisible(shadow));
    EXPECT_NE(0, window.m_shadow.m_nStatus & CWndShadow::SS_VISABLE);
    const RECT rc = WindowRect(shadow);
    EXPECT_EQ(53, rc.left);
    EXPECT_EQ(63, rc.top);
}

TEST_F(WndShadow, MaximisedOrMinimisedParentHasNoVisibleShadow)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"sizer", .x = 50, .y = 60, .width = 30, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    const HWND shadow = window.m_shadow.m_hWnd;
    ::SendMessageW(window.m_hWnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(30, 20));
    EXPECT_FALSE(::IsWindowVisible(shadow));
    EXPECT_EQ(0, window.m_shadow.m_nStatus & CWndShadow::SS_VISABLE);
    ::SendMessageW(window.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 20));
    EXPECT_TRUE(::IsWindowVisible(shadow));
    EXPECT_NE(0, window.m_shadow.m_nStatus & CWndShadow::SS_VISABLE);
}

TEST_F(WndShadow, CompositionChangeShowsTheShadowAgain)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"aero", .x = 50, .y = 60, .width = 30, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    const HWND shadow = window.m_shadow.m_hWnd;
    window.m_shadow.m_nStatus |= CWndShadow::SS_DISABLEDBYAERO;
    window.m_shadow.Show(window.m_hWnd);
    EXPECT_FALSE(::IsWindowVisible(shadow));
    ::SendMessageW(window.m_hWnd, 0x031E /* WM_DWMCOMPOSITIONCHANGED */, 0, 0);
    EXPECT_EQ(0, window.m_shadow.m_nStatus & CWndShadow::SS_DISABLEDBYAERO);
    EXPECT_TRUE(::IsWindowVisible(shadow));
}

TEST_F(WndShadow, GrowingParentUpdatesAtItsNextPaint)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"grower", .x = 50, .y = 60, .width = 30, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    window.m_shadow.m_bUpdate = false;
    window.m_shadow.m_wndSize = MAKELPARAM(30, 20);
    ::SetWindowPos(window.m_hWnd, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(window.m_shadow.m_bUpdate);
    EXPECT_EQ(MAKELPARAM(60, 40), window.m_shadow.m_wndSize);
    ::SendMessageW(window.m_hWnd, WM_PAINT, 0, 0);
    EXPECT_FALSE(window.m_shadow.m_bUpdate);
    const RECT rc = WindowRect(window.m_shadow.m_hWnd);
    EXPECT_EQ(60, rc.right - rc.left);
    EXPECT_EQ(40, rc.bottom - rc.top);
}

// ---- Lifetime ----------------------------------------------------------------------------

TEST_F(WndShadow, DestroyingTheParentDestroysTheShadowAndItsEntry)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"doomed", .x = 50, .y = 60, .width = 30, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    const HWND parent = window.m_hWnd;
    const HWND shadow = window.m_shadow.m_hWnd;
    ASSERT_EQ(1u, CWndShadow::s_shadowMap.count(parent));
    ASSERT_TRUE(window.DestroyWindow());
    EXPECT_FALSE(::IsWindow(shadow));
    EXPECT_FALSE(window.m_shadow.m_bCreated);
    EXPECT_EQ(0u, CWndShadow::s_shadowMap.count(parent));
}

TEST_F(WndShadow, ParentKeepsItsProcedureWhenTheShadowHasNoEntry)
{
    CFillWnd window;
    ASSERT_TRUE(window.Create({ .title = L"orphan", .x = 50, .y = 60, .width = 30, .height = 20, .shadow = TRUE,
                                .shadowX = 3, .shadowY = 3, .region = TRUE, .color = 0xFEC0C0C0 }));
    window.Redraw();
    EXPECT_EQ(42, ::SendMessageW(window.m_hWnd, CFillWnd::WM_PROBE, 0, 0));
    // Whatever took the entry away, the subclass procedure still hands messages on.
    CWndShadow::s_shadowMap.erase(window.m_hWnd);
    EXPECT_EQ(42, ::SendMessageW(window.m_hWnd, CFillWnd::WM_PROBE, 0, 0));
    const HWND shadow = window.m_shadow.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(nullptr, window.m_hWnd);
    if (::IsWindow(shadow))
        ::DestroyWindow(shadow);  // its parent's end no longer reached it
}

TEST_F(WndShadow, ShadowThatDiesFirstGivesTheParentItsProcedureBack)
{
    CRecorderWnd parent;
    ASSERT_TRUE(parent.CreatePopup(10, 10, 40, 20));
    const LONG_PTR before = ::GetWindowLongPtrW(parent.m_hWnd, GWLP_WNDPROC);
    HWND shadowWindow = nullptr;
    {
        CWndShadow shadow;
        shadow.Create(parent.m_hWnd);
        ASSERT_TRUE(shadow.m_bCreated);
        shadowWindow = shadow.m_hWnd;
        EXPECT_NE(before, ::GetWindowLongPtrW(parent.m_hWnd, GWLP_WNDPROC));
    }
    EXPECT_EQ(before, ::GetWindowLongPtrW(parent.m_hWnd, GWLP_WNDPROC));
    EXPECT_EQ(0u, CWndShadow::s_shadowMap.count(parent.m_hWnd));
    EXPECT_FALSE(::IsWindow(shadowWindow));
    ::PostMessageW(parent.m_hWnd, WM_USER + 7, 0, 0);
    PumpPending();
    ASSERT_EQ(1u, parent.m_messages.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 7), parent.m_messages[0]);
}

}  // namespace
