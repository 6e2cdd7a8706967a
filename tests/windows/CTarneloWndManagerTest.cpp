// The manager window on a temporary data folder with real box windows: start-up, which file
// each box and wizard event saves and which it leaves alone, ignored codes, pointers from
// outside the box list, the minimum box width, the placement of new boxes, deleting and
// editing with answered dialogs, moving all boxes together, type-ahead, the exit event, wizard
// events without a wizard and a box file that cannot be read.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "core/ShellHelpers.h"
#include "model/CTarneloStyleInfo.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"
#include "windows/BoxGeometry.h"
#include "windows/CFileListWnd.h"
#include "ManagerTestSupport.h"

namespace {

// The notification-icon structure the manager fills is the x64 one.
static_assert(sizeof(NOTIFYICONDATAW) == 976, "NOTIFYICONDATAW of x64");

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

enum : int
{
    kBoxFile = 1,
    kStyleFile = 2,
    kConfigFile = 4,
};

// What the dialog hooks answer and see.
struct DialogScript
{
    INT_PTR answer = IDCANCEL;
    CTarneloWndManager::_BOX_DIALOG seen;
    CString name;
    CString icon;
    COLORREF color = RGB(1, 2, 3);
    int clearance = 25;
    int calls = 0;
    CTarneloWndManager* manager = nullptr;
    CTarneloWnd* removeDuring = nullptr;  // deleted while the dialog is "up"
    BOOL reloadInWizard = FALSE;
};
DialogScript g_script;

INT_PTR ScriptedEditBox(CTarneloWndManager::_BOX_DIALOG& data)
{
    ++g_script.calls;
    g_script.seen = data;
    if (g_script.removeDuring && g_script.manager)
        g_script.manager->OnDeleteBox(g_script.removeDuring);
    if (g_script.answer == IDOK) {
        data.strName = g_script.name;
        data.strIcon = g_script.icon;
        data.color = g_script.color;
    }
    return g_script.answer;
}

INT_PTR ScriptedClearance(int& clearance)
{
    ++g_script.calls;
    if (g_script.answer == IDOK)
        clearance = g_script.clearance;
    return g_script.answer;
}

INT_PTR ScriptedWizard(CTarneloWndManager* manager)
{
    ++g_script.calls;
    // The wizard exists while it runs, as the real one says.
    g_bWizardExists = TRUE;
    if (g_script.reloadInWizard)
        ::SendMessageW(manager->m_hWnd, WM_WIZMSG, WIZEVENT_RELOAD_BOXIES, 1);
    g_bWizardExists = FALSE;
    return g_script.answer;
}

class ManagerTest : public managertest::ManagerFixture
{
protected:
    void SetUp() override
    {
        PrepareDataFolder();
        boxtest::MessageBoxAnswers::Asked().clear();
        boxtest::MessageBoxAnswers::Answer() = IDYES;
        AfxSetMessageBoxHook(&boxtest::MessageBoxAnswers::Hook);
        g_bDialogOpen = g_bMenuOpen = g_bFileListOpen = g_bBoxDialogOpen = FALSE;
        g_bDeletingBox = g_bWizardExists = FALSE;
        g_script = DialogScript();
        CTarneloWndManager::SetEditBoxDialogHook(&ScriptedEditBox);
        CTarneloWndManager::SetClearanceDialogHook(&ScriptedClearance);
        CTarneloWndManager::SetWizardHook(&ScriptedWizard);
    }

    void TearDown() override
    {
        m_manager.reset();
        CTarneloWndManager::SetEditBoxDialogHook(nullptr);
        CTarneloWndManager::SetClearanceDialogHook(nullptr);
        CTarneloWndManager::SetWizardHook(nullptr);
        g_bDeletingBox = g_bWizardExists = g_bDialogOpen = FALSE;
        DialogTestSupport::CancelSteps();
        FinishTest();
    }

    // Starts a manager on the folder; with an install date unless told otherwise.
    bool Start(bool installed = true)
    {
        if (installed)
            WriteInstallDate();
        return StartManager();
    }

    // Forgets the three data files, so that a later save shows as a file again.
    void ForgetFiles()
    {
        ::DeleteFileW(Path(L"tarnelo.ser").c_str());
        ::DeleteFileW(Path(L"style.ser").c_str());
        ::DeleteFileW(ConfigPath().c_str());
        FlushProfile();
    }
    int Written() const
    {
        return (FileExists(Path(L"tarnelo.ser")) ? kBoxFile : 0) |
               (FileExists(Path(L"style.ser")) ? kStyleFile : 0) |
               (FileExists(Path(L"config.ini")) ? kConfigFile : 0);
    }
    bool NoTempFiles() const
    {
        return !FileExists(Path(L"tarnelo.ser.temp")) &&
               !FileExists(Path(L"style.ser.temp"));
    }

    LRESULT Box(WPARAM code, LPARAM value = 0) { return ::SendMessageW(m_manager->m_hWnd, WM_BOXMSG, code, value); }
    LRESULT Wizard(WPARAM code, LPARAM value = 0)
    {
        return ::SendMessageW(m_manager->m_hWnd, WM_WIZMSG, code, value);
    }
    static LPARAM Ptr(const void* p) { return reinterpret_cast<LPARAM>(p); }
};

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
    for (CTarneloWnd* box : m_manager->m_boxList) {
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

TEST_F(ManagerTest, ABoxFileThatCanBeNeitherReadNorCopiedGivesTheDefaultsAndOneWarning)
{
    const std::string original = "\xEB\x03\x00\x00 not a box file";
    ASSERT_TRUE(testfs::WriteBytes(Path(L"tarnelo.ser"), original));
    // Held open by another program that shares nothing: it can be neither read nor copied.
    const HANDLE held = ::CreateFileW(Path(L"tarnelo.ser").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(Start());
    EXPECT_EQ(6u, m_manager->m_boxList.size()) << "the default boxes stand in";

    // Once the program is up it says so, once, and that nothing is saved over the file.
    EXPECT_TRUE(boxtest::MessageBoxAnswers::Asked().empty());
    ASSERT_TRUE(boxtest::PumpUntil([] { return !boxtest::MessageBoxAnswers::Asked().empty(); }));
    const CString lines = LoadResString(IDS_BOX_FILE_DAMAGED);
    const CString expected = FormatString(lines.Mid(lines.Find(L'\n') + 1), Path(L"tarnelo.ser").c_str());
    EXPECT_EQ(std::wstring(expected.GetString()), boxtest::MessageBoxAnswers::Asked().front());

    Box(BOXEVENT_UPDATE_BOX_INFO, 0);
    ::CloseHandle(held);
    EXPECT_EQ(original, testfs::ReadString(Path(L"tarnelo.ser")));
    // Once means once, even when its timer is fired again from outside.
    ::SendMessageW(m_manager->m_hWnd, WM_TIMER, CTarneloWndManager::kTimerLoadWarning, 0);
    EXPECT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
}

TEST_F(ManagerTest, FirstBootWithoutAFinishedWizardFailsAndTakesTheWindowAway)
{
    g_script.answer = IDCANCEL;
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
    ASSERT_TRUE(Start(false));
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
    for (CTarneloWnd* box : m_manager->m_boxList) {
        const RECT r = RectOf(box);
        EXPECT_EQ(x, r.left);
        EXPECT_EQ(::GetSystemMetrics(SM_YVIRTUALSCREEN) + 20 + i * (h + 8), r.top);
        ++i;
    }
}

// ---- Which file each event saves ------------------------------------------------------------------

TEST_F(ManagerTest, EachBoxEventSavesItsOwnFileAndLeavesTheOthersAlone)
{
    ASSERT_TRUE(Start());
    struct Case
    {
        WPARAM code;
        LPARAM value;
        int files;
        const char* line;
    };
    const Case cases[] = {
        { BOXEVENT_UPDATE_BOX_INFO, 0, kBoxFile, "Event: UpdateBoxInfo" },
        { BOXEVENT_UPDATE_STYLE, 0, kStyleFile, "Event: UpdateStyle" },
        { BOXEVENT_UPDATE_STYLE, 1, 0, "Event: UpdateStyle" },
        { BOXEVENT_RESTORE_STYLE, 0, 0, "Event: RestoreStyle" },
        { BOXEVENT_UPDATE_CONFIG, 0, kConfigFile, "Event: UpdateConfig" },
        { BOXEVENT_UPDATE_HOT_KEY, 0, kBoxFile, "Event: UpdateHotKey" },
        { BOXEVENT_UPDATE_HORIZONTAL_SIZE, 300, kStyleFile, "Event: UpdateHorizontalSize" },
        { BOXEVENT_ALIGN_WINDOW, 0, 0, "Event: AlignWindow" },  // clearance dialog cancelled
        { BOXEVENT_KEY, VK_HOME, 0, nullptr },
        { BOXEVENT_HOT_KEY_SELECTION, 0, 0, "Event: HotKeySelection" },
        { BOXEVENT_ENTIRELY_MOVE, 0, 0, nullptr },
        { BOXEVENT_LAST + 1, 0, 0, nullptr },
        { 100, Ptr(BoxAt(0)), 0, nullptr },
    };
    for (const Case& c : cases) {
        ForgetFiles();
        EXPECT_EQ(1, Box(c.code, c.value)) << c.code;
        EXPECT_EQ(c.files, Written()) << "code " << c.code << " value " << c.value;
        EXPECT_TRUE(NoTempFiles());
        if (c.line) {
            EXPECT_TRUE(LogHas(c.line)) << c.line;
        }
    }
    // Every event is logged by the dispatcher, the ignored ones too.
    EXPECT_TRUE(LogHas("<boxmng> box msg (14,0)"));
    EXPECT_TRUE(LogHas("<boxmng> box msg (100,"));
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_TRUE(::IsWindow(m_manager->m_hWnd));
}

TEST_F(ManagerTest, EachWizardEventSavesItsOwnFileAndCodesAboveFiveAreIgnored)
{
    ASSERT_TRUE(Start());
    g_bWizardExists = TRUE;
    struct Case
    {
        WPARAM code;
        LPARAM value;
        int files;
    };
    const Case cases[] = {
        { WIZEVENT_UPDATE_BOX_INFO, 0, kBoxFile },
        { WIZEVENT_UPDATE_BOXIES, 0, 0 },
        { WIZEVENT_UPDATE_STYLE, 0, kStyleFile },
        { WIZEVENT_UPDATE_STYLE, 1, 0 },
        { WIZEVENT_RESTORE_STYLE, 0, 0 },
        { WIZEVENT_EDIT_BOX, 0, 0 },        // no such record
        { WIZEVENT_EDIT_BOX, 0x1234, 0 },   // a value that is no record of the list
        { WIZEVENT_LAST + 1, 0, 0 },
        { 77, 1, 0 },
    };
    for (const Case& c : cases) {
        ForgetFiles();
        EXPECT_EQ(1, Wizard(c.code, c.value)) << c.code;
        EXPECT_EQ(c.files, Written()) << "code " << c.code << " value " << c.value;
    }
    EXPECT_EQ(0, g_script.calls);  // no edit dialog for a record that is not listed
    EXPECT_TRUE(LogHas("<boxmng> wiz msg (6,0)"));
    EXPECT_TRUE(LogHas("Event: UpdateBoxies"));
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_EQ(6u, m_manager->m_boxList.size());

    // ReloadBoxies rebuilds the windows from the files without saving anything.
    ForgetFiles();
    const CTarneloWnd* before = BoxAt(0);
    EXPECT_EQ(1, Wizard(WIZEVENT_RELOAD_BOXIES, 0));
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_TRUE(::IsWindow(BoxAt(0)->m_hWnd));
    (void)before;

    // Without the wizard no wizard event is taken, whoever sends it: nothing is rebuilt,
    // restacked, edited or saved.
    g_bWizardExists = FALSE;
    const CTarneloWnd* first = BoxAt(0);
    const RECT place = RectOf(BoxAt(0));
    for (WPARAM code = 0; code <= WIZEVENT_LAST; ++code) {
        EXPECT_EQ(1, Wizard(code, code == WIZEVENT_EDIT_BOX ? Ptr(BoxAt(0)->m_pInfo) : 1));
        EXPECT_EQ(0, Written()) << code;
    }
    EXPECT_EQ(first, BoxAt(0));
    EXPECT_EQ(place.left, RectOf(BoxAt(0)).left);
    EXPECT_EQ(0, g_script.calls);
    EXPECT_TRUE(LogHas("<boxmng> wiz msg without a wizard, ignored"));
}

TEST_F(ManagerTest, AddBoxSavesBoxAndStyleOnlyOnOkAndPlacesTheNewBoxBelowTheIssuer)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* issuer = BoxAt(0);
    issuer->MoveBoxTo(100, 100);

    ForgetFiles();
    g_script.answer = IDCANCEL;
    Box(BOXEVENT_ADD_BOX, Ptr(issuer));
    EXPECT_EQ(1, g_script.calls);
    EXPECT_TRUE(g_script.seen.bNewBox);
    EXPECT_TRUE(g_script.seen.strName.IsEmpty());
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_EQ(6u, m_infoManager.m_boxes.size());

    g_script.answer = IDOK;
    g_script.name = L"Music";
    g_script.icon = L"set\\note.png";
    g_script.color = RGB(0x10, 0x20, 0x30);
    Box(BOXEVENT_ADD_BOX, Ptr(issuer));
    EXPECT_EQ(kBoxFile | kStyleFile, Written());
    EXPECT_TRUE(NoTempFiles());
    ASSERT_EQ(7u, m_manager->m_boxList.size());
    const CTarneloWnd* added = m_manager->m_boxList.back();
    EXPECT_EQ(L"Music", added->m_pInfo->m_strName);
    EXPECT_EQ(L"set\\note.png", added->m_pInfo->m_strIcon);
    EXPECT_EQ(0x102030u, m_manager->m_pStyle->GetBoxColor() & 0xFFFFFFu);
    const RECT from = RectOf(issuer);
    const RECT r = RectOf(added);
    EXPECT_EQ(from.left, r.left);
    EXPECT_EQ(from.bottom + 10, r.top);
    // Not in the task switcher.
    EXPECT_NE(0, ::GetWindowLongPtrW(added->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(ManagerTest, ANewBoxNearTheBottomGoesRightAndInTheCornerGoesLeft)
{
    ASSERT_TRUE(Start());
    g_script.answer = IDOK;
    g_script.name = L"New";
    CTarneloWnd* issuer = BoxAt(0);
    const RECT size = RectOf(issuer);
    const int w = size.right - size.left;
    const int h = size.bottom - size.top;
    const int bottom = ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int right = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);

    issuer->MoveBoxTo(100, bottom - h);
    Box(BOXEVENT_ADD_BOX, Ptr(issuer));
    ASSERT_EQ(7u, m_manager->m_boxList.size());
    RECT r = RectOf(m_manager->m_boxList.back());
    EXPECT_EQ(100 + w + 10, r.left);
    EXPECT_EQ(bottom - h, r.top);

    issuer->MoveBoxTo(right - w, bottom - h);
    Box(BOXEVENT_ADD_BOX, Ptr(issuer));
    ASSERT_EQ(8u, m_manager->m_boxList.size());
    r = RectOf(m_manager->m_boxList.back());
    const SIZE box = m_manager->m_pStyle->GetBoxSize(m_manager->m_hWnd);
    EXPECT_EQ(right - w - box.cx - 10, r.left);
    EXPECT_EQ(bottom - h, r.top);
}

TEST_F(ManagerTest, DeleteAsksAndOnYesRemovesWindowAndRecordAndSavesTheBoxFile)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* box = BoxAt(1);
    const HWND window = box->m_hWnd;
    const std::wstring name = box->m_pInfo->m_strName.GetString();

    ForgetFiles();
    boxtest::MessageBoxAnswers::Answer() = IDNO;
    Box(BOXEVENT_DELETE_BOX, Ptr(box));
    EXPECT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_FALSE(g_bDeletingBox);

    boxtest::MessageBoxAnswers::Answer() = IDYES;
    Box(BOXEVENT_DELETE_BOX, Ptr(box));
    EXPECT_EQ(kBoxFile, Written());
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    EXPECT_EQ(5u, m_infoManager.m_boxes.size());
    EXPECT_FALSE(::IsWindow(window));
    for (const std::wstring& left : Names())
        EXPECT_NE(name, left);
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_FALSE(g_bDeletingBox);

    // A second delete while the first is under way is ignored.
    g_bDeletingBox = TRUE;
    boxtest::MessageBoxAnswers::Asked().clear();
    Box(BOXEVENT_DELETE_BOX, Ptr(BoxAt(0)));
    EXPECT_TRUE(boxtest::MessageBoxAnswers::Asked().empty());
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    g_bDeletingBox = FALSE;
}

TEST_F(ManagerTest, TheLastBoxCannotBeDeleted)
{
    ASSERT_TRUE(Start());
    while (m_manager->m_boxList.size() > 1)
        Box(BOXEVENT_DELETE_BOX, Ptr(BoxAt(0)));
    ForgetFiles();
    boxtest::MessageBoxAnswers::Asked().clear();
    Box(BOXEVENT_DELETE_BOX, Ptr(BoxAt(0)));
    ASSERT_EQ(1u, boxtest::MessageBoxAnswers::Asked().size());
    EXPECT_EQ(L"You can't delete last one.", boxtest::MessageBoxAnswers::Asked()[0]);
    EXPECT_EQ(1u, m_manager->m_boxList.size());
    EXPECT_EQ(1u, m_infoManager.m_boxes.size());
    EXPECT_EQ(0, Written());
    EXPECT_FALSE(g_bDeletingBox);
}

TEST_F(ManagerTest, EditSavesBoxAndStyleOnlyOnOk)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* box = BoxAt(2);
    box->m_bHover = TRUE;
    const CString oldName = box->m_pInfo->m_strName;

    ForgetFiles();
    g_script.answer = IDCANCEL;
    Box(BOXEVENT_EDIT_BOX, Ptr(box));
    EXPECT_EQ(0, Written());
    EXPECT_FALSE(g_script.seen.bNewBox);
    EXPECT_EQ(oldName, g_script.seen.strName);
    EXPECT_EQ(oldName, box->m_pInfo->m_strName);
    EXPECT_FALSE(box->m_bHover);
    EXPECT_FALSE(g_bDialogOpen);

    g_script.answer = IDOK;
    g_script.name = L"Renamed";
    g_script.icon = L"x.png";
    Box(BOXEVENT_EDIT_BOX, Ptr(box));
    EXPECT_EQ(kBoxFile | kStyleFile, Written());
    EXPECT_EQ(L"Renamed", box->m_pInfo->m_strName);
    EXPECT_EQ(L"x.png", box->m_pInfo->m_strIcon);
    EXPECT_FALSE(g_bDialogOpen);

    // The wizard names the box by its record.
    ForgetFiles();
    g_script.name = L"From wizard";
    g_bWizardExists = TRUE;
    Wizard(WIZEVENT_EDIT_BOX, Ptr(box->m_pInfo));
    EXPECT_EQ(kBoxFile | kStyleFile, Written());
    EXPECT_EQ(L"From wizard", box->m_pInfo->m_strName);
}

// ---- Pointers from outside the list ------------------------------------------------------------

TEST_F(ManagerTest, APointerThatIsNoListedBoxIsLoggedAndIgnored)
{
    ASSERT_TRUE(Start());
    CTarneloWnd stranger;  // a real object, but not one of the manager's boxes
    const LPARAM foreign[] = { 0x10, 0x12345678, -1, Ptr(&stranger), Ptr(m_infoManager.m_boxes.front()) };
    ForgetFiles();
    for (const LPARAM value : foreign) {
        for (const WPARAM code : { BOXEVENT_ADD_BOX, BOXEVENT_DELETE_BOX, BOXEVENT_EDIT_BOX }) {
            // Posted as another process would post it.
            ASSERT_TRUE(::PostMessageW(m_manager->m_hWnd, WM_BOXMSG, code, value));
            boxtest::PumpPending();
        }
    }
    EXPECT_EQ(0, g_script.calls);
    EXPECT_TRUE(boxtest::MessageBoxAnswers::Asked().empty());
    EXPECT_EQ(0, Written());
    EXPECT_EQ(6u, m_manager->m_boxList.size());
    EXPECT_EQ(6u, m_infoManager.m_boxes.size());
    EXPECT_EQ(15u, LogCount("not a box of this program"));
    EXPECT_FALSE(g_bDialogOpen);
    EXPECT_FALSE(g_bDeletingBox);
}

TEST_F(ManagerTest, ABoxRemovedWhileTheEditDialogIsUpIsNotTouchedAfterIt)
{
    ASSERT_TRUE(Start());
    CTarneloWnd* box = BoxAt(3);
    g_script.manager = m_manager.get();
    g_script.removeDuring = box;
    g_script.answer = IDOK;
    g_script.name = L"Gone";

    Box(BOXEVENT_EDIT_BOX, Ptr(box));
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    for (const std::wstring& name : Names())
        EXPECT_NE(L"Gone", name);
    EXPECT_TRUE(LogHas("<boxmng> EditBox: not a box of this program"));
    EXPECT_FALSE(g_bDialogOpen);

    // The same for a new box issued by a box that goes while the dialog is up.
    CTarneloWnd* issuer = BoxAt(0);
    g_script.removeDuring = issuer;
    g_script.name = L"Orphan";
    Box(BOXEVENT_ADD_BOX, Ptr(issuer));
    EXPECT_EQ(4u, m_manager->m_boxList.size());
    EXPECT_EQ(4u, m_infoManager.m_boxes.size());
    for (const std::wstring& name : Names())
        EXPECT_NE(L"Orphan", name);
}

// ---- Sizes -------------------------------------------------------------------------------------

TEST_F(ManagerTest, HorizontalSizeGivesEveryBoxAWidthBetweenTheMinimumAndTheWorkArea)
{
    ASSERT_TRUE(Start());
    Model::CTarneloStyleInfo& style = *m_manager->m_pStyle;
    ASSERT_NE(2, style.m_nIconDisplay);
    const int cell = style.m_nIconCellWidth;
    const int minimum = cell + Model::kMinimumTitleWidth;
    const SIZE area = Model::GetWorkAreaSize();
    ASSERT_GT(area.cx, 320);

    struct Case
    {
        LPARAM asked;
        int width;
    };
    const Case cases[] = {
        { 320, 320 },
        { 0, minimum },
        { 5, minimum },
        { -400, minimum },
        { cell, minimum },
        { LPARAM(INT_MIN), minimum },
        { -(LPARAM(1) << 40), minimum },
        { area.cx, area.cx },
        { 5000, area.cx },
        { 32767, area.cx },
        { 32768, area.cx },
        { 65536, area.cx },
        { 100000, area.cx },
        { LPARAM(INT_MAX), area.cx },
        { LPARAM(1) << 40, area.cx },
    };
    for (const Case& c : cases) {
        Box(BOXEVENT_UPDATE_HORIZONTAL_SIZE, c.asked);
        EXPECT_EQ(c.width - cell, style.m_nTitleWidth) << c.asked;
        for (CTarneloWnd* box : m_manager->m_boxList) {
            const RECT r = RectOf(box);
            EXPECT_EQ(c.width, r.right - r.left) << c.asked;
            EXPECT_EQ(style.m_nIconCellHeight, r.bottom - r.top) << c.asked;
            // A box its width pushed over the screen's edge is back on it.
            EXPECT_GE(r.left, 0) << c.asked;
            EXPECT_LE(r.right, ::GetSystemMetrics(SM_CXVIRTUALSCREEN)) << c.asked;
        }
        // What was saved is what a restart reads.
        Model::CTarneloStyleInfo reread;
        ASSERT_TRUE(reread.Load(Path(L"style.ser").c_str()));
        EXPECT_EQ(c.width - cell, reread.m_nTitleWidth) << c.asked;
    }
    EXPECT_TRUE(LogHas("<boxmng> box width out of range, taken as (" + std::to_string(minimum) + ")"));
    EXPECT_TRUE(LogHas("<boxmng> box width out of range, taken as (" + std::to_string(area.cx) + ")"));
}

TEST_F(ManagerTest, WithoutIconsTheTitleIsTheWholeWidthAndTheBoxIsMeasuredAsAtStart)
{
    ASSERT_TRUE(Start());
    Model::CTarneloStyleInfo& style = *m_manager->m_pStyle;
    style.m_nIconDisplay = 2;
    Box(BOXEVENT_UPDATE_STYLE, 0);  // icon-hidden layout, saved

    Box(BOXEVENT_UPDATE_HORIZONTAL_SIZE, 260);
    EXPECT_EQ(260, style.m_nTitleWidth);
    int w = 0;
    int h = 0;
    style.MeasureBox(w, h, m_manager->m_hWnd);
    EXPECT_EQ(260, w);
    for (CTarneloWnd* box : m_manager->m_boxList) {
        const RECT r = RectOf(box);
        EXPECT_EQ(260, r.right - r.left);
        EXPECT_EQ(h, r.bottom - r.top);
    }

    Box(BOXEVENT_UPDATE_HORIZONTAL_SIZE, 3);
    EXPECT_EQ(Model::kMinimumTitleWidth, style.m_nTitleWidth);

    // A restart sizes the boxes from the saved style exactly so.
    Model::CTarneloStyleInfo reread;
    ASSERT_TRUE(reread.Load(Path(L"style.ser").c_str()));
    int rw = 0;
    int rh = 0;
    reread.MeasureBox(rw, rh, m_manager->m_hWnd);
    const RECT r = RectOf(BoxAt(0));
    EXPECT_EQ(r.right - r.left, rw);
    EXPECT_EQ(r.bottom - r.top, rh);
}

TEST_F(ManagerTest, StylePreviewResizesButDoesNotSaveAndRestoreBringsTheSavedSizeBack)
{
    ASSERT_TRUE(Start());
    Box(BOXEVENT_UPDATE_STYLE, 0);
    const testfs::Bytes file = testfs::ReadBytes(Path(L"style.ser"));
    const RECT saved = RectOf(BoxAt(0));
    m_manager->m_pStyle->m_nTitleWidth += 50;
    Box(BOXEVENT_UPDATE_STYLE, 1);
    EXPECT_EQ(file, testfs::ReadBytes(Path(L"style.ser")));
    const RECT preview = RectOf(BoxAt(0));
    EXPECT_EQ((saved.right - saved.left) + 50, preview.right - preview.left);

    // Cancel: the style comes back from its file, and every box to its size, window and
    // drawing surface alike.
    Box(BOXEVENT_RESTORE_STYLE, 0);
    for (CTarneloWnd* box : m_manager->m_boxList) {
        const RECT after = RectOf(box);
        EXPECT_EQ(saved.right - saved.left, after.right - after.left);
        EXPECT_EQ(saved.bottom - saved.top, after.bottom - after.top);
        EXPECT_EQ(saved.right - saved.left, box->m_rcContent.Width);
        EXPECT_EQ(saved.bottom - saved.top, box->m_rcContent.Height);
    }
}

// ---- Moving, aligning, wizard removal ---------------------------------------------------------

TEST_F(ManagerTest, EntirelyMoveMovesEveryOtherBoxByTheDraggedBoxsStep)
{
    ASSERT_TRUE(Start());
    std::vector<RECT> before;
    for (CTarneloWnd* box : m_manager->m_boxList)
        before.push_back(RectOf(box));
    CTarneloWnd* dragged = BoxAt(2);
    dragged->m_bMoving = TRUE;
    dragged->MoveTo(before[2].left - 30, before[2].top + 20);
    Box(BOXEVENT_ENTIRELY_MOVE, 0);
    dragged->m_bMoving = FALSE;
    size_t i = 0;
    for (CTarneloWnd* box : m_manager->m_boxList) {
        const RECT r = RectOf(box);
        EXPECT_EQ(before[i].left - 30, r.left) << i;
        EXPECT_EQ(before[i].top + 20, r.top) << i;
        if (i != 2) {
            EXPECT_EQ(r.left, box->m_pInfo->m_pos.x);  // stored in the record
        }
        ++i;
    }
}

TEST_F(ManagerTest, AlignOnOkOrdersTheBoxesByTopEdgeAndSavesTheBoxFile)
{
    ASSERT_TRUE(Start());
    // Reverse the vertical order.
    int y = 400;
    for (CTarneloWnd* box : m_manager->m_boxList) {
        box->MoveBoxTo(50, y);
        y -= 50;
    }
    const CTarneloWnd* last = m_manager->m_boxList.back();

    ForgetFiles();
    g_script.answer = IDCANCEL;
    Box(BOXEVENT_ALIGN_WINDOW, 0);
    EXPECT_EQ(0, Written());
    EXPECT_EQ(last, m_manager->m_boxList.back());

    g_script.answer = IDOK;
    g_script.clearance = 25;
    Box(BOXEVENT_ALIGN_WINDOW, 0);
    EXPECT_EQ(kBoxFile, Written());
    EXPECT_EQ(25, m_manager->m_nClearance);
    EXPECT_EQ(last, m_manager->m_boxList.front());
    int top = INT_MIN;
    for (CTarneloWnd* box : m_manager->m_boxList) {
        EXPECT_LE(top, RectOf(box).top);
        top = RectOf(box).top;
    }
}

TEST_F(ManagerTest, UpdateBoxInfoRemovesHiddenBoxesOnlyWhileTheWizardExists)
{
    ASSERT_TRUE(Start());
    BoxAt(1)->m_pInfo->m_bVisible = FALSE;
    Box(BOXEVENT_UPDATE_BOX_INFO, 0);
    EXPECT_EQ(6u, m_manager->m_boxList.size());

    g_bWizardExists = TRUE;
    const HWND hidden = BoxAt(1)->m_hWnd;
    Box(BOXEVENT_UPDATE_BOX_INFO, 0);
    g_bWizardExists = FALSE;
    EXPECT_EQ(5u, m_manager->m_boxList.size());
    EXPECT_EQ(5u, m_infoManager.m_boxes.size());
    EXPECT_FALSE(::IsWindow(hidden));

    Model::CTarneloInfoManager reread;
    reread.Bind(CString((m_data + L"\\files").c_str()), CString(), nullptr, nullptr);
    ASSERT_TRUE(reread.Load(CString(Path(L"tarnelo.ser").c_str())));
    EXPECT_EQ(5u, reread.m_boxes.size());
}

// ---- Keyboard ----------------------------------------------------------------------------------

TEST_F(ManagerTest, TypeAheadFindsTheBoxWithTheLongestSharedBeginning)
{
    ASSERT_TRUE(Start());
    const auto nameOf = [&](const wchar_t* text) -> std::wstring {
        const CTarneloWnd* box = m_manager->FindBoxByPrefix(CString(text));
        return box ? box->m_pInfo->m_strName.GetString() : L"(none)";
    };
    EXPECT_EQ(L"Documents", nameOf(L"D"));
    EXPECT_EQ(L"Documents", nameOf(L"DX"));
    EXPECT_EQ(L"Documents", nameOf(L"docu"));
    EXPECT_EQ(L"Apps", nameOf(L"Q"));
    EXPECT_EQ(L"Apps", nameOf(L""));
    EXPECT_EQ(L"Hot items", nameOf(L"HOT"));
    EXPECT_EQ(L"Folders", nameOf(L"F"));
}

TEST_F(ManagerTest, ArrowKeysMoveTheSelectionAlongTheListAndWrapAround)
{
    ASSERT_TRUE(Start());
    // No box hovered: Up and Down do nothing and log nothing.
    Box(BOXEVENT_KEY, VK_DOWN);
    Box(BOXEVENT_KEY, VK_UP);
    EXPECT_FALSE(LogHas("EventKeyNextBox"));
    EXPECT_FALSE(LogHas("EventKeyPrevBox"));
    for (CTarneloWnd* box : m_manager->m_boxList)
        EXPECT_FALSE(box->m_bHover);
    // Any key starts the selection mode, which highlights every box.
    EXPECT_TRUE(m_manager->m_bSelectionMode);
    for (CTarneloWnd* box : m_manager->m_boxList)
        EXPECT_TRUE(box->m_bHighlight);

    // Home and End work without a hovered box.
    Box(BOXEVENT_KEY, VK_END);
    EXPECT_TRUE(BoxAt(5)->m_bHover);
    Box(BOXEVENT_KEY, VK_HOME);
    EXPECT_TRUE(BoxAt(0)->m_bHover);
    EXPECT_FALSE(BoxAt(5)->m_bHover);

    Box(BOXEVENT_KEY, VK_DOWN);
    EXPECT_TRUE(BoxAt(1)->m_bHover);
    EXPECT_FALSE(BoxAt(0)->m_bHover);
    EXPECT_TRUE(LogHas("Event: EventKeyNextBox"));

    Box(BOXEVENT_KEY, VK_UP);
    Box(BOXEVENT_KEY, VK_UP);  // from the first box to the last
    EXPECT_TRUE(BoxAt(5)->m_bHover);
    EXPECT_FALSE(BoxAt(0)->m_bHover);
    Box(BOXEVENT_KEY, VK_DOWN);  // from the last box to the first
    EXPECT_TRUE(BoxAt(0)->m_bHover);
    EXPECT_FALSE(BoxAt(5)->m_bHover);
    ::SetCursorPos(5, 1000);
}

TEST_F(ManagerTest, TypedLettersSelectByNameAndTheTextClearsAfterASecond)
{
    ASSERT_TRUE(Start());
    Box(BOXEVENT_KEY, 'D');
    EXPECT_EQ(L"D", m_manager->m_strTypedText);
    EXPECT_TRUE(BoxAt(2)->m_bHover);  // "Documents"
    Box(BOXEVENT_KEY, 'X');
    EXPECT_TRUE(BoxAt(2)->m_bHover);
    Box(BOXEVENT_KEY, VK_BACK);
    Box(BOXEVENT_KEY, VK_BACK);
    EXPECT_TRUE(m_manager->m_strTypedText.IsEmpty());
    EXPECT_TRUE(BoxAt(0)->m_bHover);  // the empty text matches the first box
    EXPECT_FALSE(BoxAt(2)->m_bHover);

    // Enter opens the hovered box (it has no items, so no list) and empties the text.
    Box(BOXEVENT_KEY, 'T');
    Box(BOXEVENT_KEY, VK_RETURN);
    EXPECT_TRUE(m_manager->m_strTypedText.IsEmpty());
    EXPECT_TRUE(LogHas("] Open:Tools\r\n\r\n"));  // its line feed, then the line's end

    Box(BOXEVENT_KEY, 'S');
    ASSERT_TRUE(boxtest::PumpUntil([&] { return m_manager->m_strTypedText.IsEmpty(); }));
    EXPECT_TRUE(LogHas("Clear box selection"));
    ::SetCursorPos(5, 1000);
}

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

// What a box window's WM_DESTROY finds: whether it is still listed and its record still kept.
struct DestroyWatch
{
    HWND window = nullptr;
    const CTarneloWndManager* manager = nullptr;
    const Model::CTarneloInfoManager* records = nullptr;
    const Model::CTarneloInfo* record = nullptr;
    int seen = 0;
    bool listed = true;
    bool recordKept = false;
};
DestroyWatch g_watch;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_watch.window && message->message == WM_DESTROY) {
        ++g_watch.seen;
        g_watch.listed = false;
        for (const CTarneloWnd* box : g_watch.manager->m_boxList)
            g_watch.listed = g_watch.listed || box->m_hWnd == g_watch.window;
        g_watch.recordKept = false;
        for (const Model::CTarneloInfo* record : g_watch.records->m_boxes)
            g_watch.recordKept = g_watch.recordKept || record == g_watch.record;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ManagerTest, ADeletedBoxsWindowGoesAndLeavesTheListBeforeItsRecordIsDeleted)
{
    ASSERT_TRUE(Start());
    for (const bool wizard : { false, true }) {
        CTarneloWnd* box = BoxAt(1);
        g_watch = DestroyWatch();
        g_watch.window = box->m_hWnd;
        g_watch.manager = m_manager.get();
        g_watch.records = &m_infoManager;
        g_watch.record = box->m_pInfo;
        const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &WatchDestroy, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
        if (wizard) {
            // A box hidden in the wizard goes with UpdateBoxInfo.
            box->m_pInfo->m_bVisible = FALSE;
            g_bWizardExists = TRUE;
            Box(BOXEVENT_UPDATE_BOX_INFO, 0);
            g_bWizardExists = FALSE;
        } else {
            Box(BOXEVENT_DELETE_BOX, Ptr(box));
        }
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ(1, g_watch.seen) << wizard;
        EXPECT_FALSE(g_watch.listed) << wizard;
        EXPECT_TRUE(g_watch.recordKept) << wizard;
    }
    EXPECT_EQ(4u, m_manager->m_boxList.size());
    EXPECT_EQ(4u, m_infoManager.m_boxes.size());
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
enum class Request { DeleteBox, Close, CloseList, ReloadInWizard };

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
        { BoxLoop::MessageBox, Request::DeleteBox },
        { BoxLoop::MessageBox, Request::Close },
        { BoxLoop::FileDialog, Request::DeleteBox },
        { BoxLoop::FileDialog, Request::Close },
        { BoxLoop::StyleDialog, Request::DeleteBox },
        { BoxLoop::StyleDialog, Request::Close },
        { BoxLoop::StyleDialog, Request::ReloadInWizard },
        { BoxLoop::ListDrag, Request::DeleteBox },
        { BoxLoop::ListDrag, Request::Close },
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
        g_bWizardExists = request == Request::ReloadInWizard;
        RunBoxLoop(loop, box, m_data, L"report.txt", [&] {
            list = box->m_pFileList.get();
            if (request == Request::DeleteBox)
                ::PostMessageW(window, WM_BOXMSG, BOXEVENT_DELETE_BOX, Ptr(box));
            else if (request == Request::Close)
                ::PostMessageW(window, WM_CLOSE, 0, 0);
            else if (request == Request::CloseList)
                ::PostMessageW(list->m_hWnd, WM_DESTROY, 0, 0);
            else
                ::PostMessageW(window, WM_WIZMSG, WIZEVENT_RELOAD_BOXIES, 0);
        });
        ASSERT_TRUE(::IsWindow(window));
        ASSERT_TRUE(m_manager->IsListedBox(box));
        EXPECT_LT(waited, LogCount("waits for"));
        if (request == Request::DeleteBox) {
            ASSERT_TRUE(boxtest::PumpUntil([&] { return !m_manager->IsListedBox(box); }));
            EXPECT_EQ(boxes - 1, m_manager->m_boxList.size());
        } else if (request == Request::Close) {
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

TEST_F(ManagerTest, TheExitEventClosesTheWindowAndSavesNothing)
{
    ASSERT_TRUE(Start());
    std::vector<HWND> boxes;
    for (CTarneloWnd* box : m_manager->m_boxList)
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

}  // namespace
