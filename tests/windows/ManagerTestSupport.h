// The common ground of the manager window's tests: GDI+ for the suite, a fresh data folder with
// its log, icon cache and bound records, and helpers that read the folder back.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <iterator>
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
        return *it;
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

}  // namespace managertest
