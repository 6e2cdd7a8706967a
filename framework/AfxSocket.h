// The sockets library of the process: started with the application, stopped at its exit.
#pragma once

#include <winsock2.h>

// Starts Windows Sockets 2.2 and fills *data when it is given; FALSE when it cannot start.
BOOL AfxSocketInit(WSADATA* data = nullptr);
// Stops the sockets library again: once for each AfxSocketInit that succeeded.
void AfxSocketTerm();
