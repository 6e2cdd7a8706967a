// A number as the dialogs show it in their edit fields.
#pragma once

#include "framework/CString.h"

// "%d" of the number.
CString IntToString(int value);
