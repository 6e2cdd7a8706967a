// The title renderer: its defaults and setters, the measuring table, a missing face, and a
// title with outline and shadow drawn into a 32-bpp DIB.
#include "TextEffectsTestSupport.h"

#include "model/CTextStyle.h"
#include "text_effects/CEffectText.h"
#include "text_effects/TextOutlineStrategy.h"

using namespace TextEffectsTest;

namespace
{

TEST(EffectTextTableTest, SizeFactorBySizeClass)
{
    const std::pair<int, double> table[] = {{-3, 1.1}, {0, 1.1},   {9, 1.1},   {13, 1.1},
                                            {14, 1.12}, {15, 1.12}, {16, 1.16}, {23, 1.16},
                                            {24, 1.4},  {25, 1.4},  {200, 1.4}};
    for (const auto& [nSize, dFactor] : table)
    {
        SCOPED_TRACE(nSize);
        EXPECT_EQ(dFactor, CEffectText::SizeFactor(nSize));
    }
}

TEST(EffectTextTableTest, MeasuredSizeRounding)
{
    struct Case
    {
        float fWidth, fHeight;
        int nSize;
        LONG cx, cy;
    };
    const Case cases[] = {
        {100.0f, 20.0f, 12, 113, 24},  // (100 + 3) x 1.1 = 113.3
        {100.0f, 20.0f, 24, 144, 24},  // 103 x 1.4 = 144.2
        {104.0f, 24.0f, 12, 117, 28},  // the shadow pair of a 100 x 20 extent
        {0.0f, 0.0f, 12, 3, 4},        // nothing measured
        {0.0f, 0.0f, 23, 3, 4},
        {0.0f, 0.0f, 24, 4, 4},
        {20.9f, 19.99f, 14, 26, 23},   // 23.9 x 1.12 = 26.768; the height is truncated
        // In double precision 25 x 1.16 is just below 29 and 45 x 1.4 just below 63; single
        // precision products would round up to the next pixel.
        {22.0f, 0.0f, 16, 28, 4},
        {42.0f, 0.0f, 24, 62, 4},
        // The padded width is kept as a float: 16777214 + 3 rounds to 16777216.
        {16777214.0f, 0.0f, 12, 18454937, 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.fWidth);
        const SIZE size = CEffectText::MeasuredSize(c.fWidth, c.fHeight, c.nSize);
        EXPECT_EQ(c.cx, size.cx);
        EXPECT_EQ(c.cy, size.cy);
    }
}

TEST(EffectTextTableTest, MeasuredSizeOfAbsurdExtentsStaysDefined)
{
    const SIZE huge = CEffectText::MeasuredSize(1e30f, 1e30f, 30);
    EXPECT_EQ(LONG_MAX, huge.cx);
    EXPECT_EQ(LONG_MAX, huge.cy);
}

class EffectTextTest : public GdiplusTest
{
protected:
    static SIZE MeasureOf(CEffectText& text, const wchar_t* pszText)
    {
        BitmapGraphics target(96.0f, 96.0f);
        Gdiplus::StringFormat format(0, LANG_NEUTRAL);
        SIZE size{-1, -1};
        text.Measure(target.graphics.get(), CString(pszText), &format, &size);
        return size;
    }

    // The bare path extent of the text at the origin, as the renderer measures it.
    static std::pair<float, float> BareExtent(const wchar_t* pszFace, int nSize, const wchar_t* pszText)
    {
        BitmapGraphics target(96.0f, 96.0f);
        Gdiplus::FontFamily family(pszFace);
        TextEffects::TextOutlineStrategy bare;
        bare.Init(Gdiplus::Color(0xFF000000), Gdiplus::Color(0x00000000), 0);
        float fWidth = 0.0f, fHeight = 0.0f;
        EXPECT_TRUE(bare.MeasureString(target.graphics.get(), &family, Gdiplus::FontStyleRegular,
                                       nSize, pszText, Gdiplus::Point(0, 0), nullptr, &fWidth,
                                       &fHeight));
        return {fWidth, fHeight};
    }
};

TEST_F(EffectTextTest, DefaultsAndSetters)
{
    CEffectText text;
    EXPECT_EQ(0xFFFFFFFFu, text.m_textColor.GetValue());
    EXPECT_EQ(CString(L"Arial Black"), text.m_strFontFace);
    EXPECT_EQ(12, text.m_nFontSize);
    EXPECT_EQ(0, text.m_nFontStyle);
    EXPECT_FALSE(text.m_bShadow);
    EXPECT_EQ(0xFF808080u, text.m_shadowColor.GetValue());
    EXPECT_EQ(2, text.m_nShadowThickness);
    EXPECT_EQ(2, text.m_shadowOffset.X);
    EXPECT_EQ(2, text.m_shadowOffset.Y);
    EXPECT_FALSE(text.m_bOutline);
    EXPECT_EQ(0xFF606060u, text.m_outlineColor.GetValue());
    EXPECT_EQ(4, text.m_nOutlineThickness);

    text.SetTextColor(Gdiplus::Color(0xFF112233));
    text.SetFont(L"Tahoma", 18, 1);
    text.SetShadowEnabled(true);
    text.SetShadow(Gdiplus::Color(0x80445566), 3, Gdiplus::Point(-1, 5));
    text.SetOutlineEnabled(true);
    text.SetOutline(Gdiplus::Color(0xFF778899), 6);
    EXPECT_EQ(0xFF112233u, text.m_textColor.GetValue());
    EXPECT_EQ(CString(L"Tahoma"), text.m_strFontFace);
    EXPECT_EQ(18, text.m_nFontSize);
    EXPECT_EQ(1, text.m_nFontStyle);
    EXPECT_TRUE(text.m_bShadow);
    EXPECT_EQ(0x80445566u, text.m_shadowColor.GetValue());
    EXPECT_EQ(3, text.m_nShadowThickness);
    EXPECT_EQ(-1, text.m_shadowOffset.X);
    EXPECT_EQ(5, text.m_shadowOffset.Y);
    EXPECT_TRUE(text.m_bOutline);
    EXPECT_EQ(0xFF778899u, text.m_outlineColor.GetValue());
    EXPECT_EQ(6, text.m_nOutlineThickness);

    text.SetFont(nullptr, 10, 0);
    EXPECT_TRUE(text.m_strFontFace.IsEmpty());
}

TEST_F(EffectTextTest, MissingFaceMeasuresAsEmptyAndDrawsNothing)
{
    for (const wchar_t* pszFace : {L"", L"No Such Face Anywhere"})
    {
        SCOPED_TRACE(testing::Message() << (*pszFace ? "unknown face" : "empty face"));
        CEffectText text;
        text.SetFont(pszFace, 12, 0);
        text.SetOutlineEnabled(true);
        text.SetShadowEnabled(true);
        SIZE size = MeasureOf(text, L"Title");
        EXPECT_EQ(3, size.cx);
        EXPECT_EQ(4, size.cy);
        text.SetFont(pszFace, 24, 0);
        size = MeasureOf(text, L"Title");
        EXPECT_EQ(4, size.cx);
        EXPECT_EQ(4, size.cy);

        DibCanvas canvas(100, 40);
        canvas.Draw([&](Gdiplus::Graphics& g) {
            text.Draw(&g, Gdiplus::Rect(0, 0, 100, 40), nullptr, L"Title");
        });
        EXPECT_EQ(0, canvas.CountWhere(IsInk));
    }
}

// A Latin face has no Japanese glyphs: they come from the face linked to it, each its own
// shape, not the one empty box of a missing glyph.
TEST_F(EffectTextTest, JapaneseInALatinFaceIsDrawnWithItsOwnGlyphs)
{
    CEffectText text;
    text.SetFont(kFace, 20, 0);
    const auto drawn = [&](const wchar_t* pszText) {
        DibCanvas canvas(40, 30);
        canvas.Draw([&](Gdiplus::Graphics& g) {
            text.Draw(&g, Gdiplus::Rect(0, 0, 40, 30), nullptr, pszText);
        });
        return canvas.Pixels();
    };
    const auto kan = drawn(L"\u6F22");
    EXPECT_NE(drawn(L"\u5B57"), kan);
    EXPECT_NE(drawn(L"\uFFFF"), kan); // no face has a glyph for U+FFFF
}

TEST_F(EffectTextTest, EmptyTextMeasuresAsNothing)
{
    CEffectText text;
    text.SetFont(kFace, 14, 0);
    const SIZE size = MeasureOf(text, L"");
    EXPECT_EQ(3, size.cx); // 3 x 1.12
    EXPECT_EQ(4, size.cy);
}

TEST_F(EffectTextTest, MeasureAppliesOutlineShadowAndTheTable)
{
    const auto bare = BareExtent(kFace, 16, L"Documents");
    ASSERT_GT(bare.first, 30.0f);

    CEffectText text;
    text.SetFont(kFace, 16, 0);
    SIZE size = MeasureOf(text, L"Documents");
    SIZE expected = CEffectText::MeasuredSize(bare.first, bare.second, 16);
    EXPECT_EQ(expected.cx, size.cx);
    EXPECT_EQ(expected.cy, size.cy);

    text.SetOutlineEnabled(true);
    text.SetOutline(Gdiplus::Color(0xFF000000), 4);
    size = MeasureOf(text, L"Documents");
    expected = CEffectText::MeasuredSize(bare.first + 4.0f, bare.second + 4.0f, 16);
    EXPECT_EQ(expected.cx, size.cx);
    EXPECT_EQ(expected.cy, size.cy);

    // Shadow on (offset 2, 2, thickness 2) with the outline off: the shadow pair wins.
    text.SetOutlineEnabled(false);
    text.SetShadowEnabled(true);
    text.SetShadow(Gdiplus::Color(0xFF808080), 2, Gdiplus::Point(2, 2));
    size = MeasureOf(text, L"Documents");
    expected = CEffectText::MeasuredSize(bare.first + 4.0f, bare.second + 4.0f, 16);
    EXPECT_EQ(expected.cx, size.cx);
    EXPECT_EQ(expected.cy, size.cy);

    // And switched off again, the earlier shadow no longer counts.
    text.SetShadowEnabled(false);
    size = MeasureOf(text, L"Documents");
    expected = CEffectText::MeasuredSize(bare.first, bare.second, 16);
    EXPECT_EQ(expected.cx, size.cx);
}

TEST_F(EffectTextTest, DrawAndMeasureLeaveTheQualityModesOnTheGraphics)
{
    CEffectText text;
    text.SetFont(kFace, 12, 0);
    BitmapGraphics target(96.0f, 96.0f);
    target.graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);
    target.graphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    SIZE size{};
    text.Measure(target.graphics.get(), CString(L"A"), nullptr, &size);
    EXPECT_EQ(Gdiplus::SmoothingModeAntiAlias, target.graphics->GetSmoothingMode());
    EXPECT_EQ(Gdiplus::InterpolationModeHighQualityBicubic, target.graphics->GetInterpolationMode());

    target.graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);
    target.graphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    text.Draw(target.graphics.get(), Gdiplus::Rect(0, 0, 60, 30), nullptr, L"A");
    EXPECT_EQ(Gdiplus::SmoothingModeAntiAlias, target.graphics->GetSmoothingMode());
    EXPECT_EQ(Gdiplus::InterpolationModeHighQualityBicubic, target.graphics->GetInterpolationMode());
}

TEST_F(EffectTextTest, NullGraphicsOrSizeIsHarmless)
{
    CEffectText text;
    text.SetFont(kFace, 12, 0);
    text.Draw(nullptr, Gdiplus::Rect(0, 0, 10, 10), nullptr, L"A");
    SIZE size{-1, -1};
    text.Measure(nullptr, CString(L"A"), nullptr, &size);
    EXPECT_EQ(3, size.cx);
    EXPECT_EQ(4, size.cy);
    BitmapGraphics target(96.0f, 96.0f);
    text.Measure(target.graphics.get(), CString(L"A"), nullptr, nullptr);
}

// One row of the canvas through the upper half of the first glyph, as runs of colour.
std::vector<std::uint32_t> OpaqueRun(const DibCanvas& canvas, int y)
{
    std::vector<std::uint32_t> runs;
    for (int x = 0; x < canvas.width(); ++x)
    {
        const std::uint32_t p = canvas.At(x, y);
        if (Alpha(p) != 0xFF)
            continue;
        if (runs.empty() || runs.back() != p)
            runs.push_back(p);
    }
    return runs;
}

TEST_F(EffectTextTest, TitleWithOutlineHasOpaqueInkAndOutlinedEdges)
{
    DibCanvas canvas(240, 100);
    ASSERT_TRUE(canvas.valid());
    CEffectText text;
    text.SetFont(kFace, 60, 0);
    text.SetTextColor(Gdiplus::Color(0xFFFF0000));
    text.SetOutlineEnabled(true);
    text.SetOutline(Gdiplus::Color(0xFF0000FF), 6);
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    canvas.Draw([&](Gdiplus::Graphics& g) {
        text.Draw(&g, Gdiplus::Rect(10, 0, 220, 100), &format, L"H");
    });

    const RECT ink = canvas.BoxWhere(IsInk);
    ASSERT_GT(ink.right - ink.left, 30);
    ASSERT_GT(ink.bottom - ink.top, 30);
    // Opaque fill inside, the outline colour on every edge of the glyph.
    const int y = ink.top + (ink.bottom - ink.top) / 4;
    const auto runs = OpaqueRun(canvas, y);
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(0xFF0000FFu, runs.front());
    EXPECT_EQ(0xFF0000FFu, runs.back());
    // Across both stems: outline, fill, outline (the two inner outlines may meet), fill,
    // outline. Blends at the colour boundaries, where GDI+ anti-aliases, are left out.
    std::vector<std::uint32_t> merged;
    for (std::uint32_t p : runs)
        if ((p == 0xFF0000FF || p == 0xFFFF0000) && (merged.empty() || merged.back() != p))
            merged.push_back(p);
    EXPECT_EQ((std::vector<std::uint32_t>{0xFF0000FF, 0xFFFF0000, 0xFF0000FF, 0xFFFF0000,
                                          0xFF0000FF}),
              merged);

    // The middle of the ink box (the crossbar) is filled.
    EXPECT_EQ(0xFFFF0000u, canvas.At((ink.left + ink.right) / 2, (ink.top + ink.bottom) / 2));
    // The outside corners are untouched.
    EXPECT_EQ(0u, canvas.At(0, 0));
    EXPECT_EQ(0u, canvas.At(239, 99));
}

TEST_F(EffectTextTest, TitleWithShadowPaintsTheRingBelowRight)
{
    CEffectText text;
    text.SetFont(kFace, 40, 0);
    text.SetTextColor(Gdiplus::Color(0xFFFF0000));
    DibCanvas plainCanvas(200, 80);
    plainCanvas.Draw([&](Gdiplus::Graphics& g) {
        text.Draw(&g, Gdiplus::Rect(10, 10, 180, 60), nullptr, L"Tools");
    });

    text.SetShadowEnabled(true);
    text.SetShadow(Gdiplus::Color(0xFF00FF00), 2, Gdiplus::Point(3, 3));
    DibCanvas canvas(200, 80);
    canvas.Draw([&](Gdiplus::Graphics& g) {
        text.Draw(&g, Gdiplus::Rect(10, 10, 180, 60), nullptr, L"Tools");
    });
    const RECT textBox = plainCanvas.BoxWhere(IsInk);
    const RECT shadowBox = canvas.BoxWhere([](std::uint32_t p) { return p == 0xFF00FF00; });
    ASSERT_GE(shadowBox.right, shadowBox.left);
    EXPECT_GT(shadowBox.right, textBox.right);
    EXPECT_GT(shadowBox.bottom, textBox.bottom);

    // Switched off again, no shadow from the earlier draw remains.
    text.SetShadowEnabled(false);
    DibCanvas again(200, 80);
    again.Draw([&](Gdiplus::Graphics& g) {
        text.Draw(&g, Gdiplus::Rect(10, 10, 180, 60), nullptr, L"Tools");
    });
    EXPECT_EQ(plainCanvas.Pixels(), again.Pixels());
}

// A box title as the box window draws it: the renderer filled from a text style and drawn
// with the style's own string format (no-wrap, trailing spaces, centred line alignment).
TEST_F(EffectTextTest, TitleFromATextStyleIsPlacedByItsFormat)
{
    Model::CTextStyle style;
    style.m_textColor = 0xFFFFFFFF;
    style.SetFont(kFace, 14, 0);
    style.SetAlignment(0, 1);
    style.m_bOutline = TRUE;
    style.m_outlineColor = 0xFF000000;
    style.m_nOutlineThickness = 2;

    CEffectText text;
    text.SetTextColor(Gdiplus::Color(style.m_textColor));
    text.SetFont(style.m_strFontFace, style.m_nFontSize, style.m_nFontStyle);
    text.SetOutlineEnabled(style.m_bOutline != FALSE);
    text.SetOutline(Gdiplus::Color(style.m_outlineColor), style.m_nOutlineThickness);
    text.SetShadowEnabled(style.m_bShadow != FALSE);

    DibCanvas canvas(200, 60);
    canvas.Draw([&](Gdiplus::Graphics& g) {
        text.Draw(&g, Gdiplus::Rect(20, 0, 180, 60), style.m_format, L"Documents and more");
    });
    const RECT ink = canvas.BoxWhere(IsInk);
    ASSERT_GE(ink.right, ink.left);
    EXPECT_NEAR(30.0, (ink.top + ink.bottom) / 2.0, 4.0);
    EXPECT_NEAR(20, ink.left, 3);
    EXPECT_LT(ink.bottom - ink.top, 25); // one line: no wrapping
    EXPECT_GT(canvas.CountWhere([](std::uint32_t p) { return p == 0xFFFFFFFF; }), 20);
    EXPECT_GT(canvas.CountWhere([](std::uint32_t p) { return p == 0xFF000000; }), 20);
}

} // namespace
