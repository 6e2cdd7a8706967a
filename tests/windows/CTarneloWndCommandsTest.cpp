// The box window's menu and its commands, each observed through the events a recording
// manager receives.
#include "BoxWndTestSupport.h"

#include <commdlg.h>
#include <dlgs.h>

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/WizardTestSupport.h"
#include "resources/resource.h"

using namespace boxtest;

namespace {

// ---- Menu -----------------------------------------------------------------------------------------

struct MenuProbe
{
    static UINT& Command()
    {
        static UINT command = 0;
        return command;
    }
    static int& Calls()
    {
        static int calls = 0;
        return calls;
    }
    static UINT& FixState()
    {
        static UINT state = 0;
        return state;
    }
    static UINT& EntireState()
    {
        static UINT state = 0;
        return state;
    }
    static BOOL& MenuFlag()
    {
        static BOOL flag = FALSE;
        return flag;
    }
    static HWND& Foreground()
    {
        static HWND hWnd = nullptr;
        return hWnd;
    }
    static UINT Track(HMENU menu, HWND, POINT)
    {
        ++Calls();
        FixState() = ::GetMenuState(menu, ID_BOX_FIX_POSITION, MF_BYCOMMAND);
        EntireState() = ::GetMenuState(menu, ID_BOX_ENTIRELY_MOVE, MF_BYCOMMAND);
        MenuFlag() = g_bMenuOpen;
        Foreground() = ::GetForegroundWindow();
        return Command();
    }
};

// Answers the Open dialog that the box shows, once: notes its folder, first file type and
// whether its read-only box shows, then opens Name() (an empty name cancels).
struct DialogProbe
{
    static std::wstring& Name() { static std::wstring name; return name; }
    static std::wstring& Seen() { static std::wstring seen; return seen; }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND dialog = ::FindWindowW(L"#32770", nullptr);
        wchar_t folder[MAX_PATH] = {}, type[MAX_PATH] = {};
        if (!dialog || !::IsWindowVisible(dialog) || !Seen().empty())
            return;
        ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
        ::SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(type));
        Seen() = std::wstring(folder) + L"|" + type + (::IsWindowVisible(::GetDlgItem(dialog, chx1)) ? L"|1" : L"|0");
        ::SetDlgItemTextW(dialog, ::GetDlgItem(dialog, cmb13) ? cmb13 : edt1, Name().c_str());
        ::PostMessageW(dialog, WM_COMMAND, Name().empty() ? IDCANCEL : IDOK, 0);
    }
};

class BoxMenu : public BoxWndTest
{
protected:
    void SetUp() override
    {
        BoxWndTest::SetUp();
        MenuProbe::Calls() = 0;
        MenuProbe::Command() = 0;
        CTarneloWnd::SetTrackMenuHook(&MenuProbe::Track);
    }
    // Right-clicks the box, picks the command and lets the command arrive.
    void Choose(CTarneloWnd& box, UINT command)
    {
        MenuProbe::Command() = command;
        ::SendMessageW(box.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        PumpPending();
    }
    // Chooses a Register Programs command and answers its dialog with name.
    void Pick(CTarneloWnd& box, UINT command, const std::wstring& name)
    {
        DialogProbe::Name() = name;
        DialogProbe::Seen().clear();
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &DialogProbe::Tick);
        Choose(box, command);
        ::KillTimer(nullptr, timer);
    }
};

TEST_F(BoxMenu, ShowsTheChecksOfTheSettingsAndClearsTheMenuFlag)
{
    CTarneloWnd box;
    MakeBox(box);
    m_config.m_bLock = TRUE;
    m_config.m_bEntirelyMoveMode = FALSE;
    Choose(box, 0);
    ASSERT_EQ(1, MenuProbe::Calls());
    EXPECT_TRUE(MenuProbe::FixState() & MF_CHECKED);
    EXPECT_FALSE(MenuProbe::EntireState() & MF_CHECKED);
    EXPECT_TRUE(MenuProbe::MenuFlag());
    EXPECT_FALSE(g_bMenuOpen);
    // The box is in the foreground while its menu is up, so a click elsewhere closes it.
    EXPECT_EQ(box.m_hWnd, MenuProbe::Foreground());
    EXPECT_TRUE(m_manager.events.empty());

    m_config.m_bLock = FALSE;
    m_config.m_bEntirelyMoveMode = TRUE;
    Choose(box, 0);
    EXPECT_FALSE(MenuProbe::FixState() & MF_CHECKED);
    EXPECT_TRUE(MenuProbe::EntireState() & MF_CHECKED);
}

TEST_F(BoxMenu, AWmNullFollowsTheMenu)
{
    CTarneloWnd box;
    MakeBox(box);
    PumpPending();
    // Called as the manager calls it for the tray icon: no mouse message on the box.
    box.OnRButtonUp(0, POINT{ 0, 0 });
    EXPECT_EQ(1, MenuProbe::Calls());
    bool sawNull = false;
    MSG msg;
    while (::PeekMessageW(&msg, box.m_hWnd, 0, 0, PM_REMOVE))
        sawNull = sawNull || msg.message == WM_NULL;
    EXPECT_TRUE(sawNull);
}

TEST_F(BoxMenu, ABusyBoxShowsNoMenu)
{
    CTarneloWnd box;
    MakeBox(box);
    g_bFileListOpen = TRUE;
    Choose(box, ID_BOX_NEW);
    EXPECT_EQ(0, MenuProbe::Calls());
    EXPECT_TRUE(m_manager.events.empty());
}

TEST_F(BoxMenu, AThrowWhileTheMenuIsUpStillDestroysIt)
{
    CTarneloWnd box;
    MakeBox(box);
    static HMENU s_shown = nullptr;
    CTarneloWnd::SetTrackMenuHook([](HMENU menu, HWND, POINT) -> UINT {
        s_shown = menu;
        throw 1;
    });
    Choose(box, ID_BOX_NEW);
    ASSERT_NE(nullptr, s_shown);
    EXPECT_FALSE(::IsMenu(s_shown));
    EXPECT_FALSE(g_bMenuOpen);
    EXPECT_TRUE(m_manager.events.empty());
}

TEST_F(BoxMenu, BoxCommandsPostTheirEvents)
{
    CTarneloWnd box;
    MakeBox(box);
    box.m_bHover = TRUE;
    Choose(box, ID_BOX_NEW);
    ASSERT_EQ(1u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_ADD_BOX, m_manager.events[0].code);
    EXPECT_EQ(box.RequestId(), m_manager.events[0].value);
    EXPECT_FALSE(box.m_bHover);

    Choose(box, ID_BOX_EDIT);
    ASSERT_EQ(2u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_EDIT_BOX, m_manager.events[1].code);
    EXPECT_EQ(box.RequestId(), m_manager.events[1].value);
    EXPECT_TRUE(box.m_bCommandPending);
    // Pending: the menu does not open again until the flag's timer ends it.
    Choose(box, ID_BOX_DELETE);
    EXPECT_EQ(2u, m_manager.events.size());
    ASSERT_TRUE(PumpUntil([&] { return !box.m_bCommandPending; }));

    Choose(box, ID_BOX_DELETE);
    ASSERT_EQ(3u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_DELETE_BOX, m_manager.events[2].code);
    EXPECT_EQ(box.RequestId(), m_manager.events[2].value);
    ASSERT_TRUE(PumpUntil([&] { return !box.m_bCommandPending; }));

    Choose(box, ID_BOX_ALIGN);
    ASSERT_EQ(4u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_ALIGN_WINDOW, m_manager.events[3].code);
    EXPECT_EQ(0, m_manager.events[3].value);
}

TEST_F(BoxMenu, SettingTogglesPostUpdateConfig)
{
    CTarneloWnd box;
    MakeBox(box);
    Choose(box, ID_BOX_FIX_POSITION);
    EXPECT_TRUE(m_config.m_bLock);
    Choose(box, ID_BOX_FIX_POSITION);
    EXPECT_FALSE(m_config.m_bLock);
    Choose(box, ID_BOX_ENTIRELY_MOVE);
    EXPECT_TRUE(m_config.m_bEntirelyMoveMode);
    EXPECT_EQ(3, m_manager.Count(BOXEVENT_UPDATE_CONFIG));
    EXPECT_EQ(3u, m_manager.events.size());
}

TEST_F(BoxMenu, ExitAsksFirst)
{
    CTarneloWnd box;
    MakeBox(box);
    MessageBoxAnswers::Answer() = IDNO;
    Choose(box, ID_APP_EXIT_TARNELO);
    ASSERT_EQ(1u, MessageBoxAnswers::Asked().size());
    EXPECT_EQ(std::wstring(LoadResString(IDS_EXIT_QUESTION)), MessageBoxAnswers::Asked()[0]);
    EXPECT_TRUE(m_manager.events.empty());
    MessageBoxAnswers::Answer() = IDYES;
    Choose(box, ID_APP_EXIT_TARNELO);
    ASSERT_EQ(1u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_EXIT_APP, m_manager.events[0].code);
}

// Version shows its dialog over the box; Help has the shell open the help page for the box.
TEST_F(BoxMenu, VersionAndHelpOpenOverTheBoxAndPostNothing)
{
    CTarneloWnd box;
    MakeBox(box);
    box.m_bHover = TRUE;
    HWND owner = nullptr;
    wiztest::ModalScript version(L"Version", [&](HWND dialog) {
        owner = ::GetWindow(dialog, GW_OWNER);
        wiztest::Click(dialog, IDOK);
    });
    Choose(box, ID_APP_VERSION);
    EXPECT_TRUE(version.Ran());
    EXPECT_EQ(box.m_hWnd, owner);
    EXPECT_FALSE(box.m_bHover);
    EXPECT_EQ(1, MenuProbe::Calls());
    box.m_bHover = TRUE;
    wiztest::ShellCalls::Calls().clear();
    CTarneloWnd::SetShellExecuteHook(&wiztest::ShellCalls::Hook);
    Choose(box, ID_APP_HELP);
    ASSERT_EQ(1u, wiztest::ShellCalls::Calls().size());
    EXPECT_EQ(box.m_hWnd, wiztest::ShellCalls::Calls()[0].owner);
    EXPECT_EQ(L"open", wiztest::ShellCalls::Calls()[0].verb);
    EXPECT_EQ(L"https://olvenworks.example/en/tarnelo/help/", wiztest::ShellCalls::Calls()[0].target);
    EXPECT_FALSE(box.m_bHover);
    EXPECT_TRUE(m_manager.events.empty());
}

TEST_F(BoxMenu, RegisteringAProgramAddsItAndSaves)
{
    CTarneloWnd box;
    MakeBox(box);
    const std::wstring offered = L"|exe Files (*.exe;*.lnk;*.bat)|0";  // and no read-only box
    Pick(box, ID_REGISTER_FROM_START_MENU, L"");  // cancelled: nothing
    EXPECT_EQ(std::wstring(GetCommonStartMenuFolder()) + offered, DialogProbe::Seen());
    EXPECT_TRUE(m_info.m_items.empty() && m_manager.events.empty());

    const std::wstring name = L"tool_" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    const std::wstring tool = std::wstring(GetProgramFilesFolder()) + L"\\" + name;
    TempFolder::WriteBytes(tool, { 'M', 'Z' });
    Pick(box, ID_REGISTER_FROM_PROGRAM_FILES, name);
    ::DeleteFileW(tool.c_str());
    EXPECT_EQ(std::wstring(GetProgramFilesFolder()) + offered, DialogProbe::Seen());
    ASSERT_EQ(1u, m_info.m_items.size());
    EXPECT_TRUE(m_info.m_items.front().strName == name.c_str() && m_info.m_items.front().nType == Model::ITEM_TYPE_FILE);
    EXPECT_EQ(tool, m_info.m_items.front().strResolvedPath.str());  // the whole path chosen
    ASSERT_EQ(1u, m_manager.events.size());
    EXPECT_EQ(BOXEVENT_UPDATE_BOX_INFO, m_manager.events[0].code);
    Pick(box, ID_REGISTER_FROM_START_MENU, L"missing.lnk");  // not registered: told why
    const CString told = L"missing.lnk: " + GetSystemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(std::vector<std::wstring>{ FormatString(LoadResString(IDS_FILES_NOT_REGISTERED), told.GetString()).str() },
              MessageBoxAnswers::Asked());
    m_info.m_bBoxFileUnread = TRUE;  // standing in for an unread box file: no program is asked for
    Pick(box, ID_REGISTER_FROM_START_MENU, name);
    EXPECT_TRUE(DialogProbe::Seen().empty());
}

}  // namespace
