#include "BoxWndTestSupport.h"

namespace boxtest {

ULONG_PTR BoxWndTest::s_gdiplusToken = 0;

BEGIN_MESSAGE_MAP(CRecordingManager, CWnd)
    ON_MESSAGE(WM_BOXMSG, OnBoxMsg)
END_MESSAGE_MAP()

}  // namespace boxtest
