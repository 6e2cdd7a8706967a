// The box style: defaults and the face rule, "style.ser" written and read byte for byte
// with every stored version, damaged files, failing saves and the box measure.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <thread>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "model/CTarneloStyleInfo.h"
#include "model/StyleBounds.h"
#include "model/StyleTestSupport.h"

using Model::CTarneloStyleInfo;
using StyleTest::ByteBuilder;
using StyleTest::Bytes;
using StyleTest::TempFolder;

namespace {

// Sends the log to a folder for one test and stops it again afterwards.
class LogToFolder
{
public:
    explicit LogToFolder(const std::wstring& folder) : m_folder(folder) { LogInit(folder.c_str()); }
    LogToFolder(const LogToFolder&) = delete;
    LogToFolder& operator=(const LogToFolder&) = delete;
    ~LogToFolder() { LogInit(L""); }
    std::wstring Text() const { return StyleTest::ReadLogText(m_folder); }

private:
    std::wstring m_folder;
};

// The face that the rule gives in this process.
CString ExpectedDefaultFace()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = ::GetVersionExW(&info);
#pragma GCC diagnostic pop
    const bool japanese = ::GetUserDefaultUILanguage() == 1041;
    return (japanese && ok && info.dwMajorVersion >= 6) ? CString(L"Meiryo UI") : CString(L"Arial");
}

// Both faces set to "Arial", whatever the UI language: the bytes below are literal.
void UseArial(CTarneloStyleInfo& style)
{
    style.m_titleStyle.m_strFontFace = L"Arial";
    style.m_strMenuFontFace = L"Arial";
}

// The file that a default style with both faces "Arial" is stored as.
const Bytes kDefaultFile = {
    0xEA, 0x03, 0x00, 0x00,                          //  1 version 1002
    0x00, 0x00, 0x00, 0x00,                          //  2 kind
    0xB4, 0x82, 0x46, 0x80,                          //  3 icon back colour
    0x01, 0x00, 0x00, 0x00,                          //  4 icon display
    0x02, 0x00, 0x00, 0x00,                          //  5 icon back shape
    0x00, 0x00, 0x00, 0x00,                          //  6 icon background
    0x18, 0x00, 0x00, 0x00,                          //  7 cell height
    0x18, 0x00, 0x00, 0x00,                          //  8 cell width
    0x04, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,  //  9 icon position
    0x64, 0x00, 0x00, 0x00,                          // 10 title width
    // 11 title text style
    0xFF, 0xFF, 0xFF, 0xFF,  0x01, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
    0x00, 0, 0, 0,  0x01, 0, 0, 0,
    0x0A, 0, 0, 0,  0x41, 0x00, 0x72, 0x00, 0x69, 0x00, 0x61, 0x00, 0x6C, 0x00,
    0x0E, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0x02, 0, 0, 0,  0x01, 0, 0, 0,  0x01, 0, 0, 0,
    0x80, 0x80, 0x80, 0xFF,  0, 0, 0, 0,  0x02, 0, 0, 0,  0x00, 0x00, 0x00, 0xFF,
    0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,   // 12 margins
    0xE1, 0x69, 0x41, 0xB0,                          // 13 selected colour
    0x40, 0x40, 0x40, 0x80,                          // 14 hot-key colour
    0x00, 0x00, 0x00, 0x00,                          // 15 hot-key selection
    0x01, 0x00, 0x00, 0x00,                          // 16 small menu
    0x40, 0x40, 0x40, 0xFE,                          // 17 menu text
    0xD3, 0xD3, 0xD3, 0x00,                          // 18 menu icon column
    0xFA, 0xFA, 0xFF, 0xFE,                          // 19 menu back
    0xA9, 0xA9, 0xA9, 0xFE,                          // 20 menu border
    0xE0, 0xE0, 0xAF, 0x80,                          // 21 menu hover
    0xEB, 0xCE, 0x87, 0xFE,                          // 22 menu hover border
    0x0A, 0, 0, 0,  0x41, 0x00, 0x72, 0x00, 0x69, 0x00, 0x61, 0x00, 0x6C, 0x00,  // 23
    0x0E, 0x00, 0x00, 0x00,                          // 24 small size
    0x14, 0x00, 0x00, 0x00,                          // 25 large size
    0x00, 0x00, 0x00, 0x00,                          // 26 menu font style
};
constexpr size_t kMenuIconColumnOffset = 162;

// A hand-made file of the given version with a distinct value in every row.
Bytes MakeStyleFile(int version)
{
    ByteBuilder b;
    b.Int(static_cast<uint32_t>(version))
        .Int(0)             // kind
        .Int(0x11223344)    // icon back colour
        .Int(2)             // display
        .Int(1)             // shape
        .Int(1)             // background
        .Int(30)            // cell height
        .Int(28)            // cell width
        .Int(5).Int(6)      // position
        .Int(150);          // title width
    b.Int(0xFF102030).Int(1).Int(2).Int(3).Int(4).Int(2).Int(1).Str(L"Tahoma")
        .Int(16).Int(1).Int(1).Int(3).Int(2).Int(3).Int(0xFF111111).Int(1).Int(4).Int(0xFF222222);
    b.Int(7).Int(8).Int(9).Int(10);  // margins
    if (version >= 1002)
        b.Int(0xA1A2A3A4).Int(0xB1B2B3B4).Int(1);
    b.Int(0)                       // small menu
        .Int(0xC1C1C1C1).Int(0xC2C2C2C2).Int(0xC3C3C3C3).Int(0xC4C4C4C4).Int(0xC5C5C5C5).Int(0xC6C6C6C6)
        .Str(L"Courier New")
        .Int(11);
    if (version >= 1001)
        b.Int(22);
    b.Int(3);  // menu font style
    return b.Get();
}

void ExpectCommonRowsOfMadeFile(const CTarneloStyleInfo& s)
{
    EXPECT_EQ(0, s.m_nKind);
    EXPECT_EQ(0x11223344u, s.m_iconBackColor);
    EXPECT_EQ(2, s.m_nIconDisplay);
    EXPECT_EQ(1, s.m_nIconBackShape);
    EXPECT_EQ(1, s.m_bIconBackground);
    EXPECT_EQ(30, s.m_nIconCellHeight);
    EXPECT_EQ(28, s.m_nIconCellWidth);
    EXPECT_EQ(5, s.m_iconPos.x);
    EXPECT_EQ(6, s.m_iconPos.y);
    EXPECT_EQ(150, s.m_nTitleWidth);
    EXPECT_EQ(0xFF102030u, s.m_titleStyle.m_textColor);
    EXPECT_EQ(4, s.m_titleStyle.m_anReserved[3]);
    EXPECT_EQ(Gdiplus::StringAlignmentFar, s.m_titleStyle.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, s.m_titleStyle.m_format->GetLineAlignment());
    EXPECT_EQ(CString(L"Tahoma"), s.m_titleStyle.m_strFontFace);  // the title face is used as stored
    EXPECT_EQ(16, s.m_titleStyle.m_nFontSize);
    EXPECT_EQ(1, s.m_titleStyle.m_nFontStyle);
    EXPECT_EQ(3, s.m_titleStyle.m_shadowOffset.y);
    EXPECT_EQ(0xFF222222u, s.m_titleStyle.m_outlineColor);
    EXPECT_EQ(7, s.m_titleMargins.cxLeftWidth);
    EXPECT_EQ(8, s.m_titleMargins.cxRightWidth);
    EXPECT_EQ(9, s.m_titleMargins.cyTopHeight);
    EXPECT_EQ(10, s.m_titleMargins.cyBottomHeight);
    EXPECT_EQ(0, s.m_bSmallMenu);
    EXPECT_EQ(0xC3C3C3C3u, s.m_menuBackColor);
    EXPECT_EQ(0xC4C4C4C4u, s.m_menuBorderColor);
    EXPECT_EQ(0xC5C5C5C5u, s.m_menuHoverColor);
    EXPECT_EQ(0xC6C6C6C6u, s.m_menuHoverBorderColor);
    EXPECT_EQ(3, s.m_nMenuFontStyle);
    // The five file-list values that a load always sets.
    EXPECT_EQ(ExpectedDefaultFace(), s.m_strMenuFontFace);
    EXPECT_EQ(0xFE404040u, s.m_menuTextColor);
    EXPECT_EQ(0xFEE8E8E8u, s.m_menuIconColumnColor);
    EXPECT_EQ(14, s.m_nMenuFontSizeSmall);
    EXPECT_EQ(20, s.m_nMenuFontSizeLarge);
}

void SetSelectionSentinels(CTarneloStyleInfo& s)
{
    s.m_selectedColor = 0x01010101;
    s.m_hotKeyColor = 0x02020202;
    s.m_bHotKeySelection = 77;
}

Bytes SaveToBytes(CTarneloStyleInfo& style, const TempFolder& folder)
{
    const std::wstring path = folder.File(L"bytes.ser");
    EXPECT_TRUE(style.Save(path.c_str()));
    return StyleTest::ReadBytes(path);
}

// A hidden top-level window for measuring.
class MeasureWindow
{
public:
    MeasureWindow()
        : m_hwnd(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr)) {}
    MeasureWindow(const MeasureWindow&) = delete;
    MeasureWindow& operator=(const MeasureWindow&) = delete;
    ~MeasureWindow() { if (m_hwnd) ::DestroyWindow(m_hwnd); }
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

} // namespace

TEST(TarneloStyleInfo, NewObjectHoldsTheDefaults)
{
    CTarneloStyleInfo s;
    EXPECT_EQ(1002, s.m_nVersion);
    EXPECT_EQ(0, s.m_nKind);
    EXPECT_EQ(4, s.m_iconPos.x);
    EXPECT_EQ(4, s.m_iconPos.y);
    EXPECT_EQ(24, s.m_nIconCellWidth);
    EXPECT_EQ(24, s.m_nIconCellHeight);
    EXPECT_EQ(0, s.m_bIconBackground);
    EXPECT_EQ(0x804682B4u, s.m_iconBackColor);
    EXPECT_EQ(1, s.m_nIconDisplay);
    EXPECT_EQ(2, s.m_nIconBackShape);
    EXPECT_EQ(100, s.m_nTitleWidth);
    EXPECT_EQ(0xFFFFFFFFu, s.m_titleStyle.m_textColor);
    EXPECT_EQ(ExpectedDefaultFace(), s.m_titleStyle.m_strFontFace);
    EXPECT_EQ(14, s.m_titleStyle.m_nFontSize);
    EXPECT_EQ(0, s.m_titleStyle.m_nFontStyle);
    EXPECT_EQ(Gdiplus::StringAlignmentNear, s.m_titleStyle.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, s.m_titleStyle.m_format->GetLineAlignment());
    EXPECT_FALSE(s.m_titleStyle.m_bShadow);
    EXPECT_FALSE(s.m_titleStyle.m_bOutline);
    EXPECT_EQ(0xFF000000u, s.m_titleStyle.m_outlineColor);
    EXPECT_EQ(1, s.m_titleStyle.m_anReserved[0]);
    EXPECT_EQ(0, s.m_titleMargins.cxLeftWidth);
    EXPECT_EQ(0, s.m_titleMargins.cyBottomHeight);
    EXPECT_EQ(0xB04169E1u, s.m_selectedColor);
    EXPECT_EQ(0x80404040u, s.m_hotKeyColor);
    EXPECT_EQ(0, s.m_bHotKeySelection);
    EXPECT_EQ(1, s.m_bSmallMenu);
    EXPECT_EQ(0xFE404040u, s.m_menuTextColor);
    EXPECT_EQ(0x00D3D3D3u, s.m_menuIconColumnColor);
    EXPECT_EQ(0xFEFFFAFAu, s.m_menuBackColor);
    EXPECT_EQ(0xFEA9A9A9u, s.m_menuBorderColor);
    EXPECT_EQ(0x80AFE0E0u, s.m_menuHoverColor);
    EXPECT_EQ(0xFE87CEEBu, s.m_menuHoverBorderColor);
    EXPECT_EQ(ExpectedDefaultFace(), s.m_strMenuFontFace);
    EXPECT_EQ(14, s.m_nMenuFontSizeSmall);
    EXPECT_EQ(20, s.m_nMenuFontSizeLarge);
    EXPECT_EQ(0, s.m_nMenuFontStyle);
}

TEST(TarneloStyleInfo, SetDefaultsUndoesEveryEdit)
{
    TempFolder folder;
    CTarneloStyleInfo fresh;
    const Bytes expected = SaveToBytes(fresh, folder);

    CTarneloStyleInfo s;
    s.m_nVersion = 1000;
    s.m_nKind = 3;
    s.m_iconPos = POINT{ 9, 9 };
    s.m_nTitleWidth = 1;
    s.m_titleStyle.SetFont(L"X", 1, 1);
    s.m_titleStyle.SetAlignment(2, 2);
    s.m_titleStyle.m_format->SetFormatFlags(0);
    s.m_titleStyle.m_anReserved[2] = 5;
    s.m_titleStyle.m_bShadow = TRUE;
    s.m_titleStyle.m_shadowColor = 1;
    s.m_titleMargins = MARGINS{ 1, 2, 3, 4 };
    s.m_bSmallMenu = FALSE;
    s.m_strMenuFontFace = L"Y";
    s.m_nMenuFontStyle = 2;
    s.SetDefaults();
    EXPECT_EQ(1002, s.m_nVersion);
    EXPECT_EQ(0x1804, s.m_titleStyle.m_format->GetFormatFlags());
    EXPECT_EQ(expected, SaveToBytes(s, folder));
}

TEST(TarneloStyleInfo, FaceRuleByUiLanguageAndWindowsVersion)
{
    EXPECT_EQ(CString(L"Meiryo UI"), CTarneloStyleInfo::ChooseDefaultFace(0, 6));
    EXPECT_EQ(CString(L"Meiryo UI"), CTarneloStyleInfo::ChooseDefaultFace(0, 10));
    EXPECT_EQ(CString(L"Arial"), CTarneloStyleInfo::ChooseDefaultFace(0, 5));
    EXPECT_EQ(CString(L"Arial"), CTarneloStyleInfo::ChooseDefaultFace(0, 0));
    EXPECT_EQ(CString(L"Arial"), CTarneloStyleInfo::ChooseDefaultFace(1, 6));
    EXPECT_EQ(CString(L"Arial"), CTarneloStyleInfo::ChooseDefaultFace(1, 10));
    EXPECT_EQ(CString(L"Arial"), CTarneloStyleInfo::ChooseDefaultFace(2, 6));
    EXPECT_EQ(CString(L"Arial"), CTarneloStyleInfo::ChooseDefaultFace(2, 5));
    // This process: the system's own UI language and version.
    EXPECT_EQ(ExpectedDefaultFace(), CTarneloStyleInfo::GetDefaultFace());
}

TEST(TarneloStyleInfo, WritesTheDefaultStyleByteForByte)
{
    TempFolder folder;
    CTarneloStyleInfo s;
    UseArial(s);
    s.m_nVersion = 999;  // the version written is always 1002
    const Bytes bytes = SaveToBytes(s, folder);
    ASSERT_EQ(208u, kDefaultFile.size());
    EXPECT_EQ(kDefaultFile, bytes);
    EXPECT_FALSE(StyleTest::Exists(folder.File(L"bytes.ser.temp")));
}

TEST(TarneloStyleInfo, DefaultsRoundTripExceptTheFixedFileListValues)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"style.ser");
    ASSERT_TRUE(StyleTest::WriteBytes(path, kDefaultFile));
    CTarneloStyleInfo s;
    s.m_nTitleWidth = 1;
    ASSERT_TRUE(s.Load(path.c_str()));
    EXPECT_EQ(100, s.m_nTitleWidth);
    EXPECT_EQ(CString(L"Arial"), s.m_titleStyle.m_strFontFace);
    EXPECT_EQ(0xFEE8E8E8u, s.m_menuIconColumnColor);
    UseArial(s);
    Bytes expected = kDefaultFile;
    expected[kMenuIconColumnOffset + 0] = 0xE8;
    expected[kMenuIconColumnOffset + 1] = 0xE8;
    expected[kMenuIconColumnOffset + 2] = 0xE8;
    expected[kMenuIconColumnOffset + 3] = 0xFE;
    EXPECT_EQ(expected, SaveToBytes(s, folder));
}

TEST(TarneloStyleInfo, ReadsEveryStoredVersion)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"style.ser");

    {   // 1002: every row.
        ASSERT_TRUE(StyleTest::WriteBytes(path, MakeStyleFile(1002)));
        CTarneloStyleInfo s;
        ASSERT_TRUE(s.Load(path.c_str()));
        EXPECT_EQ(1002, s.m_nVersion);
        ExpectCommonRowsOfMadeFile(s);
        EXPECT_EQ(0xA1A2A3A4u, s.m_selectedColor);
        EXPECT_EQ(0xB1B2B3B4u, s.m_hotKeyColor);
        EXPECT_EQ(1, s.m_bHotKeySelection);
    }
    {   // 1001: the large menu size but no selection colours.
        ASSERT_TRUE(StyleTest::WriteBytes(path, MakeStyleFile(1001)));
        CTarneloStyleInfo s;
        SetSelectionSentinels(s);
        ASSERT_TRUE(s.Load(path.c_str()));
        EXPECT_EQ(1001, s.m_nVersion);
        ExpectCommonRowsOfMadeFile(s);
        EXPECT_EQ(0x01010101u, s.m_selectedColor);
        EXPECT_EQ(0x02020202u, s.m_hotKeyColor);
        EXPECT_EQ(77, s.m_bHotKeySelection);
    }
    {   // 1000: neither.
        ASSERT_TRUE(StyleTest::WriteBytes(path, MakeStyleFile(1000)));
        CTarneloStyleInfo s;
        SetSelectionSentinels(s);
        ASSERT_TRUE(s.Load(path.c_str()));
        EXPECT_EQ(1000, s.m_nVersion);
        ExpectCommonRowsOfMadeFile(s);
        EXPECT_EQ(0x01010101u, s.m_selectedColor);
        EXPECT_EQ(0x02020202u, s.m_hotKeyColor);
        EXPECT_EQ(77, s.m_bHotKeySelection);

        // Saved back as 1002 with every row.
        s.m_strMenuFontFace = L"Arial";
        const Bytes saved = SaveToBytes(s, folder);
        ASSERT_EQ(188u + 12u + 10u, saved.size());
        EXPECT_EQ(ByteBuilder().Int(1002).Get(), Bytes(saved.begin(), saved.begin() + 4));
        CTarneloStyleInfo again;
        ASSERT_TRUE(again.Load(folder.File(L"bytes.ser").c_str()));
        EXPECT_EQ(1002, again.m_nVersion);
        EXPECT_EQ(0x01010101u, again.m_selectedColor);
        EXPECT_EQ(77, again.m_bHotKeySelection);
        ExpectCommonRowsOfMadeFile(again);
    }
}

TEST(TarneloStyleInfo, MissingFileGivesDefaultsAndFalse)
{
    TempFolder folder;
    LogToFolder log(folder.Path());
    CTarneloStyleInfo s;
    s.m_nTitleWidth = 5;
    s.m_titleStyle.m_nFontSize = 99;
    EXPECT_FALSE(s.Load(folder.File(L"none.ser").c_str()));
    EXPECT_EQ(100, s.m_nTitleWidth);
    EXPECT_EQ(14, s.m_titleStyle.m_nFontSize);
    EXPECT_NE(std::wstring::npos, log.Text().find(L"[warn] no style file"));
}

// A file that another program holds is waited for a moment; held longer, it gives the
// defaults and is not saved over until a load reads it.
TEST(TarneloStyleInfo, AHeldFileIsWaitedForThenNotSavedOver)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"style.ser");
    CTarneloStyleInfo s;
    s.m_nTitleWidth = 222;
    ASSERT_TRUE(s.Save(path.c_str()));
    const Bytes stored = StyleTest::ReadBytes(path);
    SetHeldFileWaitMs(600);  // longer than the moment held, shorter than the real wait
    for (const DWORD heldMs : { DWORD{ 300 }, DWORD{ INFINITE } }) {
        const HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        std::thread release([&] { if (heldMs != INFINITE) { ::Sleep(heldMs); ::CloseHandle(held); } });
        EXPECT_EQ(heldMs != INFINITE, s.Load(path.c_str()) != FALSE);
        release.join();
        EXPECT_EQ(heldMs != INFINITE ? 222 : 100, s.m_nTitleWidth);
        EXPECT_EQ(heldMs != INFINITE ? 0u : static_cast<DWORD>(ERROR_SHARING_VIOLATION), s.GetLoadError());
        if (heldMs == INFINITE)
            ::CloseHandle(held);
    }
    SetHeldFileWaitMs(kHeldFileWaitMs);
    EXPECT_FALSE(s.Save(path.c_str()));
    EXPECT_EQ(stored, StyleTest::ReadBytes(path));
}

TEST(TarneloStyleInfo, EmptyFileChangesNothing)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"style.ser");
    ASSERT_TRUE(StyleTest::WriteBytes(path, Bytes()));
    CTarneloStyleInfo s;
    s.m_nTitleWidth = 5;
    s.m_menuIconColumnColor = 0x12;
    EXPECT_TRUE(s.Load(path.c_str()));
    EXPECT_EQ(5, s.m_nTitleWidth);
    EXPECT_EQ(0x12u, s.m_menuIconColumnColor);
}

TEST(TarneloStyleInfo, FileCutInsideTheTitleFaceKeepsTheLaterFields)
{
    TempFolder folder;
    LogToFolder log(folder.Path());
    const std::wstring path = folder.File(L"style.ser");
    // 44 bytes of rows 1 to 10, 32 of the text style up to its face, 3 of "Tahoma".
    const Bytes whole = MakeStyleFile(1002);
    ASSERT_TRUE(StyleTest::WriteBytes(path, Bytes(whole.begin(), whole.begin() + 44 + 32 + 3)));
    CTarneloStyleInfo s;
    s.m_titleMargins = MARGINS{ 41, 42, 43, 44 };
    s.m_bSmallMenu = 55;
    s.m_menuIconColumnColor = 0x66;
    EXPECT_TRUE(s.Load(path.c_str()));
    EXPECT_EQ(150, s.m_nTitleWidth);                      // read before the cut
    EXPECT_EQ(0xFF102030u, s.m_titleStyle.m_textColor);   // so was the start of the title
    EXPECT_EQ(41, s.m_titleMargins.cxLeftWidth);          // not reached
    EXPECT_EQ(55, s.m_bSmallMenu);
    EXPECT_EQ(0x66u, s.m_menuIconColumnColor);            // the fixed values are not applied
    EXPECT_NE(std::wstring::npos,
              log.Text().find(L"[ERR!] style load exception:CStyleArchiver overrun"));
}

TEST(TarneloStyleInfo, EveryPrefixLoadsWithoutHarm)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"style.ser");
    const Bytes whole = MakeStyleFile(1002);
    for (size_t n = 0; n <= whole.size(); ++n) {
        ASSERT_TRUE(StyleTest::WriteBytes(path, Bytes(whole.begin(), whole.begin() + n)));
        CTarneloStyleInfo s;
        EXPECT_TRUE(s.Load(path.c_str())) << n;
        if (n == whole.size())
            ExpectCommonRowsOfMadeFile(s);
    }
}

TEST(TarneloStyleInfo, RandomlyDamagedFilesLoadWithoutHarm)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"style.ser");
    const Bytes base = MakeStyleFile(1002);
    const uint32_t specials[] = { 0, 1, 2, 0xFFFFFFFF, 0xFFFFFFFE, 0x7FFFFFFF, 0x80000000,
                                  0x7FFFFFF0, 1000, 1001, 1002, 0x10000 };
    std::mt19937 random(20261207);
    MeasureWindow window;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = base;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            switch (random() % 5) {
            case 0:  // one random byte
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
                break;
            case 1: {  // one word set to an awkward value
                if (bytes.size() < 4)
                    break;
                const size_t at = (random() % (bytes.size() / 4)) * 4;
                const uint32_t v = specials[random() % (sizeof(specials) / sizeof(specials[0]))];
                for (int i = 0; i < 4; ++i)
                    bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
                break;
            }
            case 2:  // cut
                bytes.resize(random() % (bytes.size() + 1));
                if (bytes.empty())
                    bytes.push_back(0);
                break;
            case 3:  // random tail
                for (int i = static_cast<int>(random() % 40); i > 0; --i)
                    bytes.push_back(static_cast<uint8_t>(random()));
                break;
            default:  // all random
                for (auto& b : bytes)
                    b = static_cast<uint8_t>(random());
                break;
            }
        }
        ASSERT_TRUE(StyleTest::WriteBytes(path, bytes));
        CTarneloStyleInfo s;
        ASSERT_TRUE(s.Load(path.c_str())) << round;
        if (round % 50 == 0) {
            // Whatever was read can be measured and saved again.
            s.m_nKind = 0;
            s.m_nIconDisplay = 2;
            const SIZE size = s.GetBoxSize(window.Get());
            EXPECT_GT(size.cy, 0) << round;
            EXPECT_TRUE(s.Save(folder.File(L"again.ser").c_str())) << round;
        }
    }
}

TEST(TarneloStyleInfo, EverySizeOutOfRangeInTheFileIsBoundedAndLoggedButNotWrittenBack)
{
    TempFolder folder;
    LogToFolder log(folder.Path());
    const std::wstring path = folder.File(L"style.ser");
    const SIZE area = Model::GetWorkAreaSize();
    ASSERT_GT(area.cx, 200);
    ASSERT_GT(area.cy, 200);
    struct Field
    {
        const char* name;
        int& (*at)(CTarneloStyleInfo&);
        int low;
        int high;
    };
    // The defaults show the icon in a cell 24 wide: the title has the rest of the work area.
    const Field fields[] = {
        { "kind", [](CTarneloStyleInfo& s) -> int& { return s.m_nKind; }, 0, 0 },
        { "cell width", [](CTarneloStyleInfo& s) -> int& { return s.m_nIconCellWidth; }, 16, area.cx - 40 },
        { "cell height", [](CTarneloStyleInfo& s) -> int& { return s.m_nIconCellHeight; }, 16, area.cy },
        { "title width", [](CTarneloStyleInfo& s) -> int& { return s.m_nTitleWidth; }, 40, area.cx - 24 },
        { "left margin", [](CTarneloStyleInfo& s) -> int& { return s.m_titleMargins.cxLeftWidth; }, 0, 100 },
        { "right margin", [](CTarneloStyleInfo& s) -> int& { return s.m_titleMargins.cxRightWidth; }, 0, 100 },
        { "top margin", [](CTarneloStyleInfo& s) -> int& { return s.m_titleMargins.cyTopHeight; }, 0, 100 },
        { "bottom margin", [](CTarneloStyleInfo& s) -> int& { return s.m_titleMargins.cyBottomHeight; }, 0, 100 },
        { "font size", [](CTarneloStyleInfo& s) -> int& { return s.m_titleStyle.m_nFontSize; }, 1, 256 },
        { "outline", [](CTarneloStyleInfo& s) -> int& { return s.m_titleStyle.m_nOutlineThickness; }, 0, 100 },
        { "shadow", [](CTarneloStyleInfo& s) -> int& { return s.m_titleStyle.m_nShadowThickness; }, 0, 100 },
    };
    const int values[] = { INT_MIN, -1000, -1, 0, 1, 20, 100000, INT_MAX };
    for (const Field& field : fields) {
        for (const int value : values) {
            CTarneloStyleInfo written;
            field.at(written) = value;
            written.m_titleStyle.m_shadowOffset = POINT{ value, value };
            ASSERT_TRUE(written.Save(path.c_str()));
            const Bytes stored = StyleTest::ReadBytes(path);
            CTarneloStyleInfo loaded;
            ASSERT_TRUE(loaded.Load(path.c_str()));
            const int expected = value < field.low ? field.low : (value > field.high ? field.high : value);
            EXPECT_EQ(expected, field.at(loaded)) << field.name << " " << value;
            const LONG offset = value < -100 ? -100 : (value > 100 ? 100 : value);
            EXPECT_EQ(offset, loaded.m_titleStyle.m_shadowOffset.x) << value;
            EXPECT_EQ(offset, loaded.m_titleStyle.m_shadowOffset.y) << value;
            EXPECT_EQ(stored, StyleTest::ReadBytes(path)) << "the file is left as it is";
        }
    }
    EXPECT_NE(std::wstring::npos, log.Text().find(L"[warn] style.ser: title width -1000 out of range, taken as 40"));
}

TEST(TarneloStyleInfo, TheNarrowestBoxIsTheIconCellAndTheNarrowestTitle)
{
    CTarneloStyleInfo style;
    style.m_nIconDisplay = 0;
    style.m_nIconCellWidth = 40;
    EXPECT_EQ(40 + Model::kMinimumTitleWidth, Model::GetMinimumBoxWidth(style));
    // Icon hidden: the cell takes no room.
    style.m_nIconDisplay = 2;
    EXPECT_EQ(Model::kMinimumTitleWidth, Model::GetMinimumBoxWidth(style));
    // A damaged style with a negative cell does not lower the minimum.
    style.m_nIconDisplay = 0;
    style.m_nIconCellWidth = -500;
    EXPECT_EQ(Model::kMinimumTitleWidth, Model::GetMinimumBoxWidth(style));
}

TEST(TarneloStyleInfo, SaveReplacesTheFileAndLeavesNoTemporaryFile)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"style.ser");
    EXPECT_EQ(CString(path.c_str()), CTarneloStyleInfo::FilePath(folder.Path().c_str()));
    ASSERT_TRUE(StyleTest::WriteBytes(path, Bytes(500, 0xAB)));
    CTarneloStyleInfo s;
    UseArial(s);
    ASSERT_TRUE(s.Save(path.c_str()));
    EXPECT_EQ(kDefaultFile, StyleTest::ReadBytes(path));
    EXPECT_FALSE(StyleTest::Exists(path + L".temp"));
}

TEST(TarneloStyleInfo, FailedSaveKeepsTheOldFile)
{
    TempFolder folder;
    LogToFolder log(folder.Path());
    const std::wstring path = folder.File(L"style.ser");
    const Bytes old = MakeStyleFile(1001);
    ASSERT_TRUE(StyleTest::WriteBytes(path, old));

    CTarneloStyleInfo s;
    s.m_nTitleWidth = 321;

    // A read-only file is not replaced.
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(s.Save(path.c_str()));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(old, StyleTest::ReadBytes(path));
    EXPECT_FALSE(StyleTest::Exists(path + L".temp"));
    EXPECT_NE(std::wstring::npos, log.Text().find(L"[warn] save style failed ("));

    // A record too large for the write buffer is not written in part.
    s.m_titleStyle.m_strFontFace = CString(L'x', 6000);
    EXPECT_FALSE(s.Save(path.c_str()));
    EXPECT_EQ(old, StyleTest::ReadBytes(path));
    EXPECT_FALSE(StyleTest::Exists(path + L".temp"));
    EXPECT_NE(std::wstring::npos,
              log.Text().find(L"[ERR!] style save exception:CStyleArchiver overrun"));

    // A folder that does not exist.
    s.m_titleStyle.m_strFontFace = L"Arial";
    EXPECT_FALSE(s.Save(folder.File(L"missing\\style.ser").c_str()));
    // A target that is a folder.
    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"adir").c_str(), nullptr));
    EXPECT_FALSE(s.Save(folder.File(L"adir").c_str()));
    EXPECT_FALSE(StyleTest::Exists(folder.File(L"adir.temp")));
    EXPECT_FALSE(s.Save(L""));
}

TEST(TarneloStyleInfo, BoxColourAndIcon)
{
    CTarneloStyleInfo s;
    EXPECT_EQ(0x804682B4u, s.GetBoxColor());
    s.SetBoxColor(RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(0x80112233u, s.m_iconBackColor);
    EXPECT_EQ(0x80112233u, s.GetBoxColor());
    s.m_iconBackColor = 0x00FFFFFF;
    s.SetBoxColor(RGB(0xA0, 0xB0, 0xC0));
    EXPECT_EQ(0x00A0B0C0u, s.m_iconBackColor);
    EXPECT_TRUE(s.HasBoxIcon());

    s.m_nKind = 1;
    s.SetBoxColor(RGB(1, 2, 3));
    EXPECT_EQ(0x00A0B0C0u, s.m_iconBackColor);
    EXPECT_EQ(0u, s.GetBoxColor());
    EXPECT_FALSE(s.HasBoxIcon());
    s.m_nKind = 2;
    EXPECT_TRUE(s.HasBoxIcon());
    s.m_nKind = 3;
    EXPECT_FALSE(s.HasBoxIcon());
}

TEST(TarneloStyleInfo, MeasureBox)
{
    MeasureWindow window;
    ASSERT_NE(nullptr, window.Get());
    CTarneloStyleInfo s;
    int cx = 0, cy = 0;
    s.MeasureBox(cx, cy, window.Get());
    EXPECT_EQ(124, cx);
    EXPECT_EQ(24, cy);
    const SIZE size = s.GetBoxSize(window.Get());
    EXPECT_EQ(124, size.cx);
    EXPECT_EQ(24, size.cy);

    s.m_nIconDisplay = 0;
    s.m_nIconCellWidth = 40;
    s.m_nIconCellHeight = 36;
    s.MeasureBox(cx, cy, window.Get());
    EXPECT_EQ(140, cx);
    EXPECT_EQ(36, cy);

    // Kinds other than 0 leave the outputs alone.
    s.m_nKind = 1;
    cx = -7;
    cy = -8;
    s.MeasureBox(cx, cy, window.Get());
    EXPECT_EQ(-7, cx);
    EXPECT_EQ(-8, cy);
}

TEST(TarneloStyleInfo, MeasureBoxWithoutIconMeasuresTheTitleFont)
{
    MeasureWindow window;
    ASSERT_NE(nullptr, window.Get());
    CTarneloStyleInfo s;
    s.m_nIconDisplay = 2;
    s.m_titleStyle.m_strFontFace = L"Arial";
    int cx = 0, cy = 0;
    s.MeasureBox(cx, cy, window.Get());
    EXPECT_EQ(100, cx);
    // 14 points is about 19 pixels of em at 96 dpi; the line is a little taller.
    EXPECT_GE(cy, 15);
    EXPECT_LE(cy, 40);
    const int arial = cy;

    // Bigger type, taller box.
    s.m_titleStyle.m_nFontSize = 28;
    s.MeasureBox(cx, cy, window.Get());
    EXPECT_GT(cy, arial);

    // Without a window the screen measures the same.
    s.m_titleStyle.m_nFontSize = 14;
    s.MeasureBox(cx, cy, nullptr);
    EXPECT_EQ(arial, cy);

    // A face that is not installed is measured with a generic sans-serif family.
    s.m_titleStyle.m_strFontFace = L"No Such Face Tarnelo";
    cy = 0;
    s.MeasureBox(cx, cy, window.Get());
    EXPECT_GE(cy, 10);
    EXPECT_LE(cy, 40);

    // A size no font can have still gives a box that can be seen.
    s.m_titleStyle.m_nFontSize = -5;
    cy = 0;
    s.MeasureBox(cx, cy, window.Get());
    EXPECT_GT(cy, 0);
}

// Run as a child process by the test below: reports the face rule's inputs and result.
TEST(StyleFaceRuleChild, ReportsTheDefaultFaces)
{
    wchar_t out[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"TARNELO_STYLE_FACE_OUT", out, MAX_PATH))
        GTEST_SKIP() << "only run as a child process";
    CTarneloStyleInfo s;
    int major = 0;
    GetOSInfo(nullptr, nullptr, &major, nullptr);
    const CString report = FormatString(L"%d %d|%s|%s", GetUILanguage(), major,
                                        s.m_titleStyle.m_strFontFace.GetString(),
                                        s.m_strMenuFontFace.GetString());
    Bytes bytes(reinterpret_cast<const uint8_t*>(report.GetString()),
                reinterpret_cast<const uint8_t*>(report.GetString()) + report.GetLength() * 2);
    // Written aside and renamed, so the waiting parent never reads half a report.
    const std::wstring part = std::wstring(out) + L".part";
    ASSERT_TRUE(StyleTest::WriteBytes(part, bytes));
    ASSERT_TRUE(::MoveFileExW(part.c_str(), out, MOVEFILE_REPLACE_EXISTING));
}

TEST(TarneloStyleInfo, JapaneseUiOnWindows6UsesMeiryoUi)
{
    // Wine takes a process's UI language from its Unix locale, fixed at start-up. Wine runs
    // a Unix program given to CreateProcessW natively, so "env" can start this executable
    // again under a Japanese locale. Elsewhere there is no such program and the test skips.
    const wchar_t envProgram[] = L"Z:\\usr\\bin\\env";
    if (!StyleTest::Exists(envProgram))
        GTEST_SKIP() << "needs Wine's Unix side to start a process in another locale";
    TempFolder folder;
    const std::wstring out = folder.File(L"face.txt");
    wchar_t exe[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    std::wstring command = L"/usr/bin/env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 \"TARNELO_STYLE_FACE_OUT=" +
                           out + L"\" wine \"" + exe + L"\" --gtest_filter=StyleFaceRuleChild.*";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessW(envProgram, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // A Unix process's handle does not follow its life: wait for the report itself.
    for (int i = 0; i < 1200 && !StyleTest::Exists(out); ++i)
        ::Sleep(50);

    const Bytes bytes = StyleTest::ReadBytes(out);
    const std::wstring report(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    ASSERT_FALSE(report.empty());
    if (report.rfind(L"0 ", 0) != 0)
        GTEST_SKIP() << "no Japanese locale on this machine: " << std::string(report.begin(), report.end());
    // Wine reports Windows 6.1.
    EXPECT_EQ(L"0 6|Meiryo UI|Meiryo UI", report);
}
