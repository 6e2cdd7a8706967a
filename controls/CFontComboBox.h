// A combo box of the face names of the installed fonts, each item carrying a copy of its
// font's LOGFONTW as item data. The style dialog fills it, selects the stored face and reads
// the chosen face back.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/CComboBox.h"
#include "framework/CString.h"

namespace Utility {

class CFontComboBox : public CComboBox
{
public:
    CFontComboBox() = default;
    // Frees every LOGFONTW copy the items pointed to.
    ~CFontComboBox() override;

    // Empties the list and fills it with one face per installed font family.
    void FillFonts();
    // Lists a font: no vertical ("@") faces, no symbol fonts, no face twice. Always 1.
    static int CALLBACK EnumFontProc(const LOGFONTW* logFont, const TEXTMETRICW* textMetric, DWORD fontType,
                                     LPARAM data);
    // Adds the face with a copy of its LOGFONTW as the item's data.
    void AddFont(const LOGFONTW& logFont);
    // Selects the first item whose text equals the face exactly (case-sensitive); FALSE, with
    // the selection unchanged, when there is none.
    BOOL SelectFont(const CString& faceName);
    // The selected face, or the empty string.
    CString GetSelectedFont() const;

private:
    // The copies, in the order they were added; emptying the list does not free them.
    std::vector<std::unique_ptr<LOGFONTW>> m_fonts;
};

}  // namespace Utility
