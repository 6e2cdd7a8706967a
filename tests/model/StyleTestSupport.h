// Helpers shared by the style tests: the shared temporary folder and whole-file reads and
// writes, a little-endian byte builder for hand-made files, and the log's lines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace StyleTest {

using testfs::Bytes;
using testfs::Exists;
using testfs::ReadBytes;
using testfs::TempFolder;
using testfs::WriteBytes;

// Every line of every log file in the folder, as UTF-16.
std::wstring ReadLogText(const std::wstring& folder);

// Builds file images by hand, independently of the archive under test.
class ByteBuilder
{
public:
    ByteBuilder& Int(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    ByteBuilder& Str(const std::wstring& text)
    {
        Int(static_cast<uint32_t>(text.size() * 2));
        for (wchar_t ch : text) {
            m_bytes.push_back(static_cast<uint8_t>(ch & 0xFF));
            m_bytes.push_back(static_cast<uint8_t>((ch >> 8) & 0xFF));
        }
        return *this;
    }
    ByteBuilder& Raw(const Bytes& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    const Bytes& Get() const { return m_bytes; }
    size_t Size() const { return m_bytes.size(); }

private:
    Bytes m_bytes;
};

} // namespace StyleTest
