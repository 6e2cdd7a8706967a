#include "dialogs/IntToString.h"

CString IntToString(int value)
{
    return FormatString(L"%d", value);
}
