#include "framework/AfxMessageBox.h"

#include <string>

#include "framework/CModalScope.h"

namespace {

HWND g_mainWindow = nullptr;
AfxMessageBoxHook g_messageBoxHook = nullptr;

// The caption is the executable's name without its extension ("Tarnelo").
std::wstring ProgramName()
{
    wchar_t module[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring name(module, length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0)
        name.erase(dot);
    return name;
}

}  // namespace

HWND AfxGetMainWndHandle()
{
    return g_mainWindow && ::IsWindow(g_mainWindow) ? g_mainWindow : nullptr;
}

void AfxSetMainWndHandle(HWND window)
{
    g_mainWindow = window;
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT /*helpId*/)
{
    const CModalScope modal;
    if (g_messageBoxHook)
        return g_messageBoxHook(text ? text : L"", type);
    const std::wstring caption = ProgramName();
    return ::MessageBoxW(AfxGetMainWndHandle(), text ? text : L"", caption.c_str(), type);
}

void AfxSetMessageBoxHook(AfxMessageBoxHook hook)
{
    g_messageBoxHook = hook;
}
