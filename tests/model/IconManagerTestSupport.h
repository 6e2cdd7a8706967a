// Helpers of the icon-cache tests: the shared temporary folder, icons with known pixels, and
// whole-file reads and writes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace IconTest {

using testfs::Bytes;
using testfs::TempFolder;

// A file handle closed at the end.
class HandleHolder
{
public:
    explicit HandleHolder(HANDLE handle) : m_handle(handle) {}
    ~HandleHolder() { if (IsValid()) ::CloseHandle(m_handle); }
    HandleHolder(const HandleHolder&) = delete;
    HandleHolder& operator=(const HandleHolder&) = delete;
    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }

private:
    HANDLE m_handle;
};

// An icon handle destroyed at the end.
class OwnedIcon
{
public:
    explicit OwnedIcon(HICON icon = nullptr) : m_icon(icon) {}
    ~OwnedIcon() { if (m_icon) ::DestroyIcon(m_icon); }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
    HICON get() const { return m_icon; }

private:
    HICON m_icon;
};

// The colour of pixel (x, y), y counted from the top, of the test icons: every channel,
// alpha included, varies, so a swapped, flipped or premultiplied image shows.
uint32_t TestPixel(int x, int y);
// A 32-bit icon of size x size pixels with TestPixel colours, whose mask has the top row set
// and every other bit clear.
HICON MakeTestIcon(int size);
// The ICO file the cache must write for MakeTestIcon(size): 22 + 40 + colour + mask bytes.
Bytes ExpectedTestIconFile(int size);

// Width and height of an icon's colour bitmap; false when the icon cannot be read.
bool GetIconSize(HICON icon, int& width, int& height);
// The icon's colour pixels as 32-bit values, top row first.
std::vector<uint32_t> GetIconPixels(HICON icon);

using testfs::Exists;
using testfs::ReadBytes;
using testfs::WriteBytes;
// The names of the entries of a folder (no "." or ".."), sorted.
std::vector<std::wstring> ListFolder(const std::wstring& folder);

// The text of every log file in a folder, converted from UTF-8.
std::wstring ReadLogs(const std::wstring& folder);
// How often needle occurs in text.
int CountOccurrences(const std::wstring& text, const std::wstring& needle);

}  // namespace IconTest
