#include "windows/CPopupNoticeWnd.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CPopupNoticeWnd, CVornWndBase)
    ON_TIMER(IDT_FADE, OnFadeTimer)
END_MESSAGE_MAP()

namespace {

constexpr int kNoticeFontSize = 16;
constexpr Gdiplus::ARGB kPanelColor = 0xFEFFFFFF;
constexpr Gdiplus::ARGB kWindowColor = 0xFEC0C0C0;

}  // namespace

CPopupNoticeWnd::CPopupNoticeWnd()
    : m_bVisible(FALSE), m_nTicks(0), m_nAlpha(255), m_nFullTicks(FULL_TICKS), m_nNotifyMsg(0)
{
}

BOOL CPopupNoticeWnd::Show(int x, int y, CWnd* pOwner, UINT nNotifyMsg, Gdiplus::Graphics* pGraphics,
                           const wchar_t* pszText, Gdiplus::ARGB textColor, const wchar_t* pszFontFace,
                           int fullTicks)
{
    // A notice still up (its window may have gone with its owner meanwhile): start over at
    // full strength, where it is.
    if (m_bVisible && m_hWnd && ::IsWindow(m_hWnd)) {
        m_nTicks = 0;
        m_nAlpha = 255;
        UpdateLayered(255);  // a fade under way must not carry on from its faded image
        SetTimer(IDT_FADE, FADE_INTERVAL);
        return TRUE;
    }
    m_bVisible = FALSE;

    m_strText = pszText;
    m_nNotifyMsg = nNotifyMsg;
    m_nFullTicks = fullTicks;
    m_text.SetTextColor(Gdiplus::Color(textColor));
    m_text.SetFont(pszFontFace, kNoticeFontSize, 0);
    m_text.SetOutlineEnabled(false);
    m_text.SetShadowEnabled(false);

    Gdiplus::StringFormat format(0, 0);
    SIZE size = {0, 0};
    m_text.Measure(pGraphics, m_strText, &format, &size);

    // A box near the right edge of the screen would put a longer text past it.
    const int width = size.cx + 16;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromPoint(POINT{ x, y }, MONITOR_DEFAULTTONEAREST), &monitor) &&
        x + width > monitor.rcWork.right)
        x = std::max<int>(monitor.rcWork.left, monitor.rcWork.right - width);

    if (!Create({ .title = L"VornFileList", .x = x, .y = y, .width = width, .height = size.cy + 8,
                  .owner = pOwner, .shadow = TRUE, .shadowX = 3, .shadowY = 3, .region = TRUE,
                  .cornerStyle = LayeredWindowParams::kCornerRound, .color = kWindowColor }))
        return FALSE;

    m_bVisible = TRUE;
    m_nTicks = 0;
    m_nAlpha = 255;
    Redraw();
    SetTimer(IDT_FADE, FADE_INTERVAL);
    return TRUE;
}

void CPopupNoticeWnd::OnCustomDraw(Gdiplus::Graphics* pGraphics)
{
    if (!m_bVisible || !pGraphics)
        return;
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    Gdiplus::SolidBrush panel{Gdiplus::Color(kPanelColor)};
    pGraphics->FillRectangle(&panel, 0, 0, width, height);

    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    m_text.Draw(pGraphics, Gdiplus::Rect(0, 0, width, height), &format, m_strText);
}

void CPopupNoticeWnd::OnFadeTimer()
{
    ++m_nTicks;
    if (m_nTicks <= m_nFullTicks)
        return;
    const int alpha = m_nAlpha - FADE_STEP;
    if (alpha > 0) {
        m_nAlpha = alpha;
        // The constant alpha goes with the kept back buffer through the layered update; a
        // second kind of layering on this window would turn it black.
        UpdateLayered(static_cast<BYTE>(alpha));
        return;
    }
    KillTimer(IDT_FADE);
    ::ShowWindow(m_hWnd, SW_HIDE);
    m_nTicks = 0;
    m_nAlpha = 255;
    m_bVisible = FALSE;
    if (m_pOwner && m_pOwner->m_hWnd && ::IsWindow(m_pOwner->m_hWnd))
        ::PostMessageW(m_pOwner->m_hWnd, m_nNotifyMsg, 0, 0);
}
