// The edit-box dialog run modally on a temporary icons folder: the set and icon it opens
// with, what OK and a double click give back, icons dropped on "My Icons" (the files they
// copy and the warnings they give), the colour button's close-up, the resize layout and the
// client size it keeps in "config.ini", and its templates.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <shlobj.h>  // DROPFILES

#include <algorithm>
#include <string>
#include <vector>

#include "core/Logger.h"
#include "core/ProcessFlags.h"
#include "dialogs/CSetBoxDlg.h"
#include "framework/AfxMessageBox.h"
#include "framework/TempFolder.h"
#include "TestDrop.h"
#include "model/CConfigInfo.h"
#include "resources/resource.h"
#include "dialogs/BoxDialogTestSupport.h"

using boxdlgtest::ChildRect;
using boxdlgtest::ModalScript;
using boxdlgtest::TextOf;

namespace {

const wchar_t kSet[] = L"150-outlined-icons-white";
const Gdiplus::ARGB kGreen = 0xFF00C000;

std::vector<std::wstring>& Warnings()
{
    static std::vector<std::wstring> asked;
    return asked;
}
int RecordWarning(const wchar_t* text, UINT)
{
    Warnings().push_back(text ? text : L"");
    return IDOK;
}

using testdrop::MakeDrop;

std::vector<std::wstring> ComboEntries(HWND combo)
{
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::vector<std::wstring> ListItems(HWND list)
{
    std::vector<std::wstring> items;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        ListView_GetItemText(list, i, 0, text, MAX_PATH);
        items.push_back(text);
    }
    return items;
}

std::wstring SelectedItem(HWND list)
{
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (selected < 0)
        return L"";
    wchar_t text[MAX_PATH] = {};
    ListView_GetItemText(list, selected, 0, text, MAX_PATH);
    return text;
}

void ChooseSet(HWND dialog, const wchar_t* set)
{
    const HWND combo = ::GetDlgItem(dialog, IDC_SETBOX_ICON_SET);
    const LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(set));
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETBOX_ICON_SET, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// One pixel of an image of the list's normal image list, as 0x00RRGGBB (alpha dropped).
DWORD ImagePixel(HWND list, int image, int x, int y)
{
    const HIMAGELIST images = ListView_GetImageList(list, LVSIL_NORMAL);
    IMAGEINFO info = {};
    if (!ImageList_GetImageInfo(images, image, &info))
        return 0xFFFFFFFF;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 1;
    bi.bmiHeader.biHeight = 1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    BITMAP bm = {};
    ::GetObjectW(info.hbmImage, sizeof(bm), &bm);
    std::vector<DWORD> row(static_cast<size_t>(bm.bmWidth));
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    const HDC dc = ::GetDC(nullptr);
    const int line = info.rcImage.top + y;
    std::vector<DWORD> all(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    ::GetDIBits(dc, info.hbmImage, 0, static_cast<UINT>(bm.bmHeight), all.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    return all[static_cast<size_t>(line) * static_cast<size_t>(bm.bmWidth) + static_cast<size_t>(info.rcImage.left + x)] &
           0xFFFFFF;
}

class SetBoxDlgTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_gdiplusToken, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_gdiplusToken); }

    void SetUp() override
    {
        m_logs = m_temp.File(L"logs");
        ::CreateDirectoryW(m_logs.c_str(), nullptr);
        LogInit(m_logs.c_str());
        m_icons = m_temp.File(L"icons");
        ::CreateDirectoryW(m_icons.c_str(), nullptr);
        ::CreateDirectoryW(SetPath(kSet).c_str(), nullptr);
        ::CreateDirectoryW(SetPath(L"My Icons").c_str(), nullptr);
        ::CreateDirectoryW(SetPath(L"zeta").c_str(), nullptr);
        ASSERT_TRUE(boxdlgtest::WritePng(SetPath(kSet) + L"\\squares.png", 32, 32, kGreen));
        ASSERT_TRUE(boxdlgtest::WritePng(SetPath(kSet) + L"\\circle.png", 32, 32, 0xFF0000FF));
        ASSERT_TRUE(boxdlgtest::WritePng(SetPath(kSet) + L"\\big.png", 48, 48, kGreen));
        ASSERT_TRUE(TempFolder::WriteBytes(SetPath(kSet) + L"\\notes.txt", { 'h', 'i' }));
        ASSERT_TRUE(TempFolder::WriteBytes(SetPath(kSet) + L"\\fake.png", { 'n', 'o', 't' }));
        ASSERT_TRUE(boxdlgtest::WritePng(SetPath(L"zeta") + L"\\tiny.png", 16, 16, kGreen));
        // A plain file beside the sets is no set.
        ASSERT_TRUE(TempFolder::WriteBytes(m_icons + L"\\ICONS-TERMS.txt", { 'x' }));

        m_drops = m_temp.File(L"drops");
        ::CreateDirectoryW(m_drops.c_str(), nullptr);
        m_configPath = m_temp.File(L"config.ini");
        m_config.m_strPath = m_configPath.c_str();
        Warnings().clear();
        AfxSetMessageBoxHook(&RecordWarning);
        g_bBoxDialogOpen = 0;
    }

    void TearDown() override
    {
        AfxSetMessageBoxHook(nullptr);
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, m_configPath.c_str());
    }

    std::wstring SetPath(const wchar_t* set) const { return m_icons + L"\\" + set; }

    void Prepare(CSetBoxDlg& dialog, const wchar_t* icon, bool withConfig = false)
    {
        dialog.m_strName = L"Apps";
        dialog.m_strIcon = icon;
        dialog.m_color = RGB(0x12, 0x34, 0x56);
        dialog.m_strIconsFolder = m_icons.c_str();
        dialog.m_pConfig = withConfig ? &m_config : nullptr;
    }

    // The client size of the template, as the dialog finds it before any resize.
    SIZE TemplateClientSize()
    {
        CSetBoxDlg dialog;
        Prepare(dialog, L"");
        ModalScript script;
        script.Click(IDCANCEL);
        script.Arm();
        dialog.DoModal();
        return SIZE{ dialog.m_nLastCx, dialog.m_nLastCy };
    }

    bool ConfigFileExists() const
    {
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, m_configPath.c_str());
        return ::GetFileAttributesW(m_configPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    int StoredInt(const wchar_t* key) const
    {
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, m_configPath.c_str());
        return static_cast<int>(::GetPrivateProfileIntW(L"editDialog", key, -1, m_configPath.c_str()));
    }
    std::string Logs() const
    {
        std::string all;
        for (int day = 1; day <= 7; ++day) {
            const std::vector<BYTE> bytes = TempFolder::ReadBytes(m_logs + L"\\Log" + std::to_wstring(day) + L".txt");
            all.append(bytes.begin(), bytes.end());
        }
        return all;
    }

    static ULONG_PTR s_gdiplusToken;
    TempFolder m_temp;
    std::wstring m_logs;
    std::wstring m_icons;
    std::wstring m_drops;
    std::wstring m_configPath;
    Model::CConfigInfo m_config;
};
ULONG_PTR SetBoxDlgTest::s_gdiplusToken = 0;

}  // namespace

TEST_F(SetBoxDlgTest, OpensOnTheBoxsSetWithItsIconSelectedAndOkGivesNameIconAndColourBack)
{
    CSetBoxDlg dialog;
    EXPECT_EQ(&dialog, g_pSetBoxDlg);
    Prepare(dialog, L"150-outlined-icons-white\\squares.png");
    std::vector<std::wstring> sets;
    std::vector<std::wstring> items;
    std::wstring chosenSet;
    std::wstring selected;
    std::wstring caption;
    std::wstring name;
    COLORREF background = 0;
    BOOL listEnabled = FALSE;
    BOOL hintShown = TRUE;
    BOOL flagDuring = FALSE;
    int images = 0;
    int iconCx = 0;
    int iconCy = 0;
    ModalScript script;
    script.Then([&](HWND dlg) {
              const HWND list = ::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST);
              sets = ComboEntries(::GetDlgItem(dlg, IDC_SETBOX_ICON_SET));
              chosenSet = TextOf(::GetDlgItem(dlg, IDC_SETBOX_ICON_SET));
              items = ListItems(list);
              selected = SelectedItem(list);
              caption = TextOf(dlg);
              name = TextOf(::GetDlgItem(dlg, IDC_SETBOX_NAME));
              background = ListView_GetBkColor(list);
              listEnabled = ::IsWindowEnabled(list);
              hintShown = ::IsWindowVisible(::GetDlgItem(dlg, IDC_SETBOX_DROP_HINT));
              flagDuring = g_bBoxDialogOpen;
              images = ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_NORMAL));
              ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_NORMAL), &iconCx, &iconCy);
              ::SetDlgItemTextW(dlg, IDC_SETBOX_NAME, L"Tools");
              return true;
          })
        .Click(IDOK);
    script.Arm();
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_FALSE(script.TimedOut());

    // Sub-folders only, sorted; the box's set chosen and its icon selected.
    EXPECT_EQ((std::vector<std::wstring>{ kSet, L"My Icons", L"zeta" }), sets);
    EXPECT_EQ(kSet, chosenSet);
    // The 48 x 48 picture, the text file and the file that is no PNG are left out.
    std::sort(items.begin(), items.end());
    EXPECT_EQ((std::vector<std::wstring>{ L"circle.png", L"squares.png" }), items);
    EXPECT_EQ(2, images);
    EXPECT_EQ(32, iconCx);
    EXPECT_EQ(32, iconCy);
    EXPECT_EQ(L"squares.png", selected);
    EXPECT_EQ(L"Edit box", caption);
    EXPECT_EQ(L"Apps", name);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), background);
    EXPECT_TRUE(listEnabled);
    EXPECT_FALSE(hintShown);
    EXPECT_TRUE(flagDuring);
    EXPECT_FALSE(g_bBoxDialogOpen);
    EXPECT_NE(std::string::npos, Logs().find("wroing icon size (48)"));

    EXPECT_STREQ(L"Tools", dialog.m_strName.GetString());
    EXPECT_STREQ(L"150-outlined-icons-white\\squares.png", dialog.m_strIcon.GetString());
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), dialog.m_color);
}

TEST_F(SetBoxDlgTest, AnotherIconOrAnotherSetIsWhatOkGivesAndCancelGivesNothing)
{
    {
        CSetBoxDlg dialog;
        Prepare(dialog, L"150-outlined-icons-white\\squares.png");
        ModalScript script;
        script.Then([&](HWND dlg) {
                  const HWND list = ::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST);
                  LVFINDINFOW find = { LVFI_STRING, L"circle.png", 0, {}, 0 };
                  const int index = ListView_FindItem(list, -1, &find);
                  ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
                  return true;
              })
            .Click(IDOK);
        script.Arm();
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_STREQ(L"150-outlined-icons-white\\circle.png", dialog.m_strIcon.GetString());
    }
    {
        // Another set shows its own icons (16 x 16 ones too); nothing chosen there: no icon.
        CSetBoxDlg dialog;
        Prepare(dialog, L"150-outlined-icons-white\\squares.png");
        std::vector<std::wstring> items;
        ModalScript script;
        script.Then([&](HWND dlg) {
                  ChooseSet(dlg, L"zeta");
                  items = ListItems(::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST));
                  return true;
              })
            .Click(IDOK);
        script.Arm();
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ((std::vector<std::wstring>{ L"tiny.png" }), items);
        EXPECT_STREQ(L"", dialog.m_strIcon.GetString());
    }
    {
        CSetBoxDlg dialog;
        Prepare(dialog, L"150-outlined-icons-white\\squares.png");
        ModalScript script;
        script.Then([&](HWND dlg) {
                  ::SetDlgItemTextW(dlg, IDC_SETBOX_NAME, L"Changed");
                  ChooseSet(dlg, L"zeta");
                  return true;
              })
            .Click(IDCANCEL);
        script.Arm();
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        EXPECT_STREQ(L"Apps", dialog.m_strName.GetString());
        EXPECT_STREQ(L"150-outlined-icons-white\\squares.png", dialog.m_strIcon.GetString());
    }
}

TEST_F(SetBoxDlgTest, AMissingSetOpensTheFirstSetWithNothingSelectedAndAddModeHasItsCaption)
{
    CSetBoxDlg dialog;
    Prepare(dialog, L"gone-set\\squares.png");
    dialog.m_bAddMode = TRUE;
    dialog.m_bIconEnabled = FALSE;
    std::wstring chosenSet;
    std::wstring selected = L"?";
    std::wstring caption;
    BOOL listEnabled = TRUE;
    ModalScript script;
    script.Then([&](HWND dlg) {
              chosenSet = TextOf(::GetDlgItem(dlg, IDC_SETBOX_ICON_SET));
              selected = SelectedItem(::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST));
              caption = TextOf(dlg);
              listEnabled = ::IsWindowEnabled(::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST));
              return true;
          })
        .Click(IDOK);
    script.Arm();
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(kSet, chosenSet);
    EXPECT_EQ(L"", selected);
    EXPECT_EQ(L"Add Box", caption);
    EXPECT_FALSE(listEnabled);
    EXPECT_STREQ(L"", dialog.m_strIcon.GetString());
    EXPECT_STREQ(L"Apps", dialog.m_strName.GetString());  // taken as it stands, even empty
}

TEST_F(SetBoxDlgTest, AnIconsFolderWithoutSetsShowsAnEmptyListAndGivesNoIcon)
{
    TempFolder empty;
    CSetBoxDlg dialog;
    Prepare(dialog, L"150-outlined-icons-white\\squares.png");
    dialog.m_strIconsFolder = (empty.Path() + L"\\missing").c_str();
    int sets = -1;
    int items = -1;
    ModalScript script;
    script.Then([&](HWND dlg) {
              sets = static_cast<int>(::SendDlgItemMessageW(dlg, IDC_SETBOX_ICON_SET, CB_GETCOUNT, 0, 0));
              items = ListView_GetItemCount(::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST));
              return true;
          })
        .Click(IDOK);
    script.Arm();
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0, sets);
    EXPECT_EQ(0, items);
    EXPECT_STREQ(L"", dialog.m_strIcon.GetString());
}

TEST_F(SetBoxDlgTest, ADoubleClickOnTheListIsOkAlsoOnEmptySpace)
{
    struct Case
    {
        bool onItem;
        const wchar_t* icon;
    };
    const Case cases[] = { { true, L"150-outlined-icons-white\\circle.png" }, { false, L"" } };
    for (const Case& c : cases) {
        CSetBoxDlg dialog;
        Prepare(dialog, L"150-outlined-icons-white\\squares.png");
        ModalScript script;
        script.Then([&](HWND dlg) {
            const HWND list = ::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST);
            POINT at = {};
            if (c.onItem) {
                LVFINDINFOW find = { LVFI_STRING, L"circle.png", 0, {}, 0 };
                RECT item = {};
                ListView_GetItemRect(list, ListView_FindItem(list, -1, &find), &item, LVIR_ICON);
                at = POINT{ (item.left + item.right) / 2, (item.top + item.bottom) / 2 };
            } else {
                RECT client = {};
                ::GetClientRect(list, &client);
                at = POINT{ client.right - 10, client.bottom - 10 };
            }
            const LPARAM point = MAKELPARAM(at.x, at.y);
            ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
            ::SendMessageW(list, WM_LBUTTONUP, 0, point);
            ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
            ::SendMessageW(list, WM_LBUTTONUP, 0, point);
            return true;
        });
        script.Arm();
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_FALSE(script.TimedOut());
        EXPECT_STREQ(c.icon, dialog.m_strIcon.GetString());
    }
}

TEST_F(SetBoxDlgTest, IconsDroppedOnMyIconsAreCopiedThereAndShownOthersAreRefused)
{
    const std::wstring small = m_drops + L"\\small.png";
    const std::wstring large = m_drops + L"\\large.png";
    const std::wstring broken = m_drops + L"\\broken.png";
    const std::wstring photo = m_drops + L"\\photo.jpg";
    ASSERT_TRUE(boxdlgtest::WritePng(small, 16, 16, kGreen));
    ASSERT_TRUE(boxdlgtest::WritePng(large, 48, 48, kGreen));
    ASSERT_TRUE(TempFolder::WriteBytes(broken, { 0x89, 'P', 'N', 'G', 0, 0 }));
    ASSERT_TRUE(boxdlgtest::WritePng(photo, 32, 32, kGreen));

    CSetBoxDlg dialog;
    Prepare(dialog, L"150-outlined-icons-white\\squares.png");
    std::vector<std::wstring> warnings;
    std::vector<std::wstring> afterSmall;
    std::vector<std::wstring> afterAll;
    BOOL hintOnMyIcons = FALSE;
    DWORD centre = 0;
    int images = 0;
    ModalScript script;
    script.Then([&](HWND dlg) {
              const HWND list = ::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST);
              // On another set any drop is refused.
              ::SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({ small })), 0);
              warnings = Warnings();
              Warnings().clear();

              ChooseSet(dlg, L"My Icons");
              hintOnMyIcons = ::IsWindowVisible(::GetDlgItem(dlg, IDC_SETBOX_DROP_HINT));
              ::SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({ small })), 0);
              afterSmall = ListItems(list);
              LVITEMW item = {};
              item.mask = LVIF_IMAGE;
              item.iItem = 0;
              ListView_GetItem(list, &item);
              centre = ImagePixel(list, item.iImage, 16, 16);

              // Too large, not loadable, filtered by its extension, and the same file again.
              ::SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({ large, broken, photo, small })), 0);
              afterAll = ListItems(list);
              images = ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_NORMAL));
              return true;
          })
        .Click(IDCANCEL);
    script.Arm();
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_FALSE(script.TimedOut());

    ASSERT_EQ(1u, warnings.size());
    EXPECT_EQ(L"Select ”My Icons” first, then drop your icon file.", warnings[0]);
    EXPECT_TRUE(hintOnMyIcons);
    EXPECT_EQ((std::vector<std::wstring>{ L"small.png" }), afterSmall);
    EXPECT_EQ(0x00C000u, centre);  // the 16 x 16 picture scaled up to the 32 x 32 cell
    EXPECT_EQ((std::vector<std::wstring>{ L"Available icon formats are 32x32 or 16x16, PNG image.",
                                          L"Can't load icon file." }),
              Warnings());
    EXPECT_EQ((std::vector<std::wstring>{ L"small.png" }), afterAll);
    EXPECT_LE(1, images);

    // Copied byte for byte; the refused ones are not there; cancel keeps the copy.
    EXPECT_EQ(TempFolder::ReadBytes(small), TempFolder::ReadBytes(SetPath(L"My Icons") + L"\\small.png"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((SetPath(L"My Icons") + L"\\large.png").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((SetPath(L"My Icons") + L"\\broken.png").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((SetPath(L"My Icons") + L"\\photo.jpg").c_str()));
}

TEST_F(SetBoxDlgTest, ADropWhoseCopyFailsShowsNothing)
{
    const std::wstring icon = m_drops + L"\\locked.png";
    ASSERT_TRUE(boxdlgtest::WritePng(icon, 32, 32, kGreen));
    // A folder where the copy should go makes the copy fail.
    ::CreateDirectoryW((SetPath(L"My Icons") + L"\\locked.png").c_str(), nullptr);
    CSetBoxDlg dialog;
    Prepare(dialog, L"My Icons\\none.png");
    int items = -1;
    ModalScript script;
    script.Then([&](HWND dlg) {
              const HWND list = ::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST);
              ::SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({ icon })), 0);
              items = ListView_GetItemCount(list);
              return true;
          })
        .Click(IDCANCEL);
    script.Arm();
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(0, items);
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(SetBoxDlgTest, TheColourButtonsCloseUpSetsTheColourAndAutoIsBlack)
{
    CSetBoxDlg dialog;
    Prepare(dialog, L"150-outlined-icons-white\\squares.png");
    COLORREF picked = 0;
    COLORREF automatic = 1;
    LRESULT answer = 0;
    ModalScript script;
    script.Then([&](HWND dlg) {
              const HWND list = ::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST);
              dialog.m_btnColor.SetColor(RGB(200, 10, 20));
              answer = ::SendMessageW(dlg, WM_COLOR_CLOSEUP, RGB(200, 10, 20), IDC_SETBOX_COLOR);
              picked = ListView_GetBkColor(list);
              dialog.m_btnColor.SetColor(COLOR_AUTOMATIC);
              ::SendMessageW(dlg, WM_COLOR_CLOSEUP, COLOR_AUTOMATIC, IDC_SETBOX_COLOR);
              automatic = ListView_GetBkColor(list);
              dialog.m_btnColor.SetColor(RGB(1, 2, 3));
              ::SendMessageW(dlg, WM_COLOR_CLOSEUP, RGB(1, 2, 3), IDC_SETBOX_COLOR);
              return true;
          })
        .Click(IDOK);
    script.Arm();
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, answer);
    EXPECT_EQ(RGB(200, 10, 20), picked);
    EXPECT_EQ(RGB(0, 0, 0), automatic);
    EXPECT_EQ(RGB(1, 2, 3), dialog.m_color);
}

TEST_F(SetBoxDlgTest, ResizingMovesTheControlsAndStoresTheClientSizeLater)
{
    const SIZE base = TemplateClientSize();
    ASSERT_GT(base.cx, 0);
    m_config.m_nEditDialogWidth = base.cx;
    m_config.m_nEditDialogHeight = base.cy;

    CSetBoxDlg dialog;
    Prepare(dialog, L"150-outlined-icons-white\\squares.png", true);
    int itemsAtOnce = -1;
    bool savedBeforeResize = true;
    RECT before[8] = {};
    RECT after[8] = {};
    const int ids[8] = { IDC_SETBOX_ICON_LIST, IDC_SETBOX_COLOR, IDC_SETBOX_BACKGROUND_LABEL, IDC_SETBOX_DROP_HINT,
                         IDOK, IDCANCEL, IDC_SETBOX_NAME, IDC_SETBOX_ICON_SET };
    std::wstring selectedAfter;
    int itemsAfter = -1;
    ModalScript script;
    script.Then([&](HWND dlg) {
              itemsAtOnce = ListView_GetItemCount(::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST));
              return true;
          })
        .Wait(800)
        .Then([&](HWND dlg) {
            savedBeforeResize = ConfigFileExists();
            for (int i = 0; i < 8; ++i)
                before[i] = ChildRect(dlg, ids[i]);
            RECT window = {};
            ::GetWindowRect(dlg, &window);
            ::SetWindowPos(dlg, nullptr, 0, 0, window.right - window.left + 40, window.bottom - window.top + 40,
                           SWP_NOMOVE | SWP_NOZORDER);
            for (int i = 0; i < 8; ++i)
                after[i] = ChildRect(dlg, ids[i]);
            // The selection moves away; the reload after the resize brings it back.
            ListView_SetItemState(::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST), -1, 0, LVIS_SELECTED);
            return true;
        })
        .Then([&](HWND) { return StoredInt(L"width") != -1; })
        .Then([&](HWND dlg) {
            const HWND list = ::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST);
            selectedAfter = SelectedItem(list);
            itemsAfter = ListView_GetItemCount(list);
            return true;
        })
        .Click(IDCANCEL);
    script.Arm();
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_FALSE(script.TimedOut());

    // The template's own size: the icons at once and nothing saved.
    EXPECT_EQ(2, itemsAtOnce);
    EXPECT_FALSE(savedBeforeResize);

    auto expectShift = [&](int i, int dl, int dt, int dr, int db) {
        EXPECT_EQ(before[i].left + dl, after[i].left) << "control " << ids[i];
        EXPECT_EQ(before[i].top + dt, after[i].top) << "control " << ids[i];
        EXPECT_EQ(before[i].right + dr, after[i].right) << "control " << ids[i];
        EXPECT_EQ(before[i].bottom + db, after[i].bottom) << "control " << ids[i];
    };
    expectShift(0, 0, 0, 40, 40);    // the icon list grows
    expectShift(1, 40, 0, 40, 0);    // the colour button and its label follow the right edge
    expectShift(2, 40, 0, 40, 0);
    expectShift(3, 0, 40, 0, 40);    // the drop hint follows the bottom edge
    expectShift(4, 40, 40, 40, 40);  // OK and Cancel follow the corner
    expectShift(5, 40, 40, 40, 40);
    expectShift(6, 0, 0, 0, 0);      // the name and the set list stay
    expectShift(7, 0, 0, 0, 0);

    EXPECT_EQ(base.cx + 40, StoredInt(L"width"));
    EXPECT_EQ(base.cy + 40, StoredInt(L"height"));
    EXPECT_EQ(base.cx + 40, m_config.m_nEditDialogWidth);
    EXPECT_EQ(base.cy + 40, m_config.m_nEditDialogHeight);
    EXPECT_EQ(L"squares.png", selectedAfter);
    EXPECT_EQ(2, itemsAfter);
}

TEST_F(SetBoxDlgTest, OpensAtTheStoredClientSizeAndADamagedSizeIsBroughtIntoRange)
{
    const SIZE base = TemplateClientSize();
    struct Case
    {
        int width;
        int height;
        int expectWidth;
        int expectHeight;
    };
    const Case cases[] = {
        { base.cx + 60, base.cy + 30, base.cx + 60, base.cy + 30 },
        { -500, 20, base.cx, base.cy },  // below the template: the template's size
        { base.cx - 50, base.cy + 30, base.cx, base.cy + 30 },
        { 100000, 100000, 0, 0 },  // as large as the work area, and whole on it
    };
    RECT area = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    for (const Case& c : cases) {
        ::DeleteFileW(m_configPath.c_str());
        m_config.m_nEditDialogWidth = c.width;
        m_config.m_nEditDialogHeight = c.height;
        CSetBoxDlg dialog;
        Prepare(dialog, L"150-outlined-icons-white\\squares.png", true);
        SIZE client = {};
        RECT window = {};
        int itemsLater = -1;
        ModalScript script;
        script.Then([&](HWND dlg) {
                  RECT r = {};
                  ::GetClientRect(dlg, &r);
                  client = SIZE{ r.right, r.bottom };
                  ::GetWindowRect(dlg, &window);
                  return true;
              })
            .Then([&](HWND dlg) {
                itemsLater = ListView_GetItemCount(::GetDlgItem(dlg, IDC_SETBOX_ICON_LIST));
                return StoredInt(L"width") != -1;
            })
            .Click(IDCANCEL);
        script.Arm();
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(c.expectWidth ? c.expectWidth : client.cx, client.cx);
        EXPECT_EQ(c.expectHeight ? c.expectHeight : client.cy, client.cy);
        EXPECT_TRUE(window.left >= area.left && window.top >= area.top && window.right <= area.right &&
                    window.bottom <= area.bottom);
        EXPECT_EQ(client.cx, StoredInt(L"width"));
        EXPECT_EQ(client.cy, StoredInt(L"height"));
        EXPECT_EQ(2, itemsLater);
    }
}

TEST_F(SetBoxDlgTest, TheDropCallbackReachesOnlyALiveDialog)
{
    CString path = L"C:\\nowhere\\x.png";
    UINT kind = 128;
    {
        CSetBoxDlg first;
        CSetBoxDlg second;
        EXPECT_EQ(&second, g_pSetBoxDlg);
    }
    EXPECT_EQ(nullptr, g_pSetBoxDlg);
    EXPECT_EQ(0u, CSetBoxDlg::OnIconFileDropped(nullptr, path, kind));
    EXPECT_TRUE(Warnings().empty());

    EXPECT_EQ(L"Edit box", boxdlgtest::TemplateCaption(IDD_SET_BOX, MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL)));
    EXPECT_EQ(L"BOXの編集", boxdlgtest::TemplateCaption(IDD_SET_BOX, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
}
