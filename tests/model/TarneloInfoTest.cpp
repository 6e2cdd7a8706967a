// The box record: registering, renaming and deleting items, and keeping the box on screen.
#include <gtest/gtest.h>

#include "BoxTestSupport.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "model/CTarneloInfo.h"
#include "model/IconManager.h"

using Model::CTarneloInfo;
using namespace BoxTest;

namespace {

class BoxItems : public ::testing::Test
{
protected:
    void SetUp() override
    {
        files = tmp / L"files";
        boxFolder = files + L"\\003";
        source = tmp / L"source";
        ::CreateDirectoryW(files.c_str(), nullptr);
        ::CreateDirectoryW(boxFolder.c_str(), nullptr);
        ::CreateDirectoryW(source.c_str(), nullptr);
        box.m_nId = 3;
        box.m_strFolder = boxFolder.c_str();
    }

    std::wstring Source(const std::wstring& name, const std::string& content = "data")
    {
        const std::wstring path = source + L"\\" + name;
        WriteBytes(path, Bytes(content.begin(), content.end()));
        return path;
    }
    std::wstring InBox(const std::wstring& name) const { return boxFolder + L"\\" + name; }
    const CTarneloInfo::_ITEM& Item(size_t index) const
    {
        auto it = box.m_items.begin();
        std::advance(it, index);
        return *it;
    }
    static CString Target(const std::wstring& link)
    {
        CString out;
        ResolveShortcut(out, link.c_str());
        return out;
    }

    TempFolder tmp;
    std::wstring files, boxFolder, source;
    CTarneloInfo box;
};

}  // namespace

TEST(TarneloInfo, ConstructorValues)
{
    CTarneloInfo box;
    EXPECT_EQ(0u, box.m_nId);
    EXPECT_EQ(TRUE, box.m_bVisible);
    EXPECT_EQ(0, box.m_pos.x);
    EXPECT_EQ(0, box.m_pos.y);
    EXPECT_TRUE(box.m_strName.IsEmpty());
    EXPECT_TRUE(box.m_items.empty());
    EXPECT_EQ(0u, box.m_nHotKeyModifiers);
    EXPECT_EQ(0u, box.m_nHotKeyKey);
    EXPECT_EQ(0u, box.m_nReserved);
    EXPECT_EQ(0xFF404040u, box.m_color);
    EXPECT_TRUE(box.m_strIcon.IsEmpty());
    EXPECT_EQ(nullptr, box.GetIconManager());
}

TEST_F(BoxItems, FileWithoutADotGetsAShortcut)
{
    const std::wstring readme = Source(L"README");
    ASSERT_TRUE(box.AddItem(L"README", readme.c_str(), FALSE));
    ASSERT_EQ(1u, box.m_items.size());
    const auto& item = Item(0);
    EXPECT_EQ(Model::ITEM_TYPE_FILE, item.nType);
    EXPECT_EQ(CString(L"README"), item.strName);
    EXPECT_EQ(CString(InBox(L"README.lnk").c_str()), item.strPath);
    EXPECT_TRUE(Exists(InBox(L"README.lnk")));
    EXPECT_EQ(TRUE, item.bExists);
    EXPECT_EQ(CString(readme.c_str()), item.strResolvedPath);
    EXPECT_TRUE(Exists(readme)) << "the registered file stays where it was";
    EXPECT_NE(std::wstring::npos, tmp.Logs().find(L"[info] <boxinfo> AddItem:" + readme + L" type:1"));
}

TEST_F(BoxItems, DottedFileUsesTitleUpToTheLastDot)
{
    const std::wstring report = Source(L"report.final.docx");
    ASSERT_TRUE(box.AddItem(L"report.final.docx", report.c_str(), FALSE));
    EXPECT_EQ(CString(InBox(L"report.final.lnk").c_str()), Item(0).strPath);
    EXPECT_EQ(CString(report.c_str()), Target(InBox(L"report.final.lnk")));
}

TEST_F(BoxItems, FolderGetsAShortcutAndTypeTwo)
{
    const std::wstring work = source + L"\\Work";
    ::CreateDirectoryW(work.c_str(), nullptr);
    ASSERT_TRUE(box.AddItem(L"Work", work.c_str(), FALSE));
    const auto& item = Item(0);
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, item.nType);
    EXPECT_EQ(CString(InBox(L"Work.lnk").c_str()), item.strPath);
    EXPECT_EQ(CString(work.c_str()), item.strResolvedPath);
    EXPECT_EQ(TRUE, item.bExists);

    // A trailing backslash names the same folder.
    CTarneloInfo other;
    other.m_strFolder = boxFolder.c_str();
    ASSERT_TRUE(other.AddItem(L"Work", (work + L"\\").c_str(), FALSE));
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, other.m_items.front().nType);
}

TEST_F(BoxItems, FolderNamedLikeAShortcutIsAFolder)
{
    const std::wstring folder = source + L"\\x.lnk";
    const std::wstring folder2 = source + L"\\y.url";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW(folder2.c_str(), nullptr);
    ASSERT_TRUE(box.AddItem(L"x.lnk", folder.c_str(), FALSE));
    ASSERT_TRUE(box.AddItem(L"y.url", folder2.c_str(), FALSE));
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, Item(0).nType);
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, Item(1).nType);
    EXPECT_EQ(CString(folder.c_str()), Item(0).strResolvedPath);
    EXPECT_EQ(CString(folder2.c_str()), Item(1).strResolvedPath);
    EXPECT_TRUE(IsFolder(folder)) << "the folder is linked to, not copied or moved";
    EXPECT_FALSE(IsFolder(InBox(L"x.lnk")));
}

TEST_F(BoxItems, InternetShortcutIsCopied)
{
    const std::wstring link = Source(L"Link.URL", "[InternetShortcut]\r\nURL=http://example.invalid/\r\n");
    ASSERT_TRUE(box.AddItem(L"Link.URL", link.c_str(), FALSE));
    const auto& item = Item(0);
    EXPECT_EQ(Model::ITEM_TYPE_INTERNET_SHORTCUT, item.nType);
    EXPECT_EQ(CString(InBox(L"Link.URL").c_str()), item.strPath);
    EXPECT_EQ(item.strPath, item.strResolvedPath);
    EXPECT_EQ(TRUE, item.bExists);
    EXPECT_EQ(ReadBytes(link), ReadBytes(InBox(L"Link.URL")));
    EXPECT_TRUE(Exists(link));
}

TEST_F(BoxItems, ShortcutIsCopiedOrMoved)
{
    const std::wstring target = Source(L"editor.exe");
    const std::wstring link = source + L"\\Editor.lnk";
    ASSERT_TRUE(CreateShortcut(target.c_str(), link.c_str()));
    ASSERT_TRUE(box.AddItem(L"Editor.lnk", link.c_str(), FALSE));
    EXPECT_EQ(Model::ITEM_TYPE_SHORTCUT, Item(0).nType);
    EXPECT_TRUE(Exists(link));
    EXPECT_EQ(CString(target.c_str()), Target(InBox(L"Editor.lnk")));

    // Moved, it takes a free name beside a file that no item names (a kept box file's, say).
    const std::wstring other = source + L"\\Other.lnk";
    ASSERT_TRUE(CreateShortcut(target.c_str(), other.c_str()));
    const Bytes original = ReadBytes(other);
    WriteBytes(InBox(L"Other.lnk"), Bytes{'o', 'l', 'd'});
    ASSERT_TRUE(box.AddItem(L"Other.lnk", other.c_str(), TRUE));
    EXPECT_FALSE(Exists(other)) << "moved away";
    EXPECT_EQ((Bytes{'o', 'l', 'd'}), ReadBytes(InBox(L"Other.lnk")));
    EXPECT_EQ(original, ReadBytes(InBox(L"Other (2).lnk")));
    EXPECT_EQ(2u, box.m_items.size());
}

TEST_F(BoxItems, FailedPlacementRegistersNothing)
{
    // A move whose source is gone keeps the file already in the box folder.
    WriteBytes(InBox(L"Gone.lnk"), Bytes{'k', 'e', 'e', 'p'});
    EXPECT_FALSE(box.AddItem(L"Gone.lnk", (source + L"\\Gone.lnk").c_str(), TRUE));
    EXPECT_TRUE(box.m_items.empty());
    EXPECT_EQ((Bytes{'k', 'e', 'e', 'p'}), ReadBytes(InBox(L"Gone.lnk")));

    EXPECT_FALSE(box.AddItem(L"Missing.url", (source + L"\\Missing.url").c_str(), FALSE));
    EXPECT_TRUE(box.m_items.empty());

    // A file or folder that is not there gets no shortcut to nothing.
    EXPECT_FALSE(box.AddItem(L"ghost.txt", (source + L"\\ghost.txt").c_str(), FALSE));
    EXPECT_FALSE(Exists(InBox(L"ghost.lnk")));
    EXPECT_TRUE(box.m_items.empty());

    // A box folder that is not there takes no shortcut.
    CTarneloInfo lost;
    lost.m_strFolder = (tmp / L"no\\such\\folder").c_str();
    EXPECT_FALSE(lost.AddItem(L"README", Source(L"README").c_str(), FALSE));
    EXPECT_TRUE(lost.m_items.empty());

    // Nor does a record without a folder.
    CTarneloInfo unplaced;
    EXPECT_FALSE(unplaced.AddItem(L"README", Source(L"README").c_str(), FALSE));
    EXPECT_TRUE(unplaced.m_items.empty());
    // Nor a box standing in for an unread box file, which deletes no file either.
    box.m_items.push_back({3, L"Gone.lnk", InBox(L"Gone.lnk").c_str(), L"", TRUE, L""});
    box.m_bBoxFileUnread = TRUE;
    EXPECT_FALSE(box.AddItem(L"README", Source(L"README").c_str(), FALSE) || box.DeleteItem(L"Gone.lnk"));
    EXPECT_TRUE(Exists(InBox(L"Gone.lnk")) && !Exists(InBox(L"README.lnk")));

    const std::wstring logs = tmp.Logs();
    EXPECT_GE(CountOccurrences(logs, L"[ERR!]"), 5) << std::string(logs.begin(), logs.end());
}

TEST_F(BoxItems, MoveFlagNeverMovesAPlainFile)
{
    const std::wstring doc = Source(L"notes.txt");
    ASSERT_TRUE(box.AddItem(L"notes.txt", doc.c_str(), TRUE));
    EXPECT_TRUE(Exists(doc));
    EXPECT_EQ(CString(InBox(L"notes.lnk").c_str()), Item(0).strPath);
    EXPECT_EQ(CString(doc.c_str()), Item(0).strResolvedPath);
}

// A file registered again under an item's name, from another folder: a shortcut file never
// replaces the item's file (it may be the only copy) with other bytes; a link made for a file
// is made again in place.
TEST_F(BoxItems, SameNameReAddNeverReplacesAShortcutsBytes)
{
    struct Row { const wchar_t* name; BOOL firstMoved, secondMoved; char second; const wchar_t *own, *other; };
    const Row rows[] = { { L"Report.url", TRUE, FALSE, 'B', L"Report (2).url", nullptr },
                         { L"Report.lnk", FALSE, TRUE, 'B', L"Report (2).lnk", nullptr },
                         { L"Report.url", FALSE, TRUE, 'A', nullptr, nullptr },  // the same bytes: nothing placed
                         { L"a.txt", FALSE, FALSE, 'B', nullptr, nullptr },
                         { L"Report.url", TRUE, TRUE, 'B', L"Report (3).url", L"Report (2).url" } };
    for (const Row& row : rows) {
        const std::wstring n = std::to_wstring(&row - rows), folder = boxFolder + L"\\" + n, link = folder + L"\\a.lnk";
        for (const std::wstring& made : { folder, source + L"\\" + n, source + L"\\" + n + L"b" })
            ::CreateDirectoryW(made.c_str(), nullptr);
        CTarneloInfo again;
        again.m_strFolder = folder.c_str();
        const std::wstring first = Source(n + L"\\" + row.name, "A");
        const std::wstring second = Source(n + L"b\\" + row.name, { row.second });
        ASSERT_TRUE(again.AddItem(row.name, first.c_str(), row.firstMoved));
        again.m_items.front().strIconKey = L"ext9";
        if (row.other)
            again.m_items.push_back({ 4, row.other, (folder + L"\\other.url").c_str(), L"", TRUE, L"" });
        ASSERT_TRUE(again.AddItem(row.name, second.c_str(), row.secondMoved)) << n;
        const bool made = row.name[0] == L'a', own = row.own != nullptr;
        const CTarneloInfo::_ITEM &kept = again.m_items.front(), &added = again.m_items.back();
        EXPECT_TRUE(kept.strName == row.name && kept.strIconKey == L"ext9" &&
                    kept.strPath == (made ? link : folder + L"\\" + row.name).c_str()) << n;
        EXPECT_EQ(1u + own + (row.other != nullptr), again.m_items.size()) << n;
        EXPECT_TRUE(made ? Target(link) == second.c_str() : ReadBytes(folder + L"\\" + row.name) == Bytes{ 'A' }) << n;
        EXPECT_TRUE(!own || (added.strName == row.own && added.strPath == (folder + L"\\" + row.own).c_str() &&
                             ReadBytes(folder + L"\\" + row.own) == Bytes{ 'B' })) << n;
        EXPECT_TRUE(Exists(first) != !!row.firstMoved && Exists(second) != (row.secondMoved && own)) << n;
    }
}

TEST_F(BoxItems, NamesThatWantTheSameFileGetTheirOwn)
{
    const std::wstring txt = Source(L"a.txt");
    const std::wstring doc = Source(L"a.doc");
    const std::wstring xls = Source(L"A.xls");
    ASSERT_TRUE(box.AddItem(L"a.txt", txt.c_str(), FALSE));
    ASSERT_TRUE(box.AddItem(L"a.doc", doc.c_str(), FALSE));
    ASSERT_TRUE(box.AddItem(L"A.xls", xls.c_str(), FALSE));
    ASSERT_EQ(3u, box.m_items.size());
    EXPECT_EQ(CString(InBox(L"a.lnk").c_str()), Item(0).strPath);
    EXPECT_EQ(CString(InBox(L"a (2).lnk").c_str()), Item(1).strPath);
    EXPECT_EQ(CString(InBox(L"A (3).lnk").c_str()), Item(2).strPath);
    EXPECT_EQ(CString(txt.c_str()), Target(InBox(L"a.lnk")));
    EXPECT_EQ(CString(doc.c_str()), Target(InBox(L"a (2).lnk")));
    EXPECT_EQ(CString(xls.c_str()), Target(InBox(L"A (3).lnk")));

    // Re-adding the second keeps its own file; deleting the first leaves the others'.
    ASSERT_TRUE(box.AddItem(L"a.doc", doc.c_str(), FALSE));
    EXPECT_EQ(CString(InBox(L"a (2).lnk").c_str()), Item(1).strPath);
    ASSERT_TRUE(box.DeleteItem(L"a.txt"));
    EXPECT_FALSE(Exists(InBox(L"a.lnk")));
    EXPECT_TRUE(Exists(InBox(L"a (2).lnk")));
    EXPECT_TRUE(Exists(InBox(L"A (3).lnk")));

    // Internet shortcuts of the same file name but different item names stay apart too.
    ::CreateDirectoryW((source + L"\\x").c_str(), nullptr);
    const std::wstring url1 = Source(L"Site.url", "one");
    const std::wstring url2 = source + L"\\x\\site.URL";
    WriteBytes(url2, Bytes{'t', 'w', 'o'});
    ASSERT_TRUE(box.AddItem(L"Site.url", url1.c_str(), FALSE));
    ASSERT_TRUE(box.AddItem(L"site.URL", url2.c_str(), FALSE));
    EXPECT_EQ((Bytes{'o', 'n', 'e'}), ReadBytes(InBox(L"Site.url")));
    EXPECT_EQ((Bytes{'t', 'w', 'o'}), ReadBytes(InBox(L"site (2).URL")));
}

TEST_F(BoxItems, DriveRootIsNamedByItsLetter)
{
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring root = std::wstring(1, windows[0]) + L":\\";
    ASSERT_TRUE(box.AddItem(L"", root.c_str(), FALSE));
    const auto& item = Item(0);
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, item.nType);
    EXPECT_EQ(CString(std::wstring(1, windows[0]).c_str()), item.strName);
    EXPECT_EQ(CString(InBox(std::wstring(1, windows[0]) + L".lnk").c_str()), item.strPath);
    EXPECT_TRUE(Exists(InBox(std::wstring(1, windows[0]) + L".lnk")));
}

TEST_F(BoxItems, RenameRules)
{
    WriteBytes(InBox(L"x.url"), Bytes{'1'});
    WriteBytes(InBox(L"x (2).url"), Bytes{'2'});
    WriteBytes(InBox(L"y.url"), Bytes{'3'});
    box.m_items.push_back({4, L"x", InBox(L"x.url").c_str(), L"", TRUE, L"ext2"});
    box.m_items.push_back({4, L"x", InBox(L"x (2).url").c_str(), L"", TRUE, L"ext3"});
    box.m_items.push_back({4, L"y", InBox(L"y.url").c_str(), L"", TRUE, L"ext4"});

    EXPECT_FALSE(box.RenameItem(L"x", L"y")) << "taken by another item";
    EXPECT_FALSE(box.RenameItem(L"x", L"")) << "empty";
    EXPECT_FALSE(box.RenameItem(L"nothing", L"z"));
    EXPECT_EQ(CString(L"x"), Item(0).strName);
    EXPECT_FALSE(box.RenameItem(L"x", L"x")) << "the second x has it";

    EXPECT_TRUE(box.RenameItem(L"y", L"Y")) << "names are compared exactly";
    EXPECT_TRUE(box.RenameItem(L"Y", L"Y"));
    ASSERT_TRUE(box.RenameItem(L"x", L"first"));
    EXPECT_EQ(CString(L"first"), Item(0).strName);
    EXPECT_EQ(CString(L"x"), Item(1).strName);
    EXPECT_EQ(CString(InBox(L"x.url").c_str()), Item(0).strPath) << "the file keeps its name";
    EXPECT_TRUE(Exists(InBox(L"x.url")));
    EXPECT_NE(std::wstring::npos, tmp.Logs().find(L"<boxinfo> rename:first"));
}

TEST_F(BoxItems, DeleteTakesTheFirstAndOnlyItsOwnFile)
{
    WriteBytes(InBox(L"x.url"), Bytes{'1'});
    WriteBytes(InBox(L"x (2).url"), Bytes{'2'});
    const std::wstring outside = Source(L"precious.url", "mine");
    box.m_items.push_back({4, L"x", InBox(L"x.url").c_str(), L"", TRUE, L""});
    box.m_items.push_back({4, L"x", InBox(L"x (2).url").c_str(), L"", TRUE, L""});
    box.m_items.push_back({4, L"p", outside.c_str(), L"", TRUE, L""});
    box.m_items.push_back({4, L"q", (boxFolder + L"\\..\\..\\source\\precious.url").c_str(), L"", TRUE, L""});

    EXPECT_FALSE(box.DeleteItem(L"nothing"));
    EXPECT_EQ(4u, box.m_items.size());

    ASSERT_TRUE(box.DeleteItem(L"x"));
    EXPECT_FALSE(Exists(InBox(L"x.url")));
    EXPECT_TRUE(Exists(InBox(L"x (2).url")));
    ASSERT_EQ(3u, box.m_items.size());
    EXPECT_EQ(CString(InBox(L"x (2).url").c_str()), Item(0).strPath);

    ASSERT_TRUE(box.DeleteItem(L"p"));
    ASSERT_TRUE(box.DeleteItem(L"q"));
    EXPECT_EQ(1u, box.m_items.size());
    EXPECT_TRUE(Exists(outside)) << "a file outside the box folder is never deleted";
    const std::wstring logs = tmp.Logs();
    EXPECT_EQ(2, CountOccurrences(logs, L"[warn] <boxinfo> delete: not in the box folder"));
    EXPECT_NE(std::wstring::npos, logs.find(L"[info] <boxinfo> delete:x"));

    // A file that is already gone does not keep the item.
    ::DeleteFileW(InBox(L"x (2).url").c_str());
    EXPECT_TRUE(box.DeleteItem(L"x"));
    EXPECT_TRUE(box.m_items.empty());
}

TEST_F(BoxItems, IconKeysComeFromTheCache)
{
    Model::IconManager icons;
    icons.Init((tmp / L"fileIcons").c_str());
    box.SetIconManager(&icons);
    ASSERT_TRUE(box.AddItem(L"a.txt", Source(L"a.txt").c_str(), FALSE));
    EXPECT_EQ(CString(L"txt"), Item(0).strIconKey);
    const std::wstring dir = source + L"\\Dir";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(box.AddItem(L"Dir", dir.c_str(), FALSE));
    EXPECT_EQ(CString(L"folder"), Item(1).strIconKey);
    ASSERT_TRUE(box.AddItem(L"s.url", Source(L"s.url", "[InternetShortcut]\r\n").c_str(), FALSE));
    EXPECT_EQ(CString(L"ext"), Item(2).strIconKey.Left(3));
    EXPECT_TRUE(box.DeleteItem(L"s.url"));
}

TEST(TarneloInfoPosition, ExampleScreenRules)
{
    const auto screen = ExampleScreen();
    struct Case { LONG x, y, wantX, wantY; BOOL moved; };
    const Case cases[] = {
        {-500, 100, 5, 100, TRUE},   {1900, 100, 1880, 100, TRUE}, {1888, 100, 1888, 100, FALSE},
        {1889, 100, 1880, 100, TRUE}, {100, 1100, 100, 1008, TRUE}, {100, 1045, 100, 1008, TRUE},
        {100, -7, 100, 5, TRUE},      {100, 100, 100, 100, FALSE},  {100, 1008, 100, 1008, FALSE},
    };
    for (const Case& c : cases) {
        CTarneloInfo box;
        box.m_pos = {c.x, c.y};
        EXPECT_EQ(c.moved, box.AdjustPosition(screen)) << c.x << "," << c.y;
        EXPECT_EQ(c.wantX, box.m_pos.x) << c.x << "," << c.y;
        EXPECT_EQ(c.wantY, box.m_pos.y) << c.x << "," << c.y;
    }
}

TEST(TarneloInfoPosition, TaskbarEdgesAndHiding)
{
    auto screen = ExampleScreen();
    screen.bTaskbarAutoHide = TRUE;
    CTarneloInfo box;
    box.m_pos = {100, 1045};
    EXPECT_FALSE(box.AdjustPosition(screen));
    EXPECT_EQ(1045, box.m_pos.y);

    screen.bTaskbarAutoHide = FALSE;
    screen.rcTaskbar = {0, 0, 60, 1080};
    screen.nTaskbarEdge = 0;  // left
    box.m_pos = {10, 300};
    EXPECT_TRUE(box.AdjustPosition(screen));
    EXPECT_EQ(65, box.m_pos.x);

    screen.rcTaskbar = {0, 0, 1920, 40};
    screen.nTaskbarEdge = 1;  // top
    box.m_pos = {300, 10};
    EXPECT_TRUE(box.AdjustPosition(screen));
    EXPECT_EQ(45, box.m_pos.y);

    screen.rcTaskbar = {1860, 0, 1920, 1080};
    screen.nTaskbarEdge = 2;  // right
    box.m_pos = {1870, 300};
    EXPECT_TRUE(box.AdjustPosition(screen));
    EXPECT_EQ(1828, box.m_pos.x);
    box.m_pos = {1860 - 1, 300};
    EXPECT_FALSE(box.AdjustPosition(screen)) << "the taskbar's left edge is inside, the box left of it is not";

    screen.nTaskbarEdge = 7;  // unknown
    box.m_pos = {1870, 300};
    EXPECT_FALSE(box.AdjustPosition(screen));
}

TEST(TarneloInfoPosition, VirtualScreenLeftOfThePrimary)
{
    CTarneloInfo::_SCREEN_INFO screen;
    screen.rcVirtual = {-1280, 0, 1920, 1080};
    screen.rcTaskbar = {0, 1040, 1920, 1080};
    screen.nTaskbarEdge = 3;
    CTarneloInfo box;
    box.m_pos = {-1000, 100};
    EXPECT_FALSE(box.AdjustPosition(screen));
    EXPECT_EQ(-1000, box.m_pos.x);
    box.m_pos = {-1300, 100};
    EXPECT_TRUE(box.AdjustPosition(screen));
    EXPECT_EQ(-1275, box.m_pos.x);
    // Stored positions at the ends of the number range are corrected, not overflowed.
    box.m_pos = {LONG(0x7FFFFFF0), LONG(0x7FFFFFF0)};
    EXPECT_TRUE(box.AdjustPosition(screen));
    EXPECT_EQ(1880, box.m_pos.x);
    EXPECT_EQ(1008, box.m_pos.y);
}

TEST(TarneloInfoPosition, SystemScreenIsTheVirtualScreen)
{
    const auto screen = CTarneloInfo::GetSystemScreenInfo();
    EXPECT_EQ(::GetSystemMetrics(SM_XVIRTUALSCREEN), screen.rcVirtual.left);
    EXPECT_EQ(::GetSystemMetrics(SM_CXVIRTUALSCREEN), screen.rcVirtual.right - screen.rcVirtual.left);
    CTarneloInfo box;
    box.m_pos = {screen.rcVirtual.left + 100, screen.rcVirtual.top + 100};
    box.AdjustPosition();
    EXPECT_EQ(screen.rcVirtual.left + 100, box.m_pos.x);
}
