// The program's one application object: it starts the platform services, refuses a second
// instance, starts the logger with the start-up lines, and hands over to the manager
// window. Its static folder operations tell the rest of the program where its data lives.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include "framework/CString.h"
#include "framework/CWinAppEx.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/IconManager.h"
#include "windows/CTarneloWndManager.h"

class CTarneloApp : public CWinAppEx
{
public:
    CTarneloApp();
    ~CTarneloApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The per-user data folder (empty when it cannot be found) and the paths below it; the
    // images folder lies beside the program file. None of them creates anything.
    static CString GetDataFolder();
    static CString GetIconsFolder();
    static CString GetFilesFolder();
    static CString GetImagesFolder();
    static CString GetBoxFilePath();

    // Writes the version, processor, memory, system, display, time-zone and language lines.
    static void LogSystemInfo();

    // Members in declaration (and so construction) order. The manager window object comes
    // last because it takes pointers to the box list and the settings while it is built, and
    // goes first at exit, before the records its boxes point to.
    Model::CTarneloInfoManager m_infoManager;
    Model::CConfigInfo m_config;
    Model::IconManager m_iconManager;
    Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
    ULONG_PTR m_gdiplusToken = 0;
    CTarneloWndManager m_wndManager;

private:
    // Set once this instance has passed the single-instance guard and started its services;
    // a refused start has nothing to shut down.
    BOOL m_bServicesStarted = FALSE;
    BOOL m_bSocketsStarted = FALSE;

    DECLARE_MESSAGE_MAP()
};
