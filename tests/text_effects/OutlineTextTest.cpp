// Outline text with its shadow: which pair the measure returns, what the shadow draws, the
// strategies' lifetimes and the composed shadow over a background.
#include "TextEffectsTestSupport.h"

#include "text_effects/OutlineText.h"

#include <psapi.h>

using namespace TextEffectsTest;
using TextEffects::OutlineText;

namespace
{

constexpr int kSize = 40;
constexpr const wchar_t* kText = L"Hi";

// Lets the tests see which strategies are installed.
class InspectableOutlineText : public OutlineText
{
public:
    const TextEffects::ITextStrategy* Text() const { return m_pTextStrategy.get(); }
    const TextEffects::ITextStrategy* ShadowStrategy() const { return m_pShadowStrategy.get(); }
    const TextEffects::ITextStrategy* Mask() const { return m_pMaskStrategy.get(); }
    Gdiplus::Point Offset() const { return m_ptShadowOffset; }
    Gdiplus::ARGB ShadowColour() const { return m_clrShadow.GetValue(); }
    bool ShadowEnabled() const { return m_bEnableShadow; }
    Gdiplus::Bitmap* Background() const { return m_pBkgdBitmap; }
};

class OutlineTextTest : public GdiplusTest
{
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        m_family = std::make_unique<Gdiplus::FontFamily>(kLiberation);
        ASSERT_TRUE(m_family->IsAvailable());
    }
    void TearDown() override
    {
        m_family.reset();
        GdiplusTest::TearDown();
    }

    bool Measure(OutlineText& text, Gdiplus::Graphics& graphics, float* pfWidth, float* pfHeight)
    {
        return text.MeasureString(&graphics, m_family.get(), Gdiplus::FontStyleRegular, kSize,
                                  kText, Gdiplus::Point(0, 0), nullptr, pfWidth, pfHeight);
    }

    std::vector<std::uint32_t> Draw(OutlineText& text, DibCanvas& canvas, bool bExpected = true,
                                    int nSize = kSize)
    {
        canvas.Draw([&](Gdiplus::Graphics& g) {
            EXPECT_EQ(bExpected, text.DrawString(&g, m_family.get(), Gdiplus::FontStyleBold,
                                                 nSize, kText,
                                                 Gdiplus::Rect(20, 20, canvas.width() - 40,
                                                               canvas.height() - 30),
                                                 nullptr));
        });
        return canvas.Pixels();
    }

    std::unique_ptr<Gdiplus::FontFamily> m_family;
};

TEST_F(OutlineTextTest, WithoutATextStrategyNothingSucceeds)
{
    OutlineText text;
    BitmapGraphics target(96.0f, 96.0f);
    float fWidth = 5.0f, fHeight = 6.0f;
    EXPECT_FALSE(Measure(text, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(5.0f, fWidth);
    EXPECT_EQ(6.0f, fHeight);

    // The shadow is still drawn, the text is not.
    text.Shadow(Gdiplus::Color(0xFF00FF00), 2, Gdiplus::Point(3, 3));
    text.EnableShadow(true);
    DibCanvas canvas(160, 100);
    Draw(text, canvas, false);
    EXPECT_GT(canvas.CountWhere([](std::uint32_t p) { return p == 0xFF00FF00; }), 20);
    EXPECT_EQ(0, canvas.CountWhere([](std::uint32_t p) { return IsInk(p) && p != 0xFF00FF00; }));
}

TEST_F(OutlineTextTest, ShadowInstallsARingAndAMask)
{
    InspectableOutlineText text;
    EXPECT_EQ(nullptr, text.Text());
    EXPECT_FALSE(text.ShadowEnabled());
    EXPECT_EQ(0xFF000000u, text.ShadowColour());

    text.Shadow(Gdiplus::Color(0x80102030), 3, Gdiplus::Point(5, -3));
    EXPECT_NE(nullptr, text.ShadowStrategy());
    EXPECT_NE(nullptr, text.Mask());
    EXPECT_EQ(0x80102030u, text.ShadowColour());
    EXPECT_EQ(5, text.Offset().X);
    EXPECT_EQ(-3, text.Offset().Y);
    EXPECT_FALSE(text.ShadowEnabled()); // Shadow does not switch it on

    // A new text strategy replaces the old one and leaves the shadow alone.
    text.TextOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 2);
    const auto* pShadow = text.ShadowStrategy();
    const auto* pMask = text.Mask();
    text.TextOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 4);
    text.TextGlow(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 4);
    text.TextDblOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000),
                        Gdiplus::Color(0xFF000000), 1, 1);
    EXPECT_NE(nullptr, text.Text());
    EXPECT_EQ(pShadow, text.ShadowStrategy());
    EXPECT_EQ(pMask, text.Mask());

    text.EnableShadow(true);
    text.SetNullShadow();
    EXPECT_EQ(nullptr, text.ShadowStrategy());
    EXPECT_EQ(nullptr, text.Mask());
    EXPECT_TRUE(text.ShadowEnabled());
}

TEST_F(OutlineTextTest, ShadowWithEqualThicknessAddsTheOffset)
{
    BitmapGraphics target(96.0f, 96.0f, Gdiplus::UnitDisplay);
    OutlineText plain;
    plain.TextOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 2);
    float fTextWidth = 0.0f, fTextHeight = 0.0f;
    ASSERT_TRUE(Measure(plain, *target.graphics, &fTextWidth, &fTextHeight));

    OutlineText shadowed;
    shadowed.TextOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 2);
    shadowed.Shadow(Gdiplus::Color(0xFF808080), 2, Gdiplus::Point(2, 2));
    shadowed.EnableShadow(true);
    float fWidth = 0.0f, fHeight = 0.0f;
    ASSERT_TRUE(Measure(shadowed, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(fTextWidth + 2.0f, fWidth);
    EXPECT_EQ(fTextHeight + 2.0f, fHeight);

    // Switched off, the shadow counts for nothing.
    shadowed.EnableShadow(false);
    ASSERT_TRUE(Measure(shadowed, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(fTextWidth, fWidth);
    EXPECT_EQ(fTextHeight, fHeight);
}

TEST_F(OutlineTextTest, MixedSignOffsetYieldsTheTextPairWhole)
{
    BitmapGraphics target(96.0f, 96.0f);
    OutlineText text;
    text.TextOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 3);
    float fTextWidth = 0.0f, fTextHeight = 0.0f;
    ASSERT_TRUE(Measure(text, *target.graphics, &fTextWidth, &fTextHeight));

    text.Shadow(Gdiplus::Color(0xFF808080), 3, Gdiplus::Point(5, -3));
    text.EnableShadow(true);
    float fWidth = 0.0f, fHeight = 0.0f;
    ASSERT_TRUE(Measure(text, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(fTextWidth, fWidth); // the 5 extra pixels of width count nowhere
    EXPECT_EQ(fTextHeight, fHeight);

    // A thicker shadow that is wider and higher wins with its offset.
    text.Shadow(Gdiplus::Color(0xFF808080), 9, Gdiplus::Point(5, -3));
    ASSERT_TRUE(Measure(text, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(fTextWidth + 6.0f + 5.0f, fWidth);
    EXPECT_EQ(fTextHeight + 6.0f - 3.0f, fHeight);
}

TEST_F(OutlineTextTest, ShadowOffsetIsConvertedToPixels)
{
    BitmapGraphics target(144.0f, 144.0f, Gdiplus::UnitPoint);
    OutlineText text;
    text.TextOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 2);
    float fTextWidth = 0.0f, fTextHeight = 0.0f;
    ASSERT_TRUE(Measure(text, *target.graphics, &fTextWidth, &fTextHeight));
    text.Shadow(Gdiplus::Color(0xFF808080), 2, Gdiplus::Point(6, 12));
    text.EnableShadow(true);
    float fWidth = 0.0f, fHeight = 0.0f;
    ASSERT_TRUE(Measure(text, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(fTextWidth + 144.0f * 0.013888889f * 6.0f, fWidth);
    EXPECT_EQ(fTextHeight + 0.013888889f * 144.0f * 12.0f, fHeight);
}

TEST_F(OutlineTextTest, EnabledShadowWithoutAShadowStrategyMeasuresAsOff)
{
    BitmapGraphics target(96.0f, 96.0f);
    OutlineText text;
    text.TextOutline(Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF000000), 2);
    float fTextWidth = 0.0f, fTextHeight = 0.0f;
    ASSERT_TRUE(Measure(text, *target.graphics, &fTextWidth, &fTextHeight));

    text.EnableShadow(true); // never given a shadow
    float fWidth = 0.0f, fHeight = 0.0f;
    ASSERT_TRUE(Measure(text, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(fTextWidth, fWidth);
    EXPECT_EQ(fTextHeight, fHeight);

    text.Shadow(Gdiplus::Color(0xFF808080), 2, Gdiplus::Point(4, 4));
    text.SetNullShadow();
    ASSERT_TRUE(Measure(text, *target.graphics, &fWidth, &fHeight));
    EXPECT_EQ(fTextWidth, fWidth);
    EXPECT_EQ(fTextHeight, fHeight);
}

TEST_F(OutlineTextTest, ShadowIsARingAtTheOffsetUnderTheText)
{
    OutlineText plain;
    plain.TextOutline(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0x00000000), 0);
    DibCanvas plainCanvas(240, 150);
    Draw(plain, plainCanvas, true, 90);
    const RECT textBox = plainCanvas.BoxWhere(IsInk);
    ASSERT_GE(textBox.right, textBox.left);

    struct Case
    {
        int dx, dy;
    };
    for (const Case& c : {Case{8, 8}, Case{9, -7}})
    {
        SCOPED_TRACE(c.dx * 100 + c.dy);
        OutlineText text;
        text.TextOutline(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0x00000000), 0);
        text.Shadow(Gdiplus::Color(0xFF00FF00), 2, Gdiplus::Point(c.dx, c.dy));
        text.EnableShadow(true);
        DibCanvas canvas(240, 150);
        Draw(text, canvas, true, 90);
        const auto isShadow = [](std::uint32_t p) { return p == 0xFF00FF00; };
        const RECT shadowBox = canvas.BoxWhere(isShadow);
        ASSERT_GE(shadowBox.right, shadowBox.left);
        // The ring runs one pixel (half its pen) around the moved glyphs.
        EXPECT_NEAR(textBox.left + c.dx - 1, shadowBox.left, 1);
        EXPECT_NEAR(textBox.right + c.dx + 1, shadowBox.right, 1);
        EXPECT_NEAR(textBox.top + c.dy - 1, shadowBox.top, 1);
        EXPECT_NEAR(textBox.bottom + c.dy + 1, shadowBox.bottom, 1);
        // The text is painted over the shadow, and the ring has no fill.
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (plainCanvas.At(x, y) == 0xFFFF0000)
                {
                    ASSERT_EQ(0xFFFF0000u, canvas.At(x, y)) << x << "," << y;
                }
        // Deep inside the moved glyphs, away from the text, nothing is painted.
        int nHollow = 0;
        const auto isDeep = [&](int x, int y) {
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx)
                    if (!IsInk(plainCanvas.At(x + dx, y + dy)))
                        return false;
            return true;
        };
        for (int y = 3; y < canvas.height() - 3; ++y)
            for (int x = 3; x < canvas.width() - 3; ++x)
            {
                const int mx = x + c.dx;
                const int my = y + c.dy;
                if (mx < 0 || my < 0 || mx >= canvas.width() || my >= canvas.height() ||
                    IsInk(plainCanvas.At(mx, my)) || !isDeep(x, y))
                    continue;
                ++nHollow;
                EXPECT_EQ(0u, canvas.At(mx, my)) << mx << "," << my;
            }
        EXPECT_GT(nHollow, 5);
    }
}

TEST_F(OutlineTextTest, NullShadowWithTheShadowEnabledDrawsTheTextAlone)
{
    OutlineText plain;
    plain.TextOutline(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0xFF0000FF), 3);
    DibCanvas plainCanvas(160, 100);
    const auto expected = Draw(plain, plainCanvas);

    OutlineText text;
    text.TextOutline(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0xFF0000FF), 3);
    text.Shadow(Gdiplus::Color(0xFF00FF00), 2, Gdiplus::Point(4, 4));
    text.EnableShadow(true);
    text.SetNullShadow();
    DibCanvas canvas(160, 100);
    EXPECT_EQ(expected, Draw(text, canvas));

    // Likewise a shadow that is set but switched off.
    OutlineText off;
    off.TextOutline(Gdiplus::Color(0xFFFF0000), Gdiplus::Color(0xFF0000FF), 3);
    off.Shadow(Gdiplus::Color(0xFF00FF00), 2, Gdiplus::Point(4, 4));
    DibCanvas offCanvas(160, 100);
    EXPECT_EQ(expected, Draw(off, offCanvas));
}

TEST(BlendColorTest, BlendsEachChannelAndIsOpaque)
{
    EXPECT_EQ(0x12345678u, OutlineText::BlendColor(0x12345678, 0xFFFFFFFF, 0));
    EXPECT_EQ(0xFFABCDEFu, OutlineText::BlendColor(0x12345678, 0xFFABCDEF, 255));
    // (255 * 128 + 255 * 127) >> 8 = 254; (0 * 128 + 255 * 127) >> 8 = 126
    EXPECT_EQ(0xFFFE7E7Eu, OutlineText::BlendColor(0xFFFFFFFF, 0xFFFF0000, 128));
    EXPECT_EQ(0xFF000000u | (((0x40 * 10 + 0x80 * 245) >> 8) << 16) |
                  (((0x50 * 10 + 0x90 * 245) >> 8) << 8) | ((0x60 * 10 + 0xA0 * 245) >> 8),
              OutlineText::BlendColor(0x008090A0, 0xFF405060, 10));
}

TEST_F(OutlineTextTest, ComposedShadowTintsTheBackgroundInsideTheMovedGlyphs)
{
    InspectableOutlineText text;
    text.TextOutline(Gdiplus::Color(0xFF0000FF), Gdiplus::Color(0x00000000), 0);
    text.Shadow(Gdiplus::Color(0x80FF0000), 1, Gdiplus::Point(60, 0));
    text.EnableShadow(true);
    text.SetShadowBkgd(Gdiplus::Color(0xFFFFFFFF), 160, 100);
    ASSERT_NE(nullptr, text.Background());
    EXPECT_EQ(160u, text.Background()->GetWidth());

    DibCanvas canvas(160, 100);
    Draw(text, canvas);
    // Inside the moved glyphs: white under half-transparent red.
    const RECT tinted = canvas.BoxWhere([](std::uint32_t p) { return p == 0xFFFE7E7E; });
    const RECT glyphs = canvas.BoxWhere([](std::uint32_t p) { return p == 0xFF0000FF; });
    ASSERT_GE(tinted.right, tinted.left);
    ASSERT_GE(glyphs.right, glyphs.left);
    EXPECT_NEAR(glyphs.left + 60, tinted.left, 2);
    EXPECT_NEAR(glyphs.top, tinted.top, 2);
    // The background fills the rest of the target.
    EXPECT_EQ(0xFFFFFFFFu, canvas.At(2, 2));

    // A caller's bitmap replaces the one made here; the caller keeps it.
    Gdiplus::Bitmap own(10, 10, PixelFormat32bppARGB);
    text.SetShadowBkgd(&own);
    EXPECT_EQ(&own, text.Background());
    text.SetShadowBkgd(Gdiplus::Color(0xFF000000), 0, 10);
    EXPECT_EQ(nullptr, text.Background());
}

// The process's resident memory; filled bitmaps are resident while they live.
SIZE_T ResidentBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.WorkingSetSize;
}

// Backgrounds made from a colour belong to the outline text: replacing one or destroying the
// object frees it. Twenty leaked 4 MB bitmaps would show as 80 MB more memory.
TEST_F(OutlineTextTest, BackgroundsItMakesAreFreed)
{
    constexpr int kSide = 1024;
    constexpr SIZE_T kLeakLimit = 40u * 1024 * 1024;
    {
        OutlineText warmUp;
        warmUp.SetShadowBkgd(Gdiplus::Color(0xFF000000), kSide, kSide);
    }
    const SIZE_T before = ResidentBytes();
    ASSERT_GT(before, 0u);
    {
        OutlineText text;
        for (int i = 0; i < 20; ++i)
            text.SetShadowBkgd(Gdiplus::Color(0xFF102030), kSide, kSide);
        EXPECT_LT(ResidentBytes(), before + kLeakLimit);
    }
    for (int i = 0; i < 20; ++i)
    {
        OutlineText text;
        text.SetShadowBkgd(Gdiplus::Color(0xFF102030), kSide, kSide);
    }
    EXPECT_LT(ResidentBytes(), before + kLeakLimit);
}

} // namespace
