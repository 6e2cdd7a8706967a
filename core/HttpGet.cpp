#include "core/HttpGet.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "framework/CHttpConnection.h"
#include "framework/CHttpFile.h"
#include "framework/CInternetException.h"
#include "framework/CInternetSession.h"

BOOL HttpGetString(CString url, CString& body, DWORD& status, int maxLen)
{
    body.Empty();
    CInternetSession session(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    BOOL result = FALSE;
    try {
        DWORD serviceType = 0;
        CString server;
        CString object;
        INTERNET_PORT port = 0;
        if (!AfxParseURL(url, serviceType, server, object, port))
            return FALSE;

        // Port 0 is the default HTTP port: the URL's own port is not used.
        std::unique_ptr<CHttpConnection> connection = session.GetHttpConnection(server, 0, nullptr, nullptr);
        if (!connection)
            return FALSE;
        std::unique_ptr<CHttpFile> request = connection->OpenRequest(
            L"GET", object, nullptr, 1, nullptr, nullptr, INTERNET_FLAG_EXISTING_CONNECT);
        if (!request)
            return FALSE;

        request->SendRequest(nullptr, 0, nullptr, 0);
        DWORD code = 0;
        request->QueryInfoStatusCode(code);
        status = code;
        LogValue(kLogInfo, L"Got version, code:", static_cast<long>(code));

        if (maxLen > 0) {
            std::vector<char> buffer(static_cast<size_t>(maxLen) + 1, '\0');
            UINT got = request->Read(buffer.data(), static_cast<UINT>(maxLen));
            if (got > static_cast<UINT>(maxLen))
                got = static_cast<UINT>(maxLen);
            buffer[got] = '\0';
            // The text ends at the first NUL of the reply.
            body = FromUtf8(std::string(buffer.data(), std::strlen(buffer.data())));
        }
        result = TRUE;
    } catch (CInternetException* exception) {
        LogException(kLogError, L"Http get error", 54, exception);
        body.Empty();
        result = FALSE;
    }
    return result;
}
