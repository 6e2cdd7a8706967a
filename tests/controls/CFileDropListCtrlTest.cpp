// The file drop list fed with drop handles built in the test process (the shell's own drops
// do not cross processes under Wine): what each mode accepts, shortcuts counted as their
// targets, duplicates, the callback, names longer than MAX_PATH, and OLE start-up.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <thread>
#include <vector>

#include "controls/CFileDropListCtrl.h"
#include "controls/ControlsTestSupport.h"
#include "core/ShellHelpers.h"
#include "framework/AfxMessageBox.h"
#include "framework/TempFolder.h"
#include "TestDrop.h"

using namespace ControlsTest;

namespace {

using testdrop::MakeDrop;

struct CallbackCall
{
    std::wstring path;
    UINT kind;
};
std::vector<CallbackCall> g_calls;

UINT RecordCallback(CFileDropListCtrl*, CString& path, UINT& kind)
{
    g_calls.push_back({ path.GetString(), kind });
    return 0;
}

class ProbeList : public CFileDropListCtrl
{
public:
    using CFileDropListCtrl::m_bOleInitialised;
};

class FileDropListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_LISTVIEW_CLASSES };
        ::InitCommonControlsEx(&icc);
        ASSERT_TRUE(parent.Create(100, 100, 300, 200));
        const HWND hWnd = ::CreateWindowExW(WS_EX_ACCEPTFILES, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_LIST, 0,
                                            0, 280, 180, parent, reinterpret_cast<HMENU>(1050),
                                            ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, hWnd);
        ASSERT_TRUE(list.SubclassWindow(hWnd));

        png = folder.File(L"Icon.PNG");
        jpg = folder.File(L"photo.jpg");
        sub = folder.File(L"sub");
        ASSERT_TRUE(TempFolder::WriteBytes(png, { 0x89, 'P', 'N', 'G' }));
        ASSERT_TRUE(TempFolder::WriteBytes(jpg, { 0xFF, 0xD8 }));
        ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    }

    void Drop(const std::vector<std::wstring>& paths)
    {
        ::SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }
    std::vector<std::wstring> Items()
    {
        std::vector<std::wstring> items;
        for (int i = 0; i < list.GetItemCount(); ++i)
            items.push_back(list.GetItemText(i, 0).GetString());
        return items;
    }
    void UsePngCallback()
    {
        ASSERT_TRUE(list.SetDropMode({ DL_ACCEPT_FILES | DL_FILTER_EXTENSION | DL_USE_CALLBACK, L".png", &RecordCallback }));
        ASSERT_EQ(49u, list.GetMask());
    }

    TempFolder folder;
    std::wstring png, jpg, sub;
    CParentWnd parent;
    ProbeList list;
};

}  // namespace

TEST_F(FileDropListTest, PngCallbackModeTakesOnlyPngFiles)
{
    UsePngCallback();
    Drop({ sub, jpg, folder.File(L"missing.png"), png });
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(png, g_calls[0].path);
    EXPECT_EQ(static_cast<UINT>(DL_FILE_TYPE), g_calls[0].kind);
    EXPECT_EQ(0, list.GetItemCount());  // the callback, not the list, got it
}

TEST_F(FileDropListTest, ShortcutCountsAsItsTarget)
{
    UsePngCallback();
    const std::wstring link = folder.File(L"icon link.lnk");
    ASSERT_TRUE(CreateShortcut(png.c_str(), link.c_str()));
    Drop({ link });
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(0, lstrcmpiW(png.c_str(), g_calls[0].path.c_str()));

    // A file that merely looks like a shortcut is taken as it is (and refused here).
    const std::wstring fake = folder.File(L"fake.lnk");
    ASSERT_TRUE(TempFolder::WriteBytes(fake, { 'n', 'o', 't' }));
    Drop({ fake });
    EXPECT_EQ(1u, g_calls.size());
}

TEST_F(FileDropListTest, DefaultModeListsFilesAndFoldersOnce)
{
    EXPECT_EQ(3u, list.GetMask());
    Drop({ png, sub });
    Drop({ png });
    const std::vector<std::wstring> expected = { sub, png };  // the newest on top
    EXPECT_EQ(expected, Items());
    EXPECT_EQ(-1, list.InsertPathItem(png.c_str()));
}

TEST_F(FileDropListTest, DuplicatesWhenAllowedNewestOnTop)
{
    ASSERT_TRUE(list.SetDropMode({ DL_ACCEPT_FILES | DL_ACCEPT_FOLDERS | DL_ALLOW_DUPLICATES, L"", nullptr }));
    Drop({ png });
    Drop({ jpg });
    Drop({ png });
    const std::vector<std::wstring> expected = { png, jpg, png };
    EXPECT_EQ(expected, Items());
}

TEST_F(FileDropListTest, FoldersOnlyAndFilesOnly)
{
    for (UINT mask : { DL_ACCEPT_FOLDERS, DL_ACCEPT_FILES }) {
        list.DeleteAllItems();
        ASSERT_TRUE(list.SetDropMode({ mask, L"", nullptr }));
        Drop({ jpg, sub });
        EXPECT_EQ(std::vector<std::wstring>{ mask == DL_ACCEPT_FOLDERS ? sub : jpg }, Items());
    }
}

TEST_F(FileDropListTest, CallbackModeWithoutCallbackIsRefused)
{
    UsePngCallback();
    EXPECT_FALSE(list.SetDropMode({ DL_ACCEPT_FILES | DL_USE_CALLBACK, L"", nullptr }));
    EXPECT_EQ(49u, list.GetMask());
    Drop({ png, jpg });
    ASSERT_EQ(1u, g_calls.size());  // the earlier mode is still in force
    EXPECT_EQ(png, g_calls[0].path);
}

TEST_F(FileDropListTest, NamesLongerThanMaxPathArriveWhole)
{
    std::wstring deep = folder.Path();
    while (deep.size() < 300) {
        deep += L"\\a_rather_long_folder_name_for_a_deep_tree";
        if (!::CreateDirectoryW(deep.c_str(), nullptr))
            GTEST_SKIP() << "this file system does not take long paths";
    }
    Drop({ deep });
    ASSERT_EQ(1, list.GetItemCount());
    EXPECT_EQ(deep, Items()[0]);
    // Remove the deep tree from the bottom up: the folder's own cleanup may not reach it.
    while (deep.size() > folder.Path().size()) {
        ::RemoveDirectoryW(deep.c_str());
        deep.resize(deep.rfind(L'\\'));
    }
}

TEST_F(FileDropListTest, CreatedControlAcceptsDrops)
{
    ProbeList created;
    EXPECT_TRUE(created.m_bOleInitialised);
    ASSERT_TRUE(created.CreateEx(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_LIST, 0, 0, 100, 100, parent,
                                 reinterpret_cast<HMENU>(1051)));
    EXPECT_TRUE(::GetWindowLongPtrW(created, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    ::SendMessageW(created, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({ png })), 0);
    EXPECT_EQ(1, created.GetItemCount());
}

namespace {

std::wstring g_boxText;
int RecordBox(const wchar_t* text, UINT)
{
    g_boxText = text;
    return IDOK;
}

}  // namespace

TEST(FileDropListOle, FailedOleStartIsReportedOnce)
{
    // A thread already in the multithreaded apartment cannot have OLE.
    g_boxText.clear();
    AfxSetMessageBoxHook(&RecordBox);
    bool initialised = true;
    std::thread worker([&] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            ProbeList list;
            initialised = list.m_bOleInitialised != FALSE;
        }
        ::CoUninitialize();
    });
    worker.join();
    AfxSetMessageBoxHook(nullptr);
    EXPECT_FALSE(initialised);
    EXPECT_EQ(L"OLE initialization failed.\n\nMake sure that the OLE libraries are the correct version.", g_boxText);
}
