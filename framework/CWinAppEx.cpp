#include "framework/CWinAppEx.h"

CWinAppEx::CWinAppEx(BOOL resourceSmartUpdate, const wchar_t* appName)
    : CWinApp(appName), m_bResourceSmartUpdate(resourceSmartUpdate)
{
}
