// The three text strategies: measures with their pen allowance, failures, the brush form and
// what each draws.
#include "TextEffectsTestSupport.h"

#include "text_effects/TextDblOutlineStrategy.h"
#include "text_effects/TextGlowStrategy.h"
#include "text_effects/TextOutlineStrategy.h"
#include "text_effects/TextPath.h"

using namespace TextEffectsTest;
using TextEffects::TextDblOutlineStrategy;
using TextEffects::TextGlowStrategy;
using TextEffects::TextOutlineStrategy;

namespace
{

constexpr int kSize = 30;
constexpr const wchar_t* kText = L"Hello";

class TextStrategyTest : public GdiplusTest
{
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        m_family = std::make_unique<Gdiplus::FontFamily>(kLiberation);
        ASSERT_TRUE(m_family->IsAvailable()) << "the test prefix needs Liberation Sans";
    }
    void TearDown() override
    {
        m_family.reset();
        GdiplusTest::TearDown();
    }

    // The bare extent of the text path from the origin, as the strategies measure it.
    std::pair<float, float> BareExtent(Gdiplus::Graphics& graphics, Gdiplus::Point origin)
    {
        Gdiplus::StringFormat format(0, LANG_NEUTRAL);
        Gdiplus::GraphicsPath path;
        EXPECT_EQ(Gdiplus::Ok, path.AddString(kText, -1, m_family.get(), Gdiplus::FontStyleRegular,
                                              static_cast<Gdiplus::REAL>(kSize),
                                              Gdiplus::Rect(origin.X, origin.Y, 0, 0), &format));
        float fWidth = static_cast<float>(origin.X);
        float fHeight = static_cast<float>(origin.Y);
        EXPECT_TRUE(TextEffects::MeasurePathFromOrigin(&graphics, &path, &fWidth, &fHeight));
        return {fWidth, fHeight};
    }

    bool Measure(TextEffects::ITextStrategy& strategy, Gdiplus::Graphics& graphics, float* pfWidth,
                 float* pfHeight, Gdiplus::Point origin = Gdiplus::Point(0, 0))
    {
        return strategy.MeasureString(&graphics, m_family.get(), Gdiplus::FontStyleRegular, kSize,
                                      kText, origin, nullptr, pfWidth, pfHeight);
    }

    std::vector<std::uint32_t> DrawAlone(TextEffects::ITextStrategy& strategy)
    {
        DibCanvas canvas(200, 60);
        canvas.Draw([&](Gdiplus::Graphics& g) {
            EXPECT_TRUE(strategy.DrawString(&g, m_family.get(), Gdiplus::FontStyleRegular, kSize,
                                            kText, Gdiplus::Rect(10, 10, 180, 45), nullptr));
        });
        return canvas.Pixels();
    }

    std::unique_ptr<Gdiplus::FontFamily> m_family;
};

TEST_F(TextStrategyTest, DefaultsAndInitForms)
{
    TextOutlineStrategy outline;
    EXPECT_EQ(0xFF000000u, outline.m_clrText.GetValue());
    EXPECT_EQ(0xFF000000u, outline.m_clrOutline.GetValue());
    EXPECT_EQ(2, outline.m_nThickness);
    EXPECT_EQ(nullptr, outline.m_pTextBrush);
    EXPECT_TRUE(outline.m_bClrText);

    Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF123456));
    outline.Init(&brush, Gdiplus::Color(0xFF00FF00), 5);
    EXPECT_EQ(&brush, outline.m_pTextBrush);
    EXPECT_FALSE(outline.m_bClrText);
    EXPECT_EQ(0xFF000000u, outline.m_clrText.GetValue()); // the colour form's value stays
    outline.Init(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0xFF0000FF), 3);
    EXPECT_TRUE(outline.m_bClrText);
    EXPECT_EQ(&brush, outline.m_pTextBrush); // the brush stays
    EXPECT_EQ(0xFFFF0000u, outline.m_clrText.GetValue());
    EXPECT_EQ(3, outline.m_nThickness);

    TextGlowStrategy glow;
    EXPECT_EQ(8, glow.m_nThickness);
    glow.Init(Gdiplus::Color(0xFF010203), Gdiplus::Color(0x80FFFF00), 4);
    EXPECT_EQ(0x80FFFF00u, glow.m_clrOutline.GetValue());

    TextDblOutlineStrategy dbl;
    EXPECT_EQ(2, dbl.m_nThickness1);
    EXPECT_EQ(2, dbl.m_nThickness2);
    dbl.Init(&brush, Gdiplus::Color(0xFF111111), Gdiplus::Color(0xFF222222), 6, 7);
    EXPECT_FALSE(dbl.m_bClrText);
    EXPECT_EQ(0xFF111111u, dbl.m_clrOutline1.GetValue());
    EXPECT_EQ(0xFF222222u, dbl.m_clrOutline2.GetValue());
    EXPECT_EQ(6, dbl.m_nThickness1);
    EXPECT_EQ(7, dbl.m_nThickness2);
}

TEST_F(TextStrategyTest, MeasureIsTheExtentPlusTheWidestPen)
{
    BitmapGraphics target(96.0f, 96.0f, Gdiplus::UnitPixel);
    const auto bare = BareExtent(*target.graphics, Gdiplus::Point(0, 0));
    ASSERT_GT(bare.first, 40.0f);
    ASSERT_GT(bare.second, 10.0f);

    TextOutlineStrategy invisible;
    invisible.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0x00000000), 0);
    TextOutlineStrategy outline;
    outline.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0xFF000000), 4);
    TextGlowStrategy glow;
    glow.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0x80FF0000), 3);
    TextDblOutlineStrategy dbl;
    dbl.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000),
             2, 3);

    struct Case
    {
        const char* name;
        TextEffects::ITextStrategy* strategy;
        float fAllowance;
    };
    const Case cases[] = {
        {"no outline", &invisible, 0.0f},
        {"outline 4", &outline, 4.0f},
        {"glow 3", &glow, 3.0f},
        {"double outline 2 + 3", &dbl, 5.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        float fWidth = 0.0f;
        float fHeight = 0.0f;
        ASSERT_TRUE(Measure(*c.strategy, *target.graphics, &fWidth, &fHeight));
        EXPECT_EQ(bare.first + c.fAllowance, fWidth);
        EXPECT_EQ(bare.second + c.fAllowance, fHeight);
    }
}

TEST_F(TextStrategyTest, MeasureFromAnOriginAndTheRectangleForm)
{
    BitmapGraphics target(96.0f, 96.0f, Gdiplus::UnitPixel);
    const auto bare = BareExtent(*target.graphics, Gdiplus::Point(20, 7));
    TextOutlineStrategy outline;
    outline.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0xFF000000), 2);
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    ASSERT_TRUE(Measure(outline, *target.graphics, &fWidth, &fHeight, Gdiplus::Point(20, 7)));
    EXPECT_EQ(bare.first + 2.0f, fWidth);
    EXPECT_EQ(bare.second + 2.0f, fHeight);

    // With a rectangle of no size the two forms lay the text out alike.
    float fRectWidth = 0.0f;
    float fRectHeight = 0.0f;
    ASSERT_TRUE(outline.MeasureString(target.graphics.get(), m_family.get(),
                                      Gdiplus::FontStyleRegular, kSize, kText,
                                      Gdiplus::Rect(20, 7, 0, 0), nullptr, &fRectWidth,
                                      &fRectHeight));
    EXPECT_EQ(fWidth, fRectWidth);
    EXPECT_EQ(fHeight, fRectHeight);
}

TEST_F(TextStrategyTest, PenAllowanceIsConvertedByTheHorizontalResolution)
{
    BitmapGraphics target(96.0f, 192.0f, Gdiplus::UnitPoint);
    TextOutlineStrategy thin;
    thin.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0x00000000), 0);
    TextOutlineStrategy thick;
    thick.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0xFF000000), 6);
    float fThinWidth = 0.0f, fThinHeight = 0.0f, fWidth = 0.0f, fHeight = 0.0f;
    ASSERT_TRUE(Measure(thin, *target.graphics, &fThinWidth, &fThinHeight));
    ASSERT_TRUE(Measure(thick, *target.graphics, &fWidth, &fHeight));
    const float fAllowance = 96.0f * 0.013888889f * 6.0f; // 8 pixels, horizontal resolution
    EXPECT_EQ(fThinWidth + fAllowance, fWidth);
    EXPECT_EQ(fThinHeight + fAllowance, fHeight);
}

TEST_F(TextStrategyTest, NullFormatMeasuresAsTheDefaultFormat)
{
    BitmapGraphics target(96.0f, 96.0f);
    TextOutlineStrategy outline;
    float fWidth = 0.0f, fHeight = 0.0f;
    ASSERT_TRUE(Measure(outline, *target.graphics, &fWidth, &fHeight));
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    float fFormatWidth = 0.0f, fFormatHeight = 0.0f;
    ASSERT_TRUE(outline.MeasureString(target.graphics.get(), m_family.get(),
                                      Gdiplus::FontStyleRegular, kSize, kText,
                                      Gdiplus::Point(0, 0), &format, &fFormatWidth,
                                      &fFormatHeight));
    EXPECT_EQ(fFormatWidth, fWidth);
    EXPECT_EQ(fFormatHeight, fHeight);
}

TEST_F(TextStrategyTest, NoFamilyFailsAndLeavesTheOutputs)
{
    BitmapGraphics target(96.0f, 96.0f);
    TextOutlineStrategy outline;
    Gdiplus::FontFamily missing(L"No Such Face Anywhere");
    ASSERT_FALSE(missing.IsAvailable());
    for (const Gdiplus::FontFamily* pFamily : {static_cast<const Gdiplus::FontFamily*>(nullptr),
                                               static_cast<const Gdiplus::FontFamily*>(&missing)})
    {
        float fWidth = 123.0f;
        float fHeight = 456.0f;
        EXPECT_FALSE(outline.MeasureString(target.graphics.get(), pFamily,
                                           Gdiplus::FontStyleRegular, kSize, kText,
                                           Gdiplus::Point(5, 5), nullptr, &fWidth, &fHeight));
        EXPECT_FALSE(outline.MeasureString(target.graphics.get(), pFamily,
                                           Gdiplus::FontStyleRegular, kSize, kText,
                                           Gdiplus::Rect(5, 5, 100, 50), nullptr, &fWidth,
                                           &fHeight));
        EXPECT_EQ(123.0f, fWidth);
        EXPECT_EQ(456.0f, fHeight);

        DibCanvas canvas(100, 50);
        canvas.Draw([&](Gdiplus::Graphics& g) {
            EXPECT_FALSE(outline.DrawString(&g, pFamily, Gdiplus::FontStyleRegular, kSize, kText,
                                            Gdiplus::Point(0, 0), nullptr));
        });
        EXPECT_EQ(0, canvas.CountWhere(IsInk));
    }
}

TEST_F(TextStrategyTest, NullGraphicsTextOrOutputsFail)
{
    BitmapGraphics target(96.0f, 96.0f);
    TextOutlineStrategy outline;
    float fWidth = 1.0f, fHeight = 2.0f;
    EXPECT_FALSE(outline.MeasureString(nullptr, m_family.get(), Gdiplus::FontStyleRegular, kSize,
                                       kText, Gdiplus::Point(0, 0), nullptr, &fWidth, &fHeight));
    EXPECT_FALSE(outline.MeasureString(target.graphics.get(), m_family.get(),
                                       Gdiplus::FontStyleRegular, kSize, nullptr,
                                       Gdiplus::Point(0, 0), nullptr, &fWidth, &fHeight));
    EXPECT_FALSE(outline.MeasureString(target.graphics.get(), m_family.get(),
                                       Gdiplus::FontStyleRegular, kSize, kText,
                                       Gdiplus::Point(0, 0), nullptr, nullptr, &fHeight));
    EXPECT_FALSE(outline.DrawString(nullptr, m_family.get(), Gdiplus::FontStyleRegular, kSize,
                                    kText, Gdiplus::Point(0, 0), nullptr));
    EXPECT_EQ(1.0f, fWidth);
    EXPECT_EQ(2.0f, fHeight);
}

TEST_F(TextStrategyTest, BrushFormWithoutABrushDrawsOnlyTheOutline)
{
    TextOutlineStrategy outline;
    outline.Init(static_cast<const Gdiplus::Brush*>(nullptr), Gdiplus::Color(0xFF0000FF), 2);
    DibCanvas canvas(200, 60);
    canvas.Draw([&](Gdiplus::Graphics& g) {
        EXPECT_FALSE(outline.DrawString(&g, m_family.get(), Gdiplus::FontStyleRegular, kSize,
                                        kText, Gdiplus::Point(5, 5), nullptr));
    });
    // The outline stands; no fill of any other colour was drawn.
    EXPECT_GT(canvas.CountWhere([](std::uint32_t p) { return p == 0xFF0000FF; }), 20);
    EXPECT_EQ(0, canvas.CountWhere([](std::uint32_t p) { return IsInk(p) && Red(p) + Green(p) > 0; }));

    // Measuring needs no brush.
    BitmapGraphics target(96.0f, 96.0f);
    float fWidth = 0.0f, fHeight = 0.0f;
    EXPECT_TRUE(Measure(outline, *target.graphics, &fWidth, &fHeight));
    EXPECT_GT(fWidth, 0.0f);
}

TEST_F(TextStrategyTest, BrushFormFillsWithTheBrush)
{
    Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF00FF00));
    TextOutlineStrategy outline;
    outline.Init(&brush, Gdiplus::Color(0x00000000), 0);
    DibCanvas canvas(200, 60);
    canvas.Draw([&](Gdiplus::Graphics& g) {
        EXPECT_TRUE(outline.DrawString(&g, m_family.get(), Gdiplus::FontStyleRegular, kSize, kText,
                                       Gdiplus::Point(5, 5), nullptr));
    });
    EXPECT_GT(canvas.CountWhere([](std::uint32_t p) { return p == 0xFF00FF00; }), 50);
}

TEST_F(TextStrategyTest, TransparentFillDrawsOnlyTheRing)
{
    TextOutlineStrategy ring;
    ring.Init(Gdiplus::Color(0x00000000), Gdiplus::Color(0xFFFF0000), 2);
    TextOutlineStrategy filled;
    filled.Init(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0xFFFF0000), 2);
    const auto ringPixels = DrawAlone(ring);
    const auto filledPixels = DrawAlone(filled);
    int nRing = 0, nFilled = 0;
    for (size_t i = 0; i < ringPixels.size(); ++i)
    {
        nRing += IsInk(ringPixels[i]) ? 1 : 0;
        nFilled += IsInk(filledPixels[i]) ? 1 : 0;
        // the ring lies within the filled glyphs with their outline
        if (IsInk(ringPixels[i]))
        {
            EXPECT_TRUE(IsInk(filledPixels[i])) << i;
        }
    }
    EXPECT_GT(nRing, 50);
    EXPECT_LT(nRing, nFilled);
}

TEST_F(TextStrategyTest, GlowOfThicknessZeroIsTheFillAlone)
{
    TextGlowStrategy glow;
    glow.Init(Gdiplus::Color(0xFF204060), Gdiplus::Color(0xFFFF0000), 0);
    TextOutlineStrategy plain;
    plain.Init(Gdiplus::Color(0xFF204060), Gdiplus::Color(0x00000000), 0);
    EXPECT_EQ(DrawAlone(plain), DrawAlone(glow));
}

TEST_F(TextStrategyTest, GlowReachesAsFarAsItsWidestPen)
{
    TextGlowStrategy glow;
    glow.Init(Gdiplus::Color(0xFF204060), Gdiplus::Color(0xFFFF0000), 5);
    TextOutlineStrategy outline;
    outline.Init(Gdiplus::Color(0xFF204060), Gdiplus::Color(0xFFFF0000), 5);
    TextOutlineStrategy plain;
    plain.Init(Gdiplus::Color(0xFF204060), Gdiplus::Color(0x00000000), 0);
    const auto glowPixels = DrawAlone(glow);
    const auto outlinePixels = DrawAlone(outline);
    const auto plainPixels = DrawAlone(plain);
    int nGlow = 0, nOutline = 0, nPlain = 0;
    for (size_t i = 0; i < glowPixels.size(); ++i)
    {
        nGlow += IsInk(glowPixels[i]) ? 1 : 0;
        nOutline += IsInk(outlinePixels[i]) ? 1 : 0;
        nPlain += IsInk(plainPixels[i]) ? 1 : 0;
    }
    EXPECT_GT(nGlow, nPlain + 100);
    // The narrower pens lie inside the widest one: the glow covers what one pen covers.
    EXPECT_NEAR(nOutline, nGlow, nOutline / 50);
}

TEST_F(TextStrategyTest, DoubleOutlineShowsTheOuterColourOutsideTheInner)
{
    TextDblOutlineStrategy dbl;
    dbl.Init(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF00FF00), Gdiplus::Color(0xFF0000FF),
             2, 4);
    const auto pixels = DrawAlone(dbl);
    int nOuter = 0, nInner = 0, nFill = 0;
    for (std::uint32_t p : pixels)
    {
        nOuter += p == 0xFF0000FF ? 1 : 0;
        nInner += p == 0xFF00FF00 ? 1 : 0;
        nFill += p == 0xFFFFFFFF ? 1 : 0;
    }
    EXPECT_GT(nOuter, 50);
    EXPECT_GT(nInner, 20);
    EXPECT_GT(nFill, 50);
}

TEST_F(TextStrategyTest, GdiFormsDrawAndMeasure)
{
    LOGFONTW lf{};
    lf.lfHeight = -kSize;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(lf.lfFaceName, kFace);
    TextOutlineStrategy outline;
    outline.Init(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0xFF0000FF), 2);

    DibCanvas canvas(200, 60);
    Gdiplus::Graphics graphics(canvas.dc());
    float fThinWidth = 0.0f, fThinHeight = 0.0f;
    TextOutlineStrategy thin;
    thin.Init(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0x00000000), 0);
    ASSERT_TRUE(thin.GdiMeasureString(&graphics, &lf, kText, Gdiplus::Point(0, 0), &fThinWidth,
                                      &fThinHeight));
    float fWidth = 0.0f, fHeight = 0.0f;
    ASSERT_TRUE(outline.GdiMeasureString(&graphics, &lf, kText, Gdiplus::Point(0, 0), &fWidth,
                                         &fHeight));
    EXPECT_EQ(fThinWidth + 2.0f, fWidth);
    EXPECT_EQ(fThinHeight + 2.0f, fHeight);

    float fBoundsWidth = 0.0f, fBoundsHeight = 0.0f;
    ASSERT_TRUE(thin.GdiMeasureStringBounds(&graphics, &lf, kText, Gdiplus::Point(0, 0),
                                            &fBoundsWidth, &fBoundsHeight));
    EXPECT_LE(fBoundsWidth, fThinWidth);
    EXPECT_LT(fBoundsHeight, fThinHeight);

    EXPECT_TRUE(outline.GdiDrawString(&graphics, &lf, kText, Gdiplus::Rect(0, 0, 200, 60)));
    graphics.Flush(Gdiplus::FlushIntentionSync);
    EXPECT_GT(canvas.CountWhere([](std::uint32_t p) { return p == 0xFFFF0000; }), 50);
    EXPECT_GT(canvas.CountWhere([](std::uint32_t p) { return p == 0xFF0000FF; }), 50);

    float fUntouched = 9.0f;
    EXPECT_FALSE(outline.GdiMeasureString(&graphics, nullptr, kText, Gdiplus::Point(0, 0),
                                          &fUntouched, &fUntouched));
    EXPECT_FALSE(outline.GdiDrawString(&graphics, &lf, L"", Gdiplus::Point(0, 0)));
    EXPECT_EQ(9.0f, fUntouched);
}

} // namespace
