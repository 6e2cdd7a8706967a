// The text with a glow: pens of growing width up to the thickness, narrowest first, so that
// a translucent glow colour builds up towards the glyphs; then the fill.
#pragma once

#include "text_effects/TextStrategyBase.h"

namespace TextEffects
{

class TextGlowStrategy : public TextStrategyBase
{
public:
    void Init(const Gdiplus::Color& clrText, const Gdiplus::Color& clrGlow, int nThickness);
    // The brush is not owned; the caller keeps it alive while the strategy may draw.
    void Init(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrGlow, int nThickness);

    Gdiplus::Color m_clrText{0xFF000000};
    Gdiplus::Color m_clrOutline{0xFF000000};
    int m_nThickness = 8;
    const Gdiplus::Brush* m_pTextBrush = nullptr;
    bool m_bClrText = true;

protected:
    void DrawPens(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const override;
    bool FillText(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const override;
    int PenAllowance() const override { return m_nThickness; }
};

} // namespace TextEffects
