// One HTTP GET through WinINet: the status code and the first maxLen bytes of the body.
#pragma once

#include <windows.h>

#include "framework/CString.h"

BOOL HttpGetString(CString url, CString& body, DWORD& status, int maxLen);
