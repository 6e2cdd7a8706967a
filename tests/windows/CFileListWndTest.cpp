// The file-list popup for real on the display: opening and drawing, closing by timer and by
// its box, the mouse (hover, click, reorder, drag-out), the keys and the item commands.
#include "FileListTestSupport.h"

#include <ole2.h>
#include <shellapi.h>

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "resources/resource.h"
#include "windows/CTarneloWnd.h"

using namespace filelisttest;
using boxtest::PumpPending;
using boxtest::PumpUntil;

namespace {

// The clipboard's one CF_HDROP path and how many files it names; empty without CF_HDROP.
std::wstring ClipboardFile(UINT* count)
{
    *count = 0;
    std::wstring path;
    for (int attempt = 0; attempt < 50 && !::OpenClipboard(nullptr); ++attempt)
        ::Sleep(10);
    const HDROP drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    if (drop) {
        *count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
        path.assign(length + 1, L'\0');
        ::DragQueryFileW(drop, 0, path.data(), length + 1);
        path.resize(length);
    }
    ::CloseClipboard();
    return path;
}

void PutTextOnClipboard(const wchar_t* text)
{
    for (int attempt = 0; attempt < 50 && !::OpenClipboard(nullptr); ++attempt)
        ::Sleep(10);
    ::EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(::GlobalLock(block), text, bytes);
    ::GlobalUnlock(block);
    ::SetClipboardData(CF_UNICODETEXT, block);
    ::CloseClipboard();
}

std::wstring ClipboardText()
{
    std::wstring text;
    for (int attempt = 0; attempt < 50 && !::OpenClipboard(nullptr); ++attempt)
        ::Sleep(10);
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (data) {
        text = static_cast<const wchar_t*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

}  // namespace

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
    const int shown = screen / 26;
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
}

TEST_F(FileListTest, AMissingItemIsGreyWithoutIconAndLogsTwoCharacters)
{
    AddPlainItem(L"Secret plans.txt", Model::ITEM_TYPE_FILE, FALSE);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0, CountOther(*list, RECT{2, 2, 28, 24}, kColumn));
    // Grey text: some pixel of the name is the missing-text grey, none is the text colour.
    bool grey = false;
    for (int y = 2; y < 24; ++y) {
        for (int x = 34; x < 100; ++x) {
            const DWORD p = Pixel(*list, x, y);
            // The grey, nearly opaque, laid over the white background.
            const BYTE r = static_cast<BYTE>(p >> 16), g = static_cast<BYTE>(p >> 8), b = static_cast<BYTE>(p);
            grey = grey || (r == g && g == b && r >= 0x78 && r <= 0x88);
            EXPECT_NE(kText, p);
        }
    }
    EXPECT_TRUE(grey);
    EXPECT_TRUE(LogHas("<filewnd> Not exist:Se"));
    EXPECT_FALSE(LogHas("Secret"));
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

// ---- Mouse -------------------------------------------------------------------------------------

TEST_F(FileListTest, AClickOpensTheRowThenAsksToClose)
{
    AddPlainItem(L"Report.txt");
    AddPlainItem(L"Budget.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    Hover(*list, 1);
    ListMouse(*list, WM_LBUTTONUP, RowCentre(*list, 1));
    PumpPending();
    ASSERT_EQ(2u, m_owner.messages.size());
    EXPECT_EQ(static_cast<WPARAM>(FILEWND_OPEN), m_owner.messages[0].code);
    EXPECT_EQ(1, m_owner.messages[0].value);
    EXPECT_EQ(static_cast<WPARAM>(FILEWND_CLOSE), m_owner.messages[1].code);
    EXPECT_TRUE(LogHas("File/Folder open:Bu"));
    EXPECT_FALSE(LogHas("Budget"));
}

TEST_F(FileListTest, AReleaseOutsideClosesWithoutOpening)
{
    AddPlainItem(L"a.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    Hover(*list, 0);
    ListMouse(*list, WM_LBUTTONUP, POINT{list->m_rect.right + 40, list->m_rect.top});
    PumpPending();
    EXPECT_EQ(0, m_owner.Count(FILEWND_OPEN));
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
}

TEST_F(FileListTest, SixPixelsDoNotStartAReorderSevenDo)
{
    for (const wchar_t* name : {L"a", L"b", L"c"})
        AddPlainItem(name);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    POINT p = RowCentre(*list, 1);
    p.y -= 8;
    Hover(*list, 1);
    ListMouse(*list, WM_MOUSEMOVE, POINT{p.x, p.y}, MK_LBUTTON);
    EXPECT_EQ(1, list->m_nDragState);
    ListMouse(*list, WM_MOUSEMOVE, POINT{p.x + 30, p.y + 6}, MK_LBUTTON);
    EXPECT_EQ(1, list->m_nDragState);
    ListMouse(*list, WM_MOUSEMOVE, POINT{p.x, p.y + 7}, MK_LBUTTON);
    EXPECT_EQ(2, list->m_nDragState);
    EXPECT_TRUE(LogHas("<filewnd> Item move start."));
    // A release before any row moved opens the row like a click.
    ListMouse(*list, WM_LBUTTONUP, POINT{p.x, p.y + 7});
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_OPEN));
    EXPECT_EQ(0, m_owner.Count(FILEWND_UPDATE));
}

class FileListInBox : public FileListTest
{
};

TEST_F(FileListInBox, ASyntheticDragReordersCommitsAndTheBoxSavesIt)
{
    for (const wchar_t* name : {L"a", L"b", L"c", L"same", L"same"})
        AddPlainItem(name);
    CTarneloWnd box;
    MakeBox(box);
    box.OpenFileList(FALSE);
    CFileListWnd* list = box.m_pFileList.get();
    ASSERT_NE(nullptr, list);
    list->KillTimer(CFileListWnd::IDT_AUTO_CLOSE);
    PumpPending();

    // Press on the third row, pull it down over the fourth and the fifth.
    Hover(*list, 2);
    POINT p = RowCentre(*list, 2);
    ListMouse(*list, WM_MOUSEMOVE, p, MK_LBUTTON);
    ListMouse(*list, WM_MOUSEMOVE, POINT{p.x, p.y + 7}, MK_LBUTTON);
    ASSERT_EQ(2, list->m_nDragState);
    ListMouse(*list, WM_MOUSEMOVE, RowCentre(*list, 3), MK_LBUTTON);
    ListMouse(*list, WM_MOUSEMOVE, RowCentre(*list, 4), MK_LBUTTON);
    EXPECT_EQ(2, list->m_nMoveCount);
    // Leaving the list after rows moved starts no drag-out.
    ListMouse(*list, WM_MOUSEMOVE, POINT{list->m_rect.right + 50, p.y}, MK_LBUTTON);
    EXPECT_FALSE(list->IsCloseRequested());
    ListMouse(*list, WM_LBUTTONUP, RowCentre(*list, 4));

    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"same", L"same", L"c"}), ItemNames());
    EXPECT_EQ(0, list->m_nDragState);
    EXPECT_TRUE(LogHas("<filewnd> item moved."));
    // The box hears of it and asks the manager to save; the list stays open.
    ASSERT_TRUE(PumpUntil([&] { return m_manager.Count(BOXEVENT_UPDATE_BOX_INFO) > 0; }));
    EXPECT_EQ(list, box.m_pFileList.get());
    EXPECT_TRUE(::IsWindow(list->m_hWnd));
    EXPECT_FALSE(list->IsCloseRequested());
    // The rows are the record's items, one each.
    std::vector<std::wstring> rows;
    for (const auto& row : list->GetRows())
        rows.push_back(row->strName.GetString());
    EXPECT_EQ(ItemNames(), rows);

    // Escape asks the box to close it, and the box deletes it.
    Key(*list, VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return box.m_pFileList == nullptr; }));
    EXPECT_FALSE(g_bFileListOpen);
}

// ---- Keys --------------------------------------------------------------------------------------

TEST_F(FileListTest, ArrowsWrapAndHomeEndJump)
{
    for (const wchar_t* name : {L"a", L"b", L"c"})
        AddPlainItem(name);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    const auto& rows = list->GetRows();
    Key(*list, VK_DOWN);  // no current row: nothing
    EXPECT_EQ(nullptr, list->m_pCurrent);
    Key(*list, VK_END);
    EXPECT_EQ(rows.back().get(), list->m_pCurrent);
    Key(*list, VK_DOWN);
    EXPECT_EQ(rows.front().get(), list->m_pCurrent);
    Key(*list, VK_UP);
    EXPECT_EQ(rows.back().get(), list->m_pCurrent);
    Key(*list, VK_HOME);
    EXPECT_EQ(rows.front().get(), list->m_pCurrent);
    // The cursor goes onto the selected row.
    POINT cursor;
    ::GetCursorPos(&cursor);
    EXPECT_EQ(list->m_rect.left + 10, cursor.x);
    EXPECT_EQ(list->m_rect.top + 10, cursor.y);
    // Enter opens it; Left closes.
    Key(*list, VK_RETURN);
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_OPEN));
}

TEST_F(FileListTest, TypeAheadFindsTheLongestBeginning)
{
    for (const wchar_t* name : {L"Apple.txt", L"Word.docx", L"wonder.txt", L"World.txt"})
        AddPlainItem(name);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    auto row = [&](int i) { return std::next(list->GetRows().begin(), i)->get(); };
    Key(*list, 'W');
    EXPECT_EQ(row(1), list->m_pCurrent);
    Key(*list, 'O');
    Key(*list, 'N');
    EXPECT_EQ(row(2), list->m_pCurrent);
    Key(*list, VK_BACK);
    Key(*list, 'R');
    Key(*list, 'L');
    EXPECT_EQ(row(3), list->m_pCurrent);
    EXPECT_EQ(L"WORL", std::wstring(list->m_strTypeAhead.GetString()));
    // Keypad digits are ignored.
    Key(*list, VK_NUMPAD1);
    EXPECT_EQ(L"WORL", std::wstring(list->m_strTypeAhead.GetString()));
    // Backspace down to nothing selects the first row.
    for (int i = 0; i < 4; ++i)
        Key(*list, VK_BACK);
    EXPECT_EQ(row(0), list->m_pCurrent);
    // The timer empties the text.
    Key(*list, 'Z');
    ::SendMessageW(list->m_hWnd, WM_TIMER, CFileListWnd::IDT_TYPEAHEAD_CLEAR, 0);
    EXPECT_TRUE(list->m_strTypeAhead.IsEmpty());
    // Log lines keep two characters of what was typed and found.
    EXPECT_TRUE(LogHas("<filewnd> Found item:Wo find:WO"));
    EXPECT_FALSE(LogHas("WORL"));
    EXPECT_FALSE(LogHas("World"));
}

TEST_F(FileListTest, EscapeClosesUnlessTheMenuIsOpen)
{
    AddPlainItem(L"a");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    list->m_bMenuOpen = TRUE;
    Key(*list, VK_ESCAPE);
    list->m_bMenuOpen = FALSE;
    PumpPending();
    EXPECT_EQ(0, m_owner.Count(FILEWND_CLOSE));
    Key(*list, VK_LEFT);
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
    POINT cursor;
    ::GetCursorPos(&cursor);
    EXPECT_EQ(list->m_rect.left, cursor.x);
    EXPECT_EQ(list->m_rect.top - 5, cursor.y);
    EXPECT_TRUE(LogHas("<filewnd> send destroy3"));
}

// ---- Commands ----------------------------------------------------------------------------------

TEST_F(FileListTest, CopyPutsTheFileOnTheClipboard)
{
    const std::wstring file = AddFileItem(L"notes.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    Hover(*list, 0);
    PutTextOnClipboard(L"before");
    Command(*list, ID_ITEM_COPY);
    UINT count = 0;
    EXPECT_EQ(file, ClipboardFile(&count));
    EXPECT_EQ(1u, count);
    PumpPending();
    EXPECT_EQ(0, m_owner.Count(FILEWND_CLOSE));  // the list stays
    EXPECT_TRUE(LogHas("<filewnd> menu - copy"));
}

TEST_F(FileListTest, CopyOfAnItemThatDoesNotResolveLeavesTheClipboard)
{
    // An internet shortcut is no shell link.
    const std::wstring url = m_boxFolder + L"\\Site.url";
    const char content[] = "[InternetShortcut]\r\nURL=http://localhost/\r\n";
    TempFolder::WriteBytes(url, std::vector<BYTE>(content, content + sizeof(content) - 1));
    Model::CTarneloInfo::_ITEM item;
    item.nType = Model::ITEM_TYPE_INTERNET_SHORTCUT;
    item.strName = L"Site.url";
    item.strPath = url.c_str();
    item.bExists = TRUE;
    item.strIconKey = TextIconKey();
    m_info.m_items.push_back(item);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    Hover(*list, 0);
    PutTextOnClipboard(L"keep me");
    Command(*list, ID_ITEM_COPY);
    UINT count = 0;
    EXPECT_EQ(L"", ClipboardFile(&count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(L"keep me", ClipboardText());
    EXPECT_TRUE(LogHas("<filewnd> copy: no file behind the item:Si"));

    // Properties on it does nothing and leaves the list open; Open file location warns.
    Command(*list, ID_ITEM_PROPERTIES);
    PumpPending();
    EXPECT_EQ(0, m_owner.Count(FILEWND_CLOSE));
    Command(*list, ID_ITEM_OPEN_LOCATION);
    ASSERT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
    EXPECT_EQ(std::wstring(LoadResString(IDS_CANT_OPEN_FILE_LOCATION).GetString()),
              boxtest::MessageBoxAnswers::Asked()[0]);
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
}

TEST_F(FileListTest, DeleteItemRemovesTheItemAndItsFileAfterYes)
{
    const std::wstring keep = AddFileItem(L"keep.txt");
    const std::wstring gone = AddFileItem(L"gone.txt");
    const std::wstring link = std::next(m_info.m_items.begin())->strPath.GetString();
    ASSERT_TRUE(FileExists(link.c_str()));
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    Hover(*list, 1);

    // No: nothing changes and the list stays.
    boxtest::MessageBoxAnswers::Answer() = IDNO;
    Key(*list, VK_DELETE);
    ASSERT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
    EXPECT_EQ(std::wstring(LoadResString(IDS_DELETE_ITEM_QUESTION).GetString()),
              boxtest::MessageBoxAnswers::Asked()[0]);
    EXPECT_EQ(2u, m_info.m_items.size());
    PumpPending();
    EXPECT_TRUE(m_owner.messages.empty());

    // Yes: the item and its shortcut go, the real file stays, the box hears and closes.
    boxtest::MessageBoxAnswers::Answer() = IDYES;
    Command(*list, ID_ITEM_DELETE);
    EXPECT_EQ((std::vector<std::wstring>{L"keep.txt"}), ItemNames());
    EXPECT_FALSE(FileExists(link.c_str()));
    EXPECT_TRUE(FileExists(gone.c_str()));
    EXPECT_EQ(1u, list->GetRows().size());
    EXPECT_EQ(nullptr, list->m_pCurrent);
    PumpPending();
    ASSERT_EQ(2u, m_owner.messages.size());
    EXPECT_EQ(static_cast<WPARAM>(FILEWND_UPDATE), m_owner.messages[0].code);
    EXPECT_EQ(static_cast<WPARAM>(FILEWND_CLOSE), m_owner.messages[1].code);
}

namespace {

struct ShellCalls
{
    static ShellCalls& Get()
    {
        static ShellCalls calls;
        return calls;
    }
    std::vector<std::wstring> verbs;
    std::vector<std::wstring> files;
    ULONG mask = 0;
    HANDLE process = nullptr;

    static HINSTANCE WINAPI Execute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
    {
        Get().verbs.push_back(verb ? verb : L"");
        Get().files.push_back(file ? file : L"");
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    }
    static BOOL WINAPI ExecuteEx(SHELLEXECUTEINFOW* info)
    {
        Get().verbs.push_back(info->lpVerb ? info->lpVerb : L"");
        Get().files.push_back(info->lpFile ? info->lpFile : L"");
        Get().mask = info->fMask;
        EXPECT_EQ(sizeof(SHELLEXECUTEINFOW), info->cbSize);
        // A process handle as the shell hands one out.
        Get().process = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        info->hProcess = Get().process;
        return TRUE;
    }
};

}  // namespace

TEST_F(FileListTest, PropertiesAsksTheShellAndClosesTheProcessHandle)
{
    ShellCalls::Get() = ShellCalls{};
    const std::wstring file = AddFileItem(L"report.txt");
    CFileListWnd::SetShellExecuteExHook(&ShellCalls::ExecuteEx);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    Hover(*list, 0);
    Command(*list, ID_ITEM_PROPERTIES);
    ASSERT_EQ(1u, ShellCalls::Get().verbs.size());
    EXPECT_EQ(L"Properties", ShellCalls::Get().verbs[0]);
    EXPECT_EQ(file, ShellCalls::Get().files[0]);
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS), ShellCalls::Get().mask);
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(ShellCalls::Get().process, &flags));
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
}

TEST_F(FileListTest, OpenFileLocationOpensTheTargetsFolderAndCloses)
{
    ShellCalls::Get() = ShellCalls{};
    const std::wstring file = AddFileItem(L"report.txt");
    CFileListWnd::SetShellExecuteHook(&ShellCalls::Execute);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    Hover(*list, 0);
    Command(*list, ID_ITEM_OPEN_LOCATION);
    ASSERT_EQ(1u, ShellCalls::Get().verbs.size());
    EXPECT_EQ(L"open", ShellCalls::Get().verbs[0]);
    EXPECT_EQ(m_dataFolder, ShellCalls::Get().files[0]);
    EXPECT_TRUE(boxtest::MessageBoxAnswers::Asked().empty());
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
}

TEST_F(FileListTest, CommandsWithoutACurrentRowDoNothing)
{
    AddFileItem(L"report.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    // (Rename with a current row runs its dialog: FileListRenameTest.)
    for (UINT id : {ID_ITEM_OPEN, ID_ITEM_COPY, ID_ITEM_OPEN_LOCATION, ID_ITEM_DELETE, ID_ITEM_PROPERTIES,
                    ID_ITEM_RENAME})
        Command(*list, id);
    PumpPending();
    EXPECT_TRUE(m_owner.messages.empty());
    EXPECT_TRUE(boxtest::MessageBoxAnswers::Asked().empty());
    EXPECT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(LogHas("<filewnd> menu - rename"));
}

namespace {

struct MenuSeen
{
    static MenuSeen& Get()
    {
        static MenuSeen seen;
        return seen;
    }
    CFileListWnd* list = nullptr;
    std::vector<UINT> ids;
    BOOL menuOpenFlag = FALSE;
    UINT answer = 0;

    static UINT Track(HMENU menu, HWND owner, POINT)
    {
        MenuSeen& seen = Get();
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            seen.ids.push_back(::GetMenuItemID(menu, i));
        seen.menuOpenFlag = seen.list ? seen.list->m_bMenuOpen : FALSE;
        EXPECT_EQ(seen.list ? seen.list->m_hWnd : nullptr, owner);
        return seen.answer;
    }
};

}  // namespace

TEST_F(FileListTest, TheContextMenuOffersTheItemCommandsAndRunsTheChosenOne)
{
    const std::wstring file = AddFileItem(L"report.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    MenuSeen::Get() = MenuSeen{};
    MenuSeen::Get().list = list;
    MenuSeen::Get().answer = ID_ITEM_COPY;
    CFileListWnd::SetTrackMenuHook(&MenuSeen::Track);

    // Outside the list, or with no current row: no menu.
    ListMouse(*list, WM_RBUTTONUP, RowCentre(*list, 0));
    EXPECT_TRUE(MenuSeen::Get().ids.empty());
    Hover(*list, 0);
    ListMouse(*list, WM_RBUTTONUP, POINT{list->m_rect.right + 20, list->m_rect.top});
    EXPECT_TRUE(MenuSeen::Get().ids.empty());

    PutTextOnClipboard(L"before");
    ListMouse(*list, WM_RBUTTONUP, RowCentre(*list, 0));
    EXPECT_EQ((std::vector<UINT>{ID_ITEM_OPEN, ID_ITEM_COPY, ID_ITEM_RENAME, ID_ITEM_OPEN_LOCATION, 0,
                                 ID_ITEM_DELETE, 0, ID_ITEM_PROPERTIES}),
              MenuSeen::Get().ids);
    EXPECT_TRUE(MenuSeen::Get().menuOpenFlag);
    EXPECT_FALSE(list->m_bMenuOpen);
    EXPECT_EQ(list->m_hWnd, ::GetCapture());
    // The command comes after the menu has gone.
    PumpPending();
    UINT count = 0;
    EXPECT_EQ(file, ClipboardFile(&count));
}

// ---- Drag-out ----------------------------------------------------------------------------------

namespace {

class CFileDropTarget : public IDropTarget
{
public:
    std::vector<std::wstring> dropped;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
            *ppv = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override
    {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        *effect = DROPEFFECT_NONE;
        if (SUCCEEDED(data->GetData(&format, &medium))) {
            const HDROP drop = static_cast<HDROP>(medium.hGlobal);
            const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            ::DragQueryFileW(drop, 0, path.data(), length + 1);
            path.resize(length);
            dropped.push_back(path);
            ::ReleaseStgMedium(&medium);
            *effect = DROPEFFECT_COPY;
        }
        return S_OK;
    }
};

}  // namespace

class FileListDragOut : public FileListTest
{
protected:
    void SetUp() override
    {
        FileListTest::SetUp();
        ASSERT_TRUE(m_target.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"DropHere", WS_POPUP | WS_VISIBLE,
                                      900, 100, 200, 200, nullptr, nullptr));
        ASSERT_EQ(S_OK, ::RegisterDragDrop(m_target.m_hWnd, &m_drop));
    }
    void TearDown() override
    {
        ::RevokeDragDrop(m_target.m_hWnd);
        m_target.DestroyWindow();
        FileListTest::TearDown();
    }
    // Presses on row index and leaves the list towards the target (where the cursor is).
    void DragRowOut(CFileListWnd& list, int index)
    {
        Hover(list, index);
        ::SetCursorPos(1000, 200);
        ListMouse(list, WM_MOUSEMOVE, RowCentre(list, index), MK_LBUTTON);
        ListMouse(list, WM_MOUSEMOVE, POINT{1000, 200}, MK_LBUTTON);
    }

    CWnd m_target;
    CFileDropTarget m_drop;
};

TEST_F(FileListDragOut, AFileItemIsDraggedAsTheRealFile)
{
    const std::wstring file = AddFileItem(L"report.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    DragRowOut(*list, 0);
    ASSERT_EQ(1u, m_drop.dropped.size());
    EXPECT_EQ(file, m_drop.dropped[0]);
    EXPECT_TRUE(LogHas("<filewnd> DD Copied"));
    EXPECT_TRUE(LogHas("<filewnd> send destroy1"));
    EXPECT_FALSE(list->m_bDraggingOut);
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
}

TEST_F(FileListDragOut, AFolderItemIsDraggedAsItsShortcutInTheBoxFolder)
{
    const std::wstring folder = m_dataFolder + L"\\Projects";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(m_info.AddItem(L"Projects", folder.c_str(), FALSE));
    ASSERT_EQ(Model::ITEM_TYPE_FOLDER, m_info.m_items.front().nType);
    const std::wstring link = m_info.m_items.front().strPath.GetString();
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    DragRowOut(*list, 0);
    ASSERT_EQ(1u, m_drop.dropped.size());
    EXPECT_EQ(link, m_drop.dropped[0]);
}

TEST_F(FileListDragOut, AFileItemThatDoesNotResolveDragsNothingAndCloses)
{
    AddPlainItem(L"ghost.txt");  // its shortcut file does not exist
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    DragRowOut(*list, 0);
    EXPECT_TRUE(m_drop.dropped.empty());
    PumpPending();
    EXPECT_EQ(1, m_owner.Count(FILEWND_CLOSE));
}

// ---- Icons -------------------------------------------------------------------------------------

namespace {

// A GDI+ surface of known pixels (straight ARGB, all transparent at first).
struct Surface
{
    Gdiplus::Bitmap bitmap{40, 40, PixelFormat32bppARGB};
    std::unique_ptr<Gdiplus::Graphics> graphics{Gdiplus::Graphics::FromImage(&bitmap)};
    Gdiplus::ARGB At(int x, int y)
    {
        Gdiplus::Color c;
        bitmap.GetPixel(x, y, &c);
        return c.GetValue();
    }
};

// A 16x16 icon whose colour bitmap has the given depth: left half red and opaque, right
// half blue and (by mask or alpha) transparent.
HICON MakeIcon(int bits)
{
    const int n = 16;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = n;
    bmi.bmiHeader.biHeight = -n;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = static_cast<WORD>(bits);
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP colour = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    const int stride = ((n * bits + 31) / 32) * 4;
    for (int y = 0; y < n; ++y) {
        BYTE* row = static_cast<BYTE*>(pixels) + y * stride;
        for (int x = 0; x < n; ++x) {
            const bool left = x < n / 2;
            if (bits == 32) {
                const DWORD v = left ? 0xFFFF0000u : 0x000000FFu;  // alpha only on the left
                memcpy(row + x * 4, &v, 4);
            } else {
                row[x * 3 + 0] = left ? 0 : 255;  // B
                row[x * 3 + 1] = 0;
                row[x * 3 + 2] = left ? 255 : 0;  // R
            }
        }
    }
    // Mask: 0 (opaque) on the left, 1 on the right; for 32 bits all 0 (alpha decides).
    BYTE maskBits[16 * 2];
    for (int y = 0; y < n; ++y) {
        maskBits[y * 2] = 0x00;
        maskBits[y * 2 + 1] = bits == 32 ? 0x00 : 0xFF;
    }
    HBITMAP mask = ::CreateBitmap(n, n, 1, 1, maskBits);
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    return icon;
}

}  // namespace

TEST_F(FileListTest, IconsKeepTheirAlphaOrAreDrawnThroughTheirMask)
{
    for (int bits : {32, 24}) {
        HICON icon = MakeIcon(bits);
        ASSERT_NE(nullptr, icon) << bits;
        Surface s;
        EXPECT_TRUE(CFileListWnd::DrawIcon(s.graphics.get(), Model::ITEM_TYPE_FILE, icon, 6, 5)) << bits;
        EXPECT_EQ(0xFFFF0000u, s.At(6, 5)) << bits;
        EXPECT_EQ(0xFFFF0000u, s.At(13, 20)) << bits;
        EXPECT_EQ(0u, s.At(14, 5) >> 24) << bits;
        EXPECT_EQ(0u, s.At(21, 20) >> 24) << bits;
        EXPECT_EQ(0u, s.At(22, 5) >> 24) << bits;  // nothing past the icon
        EXPECT_EQ(0u, s.At(5, 5) >> 24) << bits;
        ::DestroyIcon(icon);
    }

    // A monochrome icon: black where its AND mask is clear.
    BYTE andBits[32 * 4];
    BYTE xorBits[32 * 4];
    memset(andBits, 0xFF, sizeof(andBits));
    memset(xorBits, 0x00, sizeof(xorBits));
    for (int y = 0; y < 32; ++y)
        andBits[y * 4] = 0x00;  // the 8 left pixels of each row are opaque black
    HICON mono = ::CreateIcon(::GetModuleHandleW(nullptr), 32, 32, 1, 1, andBits, xorBits);
    ASSERT_NE(nullptr, mono);
    Surface s;
    EXPECT_TRUE(CFileListWnd::DrawIcon(s.graphics.get(), Model::ITEM_TYPE_FILE, mono, 0, 0));
    EXPECT_EQ(0xFF000000u, s.At(3, 3));
    EXPECT_EQ(0u, s.At(20, 3) >> 24);
    ::DestroyIcon(mono);

    // Not an icon: nothing drawn, one log line.
    EXPECT_FALSE(CFileListWnd::DrawIcon(s.graphics.get(), 1, reinterpret_cast<HICON>(static_cast<INT_PTR>(0x1234)),
                                        0, 0));
    EXPECT_TRUE(LogHas("<filewnd> GetIconInfo failed"));
}
