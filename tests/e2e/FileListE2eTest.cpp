// The file list of the running program, driven with real mouse and key input in a Wine
// virtual desktop of 1280x800. The data folder is prepared by hand as an earlier run would
// have left it: "config.ini" with an install date, and a version-1003 "tarnelo.ser" with one
// box "Runner" holding one item, "mark.bat", whose file is a shortcut in the box folder
// files\000 to a batch file there that writes a marker file when it runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

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
constexpr DWORD kRunTimeoutMs = 30000;
// Time for the program to handle the mouse move that the cursor's placement brings.
constexpr DWORD kSettleMs = 200;

constexpr LONG kBoxX = 400;
constexpr LONG kBoxY = 200;
// A new installation's style: the small list layout, and the box icon at half size, which
// puts the list 24 pixels right of the box.
constexpr int kRowHeight = 26;
constexpr int kListOffsetX = 24;
constexpr int kMinimumListWidth = 30 + 80 + 4;

bool MakeShortcut(const std::wstring& target, const std::wstring& linkPath)
{
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return false;
    bool saved = false;
    IPersistFile* file = nullptr;
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
    if (SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link->SetWorkingDirectory(folder.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

std::vector<BYTE> Ascii(const std::string& text)
{
    return std::vector<BYTE>(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (const wchar_t c : text)
        narrow.push_back(static_cast<char>(c));
    return narrow;
}

class FileList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::FileExists(e2e::TarneloExePath())) << "missing program";
        ASSERT_TRUE(e2e::ResetInstalledDataFolder(m_data, m_log));
        m_marker = m_data + L"\\marker.txt";

        const std::wstring boxFolder = m_data + L"\\files\\000";
        ASSERT_EQ(ERROR_SUCCESS, ::SHCreateDirectoryExW(nullptr, boxFolder.c_str(), nullptr));
        const std::wstring batch = boxFolder + L"\\mark.bat";
        ASSERT_TRUE(e2e::WriteFileBytes(batch, Ascii("@echo off\r\necho started>\"" + Narrow(m_marker) + "\"\r\n")));
        m_link = boxFolder + L"\\mark.lnk";
        ASSERT_TRUE(MakeShortcut(batch, m_link));

        e2e::BoxFileRecord box;
        box.id = 0;
        box.x = kBoxX;
        box.y = kBoxY;
        box.name = L"Runner";
        // Rows before it: copies of a shortcut to a text file, "row001.txt" on; one name is wider
        // than the screen.
        const std::wstring other = boxFolder + L"\\other.lnk";
        for (int i = 1; i <= LeadingRows(); ++i) {
            ASSERT_TRUE(i > 1 || (e2e::WriteFileBytes(m_data + L"\\other.txt", Ascii("x")) &&
                                  MakeShortcut(m_data + L"\\other.txt", other)));
            const std::wstring name = L"row" + std::to_wstring(1000 + i).substr(1), link = boxFolder + L"\\" + name;
            ASSERT_TRUE(::CopyFileW(other.c_str(), (link + L".lnk").c_str(), FALSE));
            box.items.push_back({ 1, name + std::wstring(i == 150 ? 194 : 0, L'w') + L".txt", link + L".lnk", L"" });
        }
        e2e::BoxFileItem item;
        item.type = 1;
        item.name = L"mark.bat";
        item.path = m_link;
        box.items.push_back(item);
        box.icon = L"150-outlined-icons-white\\squares.png";
        ASSERT_TRUE(e2e::WriteFileBytes(Path(L"tarnelo.ser"), e2e::BoxFileBytes({ box })));

        ASSERT_TRUE(m_session.Start(kDesktop, kScreenWidth, kScreenHeight, kStartTimeoutMs)) << "no boxes";
        m_box = nullptr;
        ASSERT_TRUE(e2e::WaitUntil([&] { return (m_box = m_session.Box(L"Runner")) != nullptr; }, kStartTimeoutMs));
    }

    // How many rows the box lists before "mark.bat".
    virtual int LeadingRows() const { return 0; }

    void TearDown() override
    {
        // What the program logged explains a failure best; its folder goes below.
        if (HasFailure()) {
            for (const e2e::LogLine& line : e2e::ReadLog(m_log))
                std::printf("program log: [%ls] %ls\n", line.level.c_str(), line.text.c_str());
        }
        m_session.End(kExitTimeoutMs);
        e2e::RemoveTree(m_data);
    }

    std::wstring Path(const wchar_t* name) const { return m_data + L"\\" + name; }

    size_t LogCount(const std::wstring& text, const wchar_t* level = nullptr) const
    {
        size_t n = 0;
        for (const e2e::LogLine& line : e2e::ReadLog(m_log))
            n += (line.text == text && (!level || line.level == level)) ? 1 : 0;
        return n;
    }
    bool WaitForLogCount(const std::wstring& text, size_t count) const
    {
        return e2e::WaitUntil([&] { return LogCount(text) >= count; }, kEventTimeoutMs);
    }

    HWND VisibleList() const
    {
        const std::vector<HWND> lists = m_session.VisibleWindows(L"VornFileList", nullptr);
        return lists.size() == 1 ? lists.front() : nullptr;
    }

    // Clicks the body of the box and waits for its list, which then holds the keyboard.
    HWND OpenListByClick()
    {
        const RECT r = e2e::WindowRect(m_box);
        if (!e2e::ClickAt(kDesktop, r.left + 20, r.top + 10))
            return nullptr;
        HWND list = nullptr;
        e2e::WaitUntil([&] { return (list = VisibleList()) != nullptr; }, kEventTimeoutMs);
        if (list)
            e2e::WaitUntil([&] { return e2e::DesktopForegroundWindow(kDesktop) == list; }, kEventTimeoutMs);
        return list;
    }

    // The cursor settles where the program put it. Under Wine in a virtual desktop, cursor
    // placements also travel through the X server and may be overtaken for a moment by the
    // echo of an earlier one.
    bool WaitForCursorAt(POINT expected) const
    {
        POINT last = {};
        const bool reached = e2e::WaitUntil(
            [&] {
                last = e2e::CursorPos(kDesktop);
                return last.x == expected.x && last.y == expected.y;
            },
            kEventTimeoutMs);
        if (!reached)
            ADD_FAILURE() << "cursor at " << last.x << "," << last.y << ", not " << expected.x << "," << expected.y;
        return reached;
    }

    bool WaitForListGone() const
    {
        return e2e::WaitUntil([&] { return m_session.VisibleWindows(L"VornFileList", nullptr).empty(); },
                              kEventTimeoutMs);
    }

    std::wstring m_data;
    std::wstring m_log;
    std::wstring m_marker;
    std::wstring m_link;
    e2e::DesktopSession m_session;
    HWND m_box = nullptr;
};

TEST_F(FileList, AClickOnTheBoxOpensItsListBelowIt)
{
    const RECT box = e2e::WindowRect(m_box);
    ASSERT_EQ(kBoxX, box.left);
    ASSERT_EQ(kBoxY, box.top);

    const HWND list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no file list";
    EXPECT_EQ(1u, LogCount(L"<boxwnd> click"));
    EXPECT_EQ(1u, LogCount(L"<boxwnd> delayed click"));
    EXPECT_EQ(1u, LogCount(L"<filewnd> - open", L"act "));

    // One row, below the box, at least as wide as the icon column and the shortest name area.
    const RECT r = e2e::WindowRect(list);
    EXPECT_EQ(kBoxX + kListOffsetX, r.left);
    EXPECT_EQ(box.bottom, r.top);
    EXPECT_EQ(kRowHeight, r.bottom - r.top);
    EXPECT_GE(r.right - r.left, kMinimumListWidth);
    EXPECT_NE(0, e2e::WindowExStyle(list) & WS_EX_LAYERED);
    EXPECT_EQ(m_session.Program().Id(), [&] {
        DWORD id = 0;
        ::GetWindowThreadProcessId(list, &id);
        return id;
    }());

    // The click was left of the list: the cursor was put on its first row.
    EXPECT_TRUE(WaitForCursorAt(POINT{ r.left + 5, r.top + 5 }));

    // Opening changes no file; nothing was started.
    EXPECT_FALSE(e2e::FileExists(m_marker));
}

TEST_F(FileList, EscapeClosesTheListAndTheBoxOpensItAgain)
{
    HWND list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no file list";
    ASSERT_EQ(list, e2e::DesktopForegroundWindow(kDesktop)) << "the list does not hold the keyboard";
    const RECT r = e2e::WindowRect(list);

    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_ESCAPE));
    ASSERT_TRUE(WaitForListGone()) << "Escape left the list open";
    ASSERT_TRUE(WaitForLogCount(L"<boxwnd> CLOSE msg from fileWnd", 1));
    EXPECT_TRUE(WaitForLogCount(L"<filewnd> destroy", 1));
    EXPECT_EQ(1u, LogCount(L"<filewnd> send destroy3", L"info"));
    EXPECT_EQ(1u, LogCount(L"<filewnd> destroy", L"warn"));
    EXPECT_EQ(0u, LogCount(L"<boxwnd> OPEN msg from fileWnd"));
    // The cursor went back onto the box, just above the list's corner.
    EXPECT_TRUE(WaitForCursorAt(POINT{ r.left, r.top - 5 }));
    EXPECT_FALSE(e2e::FileExists(m_marker));

    // The box let go of its list: the next click opens a new one. It comes after the
    // double-click time, or the box would take the two clicks for a double click (edit).
    ::Sleep(::GetDoubleClickTime() + 100);
    list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "the box opens no second list";
    EXPECT_EQ(2u, LogCount(L"<filewnd> - open", L"act "));
    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_ESCAPE));
    EXPECT_TRUE(WaitForListGone());
    EXPECT_TRUE(m_session.Program().IsRunning());
}

// An empty name is refused with a message; the list then has the keyboard back.
TEST_F(FileList, AfterARefusedRenameEscapeStillClosesTheList)
{
    const HWND list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no file list";
    const RECT r = e2e::WindowRect(list);
    ASSERT_TRUE(WaitForCursorAt(POINT{ r.left + 5, r.top + 5 }));
    ::Sleep(kSettleMs);  // the row under the cursor becomes the current one
    std::vector<HWND> up;
    const auto dialogUp = [&] { return (up = m_session.VisibleWindows(nullptr, L"#32770")).size() == 1; };
    ASSERT_TRUE(e2e::PostToWindow(list, WM_COMMAND, 32817));  // "Rename"
    ASSERT_TRUE(e2e::WaitUntil([&] { return dialogUp() && e2e::DesktopForegroundWindow(kDesktop) == up[0]; }, kEventTimeoutMs));
    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_DELETE));  // the whole name is selected
    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_RETURN));
    ASSERT_TRUE(e2e::WaitUntil([&] { return dialogUp() && LogCount(L"<filewnd> do rename") == 1; }, kEventTimeoutMs));
    const RECT ok = e2e::WindowRect(::GetDlgItem(up[0], IDOK));
    ASSERT_TRUE(e2e::ClickAt(kDesktop, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2));
    ASSERT_TRUE(e2e::WaitUntil([&] { return m_session.VisibleWindows(nullptr, L"#32770").empty(); }, kEventTimeoutMs));
    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_ESCAPE));
    EXPECT_TRUE(WaitForListGone());
    EXPECT_EQ(1u, LogCount(L"<filewnd> send destroy3", L"info")) << "Escape did not reach the list";
}

TEST_F(FileList, EnterStartsTheItemAndClosesTheList)
{
    const HWND list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no file list";
    ASSERT_EQ(list, e2e::DesktopForegroundWindow(kDesktop)) << "the list does not hold the keyboard";
    // The cursor put on the first row makes that row the current one.
    const RECT r = e2e::WindowRect(list);
    ASSERT_TRUE(WaitForCursorAt(POINT{ r.left + 5, r.top + 5 }));
    ::Sleep(kSettleMs);

    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_RETURN));
    EXPECT_TRUE(e2e::WaitForFile(m_marker, kRunTimeoutMs)) << "the batch file did not run";
    EXPECT_TRUE(WaitForListGone());
    EXPECT_EQ(1u, LogCount(L"File/Folder open:ma", L"act "));
    EXPECT_EQ(1u, LogCount(L"<boxwnd> OPEN msg from fileWnd"));
    EXPECT_TRUE(WaitForLogCount(L"<boxwnd> CLOSE msg from fileWnd", 1));
    for (const e2e::LogLine& line : e2e::ReadLog(m_log))
        EXPECT_EQ(std::wstring::npos, line.text.find(L"ShellExecute failed")) << line.text;
    EXPECT_TRUE(m_session.Program().IsRunning());
}

TEST_F(FileList, AClickOnTheRowStartsTheItem)
{
    const HWND list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no file list";
    const RECT r = e2e::WindowRect(list);

    ASSERT_TRUE(e2e::ClickAt(kDesktop, r.left + 40, r.top + kRowHeight / 2));
    EXPECT_TRUE(e2e::WaitForFile(m_marker, kRunTimeoutMs)) << "the batch file did not run";
    EXPECT_TRUE(WaitForListGone());
    EXPECT_EQ(1u, LogCount(L"File/Folder open:ma", L"act "));
    EXPECT_EQ(1u, LogCount(L"<boxwnd> OPEN msg from fileWnd"));
}

TEST_F(FileList, TheListClosesItselfWhenTheCursorStaysAwayAndStartsNothing)
{
    const HWND list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no file list";
    ASSERT_TRUE(e2e::MoveCursor(kDesktop, 50, kScreenHeight - 50));

    // Its timer closes it after some seconds outside.
    ASSERT_TRUE(e2e::WaitUntil([&] { return m_session.VisibleWindows(L"VornFileList", nullptr).empty(); },
                               kRunTimeoutMs))
        << "the list stayed open";
    EXPECT_TRUE(WaitForLogCount(L"<boxwnd> CLOSE msg from fileWnd", 1));
    EXPECT_EQ(1u, LogCount(L"<filewnd> send destroy0", L"info"));
    EXPECT_EQ(0u, LogCount(L"<boxwnd> OPEN msg from fileWnd"));
    EXPECT_FALSE(e2e::FileExists(m_marker));
    EXPECT_TRUE(m_session.Program().IsRunning());
}

// A box of 300 items, "mark.bat" last, one name of 200 characters: the list is cut to the
// screen and scrolls.
class LongFileList : public FileList
{
protected:
    int LeadingRows() const override { return 299; }
};

TEST_F(LongFileList, TheLastRowIsReachedByTheKeysAndByTheWheelAndOpened)
{
    HWND list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no file list";
    const RECT r = e2e::WindowRect(list);
    EXPECT_EQ(0, (r.bottom - r.top) % kRowHeight);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= kScreenWidth && r.bottom <= kScreenHeight);
    // The click on the box lies above the wide list: the cursor only went down onto it.
    ASSERT_TRUE(WaitForCursorAt(POINT{ kBoxX + 20, r.top + 5 }));
    ::Sleep(kSettleMs);

    // Up from the first row: the last row scrolls into view under the cursor; Enter starts it.
    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_UP));
    ASSERT_TRUE(WaitForCursorAt(POINT{ r.left + 10, r.bottom - kRowHeight + 10 }));
    ::Sleep(kSettleMs);
    ASSERT_TRUE(e2e::PressKey(kDesktop, VK_RETURN));
    ASSERT_TRUE(e2e::WaitForFile(m_marker, kRunTimeoutMs)) << "the last item did not run";
    ASSERT_TRUE(WaitForListGone());
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::DeleteFileW(m_marker.c_str()) != FALSE; }, kEventTimeoutMs));

    // The wheel turned past the end; a click on the bottom row starts the last item again.
    // The item's console window gave the desktop's 20-px taskbar its first button: from then on
    // Wine leaves the taskbar out of the work area, and the list ends 5 pixels above it.
    ::Sleep(::GetDoubleClickTime() + 100);
    list = OpenListByClick();
    ASSERT_NE(nullptr, list) << "no second file list";
    const RECT second = e2e::WindowRect(list);
    EXPECT_EQ(kScreenHeight - 20 - 5, second.bottom);
    ASSERT_TRUE(WaitForCursorAt(POINT{ kBoxX + 20, second.top + 5 }));
    for (int notch = 0; notch < 120; ++notch)
        ASSERT_TRUE(e2e::SendMouseButtons(kDesktop, MOUSEEVENTF_WHEEL, -WHEEL_DELTA));
    // The cursor's move through X can come after the click that follows it: the click then
    // lands where the cursor was. It is placed and settled first.
    const POINT bottomRow = { second.left + 40, second.bottom - kRowHeight / 2 };
    ASSERT_TRUE(e2e::MoveCursor(kDesktop, bottomRow.x, bottomRow.y));
    ASSERT_TRUE(WaitForCursorAt(bottomRow));
    ::Sleep(kSettleMs);
    ASSERT_TRUE(e2e::ClickAt(kDesktop, bottomRow.x, bottomRow.y));
    EXPECT_TRUE(e2e::WaitForFile(m_marker, kRunTimeoutMs)) << "the click did not start the last item";
    EXPECT_EQ(2u, LogCount(L"File/Folder open:ma", L"act "));
}

// ---- The box file as the tests write and read it ---------------------------------------------------

TEST(E2eBoxFile, WritesOneBoxByteForByte)
{
    e2e::BoxFileRecord box;
    box.id = 0;
    box.x = 100;
    box.y = 10;
    box.name = L"Tools";
    const BYTE expected[] = {
        0xEB, 0x03, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00,  // header
        0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00,  // id, x, y
        0xFF, 0xFE, 0xFF, 0x05, 0x54, 0x00, 0x6F, 0x00, 0x6F, 0x00, 0x6C, 0x00, 0x73, 0x00,
        0x00, 0x00, 0x00, 0x00,  // no items
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // hot key, reserved
        0x40, 0x40, 0x40, 0x00, 0xFF, 0xFE, 0xFF, 0x00,                          // colour, icon
    };
    EXPECT_EQ(std::vector<BYTE>(expected, expected + sizeof(expected)), e2e::BoxFileBytes({ box }));
}

TEST(E2eBoxFile, WritesItemsAndLongStringsAndReadsThemBack)
{
    e2e::BoxFileRecord box;
    box.id = 7;
    box.x = -20;
    box.y = 300;
    box.name = L"Runner";
    box.items.push_back(e2e::BoxFileItem{ 1, L"mark.bat", std::wstring(300, L'p'), L"key" });
    box.items.push_back(e2e::BoxFileItem{ 4, L"site.url", L"C:\\s.url", L"" });
    box.hotKeyModifiers = 2;
    box.hotKeyKey = 'R';
    box.colorRef = 0x00112233;
    box.icon = L"set\\icon.png";
    const std::vector<BYTE> bytes = e2e::BoxFileBytes({ box, box });

    // A path of 300 characters: FF FE FF, then FF and the 16-bit length.
    std::vector<BYTE> longPath;
    e2e::AppendArchiveString(longPath, std::wstring(300, L'p'));
    ASSERT_EQ(6u + 600u, longPath.size());
    EXPECT_EQ((std::vector<BYTE>{ 0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01 }), std::vector<BYTE>(longPath.begin(), longPath.begin() + 6));

    std::vector<e2e::BoxFileRecord> read;
    DWORD version = 0;
    ASSERT_TRUE(e2e::ParseBoxFile(bytes, read, &version));
    EXPECT_EQ(1003u, version);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(7u, read[1].id);
    EXPECT_EQ(-20, read[1].x);
    EXPECT_EQ(300, read[1].y);
    EXPECT_EQ(L"Runner", read[1].name);
    ASSERT_EQ(2u, read[1].items.size());
    EXPECT_EQ(std::wstring(300, L'p'), read[1].items[0].path);
    EXPECT_EQ(L"key", read[1].items[0].iconKey);
    EXPECT_EQ(4u, read[1].items[1].type);
    EXPECT_EQ(2u, read[1].hotKeyModifiers);
    EXPECT_EQ(static_cast<DWORD>('R'), read[1].hotKeyKey);
    EXPECT_EQ(0x00112233u, read[1].colorRef);
    EXPECT_EQ(L"set\\icon.png", read[1].icon);

    // A version-1002 file has no icon keys; 1001 no hot keys either.
    std::vector<BYTE> older = e2e::BoxFileBytes({ box }, 1002);
    ASSERT_TRUE(e2e::ParseBoxFile(older, read, &version));
    EXPECT_EQ(1002u, version);
    EXPECT_EQ(L"", read[0].items[0].iconKey);
    EXPECT_EQ(2u, read[0].hotKeyModifiers);
    older = e2e::BoxFileBytes({ box }, 1001);
    ASSERT_TRUE(e2e::ParseBoxFile(older, read, &version));
    EXPECT_EQ(0u, read[0].hotKeyKey);
    EXPECT_EQ(L"set\\icon.png", read[0].icon);
}

TEST(E2eBoxFile, RefusesTruncatedAndMutatedFiles)
{
    e2e::BoxFileRecord box;
    box.name = L"Runner";
    box.items.push_back(e2e::BoxFileItem{ 1, L"mark.bat", L"C:\\mark.lnk", L"" });
    const std::vector<BYTE> bytes = e2e::BoxFileBytes({ box });
    std::vector<e2e::BoxFileRecord> read;
    for (size_t length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(e2e::ParseBoxFile(std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)), read))
            << length;
    // Trailing bytes, a box count of 2, an item count beyond the end, a string length beyond it.
    std::vector<BYTE> mutated = bytes;
    mutated.push_back(0);
    EXPECT_FALSE(e2e::ParseBoxFile(mutated, read));
    mutated = bytes;
    mutated[8] = 2;
    EXPECT_FALSE(e2e::ParseBoxFile(mutated, read));
    mutated = bytes;
    const size_t itemCount = 12 + 12 + 4 + 2 * 6;
    ASSERT_EQ(1u, mutated[itemCount]);
    mutated[itemCount] = 0xFF;
    mutated[itemCount + 3] = 0xFF;
    EXPECT_FALSE(e2e::ParseBoxFile(mutated, read));
    mutated = bytes;
    ASSERT_EQ(6u, mutated[15 + 12]);
    mutated[15 + 12] = 0xFE;
    EXPECT_FALSE(e2e::ParseBoxFile(mutated, read));
    // Every single-byte change is read or refused without running past the end.
    for (size_t i = 0; i < bytes.size(); ++i) {
        mutated = bytes;
        mutated[i] ^= 0xA5;
        e2e::ParseBoxFile(mutated, read);
    }
}

}  // namespace
