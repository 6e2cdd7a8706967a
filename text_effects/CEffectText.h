// The title renderer: one line of text with a font, a fill colour, an optional outline and
// an optional offset shadow. Every window draws and measures its text through one of these.
#pragma once

#include <memory>

#include "framework/CString.h"
#include "text_effects/OutlineText.h"

class CEffectText : public TextEffects::OutlineText
{
public:
    CEffectText() = default;

    void SetTextColor(const Gdiplus::Color& color) { m_textColor = color; }
    // A null face gives the empty face, which draws nothing.
    void SetFont(const wchar_t* pszFace, int nSize, int nStyle);
    void SetShadowEnabled(bool bShadow) { m_bShadow = bShadow; }
    void SetShadow(const Gdiplus::Color& color, int nThickness, const Gdiplus::Point& offset);
    void SetOutlineEnabled(bool bOutline) { m_bOutline = bOutline; }
    void SetOutline(const Gdiplus::Color& color, int nThickness);

    // Draws the text into the rectangle, placed by the format's alignments. Leaves the
    // graphics with anti-aliased smoothing and high-quality bicubic interpolation.
    void Draw(Gdiplus::Graphics* pGraphics, const Gdiplus::Rect& rtLayout,
              const Gdiplus::StringFormat* pStrFormat, const wchar_t* pszText);
    // The size in pixels that the windows lay the text out with (see MeasuredSize).
    void Measure(Gdiplus::Graphics* pGraphics, const CString& strText,
                 const Gdiplus::StringFormat* pStrFormat, SIZE* pSize);

    // The widening factor of a measured width by font size class.
    static double SizeFactor(int nFontSize);
    // The layout size from a measured path extent (w, h): the width plus 3 pixels, widened
    // by the size factor in double precision and truncated; the height truncated plus 4.
    static SIZE MeasuredSize(float fWidth, float fHeight, int nFontSize);

    Gdiplus::Color m_textColor{0xFFFFFFFF};
    CString m_strFontFace{L"Arial Black"};
    int m_nFontSize = 12;
    int m_nFontStyle = 0;
    bool m_bShadow = false;
    Gdiplus::Color m_shadowColor{0xFF808080};
    int m_nShadowThickness = 2;
    Gdiplus::Point m_shadowOffset{2, 2};
    bool m_bOutline = false;
    Gdiplus::Color m_outlineColor{0xFF606060};
    int m_nOutlineThickness = 4;

private:
    void ApplyEffects();
    // The family of m_strFontFace, made once per face: creating a family looks the face up
    // among the installed fonts, which is slow, and a list draws and measures many names.
    const Gdiplus::FontFamily* Family();

    std::shared_ptr<Gdiplus::FontFamily> m_family;
    CString m_strFamilyFace;
};
