#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>

#include "CoreTestSupport.h"
#include "core/PathHelpers.h"

using namespace CoreTest;

TEST(PathHelpers, GetParentPathSplitsAtTheLastBackslashElseTheLastSlash)
{
    EXPECT_EQ(CString(L"C:\\a"), GetParentPath(L"C:\\a\\b.txt"));
    EXPECT_EQ(CString(L"a/b"), GetParentPath(L"a/b/c"));
    EXPECT_EQ(CString(L"C:\\a/b"), GetParentPath(L"C:\\a/b\\c/d"));  // a backslash wins over later slashes
    EXPECT_EQ(CString(L""), GetParentPath(L"name.txt"));
    EXPECT_EQ(CString(L""), GetParentPath(L""));
    EXPECT_EQ(CString(L"C:"), GetParentPath(L"C:\\"));
}

TEST(PathHelpers, ExtractFileNameAndTitle)
{
    EXPECT_EQ(CString(L"b.txt"), ExtractFileName(L"C:\\a\\b.txt"));
    EXPECT_EQ(CString(L"a/b/c.txt"), ExtractFileName(L"a/b/c.txt"));  // a slash does not count
    EXPECT_EQ(CString(L""), ExtractFileName(L"C:\\folder\\"));
    EXPECT_EQ(CString(L"plain"), ExtractFileName(L"plain"));

    EXPECT_EQ(CString(L"a.b"), ExtractFileTitle(L"a.b.txt"));
    EXPECT_EQ(CString(L"name"), ExtractFileTitle(L"C:\\dir\\name"));
    EXPECT_EQ(CString(L"name"), ExtractFileTitle(L"C:\\dir.d\\name"));  // the folder's dot is not used
    EXPECT_EQ(CString(L""), ExtractFileTitle(L"C:\\dir\\.hidden"));
}

TEST(PathHelpers, GetExtensionSearchesTheWholePathAndLowersTheCase)
{
    EXPECT_EQ(CString(L"lnk"), GetExtension(L"X.LNK"));
    EXPECT_EQ(CString(L"url"), GetExtension(L"C:\\Users\\me\\Desktop\\Site.Url"));
    EXPECT_EQ(CString(L"b\\file"), GetExtension(L"C:\\a.b\\file"));
    EXPECT_EQ(CString(L""), GetExtension(L"C:\\a\\file"));
    EXPECT_EQ(CString(L""), GetExtension(L"trailing."));
    EXPECT_EQ(CString(L"gz"), GetExtension(L"archive.tar.GZ"));
}

TEST(PathHelpers, FileExistsAndIsDirectoryOnRealFiles)
{
    TempFolder folder;
    const std::wstring file = folder / L"file.txt";
    ASSERT_TRUE(WriteBytes(file, "x"));

    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_FALSE(IsDirectory(file.c_str()));
    EXPECT_TRUE(FileExists(folder.Path().c_str()));
    EXPECT_TRUE(IsDirectory(folder.Path().c_str()));
    EXPECT_FALSE(FileExists((folder / L"missing.txt").c_str()));
    EXPECT_FALSE(IsDirectory((folder / L"missing").c_str()));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(IsDirectory(L""));
}

// A read that brings fewer bytes than the file's size gives ERROR_HANDLE_EOF, not success
// (what the buffer then holds is not looked at): here the handle stands at the end after a
// first read, as for a file cut short while it is read.
TEST(PathHelpers, ReadWholeFileReportsAShortRead)
{
    TempFolder folder;
    const std::wstring path = folder / L"file.bin";
    ASSERT_TRUE(WriteBytes(path, "0123456789"));
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<BYTE> bytes;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), ReadWholeFile(file, 10, &bytes));
    EXPECT_EQ("0123456789", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_HANDLE_EOF), ReadWholeFile(file, 10, &bytes));
    ::CloseHandle(file);
}

// Only a file that another program holds is tried again: no rights to it do not pass by waiting.
TEST(PathHelpers, OpenHeldFileWaitsOnlyForAFileHeldByAnotherProgram)
{
    for (const DWORD error : {ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION, ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND}) {
        int opens = 0;
        EXPECT_EQ(error, OpenHeldFile([&] { return ++opens, error; }, 250)) << error;
        EXPECT_EQ(error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION, opens > 1) << error;
    }
}

TEST(PathHelpers, CreateDirectoryTreeCreatesEveryMissingLevel)
{
    TempFolder folder;
    const std::wstring x = folder / L"x";
    ASSERT_TRUE(::CreateDirectoryW(x.c_str(), nullptr));

    EXPECT_TRUE(CreateDirectoryTree((x + L"\\y\\z").c_str()));
    EXPECT_TRUE(IsDirectory((x + L"\\y").c_str()));
    EXPECT_TRUE(IsDirectory((x + L"\\y\\z").c_str()));
    // An existing tree, with or without the closing backslash, succeeds as it is.
    EXPECT_TRUE(CreateDirectoryTree((x + L"\\y\\z").c_str()));
    EXPECT_TRUE(CreateDirectoryTree((x + L"\\y\\z\\").c_str()));
    EXPECT_TRUE(CreateDirectoryTree((folder / L"日本語\\フォルダ").c_str()));
    EXPECT_TRUE(IsDirectory((folder / L"日本語\\フォルダ").c_str()));
}

TEST(PathHelpers, CreateDirectoryTreeFailsOnBadPaths)
{
    TempFolder folder;
    EXPECT_FALSE(CreateDirectoryTree(L""));
    EXPECT_FALSE(CreateDirectoryTree(L"\\leading\\backslash"));
    // A level that is a file cannot become a folder.
    const std::wstring file = folder / L"file";
    ASSERT_TRUE(WriteBytes(file, "x"));
    EXPECT_FALSE(CreateDirectoryTree((file + L"\\below").c_str()));
    EXPECT_FALSE(IsDirectory((file + L"\\below").c_str()));
}

TEST(PathHelpers, ToUtf8ConvertsWholeTextsOrNothing)
{
    char buffer[64];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(0, ToUtf8(L"", buffer, sizeof(buffer)));
    EXPECT_EQ('\0', buffer[0]);

    EXPECT_EQ(3, ToUtf8(L"abc", buffer, 4));
    EXPECT_EQ(std::string("abc"), std::string(buffer));

    // The text and its NUL must fit: no partial text is left behind.
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(0, ToUtf8(L"abc", buffer, 3));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ(0, ToUtf8(L"日本", buffer, 6));
    EXPECT_EQ('\0', buffer[0]);

    EXPECT_EQ(6, ToUtf8(L"日本", buffer, 7));
    EXPECT_EQ(Utf8(u8"日本"), std::string(buffer));
    EXPECT_EQ(4, ToUtf8(L"\U0001F600", buffer, sizeof(buffer)));  // a surrogate pair is one 4-byte character
    EXPECT_EQ(Utf8(u8"\U0001F600"), std::string(buffer));

    EXPECT_EQ(0, ToUtf8(L"abc", nullptr, 10));
    EXPECT_EQ(0, ToUtf8(L"abc", buffer, 0));
}

TEST(PathHelpers, FromUtf8RoundTripsAndStopsAtTheFirstNul)
{
    const CString texts[] = {L"plain", L"日本語のフォルダ\\ファイル.txt", L"\U0001F600 smile", L"Ärger über Öl"};
    for (const CString& text : texts) {
        char buffer[256];
        const int count = ToUtf8(text, buffer, sizeof(buffer));
        ASSERT_GT(count, 0);
        EXPECT_EQ(text, FromUtf8(std::string(buffer, static_cast<size_t>(count))));
    }
    EXPECT_EQ(CString(L""), FromUtf8(std::string()));
    EXPECT_EQ(CString(L"abc"), FromUtf8(std::string("abc\0def", 7)));
    EXPECT_EQ(CString(L""), FromUtf8(std::string("\0abc", 4)));
    // Bytes that are not UTF-8 give some text, never a crash or an overrun.
    const CString broken = FromUtf8(std::string("\xE6\x97", 2));
    EXPECT_LE(broken.GetLength(), 2);
    const CString mixed = FromUtf8(std::string("a\xFF\xFE" "b", 4));
    EXPECT_LE(mixed.GetLength(), 4);
}

TEST(PathHelpers, GetModuleFolderIsTheExecutablesFolder)
{
    wchar_t module[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
    const CString folder = GetModuleFolder();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_NE(L'\\', folder[folder.GetLength() - 1]);
    EXPECT_EQ(GetParentPath(module), folder);
    EXPECT_TRUE(FileExists(folder + L"\\" + ExtractFileName(module)));
}

TEST(PathHelpers, ShellFoldersExist)
{
    const CString folders[] = {GetDesktopFolder(), GetCommonDesktopFolder(), GetCommonStartMenuFolder(),
                               GetProgramFilesFolder()};
    for (const CString& folder : folders) {
        EXPECT_FALSE(folder.IsEmpty());
        EXPECT_TRUE(IsDirectory(folder)) << static_cast<const wchar_t*>(folder);
    }
}

TEST(PathHelpers, IsDesktopShortcutWantsALinkOrUrlDirectlyBelowADesktop)
{
    const CString desktop = GetDesktopFolder();
    const CString common = GetCommonDesktopFolder();
    ASSERT_FALSE(desktop.IsEmpty());
    ASSERT_FALSE(common.IsEmpty());

    EXPECT_TRUE(IsDesktopShortcut(desktop + L"\\App.lnk"));
    EXPECT_TRUE(IsDesktopShortcut(desktop + L"\\sub\\Deep.LNK"));
    EXPECT_TRUE(IsDesktopShortcut(common + L"\\Site.URL"));
    EXPECT_FALSE(IsDesktopShortcut(desktop + L"\\App.exe"));
    EXPECT_FALSE(IsDesktopShortcut(L"C:\\elsewhere\\App.lnk"));
    EXPECT_FALSE(IsDesktopShortcut(desktop));
    EXPECT_FALSE(IsDesktopShortcut(L""));

    // A folder whose name only starts like the desktop's is not the desktop.
    EXPECT_FALSE(IsDesktopShortcut(desktop + L"2\\App.lnk"));
    EXPECT_FALSE(IsDesktopShortcut(L"D:" + desktop + L"\\App.lnk"));
    // Windows paths ignore case.
    CString upper = desktop;
    upper.MakeUpper();
    EXPECT_TRUE(IsDesktopShortcut(upper + L"\\App.lnk"));
}

TEST(PathHelpers, GetDataFolderUsesTheLocalFolderOnlyWhenItExists)
{
    wchar_t local[MAX_PATH] = {};
    wchar_t common[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local)));
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common)));
    const CString localData = CString(local) + L"\\Olvenworks\\Tarnelo";
    const CString commonData = CString(common) + L"\\Olvenworks\\Tarnelo";
    if (IsDirectory(localData))
        GTEST_SKIP() << "this prefix already has a per-user data folder";

    // Undo only what this test made, so a data folder of the program survives.
    struct Cleanup
    {
        CString local, common, localData, commonData;
        bool hadLocalMaker, hadCommonMaker, hadCommon;
        ~Cleanup()
        {
            ::RemoveDirectoryW(localData);
            if (!hadLocalMaker)
                ::RemoveDirectoryW(local + L"\\Olvenworks");
            if (!hadCommon)
                ::RemoveDirectoryW(commonData);
            if (!hadCommonMaker)
                ::RemoveDirectoryW(common + L"\\Olvenworks");
        }
    } cleanup{local, common, localData, commonData, IsDirectory(CString(local) + L"\\Olvenworks") != FALSE,
              IsDirectory(CString(common) + L"\\Olvenworks") != FALSE, IsDirectory(commonData) != FALSE};

    EXPECT_EQ(commonData, GetDataFolder());
    EXPECT_TRUE(IsDirectory(commonData));

    ASSERT_TRUE(CreateDirectoryTree(localData));
    EXPECT_EQ(localData, GetDataFolder());
}
