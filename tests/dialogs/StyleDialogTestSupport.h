// What the style, outline and options dialog tests share: the common-control classes, a
// window that records the messages posted to it (the preview target), message boxes answered
// and recorded without showing them, and pumping the current modal loop from inside a step.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "TestPump.h"
#include "framework/AfxMessageBox.h"

namespace styletest {

using testpump::PumpUntil;

// Dispatches everything for a while (for checks that something does NOT happen).
inline void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

// A hidden window that records every WM_USER+n message it receives.
class RecordingTarget
{
public:
    struct Message
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    RecordingTarget()
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"StyleDialogTestTarget";
        ::RegisterClassExW(&wc);
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                                   nullptr);
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RecordingTarget() { ::DestroyWindow(m_hWnd); }

    HWND m_hWnd = nullptr;
    std::vector<Message> messages;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message >= WM_USER && message < 0x8000) {
            auto* self = reinterpret_cast<RecordingTarget*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
            if (self)
                self->messages.push_back(Message{ message, wParam, lParam });
            return 0;
        }
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
};

// Message boxes answered with OK and recorded.
struct MessageBoxes
{
    static std::vector<std::wstring>& Shown()
    {
        static std::vector<std::wstring> shown;
        return shown;
    }
    static int Hook(const wchar_t* text, UINT)
    {
        Shown().push_back(text ? text : L"");
        return IDOK;
    }
};

// Common controls registered, message boxes hooked, steps dropped after each test.
class DialogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX init = { sizeof(init), 0xFF };
        ::InitCommonControlsEx(&init);
    }
    void SetUp() override
    {
        MessageBoxes::Shown().clear();
        AfxSetMessageBoxHook(&MessageBoxes::Hook);
    }
    void TearDown() override
    {
        DialogTestSupport::CancelSteps();
        AfxSetMessageBoxHook(nullptr);
    }
};

inline int CurSel(HWND dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

inline bool Enabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

inline bool Checked(HWND dialog, int id)
{
    return ::SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Edits a text as typing would: the edit tells its dialog with EN_UPDATE and EN_CHANGE.
inline void TypeText(HWND dialog, int id, const wchar_t* text)
{
    ::SetDlgItemTextW(dialog, id, text);
}

}  // namespace styletest
