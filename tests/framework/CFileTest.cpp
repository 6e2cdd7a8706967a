#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArchiveTestSupport.h"
#include "TempFolder.h"
#include "framework/CFile.h"

namespace {

// The cause of the file exception that f raises; -1 when none.
template <typename F>
int FileCause(F&& f)
{
    try {
        f();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

}  // namespace

TEST(CFile, OpenReportsFailureByResultAndCause)
{
    TempFolder folder;
    const std::wstring missing = folder.File(L"missing.txt");
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
    EXPECT_EQ(static_cast<LONG>(ERROR_FILE_NOT_FOUND), error.m_lOsError);
    EXPECT_STREQ(missing.c_str(), error.m_strFileName);
    // Write without create does not make the file either.
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeWrite));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(missing.c_str()));

    const std::wstring noFolder = folder.File(L"nowhere\\x.txt");
    EXPECT_FALSE(file.Open(noFolder.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(CFileException::badPath, error.m_cause);
    EXPECT_FALSE(file.Open(nullptr, CFile::modeRead, &error));
    EXPECT_FALSE(file.Open(L"", CFile::modeRead));
}

TEST(CFile, WritesReadsAndSeeks)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"data.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyWrite));
    EXPECT_EQ(CString(path), file.GetFilePath());
    file.Write("hello world", 11);
    EXPECT_EQ(11u, file.GetLength());
    EXPECT_EQ(11u, file.GetPosition());
    EXPECT_EQ(6u, file.Seek(6, CFile::begin));
    char buffer[32] = {};
    EXPECT_EQ(5u, file.Read(buffer, sizeof(buffer)));
    EXPECT_STREQ("world", buffer);
    EXPECT_EQ(0u, file.Read(buffer, sizeof(buffer)));
    EXPECT_EQ(9u, file.Seek(-2, CFile::end));
    EXPECT_EQ(10u, file.Seek(1, CFile::current));
    EXPECT_EQ(11u, file.SeekToEnd());
    file.SeekToBegin();
    EXPECT_EQ(0u, file.GetPosition());
    EXPECT_EQ(CFileException::badSeek, FileCause([&] { file.Seek(-1, CFile::begin); }));
    file.Flush();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    file.Close();  // closing twice is harmless
    EXPECT_EQ(CFileException::invalidFile, FileCause([&] { file.Write("x", 1); }));
    EXPECT_EQ(CFileException::invalidFile, FileCause([&] { file.Read(buffer, 1); }));
    EXPECT_EQ(std::vector<BYTE>({'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}),
              TempFolder::ReadBytes(path));
}

TEST(CFile, CreateTruncatesUnlessTold)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"log.txt");
    ASSERT_TRUE(TempFolder::WriteBytes(path, {'a', 'b', 'c'}));
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::typeText));
        EXPECT_EQ(3u, file.SeekToEnd());
        // Text mode is only a caller's flag: line feeds are written as they are.
        file.Write("d\n", 2);
    }
    EXPECT_EQ(std::vector<BYTE>({'a', 'b', 'c', 'd', '\n'}), TempFolder::ReadBytes(path));
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeWrite | CFile::typeText));
        EXPECT_EQ(5u, file.GetLength());
        file.Write("X", 1);
    }
    EXPECT_EQ(std::vector<BYTE>({'X', 'b', 'c', 'd', '\n'}), TempFolder::ReadBytes(path));
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(0u, file.GetLength());
    }
    EXPECT_TRUE(TempFolder::ReadBytes(path).empty());

    // modeCreate with modeNoTruncate also makes a missing file.
    const std::wstring fresh = folder.File(L"fresh.txt");
    CFile file;
    EXPECT_TRUE(file.Open(fresh.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
}

TEST(CFile, WritingToAReadOnlyFileRaises)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"readonly.txt");
    ASSERT_TRUE(TempFolder::WriteBytes(path, {'r'}));
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));

    CFile file;
    CFileException error;
    // Windows refuses a write handle to a read-only file. Wine run by root maps the
    // attribute to Unix permissions that root ignores, so there the open succeeds.
    if (file.Open(path.c_str(), CFile::modeWrite, &error))
        file.Close();
    else
        EXPECT_EQ(CFileException::accessDenied, error.m_cause);

    // A handle opened for reading cannot write: the failure is raised, not ignored.
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CFileException* caught = nullptr;
    try {
        file.Write("x", 1);
    } catch (CFileException* e) {
        caught = e;
    }
    ASSERT_NE(nullptr, caught);
    EXPECT_EQ(CFileException::accessDenied, caught->m_cause);
    EXPECT_STREQ(path.c_str(), caught->m_strFileName);
    caught->Delete();
    file.Close();
    EXPECT_EQ(std::vector<BYTE>({'r'}), TempFolder::ReadBytes(path));
}

TEST(CFile, ShareModesKeepOthersOut)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"shared.txt");
    CFile first;
    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error));
    EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
    first.Close();

    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_TRUE(second.Open(path.c_str(), CFile::modeReadWrite | CFile::shareDenyNone));
    second.Close();
    first.Close();

    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_TRUE(second.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    second.Close();
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeWrite | CFile::shareDenyNone));
}

TEST(CFile, GetStatusOfFilesAndFolders)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"status.txt");
    ASSERT_TRUE(TempFolder::WriteBytes(path, std::vector<BYTE>(1234, 'z')));

    // A known last-write time: 2016-03-29 14:05:09 UTC.
    SYSTEMTIME st = {2016, 3, 2, 29, 14, 5, 9, 0};
    FILETIME written = {};
    ASSERT_TRUE(::SystemTimeToFileTime(&st, &written));
    {
        HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        EXPECT_TRUE(::SetFileTime(h, nullptr, nullptr, &written));
        ::CloseHandle(h);
    }

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    EXPECT_EQ(1234u, status.m_size);
    EXPECT_EQ(0, status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(1459260309, status.m_mtime.GetTime());
    EXPECT_STREQ(path.c_str(), status.m_szFullName);

    CFileStatus folderStatus;
    ASSERT_TRUE(CFile::GetStatus(folder.Path().c_str(), folderStatus));
    EXPECT_NE(0, folderStatus.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_GT(folderStatus.m_mtime.GetTime(), 0);
    EXPECT_TRUE(CFile::GetStatus((folder.Path() + L"\\").c_str(), folderStatus));

    CFileStatus missing;
    missing.m_size = 77;
    EXPECT_FALSE(CFile::GetStatus(folder.File(L"nothing.txt").c_str(), missing));
    EXPECT_EQ(0u, missing.m_size);
    EXPECT_FALSE(CFile::GetStatus(folder.File(L"*.txt").c_str(), missing));
    EXPECT_FALSE(CFile::GetStatus(L"", missing));
    EXPECT_FALSE(CFile::GetStatus(nullptr, missing));
}

TEST(CFile, ReadsAndWritesAcrossManyCallsThroughAnArchiveFile)
{
    // The virtual operations let a derived file stand in for the real one.
    MemoryFile memory;
    CFile& file = memory;
    file.Write("abc", 3);
    file.Seek(0, CFile::begin);
    char buffer[4] = {};
    EXPECT_EQ(3u, file.Read(buffer, 3));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(3u, file.GetLength());
}
