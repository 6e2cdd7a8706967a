// Unit conversion, path extents and the GDI path conversion.
#include "TextEffectsTestSupport.h"

#include "text_effects/TextPath.h"

#include <cmath>
#include <vector>

using namespace TextEffectsTest;
using TextEffects::ConvertToPixels;
using TextEffects::ConvertUnitToPixels;
using TextEffects::GdiPathToGraphicsPath;
using TextEffects::MeasurePathBounds;
using TextEffects::MeasurePathFromOrigin;

namespace
{

class UnitConversionTest : public GdiplusTest
{
};

// Every page unit a graphics can take, on a bitmap whose horizontal and vertical resolutions
// differ, so that a swapped axis shows.
TEST_F(UnitConversionTest, EachPageUnitUsesItsResolutionAndFactor)
{
    const float fDpiX = 120.0f;
    const float fDpiY = 150.0f;
    struct Case
    {
        Gdiplus::Unit unit;
        float fExpectedX; // the single-precision formula
        float fExpectedY;
        double dApproxX; // the real-number meaning of 72 and 30 units
        double dApproxY;
    };
    const float x = 72.0f;
    const float y = 30.0f;
    const Case cases[] = {
        {Gdiplus::UnitDisplay, x, y, 72.0, 30.0},
        {Gdiplus::UnitPixel, x, y, 72.0, 30.0},
        {Gdiplus::UnitPoint, fDpiX * 0.013888889f * x, 0.013888889f * fDpiY * y, 120.0, 62.5},
        {Gdiplus::UnitInch, fDpiX * x, fDpiY * y, 8640.0, 4500.0},
        {Gdiplus::UnitDocument, fDpiX * 0.0033333334f * x, 0.0033333334f * fDpiY * y, 28.8, 15.0},
        {Gdiplus::UnitMillimeter, fDpiX * 0.039370079f * x, 0.039370079f * fDpiY * y,
         72.0 * 120.0 / 25.4, 30.0 * 150.0 / 25.4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.unit));
        BitmapGraphics target(fDpiX, fDpiY, c.unit);
        ASSERT_EQ(Gdiplus::Ok, target.unitStatus);
        ASSERT_FLOAT_EQ(fDpiX, target.graphics->GetDpiX());
        ASSERT_FLOAT_EQ(fDpiY, target.graphics->GetDpiY());
        float fOutX = -1.0f;
        float fOutY = -1.0f;
        ASSERT_TRUE(ConvertToPixels(target.graphics.get(), x, y, &fOutX, &fOutY));
        EXPECT_EQ(c.fExpectedX, fOutX);
        EXPECT_EQ(c.fExpectedY, fOutY);
        EXPECT_NEAR(c.dApproxX, fOutX, 1e-3 * c.dApproxX);
        EXPECT_NEAR(c.dApproxY, fOutY, 1e-3 * c.dApproxY);
    }
}

TEST_F(UnitConversionTest, PointsAt96DpiAndInchesAt120Dpi)
{
    BitmapGraphics points(96.0f, 96.0f, Gdiplus::UnitPoint);
    float fX = 0.0f;
    ASSERT_TRUE(ConvertToPixels(points.graphics.get(), 72.0f, 0.0f, &fX, nullptr));
    EXPECT_FLOAT_EQ(96.0f, fX);

    BitmapGraphics inches(120.0f, 120.0f, Gdiplus::UnitInch);
    float fY = 0.0f;
    ASSERT_TRUE(ConvertToPixels(inches.graphics.get(), 0.0f, 1.0f, nullptr, &fY));
    EXPECT_EQ(120.0f, fY);
}

TEST_F(UnitConversionTest, NullGraphicsFails)
{
    float fX = 5.0f;
    float fY = 6.0f;
    EXPECT_FALSE(ConvertToPixels(nullptr, 1.0f, 1.0f, &fX, &fY));
    EXPECT_EQ(5.0f, fX);
    EXPECT_EQ(6.0f, fY);
}

// UnitWorld has no size in pixels and values past UnitMillimeter are not units; no graphics
// can be set to them, so the arithmetic is checked directly.
TEST(UnitArithmeticTest, WorldAndUnknownUnitsFailWithoutWriting)
{
    for (int nUnit : {static_cast<int>(Gdiplus::UnitWorld), 7, 8, 100, -1})
    {
        SCOPED_TRACE(nUnit);
        float fX = 11.0f;
        float fY = 12.0f;
        EXPECT_FALSE(ConvertUnitToPixels(static_cast<Gdiplus::Unit>(nUnit), 96.0f, 96.0f, 3.0f,
                                         4.0f, &fX, &fY));
        EXPECT_EQ(11.0f, fX);
        EXPECT_EQ(12.0f, fY);
    }
}

TEST(UnitArithmeticTest, NullOutputsAreSkipped)
{
    float fY = 0.0f;
    EXPECT_TRUE(ConvertUnitToPixels(Gdiplus::UnitInch, 100.0f, 200.0f, 1.0f, 2.0f, nullptr, &fY));
    EXPECT_EQ(400.0f, fY);
    float fX = 0.0f;
    EXPECT_TRUE(ConvertUnitToPixels(Gdiplus::UnitPoint, 96.0f, 96.0f, 72.0f, 1.0f, &fX, nullptr));
    EXPECT_EQ(96.0f * 0.013888889f * 72.0f, fX);
}

TEST_F(UnitConversionTest, WorldPageUnitOnARealGraphicsFailsIfAccepted)
{
    BitmapGraphics target(96.0f, 96.0f, Gdiplus::UnitWorld);
    if (target.unitStatus != Gdiplus::Ok)
        GTEST_SKIP() << "GDI+ refuses the page unit UnitWorld; covered by the arithmetic test";
    float fX = 9.0f;
    EXPECT_FALSE(ConvertToPixels(target.graphics.get(), 1.0f, 1.0f, &fX, nullptr));
    EXPECT_EQ(9.0f, fX);
}

class PathExtentTest : public GdiplusTest
{
protected:
    // A path of one line from (x1, y1) to (x2, y2).
    static std::unique_ptr<Gdiplus::GraphicsPath> Line(float x1, float y1, float x2, float y2)
    {
        auto path = std::make_unique<Gdiplus::GraphicsPath>();
        path->AddLine(x1, y1, x2, y2);
        return path;
    }
};

TEST_F(PathExtentTest, ExtentRunsFromTheOriginToTheFarthestPoint)
{
    BitmapGraphics target(96.0f, 96.0f);
    struct Case
    {
        float x1, y1, x2, y2, fOriginX, fOriginY, fWidth, fHeight;
    };
    const Case cases[] = {
        {3, 2, 50, 20, 0, 0, 50, 20},     // the blank before the first point counts
        {-4, 2, 50, 20, 0, 0, 54, 20},    // left of the coordinate 0 counts as well
        {13, 12, 60, 40, 10, 10, 50, 30}, // measured from the origin
        {3, -5, 50, 10, 0, 0, 50, 15},    // above the coordinate 0
        {-4, -5, 50, 10, 10, 2, 44, 13},  // excess compared with 0, not with the origin
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.x1);
        const auto path = Line(c.x1, c.y1, c.x2, c.y2);
        float fWidth = c.fOriginX;
        float fHeight = c.fOriginY;
        ASSERT_TRUE(MeasurePathFromOrigin(target.graphics.get(), path.get(), &fWidth, &fHeight));
        EXPECT_EQ(c.fWidth, fWidth);
        EXPECT_EQ(c.fHeight, fHeight);
    }
}

TEST_F(PathExtentTest, BoundsAreTheSpanOfThePoints)
{
    BitmapGraphics target(96.0f, 96.0f);
    const auto path = Line(3, 4, 50, 24);
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    ASSERT_TRUE(MeasurePathBounds(target.graphics.get(), path.get(), &fWidth, &fHeight));
    EXPECT_EQ(47.0f, fWidth);
    EXPECT_EQ(20.0f, fHeight);

    // The seeded origin plays no part in the span.
    fWidth = 10.0f;
    fHeight = 10.0f;
    ASSERT_TRUE(MeasurePathBounds(target.graphics.get(), path.get(), &fWidth, &fHeight));
    EXPECT_EQ(47.0f, fWidth);
    EXPECT_EQ(20.0f, fHeight);
}

TEST_F(PathExtentTest, ExtentIsConvertedFromThePageUnit)
{
    BitmapGraphics target(144.0f, 144.0f, Gdiplus::UnitInch);
    const auto path = Line(0, 0, 2, 1);
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    ASSERT_TRUE(MeasurePathFromOrigin(target.graphics.get(), path.get(), &fWidth, &fHeight));
    EXPECT_EQ(288.0f, fWidth);
    EXPECT_EQ(144.0f, fHeight);
}

TEST_F(PathExtentTest, EmptyPathAndNullArgumentsFailWithoutWriting)
{
    BitmapGraphics target(96.0f, 96.0f);
    Gdiplus::GraphicsPath empty;
    float fWidth = 7.0f;
    float fHeight = 8.0f;
    EXPECT_FALSE(MeasurePathFromOrigin(target.graphics.get(), &empty, &fWidth, &fHeight));
    EXPECT_FALSE(MeasurePathBounds(target.graphics.get(), &empty, &fWidth, &fHeight));
    EXPECT_EQ(7.0f, fWidth);
    EXPECT_EQ(8.0f, fHeight);

    const auto path = Line(0, 0, 5, 5);
    EXPECT_FALSE(MeasurePathFromOrigin(nullptr, path.get(), &fWidth, &fHeight));
    EXPECT_FALSE(MeasurePathFromOrigin(target.graphics.get(), nullptr, &fWidth, &fHeight));
    EXPECT_FALSE(MeasurePathFromOrigin(target.graphics.get(), path.get(), nullptr, &fHeight));
    EXPECT_FALSE(MeasurePathFromOrigin(target.graphics.get(), path.get(), &fWidth, nullptr));
    EXPECT_FALSE(MeasurePathBounds(target.graphics.get(), path.get(), nullptr, &fHeight));
    EXPECT_EQ(7.0f, fWidth);
    EXPECT_EQ(8.0f, fHeight);
}

// The figures of a GDI+ path: their points (repeated points merged) and whether each is closed.
struct Figure
{
    std::vector<std::pair<int, int>> points;
    bool bClosed = false;
};

std::vector<Figure> Figures(const Gdiplus::GraphicsPath& path)
{
    Gdiplus::PathData data;
    std::vector<Figure> figures;
    if (path.GetPathData(&data) != Gdiplus::Ok)
        return figures;
    for (INT i = 0; i < data.Count; ++i)
    {
        const BYTE type = data.Types[i];
        if ((type & Gdiplus::PathPointTypePathTypeMask) == Gdiplus::PathPointTypeStart ||
            figures.empty())
            figures.emplace_back();
        const std::pair<int, int> point{static_cast<int>(std::lround(data.Points[i].X)),
                                        static_cast<int>(std::lround(data.Points[i].Y))};
        auto& points = figures.back().points;
        if (points.empty() || points.back() != point)
            points.push_back(point);
        if (type & Gdiplus::PathPointTypeCloseSubpath)
            figures.back().bClosed = true;
    }
    return figures;
}

using Points = std::vector<std::pair<int, int>>;

class GdiPathConversionTest : public GdiplusTest
{
};

TEST_F(GdiPathConversionTest, ClosingLineClosesTheFigure)
{
    const POINT points[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const BYTE types[] = {PT_MOVETO, PT_LINETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE};
    Gdiplus::GraphicsPath path;
    GdiPathToGraphicsPath(&path, points, types, 4);
    const auto figures = Figures(path);
    ASSERT_EQ(1u, figures.size());
    EXPECT_TRUE(figures[0].bClosed);
    EXPECT_EQ((Points{{0, 0}, {10, 0}, {10, 10}, {0, 10}}), figures[0].points);
}

TEST_F(GdiPathConversionTest, UnclosedFigureGetsALineBackButStaysOpen)
{
    const POINT points[] = {{0, 0}, {10, 0}, {10, 10}};
    const BYTE types[] = {PT_MOVETO, PT_LINETO, PT_LINETO};
    Gdiplus::GraphicsPath path;
    GdiPathToGraphicsPath(&path, points, types, 3);
    const auto figures = Figures(path);
    ASSERT_EQ(1u, figures.size());
    EXPECT_FALSE(figures[0].bClosed);
    EXPECT_EQ((Points{{0, 0}, {10, 0}, {10, 10}, {0, 0}}), figures[0].points);
}

TEST_F(GdiPathConversionTest, SecondMoveClosesTheOpenFigure)
{
    const POINT points[] = {{0, 0}, {10, 0}, {10, 10}, {20, 20}, {30, 20}};
    const BYTE types[] = {PT_MOVETO, PT_LINETO, PT_LINETO, PT_MOVETO, PT_LINETO};
    Gdiplus::GraphicsPath path;
    GdiPathToGraphicsPath(&path, points, types, 5);
    const auto figures = Figures(path);
    ASSERT_EQ(2u, figures.size());
    EXPECT_TRUE(figures[0].bClosed);
    EXPECT_EQ((Points{{0, 0}, {10, 0}, {10, 10}}), figures[0].points);
    EXPECT_FALSE(figures[1].bClosed);
    EXPECT_EQ((Points{{20, 20}, {30, 20}, {20, 20}}), figures[1].points);
}

TEST_F(GdiPathConversionTest, OtherTypesAreIgnored)
{
    const POINT points[] = {{0, 0}, {999, 999}, {10, 0}, {-999, -999}, {10, 10}};
    const BYTE types[] = {PT_MOVETO, PT_CLOSEFIGURE, PT_LINETO, PT_MOVETO | PT_CLOSEFIGURE,
                          PT_LINETO | PT_CLOSEFIGURE};
    Gdiplus::GraphicsPath path;
    GdiPathToGraphicsPath(&path, points, types, 5);
    const auto figures = Figures(path);
    ASSERT_EQ(1u, figures.size());
    EXPECT_TRUE(figures[0].bClosed);
    EXPECT_EQ((Points{{0, 0}, {10, 0}, {10, 10}}), figures[0].points);
}

TEST_F(GdiPathConversionTest, BeziersTakeThreePointsAndCloseOnTheirLastMark)
{
    // GetPath marks a closing bezier on its end point.
    const POINT points[] = {{0, 0}, {5, -5}, {15, -5}, {20, 0}, {20, 20}, {0, 20}, {0, 0}};
    const BYTE types[] = {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO,
                          PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO | PT_CLOSEFIGURE};
    Gdiplus::GraphicsPath path;
    GdiPathToGraphicsPath(&path, points, types, 7);
    const auto figures = Figures(path);
    ASSERT_EQ(1u, figures.size());
    EXPECT_TRUE(figures[0].bClosed);
    EXPECT_EQ(7u, figures[0].points.size());

    // A closing mark on the bezier's first point closes it too.
    const BYTE firstMarked[] = {PT_MOVETO, PT_BEZIERTO | PT_CLOSEFIGURE, PT_BEZIERTO, PT_BEZIERTO};
    Gdiplus::GraphicsPath path2;
    GdiPathToGraphicsPath(&path2, points, firstMarked, 4);
    const auto figures2 = Figures(path2);
    ASSERT_EQ(1u, figures2.size());
    EXPECT_TRUE(figures2[0].bClosed);
}

TEST_F(GdiPathConversionTest, NothingForEmptyOrNullInput)
{
    const POINT points[] = {{0, 0}, {10, 0}};
    const BYTE types[] = {PT_MOVETO, PT_LINETO};
    Gdiplus::GraphicsPath path;
    GdiPathToGraphicsPath(&path, points, types, 0);
    GdiPathToGraphicsPath(&path, points, types, -3);
    GdiPathToGraphicsPath(&path, nullptr, types, 2);
    GdiPathToGraphicsPath(&path, points, nullptr, 2);
    GdiPathToGraphicsPath(nullptr, points, types, 2);
    EXPECT_EQ(0, path.GetPointCount());
}

// Arrays that end exactly at an inaccessible page: any read past them faults.
template <typename T>
class GuardedArray
{
public:
    explicit GuardedArray(const std::vector<T>& values)
    {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        m_nPage = info.dwPageSize;
        m_pBase = static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * m_nPage, MEM_RESERVE | MEM_COMMIT,
                                                    PAGE_READWRITE));
        DWORD dwOld = 0;
        ::VirtualProtect(m_pBase + m_nPage, m_nPage, PAGE_NOACCESS, &dwOld);
        m_pData = reinterpret_cast<T*>(m_pBase + m_nPage - values.size() * sizeof(T));
        std::copy(values.begin(), values.end(), m_pData);
    }
    ~GuardedArray() { ::VirtualFree(m_pBase, 0, MEM_RELEASE); }
    const T* data() const { return m_pData; }

private:
    SIZE_T m_nPage = 0;
    BYTE* m_pBase = nullptr;
    T* m_pData = nullptr;
};

TEST_F(GdiPathConversionTest, TruncatedBezierDoesNotReadPastTheArrays)
{
    for (int nTail = 1; nTail <= 2; ++nTail)
    {
        SCOPED_TRACE(nTail);
        std::vector<POINT> points = {{0, 0}, {10, 0}, {10, 10}};
        std::vector<BYTE> types = {PT_MOVETO, PT_LINETO, PT_LINETO};
        for (int i = 0; i < nTail; ++i)
        {
            points.push_back({20 + i, 20 + i});
            types.push_back(PT_BEZIERTO);
        }
        GuardedArray<POINT> guardedPoints(points);
        GuardedArray<BYTE> guardedTypes(types);
        Gdiplus::GraphicsPath path;
        GdiPathToGraphicsPath(&path, guardedPoints.data(), guardedTypes.data(),
                              static_cast<int>(points.size()));
        // The lines before the truncated bezier stand; the bezier is dropped.
        const auto figures = Figures(path);
        ASSERT_EQ(1u, figures.size());
        EXPECT_EQ((Points{{0, 0}, {10, 0}, {10, 10}}), figures[0].points);
    }
}

class GdiTextPathTest : public GdiplusTest
{
protected:
    static LOGFONTW Font(int nHeight)
    {
        LOGFONTW lf{};
        lf.lfHeight = -nHeight;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        wcscpy_s(lf.lfFaceName, kFace);
        return lf;
    }
};

TEST_F(GdiTextPathTest, TextBecomesAPathAtThePosition)
{
    DibCanvas canvas(300, 100);
    ASSERT_TRUE(canvas.valid());
    Gdiplus::Graphics graphics(canvas.dc());
    const LOGFONTW lf = Font(30);

    Gdiplus::GraphicsPath* pAtZero = nullptr;
    ASSERT_TRUE(TextEffects::GdiTextPath(&graphics, &pAtZero, L"Hi", &lf, 0, 0));
    std::unique_ptr<Gdiplus::GraphicsPath> atZero(pAtZero);
    ASSERT_GT(atZero->GetPointCount(), 4);
    EXPECT_EQ(Gdiplus::FillModeWinding, atZero->GetFillMode());

    Gdiplus::GraphicsPath* pMoved = nullptr;
    ASSERT_TRUE(TextEffects::GdiTextPath(&graphics, &pMoved, L"Hi", &lf, 40, 20));
    std::unique_ptr<Gdiplus::GraphicsPath> moved(pMoved);

    Gdiplus::RectF boundsZero;
    Gdiplus::RectF boundsMoved;
    atZero->GetBounds(&boundsZero);
    moved->GetBounds(&boundsMoved);
    EXPECT_NEAR(boundsZero.X + 40, boundsMoved.X, 0.5);
    EXPECT_NEAR(boundsZero.Y + 20, boundsMoved.Y, 0.5);
    EXPECT_NEAR(boundsZero.Width, boundsMoved.Width, 0.5);

    // The device context was given back: the graphics draws again.
    Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF00FF00));
    EXPECT_EQ(Gdiplus::Ok, graphics.FillRectangle(&brush, 0, 0, 2, 2));
}

TEST_F(GdiTextPathTest, RectangleFormCentresTheText)
{
    DibCanvas canvas(300, 100);
    Gdiplus::Graphics graphics(canvas.dc());
    const LOGFONTW lf = Font(30);
    Gdiplus::GraphicsPath* pRaw = nullptr;
    ASSERT_TRUE(TextEffects::GdiTextPathInRect(&graphics, &pRaw, L"I", &lf, 0, 0, 200, 60));
    std::unique_ptr<Gdiplus::GraphicsPath> path(pRaw);
    Gdiplus::RectF bounds;
    path->GetBounds(&bounds);
    EXPECT_NEAR(100.0, bounds.X + bounds.Width / 2, 4.0);
}

TEST_F(GdiTextPathTest, FailuresGiveFalseAndAnEmptyPath)
{
    DibCanvas canvas(100, 50);
    Gdiplus::Graphics graphics(canvas.dc());
    const LOGFONTW lf = Font(20);

    struct Attempt
    {
        const char* name;
        std::function<bool(Gdiplus::GraphicsPath**)> run;
    };
    const Attempt attempts[] = {
        {"no text drawn", [&](Gdiplus::GraphicsPath** pp) {
             return TextEffects::GdiTextPath(&graphics, pp, L"", &lf, 0, 0); }},
        {"no font", [&](Gdiplus::GraphicsPath** pp) {
             return TextEffects::GdiTextPath(&graphics, pp, L"A", nullptr, 0, 0); }},
        {"no graphics", [&](Gdiplus::GraphicsPath** pp) {
             return TextEffects::GdiTextPathInRect(nullptr, pp, L"A", &lf, 0, 0, 50, 50); }},
        {"device context held elsewhere", [&](Gdiplus::GraphicsPath** pp) {
             HDC hdc = graphics.GetHDC();
             const bool bResult = TextEffects::GdiTextPath(&graphics, pp, L"A", &lf, 0, 0);
             graphics.ReleaseHDC(hdc);
             return bResult;
         }},
    };
    for (const Attempt& attempt : attempts)
    {
        SCOPED_TRACE(attempt.name);
        Gdiplus::GraphicsPath* pRaw = nullptr;
        EXPECT_FALSE(attempt.run(&pRaw));
        std::unique_ptr<Gdiplus::GraphicsPath> path(pRaw);
        ASSERT_NE(nullptr, path);
        EXPECT_EQ(0, path->GetPointCount());
    }
    EXPECT_FALSE(TextEffects::GdiTextPath(&graphics, nullptr, L"A", &lf, 0, 0));
}

TEST_F(GdiTextPathTest, WorksOnABitmapsGraphics)
{
    BitmapGraphics target(96.0f, 96.0f, Gdiplus::UnitPixel, 200, 60);
    const LOGFONTW lf = Font(24);
    Gdiplus::GraphicsPath* pRaw = nullptr;
    const bool bMade = TextEffects::GdiTextPath(target.graphics.get(), &pRaw, L"Box", &lf, 0, 0);
    std::unique_ptr<Gdiplus::GraphicsPath> path(pRaw);
    ASSERT_NE(nullptr, path);
    EXPECT_TRUE(bMade);
    EXPECT_GT(path->GetPointCount(), 4);
}

} // namespace
