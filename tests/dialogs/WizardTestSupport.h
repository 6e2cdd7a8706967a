// Helpers of the wizard and version dialog tests: a script run from inside a dialog's modal
// loop, message pumping until a condition holds, a window that records the wizard events
// posted to it, message boxes answered without showing them, and shell calls recorded
// instead of made.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/CString.h"
#include "TestPump.h"

namespace wiztest {

inline std::wstring WindowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

inline std::wstring ItemText(HWND dialog, int id)
{
    return WindowText(::GetDlgItem(dialog, id));
}

// Dispatches what is queued, then this thread's messages until the condition holds; false
// when the time is up.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    testpump::DispatchQueued();
    return testpump::PumpUntil(condition, timeoutMs);
}

inline void PumpPending() { testpump::DispatchQueued(); }

// The visible top-level dialog of this thread with the caption, or null.
inline HWND FindThreadDialog(const wchar_t* caption)
{
    struct Search
    {
        const wchar_t* caption;
        HWND found;
    } search = { caption, nullptr };
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t className[32] = {};
            ::GetClassNameW(window, className, 32);
            if (::IsWindowVisible(window) && std::wstring(className) == L"#32770" &&
                (!s->caption || WindowText(window) == s->caption)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs the script once the dialog with the caption is up, from its own modal loop; the
// script ends the dialog (a safety net cancels a dialog whose script forgot to, or that never
// appeared, so that a failing test does not hang).
class ModalScript
{
public:
    ModalScript(const wchar_t* caption, std::function<void(HWND)> script)
    {
        Current() = this;
        m_caption = caption;
        m_script = std::move(script);
        m_timer = ::SetTimer(nullptr, 0, 50, &Tick);
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;
    ~ModalScript()
    {
        if (m_timer)
            ::KillTimer(nullptr, m_timer);
        Current() = nullptr;
    }
    bool Ran() const { return m_ran; }

private:
    static ModalScript*& Current()
    {
        static ModalScript* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        ModalScript* self = Current();
        if (!self || id != self->m_timer || self->m_running)
            return;
        const HWND dialog = FindThreadDialog(self->m_caption.c_str());
        if (self->m_ran || ++self->m_ticks > 200) {
            // A dialog still up long after its script, or one that never came: it goes, which
            // ends its modal loop, so that a failing test does not hang.
            if (dialog && ++self->m_ticks > 100)
                ::DestroyWindow(dialog);
            return;
        }
        if (!dialog)
            return;
        self->m_ran = true;
        self->m_running = true;
        self->m_ticks = 0;
        self->m_script(dialog);
        self->m_running = false;
    }

    std::wstring m_caption;
    std::function<void(HWND)> m_script;
    UINT_PTR m_timer = 0;
    int m_ticks = 0;
    bool m_ran = false;
    bool m_running = false;
};

// Clicks a button of a dialog (or of a panel inside it) as the user would.
inline void Click(HWND dialog, int id)
{
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// A hidden top-level window that records the wizard events (WM_USER + 101) posted to it.
class EventSink
{
public:
    struct Event
    {
        WPARAM code;
        LPARAM value;
        bool operator==(const Event& other) const { return code == other.code && value == other.value; }
    };

    EventSink()
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarneloWizardTestSink";
        ::RegisterClassExW(&wc);
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"sink", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;
    ~EventSink() { ::DestroyWindow(m_hWnd); }

    HWND hwnd() const { return m_hWnd; }
    std::vector<Event> events;

    std::vector<WPARAM> Codes() const
    {
        std::vector<WPARAM> codes;
        for (const Event& e : events)
            codes.push_back(e.code);
        return codes;
    }
    size_t Count(WPARAM code) const
    {
        size_t n = 0;
        for (const Event& e : events)
            n += e.code == code ? 1 : 0;
        return n;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_USER + 101) {
            auto* self = reinterpret_cast<EventSink*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self)
                self->events.push_back({ wParam, lParam });
            return 1;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

// The message boxes asked, and the answer each gets.
struct MessageBoxes
{
    static std::vector<std::wstring>& Asked()
    {
        static std::vector<std::wstring> asked;
        return asked;
    }
    static int& Answer()
    {
        static int answer = IDNO;
        return answer;
    }
    static int Hook(const wchar_t* text, UINT)
    {
        Asked().push_back(text ? text : L"");
        return Answer();
    }
};

// The shell calls the dialogs make, recorded instead of made.
struct ShellCalls
{
    struct Call
    {
        HWND owner;
        std::wstring verb;
        std::wstring target;
        int show;
    };
    static std::vector<Call>& Calls()
    {
        static std::vector<Call> calls;
        return calls;
    }
    static HINSTANCE WINAPI Hook(HWND owner, LPCWSTR verb, LPCWSTR target, LPCWSTR, LPCWSTR, INT show)
    {
        Calls().push_back({ owner, verb ? verb : L"", target ? target : L"", show });
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    }
};

}  // namespace wiztest
