// The file list's drawing for real: a missing item's row, and icons with and without alpha.
#include "FileListTestSupport.h"

using namespace filelisttest;

// ---- Rows --------------------------------------------------------------------------------------

TEST_F(FileListTest, AMissingItemIsGreyWithoutIconAndLogsTwoCharacters)
{
    AddPlainItem(L"Secret plans.txt", Model::ITEM_TYPE_FILE, FALSE);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0, CountOther(*list, RECT{2, 2, 28, 24}, kColumn));
    // Grey text: some pixel of the name is the missing-text grey, none is the text colour.
    bool grey = false;
    for (int y = 2; y < 24; ++y) {
        for (int x = 34; x < 100; ++x) {
            const DWORD p = Pixel(*list, x, y);
            // The grey, nearly opaque, laid over the white background.
            const BYTE r = static_cast<BYTE>(p >> 16), g = static_cast<BYTE>(p >> 8), b = static_cast<BYTE>(p);
            grey = grey || (r == g && g == b && r >= 0x78 && r <= 0x88);
            EXPECT_NE(kText, p);
        }
    }
    EXPECT_TRUE(grey);
    EXPECT_TRUE(LogHas("<filewnd> Not exist:Se"));
    EXPECT_FALSE(LogHas("Secret"));
}

TEST_F(FileListTest, ALongListMarksWhereTheRowsShownLieAtItsRightEdge)
{
    for (int i = 0; i < 300; ++i)
        AddPlainItem((L"item" + std::to_wstring(i) + L".txt").c_str());
    ::SetCursorPos(0, 0);
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    const int w = list->m_rect.right - list->m_rect.left, h = list->m_rect.bottom - list->m_rect.top,
              shown = list->GetVisibleRows(), length = h * shown / 300;
    const auto mark = [&](int y) { return Pixel(*list, w - 3, y) == kBorder; };
    EXPECT_TRUE(mark(1) && mark(length - 1) && !mark(length + 1) && !mark(h - 1));
    // Near the middle: PageDown to the last row shown, then three pages on and one back.
    for (UINT key : {VK_NEXT, VK_NEXT, VK_NEXT, VK_NEXT, VK_PRIOR})
        Key(*list, key);
    ASSERT_EQ(3 * shown - 1, list->GetTopRow());
    boxtest::PumpPending();
    const int middle = (h - length) * list->GetTopRow() / (300 - shown) + length / 2;
    EXPECT_TRUE(!mark(middle - length) && mark(middle) && !mark(middle + length));
    Key(*list, VK_END);
    boxtest::PumpPending();
    EXPECT_TRUE(!mark(h - length - 1) && mark(h - length + 1) && mark(h - 1));
    // Hovering the row under the mark draws that row alone, as a full drawing draws it.
    HoverAt(*list, POINT{list->m_rect.right - 3, list->m_rect.top + h / 2});
    boxtest::PumpPending();
    const std::vector<DWORD> changed = BackBufferPixels(*list);
    list->Redraw();
    EXPECT_TRUE(changed == BackBufferPixels(*list));
}

// ---- Icons -------------------------------------------------------------------------------------

namespace {

// A GDI+ surface of known pixels (straight ARGB, all transparent at first).
struct Surface
{
    Gdiplus::Bitmap bitmap{40, 40, PixelFormat32bppARGB};
    std::unique_ptr<Gdiplus::Graphics> graphics{Gdiplus::Graphics::FromImage(&bitmap)};
    Gdiplus::ARGB At(int x, int y)
    {
        Gdiplus::Color c;
        bitmap.GetPixel(x, y, &c);
        return c.GetValue();
    }
};

// A 16x16 icon whose colour bitmap has the given depth: left half red and opaque, right
// half blue and (by mask or alpha) transparent.
HICON MakeIcon(int bits)
{
    const int n = 16;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = n;
    bmi.bmiHeader.biHeight = -n;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = static_cast<WORD>(bits);
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP colour = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    const int stride = ((n * bits + 31) / 32) * 4;
    for (int y = 0; y < n; ++y) {
        BYTE* row = static_cast<BYTE*>(pixels) + y * stride;
        for (int x = 0; x < n; ++x) {
            const bool left = x < n / 2;
            if (bits == 32) {
                const DWORD v = left ? 0xFFFF0000u : 0x000000FFu;  // alpha only on the left
                memcpy(row + x * 4, &v, 4);
            } else {
                row[x * 3 + 0] = left ? 0 : 255;  // B
                row[x * 3 + 1] = 0;
                row[x * 3 + 2] = left ? 255 : 0;  // R
            }
        }
    }
    // Mask: 0 (opaque) on the left, 1 on the right; for 32 bits all 0 (alpha decides).
    BYTE maskBits[16 * 2];
    for (int y = 0; y < n; ++y) {
        maskBits[y * 2] = 0x00;
        maskBits[y * 2 + 1] = bits == 32 ? 0x00 : 0xFF;
    }
    HBITMAP mask = ::CreateBitmap(n, n, 1, 1, maskBits);
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    return icon;
}

}  // namespace

TEST_F(FileListTest, IconsKeepTheirAlphaOrAreDrawnThroughTheirMask)
{
    for (int bits : {32, 24}) {
        HICON icon = MakeIcon(bits);
        ASSERT_NE(nullptr, icon) << bits;
        Surface s;
        EXPECT_TRUE(CFileListWnd::DrawIcon(s.graphics.get(), Model::ITEM_TYPE_FILE, icon, 6, 5)) << bits;
        EXPECT_EQ(0xFFFF0000u, s.At(6, 5)) << bits;
        EXPECT_EQ(0xFFFF0000u, s.At(13, 20)) << bits;
        EXPECT_EQ(0u, s.At(14, 5) >> 24) << bits;
        EXPECT_EQ(0u, s.At(21, 20) >> 24) << bits;
        EXPECT_EQ(0u, s.At(22, 5) >> 24) << bits;  // nothing past the icon
        EXPECT_EQ(0u, s.At(5, 5) >> 24) << bits;
        ::DestroyIcon(icon);
    }

    // A monochrome icon: black where its AND mask is clear.
    BYTE andBits[32 * 4];
    BYTE xorBits[32 * 4];
    memset(andBits, 0xFF, sizeof(andBits));
    memset(xorBits, 0x00, sizeof(xorBits));
    for (int y = 0; y < 32; ++y)
        andBits[y * 4] = 0x00;  // the 8 left pixels of each row are opaque black
    HICON mono = ::CreateIcon(::GetModuleHandleW(nullptr), 32, 32, 1, 1, andBits, xorBits);
    ASSERT_NE(nullptr, mono);
    Surface s;
    EXPECT_TRUE(CFileListWnd::DrawIcon(s.graphics.get(), Model::ITEM_TYPE_FILE, mono, 0, 0));
    EXPECT_EQ(0xFF000000u, s.At(3, 3));
    EXPECT_EQ(0u, s.At(20, 3) >> 24);
    ::DestroyIcon(mono);

    // Not an icon: nothing drawn, one log line.
    EXPECT_FALSE(CFileListWnd::DrawIcon(s.graphics.get(), 1, reinterpret_cast<HICON>(static_cast<INT_PTR>(0x1234)),
                                        0, 0));
    EXPECT_TRUE(LogHas("<filewnd> GetIconInfo failed"));
}
