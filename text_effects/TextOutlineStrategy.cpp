#include "text_effects/TextOutlineStrategy.h"

namespace TextEffects
{

void TextOutlineStrategy::Init(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline,
                               int nThickness)
{
    m_clrText = clrText;
    m_clrOutline = clrOutline;
    m_nThickness = nThickness;
    m_bClrText = true;
}

void TextOutlineStrategy::Init(const Gdiplus::Brush* pTextBrush,
                               const Gdiplus::Color& clrOutline, int nThickness)
{
    m_pTextBrush = pTextBrush;
    m_clrOutline = clrOutline;
    m_nThickness = nThickness;
    m_bClrText = false;
}

void TextOutlineStrategy::DrawPens(Gdiplus::Graphics& graphics,
                                   const Gdiplus::GraphicsPath& path) const
{
    DrawPen(graphics, path, m_clrOutline, m_nThickness);
}

bool TextOutlineStrategy::FillText(Gdiplus::Graphics& graphics,
                                   const Gdiplus::GraphicsPath& path) const
{
    return FillWith(graphics, path, m_bClrText, m_clrText, m_pTextBrush);
}

} // namespace TextEffects
