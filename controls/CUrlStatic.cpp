#include "controls/CUrlStatic.h"

#include <shellapi.h>

#include "framework/AfxMessageBox.h"

namespace Utility {

namespace {

CUrlStatic::ShellExecuteFn s_shellExecute = &::ShellExecuteW;

}  // namespace

void CUrlStatic::SetShellExecuteHook(ShellExecuteFn fn)
{
    s_shellExecute = fn ? fn : &::ShellExecuteW;
}

BEGIN_MESSAGE_MAP(CUrlStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CUrlStatic::~CUrlStatic() = default;

void CUrlStatic::OnPaint()
{
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (!dc)
        return;
    if (!m_font) {
        LOGFONTW logFont = {};
        logFont.lfHeight = 14;
        logFont.lfWeight = FW_NORMAL;
        logFont.lfCharSet = ANSI_CHARSET;
        logFont.lfQuality = PROOF_QUALITY;
        ::lstrcpynW(logFont.lfFaceName, L"Arial", LF_FACESIZE);
        m_font.reset(::CreateFontIndirectW(&logFont));
    }
    {
        ScopedSelectObject font(dc, m_font.get());
        ::SetTextColor(dc, RGB(0, 0, 0xFF));
        ::SetBkMode(dc, TRANSPARENT);
        RECT client = {};
        ::GetClientRect(m_hWnd, &client);
        const CString text = GetDisplayText();
        ::DrawTextW(dc, text, text.GetLength(), &client, 0);
    }
    ::EndPaint(m_hWnd, &paint);
}

void CUrlStatic::OnMouseMove(UINT flags, POINT point)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    CStatic::OnMouseMove(flags, point);
}

void CUrlStatic::OnLButtonUp(UINT flags, POINT point)
{
    // Without an address the shell would open whatever an empty name means to it.
    if (!m_strUrl.IsEmpty())
        s_shellExecute(AfxGetMainWndHandle(), L"open", m_strUrl, nullptr, nullptr, SW_SHOW);
    CStatic::OnLButtonUp(flags, point);
}

}  // namespace Utility
