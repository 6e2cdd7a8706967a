// Driving a modal dialog from inside its own loop: a thread timer runs the steps of a script
// one tick at a time against the dialog window of this thread, so the dialog handles its
// messages (and its own timers) between steps. A script that has not ended its dialog after
// a generous limit cancels it, so a failing test never hangs.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace boxdlgtest {

// The visible top-level dialog window ("#32770") of this thread, or null.
inline HWND FindThreadDialog()
{
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM param) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(hWnd, name, 16);
            if (wcscmp(name, L"#32770") == 0 && ::IsWindowVisible(hWnd)) {
                *reinterpret_cast<HWND*>(param) = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class ModalScript
{
public:
    // A step gets the dialog window and returns true when it is done; false runs it again on
    // the next tick (waiting for something).
    using Step = std::function<bool(HWND dialog)>;

    explicit ModalScript(UINT tickMs = 20, DWORD limitMs = 15000) : m_tickMs(tickMs), m_limitMs(limitMs) {}
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;
    ~ModalScript() { Stop(); }

    ModalScript& Then(Step step)
    {
        m_steps.push_back(std::move(step));
        return *this;
    }
    // Waits for a number of milliseconds of the dialog's own message handling.
    ModalScript& Wait(DWORD ms)
    {
        auto start = std::make_shared<ULONGLONG>(0);
        return Then([start, ms](HWND) {
            if (*start == 0)
                *start = ::GetTickCount64();
            return ::GetTickCount64() - *start >= ms;
        });
    }
    // Ends the dialog by a button click (IDOK, IDCANCEL, ...).
    ModalScript& Click(int id)
    {
        return Then([id](HWND dialog) {
            const HWND button = ::GetDlgItem(dialog, id);
            if (button)
                ::PostMessageW(button, BM_CLICK, 0, 0);
            else
                ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            return true;
        });
    }

    // Arms the timer; call right before DoModal.
    void Arm()
    {
        s_current = this;
        m_start = ::GetTickCount64();
        m_timer = ::SetTimer(nullptr, 0, m_tickMs, &ModalScript::Tick);
    }
    void Stop()
    {
        if (m_timer)
            ::KillTimer(nullptr, m_timer);
        m_timer = 0;
        if (s_current == this)
            s_current = nullptr;
    }
    // Every step ran.
    bool Finished() const { return m_next >= m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* script = s_current;
        if (!script || script->m_running)
            return;
        const HWND dialog = FindThreadDialog();
        if (!dialog)
            return;
        if (::GetTickCount64() - script->m_start > script->m_limitMs) {
            script->m_timedOut = true;
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        if (script->Finished())
            return;
        // A step that opens a nested loop (a message box) must not be entered again.
        script->m_running = true;
        const bool done = script->m_steps[script->m_next](dialog);
        script->m_running = false;
        if (done)
            ++script->m_next;
    }

    static inline ModalScript* s_current = nullptr;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    UINT m_tickMs;
    DWORD m_limitMs;
    ULONGLONG m_start = 0;
    UINT_PTR m_timer = 0;
    bool m_running = false;
    bool m_timedOut = false;
};

// The window text of a window.
inline std::wstring TextOf(HWND hWnd)
{
    const int length = ::GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

// A rectangle of a child control in its dialog's client coordinates.
inline RECT ChildRect(HWND dialog, int id)
{
    RECT r = {};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The caption of a dialog template of the program in one language, read from the
// DIALOGEX resource; empty when there is none.
inline std::wstring TemplateCaption(UINT id, LANGID language)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id), language);
    if (!found)
        return L"?";
    const DWORD size = ::SizeofResource(module, found);
    const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy.
    const size_t header = 2 + 2 + 4 + 4 + 4 + 2 + 2 * 4;
    if (!bytes || size < header + 6 || *reinterpret_cast<const WORD*>(bytes + 2) != 0xFFFF)
        return L"?";
    const auto* p = reinterpret_cast<const wchar_t*>(bytes + header);
    const auto* end = reinterpret_cast<const wchar_t*>(bytes + size);
    // Menu and class: 0, 0xFFFF + ordinal, or a string.
    for (int field = 0; field < 2; ++field) {
        if (*p == 0xFFFF)
            p += 2;
        else
            while (p < end && *p++) {}
    }
    std::wstring caption;
    while (p < end && *p)
        caption += *p++;
    return caption;
}

// Writes a PNG of the given size filled with one ARGB colour, with a transparent corner
// pixel at (0, 0); false when GDI+ cannot save it.
inline bool WritePng(const std::wstring& path, int width, int height, Gdiplus::ARGB colour)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color((x == 0 && y == 0) ? 0 : colour));
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, bytes, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].FormatID == Gdiplus::ImageFormatPNG)
            return bitmap.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
    }
    return false;
}

}  // namespace boxdlgtest
