// The file-list popup for real on the display: opening (place, size, rows and their first
// drawing, the large menu, the cursor) and closing, by timer and by its box.
#include "FileListTestSupport.h"
#include "LayeredTestSupport.h"

using namespace filelisttest;
using boxtest::PumpPending;
using boxtest::PumpUntil;

// ---- Opening and drawing -----------------------------------------------------------------------

TEST_F(FileListTest, FiveItemsOpenBelowTheBoxAndDrawRowsAndIcons)
{
    for (const wchar_t* name : {L"a1.txt", L"b2.txt", L"c3.txt", L"d4.txt", L"e5.txt"})
        AddPlainItem(name);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);

    // The window: below the box, 50 right of it, five small rows, layered tool window.
    const SIZE box = m_style.GetBoxSize(m_owner.m_hWnd);
    EXPECT_EQ(250, list->m_rect.left);
    EXPECT_EQ(150 + box.cy, list->m_rect.top);
    EXPECT_EQ(5 * 26, list->m_rect.bottom - list->m_rect.top);
    EXPECT_GE(list->m_rect.right - list->m_rect.left, 114);
    RECT actual;
    ::GetWindowRect(list->m_hWnd, &actual);
    EXPECT_TRUE(::EqualRect(&actual, &list->m_rect));
    wchar_t title[32] = {};
    ::GetWindowTextW(list->m_hWnd, title, 32);
    EXPECT_STREQ(L"VornFileList", title);
    EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_LAYERED | WS_EX_TOOLWINDOW),
              ::GetWindowLongPtrW(list->m_hWnd, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
    EXPECT_EQ(m_owner.m_hWnd, ::GetWindow(list->m_hWnd, GW_OWNER));
    EXPECT_EQ(list->m_hWnd, ::GetCapture());
    EXPECT_TRUE(g_bFileListOpen);
    ASSERT_EQ(5u, list->GetRows().size());
    EXPECT_EQ(nullptr, list->m_pCurrent);

    const int w = list->m_rect.right - list->m_rect.left;
    // Background, icon column, and the border's top and left lines.
    EXPECT_EQ(kBack, Pixel(*list, w - 3, 13));
    EXPECT_EQ(kColumn, Pixel(*list, 2, 13));
    EXPECT_EQ(kColumn, Pixel(*list, 28, 26 * 4 + 2));
    EXPECT_EQ(kBorder, Pixel(*list, w / 2, 0));
    EXPECT_EQ(kBorder, Pixel(*list, 0, 60));
    // Each row shows its icon in the column and its name beside it, centred on the row.
    for (int row = 0; row < 5; ++row) {
        const int top = row * 26;
        EXPECT_GT(CountOther(*list, RECT{6, top + 5, 22, top + 21}, kColumn), 20) << row;
        EXPECT_GT(CountOther(*list, RECT{34, top + 2, 80, top + 24}, kBack), 10) << row;
        EXPECT_EQ(0, CountOther(*list, RECT{90, top + 2, w - 2, top + 24}, kBack)) << row;
        EXPECT_NEAR(0.0, NameInkOffset(*list, row), 1.0) << row;
    }

    // Hovering the second row highlights it.
    Hover(*list, 1);
    EXPECT_EQ(list->GetRows().begin()->get() + 0, list->GetRows().begin()->get());
    EXPECT_EQ(std::next(list->GetRows().begin())->get(), list->m_pCurrent);
    PumpPending();
    EXPECT_EQ(kHover, Pixel(*list, w - 5, 26 + 13));
    EXPECT_EQ(kHoverBorder, Pixel(*list, 2, 26 + 13));
    EXPECT_EQ(kBack, Pixel(*list, w - 5, 13));

    // A hover change draws only the rows it changes, on the same back buffer, and shows
    // exactly what a full redraw shows.
    for (int row : {0, 3, 4}) {
        const HBITMAP buffer = list->m_bitmap;
        Hover(*list, row);
        PumpPending();
        EXPECT_EQ(buffer, static_cast<HBITMAP>(list->m_bitmap)) << row;
        const std::vector<DWORD> changed = BackBufferPixels(*list);
        list->Redraw();
        EXPECT_TRUE(changed == BackBufferPixels(*list)) << row;
    }
}

TEST_F(FileListTest, FourHundredItemsAreCutToTheScreenAndTheRowsItShowsAreDrawn)
{
    for (int i = 0; i < 400; ++i)
        AddPlainItem((L"item" + std::to_wstring(i) + L".txt").c_str());
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(400u, list->GetRows().size());
    // As many whole rows as the screen holds, 5 pixels inside its bottom edge.
    const int screen = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int shown = (screen - 10) / 26;
    const int h = shown * 26;
    EXPECT_EQ(h, list->m_rect.bottom - list->m_rect.top);
    EXPECT_EQ(::GetSystemMetrics(SM_YVIRTUALSCREEN) + screen - h - 5, list->m_rect.top);
    // Every row keeps its place in the list; the last one is off the surface.
    const CFileListWnd::_FILE_INFO* last = list->GetRows().back().get();
    EXPECT_EQ(399 * 26, last->rcItem.Y);
    EXPECT_EQ(list->m_nWidth, last->rcItem.Width);
    for (int row : {0, shown / 2, shown - 1}) {
        const int top = row * 26;
        EXPECT_GT(CountOther(*list, RECT{6, top + 5, 22, top + 21}, kColumn), 20) << row;
        EXPECT_GT(CountOther(*list, RECT{34, top + 2, 100, top + 24}, kBack), 10) << row;
    }

    // Nothing to show, no layered update: a wheel turn past the start, a redraw request.
    LayeredTest::UpdateWatch watch;
    ::SendMessageW(list->m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    ::PostMessageW(list->m_hWnd, WM_REDRAWMSG, 0, 0);
    PumpPending();
    EXPECT_TRUE(watch.m_calls.empty());
    ::SendMessageW(list->m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(3, list->GetTopRow());
}

TEST_F(FileListTest, TheLargeMenuAndTheMoveCursorFlag)
{
    m_style.m_bSmallMenu = FALSE;
    m_style.m_nIconDisplay = 1;
    AddPlainItem(L"A1.txt");
    AddPlainItem(L"B2.txt");
    AddPlainItem(L"C3.txt");
    ::SetCursorPos(10, 10);  // left of and above the list
    CFileListWnd* list = OpenList(TRUE);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(126, list->m_rect.bottom - list->m_rect.top);
    EXPECT_EQ(224, list->m_rect.left);
    EXPECT_EQ(48, list->m_nIconColumnWidth);
    EXPECT_EQ(42, list->m_nRowHeight);
    for (int row = 0; row < 3; ++row)
        EXPECT_NEAR(0.0, NameInkOffset(*list, row), 1.0) << row;
    POINT cursor;
    ::GetCursorPos(&cursor);
    EXPECT_EQ(list->m_rect.left + 5, cursor.x);
    EXPECT_EQ(list->m_rect.top + 5, cursor.y);
    // A list that exists refuses a second opening.
    EXPECT_FALSE(list->Open(&m_info, nullptr, &m_owner, WM_FILEWNDMSG, &m_style, &m_config, FALSE));
    EXPECT_EQ(3u, list->GetRows().size());
}

// ---- Closing -----------------------------------------------------------------------------------

TEST_F(FileListTest, TheCursorOutsideForFourTicksClosesTheList)
{
    AddPlainItem(L"a.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    auto tick = [&] { ::SendMessageW(list->m_hWnd, WM_TIMER, CFileListWnd::IDT_AUTO_CLOSE, 0); };

    ::SetCursorPos(1200, 1000);
    tick();
    tick();
    // Back inside: the count starts again.
    ::SetCursorPos(list->m_rect.left + 10, list->m_rect.top + 10);
    tick();
    EXPECT_EQ(0, list->m_nOutsideTicks);
    ::SetCursorPos(1200, 1000);
    tick();
    tick();
    tick();
    PumpPending();
    EXPECT_EQ(0, m_owner.Count(FILEWND_CLOSE));

    // A question box, a drag-out or the context menu keeps it open.
    g_bConfirmOpen = TRUE;
    for (int i = 0; i < 5; ++i)
        tick();
    g_bConfirmOpen = FALSE;
    EXPECT_EQ(3, list->m_nOutsideTicks);
    list->m_bMenuOpen = TRUE;
    tick();
    EXPECT_EQ(0, list->m_nOutsideTicks);
    list->m_bMenuOpen = FALSE;
    PumpPending();
    EXPECT_EQ(0, m_owner.Count(FILEWND_CLOSE));

    for (int i = 0; i < 4; ++i)
        tick();
    PumpPending();
    ASSERT_EQ(1, m_owner.Count(FILEWND_CLOSE));
    EXPECT_EQ(reinterpret_cast<LPARAM>(list), m_owner.messages.back().value);
    EXPECT_TRUE(list->IsCloseRequested());
    EXPECT_TRUE(LogHas("<filewnd> send destroy0"));
    // The window stays until its box deletes the list; then no second request comes.
    EXPECT_TRUE(::IsWindow(list->m_hWnd));
    const HWND window = list->m_hWnd;
    m_list.reset();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(g_bFileListOpen);
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
    EXPECT_TRUE(LogHas("<filewnd> destroy"));
}

TEST_F(FileListTest, TheRealTimerClosesTheListWhenTheCursorStaysAway)
{
    AddPlainItem(L"a.txt");
    m_list = std::make_unique<CFileListWnd>();
    ASSERT_TRUE(m_list->Open(&m_info, nullptr, &m_owner, WM_FILEWNDMSG, &m_style, &m_config, FALSE));
    ::SetCursorPos(1200, 1000);
    ASSERT_TRUE(PumpUntil([&] { return m_owner.Count(FILEWND_CLOSE) > 0; }, 15000));
    EXPECT_EQ(reinterpret_cast<LPARAM>(m_list.get()), m_owner.messages.back().value);
}

TEST_F(FileListTest, ABoxThatDestroysTheWindowGetsOneCloseRequest)
{
    AddPlainItem(L"a.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    list->DestroyWindow();
    EXPECT_FALSE(g_bFileListOpen);
    PumpPending();
    ASSERT_EQ(1, m_owner.Count(FILEWND_CLOSE));
    EXPECT_EQ(reinterpret_cast<LPARAM>(list), m_owner.messages.back().value);
    list->RequestClose(L"again");
    m_list.reset();
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
}

TEST_F(FileListTest, AListWithoutABoxClosesItsOwnWindow)
{
    AddPlainItem(L"a.txt");
    m_list = std::make_unique<CFileListWnd>();
    ASSERT_TRUE(m_list->Open(&m_info, nullptr, nullptr, WM_FILEWNDMSG, &m_style, &m_config, FALSE));
    m_list->RequestClose(nullptr);
    EXPECT_EQ(nullptr, m_list->m_hWnd);
    EXPECT_FALSE(g_bFileListOpen);
}
