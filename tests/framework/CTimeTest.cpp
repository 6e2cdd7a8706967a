#include <gtest/gtest.h>

#include "framework/CTime.h"

TEST(CTime, FormatsLocalTimeWithStrftimeLetters)
{
    const CTime start(2000, 1, 1, 0, 0, 0);
    EXPECT_GT(start.GetTime(), 0);
    EXPECT_EQ(CString(L"2000/01/01 00:00.00"), start.Format(L"%Y/%m/%d %H:%M.%S"));
    EXPECT_EQ(CString(L"20000101_000000"), start.Format(L"%Y%m%d_%H%M%S"));
    EXPECT_EQ(7, start.GetDayOfWeek());  // a Saturday

    const CTime t(2016, 3, 29, 14, 5, 9);
    EXPECT_EQ(CString(L"2016/03/29 14:05.09"), t.Format(L"%Y/%m/%d %H:%M.%S"));
    EXPECT_EQ(2016, t.GetYear());
    EXPECT_EQ(3, t.GetMonth());
    EXPECT_EQ(29, t.GetDay());
    EXPECT_EQ(14, t.GetHour());
    EXPECT_EQ(5, t.GetMinute());
    EXPECT_EQ(9, t.GetSecond());
    EXPECT_EQ(3, t.GetDayOfWeek());  // Tuesday
    EXPECT_EQ(CString(L"100%"), t.Format(L"100%%"));
    EXPECT_EQ(CString(L"29日"), t.Format(L"%d日"));

    struct tm parts;
    ASSERT_TRUE(t.GetLocalTm(&parts));
    EXPECT_EQ(116, parts.tm_year);
    EXPECT_EQ(2, parts.tm_mon);
    EXPECT_EQ(2, parts.tm_wday);

    // One second later is one more in value, whatever the time zone.
    EXPECT_EQ(t.GetTime() + 1, CTime(2016, 3, 29, 14, 5, 10).GetTime());
    EXPECT_TRUE(CTime(2016, 3, 29, 14, 5, 9) == t);
    EXPECT_TRUE(start < t);
}

TEST(CTime, InvalidTimesHaveNoValueAndFormatEmpty)
{
    EXPECT_EQ(0, CTime(2001, 2, 29, 0, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(2016, 13, 1, 0, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(2016, 0, 1, 0, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(2016, 4, 31, 0, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(2016, 1, 1, 24, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(2016, 1, 1, 0, 60, 0).GetTime());
    EXPECT_EQ(0, CTime(2016, 1, 1, 0, 0, -1).GetTime());
    EXPECT_EQ(0, CTime(1969, 12, 31, 0, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(9999, 1, 1, 0, 0, 0).GetTime());
    EXPECT_NE(0, CTime(2016, 2, 29, 23, 59, 59).GetTime());

    for (const CTime& bad : {CTime(), CTime(-5), CTime(INT64_C(1) << 50), CTime(2001, 2, 29, 0, 0, 0)}) {
        EXPECT_EQ(CString(), bad.Format(L"%Y/%m/%d %H:%M.%S"));
        struct tm parts;
        parts.tm_year = 99;
        EXPECT_FALSE(bad.GetLocalTm(&parts));
        EXPECT_EQ(0, parts.tm_year);
        EXPECT_EQ(0, bad.GetYear());
        EXPECT_EQ(0, bad.GetMonth());
        EXPECT_EQ(0, bad.GetDay());
        EXPECT_EQ(0, bad.GetDayOfWeek());
    }
    EXPECT_FALSE(CTime(2016, 3, 29, 0, 0, 0).GetLocalTm(nullptr));
    EXPECT_EQ(CString(), CTime(2016, 3, 29, 0, 0, 0).Format(L""));
    EXPECT_EQ(CString(), CTime(2016, 3, 29, 0, 0, 0).Format(nullptr));
}

TEST(CTime, FromFileTimes)
{
    EXPECT_EQ(0, CTime(FILETIME{0, 0}).GetTime());
    SYSTEMTIME st = {2000, 1, 6, 1, 0, 0, 0, 0};
    FILETIME ft = {};
    ASSERT_TRUE(::SystemTimeToFileTime(&st, &ft));
    EXPECT_EQ(946684800, CTime(ft).GetTime());
    // 1601 to 1969 cannot be shown.
    SYSTEMTIME old = {1900, 1, 1, 1, 0, 0, 0, 0};
    ASSERT_TRUE(::SystemTimeToFileTime(&old, &ft));
    EXPECT_EQ(0, CTime(ft).GetTime());
}

TEST(CTime, CurrentTimeIsRecentAndFormats)
{
    const CTime now = CTime::GetCurrentTime();
    EXPECT_GT(now.GetTime(), CTime(2020, 1, 1, 0, 0, 0).GetTime());
    EXPECT_EQ(19, now.Format(L"%Y/%m/%d %H:%M.%S").GetLength());
    EXPECT_EQ(15, now.Format(L"%Y%m%d_%H%M%S").GetLength());
    const int weekday = now.GetDayOfWeek();
    EXPECT_GE(weekday, 1);
    EXPECT_LE(weekday, 7);

    SYSTEMTIME local = {};
    ::GetLocalTime(&local);
    // Local broken-down time agrees with the system's (a date change between the two
    // calls is not worth guarding against in a test that takes microseconds).
    EXPECT_EQ(local.wYear, now.GetYear());
    EXPECT_EQ(local.wMonth, now.GetMonth());
}

TEST(CTime, FormatKeepsTextAroundTheLetters)
{
    const CTime t(2016, 3, 29, 14, 5, 9);
    EXPECT_EQ(CString(L"2016年03月29日"), t.Format(L"%Y年%m月%d日"));
    EXPECT_EQ(CString(L"100% 50%q %"), t.Format(L"100%% 50%q %"));
    EXPECT_EQ(CString(L"16-089"), t.Format(L"%y-%j"));
    EXPECT_EQ(CString(L"3/29"), t.Format(L"%#m/%#d"));
}
