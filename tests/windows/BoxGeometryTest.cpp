// The box window's rules that need no window: the move and size strips, the time that
// tells a move from a click, the narrowest box, and when a box counts as busy.
#include <gtest/gtest.h>
#include <windows.h>

#include "model/CTarneloStyleInfo.h"
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

TEST(BoxWidthRule, MinimumIsTheIconCellPlusATitle)
{
    Model::CTarneloStyleInfo style;
    style.m_nIconDisplay = 0;
    style.m_nIconCellWidth = 40;
    EXPECT_EQ(40 + kBoxMinimumTitleWidth, GetMinimumBoxWidth(style));
    style.m_nIconDisplay = 1;
    style.m_nIconCellWidth = 24;
    EXPECT_EQ(24 + kBoxMinimumTitleWidth, GetMinimumBoxWidth(style));
    // Icon hidden: the cell takes no room.
    style.m_nIconDisplay = 2;
    EXPECT_EQ(kBoxMinimumTitleWidth, GetMinimumBoxWidth(style));
    // A damaged style with a negative cell does not lower the minimum.
    style.m_nIconDisplay = 0;
    style.m_nIconCellWidth = -500;
    EXPECT_EQ(kBoxMinimumTitleWidth, GetMinimumBoxWidth(style));
    // The minimum keeps a move strip beside the size strip.
    EXPECT_GT(kBoxMinimumTitleWidth, kBoxSizeStripWidth);
}

TEST(BoxWidthRule, ClampRaisesOnlyNarrowWidths)
{
    Model::CTarneloStyleInfo style;
    style.m_nIconDisplay = 0;
    style.m_nIconCellWidth = 40;
    const int minimum = GetMinimumBoxWidth(style);
    EXPECT_EQ(minimum, ClampBoxWidth(0, style));
    EXPECT_EQ(minimum, ClampBoxWidth(-100, style));
    EXPECT_EQ(minimum, ClampBoxWidth(minimum - 1, style));
    EXPECT_EQ(minimum, ClampBoxWidth(minimum, style));
    EXPECT_EQ(500, ClampBoxWidth(500, style));
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
