// Helpers of the box and settings tests: the shared temporary folder with the log in it,
// whole-file reads and writes, a little-endian builder for hand-made box files, and the log's text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "model/CTarneloInfo.h"

namespace BoxTest {

using testfs::Bytes;

// The shared temporary folder; while it lives, the log writes into its "logs" folder.
class TempFolder : public testfs::TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    // Every line logged since the folder was made.
    std::wstring Logs() const;
};

// GDI+ running for the lifetime of the object.
class GdiplusRun
{
public:
    GdiplusRun();
    ~GdiplusRun();
    GdiplusRun(const GdiplusRun&) = delete;
    GdiplusRun& operator=(const GdiplusRun&) = delete;

private:
    ULONG_PTR m_token = 0;
};

// Builds the bytes of a hand-made file.
class Writer
{
public:
    Writer& U8(uint8_t v) { bytes.push_back(v); return *this; }
    Writer& U16(uint16_t v) { U8(v & 0xFF); return U8(v >> 8); }
    Writer& U32(uint32_t v) { U16(v & 0xFFFF); return U16(v >> 16); }
    Writer& U64(uint64_t v) { U32(static_cast<uint32_t>(v)); return U32(static_cast<uint32_t>(v >> 32)); }
    // The archive's marked UTF-16 string (lengths below 0xFFFE).
    Writer& Str(const std::wstring& text);
    // An unmarked 8-bit string (ASCII text, length below 255).
    Writer& Str8(const std::string& text);
    Writer& Raw(const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); return *this; }
    Bytes bytes;
};

using testfs::Exists;
using testfs::ReadBytes;
using testfs::WriteBytes;
bool IsFolder(const std::wstring& path);
// The file's text read as ANSI (the profile functions write new files in the ANSI code page).
std::string ReadText(const std::wstring& path);
int CountOccurrences(const std::wstring& text, const std::wstring& needle);

// The 1920 x 1080 screen of the position examples, taskbar visible at the bottom.
Model::CTarneloInfo::_SCREEN_INFO ExampleScreen();

}  // namespace BoxTest
