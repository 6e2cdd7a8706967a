// Dropped file lists built in this process, as the shell hands them over.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

namespace testdrop {

// An HDROP as the shell makes it: DROPFILES followed by the wide paths, each ended by a NUL,
// and one more NUL. DragFinish frees it.
inline HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const std::wstring& p : paths)
        chars += p.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(files) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        wmemcpy(out, p.c_str(), p.size());
        out += p.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace testdrop
