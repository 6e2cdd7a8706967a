#include "windows/CDragFile.h"

#include <shlobj.h>

#include <cstring>

namespace Utility {

namespace {

// The block grows in steps of this many bytes, as a memory file would grow it.
constexpr SIZE_T kGrowthStep = 4096;
// The header before the path.
constexpr SIZE_T kHeaderSize = 20;
// The path's terminating zero character and the one that ends the list.
constexpr SIZE_T kTerminatorBytes = 4;
// Longer paths than the shell itself accepts are refused rather than copied.
constexpr SIZE_T kMaxPathChars = 32767;

static_assert(sizeof(DROPFILES) == kHeaderSize, "the CF_HDROP header is 20 bytes");

}  // namespace

CDragFile::CDragFile(const CString& path) : m_strPath(path) {}

CDragFile::~CDragFile() = default;

SIZE_T CDragFile::DropFilesSize(SIZE_T pathChars)
{
    const SIZE_T needed = kHeaderSize + pathChars * sizeof(wchar_t) + kTerminatorBytes;
    return (needed + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
}

HGLOBAL CDragFile::BuildDropFiles(const CString& path)
{
    const SIZE_T chars = static_cast<SIZE_T>(path.GetLength());
    if (chars > kMaxPathChars)
        return nullptr;
    const SIZE_T size = DropFilesSize(chars);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    auto* bytes = static_cast<BYTE*>(::GlobalLock(block));
    if (!bytes) {
        ::GlobalFree(block);
        return nullptr;
    }
    DROPFILES header = {};
    header.pFiles = static_cast<DWORD>(kHeaderSize);
    header.pt = POINT{0, 0};
    header.fNC = FALSE;
    header.fWide = TRUE;
    std::memcpy(bytes, &header, kHeaderSize);
    if (chars)
        std::memcpy(bytes + kHeaderSize, path.GetString(), chars * sizeof(wchar_t));
    // Everything after the path is still zero from the allocation.
    ::GlobalUnlock(block);
    return block;
}

BOOL CDragFile::OnRenderGlobalData(LPFORMATETC pFormatEtc, HGLOBAL* phGlobal)
{
    if (!phGlobal || !pFormatEtc || pFormatEtc->cfFormat != CF_HDROP)
        return FALSE;
    HGLOBAL block = BuildDropFiles(m_strPath);
    if (!block)
        return FALSE;
    HGLOBAL answer = CopyGlobal(block);
    // The cache owns the block from here and answers every later request.
    CacheGlobalData(CF_HDROP, block);
    if (!answer)
        return FALSE;
    *phGlobal = answer;
    return TRUE;
}

}  // namespace Utility
