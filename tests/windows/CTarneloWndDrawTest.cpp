// The box window drawing into its back buffer: the hover and highlight fills, the icon
// background, the icon and the title.
#include "BoxWndTestSupport.h"

using namespace boxtest;

namespace {

// ---- Drawing --------------------------------------------------------------------------------------

using BoxDraw = BoxWndTest;

TEST_F(BoxDraw, HoverAndHighlightFillTheWholeBoxHoverOnTop)
{
    CTarneloWnd box;
    MakeBox(box);
    const int w = 160, h = 40;
    box.Redraw();
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, w - 1, h - 1)));

    box.m_bHighlight = TRUE;
    box.Redraw();
    DWORD px = BackBufferPixel(box, w - 1, h - 1);
    EXPECT_EQ(255, Alpha(px));
    EXPECT_EQ(255, Red(px));
    EXPECT_EQ(0, Blue(px));
    EXPECT_EQ(255, Red(BackBufferPixel(box, 0, 0)));

    // The highlight shows only while the style's selection fill is on.
    m_style.m_bHotKeySelection = FALSE;
    box.Redraw();
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, w - 1, h - 1)));
    m_style.m_bHotKeySelection = TRUE;

    box.m_bHover = TRUE;
    box.Redraw();
    px = BackBufferPixel(box, w - 1, h - 1);
    EXPECT_EQ(255, Alpha(px));
    EXPECT_EQ(255, Blue(px));
    EXPECT_EQ(0, Red(px));

    box.m_bHighlight = FALSE;
    box.Redraw();
    px = BackBufferPixel(box, 0, h - 1);
    EXPECT_EQ(255, Blue(px));
}

TEST_F(BoxDraw, RectangleIconBackgroundTurnsOpaqueIntoAlpha254)
{
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 1;
    m_style.m_iconBackColor = 0xFF00FF00;
    CTarneloWnd box;
    MakeBox(box);
    box.Redraw();
    const DWORD corner = BackBufferPixel(box, 0, 0);
    EXPECT_EQ(254, Alpha(corner));
    EXPECT_GE(Green(corner), 250);
    EXPECT_EQ(254, Alpha(BackBufferPixel(box, 39, 39)));
    // The cell ends at its width.
    EXPECT_NE(254, Alpha(BackBufferPixel(box, 40, 39)));

    // A translucent colour is drawn as given.
    m_style.m_iconBackColor = 0x8000FF00;
    box.Redraw();
    EXPECT_EQ(0x80, Alpha(BackBufferPixel(box, 20, 20)));
}

TEST_F(BoxDraw, RoundedIconBackgroundKeepsOpaqueAndRoundsItsCorners)
{
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 2;
    m_style.m_iconBackColor = 0xFF00FF00;
    CTarneloWnd box;
    MakeBox(box);
    box.Redraw();
    const DWORD middle = BackBufferPixel(box, 20, 20);
    EXPECT_EQ(255, Alpha(middle));
    EXPECT_EQ(255, Green(middle));
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 0, 0)));

    // Shapes other than 1 and 2 draw no background.
    m_style.m_nIconBackShape = 3;
    box.Redraw();
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 20, 20)));
}

TEST_F(BoxDraw, RoundRectPathUsesTheSmallestOfWidthHeightAndDiameter)
{
    Gdiplus::GraphicsPath path;
    // Diameter 20 in a 40x40 box: the corner point (2, 2) lies outside the arc.
    CTarneloWnd::AddRoundRectPath(&path, 0, 0, 40, 40, 20);
    EXPECT_FALSE(path.IsVisible(2, 2));
    EXPECT_TRUE(path.IsVisible(10, 10));
    EXPECT_TRUE(path.IsVisible(20, 20));
    // Diameter 4: the same point is inside.
    CTarneloWnd::AddRoundRectPath(&path, 0, 0, 40, 40, 4);
    EXPECT_TRUE(path.IsVisible(2, 2));
    // A diameter larger than the width shrinks to the width (10): a pill shape.
    CTarneloWnd::AddRoundRectPath(&path, 0, 0, 10, 40, 100);
    EXPECT_TRUE(path.IsVisible(5, 20));
    EXPECT_FALSE(path.IsVisible(0, 1));
    // The path is reset each time: one figure only.
    Gdiplus::GraphicsPathIterator it(&path);
    EXPECT_EQ(1, it.GetSubpathCount());
}

TEST_F(BoxDraw, TitleBesideTheIconCellOrAtTheLeftIsCentredWithinItsMargins)
{
    CTarneloWnd box;
    MakeBox(box);
    box.Redraw();
    const RECT title = { 40, 0, 160, 40 };
    const RECT cell = { 0, 0, 40, 40 };
    EXPECT_GT(InkCount(box, title), 20);
    EXPECT_EQ(0, InkCount(box, cell));
    int firstShown = -1;
    for (int x = 0; x < 160 && firstShown < 0; ++x) {
        for (int y = 0; y < 40; ++y) {
            if (Alpha(BackBufferPixel(box, x, y)) != 0) {
                firstShown = x;
                break;
            }
        }
    }

    // Icon hidden: no icon background, and the title starts at x 0.
    m_style.m_nIconDisplay = 2;
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 1;
    m_style.m_iconBackColor = 0xFF00FF00;
    box.ResizeBox(160, 40);
    box.Redraw();
    int firstHidden = -1;
    for (int x = 0; x < 160 && firstHidden < 0; ++x) {
        for (int y = 0; y < 40; ++y) {
            const DWORD px = BackBufferPixel(box, x, y);
            EXPECT_FALSE(Alpha(px) == 254 && Green(px) > 200) << x << "," << y;
            if (Alpha(px) != 0) {
                firstHidden = x;
                break;
            }
        }
    }
    ASSERT_GE(firstShown, 0);
    ASSERT_GE(firstHidden, 0);
    EXPECT_EQ(40, firstShown - firstHidden);

    // No name, no ink.
    m_info.m_strName = L"";
    box.Redraw();
    EXPECT_EQ(0, InkCount(box, RECT{ 0, 0, 160, 40 }));

    // Centred on what the margins leave of the box's height: below a top margin, and in a box
    // without icon, whose height the font gives, also for Japanese in a small size.
    m_style.m_titleStyle.SetAlignment(0, 1);
    struct Case
    {
        int display, size, top;
        const wchar_t* name;
    };
    const Case cases[] = { { 0, 16, 0, L"Tools" },
                           { 0, 16, 10, L"Tools" },
                           { 2, 10, 4, L"\u4ED5\u4E8B\u7528" },
                           { 2, 14, 4, L"\u4ED5\u4E8B\u7528" } };
    for (const Case& c : cases) {
        m_style.m_nIconDisplay = c.display;
        m_style.m_titleStyle.SetFont(L"Liberation Sans", c.size, 0);
        m_style.m_titleMargins = MARGINS{ 2, 0, c.top, 0 };
        m_info.m_strName = c.name;
        const SIZE size = m_style.GetBoxSize(box.m_hWnd);
        box.ResizeBox(size.cx, size.cy);
        box.SetStyle(&m_style);
        box.Redraw();
        const RECT title = { c.display == 2 ? 0 : 40, 0, size.cx, size.cy };
        EXPECT_NEAR(c.top + (size.cy - c.top) / 2.0, InkMiddleY(box, title, 0), 1.0)
            << "size " << c.size << ", top margin " << c.top;
    }
}

Gdiplus::Bitmap* RedSquare(int size)
{
    auto* bitmap = new Gdiplus::Bitmap(size, size, PixelFormat32bppARGB);
    Gdiplus::Graphics g(bitmap);
    Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
    g.FillRectangle(&red, 0, 0, size, size);
    return bitmap;
}

TEST_F(BoxDraw, HalfSizeShrinksOnly32PixelImages)
{
    CTarneloWnd box;
    MakeBox(box);
    box.m_pIconImage.reset(RedSquare(32));

    m_style.m_nIconDisplay = 0;
    box.Redraw();
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 10, 4 + 10)));
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 26, 4 + 26)));

    m_style.m_nIconDisplay = 1;
    box.Redraw();
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 8, 4 + 8)));
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 4 + 26, 4 + 8)));
    EXPECT_EQ(0, Alpha(BackBufferPixel(box, 4 + 8, 4 + 26)));

    // 48 pixels: drawn at full size even in half-size mode.
    box.m_pIconImage.reset(RedSquare(48));
    box.Redraw();
    EXPECT_EQ(255, Red(BackBufferPixel(box, 4 + 30, 4 + 30)));
}

TEST_F(BoxDraw, OtherStyleKindsDrawOnlyTheFills)
{
    m_style.m_bIconBackground = TRUE;
    m_style.m_nIconBackShape = 1;
    m_style.m_iconBackColor = 0xFF00FF00;
    CTarneloWnd box;
    MakeBox(box);
    box.m_pIconImage.reset(RedSquare(32));
    m_style.m_nKind = 1;
    box.Redraw();
    EXPECT_EQ(0, InkCount(box, RECT{ 0, 0, 160, 40 }));
    box.m_bHover = TRUE;
    box.Redraw();
    const DWORD px = BackBufferPixel(box, 10, 10);
    EXPECT_EQ(255, Blue(px));
    EXPECT_EQ(0, Red(px));
    EXPECT_EQ(0, Green(px));
}

}  // namespace
