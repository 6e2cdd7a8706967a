// What the three text strategies share: building the text path, drawing it (the pens are
// the strategy's, the fill comes last) and measuring it with the pen allowance.
#pragma once

#include "text_effects/ITextStrategy.h"

#include <memory>

namespace TextEffects
{

class TextStrategyBase : public ITextStrategy
{
public:
    bool DrawString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                    Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                    Gdiplus::Rect rtDraw, const Gdiplus::StringFormat* pStrFormat) override;
    bool DrawString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                    Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                    Gdiplus::Point ptDraw, const Gdiplus::StringFormat* pStrFormat) override;
    bool GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                       const wchar_t* pszText, Gdiplus::Rect rtDraw) override;
    bool GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                       const wchar_t* pszText, Gdiplus::Point ptDraw) override;

    bool MeasureString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                       Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                       Gdiplus::Rect rtDraw, const Gdiplus::StringFormat* pStrFormat,
                       float* pfWidth, float* pfHeight) override;
    bool MeasureString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                       Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                       Gdiplus::Point ptDraw, const Gdiplus::StringFormat* pStrFormat,
                       float* pfWidth, float* pfHeight) override;
    bool GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                          const wchar_t* pszText, Gdiplus::Rect rtDraw, float* pfWidth,
                          float* pfHeight) override;
    bool GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                          const wchar_t* pszText, Gdiplus::Point ptDraw, float* pfWidth,
                          float* pfHeight) override;
    bool GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                const wchar_t* pszText, Gdiplus::Rect rtDraw, float* pfWidth,
                                float* pfHeight) override;
    bool GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                const wchar_t* pszText, Gdiplus::Point ptDraw, float* pfWidth,
                                float* pfHeight) override;

protected:
    // The strategy's pens, outermost first.
    virtual void DrawPens(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const = 0;
    // The fill over the pens; true when it succeeded.
    virtual bool FillText(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const = 0;
    // The full width of the widest pen, added to both measured dimensions.
    virtual int PenAllowance() const = 0;

    static void DrawPen(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path,
                        const Gdiplus::Color& color, int nWidth);
    static bool FillWith(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path,
                         bool bClrText, const Gdiplus::Color& clrText,
                         const Gdiplus::Brush* pTextBrush);

private:
    enum class Extent { FromOrigin, Bounds };

    bool DrawPath(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path) const;
    bool MeasurePath(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path, int x, int y,
                     Extent extent, float* pfWidth, float* pfHeight) const;
    bool MeasureText(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                     Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                     const Gdiplus::Rect& rtLayout, const Gdiplus::StringFormat* pStrFormat,
                     float* pfWidth, float* pfHeight) const;
    bool GdiMeasure(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                    const wchar_t* pszText, const Gdiplus::Rect* pRect, int x, int y,
                    Extent extent, float* pfWidth, float* pfHeight) const;
    static std::unique_ptr<Gdiplus::GraphicsPath> GdiPath(Gdiplus::Graphics* pGraphics,
                                                          const LOGFONTW* pLogFont,
                                                          const wchar_t* pszText,
                                                          const Gdiplus::Rect* pRect, int x,
                                                          int y);
};

// The text as a path (fill mode alternate) laid out in the rectangle, whose empty width or
// height means no limit; null when the string could not be added (no family, for example).
// A null format stands for the default format.
std::unique_ptr<Gdiplus::GraphicsPath> BuildTextPath(const Gdiplus::FontFamily* pFontFamily,
                                                     Gdiplus::FontStyle fontStyle, int nFontSize,
                                                     const wchar_t* pszText,
                                                     const Gdiplus::Rect& rtLayout,
                                                     const Gdiplus::StringFormat* pStrFormat);

} // namespace TextEffects
