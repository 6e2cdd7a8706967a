#include "framework/AfxSocket.h"

BOOL AfxSocketInit(WSADATA* data)
{
    WSADATA local = {};
    return ::WSAStartup(MAKEWORD(2, 2), data ? data : &local) == 0 ? TRUE : FALSE;
}

void AfxSocketTerm()
{
    ::WSACleanup();
}
