// Running this thread's messages from a test: what is queued now, or everything (timers
// included) until a condition holds.
#pragma once

#include <windows.h>

#include <climits>

namespace testpump {

// Dispatches what is queued now, at most `limit` messages, so that a window which keeps
// posting to itself cannot hold a test.
inline void DispatchQueued(int limit = INT_MAX)
{
    MSG msg;
    for (int i = 0; i < limit && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Dispatches messages, waiting for timers and input, until the condition holds; false after
// the (generous) limit. A condition that already holds dispatches nothing.
template <typename Condition>
bool PumpUntil(Condition done, DWORD limitMs = 5000)
{
    const ULONGLONG start = ::GetTickCount64();
    while (!done()) {
        if (::GetTickCount64() - start > limitMs)
            return false;
        DispatchQueued();
        if (!done())
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace testpump
