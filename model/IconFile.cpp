#include "model/IconFile.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "framework/ScopedHandles.h"

namespace Model {

namespace {

// Icons larger than this cannot be described by an ICO directory entry.
const int kMaxIconSide = 256;
// No cache file comes near this; anything larger is not read at all.
const DWORD kMaxIconFileBytes = 4u * 1024u * 1024u;

const size_t kIconDirSize = 6;
const size_t kIconEntrySize = 16;
const size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);  // 40
// The smallest icon file: one image of one pixel, a row of colour and a row of mask.
const ULONGLONG kMinIconFileBytes = kIconDirSize + kIconEntrySize + kInfoHeaderSize + 4 + 4;

// Whether a file of this many bytes can be an icon file at all.
bool IsPossibleSize(ULONGLONG bytes)
{
    return bytes >= kMinIconFileBytes && bytes <= kMaxIconFileBytes;
}

// ---------------------------------------------------------------- bitmap headers

// A BITMAPINFO with room for the largest colour table GetDIBits may write after it: reading
// a 1-bit mask writes two colours behind the header.
struct DibInfo
{
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// ---------------------------------------------------------------- little-endian bytes

void PutWord(std::vector<BYTE>& out, WORD value)
{
    out.push_back(static_cast<BYTE>(value & 0xFF));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void PutDword(std::vector<BYTE>& out, DWORD value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>((value >> shift) & 0xFF));
}

void PutLong(std::vector<BYTE>& out, LONG value)
{
    PutDword(out, static_cast<DWORD>(value));
}

WORD GetWord(const BYTE* p)
{
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

DWORD GetDword(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

LONG GetLong(const BYTE* p)
{
    return static_cast<LONG>(GetDword(p));
}

// Bytes of one DIB row of the given width and depth, padded to 4 bytes.
size_t DibStride(LONG width, int bitCount)
{
    return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}

bool IsSupportedDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

// ---------------------------------------------------------------- writing

// Reads one of the icon's bitmaps as a bottom-up DIB at the given depth.
bool ReadBitmapBits(HDC dc, HBITMAP bitmap, int bitCount, DibInfo& info, std::vector<BYTE>& bits)
{
    std::memset(&info, 0, sizeof(info));
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    if (!::GetDIBits(dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;
    const LONG width = info.header.biWidth;
    const LONG height = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide)
        return false;
    info.header.biHeight = height;
    info.header.biBitCount = static_cast<WORD>(bitCount);
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = 0;
    bits.assign(DibStride(width, bitCount) * static_cast<size_t>(height), 0);
    const int rows = ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits.data(),
                                 reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    return rows == height && info.header.biWidth == width && info.header.biHeight == height;
}

// The whole ICO file of one icon: directory, one entry, the image header (with its colour
// table below 24 bits), the colour bits and the 1-bit mask.
bool BuildIconImage(HICON icon, int bitCount, std::vector<BYTE>& out)
{
    if (!icon || !IsSupportedDepth(bitCount))
        return false;
    const ScopedGetDC dc(nullptr);
    if (!dc)
        return false;
    ScopedIconInfo bitmaps;
    if (!bitmaps.Load(icon) || !bitmaps.get().hbmColor || !bitmaps.get().hbmMask)
        return false;

    DibInfo color;
    std::vector<BYTE> colorBits;
    if (!ReadBitmapBits(dc.get(), bitmaps.get().hbmColor, bitCount, color, colorBits))
        return false;
    DibInfo mask;
    std::vector<BYTE> maskBits;
    if (!ReadBitmapBits(dc.get(), bitmaps.get().hbmMask, 1, mask, maskBits))
        return false;
    const LONG width = color.header.biWidth;
    const LONG height = color.header.biHeight;
    if (mask.header.biWidth != width || mask.header.biHeight != height)
        return false;

    const size_t tableSize = bitCount < 24 ? 4u * (1u << bitCount) : 0u;
    const size_t headerSize = kInfoHeaderSize + tableSize;
    const DWORD bitsSize = static_cast<DWORD>(colorBits.size() + maskBits.size());
    const DWORD bytesInImage = static_cast<DWORD>(headerSize) + bitsSize;

    out.clear();
    out.reserve(kIconDirSize + kIconEntrySize + bytesInImage);
    PutWord(out, 0);  // reserved
    PutWord(out, 1);  // type: icon
    PutWord(out, 1);  // one image
    out.push_back(static_cast<BYTE>(width & 0xFF));
    out.push_back(static_cast<BYTE>(height & 0xFF));
    out.push_back(static_cast<BYTE>(bitCount == 4 ? 16 : 0));
    out.push_back(0);                                   // reserved
    PutWord(out, 0);                                    // planes
    PutWord(out, static_cast<WORD>(bitCount));
    PutDword(out, bytesInImage);
    PutDword(out, static_cast<DWORD>(kIconDirSize + kIconEntrySize));

    const BITMAPINFOHEADER& h = color.header;
    PutDword(out, static_cast<DWORD>(kInfoHeaderSize));
    PutLong(out, width);
    PutLong(out, height * 2);  // colour rows and mask rows
    PutWord(out, h.biPlanes);
    PutWord(out, static_cast<WORD>(bitCount));
    PutDword(out, BI_RGB);
    PutDword(out, bitsSize);
    PutLong(out, h.biXPelsPerMeter);
    PutLong(out, h.biYPelsPerMeter);
    // The full colour table (or none) always follows, which 0 says for every depth.
    PutDword(out, 0);
    PutDword(out, 0);
    if (tableSize) {
        const BYTE* table = reinterpret_cast<const BYTE*>(color.colors);
        out.insert(out.end(), table, table + tableSize);
    }
    out.insert(out.end(), colorBits.begin(), colorBits.end());
    out.insert(out.end(), maskBits.begin(), maskBits.end());
    return true;
}

// Writes the bytes as the whole file in one go. A file that could not be written whole is
// deleted again, so a reader never meets a partial icon file.
BOOL WriteWholeFile(const CString& path, const std::vector<BYTE>& bytes)
{
    ScopedFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return FALSE;
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done);
        ok = ::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    // A failed close can mean unwritten bytes: it fails the write too.
    if (!::CloseHandle(file.release()))
        ok = false;
    if (!ok) {
        ::DeleteFileW(path);
        return FALSE;
    }
    return TRUE;
}

// ---------------------------------------------------------------- reading

// Reads a whole file of a size an icon file can have. On failure, error tells why: the
// system's reason, or ERROR_BAD_FORMAT for a size no icon file has.
bool ReadIconFileBytes(const CString& path, std::vector<BYTE>& bytes, DWORD& error)
{
    const ScopedFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file ? ReadWholeFile(file.get(), kMaxIconFileBytes, &bytes) : ::GetLastError();
    if (error == ERROR_FILE_TOO_LARGE || (error == ERROR_SUCCESS && !IsPossibleSize(bytes.size())))
        error = ERROR_BAD_FORMAT;
    return error == ERROR_SUCCESS;
}

// One bitmap image of an ICO file: its header, colour table, colour rows and mask rows must
// lie inside the bytes the directory gives it, and describe an image that the entry agrees with.
bool IsWellFormedImage(const BYTE* entry, const BYTE* image, size_t imageBytes)
{
    if (imageBytes < kInfoHeaderSize)
        return false;
    const DWORD headerSize = GetDword(image);
    const LONG width = GetLong(image + 4);
    const LONG doubledHeight = GetLong(image + 8);
    const WORD planes = GetWord(image + 12);
    const WORD bitCount = GetWord(image + 14);
    const DWORD compression = GetDword(image + 16);
    const DWORD sizeImage = GetDword(image + 20);
    const DWORD colorsUsed = GetDword(image + 32);
    if (headerSize != kInfoHeaderSize || planes != 1 || compression != BI_RGB)
        return false;
    if (!IsSupportedDepth(bitCount))
        return false;
    if (width <= 0 || width > kMaxIconSide || doubledHeight <= 0 || doubledHeight % 2 != 0 ||
        doubledHeight / 2 > kMaxIconSide)
        return false;
    const LONG height = doubledHeight / 2;
    if (entry[0] != static_cast<BYTE>(width & 0xFF) || entry[1] != static_cast<BYTE>(height & 0xFF))
        return false;

    size_t tableEntries = 0;
    if (bitCount <= 8) {
        const size_t full = size_t(1) << bitCount;
        if (colorsUsed > full)
            return false;
        tableEntries = colorsUsed ? colorsUsed : full;
    } else if (colorsUsed != 0) {
        return false;
    }
    const size_t colorSize = DibStride(width, bitCount) * static_cast<size_t>(height);
    const size_t maskSize = DibStride(width, 1) * static_cast<size_t>(height);
    if (sizeImage != 0 && sizeImage != colorSize && sizeImage != colorSize + maskSize)
        return false;
    return kInfoHeaderSize + 4 * tableEntries + colorSize + maskSize <= imageBytes;
}

// The whole file must be an icon directory whose every image lies inside the file.
bool IsWellFormedIconFile(const std::vector<BYTE>& bytes)
{
    const size_t size = bytes.size();
    if (size < kIconDirSize)
        return false;
    const BYTE* data = bytes.data();
    if (GetWord(data) != 0 || GetWord(data + 2) != 1)
        return false;
    const size_t count = GetWord(data + 4);
    if (count == 0)
        return false;
    const size_t directoryEnd = kIconDirSize + count * kIconEntrySize;
    if (directoryEnd > size)
        return false;
    for (size_t i = 0; i < count; ++i) {
        const BYTE* entry = data + kIconDirSize + i * kIconEntrySize;
        const uint64_t imageBytes = GetDword(entry + 8);
        const uint64_t offset = GetDword(entry + 12);
        if (offset < directoryEnd || offset + imageBytes > size)
            return false;
        if (!IsWellFormedImage(entry, data + offset, static_cast<size_t>(imageBytes)))
            return false;
    }
    return true;
}

// Makes an icon of the first image of the checked bytes. The colour bits are kept as they
// are, alpha included, so the icon's colour bitmap holds straight (not premultiplied) ARGB
// as the shell's own 32-bit icons do. (GDI+ under Wine premultiplies the colours.)
HICON IconFromBytes(const std::vector<BYTE>& bytes)
{
    const BYTE* entry = bytes.data() + kIconDirSize;
    const DWORD imageBytes = GetDword(entry + 8);
    const DWORD offset = GetDword(entry + 12);
    // The system wants the image DWORD-aligned; in the file it starts at offset 22.
    std::vector<DWORD> image((static_cast<size_t>(imageBytes) + 3) / 4, 0);
    std::memcpy(image.data(), bytes.data() + offset, imageBytes);
    // Zero sizes without LR_DEFAULTSIZE: the icon keeps the image's own size.
    return ::CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), imageBytes, TRUE, 0x00030000,
                                      0, 0, LR_DEFAULTCOLOR);
}

}  // namespace

BOOL IconFile::Save(HICON icon, int bitCount, const CString& path)
{
    try {
        std::vector<BYTE> image;
        if (!BuildIconImage(icon, bitCount, image))
            return FALSE;
        return WriteWholeFile(path, image);
    } catch (...) {
        return FALSE;  // out of memory while building: nothing was written
    }
}

HICON IconFile::Load(const CString& path)
{
    HICON icon = nullptr;
    try {
        std::vector<BYTE> bytes;
        DWORD error = ERROR_SUCCESS;
        if (ReadIconFileBytes(path, bytes, error) && IsWellFormedIconFile(bytes))
            icon = IconFromBytes(bytes);
    } catch (...) {
        icon = nullptr;
    }
    if (!icon)
        Log(kLogWarn, CString(L"Can't load icon:") + path);
    return icon;
}

IconFile::State IconFile::Check(const CString& path)
{
    try {
        std::vector<BYTE> bytes;
        DWORD error = ERROR_SUCCESS;
        if (ReadIconFileBytes(path, bytes, error))
            return IsWellFormedIconFile(bytes) ? State::Whole : State::Broken;
        const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return gone || error == ERROR_BAD_FORMAT ? State::Broken : State::Unreadable;
    } catch (...) {
        return State::Unreadable;  // out of memory
    }
}

}  // namespace Model
