// How one line of text is drawn: colour, font, string format, shadow and outline.
// The box style holds one for the box titles; windows and dialogs keep their own copies.
// The record stores itself in the style file's encoding through CStyleArchiver.
#pragma once

#include <windows.h>
#include <objidl.h>  // PROPID etc., left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include "framework/CString.h"

namespace Model {

class CTextStyle
{
public:
    CTextStyle();
    // A copy owns its own string format with the source's alignments and flags.
    CTextStyle(const CTextStyle& other);
    CTextStyle& operator=(const CTextStyle& other);
    ~CTextStyle();

    void SetFont(const wchar_t* face, int size, int style);
    // 0 near, 1 centre, 2 far for each axis; any other value leaves that axis alone.
    void SetAlignment(int horizontal, int vertical);

    // Writes the stored encoding into the caller's buffer and returns the bytes written.
    // Raises CStyleArchiverError when the buffer is too small.
    int Save(BYTE* buffer, int size) const;
    // Reads the stored encoding and returns the bytes read. Raises CStyleArchiverError
    // when the data ends early; the fields read before that keep their new values.
    int Load(const BYTE* data, int size);

    Gdiplus::ARGB m_textColor;
    int m_anReserved[4];                 // stored and copied, used by nothing else
    Gdiplus::StringFormat* m_format;     // owned; only its alignments are stored
    CString m_strFontFace;
    int m_nFontSize;                     // em size in pixels for the text path
    int m_nFontStyle;                    // Gdiplus::FontStyle bits
    BOOL m_bShadow;
    int m_nShadowThickness;
    POINT m_shadowOffset;
    Gdiplus::ARGB m_shadowColor;
    BOOL m_bOutline;
    int m_nOutlineThickness;
    Gdiplus::ARGB m_outlineColor;

    // Flags of a new format: NoFitBlackBox | MeasureTrailingSpaces | NoWrap.
    static constexpr INT kDefaultFormatFlags = 0x1804;
};

} // namespace Model
