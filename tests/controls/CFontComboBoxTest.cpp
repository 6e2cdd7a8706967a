// The font combo box filled from the fonts of the test prefix: one item per face, no
// vertical or symbol faces, each with its LOGFONTW, exact selection by name.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "controls/CFontComboBox.h"
#include "controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Utility::CFontComboBox;

namespace {

class FontComboTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.Create(100, 100, 300, 300));
        const HWND hWnd = ::CreateWindowExW(0, L"COMBOBOX", L"",
                                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 10, 10,
                                            200, 200, parent, reinterpret_cast<HMENU>(1001),
                                            ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, hWnd);
        ASSERT_TRUE(combo.SubclassWindow(hWnd));
    }

    std::wstring Text(int index)
    {
        CString text;
        combo.GetLBText(index, text);
        return text.GetString();
    }

    CParentWnd parent;
    CFontComboBox combo;
};

LOGFONTW Face(const wchar_t* name, BYTE charSet = ANSI_CHARSET)
{
    LOGFONTW font = {};
    font.lfCharSet = charSet;
    ::lstrcpynW(font.lfFaceName, name, LF_FACESIZE);
    return font;
}

}  // namespace

TEST_F(FontComboTest, FillListsEachFaceOnceWithItsFont)
{
    combo.FillFonts();
    const int count = combo.GetCount();
    ASSERT_GT(count, 3);
    std::set<std::wstring> seen;
    for (int i = 0; i < count; ++i) {
        const std::wstring face = Text(i);
        ASSERT_FALSE(face.empty());
        EXPECT_NE(L'@', face[0]) << "vertical face listed";
        std::wstring folded = face;
        ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
        EXPECT_TRUE(seen.insert(folded).second) << "listed twice: " << std::string(face.begin(), face.end());
        const auto* font = static_cast<const LOGFONTW*>(combo.GetItemDataPtr(i));
        ASSERT_NE(nullptr, font);
        EXPECT_EQ(face, font->lfFaceName);
        EXPECT_NE(SYMBOL_CHARSET, font->lfCharSet);
    }
    EXPECT_EQ(1u, seen.count(L"TAHOMA"));  // installed in every test prefix

    // Filling again starts afresh.
    combo.FillFonts();
    EXPECT_EQ(count, combo.GetCount());
    EXPECT_EQ(CB_ERR, combo.GetCurSel());
}

TEST_F(FontComboTest, EnumerationSkipsVerticalSymbolAndRepeatedFaces)
{
    const LOGFONTW vertical = Face(L"@Vertical Face");
    const LOGFONTW symbol = Face(L"Symbolic", SYMBOL_CHARSET);
    const LOGFONTW plain = Face(L"Plain Face");
    const LOGFONTW again = Face(L"Plain Face", SHIFTJIS_CHARSET);
    TEXTMETRICW metrics = {};
    const LPARAM data = reinterpret_cast<LPARAM>(&combo);
    EXPECT_EQ(1, CFontComboBox::EnumFontProc(&vertical, &metrics, TRUETYPE_FONTTYPE, data));
    EXPECT_EQ(1, CFontComboBox::EnumFontProc(&symbol, &metrics, TRUETYPE_FONTTYPE, data));
    EXPECT_EQ(1, CFontComboBox::EnumFontProc(&plain, &metrics, TRUETYPE_FONTTYPE, data));
    EXPECT_EQ(1, CFontComboBox::EnumFontProc(&again, &metrics, TRUETYPE_FONTTYPE, data));
    ASSERT_EQ(1, combo.GetCount());
    EXPECT_EQ(L"Plain Face", Text(0));
    EXPECT_EQ(ANSI_CHARSET, static_cast<const LOGFONTW*>(combo.GetItemDataPtr(0))->lfCharSet);

    // AddFont itself lists what it is given, kept sorted by the box.
    combo.AddFont(Face(L"Another"));
    ASSERT_EQ(2, combo.GetCount());
    EXPECT_EQ(L"Another", Text(0));
    EXPECT_EQ(L"Another", std::wstring(static_cast<const LOGFONTW*>(combo.GetItemDataPtr(0))->lfFaceName));
}

TEST_F(FontComboTest, SelectionIsByExactName)
{
    combo.FillFonts();
    // Nothing selected after a fill, and a name differing in case selects nothing.
    EXPECT_FALSE(combo.SelectFont(L"tahoma"));
    EXPECT_EQ(L"", std::wstring(combo.GetSelectedFont().GetString()));
    EXPECT_FALSE(combo.SelectFont(L"Tahom"));

    ASSERT_TRUE(combo.SelectFont(L"Tahoma"));
    EXPECT_EQ(L"Tahoma", std::wstring(combo.GetSelectedFont().GetString()));
    // A failed selection leaves the earlier one.
    EXPECT_FALSE(combo.SelectFont(L"No Such Face"));
    EXPECT_EQ(L"Tahoma", std::wstring(combo.GetSelectedFont().GetString()));
}
