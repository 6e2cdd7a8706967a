// Times the layered pipeline of a file-list-sized window with its drop shadow: whole
// redraws (back buffer, drawing, shadow, layered update) and the shadow image alone.
// Needs a display. Prints milliseconds per operation.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <vector>

#include "windows/CVornWndBase.h"
#include "windows/CWndShadow.h"

namespace {

class CBenchWnd : public CVornWndBase
{
public:
    void OnCustomDraw(Gdiplus::Graphics* pGraphics) override
    {
        Gdiplus::SolidBrush back{Gdiplus::Color(0xF0FFFFFF)};
        Gdiplus::SolidBrush row{Gdiplus::Color(0xFF3060C0)};
        const int width = m_rect.right - m_rect.left;
        const int height = m_rect.bottom - m_rect.top;
        pGraphics->FillRectangle(&back, 0, 0, width, height);
        for (int y = 4; y + 20 < height; y += 24)
            pGraphics->FillRectangle(&row, 6, y, width - 12, 20);
    }
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 1;
    Utility::CWndShadow::Initialize(::GetModuleHandleW(nullptr));

    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceFrequency(&frequency);
    {
        CBenchWnd window;
        if (!window.Create({ .title = L"bench", .x = 100, .y = 100, .width = 300, .height = 500, .shadow = TRUE,
                             .shadowX = 3, .shadowY = 3, .region = TRUE,
                             .cornerStyle = LayeredWindowParams::kCornerRound, .color = 0xFEC0C0C0 })) {
            std::printf("no window (is there a display?)\n");
            return 1;
        }
        window.Redraw();
        const int rounds = 50;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < rounds; ++i)
            window.Redraw();
        ::QueryPerformanceCounter(&end);
        std::printf("Redraw 300x500 with rounded region and shadow: %.2f ms\n",
                    Milliseconds(start, end, frequency) / rounds);

        RECT rc = {};
        ::GetWindowRect(window.m_hWnd, &rc);
        std::vector<uint32_t> image(300 * 500);
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < rounds; ++i)
            window.m_shadow.MakeShadow(image.data(), image.size() * 4, window.m_hWnd, &rc);
        ::QueryPerformanceCounter(&end);
        std::printf("MakeShadow 300x500 (rounded parent): %.2f ms\n", Milliseconds(start, end, frequency) / rounds);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
