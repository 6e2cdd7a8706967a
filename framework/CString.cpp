#include "framework/CString.h"

#include <algorithm>
#include <cwctype>
#include <stdio.h>

CString::CString(const char* text)
{
    if (!text || !*text)
        return;
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return;
    m_text.resize(static_cast<size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, m_text.data(), length);
    m_text.resize(static_cast<size_t>(length - 1));
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    // The arguments may point into this very string (s.Format(L"%s\\x", s.GetString())):
    // it is replaced only once the new text is complete.
    if (!format) {
        m_text.clear();
        return;
    }
    // The msvcrt functions give %s its Windows meaning (a wide string in a wide format).
    va_list count;
    va_copy(count, args);
    const int length = _vscwprintf(format, count);
    va_end(count);
    if (length <= 0) {
        m_text.clear();
        return;
    }
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int written = _vsnwprintf(buffer.data(), buffer.size(), format, args);
    buffer.resize(written >= 0 ? static_cast<size_t>(written) : 0);
    m_text = std::move(buffer);
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    m_text += tail.m_text;
}

CString FormatString(const wchar_t* format, ...)
{
    CString result;
    va_list args;
    va_start(args, format);
    result.FormatV(format, args);
    va_end(args);
    return result;
}

BOOL CString::LoadString(UINT id)
{
    m_text.clear();
    const wchar_t* resource = nullptr;
    // With a zero buffer size LoadStringW hands out a read-only pointer to the resource
    // text, which is not NUL-terminated: copy exactly its length.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource)
        return FALSE;
    m_text.assign(resource, static_cast<size_t>(length));
    return TRUE;
}

CString CString::Left(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)));
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const
{
    const size_t at = m_text.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    if (!oldText || !*oldText)
        return 0;
    const std::wstring from(oldText);
    const std::wstring to(newText ? newText : L"");
    int count = 0;
    size_t at = 0;
    while ((at = m_text.find(from, at)) != std::wstring::npos) {
        m_text.replace(at, from.size(), to);
        at += to.size();
        ++count;
    }
    return count;
}

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int count = 0;
    for (wchar_t& c : m_text) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Remove(wchar_t ch)
{
    const size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Delete(int index, int count)
{
    if (index >= 0 && index < GetLength() && count > 0)
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text)
{
    index = std::clamp(index, 0, GetLength());
    if (text)
        m_text.insert(static_cast<size_t>(index), text);
    return GetLength();
}

CString& CString::MakeLower()
{
    if (!m_text.empty())
        ::CharLowerBuffW(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_text.empty())
        ::CharUpperBuffW(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::TrimLeft()
{
    size_t first = 0;
    while (first < m_text.size() && std::iswspace(m_text[first]))
        ++first;
    m_text.erase(0, first);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_text.empty() && std::iswspace(m_text.back()))
        m_text.pop_back();
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

int CString::Compare(const wchar_t* other) const
{
    return wcscmp(m_text.c_str(), other ? other : L"");
}

int CString::CompareNoCase(const wchar_t* other) const
{
    return _wcsicmp(m_text.c_str(), other ? other : L"");
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_text.resize(static_cast<size_t>(minLength));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0) {
        const size_t nul = m_text.find(L'\0');
        if (nul != std::wstring::npos)
            m_text.resize(nul);
    } else {
        m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
    }
}
