#include "model/CIniText.h"

#include <cwchar>
#include <utility>

namespace Model {

namespace {

BOOL IsSpace(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\v' || ch == L'\f';
}

BOOL IsLineEnd(wchar_t ch)
{
    return ch == L'\r' || ch == L'\n';
}

wchar_t AsciiLower(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

BOOL StartsWith(const std::string& bytes, const char* mark, size_t size)
{
    return bytes.size() >= size && bytes.compare(0, size, mark, size) == 0;
}

}  // namespace

CIniText::CIniText(std::string bytes) : m_bytes(std::move(bytes))
{
    if (StartsWith(m_bytes, "\xFF\xFE", 2)) {
        m_encoding = Encoding::Utf16LE;
        m_textStart = 2;
    } else if (StartsWith(m_bytes, "\xFE\xFF", 2)) {
        m_encoding = Encoding::Utf16BE;
        m_textStart = 2;
    } else if (StartsWith(m_bytes, "\xEF\xBB\xBF", 3)) {
        m_encoding = Encoding::Utf8;
        m_textStart = 3;
    }
    // New lines end as the file's lines do.
    Line line;
    for (size_t at = m_textStart; m_lineEnd.empty() && ReadLine(at, &line); at = line.next)
        m_lineEnd = m_bytes.substr(line.end, line.next - line.end);
    if (m_lineEnd.empty())
        m_lineEnd = Encode(L"\r\n");
}

void CIniText::SetValue(const wchar_t* section, const wchar_t* key, const CString& value)
{
    CString oneLine = value;
    oneLine.Replace(L"\r", L"");
    oneLine.Replace(L"\n", L"");

    const size_t unit = UnitSize();
    BOOL inSection = FALSE;
    size_t insertAt = TextEnd();  // after the section's header or its last key
    Line line;
    for (size_t at = m_textStart; ReadLine(at, &line); at = line.next) {
        size_t first = line.begin;
        while (first < line.end && IsSpace(UnitAt(first)))
            first += unit;
        if (first == line.end)
            continue;
        const wchar_t lead = UnitAt(first);
        if (lead == L'[') {
            const size_t close = Find(first + unit, line.end, L']');
            if (close < line.end) {
                // The profile functions read only the first section of a name.
                if (inSection)
                    break;
                inSection = NameIs(first + unit, close, section);
                if (inSection)
                    insertAt = line.next;
                continue;
            }
        }
        if (!inSection || lead == L';')
            continue;
        const size_t equals = Find(first, line.end, L'=');
        if (NameIs(first, equals, key)) {
            // The key keeps its own spelling and place; only its value changes.
            if (equals == line.end)
                m_bytes.insert(line.end, Encode(L"=" + oneLine));
            else
                m_bytes.replace(equals + unit, line.end - equals - unit, Encode(oneLine));
            return;
        }
        insertAt = line.next;
    }

    std::string bytes;
    // The last line of a file may have no line end of its own.
    if (insertAt == TextEnd() && insertAt > m_textStart && !IsLineEnd(UnitAt(insertAt - unit)))
        bytes = m_lineEnd;
    if (!inSection)
        bytes += Encode(CString(L"[") + section + L"]") + m_lineEnd;
    bytes += Encode(CString(key) + L"=" + oneLine) + m_lineEnd;
    m_bytes.insert(insertAt, bytes);
}

size_t CIniText::UnitSize() const
{
    return m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE ? 2 : 1;
}

size_t CIniText::TextEnd() const
{
    return m_textStart + (m_bytes.size() - m_textStart) / UnitSize() * UnitSize();
}

wchar_t CIniText::UnitAt(size_t offset) const
{
    const auto byte = [this](size_t at) { return static_cast<wchar_t>(static_cast<unsigned char>(m_bytes[at])); };
    switch (m_encoding) {
    case Encoding::Utf16LE: return static_cast<wchar_t>(byte(offset) | byte(offset + 1) << 8);
    case Encoding::Utf16BE: return static_cast<wchar_t>(byte(offset) << 8 | byte(offset + 1));
    default: return byte(offset);
    }
}

BOOL CIniText::ReadLine(size_t offset, Line* line) const
{
    const size_t end = TextEnd();
    if (offset >= end)
        return FALSE;
    const size_t unit = UnitSize();
    size_t at = offset;
    while (at < end && !IsLineEnd(UnitAt(at)))
        at += unit;
    line->begin = offset;
    line->end = at;
    // CR LF, LF or a CR alone end a line, as the profile functions read them.
    if (at < end)
        at += UnitAt(at) == L'\r' && at + unit < end && UnitAt(at + unit) == L'\n' ? 2 * unit : unit;
    line->next = at;
    return TRUE;
}

BOOL CIniText::NameIs(size_t begin, size_t end, const wchar_t* name) const
{
    const size_t unit = UnitSize();
    while (begin < end && IsSpace(UnitAt(begin)))
        begin += unit;
    while (end > begin && IsSpace(UnitAt(end - unit)))
        end -= unit;
    const size_t length = std::wcslen(name);
    if ((end - begin) / unit != length)
        return FALSE;
    // The names asked for are ASCII, so a unit of a multi-byte character never matches.
    for (size_t i = 0; i < length; ++i) {
        if (AsciiLower(UnitAt(begin + i * unit)) != AsciiLower(name[i]))
            return FALSE;
    }
    return TRUE;
}

size_t CIniText::Find(size_t begin, size_t end, wchar_t ch) const
{
    const size_t unit = UnitSize();
    for (size_t at = begin; at < end; at += unit) {
        const wchar_t found = UnitAt(at);
        if (found == ch)
            return at;
        // The second byte of a double-byte character may look like a bracket.
        if (m_encoding == Encoding::Ansi && found >= 0x80 && ::IsDBCSLeadByte(static_cast<BYTE>(found)) && at + 1 < end)
            ++at;
    }
    return end;
}

std::string CIniText::Encode(const CString& text) const
{
    std::string bytes;
    if (UnitSize() == 2) {
        bytes.reserve(static_cast<size_t>(text.GetLength()) * 2);
        for (int i = 0; i < text.GetLength(); ++i) {
            const char low = static_cast<char>(text[i] & 0xFF);
            const char high = static_cast<char>(text[i] >> 8);
            bytes += m_encoding == Encoding::Utf16LE ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    }
    const UINT codePage = m_encoding == Encoding::Utf8 ? CP_UTF8 : CP_ACP;
    const int length = ::WideCharToMultiByte(codePage, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return bytes;
    bytes.resize(static_cast<size_t>(length));
    ::WideCharToMultiByte(codePage, 0, text, text.GetLength(), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

}  // namespace Model
