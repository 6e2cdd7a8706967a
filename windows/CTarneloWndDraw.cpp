// The box window's drawing: the hover and highlight fills, the icon in its cell on its
// background, and the title beside it.
#include "windows/CTarneloWnd.h"

#include "core/Logger.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/CTextStyle.h"

using Style = Model::CTarneloStyleInfo;

// ---- Drawing -----------------------------------------------------------------------------------

void CTarneloWnd::OnCustomDraw(Gdiplus::Graphics* pGraphics)
{
    if (!pGraphics || !m_pStyle)
        return;
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;

    if (m_bHighlight && m_pStyle->m_bHotKeySelection) {
        Gdiplus::SolidBrush brush{ Gdiplus::Color(m_pStyle->m_hotKeyColor) };
        const Gdiplus::Status status = pGraphics->FillRectangle(&brush, 0, 0, width, height);
        if (status != Gdiplus::Ok)
            LogValue2(kLogInfo, L"<boxwnd> OnCustomDraw failed1", status, static_cast<long>(::GetLastError()));
    }
    // Drawn over the highlight: the box under the cursor stands out in selection mode too.
    if (m_bHover) {
        Gdiplus::SolidBrush brush{ Gdiplus::Color(m_pStyle->m_selectedColor) };
        const Gdiplus::Status status = pGraphics->FillRectangle(&brush, 0, 0, width, height);
        if (status != Gdiplus::Ok)
            LogValue2(kLogInfo, L"<boxwnd> OnCustomDraw failed2", status, static_cast<long>(::GetLastError()));
    }
    if (m_pStyle->m_nKind != Style::kKindIconAndTitle)
        return;

    int titleX = 0;
    if (m_pStyle->m_nIconDisplay != Style::kIconDisplayHidden) {
        DrawIcon(pGraphics);
        titleX = m_pStyle->m_nIconCellWidth;
    }
    TitleCell cell;
    cell.x = titleX;
    cell.width = m_pStyle->m_nTitleWidth;
    cell.height = height;
    cell.margins = m_pStyle->m_titleMargins;
    const Model::CTextStyle textStyle(m_pStyle->m_titleStyle);
    DrawTitle(pGraphics, cell, textStyle, m_pInfo ? m_pInfo->m_strName : CString());
}

void CTarneloWnd::DrawIcon(Gdiplus::Graphics* pGraphics)
{
    int drawWidth = 0;
    int drawHeight = 0;
    if (m_pIconImage) {
        drawWidth = static_cast<int>(m_pIconImage->GetWidth());
        drawHeight = static_cast<int>(m_pIconImage->GetHeight());
        // Half size shrinks only the standard 32-pixel icons; other sizes keep their own.
        if (m_pStyle->m_nIconDisplay == Style::kIconDisplayHalf && drawWidth == 32) {
            drawWidth = 16;
            drawHeight /= 2;
        }
    }

    if (m_pStyle->m_bIconBackground) {
        const int cellW = m_pStyle->m_nIconCellWidth;
        const int cellH = m_pStyle->m_nIconCellHeight;
        if (m_pStyle->m_nIconBackShape == Style::kIconBackRectangle) {
            Gdiplus::ARGB color = m_pStyle->m_iconBackColor;
            if ((color >> 24) == 0xFF)
                color = (color & 0x00FFFFFFu) | 0xFE000000u;
            Gdiplus::SolidBrush brush{ Gdiplus::Color(color) };
            const Gdiplus::Status status = pGraphics->FillRectangle(&brush, 0, 0, cellW, cellH);
            if (status != Gdiplus::Ok)
                LogValue2(kLogInfo, L"<boxwnd> DrawIcon failed1", status, static_cast<long>(::GetLastError()));
        } else if (m_pStyle->m_nIconBackShape == Style::kIconBackRoundRect) {
            FillRoundRect(pGraphics, 0, 0, cellW, cellH, Gdiplus::Color(m_pStyle->m_iconBackColor), cellW < 30 ? 2 : 3);
        }
    }

    if (!m_pIconImage)
        return;
    const Gdiplus::Status status =
        pGraphics->DrawImage(m_pIconImage.get(), m_pStyle->m_iconPos.x, m_pStyle->m_iconPos.y, drawWidth, drawHeight);
    if (status != Gdiplus::Ok)
        LogValue2(kLogInfo, L"<boxwnd> DrawIcon failed2", status, static_cast<long>(::GetLastError()));
}

void CTarneloWnd::DrawTitle(Gdiplus::Graphics* pGraphics, const TitleCell& cell, const Model::CTextStyle& textStyle,
                            const CString& name)
{
    const MARGINS& m = cell.margins;
    const Gdiplus::Rect layout(cell.x + m.cxLeftWidth, cell.y + m.cyTopHeight,
                               cell.width - m.cxRightWidth - m.cxLeftWidth,
                               cell.height - m.cyBottomHeight - m.cyTopHeight);
    m_titleText.SetOutlineEnabled(textStyle.m_bOutline != 0);
    m_titleText.SetShadowEnabled(textStyle.m_bShadow != 0);
    m_titleText.SetShadow(Gdiplus::Color(textStyle.m_shadowColor), textStyle.m_nShadowThickness,
                          Gdiplus::Point(textStyle.m_shadowOffset.x, textStyle.m_shadowOffset.y));
    m_titleText.Draw(pGraphics, layout, textStyle.m_format, name.GetString());
}

void CTarneloWnd::AddRoundRectPath(Gdiplus::GraphicsPath* pPath, int x, int y, int w, int h, int d)
{
    if (!pPath)
        return;
    pPath->Reset();
    int s = w < h ? w : h;
    if (d < s)
        s = d;
    pPath->AddArc(x, y, s, s, 180.0f, 90.0f);
    pPath->AddArc(x + w - s - 1, y, s, s, 270.0f, 90.0f);
    pPath->AddArc(x + w - s - 1, y + h - s - 1, s, s, 0.0f, 90.0f);
    pPath->AddArc(x, y + h - s - 1, s, s, 90.0f, 90.0f);
    pPath->CloseFigure();
}

void CTarneloWnd::DrawRoundRect(Gdiplus::Graphics* pGraphics, Gdiplus::Brush* pBrush, int x, int y, int w, int h,
                                int radius, Gdiplus::Color color)
{
    if (!pGraphics || !pBrush)
        return;
    pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::Pen pen(color, 1.0f);
    pen.SetAlignment(Gdiplus::PenAlignmentCenter);
    Gdiplus::GraphicsPath path;
    AddRoundRectPath(&path, x, y, w, h, 2 * radius);
    pGraphics->FillPath(pBrush, &path);
    pGraphics->DrawPath(&pen, &path);
}

void CTarneloWnd::FillRoundRect(Gdiplus::Graphics* pGraphics, int x, int y, int w, int h, Gdiplus::Color color,
                                int radius)
{
    Gdiplus::SolidBrush brush(color);
    DrawRoundRect(pGraphics, &brush, x, y, w, h, radius, color);
}

LRESULT CTarneloWnd::OnRedrawMsg(WPARAM, LPARAM)
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        Redraw();
    return 1;
}
