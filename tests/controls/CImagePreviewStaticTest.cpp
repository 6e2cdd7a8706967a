// The image control with a PNG written for the test: the control takes the image's size (or
// a width in proportion) and place, draws the image's pixels, and is left empty and sized
// 0 x 0 for an unusable file.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "controls/CImagePreviewStatic.h"
#include "controls/ControlsTestSupport.h"
#include "framework/TempFolder.h"

using namespace ControlsTest;
using Utility::CImagePreviewStatic;

namespace {

constexpr int kWidth = 12;
constexpr int kHeight = 8;

// Writes a PNG whose left half is red and right half blue, with a green top-left pixel.
bool WriteTestPng(const std::wstring& path)
{
    using namespace Gdiplus::DllExports;
    std::vector<UINT32> pixels(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[y * kWidth + x] = x < kWidth / 2 ? 0xFFFF0000 : 0xFF0000FF;
    pixels[0] = 0xFF00FF00;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(kWidth, kHeight, kWidth * 4, PixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != Gdiplus::Ok)
        return false;
    UINT count = 0, size = 0;
    GdipGetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    GdipGetImageEncoders(count, size, codecs);
    bool saved = false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            saved = GdipSaveImageToFile(bitmap, path.c_str(), &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
            break;
        }
    }
    GdipDisposeImage(bitmap);
    return saved;
}

class ImagePreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        png = folder.File(L"picture.png");
        ASSERT_TRUE(WriteTestPng(png));
        ASSERT_TRUE(parent.Create(100, 100, 300, 200));
        const HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 50, 40, 10, 10,
                                            parent, reinterpret_cast<HMENU>(1046), ::GetModuleHandleW(nullptr),
                                            nullptr);
        ASSERT_NE(nullptr, hWnd);
        ASSERT_TRUE(image.SubclassWindow(hWnd));
    }

    RECT PlaceInParent()
    {
        RECT r = {};
        ::GetWindowRect(image, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    GdiplusSession gdiplus;
    TempFolder folder;
    std::wstring png;
    CParentWnd parent;
    CImagePreviewStatic image;
};

}  // namespace

TEST_F(ImagePreviewTest, SetImageSizesAndDrawsThePicture)
{
    ASSERT_TRUE(image.Load());
    image.SetImage(png.c_str());
    EXPECT_EQ(static_cast<UINT>(kWidth), image.GetImageWidth());
    EXPECT_EQ(static_cast<UINT>(kHeight), image.GetImageHeight());
    EXPECT_EQ((RECT{ 0, 0, kWidth, kHeight }), PlaceInParent());

    ::UpdateWindow(parent);
    ::UpdateWindow(image);
    EXPECT_EQ(RGB(0, 255, 0), WindowPixel(image, 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), WindowPixel(image, 2, 4));
    EXPECT_EQ(RGB(255, 0, 0), WindowPixel(image, kWidth / 2 - 1, kHeight - 1));
    EXPECT_EQ(RGB(0, 0, 255), WindowPixel(image, kWidth / 2, 4));
    EXPECT_EQ(RGB(0, 0, 255), WindowPixel(image, kWidth - 1, kHeight - 1));

    // Placed elsewhere; right and bottom play no part.
    image.SetImageAt(png.c_str(), 20, 30, 999, 999);
    EXPECT_EQ((RECT{ 20, 30, 20 + kWidth, 30 + kHeight }), PlaceInParent());
    ::UpdateWindow(image);
    EXPECT_EQ(RGB(0, 0, 255), WindowPixel(image, kWidth - 2, 2));

    // Scaled to a width in proportion, back at the top-left corner, and drawn scaled.
    image.SetImageToWidth(png.c_str(), 3 * kWidth);
    EXPECT_EQ((RECT{ 0, 0, 3 * kWidth, 3 * kHeight }), PlaceInParent());
    ::UpdateWindow(image);
    EXPECT_EQ(RGB(255, 0, 0), WindowPixel(image, 3 * kWidth / 4, 3 * kHeight / 2));
    EXPECT_EQ(RGB(0, 0, 255), WindowPixel(image, 3 * kWidth * 3 / 4, 3 * kHeight / 2));
}

TEST_F(ImagePreviewTest, UnusableFilesLeaveAnEmptyZeroSizedControl)
{
    ASSERT_TRUE(image.Load());
    image.SetImageAt(png.c_str(), 5, 5, 0, 0);
    ASSERT_EQ(static_cast<UINT>(kWidth), image.GetImageWidth());

    image.SetImageAt(folder.File(L"missing.png").c_str(), 5, 5, 0, 0);
    EXPECT_EQ(0u, image.GetImageWidth());
    RECT placed = PlaceInParent();
    EXPECT_EQ(placed.left, placed.right);
    EXPECT_EQ(placed.top, placed.bottom);

    const std::wstring garbage = folder.File(L"garbage.png");
    ASSERT_TRUE(TempFolder::WriteBytes(garbage, { 0x89, 'P', 'N', 'G', 1, 2, 3 }));
    image.SetImageAt(garbage.c_str(), 5, 5, 0, 0);
    EXPECT_EQ(0u, image.GetImageHeight());

    // A path too long for the control is not cut down to some other file.
    std::wstring longPath = png;
    longPath.insert(folder.Path().size(), L"\\" + std::wstring(300, L'x') + L"\\..");
    image.SetImageAt(longPath.c_str(), 5, 5, 0, 0);
    EXPECT_EQ(0u, image.GetImageWidth());
    ::UpdateWindow(parent);  // drawing nothing must not fail either
}

TEST_F(ImagePreviewTest, LoadNeedsAWindowAndReloadsTheStoredPath)
{
    CImagePreviewStatic unbound;
    EXPECT_FALSE(unbound.Load());

    ASSERT_TRUE(image.Load());
    EXPECT_EQ(0u, image.GetImageWidth());  // nothing stored yet
    image.SetImage(png.c_str());
    ASSERT_TRUE(image.Load());
    EXPECT_EQ(static_cast<UINT>(kWidth), image.GetImageWidth());
}
