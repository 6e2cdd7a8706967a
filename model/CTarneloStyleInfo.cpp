#include "model/CTarneloStyleInfo.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "framework/CException.h"
#include "framework/CFile.h"
#include "framework/ScopedHandles.h"
#include "model/CStyleArchiver.h"
#include "model/StyleBounds.h"

namespace Model {

namespace {

// The file-list values that a load always sets, whatever the file holds.
constexpr Gdiplus::ARGB kLoadedMenuTextColor = 0xFE404040;
constexpr Gdiplus::ARGB kLoadedMenuIconColumnColor = 0xFEE8E8E8;
constexpr int kMenuFontSizeSmall = 14;
constexpr int kMenuFontSizeLarge = 20;

// Height of the taller bounding box of the two sample words in a font of the face and size
// (points), truncated; 0 when the face or the font cannot be made or a measure fails. Box
// names are Latin or Japanese: a Japanese name in a Latin face takes its glyphs from a
// fallback face whose line can be taller, so a Latin sample alone can make the box too low.
int MeasureSample(Gdiplus::Graphics& graphics, const Gdiplus::FontFamily& family, int size)
{
    if (family.GetLastStatus() != Gdiplus::Ok)
        return 0;
    Gdiplus::Font font(&family, static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular,
                       Gdiplus::UnitPoint);
    if (font.GetLastStatus() != Gdiplus::Ok)
        return 0;
    // Measured one by one, so that neither can wrap the other onto a second line.
    static const wchar_t* const kSamples[] = { L"Tarnelo", L"\u65E5\u672C\u8A9E" };
    const Gdiplus::RectF layout(0.0f, 0.0f, 200.0f, 100.0f);
    int height = 0;
    for (const wchar_t* sample : kSamples) {
        Gdiplus::RectF bounds;
        if (graphics.MeasureString(sample, -1, &font, layout, &bounds) != Gdiplus::Ok)
            return 0;
        height = std::max(height, static_cast<int>(bounds.Height));
    }
    return height;
}

} // namespace

CTarneloStyleInfo::CTarneloStyleInfo()
{
    SetDefaults();
}

CTarneloStyleInfo::~CTarneloStyleInfo() = default;

CString CTarneloStyleInfo::FilePath(const CString& dataFolder)
{
    return FormatString(L"%s\\%s", dataFolder.GetString(), kFileName);
}

CString CTarneloStyleInfo::ChooseDefaultFace(int uiLanguage, int osMajorVersion)
{
    if (uiLanguage == 0 && osMajorVersion >= 6)
        return CString(L"Meiryo UI");
    return CString(L"Arial");
}

CString CTarneloStyleInfo::GetDefaultFace()
{
    int major = 0;
    GetOSInfo(nullptr, nullptr, &major, nullptr);
    return ChooseDefaultFace(GetUILanguage(), major);
}

void CTarneloStyleInfo::SetDefaults()
{
    const CString face = GetDefaultFace();

    m_nVersion = kVersion;
    m_nKind = kKindIconAndTitle;
    m_iconPos = POINT{ 4, 4 };
    m_nIconCellWidth = 24;
    m_nIconCellHeight = 24;
    m_bIconBackground = FALSE;
    m_iconBackColor = 0x804682B4;
    m_nIconDisplay = kIconDisplayHalf;
    m_nIconBackShape = kIconBackRoundRect;
    m_nTitleWidth = 100;

    // Start the title from a fresh text style so no earlier edit survives.
    m_titleStyle = CTextStyle();
    m_titleStyle.m_textColor = 0xFFFFFFFF;
    m_titleStyle.SetFont(face, 14, 0);
    m_titleStyle.SetAlignment(0, 1);
    m_titleStyle.m_bShadow = FALSE;
    m_titleStyle.m_bOutline = FALSE;
    m_titleStyle.m_outlineColor = 0xFF000000;
    m_titleStyle.m_anReserved[0] = 1;

    m_titleMargins = MARGINS{ 0, 0, 0, 0 };
    m_selectedColor = 0xB04169E1;
    m_hotKeyColor = 0x80404040;
    m_bHotKeySelection = FALSE;
    m_bSmallMenu = TRUE;
    m_menuTextColor = 0xFE404040;
    m_menuIconColumnColor = 0x00D3D3D3;
    m_menuBackColor = 0xFEFFFAFA;
    m_menuBorderColor = 0xFEA9A9A9;
    m_menuHoverColor = 0x80AFE0E0;
    m_menuHoverBorderColor = 0xFE87CEEB;
    m_strMenuFontFace = face;
    m_nMenuFontSizeSmall = kMenuFontSizeSmall;
    m_nMenuFontSizeLarge = kMenuFontSizeLarge;
    m_nMenuFontStyle = 0;
}

BOOL CTarneloStyleInfo::Save(const wchar_t* path)
{
    if (!path || !*path)
        return SaveFailed(ERROR_INVALID_NAME);
    if (!m_strUnreadPath.IsEmpty() && m_strUnreadPath.CompareNoCase(path) == 0) {
        Log(kLogError, FormatString(L"style not saved over, it could not be read: %s", path));
        return SaveFailed(m_dwLoadError);
    }

    // The whole record is built in memory first: a record that does not fit is never
    // written in part.
    CStyleArchiver ar;
    try {
        ar.AllocateForWrite(kWriteBufferSize);
        ar.WriteInt(kVersion);
        ar.WriteInt(m_nKind);
        ar.WriteColor(m_iconBackColor);
        ar.WriteInt(m_nIconDisplay);
        ar.WriteInt(m_nIconBackShape);
        ar.WriteInt(m_bIconBackground);
        ar.WriteInt(m_nIconCellHeight);
        ar.WriteInt(m_nIconCellWidth);
        ar.WritePoint(m_iconPos);
        ar.WriteInt(m_nTitleWidth);
        ar.WriteTextStyle(m_titleStyle);
        ar.WriteMargins(m_titleMargins);
        ar.WriteColor(m_selectedColor);
        ar.WriteColor(m_hotKeyColor);
        ar.WriteInt(m_bHotKeySelection);
        ar.WriteInt(m_bSmallMenu);
        ar.WriteColor(m_menuTextColor);
        ar.WriteColor(m_menuIconColumnColor);
        ar.WriteColor(m_menuBackColor);
        ar.WriteColor(m_menuBorderColor);
        ar.WriteColor(m_menuHoverColor);
        ar.WriteColor(m_menuHoverBorderColor);
        ar.WriteString(m_strMenuFontFace);
        ar.WriteInt(m_nMenuFontSizeSmall);
        ar.WriteInt(m_nMenuFontSizeLarge);
        ar.WriteInt(m_nMenuFontStyle);
    } catch (const CStyleArchiverError& error) {
        Log(kLogError, CString(L"style save exception:") + error.GetText());
        return SaveFailed(ERROR_INVALID_DATA);
    } catch (CException* exception) {
        LogException(kLogError, L"style save exception", 171, exception);
        return SaveFailed(ERROR_INVALID_DATA);
    } catch (const std::exception&) {
        Log(kLogError, L"style save exception:out of memory");
        return SaveFailed(ERROR_NOT_ENOUGH_MEMORY);
    }

    DWORD error = ERROR_SUCCESS;
    if (!ReplaceFileContents(path, ar.GetBuffer(), static_cast<DWORD>(ar.GetPosition()), &error))
        return SaveFailed(error);
    m_dwSaveError = ERROR_SUCCESS;
    return TRUE;
}

BOOL CTarneloStyleInfo::SaveFailed(DWORD error)
{
    LogValue(kLogWarn, L"save style failed", static_cast<long>(error));
    m_dwSaveError = error;
    return FALSE;
}

BOOL CTarneloStyleInfo::Load(const wchar_t* path)
{
    // Shared for everything, so that another reader or writer of the file never makes a
    // present style look missing (which would put the defaults in its place). A program that
    // holds the file sharing nothing is waited for a moment, once per run: after that the file
    // counts as unread, and the defaults in use are not saved over it.
    CFile file;
    const CString name = path ? path : L"";
    const BOOL waited = !m_strUnreadPath.IsEmpty() && m_strUnreadPath.CompareNoCase(name) == 0;
    const DWORD error = name.IsEmpty() ? ERROR_INVALID_NAME : OpenHeldFile([&]() -> DWORD {
        CFileException openError;
        return file.Open(name, CFile::modeRead | CFile::shareDenyNone, &openError)
                   ? ERROR_SUCCESS : static_cast<DWORD>(openError.m_lOsError);
    }, waited ? 0 : GetHeldFileWaitMs());
    m_strUnreadPath.Empty();
    m_dwLoadError = ERROR_SUCCESS;
    if (error != ERROR_SUCCESS) {
        SetDefaults();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
            Log(kLogWarn, L"no style file");
        } else {
            LogValue(kLogError, FormatString(L"style cannot be read, defaults in use and not saved over: %s le:",
                                             name.GetString()),
                     static_cast<long>(error));
            m_strUnreadPath = name;
            m_dwLoadError = error;
        }
        return FALSE;
    }

    std::vector<BYTE> data;
    try {
        const ULONGLONG length = file.GetLength();
        const UINT wanted = static_cast<UINT>(std::min<ULONGLONG>(length, kMaxReadSize));
        data.resize(wanted);
        UINT got = 0;
        while (got < wanted) {
            const UINT n = file.Read(data.data() + got, wanted - got);
            if (n == 0)
                break;
            got += n;
        }
        data.resize(got);
    } catch (CException* exception) {
        // A file that cannot be read leaves the record as it is.
        LogException(kLogError, L"style load exception", 107, exception);
        return FALSE;
    }
    file.Abort();
    if (data.empty())
        return TRUE;

    try {
        CStyleArchiver ar;
        ar.CopyForRead(data.data(), static_cast<int>(data.size()));
        m_nVersion = ar.ReadInt();
        m_nKind = ar.ReadInt();
        m_iconBackColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
        m_nIconDisplay = ar.ReadInt();
        m_nIconBackShape = ar.ReadInt();
        m_bIconBackground = ar.ReadInt();
        m_nIconCellHeight = ar.ReadInt();
        m_nIconCellWidth = ar.ReadInt();
        m_iconPos = ar.ReadPoint();
        m_nTitleWidth = ar.ReadInt();
        ar.ReadTextStyle(m_titleStyle);
        m_titleMargins = ar.ReadMargins();
        if (m_nVersion >= kVersionSelectionColors) {
            m_selectedColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
            m_hotKeyColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
            m_bHotKeySelection = ar.ReadInt();
        }
        m_bSmallMenu = ar.ReadInt();
        m_menuTextColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
        m_menuIconColumnColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
        m_menuBackColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
        m_menuBorderColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
        m_menuHoverColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
        m_menuHoverBorderColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
        m_strMenuFontFace = ar.ReadString();
        m_nMenuFontSizeSmall = ar.ReadInt();
        if (m_nVersion >= kVersionLargeMenuFont)
            m_nMenuFontSizeLarge = ar.ReadInt();
        m_nMenuFontStyle = ar.ReadInt();

        // The file list's face, text colours and sizes are the program's own, not the
        // file's.
        m_strMenuFontFace = GetDefaultFace();
        m_menuTextColor = kLoadedMenuTextColor;
        m_menuIconColumnColor = kLoadedMenuIconColumnColor;
        m_nMenuFontSizeSmall = kMenuFontSizeSmall;
        m_nMenuFontSizeLarge = kMenuFontSizeLarge;
    } catch (const CStyleArchiverError& error) {
        Log(kLogError, CString(L"style load exception:") + error.GetText());
    } catch (CException* exception) {
        LogException(kLogError, L"style load exception", 107, exception);
    } catch (const std::exception&) {
        Log(kLogError, L"style load exception:out of memory");
    }
    // Whatever the file holds, the boxes get sizes the screen can show. The file itself is
    // left as it is: the next save of the style writes the bounded values.
    BoundStyleSizes(*this, GetWorkAreaSize(), L"style.ser");
    return TRUE;
}

int CTarneloStyleInfo::MeasureTitleHeight(HWND window) const
{
    // A graphics object of the window when there is one, else of the screen.
    std::unique_ptr<ScopedGetDC> screen;
    std::unique_ptr<Gdiplus::Graphics> graphics;
    if (window && ::IsWindow(window)) {
        graphics.reset(new Gdiplus::Graphics(window, FALSE));
    }
    if (!graphics || graphics->GetLastStatus() != Gdiplus::Ok) {
        screen = std::make_unique<ScopedGetDC>(nullptr);
        if (!screen->get())
            return 0;
        graphics.reset(new Gdiplus::Graphics(screen->get()));
        if (graphics->GetLastStatus() != Gdiplus::Ok)
            return 0;
    }
    graphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);

    const int size = m_titleStyle.m_nFontSize;
    int height = 0;
    {
        Gdiplus::FontFamily family(m_titleStyle.m_strFontFace);
        height = MeasureSample(*graphics, family, size);
    }
    if (height <= 0) {
        // The face is not installed (or unusable): measure a generic sans-serif family.
        const Gdiplus::FontFamily* shared = Gdiplus::FontFamily::GenericSansSerif();
        std::unique_ptr<Gdiplus::FontFamily> generic(shared ? shared->Clone() : nullptr);
        if (generic)
            height = MeasureSample(*graphics, *generic, size);
    }
    return height;
}

void CTarneloStyleInfo::MeasureBox(int& cx, int& cy, HWND window) const
{
    if (m_nKind != kKindIconAndTitle)
        return;
    if (m_nIconDisplay != kIconDisplayHidden) {
        cx = m_nTitleWidth + m_nIconCellWidth;
        cy = m_nIconCellHeight;
        return;
    }
    cx = m_nTitleWidth;
    int height = MeasureTitleHeight(window);
    if (height <= 0) {
        // No font could measure the title: a box of the icon cell's height is still a
        // box the user can see and grab.
        height = m_nIconCellHeight > 0 ? m_nIconCellHeight : 1;
    }
    cy = height;
}

SIZE CTarneloStyleInfo::GetBoxSize(HWND window) const
{
    int cx = 0;
    int cy = 0;
    MeasureBox(cx, cy, window);
    return SIZE{ cx, cy };
}

Gdiplus::ARGB CTarneloStyleInfo::GetBoxColor() const
{
    return m_nKind == kKindIconAndTitle ? m_iconBackColor : 0;
}

void CTarneloStyleInfo::SetBoxColor(COLORREF color)
{
    if (m_nKind != kKindIconAndTitle)
        return;
    m_iconBackColor = (m_iconBackColor & 0xFF000000u) |
                      (static_cast<Gdiplus::ARGB>(GetRValue(color)) << 16) |
                      (static_cast<Gdiplus::ARGB>(GetGValue(color)) << 8) |
                      static_cast<Gdiplus::ARGB>(GetBValue(color));
}

BOOL CTarneloStyleInfo::HasBoxIcon() const
{
    return (m_nKind == kKindIconAndTitle || m_nKind == 2) ? TRUE : FALSE;
}

} // namespace Model
