// One way of drawing a string as a GDI+ path: the effect (outline, glow, double outline)
// is the strategy's, the path and the measuring rules are shared by all of them.
#pragma once

#include <windows.h>
#include <objidl.h> // GDI+ needs the COM types that a lean windows.h leaves out
#include <gdiplus.h>

namespace TextEffects
{

class ITextStrategy
{
public:
    virtual ~ITextStrategy() = default;

    virtual bool DrawString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                            Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                            Gdiplus::Rect rtDraw, const Gdiplus::StringFormat* pStrFormat) = 0;
    virtual bool DrawString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                            Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                            Gdiplus::Point ptDraw, const Gdiplus::StringFormat* pStrFormat) = 0;
    virtual bool GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                               const wchar_t* pszText, Gdiplus::Rect rtDraw) = 0;
    virtual bool GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                               const wchar_t* pszText, Gdiplus::Point ptDraw) = 0;

    virtual bool MeasureString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                               Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                               Gdiplus::Rect rtDraw, const Gdiplus::StringFormat* pStrFormat,
                               float* pfWidth, float* pfHeight) = 0;
    virtual bool MeasureString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                               Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                               Gdiplus::Point ptDraw, const Gdiplus::StringFormat* pStrFormat,
                               float* pfWidth, float* pfHeight) = 0;
    virtual bool GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                  const wchar_t* pszText, Gdiplus::Rect rtDraw,
                                  float* pfWidth, float* pfHeight) = 0;
    virtual bool GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                  const wchar_t* pszText, Gdiplus::Point ptDraw,
                                  float* pfWidth, float* pfHeight) = 0;
    virtual bool GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                        const wchar_t* pszText, Gdiplus::Rect rtDraw,
                                        float* pfWidth, float* pfHeight) = 0;
    virtual bool GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                        const wchar_t* pszText, Gdiplus::Point ptDraw,
                                        float* pfWidth, float* pfHeight) = 0;
};

} // namespace TextEffects
