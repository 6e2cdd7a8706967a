// The bare reference for the start-up benchmark: a plain Win32 program that shows six
// layered boxes with GDI+ text the way the program does (32-bpp DIB back buffer, a text
// path filled by GDI+, one layered update each), and nothing else. It runs until it is
// ended from outside or gets WM_CLOSE.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace {

constexpr int kBoxWidth = 160;
constexpr int kBoxHeight = 64;
const wchar_t* const kNames[] = {L"Apps", L"Tools", L"Documents", L"Folders", L"Shared", L"Hot items"};

void DrawBox(HWND window, const wchar_t* name)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kBoxWidth;
    info.bmiHeader.biHeight = -kBoxHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    {
        Gdiplus::Graphics graphics(dc);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
        Gdiplus::SolidBrush back{Gdiplus::Color(0xC0404040)};
        graphics.FillRectangle(&back, 0, 0, kBoxWidth, kBoxHeight);
        Gdiplus::FontFamily family(L"Liberation Sans");
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::GraphicsPath path;
        path.AddString(name, -1, &family, Gdiplus::FontStyleBold, 16.0f,
                       Gdiplus::RectF(0, 0, kBoxWidth, kBoxHeight), &format);
        Gdiplus::SolidBrush text{Gdiplus::Color(0xFFFFFFFF)};
        graphics.FillPath(&text, &path);
    }
    ::GdiFlush();
    SIZE size = {kBoxWidth, kBoxHeight};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(window, nullptr, nullptr, &size, dc, &source, 0, &blend, ULW_ALPHA);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 1;

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = BoxProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BareBox";
    ::RegisterClassExW(&wc);

    int index = 0;
    for (const wchar_t* name : kNames) {
        const HWND window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"BareBox", name, WS_POPUP,
                                              100 + 180 * index, 100, kBoxWidth, kBoxHeight, nullptr, nullptr,
                                              instance, nullptr);
        if (window) {
            DrawBox(window, name);
            ::ShowWindow(window, SW_SHOWNOACTIVATE);
        }
        ++index;
    }

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
