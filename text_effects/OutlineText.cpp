#include "text_effects/OutlineText.h"

#include "text_effects/TextDblOutlineStrategy.h"
#include "text_effects/TextGlowStrategy.h"
#include "text_effects/TextOutlineStrategy.h"
#include "text_effects/TextPath.h"

#include <algorithm>
#include <new>

namespace TextEffects
{

namespace
{

template <typename Strategy, typename... Args>
std::unique_ptr<ITextStrategy> MakeStrategy(const Args&... args)
{
    auto strategy = std::make_unique<Strategy>();
    strategy->Init(args...);
    return strategy;
}

Gdiplus::Rect Moved(const Gdiplus::Rect& rect, int dx, int dy)
{
    return Gdiplus::Rect(rect.X + dx, rect.Y + dy, rect.Width, rect.Height);
}

Gdiplus::Point Moved(const Gdiplus::Point& point, int dx, int dy)
{
    return Gdiplus::Point(point.X + dx, point.Y + dy);
}

// Gives a canvas the rendering settings of the graphics the shadow is drawn on.
void CopyRenderingSettings(const Gdiplus::Graphics& from, Gdiplus::Graphics& to)
{
    to.SetCompositingMode(from.GetCompositingMode());
    to.SetCompositingQuality(from.GetCompositingQuality());
    to.SetInterpolationMode(from.GetInterpolationMode());
    to.SetSmoothingMode(from.GetSmoothingMode());
    to.SetTextRenderingHint(from.GetTextRenderingHint());
    to.SetPageUnit(from.GetPageUnit());
    to.SetPageScale(from.GetPageScale());
}

// Locks a whole bitmap as 32-bit ARGB for the lifetime of the object.
class LockedPixels
{
public:
    LockedPixels(Gdiplus::Bitmap& bitmap, UINT nMode) : m_bitmap(bitmap)
    {
        Gdiplus::Rect rect(0, 0, static_cast<INT>(bitmap.GetWidth()),
                           static_cast<INT>(bitmap.GetHeight()));
        m_bLocked = bitmap.LockBits(&rect, nMode, PixelFormat32bppARGB, &m_data) == Gdiplus::Ok;
    }
    ~LockedPixels()
    {
        if (m_bLocked)
            m_bitmap.UnlockBits(&m_data);
    }
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;

    bool locked() const { return m_bLocked; }
    UINT width() const { return m_data.Width; }
    UINT height() const { return m_data.Height; }
    Gdiplus::ARGB* Row(UINT y) const
    {
        return reinterpret_cast<Gdiplus::ARGB*>(static_cast<BYTE*>(m_data.Scan0) +
                                                static_cast<INT_PTR>(y) * m_data.Stride);
    }

private:
    Gdiplus::Bitmap& m_bitmap;
    Gdiplus::BitmapData m_data{};
    bool m_bLocked = false;
};

std::unique_ptr<Gdiplus::Bitmap> CopyAsArgb(Gdiplus::Bitmap& source, INT nWidth, INT nHeight)
{
    std::unique_ptr<Gdiplus::Bitmap> copy(
        source.Clone(0, 0, nWidth, nHeight, PixelFormat32bppARGB));
    if (copy && copy->GetLastStatus() != Gdiplus::Ok)
        copy.reset();
    return copy;
}

} // namespace

OutlineText::~OutlineText()
{
    m_pTextStrategy.reset();
    m_pShadowStrategy.reset();
    m_pMaskStrategy.reset();
}

void OutlineText::TextGlow(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrGlow,
                           int nThickness)
{
    m_pTextStrategy = MakeStrategy<TextGlowStrategy>(pTextBrush, clrGlow, nThickness);
}

void OutlineText::TextGlow(const Gdiplus::Color& clrText, const Gdiplus::Color& clrGlow,
                           int nThickness)
{
    m_pTextStrategy = MakeStrategy<TextGlowStrategy>(clrText, clrGlow, nThickness);
}

void OutlineText::TextOutline(const Gdiplus::Brush* pTextBrush, const Gdiplus::Color& clrOutline,
                              int nThickness)
{
    m_pTextStrategy = MakeStrategy<TextOutlineStrategy>(pTextBrush, clrOutline, nThickness);
}

void OutlineText::TextOutline(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline,
                              int nThickness)
{
    m_pTextStrategy = MakeStrategy<TextOutlineStrategy>(clrText, clrOutline, nThickness);
}

void OutlineText::TextDblOutline(const Gdiplus::Brush* pTextBrush,
                                 const Gdiplus::Color& clrOutline1,
                                 const Gdiplus::Color& clrOutline2, int nThickness1,
                                 int nThickness2)
{
    m_pTextStrategy = MakeStrategy<TextDblOutlineStrategy>(pTextBrush, clrOutline1, clrOutline2,
                                                           nThickness1, nThickness2);
}

void OutlineText::TextDblOutline(const Gdiplus::Color& clrText, const Gdiplus::Color& clrOutline1,
                                 const Gdiplus::Color& clrOutline2, int nThickness1,
                                 int nThickness2)
{
    m_pTextStrategy = MakeStrategy<TextDblOutlineStrategy>(clrText, clrOutline1, clrOutline2,
                                                           nThickness1, nThickness2);
}

void OutlineText::SetShadowBkgd(const Gdiplus::Color& clrBkgd, int nWidth, int nHeight)
{
    m_pBkgdBitmap = nullptr;
    m_pOwnedBkgd.reset();
    if (nWidth <= 0 || nHeight <= 0)
        return;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(
        new Gdiplus::Bitmap(nWidth, nHeight, PixelFormat32bppARGB));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return;
    {
        Gdiplus::Graphics graphics(bitmap.get());
        Gdiplus::SolidBrush brush(clrBkgd);
        graphics.FillRectangle(&brush, 0, 0, static_cast<INT>(bitmap->GetWidth()),
                               static_cast<INT>(bitmap->GetHeight()));
    }
    m_pOwnedBkgd = std::move(bitmap);
    m_pBkgdBitmap = m_pOwnedBkgd.get();
}

void OutlineText::SetShadowBkgd(Gdiplus::Bitmap* pBitmap)
{
    if (pBitmap != m_pOwnedBkgd.get())
        m_pOwnedBkgd.reset();
    m_pBkgdBitmap = pBitmap;
}

void OutlineText::SetNullShadow()
{
    m_pMaskStrategy.reset();
    m_pShadowStrategy.reset();
}

void OutlineText::EnableShadow(bool bEnable)
{
    m_bEnableShadow = bEnable;
}

void OutlineText::Shadow(const Gdiplus::Color& clrShadow, int nThickness, Gdiplus::Point ptOffset)
{
    // The shadow is a ring of the shadow colour with a transparent fill; the mask is the
    // plain glyph shape in white, which the composed shadow needs.
    auto shadow = MakeStrategy<TextOutlineStrategy>(Gdiplus::Color(0x00000000), clrShadow,
                                                    nThickness);
    m_clrShadow = clrShadow;
    m_pMaskStrategy = MakeStrategy<TextOutlineStrategy>(Gdiplus::Color(0xFFFFFFFF),
                                                        Gdiplus::Color(0x00000000), 0);
    m_ptShadowOffset = ptOffset;
    m_pShadowStrategy = std::move(shadow);
}

Gdiplus::ARGB OutlineText::BlendColor(Gdiplus::ARGB under, Gdiplus::ARGB over, int nAlpha)
{
    if (nAlpha == 0)
        return under;
    if (nAlpha == 255)
        return over;
    auto channel = [&](int nShift) -> Gdiplus::ARGB {
        const Gdiplus::ARGB o = (over >> nShift) & 0xFF;
        const Gdiplus::ARGB u = (under >> nShift) & 0xFF;
        const Gdiplus::ARGB a = static_cast<Gdiplus::ARGB>(nAlpha);
        return (((o * a + u * (255 - a)) >> 8) & 0xFF) << nShift;
    };
    return 0xFF000000 | channel(16) | channel(8) | channel(0);
}

void OutlineText::RenderShadowOnBkgd(Gdiplus::Graphics* pGraphics, const DrawOp& draw)
{
    if (!pGraphics || !m_pBkgdBitmap || !m_pMaskStrategy || !m_pShadowStrategy)
        return;
    const INT nWidth = static_cast<INT>(m_pBkgdBitmap->GetWidth());
    const INT nHeight = static_cast<INT>(m_pBkgdBitmap->GetHeight());
    if (nWidth <= 0 || nHeight <= 0)
        return;

    const auto maskCanvas = CopyAsArgb(*m_pBkgdBitmap, nWidth, nHeight);
    const auto plainCopy = CopyAsArgb(*m_pBkgdBitmap, nWidth, nHeight);
    const auto shadowCanvas = CopyAsArgb(*m_pBkgdBitmap, nWidth, nHeight);
    if (!maskCanvas || !plainCopy || !shadowCanvas)
        return;

    {
        Gdiplus::Graphics maskGraphics(maskCanvas.get());
        Gdiplus::Graphics shadowGraphics(shadowCanvas.get());
        Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
        maskGraphics.FillRectangle(&black, 0, 0, nWidth, nHeight);
        CopyRenderingSettings(*pGraphics, maskGraphics);
        CopyRenderingSettings(*pGraphics, shadowGraphics);

        draw(*m_pMaskStrategy, &maskGraphics, m_ptShadowOffset.X, m_ptShadowOffset.Y);
        draw(*m_pShadowStrategy, &shadowGraphics, m_ptShadowOffset.X, m_ptShadowOffset.Y);
    }

    {
        LockedPixels mask(*maskCanvas, Gdiplus::ImageLockModeRead);
        LockedPixels plain(*plainCopy, Gdiplus::ImageLockModeRead);
        LockedPixels shadow(*shadowCanvas, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
        if (!mask.locked() || !plain.locked() || !shadow.locked())
            return;
        // Inside the glyphs the background shows through the shadow colour.
        const Gdiplus::ARGB opaqueShadow = m_clrShadow.GetValue() | 0xFF000000;
        const int nShadowAlpha = m_clrShadow.GetAlpha();
        const UINT nRows = std::min({mask.height(), plain.height(), shadow.height()});
        const UINT nColumns = std::min({mask.width(), plain.width(), shadow.width()});
        for (UINT y = 0; y < nRows; ++y)
        {
            const Gdiplus::ARGB* pMask = mask.Row(y);
            const Gdiplus::ARGB* pPlain = plain.Row(y);
            Gdiplus::ARGB* pShadow = shadow.Row(y);
            for (UINT x = 0; x < nColumns; ++x)
            {
                if ((pMask[x] & 0xFF) != 0)
                    pShadow[x] = BlendColor(pPlain[x], opaqueShadow, nShadowAlpha);
            }
        }
    }

    pGraphics->DrawImage(shadowCanvas.get(), 0, 0, nWidth, nHeight);
}

bool OutlineText::DrawWithShadow(Gdiplus::Graphics* pGraphics, const DrawOp& draw)
{
    if (m_bEnableShadow)
    {
        if (m_pShadowStrategy)
            draw(*m_pShadowStrategy, pGraphics, m_ptShadowOffset.X, m_ptShadowOffset.Y);
        if (m_pBkgdBitmap && m_pMaskStrategy)
            RenderShadowOnBkgd(pGraphics, draw);
    }
    if (!m_pTextStrategy)
        return false;
    return draw(*m_pTextStrategy, pGraphics, 0, 0);
}

bool OutlineText::MeasureWithShadow(Gdiplus::Graphics* pGraphics, const MeasureOp& measure,
                                    float* pfWidth, float* pfHeight)
{
    if (!m_pTextStrategy || !pfWidth || !pfHeight)
        return false;
    float fTextWidth = 0.0f;
    float fTextHeight = 0.0f;
    if (!measure(*m_pTextStrategy, &fTextWidth, &fTextHeight))
        return false;

    // Without a shadow strategy there is no shadow to measure, as if it were off.
    float fShadowWidth = 0.0f;
    float fShadowHeight = 0.0f;
    if (m_bEnableShadow && m_pShadowStrategy)
    {
        if (!measure(*m_pShadowStrategy, &fShadowWidth, &fShadowHeight))
            return false;
        float fOffsetX = 0.0f;
        float fOffsetY = 0.0f;
        if (ConvertToPixels(pGraphics, static_cast<float>(m_ptShadowOffset.X),
                            static_cast<float>(m_ptShadowOffset.Y), &fOffsetX, &fOffsetY))
        {
            fShadowWidth += fOffsetX;
            fShadowHeight += fOffsetY;
        }
    }

    // One pair wins whole; equal values count for the shadow.
    if (fShadowWidth >= fTextWidth && fShadowHeight >= fTextHeight)
    {
        *pfWidth = fShadowWidth;
        *pfHeight = fShadowHeight;
    }
    else
    {
        *pfWidth = fTextWidth;
        *pfHeight = fTextHeight;
    }
    return true;
}

bool OutlineText::DrawString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                             Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                             Gdiplus::Rect rtDraw, const Gdiplus::StringFormat* pStrFormat)
{
    return DrawWithShadow(pGraphics, [&](ITextStrategy& s, Gdiplus::Graphics* g, int dx, int dy) {
        return s.DrawString(g, pFontFamily, fontStyle, nFontSize, pszText, Moved(rtDraw, dx, dy),
                            pStrFormat);
    });
}

bool OutlineText::DrawString(Gdiplus::Graphics* pGraphics, const Gdiplus::FontFamily* pFontFamily,
                             Gdiplus::FontStyle fontStyle, int nFontSize, const wchar_t* pszText,
                             Gdiplus::Point ptDraw, const Gdiplus::StringFormat* pStrFormat)
{
    return DrawWithShadow(pGraphics, [&](ITextStrategy& s, Gdiplus::Graphics* g, int dx, int dy) {
        return s.DrawString(g, pFontFamily, fontStyle, nFontSize, pszText, Moved(ptDraw, dx, dy),
                            pStrFormat);
    });
}

bool OutlineText::GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                const wchar_t* pszText, Gdiplus::Rect rtDraw)
{
    return DrawWithShadow(pGraphics, [&](ITextStrategy& s, Gdiplus::Graphics* g, int dx, int dy) {
        return s.GdiDrawString(g, pLogFont, pszText, Moved(rtDraw, dx, dy));
    });
}

bool OutlineText::GdiDrawString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                const wchar_t* pszText, Gdiplus::Point ptDraw)
{
    return DrawWithShadow(pGraphics, [&](ITextStrategy& s, Gdiplus::Graphics* g, int dx, int dy) {
        return s.GdiDrawString(g, pLogFont, pszText, Moved(ptDraw, dx, dy));
    });
}

bool OutlineText::MeasureString(Gdiplus::Graphics* pGraphics,
                                const Gdiplus::FontFamily* pFontFamily,
                                Gdiplus::FontStyle fontStyle, int nFontSize,
                                const wchar_t* pszText, Gdiplus::Rect rtDraw,
                                const Gdiplus::StringFormat* pStrFormat, float* pfWidth,
                                float* pfHeight)
{
    return MeasureWithShadow(
        pGraphics,
        [&](ITextStrategy& s, float* w, float* h) {
            return s.MeasureString(pGraphics, pFontFamily, fontStyle, nFontSize, pszText, rtDraw,
                                   pStrFormat, w, h);
        },
        pfWidth, pfHeight);
}

bool OutlineText::MeasureString(Gdiplus::Graphics* pGraphics,
                                const Gdiplus::FontFamily* pFontFamily,
                                Gdiplus::FontStyle fontStyle, int nFontSize,
                                const wchar_t* pszText, Gdiplus::Point ptDraw,
                                const Gdiplus::StringFormat* pStrFormat, float* pfWidth,
                                float* pfHeight)
{
    return MeasureWithShadow(
        pGraphics,
        [&](ITextStrategy& s, float* w, float* h) {
            return s.MeasureString(pGraphics, pFontFamily, fontStyle, nFontSize, pszText, ptDraw,
                                   pStrFormat, w, h);
        },
        pfWidth, pfHeight);
}

bool OutlineText::GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                   const wchar_t* pszText, Gdiplus::Rect rtDraw, float* pfWidth,
                                   float* pfHeight)
{
    return MeasureWithShadow(
        pGraphics,
        [&](ITextStrategy& s, float* w, float* h) {
            return s.GdiMeasureString(pGraphics, pLogFont, pszText, rtDraw, w, h);
        },
        pfWidth, pfHeight);
}

bool OutlineText::GdiMeasureString(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                   const wchar_t* pszText, Gdiplus::Point ptDraw, float* pfWidth,
                                   float* pfHeight)
{
    return MeasureWithShadow(
        pGraphics,
        [&](ITextStrategy& s, float* w, float* h) {
            return s.GdiMeasureString(pGraphics, pLogFont, pszText, ptDraw, w, h);
        },
        pfWidth, pfHeight);
}

bool OutlineText::GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                         const wchar_t* pszText, Gdiplus::Rect rtDraw,
                                         float* pfWidth, float* pfHeight)
{
    return MeasureWithShadow(
        pGraphics,
        [&](ITextStrategy& s, float* w, float* h) {
            return s.GdiMeasureStringBounds(pGraphics, pLogFont, pszText, rtDraw, w, h);
        },
        pfWidth, pfHeight);
}

bool OutlineText::GdiMeasureStringBounds(Gdiplus::Graphics* pGraphics, const LOGFONTW* pLogFont,
                                         const wchar_t* pszText, Gdiplus::Point ptDraw,
                                         float* pfWidth, float* pfHeight)
{
    return MeasureWithShadow(
        pGraphics,
        [&](ITextStrategy& s, float* w, float* h) {
            return s.GdiMeasureStringBounds(pGraphics, pLogFont, pszText, ptDraw, w, h);
        },
        pfWidth, pfHeight);
}

} // namespace TextEffects
