// A string drawn and measured with a text effect and an optional offset shadow.
#pragma once

#include <windows.h>
#include <objidl.h> // GDI+ needs the COM types that a lean windows.h leaves out
#include <gdiplus.h>

namespace TextEffects
{

class IOutlineText
{
public:
    virtual void TextGlow(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrGlow,
                          int nThickness) = 0;
    virtual void TextGlow(const Gdiplus::Color& clrText, const Gdiplus::Color& clrGlow,
                          int nThickness) = 0;
    virtual void TextOutline(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrOutline,
                             int nThickness) = 0;
    virtual void TextOutline(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline,
                             int nThickness) = 0;
    virtual void TextDblOutline(const Gdiplus::Brush* pTextBrush,
                                const Gdiplus::Color& clrOutline1,
                                const Gdiplus::Color& clrOutline2, int nThickness1,
                                int nThickness2) = 0;
    virtual void TextDblOutline(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline1,
                                const Gdiplus::Color& clrOutline2, int nThickness1,
                                int nThickness2) = 0;
    virtual void SetShadowBkgd(const Gdiplus::Color& clrBkgd, int nWidth, int nHeight) = 0;
    virtual void SetShadowBkgd(Gdiplus::Bitmap* pBitmap) = 0;
    virtual void SetNullShadow() = 0;
    virtual void EnableShadow(bool bEnable) = 0;
    virtual void Shadow(const Gdiplus::Color& clrShadow, int nThickness,
                        Gdiplus::Point ptOffset) = 0;

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

    virtual ~IOutlineText() = default;
};

} // namespace TextEffects
