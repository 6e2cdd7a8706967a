// The box list and "tarnelo.ser": literal bytes, versions, default boxes, order and ids.
#include <gtest/gtest.h>

#include "BoxTestSupport.h"
#include "IconManagerTestSupport.h"
#include "core/ShellHelpers.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/IconManager.h"

using Model::CTarneloInfo;
using Model::CTarneloInfoManager;
using namespace BoxTest;

namespace {

class BoxList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        files = tmp / L"files";
        icons = tmp / L"icons";
        boxFile = tmp / L"tarnelo.ser";
        ::CreateDirectoryW(files.c_str(), nullptr);
        ::CreateDirectoryW(icons.c_str(), nullptr);
        screen = ExampleScreen();
        Bind(list);
    }
    void Bind(CTarneloInfoManager& manager, Model::IconManager* cache = nullptr)
    {
        manager.Bind(files.c_str(), icons.c_str(), cache, &config);
        manager.SetScreenInfo(&screen);
    }
    CTarneloInfo* Add(CTarneloInfoManager& manager, UINT id, LONG x, LONG y, const wchar_t* name)
    {
        auto* record = new CTarneloInfo;
        record->m_nId = id;
        record->m_pos = {x, y};
        record->m_strName = name;
        manager.m_boxes.push_back(record);
        return record;
    }
    // Real files for items of box 0: an internet shortcut and a shortcut to a text file.
    std::wstring MakeItemFiles()
    {
        const std::wstring box0 = files + L"\\000";
        ::CreateDirectoryW(box0.c_str(), nullptr);
        WriteBytes(box0 + L"\\a.url", Bytes{'[', ']'});
        WriteBytes(tmp / L"b.txt", Bytes{'b'});
        EXPECT_TRUE(CreateShortcut((tmp / L"b.txt").c_str(), (box0 + L"\\b.lnk").c_str()));
        return box0;
    }
    CTarneloInfo* At(CTarneloInfoManager& manager, size_t index)
    {
        auto it = manager.m_boxes.begin();
        std::advance(it, index);
        return *it;
    }

    TempFolder tmp;
    std::wstring files, icons, boxFile;
    CTarneloInfo::_SCREEN_INFO screen;
    Model::CConfigInfo config;
    CTarneloInfoManager list;
};

// The smallest real box file: one box "Tools" with id 0 at (100, 10), nothing else set.
Bytes OneBoxFile()
{
    return Bytes{0xEB, 0x03, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00,
                 0xFF, 0xFE, 0xFF, 0x05, 0x54, 0x00, 0x6F, 0x00, 0x6F, 0x00, 0x6C, 0x00, 0x73, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x40, 0x40, 0x40, 0x00, 0xFF, 0xFE, 0xFF, 0x00};
}

}  // namespace

TEST_F(BoxList, OneBoxIsWrittenByteForByte)
{
    Add(list, 0, 100, 10, L"Tools");
    ASSERT_TRUE(list.Save(boxFile.c_str()));
    EXPECT_EQ(OneBoxFile(), ReadBytes(boxFile));
    EXPECT_FALSE(Exists(boxFile + L".temp"));
    EXPECT_NE(std::wstring::npos, tmp.Logs().find(L"[info] Save box info"));
}

TEST_F(BoxList, OneBoxFileReadsBack)
{
    ASSERT_TRUE(WriteBytes(boxFile, OneBoxFile()));
    ASSERT_TRUE(list.Load(boxFile.c_str()));
    ASSERT_EQ(1u, list.m_boxes.size());
    const CTarneloInfo* box = list.m_boxes.front();
    EXPECT_EQ(0u, box->m_nId);
    EXPECT_EQ(100, box->m_pos.x);
    EXPECT_EQ(10, box->m_pos.y);
    EXPECT_EQ(CString(L"Tools"), box->m_strName);
    EXPECT_TRUE(box->m_items.empty());
    EXPECT_EQ(0xFF404040u, box->m_color);
    EXPECT_TRUE(box->m_strIcon.IsEmpty());
    EXPECT_EQ(CString((files + L"\\000").c_str()), box->m_strFolder);
    EXPECT_TRUE(IsFolder(files + L"\\000"));
    EXPECT_EQ(1003u, list.m_nVersion);
    EXPECT_FALSE(Exists(boxFile + L".temp")) << "nothing to write back";
    EXPECT_FALSE(Exists(boxFile + L".bad"));
    EXPECT_EQ(OneBoxFile(), ReadBytes(boxFile));
}

TEST_F(BoxList, LongNamesSwitchToTheTwoByteLength)
{
    Add(list, 1, 100, 10, std::wstring(254, L'n').c_str());
    Add(list, 2, 100, 50, std::wstring(255, L'm').c_str());
    ASSERT_TRUE(list.Save(boxFile.c_str()));
    const Bytes bytes = ReadBytes(boxFile);
    // Header 12 bytes, then id, x and y of the first record.
    ASSERT_GT(bytes.size(), 28u);
    EXPECT_EQ((Bytes{0xFF, 0xFE, 0xFF, 0xFE}), Bytes(bytes.begin() + 24, bytes.begin() + 28));
    EXPECT_EQ(0x6E, bytes[28]);
    // The first record: name 4 + 508 bytes, count, hot key (2), reserved, colour, icon 4.
    const size_t second = 24 + 4 + 508 + 4 + 8 + 4 + 4 + 4;
    ASSERT_GT(bytes.size(), second + 12 + 6);
    EXPECT_EQ((Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}),
              Bytes(bytes.begin() + second + 12, bytes.begin() + second + 18));

    CTarneloInfoManager again;
    Bind(again);
    ASSERT_TRUE(again.Load(boxFile.c_str()));
    ASSERT_EQ(2u, again.m_boxes.size());
    EXPECT_EQ(CString(std::wstring(254, L'n').c_str()), At(again, 0)->m_strName);
    EXPECT_EQ(CString(std::wstring(255, L'm').c_str()), At(again, 1)->m_strName);
}

TEST_F(BoxList, ColourWordGetsFullAlphaAndLosesItOnSave)
{
    Writer w;
    w.U32(1003).Str(L"").U32(1);
    w.U32(7).U32(100).U32(10).Str(L"C").U32(0).U32(0).U32(0).U32(0x55).U32(0x12345678).Str(L"set\\i.png");
    ASSERT_TRUE(WriteBytes(boxFile, w.bytes));
    ASSERT_TRUE(list.Load(boxFile.c_str()));
    ASSERT_EQ(1u, list.m_boxes.size());
    EXPECT_EQ(0xFF785634u, list.m_boxes.front()->m_color);
    EXPECT_EQ(0x55u, list.m_boxes.front()->m_nReserved);
    EXPECT_EQ(CString(L"set\\i.png"), list.m_boxes.front()->m_strIcon);
    ASSERT_TRUE(list.Save(boxFile.c_str()));
    Bytes expected = w.bytes;
    expected[expected.size() - 22 - 1] = 0x00;  // the colour's top byte, before the icon's 22 bytes
    EXPECT_EQ(expected, ReadBytes(boxFile));
}

TEST_F(BoxList, UnmarkedEightBitStringsAreRead)
{
    Writer w;
    w.U32(1003).Str8("").U32(1);
    w.U32(0).U32(100).U32(10).Str8("Tools").U32(0).U32(0).U32(0).U32(0).U32(0x404040).Str8("a\\b.png");
    ASSERT_TRUE(WriteBytes(boxFile, w.bytes));
    ASSERT_TRUE(list.Load(boxFile.c_str()));
    ASSERT_EQ(1u, list.m_boxes.size());
    EXPECT_EQ(CString(L"Tools"), list.m_boxes.front()->m_strName);
    EXPECT_EQ(CString(L"a\\b.png"), list.m_boxes.front()->m_strIcon);
}

TEST_F(BoxList, OlderVersionsGetIconKeysAndAreSavedAgain)
{
    const std::wstring box0 = MakeItemFiles();

    for (const UINT version : {1001u, 1002u}) {
        SCOPED_TRACE(version);
        Writer w;
        w.U32(version).Str(L"").U32(2);
        for (UINT id = 0; id < 2; ++id) {
            // Listed bottom to top: sorting turns them round.
            w.U32(id).U32(100).U32(110 - 100 * id).Str(id ? L"Second" : L"First").U32(2);
            w.U32(4).Str(L"a.url").Str(box0 + L"\\a.url");
            w.U32(1).Str(L"b.txt").Str(box0 + L"\\b.lnk");
            if (version >= 1002)
                w.U32(2).U32(0x41 + id);
            w.U32(0).U32(0x404040).Str(L"");
        }
        ASSERT_TRUE(WriteBytes(boxFile, w.bytes));

        Model::IconManager cache;
        cache.Init((tmp / L"fileIcons").c_str());
        CTarneloInfoManager manager;
        Bind(manager, &cache);
        ASSERT_TRUE(manager.Load(boxFile.c_str()));
        ASSERT_EQ(2u, manager.m_boxes.size());
        // Reading does nothing per item: the shortcut is read and the keys registered after,
        // and only then is the file written back, once.
        EXPECT_TRUE(At(manager, 0)->m_items.back().bResolvePending && At(manager, 0)->m_items.front().bKeyPending);
        EXPECT_EQ(w.bytes, ReadBytes(boxFile));
        manager.CompletePendingWork();
        for (CTarneloInfo* box : manager.m_boxes) {
            EXPECT_EQ(version >= 1002 ? 2u : 0u, box->m_nHotKeyModifiers);
            ASSERT_EQ(2u, box->m_items.size());
            const auto& url = box->m_items.front();
            const auto& doc = box->m_items.back();
            EXPECT_EQ(CString(L"ext"), url.strIconKey.Left(3));
            EXPECT_EQ(CString(L"txt"), doc.strIconKey);
            EXPECT_EQ(TRUE, doc.bExists);
            EXPECT_EQ(CString((tmp / L"b.txt").c_str()), doc.strResolvedPath);
        }
        EXPECT_EQ(version >= 1002 ? 0x42u : 0u, At(manager, 0)->m_nHotKeyKey);
        EXPECT_EQ(version >= 1002 ? 0x41u : 0u, At(manager, 1)->m_nHotKeyKey);
        // Keys are numbered in the file's order, as when they were registered while reading.
        EXPECT_LT(At(manager, 1)->m_items.front().strIconKey, At(manager, 0)->m_items.front().strIconKey);

        // Written back at once as version 1003 with the new keys.
        const Bytes saved = ReadBytes(boxFile);
        ASSERT_GE(saved.size(), 4u);
        EXPECT_EQ((Bytes{0xEB, 0x03, 0x00, 0x00}), Bytes(saved.begin(), saved.begin() + 4));
        CTarneloInfoManager again;
        Bind(again);
        ASSERT_TRUE(again.Load(boxFile.c_str()));
        ASSERT_EQ(2u, again.m_boxes.size());
        EXPECT_EQ(At(manager, 1)->m_items.front().strIconKey, At(again, 1)->m_items.front().strIconKey);
        EXPECT_EQ(CString(L"txt"), At(again, 1)->m_items.back().strIconKey);
        EXPECT_EQ(At(manager, 1)->m_nHotKeyKey, At(again, 1)->m_nHotKeyKey);
    }
}

TEST_F(BoxList, StartsCutShortLeaveNoIconFileThatNoItemNamesOnceAFullOneIsDone)
{
    const std::wstring box0 = files + L"\\000", cache = tmp / L"fileIcons";
    ::CreateDirectoryW(box0.c_str(), nullptr);
    ::CreateDirectoryW(cache.c_str(), nullptr);
    Writer w;
    w.U32(1003).Str(L"").U32(1).U32(0).U32(100).U32(10).Str(L"B").U32(3);
    for (const std::wstring name : {L"a.url", L"b.url", L"c.url"}) {
        WriteBytes(box0 + L"\\" + name, Bytes{'[', ']'});
        w.U32(4).Str(name).Str(box0 + L"\\" + name).Str(name == L"a.url" ? L"ext3" : L"");
    }
    ASSERT_TRUE(WriteBytes(boxFile, w.U32(0).U32(0).U32(0).U32(0).Str(L"").bytes));
    // A named pair, a shared file and a pair that no item names.
    for (const wchar_t* name : {L"ext3.si", L"ext3.li", L"txt.si", L"ext9.si", L"ext9.li"})
        WriteBytes(cache + L"\\" + name, IconTest::ExpectedTestIconFile(16));
    // Each start keys one more item: the first ends by the exit event, the second is killed,
    // the third runs to the end. Only the keys of the killed one are given again.
    for (const int start : {0, 1, 2}) {
        Model::IconManager icons;
        icons.Init(cache.c_str());
        CTarneloInfoManager manager;
        Bind(manager, &icons);
        ASSERT_TRUE(manager.Load(boxFile.c_str()));
        std::vector<CTarneloInfo*> keyed;
        while (start == 2 ? manager.HasPendingWork() : keyed.empty())
            manager.DoPendingWork(nullptr, [] { return true; }, &keyed);
        if (start == 0 && manager.HasUnsavedKeys())
            manager.Save(boxFile.c_str());
    }
    EXPECT_EQ(IconTest::ListFolder(cache), (std::vector<std::wstring>{L"ext10.li", L"ext10.si", L"ext12.li", L"ext12.si",
                                                                       L"ext3.li", L"ext3.si", L"txt.si"}));
}

TEST_F(BoxList, MissingIconFilesAreMadeAgainUnderTheirKeys)
{
    const std::wstring box0 = MakeItemFiles();
    // Made: an item's own key and the key of its target's kind; not: another kind's key and
    // the key of an item whose file is gone.
    Writer w;
    w.U32(1003).Str(L"").U32(1).U32(0).U32(100).U32(10).Str(L"B").U32(4);
    w.U32(4).Str(L"a").Str(box0 + L"\\a.url").Str(L"ext7").U32(1).Str(L"b").Str(box0 + L"\\b.lnk").Str(L"txt");
    w.U32(1).Str(L"c").Str(box0 + L"\\b.lnk").Str(L"doc").U32(4).Str(L"d").Str(box0 + L"\\d.url").Str(L"ext8");
    ASSERT_TRUE(WriteBytes(boxFile, w.U32(0).U32(0).U32(0).U32(0).Str(L"").bytes));
    const std::wstring cacheFolder = tmp / L"fileIcons";
    Model::IconManager cache;
    cache.Init(cacheFolder.c_str());
    Bind(list, &cache);
    ASSERT_TRUE(list.Load(boxFile.c_str()));
    EXPECT_EQ(9, cache.GetNextExt()) << "the keys of the file are given to no new item";
    std::vector<CTarneloInfo*> newIcons;
    while (list.DoPendingWork(nullptr, nullptr, &newIcons)) {
    }
    EXPECT_EQ(IconTest::ListFolder(cacheFolder),
              (std::vector<std::wstring>{L"ext7.li", L"ext7.si", L"txt.li", L"txt.si"}));
    EXPECT_EQ(newIcons, std::vector<CTarneloInfo*>{list.m_boxes.front()}) << "its open list shows them";
    EXPECT_EQ(w.bytes, ReadBytes(boxFile));
}

// Icon files that no item names stay while another box file may name them: a missing one
// earlier in the run (it may come back), or a kept copy of a damaged one.
TEST_F(BoxList, IconFilesStayWhileAnotherBoxFileMayNameThem)
{
    const std::wstring unnamed = icons + L"\\ext9.si";
    for (const std::wstring before : {L"", L".missing", L".bad2"}) {
        WriteBytes(unnamed, Bytes{1});
        WriteBytes(boxFile, OneBoxFile());
        if (before == L".bad2")
            WriteBytes(boxFile + before, Bytes{1});
        Model::IconManager cache;
        cache.Init(icons.c_str());
        CTarneloInfoManager manager;
        Bind(manager, &cache);
        // Read (or found missing), written whole and read again, as a reload does.
        manager.Load((boxFile + (before == L".missing" ? before : L"")).c_str());
        manager.Save(boxFile.c_str());
        manager.Load(boxFile.c_str());
        manager.CompletePendingWork();
        EXPECT_EQ(before.empty(), !Exists(unnamed)) << before;
    }
}

TEST_F(BoxList, ItemFilesAreResolvedOnLoad)
{
    const std::wstring box0 = files + L"\\000";
    ::CreateDirectoryW(box0.c_str(), nullptr);
    WriteBytes(box0 + L"\\site.url", Bytes{'[', ']'});
    Writer w;
    w.U32(1003).Str(L"").U32(1);
    w.U32(0).U32(100).U32(10).Str(L"B").U32(3);
    w.U32(1).Str(L"site.url").Str(box0 + L"\\site.url").Str(L"k1");      // not a shortcut, but a .url
    w.U32(2).Str(L"gone").Str(box0 + L"\\gone.lnk").Str(L"folder");     // missing shortcut
    w.U32(3).Str(L"app.lnk").Str(box0 + L"\\app.lnk").Str(L"ext5");     // shortcuts are taken as they are
    w.U32(0).U32(0).U32(0).U32(0).Str(L"");
    ASSERT_TRUE(WriteBytes(boxFile, w.bytes));
    ASSERT_TRUE(list.Load(boxFile.c_str()));
    list.CompletePendingWork();
    const auto& items = list.m_boxes.front()->m_items;
    ASSERT_EQ(3u, items.size());
    auto it = items.begin();
    EXPECT_EQ(Model::ITEM_TYPE_INTERNET_SHORTCUT, it->nType);
    EXPECT_EQ(TRUE, it->bExists);
    EXPECT_EQ(it->strPath, it->strResolvedPath);
    ++it;
    EXPECT_EQ(Model::ITEM_TYPE_FOLDER, it->nType);
    EXPECT_EQ(FALSE, it->bExists);
    EXPECT_TRUE(it->strResolvedPath.IsEmpty());
    EXPECT_EQ(CString(L"folder"), it->strIconKey);
    ++it;
    EXPECT_EQ(TRUE, it->bExists);
    EXPECT_EQ(it->strPath, it->strResolvedPath);
    EXPECT_FALSE(Exists(boxFile + L".temp")) << "every key was stored: nothing to write back";
}

TEST_F(BoxList, FreshDataFolderGetsTheDefaultBoxes)
{
    EXPECT_EQ(CString(boxFile.c_str()), CTarneloInfoManager::FilePath(tmp.Path().c_str()));
    ASSERT_TRUE(list.Load(boxFile.c_str()));
    ASSERT_EQ(6u, list.m_boxes.size());
    const wchar_t* names[] = {L"Apps", L"Tools", L"Documents", L"Folders", L"Shared", L"Hot items"};
    const wchar_t* images[] = {L"squares", L"hammer", L"paper_sheet", L"folder", L"share", L"sunny"};
    UINT id = 0;
    for (const CTarneloInfo* box : list.m_boxes) {
        SCOPED_TRACE(id);
        EXPECT_EQ(id, box->m_nId);
        EXPECT_EQ(1620, box->m_pos.x);
        EXPECT_EQ(static_cast<LONG>(10 + 40 * id), box->m_pos.y);
        EXPECT_EQ(CString(names[id]), box->m_strName);
        EXPECT_EQ(CString(L"150-outlined-icons-white\\") + images[id] + L".png", box->m_strIcon);
        wchar_t folder[16];
        _snwprintf(folder, 15, L"\\%03u", id);
        EXPECT_EQ(CString((files + folder).c_str()), box->m_strFolder);
        EXPECT_TRUE(IsFolder(files + folder));
        EXPECT_EQ(0u, box->m_nHotKeyKey);
        EXPECT_EQ(0xFF404040u, box->m_color);
        EXPECT_TRUE(box->m_items.empty());
        ++id;
    }
    EXPECT_FALSE(Exists(boxFile)) << "written by the first save only";

    // The system's screen when none is given: 300 pixels left of its right end.
    CTarneloInfoManager system;
    system.Bind(files.c_str(), icons.c_str(), nullptr, nullptr);
    ASSERT_TRUE(system.Load(boxFile.c_str()));
    const int right = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    EXPECT_EQ(right - 300, system.m_boxes.front()->m_pos.x);
}

TEST_F(BoxList, SortRunsDownEachColumn)
{
    Add(list, 0, 100, 300, L"A");
    Add(list, 1, 120, 50, L"B");
    Add(list, 2, 125, 50, L"C");
    Add(list, 3, 500, 10, L"D");
    list.SortBoxes();
    std::wstring order;
    for (const CTarneloInfo* box : list.m_boxes)
        order += box->m_strName.str();
    EXPECT_EQ(L"BCAD", order);
    const std::wstring logs = tmp.Logs();
    EXPECT_NE(std::wstring::npos, logs.find(L"Add Tail:A (100,300)"));
    EXPECT_NE(std::wstring::npos, logs.find(L"Add before:B (120,50)"));
    EXPECT_NE(std::wstring::npos, logs.find(L"Add after:C (125,50)"));
    EXPECT_NE(std::wstring::npos, logs.find(L"Add Tail:D (500,10)"));
    EXPECT_NE(std::wstring::npos, logs.find(L"done. (0)"));

    // A box further right at the same height goes before the one it meets.
    CTarneloInfoManager other;
    Add(other, 0, 110, 50, L"R");
    Add(other, 1, 100, 50, L"L");
    other.SortBoxes();
    EXPECT_EQ(CString(L"L"), other.m_boxes.front()->m_strName);
    EXPECT_NE(std::wstring::npos, tmp.Logs().find(L"Add before2:L (100,50)"));

    CTarneloInfoManager empty;
    empty.SortBoxes();
    EXPECT_TRUE(empty.m_boxes.empty());
    EXPECT_EQ(nullptr, empty.FindLeftmostBox());
}

TEST_F(BoxList, LoadSortsAndMovesBoxesOnScreen)
{
    Add(list, 0, 100, 300, L"A");
    Add(list, 1, 120, 50, L"B");
    Add(list, 2, 125, 50, L"C");
    Add(list, 3, 500, 10, L"D");
    ASSERT_TRUE(list.Save(boxFile.c_str()));

    config.m_bLock = TRUE;
    CTarneloInfoManager loaded;
    Bind(loaded);
    ASSERT_TRUE(loaded.Load(boxFile.c_str()));
    EXPECT_EQ(CString(L"B"), At(loaded, 0)->m_strName);
    EXPECT_EQ(CString(L"D"), At(loaded, 3)->m_strName);
    EXPECT_EQ(TRUE, config.m_bLock) << "nothing moved";

    At(loaded, 3)->m_pos = {-500, 100};
    ASSERT_TRUE(loaded.Save(boxFile.c_str()));
    ASSERT_TRUE(loaded.Load(boxFile.c_str()));
    EXPECT_EQ(FALSE, config.m_bLock);
    // The moved box is now at x 5, the leftmost column.
    EXPECT_EQ(CString(L"D"), At(loaded, 0)->m_strName);
    EXPECT_EQ(5, At(loaded, 0)->m_pos.x);
}

TEST_F(BoxList, NewBoxIdsAndDeletion)
{
    CTarneloInfo* first = list.AddNewBox();
    EXPECT_EQ(1u, first->m_nId);
    EXPECT_TRUE(IsFolder(files + L"\\001"));

    ASSERT_TRUE(list.Load(boxFile.c_str()));  // the defaults, 0 to 5
    CTarneloInfo* added = list.AddNewBox();
    EXPECT_EQ(6u, added->m_nId);
    EXPECT_EQ(CString((files + L"\\006").c_str()), added->m_strFolder);
    EXPECT_TRUE(IsFolder(files + L"\\006"));
    EXPECT_EQ(7u, list.m_boxes.size());
    EXPECT_EQ(added, list.m_boxes.back());

    WriteBytes(files + L"\\006\\left.url", Bytes{'x'});
    list.DeleteBox(added);
    EXPECT_EQ(6u, list.m_boxes.size());
    EXPECT_TRUE(Exists(files + L"\\006\\left.url")) << "box folders stay";
    CTarneloInfo* again = list.AddNewBox();
    EXPECT_EQ(6u, again->m_nId);
    EXPECT_TRUE(again->m_items.empty());

    CTarneloInfo stranger;
    list.DeleteBox(&stranger);
    list.DeleteBox(nullptr);
    EXPECT_EQ(7u, list.m_boxes.size());

    // Ids compare as signed numbers.
    CTarneloInfoManager odd;
    Bind(odd);
    Add(odd, 0xFFFFFFFFu, 0, 0, L"minus one");
    Add(odd, 3, 0, 0, L"three");
    EXPECT_EQ(4u, odd.AddNewBox()->m_nId);

    list.RemoveAll();
    EXPECT_TRUE(list.m_boxes.empty());
}

TEST_F(BoxList, BoxFolderNames)
{
    EXPECT_EQ(CString((files + L"\\000").c_str()), list.GetBoxFolder(0));
    EXPECT_EQ(CString((files + L"\\042").c_str()), list.GetBoxFolder(42));
    EXPECT_EQ(CString((files + L"\\1000").c_str()), list.GetBoxFolder(1000));
    EXPECT_EQ(CString((files + L"\\4294967295").c_str()), list.GetBoxFolder(0xFFFFFFFFu));
}

namespace {

// A 24-bit bottom-up BMP of the given size.
Bytes MakeBmp(int width, int height)
{
    const int row = (width * 3 + 3) & ~3;
    Writer w;
    w.U8('B').U8('M').U32(54 + row * height).U32(0).U32(54);
    w.U32(40).U32(width).U32(height).U16(1).U16(24).U32(0).U32(row * height).U32(2835).U32(2835).U32(0).U32(0);
    for (int i = 0; i < row * height; ++i)
        w.U8(0x80);
    return w.bytes;
}

}  // namespace

TEST_F(BoxList, LargestIconImage)
{
    GdiplusRun gdiplus;
    SIZE size = {};
    list.GetMaxIconSize(&size);
    EXPECT_EQ(16, size.cx);
    EXPECT_EQ(16, size.cy);

    ::CreateDirectoryW((icons + L"\\set").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(icons + L"\\set\\small.bmp", MakeBmp(8, 8)));
    ASSERT_TRUE(WriteBytes(icons + L"\\set\\wide.bmp", MakeBmp(40, 12)));
    ASSERT_TRUE(WriteBytes(icons + L"\\set\\tall.bmp", MakeBmp(10, 24)));
    Add(list, 0, 0, 0, L"a")->m_strIcon = L"set\\small.bmp";
    list.GetMaxIconSize(&size);
    EXPECT_EQ(16, size.cx);
    EXPECT_EQ(16, size.cy);
    Add(list, 1, 0, 0, L"b")->m_strIcon = L"set\\wide.bmp";
    Add(list, 2, 0, 0, L"c")->m_strIcon = L"set\\missing.png";
    Add(list, 3, 0, 0, L"d")->m_strIcon = L"set\\tall.bmp";
    list.GetMaxIconSize(&size);
    EXPECT_EQ(40, size.cx);
    EXPECT_EQ(24, size.cy);
}
