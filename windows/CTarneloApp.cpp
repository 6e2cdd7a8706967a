#include "windows/CTarneloApp.h"

#include <commctrl.h>
#include <ole2.h>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "framework/AfxSocket.h"
#include "framework/CWnd.h"
#include "windows/CWndShadow.h"

namespace {

const wchar_t kInstanceMutexName[] = L"Tarnelo";

}  // namespace

BEGIN_MESSAGE_MAP(CTarneloApp, CWinAppEx)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CTarneloApp::CTarneloApp()
    : CWinAppEx(TRUE),
      m_wndManager(&m_infoManager, &m_config)
{
    // Exceptions caught at window procedures and in the message loop, and the framework's
    // own lines, go to the log.
    AfxSetExceptionLogger(&LogException);
    AfxSetLogger(&Log);
}

CTarneloApp::~CTarneloApp() = default;

BOOL CTarneloApp::InitInstance()
{
    // 1. One instance per user session; a refused start starts and logs nothing.
    if (IsAlreadyRunning(kInstanceMutexName))
        return FALSE;
    m_bServicesStarted = TRUE;

    // 2-5. Platform services; a failure shows up later where the service is used.
    ::CoInitialize(nullptr);
    ::OleInitialize(nullptr);
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusStartupInput, nullptr);
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);
    CWinAppEx::InitInstance();
    m_bSocketsStarted = AfxSocketInit(nullptr);

    // 6. The data folder with its "files" and "logs" folders. Failures are met later by
    // whoever uses the folders.
    const CString data = GetDataFolder();
    CreateDirectoryTree(data);
    CreateDirectoryTree(GetFilesFolder());
    const CString logs = data + L"\\logs";
    CreateDirectoryTree(logs);

    // 7-9. The log and the start-up lines.
    LogInit(logs);
    Log(kLogInfo, L"------ started ------");
    Log(kLogInfo, CString(L"Build: ") + CString(__DATE__));
    Log(kLogInfo, GetImagesFolder());
    Log(kLogInfo, data);
    LogSystemInfo();

    // 10. The drop shadow's window class.
    Utility::CWndShadow::Initialize(m_hInstance);

    // 11. The icon cache, and what the box list takes from the application: the folders that
    // box folders and box images live in, the icon cache and the settings.
    m_iconManager.Init(data + L"\\fileIcons");
    m_infoManager.Bind(GetFilesFolder(), GetIconsFolder(), &m_iconManager, &m_config);

    // 12. The manager loads the data and makes the boxes; it is the main window from now on.
    if (!m_wndManager.Init(data))
        return FALSE;
    m_pMainWnd = &m_wndManager;
    return TRUE;
}

int CTarneloApp::ExitInstance()
{
    Log(kLogInfo, L"------ exit ------");
    if (m_bServicesStarted) {
        if (m_gdiplusToken)
            Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_gdiplusToken = 0;
        ::CoUninitialize();
        ::OleUninitialize();
        if (m_bSocketsStarted)
            AfxSocketTerm();
        m_bSocketsStarted = FALSE;
        m_bServicesStarted = FALSE;
    }
    return CWinAppEx::ExitInstance();
}

CString CTarneloApp::GetDataFolder()
{
    return ::GetDataFolder();
}

CString CTarneloApp::GetIconsFolder()
{
    return GetDataFolder() + L"\\icons";
}

CString CTarneloApp::GetFilesFolder()
{
    return GetDataFolder() + L"\\files";
}

CString CTarneloApp::GetImagesFolder()
{
    return GetModuleFolder() + L"\\images";
}

CString CTarneloApp::GetBoxFilePath()
{
    return Model::CTarneloInfoManager::FilePath(GetDataFolder());
}

void CTarneloApp::LogSystemInfo()
{
    Log(kLogInfo, CString(L"version:") + GetAppVersion());

    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    Log(kLogInfo, FormatString(L"cpu {arch:%d num:%d type:%d level:%d rev:%d}",
                              static_cast<int>(system.wProcessorArchitecture),
                              static_cast<int>(system.dwNumberOfProcessors), static_cast<int>(system.dwProcessorType),
                              static_cast<int>(system.wProcessorLevel), static_cast<int>(system.wProcessorRevision)));

    // The memory figures are pointer-sized on 64-bit Windows: print them whole.
    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof(memory);
    ::GlobalMemoryStatus(&memory);
    Log(kLogInfo, FormatString(L"memory load:%d%%", static_cast<int>(memory.dwMemoryLoad)));
    Log(kLogInfo, FormatString(L"memory total{phy:%llu page:%llu virtual:%llu}",
                              static_cast<unsigned long long>(memory.dwTotalPhys),
                              static_cast<unsigned long long>(memory.dwTotalPageFile),
                              static_cast<unsigned long long>(memory.dwTotalVirtual)));
    Log(kLogInfo, FormatString(L"memory available{phy:%llu page:%llu virtual:%llu}",
                              static_cast<unsigned long long>(memory.dwAvailPhys),
                              static_cast<unsigned long long>(memory.dwAvailPageFile),
                              static_cast<unsigned long long>(memory.dwAvailVirtual)));

    CString osName;
    CString servicePack;
    int major = 0;
    int minor = 0;
    if (GetOSInfo(&osName, &servicePack, &major, &minor)) {
        Log(kLogInfo, FormatString(L"OS: windows %s - %s (%d.%d)", osName.GetString(), servicePack.GetString(), major,
                                  minor));
    }

    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    Log(kLogInfo, FormatString(L"display num:%d corner(%d,%d) primary(%d,%d) virtual(%d,%d) work(%d,%d)",
                              ::GetSystemMetrics(SM_CMONITORS), ::GetSystemMetrics(SM_XVIRTUALSCREEN),
                              ::GetSystemMetrics(SM_YVIRTUALSCREEN), ::GetSystemMetrics(SM_CXSCREEN),
                              ::GetSystemMetrics(SM_CYSCREEN), ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                              ::GetSystemMetrics(SM_CYVIRTUALSCREEN), static_cast<int>(work.left),
                              static_cast<int>(work.top)));

    TIME_ZONE_INFORMATION zone = {};
    const DWORD zoneResult = ::GetTimeZoneInformation(&zone);
    const DWORD zoneError = ::GetLastError();
    // The names are fixed-size fields: never trust them to hold their terminating NUL.
    zone.StandardName[sizeof(zone.StandardName) / sizeof(zone.StandardName[0]) - 1] = L'\0';
    zone.DaylightName[sizeof(zone.DaylightName) / sizeof(zone.DaylightName[0]) - 1] = L'\0';
    Log(kLogInfo, FormatString(L"TZ result:%d (err:%d) bias:%d", static_cast<int>(zoneResult),
                              static_cast<int>(zoneError), static_cast<int>(zone.Bias)));
    Log(kLogInfo, FormatString(L"TZ(standard) %s bias:%d", zone.StandardName, static_cast<int>(zone.StandardBias)));
    Log(kLogInfo, FormatString(L"TZ(daylight) %s bias:%d", zone.DaylightName, static_cast<int>(zone.DaylightBias)));

    Log(kLogInfo, FormatString(L"UserDefault LCID:%d LangID:%d UILanguage:%d", static_cast<int>(::GetUserDefaultLCID()),
                              static_cast<int>(::GetUserDefaultLangID()),
                              static_cast<int>(::GetUserDefaultUILanguage())));
    Log(kLogInfo, FormatString(L"SystemDefault LCID:%d LangID:%d UILanguage:%d",
                              static_cast<int>(::GetSystemDefaultLCID()), static_cast<int>(::GetSystemDefaultLangID()),
                              static_cast<int>(::GetSystemDefaultUILanguage())));
}
