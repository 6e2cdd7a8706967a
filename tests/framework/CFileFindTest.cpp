#include <gtest/gtest.h>

#include <map>
#include <set>

#include "TempFolder.h"
#include "framework/CFileFind.h"

namespace {

struct Entry {
    CString path;
    CString title;
    ULONGLONG length;
    BOOL directory;
    BOOL dots;
};

std::map<std::wstring, Entry> FindAll(const std::wstring& pattern)
{
    std::map<std::wstring, Entry> found;
    CFileFind finder;
    BOOL more = finder.FindFile(pattern.c_str());
    while (more) {
        more = finder.FindNextFile();
        found[finder.GetFileName().str()] = {finder.GetFilePath(), finder.GetFileTitle(), finder.GetLength(),
                                             finder.IsDirectory(), finder.IsDots()};
    }
    return found;
}

}  // namespace

TEST(CFileFind, EnumeratesMatchingEntries)
{
    TempFolder folder;
    ASSERT_TRUE(TempFolder::WriteBytes(folder.File(L"ext2.si"), {1, 2, 3}));
    ASSERT_TRUE(TempFolder::WriteBytes(folder.File(L"ext7.si"), {}));
    ASSERT_TRUE(TempFolder::WriteBytes(folder.File(L"ext7.li"), {1}));
    ASSERT_TRUE(TempFolder::WriteBytes(folder.File(L"txt.si"), {1}));
    ASSERT_TRUE(TempFolder::WriteBytes(folder.File(L".si"), {1}));
    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"sub").c_str(), nullptr));

    auto ext = FindAll(folder.Path() + L"\\ext*.si");
    ASSERT_EQ(2u, ext.size());
    EXPECT_EQ(CString(folder.File(L"ext2.si")), ext[L"ext2.si"].path);
    EXPECT_EQ(CString(L"ext2"), ext[L"ext2.si"].title);
    EXPECT_EQ(3u, ext[L"ext2.si"].length);
    EXPECT_FALSE(ext[L"ext2.si"].directory);
    EXPECT_EQ(0u, ext[L"ext7.si"].length);

    auto all = FindAll(folder.Path() + L"\\*");
    EXPECT_EQ(std::set<std::wstring>({L".", L"..", L"ext2.si", L"ext7.si", L"ext7.li", L"txt.si", L".si", L"sub"}),
              [&] {
                  std::set<std::wstring> names;
                  for (auto& [name, entry] : all)
                      names.insert(name);
                  return names;
              }());
    EXPECT_TRUE(all[L"."].dots);
    EXPECT_TRUE(all[L".."].dots);
    EXPECT_TRUE(all[L"sub"].directory);
    EXPECT_FALSE(all[L"sub"].dots);
    EXPECT_EQ(CString(folder.File(L"sub")), all[L"sub"].path);
    EXPECT_EQ(CString(), all[L".si"].title);
    EXPECT_EQ(CString(L"sub"), all[L"sub"].title);
}

TEST(CFileFind, NothingFoundAndReuse)
{
    TempFolder folder;
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile((folder.Path() + L"\\*.si").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(CString(), finder.GetFileName());
    EXPECT_EQ(CString(), finder.GetFilePath());
    EXPECT_FALSE(finder.IsDirectory());
    EXPECT_FALSE(finder.FindFile((folder.Path() + L"\\missing\\*").c_str()));

    ASSERT_TRUE(TempFolder::WriteBytes(folder.File(L"one.si"), {1}));
    ASSERT_TRUE(finder.FindFile((folder.Path() + L"\\*.si").c_str()));
    EXPECT_FALSE(finder.FindNextFile());  // the only entry: nothing follows it
    EXPECT_EQ(CString(L"one.si"), finder.GetFileName());
    EXPECT_EQ(CString(L"one"), finder.GetFileTitle());
    EXPECT_FALSE(finder.FindNextFile());
    finder.Close();
    EXPECT_EQ(CString(), finder.GetFileName());

    // A pattern without a folder part gives paths relative to the current folder.
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.Path().c_str()));
    ASSERT_TRUE(finder.FindFile(L"*.si"));
    finder.FindNextFile();
    EXPECT_EQ(CString(L"one.si"), finder.GetFilePath());
    finder.Close();
    ::SetCurrentDirectoryW(previous);
}
