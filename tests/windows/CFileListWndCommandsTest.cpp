// The file list's item commands for real: copy, delete, properties, open location, and the
// context menu that offers them.
#include "FileListTestSupport.h"

#include <shellapi.h>

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "resources/resource.h"

using namespace filelisttest;
using boxtest::PumpPending;

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
    m_info.m_bBoxFileUnread = TRUE;  // standing in for an unread box file: asks nothing, says why
    Key(*list, VK_DELETE);
    EXPECT_EQ(std::wstring(LoadResString(IDS_BOX_FILE_NOT_READ).GetString()), boxtest::MessageBoxAnswers::Asked().back());
    m_info.m_bBoxFileUnread = FALSE;

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
