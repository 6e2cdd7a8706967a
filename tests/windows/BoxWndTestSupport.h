// What the box window tests share: GDI+, a temporary folder with a box folder and a log
// folder, a recording stand-in for the manager window, answers for message boxes, dropped
// file lists built in this process, and reading the back buffer and the log.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "core/Logger.h"
#include "framework/AfxMessageBox.h"
#include "framework/CWnd.h"
#include "framework/TempFolder.h"
#include "TestPump.h"
#include "TestDrop.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "windows/CTarneloWnd.h"

namespace boxtest {

using testpump::PumpUntil;

// Dispatches only what is queued now (posted messages, no waiting for timers).
inline void PumpPending() { testpump::DispatchQueued(1000); }

// The manager's stand-in: a hidden popup that records every box event it receives.
class CRecordingManager : public CWnd
{
public:
    struct Event
    {
        WPARAM code;
        LPARAM value;
    };
    std::vector<Event> events;

    BOOL Create()
    {
        return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), L"BoxTestManager", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
    }
    int Count(WPARAM code) const
    {
        int n = 0;
        for (const Event& e : events)
            n += e.code == code ? 1 : 0;
        return n;
    }
    const Event* Last(WPARAM code) const
    {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->code == code)
                return &*it;
        }
        return nullptr;
    }

protected:
    LRESULT OnBoxMsg(WPARAM wParam, LPARAM lParam)
    {
        events.push_back(Event{ wParam, lParam });
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

// Message boxes answered without showing them; every text asked is kept.
struct MessageBoxAnswers
{
    static std::vector<std::wstring>& Asked()
    {
        static std::vector<std::wstring> asked;
        return asked;
    }
    static int& Answer()
    {
        static int answer = IDYES;
        return answer;
    }
    static int Hook(const wchar_t* text, UINT)
    {
        Asked().push_back(text ? text : L"");
        return Answer();
    }
};

using testdrop::MakeDrop;

// One back-buffer pixel of a layered window as stored (premultiplied BGRA), or 0 outside the
// buffer or when there is none.
inline DWORD BackBufferPixel(const CVornWndBase& window, int x, int y)
{
    DIBSECTION dib = {};
    const HBITMAP bitmap = window.m_bitmap;
    if (!bitmap || ::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits)
        return 0;
    if (x < 0 || y < 0 || x >= dib.dsBm.bmWidth || y >= dib.dsBm.bmHeight)
        return 0;
    ::GdiFlush();
    const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
    return bits[static_cast<size_t>(y) * static_cast<size_t>(dib.dsBm.bmWidth) + static_cast<size_t>(x)];
}
inline BYTE Alpha(DWORD pixel) { return static_cast<BYTE>(pixel >> 24); }
inline BYTE Red(DWORD pixel) { return static_cast<BYTE>(pixel >> 16); }
inline BYTE Green(DWORD pixel) { return static_cast<BYTE>(pixel >> 8); }
inline BYTE Blue(DWORD pixel) { return static_cast<BYTE>(pixel); }

// Counts back-buffer pixels with any alpha inside a rectangle.
inline int InkCount(const CTarneloWnd& box, const RECT& area)
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            n += Alpha(BackBufferPixel(box, x, y)) != 0 ? 1 : 0;
    }
    return n;
}

// The middle (in y) of the rows of an area that hold a pixel other than the background, as
// the ink box's top plus half its height; -1 when the area holds none.
inline double InkMiddleY(const CVornWndBase& window, const RECT& area, DWORD background)
{
    int top = -1;
    int bottom = -1;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (BackBufferPixel(window, x, y) != background) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
        }
    }
    return top < 0 ? -1.0 : (top + bottom + 1) / 2.0;
}

inline std::string ReadAllLogs(const std::wstring& folder)
{
    std::string all;
    for (int day = 1; day <= 7; ++day) {
        const std::vector<BYTE> bytes = TempFolder::ReadBytes(folder + L"\\Log" + std::to_wstring(day) + L".txt");
        all.append(bytes.begin(), bytes.end());
    }
    return all;
}

inline std::string Utf8(const std::wstring& text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A fixture with GDI+, a temporary data area, a recording manager, a box record, a style,
// the settings, and answered message boxes. Boxes are made with MakeBox.
class BoxWndTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_gdiplusToken, &input, nullptr);
    }
    static void TearDownTestSuite()
    {
        Gdiplus::GdiplusShutdown(s_gdiplusToken);
    }

    void SetUp() override
    {
        m_logs = m_temp.Path() + L"\\logs";
        ::CreateDirectoryW(m_logs.c_str(), nullptr);
        LogInit(m_logs.c_str());
        m_boxFolder = m_temp.Path() + L"\\001";
        ::CreateDirectoryW(m_boxFolder.c_str(), nullptr);

        MessageBoxAnswers::Asked().clear();
        MessageBoxAnswers::Answer() = IDYES;
        AfxSetMessageBoxHook(&MessageBoxAnswers::Hook);
        g_bDialogOpen = g_bMenuOpen = g_bFileListOpen = g_bBoxDialogOpen = g_bNoFileNoticeShown = FALSE;

        ASSERT_TRUE(m_manager.Create());
        // The real cursor stays off every test box unless a test puts it there.
        ::SetCursorPos(1200, 1000);
        PumpPending();

        m_info.m_nId = 1;
        m_info.m_pos = POINT{ 200, 150 };
        m_info.m_strName = L"Apps";
        m_info.m_strFolder = m_boxFolder.c_str();

        // A plain, known look: a 40x40 icon cell, a 120-pixel title, opaque fills.
        m_style.m_nKind = 0;
        m_style.m_nIconDisplay = 0;
        m_style.m_iconPos = POINT{ 4, 4 };
        m_style.m_nIconCellWidth = 40;
        m_style.m_nIconCellHeight = 40;
        m_style.m_nTitleWidth = 120;
        m_style.m_bIconBackground = FALSE;
        m_style.m_selectedColor = 0xFF0000FF;
        m_style.m_hotKeyColor = 0xFFFF0000;
        m_style.m_bHotKeySelection = TRUE;
        m_style.m_titleStyle.SetFont(L"Liberation Sans", 16, 0);
        m_style.m_titleStyle.m_textColor = 0xFFFFFFFF;
        m_style.m_titleStyle.m_bOutline = FALSE;
        m_style.m_titleStyle.m_bShadow = FALSE;
        m_style.m_titleMargins = MARGINS{ 4, 4, 4, 4 };

        m_config.m_bLock = FALSE;
        m_config.m_bEntirelyMoveMode = FALSE;
        m_config.m_bRegisterAndMove = FALSE;
        m_config.m_bRegisterAndMoveConfirmed = FALSE;
    }

    void TearDown() override
    {
        CTarneloWnd::SetTrackMenuHook(nullptr);
        CTarneloWnd::SetTickHook(nullptr);
        CTarneloWnd::SetShellExecuteHook(nullptr);
        AfxSetMessageBoxHook(nullptr);
        g_bDialogOpen = g_bMenuOpen = g_bFileListOpen = g_bBoxDialogOpen = g_bNoFileNoticeShown = FALSE;
        ::ReleaseCapture();
        PumpPending();
    }

    // Creates the box, stops its hover timers (they follow the real cursor) and draws it.
    void MakeBox(CTarneloWnd& box, bool taskSwitcher = true, Model::CTarneloInfo* info = nullptr)
    {
        ASSERT_TRUE(box.Create(info ? info : &m_info, &m_manager, WM_BOXMSG, &m_style, &m_config, taskSwitcher ? TRUE : FALSE));
        box.KillTimer(CTarneloWnd::kTimerHoverCheck);
        box.KillTimer(CTarneloWnd::kTimerButtonCheck);
        PumpPending();
    }

    // A mouse message at a screen point, in the box's client coordinates of the moment.
    static void Mouse(CTarneloWnd& box, UINT message, POINT screen, UINT flags = 0)
    {
        RECT r;
        box.GetRect(r);
        const int x = screen.x - r.left;
        const int y = screen.y - r.top;
        ::SendMessageW(box.m_hWnd, message, flags, MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                                                              static_cast<WORD>(static_cast<short>(y))));
    }

    std::string Logs() const { return ReadAllLogs(m_logs); }
    bool LogHas(const char* text) const { return Logs().find(text) != std::string::npos; }

    std::wstring MakeFile(const wchar_t* name, const char* content = "data") const
    {
        const std::wstring path = m_temp.File(name);
        TempFolder::WriteBytes(path, std::vector<BYTE>(content, content + strlen(content)));
        return path;
    }

    static ULONG_PTR s_gdiplusToken;
    TempFolder m_temp;
    std::wstring m_logs;
    std::wstring m_boxFolder;
    CRecordingManager m_manager;
    Model::CTarneloInfo m_info;
    Model::CTarneloStyleInfo m_style;
    Model::CConfigInfo m_config;
};

}  // namespace boxtest
