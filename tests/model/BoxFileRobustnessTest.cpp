// "tarnelo.ser" against damaged input and failing disks: no crash, no allocation from an
// unchecked length, the user's file kept aside before anything can overwrite it, and a
// failed save that leaves the old file as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <thread>

#include "BoxTestSupport.h"
#include "core/PathHelpers.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/IconManager.h"

using Model::CTarneloInfo;
using Model::CTarneloInfoManager;
using namespace BoxTest;

// The replaced operator new below takes from malloc and operator delete gives back with free;
// GCC, seeing only the inlined standard operators, takes that pair for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// The largest single allocation made while watched: a loader that trusts a length from the
// file shows here as a request far beyond the file's size.
namespace {
std::atomic<bool> g_watchAllocations{false};
std::atomic<size_t> g_largestAllocation{0};
}  // namespace

void* operator new(std::size_t size)
{
    if (g_watchAllocations.load(std::memory_order_relaxed)) {
        size_t seen = g_largestAllocation.load(std::memory_order_relaxed);
        while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

class BoxFileDamage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        files = tmp / L"files";
        boxFile = tmp / L"tarnelo.ser";
        ::CreateDirectoryW(files.c_str(), nullptr);
        screen = ExampleScreen();
    }
    void Bind(CTarneloInfoManager& manager)
    {
        manager.Bind(files.c_str(), (tmp / L"icons").c_str(), nullptr, &config);
        manager.SetScreenInfo(&screen);
    }
    // Loads bytes as the box file, watching allocations; returns the result.
    BOOL LoadWatched(const Bytes& bytes, CTarneloInfoManager& manager, size_t& largest)
    {
        WriteBytes(boxFile, bytes);
        g_largestAllocation = 0;
        g_watchAllocations = true;
        const BOOL result = manager.Load(boxFile.c_str());
        g_watchAllocations = false;
        largest = g_largestAllocation;
        return result;
    }
    // The bytes of the copy the last load kept of a damaged file, which then goes, so that
    // the next damaged file is kept under the first name again.
    Bytes TakeKeptCopy(const CTarneloInfoManager& manager)
    {
        CString copy;
        if (!manager.WasDamaged(&copy) || copy.IsEmpty())
            return Bytes{ 0xDE, 0xAD };
        const Bytes bytes = ReadBytes(copy.GetString());
        ::DeleteFileW(copy);
        return bytes;
    }

    TempFolder tmp;
    std::wstring files, boxFile;
    CTarneloInfo::_SCREEN_INFO screen;
    Model::CConfigInfo config;
};

// A valid file with three boxes, items of every type, a long name and hot keys.
Bytes ValidFile()
{
    Writer w;
    w.U32(1003).Str(L"").U32(3);
    w.U32(0).U32(100).U32(10).Str(L"One").U32(2);
    w.U32(3).Str(L"a.lnk").Str(L"C:\\nowhere\\000\\a.lnk").Str(L"ext2");
    w.U32(4).Str(L"b.url").Str(L"C:\\nowhere\\000\\b.url").Str(L"ext3");
    w.U32(2).U32(0x41).U32(0).U32(0x00112233).Str(L"set\\one.png");
    w.U32(1).U32(100).U32(50).Str(std::wstring(300, L'x')).U32(1);
    w.U32(1).Str(L"doc.txt").Str(L"C:\\nowhere\\001\\doc.lnk").Str(L"txt");
    w.U32(0).U32(0).U32(7).U32(0x00404040).Str(L"");
    w.U32(2).U32(400).U32(90).Str(L"Three").U32(0).U32(6).U32(0x5A).U32(0).U32(0).Str(L"set\\three.png");
    return w.bytes;
}

}  // namespace

TEST_F(BoxFileDamage, ValidFileLoadsWhole)
{
    CTarneloInfoManager manager;
    Bind(manager);
    size_t largest = 0;
    ASSERT_TRUE(LoadWatched(ValidFile(), manager, largest));
    ASSERT_EQ(3u, manager.m_boxes.size());
    EXPECT_FALSE(Exists(boxFile + L".bad"));
    EXPECT_LT(largest, 64u * 1024);
}

TEST_F(BoxFileDamage, EveryPrefixFailsSafely)
{
    const Bytes valid = ValidFile();
    for (size_t length = 0; length < valid.size(); ++length) {
        SCOPED_TRACE(length);
        const Bytes prefix(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(length));
        CTarneloInfoManager manager;
        Bind(manager);
        size_t largest = 0;
        ASSERT_FALSE(LoadWatched(prefix, manager, largest));
        EXPECT_LT(largest, 64u * 1024);
        EXPECT_LT(manager.m_boxes.size(), 3u);
        for (const CTarneloInfo* box : manager.m_boxes)
            EXPECT_NE(CString(L"Apps"), box->m_strName) << "no default boxes over a damaged file";
        EXPECT_EQ(prefix, ReadBytes(boxFile)) << "a failed load writes nothing";
        EXPECT_EQ(prefix, TakeKeptCopy(manager)) << "kept aside";
        EXPECT_FALSE(Exists(boxFile + L".temp"));
    }
    EXPECT_NE(std::wstring::npos, tmp.Logs().find(L"[ERR!] CTarneloInfoManager::Load(128)"));
    EXPECT_NE(std::wstring::npos, tmp.Logs().find(L"[ERR!] Model::CTarneloInfoManager::LoadBox(332)"));
}

TEST_F(BoxFileDamage, RecordsBeforeADamagedOneAreKept)
{
    Bytes bytes = ValidFile();
    bytes.resize(bytes.size() - 3);  // the third record is cut
    CTarneloInfoManager manager;
    Bind(manager);
    size_t largest = 0;
    EXPECT_FALSE(LoadWatched(bytes, manager, largest));
    ASSERT_EQ(2u, manager.m_boxes.size());
    EXPECT_EQ(CString(L"One"), manager.m_boxes.front()->m_strName);

    // The same file read again is not copied again.
    EXPECT_FALSE(LoadWatched(bytes, manager, largest));
    CString copy;
    EXPECT_TRUE(manager.WasDamaged(&copy));
    EXPECT_EQ(CString((boxFile + L".bad").c_str()), copy);
    EXPECT_FALSE(Exists(boxFile + L".bad2"));

    // Saving then writes what was read; the damaged original stays in the ".bad" copy, and a
    // later damaged file is kept beside it, never over it.
    ASSERT_TRUE(manager.Save(boxFile.c_str()));
    EXPECT_EQ(bytes, ReadBytes(boxFile + L".bad"));
    const Bytes valid = ValidFile();
    const Bytes other(valid.begin(), valid.begin() + 20);
    EXPECT_FALSE(LoadWatched(other, manager, largest));
    EXPECT_EQ(bytes, ReadBytes(boxFile + L".bad"));
    EXPECT_EQ(other, ReadBytes(boxFile + L".bad2"));
    EXPECT_TRUE(manager.WasDamaged(&copy));
    EXPECT_EQ(CString((boxFile + L".bad2").c_str()), copy);

    for (int n = 2; n <= 999; ++n)  // every copy name taken: not copied, the boxes read take no files
        WriteBytes(boxFile + L".bad" + std::to_wstring(n), Bytes{ 1 });
    EXPECT_TRUE(!LoadWatched(bytes, manager, largest) && manager.m_boxes.front()->m_bBoxFileUnread);
    // A file read whole is no damage.
    EXPECT_TRUE(LoadWatched(valid, manager, largest));
    EXPECT_FALSE(manager.WasDamaged(&copy));
    EXPECT_TRUE(copy.IsEmpty());
}

TEST_F(BoxFileDamage, BytesBeyondTheCountedRecordsAreDamage)
{
    const Bytes valid = ValidFile();
    Bytes shortCount = valid;
    shortCount[4 + 4] = 1;  // the count after the version and the empty reserved string
    Bytes tail = valid;
    for (int i = 0; i < 100; ++i)
        tail.push_back(static_cast<uint8_t>(i * 37 + 11));
    Bytes oneMore = valid;
    oneMore.push_back(0);
    const struct
    {
        Bytes bytes;
        size_t boxes;
    } cases[] = { { shortCount, 1u }, { tail, 3u }, { oneMore, 3u } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        CTarneloInfoManager manager;
        Bind(manager);
        size_t largest = 0;
        EXPECT_FALSE(LoadWatched(c.bytes, manager, largest));
        EXPECT_EQ(c.boxes, manager.m_boxes.size()) << "the counted boxes are read";
        EXPECT_EQ(c.bytes, TakeKeptCopy(manager));
    }
    EXPECT_NE(std::wstring::npos, tmp.Logs().find(L"[ERR!] box file: more bytes than its boxes"));
}

TEST_F(BoxFileDamage, ImpossibleCountsAndLengths)
{
    std::vector<Bytes> inputs;
    {   // box count with the top bit set
        Writer w;
        w.U32(1003).Str(L"").U32(0x80000000u);
        inputs.push_back(w.bytes);
    }
    {   // a huge box count over a short file
        Writer w;
        w.U32(1003).Str(L"").U32(0x7FFFFFFFu).U32(0).U32(0).U32(0);
        inputs.push_back(w.bytes);
    }
    {   // negative and huge item counts
        for (uint32_t count : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x10000000u}) {
            Writer w;
            w.U32(1003).Str(L"").U32(1).U32(0).U32(0).U32(0).Str(L"x").U32(count).U32(3).Str(L"a");
            inputs.push_back(w.bytes);
        }
    }
    {   // string lengths in every form, all beyond the file
        Writer a, b, c, d, e;
        a.U32(1003).U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFD);
        b.U32(1003).U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).U32(0x7FFFFFFF);
        c.U32(1003).U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0x7FFFFFFFULL);
        d.U32(1003).U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFFF).U64(0xFFFFFFFFFFFFFFFFULL);
        e.U32(1003).U8(0xFF).U16(0xFFFF).U32(0x40000000);  // 8-bit string of a gigabyte
        inputs.push_back(a.bytes);
        inputs.push_back(b.bytes);
        inputs.push_back(c.bytes);
        inputs.push_back(d.bytes);
        inputs.push_back(e.bytes);
    }
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        CTarneloInfoManager manager;
        Bind(manager);
        size_t largest = 0;
        EXPECT_FALSE(LoadWatched(inputs[i], manager, largest));
        EXPECT_LT(largest, 64u * 1024);
        EXPECT_EQ(inputs[i], TakeKeptCopy(manager));
    }
}

TEST_F(BoxFileDamage, SeededRandomMutations)
{
    const Bytes valid = ValidFile();
    std::mt19937 random(20161207);
    int loadedWhole = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = valid;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes && !bytes.empty(); ++c) {
            const size_t at = random() % bytes.size();
            switch (random() % 5) {
            case 0: bytes[at] = static_cast<uint8_t>(random()); break;
            case 1: bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
            case 2:  // a number of all ones or with the top bit set
                for (size_t k = at; k < bytes.size() && k < at + 4; ++k)
                    bytes[k] = (random() % 2) ? 0xFF : 0x7F;
                break;
            case 3: bytes.resize(at); break;
            default: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(random()));
            }
        }
        CTarneloInfoManager manager;
        Bind(manager);
        size_t largest = 0;
        const BOOL whole = LoadWatched(bytes, manager, largest);
        ASSERT_LT(largest, 64u * 1024) << "round " << round;
        if (whole) {
            ++loadedWhole;
        } else {
            ASSERT_EQ(bytes, TakeKeptCopy(manager)) << "round " << round;
        }
        ASSERT_EQ(bytes, ReadBytes(boxFile)) << "round " << round;
    }
    // Some mutations only change values (names, positions): those load whole.
    EXPECT_GT(loadedWhole, 0);
}

// A file another program holds (a backup or sync tool at logon) is whole: it is waited for a
// moment; held longer, it is neither copied aside as damaged nor saved over in this run.
TEST_F(BoxFileDamage, AHeldFileIsWaitedForAndNeverOverwritten)
{
    struct Case { const char* name; DWORD access; DWORD share; DWORD heldMs; };
    const Case cases[] = {
        { "sharing nothing, held through the load", GENERIC_READ, 0, INFINITE },
        { "written to, sharing reading, held through the load", GENERIC_WRITE, FILE_SHARE_READ, INFINITE },
        { "sharing nothing, held for a moment", GENERIC_READ, 0, 300 },
    };
    const Bytes original = ValidFile();
    SetHeldFileWaitMs(600);  // longer than the moment held, shorter than the real wait
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(boxFile, original));
        HANDLE held = ::CreateFileW(boxFile.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        std::thread release([&] { if (c.heldMs != INFINITE) { ::Sleep(c.heldMs); ::CloseHandle(held); } });
        CTarneloInfoManager manager;
        Bind(manager);
        const BOOL read = manager.Load(boxFile.c_str());
        release.join();
        if (c.heldMs != INFINITE) {
            EXPECT_TRUE(read);
            EXPECT_EQ(3u, manager.m_boxes.size());
            continue;
        }
        EXPECT_FALSE(read);
        EXPECT_TRUE(manager.m_boxes.empty()) << "no default boxes for a file that is there";
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), manager.GetLoadError());
        EXPECT_FALSE(manager.WasDamaged());
        ::CloseHandle(held);
        EXPECT_FALSE(Exists(boxFile + L".bad"));
        EXPECT_TRUE(manager.AddNewBox()->m_bBoxFileUnread) << "takes no files";
        EXPECT_FALSE(manager.Save(boxFile.c_str()));
        EXPECT_EQ(original, ReadBytes(boxFile));
        // Once it reads again, all is as before.
        EXPECT_TRUE(manager.Load(boxFile.c_str()));
        EXPECT_TRUE(manager.m_boxes.size() == 3 && !manager.AddNewBox()->m_bBoxFileUnread);
        EXPECT_TRUE(manager.Save(boxFile.c_str()));
    }
    SetHeldFileWaitMs(kHeldFileWaitMs);
}

TEST_F(BoxFileDamage, FailingSaveKeepsTheOldFile)
{
    CTarneloInfoManager manager;
    Bind(manager);
    ASSERT_TRUE(WriteBytes(boxFile, ValidFile()));
    ASSERT_TRUE(manager.Load(boxFile.c_str()));
    manager.m_boxes.front()->m_strName = L"changed";
    const Bytes original = ReadBytes(boxFile);

    // The temporary file cannot be made: a folder holds its name.
    ASSERT_TRUE(::CreateDirectoryW((boxFile + L".temp").c_str(), nullptr));
    EXPECT_FALSE(manager.Save(boxFile.c_str()));
    EXPECT_EQ(original, ReadBytes(boxFile));
    ::RemoveDirectoryW((boxFile + L".temp").c_str());

    // The old file cannot be replaced: it is read-only.
    ASSERT_TRUE(::SetFileAttributesW(boxFile.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(manager.Save(boxFile.c_str()));
    ::SetFileAttributesW(boxFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(original, ReadBytes(boxFile));
    EXPECT_GE(CountOccurrences(tmp.Logs(), L"[ERR!] box file: cannot"), 2);

    // The old file is open in another program that does not let it be replaced.
    HANDLE reader = ::CreateFileW(boxFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EXPECT_FALSE(manager.Save(boxFile.c_str()));
    ::CloseHandle(reader);
    EXPECT_EQ(original, ReadBytes(boxFile));

    // The box file's folder is gone.
    EXPECT_FALSE(manager.Save((tmp / L"no\\such\\tarnelo.ser").c_str()));

    EXPECT_TRUE(manager.Save(boxFile.c_str()));
    EXPECT_NE(original, ReadBytes(boxFile));
}

TEST_F(BoxFileDamage, AFailedLoadDoesNotSaveAtOnce)
{
    // A version-1001 file: the first record's item would get a new icon key (which saves the
    // file at once), but the second record is cut off.
    Writer w;
    w.U32(1001).Str(L"").U32(2);
    w.U32(0).U32(100).U32(10).Str(L"A").U32(1).U32(4).Str(L"a.url").Str(L"C:\\nowhere\\a.url");
    w.U32(0).U32(0x404040).Str(L"");
    w.U32(1).U32(100).U32(50).Str(L"B");
    const Bytes original = w.bytes;
    ASSERT_TRUE(WriteBytes(boxFile, original));

    Model::IconManager cache;
    cache.Init((tmp / L"fileIcons").c_str());
    CTarneloInfoManager manager;
    Bind(manager);
    manager.Bind(files.c_str(), (tmp / L"icons").c_str(), &cache, &config);
    EXPECT_FALSE(manager.Load(boxFile.c_str()));
    ASSERT_EQ(1u, manager.m_boxes.size());
    manager.CompletePendingWork();
    EXPECT_EQ(CString(L"ext"), manager.m_boxes.front()->m_items.front().strIconKey.Left(3)) << "key made";
    EXPECT_EQ(original, ReadBytes(boxFile));
    EXPECT_EQ(original, ReadBytes(boxFile + L".bad"));
}
