#include "model/StyleTestSupport.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <gdiplus.h>

namespace StyleTest {

namespace {

// GDI+ is needed by every string format and font; started once for the whole run
// (GDI+ counts nested start-ups, so another environment doing the same is harmless).
class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
    }
    void TearDown() override
    {
        if (m_token)
            Gdiplus::GdiplusShutdown(m_token);
        m_token = 0;
    }

private:
    ULONG_PTR m_token = 0;
};

[[maybe_unused]] const bool g_gdiplusRegistered = (::testing::AddGlobalTestEnvironment(new GdiplusEnvironment), true);

} // namespace

std::wstring ReadLogText(const std::wstring& folder)
{
    std::wstring text;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\Log*.txt").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return text;
    do {
        text += testfs::WideFromUtf8(ReadBytes(folder + L"\\" + data.cFileName));
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return text;
}

} // namespace StyleTest
