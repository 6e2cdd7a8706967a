// Files dropped on the box window: what is registered, the notice, and desktop shortcuts.
#include "BoxWndTestSupport.h"

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "framework/ScopedHandles.h"
#include "resources/resource.h"

using namespace boxtest;

namespace {

// ---- Dropped files --------------------------------------------------------------------------------

class BoxDrop : public BoxWndTest
{
protected:
    void TearDown() override
    {
        for (const std::wstring& path : m_desktopFiles)
            ::DeleteFileW(path.c_str());
        BoxWndTest::TearDown();
    }

    // A shortcut on the user's desktop to a file of the temporary folder.
    std::wstring MakeDesktopShortcut(const wchar_t* name)
    {
        const std::wstring target = MakeFile((std::wstring(name) + L".txt").c_str());
        wchar_t unique[64];
        _snwprintf(unique, 64, L"%s_%lu.lnk", name, ::GetCurrentProcessId());
        unique[63] = L'\0';
        const std::wstring link = std::wstring(GetDesktopFolder().GetString()) + L"\\" + unique;
        m_desktopFiles.push_back(link);
        EXPECT_TRUE(CreateShortcut(target.c_str(), link.c_str()));
        return link;
    }

    void Drop(CTarneloWnd& box, const std::vector<std::wstring>& paths)
    {
        ::SendMessageW(box.m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
        PumpPending();
    }

    bool NoticeShown(CTarneloWnd& box) const
    {
        return box.m_noticeWnd.m_hWnd && ::IsWindow(box.m_noticeWnd.m_hWnd) &&
               ::IsWindowVisible(box.m_noticeWnd.m_hWnd);
    }

    std::vector<std::wstring> m_desktopFiles;
};

TEST_F(BoxDrop, AFileAndAFolderAreRegisteredWithTheNotice)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring file = MakeFile(L"report.txt");
    const std::wstring folder = m_temp.File(L"Projects");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Drop(box, { file, folder });
    ASSERT_EQ(2u, m_info.m_items.size());
    EXPECT_EQ(Model::ITEM_TYPE_FILE, m_info.m_items.front().nType);
    EXPECT_EQ(std::wstring(L"report.txt"), m_info.m_items.front().strName.str());
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, m_info.m_items.back().nType);
    EXPECT_EQ(std::wstring(L"Projects"), m_info.m_items.back().strName.str());
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    EXPECT_EQ(1u, m_manager.events.size());
    ASSERT_TRUE(NoticeShown(box));
    // Below the title, at the icon cell's width plus 30.
    RECT r = {};
    ::GetWindowRect(box.m_noticeWnd.m_hWnd, &r);
    EXPECT_EQ(200 + 40 + 30, r.left);
    EXPECT_EQ(150 + 40 - 10, r.top);
    EXPECT_EQ(std::wstring(LoadResString(IDS_GOT_IT)), std::wstring(box.m_noticeWnd.m_strText.GetString()));

    // The faded notice tells its box, which closes it.
    EXPECT_EQ(1, ::SendMessageW(box.m_hWnd, WM_NOTICEMSG, 0, 0));
    EXPECT_FALSE(box.m_noticeWnd.m_hWnd && ::IsWindow(box.m_noticeWnd.m_hWnd));
    m_info.m_bBoxFileUnread = TRUE;  // standing in for an unread box file: takes nothing, says why
    Drop(box, { MakeFile(L"c.txt") });
    EXPECT_TRUE(m_info.m_items.size() == 2 && m_manager.events.size() == 1 && NoticeShown(box) &&
                box.m_noticeWnd.m_strText == LoadResString(IDS_BOX_FILE_NOT_READ));
}

TEST_F(BoxDrop, NothingRegisteredShowsNoNoticeAndSavesNothing)
{
    Model::CTarneloInfo broken;  // no box folder: nothing can be placed
    broken.m_strName = L"Broken";
    broken.m_pos = POINT{ 300, 300 };
    CTarneloWnd box;
    MakeBox(box, true, &broken);
    Drop(box, { MakeFile(L"a.txt") });
    EXPECT_TRUE(broken.m_items.empty());
    EXPECT_FALSE(NoticeShown(box));
    EXPECT_TRUE(m_manager.events.empty());
    EXPECT_TRUE(LogHas("<boxwnd> nothing registered"));
    EXPECT_EQ(1u, MessageBoxAnswers::Asked().size());  // what was not registered is told all the same
}

TEST_F(BoxDrop, OneGoodPathAmongBadOnesGetsTheNoticeAndTheBadOnesOneMessage)
{
    CTarneloWnd box;
    MakeBox(box);
    // A shortcut that is not there, or that another program holds, cannot be copied into the
    // box; the file next to them can.
    const std::wstring held = MakeFile(L"held.url");
    const ScopedFile holder(::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    Drop(box, { m_temp.File(L"missing.lnk"), MakeFile(L"b.txt"), held });
    EXPECT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(NoticeShown(box));
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    const CString told = L"missing.lnk: " + GetSystemErrorText(ERROR_FILE_NOT_FOUND) + L"\nheld.url: " +
                         GetSystemErrorText(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(std::vector<std::wstring>{ FormatString(LoadResString(IDS_FILES_NOT_REGISTERED), told.GetString()).str() },
              MessageBoxAnswers::Asked());
}

TEST_F(BoxDrop, APathLongerThanMaxPathIsReadWhole)
{
    CTarneloWnd box;
    MakeBox(box);
    std::wstring folder = m_temp.Path();
    const std::wstring part = L"\\a_rather_long_folder_name_that_takes_room_0123456789";
    while (folder.size() < 300) {
        folder += part;
        ::CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::wstring path = folder + L"\\deep_file.txt";
    ASSERT_GT(path.size(), 260u);
    TempFolder::WriteBytes(path, { 'x' });
    Drop(box, { path });
    // Whatever the shortcut code makes of it, the box was given the whole path.
    EXPECT_TRUE(LogHas(("<boxinfo> AddItem:" + Utf8(path)).c_str()));
    EXPECT_EQ(!m_info.m_items.empty(), NoticeShown(box));
    EXPECT_EQ(m_info.m_items.empty() ? 0 : 1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
}

TEST_F(BoxDrop, ADesktopShortcutAsksOnceAndYesMovesIt)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring first = MakeDesktopShortcut(L"tarnelo_test_first");
    ASSERT_TRUE(IsDesktopShortcut(first.c_str()));
    MessageBoxAnswers::Answer() = IDYES;
    Drop(box, { first });
    ASSERT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_EQ(std::wstring(LoadResString(IDS_DELETE_DESKTOP_SHORTCUT_QUESTION)), MessageBoxAnswers::Asked()[0]);
    EXPECT_TRUE(m_config.m_bRegisterAndMove);
    EXPECT_TRUE(m_config.m_bRegisterAndMoveConfirmed);
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_BOX_INFO));
    ASSERT_EQ(1u, m_info.m_items.size());
    EXPECT_EQ(Model::ITEM_TYPE_SHORTCUT, m_info.m_items.front().nType);
    EXPECT_FALSE(FileExists(first.c_str()));  // moved off the desktop
    EXPECT_TRUE(FileExists(m_info.m_items.front().strPath));

    // The answer stands: a second desktop shortcut is moved without asking.
    const std::wstring second = MakeDesktopShortcut(L"tarnelo_test_second");
    Drop(box, { second });
    EXPECT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_EQ(2u, m_info.m_items.size());
    EXPECT_FALSE(FileExists(second.c_str()));
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
}

TEST_F(BoxDrop, ADesktopShortcutAnsweredNoIsCopied)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring link = MakeDesktopShortcut(L"tarnelo_test_kept");
    MessageBoxAnswers::Answer() = IDNO;
    Drop(box, { link });
    EXPECT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_FALSE(m_config.m_bRegisterAndMove);
    EXPECT_TRUE(m_config.m_bRegisterAndMoveConfirmed);
    EXPECT_EQ(1, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
    ASSERT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(FileExists(link.c_str()));  // still on the desktop
    EXPECT_TRUE(FileExists(m_info.m_items.front().strPath));
}

TEST_F(BoxDrop, AThrowWhileAskingStillFinishesTheDrop)
{
    CTarneloWnd box;
    MakeBox(box);
    AfxSetMessageBoxHook([](const wchar_t*, UINT) -> int { throw 1; });
    const HDROP drop = MakeDrop({ MakeDesktopShortcut(L"thrown") });
    ::SendMessageW(box.m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    PumpPending();
    EXPECT_TRUE(m_info.m_items.empty());
    EXPECT_EQ(static_cast<UINT>(GMEM_INVALID_HANDLE), ::GlobalFlags(drop));  // DragFinish freed it
}

// A block whose name is not ended inside it, and a value that is no block of this process,
// are neither read nor freed.
TEST_F(BoxDrop, ABlockThatIsNoWholeFileListIsLeftAlone)
{
    CTarneloWnd box;
    MakeBox(box);
    const HGLOBAL cut = ::GlobalReAlloc(MakeDrop({ MakeFile(L"c.txt") }), sizeof(DROPFILES) + 6, GMEM_MOVEABLE);
    for (const WPARAM drop : { reinterpret_cast<WPARAM>(cut), WPARAM(0x12345678) })
        ::SendMessageW(box.m_hWnd, WM_DROPFILES, drop, 0);
    EXPECT_NE(static_cast<UINT>(GMEM_INVALID_HANDLE), ::GlobalFlags(cut));
    ::GlobalFree(cut);
    EXPECT_TRUE(m_info.m_items.empty());
    EXPECT_TRUE(LogHas("<shell> dropped files: no file list of this program"));
}

TEST_F(BoxDrop, AShortcutElsewhereAsksNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring target = MakeFile(L"t.txt");
    const std::wstring link = m_temp.File(L"here.lnk");
    ASSERT_TRUE(CreateShortcut(target.c_str(), link.c_str()));
    Drop(box, { link });
    EXPECT_TRUE(MessageBoxAnswers::Asked().empty());
    EXPECT_FALSE(m_config.m_bRegisterAndMoveConfirmed);
    EXPECT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(FileExists(link.c_str()));
}

}  // namespace
