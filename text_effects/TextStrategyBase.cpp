#include "text_effects/TextStrategyBase.h"

#include "text_effects/TextPath.h"

#include <cwchar>
#include <new>

namespace TextEffects
{

std::unique_ptr<Gdiplus::GraphicsPath> BuildTextPath(const Gdiplus::FontFamily* pFontFamily,
                                                     Gdiplus::FontStyle fontStyle, int nFontSize,
                                                     const wchar_t* pszText,
                                                     const Gdiplus::Rect& rtLayout,
                                                     const Gdiplus::StringFormat* pStrFormat)
{
    if (!pszText)
        return nullptr;
    std::unique_ptr<Gdiplus::GraphicsPath> path(
        new Gdiplus::GraphicsPath(Gdiplus::FillModeAlternate));
    if (!path || path->GetLastStatus() != Gdiplus::Ok)
        return nullptr;

    // Windows takes a null format as the default one; Wine's GDI+ rejects it, so the
    // default format is passed explicitly (made here, so that no handle outlives GDI+).
    std::unique_ptr<Gdiplus::StringFormat> defaultFormat;
    if (!pStrFormat)
    {
        defaultFormat.reset(new Gdiplus::StringFormat(0, LANG_NEUTRAL));
        if (!defaultFormat || defaultFormat->GetLastStatus() != Gdiplus::Ok)
            return nullptr;
        pStrFormat = defaultFormat.get();
    }

    // The text is laid out in a rectangle of the same size at the origin and then moved into
    // place. Laid out where it stands, Wine's GDI+ puts vertically centred text too high by
    // an amount that grows with the rectangle's top; at the origin it agrees with Windows.
    const Gdiplus::Rect rtAtOrigin(0, 0, rtLayout.Width, rtLayout.Height);
    Gdiplus::Status status =
        path->AddString(pszText, static_cast<INT>(wcslen(pszText)), pFontFamily, fontStyle,
                        static_cast<Gdiplus::REAL>(nFontSize), rtAtOrigin, pStrFormat);
    if (status == Gdiplus::Ok && (rtLayout.X != 0 || rtLayout.Y != 0))
    {
        Gdiplus::Matrix move(1.0f, 0.0f, 0.0f, 1.0f, static_cast<Gdiplus::REAL>(rtLayout.X),
                             static_cast<Gdiplus::REAL>(rtLayout.Y));
        status = move.GetLastStatus() == Gdiplus::Ok ? path->Transform(&move)
                                                     : move.GetLastStatus();
    }
    if (status != Gdiplus::Ok)
        return nullptr;
    return path;
}

void TextStrategyBase::DrawPen(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path,
                               const Gdiplus::Color& color, int nWidth)
{
    // A pen that cannot be made or set up keeps its status; the text is still filled.
    Gdiplus::Pen pen(color, static_cast<Gdiplus::REAL>(nWidth));
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    graphics.DrawPath(&pen, &path);
}

bool TextStrategyBase::FillWith(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path,
                                bool bClrText, const Gdiplus::Color& clrText,
                                const Gdiplus::Brush* pTextBrush)
{
    if (bClrText)
    {
        Gdiplus::SolidBrush brush(clrText);
        return graphics.FillPath(&brush, &path) == Gdiplus::Ok;
    }
    // Without a brush GDI+ refuses the fill, and the result says so.
    return graphics.FillPath(pTextBrush, &path) == Gdiplus::Ok;
}

bool TextStrategyBase::DrawPath(Gdiplus::Graphics& graphics,
                                const Gdiplus::GraphicsPath& path) const
{
    DrawPens(graphics, path);
    return FillText(graphics, path);
}

bool TextStrategyBase::MeasurePath(Gdiplus::Graphics& graphics, const Gdiplus::GraphicsPath& path,
                                   int x, int y, Extent extent, float* pfWidth,
                                   float* pfHeight) const
{
    *pfWidth = static_cast<float>(x);
    *pfHeight = static_cast<float>(y);
    const bool bMeasured = extent == Extent::FromOrigin
                               ? MeasurePathFromOrigin(&graphics, &path, pfWidth, pfHeight)
                               : MeasurePathBounds(&graphics, &path, pfWidth, pfHeight);
    if (!bMeasured)
        return false;
    float fAllowance = 0.0f;
    float fUnused = 0.0f;
    if (!ConvertToPixels(&graphics, static_cast<float>(PenAllowance()), 0.0f, &fAllowance,
                         &fUnused))
        return false;
    *pfWidth += fAllowance;
    *pfHeight += fAllowance;
    return true;
}

bool TextStrategyBase::MeasureText(Gdiplus::Graphics* pGraphics,
                                   const Gdiplus::FontFamily* pFontFamily,
                                   Gdiplus::FontStyle fontStyle, int nFontSize,
                                   const wchar_t* pszText, const Gdiplus::Rect& rtLayout,
                                   const Gdiplus::StringFormat* pStrFormat, float* pfWidth,
                                   float* pfHeight) const
{
    if (!pGraphics || !pfWidth || !pfHeight)
        return false;
    const auto path = BuildTextPath(pFontFamily, fontStyle, nFontSize, pszText, rtLayout,
                                    pStrFormat);
    if (!path)
        return false;
    return MeasurePath(*pGraphics, *path, rtLayout.X, rtLayout.Y, Extent::FromOrigin, pfWidth,
                       pfHeight);
}

std::unique_ptr<Gdiplus::GraphicsPath> TextStrategyBase::GdiPath(Gdiplus::Graphics* pGraphics,
                                                                 const LOGFONTW* pLogFont,
                                                                 const wchar_t* pszText,
                                                                 const Gdiplus::Rect* pRect,
                                                                 int x, int y)
{
    Gdiplus::GraphicsPath* pRaw = nullptr;
    const bool bMade = pRect ? GdiTextPathInRect(pGraphics, &pRaw, pszText, pLogFont, pRect->X,
                                                 pRect->Y, pRect->Width, pRect->Height)
                             : GdiTextPath(pGraphics, &pRaw, pszText, pLogFont, x, y);
    std::unique_ptr<Gdiplus::GraphicsPath> path(pRaw);
    if (!bMade)
        path.reset();
    return path;
}

bool TextStrategyBase::GdiMeasure(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                  const wchar_t* pszText, const Gdiplus::Rect* pRect, int x,
                                  int y, Extent extent, float* pfWidth, float* pfHeight) const
{
    if (!pGraphics || !pfWidth || !pfHeight)
        return false;
    const auto path = GdiPath(pGraphics, pLogFont, pszText, pRect, x, y);
    if (!path)
        return false;
    return MeasurePath(*pGraphics, *path, x, y, extent, pfWidth, pfHeight);
}

bool TextStrategyBase::DrawString(Gdiplus::Graphics* pGraphics,
                                  const Gdiplus::FontFamily* pFontFamily,
                                  Gdiplus::FontStyle fontStyle, int nFontSize,
                                  const wchar_t* pszText, Gdiplus::Rect rtDraw,
                                  const Gdiplus::StringFormat* pStrFormat)
{
    if (!pGraphics)
        return false;
    const auto path = BuildTextPath(pFontFamily, fontStyle, nFontSize, pszText, rtDraw,
                                    pStrFormat);
    return path && DrawPath(*pGraphics, *path);
}

bool TextStrategyBase::DrawString(Gdiplus::Graphics* pGraphics,
                                  const Gdiplus::FontFamily* pFontFamily,
                                  Gdiplus::FontStyle fontStyle, int nFontSize,
                                  const wchar_t* pszText, Gdiplus::Point ptDraw,
                                  const Gdiplus::StringFormat* pStrFormat)
{
    return DrawString(pGraphics, pFontFamily, fontStyle, nFontSize, pszText,
                      Gdiplus::Rect(ptDraw.X, ptDraw.Y, 0, 0), pStrFormat);
}

bool TextStrategyBase::GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                     const wchar_t* pszText, Gdiplus::Rect rtDraw)
{
    const auto path = GdiPath(pGraphics, pLogFont, pszText, &rtDraw, rtDraw.X, rtDraw.Y);
    return path && DrawPath(*pGraphics, *path);
}

bool TextStrategyBase::GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                     const wchar_t* pszText, Gdiplus::Point ptDraw)
{
    const auto path = GdiPath(pGraphics, pLogFont, pszText, nullptr, ptDraw.X, ptDraw.Y);
    return path && DrawPath(*pGraphics, *path);
}

bool TextStrategyBase::MeasureString(Gdiplus::Graphics* pGraphics,
                                     const Gdiplus::FontFamily* pFontFamily,
                                     Gdiplus::FontStyle fontStyle, int nFontSize,
                                     const wchar_t* pszText, Gdiplus::Rect rtDraw,
                                     const Gdiplus::StringFormat* pStrFormat, float* pfWidth,
                                     float* pfHeight)
{
    return MeasureText(pGraphics, pFontFamily, fontStyle, nFontSize, pszText, rtDraw,
                       pStrFormat, pfWidth, pfHeight);
}

bool TextStrategyBase::MeasureString(Gdiplus::Graphics* pGraphics,
                                     const Gdiplus::FontFamily* pFontFamily,
                                     Gdiplus::FontStyle fontStyle, int nFontSize,
                                     const wchar_t* pszText, Gdiplus::Point ptDraw,
                                     const Gdiplus::StringFormat* pStrFormat, float* pfWidth,
                                     float* pfHeight)
{
    return MeasureText(pGraphics, pFontFamily, fontStyle, nFontSize, pszText,
                       Gdiplus::Rect(ptDraw.X, ptDraw.Y, 0, 0), pStrFormat, pfWidth, pfHeight);
}

bool TextStrategyBase::GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                        const wchar_t* pszText, Gdiplus::Rect rtDraw,
                                        float* pfWidth, float* pfHeight)
{
    return GdiMeasure(pGraphics, pLogFont, pszText, &rtDraw, rtDraw.X, rtDraw.Y,
                      Extent::FromOrigin, pfWidth, pfHeight);
}

bool TextStrategyBase::GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                        const wchar_t* pszText, Gdiplus::Point ptDraw,
                                        float* pfWidth, float* pfHeight)
{
    return GdiMeasure(pGraphics, pLogFont, pszText, nullptr, ptDraw.X, ptDraw.Y,
                      Extent::FromOrigin, pfWidth, pfHeight);
}

bool TextStrategyBase::GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics,
                                              const LOGFONTW* pLogFont, const wchar_t* pszText,
                                              Gdiplus::Rect rtDraw, float* pfWidth,
                                              float* pfHeight)
{
    return GdiMeasure(pGraphics, pLogFont, pszText, &rtDraw, rtDraw.X, rtDraw.Y, Extent::Bounds,
                      pfWidth, pfHeight);
}

bool TextStrategyBase::GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics,
                                              const LOGFONTW* pLogFont, const wchar_t* pszText,
                                              Gdiplus::Point ptDraw, float* pfWidth,
                                              float* pfHeight)
{
    return GdiMeasure(pGraphics, pLogFont, pszText, nullptr, ptDraw.X, ptDraw.Y, Extent::Bounds,
                      pfWidth, pfHeight);
}

} // namespace TextEffects
