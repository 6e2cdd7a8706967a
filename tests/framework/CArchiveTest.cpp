#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArchiveTestSupport.h"
#include "TempFolder.h"
#include "framework/CArchive.h"
#include "framework/CFile.h"

namespace {

// Writes through an archive over a real file (4096-byte buffer unless told) and returns
// the file's bytes.
template <typename F>
std::vector<BYTE> StoreOnDisk(F&& write, int bufferSize = 4096)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"out.ser");
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    {
        CArchive ar(&file, CArchive::store, bufferSize);
        write(ar);
        ar.Close();
    }
    file.Close();
    return TempFolder::ReadBytes(path);
}

// Writes bytes to a real file and reads them back through an archive with f.
template <typename F>
void LoadFromDisk(const std::vector<BYTE>& bytes, F&& read, int bufferSize = 4096)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"in.ser");
    ASSERT_TRUE(TempFolder::WriteBytes(path, bytes));
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load, bufferSize);
    read(ar);
}

CString ReadString(const std::vector<BYTE>& bytes, bool knowsSize = true)
{
    MemoryFile file(bytes, knowsSize);
    CArchive ar(&file, CArchive::load);
    CString s(L"untouched");
    ar >> s;
    return s;
}

int ReadStringCause(const std::vector<BYTE>& bytes, bool knowsSize = true)
{
    return ArchiveCause([&] { ReadString(bytes, knowsSize); });
}

std::vector<BYTE> Utf16(const std::wstring& text)
{
    std::vector<BYTE> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    return bytes;
}

std::vector<BYTE> Prefix(const std::vector<BYTE>& bytes, size_t count)
{
    return std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<long>(count));
}

}  // namespace

TEST(ArchiveString, WritesTheMarkedEncodingAsLiteralBytes)
{
    EXPECT_EQ(Bytes({0xFF, 0xFE, 0xFF, 0x00}), StoreOnDisk([](CArchive& ar) { ar << CString(); }));
    EXPECT_EQ(Bytes({0xFF, 0xFE, 0xFF, 0x05, 0x54, 0x00, 0x6F, 0x00, 0x6F, 0x00, 0x6C, 0x00, 0x73, 0x00}),
              StoreOnDisk([](CArchive& ar) { ar << CString(L"Tools"); }));
    EXPECT_EQ(Bytes({0xFF, 0xFE, 0xFF, 0x03, 0xE5, 0x65, 0x2C, 0x67, 0x9E, 0x8A}),
              StoreOnDisk([](CArchive& ar) { ar << CString(L"日本語"); }));
}

TEST(ArchiveString, ChoosesTheLengthFieldAtEachThreshold)
{
    struct Case { int length; std::vector<BYTE> head; };
    const Case cases[] = {
        {254, Bytes({0xFF, 0xFE, 0xFF, 0xFE})},
        {255, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00})},
        {300, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01})},
        {0xFFFD, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF})},
        {0xFFFE, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {0x10000, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::wstring text(static_cast<size_t>(c.length), L'x');
        text[0] = L'C';
        text.back() = L'z';
        const std::vector<BYTE> bytes = StoreOnDisk([&](CArchive& ar) { ar << CString(text); });
        ASSERT_EQ(c.head.size() + 2 * static_cast<size_t>(c.length), bytes.size());
        EXPECT_EQ(c.head, Prefix(bytes, c.head.size()));
        EXPECT_EQ(Utf16(text), std::vector<BYTE>(bytes.begin() + static_cast<long>(c.head.size()), bytes.end()));
        // And back again, from the file.
        LoadFromDisk(bytes, [&](CArchive& ar) {
            CString read;
            ar >> read;
            EXPECT_EQ(CString(text), read);
        });
    }
}

TEST(ArchiveString, WritesTheWideLengthForms)
{
    EXPECT_EQ(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                     0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}),
              StoreInMemory([](CArchive& ar) { CArchive::WriteStringLength(ar, 0x100000000ULL, true); }));
    EXPECT_EQ(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}),
              StoreInMemory([](CArchive& ar) { CArchive::WriteStringLength(ar, 0xFFFFFFFEULL, true); }));
    // Without the marker (the 8-bit form).
    EXPECT_EQ(Bytes({0x05}), StoreInMemory([](CArchive& ar) { CArchive::WriteStringLength(ar, 5, false); }));
    EXPECT_EQ(Bytes({0xFF, 0x2C, 0x01}),
              StoreInMemory([](CArchive& ar) { CArchive::WriteStringLength(ar, 300, false); }));
}

TEST(ArchiveString, ReadsEveryLengthForm)
{
    const std::vector<BYTE> abc = Utf16(L"abc");
    EXPECT_EQ(CString(L"abc"), ReadString(Bytes({0xFF, 0xFE, 0xFF, 0x03}) + abc));
    EXPECT_EQ(CString(L"abc"), ReadString(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x03, 0x00}) + abc));
    EXPECT_EQ(CString(L"abc"), ReadString(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00}) + abc));
    EXPECT_EQ(CString(L"abc"),
              ReadString(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                0x03, 0, 0, 0, 0, 0, 0, 0}) + abc));
    EXPECT_EQ(CString(), ReadString(Bytes({0xFF, 0xFE, 0xFF, 0x00})));
    EXPECT_EQ(CString(L"a"), ReadString(Bytes({0xFF, 0xFE, 0xFF, 0x01, 0x61, 0x00, 0x99})));
}

TEST(ArchiveString, ReadsEightBitStringsWithoutTheMarker)
{
    EXPECT_EQ(CString(L"Hello"), ReadString(Bytes({0x05, 'H', 'e', 'l', 'l', 'o'})));
    EXPECT_EQ(CString(), ReadString(Bytes({0x00})));

    std::vector<BYTE> three = Bytes({0xFF, 0x2C, 0x01});
    three.insert(three.end(), 300, 'a');
    EXPECT_EQ(CString(std::wstring(300, L'a')), ReadString(three));
    EXPECT_EQ(CString(L"xyz"), ReadString(Bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 'x', 'y', 'z'})));

    // Bytes above 0x7F come through the thread's ANSI code page.
    const char high[] = "\xC4\xE9";
    wchar_t expected[8] = {};
    const int n = ::MultiByteToWideChar(CP_THREAD_ACP, 0, high, 2, expected, 8);
    ASSERT_GT(n, 0);
    EXPECT_EQ(CString(expected, n), ReadString(Bytes({0x02, 0xC4, 0xE9})));

    // The same, from a real file and mixed with marked strings.
    LoadFromDisk(Bytes({0x02, 'o', 'k', 0xFF, 0xFE, 0xFF, 0x01, 0x21, 0x00}), [](CArchive& ar) {
        CString a, b;
        ar >> a >> b;
        EXPECT_EQ(CString(L"ok"), a);
        EXPECT_EQ(CString(L"!"), b);
    });
}

TEST(ArchiveString, RoundTripsThroughSmallAndDefaultBuffers)
{
    const std::vector<CString> texts = {CString(), CString(L"Tools"), CString(L"日本語のフォルダ"),
                                        CString(std::wstring(254, L'p')), CString(std::wstring(255, L'q')),
                                        CString(std::wstring(5000, L'r')), CString(L"C:\\Users\\x\\Desktop\\a.lnk")};
    for (int bufferSize : {1, 3, 7, 64, 4096}) {
        SCOPED_TRACE(bufferSize);
        const std::vector<BYTE> bytes = StoreOnDisk([&](CArchive& ar) {
            for (const CString& t : texts)
                ar << t;
        }, bufferSize);
        EXPECT_EQ(bytes, StoreInMemory([&](CArchive& ar) {
            for (const CString& t : texts)
                ar << t;
        }));
        LoadFromDisk(bytes, [&](CArchive& ar) {
            for (const CString& t : texts) {
                CString read;
                ar >> read;
                EXPECT_EQ(t, read);
            }
            BYTE more = 0;
            EXPECT_EQ(0u, ar.Read(&more, 1));
        }, bufferSize);
    }
}

TEST(ArchiveString, ImpossibleLengthsRaiseWithoutAHugeAllocation)
{
    const size_t bound = 1024 * 1024;
    // A 64-bit length must stay below 2^31.
    TrackAllocations(true);
    EXPECT_EQ(CArchiveException::genericException,
              ReadStringCause(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00})));
    EXPECT_EQ(CArchiveException::genericException,
              ReadStringCause(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})));
    EXPECT_EQ(CArchiveException::genericException,
              ReadStringCause(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})));
    // Lengths that fit the encoding but not the data that follows.
    for (bool knowsSize : {true, false}) {
        SCOPED_TRACE(knowsSize);
        EXPECT_EQ(CArchiveException::endOfFile,
                  ReadStringCause(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 'a', 0}), knowsSize));
        EXPECT_EQ(CArchiveException::endOfFile,
                  ReadStringCause(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}),
                                  knowsSize));
        EXPECT_EQ(CArchiveException::endOfFile,
                  ReadStringCause(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), knowsSize));
        // Beyond what a string can hold: truncated when the size is known, impossible otherwise.
        EXPECT_EQ(knowsSize ? CArchiveException::endOfFile : CArchiveException::genericException,
                  ReadStringCause(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'a', 0}),
                                  knowsSize));
        EXPECT_EQ(knowsSize ? CArchiveException::endOfFile : CArchiveException::genericException,
                  ReadStringCause(Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'a'}), knowsSize));
        EXPECT_EQ(CArchiveException::endOfFile,
                  ReadStringCause(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01, 'a', 0}), knowsSize));
    }
    EXPECT_LT(LargestAllocation(), bound);
    TrackAllocations(false);

    // The same from a real file, whose size the archive can ask for.
    TrackAllocations(true);
    LoadFromDisk(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'a', 0}), [](CArchive& ar) {
        CString s;
        EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause([&] { ar >> s; }));
    });
    EXPECT_LT(LargestAllocation(), bound);
    TrackAllocations(false);
}

TEST(ArchiveString, ReadsLongStringsFromAFileThatCannotTellItsSize)
{
    const CString longText(std::wstring(100000, L'w'));
    const std::vector<BYTE> bytes = StoreInMemory([&](CArchive& ar) { ar << longText << CString(L"end"); });
    MemoryFile file(bytes, false);
    CArchive ar(&file, CArchive::load);
    CString a, b;
    ar >> a >> b;
    EXPECT_EQ(longText, a);
    EXPECT_EQ(CString(L"end"), b);
}

namespace {

// A stream of every kind of field the program stores.
std::vector<BYTE> SampleStream()
{
    return StoreInMemory([](CArchive& ar) {
        ar << static_cast<DWORD>(1003) << CString() << static_cast<DWORD>(2);
        ar << static_cast<LONG>(-100) << CString(L"Tools") << static_cast<BYTE>(7) << static_cast<WORD>(0x1234);
        ar << CString(std::wstring(300, L'p')) << static_cast<LONGLONG>(-5) << static_cast<ULONGLONG>(9);
        ar << CString(L"日本");
    });
}

void ReadSample(CArchive& ar)
{
    DWORD version = 0, count = 0;
    LONG x = 0;
    BYTE b = 0;
    WORD w = 0;
    LONGLONG ll = 0;
    ULONGLONG ull = 0;
    CString reserved, name, path, last;
    ar >> version >> reserved >> count >> x >> name >> b >> w >> path >> ll >> ull >> last;
    EXPECT_EQ(1003u, version);
    EXPECT_EQ(-100, x);
    EXPECT_EQ(CString(L"Tools"), name);
    EXPECT_EQ(300, path.GetLength());
    EXPECT_EQ(-5, ll);
    EXPECT_EQ(9u, ull);
    EXPECT_EQ(CString(L"日本"), last);
}

}  // namespace

TEST(ArchiveLoad, EveryPrefixOfAStreamRaisesEndOfFile)
{
    const std::vector<BYTE> bytes = SampleStream();
    {
        MemoryFile whole(bytes);
        CArchive ar(&whole, CArchive::load);
        EXPECT_EQ(-1, ArchiveCause([&] { ReadSample(ar); }));
    }
    TrackAllocations(true);
    for (bool knowsSize : {true, false}) {
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            MemoryFile file(Prefix(bytes, cut), knowsSize);
            CArchive ar(&file, CArchive::load);
            EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause([&] { ReadSample(ar); }))
                << "cut at " << cut << (knowsSize ? "" : " (size unknown)");
        }
    }
    EXPECT_LT(LargestAllocation(), 64u * 1024u);
    TrackAllocations(false);

    // The same with real files, which tell the archive their size.
    TempFolder folder;
    const std::wstring path = folder.File(L"cut.ser");
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        ASSERT_TRUE(TempFolder::WriteBytes(path, Prefix(bytes, cut)));
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
        CArchive ar(&file, CArchive::load);
        CArchiveException* caught = nullptr;
        try {
            ReadSample(ar);
        } catch (CArchiveException* e) {
            caught = e;
        }
        ASSERT_NE(nullptr, caught) << cut;
        EXPECT_EQ(CArchiveException::endOfFile, caught->m_cause) << cut;
        // The exception names the file it came from.
        EXPECT_STREQ(path.c_str(), caught->m_strFileName);
        caught->Delete();
    }
}

TEST(ArchiveLoad, MutatedStreamsEitherReadOrRaise)
{
    const std::vector<BYTE> bytes = SampleStream();
    TrackAllocations(true);
    for (bool knowsSize : {true, false}) {
        for (size_t at = 0; at < bytes.size(); ++at) {
            for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, bytes[at] ^ 0x40}) {
                std::vector<BYTE> mutated = bytes;
                mutated[at] = static_cast<BYTE>(value);
                MemoryFile file(mutated, knowsSize);
                CArchive ar(&file, CArchive::load);
                const int cause = ArchiveCause([&] {
                    // Field values may differ; only the raising matters here.
                    DWORD d; LONG l; BYTE b; WORD w; LONGLONG ll; ULONGLONG u; CString s;
                    ar >> d >> s >> d >> l >> s >> b >> w >> s >> ll >> u >> s;
                });
                EXPECT_TRUE(cause == -1 || cause == CArchiveException::endOfFile ||
                            cause == CArchiveException::genericException) << at << " " << cause;
            }
        }
    }
    EXPECT_LT(LargestAllocation(), 256u * 1024u);
    TrackAllocations(false);
}

TEST(ArchiveNumbers, AreLittleEndianWithoutPadding)
{
    const std::vector<BYTE> bytes = StoreOnDisk([](CArchive& ar) {
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0x1234) << static_cast<DWORD>(0x11223344UL)
           << static_cast<LONG>(-2) << 1003 << static_cast<UINT>(0x80000000u)
           << static_cast<LONGLONG>(0x0102030405060708LL) << static_cast<ULONGLONG>(0xF0E0D0C0B0A09080ULL);
    });
    EXPECT_EQ(Bytes({0xAB, 0x34, 0x12, 0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF, 0xEB, 0x03, 0x00, 0x00,
                     0x00, 0x00, 0x00, 0x80, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                     0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0}),
              bytes);
    LoadFromDisk(bytes, [](CArchive& ar) {
        BYTE b; WORD w; DWORD d; LONG l; int i; UINT u; LONGLONG ll; ULONGLONG ull;
        ar >> b >> w >> d >> l >> i >> u >> ll >> ull;
        EXPECT_EQ(0xAB, b);
        EXPECT_EQ(0x1234, w);
        EXPECT_EQ(0x11223344UL, d);
        EXPECT_EQ(-2, l);
        EXPECT_EQ(1003, i);
        EXPECT_EQ(0x80000000u, u);
        EXPECT_EQ(0x0102030405060708LL, ll);
        EXPECT_EQ(0xF0E0D0C0B0A09080ULL, ull);
        EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause([&] { ar >> b; }));
    });
}

TEST(ArchiveBuffer, FieldsCrossTheBufferBoundary)
{
    // 3 + 6 + 5000 + 4 bytes: the string's characters straddle the 4096-byte buffer.
    std::wstring payload(2500, L'\0');
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<wchar_t>(0x3041 + i % 80);
    const std::vector<BYTE> bytes = StoreOnDisk([&](CArchive& ar) {
        ar << static_cast<BYTE>(1) << static_cast<WORD>(2) << CString(payload) << static_cast<DWORD>(0xCAFEBABEUL);
    });
    ASSERT_EQ(3u + 6u + 5000u + 4u, bytes.size());
    EXPECT_EQ(Bytes({0x01, 0x02, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xC4, 0x09}), Prefix(bytes, 9));
    EXPECT_EQ(Utf16(payload), std::vector<BYTE>(bytes.begin() + 9, bytes.end() - 4));
    EXPECT_EQ(Bytes({0xBE, 0xBA, 0xFE, 0xCA}), std::vector<BYTE>(bytes.end() - 4, bytes.end()));

    for (int bufferSize : {5, 4096}) {
        LoadFromDisk(bytes, [&](CArchive& ar) {
            BYTE b; WORD w; CString s; DWORD d;
            ar >> b >> w >> s >> d;
            EXPECT_EQ(CString(payload), s);
            EXPECT_EQ(0xCAFEBABEUL, d);
        }, bufferSize);
    }
}

TEST(ArchiveBuffer, RawBlocksLargerThanTheBuffer)
{
    std::vector<BYTE> block(10000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<BYTE>(i * 7);
    MemoryFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<BYTE>(0x55);
        ar.Write(block.data(), static_cast<UINT>(block.size()));
        ar.Write(block.data(), 10);
        ar.Close();
    }
    ASSERT_EQ(10011u, file.m_data.size());
    EXPECT_EQ(0x55, file.m_data[0]);
    EXPECT_EQ(block, std::vector<BYTE>(file.m_data.begin() + 1, file.m_data.begin() + 10001));

    file.m_pos = 0;
    CArchive ar(&file, CArchive::load);
    BYTE first = 0;
    ar >> first;
    std::vector<BYTE> read(20000);
    EXPECT_EQ(10010u, ar.Read(read.data(), static_cast<UINT>(read.size())));
    EXPECT_TRUE(std::equal(block.begin(), block.end(), read.begin()));
    EXPECT_EQ(0u, ar.Read(read.data(), 1));
}

TEST(ArchiveModes, MisuseRaisesAndClosingBehaves)
{
    MemoryFile file(Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    {
        CArchive ar(&file, CArchive::load);
        EXPECT_TRUE(ar.IsLoading());
        EXPECT_EQ(CArchiveException::readOnly, ArchiveCause([&] { ar << static_cast<BYTE>(1); }));
        DWORD d = 0;
        ar >> d;
        EXPECT_EQ(0x04030201UL, d);
        ar.Close();
        // The file is left where the reader stopped, not where the read-ahead got to.
        EXPECT_EQ(4u, file.m_pos);
        EXPECT_EQ(nullptr, ar.GetFile());
        EXPECT_EQ(CArchiveException::genericException, ArchiveCause([&] { ar >> d; }));
    }
    MemoryFile out;
    {
        CArchive ar(&out, CArchive::store);
        EXPECT_TRUE(ar.IsStoring());
        BYTE b;
        EXPECT_EQ(CArchiveException::writeOnly, ArchiveCause([&] { ar >> b; }));
        ar << static_cast<DWORD>(5);
        EXPECT_TRUE(out.m_data.empty());  // still buffered
        ar.Flush();
        EXPECT_EQ(Bytes({5, 0, 0, 0}), out.m_data);
        ar << static_cast<BYTE>(6);
        // No Close: the destructor writes the rest.
    }
    EXPECT_EQ(Bytes({5, 0, 0, 0, 6}), out.m_data);

    MemoryFile aborted;
    {
        CArchive ar(&aborted, CArchive::store);
        ar << static_cast<DWORD>(5);
        ar.Abort();
    }
    EXPECT_TRUE(aborted.m_data.empty());
}

TEST(ArchiveModes, AFailingFileRaisesItsOwnException)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"ro.ser");
    ASSERT_TRUE(TempFolder::WriteBytes(path, Bytes({1})));
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::store);
    ar << static_cast<DWORD>(1);
    int cause = -1;
    try {
        ar.Close();
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::accessDenied, cause);
}
