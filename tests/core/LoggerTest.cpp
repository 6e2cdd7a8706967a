#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "CoreTestSupport.h"
#include "core/Logger.h"
#include "framework/CTime.h"

using namespace CoreTest;

namespace {

int64_t g_fakeNow = 0;
int64_t FakeClock() { return g_fakeNow; }

// Tuesday 29 March 2016, 14:05:09 local time.
int64_t Tuesday() { return CTime(2016, 3, 29, 14, 5, 9).GetTime(); }

class LoggerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        g_fakeNow = Tuesday();
        LogSetClock(FakeClock);
        LogInit(m_folder.Path().c_str());
    }
    void TearDown() override
    {
        LogInit(nullptr);
        LogSetClock(nullptr);
    }
    std::wstring File(int weekday) const { return m_folder / (L"Log" + std::to_wstring(weekday) + L".txt"); }
    int CountLogFiles() const
    {
        int count = 0;
        WIN32_FIND_DATAW found = {};
        HANDLE find = ::FindFirstFileW((m_folder / L"*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ++count;
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
        return count;
    }

    TempFolder m_folder;
};

// An exception whose message is chosen by the test, which notes its own deletion.
class TestException : public CException
{
public:
    TestException(const wchar_t* message, BOOL result, bool* deleted)
        : m_message(message), m_result(result), m_deleted(deleted) {}
    ~TestException() override { *m_deleted = true; }
    BOOL GetErrorMessage(wchar_t* buffer, UINT maxChars, UINT* helpContext) const override
    {
        if (m_message)
            lstrcpynW(buffer, m_message, static_cast<int>(maxChars));
        return m_result;
    }

private:
    const wchar_t* m_message;
    BOOL m_result;
    bool* m_deleted;
};

}  // namespace

TEST_F(LoggerTest, WritesEachWeekdayToItsOwnNumberedFile)
{
    Log(L"info", L"tuesday");
    g_fakeNow = CTime(2016, 3, 27, 8, 0, 0).GetTime();  // a Sunday
    Log(L"warn", L"sunday");
    g_fakeNow = CTime(2016, 4, 2, 23, 59, 59).GetTime();  // a Saturday
    Log(L"act ", L"saturday");

    EXPECT_EQ("2016/03/29 14:05.09 [info] tuesday\r\n", ReadBytes(File(3)));
    EXPECT_EQ("2016/03/27 08:00.00 [warn] sunday\r\n", ReadBytes(File(1)));
    EXPECT_EQ("2016/04/02 23:59.59 [act ] saturday\r\n", ReadBytes(File(7)));
    EXPECT_EQ(3, CountLogFiles());
}

TEST_F(LoggerTest, AppendsToAFileWrittenEarlierTheSameDay)
{
    ASSERT_TRUE(WriteBytes(File(3), "old\r\n"));
    ASSERT_TRUE(SetLastWriteTime(File(3), Tuesday() - 3600));
    Log(L"info", L"first");
    ASSERT_TRUE(SetLastWriteTime(File(3), Tuesday()));
    Log(L"info", L"second");
    EXPECT_EQ("old\r\n"
              "2016/03/29 14:05.09 [info] first\r\n"
              "2016/03/29 14:05.09 [info] second\r\n",
              ReadBytes(File(3)));
}

TEST_F(LoggerTest, LinesOfTheSystemClockAccumulateInTodaysFile)
{
    // The system stamps each write with the real time, so with the real clock the
    // second line of the day finds the first one's file dated today.
    LogSetClock(nullptr);
    const int weekday = CTime::GetCurrentTime().GetDayOfWeek();
    ASSERT_GE(weekday, 1);
    Log(L"info", L"first");
    Log(L"info", L"second");
    const std::string text = ReadBytes(File(weekday));
    EXPECT_NE(std::string::npos, text.find("[info] first\r\n"));
    EXPECT_NE(std::string::npos, text.find("[info] second\r\n"));
    EXPECT_EQ(1, CountLogFiles());
}

TEST_F(LoggerTest, LinesFromSeveralThreadsAreNeitherLostNorMixed)
{
    LogSetClock(nullptr);
    const int weekday = CTime::GetCurrentTime().GetDayOfWeek();
    ASSERT_GE(weekday, 1);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i)
                LogValue2(L"info", L"thread line", t, i);
        });
    for (std::thread& thread : threads)
        thread.join();
    const std::string text = ReadBytes(File(weekday));
    EXPECT_EQ(200, std::count(text.begin(), text.end(), '\n'));
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 50; ++i)
            EXPECT_NE(std::string::npos, text.find("[info] thread line (" + std::to_string(t) + "," +
                                                   std::to_string(i) + ")\r\n"));
}

TEST_F(LoggerTest, EmptiesAFileLastWrittenOnAnotherDay)
{
    ASSERT_TRUE(WriteBytes(File(3), "last week\r\n"));
    ASSERT_TRUE(SetLastWriteTime(File(3), Tuesday() - 7 * 86400));
    Log(L"info", L"fresh");
    EXPECT_EQ("2016/03/29 14:05.09 [info] fresh\r\n", ReadBytes(File(3)));

    // Another day of the same month counts as another date too.
    ASSERT_TRUE(SetLastWriteTime(File(3), Tuesday() - 86400));
    Log(L"info", L"again");
    EXPECT_EQ("2016/03/29 14:05.09 [info] again\r\n", ReadBytes(File(3)));
}

TEST_F(LoggerTest, AppendsToAFileWrittenOnTheSameDateOfAnEarlierYear)
{
    ASSERT_TRUE(WriteBytes(File(3), "a year ago\r\n"));
    ASSERT_TRUE(SetLastWriteTime(File(3), CTime(2015, 3, 29, 10, 0, 0).GetTime()));
    Log(L"info", L"kept");
    EXPECT_EQ("a year ago\r\n2016/03/29 14:05.09 [info] kept\r\n", ReadBytes(File(3)));
}

TEST_F(LoggerTest, StoresEveryLineFeedAsCrLf)
{
    Log(L"info", L"one\ntwo");
    EXPECT_EQ("2016/03/29 14:05.09 [info] one\r\ntwo\r\n", ReadBytes(File(3)));
}

TEST_F(LoggerTest, WritesJapaneseTextWholeInUtf8WithoutByteOrderMark)
{
    Log(L"info", L"日本語のテキスト、デスクトップ");
    const std::string bytes = ReadBytes(File(3));
    EXPECT_EQ(Utf8(u8"2016/03/29 14:05.09 [info] 日本語のテキスト、デスクトップ\r\n"), bytes);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_NE("\xEF\xBB\xBF", bytes.substr(0, 3));

    // A long line of three-byte characters is not cut.
    const std::wstring longText(3000, L'語');
    g_fakeNow = CTime(2016, 3, 28, 1, 2, 3).GetTime();  // a Monday
    Log(L"info", longText.c_str());
    std::string expected = "2016/03/28 01:02.03 [info] ";
    for (int i = 0; i < 3000; ++i)
        expected += Utf8(u8"語");
    expected += "\r\n";
    EXPECT_EQ(expected, ReadBytes(File(2)));
}

TEST_F(LoggerTest, ValueVariantsAppendTheirNumbers)
{
    LogValue(L"warn", L"save style failed", 5);
    ASSERT_TRUE(SetLastWriteTime(File(3), g_fakeNow));
    LogValue2(L"info", L"size", 10, -3);
    ASSERT_TRUE(SetLastWriteTime(File(3), g_fakeNow));
    LogValue3(L"info", L"rect", 1, -2, 2147483647L);
    EXPECT_EQ("2016/03/29 14:05.09 [warn] save style failed (5)\r\n"
              "2016/03/29 14:05.09 [info] size (10,-3)\r\n"
              "2016/03/29 14:05.09 [info] rect (1,-2,2147483647)\r\n",
              ReadBytes(File(3)));
}

TEST_F(LoggerTest, ExceptionLinesCarryTheMessageOrTheLastErrorAndDeleteTheException)
{
    ::SetLastError(1234);
    LogException(L"ERR!", L"L", 42, nullptr);
    ASSERT_TRUE(SetLastWriteTime(File(3), g_fakeNow));

    bool deleted = false;
    LogException(L"ERR!", L"style load exception", 42, new TestException(L"boom", TRUE, &deleted));
    EXPECT_TRUE(deleted);
    ASSERT_TRUE(SetLastWriteTime(File(3), g_fakeNow));

    // An exception without a message leaves nothing after the number, not stale text.
    bool deletedSilent = false;
    LogException(L"ERR!", L"L", 7, new TestException(nullptr, FALSE, &deletedSilent));
    EXPECT_TRUE(deletedSilent);
    ASSERT_TRUE(SetLastWriteTime(File(3), g_fakeNow));
    bool deletedRefusing = false;
    LogException(L"ERR!", L"L", 8, new TestException(L"half-written", FALSE, &deletedRefusing));
    EXPECT_TRUE(deletedRefusing);

    EXPECT_EQ("2016/03/29 14:05.09 [ERR!] L(42) Exception, le:1234\r\n"
              "2016/03/29 14:05.09 [ERR!] style load exception(42) boom\r\n"
              "2016/03/29 14:05.09 [ERR!] L(7) \r\n"
              "2016/03/29 14:05.09 [ERR!] L(8) \r\n",
              ReadBytes(File(3)));
}

TEST_F(LoggerTest, NullOrEmptyFolderWritesNothing)
{
    LogInit(nullptr);
    Log(L"info", L"lost");
    LogInit(L"");
    LogValue(L"info", L"lost", 1);
    EXPECT_EQ(0, CountLogFiles());
}

TEST_F(LoggerTest, AMissingFolderLosesTheLineSilently)
{
    const std::wstring missing = m_folder / L"missing";
    LogInit(missing.c_str());
    Log(L"info", L"lost");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(missing.c_str()));
    EXPECT_EQ(0, CountLogFiles());
}

TEST(Logger, CallsBeforeInitDoNothing)
{
    TempFolder folder;
    EXPECT_EQ(0, RunChildTest(L"LogBeforeInit", folder.Path()));
    // The child logged before LogInit and then initialised on the folder without logging.
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW((folder / L"Log*.txt").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
}

// Runs only as the child of Logger.CallsBeforeInitDoNothing, in a process that never
// called LogInit before.
TEST(ChildProcess, LogBeforeInit)
{
    const std::wstring folder = ChildArgument();
    if (folder.empty())
        GTEST_SKIP() << "runs only as a child process";
    Log(L"info", L"before init");
    LogValue3(L"info", L"before init", 1, 2, 3);
    LogException(L"ERR!", L"before init", 1, nullptr);
    LogInit(folder.c_str());
}
