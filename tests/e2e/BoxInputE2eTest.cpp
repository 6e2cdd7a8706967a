// The running program driven with real mouse and key input in a Wine virtual desktop of
// 1280x800, on a data folder whose "config.ini" holds an install date and which has no box
// file (so the six default boxes stand in a column at x 980): the box menu, fixing the boxes,
// dragging a box, ending the program from the menu, and a close from outside while the
// program picker is open.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "E2eHarness.h"

namespace {

using e2e::kDesktop;
using e2e::kScreenWidth;
using e2e::kScreenHeight;
using e2e::kStartTimeoutMs;
using e2e::kEventTimeoutMs;
using e2e::kExitTimeoutMs;
// Time for the program to draw what a key or click changed before the screen is read.
constexpr DWORD kSettleMs = 150;

constexpr int kDefaultX = kScreenWidth - 300;
const wchar_t* const kDefaultNames[] = { L"Apps", L"Tools", L"Documents", L"Folders", L"Shared", L"Hot items" };

// Positions in the box menu as the keyboard reaches them (separators are skipped).
constexpr int kMenuSelectable = 12;
constexpr int kRegisterProgramsPosition = 3;  // the sub-menu
constexpr int kFixPositionPosition = 4;

// A vertical run of menu rows (window coordinates) that show the selection colour.
struct Band
{
    int top = -1;
    int bottom = -1;
    bool operator==(const Band& other) const { return top == other.top && bottom == other.bottom; }
    bool Empty() const { return top < 0; }
};

DWORD ScreenColor(int index)
{
    const COLORREF c = ::GetSysColor(index);
    return (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
}

class BoxInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::FileExists(e2e::TarneloExePath())) << "missing program";
        ASSERT_TRUE(e2e::ResetInstalledDataFolder(m_data, m_log));
        PrepareData();
        ASSERT_TRUE(m_session.Start(kDesktop, kScreenWidth, kScreenHeight, kStartTimeoutMs)) << "no boxes";
        ASSERT_TRUE(e2e::WaitUntil([&] { return AllBoxes().size() == 6; }, kStartTimeoutMs));
        m_apps = m_session.Box(L"Apps");
        ASSERT_NE(nullptr, m_apps);
    }

    void TearDown() override
    {
        // What the program logged explains a failure best; its folder goes below.
        if (HasFailure()) {
            for (const e2e::LogLine& line : e2e::ReadLog(m_log))
                std::printf("program log: [%ls] %ls\n", line.level.c_str(), line.text.c_str());
        }
        // A menu or question left open by a failed case is closed before the program is ended
        // (ended with either open, the program would lose the box the menu or question returns to).
        for (int i = 0; i < 3 && !m_session.VisibleWindows(nullptr, L"#32768").empty(); ++i) {
            e2e::PressKey(kDesktop, VK_ESCAPE);
            ::Sleep(kSettleMs);
        }
        for (const HWND question : m_session.VisibleWindows(nullptr, L"#32770")) {
            if (const HWND no = ::GetDlgItem(question, IDNO))
                e2e::PostToWindow(no, BM_CLICK);
        }
        e2e::WaitUntil([&] { return m_session.VisibleWindows(nullptr, L"#32770").empty(); }, kEventTimeoutMs);
        m_session.End(kExitTimeoutMs);
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, Path(L"config.ini").c_str());
        e2e::RemoveTree(m_data);
    }

    // Called before the program starts, to add to the data folder.
    virtual void PrepareData() {}

    std::wstring Path(const wchar_t* name) const { return m_data + L"\\" + name; }

    std::vector<HWND> AllBoxes() const
    {
        std::vector<HWND> boxes;
        for (const wchar_t* name : kDefaultNames) {
            if (const HWND box = m_session.Box(name))
                boxes.push_back(box);
        }
        return boxes;
    }

    size_t LogCount(const std::wstring& text) const
    {
        size_t n = 0;
        for (const std::wstring& line : e2e::ReadLogTexts(m_log))
            n += line == text ? 1 : 0;
        return n;
    }
    bool WaitForLogCount(const std::wstring& text, size_t count) const
    {
        return e2e::WaitUntil([&] { return LogCount(text) >= count; }, kEventTimeoutMs);
    }

    // A point on the body of a box (the move strip), away from its right edge.
    static POINT OnBody(HWND box)
    {
        const RECT r = e2e::WindowRect(box);
        return POINT{ r.left + 20, r.top + 10 };
    }

    // Right-clicks the point and waits for the program's one visible menu window.
    HWND OpenMenuAt(POINT at)
    {
        if (!e2e::ClickAt(kDesktop, at.x, at.y, true))
            return nullptr;
        HWND menu = nullptr;
        e2e::WaitUntil(
            [&] {
                const std::vector<HWND> menus = m_session.VisibleWindows(nullptr, L"#32768");
                menu = menus.size() == 1 ? menus.front() : nullptr;
                return menu != nullptr;
            },
            kEventTimeoutMs);
        // The cursor leaves the menu, so only the keyboard selects in it.
        e2e::MoveCursor(kDesktop, 10, kScreenHeight - 10);
        ::Sleep(kSettleMs);
        return menu;
    }

    // The rows of a menu window painted in the selection colour.
    Band SelectedBand(HWND menu) const
    {
        const RECT r = e2e::WindowRect(menu);
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        const std::vector<DWORD> pixels = e2e::ReadDesktopScreen(kDesktop, r);
        Band band;
        if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
            return band;
        const DWORD highlight = ScreenColor(COLOR_HIGHLIGHT);
        const DWORD menuHighlight = ScreenColor(COLOR_MENUHILIGHT);
        for (int y = 0; y < height; ++y) {
            int marked = 0;
            for (int x = 0; x < width; ++x) {
                const DWORD p = pixels[static_cast<size_t>(y) * width + x];
                marked += (p == highlight || p == menuHighlight) ? 1 : 0;
            }
            // A selected row is coloured across most of the menu's width.
            if (marked > width / 2) {
                if (band.top < 0)
                    band.top = y;
                band.bottom = y;
            }
        }
        return band;
    }

    Band PressAndRead(HWND menu, WORD key) const
    {
        e2e::PressKey(kDesktop, key);
        ::Sleep(kSettleMs);
        return SelectedBand(menu);
    }

    // Presses Down until the selection comes back to where the first press put it: the
    // selectable items of the menu, top to bottom. The first item is selected afterwards
    // when nothing was selected before.
    std::vector<Band> WalkMenu(HWND menu) const
    {
        std::vector<Band> bands;
        for (int i = 0; i < 40; ++i) {
            const Band band = PressAndRead(menu, VK_DOWN);
            if (band.Empty() || (!bands.empty() && band == bands.front()))
                break;
            bands.push_back(band);
        }
        return bands;
    }

    // Chooses the item at a keyboard position in a menu where nothing is selected yet.
    void ChooseMenuPosition(HWND menu, int position) const
    {
        for (int i = 0; i <= position; ++i)
            PressAndRead(menu, VK_DOWN);
        e2e::PressKey(kDesktop, VK_RETURN);
    }

    // Opens the sub-menu of the selected item with the keyboard and waits for its window.
    HWND OpenSubMenu(HWND menu) const
    {
        e2e::PressKey(kDesktop, VK_RIGHT);
        HWND subMenu = nullptr;
        e2e::WaitUntil(
            [&] {
                for (const HWND window : m_session.VisibleWindows(nullptr, L"#32768")) {
                    if (window != menu)
                        subMenu = window;
                }
                return subMenu != nullptr;
            },
            kEventTimeoutMs);
        return subMenu;
    }

    HWND WaitForQuestion() const
    {
        HWND question = nullptr;
        e2e::WaitUntil(
            [&] {
                const std::vector<HWND> boxes = m_session.VisibleWindows(nullptr, L"#32770");
                question = boxes.size() == 1 ? boxes.front() : nullptr;
                return question != nullptr;
            },
            kEventTimeoutMs);
        return question;
    }

    static std::wstring ControlText(HWND control)
    {
        wchar_t text[512] = {};
        DWORD_PTR copied = 0;
        ::SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                              &copied);
        return text;
    }

    // The texts of a dialog's static controls.
    static std::vector<std::wstring> StaticTexts(HWND dialog)
    {
        std::vector<std::wstring> texts;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (_wcsicmp(e2e::WindowClassName(child).c_str(), L"Static") == 0)
                texts.push_back(ControlText(child));
        }
        return texts;
    }

    // Clicks a button of a dialog with the mouse, in its middle.
    // Clicks the button once the box has come to rest (a message box is placed after it is
    // made, and on a busy machine a click aimed too early lands on whatever was there). A
    // click that did not end the box is tried again while it is still up.
    static bool ClickButton(HWND dialog, int id)
    {
        const HWND button = ::GetDlgItem(dialog, id);
        if (!button)
            return false;
        for (int attempt = 0; attempt < 3 && ::IsWindow(dialog); ++attempt) {
            RECT r = e2e::WindowRect(button);
            e2e::WaitUntil([&] {
                ::Sleep(150);
                const RECT now = e2e::WindowRect(button);
                const bool still = ::EqualRect(&now, &r) != FALSE;
                r = now;
                return still;
            }, 3000);
            if (!e2e::ClickAt(kDesktop, (r.left + r.right) / 2, (r.top + r.bottom) / 2))
                return false;
            if (e2e::WaitUntil([&] { return !::IsWindow(dialog); }, 3000))
                return true;
        }
        return !::IsWindow(dialog);
    }

    std::wstring m_data;
    std::wstring m_log;
    e2e::DesktopSession m_session;
    HWND m_apps = nullptr;
};

TEST_F(BoxInput, ARightClickOpensTheBoxMenuAtTheCursorWithItsThirteenCommands)
{
    const POINT at = OnBody(m_apps);
    const HWND menu = OpenMenuAt(at);
    ASSERT_NE(nullptr, menu) << "no menu window";
    EXPECT_EQ(1u, LogCount(L"<boxwnd> R-up"));
    EXPECT_EQ(1u, LogCount(L"<boxwnd> show menu"));
    const RECT r = e2e::WindowRect(menu);
    EXPECT_EQ(at.x, r.left);
    EXPECT_EQ(at.y, r.top);
    EXPECT_TRUE(SelectedBand(menu).Empty()) << "an item was selected before any key";

    // New Box, Edit, Delete | Register Programs | Fix position and size, Entirely move mode,
    // Align boxies, Style, Options | Help, Version | Exit.
    const std::vector<Band> items = WalkMenu(menu);
    ASSERT_EQ(static_cast<size_t>(kMenuSelectable), items.size());
    std::vector<size_t> separatorsAfter;
    for (size_t i = 1; i < items.size(); ++i) {
        EXPECT_GT(items[i].top, items[i - 1].bottom) << i;
        // Adjacent items touch; a separator leaves a gap.
        if (items[i].top - items[i - 1].bottom > 3)
            separatorsAfter.push_back(i - 1);
    }
    EXPECT_EQ((std::vector<size_t>{ 2, 3, 8, 10 }), separatorsAfter);

    // The walk ended on the first item; the sub-menu "Register Programs" holds two commands.
    for (int i = 0; i < kRegisterProgramsPosition; ++i)
        PressAndRead(menu, VK_DOWN);
    EXPECT_EQ(items[kRegisterProgramsPosition], SelectedBand(menu));
    const HWND subMenu = OpenSubMenu(menu);
    ASSERT_NE(nullptr, subMenu) << "the sub-menu did not open";
    ::Sleep(kSettleMs);
    std::vector<Band> subItems;
    const Band first = SelectedBand(subMenu);
    if (!first.Empty())
        subItems.push_back(first);
    for (int i = 0; i < 5; ++i) {
        const Band band = PressAndRead(subMenu, VK_DOWN);
        if (band.Empty() || (!subItems.empty() && band == subItems.front()))
            break;
        subItems.push_back(band);
    }
    EXPECT_EQ(2u, subItems.size());
    EXPECT_EQ(static_cast<size_t>(kMenuSelectable - 1) + subItems.size(), 13u);

    // Escape closes the sub-menu, then the menu; nothing was chosen.
    e2e::PressKey(kDesktop, VK_ESCAPE);
    ::Sleep(kSettleMs);
    e2e::PressKey(kDesktop, VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return m_session.VisibleWindows(nullptr, L"#32768").empty(); }, kEventTimeoutMs));
    EXPECT_FALSE(e2e::FileExists(Path(L"tarnelo.ser")));
    EXPECT_EQ(0, e2e::ReadIniInt(Path(L"config.ini"), L"option", L"lock", 0));
    EXPECT_TRUE(m_session.Program().IsRunning());
}

TEST_F(BoxInput, FixPositionAndSizeTogglesTheLockSavesItAndStopsDragging)
{
    const std::wstring config = Path(L"config.ini");
    ASSERT_EQ(0, e2e::ReadIniInt(config, L"option", L"lock", 0));
    const POINT at = OnBody(m_apps);

    HWND menu = OpenMenuAt(at);
    ASSERT_NE(nullptr, menu);
    const RECT menuRect = e2e::WindowRect(menu);
    const std::vector<DWORD> unlocked = e2e::ReadDesktopScreen(kDesktop, menuRect);
    const std::vector<Band> items = WalkMenu(menu);
    ASSERT_EQ(static_cast<size_t>(kMenuSelectable), items.size());
    // The walk ended on the first item.
    for (int i = 0; i < kFixPositionPosition; ++i)
        PressAndRead(menu, VK_DOWN);
    e2e::PressKey(kDesktop, VK_RETURN);
    ASSERT_TRUE(WaitForLogCount(L"Event: UpdateConfig", 1));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ReadIniInt(config, L"option", L"lock", -1) == 1; }, kEventTimeoutMs));
    EXPECT_TRUE(m_session.VisibleWindows(nullptr, L"#32768").empty());

    // Fixed: a drag moves nothing and saves nothing.
    const RECT before = e2e::WindowRect(m_apps);
    ASSERT_TRUE(e2e::DragWithLeftButton(kDesktop, at, POINT{ 500, 500 }, 10, 40));
    ::Sleep(300);
    const RECT after = e2e::WindowRect(m_apps);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.right, after.right);
    EXPECT_EQ(0u, LogCount(L"<boxwnd> start moving"));
    EXPECT_FALSE(e2e::FileExists(Path(L"tarnelo.ser")));

    // The menu now shows the item checked: only its row looks different.
    menu = OpenMenuAt(at);
    ASSERT_NE(nullptr, menu);
    const RECT lockedRect = e2e::WindowRect(menu);
    ASSERT_EQ(menuRect.left, lockedRect.left);
    ASSERT_EQ(menuRect.bottom, lockedRect.bottom);
    ASSERT_EQ(menuRect.right, lockedRect.right);
    const std::vector<DWORD> locked = e2e::ReadDesktopScreen(kDesktop, lockedRect);
    ASSERT_EQ(unlocked.size(), locked.size());
    const int width = menuRect.right - menuRect.left;
    Band changed;
    for (size_t i = 0; i < locked.size(); ++i) {
        if (locked[i] != unlocked[i]) {
            const int y = static_cast<int>(i / width);
            changed.top = changed.top < 0 ? y : changed.top;
            changed.bottom = y;
        }
    }
    ASSERT_FALSE(changed.Empty()) << "no check mark";
    EXPECT_GE(changed.top, items[kFixPositionPosition].top);
    EXPECT_LE(changed.bottom, items[kFixPositionPosition].bottom);

    // Chosen again, it unlocks and saves again.
    ChooseMenuPosition(menu, kFixPositionPosition);
    ASSERT_TRUE(WaitForLogCount(L"Event: UpdateConfig", 2));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ReadIniInt(config, L"option", L"lock", -1) == 0; }, kEventTimeoutMs));
    // The other settings were saved with it, unchanged.
    EXPECT_EQ(1, e2e::ReadIniInt(config, L"option", L"entirelyMoveMode", -1));
    EXPECT_EQ(0, e2e::ReadIniInt(config, L"option", L"showExtension", -1));
}

TEST_F(BoxInput, DraggingABoxMovesEveryBoxAlongAndSavesTheNewPositions)
{
    // "Entirely move mode" is on in a new installation.
    const POINT from = OnBody(m_apps);
    const POINT to = { 500, 500 };
    ASSERT_TRUE(e2e::DragWithLeftButton(kDesktop, from, to, 10, 40, m_apps));
    ASSERT_TRUE(WaitForLogCount(L"Event: UpdateBoxInfo", 1));
    ASSERT_TRUE(e2e::WaitForFile(Path(L"tarnelo.ser"), kEventTimeoutMs));
    EXPECT_EQ(1u, LogCount(L"<boxwnd> start moving"));
    EXPECT_EQ(1u, LogCount(L"<boxwnd> box moved"));

    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const std::vector<HWND> boxes = AllBoxes();
    ASSERT_EQ(6u, boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        const RECT r = e2e::WindowRect(boxes[i]);
        EXPECT_EQ(kDefaultX + dx, r.left) << i;
        EXPECT_EQ(static_cast<LONG>(10 + 40 * i) + dy, r.top) << i;
    }

    std::vector<e2e::BoxFileRecord> records;
    DWORD version = 0;
    ASSERT_TRUE(e2e::ParseBoxFile(e2e::ReadFileBytes(Path(L"tarnelo.ser")), records, &version));
    EXPECT_EQ(1003u, version);
    ASSERT_EQ(6u, records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(std::wstring(kDefaultNames[i]), records[i].name);
        EXPECT_EQ(i, records[i].id);
        EXPECT_EQ(kDefaultX + dx, records[i].x) << i;
        EXPECT_EQ(static_cast<LONG>(10 + 40 * i) + dy, records[i].y) << i;
    }
    EXPECT_FALSE(e2e::FileExists(Path(L"tarnelo.ser.temp")));
}

// A box moved alone, with "Entirely move mode" off in "config.ini".
class BoxInputAlone : public BoxInput
{
protected:
    void PrepareData() override
    {
        const std::wstring config = Path(L"config.ini");
        ::WritePrivateProfileStringW(L"option", L"entirelyMoveMode", L"0", config.c_str());
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, config.c_str());
    }
};

TEST_F(BoxInputAlone, DraggingABoxMovesOnlyItAndSavesItsXAndYWords)
{
    const HWND tools = m_session.Box(L"Tools");
    ASSERT_NE(nullptr, tools);
    const POINT from = OnBody(tools);
    const POINT to = { 300, 600 };
    ASSERT_TRUE(e2e::DragWithLeftButton(kDesktop, from, to, 12, 40, tools));
    ASSERT_TRUE(WaitForLogCount(L"Event: UpdateBoxInfo", 1));
    ASSERT_TRUE(e2e::WaitForFile(Path(L"tarnelo.ser"), kEventTimeoutMs));

    // The press was 20 pixels into the box and 10 down, and stays there.
    const RECT r = e2e::WindowRect(tools);
    EXPECT_EQ(to.x - 20, r.left);
    EXPECT_EQ(to.y - 10, r.top);
    EXPECT_EQ(kDefaultX, e2e::WindowRect(m_apps).left);
    EXPECT_EQ(10, e2e::WindowRect(m_apps).top);

    // The record of "Tools" (id 1) holds the new corner in its x and y words, right after its id.
    const std::vector<BYTE> bytes = e2e::ReadFileBytes(Path(L"tarnelo.ser"));
    std::vector<e2e::BoxFileRecord> records;
    ASSERT_TRUE(e2e::ParseBoxFile(bytes, records));
    ASSERT_EQ(6u, records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(i, records[i].id);
        if (i == 1) {
            EXPECT_EQ(to.x - 20, records[i].x);
            EXPECT_EQ(to.y - 10, records[i].y);
        } else {
            EXPECT_EQ(kDefaultX, records[i].x) << i;
            EXPECT_EQ(static_cast<LONG>(10 + 40 * i), records[i].y) << i;
        }
    }
    // The same words as bytes: header (4 + 4 + 4), the record of "Apps", then id 1, x, y.
    std::vector<BYTE> expected;
    std::vector<e2e::BoxFileRecord> first(records.begin(), records.begin() + 1);
    const size_t appsEnd = e2e::BoxFileBytes(first).size();
    ASSERT_GE(bytes.size(), appsEnd + 12);
    const BYTE words[12] = { 1, 0, 0, 0, static_cast<BYTE>(to.x - 20), static_cast<BYTE>((to.x - 20) >> 8), 0, 0,
                             static_cast<BYTE>(to.y - 10), static_cast<BYTE>((to.y - 10) >> 8), 0, 0 };
    EXPECT_EQ(std::vector<BYTE>(words, words + 12),
              std::vector<BYTE>(bytes.begin() + static_cast<std::ptrdiff_t>(appsEnd),
                                bytes.begin() + static_cast<std::ptrdiff_t>(appsEnd + 12)));
}

TEST_F(BoxInput, ExitAnsweredYesEndsTheProgram)
{
    HWND menu = OpenMenuAt(OnBody(m_apps));
    ASSERT_NE(nullptr, menu);
    // Up from no selection reaches the last item, "Exit".
    const Band exitBand = PressAndRead(menu, VK_UP);
    const std::vector<Band> items = WalkMenu(menu);
    ASSERT_EQ(static_cast<size_t>(kMenuSelectable), items.size());
    EXPECT_EQ(items.back(), exitBand);
    PressAndRead(menu, VK_UP);
    e2e::PressKey(kDesktop, VK_RETURN);

    const HWND question = WaitForQuestion();
    ASSERT_NE(nullptr, question) << "no question";
    const std::vector<std::wstring> texts = StaticTexts(question);
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"Exit this application?"));
    // Asking is not yet leaving.
    EXPECT_TRUE(m_session.Program().IsRunning());
    EXPECT_EQ(0u, LogCount(L"------ exit ------"));

    ASSERT_TRUE(ClickButton(question, IDYES));
    ASSERT_TRUE(m_session.Program().WaitForExit(kExitTimeoutMs)) << "the program did not end";
    EXPECT_EQ(0u, m_session.Program().ExitCode());
    const std::vector<std::wstring> log = e2e::ReadLogTexts(m_log);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(L"------ exit ------", log.back());
    EXPECT_EQ(1u, LogCount(L"<boxmng> destroy"));
    // Nothing is saved at exit.
    EXPECT_FALSE(e2e::FileExists(Path(L"tarnelo.ser")));
    EXPECT_FALSE(e2e::FileExists(Path(L"style.ser")));
}

TEST_F(BoxInput, ExitAnsweredNoKeepsTheProgramAndItsBoxes)
{
    HWND menu = OpenMenuAt(OnBody(m_apps));
    ASSERT_NE(nullptr, menu);
    PressAndRead(menu, VK_UP);
    e2e::PressKey(kDesktop, VK_RETURN);
    const HWND question = WaitForQuestion();
    ASSERT_NE(nullptr, question) << "no question";

    ASSERT_TRUE(ClickButton(question, IDNO));
    EXPECT_TRUE(e2e::WaitUntil([&] { return m_session.VisibleWindows(nullptr, L"#32770").empty(); }, kEventTimeoutMs));
    EXPECT_FALSE(m_session.Program().WaitForExit(1000));
    EXPECT_EQ(6u, AllBoxes().size());
    EXPECT_EQ(0u, LogCount(L"------ exit ------"));

    // The box answers the mouse again: its menu opens once more.
    menu = OpenMenuAt(OnBody(m_apps));
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(2u, LogCount(L"<boxwnd> show menu"));
    e2e::PressKey(kDesktop, VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return m_session.VisibleWindows(nullptr, L"#32768").empty(); }, kEventTimeoutMs));
}

// The program picker is a common dialog whose loop runs inside the box's menu command: a close
// from another process that arrives meanwhile waits for it, and ends the program once the
// dialog has returned into its box.
TEST_F(BoxInput, ACloseFromOutsideWhileTheProgramPickerIsOpenWaitsForIt)
{
    const HWND menu = OpenMenuAt(OnBody(m_apps));
    ASSERT_NE(nullptr, menu);
    for (int i = 0; i <= kRegisterProgramsPosition; ++i)
        PressAndRead(menu, VK_DOWN);
    const HWND subMenu = OpenSubMenu(menu);
    ASSERT_NE(nullptr, subMenu) << "the sub-menu did not open";
    ::Sleep(kSettleMs);
    if (SelectedBand(subMenu).Empty())
        PressAndRead(subMenu, VK_DOWN);
    e2e::PressKey(kDesktop, VK_RETURN);
    const HWND picker = WaitForQuestion();
    ASSERT_NE(nullptr, picker) << "no file dialog";

    ASSERT_TRUE(e2e::PostToWindow(m_session.Manager(), WM_CLOSE));
    ASSERT_TRUE(WaitForLogCount(L"<boxmng> close waits for an open menu or dialog", 1));
    EXPECT_TRUE(m_session.Program().IsRunning());
    EXPECT_EQ(6u, AllBoxes().size());

    ASSERT_TRUE(e2e::PostToWindow(picker, WM_COMMAND, IDCANCEL));
    ASSERT_TRUE(m_session.Program().WaitForExit(kExitTimeoutMs)) << "the program did not end";
    EXPECT_EQ(0u, m_session.Program().ExitCode());
    EXPECT_EQ(1u, LogCount(L"<boxmng> destroy"));
}

}  // namespace
