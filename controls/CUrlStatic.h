// A static control that shows a web address (or a label for it) as blue text and opens the
// address with the shell when clicked. Its template control needs SS_NOTIFY to get the mouse.
#pragma once

#include <windows.h>

#include "framework/CStatic.h"
#include "framework/CString.h"
#include "framework/ScopedHandles.h"

namespace Utility {

class CUrlStatic : public CStatic
{
public:
    CUrlStatic() = default;
    ~CUrlStatic() override;

    // How a click opens the address; tests put their own function here.
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static void SetShellExecuteHook(ShellExecuteFn fn);

    // The text shown: the label, or the address when the label is empty.
    CString GetDisplayText() const { return m_strLabel.IsEmpty() ? m_strUrl : m_strLabel; }

    ScopedFont m_font;  // made at the first paint
    CString m_strUrl;         // the web address
    CString m_strLabel;       // shown instead of the address when not empty

protected:
    void OnPaint();
    void OnLButtonUp(UINT flags, POINT point);
    void OnMouseMove(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()
};

}  // namespace Utility
