#include "windows/CWndShadow.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace Utility
{

std::map<HWND, CWndShadow*> CWndShadow::s_shadowMap;

namespace {

const wchar_t kShadowClass[] = L"DaskoShadowWnd";
// Where a subclassed parent keeps its previous procedure, so that a message reaching the
// subclass procedure after the shadow has let go still finds its way on.
const wchar_t kPrevProcProperty[] = L"DaskoShadowPrevProc";

constexpr UINT kDwmCompositionChanged = 0x031E;

using UpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                              DWORD);
using DwmIsCompositionEnabledProc = HRESULT(WINAPI*)(BOOL*);

HINSTANCE s_hInstance = nullptr;
UpdateLayeredWindowProc s_pUpdateLayeredWindow = nullptr;
DwmIsCompositionEnabledProc s_pDwmIsCompositionEnabled = nullptr;

struct Span
{
    int left;
    int right;
};

}  // namespace

// Holds the shadow's mutex (recursive on one thread) until released or destroyed.
class CWndShadow::CLock
{
public:
    explicit CLock(HANDLE hMutex) : m_hMutex(hMutex)
    {
        if (m_hMutex && ::WaitForSingleObject(m_hMutex, INFINITE) != WAIT_OBJECT_0)
            m_hMutex = nullptr;
    }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;
    ~CLock() { Release(); }
    void Release()
    {
        if (m_hMutex)
            ::ReleaseMutex(m_hMutex);
        m_hMutex = nullptr;
    }

private:
    HANDLE m_hMutex;
};

CWndShadow::CWndShadow()
    : m_hWnd(static_cast<HWND>(INVALID_HANDLE_VALUE)),
      m_pfnOriParentProc(nullptr),
      m_nStatus(0),
      m_nDarkness(150),
      m_nSharpness(5),
      m_nSize(0),
      m_nxOffset(3),
      m_nyOffset(3),
      m_wndSize(0),
      m_bUpdate(false),
      m_bCreated(false),
      m_color(RGB(0, 0, 0)),
      m_hMutex(::CreateMutexW(nullptr, FALSE, nullptr))
{
}

CWndShadow::~CWndShadow()
{
    // Normally the parent's destruction has taken the shadow down already; a shadow that
    // dies first must not leave the parent routed to a dead object.
    Detach();
}

void CWndShadow::Detach()
{
    if (m_hParent) {
        auto it = s_shadowMap.find(m_hParent);
        if (it != s_shadowMap.end() && it->second == this) {
            s_shadowMap.erase(it);
            if (::IsWindow(m_hParent) &&
                reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hParent, GWLP_WNDPROC)) == ParentProc) {
                ::SetWindowLongPtrW(m_hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOriParentProc));
                ::RemovePropW(m_hParent, kPrevProcProperty);
            }
        }
    }
    if (m_bCreated && m_hWnd && m_hWnd != INVALID_HANDLE_VALUE && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_bCreated = false;
    m_hParent = nullptr;
}

BOOL CWndShadow::Initialize(HINSTANCE hInstance)
{
    if (s_pUpdateLayeredWindow)
        return FALSE;
    HMODULE user32 = ::LoadLibraryW(L"USER32.DLL");
    if (!user32)
        return FALSE;
    auto update = reinterpret_cast<UpdateLayeredWindowProc>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "UpdateLayeredWindow")));
    if (!update)
        return FALSE;
    if (HMODULE dwmapi = ::LoadLibraryW(L"dwmapi.dll")) {
        s_pDwmIsCompositionEnabled = reinterpret_cast<DwmIsCompositionEnabledProc>(
            reinterpret_cast<void*>(::GetProcAddress(dwmapi, "DwmIsCompositionEnabled")));
    }
    s_hInstance = hInstance;

    WNDCLASSEXW wcex = {};
    wcex.cbSize = sizeof(wcex);
    wcex.style = CS_HREDRAW | CS_VREDRAW;
    wcex.lpfnWndProc = ::DefWindowProcW;
    wcex.hInstance = hInstance;
    wcex.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wcex.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wcex.lpszClassName = kShadowClass;
    // Already registered (a second module of the process): the class is there all the same.
    if (!::RegisterClassExW(&wcex) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return FALSE;
    s_pUpdateLayeredWindow = update;
    return TRUE;
}

void CWndShadow::Create(HWND hParentWnd)
{
    if (!s_pUpdateLayeredWindow || m_bCreated || !hParentWnd)
        return;
    CLock lock(m_hMutex.get());
    s_shadowMap[hParentWnd] = this;
    m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr, WS_POPUPWINDOW,
                               CW_USEDEFAULT, 0, 0, 0, hParentWnd, nullptr, s_hInstance, nullptr);
    if (!m_hWnd) {
        // No shadow window: leave the parent alone rather than route it through a shadow
        // that cannot show.
        s_shadowMap.erase(hParentWnd);
        m_hWnd = static_cast<HWND>(INVALID_HANDLE_VALUE);
        return;
    }
    m_hParent = hParentWnd;
    m_nStatus = SS_ENABLED;
    Show(hParentWnd);
    m_pfnOriParentProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hParentWnd, GWLP_WNDPROC));
    ::SetPropW(hParentWnd, kPrevProcProperty, reinterpret_cast<HANDLE>(m_pfnOriParentProc));
    ::SetWindowLongPtrW(hParentWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc));
    m_bCreated = true;
}

void CWndShadow::ShowShadow(BOOL bShow)
{
    if (m_bCreated)
        ::ShowWindow(m_hWnd, bShow ? SW_SHOW : SW_HIDE);
}

BOOL CWndShadow::SetPosition(int x, int y)
{
    if (x < -20 || x > 20 || y < -20 || y > 20)
        return FALSE;
    CLock lock(m_hMutex.get());
    m_nxOffset = static_cast<signed char>(x);
    m_nyOffset = static_cast<signed char>(y);
    if (m_bCreated && (m_nStatus & SS_VISABLE))
        Update(::GetParent(m_hWnd));
    return TRUE;
}

void CWndShadow::Show(HWND hParentWnd)
{
    ShowFor(hParentWnd, false);
}

void CWndShadow::ShowFor(HWND hParentWnd, bool bParentShowing)
{
    m_nStatus &= SS_ENABLED | SS_DISABLEDBYAERO;
    if ((m_nStatus & SS_ENABLED) && !(m_nStatus & SS_DISABLEDBYAERO)) {
        const LONG_PTR style = ::GetWindowLongPtrW(hParentWnd, GWL_STYLE);
        if ((style & WS_VISIBLE) || bParentShowing) {
            m_nStatus |= SS_PARENTVISIBLE;
            if (!(style & (WS_MAXIMIZE | WS_MINIMIZE)))
                m_nStatus |= SS_VISABLE;
        }
    }
    if (m_nStatus & SS_VISABLE) {
        ::ShowWindow(m_hWnd, SW_SHOWNA);
        Update(hParentWnd);
    } else {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

void CWndShadow::Update(HWND hParentWnd)
{
    if (!s_pUpdateLayeredWindow || !hParentWnd)
        return;
    RECT rc = {};
    if (!::GetWindowRect(hParentWnd, &rc))
        return;
    const int width = rc.right - rc.left + 2 * m_nSize;
    const int height = rc.bottom - rc.top + 2 * m_nSize;
    // Nothing to shade, or more than a DIB may hold.
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF)
        return;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;  // bottom-up rows
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
    void* bits = nullptr;
    ScopedBitmap bitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return;
    ::ZeroMemory(bits, bytes);
    try {
        MakeShadow(static_cast<uint32_t*>(bits), bytes, hParentWnd, &rc);
    } catch (...) {
        return;
    }

    const ScopedCreatedDC memDC(::CreateCompatibleDC(nullptr));
    if (!memDC)
        return;
    const ScopedSelectObject selectBitmap(memDC.get(), bitmap.get());
    POINT ptDst = {rc.left + m_nxOffset - m_nSize, rc.top + m_nyOffset - m_nSize};
    POINT ptSrc = {0, 0};
    SIZE wndSize = {width, height};
    BLENDFUNCTION blendPixelFunction = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::MoveWindow(m_hWnd, ptDst.x, ptDst.y, width, height, FALSE);
    s_pUpdateLayeredWindow(m_hWnd, nullptr, &ptDst, &wndSize, memDC.get(), &ptSrc, 0, &blendPixelFunction, ULW_ALPHA);
}

uint32_t CWndShadow::PreMultiply(COLORREF cl, unsigned char nAlpha)
{
    const uint32_t a = nAlpha;
    return (a << 24) | ((GetRValue(cl) * a / 255) << 16) | ((GetGValue(cl) * a / 255) << 8) |
           (GetBValue(cl) * a / 255);
}

void CWndShadow::MakeShadow(uint32_t* pShadBits, size_t nBytes, HWND hParent, const RECT* rcParent)
{
    if (!pShadBits || !rcParent)
        return;
    const int n = m_nSize;
    const int s = m_nSharpness;
    const int d = m_nDarkness;
    const int xo = m_nxOffset;
    const int yo = m_nyOffset;
    const int W0 = rcParent->right - rcParent->left;
    const int H0 = rcParent->bottom - rcParent->top;
    const int W = W0 + 2 * n;
    const int H = H0 + 2 * n;
    if (W0 <= 0 || H0 <= 0 || W <= 0 || H <= 0)
        return;
    const size_t nPixels = nBytes / 4;

    // Every write goes through here: image row y lies in memory row H - 1 - y, and nothing
    // outside the image (or the buffer) is touched.
    auto pixel = [&](int x, int y) -> uint32_t* {
        if (x < 0 || x >= W || y < 0 || y >= H)
            return nullptr;
        const size_t index = static_cast<size_t>(H - 1 - y) * static_cast<size_t>(W) + static_cast<size_t>(x);
        return index < nPixels ? pShadBits + index : nullptr;
    };
    auto fill = [&](int y, int from, int to, uint32_t value) {
        for (int x = std::max(from, 0); x < std::min(to, W); ++x) {
            if (uint32_t* p = pixel(x, y))
                *p = value;
        }
    };

    // 1. The parent's shape: its window region, or its rectangle.
    ScopedRgn parentRgn(::CreateRectRgn(0, 0, W0, H0));
    if (!parentRgn)
        return;
    ScopedRgn windowRgn(::CreateRectRgn(0, 0, 0, 0));
    if (windowRgn && ::GetWindowRgn(hParent, windowRgn.get()) != ERROR)
        parentRgn = std::move(windowRgn);

    // 2. Row spans of the parent, and the shadow's spans with an empty border.
    const Span empty = {W0, 0};
    std::vector<Span> parentSpans(static_cast<size_t>(H0), empty);
    for (int y = 0; y < H0; ++y) {
        int left = 0;
        while (left < W0 && !::PtInRegion(parentRgn.get(), left, y))
            ++left;
        if (left == W0)
            continue;
        int right = W0 - 1;
        while (right > left && !::PtInRegion(parentRgn.get(), right, y))
            --right;
        parentSpans[static_cast<size_t>(y)] = {left, right + 1};
    }
    parentRgn.reset();

    const int nSpans = std::max(H0, H) + 2;
    std::vector<Span> spans(static_cast<size_t>(nSpans), empty);
    for (int y = 0; y < H0; ++y) {
        const int j = y + n + 1;
        if (j < 0 || j >= nSpans)
            continue;
        const Span& o = parentSpans[static_cast<size_t>(y)];
        spans[static_cast<size_t>(j)] = o.left < o.right ? Span{o.left + n, o.right + n} : empty;
    }

    // 3. Erode the shape where the soft edge is wider than the shadow reaches out.
    if (s - n > 0) {
        std::vector<Span> next(spans.size(), empty);
        for (int round = 0; round < s - n; ++round) {
            for (int j = 1; j < nSpans - 1; ++j) {
                const Span& a = spans[static_cast<size_t>(j - 1)];
                const Span& b = spans[static_cast<size_t>(j)];
                const Span& c = spans[static_cast<size_t>(j + 1)];
                next[static_cast<size_t>(j)] = {std::max({a.left, b.left, c.left}) + 1,
                                                std::min({a.right, b.right, c.right}) - 1};
            }
            next.front() = empty;
            next.back() = empty;
            std::swap(spans, next);
        }
    }

    // 4. The kernel stamped along the edges.
    const int k = std::max(n, s);
    const int c = n > s ? n - s : 0;
    const int side = 2 * k + 1;
    std::vector<uint32_t> kernel(static_cast<size_t>(side) * static_cast<size_t>(side), 0);
    for (int j = -k; j <= k; ++j) {
        for (int i = -k; i <= k; ++i) {
            const double r = std::sqrt(static_cast<double>(i * i + j * j));
            uint32_t value = 0;
            if (r < c) {
                value = PreMultiply(m_color, static_cast<unsigned char>(d));
            } else if (r <= k) {
                const double alpha = (1.0 - (r - c) / (s + 1)) * d;
                value = PreMultiply(m_color, static_cast<unsigned char>(static_cast<int>(alpha)));
            }
            kernel[static_cast<size_t>(j + k) * static_cast<size_t>(side) + static_cast<size_t>(i + k)] = value;
        }
    }
    auto stamp = [&](int x, int y) {
        for (int j = -k; j <= k; ++j) {
            for (int i = -k; i <= k; ++i) {
                uint32_t* p = pixel(x + i, y + j);
                if (!p)
                    continue;
                const uint32_t value =
                    kernel[static_cast<size_t>(j + k) * static_cast<size_t>(side) + static_cast<size_t>(i + k)];
                if (value > *p)
                    *p = value;
            }
        }
    };

    // 5. Soft edge: only where a row's end is not covered by the rows above and below.
    for (int y = k; y < H - k; ++y) {
        const Span span = spans[static_cast<size_t>(y + 1)];
        if (span.left >= span.right)
            continue;
        const Span above = spans[static_cast<size_t>(y)];
        const Span below = spans[static_cast<size_t>(y + 2)];
        int x = span.left;
        for (; x < std::min(span.right, std::max(above.left, below.left) + 1); ++x)
            stamp(x, y);
        for (x = std::max(x, std::min(above.right, below.right) - 1); x < span.right; ++x)
            stamp(x, y);
    }

    // 6. Solid body, with a hole where the parent itself covers the shadow.
    const uint32_t solid = PreMultiply(m_color, static_cast<unsigned char>(d));
    const int yFirst = std::min(k, std::max(n - yo, 0));
    const int yEnd = std::max(H - k, std::min(H0 + n - yo, H0 + 2 * n));
    for (int y = yFirst; y < yEnd && y <= H - 1; ++y) {
        const Span span = spans[static_cast<size_t>(y + 1)];
        const int p = y + yo - n;
        if (p < 0 || p >= H0) {
            fill(y, span.left, span.right, solid);
            continue;
        }
        const Span& o = parentSpans[static_cast<size_t>(p)];
        const int pL = o.left - xo + n;
        const int pR = o.right - xo + n;
        fill(y, span.left, std::min(span.right, pL), solid);
        fill(y, std::max(pL, 0), std::min(pR, W), 0);
        fill(y, std::max(span.left, pR), span.right, solid);
    }
}

LRESULT CALLBACK CWndShadow::ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    auto it = s_shadowMap.find(hwnd);
    if (it == s_shadowMap.end()) {
        // The shadow has let go already: the message still belongs to the window.
        auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPrevProcProperty));
        if (uMsg == WM_NCDESTROY)
            ::RemovePropW(hwnd, kPrevProcProperty);
        return previous ? ::CallWindowProcW(previous, hwnd, uMsg, wParam, lParam)
                        : ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
    }
    CWndShadow* pThis = it->second;
    const WNDPROC previous = pThis->m_pfnOriParentProc;
    switch (uMsg) {
    case WM_MOVE: case WM_SIZE: case WM_EXITSIZEMOVE: case WM_PAINT: case WM_SHOWWINDOW: case WM_DESTROY:
    case WM_NCDESTROY: case kDwmCompositionChanged:
        break;
    default:
        // Nothing of the shadow's: skip its lock, whose mutex costs two server round trips
        // on every mouse move and timer tick of the parent.
        return previous ? ::CallWindowProcW(previous, hwnd, uMsg, wParam, lParam)
                        : ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
    }
    CLock lock(pThis->m_hMutex.get());

    // No exception may leave a window procedure: a failed shadow step is dropped.
    try {
        switch (uMsg) {
        case WM_MOVE:
            if (pThis->m_nStatus & SS_VISABLE) {
                RECT rc = {};
                ::GetWindowRect(hwnd, &rc);
                ::SetWindowPos(pThis->m_hWnd, nullptr, rc.left + pThis->m_nxOffset - pThis->m_nSize,
                               rc.top + pThis->m_nyOffset - pThis->m_nSize, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
            }
            break;
        case WM_SIZE:
            if ((pThis->m_nStatus & SS_ENABLED) && !(pThis->m_nStatus & SS_DISABLEDBYAERO)) {
                if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
                    ::ShowWindow(pThis->m_hWnd, SW_HIDE);
                    pThis->m_nStatus &= static_cast<unsigned char>(~SS_VISABLE);
                } else if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) {
                    pThis->m_nStatus |= SS_PARENTVISIBLE;
                    if (!(pThis->m_nStatus & SS_VISABLE)) {
                        pThis->m_nStatus |= SS_VISABLE;
                        pThis->Update(hwnd);
                        ::ShowWindow(pThis->m_hWnd, SW_SHOWNA);
                        pThis->m_bUpdate = true;
                    } else if (LOWORD(lParam) <= LOWORD(pThis->m_wndSize) &&
                               HIWORD(lParam) <= HIWORD(pThis->m_wndSize)) {
                        pThis->Update(hwnd);
                    } else {
                        pThis->m_bUpdate = true;  // growing: wait for WM_PAINT
                    }
                }
                pThis->m_wndSize = lParam;
            }
            break;
        case WM_EXITSIZEMOVE:
            if (pThis->m_nStatus & SS_VISABLE)
                pThis->Update(hwnd);
            break;
        case WM_PAINT:
            if (pThis->m_bUpdate) {
                pThis->Update(hwnd);
                pThis->m_bUpdate = false;
            }
            break;
        case WM_SHOWWINDOW:
            if ((pThis->m_nStatus & SS_ENABLED) && !(pThis->m_nStatus & SS_DISABLEDBYAERO)) {
                const LRESULT result = previous ? ::CallWindowProcW(previous, hwnd, uMsg, wParam, lParam)
                                                : ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
                if (wParam) {
                    pThis->m_bUpdate = true;
                    // The parent gets WS_VISIBLE only after this message: it counts as
                    // visible already, or the shadow would stay hidden.
                    pThis->ShowFor(hwnd, true);
                } else {
                    ::ShowWindow(pThis->m_hWnd, SW_HIDE);
                    pThis->m_nStatus &= static_cast<unsigned char>(~(SS_VISABLE | SS_PARENTVISIBLE));
                }
                lock.Release();
                return result;
            }
            break;
        case WM_DESTROY:
            ::DestroyWindow(pThis->m_hWnd);
            pThis->m_bCreated = false;
            break;
        case WM_NCDESTROY:
            s_shadowMap.erase(hwnd);
            ::RemovePropW(hwnd, kPrevProcProperty);
            if (pThis->m_hParent == hwnd)
                pThis->m_hParent = nullptr;
            break;
        case kDwmCompositionChanged:
            if (s_pDwmIsCompositionEnabled) {
                BOOL enabled = FALSE;
                s_pDwmIsCompositionEnabled(&enabled);  // asked, but the shadow is drawn either way
            }
            pThis->m_nStatus &= static_cast<unsigned char>(~SS_DISABLEDBYAERO);
            pThis->Show(hwnd);
            break;
        default:
            break;
        }
    } catch (...) {
    }
    lock.Release();
    return previous ? ::CallWindowProcW(previous, hwnd, uMsg, wParam, lParam)
                    : ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
}

}  // namespace Utility
