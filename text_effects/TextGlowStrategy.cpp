#include "text_effects/TextGlowStrategy.h"

namespace TextEffects
{

void TextGlowStrategy::Init(const Gdiplus::Color& clrText, const Gdiplus::Color& clrGlow,
                            int nThickness)
{
    m_clrText = clrText;
    m_clrOutline = clrGlow;
    m_nThickness = nThickness;
    m_bClrText = true;
}

void TextGlowStrategy::Init(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrGlow,
                            int nThickness)
{
    m_pTextBrush = pTextBrush;
    m_clrOutline = clrGlow;
    m_nThickness = nThickness;
    m_bClrText = false;
}

void TextGlowStrategy::DrawPens(Gdiplus::Graphics& graphics,
                                const Gdiplus::GraphicsPath& path) const
{
    for (int nWidth = 1; nWidth <= m_nThickness; ++nWidth)
        DrawPen(graphics, path, m_clrOutline, nWidth);
}

bool TextGlowStrategy::FillText(Gdiplus::Graphics& graphics,
                                const Gdiplus::GraphicsPath& path) const
{
    return FillWith(graphics, path, m_bClrText, m_clrText, m_pTextBrush);
}

} // namespace TextEffects
