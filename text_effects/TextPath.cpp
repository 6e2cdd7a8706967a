#include "text_effects/TextPath.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

namespace TextEffects
{

namespace
{

// The inch fractions of a point, a document unit and a millimetre (1/72, 1/300, 1/25.4) as
// single-precision constants. Every conversion multiplies dpi x fraction x length in this
// order, so a length gives the same pixels wherever it is converted.
constexpr float kPointsPerInch = 0.013888889f;
constexpr float kDocumentPerInch = 0.0033333334f;
constexpr float kMillimetresPerInch = 0.039370079f;

bool ScaleByInchFraction(float fFraction, float fDpiX, float fDpiY, float fX, float fY,
                         float* pfPixelsX, float* pfPixelsY)
{
    if (pfPixelsX)
        *pfPixelsX = fDpiX * fFraction * fX;
    if (pfPixelsY)
        *pfPixelsY = fFraction * fDpiY * fY;
    return true;
}

struct PathExtent
{
    float minX, maxX, minY, maxY;
};

// Reads the path's points once; no value when there are none or the path cannot be read.
std::optional<PathExtent> ReadExtent(const Gdiplus::GraphicsPath* pPath)
{
    Gdiplus::PathData data;
    if (pPath->GetPathData(&data) != Gdiplus::Ok || data.Count < 1 || !data.Points)
        return std::nullopt;
    PathExtent extent{data.Points[0].X, data.Points[0].X, data.Points[0].Y, data.Points[0].Y};
    for (INT i = 1; i < data.Count; ++i)
    {
        extent.minX = std::min(extent.minX, data.Points[i].X);
        extent.maxX = std::max(extent.maxX, data.Points[i].X);
        extent.minY = std::min(extent.minY, data.Points[i].Y);
        extent.maxY = std::max(extent.maxY, data.Points[i].Y);
    }
    return extent;
}

// Restores everything GdiTextPath changes on the graphics' device context, on every way out.
class GraphicsDcScope
{
public:
    explicit GraphicsDcScope(Gdiplus::Graphics* pGraphics)
        : m_pGraphics(pGraphics), m_hdc(pGraphics->GetHDC())
    {
        if (m_hdc)
            m_nOldBkMode = ::SetBkMode(m_hdc, TRANSPARENT);
    }
    ~GraphicsDcScope()
    {
        if (!m_hdc)
            return;
        if (m_hOldFont)
            ::SelectObject(m_hdc, m_hOldFont);
        if (m_hFont)
            ::DeleteObject(m_hFont);
        if (m_nOldBkMode)
            ::SetBkMode(m_hdc, m_nOldBkMode);
        m_pGraphics->ReleaseHDC(m_hdc);
    }
    GraphicsDcScope(const GraphicsDcScope&) = delete;
    GraphicsDcScope& operator=(const GraphicsDcScope&) = delete;

    HDC dc() const { return m_hdc; }

    bool SelectFont(const LOGFONTW* pLogFont)
    {
        m_hFont = ::CreateFontIndirectW(pLogFont);
        if (!m_hFont)
            return false;
        m_hOldFont = static_cast<HFONT>(::SelectObject(m_hdc, m_hFont));
        return true;
    }

private:
    Gdiplus::Graphics* m_pGraphics;
    HDC m_hdc;
    int m_nOldBkMode = 0;
    HFONT m_hFont = nullptr;
    HFONT m_hOldFont = nullptr;
};

template <typename EmitText>
bool BuildGdiTextPath(Gdiplus::Graphics* pGraphics, Gdiplus::GraphicsPath** ppPath,
                      const wchar_t* pszText, const LOGFONTW* pLogFont, EmitText emitText)
{
    if (!ppPath)
        return false;
    // The caller owns a path on every way out, so it is made before anything can fail.
    *ppPath = new Gdiplus::GraphicsPath(Gdiplus::FillModeWinding);
    if (!*ppPath || !pGraphics || !pszText || !pLogFont)
        return false;

    GraphicsDcScope scope(pGraphics);
    if (!scope.dc() || !scope.SelectFont(pLogFont))
        return false;

    const int nLength = static_cast<int>(wcslen(pszText));
    ::BeginPath(scope.dc());
    emitText(scope.dc(), nLength);
    ::EndPath(scope.dc());

    const int nPoints = ::GetPath(scope.dc(), nullptr, nullptr, 0);
    if (nPoints <= 0)
        return false;
    try
    {
        std::vector<POINT> points(static_cast<size_t>(nPoints));
        std::vector<BYTE> types(static_cast<size_t>(nPoints));
        const int nGot = ::GetPath(scope.dc(), points.data(), types.data(), nPoints);
        if (nGot < 0)
            return false;
        GdiPathToGraphicsPath(*ppPath, points.data(), types.data(), std::min(nGot, nPoints));
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    return true;
}

} // namespace

bool ConvertUnitToPixels(Gdiplus::Unit unit, float fDpiX, float fDpiY, float fX, float fY,
                         float* pfPixelsX, float* pfPixelsY)
{
    switch (unit)
    {
    case Gdiplus::UnitDisplay:
    case Gdiplus::UnitPixel:
        if (pfPixelsX)
            *pfPixelsX = fX;
        if (pfPixelsY)
            *pfPixelsY = fY;
        return true;
    case Gdiplus::UnitPoint:
        return ScaleByInchFraction(kPointsPerInch, fDpiX, fDpiY, fX, fY, pfPixelsX, pfPixelsY);
    case Gdiplus::UnitInch:
        if (pfPixelsX)
            *pfPixelsX = fDpiX * fX;
        if (pfPixelsY)
            *pfPixelsY = fDpiY * fY;
        return true;
    case Gdiplus::UnitDocument:
        return ScaleByInchFraction(kDocumentPerInch, fDpiX, fDpiY, fX, fY, pfPixelsX, pfPixelsY);
    case Gdiplus::UnitMillimeter:
        return ScaleByInchFraction(kMillimetresPerInch, fDpiX, fDpiY, fX, fY, pfPixelsX,
                                   pfPixelsY);
    default: // UnitWorld has no fixed size in pixels; other values are not units
        return false;
    }
}

bool ConvertToPixels(Gdiplus::Graphics* pGraphics, float fX, float fY, float* pfPixelsX,
                     float* pfPixelsY)
{
    if (!pGraphics)
        return false;
    // A failing read leaves its status on the graphics and a zero value here.
    const Gdiplus::Unit unit = pGraphics->GetPageUnit();
    const float fDpiX = pGraphics->GetDpiX();
    const float fDpiY = pGraphics->GetDpiY();
    return ConvertUnitToPixels(unit, fDpiX, fDpiY, fX, fY, pfPixelsX, pfPixelsY);
}

bool MeasurePathFromOrigin(Gdiplus::Graphics* pGraphics, const Gdiplus::GraphicsPath* pPath,
                           float* pfWidth, float* pfHeight)
{
    if (!pGraphics || !pPath || !pfWidth || !pfHeight)
        return false;
    const std::optional<PathExtent> extent = ReadExtent(pPath);
    if (!extent)
        return false;
    const float fLeftExcess = extent->minX < 0.0f ? -extent->minX : 0.0f;
    const float fTopExcess = extent->minY < 0.0f ? -extent->minY : 0.0f;
    const float fWidth = fLeftExcess + extent->maxX - *pfWidth;
    const float fHeight = fTopExcess + extent->maxY - *pfHeight;
    return ConvertToPixels(pGraphics, fWidth, fHeight, pfWidth, pfHeight);
}

bool MeasurePathBounds(Gdiplus::Graphics* pGraphics, const Gdiplus::GraphicsPath* pPath,
                       float* pfWidth, float* pfHeight)
{
    if (!pGraphics || !pPath || !pfWidth || !pfHeight)
        return false;
    const std::optional<PathExtent> extent = ReadExtent(pPath);
    if (!extent)
        return false;
    return ConvertToPixels(pGraphics, extent->maxX - extent->minX, extent->maxY - extent->minY,
                           pfWidth, pfHeight);
}

bool GdiTextPath(Gdiplus::Graphics* pGraphics, Gdiplus::GraphicsPath** ppPath,
                 const wchar_t* pszText, const LOGFONTW* pLogFont, int x, int y)
{
    return BuildGdiTextPath(pGraphics, ppPath, pszText, pLogFont, [&](HDC hdc, int nLength) {
        ::TextOutW(hdc, x, y, pszText, nLength);
    });
}

bool GdiTextPathInRect(Gdiplus::Graphics* pGraphics, Gdiplus::GraphicsPath** ppPath,
                       const wchar_t* pszText, const LOGFONTW* pLogFont, int x, int y,
                       int nWidth, int nHeight)
{
    return BuildGdiTextPath(pGraphics, ppPath, pszText, pLogFont, [&](HDC hdc, int nLength) {
        RECT rc{x, y, x + nWidth, y + nHeight};
        ::DrawTextW(hdc, pszText, nLength, &rc, DT_CENTER);
    });
}

void GdiPathToGraphicsPath(Gdiplus::GraphicsPath* pPath, const POINT* pPoints,
                           const BYTE* pTypes, int nCount)
{
    if (!pPath || !pPoints || !pTypes || nCount < 1)
        return;
    auto toPoint = [&](int i) { return Gdiplus::Point(pPoints[i].x, pPoints[i].y); };

    // The two markers: the pen's last point and the start of the open figure.
    Gdiplus::Point previous;
    bool bHasPrevious = false;
    Gdiplus::Point figureStart;
    bool bHasFigureStart = false;

    // A closing type ends the figure; the pen returns to where the figure began.
    auto closeFigure = [&](const Gdiplus::Point& end) {
        if (bHasFigureStart)
        {
            pPath->CloseFigure();
            previous = figureStart;
        }
        else
        {
            previous = end;
        }
        bHasPrevious = true;
        bHasFigureStart = false;
    };

    for (int i = 0; i < nCount; ++i)
    {
        switch (pTypes[i])
        {
        case PT_MOVETO:
            if (bHasFigureStart && i > 0)
                pPath->CloseFigure();
            figureStart = previous = toPoint(i);
            bHasFigureStart = bHasPrevious = true;
            break;
        case PT_LINETO:
        case PT_LINETO | PT_CLOSEFIGURE:
        {
            // A segment without a start point has nothing to join: its end becomes the start.
            const Gdiplus::Point end = toPoint(i);
            if (bHasPrevious)
                pPath->AddLine(previous, end);
            if (pTypes[i] & PT_CLOSEFIGURE)
            {
                closeFigure(end);
            }
            else
            {
                previous = end;
                bHasPrevious = true;
            }
            break;
        }
        case PT_BEZIERTO:
        case PT_BEZIERTO | PT_CLOSEFIGURE:
        {
            // A bezier needs two control points and an end point; a truncated one ends the
            // conversion rather than reading past the arrays.
            if (i + 2 >= nCount)
                return;
            const Gdiplus::Point end = toPoint(i + 2);
            if (bHasPrevious)
                pPath->AddBezier(previous, toPoint(i), toPoint(i + 1), end);
            // GetPath marks a closing bezier on its end point; a mark on its first point
            // closes it as well.
            const bool bClose = ((pTypes[i] | pTypes[i + 2]) & PT_CLOSEFIGURE) != 0;
            i += 2;
            if (bClose)
            {
                closeFigure(end);
            }
            else
            {
                previous = end;
                bHasPrevious = true;
            }
            break;
        }
        default:
            break;
        }
    }

    if (bHasFigureStart && nCount > 1)
        pPath->AddLine(previous, figureStart);
}

} // namespace TextEffects
