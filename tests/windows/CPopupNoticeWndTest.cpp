// The notice popup: its panel and size, the fade (alpha steps through the layered update),
// the notification to its owner, and a notice shown again during the fade.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "LayeredTestSupport.h"
#include "windows/CPopupNoticeWnd.h"

using namespace LayeredTest;

namespace {

// A measuring surface like the box's back buffer.
class MeasuringSurface
{
public:
    MeasuringSurface()
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateTopDownDIB(64, 64);
        m_dc.SelectBitmap(m_bitmap);
        m_graphics = std::make_unique<Gdiplus::Graphics>(m_dc.GetSafeHdc());
    }
    Gdiplus::Graphics* Get() { return m_graphics.get(); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
};

// The owner as the box is: it destroys the notice's window when told the fade has ended.
struct NoticeOwner
{
    CRecorderWnd wnd;
    CPopupNoticeWnd* notice = nullptr;

    NoticeOwner()
    {
        wnd.CreatePopup(10, 10, 40, 40);
        wnd.m_watched = WM_NOTICEMSG;
        wnd.m_context = this;
        wnd.m_onWatched = [](CRecorderWnd* self) {
            auto* owner = static_cast<NoticeOwner*>(self->m_context);
            if (owner->notice)
                owner->notice->DestroyWindow();
        };
    }
    size_t Notices() const
    {
        size_t count = 0;
        for (UINT message : wnd.m_messages)
            count += message == WM_NOTICEMSG;
        return count;
    }
};

constexpr Gdiplus::ARGB kTextColor = 0xFF202020;

class PopupNoticeWnd : public LayeredWindowSuite
{
protected:
    BOOL ShowNotice(int x, int y, const wchar_t* text = L"Got it.")
    {
        return m_notice.Show(x, y, &m_owner.wnd, WM_NOTICEMSG, m_surface.Get(), text, kTextColor, L"Arial");
    }
    // Drives the fade by hand: the real timer is stopped and ticks are sent one by one.
    void StopTimer() { ::KillTimer(m_notice.m_hWnd, CPopupNoticeWnd::IDT_FADE); }
    void Tick() { ::SendMessageW(m_notice.m_hWnd, WM_TIMER, CPopupNoticeWnd::IDT_FADE, 0); }

    MeasuringSurface m_surface;
    NoticeOwner m_owner;
    CPopupNoticeWnd m_notice;
    void SetUp() override { m_owner.notice = &m_notice; }
};

TEST_F(PopupNoticeWnd, PanelIsTheMeasuredTextPlus16By8)
{
    ASSERT_TRUE(ShowNotice(200, 150));
    CEffectText reference;
    reference.SetFont(L"Arial", 16, 0);
    Gdiplus::StringFormat format(0, 0);
    SIZE text = {};
    reference.Measure(m_surface.Get(), L"Got it.", &format, &text);
    ASSERT_GT(text.cx, 0);

    RECT rc = {};
    ::GetWindowRect(m_notice.m_hWnd, &rc);
    EXPECT_EQ(200, rc.left);
    EXPECT_EQ(150, rc.top);
    EXPECT_EQ(text.cx + 16, rc.right - rc.left);
    EXPECT_EQ(text.cy + 8, rc.bottom - rc.top);
    EXPECT_TRUE(m_notice.m_bVisible);
    EXPECT_EQ(0, m_notice.m_nTicks);
    EXPECT_EQ(255, m_notice.m_nAlpha);
    EXPECT_EQ(static_cast<UINT>(WM_NOTICEMSG), m_notice.m_nNotifyMsg);
    EXPECT_EQ(m_owner.wnd.m_hWnd, ::GetWindow(m_notice.m_hWnd, GW_OWNER));
    wchar_t title[32] = {};
    ::GetWindowTextW(m_notice.m_hWnd, title, 32);
    EXPECT_STREQ(L"VornFileList", title);
    // The timer is running: stopping it succeeds.
    EXPECT_TRUE(::KillTimer(m_notice.m_hWnd, CPopupNoticeWnd::IDT_FADE));
    MONITORINFO monitor = { sizeof(monitor), {}, {}, 0 };
    ::GetMonitorInfoW(::MonitorFromWindow(m_notice.m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    m_notice.DestroyWindow();  // shown again past the right edge of the work area, it ends there
    ASSERT_TRUE(ShowNotice(monitor.rcWork.right - 10, 150));
    ::GetWindowRect(m_notice.m_hWnd, &rc);
    EXPECT_EQ(monitor.rcWork.right, rc.right);
}

TEST_F(PopupNoticeWnd, DrawsAWhiteRoundedShadowedPanelWithTheText)
{
    ASSERT_TRUE(ShowNotice(100, 100));
    StopTimer();
    const int width = m_notice.m_rect.right - m_notice.m_rect.left;
    const int height = m_notice.m_rect.bottom - m_notice.m_rect.top;
    DIBSECTION dib = {};
    ASSERT_EQ(static_cast<int>(sizeof(dib)), ::GetObjectW(m_notice.m_bitmap.GetSafeHandle(), sizeof(dib), &dib));
    ::GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    // The panel's corner is white at alpha 254, whatever its premultiplied form.
    EXPECT_EQ(0xFE, AlphaOf(pixels[1 * width + 1]));
    EXPECT_EQ(0xFE, AlphaOf(pixels[(height - 2) * width + width - 2]));
    // Some pixels of the text, darker than the panel, lie in the middle band.
    int dark = 0;
    for (int y = 4; y < height - 4; ++y)
        for (int x = 8; x < width - 8; ++x)
            dark += (pixels[y * width + x] & 0xFF) < 0x80;
    EXPECT_GT(dark, 10);

    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, ::GetWindowRgn(m_notice.m_hWnd, rgn));
    EXPECT_FALSE(::PtInRegion(rgn, 0, 0));
    ::DeleteObject(rgn);
    ASSERT_TRUE(m_notice.m_shadow.m_bCreated);
    EXPECT_TRUE(::IsWindowVisible(m_notice.m_shadow.m_hWnd));
    RECT shadow = {};
    ::GetWindowRect(m_notice.m_shadow.m_hWnd, &shadow);
    EXPECT_EQ(103, shadow.left);
    EXPECT_EQ(103, shadow.top);
}

TEST_F(PopupNoticeWnd, FadesInSixStepsAfter12TicksThenHidesAndTellsItsOwnerOnce)
{
    UpdateWatch watch;
    ASSERT_TRUE(ShowNotice(100, 100));
    StopTimer();
    const HWND hWnd = m_notice.m_hWnd;
    const HWND shadow = m_notice.m_shadow.m_hWnd;
    ASSERT_EQ(1u, watch.CallsFor(hWnd).size());  // the first image, at full strength
    EXPECT_EQ(255, watch.CallsFor(hWnd)[0].alpha);

    std::vector<int> alphas;
    for (int tick = 1; tick <= 18; ++tick) {
        Tick();
        alphas.push_back(m_notice.m_nAlpha);
        ASSERT_EQ(tick, m_notice.m_nTicks);
        ASSERT_TRUE(::IsWindowVisible(hWnd)) << tick;
    }
    const std::vector<int> expected = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                       215, 175, 135, 95, 55, 15};
    EXPECT_EQ(expected, alphas);
    // Each fading step pushes the kept image again at the step's constant alpha.
    const auto calls = watch.CallsFor(hWnd);
    ASSERT_EQ(7u, calls.size());
    const BYTE pushed[] = {255, 215, 175, 135, 95, 55, 15};
    for (size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(pushed[i], calls[i].alpha) << i;
    EXPECT_EQ(0u, m_owner.Notices());
    EXPECT_NE(0, ::GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);  // still layered

    Tick();  // 19: the end
    EXPECT_FALSE(::IsWindowVisible(hWnd));
    EXPECT_FALSE(::IsWindowVisible(shadow));
    EXPECT_FALSE(m_notice.m_bVisible);
    EXPECT_EQ(0, m_notice.m_nTicks);
    EXPECT_EQ(255, m_notice.m_nAlpha);
    EXPECT_FALSE(::KillTimer(hWnd, CPopupNoticeWnd::IDT_FADE));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.Notices() > 0; }));
    PumpPending();
    EXPECT_EQ(1u, m_owner.Notices());
    // The owner destroyed the window, and the shadow went with it.
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(::IsWindow(shadow));
    EXPECT_EQ(nullptr, m_notice.m_hWnd);
}

TEST_F(PopupNoticeWnd, SecondNoticeDuringTheFadeRestartsAtFullStrengthWhereItIs)
{
    UpdateWatch watch;
    ASSERT_TRUE(ShowNotice(100, 100, L"Got it."));
    StopTimer();
    for (int tick = 1; tick <= 15; ++tick)
        Tick();
    ASSERT_EQ(135, m_notice.m_nAlpha);
    const HWND hWnd = m_notice.m_hWnd;
    const size_t before = watch.CallsFor(hWnd).size();

    ASSERT_TRUE(ShowNotice(300, 300, L"Something else"));
    EXPECT_EQ(hWnd, m_notice.m_hWnd);
    EXPECT_EQ(0, m_notice.m_nTicks);
    EXPECT_EQ(255, m_notice.m_nAlpha);
    EXPECT_TRUE(m_notice.m_strText == L"Got it.");
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    EXPECT_EQ(100, rc.left);
    EXPECT_EQ(100, rc.top);
    const auto calls = watch.CallsFor(hWnd);
    ASSERT_EQ(before + 1, calls.size());
    EXPECT_EQ(255, calls.back().alpha);
    EXPECT_TRUE(::KillTimer(hWnd, CPopupNoticeWnd::IDT_FADE));  // restarted

    // The whole cycle runs again from the start.
    for (int tick = 1; tick <= 12; ++tick)
        Tick();
    EXPECT_EQ(255, m_notice.m_nAlpha);
    Tick();
    EXPECT_EQ(215, m_notice.m_nAlpha);
}

TEST_F(PopupNoticeWnd, RealTimerEndsTheNoticeAndItCanBeShownAgain)
{
    ASSERT_TRUE(ShowNotice(100, 100));
    ASSERT_TRUE(PumpUntil([&] { return m_owner.Notices() == 1 && m_notice.m_hWnd == nullptr; }));
    EXPECT_FALSE(m_notice.m_bVisible);

    ASSERT_TRUE(ShowNotice(120, 130));
    EXPECT_TRUE(::IsWindowVisible(m_notice.m_hWnd));
    RECT rc = {};
    ::GetWindowRect(m_notice.m_hWnd, &rc);
    EXPECT_EQ(120, rc.left);
    EXPECT_EQ(130, rc.top);
    ASSERT_TRUE(PumpUntil([&] { return m_owner.Notices() == 2; }));
}

TEST_F(PopupNoticeWnd, NoticeWhoseWindowWentAwayIsCreatedAnew)
{
    ASSERT_TRUE(ShowNotice(100, 100));
    StopTimer();
    // The owner tore the window down before the fade ended.
    m_notice.DestroyWindow();
    ASSERT_TRUE(m_notice.m_bVisible);
    ASSERT_TRUE(ShowNotice(150, 160));
    ASSERT_NE(nullptr, m_notice.m_hWnd);
    RECT rc = {};
    ::GetWindowRect(m_notice.m_hWnd, &rc);
    EXPECT_EQ(150, rc.left);
    EXPECT_EQ(160, rc.top);
}

TEST_F(PopupNoticeWnd, NothingIsDrawnWhileNotVisible)
{
    ASSERT_TRUE(ShowNotice(100, 100));
    StopTimer();
    m_notice.m_bVisible = FALSE;
    m_notice.Redraw();
    DIBSECTION dib = {};
    ASSERT_EQ(static_cast<int>(sizeof(dib)), ::GetObjectW(m_notice.m_bitmap.GetSafeHandle(), sizeof(dib), &dib));
    ::GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    const size_t count = static_cast<size_t>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight;
    size_t drawn = 0;
    for (size_t i = 0; i < count; ++i)
        drawn += pixels[i] != 0;
    EXPECT_EQ(0u, drawn);
}

}  // namespace
