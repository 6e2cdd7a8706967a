// The common ground of the manager window's tests: GDI+ for the suite, a fresh data folder with
// its log, icon cache and bound records, helpers that read the folder back, and the fixture
// of the event tests with its scripted dialogs.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <iterator>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Logger.h"
#include "framework/AfxMessageBox.h"
#include "framework/TempFolder.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/IconManager.h"
#include "windows/CTarneloWnd.h"
#include "windows/CTarneloWndManager.h"
#include "BoxWndTestSupport.h"
#include "DialogTestSupport.h"

namespace managertest {

class ManagerFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_gdiplusToken, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_gdiplusToken); }

    // Lays out the data folder (logs, files), starts the log there, binds the records to it and
    // parks the real cursor off every box.
    void PrepareDataFolder()
    {
        m_data = m_temp.Path();
        m_logs = m_data + L"\\logs";
        ::CreateDirectoryW(m_logs.c_str(), nullptr);
        ::CreateDirectoryW((m_data + L"\\files").c_str(), nullptr);
        LogInit(m_logs.c_str());
        m_icons.Init(CString((m_data + L"\\fileIcons").c_str()));
        m_infoManager.Bind(CString((m_data + L"\\files").c_str()), CString((m_data + L"\\icons").c_str()), &m_icons,
                           &m_config);
        ::SetCursorPos(5, 1000);
    }
    // After the manager has gone: no message-box hook, no pending messages, and the profile cache
    // keeps nothing of this folder's "config.ini".
    void FinishTest()
    {
        AfxSetMessageBoxHook(nullptr);
        boxtest::PumpPending();
        FlushProfile();
    }

    std::wstring Path(const wchar_t* name) const { return m_data + L"\\" + name; }
    std::wstring ConfigPath() const { return Path(L"config.ini"); }
    void FlushProfile() const { ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ConfigPath().c_str()); }
    std::wstring Ini(const wchar_t* section, const wchar_t* key) const
    {
        FlushProfile();
        wchar_t text[64] = {};
        ::GetPrivateProfileStringW(section, key, L"", text, 64, ConfigPath().c_str());
        return text;
    }
    void WriteInstallDate(const wchar_t* date = L"20261201_101010")
    {
        ::WritePrivateProfileStringW(L"install", L"date", date, ConfigPath().c_str());
        FlushProfile();
    }
    // Creates the manager on the folder and starts it.
    bool StartManager()
    {
        m_manager = std::make_unique<CTarneloWndManager>(&m_infoManager, &m_config);
        return m_manager->Init(CString(m_data.c_str())) != FALSE;
    }

    CTarneloWnd* BoxAt(size_t index) const
    {
        auto it = m_manager->m_boxList.begin();
        std::advance(it, static_cast<long>(index));
        return it->get();
    }
    static RECT RectOf(const CTarneloWnd* box)
    {
        RECT r = {};
        ::GetWindowRect(box->m_hWnd, &r);
        return r;
    }
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (const Model::CTarneloInfo* record : m_infoManager.m_boxes)
            names.push_back(record->m_strName.GetString());
        return names;
    }

    std::string Logs() const { return boxtest::ReadAllLogs(m_logs); }
    bool LogHas(const std::string& text) const { return Logs().find(text) != std::string::npos; }
    size_t LogCount(const char* text) const
    {
        const std::string all = Logs();
        size_t n = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++n;
        return n;
    }

    static inline ULONG_PTR s_gdiplusToken = 0;
    TempFolder m_temp;
    std::wstring m_data;
    std::wstring m_logs;
    Model::IconManager m_icons;
    Model::CConfigInfo m_config;
    Model::CTarneloInfoManager m_infoManager;
    std::unique_ptr<CTarneloWndManager> m_manager;  // goes before the records it points to
};

// ---- The manager's event tests ------------------------------------------------------------------
// One fixture for the tests of the boxes and events, of the life of the window and of the
// keyboard selection: the dialog hooks answer from a script, message boxes are answered Yes.

inline bool FileExists(const std::wstring& path)
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
    std::function<void(CTarneloWndManager*)> inWizard;  // runs while the wizard is "up"
    BOOL dispatchDuring = FALSE;  // the dialog's loop runs what is queued
};
inline DialogScript g_script;

inline INT_PTR ScriptedEditBox(CTarneloWndManager::_BOX_DIALOG& data)
{
    ++g_script.calls;
    g_script.seen = data;
    if (g_script.removeDuring && g_script.manager)
        g_script.manager->OnDeleteBox(g_script.removeDuring->RequestId());
    if (g_script.dispatchDuring)
        testpump::DispatchQueued();
    if (g_script.answer == IDOK) {
        data.strName = g_script.name;
        data.strIcon = g_script.icon;
        data.color = g_script.color;
    }
    return g_script.answer;
}

inline INT_PTR ScriptedClearance(int& clearance)
{
    ++g_script.calls;
    if (g_script.answer == IDOK)
        clearance = g_script.clearance;
    return g_script.answer;
}

inline INT_PTR ScriptedWizard(CTarneloWndManager* manager)
{
    ++g_script.calls;
    // The wizard exists while it runs, as the real one says.
    g_bWizardExists = TRUE;
    if (g_script.reloadInWizard)
        ::SendMessageW(manager->m_hWnd, WM_WIZMSG, WIZEVENT_RELOAD_BOXIES, 1);
    if (g_script.inWizard)
        g_script.inWizard(manager);
    g_bWizardExists = FALSE;
    return g_script.answer;
}

class ManagerTest : public ManagerFixture
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

}  // namespace managertest
