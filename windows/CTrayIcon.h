// The program's icon in the notification area: added for a window, which then gets the
// icon's mouse messages as its callback message, and deleted again when the owner goes (or
// earlier, by Remove).
#pragma once

#include <windows.h>

class CTrayIcon
{
public:
    // id tells this icon's callbacks from those of the window's other icons.
    explicit CTrayIcon(UINT id) : m_id(id) {}
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon();

    // Adds the icon with the tool tip; window then gets callbackMessage with wParam = the id
    // and lParam = the mouse message. FALSE when the shell refused it.
    BOOL Add(HWND window, UINT callbackMessage, HICON icon, const wchar_t* tip);
    // Deletes the icon that Add gave its window; nothing when Add was not called since.
    void Remove();
    // TRUE when a callback message with this wParam comes from this icon.
    BOOL IsOwnCallback(WPARAM wParam) const { return wParam == m_id ? TRUE : FALSE; }

private:
    const UINT m_id;
    HWND m_window = nullptr;
};
