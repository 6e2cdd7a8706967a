// The box window for real on the test display: creation, the hot key it registers and its
// geometry, each observed through the events a recording manager receives. Drawing, input,
// dropped files and the menu have test files of their own beside this one.
#include "BoxWndTestSupport.h"

using namespace boxtest;

namespace {

std::wstring WindowText(HWND hWnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hWnd, text, 256);
    return text;
}

// ---- Creation --------------------------------------------------------------------------------

using BoxCreate = BoxWndTest;

TEST_F(BoxCreate, AppearsAtTheRecordPositionAsALayeredPopupOwnedByTheManager)
{
    CTarneloWnd box;
    MakeBox(box, true);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(150, r.top);
    EXPECT_EQ(160, r.right - r.left);  // icon cell 40 + title 120
    EXPECT_EQ(40, r.bottom - r.top);   // icon cell height
    RECT kept = {};
    box.GetRect(kept);
    EXPECT_TRUE(::EqualRect(&r, &kept));
    const LONG_PTR exStyle = ::GetWindowLongPtrW(box.m_hWnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);  // the first box shows in Alt+Tab
    EXPECT_TRUE(::GetWindowLongPtrW(box.m_hWnd, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(L"TarneloApps", WindowText(box.m_hWnd));
    EXPECT_EQ(CString(L"Apps"), box.GetName());
    EXPECT_EQ(m_manager.m_hWnd, ::GetWindow(box.m_hWnd, GW_OWNER));
    EXPECT_TRUE(::GetWindowLongPtrW(box.m_hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    Model::CTarneloInfo second;
    second.m_strName = L"Tools";
    second.m_pos = POINT{ 400, 300 };
    CTarneloWnd other;
    MakeBox(other, false, &second);
    EXPECT_TRUE(::GetWindowLongPtrW(other.m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    ::GetWindowRect(other.m_hWnd, &r);
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(300, r.top);
}

TEST_F(BoxCreate, RefusesAMissingRecordStyleOrSettings)
{
    CTarneloWnd a, b, c;
    EXPECT_FALSE(a.Create(nullptr, &m_manager, WM_BOXMSG, &m_style, &m_config, TRUE));
    EXPECT_FALSE(b.Create(&m_info, &m_manager, WM_BOXMSG, nullptr, &m_config, TRUE));
    EXPECT_FALSE(c.Create(&m_info, &m_manager, WM_BOXMSG, &m_style, nullptr, TRUE));
    EXPECT_EQ(nullptr, a.m_hWnd);
    EXPECT_EQ(nullptr, b.m_hWnd);
    EXPECT_EQ(nullptr, c.m_hWnd);
    EXPECT_TRUE(a.GetName().IsEmpty());  // no record, no name
}

// ---- Hot key registration -----------------------------------------------------------------------

constexpr UINT kTestMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr UINT kTestKey = VK_F9;

// TRUE when the key is free: a probe window can take it (and gives it back).
bool HotKeyIsFree(HWND probe, UINT mods, UINT key)
{
    if (!::RegisterHotKey(probe, 77, mods, key))
        return false;
    ::UnregisterHotKey(probe, 77);
    return true;
}

TEST_F(BoxCreate, RegistersTheRecordsHotKeyAndReportsATakenKey)
{
    ASSERT_TRUE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
    m_info.m_nHotKeyModifiers = kTestMods;
    m_info.m_nHotKeyKey = kTestKey;
    {
        CTarneloWnd box;
        MakeBox(box);
        EXPECT_FALSE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
        EXPECT_TRUE(LogHas("<boxwnd> register hot key"));

        // A second box with the same key still comes up; the refusal is logged as an error.
        Model::CTarneloInfo twin;
        twin.m_strName = L"Twin";
        twin.m_nHotKeyModifiers = kTestMods;
        twin.m_nHotKeyKey = kTestKey;
        CTarneloWnd other;
        MakeBox(other, false, &twin);
        EXPECT_NE(nullptr, other.m_hWnd);
        const std::string logs = Logs();
        EXPECT_NE(std::string::npos, logs.find("ERR!")) << logs;
        EXPECT_NE(std::string::npos, logs.find("<boxwnd> RegisterHotKey failed")) << logs;
        EXPECT_NE(std::string::npos, logs.find("1409")) << logs;
        EXPECT_FALSE(other.ReRegisterHotKey());

        // Key 0 after the options changed: the old key is given up, nothing is registered.
        m_info.m_nHotKeyKey = 0;
        EXPECT_TRUE(box.ReRegisterHotKey());
        EXPECT_TRUE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
        // And a new key is taken.
        m_info.m_nHotKeyKey = kTestKey;
        EXPECT_TRUE(box.ReRegisterHotKey());
        EXPECT_FALSE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
    }
    // A destroyed box gives its key back.
    EXPECT_TRUE(HotKeyIsFree(m_manager.m_hWnd, kTestMods, kTestKey));
}

TEST_F(BoxCreate, KeyZeroRegistersNothing)
{
    m_info.m_nHotKeyModifiers = kTestMods;
    m_info.m_nHotKeyKey = 0;
    CTarneloWnd box;
    MakeBox(box);
    EXPECT_FALSE(LogHas("<boxwnd> register hot key"));
    EXPECT_FALSE(LogHas("RegisterHotKey failed"));
    EXPECT_TRUE(box.ReRegisterHotKey());
}

// ---- Geometry -----------------------------------------------------------------------------------

using BoxGeometryWnd = BoxWndTest;

TEST_F(BoxGeometryWnd, ResizeAndMoveKeepTheRectangleAndTheRecordInStep)
{
    CTarneloWnd box;
    MakeBox(box);
    box.ResizeBox(300, 50);
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(300, r.right - r.left);
    EXPECT_EQ(50, r.bottom - r.top);
    EXPECT_EQ(300, box.m_rcContent.Width);
    EXPECT_EQ(50, box.m_rcContent.Height);
    EXPECT_EQ(200, m_info.m_pos.x);  // resizing does not touch the record

    box.MoveBoxTo(50, 60);
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_EQ(50, r.left);
    EXPECT_EQ(60, r.top);
    EXPECT_EQ(300, r.right - r.left);
    EXPECT_EQ(50, m_info.m_pos.x);
    EXPECT_EQ(60, m_info.m_pos.y);
    RECT kept = {};
    box.GetRect(kept);
    EXPECT_TRUE(::EqualRect(&r, &kept));
}

TEST_F(BoxGeometryWnd, DisplayChangeBringsABoxBackAndUnfixesIt)
{
    CTarneloWnd box;
    MakeBox(box);
    m_config.m_bLock = TRUE;
    m_info.m_pos = POINT{ 30000, 30000 };
    EXPECT_EQ(0, ::SendMessageW(box.m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024)));
    RECT r = {};
    ::GetWindowRect(box.m_hWnd, &r);
    EXPECT_LT(r.left, 1280);
    EXPECT_LT(r.top, 1024);
    EXPECT_EQ(m_info.m_pos.x, r.left);
    EXPECT_EQ(m_info.m_pos.y, r.top);
    EXPECT_FALSE(m_config.m_bLock);

    // A box on the screen stays, and stays fixed.
    m_config.m_bLock = TRUE;
    m_info.m_pos = POINT{ r.left, r.top };
    ::SendMessageW(box.m_hWnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_TRUE(m_config.m_bLock);
}

}  // namespace
