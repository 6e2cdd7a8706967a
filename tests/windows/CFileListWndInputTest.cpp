// The file list's input for real on the display: the mouse (hover, click, reorder), the keys
// and type-ahead, and dragging an item out of the list.
#include "FileListTestSupport.h"

#include <ole2.h>
#include <shellapi.h>

#include "windows/CTarneloWnd.h"

using namespace filelisttest;
using boxtest::PumpPending;
using boxtest::PumpUntil;

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
    EXPECT_EQ(CFileListWnd::DRAG_PRESSED, list->m_nDragState);
    ListMouse(*list, WM_MOUSEMOVE, POINT{p.x + 30, p.y + 6}, MK_LBUTTON);
    EXPECT_EQ(CFileListWnd::DRAG_PRESSED, list->m_nDragState);
    ListMouse(*list, WM_MOUSEMOVE, POINT{p.x, p.y + 7}, MK_LBUTTON);
    EXPECT_EQ(CFileListWnd::DRAG_REORDERING, list->m_nDragState);
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
    ASSERT_EQ(CFileListWnd::DRAG_REORDERING, list->m_nDragState);
    ListMouse(*list, WM_MOUSEMOVE, RowCentre(*list, 3), MK_LBUTTON);
    ListMouse(*list, WM_MOUSEMOVE, RowCentre(*list, 4), MK_LBUTTON);
    EXPECT_EQ(2, list->m_nMoveCount);
    // Leaving the list after rows moved starts no drag-out.
    ListMouse(*list, WM_MOUSEMOVE, POINT{list->m_rect.right + 50, p.y}, MK_LBUTTON);
    EXPECT_FALSE(list->IsCloseRequested());
    ListMouse(*list, WM_LBUTTONUP, RowCentre(*list, 4));

    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"same", L"same", L"c"}), ItemNames());
    EXPECT_EQ(CFileListWnd::DRAG_NONE, list->m_nDragState);
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

namespace {
DWORD s_listTick = 10000;  // the list's clock in the keys test
DWORD WINAPI ListTick() { return s_listTick; }
}  // namespace

TEST_F(FileListTest, ArrowsWrapAndHomeEndJump)
{
    CFileListWnd::SetTickHook(&ListTick);
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
    // Within 400 ms after a key placed the cursor, a move from where it was before (a late
    // echo of that place) leaves the keys' row current; a move from anywhere else, or from
    // there later, takes its row. Key, echo or the row moved over, the ms after the key, the
    // row Enter opens.
    const struct { UINT key; bool echo; int overRow; DWORD afterMs; int opened; } cases[] = {
        {VK_END, true, -1, 399, 2},
        {VK_HOME, false, 1, 0, 1},
        {VK_END, true, -1, 401, 0},
    };
    for (const auto& c : cases) {
        POINT before;
        ::GetCursorPos(&before);
        Key(*list, c.key);
        s_listTick += c.afterMs;
        ListMouse(*list, WM_MOUSEMOVE, c.echo ? before : RowCentre(*list, c.overRow));
        Key(*list, VK_RETURN);
        PumpPending();
        ASSERT_FALSE(m_owner.messages.empty());
        EXPECT_EQ(static_cast<WPARAM>(FILEWND_OPEN), m_owner.messages.back().code);
        EXPECT_EQ(c.opened, m_owner.messages.back().value) << c.key;
    }
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
