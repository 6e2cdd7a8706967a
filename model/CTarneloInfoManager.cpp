#include "model/CTarneloInfoManager.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "framework/CException.h"
#include "framework/CFile.h"
#include "model/CConfigInfo.h"
#include "model/IconManager.h"
#include "model/KeptBoxFileCopy.h"

namespace Model {

namespace {

struct DefaultBox
{
    const wchar_t* name;
    const wchar_t* icon;
};

const DefaultBox kDefaultBoxes[] = {
    {L"Apps", L"squares"},       {L"Tools", L"hammer"}, {L"Documents", L"paper_sheet"},
    {L"Folders", L"folder"},     {L"Shared", L"share"}, {L"Hot items", L"sunny"},
};

// The box file is read and written in pieces of this size: a large file costs few
// system calls, and a small one no more memory than it is worth.
constexpr int kBoxFileBufferBytes = 32 * 1024;

// The archive checks every length against the bytes the file still holds, so no count or
// length from a damaged file is trusted before the bytes behind it are known to exist.
UINT ReadUInt(CArchive& ar)
{
    UINT value = 0;
    ar >> value;
    return value;
}

CString ReadText(CArchive& ar)
{
    CString text;
    ar >> text;
    return text;
}

// Owns one GDI+ image of the flat interface.
class GdipImage
{
public:
    explicit GdipImage(const CString& path)
    {
        if (Gdiplus::DllExports::GdipLoadImageFromFile(path, &m_image) != Gdiplus::Ok)
            m_image = nullptr;
    }
    GdipImage(const GdipImage&) = delete;
    GdipImage& operator=(const GdipImage&) = delete;
    ~GdipImage()
    {
        if (m_image)
            Gdiplus::DllExports::GdipDisposeImage(m_image);
    }
    UINT Width() const
    {
        UINT value = 0;
        if (m_image)
            Gdiplus::DllExports::GdipGetImageWidth(m_image, &value);
        return value;
    }
    UINT Height() const
    {
        UINT value = 0;
        if (m_image)
            Gdiplus::DllExports::GdipGetImageHeight(m_image, &value);
        return value;
    }

private:
    Gdiplus::GpImage* m_image = nullptr;
};

DWORD ToColorRef(DWORD argb)
{
    const DWORD red = (argb >> 16) & 0xFF;
    const DWORD green = (argb >> 8) & 0xFF;
    const DWORD blue = argb & 0xFF;
    return red | (green << 8) | (blue << 16);
}

DWORD FromColorRef(DWORD colorRef)
{
    const DWORD red = colorRef & 0xFF;
    const DWORD green = (colorRef >> 8) & 0xFF;
    const DWORD blue = (colorRef >> 16) & 0xFF;
    return 0xFF000000 | (red << 16) | (green << 8) | blue;
}

}  // namespace

CTarneloInfoManager::CTarneloInfoManager() : m_nVersion(0)
{
}

CTarneloInfoManager::~CTarneloInfoManager()
{
    RemoveAll();
}

CString CTarneloInfoManager::FilePath(const CString& dataFolder)
{
    return FormatString(L"%s\\%s", dataFolder.GetString(), kFileName);
}

void CTarneloInfoManager::Bind(CString filesFolder, CString iconsFolder, IconManager* icons, CConfigInfo* config)
{
    m_strFilesFolder = filesFolder;
    m_strIconsFolder = iconsFolder;
    m_pIconManager = icons;
    m_pConfig = config;
    for (CTarneloInfo* record : m_boxes)
        record->SetIconManager(icons);
}

void CTarneloInfoManager::SetScreenInfo(const CTarneloInfo::_SCREEN_INFO* screen)
{
    if (screen)
        m_screen = *screen;
    else
        m_screen.reset();
}

CTarneloInfo::_SCREEN_INFO CTarneloInfoManager::GetScreen() const
{
    return m_screen ? *m_screen : CTarneloInfo::GetSystemScreenInfo();
}

CString CTarneloInfoManager::GetBoxFolder(UINT id) const
{
    return FormatString(L"%s\\%03u", m_strFilesFolder.GetString(), id);
}

// ------------------------------------------------------------------------- load

void CTarneloInfoManager::KeepIconFiles()
{
    // Icon files are deleted only for want of an item in a box file read whole: one that is
    // missing or damaged may name them still (a copy kept aside, or a file brought back).
    if (m_pIconManager)
        m_pIconManager->KeepEarlierFiles();
}

void CTarneloInfoManager::KeepAside(const CString& path, const wchar_t* why)
{
    KeepIconFiles();
    m_bDamaged = TRUE;
    DWORD error = ERROR_SUCCESS;
    m_strKeptCopy = KeptBoxFileCopy::Keep(path, &error);
    if (!m_strKeptCopy.IsEmpty()) {
        Log(kLogError, FormatString(L"box file %s, kept as %s", why, m_strKeptCopy.GetString()));
        if (m_strUnsafePath.CompareNoCase(path) == 0)
            m_strUnsafePath.Empty();
        return;
    }
    // Without a copy the file must not be written over in this run.
    LogValue(kLogError, FormatString(L"box file %s and not copied aside, not to be saved over: %s le:", why,
                                   path.GetString()),
             static_cast<long>(error));
    m_strUnsafePath = path;
    m_bFileUnread = TRUE;
    for (CTarneloInfo* record : m_boxes)
        record->m_bBoxFileUnread = TRUE;
}

BOOL CTarneloInfoManager::WasDamaged(CString* keptCopy) const
{
    if (keptCopy)
        *keptCopy = m_strKeptCopy;
    return m_bDamaged;
}

BOOL CTarneloInfoManager::Load(CString path)
{
    Log(kLogInfo, L"Load box info");
    RemoveAll();
    m_bDamaged = FALSE;
    m_dwLoadError = ERROR_SUCCESS;
    m_bFileUnread = FALSE;
    m_strKeptCopy.Empty();
    m_strKeysSavePath.Empty();
    m_fileOrder.clear();
    m_bUnsavedKeys = FALSE;
    m_namedKeys.clear();
    m_bSweepDue = FALSE;

    // Only a box file that is not there at all means a fresh start with the default boxes;
    // one that is there but unreadable holds the user's boxes and is kept.
    if (::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            KeepIconFiles();
            CreateDefaultBoxes();
            return TRUE;
        }
    }
    // Read only while nobody writes it. A program that holds the file (a backup, sync or
    // scanning tool at logon) is waited for a moment; a file still held then is whole as far
    // as anyone knows: it is neither copied aside as damaged nor saved over in this run.
    CFile file;
    const DWORD openError = OpenHeldFile([&]() -> DWORD {
        CFileException error;
        return file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error) ? ERROR_SUCCESS
                                                                                : static_cast<DWORD>(error.m_lOsError);
    });
    if (openError != ERROR_SUCCESS && IsHeldFileError(openError)) {
        LogValue(kLogError, FormatString(L"box file in use by another program, not to be saved over: %s le:",
                                         path.GetString()),
                 static_cast<long>(openError));
        KeepIconFiles();
        m_dwLoadError = openError;
        m_strUnsafePath = path;
        m_bFileUnread = TRUE;
        return FALSE;
    }
    if (openError != ERROR_SUCCESS) {
        LogValue(kLogError, FormatString(L"box file cannot be opened: %s le:", path.GetString()),
                 static_cast<long>(openError));
        KeepAside(path, L"cannot be opened");
        return FALSE;
    }

    BOOL result = FALSE;
    BOOL readWhole = FALSE;
    BOOL modified = FALSE;
    try {
        CArchive ar(&file, CArchive::load, kBoxFileBufferBytes);
        m_nVersion = ReadUInt(ar);
        ReadText(ar);  // reserved
        const int count = static_cast<int>(ReadUInt(ar));
        result = TRUE;
        if (count < 0) {
            LogValue(kLogError, L"box file: impossible box count", count);
            result = FALSE;
        }
        for (int i = 0; result && i < count; ++i) {
            if (!LoadBox(ar, &modified))
                result = FALSE;
        }
        // The counted records must be the whole file: boxes behind a count too small would
        // otherwise be dropped without a word by the next save.
        BYTE extra = 0;
        if (result && ar.Read(&extra, 1) != 0) {
            Log(kLogError, L"box file: more bytes than its boxes");
            result = FALSE;
        }
        readWhole = result;
        ar.Close();
        m_fileOrder.assign(m_boxes.begin(), m_boxes.end());

        const CTarneloInfo::_SCREEN_INFO screen = GetScreen();
        BOOL moved = FALSE;
        for (CTarneloInfo* record : m_boxes) {
            if (record->AdjustPosition(screen))
                moved = TRUE;
        }
        if (moved && m_pConfig)
            m_pConfig->m_bLock = FALSE;
        SortBoxes();
    } catch (CException* e) {
        LogException(kLogError, L"CTarneloInfoManager::Load", 128, e);
    } catch (...) {
        Log(kLogError, L"CTarneloInfoManager::Load exception");
    }
    file.Abort();

    if (!readWhole) {
        KeepAside(path, L"cannot be read whole");
        return FALSE;
    }
    if (m_strUnsafePath.CompareNoCase(path) == 0)
        m_strUnsafePath.Empty();
    // The user may bring a kept copy back: the icon files its items name stay until then.
    if (m_pIconManager && m_pIconManager->HasEarlierFiles() && KeptBoxFileCopy::Exists(path)) {
        Log(kLogInfo, L"icon files of earlier runs kept while a copy of a damaged box file is kept");
        KeepIconFiles();
    }
    if (m_pIconManager && m_pIconManager->HasEarlierFiles()) {
        for (const CTarneloInfo* record : m_boxes) {
            for (const CTarneloInfo::_ITEM& item : record->m_items) {
                CString key = item.strIconKey;
                key.MakeLower();
                if (IconManager::IsPerItemKey(key))
                    m_namedKeys.insert(key.GetString());
            }
        }
        m_bSweepDue = TRUE;
    }
    // Regenerated icon keys are written back once they are all in, and only to a file that
    // was read whole.
    if (result && modified)
        m_strKeysSavePath = path;
    return result;
}

BOOL CTarneloInfoManager::DoPendingWork(CTarneloInfo* pFirst, const std::function<bool()>& timeUp,
                                        std::vector<CTarneloInfo*>* pNewIcons)
{
    // The icon files of earlier runs first: starts cut short one after another then leave
    // no more than the files of the last one.
    if (m_bSweepDue) {
        if (m_pIconManager && m_pIconManager->RemoveUnnamedFiles(m_namedKeys, timeUp))
            return TRUE;
        m_bSweepDue = FALSE;
        m_namedKeys.clear();
    }
    // A pointer that is no record of the list is never followed (records go from the file
    // order when they are deleted; pFirst comes from elsewhere).
    auto listed = [this](CTarneloInfo* record) {
        return record && std::find(m_boxes.begin(), m_boxes.end(), record) != m_boxes.end();
    };
    std::vector<CTarneloInfo*> order;
    order.reserve(m_fileOrder.size() + m_boxes.size() + 1);
    if (listed(pFirst))
        order.push_back(pFirst);
    std::copy_if(m_fileOrder.begin(), m_fileOrder.end(), std::back_inserter(order), listed);
    order.insert(order.end(), m_boxes.begin(), m_boxes.end());
    for (CTarneloInfo* record : order) {
        BOOL keyed = FALSE;
        BOOL made = FALSE;
        const BOOL more = record->DoPendingWork(timeUp, &keyed, &made);
        m_bUnsavedKeys = m_bUnsavedKeys || keyed;
        if ((keyed || made) && pNewIcons && std::find(pNewIcons->begin(), pNewIcons->end(), record) == pNewIcons->end())
            pNewIcons->push_back(record);
        if (more)
            return TRUE;
    }
    if (!m_strKeysSavePath.IsEmpty()) {
        const CString path = m_strKeysSavePath;
        m_strKeysSavePath.Empty();
        Save(path);
    }
    return FALSE;
}

void CTarneloInfoManager::CompletePendingWork()
{
    DoPendingWork(nullptr, nullptr);
}

BOOL CTarneloInfoManager::HasPendingWork() const
{
    if (!m_strKeysSavePath.IsEmpty() || m_bSweepDue)
        return TRUE;
    for (const CTarneloInfo* record : m_boxes) {
        for (const CTarneloInfo::_ITEM& item : record->m_items) {
            if (item.bResolvePending || item.bKeyPending || item.bIconCheckPending)
                return TRUE;
        }
    }
    return FALSE;
}

BOOL CTarneloInfoManager::LoadBox(CArchive& ar, BOOL* pModified)
{
    std::unique_ptr<CTarneloInfo> record(new CTarneloInfo);
    try {
        record->m_nId = ReadUInt(ar);
        record->m_pos.x = static_cast<LONG>(ReadUInt(ar));
        record->m_pos.y = static_cast<LONG>(ReadUInt(ar));
        record->m_strName = ReadText(ar);
        const int count = static_cast<int>(ReadUInt(ar));
        if (count < 0)
            AfxThrowArchiveException(CArchiveException::badIndex);
        const int version = static_cast<int>(m_nVersion);
        for (int i = 0; i < count; ++i) {
            CTarneloInfo::_ITEM item;
            item.nType = ReadUInt(ar);
            item.strName = ReadText(ar);
            item.strPath = ReadText(ar);
            // Only what costs nothing is done here: reading a shortcut and asking the shell for
            // icons wait until the boxes are up (DoPendingWork).
            if (item.nType == ITEM_TYPE_SHORTCUT || item.nType == ITEM_TYPE_INTERNET_SHORTCUT)
                CTarneloInfo::ResolveItem(item);
            else
                item.bResolvePending = TRUE;
            if (version >= 1003)
                item.strIconKey = ReadText(ar);
            if (item.strIconKey.IsEmpty() && m_pIconManager) {
                item.bKeyPending = TRUE;
                if (pModified)
                    *pModified = TRUE;
            } else if (m_pIconManager) {
                m_pIconManager->ReserveKey(item.strIconKey);
                item.bIconCheckPending = TRUE;
            }
            record->m_items.push_back(std::move(item));
        }
        if (version >= 1002) {
            record->m_nHotKeyModifiers = ReadUInt(ar);
            record->m_nHotKeyKey = ReadUInt(ar);
        }
        record->m_nReserved = ReadUInt(ar);
        record->m_color = FromColorRef(ReadUInt(ar));
        record->m_strIcon = ReadText(ar);
        record->m_strFolder = GetBoxFolder(record->m_nId);
        CreateDirectoryTree(record->m_strFolder);
        record->SetIconManager(m_pIconManager);
        m_boxes.push_back(record.get());
        record.release();
        return TRUE;
    } catch (CException* e) {
        LogException(kLogError, L"Model::CTarneloInfoManager::LoadBox", 332, e);
    } catch (...) {
        Log(kLogError, L"Model::CTarneloInfoManager::LoadBox exception");
    }
    return FALSE;
}

// ------------------------------------------------------------------------- save

BOOL CTarneloInfoManager::Save(CString path)
{
    Log(kLogInfo, L"Save box info");
    if (!m_strUnsafePath.IsEmpty() && m_strUnsafePath.CompareNoCase(path) == 0) {
        Log(kLogError, FormatString(L"box file not saved over, it could not be read or kept: %s", path.GetString()));
        return SaveFailed(m_dwLoadError != ERROR_SUCCESS ? m_dwLoadError : ERROR_FILE_CORRUPT);
    }
    const CString temp = path + L".temp";
    ::DeleteFileW(temp);

    CFile file;
    CFileException openError;
    if (!file.Open(temp, CFile::modeCreate | CFile::modeWrite, &openError)) {
        LogValue(kLogError, FormatString(L"box file: cannot create %s le:", temp.GetString()), openError.m_lOsError);
        return SaveFailed(static_cast<DWORD>(openError.m_lOsError));
    }

    DWORD error = ERROR_SUCCESS;
    try {
        CArchive ar(&file, CArchive::store, kBoxFileBufferBytes);
        ar << static_cast<UINT>(FILE_VERSION);
        ar << CString();
        ar << static_cast<UINT>(m_boxes.size());
        for (CTarneloInfo* record : m_boxes) {
            if (!SaveBox(ar, record)) {
                error = ERROR_INVALID_DATA;
                break;
            }
        }
        if (error == ERROR_SUCCESS) {
            ar.Close();
            // The data must be on the disk before the old file is given up for it.
            if (!::FlushFileBuffers(file.GetHandle())) {
                error = ::GetLastError();
                LogValue(kLogError, L"box file: flush failed le:", static_cast<long>(error));
            }
            file.Close();
        } else {
            ar.Abort();
        }
    } catch (CException* e) {
        // A write that failed on the disk says why; anything else is the data's fault.
        const auto* fileError = dynamic_cast<const CFileException*>(e);
        error = fileError && fileError->m_lOsError > 0 ? static_cast<DWORD>(fileError->m_lOsError) : ERROR_WRITE_FAULT;
        LogException(kLogError, L"CTarneloInfoManager::Save", 186, e);
    } catch (...) {
        Log(kLogError, L"CTarneloInfoManager::Save exception");
        error = ERROR_WRITE_FAULT;
    }
    file.Abort();
    if (error != ERROR_SUCCESS)
        return SaveFailed(error);

    // A read-only box file is not replaced (not every file system refuses it by itself).
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        Log(kLogError, FormatString(L"box file: cannot replace read-only %s", path.GetString()));
        return SaveFailed(ERROR_ACCESS_DENIED);
    }
    if (!::MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
        LogValue(kLogError, FormatString(L"box file: cannot replace %s le:", path.GetString()), static_cast<long>(error));
        return SaveFailed(error);
    }
    m_dwSaveError = ERROR_SUCCESS;
    m_bUnsavedKeys = FALSE;
    return TRUE;
}

BOOL CTarneloInfoManager::SaveFailed(DWORD error)
{
    // A failure always reads as one, even when the system gave no code for it.
    m_dwSaveError = error != ERROR_SUCCESS && error != static_cast<DWORD>(-1) ? error : ERROR_GEN_FAILURE;
    return FALSE;
}

BOOL CTarneloInfoManager::SaveBox(CArchive& ar, CTarneloInfo* record)
{
    try {
        if (!record)
            return FALSE;
        ar << static_cast<UINT>(record->m_nId);
        ar << static_cast<LONG>(record->m_pos.x);
        ar << static_cast<LONG>(record->m_pos.y);
        ar << record->m_strName;
        ar << static_cast<UINT>(record->m_items.size());
        for (const CTarneloInfo::_ITEM& item : record->m_items) {
            ar << static_cast<UINT>(item.nType);
            ar << item.strName;
            ar << item.strPath;
            ar << item.strIconKey;
        }
        ar << static_cast<UINT>(record->m_nHotKeyModifiers);
        ar << static_cast<UINT>(record->m_nHotKeyKey);
        ar << static_cast<UINT>(record->m_nReserved);
        ar << static_cast<DWORD>(ToColorRef(record->m_color));
        ar << record->m_strIcon;
        return TRUE;
    } catch (CException* e) {
        LogException(kLogError, L"Model::CTarneloInfoManager::SaveBox", 373, e);
    } catch (...) {
        Log(kLogError, L"Model::CTarneloInfoManager::SaveBox exception");
    }
    return FALSE;
}

// ------------------------------------------------------------------------- the list

void CTarneloInfoManager::CreateDefaultBoxes()
{
    const CTarneloInfo::_SCREEN_INFO screen = GetScreen();
    const LONG x = screen.rcVirtual.right - 300;
    for (UINT i = 0; i < 6; ++i) {
        auto* record = new CTarneloInfo;
        record->m_nId = i;
        record->m_pos.x = x;
        record->m_pos.y = static_cast<LONG>(10 + 40 * i);
        record->m_strName = kDefaultBoxes[i].name;
        record->m_strIcon = CString(L"150-outlined-icons-white\\") + kDefaultBoxes[i].icon + L".png";
        record->m_strFolder = GetBoxFolder(i);
        CreateDirectoryTree(record->m_strFolder);
        record->SetIconManager(m_pIconManager);
        // Standing in for an unread file, they share the folders of the user's boxes.
        record->m_bBoxFileUnread = m_bFileUnread;
        m_boxes.push_back(record);
    }
}

CTarneloInfo* CTarneloInfoManager::AddNewBox()
{
    auto* record = new CTarneloInfo;
    int largest = 0;
    for (const CTarneloInfo* other : m_boxes) {
        if (static_cast<int>(other->m_nId) > largest)
            largest = static_cast<int>(other->m_nId);
    }
    record->m_nId = static_cast<UINT>(largest) + 1;
    record->m_strFolder = GetBoxFolder(record->m_nId);
    CreateDirectoryTree(record->m_strFolder);
    record->SetIconManager(m_pIconManager);
    record->m_bBoxFileUnread = m_bFileUnread;
    m_boxes.push_back(record);
    return record;
}

void CTarneloInfoManager::DeleteBox(CTarneloInfo* record)
{
    for (auto it = m_boxes.begin(); it != m_boxes.end(); ++it) {
        if (*it == record) {
            m_boxes.erase(it);
            m_fileOrder.erase(std::remove(m_fileOrder.begin(), m_fileOrder.end(), record), m_fileOrder.end());
            delete record;
            return;
        }
    }
}

void CTarneloInfoManager::RemoveAll()
{
    for (CTarneloInfo* record : m_boxes)
        delete record;
    m_boxes.clear();
    m_fileOrder.clear();
}

void CTarneloInfoManager::GetMaxIconSize(SIZE* out)
{
    UINT width = 16;
    UINT height = 16;
    for (const CTarneloInfo* record : m_boxes) {
        const CString path = m_strIconsFolder + L"\\" + record->m_strIcon;
        try {
            const GdipImage image(path);
            if (image.Width() > width)
                width = image.Width();
            if (image.Height() > height)
                height = image.Height();
        } catch (...) {
            Log(kLogError, CString(L"icon load failed:") + path);
        }
    }
    if (out) {
        out->cx = static_cast<LONG>(width);
        out->cy = static_cast<LONG>(height);
    }
}

CTarneloInfo* CTarneloInfoManager::FindLeftmostBox()
{
    CTarneloInfo* leftmost = nullptr;
    for (CTarneloInfo* record : m_boxes) {
        if (!leftmost || record->m_pos.x < leftmost->m_pos.x)
            leftmost = record;
    }
    return leftmost;
}

void CTarneloInfoManager::SortBoxes()
{
    std::list<CTarneloInfo*> work;
    for (int pass = 0; !m_boxes.empty() && pass < 1000; ++pass) {
        const CTarneloInfo* leftmost = FindLeftmostBox();
        if (!leftmost)
            break;
        // One column: from the leftmost box 30 pixels to the right.
        const LONGLONG lo = leftmost->m_pos.x;
        const LONGLONG hi = lo + 30;
        for (auto it = m_boxes.begin(); it != m_boxes.end();) {
            const LONGLONG x = (*it)->m_pos.x;
            if (x >= lo && x <= hi) {
                InsertSorted(work, *it, lo, hi);
                it = m_boxes.erase(it);
            } else {
                ++it;
            }
        }
    }
    LogValue(kLogInfo, L"done.", static_cast<long>(m_boxes.size()));
    m_boxes.splice(m_boxes.end(), work);
}

void CTarneloInfoManager::InsertSorted(std::list<CTarneloInfo*>& list, CTarneloInfo* record, LONGLONG lo, LONGLONG hi)
{
    const wchar_t* how = L"Add Tail:";
    auto it = list.begin();
    for (; it != list.end(); ++it) {
        const CTarneloInfo* entry = *it;
        if (entry->m_pos.x < lo || entry->m_pos.x > hi)
            continue;  // a box of an earlier column
        if (entry->m_pos.y > record->m_pos.y) {
            how = L"Add before:";
            break;
        }
        if (entry->m_pos.y == record->m_pos.y) {
            if (entry->m_pos.x > record->m_pos.x) {
                how = L"Add before2:";
            } else {
                how = L"Add after:";
                ++it;
            }
            break;
        }
    }
    list.insert(it, record);
    LogValue2(kLogInfo, CString(how) + record->m_strName, record->m_pos.x, record->m_pos.y);
}

}  // namespace Model
