// What the benchmarks share: a clock, a median, and running the messages that wait.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/CTarneloStyleInfo.h"

namespace bench {

inline LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t;
}

inline double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Runs the messages that are waiting (a window's posted redraw among them).
inline void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A folder of the benchmark's own under the temporary folder, made now: "<temp><name>_<pid>".
inline std::wstring MakeScratchFolder(const wchar_t* name)
{
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + name + L"_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// The style the list benchmarks draw with: small rows of black Liberation Sans on white.
inline Model::CTarneloStyleInfo SmallListStyle()
{
    Model::CTarneloStyleInfo style;
    style.m_bSmallMenu = TRUE;
    style.m_strMenuFontFace = L"Liberation Sans";
    style.m_nMenuFontSizeSmall = 12;
    style.m_menuBackColor = 0xFFFFFFFF;
    style.m_menuTextColor = 0xFF000000;
    return style;
}

// OLE and GDI+ for the life of a benchmark that draws windows.
class GraphicsSession {
public:
    GraphicsSession()
    {
        ::OleInitialize(nullptr);
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    ~GraphicsSession()
    {
        Gdiplus::GdiplusShutdown(m_token);
        ::OleUninitialize();
    }
    GraphicsSession(const GraphicsSession&) = delete;
    GraphicsSession& operator=(const GraphicsSession&) = delete;

private:
    ULONG_PTR m_token = 0;
};

}  // namespace bench
