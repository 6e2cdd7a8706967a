#include "framework/CArchive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

static_assert(std::endian::native == std::endian::little,
              "strings are copied as UTF-16LE straight from memory");

namespace {

// Longest string the reader accepts from an 8-byte length, and the most any string
// may hold (the string type counts in int).
constexpr ULONGLONG kMaxLongLength = 0x80000000ULL;
constexpr ULONGLONG kMaxStringLength = 0x7FFFFFFFULL;
// When the file cannot tell how much is left, strings are read in pieces of this many
// bytes, so a damaged length costs no more memory than the data that really follows.
constexpr UINT kChunkBytes = 64 * 1024;

template <typename T>
void StoreLittleEndian(CArchive& ar, T value)
{
    BYTE bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<BYTE>(static_cast<ULONGLONG>(value) >> (8 * i));
    ar.Write(bytes, sizeof(T));
}

template <typename T>
T FromLittleEndian(const BYTE* bytes)
{
    ULONGLONG value = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<ULONGLONG>(bytes[i]) << (8 * i);
    return static_cast<T>(value);
}

}  // namespace

CArchive::CArchive(CFile* file, UINT mode, int bufferSize)
    : m_file(file), m_mode(mode & load)
{
    m_buffer.resize(bufferSize > 0 ? static_cast<size_t>(bufferSize) : 4096);
}

CArchive::~CArchive()
{
    if (m_closed || m_mode != store)
        return;
    // A destructor must not raise: a failed final write is lost here, which is why
    // callers that care close the archive themselves.
    try {
        Close();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
}

void CArchive::Raise(int cause) const
{
    AfxThrowArchiveException(cause, m_file ? m_file->GetFilePath().GetString() : nullptr);
}

CFile* CArchive::CheckOpen(bool forLoading)
{
    if (m_closed || !m_file)
        Raise(CArchiveException::genericException);
    if (forLoading && m_mode != load)
        Raise(CArchiveException::writeOnly);
    if (!forLoading && m_mode != store)
        Raise(CArchiveException::readOnly);
    return m_file;
}

void CArchive::WriteBuffer()
{
    if (m_cur == 0)
        return;
    const UINT count = m_cur;
    // The bytes count as handed over even when the write fails: retrying a failed
    // write at the next flush would only duplicate what may have reached the file.
    m_cur = 0;
    m_file->Write(m_buffer.data(), count);
}

void CArchive::Flush()
{
    if (m_closed || !m_file || m_mode != store)
        return;
    WriteBuffer();
}

void CArchive::Close()
{
    if (m_closed)
        return;
    CFile* file = m_file;
    if (file && m_mode == store) {
        try {
            WriteBuffer();
        } catch (...) {
            m_closed = TRUE;
            m_file = nullptr;
            throw;
        }
    } else if (file && m_limit > m_cur) {
        // Leave the file where the reader stopped, not where read-ahead got to.
        try {
            file->Seek(-static_cast<LONGLONG>(m_limit - m_cur), CFile::current);
        } catch (CException* e) {
            e->Delete();
        }
    }
    m_cur = m_limit = 0;
    m_closed = TRUE;
    m_file = nullptr;
}

void CArchive::Abort()
{
    m_cur = m_limit = 0;
    m_closed = TRUE;
    m_file = nullptr;
}

void CArchive::FillBuffer(UINT wanted)
{
    CFile* file = CheckOpen(true);
    const UINT size = static_cast<UINT>(m_buffer.size());
    wanted = std::min(wanted, size);
    if (m_limit - m_cur >= wanted)
        return;
    // Keep the unread bytes and fill the rest of the buffer behind them.
    if (m_cur > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_cur, m_limit - m_cur);
        m_limit -= m_cur;
        m_cur = 0;
    }
    while (m_limit < wanted) {
        const UINT got = file->Read(m_buffer.data() + m_limit, size - m_limit);
        if (got == 0)
            break;
        m_limit += got;
    }
}

UINT CArchive::Read(void* buffer, UINT count)
{
    CFile* file = CheckOpen(true);
    if (count == 0)
        return 0;
    if (!buffer)
        Raise(CArchiveException::genericException);
    BYTE* out = static_cast<BYTE*>(buffer);
    const UINT size = static_cast<UINT>(m_buffer.size());
    UINT total = 0;
    while (total < count) {
        const UINT wanted = count - total;
        if (m_cur < m_limit) {
            const UINT n = std::min(wanted, m_limit - m_cur);
            std::memcpy(out + total, m_buffer.data() + m_cur, n);
            m_cur += n;
            total += n;
            continue;
        }
        m_cur = m_limit = 0;
        if (wanted >= size) {
            // Large reads go straight to the caller's memory.
            const UINT got = file->Read(out + total, wanted);
            if (got == 0)
                break;
            total += got;
        } else {
            FillBuffer(wanted);
            if (m_limit == 0)
                break;
        }
    }
    return total;
}

void CArchive::ReadExact(void* buffer, UINT count)
{
    // The usual case, a number or a short text already buffered, copies straight out.
    if (!m_closed && m_file && m_mode == load && buffer && count <= m_limit - m_cur) {
        std::memcpy(buffer, m_buffer.data() + m_cur, count);
        m_cur += count;
        return;
    }
    if (Read(buffer, count) != count)
        Raise(CArchiveException::endOfFile);
}

void CArchive::Write(const void* buffer, UINT count)
{
    CFile* file = CheckOpen(false);
    if (count == 0)
        return;
    if (!buffer)
        Raise(CArchiveException::genericException);
    const BYTE* in = static_cast<const BYTE*>(buffer);
    const UINT size = static_cast<UINT>(m_buffer.size());
    while (count > 0) {
        if (m_cur == size)
            WriteBuffer();
        if (m_cur == 0 && count >= size) {
            file->Write(in, count);
            return;
        }
        const UINT n = std::min(count, size - m_cur);
        std::memcpy(m_buffer.data() + m_cur, in, n);
        m_cur += n;
        in += n;
        count -= n;
    }
}

LONGLONG CArchive::BytesLeft()
{
    const LONGLONG buffered = static_cast<LONGLONG>(m_limit - m_cur);
    try {
        const ULONGLONG length = m_file->GetLength();
        const ULONGLONG position = m_file->GetPosition();
        return buffered + static_cast<LONGLONG>(length > position ? length - position : 0);
    } catch (CException* e) {
        // Not every file knows its size (pipes, devices): the caller reads in pieces.
        e->Delete();
        return -1;
    }
}

template <typename Text>
void CArchive::ReadText(Text& text, ULONGLONG byteCount, bool sizeKnown)
{
    constexpr size_t unit = sizeof(typename Text::value_type);
    if (sizeKnown || byteCount <= kChunkBytes) {
        text.resize(static_cast<size_t>(byteCount / unit));
        if (byteCount > 0)
            ReadExact(text.data(), static_cast<UINT>(byteCount));
        return;
    }
    // Unknown size: grow only as the bytes really arrive.
    ULONGLONG remaining = byteCount;
    while (remaining > 0) {
        const UINT n = static_cast<UINT>(std::min<ULONGLONG>(remaining, kChunkBytes));
        const size_t at = text.size();
        text.resize(at + n / unit);
        ReadExact(text.data() + at, n);
        remaining -= n;
    }
}

// ---------------------------------------------------------------- numbers

CArchive& CArchive::operator<<(BYTE value) { Write(&value, 1); return *this; }
CArchive& CArchive::operator<<(WORD value) { StoreLittleEndian(*this, value); return *this; }
CArchive& CArchive::operator<<(LONG value) { StoreLittleEndian(*this, static_cast<DWORD>(value)); return *this; }
CArchive& CArchive::operator<<(DWORD value) { StoreLittleEndian(*this, value); return *this; }
CArchive& CArchive::operator<<(int value) { StoreLittleEndian(*this, static_cast<DWORD>(value)); return *this; }
CArchive& CArchive::operator<<(UINT value) { StoreLittleEndian(*this, static_cast<DWORD>(value)); return *this; }
CArchive& CArchive::operator<<(LONGLONG value) { StoreLittleEndian(*this, static_cast<ULONGLONG>(value)); return *this; }
CArchive& CArchive::operator<<(ULONGLONG value) { StoreLittleEndian(*this, value); return *this; }

CArchive& CArchive::operator>>(BYTE& value)
{
    ReadExact(&value, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& value)
{
    BYTE bytes[2];
    ReadExact(bytes, 2);
    value = FromLittleEndian<WORD>(bytes);
    return *this;
}

CArchive& CArchive::operator>>(LONG& value)
{
    BYTE bytes[4];
    ReadExact(bytes, 4);
    value = static_cast<LONG>(FromLittleEndian<DWORD>(bytes));
    return *this;
}

CArchive& CArchive::operator>>(DWORD& value)
{
    BYTE bytes[4];
    ReadExact(bytes, 4);
    value = FromLittleEndian<DWORD>(bytes);
    return *this;
}

CArchive& CArchive::operator>>(int& value)
{
    BYTE bytes[4];
    ReadExact(bytes, 4);
    value = static_cast<int>(FromLittleEndian<DWORD>(bytes));
    return *this;
}

CArchive& CArchive::operator>>(UINT& value)
{
    BYTE bytes[4];
    ReadExact(bytes, 4);
    value = static_cast<UINT>(FromLittleEndian<DWORD>(bytes));
    return *this;
}

CArchive& CArchive::operator>>(LONGLONG& value)
{
    BYTE bytes[8];
    ReadExact(bytes, 8);
    value = static_cast<LONGLONG>(FromLittleEndian<ULONGLONG>(bytes));
    return *this;
}

CArchive& CArchive::operator>>(ULONGLONG& value)
{
    BYTE bytes[8];
    ReadExact(bytes, 8);
    value = FromLittleEndian<ULONGLONG>(bytes);
    return *this;
}

// ---------------------------------------------------------------- strings

void CArchive::WriteStringLength(CArchive& ar, ULONGLONG length, bool unicode)
{
    if (unicode) {
        ar << static_cast<BYTE>(0xFF);
        ar << static_cast<WORD>(0xFFFE);
    }
    if (length < 0xFF) {
        ar << static_cast<BYTE>(length);
        return;
    }
    ar << static_cast<BYTE>(0xFF);
    // 0xFFFE is kept free in the 16-bit field: a reader would take it for the marker.
    if (length < 0xFFFE) {
        ar << static_cast<WORD>(length);
        return;
    }
    ar << static_cast<WORD>(0xFFFF);
    if (length < 0xFFFFFFFFULL) {
        ar << static_cast<DWORD>(length);
        return;
    }
    ar << static_cast<DWORD>(0xFFFFFFFFUL);
    ar << length;
}

ULONGLONG CArchive::ReadStringLength(CArchive& ar, bool& unicode)
{
    unicode = false;
    BYTE small = 0;
    ar >> small;
    if (small < 0xFF)
        return small;
    WORD word = 0;
    ar >> word;
    if (word == 0xFFFE) {
        unicode = true;
        ar >> small;
        if (small < 0xFF)
            return small;
        ar >> word;
    }
    if (word < 0xFFFF)
        return word;
    DWORD dword = 0;
    ar >> dword;
    if (dword < 0xFFFFFFFFUL)
        return dword;
    ULONGLONG qword = 0;
    ar >> qword;
    if (qword >= kMaxLongLength)
        ar.Raise(CArchiveException::genericException);
    return qword;
}

CArchive& CArchive::operator<<(const CString& value)
{
    const ULONGLONG length = static_cast<ULONGLONG>(value.GetLength());
    WriteStringLength(*this, length, true);
    // Characters go out as they are held in memory: UTF-16LE on this platform.
    const BYTE* bytes = reinterpret_cast<const BYTE*>(value.GetString());
    ULONGLONG left = length * sizeof(wchar_t);
    while (left > 0) {
        const UINT n = static_cast<UINT>(std::min<ULONGLONG>(left, 0x40000000ULL));
        Write(bytes, n);
        bytes += n;
        left -= n;
    }
    return *this;
}

CArchive& CArchive::operator>>(CString& value)
{
    CheckOpen(true);
    bool unicode = false;
    const ULONGLONG length = ReadStringLength(*this, unicode);
    const ULONGLONG byteCount = length * (unicode ? 2 : 1);

    // Never trust the length: when the file can tell what is left, a longer string is a
    // truncated or damaged file, reported before anything is allocated for it.
    LONGLONG left = -1;
    if (byteCount > m_limit - m_cur) {
        left = BytesLeft();
        if (left >= 0 && byteCount > static_cast<ULONGLONG>(left))
            Raise(CArchiveException::endOfFile);
    }
    if (length > kMaxStringLength)
        Raise(CArchiveException::genericException);

    // Unicode text is read straight into the string it ends up in: one allocation at most
    // (none for short text), which matters for a box file of a hundred thousand names.
    const bool sizeKnown = left >= 0 || byteCount <= m_limit - m_cur;
    if (unicode) {
        std::wstring text;
        ReadText(text, byteCount, sizeKnown);
        value = CString(std::move(text));
        return *this;
    }
    std::string raw;
    ReadText(raw, byteCount, sizeKnown);
    if (length == 0) {
        value.Empty();
        return *this;
    }
    const int count = static_cast<int>(length);
    const int wide = ::MultiByteToWideChar(CP_THREAD_ACP, 0, raw.data(), count, nullptr, 0);
    if (wide <= 0)
        Raise(CArchiveException::genericException);
    std::wstring text(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, raw.data(), count, text.data(), wide);
    value = CString(std::move(text));
    return *this;
}
