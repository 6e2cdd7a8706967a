// The running program in a Wine virtual desktop of 1280x800, on a data folder whose
// "config.ini" holds an install date and which has no box file: its six boxes, its log, what
// the manager's events write, resizing, the screen, and the exit event.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "E2eHarness.h"
#include "core/WindowMessages.h"

namespace {

constexpr wchar_t kDesktop[] = L"Tarnelo";
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kEventTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 20000;

constexpr WPARAM kUpdateBoxInfo = 0;
constexpr WPARAM kUpdateStyle = 4;
constexpr WPARAM kUpdateHorizontalSize = 8;
constexpr WPARAM kExitApp = 13;

const wchar_t* const kDefaultNames[] = { L"Apps", L"Tools", L"Documents", L"Folders", L"Shared", L"Hot items" };

// Every file below the data folder but the logs, with its size and last write time.
void ListFiles(const std::wstring& folder, std::map<std::wstring, std::wstring>& files)
{
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"logs")
                ListFiles(path, files);
            continue;
        }
        files[path] = std::to_wstring(found.nFileSizeLow) + L"@" + std::to_wstring(found.ftLastWriteTime.dwHighDateTime) +
                      L":" + std::to_wstring(found.ftLastWriteTime.dwLowDateTime);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

class RunningProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::FileExists(e2e::TarneloExePath())) << "missing program";
        ASSERT_TRUE(e2e::ResetInstalledDataFolder(m_data, m_log));

        ASSERT_TRUE(e2e::StartInDesktop(m_explorer, kDesktop, kScreenWidth, kScreenHeight, e2e::TarneloExePath()));
        ASSERT_TRUE(e2e::WaitForLogLine(m_log, L"CreateBoxies-done", kStartTimeoutMs)) << "the boxes were not made";
        m_manager = e2e::WaitForDesktopWindow(kDesktop, L"TarneloWndManager", nullptr, kStartTimeoutMs);
        ASSERT_NE(nullptr, m_manager);
        ASSERT_TRUE(m_program.Open(m_manager));
        ASSERT_TRUE(e2e::WaitUntil([&] { return Boxes().size() == 6; }, kStartTimeoutMs));
    }

    void TearDown() override
    {
        if (m_program.IsRunning()) {
            e2e::PostToWindow(m_manager, WM_BOXMSG, kExitApp, 0);
            if (!m_program.WaitForExit(kExitTimeoutMs))
                m_program.Terminate();
        }
        // The virtual desktop goes with its last program; it is ended here if it lingers.
        if (!m_explorer.WaitForExit(5000))
            m_explorer.Terminate();
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, Path(L"config.ini").c_str());
        e2e::RemoveTree(m_data);
    }

    std::wstring Path(const wchar_t* name) const { return m_data + L"\\" + name; }

    // The box windows by name, in the default order; missing ones are null.
    std::vector<HWND> Boxes() const
    {
        std::vector<HWND> boxes;
        for (const wchar_t* name : kDefaultNames) {
            const std::vector<HWND> found =
                e2e::FindDesktopWindows(kDesktop, (std::wstring(L"Tarnelo") + name).c_str(), nullptr, m_program.Id());
            if (!found.empty())
                boxes.push_back(found.front());
        }
        return boxes;
    }

    bool LogHas(const std::wstring& text) const
    {
        for (const std::wstring& line : e2e::ReadLogTexts(m_log)) {
            if (line == text)
                return true;
        }
        return false;
    }
    size_t LogCount(const std::wstring& text) const
    {
        size_t n = 0;
        for (const std::wstring& line : e2e::ReadLogTexts(m_log))
            n += line == text ? 1 : 0;
        return n;
    }
    // Posts a box event and waits until the manager has logged it.
    bool PostEvent(WPARAM code, LPARAM value, const wchar_t* eventLine)
    {
        const size_t before = LogCount(eventLine);
        if (!e2e::PostToWindow(m_manager, WM_BOXMSG, code, value))
            return false;
        return e2e::WaitUntil([&] { return LogCount(eventLine) > before; }, kEventTimeoutMs);
    }

    std::wstring m_data;
    std::wstring m_log;
    e2e::Process m_explorer;
    e2e::ProcessOfWindow m_program;
    HWND m_manager = nullptr;
};

TEST_F(RunningProgram, StartsWithSixLayeredBoxesAtTheDefaultPositionsAndLogsItsStart)
{
    const std::vector<HWND> boxes = Boxes();
    ASSERT_EQ(6u, boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        const RECT r = e2e::WindowRect(boxes[i]);
        // A column 300 pixels in from the right edge of the screen, 40 pixels apart.
        EXPECT_EQ(kScreenWidth - 300, r.left) << i;
        EXPECT_EQ(static_cast<LONG>(10 + 40 * i), r.top) << i;
        EXPECT_GT(r.right - r.left, 0);
        EXPECT_GT(r.bottom - r.top, 0);
        EXPECT_NE(0, e2e::WindowExStyle(boxes[i]) & WS_EX_LAYERED) << i;
        // Shown (IsWindowVisible answers only for windows of this thread's desktop).
        EXPECT_NE(0, ::GetWindowLongPtrW(boxes[i], GWL_STYLE) & WS_VISIBLE) << i;
    }
    EXPECT_EQ(0, ::GetWindowLongPtrW(m_manager, GWL_STYLE) & WS_VISIBLE);

    const std::vector<std::wstring> log = e2e::ReadLogTexts(m_log);
    ASSERT_GT(log.size(), 17u);
    EXPECT_EQ(L"------ started ------", log[0]);
    EXPECT_EQ(0u, log[1].find(L"Build: "));
    EXPECT_EQ(m_data, log[3]);
    EXPECT_TRUE(LogHas(L"display num:1 corner(0,0) primary(1280,800) virtual(1280,800) work(0,0)"));
    EXPECT_TRUE(LogHas(L"<boxmng> init"));
    EXPECT_TRUE(LogHas(L"<boxmng> CreateBoxies"));
    EXPECT_TRUE(LogHas(L"CreateBoxies-done"));
    EXPECT_FALSE(LogHas(L"<boxmng> first boot"));
    // Nothing was saved by starting.
    EXPECT_FALSE(e2e::FileExists(Path(L"tarnelo.ser")));
    EXPECT_FALSE(e2e::FileExists(Path(L"style.ser")));
}

TEST_F(RunningProgram, UpdateBoxInfoWritesTheBoxFileThroughItsTempFile)
{
    ASSERT_FALSE(e2e::FileExists(Path(L"tarnelo.ser")));
    ASSERT_TRUE(PostEvent(kUpdateBoxInfo, 0, L"Event: UpdateBoxInfo"));
    ASSERT_TRUE(e2e::WaitForFile(Path(L"tarnelo.ser"), kEventTimeoutMs));
    EXPECT_FALSE(e2e::FileExists(Path(L"tarnelo.ser.temp")));
    EXPECT_FALSE(e2e::FileExists(Path(L"style.ser")));
}

TEST_F(RunningProgram, UpdateStyleSavesTheStyleOnlyWhenFinal)
{
    ASSERT_TRUE(PostEvent(kUpdateStyle, 1, L"Event: UpdateStyle"));
    EXPECT_FALSE(e2e::FileExists(Path(L"style.ser")));

    ASSERT_TRUE(PostEvent(kUpdateStyle, 0, L"Event: UpdateStyle"));
    ASSERT_TRUE(e2e::WaitForFile(Path(L"style.ser"), kEventTimeoutMs));
    EXPECT_FALSE(e2e::FileExists(Path(L"style.ser.temp")));
    EXPECT_FALSE(e2e::FileExists(Path(L"tarnelo.ser")));
}

TEST_F(RunningProgram, UpdateHorizontalSizeResizesEveryBox)
{
    ASSERT_TRUE(PostEvent(kUpdateHorizontalSize, 300, L"Event: UpdateHorizontalSize"));
    const bool resized = e2e::WaitUntil(
        [&] {
            for (const HWND box : Boxes()) {
                const RECT r = e2e::WindowRect(box);
                if (r.right - r.left != 300)
                    return false;
            }
            return true;
        },
        kEventTimeoutMs);
    EXPECT_TRUE(resized);
    EXPECT_TRUE(e2e::WaitForFile(Path(L"style.ser"), kEventTimeoutMs));
}

TEST_F(RunningProgram, TheScreenShowsTheTitlesInkWhereTheBoxesAre)
{
    const std::vector<HWND> boxes = Boxes();
    ASSERT_EQ(6u, boxes.size());
    // Let the first redraws reach the screen.
    ::Sleep(500);
    for (const HWND box : boxes) {
        const RECT r = e2e::WindowRect(box);
        const std::vector<DWORD> inside = e2e::ReadDesktopScreen(kDesktop, r);
        ASSERT_FALSE(inside.empty());
        // The same area left of the column is bare desktop.
        const RECT left = { r.left - 400, r.top, r.right - 400, r.bottom };
        const std::vector<DWORD> outside = e2e::ReadDesktopScreen(kDesktop, left);
        ASSERT_EQ(inside.size(), outside.size());
        const DWORD background = outside.front();
        size_t ink = 0;
        size_t bare = 0;
        for (size_t i = 0; i < inside.size(); ++i) {
            ink += inside[i] != background ? 1 : 0;
            bare += outside[i] != background ? 1 : 0;
        }
        EXPECT_EQ(0u, bare);
        EXPECT_GT(ink, 30u) << "no title drawn on the box at " << r.left << "," << r.top;
    }
}

TEST_F(RunningProgram, TheExitEventEndsTheProgramAndWritesNoFile)
{
    std::map<std::wstring, std::wstring> before;
    ListFiles(m_data, before);
    ASSERT_TRUE(e2e::PostToWindow(m_manager, WM_BOXMSG, kExitApp, 0));
    ASSERT_TRUE(m_program.WaitForExit(kExitTimeoutMs)) << "the program did not end";
    EXPECT_EQ(0u, m_program.ExitCode());

    const std::vector<std::wstring> log = e2e::ReadLogTexts(m_log);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(L"------ exit ------", log.back());
    EXPECT_TRUE(LogHas(L"<boxmng> destroy"));

    std::map<std::wstring, std::wstring> after;
    ListFiles(m_data, after);
    EXPECT_EQ(before, after);
}

}  // namespace
