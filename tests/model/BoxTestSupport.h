// Helpers of the box and settings tests: a private temporary folder, whole-file reads and
// writes, a little-endian builder for hand-made box files, and the log's text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/CTarneloInfo.h"

namespace BoxTest {

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed with its content at the end
// (read-only files included). While it lives, the log writes into its "logs" folder.
class TempFolder
{
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }
    // Every line logged since the folder was made.
    std::wstring Logs() const;

private:
    std::wstring m_path;
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

Bytes ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const Bytes& bytes);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// The file's text read as ANSI (the profile functions write new files in the ANSI code page).
std::string ReadText(const std::wstring& path);
int CountOccurrences(const std::wstring& text, const std::wstring& needle);

// The 1920 x 1080 screen of the position examples, taskbar visible at the bottom.
Model::CTarneloInfo::_SCREEN_INFO ExampleScreen();

}  // namespace BoxTest
