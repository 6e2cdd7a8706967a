// A small layered popup that shows one line of text on a white, rounded, shadowed panel
// for a moment and then fades out; when the fade has ended it posts its notify message to
// its owner, which destroys the window. The object is reused for the next notice.
#pragma once

#include "core/WindowMessages.h"  // WM_NOTICEMSG
#include "framework/CString.h"
#include "text_effects/CEffectText.h"
#include "windows/CVornWndBase.h"

class CPopupNoticeWnd : public CVornWndBase
{
public:
    CPopupNoticeWnd();

    // Shows the text at (x, y), measured on pGraphics, in the colour and font face given, at
    // full strength for fullTicks fade ticks; moved left when it would reach past the work
    // area of its monitor. While a notice is up, only restarts its fade at full strength
    // (text and place stay). FALSE when the window cannot be created.
    BOOL Show(int x, int y, CWnd* pOwner, UINT nNotifyMsg, Gdiplus::Graphics* pGraphics, const wchar_t* pszText,
              Gdiplus::ARGB textColor, const wchar_t* pszFontFace, int fullTicks = FULL_TICKS);

    void OnCustomDraw(Gdiplus::Graphics* pGraphics) override;

    // Fade timer: id and period.
    static constexpr UINT_PTR IDT_FADE = 1;
    static constexpr UINT FADE_INTERVAL = 50;
    // Ticks at full strength before the fade, and the alpha lost per fading tick.
    static constexpr int FULL_TICKS = 12;
    // For a notice that says why something was not done: time to read a sentence.
    static constexpr int REASON_TICKS = 60;
    static constexpr int FADE_STEP = 40;

    CString m_strText;
    CEffectText m_text;
    BOOL m_bVisible;
    int m_nTicks;
    int m_nAlpha;
    int m_nFullTicks;
    UINT m_nNotifyMsg;

protected:
    void OnFadeTimer();

    DECLARE_MESSAGE_MAP()
};
