#include "BoxTestSupport.h"

#include <objidl.h>
#include <gdiplus.h>

#include <fstream>

#include "core/Logger.h"

namespace BoxTest {

TempFolder::TempFolder()
{
    ::CreateDirectoryW(File(L"logs").c_str(), nullptr);
    LogInit(File(L"logs").c_str());
}

TempFolder::~TempFolder()
{
    LogInit(L"");
}

std::wstring TempFolder::Logs() const
{
    std::wstring text;
    for (int day = 1; day <= 7; ++day)
        text += testfs::WideFromUtf8(ReadBytes(File(L"logs\\Log" + std::to_wstring(day) + L".txt")));
    return text;
}

GdiplusRun::GdiplusRun()
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

GdiplusRun::~GdiplusRun()
{
    if (m_token)
        Gdiplus::GdiplusShutdown(m_token);
}

Writer& Writer::Str(const std::wstring& text)
{
    U8(0xFF).U16(0xFFFE);
    if (text.size() < 0xFF)
        U8(static_cast<uint8_t>(text.size()));
    else
        U8(0xFF).U16(static_cast<uint16_t>(text.size()));
    for (wchar_t ch : text)
        U16(static_cast<uint16_t>(ch));
    return *this;
}

Writer& Writer::Str8(const std::string& text)
{
    U8(static_cast<uint8_t>(text.size()));
    for (char ch : text)
        U8(static_cast<uint8_t>(ch));
    return *this;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadText(const std::wstring& path)
{
    return testfs::ReadString(path);
}

int CountOccurrences(const std::wstring& text, const std::wstring& needle)
{
    int count = 0;
    for (size_t at = text.find(needle); at != std::wstring::npos; at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

Model::CTarneloInfo::_SCREEN_INFO ExampleScreen()
{
    Model::CTarneloInfo::_SCREEN_INFO screen;
    screen.rcVirtual = {0, 0, 1920, 1080};
    screen.rcTaskbar = {0, 1040, 1920, 1080};
    screen.bTaskbarAutoHide = FALSE;
    screen.nTaskbarEdge = 3;  // bottom
    return screen;
}

}  // namespace BoxTest
