// The small memory archive through which the style file is written and read: a byte
// buffer with a mode, a size and a position. Every typed access checks that it fits
// before touching the buffer, so a short or damaged file can never make it read or
// write outside the buffer or allocate from a length it has not checked.
#pragma once

#include <windows.h>
#include <objidl.h>  // PROPID etc., left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <uxtheme.h>

#include <stdexcept>
#include <string>

#include "framework/CString.h"

namespace Model { class CTextStyle; }

// Raised when an access would pass the end of the buffer (or a stored length is
// impossible). Thrown by value; its text is "CStyleArchiver overrun".
class CStyleArchiverError
{
public:
    explicit CStyleArchiverError(const wchar_t* text) : m_text(text ? text : L"") {}
    const wchar_t* GetText() const { return m_text.c_str(); }

private:
    std::wstring m_text;
};

class CStyleArchiver
{
public:
    enum Mode { modeNone = 0, modeRead = 1, modeWrite = 2 };

    CStyleArchiver();
    CStyleArchiver(const CStyleArchiver&) = delete;
    CStyleArchiver& operator=(const CStyleArchiver&) = delete;
    ~CStyleArchiver();

    void Reset();
    void Free();
    // Writes into the caller's buffer, which the archiver never frees.
    void AttachForWrite(BYTE* buffer, int size);
    // Writes into a buffer of its own (not cleared).
    void AllocateForWrite(int size);
    // Reads from its own copy of the data.
    void CopyForRead(const BYTE* data, int size);

    void WriteInt(int value);
    void WriteColor(Gdiplus::ARGB value);
    void WritePoint(const POINT& value);
    void WriteMargins(const MARGINS& value);
    void WriteStringFormat(const Gdiplus::StringFormat* format);
    void WriteString(const CString& value);
    void WriteTextStyle(const Model::CTextStyle& style);

    int ReadInt();  // integers and colours alike
    POINT ReadPoint();
    MARGINS ReadMargins();
    void ReadStringFormat(Gdiplus::StringFormat* format);
    CString ReadString();
    void ReadTextStyle(Model::CTextStyle& style);

    int GetMode() const { return m_nMode; }
    int GetSize() const { return m_nSize; }
    int GetPosition() const { return m_nPos; }
    const BYTE* GetBuffer() const { return m_pBuffer; }

private:
    // Raises the overrun error unless count more bytes fit at the position. Computed in
    // 64 bits so that neither a negative nor a huge count can wrap around.
    void CheckFits(long long count) const;
    void CheckMode(int wanted) const;
    void PutRaw(const void* bytes, int count);
    void PutInt(int value);
    int GetInt();

    int m_nMode;
    BYTE* m_pBuffer;
    int m_nSize;
    int m_nPos;
    bool m_bOwnsBuffer;
};
