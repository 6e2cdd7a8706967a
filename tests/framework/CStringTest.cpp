#include <gtest/gtest.h>

#include "framework/CString.h"

TEST(CString, FormatTakesWideStringsForPercentS)
{
    CString s;
    s.Format(L"%s\\%03d", L"C:\\files", 7);
    EXPECT_EQ(CString(L"C:\\files\\007"), s);
    s.Format(L"%s (%ld,%ld)", L"size", 10L, -3L);
    EXPECT_EQ(CString(L"size (10,-3)"), s);
    EXPECT_EQ(CString(L"日本語 x"), FormatString(L"%s %c", L"日本語", L'x'));
}

TEST(CString, FormatsLongTexts)
{
    const std::wstring longText(5000, L'a');
    EXPECT_EQ(5002, FormatString(L"[%s]", longText.c_str()).GetLength());
}

TEST(CString, SplittingAndSearching)
{
    const CString path(L"C:\\a.b\\file");
    EXPECT_EQ(CString(L"C:\\a.b"), path.Left(path.ReverseFind(L'\\')));
    EXPECT_EQ(CString(L"file"), path.Mid(path.ReverseFind(L'\\') + 1));
    EXPECT_EQ(CString(L"ile"), path.Right(3));
    EXPECT_EQ(CString(L""), path.Mid(100));
    EXPECT_EQ(CString(L"C:\\a.b\\file"), path.Left(1000));
    EXPECT_EQ(4, path.Find(L'.'));
    EXPECT_EQ(-1, path.Find(L'.', 5));
    EXPECT_EQ(-1, path.Find(L'x', -1));
    EXPECT_EQ(7, path.Find(L"file"));
}

TEST(CString, ReplaceLowerAndBuffers)
{
    CString s(L"C:\\Program Files (x86)\\A\\Program Files (x86)");
    EXPECT_EQ(2, s.Replace(L"Program Files (x86)", L"Program Files"));
    EXPECT_EQ(CString(L"C:\\Program Files\\A\\Program Files"), s);
    CString ext(L"LNK");
    EXPECT_EQ(CString(L"lnk"), ext.MakeLower());

    CString buffer;
    wchar_t* p = buffer.GetBuffer(10);
    wcscpy(p, L"abc");
    buffer.ReleaseBuffer();
    EXPECT_EQ(3, buffer.GetLength());
    EXPECT_EQ(CString(L"abc"), buffer);
}

TEST(CString, FormatMayUseTheStringItself)
{
    CString path(L"C:\\data");
    path.Format(L"%s\\%s", path.GetString(), L"logs");
    EXPECT_EQ(CString(L"C:\\data\\logs"), path);
    path.AppendFormat(L"\\Log%d.txt", 3);
    EXPECT_EQ(CString(L"C:\\data\\logs\\Log3.txt"), path);
    CString format(L"%d%%");
    format.Format(format.GetString(), 50);
    EXPECT_EQ(CString(L"50%"), format);
}

TEST(CString, FormatLettersOfTheWindowsRuntime)
{
    EXPECT_EQ(CString(L"narrow wide"), FormatString(L"%hs %ls", "narrow", L"wide"));
    EXPECT_EQ(CString(L"-1 4294967295 ff 1099511627776"),
              FormatString(L"%ld %lu %x %I64d", -1L, 0xFFFFFFFFUL, 255, 1099511627776LL));
    EXPECT_EQ(CString(L"(null)"), FormatString(L"%s", static_cast<const wchar_t*>(nullptr)));
    CString s(L"kept");
    s.Format(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = L"kept";
    s.Format(L"");
    EXPECT_TRUE(s.IsEmpty());
}
