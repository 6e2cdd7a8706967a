#include <gtest/gtest.h>

#include <cwchar>

#include "framework/CException.h"

TEST(CException, BaseHasNoMessage)
{
    CException base;
    wchar_t buffer[16];
    wcscpy(buffer, L"junk");
    UINT help = 5;
    EXPECT_FALSE(base.GetErrorMessage(buffer, 16, &help));
    EXPECT_STREQ(L"", buffer);
    EXPECT_EQ(0u, help);
    EXPECT_FALSE(base.GetErrorMessage(nullptr, 0));

    CFileException noCause;
    wcscpy(buffer, L"junk");
    EXPECT_FALSE(noCause.GetErrorMessage(buffer, 16));
    EXPECT_STREQ(L"", buffer);
}

TEST(CException, MessagesNameTheCauseAndTheFile)
{
    wchar_t buffer[256];
    CFileException denied(CFileException::accessDenied, ERROR_ACCESS_DENIED, L"C:\\data\\style.ser");
    ASSERT_TRUE(denied.GetErrorMessage(buffer, 256));
    EXPECT_NE(nullptr, wcsstr(buffer, L"C:\\data\\style.ser"));
    EXPECT_NE(nullptr, wcsstr(buffer, L"denied"));

    for (int cause = CFileException::genericException; cause <= CFileException::endOfFile; ++cause) {
        CFileException e(cause, -1, L"f.txt");
        ASSERT_TRUE(e.GetErrorMessage(buffer, 256)) << cause;
        EXPECT_NE(nullptr, wcsstr(buffer, L"f.txt")) << cause;
    }
    for (int cause = CArchiveException::genericException; cause <= CArchiveException::badSchema; ++cause) {
        CArchiveException e(cause, L"tarnelo.ser");
        ASSERT_TRUE(e.GetErrorMessage(buffer, 256)) << cause;
        EXPECT_NE(nullptr, wcsstr(buffer, L"tarnelo.ser")) << cause;
    }
    CArchiveException eof(CArchiveException::endOfFile);
    ASSERT_TRUE(eof.GetErrorMessage(buffer, 256));
    EXPECT_NE(nullptr, wcsstr(buffer, L"end of file"));

    CMemoryException memory;
    ASSERT_TRUE(memory.GetErrorMessage(buffer, 256));
    EXPECT_STREQ(L"Out of memory.", buffer);

    // A small buffer gets a cut, terminated message.
    wchar_t small[6];
    ASSERT_TRUE(memory.GetErrorMessage(small, 6));
    EXPECT_STREQ(L"Out o", small);
}

TEST(CException, LongFileNamesAreCutSafely)
{
    const std::wstring longName(1000, L'n');
    CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, longName.c_str());
    EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), wcslen(e.m_strFileName));
    wchar_t buffer[1024];
    EXPECT_TRUE(e.GetErrorMessage(buffer, 1024));
    EXPECT_LT(wcslen(buffer), 1024u);
}

TEST(CException, OsErrorsMapToCauses)
{
    EXPECT_EQ(CFileException::none, CFileException::OsErrorToCause(NO_ERROR));
    EXPECT_EQ(CFileException::fileNotFound, CFileException::OsErrorToCause(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CFileException::badPath, CFileException::OsErrorToCause(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CFileException::accessDenied, CFileException::OsErrorToCause(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CFileException::sharingViolation, CFileException::OsErrorToCause(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(CFileException::diskFull, CFileException::OsErrorToCause(ERROR_DISK_FULL));
    EXPECT_EQ(CFileException::genericException, CFileException::OsErrorToCause(12345));
}

TEST(CException, RaiseHelpersThrowPointers)
{
    try {
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, L"x.txt");
        FAIL();
    } catch (CException* e) {
        auto* file = dynamic_cast<CFileException*>(e);
        ASSERT_NE(nullptr, file);
        EXPECT_EQ(CFileException::diskFull, file->m_cause);
        EXPECT_EQ(static_cast<LONG>(ERROR_DISK_FULL), file->m_lOsError);
        EXPECT_STREQ(L"x.txt", file->m_strFileName);
        e->Delete();
    }
    try {
        AfxThrowArchiveException(CArchiveException::badSchema);
        FAIL();
    } catch (CArchiveException* e) {
        EXPECT_EQ(CArchiveException::badSchema, e->m_cause);
        EXPECT_STREQ(L"", e->m_strFileName);
        e->Delete();
    }
    try {
        AfxThrowMemoryException();
        FAIL();
    } catch (CMemoryException* e) {
        e->Delete();
    }
}
