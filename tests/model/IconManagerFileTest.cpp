// The icon cache's ICO files: the exact bytes written, loading them back, failed writes, and
// loading truncated and mutated files.
#include <gtest/gtest.h>

#include <random>

#include "IconManagerTestSupport.h"
#include "model/IconManager.h"

using namespace IconTest;
using Model::IconManager;

namespace {

class IconFileTest : public ::testing::Test
{
protected:
    std::wstring Path(const wchar_t* name) const { return m_temp / name; }

    TempFolder m_temp;
};

// Directory, entry and image header of a 16 x 16 icon at 32 bits.
const uint8_t kHeader16[62] = {
    0x00, 0x00, 0x01, 0x00, 0x01, 0x00,              // reserved, type icon, one image
    0x10, 0x10, 0x00, 0x00, 0x00, 0x00, 0x20, 0x00,  // 16 x 16, no palette, planes 0, 32 bits
    0x68, 0x04, 0x00, 0x00,                          // 1128 bytes in the image
    0x16, 0x00, 0x00, 0x00,                          // image at offset 22
    0x28, 0x00, 0x00, 0x00,                          // header size 40
    0x10, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00,  // width 16, height 32 (colour and mask)
    0x01, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00,  // one plane, 32 bits, BI_RGB
    0x40, 0x04, 0x00, 0x00,                          // 1088 bytes of bits
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // resolution
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // colours used and important
};

const uint8_t kHeader32[62] = {
    0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
    0x20, 0x20, 0x00, 0x00, 0x00, 0x00, 0x20, 0x00,
    0xA8, 0x10, 0x00, 0x00,                          // 4264 bytes in the image
    0x16, 0x00, 0x00, 0x00,
    0x28, 0x00, 0x00, 0x00,
    0x20, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00,  // width 32, height 64
    0x01, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x80, 0x10, 0x00, 0x00,                          // 4224 bytes of bits
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

void ExpectHeader(const Bytes& file, const uint8_t (&header)[62])
{
    ASSERT_GE(file.size(), sizeof(header));
    for (size_t i = 0; i < sizeof(header); ++i)
        EXPECT_EQ(file[i], header[i]) << "byte " << i;
}

TEST_F(IconFileTest, WritesA16PixelIconAsTheExactIcoLayout)
{
    OwnedIcon icon(MakeTestIcon(16));
    ASSERT_NE(icon.get(), nullptr);
    const std::wstring path = Path(L"txt.si");
    ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, path.c_str()));
    const Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 1150u);
    ExpectHeader(file, kHeader16);
    // Colour rows bottom-up with their alpha, then the mask rows padded to 4 bytes.
    EXPECT_EQ(file, ExpectedTestIconFile(16));
}

TEST_F(IconFileTest, WritesA32PixelIconAsTheExactIcoLayout)
{
    OwnedIcon icon(MakeTestIcon(32));
    ASSERT_NE(icon.get(), nullptr);
    const std::wstring path = Path(L"txt.li");
    ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, path.c_str()));
    const Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 4286u);
    ExpectHeader(file, kHeader32);
    EXPECT_EQ(file, ExpectedTestIconFile(32));
}

TEST_F(IconFileTest, ReplacesAnExistingFile)
{
    const std::wstring path = Path(L"a.si");
    ASSERT_TRUE(WriteBytes(path, Bytes(9000, 0xAB)));
    OwnedIcon icon(MakeTestIcon(16));
    ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, path.c_str()));
    EXPECT_EQ(ReadBytes(path), ExpectedTestIconFile(16));
}

TEST_F(IconFileTest, LoadsWrittenIconsBackWithTheirSizeAndPixels)
{
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        OwnedIcon icon(MakeTestIcon(size));
        const std::wstring path = Path(size == 16 ? L"k.si" : L"k.li");
        ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), 32, path.c_str()));
        OwnedIcon loaded(IconManager::LoadIconFile(path.c_str()));
        ASSERT_NE(loaded.get(), nullptr);
        int width = 0;
        int height = 0;
        ASSERT_TRUE(GetIconSize(loaded.get(), width, height));
        EXPECT_EQ(width, size);
        EXPECT_EQ(height, size);
        const std::vector<uint32_t> pixels = GetIconPixels(loaded.get());
        ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
        int wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                wrong += pixels[static_cast<size_t>(y * size + x)] != TestPixel(x, y);
        EXPECT_EQ(wrong, 0) << "pixels differ after the round trip";
        // The file is not held open: it can be deleted at once.
        EXPECT_TRUE(::DeleteFileW(path.c_str()));
    }
}

TEST_F(IconFileTest, WritesLowerDepthsWithAColourTable)
{
    OwnedIcon icon(MakeTestIcon(16));
    struct Case { int depth; size_t fileSize; uint8_t colourCount; };
    // 22 + 40 + table + colour rows + 64 mask bytes.
    for (const Case& c : {Case{8, 22 + 40 + 1024 + 256 + 64, 0}, Case{4, 22 + 40 + 64 + 128 + 64, 16},
                          Case{1, 22 + 40 + 8 + 64 + 64, 0}, Case{24, 22 + 40 + 768 + 64, 0}}) {
        SCOPED_TRACE(c.depth);
        const std::wstring path = Path(L"depth.si");
        ASSERT_TRUE(IconManager::SaveIconFile(icon.get(), c.depth, path.c_str()));
        const Bytes file = ReadBytes(path);
        ASSERT_EQ(file.size(), c.fileSize);
        EXPECT_EQ(file[8], c.colourCount);
        EXPECT_EQ(file[12], c.depth);
        EXPECT_EQ(file[22 + 14], c.depth);
        OwnedIcon loaded(IconManager::LoadIconFile(path.c_str()));
        EXPECT_NE(loaded.get(), nullptr);
        int width = 0;
        int height = 0;
        if (c.depth > 1) {  // a 1-bit icon is monochrome: it has no colour bitmap
            EXPECT_TRUE(GetIconSize(loaded.get(), width, height));
            EXPECT_EQ(width, 16);
        }
    }
}

TEST_F(IconFileTest, AFailedWriteLeavesNoFileAndRaisesNothing)
{
    OwnedIcon icon(MakeTestIcon(16));

    // No icon, a destroyed icon, a depth without a layout: nothing is created.
    EXPECT_FALSE(IconManager::SaveIconFile(nullptr, 32, Path(L"none.si").c_str()));
    HICON destroyed = MakeTestIcon(16);
    ::DestroyIcon(destroyed);
    EXPECT_FALSE(IconManager::SaveIconFile(destroyed, 32, Path(L"gone.si").c_str()));
    EXPECT_FALSE(IconManager::SaveIconFile(icon.get(), 16, Path(L"d16.si").c_str()));
    EXPECT_FALSE(IconManager::SaveIconFile(icon.get(), 0, Path(L"d0.si").c_str()));
    EXPECT_TRUE(ListFolder(m_temp.Path()).empty());

    // An icon that cannot be read leaves an existing file as it was.
    const Bytes old(100, 0x5A);
    ASSERT_TRUE(WriteBytes(Path(L"old.si"), old));
    EXPECT_FALSE(IconManager::SaveIconFile(destroyed, 32, Path(L"old.si").c_str()));
    EXPECT_EQ(ReadBytes(Path(L"old.si")), old);

    // A file that another program holds open without sharing is not replaced, and no
    // exception comes out. (A read-only attribute does not stop root under Wine.)
    const std::wstring locked = Path(L"locked.li");
    ASSERT_TRUE(WriteBytes(locked, old));
    {
        HandleHolder holder(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.IsValid());
        EXPECT_FALSE(IconManager::SaveIconFile(icon.get(), 32, locked.c_str()));
    }
    EXPECT_EQ(ReadBytes(locked), old);

    // A folder that does not exist, or cannot exist because a file stands in its way.
    EXPECT_FALSE(IconManager::SaveIconFile(icon.get(), 32, Path(L"missing\\a.si").c_str()));
    EXPECT_FALSE(IconManager::SaveIconFile(icon.get(), 32, Path(L"old.si\\a.si").c_str()));
    EXPECT_EQ(ListFolder(m_temp.Path()), (std::vector<std::wstring>{L"locked.li", L"old.si"}));
}

TEST_F(IconFileTest, MissingEmptyAndHeaderOnlyFilesDoNotLoad)
{
    EXPECT_EQ(IconManager::LoadIconFile(Path(L"missing.si").c_str()), nullptr);
    ASSERT_TRUE(WriteBytes(Path(L"empty.si"), Bytes()));
    EXPECT_EQ(IconManager::LoadIconFile(Path(L"empty.si").c_str()), nullptr);
    ASSERT_TRUE(WriteBytes(Path(L"header.si"), Bytes{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(IconManager::LoadIconFile(Path(L"header.si").c_str()), nullptr);
    ::CreateDirectoryW(Path(L"dir.si").c_str(), nullptr);
    EXPECT_EQ(IconManager::LoadIconFile(Path(L"dir.si").c_str()), nullptr);
}

TEST_F(IconFileTest, EveryTruncationOfAnIconFileFailsCleanly)
{
    for (int size : {16, 32}) {
        const Bytes full = ExpectedTestIconFile(size);
        const std::wstring path = Path(L"cut.si");
        // Every cut in the directory and headers, and many through the bits.
        for (size_t length = 0; length < full.size(); length += length < 100 ? 1 : 7) {
            ASSERT_TRUE(WriteBytes(path, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length))));
            HICON icon = IconManager::LoadIconFile(path.c_str());
            EXPECT_EQ(icon, nullptr) << size << " pixels cut to " << length << " bytes";
            if (icon)
                ::DestroyIcon(icon);
        }
        ASSERT_TRUE(WriteBytes(path, full));
        OwnedIcon whole(IconManager::LoadIconFile(path.c_str()));
        EXPECT_NE(whole.get(), nullptr);
    }
}

// Sets a little-endian 32-bit field of a copy of the file.
Bytes WithDword(Bytes file, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    return file;
}

Bytes WithWord(Bytes file, size_t offset, uint16_t value)
{
    file[offset] = static_cast<uint8_t>(value);
    file[offset + 1] = static_cast<uint8_t>(value >> 8);
    return file;
}

TEST_F(IconFileTest, SizesInTheFileAreNotTrusted)
{
    const Bytes good = ExpectedTestIconFile(16);
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"type cursor", WithWord(good, 2, 2)},
        {"no images", WithWord(good, 4, 0)},
        {"65535 images", WithWord(good, 4, 0xFFFF)},
        {"image bytes beyond the file", WithDword(good, 14, 0xFFFFFFF0)},
        {"image bytes one too many", WithDword(good, 14, 1129)},
        {"offset beyond the file", WithDword(good, 18, 0xFFFFFFF0)},
        {"offset inside the directory", WithDword(good, 18, 4)},
        {"header size huge", WithDword(good, 22, 0x7FFFFFFF)},
        {"header size short", WithDword(good, 22, 12)},
        {"width huge", WithDword(good, 26, 0x40000000)},
        {"width negative", WithDword(good, 26, 0xFFFFFFF0)},
        {"width zero", WithDword(good, 26, 0)},
        {"height huge", WithDword(good, 30, 0x7FFFFFFE)},
        {"height negative", WithDword(good, 30, 0xFFFFFFE0)},
        {"height odd", WithDword(good, 30, 31)},
        {"bit count 64", WithWord(good, 36, 64)},
        {"bit count 0", WithWord(good, 36, 0)},
        {"compressed", WithDword(good, 38, 1)},
        {"bits size huge", WithDword(good, 42, 0xFFFFFFFF)},
        {"colours used huge", WithDword(good, 54, 0xFFFFFFFF)},
        {"entry width disagrees", WithWord(good, 6, 0x1020)},
    };
    const std::wstring path = Path(L"bad.si");
    for (const auto& [what, bytes] : cases) {
        ASSERT_TRUE(WriteBytes(path, bytes));
        HICON icon = IconManager::LoadIconFile(path.c_str());
        EXPECT_EQ(icon, nullptr) << what;
        if (icon)
            ::DestroyIcon(icon);
    }
}

TEST_F(IconFileTest, RandomlyMutatedIconFilesLoadWithoutACrash)
{
    std::mt19937 random(20261207);
    const std::wstring path = Path(L"mutated.si");
    int loaded = 0;
    for (int round = 0; round < 1200; ++round) {
        Bytes file = ExpectedTestIconFile(round % 3 == 0 ? 32 : 16);
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            // Mostly the directory and header, where the sizes are.
            const size_t limit = random() % 4 == 0 ? file.size() : 62;
            file[random() % limit] = static_cast<uint8_t>(random());
        }
        if (random() % 8 == 0)
            file.resize(random() % file.size());
        ASSERT_TRUE(WriteBytes(path, file));
        HICON icon = IconManager::LoadIconFile(path.c_str());
        if (icon) {
            int width = 0;
            int height = 0;
            EXPECT_TRUE(GetIconSize(icon, width, height));
            EXPECT_GT(width, 0);
            EXPECT_LE(width, 256);
            ::DestroyIcon(icon);
            ++loaded;
        }
    }
    // Changes to pixels or to unchecked fields still load.
    EXPECT_GT(loaded, 0);
}

}  // namespace
