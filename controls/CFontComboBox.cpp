#include "controls/CFontComboBox.h"

#include "framework/ScopedHandles.h"

namespace Utility {

CFontComboBox::~CFontComboBox()
{
    // The items point into the copies: a window that outlives this object must not keep them.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        const int count = GetCount();
        for (int i = 0; i < count; ++i)
            SetItemData(i, 0);
    }
}

void CFontComboBox::FillFonts()
{
    ResetContent();
    if (!m_hWnd)
        return;
    const ScopedGetDC dc(m_hWnd);
    if (!dc)
        return;
    ::EnumFontsW(dc.get(), nullptr, reinterpret_cast<FONTENUMPROCW>(&CFontComboBox::EnumFontProc),
                 reinterpret_cast<LPARAM>(this));
}

int CALLBACK CFontComboBox::EnumFontProc(const LOGFONTW* logFont, const TEXTMETRICW*, DWORD, LPARAM data)
{
    auto* self = reinterpret_cast<CFontComboBox*>(data);
    if (!self || !logFont)
        return 1;
    if (logFont->lfFaceName[0] == L'@' || logFont->lfCharSet == SYMBOL_CHARSET)
        return 1;
    // The system may enumerate one family several times (once per script or file): the list
    // shows each face once.
    wchar_t face[LF_FACESIZE] = {};
    ::lstrcpynW(face, logFont->lfFaceName, LF_FACESIZE);
    if (face[0] == L'\0' || self->FindStringExact(-1, face) != CB_ERR)
        return 1;
    LOGFONTW copy = *logFont;
    ::lstrcpynW(copy.lfFaceName, face, LF_FACESIZE);
    // Nothing may unwind through the system's enumeration: out of memory ends the list.
    try {
        self->AddFont(copy);
    } catch (...) {
        return 0;
    }
    return 1;
}

void CFontComboBox::AddFont(const LOGFONTW& logFont)
{
    auto copy = std::make_unique<LOGFONTW>(logFont);
    copy->lfFaceName[LF_FACESIZE - 1] = L'\0';
    const int index = AddString(copy->lfFaceName);
    if (index < 0)
        return;  // not listed: nothing points at the copy, which is dropped
    SetItemDataPtr(index, copy.get());
    m_fonts.push_back(std::move(copy));
}

BOOL CFontComboBox::SelectFont(const CString& faceName)
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        CString text;
        GetLBText(i, text);
        if (text == faceName) {
            SetCurSel(i);
            return TRUE;
        }
    }
    return FALSE;
}

CString CFontComboBox::GetSelectedFont() const
{
    CString text;
    const int selected = GetCurSel();
    if (selected != CB_ERR)
        GetLBText(selected, text);
    return text;
}

}  // namespace Utility
