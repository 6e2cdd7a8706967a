// A buffered binary archive over a CFile: little-endian numbers without padding and the
// framework's string encoding (FF FE FF marker, 1/2/4/8-byte length, UTF-16LE text; 8-bit
// strings without the marker are read too). A read past the end raises
// CArchiveException(endOfFile); an impossible length raises genericException; the file's
// own failures pass through as CFileException. A string length is never trusted: one
// longer than the bytes left raises endOfFile before anything is allocated for it, and
// over a file that cannot tell its size the text is read in bounded pieces.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/CException.h"
#include "framework/CFile.h"
#include "framework/CString.h"

class CArchive
{
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* file, UINT mode, int bufferSize = 4096);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    ~CArchive();  // flushes a store archive that was not closed, swallowing failures

    BOOL IsLoading() const { return m_mode == load; }
    BOOL IsStoring() const { return m_mode == store; }
    CFile* GetFile() const { return m_file; }
    void Flush();
    void Close();   // flushes (store) and detaches from the file, which stays open
    void Abort();   // detaches without writing

    UINT Read(void* buffer, UINT count);     // reads up to count bytes; returns the bytes read
    void Write(const void* buffer, UINT count);

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(LONG value);
    CArchive& operator<<(DWORD value);
    CArchive& operator<<(int value);
    CArchive& operator<<(UINT value);
    CArchive& operator<<(LONGLONG value);
    CArchive& operator<<(ULONGLONG value);
    CArchive& operator<<(const CString& value);

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(LONG& value);
    CArchive& operator>>(DWORD& value);
    CArchive& operator>>(int& value);
    CArchive& operator>>(UINT& value);
    CArchive& operator>>(LONGLONG& value);
    CArchive& operator>>(ULONGLONG& value);
    CArchive& operator>>(CString& value);

    // The string encoding alone, for callers that write it elsewhere.
    static void WriteStringLength(CArchive& ar, ULONGLONG length, bool unicode);
    // Reads a string length; sets unicode for the marked form.
    static ULONGLONG ReadStringLength(CArchive& ar, bool& unicode);

private:
    void FillBuffer(UINT wanted);
    void ReadExact(void* buffer, UINT count);  // raises endOfFile when short
    // Reads byteCount bytes of text into a string of 8- or 16-bit units; without a known
    // size (sizeKnown false) it grows the string piece by piece as the bytes arrive.
    template <typename Text>
    void ReadText(Text& text, ULONGLONG byteCount, bool sizeKnown);
    void WriteBuffer();                         // hands the stored bytes to the file
    CFile* CheckOpen(bool forLoading);          // the file, or raises when unusable
    // Bytes still to come (buffered and in the file); -1 when the file cannot tell.
    LONGLONG BytesLeft();
    [[noreturn]] void Raise(int cause) const;

    CFile* m_file;
    UINT m_mode;
    std::vector<BYTE> m_buffer;
    UINT m_cur = 0;    // read/write position in the buffer
    UINT m_limit = 0;  // bytes held (load mode)
    BOOL m_closed = FALSE;
};
