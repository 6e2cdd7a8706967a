#include "LayeredTestSupport.h"

namespace LayeredTest {

BEGIN_MESSAGE_MAP(CFillWnd, CVornWndBase)
    ON_MESSAGE(WM_PROBE, OnProbe)
    ON_MESSAGE(WM_REDRAWMSG, OnRedrawMsg)
END_MESSAGE_MAP()

}  // namespace LayeredTest
