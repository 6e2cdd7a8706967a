// Helpers shared by the archive tests: a file held in memory (which can pretend not to
// know its size, like a pipe) and a probe for the framework's pointer exceptions.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CFile.h"

class MemoryFile : public CFile
{
public:
    explicit MemoryFile(std::vector<BYTE> data = {}, bool knowsSize = true)
        : m_data(std::move(data)), m_knowsSize(knowsSize) {}

    UINT Read(void* buffer, UINT count) override
    {
        const size_t left = m_data.size() - std::min(m_pos, m_data.size());
        const UINT n = static_cast<UINT>(std::min<size_t>(count, left));
        if (n)
            std::memcpy(buffer, m_data.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    void Write(const void* buffer, UINT count) override
    {
        if (m_pos + count > m_data.size())
            m_data.resize(m_pos + count);
        std::memcpy(m_data.data() + m_pos, buffer, count);
        m_pos += count;
        ++m_writeCalls;
    }
    ULONGLONG Seek(LONGLONG offset, UINT from) override
    {
        if (!m_knowsSize)
            AfxThrowFileException(CFileException::badSeek, ERROR_SEEK);
        LONGLONG base = from == begin ? 0 : from == current ? static_cast<LONGLONG>(m_pos)
                                                           : static_cast<LONGLONG>(m_data.size());
        if (base + offset < 0)
            AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK);
        m_pos = static_cast<size_t>(base + offset);
        return m_pos;
    }
    ULONGLONG GetLength() const override
    {
        if (!m_knowsSize)
            AfxThrowFileException(CFileException::genericException, ERROR_INVALID_FUNCTION);
        return m_data.size();
    }
    ULONGLONG GetPosition() const override
    {
        if (!m_knowsSize)
            AfxThrowFileException(CFileException::genericException, ERROR_INVALID_FUNCTION);
        return m_pos;
    }
    void Close() override {}
    void Flush() override {}

    std::vector<BYTE> m_data;
    size_t m_pos = 0;
    bool m_knowsSize;
    int m_writeCalls = 0;
};

// The cause of the archive exception that f raises; -1 when it raises nothing and -2
// when it raises another framework exception.
template <typename F>
int ArchiveCause(F&& f)
{
    try {
        f();
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    } catch (CException* e) {
        e->Delete();
        return -2;
    }
    return -1;
}

// Writes through an archive over a memory file and returns the bytes.
template <typename F>
std::vector<BYTE> StoreInMemory(F&& write, int bufferSize = 4096)
{
    MemoryFile file;
    {
        CArchive ar(&file, CArchive::store, bufferSize);
        write(ar);
        ar.Close();
    }
    return file.m_data;
}

inline std::vector<BYTE> Bytes(std::initializer_list<int> values)
{
    std::vector<BYTE> bytes;
    for (int v : values)
        bytes.push_back(static_cast<BYTE>(v));
    return bytes;
}

inline std::vector<BYTE> operator+(std::vector<BYTE> a, const std::vector<BYTE>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The largest single allocation made while tracking is on (the test program replaces
// the global operator new to record it).
size_t LargestAllocation();
void TrackAllocations(bool on);
