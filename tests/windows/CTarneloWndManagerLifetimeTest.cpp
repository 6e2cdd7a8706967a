// The manager window's life on a temporary data folder with real box windows: start-up with
// and without a finished first-boot wizard, a box file that cannot be read, the tray icon's
// clicks, requests that must wait for a loop of a box, and the exit event.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"
#include "windows/CFileListWnd.h"
#include "ManagerTestSupport.h"

namespace {

using managertest::g_script;
using managertest::kBoxFile;
using managertest::kConfigFile;
using managertest::ManagerTest;

// The notification-icon structure the tray icon fills is the x64 one.
static_assert(sizeof(NOTIFYICONDATAW) == 976, "NOTIFYICONDATAW of x64");

// ---- Start-up ----------------------------------------------------------------------------------

TEST_F(ManagerTest, StartCreatesTheHiddenWindowAndOneLayeredBoxPerRecord)
{
    ASSERT_TRUE(Start());
    const HWND window = m_manager->m_hWnd;
    ASSERT_TRUE(::IsWindow(window));
    wchar_t name[64] = {};
    ::GetWindowTextW(window, name, 64);
    EXPECT_STREQ(L"TarneloWndManager", name);
    EXPECT_FALSE(::IsWindowVisible(window));

    // No box file: the six default boxes, created in list order at their stored positions.
    ASSERT_EQ(6u, m_manager->m_boxList.size());
    ASSERT_EQ(6u, m_infoManager.m_boxes.size());
    auto record = m_infoManager.m_boxes.begin();
    for (CTarneloWnd* box : m_manager->Boxes()) {
        EXPECT_EQ(*record, box->m_pInfo);
        ::GetWindowTextW(box->m_hWnd, name, 64);
        EXPECT_EQ(std::wstring(L"Tarnelo") + (*record)->m_strName.GetString(), name);
        EXPECT_NE(0, ::GetWindowLongPtrW(box->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_EQ(window, ::GetWindow(box->m_hWnd, GW_OWNER));
        const RECT r = RectOf(box);
        EXPECT_EQ((*record)->m_pos.x, r.left);
        EXPECT_EQ((*record)->m_pos.y, r.top);
        ++record;
    }
    // Only the first box shows in the task switcher.
    EXPECT_EQ(0, ::GetWindowLongPtrW(BoxAt(0)->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_NE(0, ::GetWindowLongPtrW(BoxAt(1)->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    EXPECT_TRUE(LogHas("<boxmng> init"));
    EXPECT_TRUE(LogHas("<boxmng> CreateBoxies"));
    EXPECT_TRUE(LogHas("CreateBoxies-done"));
    EXPECT_FALSE(LogHas("first boot"));
    EXPECT_EQ(10, m_manager->m_nClearance);
    EXPECT_NE(nullptr, m_manager->m_pStyle);
}

TEST_F(ManagerTest, ItemsAreReadOnceTheBoxesAreUpAndAnOpenedListReadsItsOwnFirst)
{
    // Two boxes, each with a shortcut to a text file, stored without icon keys.
    ASSERT_TRUE(testfs::WriteBytes(Path(L"doc.txt"), std::string("x")));
    {
        Model::CTarneloInfoManager writer;
        writer.Bind(Path(L"files").c_str(), Path(L"icons").c_str(), nullptr, nullptr);
        for (int b = 0; b < 2; ++b) {
            Model::CTarneloInfo* box = writer.AddNewBox();
            box->m_pos = {100, 100 + 100 * b};
            Model::CTarneloInfo::_ITEM item;
            item.nType = Model::ITEM_TYPE_FILE;
            item.strName = L"doc.txt";
            item.strPath = box->m_strFolder + L"\\doc.lnk";
            ASSERT_TRUE(CreateShortcut(Path(L"doc.txt").c_str(), item.strPath));
            box->m_items.push_back(item);
        }
        ASSERT_TRUE(writer.Save(Path(L"tarnelo.ser").c_str()));
    }
    const testfs::Bytes stored = testfs::ReadBytes(Path(L"tarnelo.ser"));
    ASSERT_TRUE(Start());
    ASSERT_EQ(2u, m_manager->m_boxList.size());
    const Model::CTarneloInfo::_ITEM& first = BoxAt(0)->m_pInfo->m_items.front();
    const Model::CTarneloInfo::_ITEM& second = BoxAt(1)->m_pInfo->m_items.front();
    EXPECT_TRUE(first.bResolvePending && first.bKeyPending && !first.bExists);
    BoxAt(1)->OpenFileList(FALSE);
    EXPECT_TRUE(second.bExists && !second.bResolvePending) << "a row is not shown missing while unread";
    EXPECT_TRUE(first.bResolvePending);
    EXPECT_EQ(stored, testfs::ReadBytes(Path(L"tarnelo.ser")));
    ASSERT_TRUE(boxtest::PumpUntil([&] { return !m_infoManager.HasPendingWork(); }));
    EXPECT_EQ(CString(L"txt"), first.strIconKey);
    EXPECT_TRUE(first.bExists);
    // Saved once with the keys.
    Model::CTarneloInfoManager again;
    again.Bind(Path(L"files").c_str(), Path(L"icons").c_str(), nullptr, nullptr);
    ASSERT_TRUE(again.Load(Path(L"tarnelo.ser").c_str()));
    EXPECT_EQ(CString(L"txt"), again.m_boxes.back()->m_items.front().strIconKey);
}

TEST_F(ManagerTest, IconKeysGivenBeforeTheCloseAreSavedByIt)
{
    // Two internet shortcuts stored without icon keys.
    Model::CTarneloInfo::_ITEM site;
    site.nType = Model::ITEM_TYPE_INTERNET_SHORTCUT;
    site.strPath = L"site.url";
    m_infoManager.AddNewBox()->m_items.assign(2, site);
    ASSERT_TRUE(m_infoManager.Save(Path(L"tarnelo.ser").c_str()));
    ASSERT_TRUE(Start());
    // One slice of the background work keys one item; the file is saved once both are.
    m_infoManager.DoPendingWork(nullptr, [] { return true; });
    ::SendMessageW(m_manager->m_hWnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_infoManager.Load(Path(L"tarnelo.ser").c_str()));
    const auto& items = m_infoManager.m_boxes.front()->m_items;
    EXPECT_EQ(std::wstring(L"ext2"), (items.front().strIconKey + items.back().strIconKey).GetString());

    // When that save fails, the retry it starts is stopped before the message that tells the
    // change as not kept, so that no retry keeps it behind the message's back.
    ASSERT_TRUE(Start());
    int slices = 0;  // the icon of the first item is looked at, the second item keyed
    m_infoManager.DoPendingWork(nullptr, [&slices] { return ++slices == 2; });
    ASSERT_TRUE(::CreateDirectoryW(Path(L"tarnelo.ser.temp").c_str(), nullptr));
    static HWND s_window = m_manager->m_hWnd;
    static BOOL s_retryArmed = -1;
    s_window = m_manager->m_hWnd;
    AfxSetMessageBoxHook([](const wchar_t*, UINT) {
        s_retryArmed = ::KillTimer(s_window, CTarneloWndManager::kTimerSaveRetry);
        return IDOK;
    });
    ::SendMessageW(m_manager->m_hWnd, WM_CLOSE, 0, 0);
    ::RemoveDirectoryW(Path(L"tarnelo.ser.temp").c_str());
    EXPECT_EQ(FALSE, s_retryArmed);
}

TEST_F(ManagerTest, FirstBootWithoutAFinishedWizardFailsAndTakesTheWindowAway)
{
    g_script.answer = IDCANCEL;
    // The Windows session ends while the wizard is up, after a save of its boxes failed: its
    // half-made boxes are not saved then either.
    const std::wstring blocker = Path(L"tarnelo.ser.temp");
    g_script.inWizard = [&](CTarneloWndManager* manager) {
        ::CreateDirectoryW(blocker.c_str(), nullptr);
        ::SendMessageW(manager->m_hWnd, WM_WIZMSG, WIZEVENT_UPDATE_BOX_INFO, 0);
        ::RemoveDirectoryW(blocker.c_str());
        ::SendMessageW(manager->m_hWnd, WM_ENDSESSION, TRUE, 0);
    };
    EXPECT_FALSE(Start(false));
    EXPECT_EQ(1, g_script.calls);
    EXPECT_EQ(nullptr, m_manager->m_hWnd);
    EXPECT_TRUE(m_manager->m_boxList.empty());
    EXPECT_EQ(nullptr, m_manager->m_pStyle);
    EXPECT_TRUE(LogHas("<boxmng> first boot"));
    EXPECT_TRUE(LogHas("<boxmng> Install is canceled."));
    EXPECT_TRUE(LogHas("<boxmng> destroy"));
    EXPECT_EQ(0, Written() & (kBoxFile | kConfigFile));
}

TEST_F(ManagerTest, AFinishedWizardStoresTheInstallDateAndItsReloadStacksTheBoxes)
{
    g_script.answer = IDOK;
    g_script.reloadInWizard = TRUE;
    // A style file held all through the start is told once, as not saved over, also when the
    // wizard's save of the style is refused.
    ASSERT_TRUE(Model::CTarneloStyleInfo().Save(Path(L"style.ser").c_str()));
    const HANDLE held = ::CreateFileW(Path(L"style.ser").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetHeldFileWaitMs(0);
    g_script.inWizard = [](CTarneloWndManager* manager) {
        ::SendMessageW(manager->m_hWnd, WM_WIZMSG, WIZEVENT_UPDATE_STYLE, 0);
        ::SendMessageW(manager->m_hWnd, WM_WIZMSG, WIZEVENT_RELOAD_BOXIES, 1);  // stacked with the new size
    };
    ASSERT_TRUE(Start(false));
    boxtest::PumpUntil([] { return false; }, 300);
    ::CloseHandle(held);
    SetHeldFileWaitMs(kHeldFileWaitMs);
    ASSERT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
    EXPECT_EQ(FormatString(LoadResString(IDS_STYLE_UNREADABLE), Path(L"style.ser").c_str(),
                           GetSystemErrorText(ERROR_SHARING_VIOLATION).GetString()),
              boxtest::MessageBoxAnswers::Asked().front().c_str());
    EXPECT_TRUE(LogHas("<boxmng> Install is done."));
    EXPECT_TRUE(LogHas("Event: ReloadBoxies"));
    EXPECT_EQ(15, m_config.GetInstallDate().GetLength());  // "%Y%m%d_%H%M%S"
    EXPECT_EQ(kConfigFile, Written() & kConfigFile);

    // One column 200 pixels in from the right edge, 20 from the top, 8 between boxes.
    ASSERT_EQ(6u, m_manager->m_boxList.size());
    int w = 0;
    int h = 0;
    m_manager->m_pStyle->MeasureBox(w, h, m_manager->m_hWnd);
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN) - w - 200;
    int i = 0;
    for (CTarneloWnd* box : m_manager->Boxes()) {
        const RECT r = RectOf(box);
        EXPECT_EQ(x, r.left);
        EXPECT_EQ(::GetSystemMetrics(SM_YVIRTUALSCREEN) + 20 + i * (h + 8), r.top);
        ++i;
    }
}

// A settings file without an install date over a box file holding the user's boxes is no
// first start: the boxes stay where they stood and no wizard comes. Without a box file the
// wizard comes (cancelled here, which ends the start).
TEST_F(ManagerTest, DamagedSettingsOverTheUsersBoxesStartWithoutTheWizard)
{
    struct Case { const char* name; std::string bytes; bool folder = false; DWORD heldMs = 0; };
    const Case cases[] = {
        { "empty", "" },
        { "random bytes", std::string("\x8F\x01\xFE[\x00=\xC3\x9A\r\x7F\x00\xE2\x82", 14) },
        { "a folder", "", true },
        { "a file held through the start", "[install]\r\ndate=20261201_101010\r\n", false, INFINITE },
        { "a file held for a moment", "[install]\r\ndate=20261201_101010\r\n", false, 300 },
        { "CR/LF only", "\r\n\r\n\r\n" },
        { "an unclosed section header", "[install\r\ndate=20261201_101010\r\n" },
        { "an empty date", "[install]\r\ndate=\r\n" },
    };
    SetHeldFileWaitMs(600);  // longer than the moment held, shorter than the real wait
    for (const Case& c : cases) {
        for (const bool withBoxes : { true, false }) {
            SCOPED_TRACE(std::string(c.name) + (withBoxes ? " with boxes" : " without boxes"));
            m_manager.reset();
            ::RemoveDirectoryW(ConfigPath().c_str());
            ForgetFiles();
            g_script = managertest::DialogScript();  // the wizard is cancelled
            boxtest::MessageBoxAnswers::Asked().clear();
            ASSERT_TRUE(c.folder ? ::CreateDirectoryW(ConfigPath().c_str(), nullptr) != FALSE
                                 : testfs::WriteBytes(ConfigPath(), c.bytes));
            m_infoManager.RemoveAll();
            for (const LONG y : { 120, 200 })
                m_infoManager.AddNewBox()->m_pos = POINT{ 200, y };
            if (withBoxes) {
                ASSERT_TRUE(m_infoManager.Save(CString(Path(L"tarnelo.ser").c_str())));
            }
            // Settings that cannot be read are no first start; those held for a moment are read.
            const bool unread = c.folder || c.heldMs == INFINITE;
            const bool wizard = !withBoxes && !unread && !c.heldMs;
            const HANDLE held = c.heldMs ? ::CreateFileW(ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                         : INVALID_HANDLE_VALUE;
            const bool moment = c.heldMs && c.heldMs != INFINITE;
            std::thread release([&] { if (moment) { ::Sleep(c.heldMs); ::CloseHandle(held); } });
            EXPECT_EQ(!wizard, StartManager());
            release.join();
            if (c.heldMs == INFINITE)
                ::CloseHandle(held);
            EXPECT_EQ(wizard ? 1 : 0, g_script.calls) << "the wizard runs";
            if (withBoxes) {
                ASSERT_EQ(2u, m_manager->m_boxList.size());
                EXPECT_EQ(120, RectOf(BoxAt(0)).top);
                EXPECT_EQ(200, RectOf(BoxAt(1)).top);
                EXPECT_EQ(unread ? 0 : 15, m_config.GetInstallDate().GetLength());
            }
            if (unread) {  // told once, and not written over, also after a box dialog that saved nothing
                ASSERT_TRUE(boxtest::PumpUntil([] { return !boxtest::MessageBoxAnswers::Asked().empty(); }));
                Box(BOXEVENT_EDIT_BOX, BoxAt(0)->RequestId());
                Box(BOXEVENT_UPDATE_CONFIG);
                EXPECT_TRUE(c.folder ? IsDirectory(ConfigPath().c_str()) : testfs::ReadString(ConfigPath()) == c.bytes);
                boxtest::PumpUntil([] { return boxtest::MessageBoxAnswers::Asked().size() > 1; }, 200);
                EXPECT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
            }
        }
    }
    SetHeldFileWaitMs(kHeldFileWaitMs);
    EXPECT_EQ(5u, LogCount("<boxmng> settings missing or damaged, started with the boxes of the box file"));
}

// ---- Tray icon -----------------------------------------------------------------------------------

UINT g_trackedMenus = 0;
UINT CountTrackedMenu(HMENU, HWND, POINT)
{
    ++g_trackedMenus;
    return 0;
}

TEST_F(ManagerTest, TheTrayIconsRightClickOpensTheFirstBoxsMenu)
{
    ASSERT_TRUE(Start());
    g_trackedMenus = 0;
    CTarneloWnd::SetTrackMenuHook(&CountTrackedMenu);
    EXPECT_EQ(1, ::SendMessageW(m_manager->m_hWnd, WM_TRAYMSG, 2, WM_RBUTTONUP));  // another icon
    EXPECT_EQ(0u, g_trackedMenus);
    EXPECT_EQ(1, ::SendMessageW(m_manager->m_hWnd, WM_TRAYMSG, 1, WM_MOUSEMOVE));
    EXPECT_EQ(0u, g_trackedMenus);
    EXPECT_EQ(1, ::SendMessageW(m_manager->m_hWnd, WM_TRAYMSG, 1, WM_RBUTTONUP));
    EXPECT_EQ(1u, g_trackedMenus);
    EXPECT_EQ(1, ::SendMessageW(m_manager->m_hWnd, WM_TRAYMSG, 1, WM_LBUTTONDOWN));
    CTarneloWnd::SetTrackMenuHook(nullptr);
    boxtest::PumpPending();
}

// ---- Exit ----------------------------------------------------------------------------------------

// What a loop of a box does with a request posted meanwhile: it dispatches it. The exit question
// is answered No, so that only the request under test ends anything; any other question (the
// delete question among them) Yes.
int DispatchingMessageBox(const wchar_t* text, UINT)
{
    testpump::DispatchQueued();
    return LoadResString(IDS_EXIT_QUESTION) == text ? IDNO : IDYES;
}

UINT DispatchingMenu(HMENU, HWND, POINT)
{
    testpump::DispatchQueued();
    return 0;
}

HINSTANCE WINAPI DispatchingShellExecute(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)
{
    testpump::DispatchQueued();
    return reinterpret_cast<HINSTANCE>(33);
}

enum class BoxLoop { Menu, MessageBox, FileDialog, StyleDialog, ListDrag, ListShellCall };
enum class Request { DeleteBox, Close, Destroy, CloseList, ReloadInWizard, UpdateInWizard, EndSessionAfterWizard };

// Runs one loop of the box; postRequest is called just before the loop starts, so that the
// loop is what dispatches the request.
void RunBoxLoop(BoxLoop loop, CTarneloWnd* box, const std::wstring& folder, const wchar_t* item,
                const std::function<void()>& postRequest)
{
    const auto command = [&](UINT id) { ::SendMessageW(box->m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); };
    switch (loop) {
    case BoxLoop::Menu:
        CTarneloWnd::SetTrackMenuHook(&DispatchingMenu);
        postRequest();
        ::SendMessageW(box->m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        CTarneloWnd::SetTrackMenuHook(nullptr);
        break;
    case BoxLoop::MessageBox:  // the exit question
        postRequest();
        command(ID_APP_EXIT_TARNELO);
        break;
    case BoxLoop::FileDialog:  // the program to register
        DialogTestSupport::EndNextDialog(IDCANCEL);
        postRequest();
        command(ID_REGISTER_FROM_START_MENU);
        break;
    case BoxLoop::StyleDialog:
        DialogTestSupport::EndNextDialog(IDCANCEL);
        postRequest();
        command(ID_BOX_STYLE);
        break;
    case BoxLoop::ListDrag:
    case BoxLoop::ListShellCall: {
        const std::wstring file = folder + L"\\" + item;
        TempFolder::WriteBytes(file, std::vector<BYTE>{ 'd' });
        ASSERT_TRUE(box->m_pInfo->AddItem(item, file.c_str(), FALSE));
        box->OpenFileList(FALSE);
        CFileListWnd* list = box->m_pFileList.get();
        ASSERT_NE(nullptr, list);
        boxtest::PumpPending();
        const auto mouse = [list](UINT flags, int x, int y) {
            ::SetCursorPos(x, y);
            ::SendMessageW(list->m_hWnd, WM_MOUSEMOVE, flags,
                           MAKELPARAM(static_cast<WORD>(x - list->m_rect.left), static_cast<WORD>(y - list->m_rect.top)));
        };
        const POINT row = { list->m_rect.left + 40, list->m_rect.top + list->m_nRowHeight / 2 };
        mouse(0, row.x, row.y);
        if (loop == BoxLoop::ListShellCall) {
            CFileListWnd::SetShellExecuteHook(&DispatchingShellExecute);
            postRequest();
            ::SendMessageW(list->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_ITEM_OPEN_LOCATION, 0), 0);
            CFileListWnd::SetShellExecuteHook(nullptr);
            break;
        }
        mouse(MK_LBUTTON, row.x, row.y);
        ::SetCursorPos(5, 1000);
        postRequest();
        mouse(MK_LBUTTON, 5, 1000);  // out of the list: the drag starts
        break;
    }
    }
}

// A loop of a box runs inside the box's handler: a request that would free the box or its
// list (the box's delete, the close of the program, a close of the list, which another
// process can ask for by posting WM_DESTROY to it, the wizard's reload of every box) and
// arrives meanwhile must wait for the loop to end, and is carried out then.
TEST_F(ManagerTest, ARequestThatWouldFreeABoxWaitsForTheBoxsOwnLoopAndIsCarriedOutAfterIt)
{
    const struct
    {
        BoxLoop loop;
        Request request;
    } rows[] = {
        { BoxLoop::Menu, Request::Close },
        { BoxLoop::Menu, Request::UpdateInWizard },  // the wizard ends before the loop does
        { BoxLoop::Menu, Request::EndSessionAfterWizard },  // and the session before the request
        { BoxLoop::MessageBox, Request::DeleteBox },
        { BoxLoop::MessageBox, Request::Close },
        { BoxLoop::FileDialog, Request::DeleteBox },
        { BoxLoop::FileDialog, Request::Close },
        { BoxLoop::StyleDialog, Request::DeleteBox },
        { BoxLoop::StyleDialog, Request::Close },
        { BoxLoop::StyleDialog, Request::Destroy },  // posted by another process
        { BoxLoop::StyleDialog, Request::ReloadInWizard },
        { BoxLoop::ListDrag, Request::DeleteBox },
        { BoxLoop::ListDrag, Request::Close },
        { BoxLoop::ListDrag, Request::Destroy },
        { BoxLoop::ListDrag, Request::CloseList },
        { BoxLoop::ListShellCall, Request::Close },
        { BoxLoop::ListShellCall, Request::CloseList },
    };
    AfxSetMessageBoxHook(&DispatchingMessageBox);
    for (const auto& [loop, request] : rows) {
        SCOPED_TRACE(testing::Message() << "loop " << static_cast<int>(loop) << " request "
                                        << static_cast<int>(request));
        ForgetFiles();
        ASSERT_TRUE(Start());
        const HWND window = m_manager->m_hWnd;
        CTarneloWnd* box = BoxAt(1);
        CFileListWnd* list = nullptr;
        const size_t boxes = m_manager->m_boxList.size();
        const size_t waited = LogCount("waits for");
        const size_t reloads = LogCount("CreateBoxies-done");
        const bool update = request == Request::UpdateInWizard || request == Request::EndSessionAfterWizard;
        g_bWizardExists = request == Request::ReloadInWizard || update;
        BoxAt(5)->m_pInfo->m_bVisible = !update;
        RunBoxLoop(loop, box, m_data, L"report.txt", [&] {
            list = box->m_pFileList.get();
            if (request == Request::DeleteBox)
                ::PostMessageW(window, WM_BOXMSG, BOXEVENT_DELETE_BOX, box->RequestId());
            else if (request == Request::Close || request == Request::Destroy)
                ::PostMessageW(window, request == Request::Close ? WM_CLOSE : WM_DESTROY, 0, 0);
            else if (request == Request::CloseList)
                ::PostMessageW(list->m_hWnd, WM_DESTROY, 0, 0);
            else
                ::PostMessageW(window, WM_WIZMSG, request == Request::ReloadInWizard ? WIZEVENT_RELOAD_BOXIES : WIZEVENT_UPDATE_BOX_INFO, 0);
        });
        g_bWizardExists = g_bWizardExists && !update;
        if (request == Request::EndSessionAfterWizard) {
            ::SendMessageW(window, WM_ENDSESSION, TRUE, 0);
            Model::CTarneloInfoManager saved;
            saved.Bind(Path(L"files").c_str(), Path(L"icons").c_str(), nullptr, nullptr);
            ASSERT_TRUE(FileExists(Path(L"tarnelo.ser")) && saved.Load(Path(L"tarnelo.ser").c_str()));
            EXPECT_EQ(boxes - 1, saved.m_boxes.size());
        }
        ASSERT_TRUE(::IsWindow(window));
        ASSERT_TRUE(m_manager->IsListedBox(box));
        EXPECT_LT(waited, LogCount("waits for"));
        if (request == Request::DeleteBox || update) {
            ASSERT_TRUE(boxtest::PumpUntil([&] { return m_manager->m_boxList.size() == boxes - 1; }));
        } else if (request == Request::Close || request == Request::Destroy) {
            ASSERT_TRUE(boxtest::PumpUntil([&] { return !::IsWindow(window); }));
            EXPECT_TRUE(m_manager->m_boxList.empty());
        } else if (request == Request::CloseList) {
            EXPECT_EQ(list, box->m_pFileList.get());
            ASSERT_TRUE(boxtest::PumpUntil([&] { return box->m_pFileList == nullptr; }));
        } else {
            EXPECT_EQ(reloads, LogCount("CreateBoxies-done"));
            ASSERT_TRUE(boxtest::PumpUntil([&] { return LogCount("CreateBoxies-done") > reloads; }));
            EXPECT_EQ(boxes, m_manager->m_boxList.size());
        }
        g_bWizardExists = FALSE;
        m_manager.reset();
        boxtest::PumpPending();
    }
}

// A box file or style that another program holds all through the start is whole: the
// defaults stand in, it is told once, nothing is saved over it, no copy is made and no wizard
// comes over it. Once it is free, the timer the start armed brings the user's boxes or style,
// but not while a loop of a box or a dialog, menu or list is up, and not when what stood in was
// changed. The boxes that come keep the style in use, whose save failed meanwhile.
TEST_F(ManagerTest, AFileHeldThroughTheStartIsToldOnceNotWrittenOverAndComesOnceFree)
{
    // widthOnceFree 0: the width the boxes standing in have.
    struct Case { const wchar_t* file; bool changed; size_t boxesOnceFree; LONG widthOnceFree; };
    const Case cases[] = { { L"tarnelo.ser", false, 2, 200 }, { L"tarnelo.ser", true, 6, 200 },
                           { L"style.ser", false, 2, 246 }, { L"style.ser", true, 2, 0 } };
    SetHeldFileWaitMs(200);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << (c.changed ? " changed" : ""));
        m_manager.reset();
        boxtest::MessageBoxAnswers::Asked().clear();
        m_infoManager.Load(CString(Path(L"tarnelo.ser").c_str()));  // as a new start reads it
        m_infoManager.RemoveAll();
        for (const LONG y : { 120, 200 })
            m_infoManager.AddNewBox()->m_pos = POINT{ 200, y };
        ASSERT_TRUE(m_infoManager.Save(CString(Path(L"tarnelo.ser").c_str())));
        Model::CTarneloStyleInfo style;
        style.m_nTitleWidth = 222;
        ASSERT_TRUE(style.Save(Path(L"style.ser").c_str()));
        const std::string original = testfs::ReadString(Path(c.file));
        const auto hold = [this](const wchar_t* file) {
            return ::CreateFileW(Path(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        };
        const HANDLE held = hold(c.file);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        const bool boxFile = c.file == std::wstring(L"tarnelo.ser");
        ASSERT_TRUE(Start(!boxFile || c.changed));
        EXPECT_EQ(0, g_script.calls);
        const auto width = [this] { return RectOf(BoxAt(0)).right - RectOf(BoxAt(0)).left; };
        EXPECT_EQ(boxFile ? 6u : 2u, m_manager->m_boxList.size());
        EXPECT_EQ(boxFile, BoxAt(0)->m_pInfo->m_bBoxFileUnread != FALSE) << "the defaults take no files";
        EXPECT_EQ(boxFile ? 246 : 124, width());
        ASSERT_TRUE(boxtest::PumpUntil([] { return !boxtest::MessageBoxAnswers::Asked().empty(); }));
        const CString expected = FormatString(LoadResString(boxFile ? IDS_BOX_FILE_UNREAD : IDS_STYLE_UNREADABLE),
                                              Path(c.file).c_str(), GetSystemErrorText(ERROR_SHARING_VIOLATION).GetString());
        EXPECT_EQ(std::wstring(expected.GetString()), boxtest::MessageBoxAnswers::Asked().front());
        if (c.changed)
            Box(boxFile ? BOXEVENT_UPDATE_BOX_INFO : BOXEVENT_UPDATE_STYLE, 0);
        // A style changed while its file is held by another program (a sync tool uploading it).
        const HANDLE heldStyle = boxFile ? hold(L"style.ser") : INVALID_HANDLE_VALUE;
        if (boxFile) {
            Box(BOXEVENT_UPDATE_HORIZONTAL_SIZE, 200);
            ASSERT_TRUE(boxtest::PumpUntil([] { return boxtest::MessageBoxAnswers::Asked().size() == 2; }));
        }
        const LONG standIn = width();
        ::CloseHandle(held);
        AfxSetMessageBoxHook(&DispatchingMessageBox);
        RunBoxLoop(BoxLoop::MessageBox, BoxAt(1), m_data, L"", [this] {
            ::PostMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerHeldFiles, 0);
        });
        AfxSetMessageBoxHook(&boxtest::MessageBoxAnswers::Hook);
        for (BOOL* open : { &g_bDialogOpen, &g_bBoxDialogOpen, &g_bMenuOpen, &g_bFileListOpen }) {
            *open = TRUE;
            ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerHeldFiles, 0);
            *open = FALSE;
        }
        EXPECT_EQ(boxFile ? 6u : 2u, m_manager->m_boxList.size());
        EXPECT_EQ(standIn, width());
        const auto outcomes = [this] { return LogCount("its boxes come") + LogCount("its style comes") + LogCount("next start"); };
        const size_t before = outcomes();
        boxtest::PumpUntil([&] { return outcomes() > before; }, 2 * CTarneloWndManager::kHeldFilesMs);
        EXPECT_EQ(c.boxesOnceFree, m_manager->m_boxList.size());
        EXPECT_EQ(c.widthOnceFree ? c.widthOnceFree : standIn, width());
        ::CloseHandle(heldStyle);
        Box(boxFile ? BOXEVENT_UPDATE_STYLE : BOXEVENT_UPDATE_BOX_INFO, 0);  // the other file saves
        EXPECT_EQ(original, testfs::ReadString(Path(c.file)));
        EXPECT_FALSE(FileExists((Path(c.file) + L".bad").c_str()));
        // Once means once, even when its timers fire again (as the held-files timer does while
        // another file stays held); the save it refused is not told again (the style's, refused
        // by the sync tool, is).
        for (const UINT_PTR timer : { CTarneloWndManager::kTimerLoadWarning, CTarneloWndManager::kTimerHeldFiles })
            ::SendMessageW(m_manager->m_hWnd, WM_TIMER, timer, 0);
        boxtest::PumpUntil([] { return false; }, 200);
        EXPECT_EQ(boxFile ? 2u : 1u, boxtest::MessageBoxAnswers::Asked().size());
        EXPECT_EQ(before + 1, outcomes());
    }
    // A style that nobody holds but that cannot be read (a folder in its place, from the start
    // or once its holder let go) is named in the log once: waiting will not bring it.
    const std::wstring style = Path(L"style.ser");
    for (const bool heldFirst : { false, true }) {
        m_manager.reset();
        ::DeleteFileW(style.c_str());
        ::RemoveDirectoryW(style.c_str());
        ASSERT_TRUE(heldFirst ? Model::CTarneloStyleInfo().Save(style.c_str()) : ::CreateDirectoryW(style.c_str(), nullptr));
        const HANDLE held = heldFirst ? ::CreateFileW(style.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                      : INVALID_HANDLE_VALUE;
        const size_t named = LogCount("style cannot be read");
        ASSERT_TRUE(Start());
        if (heldFirst) {
            ::CloseHandle(held);
            ASSERT_TRUE(::DeleteFileW(style.c_str()) && ::CreateDirectoryW(style.c_str(), nullptr));
        }
        for (int tick = 0; tick < 3; ++tick)
            ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerHeldFiles, 0);
        EXPECT_EQ(named + (heldFirst ? 2 : 1), LogCount("style cannot be read")) << heldFirst;
    }
    SetHeldFileWaitMs(kHeldFileWaitMs);
}

// A request names its box by an id no later box takes: one queued when the wizard rebuilds
// the boxes is dropped. The reload waits for this window's delete question and edit dialog.
TEST_F(ManagerTest, RequestsOutliveAReloadOnlyForTheirOwnBox)
{
    AfxSetMessageBoxHook(&DispatchingMessageBox);
    for (const WPARAM during : { WPARAM(0), BOXEVENT_DELETE_BOX, BOXEVENT_EDIT_BOX }) {
        ForgetFiles();
        ASSERT_TRUE(Start());
        g_bWizardExists = TRUE;
        const size_t reloads = LogCount("CreateBoxies-done");
        g_script = managertest::DialogScript();
        g_script.answer = IDOK;
        g_script.name = L"Renamed";
        g_script.dispatchDuring = TRUE;
        std::vector<std::wstring> expected = Names();
        for (const WPARAM code : { BOXEVENT_DELETE_BOX, BOXEVENT_EDIT_BOX }) {
            if (during == 0)  // queued before the reload
                ::PostMessageW(m_manager->m_hWnd, WM_BOXMSG, code, BoxAt(code)->RequestId());
        }
        ::PostMessageW(m_manager->m_hWnd, WM_WIZMSG, WIZEVENT_RELOAD_BOXIES, 0);
        if (during == 0) {
            Wizard(WIZEVENT_RELOAD_BOXIES, 0);
        } else {
            Box(during, BoxAt(1)->RequestId());
            EXPECT_EQ(reloads, LogCount("CreateBoxies-done")) << "the reload did not wait";
            if (during == BOXEVENT_DELETE_BOX)
                expected.erase(expected.begin() + 1);
            else
                expected[1] = L"Renamed";
        }
        EXPECT_TRUE(boxtest::PumpUntil([&] { return LogCount("CreateBoxies-done") > reloads + (during == 0); }));
        EXPECT_EQ(expected, Names()) << during;
        EXPECT_EQ(during == BOXEVENT_EDIT_BOX ? 1 : 0, g_script.calls);
        g_bWizardExists = FALSE;
        m_manager.reset();
    }
    EXPECT_EQ(2u, LogCount("Box: not a box of this program"));
}

TEST_F(ManagerTest, TheExitEventClosesTheWindowAndSavesNothing)
{
    ASSERT_TRUE(Start());
    std::vector<HWND> boxes;
    for (CTarneloWnd* box : m_manager->Boxes())
        boxes.push_back(box->m_hWnd);
    const HWND window = m_manager->m_hWnd;
    ForgetFiles();
    Box(BOXEVENT_EXIT_APP, 0);
    ASSERT_TRUE(boxtest::PumpUntil([&] { return !::IsWindow(window); }));
    EXPECT_EQ(0, Written());
    EXPECT_TRUE(m_manager->m_boxList.empty());
    EXPECT_EQ(nullptr, m_manager->m_pStyle);
    for (const HWND box : boxes)
        EXPECT_FALSE(::IsWindow(box));
    EXPECT_TRUE(LogHas("<boxmng> destroy"));
}

// A failed save is made again by itself once the file can be written, however long it was
// refused, or at the close; a change that still cannot be saved then is told there.
TEST_F(ManagerTest, AFailedSaveIsMadeLaterOrAtTheCloseOrToldThere)
{
    struct Row { bool atRetry; bool atClose; int refusedRetries; };
    const Row rows[] = { { true, true, 0 }, { false, true, 0 }, { false, false, 0 }, { true, true, 30 } };
    const std::wstring blocker = ConfigPath() + L".temp";
    const std::vector<std::wstring>& told = boxtest::MessageBoxAnswers::Asked();
    for (const auto& [atRetry, atClose, refusedRetries] : rows) {
        ASSERT_TRUE(Start());
        const std::wstring before = Ini(L"editDialog", L"width");
        const std::wstring changed = std::to_wstring(++m_config.m_nEditDialogWidth);
        boxtest::MessageBoxAnswers::Asked().clear();
        ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
        Box(BOXEVENT_UPDATE_CONFIG);
        ASSERT_TRUE(boxtest::PumpUntil([&] { return !told.empty(); }));
        for (int retry = 0; retry < refusedRetries; ++retry)
            ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerSaveRetry, 0);
        if (atRetry)
            ::RemoveDirectoryW(blocker.c_str());
        // After a long refusal the retry's own timer makes the save, within its period.
        if (refusedRetries)
            boxtest::PumpUntil([&] { return Ini(L"editDialog", L"width") == changed; }, CTarneloWndManager::kSaveRetryMs + 1000);
        else
            ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerSaveRetry, 0);
        EXPECT_EQ(atRetry ? changed : before, Ini(L"editDialog", L"width"));
        if (atClose)
            ::RemoveDirectoryW(blocker.c_str());
        ::SendMessageW(m_manager->m_hWnd, WM_CLOSE, 0, 0);
        ::RemoveDirectoryW(blocker.c_str());
        EXPECT_EQ(atClose ? changed : before, Ini(L"editDialog", L"width"));
        EXPECT_EQ(atClose ? 1u : 2u, told.size()) << "one message per failure, none for a retry";
        EXPECT_EQ(FormatString(LoadResString(IDS_CHANGES_NOT_KEPT), ConfigPath().c_str()) == told.back().c_str(), !atClose);
    }
}

}  // namespace
