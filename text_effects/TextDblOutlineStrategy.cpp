#include "text_effects/TextDblOutlineStrategy.h"

namespace TextEffects
{

void TextDblOutlineStrategy::Init(const Gdiplus::Color& clrText,
                                  const Gdiplus::Color& clrOutline1,
                                  const Gdiplus::Color& clrOutline2, int nThickness1,
                                  int nThickness2)
{
    m_clrText = clrText;
    m_clrOutline1 = clrOutline1;
    m_clrOutline2 = clrOutline2;
    m_nThickness1 = nThickness1;
    m_nThickness2 = nThickness2;
    m_bClrText = true;
}

void TextDblOutlineStrategy::Init(const Gdiplus::Brush* pTextBrush,
                                  const Gdiplus::Color& clrOutline1,
                                  const Gdiplus::Color& clrOutline2, int nThickness1,
                                  int nThickness2)
{
    m_pTextBrush = pTextBrush;
    m_clrOutline1 = clrOutline1;
    m_clrOutline2 = clrOutline2;
    m_nThickness1 = nThickness1;
    m_nThickness2 = nThickness2;
    m_bClrText = false;
}

void TextDblOutlineStrategy::DrawPens(Gdiplus::Graphics& graphics,
                                      const Gdiplus::GraphicsPath& path) const
{
    DrawPen(graphics, path, m_clrOutline2, m_nThickness1 + m_nThickness2);
    DrawPen(graphics, path, m_clrOutline1, m_nThickness1);
}

bool TextDblOutlineStrategy::FillText(Gdiplus::Graphics& graphics,
                                      const Gdiplus::GraphicsPath& path) const
{
    return FillWith(graphics, path, m_bClrText, m_clrText, m_pTextBrush);
}

} // namespace TextEffects
