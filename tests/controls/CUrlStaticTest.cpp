// The link control: blue text of its label or address, the hand cursor, and a click that
// opens the address through the shell (a recording stand-in here).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/CUrlStatic.h"
#include "controls/ControlsTestSupport.h"
#include "framework/AfxMessageBox.h"

using namespace ControlsTest;
using Utility::CUrlStatic;

namespace {

struct ShellCall
{
    HWND owner;
    std::wstring verb;
    std::wstring file;
    bool noParameters;
    bool noFolder;
    INT show;
};
std::vector<ShellCall> g_calls;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show)
{
    g_calls.push_back({ owner, verb ? verb : L"", file ? file : L"", parameters == nullptr, folder == nullptr, show });
    return reinterpret_cast<HINSTANCE>(33);
}

class UrlStaticTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        CUrlStatic::SetShellExecuteHook(&RecordShellExecute);
        ASSERT_TRUE(parent.Create(100, 100, 300, 80, false));
        const HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, 260, 20,
                                            parent, reinterpret_cast<HMENU>(1110), ::GetModuleHandleW(nullptr),
                                            nullptr);
        ASSERT_NE(nullptr, hWnd);
        ASSERT_TRUE(link.SubclassWindow(hWnd));
    }
    void TearDown() override { CUrlStatic::SetShellExecuteHook(nullptr); }

    // Pixels of the painted text: strongly blue ones, and any that are not background.
    void CountInk(int* blue, int* ink)
    {
        // The link draws its text over whatever its parent painted there.
        ::RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        *blue = *ink = 0;
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 260; ++x) {
                const COLORREF c = WindowPixel(link, x, y);
                if (c != face)
                    ++*ink;
                if (GetBValue(c) > 200 && GetRValue(c) < 100 && GetGValue(c) < 100)
                    ++*blue;
            }
        }
    }

    CParentWnd parent;
    CUrlStatic link;
};

}  // namespace

TEST_F(UrlStaticTest, ShowsTheAddressOrTheLabelInBlue)
{
    link.m_strUrl = L"https://example.invalid/tarnelo/download";
    EXPECT_EQ(L"https://example.invalid/tarnelo/download", std::wstring(link.GetDisplayText().GetString()));
    int blue = 0, ink = 0;
    CountInk(&blue, &ink);
    EXPECT_GT(blue, 40);
    const int addressInk = ink;

    link.m_strLabel = L"Hi";
    EXPECT_EQ(L"Hi", std::wstring(link.GetDisplayText().GetString()));
    CountInk(&blue, &ink);
    EXPECT_GT(blue, 5);
    EXPECT_LT(ink, addressInk / 3);  // two letters are far less ink than the address
}

TEST_F(UrlStaticTest, ClickOpensTheAddressThroughTheShell)
{
    link.m_strUrl = L"https://example.invalid/page";
    link.m_strLabel = L"Check latest version.";
    ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(AfxGetMainWndHandle(), g_calls[0].owner);
    EXPECT_EQ(L"open", g_calls[0].verb);
    EXPECT_EQ(L"https://example.invalid/page", g_calls[0].file);
    EXPECT_TRUE(g_calls[0].noParameters);
    EXPECT_TRUE(g_calls[0].noFolder);
    EXPECT_EQ(SW_SHOW, g_calls[0].show);

    // Without an address a click opens nothing.
    link.m_strUrl = L"";
    ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(1u, g_calls.size());
}

TEST_F(UrlStaticTest, MouseOverShowsTheHand)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());
}
