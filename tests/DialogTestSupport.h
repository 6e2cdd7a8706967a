// Driving modal dialogs from a test: a modal loop does not return until its dialog ends, so
// the test arms a step before DoModal. Each step is a thread timer; the modal loop dispatches
// it, the step finds this thread's dialog (class "#32770", visible and enabled, the topmost
// one when dialogs are nested), runs its action on it and then posts the end command.
//
//   DialogTestSupport::OnNextDialog([](HWND dlg) { SetItemText(dlg, 1000, L"Box"); }, IDOK);
//   EXPECT_EQ(IDOK, dialog.DoModal());
//
// A step that finds no dialog within its limit gives up and records a test failure, so a
// broken test fails instead of hanging. Call CancelSteps() in TearDown to drop leftovers.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace DialogTestSupport {

// The dialog of this thread that is on top (visible, enabled, class "#32770"), except
// `other`; null when there is none.
inline HWND FindThreadDialog(HWND other = nullptr)
{
    struct Search
    {
        HWND other;
        HWND found;
    } search = { other, nullptr };
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t name[16] = {};
            ::GetClassNameW(hWnd, name, 16);
            if (hWnd == s->other || std::wstring(name) != L"#32770" || !::IsWindowVisible(hWnd) ||
                !::IsWindowEnabled(hWnd))
                return TRUE;
            s->found = hWnd;  // windows come topmost first
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// WM_COMMAND for the button `id` as a click would send it (posted: the dialog ends after the
// current step returns).
inline void PostCommand(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// A real click of the button (handled before this returns).
inline void ClickButton(HWND dialog, int id)
{
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

inline void SetItemText(HWND dialog, int id, const wchar_t* text)
{
    ::SetDlgItemTextW(dialog, id, text);
}

inline std::wstring ItemText(HWND dialog, int id)
{
    const HWND item = ::GetDlgItem(dialog, id);
    const int length = ::GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

// Selects entry `index` of a combo box and notifies the dialog as a user's choice would
// (CB_SETCURSEL alone sends no CBN_SELCHANGE).
inline void SelectComboItem(HWND dialog, int id, int index)
{
    const HWND combo = ::GetDlgItem(dialog, id);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

namespace Detail {

struct Step
{
    std::function<void(HWND)> action;
    int endCommand;
    ULONGLONG deadline;
};

inline std::map<UINT_PTR, Step>& Steps()
{
    static thread_local std::map<UINT_PTR, Step> steps;
    return steps;
}

inline void CALLBACK OnStepTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    auto& steps = Steps();
    const auto it = steps.find(id);
    if (it == steps.end()) {
        ::KillTimer(nullptr, id);
        return;
    }
    const HWND dialog = FindThreadDialog();
    if (!dialog) {
        if (::GetTickCount64() > it->second.deadline) {
            ::KillTimer(nullptr, id);
            steps.erase(it);
            ADD_FAILURE() << "no dialog came up for an armed dialog step";
        }
        return;
    }
    ::KillTimer(nullptr, id);
    Step step = std::move(it->second);
    steps.erase(it);
    // Nothing may unwind through the modal loop that dispatched this timer.
    try {
        if (step.action)
            step.action(dialog);
    } catch (...) {
        ADD_FAILURE() << "a dialog step threw";
    }
    if (step.endCommand && ::IsWindow(dialog))
        PostCommand(dialog, step.endCommand);
}

}  // namespace Detail

// Arms a step: after `delayMs`, and then every `delayMs` until a dialog is up (at most
// `limitMs`), runs `action` on the dialog and then posts `endCommand` (IDOK, IDCANCEL, any
// button id; 0 posts nothing).
inline void OnNextDialog(std::function<void(HWND)> action, int endCommand = 0, UINT delayMs = 30,
                         UINT limitMs = 10000)
{
    const UINT_PTR id = ::SetTimer(nullptr, 0, delayMs, Detail::OnStepTimer);
    ASSERT_NE(0u, id);
    Detail::Steps()[id] = Detail::Step{ std::move(action), endCommand, ::GetTickCount64() + limitMs };
}

// Ends the next dialog with the command without touching it.
inline void EndNextDialog(int endCommand, UINT delayMs = 30)
{
    OnNextDialog(nullptr, endCommand, delayMs);
}

inline size_t PendingSteps()
{
    return Detail::Steps().size();
}

inline void CancelSteps()
{
    for (const auto& step : Detail::Steps())
        ::KillTimer(nullptr, step.first);
    Detail::Steps().clear();
}

}  // namespace DialogTestSupport
