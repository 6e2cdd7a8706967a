// The program's resources read back as the program reads them: strings and menus in
// English and in Japanese, the menu icons, the application icon and the version.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

struct StringEntry {
    UINT id;
    const wchar_t* english;
    const wchar_t* japanese;
};

// Every string of the table with its text in both languages.
const StringEntry kStrings[] = {
    {139, L"Delete this box?", L"このBOXを削除しますか？"},
    {140, L"You can't delete last one.", L"最後のBOXを削除することはできません。"},
    {142, L"Exit this application?", L"アプリケーションを終了します。よろしいですか？"},
    {143, L"No file registered, Drop file here to register.",
     L"ファイルが登録されていません。ファイルをドロップして登録してください。"},
    {144, L"Delete this item registration?", L"このファイルの登録を削除しますか？"},
    {145, L"Show file extension.", L"ファイルの拡張子を表示する"},
    {146, L"Open item with mouse hover.", L"マウスカーソルをかざしてファイルリストを開く"},
    {150, L"Select \u201DMy Icons\u201D first, then drop your icon file.",
     L"\u201DMy Icons\u201Dを選択してからアイコンを追加してください。"},
    {151, L"Available icon formats are 32x32 or 16x16, PNG image.",
     L"アイコンは32x32または16x16のPNGファイルのみ追加できます。"},
    {152, L"Can't load icon file.", L"アイコンファイルがロードできません。"},
    {153, L"Font size must be greater than zero.", L"フォントサイズに1以上を設定してください。"},
    {154, L"Got it.", L"登録しました"},
    {155, L"Abort setup?", L"初期設定を中止しますか？"},
    {156, L"Done", L"完了"},
    {157, L"Next", L"次へ"},
    {158, L"Would you like to delete shortcut when you registered shortcut on desktop?",
     L"デスクトップ上のショートカットを登録した場合に、そのショートカットをデスクトップから削除しますか？"},
    {159, L"Delete shortcut on desktop after registered it",
     L"デスクトップ上のショートカットを登録した後は削除する"},
    {161, L"Add Box", L"BOXの追加"},
    {163, L"Check latest version.", L"最新バージョンをチェック"},
    {164, L"Auto", L"自動"},
    {165, L"Other color...", L"他の色..."},
    {167, L"Check latest version periodically", L"定期的に最新バージョンをチェックする"},
    {168, L"Can't open file location", L"ファイルの場所が開けません"},
    {169, L"Can't rename: the name is empty or used by another item.",
     L"名前を変更できません。名前が空か、ほかの項目で使われています。"},
    {170,
     L"The box file could not be read whole. It is kept as %s.\nThe box file could not be read whole nor copied. "
     L"Changes are not saved to %s until the next start.",
     L"BOXファイルを最後まで読み込めませんでした。元のファイルは %s として保存しました。\n"
     L"BOXファイルを最後まで読み込めず、コピーもできませんでした。次に起動するまで %s には保存しません。"},
    {171,
     L"%s could not be saved: %s\nYour changes stay in use. Tarnelo saves them again by itself as soon as it can, "
     L"and once more when it ends; if they cannot be kept, you are told.",
     L"%s に保存できませんでした: %s\n変更はそのまま使われます。保存できるようになりしだい自動で保存し直し、"
     L"終了するときにももう一度保存します。保存できなかった場合はお知らせします。"},
    {190,
     L"The settings file %s could not be read: %s\nTarnelo runs with the default settings and does not save over "
     L"that file until its next start, so settings changed now are not kept.",
     L"設定ファイル %s を読み込めませんでした: %s\n既定の設定で動作し、次に起動するまでこのファイルには保存しません。"
     L"このため、今変更した設定は保存されません。"},
    {191, L"These files could not be saved, so your changes to them are not kept:\n%s",
     L"次のファイルに保存できなかったため、変更は保存されません:\n%s"},
};

// One menu entry as read back: separators have id 0 and no text; a submenu lists
// its entries.
struct MenuEntry {
    UINT id = 0;
    std::wstring text;
    bool separator = false;
    bool checked = false;
    std::vector<MenuEntry> children;
};

MenuEntry Item(UINT id, const wchar_t* text, bool checked = false)
{
    MenuEntry e;
    e.id = id;
    e.text = text;
    e.checked = checked;
    return e;
}

MenuEntry Separator()
{
    MenuEntry e;
    e.separator = true;
    return e;
}

MenuEntry Popup(const wchar_t* text, std::vector<MenuEntry> children)
{
    MenuEntry e;
    e.text = text;
    e.children = std::move(children);
    return e;
}

std::vector<MenuEntry> BoxMenu(bool japanese)
{
    if (japanese) {
        return {Item(32781, L"  新しいBOX"), Item(32794, L"  編集"), Item(145, L"  削除"), Separator(),
                Popup(L"プログラムを登録", {Item(32811, L"スタートメニューから選ぶ"),
                                           Item(32812, L"Program Filesから選ぶ")}),
                Separator(), Item(32783, L"  位置・サイズを固定"), Item(32814, L"一括移動モード"),
                Item(32799, L"  整列"), Item(32784, L"  スタイル設定"), Item(32785, L"  オプション設定"),
                Separator(), Item(32786, L"  ヘルプ"), Item(32787, L"  バージョン情報"), Separator(),
                Item(32796, L"  終了")};
    }
    return {Item(32781, L"  New Box"), Item(32794, L"  Edit"), Item(145, L"  Delete"), Separator(),
            Popup(L"  Register Programs", {Item(32811, L"From \"Start menu\""),
                                           Item(32812, L"From \"Program Files\"")}),
            Separator(), Item(32783, L"  Fix position and size"), Item(32814, L"  Entirely move mode"),
            Item(32799, L"  Align boxies"), Item(32784, L"  Style"), Item(32785, L"  Options"), Separator(),
            Item(32786, L"  Help"), Item(32787, L"  Version"), Separator(), Item(32796, L"  Exit")};
}

std::vector<MenuEntry> ItemMenu(bool japanese)
{
    if (japanese) {
        return {Item(32800, L" 開く"), Item(32801, L" コピー"), Item(32817, L" 名前を変更する"),
                Item(32802, L" ファイルの場所を開く"), Separator(), Item(32805, L" 登録を削除"), Separator(),
                Item(32804, L" プロパティ")};
    }
    // The English Properties entry carries a check mark in the resource; the Japanese one does not.
    return {Item(32800, L" Open"), Item(32801, L" Copy"), Item(32817, L" Rename"),
            Item(32802, L" Open file location"), Separator(), Item(32805, L" Delete item"), Separator(),
            Item(32804, L" Properties", true)};
}

HINSTANCE Module()
{
    return GetModuleHandleW(nullptr);
}

std::wstring LoadText(UINT id)
{
    wchar_t buffer[512] = {};
    const int length = LoadStringW(Module(), id, buffer, static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, length > 0 ? length : 0);
}

std::vector<MenuEntry> ReadMenu(HMENU menu)
{
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            ADD_FAILURE() << "menu entry " << i << " cannot be read";
            continue;
        }
        MenuEntry e;
        e.separator = (info.fType & MFT_SEPARATOR) != 0;
        e.checked = (info.fState & MFS_CHECKED) != 0;
        if (!e.separator) {
            e.text = text;
        }
        if (info.hSubMenu) {
            e.children = ReadMenu(info.hSubMenu);
        } else if (!e.separator) {
            e.id = info.wID;
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

void ExpectMenu(const std::vector<MenuEntry>& actual, const std::vector<MenuEntry>& expected,
                const std::string& where)
{
    ASSERT_EQ(actual.size(), expected.size()) << where;
    for (size_t i = 0; i < expected.size(); ++i) {
        const std::string at = where + " entry " + std::to_string(i);
        EXPECT_EQ(actual[i].separator, expected[i].separator) << at;
        EXPECT_EQ(actual[i].id, expected[i].id) << at;
        EXPECT_EQ(actual[i].text, expected[i].text) << at;
        EXPECT_EQ(actual[i].checked, expected[i].checked) << at;
        ExpectMenu(actual[i].children, expected[i].children, at);
    }
}

// Loads a menu resource and checks its one top-level popup, the one the program shows.
void ExpectMenuResource(UINT id, const wchar_t* popupName, const std::vector<MenuEntry>& expected)
{
    HMENU menu = LoadMenuW(Module(), MAKEINTRESOURCEW(id));
    ASSERT_NE(menu, nullptr) << "menu " << id;
    const std::vector<MenuEntry> top = ReadMenu(menu);
    DestroyMenu(menu);
    ASSERT_EQ(top.size(), 1u) << "menu " << id;
    EXPECT_EQ(top[0].text, popupName);
    ExpectMenu(top[0].children, expected, "menu " + std::to_string(id));
}

void ExpectStringsAndMenus(bool japanese)
{
    for (const StringEntry& s : kStrings) {
        EXPECT_EQ(LoadText(s.id), japanese ? s.japanese : s.english) << "string " << s.id;
    }
    // The two web addresses are per language and must at least be web addresses.
    for (UINT id : {141u, 166u}) {
        const std::wstring address = LoadText(id);
        EXPECT_EQ(address.rfind(L"https://", 0), 0u) << "string " << id << ": " << std::string(address.begin(), address.end());
        EXPECT_NE(address.find(japanese ? L"/ja/" : L"/en/"), std::wstring::npos) << "string " << id;
    }
    ExpectMenuResource(129, L"_main_", BoxMenu(japanese));
    ExpectMenuResource(130, L"_popup_", ItemMenu(japanese));
}

bool ProcessUiIsJapanese()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

} // namespace

// ------------------------------------------------------------ this process's language

TEST(Resources, StringsAndMenusOfAnEnglishUi)
{
    if (ProcessUiIsJapanese()) {
        GTEST_SKIP() << "this process runs with a Japanese UI; the Japanese case covers it";
    }
    ExpectStringsAndMenus(false);
    // The marks around "My Icons" are U+201D on both sides, not ASCII quotes.
    const std::wstring s150 = LoadText(150);
    ASSERT_GE(s150.size(), 17u);
    EXPECT_EQ(s150[7], L'\u201D');
    EXPECT_EQ(s150[16], L'\u201D');
    EXPECT_EQ(LoadText(154), L"Got it.");
}

TEST(Resources, ThreadLocaleSwitchesToJapaneseStringsAndMenus)
{
    // The resource loader follows the thread locale, so a Japanese thread locale reads
    // the Japanese block whatever the process's UI language.
    const LCID previous = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
    ExpectStringsAndMenus(true);
    EXPECT_EQ(LoadText(154), L"登録しました");
    SetThreadLocale(previous);
}

// Runs only when tests/CMakeLists.txt starts this program once more with a Japanese or
// a French locale (Wine takes the UI language from the Unix locale of each process):
// TARNELO_RESOURCE_LANG names the UI language the process is to have, "ja" or "fr".
// A Japanese UI reads the Japanese resources, any other the English ones.
TEST(ResourcesInProcessLanguage, MatchesTheUiLanguage)
{
    const char* expected = std::getenv("TARNELO_RESOURCE_LANG");
    if (!expected) {
        GTEST_SKIP() << "runs as its own test with a Japanese or a French locale";
    }
    const std::string language = expected;
    const LANGID ui = GetUserDefaultUILanguage();
    ASSERT_TRUE(language == "ja" || language == "fr") << language;
    ASSERT_EQ(PRIMARYLANGID(ui), language == "ja" ? LANG_JAPANESE : LANG_FRENCH)
        << "UI language " << ui << ": the locale did not reach the process";
    ExpectStringsAndMenus(language == "ja");
    if (language == "ja") {
        EXPECT_EQ(LoadText(150), L"\u201DMy Icons\u201Dを選択してからアイコンを追加してください。");
        EXPECT_EQ(LoadText(154), L"登録しました");
    } else {
        EXPECT_EQ(LoadText(150), L"Select \u201DMy Icons\u201D first, then drop your icon file.");
        EXPECT_EQ(LoadText(154), L"Got it.");
    }
}

// ------------------------------------------------------------ icons, manifest, version

TEST(Resources, MenuIconsExistExactlyForTheirCommands)
{
    for (UINT id : {32781u, 145u, 32783u, 32799u, 32786u, 32794u, 32796u, 32800u, 32801u, 32805u}) {
        HICON icon = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_SHARED));
        ASSERT_NE(icon, nullptr) << "icon " << id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << "icon " << id;
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, 16) << "icon " << id;
        EXPECT_EQ(bitmap.bmHeight, info.hbmColor ? 16 : 32) << "icon " << id;
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    // Commands without an icon resource show none.
    for (UINT id : {32784u, 32785u, 32787u, 32811u, 32812u, 32814u, 32802u, 32804u, 32817u}) {
        EXPECT_EQ(LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_SHARED), nullptr) << "icon " << id;
    }
}

TEST(Resources, ApplicationIconHasThreeSizes)
{
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(128), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    const DWORD size = SizeofResource(Module(), found);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), found)));
    ASSERT_NE(data, nullptr);
    // Icon group: a 6-byte header (reserved, type 1, count), then 14 bytes per image.
    ASSERT_GE(size, 6u);
    const WORD count = *reinterpret_cast<const WORD*>(data + 4);
    ASSERT_EQ(count, 3);
    ASSERT_GE(size, 6u + 14u * count);
    std::vector<int> widths;
    for (WORD i = 0; i < count; ++i) {
        widths.push_back(data[6 + 14 * i]);
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 32, 48}));
    for (int px : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(128), IMAGE_ICON, px, px, 0));
        EXPECT_NE(icon, nullptr) << px;
        if (icon) DestroyIcon(icon);
    }
}

TEST(Resources, ManifestAndVersionArePresent)
{
    EXPECT_NE(FindResourceW(Module(), MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr);

    wchar_t exe[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe, 0, size, data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    // 1.0.1.2: the high and low words of the two numbers.
    EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(info->dwFileVersionLS, 0x00010002u);
    EXPECT_EQ(info->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(info->dwProductVersionLS, 0x00010002u);
}
