#include "model/IconManager.h"

#include <shellapi.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>
#include <unordered_map>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "framework/CException.h"
#include "framework/CFileFind.h"
#include "framework/ScopedHandles.h"

namespace Model {

namespace {

const int kFolderType = 2;

// Icons larger than this cannot be described by an ICO directory entry.
const int kMaxIconSide = 256;
// No cache file comes near this; anything larger is not read at all.
const DWORD kMaxIconFileBytes = 4u * 1024u * 1024u;
// Numbers of "ext" files beyond this are not counted, so the counter can never overflow.
const long kMaxExtNumber = 999999999;

const size_t kIconDirSize = 6;
const size_t kIconEntrySize = 16;
const size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);  // 40
// The smallest icon file: one image of one pixel, a row of colour and a row of mask.
const ULONGLONG kMinIconFileBytes = kIconDirSize + kIconEntrySize + kInfoHeaderSize + 4 + 4;

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

bool IsPossibleIconFileSize(ULONGLONG size)
{
    return size >= kMinIconFileBytes && size <= kMaxIconFileBytes;
}

// Reads a whole file of a size an icon file can have. On failure, error tells why: the
// system's reason, or ERROR_BAD_FORMAT for a size no icon file has.
bool ReadWholeFile(const CString& path, std::vector<BYTE>& bytes, DWORD& error)
{
    const ScopedFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    error = ERROR_SUCCESS;
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.get(), &size)) {
        error = ::GetLastError();
        return false;
    }
    if (!IsPossibleIconFileSize(static_cast<ULONGLONG>(size.QuadPart))) {
        error = ERROR_BAD_FORMAT;
        return false;
    }
    bytes.assign(static_cast<size_t>(size.QuadPart), 0);
    DWORD read = 0;
    if (::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size())
        return true;
    error = ::GetLastError();
    return false;
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

// Names that Windows opens as devices whatever extension follows them ("aux.si" is AUX).
bool IsDeviceName(const CString& key)
{
    CString lower(key);
    lower.MakeLower();
    for (const wchar_t* device : {L"con", L"prn", L"aux", L"nul"}) {
        if (lower == device)
            return true;
    }
    return lower.GetLength() == 4 && (lower.Left(3) == L"com" || lower.Left(3) == L"lpt") &&
           lower[3] >= L'1' && lower[3] <= L'9';
}

// A key is used as a file name in the cache folder: it must not reach out of it (a folder
// name with a dot gives an "extension" holding a backslash) nor name a stream or a device.
bool IsPlainKey(const CString& key)
{
    for (int i = 0; i < key.GetLength(); ++i) {
        const wchar_t ch = key[i];
        if (ch < 0x20 || std::wcschr(L"\\/:*?\"<>|", ch))
            return false;
    }
    return !IsDeviceName(key);
}

bool ParseExtNumber(const CString& title, long& number)
{
    // "ext" and the digits that follow it; no digits count as 0.
    number = 0;
    for (int i = 3; i < title.GetLength(); ++i) {
        const wchar_t ch = title[i];
        if (ch < L'0' || ch > L'9')
            break;
        number = number * 10 + (ch - L'0');
        if (number > kMaxExtNumber)
            return false;
    }
    return true;
}

// The key that every item of a kind shares: "folder", or the target's extension.
CString KindKey(int type, const CString& path)
{
    const CString key = type == kFolderType ? CString(L"folder") : GetExtension(path);
    return IsPlainKey(key) ? key : CString();  // the key of files without an extension
}

// Programs, shortcuts and internet shortcuts show icons of their own.
bool IsOwnIconKind(const CString& kind)
{
    return kind == L"exe" || kind == L"lnk" || kind == L"url";
}

std::wstring Lower(CString text)
{
    text.MakeLower();
    return text.GetString();
}

void LogCaught(const wchar_t* where)
{
    try {
        Log(kLogError, where);
    } catch (...) {
    }
}

}  // namespace

// ---------------------------------------------------------------- the cache

IconManager::IconManager() = default;

IconManager::~IconManager() = default;

void IconManager::Init(CString folder)
{
    m_strFolder = folder;
    m_earlierFiles.clear();
    m_keysWithFiles.clear();
    m_soundKeys.clear();
    m_bStoreFailed = FALSE;
    std::vector<ULONGLONG> sizes;
    m_nNextExt = GetNextExtIndex(&m_earlierFiles, &sizes);
    CreateDirectoryTree(m_strFolder);
    // The listing ("<key>.si" and "<key>.li" files) tells which per-item keys have both
    // files, without a look per item. A file of a size no icon file has (one cut short while
    // it was written) counts as none.
    std::unordered_map<std::wstring, int> halves;
    for (size_t i = 0; i < m_earlierFiles.size(); ++i) {
        const CString& name = m_earlierFiles[i];
        const std::wstring key = Lower(name.Left(name.ReverseFind(L'.')));
        if (IsPossibleIconFileSize(sizes[i]) && ++halves[key] == 2)
            m_keysWithFiles.insert(key);
    }
}

void IconManager::ReserveKey(const CString& key)
{
    long number = 0;
    if (IsPerItemKey(key) && ParseExtNumber(key, number) && number >= m_nNextExt)
        m_nNextExt = static_cast<int>(number + 1);
}

BOOL IconManager::IsPerItemKey(const CString& key)
{
    if (key.GetLength() < 4 || key.Left(3) != CString(L"ext"))
        return FALSE;
    for (int i = 3; i < key.GetLength(); ++i) {
        if (key[i] < L'0' || key[i] > L'9')
            return FALSE;
    }
    return TRUE;
}

IconManager::_ICON_INFO* IconManager::Find(const CString& key)
{
    for (_ICON_INFO& info : m_icons) {
        if (info.strKey == key)
            return &info;
    }
    return nullptr;
}

CString IconManager::TakePerItemKey()
{
    // Files of an earlier run (or another program) may hold a number the counter has not
    // reached: two items must never share one pair of files.
    for (;;) {
        const CString key = FormatString(L"ext%d", m_nNextExt);
        ++m_nNextExt;
        if (!FileExists(GetIconPath(key, FALSE)) && !FileExists(GetIconPath(key, TRUE)) && !Find(key))
            return key;
    }
}

BOOL IconManager::RegisterIcon(int type, CString path, CString& key)
{
    try {
        const CString k = KindKey(type, path);

        // "exe", "lnk" and "url" items show icons of their own; so does a file whose
        // extension looks like a per-item key, which must not take over another item's icon.
        const bool shapedLikePerItem = IsPerItemKey(k) != FALSE;
        if (!shapedLikePerItem) {
            if (_ICON_INFO* listed = Find(k)) {
                key = k;
                // An earlier item of this kind had no shell icon (its target was gone): this
                // one may have one, or the kind would stay without an icon.
                if (!listed->hSmall && !listed->hLarge && !IconFileExists(k))
                    Took(*listed, FetchShellIcons(*listed, path));
                return TRUE;
            }
            if (IconFileExists(k)) {
                _ICON_INFO entry;
                entry.strKey = k;
                entry.hSmall = LoadIconFile(GetIconPath(k, FALSE));
                entry.hLarge = LoadIconFile(GetIconPath(k, TRUE));
                entry.bSmallOnDisk = entry.hSmall != nullptr;
                entry.bLargeOnDisk = entry.hLarge != nullptr;
                if (entry.hSmall && entry.hLarge)
                    m_soundKeys.insert(Lower(k));
                key = k;
                m_icons.push_back(entry);
                Took(m_icons.back(), (entry.hSmall ? 1 : 0) + (entry.hLarge ? 1 : 0));
                return TRUE;
            }
        }

        _ICON_INFO entry;
        if (shapedLikePerItem || IsOwnIconKind(k))
            entry.strKey = TakePerItemKey();
        else
            entry.strKey = k;
        key = entry.strKey;

        const int handles = FetchShellIcons(entry, path);
        m_icons.push_back(entry);
        Took(m_icons.back(), handles);
    } catch (CException* e) {
        LogException(kLogError, L"<icon> RegisterIcon", __LINE__, e);
    } catch (const std::bad_alloc&) {
        LogCaught(L"<icon> RegisterIcon: out of memory");
    } catch (...) {
        LogCaught(L"<icon> RegisterIcon failed");
    }
    return TRUE;
}

IconManager::FileCheck IconManager::CheckKeyFiles(const CString& key)
{
    const std::wstring lower = Lower(key);
    if (m_soundKeys.count(lower))
        return FileCheck::Sound;
    // Every per-item file there was is in the listing, and those written since are sound.
    if (IsPerItemKey(key) && !m_keysWithFiles.count(lower))
        return FileCheck::Broken;
    FileCheck result = FileCheck::Sound;
    for (const BOOL large : {FALSE, TRUE}) {
        const FileCheck file = CheckIconFile(GetIconPath(key, large));
        if (file == FileCheck::Broken)
            return file;
        if (file == FileCheck::Unreadable)
            result = file;
    }
    if (result == FileCheck::Sound)
        m_soundKeys.insert(lower);
    return result;
}

BOOL IconManager::RemakeBrokenIcon(int type, const CString& path, const CString& key)
{
    try {
        const CString kind = KindKey(type, path);
        const BOOL allowed = IsPerItemKey(key) || (key == kind && !IsOwnIconKind(kind));
        if (m_bStoreFailed || path.IsEmpty() || !allowed || !IsPlainKey(key) ||
            CheckKeyFiles(key) != FileCheck::Broken || ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
            return FALSE;
        _ICON_INFO* entry = Find(key);
        if (entry) {
            DestroyHandles(*entry);
        } else {
            m_icons.emplace_back();
            entry = &m_icons.back();
            entry->strKey = key;
        }
        Took(*entry, FetchShellIcons(*entry, path));
        if (entry->bSmallOnDisk && entry->bLargeOnDisk)
            Log(kLogInfo, CString(L"<icon> missing or broken icon files made again:") + key);
        return entry->hSmall || entry->hLarge;
    } catch (CException* e) {
        LogException(kLogError, L"<icon> RemakeBrokenIcon", __LINE__, e);
    } catch (...) {
        LogCaught(L"<icon> RemakeBrokenIcon failed");
    }
    return FALSE;
}

int IconManager::FetchShellIcons(_ICON_INFO& entry, const CString& path)
{
    entry.hSmall = GetShellIcon(path, FALSE);
    entry.hLarge = GetShellIcon(path, TRUE);
    entry.bSmallOnDisk = entry.hSmall && SaveIconFile(entry.hSmall, 32, GetIconPath(entry.strKey, FALSE));
    entry.bLargeOnDisk = entry.hLarge && SaveIconFile(entry.hLarge, 32, GetIconPath(entry.strKey, TRUE));
    if (entry.bSmallOnDisk && entry.bLargeOnDisk)
        m_soundKeys.insert(Lower(entry.strKey));
    if ((entry.hSmall && !entry.bSmallOnDisk) || (entry.hLarge && !entry.bLargeOnDisk)) {
        // A folder that cannot be written (disk full, no rights) would fail every remake,
        // and each would hold its icons in memory for good.
        if (!m_bStoreFailed)
            Log(kLogWarn, L"<icon> an icon could not be stored: no icon files are made again in this run");
        m_bStoreFailed = TRUE;
        for (const BOOL large : {FALSE, TRUE}) {
            HICON& handle = large ? entry.hLarge : entry.hSmall;
            if (handle && !(large ? entry.bLargeOnDisk : entry.bSmallOnDisk) && MemoryOnlyHandles() >= kMaxHandles) {
                ::DestroyIcon(handle);
                handle = nullptr;
            }
        }
    }
    return (entry.hSmall ? 1 : 0) + (entry.hLarge ? 1 : 0);
}

size_t IconManager::MemoryOnlyHandles() const
{
    size_t count = 0;
    for (const _ICON_INFO& info : m_icons)
        count += (info.hSmall && !info.bSmallOnDisk ? 1 : 0) + (info.hLarge && !info.bLargeOnDisk ? 1 : 0);
    return count;
}

void IconManager::Took(_ICON_INFO& entry, int handles)
{
    m_nHandles += static_cast<size_t>(handles);
    entry.nLastUse = ++m_nUses;
    while (m_nHandles > kMaxHandles) {
        // The least recently asked-for handle that its file can give back.
        _ICON_INFO* oldest = nullptr;
        for (_ICON_INFO& info : m_icons) {
            const bool releasable = (info.hSmall && info.bSmallOnDisk) || (info.hLarge && info.bLargeOnDisk);
            if (releasable && &info != &entry && (!oldest || info.nLastUse < oldest->nLastUse))
                oldest = &info;
        }
        if (!oldest)
            return;
        for (HICON* handle : {&oldest->hSmall, &oldest->hLarge}) {
            const BOOL onDisk = handle == &oldest->hSmall ? oldest->bSmallOnDisk : oldest->bLargeOnDisk;
            if (*handle && onDisk) {
                ::DestroyIcon(*handle);
                *handle = nullptr;
                --m_nHandles;
            }
        }
    }
}

void IconManager::DestroyHandles(_ICON_INFO& entry)
{
    for (HICON* handle : {&entry.hSmall, &entry.hLarge}) {
        if (*handle) {
            ::DestroyIcon(*handle);
            *handle = nullptr;
            --m_nHandles;
        }
    }
}

HICON IconManager::GetIcon(CString key, int size)
{
    const BOOL large = size != 0;
    if (!IsPlainKey(key)) {
        Log(kLogWarn, CString(L"Can't load icon:") + key);
        return nullptr;
    }
    const CString path = GetIconPath(key, large);
    if (_ICON_INFO* listed = Find(key)) {
        HICON& handle = large ? listed->hLarge : listed->hSmall;
        int loaded = 0;
        if (!handle) {
            handle = LoadIconFile(path);
            loaded = handle ? 1 : 0;
            if (handle)
                (large ? listed->bLargeOnDisk : listed->bSmallOnDisk) = TRUE;
        }
        const HICON result = handle;
        Took(*listed, loaded);
        return result;
    }
    _ICON_INFO entry;
    entry.strKey = key;
    const HICON result = LoadIconFile(path);
    if (!result)
        return nullptr;
    (large ? entry.hLarge : entry.hSmall) = result;
    (large ? entry.bLargeOnDisk : entry.bSmallOnDisk) = TRUE;
    try {
        m_icons.push_back(entry);
        Took(m_icons.back(), 1);
    } catch (...) {
        // Without room in the list the icon is still drawn; the next call loads it again.
    }
    return result;
}

void IconManager::DeleteIcon(CString key)
{
    if (!IsPerItemKey(key))
        return;
    for (auto it = m_icons.begin(); it != m_icons.end(); ++it) {
        if (it->strKey != key)
            continue;
        DestroyHandles(*it);
        ::DeleteFileW(GetIconPath(key, FALSE));
        ::DeleteFileW(GetIconPath(key, TRUE));
        m_keysWithFiles.erase(Lower(key));
        m_soundKeys.erase(Lower(key));
        m_icons.erase(it);
        return;
    }
}

CString IconManager::GetIconPath(CString key, BOOL large) const
{
    return FormatString(L"%s\\%s.%s", m_strFolder.GetString(), key.GetString(), large ? L"li" : L"si");
}

BOOL IconManager::IconFileExists(CString key) const
{
    return FileExists(GetIconPath(key, FALSE));
}

BOOL IconManager::RemoveUnnamedFiles(const std::unordered_set<std::wstring>& named,
                                     const std::function<bool()>& timeUp)
{
    while (!m_earlierFiles.empty()) {
        CString name = m_earlierFiles.back();
        m_earlierFiles.pop_back();
        CString key = name.Left(name.ReverseFind(L'.'));
        key.MakeLower();
        if (named.count(key.GetString()) == 0 && ::DeleteFileW(m_strFolder + L"\\" + name))
            ++m_nRemovedFiles;
        if (timeUp && timeUp() && !m_earlierFiles.empty())
            return TRUE;
    }
    if (m_nRemovedFiles)
        LogValue(kLogInfo, L"<icon> icon files that no item names, removed:", m_nRemovedFiles);
    m_nRemovedFiles = 0;
    return FALSE;
}

int IconManager::GetNextExtIndex(std::vector<CString>* perItemFiles, std::vector<ULONGLONG>* sizes) const
{
    long largest = 1;
    for (const wchar_t* suffix : {L"si", L"li"}) {
        const CString pattern = FormatString(L"%s\\ext*.%s", m_strFolder.GetString(), suffix);
        CFileFind finder;
        BOOL more = finder.FindFile(pattern);
        while (more) {
            more = finder.FindNextFile();
            if (finder.IsDirectory())
                continue;
            const CString title = finder.GetFileName();
            const int dot = title.ReverseFind(L'.');
            if (dot < 3 || title.Mid(dot + 1).CompareNoCase(suffix) != 0 ||
                title.Left(3).CompareNoCase(L"ext") != 0)
                continue;
            long number = 0;
            if (ParseExtNumber(title.Left(dot), number) && number > largest)
                largest = number;
            CString key = title.Left(dot);
            key.MakeLower();
            if (perItemFiles && IsPerItemKey(key)) {
                perItemFiles->push_back(title);
                if (sizes)
                    sizes->push_back(finder.GetLength());
            }
        }
    }
    return static_cast<int>(largest + 1);
}

HICON IconManager::GetShellIcon(CString path, BOOL large)
{
    // An item whose target could not be resolved has no path; the shell would answer with
    // some icon of its own, which must not become the icon of every file without extension.
    if (path.IsEmpty())
        return nullptr;
    // The icon at the item's place in the shell's own image list, which is what SHGFI_ICON
    // gives too, for a part of its cost: under Wine an internet shortcut's large icon costs
    // some 45 ms that way against 4 ms this way.
    SHFILEINFOW info = {};
    const UINT flags = SHGFI_SYSICONINDEX | (large ? 0u : static_cast<UINT>(SHGFI_SMALLICON));
    const auto list = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(path, 0xFFFFFFFF, &info, sizeof(info), flags));
    if (!list)
        return nullptr;
    return ::ImageList_GetIcon(list, info.iIcon, ILD_NORMAL);
}

BOOL IconManager::SaveIconFile(HICON icon, int bitCount, CString path)
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

HICON IconManager::LoadIconFile(CString path)
{
    HICON icon = nullptr;
    try {
        std::vector<BYTE> bytes;
        DWORD error = ERROR_SUCCESS;
        if (ReadWholeFile(path, bytes, error) && IsWellFormedIconFile(bytes))
            icon = IconFromBytes(bytes);
    } catch (...) {
        icon = nullptr;
    }
    if (!icon)
        Log(kLogWarn, CString(L"Can't load icon:") + path);
    return icon;
}

IconManager::FileCheck IconManager::CheckIconFile(CString path)
{
    try {
        std::vector<BYTE> bytes;
        DWORD error = ERROR_SUCCESS;
        if (ReadWholeFile(path, bytes, error))
            return IsWellFormedIconFile(bytes) ? FileCheck::Sound : FileCheck::Broken;
        const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return gone || error == ERROR_BAD_FORMAT ? FileCheck::Broken : FileCheck::Unreadable;
    } catch (...) {
        return FileCheck::Unreadable;  // out of memory
    }
}

}  // namespace Model
