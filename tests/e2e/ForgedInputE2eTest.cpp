// The running program in a Wine virtual desktop of 1280x800 against input it did not make:
// box and wizard events posted by another process, and box files that do not hold what
// their header says. It must keep running with every box on the screen, keep the user's
// file, and say so when it could not read it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "E2eHarness.h"
#include "core/WindowMessages.h"

namespace {

using e2e::kDesktop;
using e2e::kEventTimeoutMs;
using e2e::kExitTimeoutMs;
using e2e::kScreenHeight;
using e2e::kScreenWidth;
using e2e::kStartTimeoutMs;

constexpr WPARAM kUpdateBoxInfo = 0;
constexpr WPARAM kUpdateHorizontalSize = 8;
constexpr WPARAM kAlignWindow = 9;
constexpr WPARAM kExitApp = 13;
constexpr WPARAM kReloadBoxies = 0;
// A code no handler takes: the manager only logs it, so its line marks that every message
// posted before it has been handled.
constexpr WPARAM kMarkerCode = 99;
// The text control of a message box.
constexpr int kMessageBoxText = 0xFFFF;

class ForgedInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::FileExists(e2e::TarneloExePath())) << "missing program";
        ASSERT_TRUE(e2e::ResetInstalledDataFolder(m_data, m_log));
    }

    void TearDown() override
    {
        if (HasFailure())
            e2e::PrintLog(m_log);
        Stop();
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, Path(L"config.ini").c_str());
        e2e::RemoveTree(m_data);
    }

    std::wstring Path(const wchar_t* name) const { return m_data + L"\\" + name; }

    bool Start()
    {
        m_session.reset(new e2e::DesktopSession);
        return m_session->Start(kDesktop, kScreenWidth, kScreenHeight, kStartTimeoutMs);
    }
    bool StartWithDefaultBoxes()
    {
        return Start() && e2e::WaitUntil([&] { return DefaultBoxes().size() == 6; }, kStartTimeoutMs);
    }
    // Closes what is up and ends the program; TRUE when it ended by itself.
    bool Stop()
    {
        if (!m_session)
            return true;
        DismissMessageBoxes();
        const bool ended = m_session->End(kExitTimeoutMs);
        m_session.reset();
        return ended;
    }
    bool Running() const { return m_session && m_session->Program().IsRunning(); }

    std::vector<HWND> DefaultBoxes() const
    {
        std::vector<HWND> boxes;
        for (const wchar_t* name : e2e::kDefaultBoxNames) {
            if (const HWND box = m_session->Box(name))
                boxes.push_back(box);
        }
        return boxes;
    }
    // Every box lies whole on the virtual desktop and can be seen.
    bool BoxesOnScreen(const std::vector<HWND>& boxes) const
    {
        for (const HWND box : boxes) {
            const RECT r = e2e::WindowRect(box);
            if (r.left < 0 || r.top < 0 || r.right > kScreenWidth || r.bottom > kScreenHeight || r.right <= r.left ||
                r.bottom <= r.top) {
                std::printf("box off screen: (%ld,%ld)-(%ld,%ld)\n", r.left, r.top, r.right, r.bottom);
                return false;
            }
        }
        return true;
    }

    bool LogHasPart(const std::wstring& part) const
    {
        for (const std::wstring& line : e2e::ReadLogTexts(m_log)) {
            if (line.find(part) != std::wstring::npos)
                return true;
        }
        return false;
    }
    // Posts a marker and waits until the manager has handled it, and so everything before it.
    bool Settle()
    {
        const LPARAM marker = ++m_markers;
        const std::wstring line = L"<boxmng> box msg (" + std::to_wstring(kMarkerCode) + L"," +
                                  std::to_wstring(marker) + L")";
        return e2e::PostToWindow(m_session->Manager(), WM_BOXMSG, kMarkerCode, marker) &&
               e2e::WaitUntil([&] { return e2e::CountLogLines(m_log, line) > 0 || !Running(); }, kEventTimeoutMs) && Running();
    }
    bool Post(UINT message, WPARAM code, LPARAM value)
    {
        return e2e::PostToWindow(m_session->Manager(), message, code, value);
    }

    // The program's visible message boxes and their texts.
    std::vector<std::wstring> MessageBoxTexts() const
    {
        std::vector<std::wstring> texts;
        for (const HWND box : m_session->VisibleWindows(nullptr, L"#32770")) {
            wchar_t text[1024] = {};
            ::GetWindowTextW(::GetDlgItem(box, kMessageBoxText), text, 1024);
            texts.push_back(text);
        }
        return texts;
    }
    void DismissMessageBoxes()
    {
        for (int round = 0; round < 5; ++round) {
            const std::vector<HWND> boxes = m_session->VisibleWindows(nullptr, L"#32770");
            if (boxes.empty())
                return;
            for (const HWND box : boxes) {
                for (const int button : { IDOK, IDNO, IDCANCEL }) {
                    if (const HWND control = ::GetDlgItem(box, button)) {
                        e2e::PostToWindow(control, BM_CLICK);
                        break;
                    }
                }
            }
            e2e::WaitUntil([&] { return m_session->VisibleWindows(nullptr, L"#32770").empty(); }, kEventTimeoutMs);
        }
    }

    std::wstring m_data;
    std::wstring m_log;
    std::unique_ptr<e2e::DesktopSession> m_session;
    LPARAM m_markers = 0;
};

// Four boxes of the program's own making, in a column at x 900.
std::vector<e2e::BoxFileRecord> FourBoxes()
{
    std::vector<e2e::BoxFileRecord> boxes;
    const wchar_t* const names[] = { L"North", L"East", L"South", L"West" };
    for (DWORD i = 0; i < 4; ++i) {
        e2e::BoxFileRecord box;
        box.id = i;
        box.x = 900;
        box.y = static_cast<LONG>(100 + 50 * i);
        box.name = names[i];
        boxes.push_back(box);
    }
    return boxes;
}

TEST_F(ForgedInput, HugeWidthsKeepEveryBoxOnScreenAndTheNextStartWorks)
{
    ASSERT_TRUE(StartWithDefaultBoxes());
    for (const LPARAM width : { LPARAM(5000), LPARAM(32768), LPARAM(65536), LPARAM(100000), LPARAM(0x7FFFFFFF) }) {
        ASSERT_TRUE(Post(WM_BOXMSG, kUpdateHorizontalSize, width));
        ASSERT_TRUE(Settle()) << "the program ended on width " << width;
        EXPECT_TRUE(BoxesOnScreen(DefaultBoxes())) << width;
    }
    ASSERT_TRUE(Stop());

    ASSERT_TRUE(StartWithDefaultBoxes()) << "no start after the widths were saved";
    EXPECT_TRUE(BoxesOnScreen(DefaultBoxes()));
}

TEST_F(ForgedInput, ReloadBoxiesWithoutTheWizardMovesNothing)
{
    ASSERT_TRUE(StartWithDefaultBoxes());
    std::vector<RECT> before;
    for (const HWND box : DefaultBoxes())
        before.push_back(e2e::WindowRect(box));

    ASSERT_TRUE(Post(WM_WIZMSG, kReloadBoxies, 1));
    ASSERT_TRUE(Post(WM_BOXMSG, kUpdateBoxInfo, 0));
    ASSERT_TRUE(Settle());

    const std::vector<HWND> after = DefaultBoxes();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < after.size(); ++i) {
        const RECT r = e2e::WindowRect(after[i]);
        EXPECT_EQ(before[i].left, r.left) << i;
        EXPECT_EQ(before[i].top, r.top) << i;
    }
    std::vector<e2e::BoxFileRecord> saved;
    ASSERT_TRUE(e2e::ParseBoxFile(e2e::ReadFileBytes(Path(L"tarnelo.ser")), saved));
    ASSERT_EQ(6u, saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(before[i].left, saved[i].x) << i;
        EXPECT_EQ(before[i].top, saved[i].y) << i;
    }
}

TEST_F(ForgedInput, ABoxFileWithMoreBytesThanItsCountIsKeptAfterASave)
{
    const std::vector<BYTE> whole = e2e::BoxFileBytes(FourBoxes());
    std::vector<BYTE> shortCount = whole;
    shortCount[4 + 4] = 1;  // after the version and the empty reserved string
    std::vector<BYTE> garbage = whole;
    for (int i = 0; i < 100; ++i)
        garbage.push_back(static_cast<BYTE>(i * 37 + 11));

    for (const std::vector<BYTE>& original : { shortCount, garbage }) {
        SCOPED_TRACE(original.size());
        ASSERT_TRUE(e2e::ResetDataFolder());
        ASSERT_TRUE(e2e::WriteInstallDate(m_data));
        ASSERT_TRUE(e2e::WriteFileBytes(Path(L"tarnelo.ser"), original));
        ASSERT_TRUE(Start());
        DismissMessageBoxes();
        ASSERT_TRUE(Post(WM_BOXMSG, kUpdateBoxInfo, 0));
        ASSERT_TRUE(Settle());
        EXPECT_TRUE(e2e::ReadFileBytes(Path(L"tarnelo.ser")) == original ||
                    e2e::ReadFileBytes(Path(L"tarnelo.ser.bad")) == original);
        ASSERT_TRUE(Stop());
    }
}

TEST_F(ForgedInput, ADamagedBoxFileStartsWithSixBoxesAndAWarningNamingItsCopy)
{
    const std::vector<BYTE> damaged = { 0xEB, 0x03, 0x00, 0x00, 0xFF, 0xFE };
    ASSERT_TRUE(e2e::WriteFileBytes(Path(L"tarnelo.ser"), damaged));
    ASSERT_TRUE(StartWithDefaultBoxes());
    EXPECT_TRUE(BoxesOnScreen(DefaultBoxes()));

    std::vector<std::wstring> texts;
    ASSERT_TRUE(e2e::WaitUntil([&] { return !(texts = MessageBoxTexts()).empty(); }, kEventTimeoutMs))
        << "no warning";
    ASSERT_EQ(1u, texts.size());
    EXPECT_NE(std::wstring::npos, texts.front().find(Path(L"tarnelo.ser.bad"))) << texts.front();
    EXPECT_EQ(damaged, e2e::ReadFileBytes(Path(L"tarnelo.ser.bad")));
}

// A save that cannot be written is told, naming the file and the system's reason: once while
// the file keeps failing, and again when it fails anew after it was saved. The box keeps the
// width it was given.
TEST_F(ForgedInput, AFailedSaveIsToldOnceNamingTheFileAndTheSystemsReason)
{
    ASSERT_TRUE(StartWithDefaultBoxes());
    const std::wstring blocker = Path(L"style.ser.temp");  // a folder where the temporary file goes
    const auto told = [&] { return e2e::WaitUntil([&] { return !MessageBoxTexts().empty(); }, 1500); };
    wchar_t reason[256] = {};  // the start of the system's text for "access denied"
    ASSERT_NE(0u, ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, reason, 256, nullptr));
    reason[10] = L'\0';
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
        ASSERT_TRUE(Post(WM_BOXMSG, kUpdateHorizontalSize, 300));
        ASSERT_TRUE(Post(WM_BOXMSG, kUpdateHorizontalSize, 310));
        ASSERT_TRUE(Settle());
        ASSERT_TRUE(told()) << round;
        const std::vector<std::wstring> texts = MessageBoxTexts();
        ASSERT_EQ(1u, texts.size());
        EXPECT_NE(std::wstring::npos, texts[0].find(Path(L"style.ser") + L" ")) << texts[0];
        EXPECT_NE(std::wstring::npos, texts[0].find(reason)) << texts[0];
        const RECT box = e2e::WindowRect(DefaultBoxes()[0]);
        EXPECT_EQ(310, box.right - box.left);
        DismissMessageBoxes();
        ASSERT_TRUE(Post(WM_BOXMSG, kUpdateHorizontalSize, 320));
        ASSERT_TRUE(Settle());
        EXPECT_FALSE(told()) << "told again while the file still fails";
        ASSERT_TRUE(::RemoveDirectoryW(blocker.c_str()));
        ASSERT_TRUE(Post(WM_BOXMSG, kUpdateHorizontalSize, 330));  // saved
        ASSERT_TRUE(Settle());
    }
    EXPECT_FALSE(told());

    // Once the file can be written again, the failed save is made without a new change. What
    // still fails at the end of the session is logged, and at exit it is told.
    const auto failTold = [&](LPARAM width) {
        return ::CreateDirectoryW(blocker.c_str(), nullptr) && Post(WM_BOXMSG, kUpdateHorizontalSize, width) && told();
    };
    ASSERT_TRUE(failTold(340));
    DismissMessageBoxes();
    ASSERT_TRUE(::RemoveDirectoryW(blocker.c_str()));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::CountLogLines(m_log, L"<boxmng> saved again: " + Path(L"style.ser")) == 3; },
                               kEventTimeoutMs));
    ASSERT_TRUE(failTold(350));
    DismissMessageBoxes();
    ASSERT_TRUE(Post(WM_ENDSESSION, TRUE, 0));
    EXPECT_TRUE(e2e::WaitForLogLine(m_log, L"<boxmng> changes not kept: " + Path(L"style.ser"), kEventTimeoutMs));
    EXPECT_TRUE(MessageBoxTexts().empty());
    ASSERT_TRUE(Post(WM_BOXMSG, kExitApp, 0));
    ASSERT_TRUE(told());
    EXPECT_NE(std::wstring::npos, MessageBoxTexts().front().find(Path(L"style.ser"))) << MessageBoxTexts().front();
    ASSERT_TRUE(::RemoveDirectoryW(blocker.c_str()));
    ASSERT_TRUE(Stop());
}

// Thousands of box and wizard events with random codes and values, as any process could post
// them. Left out: the exit event, and AlignWindow, whose clearance dialog is the program's
// own modal answer to it. Pointers in lParam are never those of the program's boxes, so
// AddBox, DeleteBox and EditBox (and the wizard's EditBox) must ignore them.
TEST_F(ForgedInput, AStormOfRandomEventsLeavesTheProgramRunningWithItsBoxesOnScreen)
{
    ASSERT_TRUE(StartWithDefaultBoxes());
    std::mt19937_64 random(20261207);
    const auto value = [&]() -> LPARAM {
        switch (random() % 5) {
        case 0: return static_cast<LPARAM>(random() % 8);
        case 1: return static_cast<LPARAM>(random() % 200001) - 100000;
        case 2: return static_cast<LPARAM>(static_cast<int>(random()));
        case 3: return static_cast<LPARAM>(random());
        default: return static_cast<LPARAM>(0x10000 + random() % 0x7FFF0000);
        }
    };
    for (int i = 0; i < 3000; ++i) {
        const bool wizard = random() % 3 == 0;
        WPARAM code = static_cast<WPARAM>(random() % (wizard ? 8 : 16));
        if (!wizard && (code == kExitApp || code == kAlignWindow))
            code = kUpdateHorizontalSize;
        ASSERT_TRUE(Post(wizard ? WM_WIZMSG : WM_BOXMSG, code, value())) << i;
        // Now and then the boxes draw what the events left them with.
        if (i % 20 == 19) {
            ASSERT_TRUE(Settle()) << "the program ended after message " << i;
        }
    }
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(MessageBoxTexts().empty());
    ASSERT_EQ(6u, DefaultBoxes().size());
    EXPECT_TRUE(BoxesOnScreen(DefaultBoxes()));

    // Both files load: the next start reads them without a complaint.
    ASSERT_TRUE(Stop());
    ASSERT_TRUE(StartWithDefaultBoxes());
    EXPECT_TRUE(BoxesOnScreen(DefaultBoxes()));
    EXPECT_FALSE(LogHasPart(L"style load exception"));
    EXPECT_FALSE(LogHasPart(L"box file"));
}

}  // namespace
