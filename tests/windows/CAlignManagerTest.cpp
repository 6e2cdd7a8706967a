// The alignment grid on its own: the slots it builds over a given screen, the slot rules of
// FindSlot, and steps that do not advance.
#include <gtest/gtest.h>
#include <windows.h>

#include "windows/CAlignManager.h"

using Utility::CAlignManager;

namespace {

const RECT kFullHd = { 0, 0, 1920, 1080 };

POINT Pt(int x, int y) { return POINT{ x, y }; }

}  // namespace

TEST(AlignGrid, CoversTheScreenFromTheOriginInEqualTouchingSlots)
{
    CAlignManager grid;
    EXPECT_TRUE(grid.m_columns.empty());
    grid.BuildGrid(Pt(100, 10), SIZE{ 124, 32 }, 10, 10, kFullHd);

    // Columns at 100, 234, 368, ... up to 1842; slots at 10, 52, 94, ... up to 1060.
    ASSERT_EQ(14u, grid.m_columns.size());
    for (size_t c = 0; c < grid.m_columns.size(); ++c) {
        const CAlignManager::Column& column = grid.m_columns[c];
        ASSERT_EQ(26u, column.size()) << "column " << c;
        for (size_t s = 0; s < column.size(); ++s) {
            const CAlignManager::_SLOT& slot = column[s];
            EXPECT_EQ(100 + static_cast<int>(c) * 134, slot.x);
            EXPECT_EQ(10 + static_cast<int>(s) * 42, slot.y);
            EXPECT_EQ(134, slot.width);
            EXPECT_EQ(42, slot.height);
            EXPECT_EQ(0, slot.taken);
        }
    }
    EXPECT_EQ(1842, grid.m_columns.back().front().x);
    EXPECT_EQ(1060, grid.m_columns.front().back().y);

    // Building again replaces the grid; an origin below the bottom edge gives empty columns.
    grid.BuildGrid(Pt(0, 1080), SIZE{ 900, 30 }, 100, 0, kFullHd);
    ASSERT_EQ(2u, grid.m_columns.size());
    EXPECT_TRUE(grid.m_columns[0].empty());
    EXPECT_TRUE(grid.m_columns[1].empty());
    POINT out = Pt(-1, -1);
    EXPECT_FALSE(grid.FindSlot(Pt(0, 1080), &out));
    EXPECT_EQ(-1, out.x);
}

TEST(AlignGrid, AStepThatDoesNotAdvanceGivesAnEmptyGridInsteadOfEndlessSlots)
{
    CAlignManager grid;
    grid.BuildGrid(Pt(0, 0), SIZE{ 124, 32 }, -124, 10, kFullHd);
    EXPECT_TRUE(grid.m_columns.empty());
    grid.BuildGrid(Pt(0, 0), SIZE{ 124, 32 }, 10, -40, kFullHd);
    EXPECT_TRUE(grid.m_columns.empty());
    grid.BuildGrid(Pt(0, 0), SIZE{ 124, 32 }, INT_MIN, INT_MIN, kFullHd);
    EXPECT_TRUE(grid.m_columns.empty());
    POINT out = Pt(7, 7);
    EXPECT_FALSE(grid.FindSlot(Pt(0, 0), &out));
    EXPECT_EQ(7, out.x);

    // A huge gap leaves one slot per axis; an origin at the far edge does not overflow.
    grid.BuildGrid(Pt(0, 0), SIZE{ 124, 32 }, INT_MAX - 124, INT_MAX - 32, kFullHd);
    ASSERT_EQ(1u, grid.m_columns.size());
    ASSERT_EQ(1u, grid.m_columns[0].size());
    EXPECT_TRUE(grid.FindSlot(Pt(1919, 1079), &out));
    grid.BuildGrid(Pt(INT_MAX - 5, INT_MAX - 5), SIZE{ 124, 32 }, 10, 10, RECT{ 0, 0, INT_MAX, INT_MAX });
    ASSERT_EQ(1u, grid.m_columns.size());
    EXPECT_TRUE(grid.FindSlot(Pt(INT_MAX - 1, INT_MAX - 1), &out));
    EXPECT_EQ(INT_MAX - 5, out.x);
}

TEST(AlignGrid, EachBoxTakesItsSlotOrTheNextFreeOneBelow)
{
    CAlignManager grid;
    grid.BuildGrid(Pt(100, 10), SIZE{ 124, 32 }, 10, 10, kFullHd);

    // The slot is the one that holds the corner: left and top edges inside, right and bottom out.
    POINT out = {};
    ASSERT_TRUE(grid.FindSlot(Pt(233, 51), &out));
    EXPECT_EQ(100, out.x);
    EXPECT_EQ(10, out.y);
    ASSERT_TRUE(grid.FindSlot(Pt(234, 52), &out));
    EXPECT_EQ(234, out.x);
    EXPECT_EQ(52, out.y);

    // A second corner in a taken slot goes to the next free slot below, skipping taken ones.
    ASSERT_TRUE(grid.FindSlot(Pt(150, 20), &out));
    EXPECT_EQ(100, out.x);
    EXPECT_EQ(52, out.y);
    ASSERT_TRUE(grid.FindSlot(Pt(100, 94), &out));  // the third slot, still free
    EXPECT_EQ(94, out.y);
    ASSERT_TRUE(grid.FindSlot(Pt(101, 11), &out));
    EXPECT_EQ(100, out.x);
    EXPECT_EQ(136, out.y);

    // Outside the grid: left of or above the origin, right of or below the last slots
    // (which end at 1842 + 134 and 1060 + 42, beyond the screen).
    const POINT outside[] = { Pt(99, 10), Pt(100, 9), Pt(1976, 500), Pt(500, 1102) };
    for (const POINT& pt : outside) {
        out = Pt(-1, -1);
        EXPECT_FALSE(grid.FindSlot(pt, &out)) << pt.x << "," << pt.y;
        EXPECT_EQ(-1, out.x);
    }
    // The last column and row reach beyond the screen and still take corners inside them.
    ASSERT_TRUE(grid.FindSlot(Pt(1919, 1079), &out));
    EXPECT_EQ(1842, out.x);
    EXPECT_EQ(1060, out.y);
}

TEST(AlignGrid, ACornerInATakenBottomSlotStaysWhereItIsAndTakesNothing)
{
    CAlignManager grid;
    grid.BuildGrid(Pt(0, 0), SIZE{ 100, 30 }, 10, 10, RECT{ 0, 0, 300, 120 });
    ASSERT_EQ(3u, grid.m_columns.size());
    ASSERT_EQ(3u, grid.m_columns[0].size());
    POINT out = {};
    ASSERT_TRUE(grid.FindSlot(Pt(5, 85), &out));  // the bottom slot of column 0
    EXPECT_EQ(80, out.y);
    out = Pt(-1, -1);
    EXPECT_FALSE(grid.FindSlot(Pt(50, 100), &out));
    EXPECT_EQ(-1, out.x);
    // Nothing above was taken by the refused box.
    EXPECT_EQ(0, grid.m_columns[0][0].taken);
    EXPECT_EQ(0, grid.m_columns[0][1].taken);
    // A free slot above is never chosen: only slots below count.
    ASSERT_TRUE(grid.FindSlot(Pt(0, 0), &out));
    EXPECT_EQ(0, out.y);
}

TEST(AlignGrid, AligningAgainWithTheSameGridLeavesEveryBoxInPlace)
{
    // Corners that first found slots are slot corners; a new grid gives each the same slot.
    const POINT corners[] = { Pt(30, 40), Pt(35, 45), Pt(300, 41), Pt(800, 700), Pt(31, 200) };
    POINT placed[5] = {};
    CAlignManager first;
    first.BuildGrid(Pt(30, 40), SIZE{ 124, 32 }, 10, 10, kFullHd);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(first.FindSlot(corners[i], &placed[i]));

    CAlignManager second;
    second.BuildGrid(Pt(30, 40), SIZE{ 124, 32 }, 10, 10, kFullHd);
    for (int i = 0; i < 5; ++i) {
        POINT again = {};
        ASSERT_TRUE(second.FindSlot(placed[i], &again));
        EXPECT_EQ(placed[i].x, again.x);
        EXPECT_EQ(placed[i].y, again.y);
    }
}
