// The text with one outline pen around the glyphs, then the fill.
#pragma once

#include "text_effects/TextStrategyBase.h"

namespace TextEffects
{

class TextOutlineStrategy : public TextStrategyBase
{
public:
    void Init(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline, int nThickness);
    // The brush is not owned; the caller keeps it alive while the strategy may draw.
    void Init(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrOutline, int nThickness);

    Gdiplus::Color m_clrText{0xFF000000};
    Gdiplus::Color m_clrOutline{0xFF000000};
    int m_nThickness = 2;
    const Gdiplus::Brush* m_pTextBrush = nullptr;
    bool m_bClrText = true;

protected:
    void DrawPens(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const override;
    bool FillText(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const override;
    int PenAllowance() const override { return m_nThickness; }
};

} // namespace TextEffects
