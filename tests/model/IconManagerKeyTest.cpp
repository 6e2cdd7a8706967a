// The icon cache's keys: shared keys per kind, per-item "ext" keys and their numbering,
// GetIcon's lazy loading, DeleteIcon's release of per-item keys only, and broken files made again.
#include <gtest/gtest.h>

#include "IconManagerTestSupport.h"
#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "model/IconManager.h"

using namespace IconTest;
using Model::IconManager;

namespace {

const int kFile = 1;
const int kFolder = 2;
const int kShortcut = 3;
const int kInternetShortcut = 4;

class IconKeyTest : public ::testing::Test
{
protected:
    IconKeyTest()
    {
        ::CreateDirectoryW(Items().c_str(), nullptr);
    }

    std::wstring Cache() const { return m_temp / L"data\\fileIcons"; }
    std::wstring Items() const { return m_temp / L"items"; }
    std::wstring CacheFile(const std::wstring& name) const { return Cache() + L"\\" + name; }

    // An empty file (or folder) among the items; returns its path.
    std::wstring MakeItem(const std::wstring& name)
    {
        const std::wstring path = Items() + L"\\" + name;
        EXPECT_TRUE(WriteBytes(path, Bytes()));
        return path;
    }
    std::wstring MakeFolder(const std::wstring& name)
    {
        const std::wstring path = Items() + L"\\" + name;
        EXPECT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
        return path;
    }

    // Seeds the cache folder before Init.
    void Seed(const std::wstring& name, const Bytes& bytes = Bytes{1})
    {
        CreateDirectoryTree(Cache().c_str());
        ASSERT_TRUE(WriteBytes(CacheFile(name), bytes));
    }

    CString Register(IconManager& cache, int type, const std::wstring& path)
    {
        CString key(L"unset");
        EXPECT_TRUE(cache.RegisterIcon(type, path.c_str(), key));
        return key;
    }

    const IconManager::_ICON_INFO* Entry(const IconManager& cache, const wchar_t* key)
    {
        for (const IconManager::_ICON_INFO& info : cache.GetIcons())
            if (info.strKey == key)
                return &info;
        return nullptr;
    }

    TempFolder m_temp;
};

TEST_F(IconKeyTest, InitCreatesTheFolderAndAnEmptyFolderStartsAtExt2)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_TRUE(Exists(Cache()));
    EXPECT_EQ(cache.GetFolder(), Cache().c_str());
    EXPECT_EQ(cache.GetNextExt(), 2);
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Tool.exe")), L"ext2");
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Other.EXE")), L"ext3");
}

TEST_F(IconKeyTest, NumberingContinuesAfterTheFilesOfEarlierRuns)
{
    Seed(L"ext2.si");
    Seed(L"ext7.si");
    Seed(L"ext7.li");
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(cache.GetNextExt(), 8);
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Tool.exe")), L"ext8");
}

TEST_F(IconKeyTest, NumberingCountsLargeFilesAndIgnoresWhatIsNoNumber)
{
    {
        TempFolder other;
        ASSERT_TRUE(WriteBytes(other / L"ext9.li", Bytes{1}));
        ASSERT_TRUE(WriteBytes(other / L"ext3.si", Bytes{1}));
        IconManager cache;
        cache.Init(other.Path().c_str());
        EXPECT_EQ(cache.GetNextExt(), 10);
    }
    {
        TempFolder other;
        ASSERT_TRUE(WriteBytes(other / L"extabc.si", Bytes{1}));     // no digits: 0
        ASSERT_TRUE(WriteBytes(other / L"ext4abc.si", Bytes{1}));    // digits as far as they go
        ASSERT_TRUE(WriteBytes(other / L"ext99999999999.si", Bytes{1}));  // beyond any counter
        ASSERT_TRUE(::CreateDirectoryW((other / L"ext50.si").c_str(), nullptr));  // a folder
        ASSERT_TRUE(WriteBytes(other / L"ext60.txt", Bytes{1}));
        ASSERT_TRUE(WriteBytes(other / L"txt.si", Bytes{1}));
        IconManager cache;
        cache.Init(other.Path().c_str());
        EXPECT_EQ(cache.GetNextExt(), 5);
    }
}

TEST_F(IconKeyTest, NeverHandsOutANumberWhoseFilesExist)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    ASSERT_EQ(cache.GetNextExt(), 2);
    // Files that appear after start-up, of either size.
    Seed(L"ext2.li", Bytes{7});
    Seed(L"ext3.si", Bytes{8});
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Tool.exe")), L"ext4");
    EXPECT_EQ(ReadBytes(CacheFile(L"ext2.li")), Bytes{7});
    EXPECT_EQ(ReadBytes(CacheFile(L"ext3.si")), Bytes{8});
}

TEST_F(IconKeyTest, FoldersShareOneKeyAndTheSecondAsksNothing)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(Register(cache, kFolder, MakeFolder(L"Work")), L"folder");
    // A folder whose name has a dot is still a folder.
    const std::wstring second = MakeFolder(L"Photos.2024");
    ASSERT_TRUE(::DeleteFileW(CacheFile(L"folder.si").c_str()) || !Exists(CacheFile(L"folder.si")));
    ::DeleteFileW(CacheFile(L"folder.li").c_str());
    EXPECT_EQ(Register(cache, kFolder, second), L"folder");
    EXPECT_FALSE(Exists(CacheFile(L"folder.si")));
    EXPECT_FALSE(Exists(CacheFile(L"folder.li")));
    EXPECT_EQ(cache.GetIcons().size(), 1u);
}

TEST_F(IconKeyTest, FilesOfOneExtensionShareItsLowerCaseKey)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Readme.TXT")), L"txt");
    const IconManager::_ICON_INFO* entry = Entry(cache, L"txt");
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->hSmall, nullptr);
    ASSERT_NE(entry->hLarge, nullptr);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GetIconSize(entry->hSmall, width, height));
    EXPECT_EQ(width, 16);
    ASSERT_TRUE(GetIconSize(entry->hLarge, width, height));
    EXPECT_EQ(width, 32);
    // The shell's icons are stored at 32 bits: 16 x 16 in 1150 bytes, 32 x 32 in 4286, and
    // they load back at their size.
    const Bytes small = ReadBytes(CacheFile(L"txt.si"));
    const Bytes large = ReadBytes(CacheFile(L"txt.li"));
    ASSERT_EQ(small.size(), 1150u);
    ASSERT_EQ(large.size(), 4286u);
    EXPECT_EQ(small[6], 16);
    EXPECT_EQ(small[12], 32);
    EXPECT_EQ(large[22 + 8], 64);   // height of colour and mask
    EXPECT_EQ(large[22 + 20], 0x80);  // 4224 bytes of bits
    EXPECT_EQ(large[22 + 21], 0x10);
    OwnedIcon loaded(IconManager::LoadIconFile(CacheFile(L"txt.li").c_str()));
    ASSERT_TRUE(GetIconSize(loaded.get(), width, height));
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 32);

    EXPECT_EQ(Register(cache, kFile, MakeItem(L"notes.txt")), L"txt");
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"a.Txt")), L"txt");
    EXPECT_EQ(cache.GetIcons().size(), 1u);
    EXPECT_EQ(ListFolder(Cache()), (std::vector<std::wstring>{L"txt.li", L"txt.si"}));
}

TEST_F(IconKeyTest, AStoredKeyOfAnEarlierRunIsLoadedNotAskedAgain)
{
    // Icons of an unusual size prove that the files were used, not the shell.
    CreateDirectoryTree(Cache().c_str());
    OwnedIcon icon(MakeTestIcon(20));
    ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, CacheFile(L"txt.si").c_str()));
    ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, CacheFile(L"txt.li").c_str()));
    const Bytes before = ReadBytes(CacheFile(L"txt.si"));

    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"a.txt")), L"txt");
    const IconManager::_ICON_INFO* entry = Entry(cache, L"txt");
    ASSERT_NE(entry, nullptr);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GetIconSize(entry->hSmall, width, height));
    EXPECT_EQ(width, 20);
    ASSERT_TRUE(GetIconSize(entry->hLarge, width, height));
    EXPECT_EQ(width, 20);
    EXPECT_EQ(ReadBytes(CacheFile(L"txt.si")), before);
}

TEST_F(IconKeyTest, ProgramsShortcutsAndInternetShortcutsGetKeysOfTheirOwn)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    const std::wstring program = MakeItem(L"Tool.exe");
    EXPECT_EQ(Register(cache, kFile, program), L"ext2");
    EXPECT_EQ(Register(cache, kFile, program), L"ext3");
    const IconManager::_ICON_INFO* first = Entry(cache, L"ext2");
    const IconManager::_ICON_INFO* second = Entry(cache, L"ext3");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->hSmall && first->hLarge && second->hSmall && second->hLarge);
    EXPECT_EQ(ListFolder(Cache()), (std::vector<std::wstring>{L"ext2.li", L"ext2.si", L"ext3.li", L"ext3.si"}));
    EXPECT_EQ(Register(cache, kShortcut, MakeItem(L"Editor.LNK")), L"ext4");
    EXPECT_EQ(Register(cache, kInternetShortcut, MakeItem(L"Site.url")), L"ext5");
    EXPECT_EQ(cache.GetIcons().size(), 4u);
    EXPECT_EQ(cache.GetNextExt(), 6);
}

TEST_F(IconKeyTest, AnItemWithoutAShellIconStillGetsAKey)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(Register(cache, kFile, Items() + L"\\ghost.exe"), L"ext2");
    EXPECT_EQ(Register(cache, kFile, Items() + L"\\ghost.doc"), L"doc");
    const IconManager::_ICON_INFO* entry = Entry(cache, L"ext2");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->hSmall, nullptr);
    EXPECT_EQ(entry->hLarge, nullptr);
    EXPECT_TRUE(ListFolder(Cache()).empty());
    EXPECT_EQ(Register(cache, kFile, Items() + L"\\ghost.exe"), L"ext3");

    // A later item of a kind that has no icon yet brings its icon.
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"letter.doc")), L"doc");
    const IconManager::_ICON_INFO* doc = Entry(cache, L"doc");
    ASSERT_NE(doc, nullptr);
    EXPECT_NE(doc->hSmall, nullptr);
    EXPECT_NE(doc->hLarge, nullptr);
    EXPECT_EQ(ListFolder(Cache()), (std::vector<std::wstring>{L"doc.li", L"doc.si"}));
}

TEST_F(IconKeyTest, AnUnresolvedItemDoesNotSetTheIconOfFilesWithoutExtension)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    // A shortcut whose target could not be read has an empty resolved path.
    EXPECT_EQ(Register(cache, kFile, L""), L"");
    const IconManager::_ICON_INFO* entry = Entry(cache, L"");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->hSmall, nullptr);
    EXPECT_EQ(entry->hLarge, nullptr);
    EXPECT_TRUE(ListFolder(Cache()).empty());
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"README")), L"");
    EXPECT_NE(entry->hSmall, nullptr);
    EXPECT_EQ(ListFolder(Cache()), (std::vector<std::wstring>{L".li", L".si"}));
}

TEST_F(IconKeyTest, AFileWithoutADotGetsTheEmptyKey)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"README")), L"");
    EXPECT_TRUE(Exists(CacheFile(L".si")));
    EXPECT_TRUE(Exists(CacheFile(L".li")));
}

TEST_F(IconKeyTest, AKeyWithAPathSeparatorNeverNamesAFileOutsideTheCache)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    // The "extension" of this path is "v2\makefile": the item takes the key of files
    // without an extension instead.
    const std::wstring path = MakeFolder(L"proj.v2") + L"\\Makefile";
    ASSERT_TRUE(WriteBytes(path, Bytes()));
    ASSERT_EQ(GetExtension(path.c_str()), L"v2\\makefile");
    EXPECT_EQ(Register(cache, kFile, path), L"");
    EXPECT_EQ(ListFolder(Cache()), (std::vector<std::wstring>{L".li", L".si"}));

    // With a "v2" folder inside the cache, nothing is written into it either.
    ASSERT_TRUE(::CreateDirectoryW(CacheFile(L"v2").c_str(), nullptr));
    IconManager fresh;
    fresh.Init(Cache().c_str());
    EXPECT_EQ(Register(fresh, kFile, path), L"");
    EXPECT_TRUE(ListFolder(CacheFile(L"v2")).empty());

    // Nor are device names: "aux.si" would open a device, not a file.
    EXPECT_EQ(Register(fresh, kFile, MakeItem(L"paper.aux")), L"");
    EXPECT_EQ(Register(fresh, kFile, MakeItem(L"dump.NUL")), L"");
    EXPECT_EQ(Register(fresh, kFile, MakeItem(L"x.com1")), L"");
    EXPECT_EQ(Register(fresh, kFile, MakeItem(L"old.com")), L"com");
    EXPECT_EQ(Register(fresh, kFile, MakeItem(L"a.console")), L"console");

    // Stream names are no keys either.
    EXPECT_EQ(Register(fresh, kFile, Items() + L"\\a.txt:hidden"), L"");
}

TEST_F(IconKeyTest, AnExtensionShapedLikeAPerItemKeyDoesNotTakeItsIcon)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Tool.exe")), L"ext2");
    const Bytes programIcon = ReadBytes(CacheFile(L"ext2.si"));
    const CString key = Register(cache, kFile, MakeItem(L"backup.ext2"));
    EXPECT_EQ(key, L"ext3");
    EXPECT_EQ(ReadBytes(CacheFile(L"ext2.si")), programIcon);
    // Deleting that item releases its own key and leaves the program's icon.
    cache.DeleteIcon(key);
    EXPECT_NE(Entry(cache, L"ext2"), nullptr);
    EXPECT_EQ(ReadBytes(CacheFile(L"ext2.si")), programIcon);
}

TEST_F(IconKeyTest, DeleteIconReleasesOnlyPerItemKeys)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    Register(cache, kFile, MakeItem(L"a.txt"));
    Register(cache, kFolder, MakeFolder(L"Work"));
    Register(cache, kFile, MakeItem(L"notes.extra"));
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Tool.exe")), L"ext2");
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Tool2.exe")), L"ext3");
    const std::vector<std::wstring> before = ListFolder(Cache());
    ASSERT_TRUE(Exists(CacheFile(L"ext2.si")));

    for (const wchar_t* shared : {L"txt", L"folder", L"ext", L"extra", L"", L"EXT2", L"ext2 "})
        cache.DeleteIcon(shared);
    EXPECT_EQ(ListFolder(Cache()), before);
    EXPECT_EQ(cache.GetIcons().size(), 5u);

    cache.DeleteIcon(L"ext2");
    EXPECT_FALSE(Exists(CacheFile(L"ext2.si")));
    EXPECT_FALSE(Exists(CacheFile(L"ext2.li")));
    EXPECT_EQ(Entry(cache, L"ext2"), nullptr);
    EXPECT_NE(Entry(cache, L"ext3"), nullptr);
    EXPECT_TRUE(Exists(CacheFile(L"ext3.si")));
    EXPECT_EQ(cache.GetIcons().size(), 4u);

    // A per-item key that is not listed keeps its files.
    Seed(L"ext9.si");
    cache.DeleteIcon(L"ext9");
    EXPECT_TRUE(Exists(CacheFile(L"ext9.si")));
}

TEST_F(IconKeyTest, GetIconLoadsOnceAndCachesTheHandle)
{
    {
        IconManager first;
        first.Init(Cache().c_str());
        ASSERT_EQ(Register(first, kFile, MakeItem(L"a.txt")), L"txt");
        const IconManager::_ICON_INFO* entry = Entry(first, L"txt");
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(first.GetIcon(L"txt", 0), entry->hSmall);
        EXPECT_EQ(first.GetIcon(L"txt", 1), entry->hLarge);
    }
    IconManager cache;
    cache.Init(Cache().c_str());
    HICON small = cache.GetIcon(L"txt", 0);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(cache.GetIcons().size(), 1u);
    // Loaded once: the files may go, the handles stay.
    ASSERT_TRUE(::DeleteFileW(CacheFile(L"txt.si").c_str()));
    EXPECT_EQ(cache.GetIcon(L"txt", 0), small);
    HICON large = cache.GetIcon(L"txt", 1);
    ASSERT_NE(large, nullptr);
    EXPECT_NE(large, small);
    EXPECT_EQ(cache.GetIcon(L"txt", 1), large);
    EXPECT_EQ(cache.GetIcons().size(), 1u);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GetIconSize(small, width, height));
    int largeWidth = 0;
    ASSERT_TRUE(GetIconSize(large, largeWidth, height));
    EXPECT_LT(width, largeWidth);
}

TEST_F(IconKeyTest, GetIconHoldsABoundedNumberOfHandles)
{
    // Far more per-item keys than the cache holds handles for, each with its file.
    OwnedIcon icon(MakeTestIcon(16));
    const size_t keys = IconManager::kMaxHandles + 20;
    auto key = [](size_t i) { return L"ext" + std::to_wstring(i + 2); };
    IconManager cache;
    cache.Init(Cache().c_str());
    for (size_t i = 0; i < keys; ++i)
        ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, CacheFile(key(i) + L".si").c_str()));
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    for (size_t i = 0; i < keys; ++i)
        ASSERT_NE(cache.GetIcon(key(i).c_str(), 0), nullptr);
    EXPECT_EQ(cache.GetHandleCount(), IconManager::kMaxHandles);
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before + 2 * IconManager::kMaxHandles);
    // The least recently asked-for went, and comes back from its file when asked for.
    ASSERT_NE(Entry(cache, L"ext2"), nullptr);
    EXPECT_EQ(Entry(cache, L"ext2")->hSmall, nullptr);
    EXPECT_NE(Entry(cache, key(keys - 1).c_str())->hSmall, nullptr);
    EXPECT_NE(cache.GetIcon(L"ext2", 0), nullptr);
    EXPECT_EQ(cache.GetHandleCount(), IconManager::kMaxHandles);
}

TEST_F(IconKeyTest, GetIconOfAKeyWithoutFilesLooksForThemOnceAndLogsAWarning)
{
    struct LogOff { ~LogOff() { LogInit(nullptr); } } logOff;
    TempFolder logs;
    LogInit(logs.Path().c_str());
    IconManager cache;
    cache.Init(Cache().c_str());
    EXPECT_EQ(cache.GetIcon(L"ext12", 0), nullptr);
    EXPECT_EQ(cache.GetIcon(L"ext12", 0), nullptr);
    LogInit(nullptr);
    const std::wstring expected = L"Can't load icon:" + CacheFile(L"ext12.si");
    EXPECT_EQ(CountOccurrences(ReadLogs(logs.Path()), expected), 1);
}

TEST_F(IconKeyTest, GetIconNeverReadsOutsideTheCacheFolder)
{
    IconManager cache;
    cache.Init(Cache().c_str());
    OwnedIcon icon(MakeTestIcon(16));
    ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, (m_temp / L"data\\outside.si").c_str()));
    EXPECT_EQ(cache.GetIcon(L"..\\outside", 0), nullptr);
    EXPECT_EQ(cache.GetIcon(L"../outside", 0), nullptr);
    EXPECT_TRUE(cache.GetIcons().empty());
}

TEST_F(IconKeyTest, RegisteringWithAnUnwritableCacheStillGivesTheKey)
{
    // The cache folder cannot be made: a file stands where its parent should be.
    ASSERT_TRUE(WriteBytes(m_temp / L"blocked", Bytes{1}));
    IconManager cache;
    cache.Init((m_temp / L"blocked\\fileIcons").c_str());
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"a.txt")), L"txt");
    EXPECT_EQ(Register(cache, kFile, MakeItem(L"Tool.exe")), L"ext2");
    const IconManager::_ICON_INFO* entry = Entry(cache, L"txt");
    ASSERT_NE(entry, nullptr);
    EXPECT_NE(entry->hSmall, nullptr);  // kept in memory for this run
    EXPECT_EQ(cache.GetIcon(L"txt", 0), entry->hSmall);

    // A large file held open elsewhere stays as it was; the small one is written.
    IconManager other;
    other.Init(Cache().c_str());
    Seed(L"doc.li", Bytes{1, 2, 3});
    {
        HandleHolder holder(::CreateFileW(CacheFile(L"doc.li").c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.IsValid());
        EXPECT_EQ(Register(other, kFile, MakeItem(L"letter.doc")), L"doc");
    }
    EXPECT_EQ(ReadBytes(CacheFile(L"doc.li")), (Bytes{1, 2, 3}));
    EXPECT_GE(ReadBytes(CacheFile(L"doc.si")).size(), 62u);
}

TEST_F(IconKeyTest, BrokenIconFilesAreMadeAgainUnderTheirKeys)
{
    const Bytes whole = ExpectedTestIconFile(16), cut(whole.begin(), whole.begin() + 600), junk(1150, 0x5A);
    // A small file that another program holds without sharing (whatever the large one holds),
    // or a folder in its place, is left as it is, and the next key (ext6) is made all the same.
    enum Block { kNone, kHeld, kFolder };
    struct Case { const char* what; const wchar_t* key; Bytes small; Bytes large; bool remade; Block block = kNone; };
    for (const Case& c : {Case{"empty", L"ext5", {}, {}, true}, Case{"cut short", L"ext5", cut, cut, true},
                          Case{"garbage", L"ext5", junk, junk, true}, Case{"empty large", L"ext5", whole, {}, true},
                          Case{"shared", L"txt", whole, junk, true}, Case{"whole", L"ext5", whole, whole, false},
                          Case{"held", L"ext5", {}, whole, false, kHeld},
                          Case{"held, large broken", L"ext5", {}, junk, false, kHeld},
                          Case{"folder", L"ext7", {}, {}, true, kFolder}}) {
        const std::wstring small = CacheFile(c.key + std::wstring(L".si")), large = CacheFile(c.key + std::wstring(L".li"));
        Seed(c.key + std::wstring(L".li"), c.large);
        ::DeleteFileW(CacheFile(L"ext6.si").c_str());
        ASSERT_TRUE(c.block == kFolder ? ::CreateDirectoryW(small.c_str(), nullptr) && ::DeleteFileW(large.c_str())
                                       : WriteBytes(small, c.small));
        {
            HandleHolder holder(c.block != kHeld ? INVALID_HANDLE_VALUE
                                : ::CreateFileW(small.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            IconManager cache;
            cache.Init(Cache().c_str());
            EXPECT_EQ(c.remade, cache.RemakeBrokenIcon(kFile, MakeItem(L"a.txt").c_str(), c.key) != FALSE) << c.what;
            EXPECT_TRUE(cache.RemakeBrokenIcon(kFile, MakeItem(L"a.txt").c_str(), L"ext6")) << c.what;
        }
        for (const std::wstring& path : {small, large, CacheFile(L"ext6.si"), CacheFile(L"ext6.li")}) {
            OwnedIcon loaded(IconManager::LoadIconFile(path.c_str()));
            const bool kept = c.block == kHeld && path == large;  // as it was
            EXPECT_EQ(loaded.get() != nullptr, kept ? c.large == whole : c.block == kNone || path != small) << c.what;
        }
        EXPECT_TRUE(c.block != kHeld || (ReadBytes(small) == c.small && ReadBytes(large) == c.large)) << c.what;
        EXPECT_TRUE(c.block != kFolder || IsDirectory(small.c_str())) << c.what;
    }
}

TEST_F(IconKeyTest, IconsThatCannotBeStoredStayWithinTheHandleLimit)
{
    // Made again where folders stand in the files' place, then registered once the cache folder
    // has gone. An icon let go of at the limit was never stored: there is no file to look for.
    IconManager cache;
    cache.Init(Cache().c_str());
    auto key = [](size_t i) { return L"ext" + std::to_wstring(i + 2); };
    for (size_t i = 0; i <= IconManager::kMaxHandles / 2; ++i) {
        CreateDirectoryTree(CacheFile(key(i) + L".si").c_str());
        CreateDirectoryTree(CacheFile(key(i) + L".li").c_str());
        cache.RemakeBrokenIcon(kFile, MakeItem(L"a.txt").c_str(), key(i).c_str());
    }
    EXPECT_EQ(cache.GetHandleCount(), IconManager::kMaxHandles);
    ASSERT_TRUE(::MoveFileW(Cache().c_str(), (m_temp / L"moved").c_str()) && WriteBytes(Cache(), Bytes{1}));
    Register(cache, kFile, MakeItem(L"Tool.exe"));
    EXPECT_EQ(cache.GetHandleCount(), IconManager::kMaxHandles);
    TempFolder logs;
    LogInit(logs.Path().c_str());
    EXPECT_EQ(cache.GetIcon(key(IconManager::kMaxHandles / 2).c_str(), 0), nullptr);
    LogInit(nullptr);
    EXPECT_EQ(CountOccurrences(ReadLogs(logs.Path()), L"Can't load icon:"), 0);
}

}  // namespace
