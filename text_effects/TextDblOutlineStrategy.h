// The text with a wide outer outline, a narrower inner outline over it, then the fill.
#pragma once

#include "text_effects/TextStrategyBase.h"

namespace TextEffects
{

class TextDblOutlineStrategy : public TextStrategyBase
{
public:
    // nThickness2 is how much wider the outer outline is than the inner one.
    void Init(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline1,
              const Gdiplus::Color& clrOutline2, int nThickness1, int nThickness2);
    // The brush is not owned; the caller keeps it alive while the strategy may draw.
    void Init(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrOutline1,
              const Gdiplus::Color& clrOutline2, int nThickness1, int nThickness2);

    Gdiplus::Color m_clrText{0xFF000000};
    Gdiplus::Color m_clrOutline1{0xFF000000};
    Gdiplus::Color m_clrOutline2{0xFF000000};
    int m_nThickness1 = 2;
    int m_nThickness2 = 2;
    const Gdiplus::Brush* m_pTextBrush = nullptr;
    bool m_bClrText = true;

protected:
    void DrawPens(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const override;
    bool FillText(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const override;
    int PenAllowance() const override { return m_nThickness1 + m_nThickness2; }
};

} // namespace TextEffects
