// The real program's start: the lines it logs, the folders it makes, and a start refused
// because another instance holds the name.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "E2eHarness.h"
#include "core/WindowMessages.h"

namespace {

constexpr DWORD kExitTimeoutMs = 30000;

class Startup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(e2e::FileExists(e2e::TarneloExePath())) << "missing program";
        ASSERT_TRUE(e2e::ResetDataFolder());
        m_data = e2e::LocalDataFolder();
    }
    void TearDown() override { e2e::RemoveTree(m_data); }

    // Runs the program to its end and returns its exit code. On a fresh data folder the
    // first-boot wizard comes up: it is cancelled and the question "Abort setup?" answered Yes.
    DWORD RunProgram()
    {
        e2e::Process program;
        EXPECT_TRUE(program.Start(e2e::TarneloExePath()));
        CancelWizard(program);
        EXPECT_TRUE(program.WaitForExit(kExitTimeoutMs)) << "the program did not end";
        return program.ExitCode();
    }

    static void CancelWizard(const e2e::Process& program)
    {
        HWND wizard = nullptr;
        e2e::WaitUntil([&] {
            wizard = e2e::FindWindowByNameAndClass(L"Setup", L"#32770", program.Id());
            return wizard != nullptr || !program.IsRunning();
        }, kExitTimeoutMs);
        if (!wizard)
            return;
        EXPECT_TRUE(e2e::PostToWindow(wizard, WM_COMMAND, IDCANCEL));
        const HWND question = e2e::WaitForWindow(L"Tarnelo", L"#32770", program.Id(), kExitTimeoutMs);
        ASSERT_NE(nullptr, question) << "no question after cancelling the wizard";
        EXPECT_TRUE(e2e::PostToWindow(question, WM_COMMAND, IDYES));
    }

    std::wstring m_data;
};

TEST_F(Startup, AStartLogsItsLinesInOrderAndMakesTheDataFolders)
{
    EXPECT_EQ(0u, RunProgram());

    const std::vector<e2e::LogLine> log = e2e::ReadLog(e2e::TodayLogPath(m_data));
    std::vector<std::wstring> texts;
    for (const e2e::LogLine& line : log) {
        EXPECT_TRUE(line.level == L"info" || line.level == L"warn") << line.text;
        EXPECT_TRUE(std::regex_match(line.time, std::wregex(LR"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}\.\d{2})"))) << line.time;
        texts.push_back(line.text);
    }
    // A fresh data folder has no install date: the first-boot wizard runs, and the start ends
    // when it is cancelled.
    ASSERT_GT(texts.size(), 22u);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(std::wstring(L"info"), log[i].level) << texts[i];
    EXPECT_EQ(std::wstring(L"------ started ------"), texts[0]);
    EXPECT_TRUE(std::regex_match(texts[1], std::wregex(LR"(Build: (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 1-3]\d \d{4})")))
        << texts[1];
    EXPECT_EQ(e2e::TarneloExeFolder() + L"\\images", texts[2]);
    EXPECT_EQ(m_data, texts[3]);

    const wchar_t* const systemLines[] = {
        LR"(version:1\.0\.1\.2)",
        LR"(cpu \{arch:\d+ num:\d+ type:\d+ level:\d+ rev:\d+\})",
        LR"(memory load:\d+%)",
        LR"(memory total\{phy:\d+ page:\d+ virtual:\d+\})",
        LR"(memory available\{phy:\d+ page:\d+ virtual:\d+\})",
        LR"(OS: windows .* - .* \(\d+\.\d+\))",
        LR"(display num:\d+ corner\(-?\d+,-?\d+\) primary\(\d+,\d+\) virtual\(\d+,\d+\) work\(-?\d+,-?\d+\))",
        LR"(TZ result:\d+ \(err:\d+\) bias:-?\d+)",
        LR"(TZ\(standard\) .* bias:-?\d+)",
        LR"(TZ\(daylight\) .* bias:-?\d+)",
        LR"(UserDefault LCID:\d+ LangID:\d+ UILanguage:\d+)",
        LR"(SystemDefault LCID:\d+ LangID:\d+ UILanguage:\d+)",
    };
    for (size_t i = 0; i < 12; ++i)
        EXPECT_TRUE(std::regex_match(texts[4 + i], std::wregex(systemLines[i]))) << texts[4 + i];
    EXPECT_EQ(std::wstring(L"<boxmng> init"), texts[16]);
    const std::vector<std::wstring> end(texts.end() - 5, texts.end());
    const std::vector<std::wstring> expectedEnd = { L"<boxmng> first boot", L"<wizard> state update (0)",
                                                    L"<boxmng> Install is canceled.", L"<boxmng> destroy",
                                                    L"------ exit ------" };
    EXPECT_EQ(expectedEnd, end);
    EXPECT_FALSE(e2e::FileExists(m_data + L"\\tarnelo.ser"));

    EXPECT_TRUE(e2e::DirectoryExists(m_data + L"\\files"));
    EXPECT_TRUE(e2e::DirectoryExists(m_data + L"\\logs"));
}

TEST_F(Startup, AFreshDataFolderIsSetUpByTheWizardAndTheProgramThenRuns)
{
    e2e::Process program;
    ASSERT_TRUE(program.Start(e2e::TarneloExePath()));
    const HWND wizard = e2e::WaitForWindow(L"Setup", L"#32770", program.Id(), kExitTimeoutMs);
    ASSERT_NE(nullptr, wizard);
    const std::wstring logPath = e2e::TodayLogPath(m_data);

    // Next to the box panel, which has the six starting boxes made at once; then on to Done.
    EXPECT_TRUE(e2e::PostToWindow(wizard, WM_COMMAND, IDOK));
    EXPECT_TRUE(e2e::WaitForLogLine(logPath, L"CreateBoxies-done", kExitTimeoutMs));
    for (int step = 0; step < 3; ++step)
        EXPECT_TRUE(e2e::PostToWindow(wizard, WM_COMMAND, IDOK));
    EXPECT_TRUE(e2e::WaitForLogLine(logPath, L"<boxmng> Install is done.", kExitTimeoutMs));

    // The program runs on: the install date is stored, the box file holds the six boxes.
    EXPECT_TRUE(program.IsRunning());
    EXPECT_TRUE(e2e::WaitForFile(m_data + L"\\tarnelo.ser", kExitTimeoutMs));
    // The date is stored after the line that says so.
    wchar_t date[32] = {};
    e2e::WaitUntil(
        [&] {
            ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, (m_data + L"\\config.ini").c_str());
            ::GetPrivateProfileStringW(L"install", L"date", L"", date, 32, (m_data + L"\\config.ini").c_str());
            return date[0] != L'\0';
        },
        kExitTimeoutMs);
    EXPECT_TRUE(std::regex_match(std::wstring(date), std::wregex(LR"(\d{8}_\d{6})"))) << date;
    std::vector<e2e::BoxFileRecord> boxes;
    EXPECT_TRUE(e2e::ParseBoxFile(e2e::ReadFileBytes(m_data + L"\\tarnelo.ser"), boxes));
    EXPECT_EQ(6u, boxes.size());

    // The exit event ends it.
    const HWND manager = e2e::WaitForWindow(L"TarneloWndManager", nullptr, program.Id(), kExitTimeoutMs);
    ASSERT_NE(nullptr, manager);
    EXPECT_TRUE(e2e::PostToWindow(manager, WM_BOXMSG, 13, 0));
    EXPECT_TRUE(program.WaitForExit(kExitTimeoutMs));
    EXPECT_EQ(0u, program.ExitCode());
}

TEST_F(Startup, ASecondInstanceEndsAtOnceAndLogsNothing)
{
    EXPECT_EQ(0u, RunProgram());
    const std::wstring logPath = e2e::TodayLogPath(m_data);
    const size_t linesBefore = e2e::ReadLog(logPath).size();
    ASSERT_GT(linesBefore, 0u);

    {
        // The running instance, as far as the program can tell.
        e2e::NamedMutex running(L"Tarnelo");
        ASSERT_TRUE(running.IsHeld());
        EXPECT_EQ(0u, RunProgram());
    }
    EXPECT_EQ(linesBefore, e2e::ReadLog(logPath).size());
}

TEST_F(Startup, ARefusedFirstStartMakesNoFolders)
{
    {
        e2e::NamedMutex running(L"Tarnelo");
        ASSERT_TRUE(running.IsHeld());
        EXPECT_EQ(0u, RunProgram());
    }
    EXPECT_FALSE(e2e::DirectoryExists(m_data + L"\\logs"));
    EXPECT_FALSE(e2e::DirectoryExists(m_data + L"\\files"));
}

TEST(E2eHarness, FindsWindowsByNameAndClassAndReadsThem)
{
    // A window of this process stands in for one of the program's.
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarneloE2eProbe";
    ::RegisterClassExW(&wc);
    const HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"probe window", WS_POPUP, 10, 20, 30,
                                          40, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(window, e2e::FindWindowByNameAndClass(L"probe window", L"TarneloE2eProbe", ::GetCurrentProcessId()));
    EXPECT_EQ(window, e2e::WaitForWindow(nullptr, L"TarneloE2eProbe", 0, 1000));
    EXPECT_EQ(nullptr, e2e::FindWindowByNameAndClass(L"other name", L"TarneloE2eProbe"));
    const RECT rect = e2e::WindowRect(window);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(40, rect.right);
    EXPECT_EQ(60, rect.bottom);
    EXPECT_NE(0, e2e::WindowExStyle(window) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(e2e::PostToWindow(window, WM_NULL));
    ::DestroyWindow(window);
}

}  // namespace
