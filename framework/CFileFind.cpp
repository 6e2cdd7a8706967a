#include "framework/CFileFind.h"

#include <cwchar>

BOOL CFileFind::FindFile(const wchar_t* pattern)
{
    Close();
    if (!pattern || !*pattern)
        pattern = L"*.*";
    // Entry paths are the pattern's folder part (with its separator) plus the entry name.
    const CString text(pattern);
    int cut = -1;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\\' || c == L'/' || (c == L':' && i == 1))
            cut = i;
    }
    m_root = text.Left(cut + 1);

    m_hFind.reset(::FindFirstFileW(pattern, &m_next));
    if (!m_hFind) {
        m_root.Empty();
        return FALSE;
    }
    m_hasNext = TRUE;
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_hasNext) {
        m_hasCurrent = FALSE;
        return FALSE;
    }
    m_found = m_next;
    m_hasCurrent = TRUE;
    m_hasNext = FALSE;
    if (m_hFind && ::FindNextFileW(m_hFind.get(), &m_next))
        m_hasNext = TRUE;
    return m_hasNext;
}

void CFileFind::Close()
{
    m_hFind.reset();
    m_hasNext = FALSE;
    m_hasCurrent = FALSE;
    m_found = {};
    m_next = {};
    m_root.Empty();
}

CString CFileFind::GetFileName() const
{
    if (!m_hasCurrent)
        return CString();
    // The find data's name is a fixed array: never read past it.
    const size_t length = wcsnlen(m_found.cFileName, MAX_PATH);
    return CString(m_found.cFileName, static_cast<int>(length));
}

CString CFileFind::GetFilePath() const
{
    if (!m_hasCurrent)
        return CString();
    return m_root + GetFileName();
}

CString CFileFind::GetFileTitle() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind(L'.');
    return dot >= 0 ? name.Left(dot) : name;
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_hasCurrent)
        return 0;
    return (static_cast<ULONGLONG>(m_found.nFileSizeHigh) << 32) | m_found.nFileSizeLow;
}

BOOL CFileFind::IsDirectory() const
{
    return m_hasCurrent && (m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL CFileFind::IsDots() const
{
    if (!IsDirectory())
        return FALSE;
    const wchar_t* name = m_found.cFileName;
    return (name[0] == L'.' && name[1] == L'\0') ||
           (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}
