#include "dialogs/VersionDialogShell.h"

#include <shellapi.h>

namespace {

Utility::CUrlStatic::ShellExecuteFn s_shellExecute = &::ShellExecuteW;

}  // namespace

void VersionDialogShellOpen(HWND owner, const CString& target)
{
    s_shellExecute(owner, L"open", target, nullptr, nullptr, SW_SHOW);
}

void SetVersionDialogShellHook(Utility::CUrlStatic::ShellExecuteFn fn)
{
    s_shellExecute = fn ? fn : &::ShellExecuteW;
}
