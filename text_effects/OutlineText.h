// Draws and measures one string with a text strategy and, when enabled, an offset shadow
// drawn first by a shadow strategy (and, over a background bitmap, a composed shadow).
#pragma once

#include "text_effects/IOutlineText.h"
#include "text_effects/ITextStrategy.h"

#include <functional>
#include <memory>

namespace TextEffects
{

class OutlineText : public IOutlineText
{
public:
    OutlineText() = default;
    ~OutlineText() override;
    OutlineText(const OutlineText&) = delete;
    OutlineText& operator=(const OutlineText&) = delete;

    void TextGlow(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrGlow,
                  int nThickness) override;
    void TextGlow(const Gdiplus::Color& clrText, const Gdiplus::Color& clrGlow,
                  int nThickness) override;
    void TextOutline(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrOutline,
                     int nThickness) override;
    void TextOutline(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline,
                     int nThickness) override;
    void TextDblOutline(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrOutline1,
                        const Gdiplus::Color& clrOutline2, int nThickness1,
                        int nThickness2) override;
    void TextDblOutline(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline1,
                        const Gdiplus::Color& clrOutline2, int nThickness1,
                        int nThickness2) override;
    // Makes a background of the colour, owned (and freed) by this object.
    void SetShadowBkgd(const Gdiplus::Color& clrBkgd, int nWidth, int nHeight) override;
    // Uses the caller's bitmap, which the caller keeps alive and frees.
    void SetShadowBkgd(Gdiplus::Bitmap* pBitmap) override;
    void SetNullShadow() override;
    void EnableShadow(bool bEnable) override;
    void Shadow(const Gdiplus::Color& clrShadow, int nThickness, Gdiplus::Point ptOffset) override;

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

    // `over` blended onto `under` by alpha, channel by channel; the result is opaque except
    // that alpha 0 gives `under` unchanged.
    static Gdiplus::ARGB BlendColor(Gdiplus::ARGB under, Gdiplus::ARGB over, int nAlpha);

protected:
    std::unique_ptr<ITextStrategy> m_pTextStrategy;
    std::unique_ptr<ITextStrategy> m_pShadowStrategy;
    std::unique_ptr<ITextStrategy> m_pMaskStrategy;
    Gdiplus::Point m_ptShadowOffset{0, 0};
    Gdiplus::Color m_clrShadow{0xFF000000};
    Gdiplus::Bitmap* m_pBkgdBitmap = nullptr;
    bool m_bEnableShadow = false;

private:
    // Draws with one strategy on one graphics, moved by (dx, dy).
    using DrawOp = std::function<bool(ITextStrategy&, Gdiplus::Graphics*, int dx, int dy)>;
    using MeasureOp = std::function<bool(ITextStrategy&, float*, float*)>;

    bool DrawWithShadow(Gdiplus::Graphics* pGraphics, const DrawOp& draw);
    bool MeasureWithShadow(Gdiplus::Graphics* pGraphics, const MeasureOp& measure,
                           float* pfWidth, float* pfHeight);
    void RenderShadowOnBkgd(Gdiplus::Graphics* pGraphics, const DrawOp& draw);

    std::unique_ptr<Gdiplus::Bitmap> m_pOwnedBkgd; // a background made by SetShadowBkgd
};

} // namespace TextEffects
