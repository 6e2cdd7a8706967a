// The bytes of a private-profile INI file, changed one key at a time as the profile functions
// read them: a key is set where it stands, a new key goes after the last key of its section
// and a new section at the end. Every other line (comments, blank lines, keys and sections
// the caller does not know) and every line end stays as it was, byte for byte, and the text
// keeps the encoding it came in: UTF-16 (either byte order) or UTF-8 by its byte-order mark,
// else the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CString.h"

namespace Model {

class CIniText
{
public:
    // The bytes of a file as read; none for a new file, which is written in the ANSI code
    // page with CR LF line ends.
    explicit CIniText(std::string bytes);

    // Sets the first key named key in the first section named section (names match without
    // regard to case or to the whitespace around them, as the profile functions match them;
    // later sections of the same name are not read by them and are left alone). The section
    // and key names must be ASCII; the value must not hold a line end.
    void SetValue(const wchar_t* section, const wchar_t* key, const CString& value);

    const std::string& Bytes() const { return m_bytes; }

private:
    enum class Encoding { Ansi, Utf8, Utf16LE, Utf16BE };

    // One line: its text from begin to end, then its line end up to next (all byte offsets).
    struct Line
    {
        size_t begin = 0;
        size_t end = 0;
        size_t next = 0;
    };

    size_t UnitSize() const;
    // The end of the whole units (a UTF-16 file may end with a stray byte, which stays last).
    size_t TextEnd() const;
    wchar_t UnitAt(size_t offset) const;
    // The line that starts at offset; FALSE past the text's end.
    BOOL ReadLine(size_t offset, Line* line) const;
    // Whether the units from begin to end, whitespace around them left out, spell name.
    BOOL NameIs(size_t begin, size_t end, const wchar_t* name) const;
    // The offset of the first unit equal to ch from begin to end, or end when there is none.
    size_t Find(size_t begin, size_t end, wchar_t ch) const;
    std::string Encode(const CString& text) const;

    std::string m_bytes;
    Encoding m_encoding = Encoding::Ansi;
    size_t m_textStart = 0;     // after the byte-order mark
    std::string m_lineEnd;      // the file's first line end, in its encoding, for new lines
};

}  // namespace Model
