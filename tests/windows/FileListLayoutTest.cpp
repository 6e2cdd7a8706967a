// The file list's rules without a window: names, sizes, places, hit-testing, selection,
// the reorder threshold, type-ahead, and reordering rows by identity.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "model/CTarneloInfo.h"
#include "windows/FileListLayout.h"

using namespace FileListLayout;

namespace {

std::wstring W(const CString& s) { return s.GetString(); }

// Rows named in order, laid out with a width of 100 and rows of 26.
RowList MakeRows(const std::vector<const wchar_t*>& names)
{
    RowList rows;
    for (const wchar_t* name : names) {
        auto row = std::make_unique<_FILE_INFO>();
        row->nType = Model::ITEM_TYPE_FILE;
        row->strName = name;
        row->strPath = CString(L"C:\\box\\") + name + L".lnk";
        row->strIconKey = L"txt";
        row->bExists = TRUE;
        rows.push_back(std::move(row));
    }
    FileListLayout::LayoutRows(rows, 100, 26);
    return rows;
}

_FILE_INFO* At(RowList& rows, int index)
{
    return std::next(rows.begin(), index)->get();
}

std::vector<std::wstring> Names(const RowList& rows)
{
    std::vector<std::wstring> names;
    for (const auto& row : rows)
        names.push_back(row->strName.GetString());
    return names;
}

}  // namespace

TEST(FileListDisplayName, FilesShowTheirExtensionOnlyWhenAsked)
{
    EXPECT_EQ(L"Report", W(GetDisplayName(Model::ITEM_TYPE_FILE, L"Report.docx", FALSE)));
    EXPECT_EQ(L"Report.docx", W(GetDisplayName(Model::ITEM_TYPE_FILE, L"Report.docx", TRUE)));
    EXPECT_EQ(L"archive.tar", W(GetDisplayName(Model::ITEM_TYPE_FILE, L"archive.tar.gz", FALSE)));
    EXPECT_EQ(L"README", W(GetDisplayName(Model::ITEM_TYPE_FILE, L"README", FALSE)));
}

TEST(FileListDisplayName, ShortcutsNeverAndFoldersAlwaysShowTheWholeName)
{
    EXPECT_EQ(L"Word", W(GetDisplayName(Model::ITEM_TYPE_SHORTCUT, L"Word.lnk", TRUE)));
    EXPECT_EQ(L"Word", W(GetDisplayName(Model::ITEM_TYPE_SHORTCUT, L"Word.lnk", FALSE)));
    EXPECT_EQ(L"Site", W(GetDisplayName(Model::ITEM_TYPE_INTERNET_SHORTCUT, L"Site.url", TRUE)));
    EXPECT_EQ(L"a.b", W(GetDisplayName(Model::ITEM_TYPE_FOLDER, L"a.b", FALSE)));
    EXPECT_EQ(L"a.b", W(GetDisplayName(Model::ITEM_TYPE_FOLDER, L"a.b", TRUE)));
    EXPECT_EQ(L"x.y", W(GetDisplayName(7, L"x.y", FALSE)));
}

TEST(FileListSize, BothMenusWithShortAndLongNames)
{
    EXPECT_EQ(26, GetRowHeight(TRUE));
    EXPECT_EQ(42, GetRowHeight(FALSE));
    EXPECT_EQ(30, GetIconColumnWidth(TRUE));
    EXPECT_EQ(48, GetIconColumnWidth(FALSE));

    // Short names: the name area is 80 wide.
    SIZE small = GetListSize(30, 12, 26, 3);
    EXPECT_EQ(114, small.cx);
    EXPECT_EQ(78, small.cy);
    SIZE large = GetListSize(48, 0, 42, 3);
    EXPECT_EQ(132, large.cx);
    EXPECT_EQ(126, large.cy);
    // A long name widens the list; exactly 80 and 81 either side of the minimum.
    EXPECT_EQ(30 + 80 + 4, GetListSize(30, 80, 26, 1).cx);
    EXPECT_EQ(30 + 81 + 4, GetListSize(30, 81, 26, 1).cx);
    EXPECT_EQ(30 + 250 + 4, GetListSize(30, 250, 26, 1).cx);
    EXPECT_EQ(0, GetListSize(30, 0, 26, 0).cy);
    EXPECT_EQ(26 * 200, GetListSize(30, 0, 26, 200).cy);
    // A count whose height would overflow is cut, never wrapped to a negative height.
    EXPECT_GT(GetListSize(30, 0, 42, static_cast<size_t>(1) << 40).cy, 0);
}

TEST(FileListSize, AListTallerThanTheScreenKeepsTheWholeRowsThatFit)
{
    const RECT screen = {0, -100, 1280, 924};
    const struct { int height, row, fitted; } cases[] = {
        {78, 26, 78}, {1014, 26, 1014}, {1015, 26, 1014}, {26 * 400, 26, 1014},
        {42 * 400, 42, 1008}, {2000, 2000, 2000}, {0, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.fitted, FitListHeight(c.height, c.row, screen)) << c.height << " " << c.row;
    EXPECT_EQ(1270, FitListWidth(2997, screen));  // less a margin either side
}

TEST(FileListSize, ANameTooWideEndsWithAnEllipsis)
{
    const auto measure = [](const CString& text) { return 10 * text.GetLength(); };  // the ellipsis too
    const struct { const wchar_t* name; int width; const wchar_t* shown; } cases[] = {
        {L"abcdef", 60, L"abcdef"}, {L"abcdef", 59, L"abcd\u2026"}, {L"abcdef", 5, L"\u2026"},
        {L"ab\U0001F600cd", 40, L"ab\u2026"}, {L"", 0, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.shown), W(FitNameWithEllipsis(c.name, c.width, measure))) << c.width;
}

TEST(FileListScroll, TheWheelMovesByRows)
{
    // Three rows a notch either way, a part notch waits, a page when the system says so.
    int pending = 0;
    const struct { int delta; UINT lines; int rows; } turns[] = {
        {-WHEEL_DELTA, 3, 3}, {2 * WHEEL_DELTA, 3, -6}, {-60, 3, 0}, {-60, 3, 3}, {-WHEEL_DELTA, WHEEL_PAGESCROLL, 4}};
    for (const auto& t : turns)
        EXPECT_EQ(t.rows, WheelRows(pending, t.delta, t.lines, 4)) << t.delta;
}

TEST(FileListPosition, OffsetsAndClampsAtTheRightAndBottomEdges)
{
    const RECT screen = {0, 0, 1280, 1024};
    const SIZE size = {114, 78};
    // Full-size icon: 50 right of the box; otherwise 24. Below the box.
    POINT p = GetListPosition(POINT{200, 150}, 0, 48, size, screen);
    EXPECT_EQ(250, p.x);
    EXPECT_EQ(198, p.y);
    EXPECT_EQ(224, GetListPosition(POINT{200, 150}, 1, 48, size, screen).x);
    EXPECT_EQ(224, GetListPosition(POINT{200, 150}, 2, 48, size, screen).x);

    // Ending exactly at the edge is kept; one pixel over moves it to 5 before the edge.
    EXPECT_EQ(1280 - 114, GetListPosition(POINT{1280 - 114 - 50, 0}, 0, 10, size, screen).x);
    EXPECT_EQ(1280 - 114 - 5, GetListPosition(POINT{1280 - 114 - 49, 0}, 0, 10, size, screen).x);
    EXPECT_EQ(1024 - 78, GetListPosition(POINT{0, 1024 - 78 - 10}, 0, 10, size, screen).y);
    EXPECT_EQ(1024 - 78 - 5, GetListPosition(POINT{0, 1024 - 78 - 9}, 0, 10, size, screen).y);

    // Left and top edges are left as they come.
    p = GetListPosition(POINT{-300, -200}, 0, 10, size, screen);
    EXPECT_EQ(-250, p.x);
    EXPECT_EQ(-190, p.y);

    // A virtual screen that starts left of and above the primary monitor.
    const RECT wide = {-1920, -100, 1280, 1024};
    EXPECT_EQ(1280 - 114 - 5, GetListPosition(POINT{1250, 0}, 0, 10, size, wide).x);

    // A list taller than the screen goes above its top.
    p = GetListPosition(POINT{200, 150}, 0, 48, SIZE{114, 5200}, screen);
    EXPECT_EQ(1024 - 5200 - 5, p.y);
}

TEST(FileListPosition, TheListKeepsToTheWorkAreaOfTheBoxsMonitor)
{
    // A box 48 high, rows of 26; 1280 x 800 with a 20-px taskbar; 1920 x 1200 and 1280 x 800 side by side.
    const RECT taskbar = {0, 0, 1280, 780}, tall = {0, 0, 1920, 1200}, low = {1920, 0, 3200, 800};
    const struct { POINT box; SIZE list; RECT area, placed; } cases[] = {
        {{400, 200}, {200, 7800}, taskbar, {450, 21, 650, 775}}, {{400, 740}, {114, 78}, taskbar, {450, 697, 564, 775}},
        {{2500, 400}, {114, 7800}, low, {2550, 15, 2664, 795}}, {{1800, 400}, {200, 7800}, tall, {1715, 25, 1915, 1195}}};
    for (const auto& c : cases) {
        const RECT placed = PlaceList(c.box, 0, 48, c.list, 26, c.area);
        EXPECT_TRUE(::EqualRect(&c.placed, &placed)) << placed.left << "," << placed.top;
    }
}

TEST(FileListPosition, TheCursorLandsOnTheFirstRow)
{
    const RECT list = {250, 198, 364, 276};
    // Left of the list: to its left + 5.
    POINT p = GetOpenCursorPos(POINT{100, 300}, list);
    EXPECT_EQ(255, p.x);
    EXPECT_EQ(203, p.y);
    // Above it but within its width: only y changes. Both edges count as within.
    EXPECT_EQ(300, GetOpenCursorPos(POINT{300, 170}, list).x);
    EXPECT_EQ(250, GetOpenCursorPos(POINT{250, 170}, list).x);
    EXPECT_EQ(364, GetOpenCursorPos(POINT{364, 170}, list).x);
    EXPECT_EQ(255, GetOpenCursorPos(POINT{365, 170}, list).x);
    EXPECT_EQ(203, GetOpenCursorPos(POINT{300, 170}, list).y);
}

TEST(FileListHitTest, EdgesAndRows)
{
    EXPECT_TRUE(IsPointInRow(0, 26, 100, 26, POINT{0, 26}));
    EXPECT_TRUE(IsPointInRow(0, 26, 100, 26, POINT{99, 51}));
    EXPECT_FALSE(IsPointInRow(0, 26, 100, 26, POINT{100, 30}));
    EXPECT_FALSE(IsPointInRow(0, 26, 100, 26, POINT{10, 52}));
    EXPECT_FALSE(IsPointInRow(0, 26, 100, 26, POINT{-1, 30}));
    EXPECT_FALSE(IsPointInRow(0, 26, 100, 26, POINT{10, 25}));

    auto rows = MakeRows({L"a", L"b", L"c"});
    EXPECT_EQ(At(rows, 0), FileListLayout::HitTest(rows, 0, 0));
    EXPECT_EQ(At(rows, 0), FileListLayout::HitTest(rows, 99, 25));
    EXPECT_EQ(At(rows, 1), FileListLayout::HitTest(rows, 5, 26));
    EXPECT_EQ(At(rows, 2), FileListLayout::HitTest(rows, 5, 77));
    EXPECT_EQ(nullptr, FileListLayout::HitTest(rows, 5, 78));
    EXPECT_EQ(nullptr, FileListLayout::HitTest(rows, 100, 5));
    EXPECT_EQ(nullptr, FileListLayout::HitTest(rows, -1, 5));
    RowList none;
    EXPECT_EQ(nullptr, FileListLayout::HitTest(none, 0, 0));
}

TEST(FileListSelection, UpAndDownWrapAround)
{
    EXPECT_EQ(1, WrapIndex(0, 1, 5));
    EXPECT_EQ(0, WrapIndex(4, 1, 5));
    EXPECT_EQ(4, WrapIndex(0, -1, 5));
    EXPECT_EQ(2, WrapIndex(3, -1, 5));
    EXPECT_EQ(0, WrapIndex(0, 1, 1));
    EXPECT_EQ(0, WrapIndex(0, -1, 1));
    // No current row or no rows: nothing to select.
    EXPECT_EQ(-1, WrapIndex(-1, 1, 5));
    EXPECT_EQ(-1, WrapIndex(5, 1, 5));
    EXPECT_EQ(-1, WrapIndex(0, 1, 0));
    // PageDown and PageUp, with 29 rows of 300 shown from row 10.
    EXPECT_EQ(69, PageIndex(40, 1, 10, 29, 300));
    EXPECT_EQ(11, PageIndex(40, -1, 10, 29, 300));
}

TEST(FileListReorder, SixPixelsUpOrDownAreNotYetAReorderSevenAre)
{
    const POINT press = {40, 40};
    EXPECT_FALSE(IsReorderDrag(press, POINT{40, 46}));
    EXPECT_FALSE(IsReorderDrag(press, POINT{40, 34}));
    EXPECT_TRUE(IsReorderDrag(press, POINT{40, 47}));
    EXPECT_TRUE(IsReorderDrag(press, POINT{40, 33}));
    // Sideways alone never counts.
    EXPECT_FALSE(IsReorderDrag(press, POINT{400, 40}));
    EXPECT_FALSE(IsReorderDrag(press, POINT{-400, 46}));
    // Far points do not overflow.
    EXPECT_TRUE(IsReorderDrag(POINT{0, INT_MIN}, POINT{0, INT_MAX}));
}

TEST(FileListReorder, DraggingTheThirdOfFiveDownStepByStep)
{
    auto rows = MakeRows({L"a", L"b", L"c", L"d", L"e"});
    _FILE_INFO* c = At(rows, 2);
    // Over the fourth: after the fourth.
    ASSERT_TRUE(FileListLayout::MoveRow(rows, c, At(rows, 3), 100, 26));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"d", L"c", L"e"}), Names(rows));
    // Over the fifth: after the fifth.
    ASSERT_TRUE(FileListLayout::MoveRow(rows, c, At(rows, 4), 100, 26));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"d", L"e", L"c"}), Names(rows));
    // Every row is laid out again in its new place.
    int i = 0;
    for (const auto& row : rows) {
        EXPECT_EQ(0, row->rcItem.X);
        EXPECT_EQ(i * 26, row->rcItem.Y);
        EXPECT_EQ(100, row->rcItem.Width);
        EXPECT_EQ(26, row->rcItem.Height);
        ++i;
    }
    // And back up: over the first, before the first.
    ASSERT_TRUE(FileListLayout::MoveRow(rows, c, At(rows, 0), 100, 26));
    EXPECT_EQ((std::vector<std::wstring>{L"c", L"a", L"b", L"d", L"e"}), Names(rows));
    EXPECT_EQ(c, At(rows, 0));
}

TEST(FileListReorder, RowsAreFoundByIdentityNotByName)
{
    // Two rows of the same name (the record does not forbid it in a loaded file).
    auto rows = MakeRows({L"same", L"x", L"same", L"y"});
    _FILE_INFO* second = At(rows, 2);
    _FILE_INFO* first = At(rows, 0);
    ASSERT_TRUE(FileListLayout::MoveRow(rows, second, At(rows, 3), 100, 26));
    // The second "same" moved; the first stayed; nothing doubled or lost.
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ(first, At(rows, 0));
    EXPECT_EQ(second, At(rows, 3));
    EXPECT_EQ((std::vector<std::wstring>{L"same", L"x", L"y", L"same"}), Names(rows));

    // Rows not in the list, the same row twice, or null change nothing.
    _FILE_INFO stranger;
    EXPECT_FALSE(FileListLayout::MoveRow(rows, &stranger, first, 100, 26));
    EXPECT_FALSE(FileListLayout::MoveRow(rows, first, &stranger, 100, 26));
    EXPECT_FALSE(FileListLayout::MoveRow(rows, first, first, 100, 26));
    EXPECT_FALSE(FileListLayout::MoveRow(rows, nullptr, first, 100, 26));
    EXPECT_EQ(4u, rows.size());
    EXPECT_EQ(0, FileListLayout::IndexOf(rows, first));
    EXPECT_EQ(3, FileListLayout::IndexOf(rows, second));
    EXPECT_EQ(-1, FileListLayout::IndexOf(rows, &stranger));
    EXPECT_EQ(-1, FileListLayout::IndexOf(rows, nullptr));
}

TEST(FileListReorder, CommitPutsTheRecordsItemsInRowOrder)
{
    // The record: two items of the same name in different files, and one more.
    std::list<Model::CTarneloInfo::_ITEM> items(3);
    auto item = items.begin();
    item->strName = L"same";
    item->strPath = L"C:\\box\\same.lnk";
    item->bExists = TRUE;
    (++item)->strName = L"x";
    item->strPath = L"C:\\box\\x.lnk";
    (++item)->strName = L"same";
    item->strPath = L"C:\\box\\same (2).lnk";
    item->strResolvedPath = L"C:\\data\\same";
    item->nType = Model::ITEM_TYPE_FOLDER;
    item->strIconKey = L"folder";
    const Model::CTarneloInfo::_ITEM* third = &*item;

    RowList rows;
    for (const auto& it : items) {
        auto row = std::make_unique<_FILE_INFO>();
        row->strName = it.strName;
        row->strPath = it.strPath;
        rows.push_back(std::move(row));
    }
    FileListLayout::LayoutRows(rows, 100, 26);
    ASSERT_TRUE(FileListLayout::MoveRow(rows, At(rows, 2), At(rows, 0), 100, 26));

    FileListLayout::CommitRows(rows, items);
    ASSERT_EQ(3u, items.size());
    auto it = items.begin();
    // The record's own item moved (not a copy), with every field it had.
    EXPECT_EQ(third, &*it);
    EXPECT_EQ(L"C:\\box\\same (2).lnk", W(it->strPath));
    EXPECT_EQ(L"C:\\data\\same", W(it->strResolvedPath));
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, it->nType);
    EXPECT_EQ(L"folder", W(it->strIconKey));
    ++it;
    EXPECT_EQ(L"C:\\box\\same.lnk", W(it->strPath));
    EXPECT_TRUE(it->bExists);
    ++it;
    EXPECT_EQ(L"x", W(it->strName));
    EXPECT_EQ(3u, rows.size());
}

TEST(FileListReorder, CommitKeepsItemsAddedMeanwhileAndBringsNoneBack)
{
    auto rows = MakeRows({L"a", L"b", L"c"});
    std::list<Model::CTarneloInfo::_ITEM> items;
    for (const auto& row : rows) {
        Model::CTarneloInfo::_ITEM item;
        item.strName = row->strName;
        item.strPath = row->strPath;
        items.push_back(item);
    }
    // While the list was open, "b" left the record and "new" came in.
    items.erase(std::next(items.begin()));
    Model::CTarneloInfo::_ITEM added;
    added.strName = L"new";
    added.strPath = L"C:\\box\\new.lnk";
    items.push_back(added);

    ASSERT_TRUE(FileListLayout::MoveRow(rows, At(rows, 2), At(rows, 0), 100, 26));  // c a b
    FileListLayout::CommitRows(rows, items);
    std::vector<std::wstring> names;
    for (const auto& item : items)
        names.push_back(item.strName.GetString());
    EXPECT_EQ((std::vector<std::wstring>{L"c", L"a", L"new"}), names);
}

TEST(FileListTypeAhead, KeysBuildTheText)
{
    CString text;
    EXPECT_TRUE(ApplyTypeAheadKey(text, 'W'));
    EXPECT_TRUE(ApplyTypeAheadKey(text, 'O'));
    EXPECT_TRUE(ApplyTypeAheadKey(text, '1'));
    EXPECT_EQ(L"WO1", W(text));
    // Codes 58 to 64 are taken too; 47 and 91 are not.
    EXPECT_TRUE(ApplyTypeAheadKey(text, 64));
    EXPECT_FALSE(ApplyTypeAheadKey(text, 47));
    EXPECT_FALSE(ApplyTypeAheadKey(text, 91));
    // Keypad digits and other keys change nothing.
    EXPECT_FALSE(ApplyTypeAheadKey(text, VK_NUMPAD0));
    EXPECT_FALSE(ApplyTypeAheadKey(text, VK_NUMPAD9));
    EXPECT_FALSE(ApplyTypeAheadKey(text, VK_F1));
    EXPECT_EQ(L"WO1@", W(text));
    // Backspace takes one off, and nothing from the empty text.
    EXPECT_TRUE(ApplyTypeAheadKey(text, VK_BACK));
    EXPECT_EQ(L"WO1", W(text));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(ApplyTypeAheadKey(text, VK_BACK));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(FileListTypeAhead, TheLongestMatchingBeginningWins)
{
    const std::vector<CString> names = {L"Apple", L"world.txt", L"Wonder", L"wOrk", L"Zebra"};
    int matched = -1;
    EXPECT_EQ(1, FindTypeAheadMatch(names, L"WO", &matched));
    EXPECT_EQ(2, matched);
    EXPECT_EQ(3, FindTypeAheadMatch(names, L"WORK", &matched));
    EXPECT_EQ(4, matched);
    // "WORX": the longest beginning any name has is "WOR", first found in "world.txt".
    EXPECT_EQ(1, FindTypeAheadMatch(names, L"WORX", &matched));
    EXPECT_EQ(3, matched);
    EXPECT_EQ(2, FindTypeAheadMatch(names, L"WON", &matched));
    // No name starts with Q: the first row.
    EXPECT_EQ(0, FindTypeAheadMatch(names, L"Q", &matched));
    EXPECT_EQ(0, matched);
    // The empty text selects the first row; a name shorter than the text cannot match it.
    EXPECT_EQ(0, FindTypeAheadMatch(names, L"", &matched));
    EXPECT_EQ(1, FindTypeAheadMatch({L"Ze", L"Zebra"}, L"ZEB", &matched));
    EXPECT_EQ(-1, FindTypeAheadMatch({}, L"A", &matched));
}

TEST(FileListLogs, OnlyTheFirstTwoCharactersOfANameAreLogged)
{
    EXPECT_EQ(L"Re", W(GetLogName(L"Report.docx")));
    EXPECT_EQ(L"R", W(GetLogName(L"R")));
    EXPECT_EQ(L"", W(GetLogName(L"")));
}
