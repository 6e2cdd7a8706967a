// The extended application class that the program's application object derives from. It
// keeps the resource-smart-update flag given at construction; nothing in this framework
// reads it yet, since the program keeps no per-user interface state to update.
#pragma once

#include "framework/CWinApp.h"

class CWinAppEx : public CWinApp
{
public:
    explicit CWinAppEx(BOOL resourceSmartUpdate = FALSE, const wchar_t* appName = nullptr);

    BOOL m_bResourceSmartUpdate;
};
