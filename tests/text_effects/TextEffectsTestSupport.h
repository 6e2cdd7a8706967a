// Shared by the text-effects tests: GDI+ started per test, 32-bpp DIB canvases whose pixels
// can be read back, and graphics on bitmaps with a chosen resolution.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace TextEffectsTest
{

// The faces the pixel checks use; the test prefix maps "Arial" to Liberation Sans.
inline constexpr const wchar_t* kFace = L"Arial";
inline constexpr const wchar_t* kLiberation = L"Liberation Sans";

class GdiplusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
    }
    void TearDown() override
    {
        if (m_token)
            Gdiplus::GdiplusShutdown(m_token);
    }

private:
    ULONG_PTR m_token = 0;
};

// A top-down 32-bpp DIB section selected into a memory DC, cleared to transparent black.
class DibCanvas
{
public:
    DibCanvas(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_hdc = ::CreateCompatibleDC(nullptr);
        void* pBits = nullptr;
        m_hBitmap = ::CreateDIBSection(m_hdc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
        m_pBits = static_cast<std::uint32_t*>(pBits);
        if (m_hBitmap)
        {
            m_hOld = ::SelectObject(m_hdc, m_hBitmap);
            std::fill(m_pBits, m_pBits + static_cast<size_t>(nWidth) * nHeight, 0u);
        }
    }
    ~DibCanvas()
    {
        if (m_hOld)
            ::SelectObject(m_hdc, m_hOld);
        if (m_hBitmap)
            ::DeleteObject(m_hBitmap);
        if (m_hdc)
            ::DeleteDC(m_hdc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool valid() const { return m_pBits != nullptr; }
    HDC dc() const { return m_hdc; }
    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }
    std::uint32_t At(int x, int y) const { return m_pBits[static_cast<size_t>(y) * m_nWidth + x]; }
    std::vector<std::uint32_t> Pixels() const
    {
        return std::vector<std::uint32_t>(m_pBits, m_pBits + static_cast<size_t>(m_nWidth) * m_nHeight);
    }

    // Runs the drawing on a graphics of this canvas, flushed before the pixels are read.
    void Draw(const std::function<void(Gdiplus::Graphics&)>& draw)
    {
        Gdiplus::Graphics graphics(m_hdc);
        draw(graphics);
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }

    int CountWhere(const std::function<bool(std::uint32_t)>& predicate) const
    {
        int nCount = 0;
        for (int y = 0; y < m_nHeight; ++y)
            for (int x = 0; x < m_nWidth; ++x)
                nCount += predicate(At(x, y)) ? 1 : 0;
        return nCount;
    }

    // The box of pixels for which the predicate holds; empty (right < left) when none.
    RECT BoxWhere(const std::function<bool(std::uint32_t)>& predicate) const
    {
        RECT box{m_nWidth, m_nHeight, -1, -1};
        for (int y = 0; y < m_nHeight; ++y)
            for (int x = 0; x < m_nWidth; ++x)
                if (predicate(At(x, y)))
                {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                }
        return box;
    }

private:
    int m_nWidth;
    int m_nHeight;
    HDC m_hdc = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    std::uint32_t* m_pBits = nullptr;
};

inline std::uint32_t Alpha(std::uint32_t argb) { return argb >> 24; }
inline std::uint32_t Red(std::uint32_t argb) { return (argb >> 16) & 0xFF; }
inline std::uint32_t Green(std::uint32_t argb) { return (argb >> 8) & 0xFF; }
inline std::uint32_t Blue(std::uint32_t argb) { return argb & 0xFF; }
inline bool IsInk(std::uint32_t argb) { return Alpha(argb) != 0; }

// A small ARGB bitmap with the given resolution and a graphics on it in the given page unit.
struct BitmapGraphics
{
    BitmapGraphics(float fDpiX, float fDpiY, Gdiplus::Unit unit = Gdiplus::UnitPixel,
                   int nWidth = 64, int nHeight = 64)
        : bitmap(nWidth, nHeight, PixelFormat32bppARGB)
    {
        bitmap.SetResolution(fDpiX, fDpiY);
        graphics = std::make_unique<Gdiplus::Graphics>(&bitmap);
        unitStatus = graphics->SetPageUnit(unit);
    }
    Gdiplus::Bitmap bitmap;
    std::unique_ptr<Gdiplus::Graphics> graphics;
    Gdiplus::Status unitStatus = Gdiplus::Ok;
};

} // namespace TextEffectsTest
