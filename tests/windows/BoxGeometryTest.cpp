// The box window's rules that need no window: the move and size strips, the time that
// tells a move from a click, the width of a widened box, where a box goes to lie on its
// screen, how far a dragged group of boxes goes, and when a box counts as busy.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "model/StyleBounds.h"
#include "windows/BoxGeometry.h"
#include "windows/CTarneloWnd.h"

namespace {

const RECT kBox = { 100, 200, 300, 240 };  // 200 wide, 40 high

TEST(BoxStrips, AreHalfOpenAndSplitAtTheLastTenPixels)
{
    // Move strip: x in [100, 290), y in [200, 240).
    EXPECT_TRUE(IsInBoxMoveStrip(kBox, POINT{ 100, 200 }));
    EXPECT_TRUE(IsInBoxMoveStrip(kBox, POINT{ 289, 239 }));
    EXPECT_FALSE(IsInBoxMoveStrip(kBox, POINT{ 290, 220 }));
    EXPECT_FALSE(IsInBoxMoveStrip(kBox, POINT{ 99, 220 }));
    EXPECT_FALSE(IsInBoxMoveStrip(kBox, POINT{ 150, 199 }));
    EXPECT_FALSE(IsInBoxMoveStrip(kBox, POINT{ 150, 240 }));
    // Size strip: x in [290, 300).
    EXPECT_TRUE(IsInBoxSizeStrip(kBox, POINT{ 290, 200 }));
    EXPECT_TRUE(IsInBoxSizeStrip(kBox, POINT{ 299, 239 }));
    EXPECT_FALSE(IsInBoxSizeStrip(kBox, POINT{ 300, 220 }));
    EXPECT_FALSE(IsInBoxSizeStrip(kBox, POINT{ 289, 220 }));
    EXPECT_FALSE(IsInBoxSizeStrip(kBox, POINT{ 295, 240 }));
    // Every point of the box lies in exactly one strip.
    for (int x = kBox.left - 2; x < kBox.right + 2; ++x) {
        const POINT pt = { x, 210 };
        const bool inside = x >= kBox.left && x < kBox.right;
        EXPECT_EQ(inside ? 1 : 0, (IsInBoxMoveStrip(kBox, pt) ? 1 : 0) + (IsInBoxSizeStrip(kBox, pt) ? 1 : 0)) << x;
    }
    const RECT move = GetBoxMoveStrip(kBox);
    const RECT size = GetBoxSizeStrip(kBox);
    EXPECT_EQ(290, move.right);
    EXPECT_EQ(290, size.left);
    EXPECT_EQ(300, size.right);
}

TEST(BoxStrips, PointInRectIsHalfOpen)
{
    const RECT r = { 0, 0, 1, 1 };
    EXPECT_TRUE(IsPointInBoxRect(r, POINT{ 0, 0 }));
    EXPECT_FALSE(IsPointInBoxRect(r, POINT{ 1, 0 }));
    EXPECT_FALSE(IsPointInBoxRect(r, POINT{ 0, 1 }));
    const RECT empty = { 5, 5, 5, 5 };
    EXPECT_FALSE(IsPointInBoxRect(empty, POINT{ 5, 5 }));
}

TEST(BoxMoveRule, OnlyMoreThanOneHundredMillisecondsIsAMove)
{
    EXPECT_FALSE(IsBoxMoveLongEnough(1000, 1000));
    EXPECT_FALSE(IsBoxMoveLongEnough(1000, 1100));
    EXPECT_TRUE(IsBoxMoveLongEnough(1000, 1101));
    EXPECT_TRUE(IsBoxMoveLongEnough(0, 5000));
    // The tick count wrapped around between press and release.
    EXPECT_FALSE(IsBoxMoveLongEnough(0xFFFFFFF0u, 0x00000050u));  // 96 ms
    EXPECT_TRUE(IsBoxMoveLongEnough(0xFFFFFFF0u, 0x00000060u));   // 112 ms
}

TEST(BoxWidthRule, ResizeWidthFollowsTheCursorDownToTheMinimum)
{
    // The right edge is the cursor's x plus one.
    EXPECT_EQ(250, GetBoxResizeWidth(kBox, 349, 80));
    EXPECT_EQ(200, GetBoxResizeWidth(kBox, 299, 80));
    EXPECT_EQ(80, GetBoxResizeWidth(kBox, 179, 80));
    EXPECT_EQ(80, GetBoxResizeWidth(kBox, 150, 80));
    // Far left of the box, even left of the screen.
    EXPECT_EQ(80, GetBoxResizeWidth(kBox, -30000, 80));
    // Far right: no overflow.
    EXPECT_EQ(0x7FFFFFFF - 100, GetBoxResizeWidth(kBox, 0x7FFFFFFE, 80));
    const RECT offLeft = { -200, 0, 0, 10 };
    EXPECT_EQ(0x7FFFFFFF, GetBoxResizeWidth(offLeft, 0x7FFFFFFE, 80));
    // The narrowest box keeps a move strip beside the size strip.
    EXPECT_GT(Model::kMinimumTitleWidth, kBoxSizeStripWidth);
}

TEST(BoxFitRule, ABoxMovesTheLeastToLieInsideTheArea)
{
    const RECT area = { 0, 0, 1280, 800 };
    struct Case
    {
        RECT box;
        POINT expected;
    };
    const Case cases[] = {
        { { 100, 100, 300, 124 }, { 100, 100 } },                 // inside: stays
        { { 980, 10, 2260, 34 }, { 0, 10 } },                     // as wide as the area
        { { 980, 10, 1380, 34 }, { 880, 10 } },                   // over the right edge
        { { -30, 790, 94, 814 }, { 0, 776 } },                    // over the left and bottom edges
        { { 500, 20, 500 + 5000, 44 }, { 0, 20 } },               // wider than the area
        { { 0x7FFFFF00, 0, 0x7FFFFFFF, 24 }, { 1280 - 255, 0 } },  // far out, no overflow
        { { -0x7FFFFFFF, -0x7FFFFFFF, -0x7FFFFF00, -0x7FFFFF00 }, { 0, 0 } },
    };
    for (const Case& c : cases) {
        const POINT p = FitBoxIntoArea(c.box, area);
        EXPECT_EQ(c.expected.x, p.x) << c.box.left;
        EXPECT_EQ(c.expected.y, p.y) << c.box.top;
    }
    // An area that does not start at 0 (a monitor left of the primary one).
    const RECT left = { -1024, 0, 0, 768 };
    const POINT p = FitBoxIntoArea(RECT{ -100, 0, 100, 24 }, left);
    EXPECT_EQ(-200, p.x);
}

TEST(BoxStepRule, AGroupStopsTogetherWhereItsFirstBoxReachesAnEdge)
{
    // Corners stay in x [0, 1248] and y [0, 768].
    struct Case { const char* name; std::vector<POINT> corners; BoxStep step; LONGLONG x; LONGLONG y; };
    const Case cases[] = {
        { "to the left edge, sliding down", { { 500, 300 } }, { -900, 40 }, -500, 40 },
        { "to the right and bottom edges", { { 500, 300 } }, { 2000, 2000 }, 748, 468 },
        { "a forged point far out", { { 500, 300 } }, { -3000000000LL, 3000000000LL }, -500, 468 },
        { "the group at its leftmost box", { { 700, 450 }, { 200, 100 }, { 200, 300 } }, { -710, 0 }, -200, 0 },
        { "a box out on the left goes no further out", { { 300, 100 }, { -50, 100 } }, { -10, 0 }, 0, 0 },
        { "but the group comes back in", { { 300, 100 }, { -50, 100 } }, { 20, 0 }, 20, 0 },
    };
    for (const Case& c : cases) {
        const BoxStep cut = CutBoxStep(c.corners, c.step, RECT{ 0, 0, 1280, 800 });
        EXPECT_EQ(c.x, cut.x) << c.name;
        EXPECT_EQ(c.y, cut.y) << c.name;
    }
}

// A column of boxes 124 x 24 at x, count of them from top, step apart.
std::vector<RECT> Column(LONG x, LONG top, LONG step, int count)
{
    std::vector<RECT> boxes;
    for (int i = 0; i < count; ++i)
        boxes.push_back(RECT{ x, top + i * step, x + 124, top + i * step + 24 });
    return boxes;
}

std::vector<RECT> Join(std::vector<RECT> a, const std::vector<RECT>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(NewBoxPlace, BelowTheIssuerOnAPlaceThatCoversNoBox)
{
    const RECT work = { 0, 0, 1280, 760 };  // a taskbar below
    struct Case { const char* name; std::vector<RECT> boxes; RECT area; POINT expected; };  // boxes[0] issues
    const Case cases[] = {
        { "wizard's column", Column(956, 20, 32, 6), work, { 956, 224 } },
        { "at the work area's bottom", Column(100, 730, 0, 1), work, { 234, 730 } },
        { "full column", Column(100, 0, 34, 23), work, { 234, 0 } },
        { "full column at the right edge", Column(1150, 0, 34, 23), work, { 1016, 0 } },
        { "single box", Column(500, 300, 0, 1), work, { 500, 334 } },
        // From the bottom corners nothing lies below, beside or further down: the free place nearest.
        { "bottom-right corner, a box to its left", { { 1150, 750, 1274, 774 }, { 1016, 750, 1140, 774 } },
          { 0, 0, 1280, 780 }, { 1150, 716 } },
        { "bottom-right corner, above taken: two up is nearer than the diagonal",
          { { 1150, 736, 1274, 760 }, { 1016, 736, 1140, 760 }, { 1150, 702, 1274, 726 } }, work, { 1150, 668 } },
        { "bottom-left corner, its column full, a box to its right",
          Join(Column(0, 736, 0, 1), Join(Column(0, 0, 34, 22), Column(134, 736, 0, 1))), work, { 134, 702 } },
        { "bottom-right corner, two columns full", Join(Column(1150, 736, 0, 1), Join(Column(1150, 0, 34, 22),
                                                        Column(1016, 0, 34, 23))), work, { 882, 736 } },
        { "far right of its area", Column(100000, 736, 0, 1), work, { 1108, 736 } },
        { "no free place: the old rule", Column(0, 0, 0, 1), { 0, 0, 124, 30 }, { 0, 34 } },
    };
    for (const Case& c : cases) {
        const POINT p = PlaceNewBox(c.boxes[0], SIZE{ 124, 24 }, c.boxes, c.area, RECT{ 0, 0, 1280, 800 });
        EXPECT_EQ(c.expected.x, p.x) << c.name;
        EXPECT_EQ(c.expected.y, p.y) << c.name;
    }
}

// ---- Busy ------------------------------------------------------------------------------------

class BoxBusy : public ::testing::Test
{
protected:
    void TearDown() override
    {
        g_bDialogOpen = g_bMenuOpen = g_bFileListOpen = g_bBoxDialogOpen = FALSE;
    }
};

TEST_F(BoxBusy, EachFlagAloneMakesTheBoxBusy)
{
    CTarneloWnd box;  // no window is needed to ask
    EXPECT_FALSE(box.IsBusy());
    BOOL* flags[] = { &g_bDialogOpen, &g_bMenuOpen, &g_bFileListOpen, &g_bBoxDialogOpen };
    for (BOOL* flag : flags) {
        *flag = TRUE;
        EXPECT_TRUE(box.IsBusy());
        *flag = FALSE;
        EXPECT_FALSE(box.IsBusy());
    }
    box.m_bCommandPending = TRUE;
    EXPECT_TRUE(box.IsBusy());
    box.m_bCommandPending = FALSE;
    EXPECT_FALSE(box.IsBusy());
}

TEST_F(BoxBusy, OtherFlagsDoNotMakeTheBoxBusy)
{
    CTarneloWnd box;
    g_bNoFileNoticeShown = TRUE;
    g_bFirstActivation = TRUE;
    EXPECT_FALSE(box.IsBusy());
    g_bNoFileNoticeShown = FALSE;
    // A command pending on another box does not make this one busy.
    CTarneloWnd other;
    other.m_bCommandPending = TRUE;
    EXPECT_FALSE(box.IsBusy());
}

}  // namespace
