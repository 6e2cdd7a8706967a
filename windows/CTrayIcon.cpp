#include "windows/CTrayIcon.h"

#include <shellapi.h>
#include <wchar.h>

CTrayIcon::~CTrayIcon()
{
    Remove();
}

BOOL CTrayIcon::Add(HWND window, UINT callbackMessage, HICON icon, const wchar_t* tip)
{
    m_window = window;
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = m_id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    wcsncpy(data.szTip, tip, sizeof(data.szTip) / sizeof(data.szTip[0]) - 1);
    return ::Shell_NotifyIconW(NIM_ADD, &data);
}

void CTrayIcon::Remove()
{
    if (!m_window)
        return;
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = m_window;
    data.uID = m_id;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    m_window = nullptr;
}
