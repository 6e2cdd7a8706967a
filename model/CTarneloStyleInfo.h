// The box style: layout of a box (icon cell, icon position, title width and margins),
// the icon background, the title's text style, the selection colours and the file-list
// colours and fonts. One object is shared by every box window and file list; it is
// stored whole in "style.ser".
#pragma once

#include <windows.h>
#include <objidl.h>  // PROPID etc., left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <uxtheme.h>

#include "framework/CString.h"
#include "model/CStyleInfo.h"
#include "model/CTextStyle.h"

namespace Model {

class CTarneloStyleInfo : public CStyleInfo
{
public:
    // The version this program writes. Older files are read too: a file below 1001 has no
    // large menu font size and one below 1002 no selection colours, and those fields keep
    // their values.
    static constexpr int kVersion = 1002;
    static constexpr int kVersionLargeMenuFont = 1001;
    static constexpr int kVersionSelectionColors = 1002;
    // Room for one record; face names of any real font are far shorter.
    static constexpr int kWriteBufferSize = 10240;
    // Larger files are read only this far: no record comes near it.
    static constexpr int kMaxReadSize = 16 * 1024 * 1024;
    // The file's name in the data folder.
    static constexpr wchar_t kFileName[] = L"style.ser";

    // Values of m_nKind: icon and title is the only kind measured, drawn and coloured.
    static constexpr int kKindIconAndTitle = 0;
    // Values of m_nIconDisplay.
    static constexpr int kIconDisplayFull = 0;
    static constexpr int kIconDisplayHalf = 1;    // a 32-pixel icon is drawn at 16
    static constexpr int kIconDisplayHidden = 2;  // a box without icon
    // Values of m_nIconBackShape; any other value draws no background.
    static constexpr int kIconBackRectangle = 1;
    static constexpr int kIconBackRoundRect = 2;

    CTarneloStyleInfo();
    CTarneloStyleInfo(const CTarneloStyleInfo&) = default;
    CTarneloStyleInfo& operator=(const CTarneloStyleInfo&) = default;
    ~CTarneloStyleInfo() override;

    // "<data folder>\style.ser".
    static CString FilePath(const CString& dataFolder);

    void SetDefaults();

    // FALSE (with the defaults) when the file cannot be opened. One that is there but held by
    // another program is waited for a moment; if it still cannot be opened, GetLoadError tells
    // why and Save does not write over it until a Load reads it. A short or damaged file
    // keeps the values read before the damage and gives TRUE. Sizes out of range are
    // bounded (and logged) as StyleBounds says; the file is not rewritten for that.
    BOOL Load(const wchar_t* path) override;
    // Writes "<path>.temp" and moves it over the file, so that a failed save leaves the
    // old file as it was; FALSE on any failure, and GetSaveError tells why.
    BOOL Save(const wchar_t* path) override;
    // The system's error code of the last Save that failed, 0 when the last one succeeded.
    DWORD GetSaveError() const { return m_dwSaveError; }
    // Why the last Load could not open a file that is there; 0 when it read it or found none.
    DWORD GetLoadError() const { return m_dwLoadError; }

    // Size of a box in pixels; leaves the outputs alone for kinds other than 0.
    void MeasureBox(int& cx, int& cy, HWND window) const;
    SIZE GetBoxSize(HWND window) const;
    Gdiplus::ARGB GetBoxColor() const;
    // Takes red, green and blue of a COLORREF and keeps the alpha of the old colour.
    void SetBoxColor(COLORREF color);
    BOOL HasBoxIcon() const;

    // The face for the title and the file list: "Meiryo UI" for a Japanese UI (code 0)
    // on Windows 6 or later, "Arial" otherwise.
    static CString ChooseDefaultFace(int uiLanguage, int osMajorVersion);
    static CString GetDefaultFace();

    int m_nVersion;
    int m_nKind;             // kKindIconAndTitle, or a kind that is not drawn
    POINT m_iconPos;
    int m_nIconCellWidth;
    int m_nIconCellHeight;
    BOOL m_bIconBackground;
    Gdiplus::ARGB m_iconBackColor;
    int m_nIconDisplay;      // kIconDisplayFull, kIconDisplayHalf or kIconDisplayHidden
    int m_nIconBackShape;    // kIconBackRectangle, kIconBackRoundRect, else none
    int m_nTitleWidth;
    CTextStyle m_titleStyle;
    MARGINS m_titleMargins;  // left, right, top, bottom
    Gdiplus::ARGB m_selectedColor;
    Gdiplus::ARGB m_hotKeyColor;
    BOOL m_bHotKeySelection;
    BOOL m_bSmallMenu;
    Gdiplus::ARGB m_menuTextColor;
    Gdiplus::ARGB m_menuIconColumnColor;
    Gdiplus::ARGB m_menuBackColor;
    Gdiplus::ARGB m_menuBorderColor;
    Gdiplus::ARGB m_menuHoverColor;
    Gdiplus::ARGB m_menuHoverBorderColor;
    CString m_strMenuFontFace;
    int m_nMenuFontSizeSmall;
    int m_nMenuFontSizeLarge;
    int m_nMenuFontStyle;

private:
    int MeasureTitleHeight(HWND window) const;
    BOOL SaveFailed(DWORD error);

    DWORD m_dwSaveError = 0;
    DWORD m_dwLoadError = 0;
    CString m_strUnreadPath;  // a file that is there but could not be read: never written over
};

} // namespace Model
