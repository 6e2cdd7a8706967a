#include "model/CStyleArchiver.h"

#include <cstring>
#include <new>

#include "model/CTextStyle.h"

namespace {

const wchar_t kOverrun[] = L"CStyleArchiver overrun";

[[noreturn]] void ThrowOverrun()
{
    throw CStyleArchiverError(kOverrun);
}

} // namespace

CStyleArchiver::CStyleArchiver()
    : m_nMode(modeNone), m_pBuffer(nullptr), m_nSize(0), m_nPos(0), m_bOwnsBuffer(false)
{
}

CStyleArchiver::~CStyleArchiver()
{
    Free();
}

void CStyleArchiver::Reset()
{
    m_nMode = modeNone;
    m_pBuffer = nullptr;
    m_nSize = 0;
    m_nPos = 0;
    m_bOwnsBuffer = false;
}

void CStyleArchiver::Free()
{
    if (m_bOwnsBuffer && m_pBuffer) {
        delete[] m_pBuffer;
        m_pBuffer = nullptr;
    }
    m_bOwnsBuffer = false;
}

void CStyleArchiver::AttachForWrite(BYTE* buffer, int size)
{
    Free();
    m_pBuffer = buffer;
    // A missing buffer or a negative size means there is no room at all.
    m_nSize = (buffer && size > 0) ? size : 0;
    m_nPos = 0;
    m_nMode = modeWrite;
}

void CStyleArchiver::AllocateForWrite(int size)
{
    Free();
    if (size < 0)
        size = 0;
    m_pBuffer = new BYTE[size > 0 ? size : 1];
    m_bOwnsBuffer = true;
    m_nSize = size;
    m_nPos = 0;
    m_nMode = modeWrite;
}

void CStyleArchiver::CopyForRead(const BYTE* data, int size)
{
    Free();
    if (!data || size < 0)
        size = 0;
    m_pBuffer = new BYTE[size > 0 ? size : 1];
    m_bOwnsBuffer = true;
    if (size > 0)
        std::memcpy(m_pBuffer, data, static_cast<size_t>(size));
    m_nSize = size;
    m_nPos = 0;
    m_nMode = modeRead;
}

void CStyleArchiver::CheckFits(long long count) const
{
    if (count < 0 || static_cast<long long>(m_nPos) + count > static_cast<long long>(m_nSize))
        ThrowOverrun();
}

void CStyleArchiver::CheckMode(int wanted) const
{
    if (m_nMode != wanted)
        throw std::logic_error("Mode mismatch");
}

void CStyleArchiver::PutRaw(const void* bytes, int count)
{
    if (count > 0)
        std::memcpy(m_pBuffer + m_nPos, bytes, static_cast<size_t>(count));
    m_nPos += count;
}

void CStyleArchiver::PutInt(int value)
{
    const UINT v = static_cast<UINT>(value);
    const BYTE bytes[4] = { static_cast<BYTE>(v), static_cast<BYTE>(v >> 8),
                            static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 24) };
    PutRaw(bytes, 4);
}

int CStyleArchiver::GetInt()
{
    const BYTE* p = m_pBuffer + m_nPos;
    const UINT v = static_cast<UINT>(p[0]) | (static_cast<UINT>(p[1]) << 8) |
                   (static_cast<UINT>(p[2]) << 16) | (static_cast<UINT>(p[3]) << 24);
    m_nPos += 4;
    return static_cast<int>(v);
}

void CStyleArchiver::WriteInt(int value)
{
    CheckFits(4);
    CheckMode(modeWrite);
    PutInt(value);
}

void CStyleArchiver::WriteColor(Gdiplus::ARGB value)
{
    CheckFits(4);
    CheckMode(modeWrite);
    PutInt(static_cast<int>(value));
}

void CStyleArchiver::WritePoint(const POINT& value)
{
    CheckFits(8);
    CheckMode(modeWrite);
    PutInt(value.x);
    PutInt(value.y);
}

void CStyleArchiver::WriteMargins(const MARGINS& value)
{
    CheckFits(16);
    CheckMode(modeWrite);
    PutInt(value.cxLeftWidth);
    PutInt(value.cxRightWidth);
    PutInt(value.cyTopHeight);
    PutInt(value.cyBottomHeight);
}

void CStyleArchiver::WriteStringFormat(const Gdiplus::StringFormat* format)
{
    CheckFits(8);
    CheckMode(modeWrite);
    // A record without a format stores near alignment on both axes.
    PutInt(format ? static_cast<int>(format->GetAlignment()) : 0);
    PutInt(format ? static_cast<int>(format->GetLineAlignment()) : 0);
}

void CStyleArchiver::WriteString(const CString& value)
{
    const long long bytes = 2LL * value.GetLength();
    CheckFits(4 + bytes);
    CheckMode(modeWrite);
    PutInt(static_cast<int>(bytes));
    const wchar_t* text = value.GetString();
    for (int i = 0; i < value.GetLength(); ++i) {
        const unsigned ch = static_cast<unsigned>(text[i]) & 0xFFFFu;
        m_pBuffer[m_nPos++] = static_cast<BYTE>(ch);
        m_pBuffer[m_nPos++] = static_cast<BYTE>(ch >> 8);
    }
}

void CStyleArchiver::WriteTextStyle(const Model::CTextStyle& style)
{
    CheckFits(0);
    CheckMode(modeWrite);
    // The nested record checks its own room against the rest of this buffer.
    m_nPos += style.Save(m_pBuffer + m_nPos, m_nSize - m_nPos);
}

int CStyleArchiver::ReadInt()
{
    CheckFits(4);
    CheckMode(modeRead);
    return GetInt();
}

POINT CStyleArchiver::ReadPoint()
{
    CheckFits(8);
    CheckMode(modeRead);
    POINT pt;
    pt.x = GetInt();
    pt.y = GetInt();
    return pt;
}

MARGINS CStyleArchiver::ReadMargins()
{
    CheckFits(16);
    CheckMode(modeRead);
    MARGINS m;
    m.cxLeftWidth = GetInt();
    m.cxRightWidth = GetInt();
    m.cyTopHeight = GetInt();
    m.cyBottomHeight = GetInt();
    return m;
}

void CStyleArchiver::ReadStringFormat(Gdiplus::StringFormat* format)
{
    CheckFits(8);
    CheckMode(modeRead);
    const int alignment = GetInt();
    const int lineAlignment = GetInt();
    // Values from a file are applied only when they name an alignment; anything else
    // would reach GDI+ as an undefined enumeration value.
    if (format) {
        if (alignment >= 0 && alignment <= 2)
            format->SetAlignment(static_cast<Gdiplus::StringAlignment>(alignment));
        if (lineAlignment >= 0 && lineAlignment <= 2)
            format->SetLineAlignment(static_cast<Gdiplus::StringAlignment>(lineAlignment));
    }
}

CString CStyleArchiver::ReadString()
{
    CheckFits(4);
    CheckMode(modeRead);
    const int start = m_nPos;
    const int bytes = GetInt();
    // The count and its bytes must fit before anything is allocated for them; a
    // negative count is as impossible as one past the end.
    m_nPos = start;
    if (bytes < 0)
        ThrowOverrun();
    CheckFits(4LL + bytes);
    m_nPos = start + 4;
    const int chars = bytes / 2;
    std::wstring text(static_cast<size_t>(chars), L'\0');
    for (int i = 0; i < chars; ++i) {
        const BYTE* p = m_pBuffer + m_nPos + 2 * i;
        text[static_cast<size_t>(i)] = static_cast<wchar_t>(p[0] | (p[1] << 8));
    }
    m_nPos += bytes;
    // An embedded NUL ends the string.
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.resize(nul);
    return CString(std::move(text));
}

void CStyleArchiver::ReadTextStyle(Model::CTextStyle& style)
{
    CheckFits(0);
    CheckMode(modeRead);
    m_nPos += style.Load(m_pBuffer + m_nPos, m_nSize - m_nPos);
}
