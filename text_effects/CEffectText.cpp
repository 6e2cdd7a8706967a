#include "text_effects/CEffectText.h"

#include <limits>

namespace
{

void SetQualityModes(Gdiplus::Graphics* pGraphics)
{
    pGraphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    pGraphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
}

// Truncation toward zero that stays defined for values no int can hold.
LONG TruncateToLong(double value)
{
    if (!(value == value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<LONG>::max()))
        return std::numeric_limits<LONG>::max();
    if (value <= static_cast<double>(std::numeric_limits<LONG>::min()))
        return std::numeric_limits<LONG>::min();
    return static_cast<LONG>(value);
}

} // namespace

void CEffectText::SetFont(const wchar_t* pszFace, int nSize, int nStyle)
{
    m_strFontFace = pszFace ? pszFace : L"";
    m_nFontSize = nSize;
    m_nFontStyle = nStyle;
}

void CEffectText::SetShadow(const Gdiplus::Color& color, int nThickness,
                            const Gdiplus::Point& offset)
{
    m_shadowColor = color;
    m_nShadowThickness = nThickness;
    m_shadowOffset = offset;
}

void CEffectText::SetOutline(const Gdiplus::Color& color, int nThickness)
{
    m_outlineColor = color;
    m_nOutlineThickness = nThickness;
}

const Gdiplus::FontFamily* CEffectText::Family()
{
    // A face that is not installed leaves the family empty; the drawing then fails quietly.
    if (!m_family || !(m_strFamilyFace == m_strFontFace)) {
        m_family = std::make_shared<Gdiplus::FontFamily>(m_strFontFace);
        m_strFamilyFace = m_strFontFace;
    }
    return m_family.get();
}

void CEffectText::ApplyEffects()
{
    // Without an outline the pen is fully transparent and of width 0: it shows nothing and
    // adds nothing to the measured size.
    if (m_bOutline)
        TextOutline(m_textColor, m_outlineColor, m_nOutlineThickness);
    else
        TextOutline(m_textColor, Gdiplus::Color(0x00000000), 0);
    EnableShadow(m_bShadow);
    if (m_bShadow)
        Shadow(m_shadowColor, m_nShadowThickness, m_shadowOffset);
}

void CEffectText::Draw(Gdiplus::Graphics* pGraphics, const Gdiplus::Rect& rtLayout,
                       const Gdiplus::StringFormat* pStrFormat, const wchar_t* pszText)
{
    if (!pGraphics)
        return;
    SetQualityModes(pGraphics);
    SetNullShadow();
    ApplyEffects();
    DrawString(pGraphics, Family(), static_cast<Gdiplus::FontStyle>(m_nFontStyle), m_nFontSize,
               pszText, rtLayout, pStrFormat);
}

void CEffectText::Measure(Gdiplus::Graphics* pGraphics, const CString& strText,
                          const Gdiplus::StringFormat* pStrFormat, SIZE* pSize)
{
    if (!pSize)
        return;
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    if (pGraphics)
    {
        SetQualityModes(pGraphics);
        ApplyEffects();
        // On failure the extent stays 0 and the size is that of an empty text.
        MeasureString(pGraphics, Family(), static_cast<Gdiplus::FontStyle>(m_nFontStyle),
                      m_nFontSize, strText, Gdiplus::Point(0, 0), pStrFormat, &fWidth, &fHeight);
    }
    *pSize = MeasuredSize(fWidth, fHeight, m_nFontSize);
}

double CEffectText::SizeFactor(int nFontSize)
{
    if (nFontSize < 14)
        return 1.1;
    if (nFontSize < 16)
        return 1.12;
    if (nFontSize < 24)
        return 1.16;
    return 1.4;
}

SIZE CEffectText::MeasuredSize(float fWidth, float fHeight, int nFontSize)
{
    // The sum is kept in single precision, the product in double precision: with float
    // products some widths would truncate to a different pixel.
    const float fPaddedWidth = static_cast<float>(static_cast<double>(fWidth) + 3.0);
    SIZE size;
    size.cx = TruncateToLong(static_cast<double>(fPaddedWidth) * SizeFactor(nFontSize));
    const LONG nHeight = TruncateToLong(static_cast<double>(fHeight));
    size.cy = nHeight > std::numeric_limits<LONG>::max() - 4 ? std::numeric_limits<LONG>::max()
                                                              : nHeight + 4;
    return size;
}
