#include "framework/CFileDialog.h"

#include <cwchar>

#include "framework/AfxMessageBox.h"
#include "framework/CWnd.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent, DWORD, BOOL)
    : m_ofn{}, m_bOpenFileDialog(openFileDialog)
{
    if (fileName)
        ::lstrcpynW(m_fileName, fileName, static_cast<int>(sizeof(m_fileName) / sizeof(m_fileName[0])));
    if (defaultExtension)
        m_defaultExtension = defaultExtension;
    if (filter && *filter) {
        // "Text|patterns|...||" becomes the system's "Text\0patterns\0...\0\0".
        std::wstring pairs(filter);
        for (wchar_t& ch : pairs) {
            if (ch == L'|')
                ch = L'\0';
        }
        pairs.append(2, L'\0');
        m_filter = CString(std::move(pairs));
    }

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent ? parent->GetSafeHwnd() : AfxGetMainWndHandle();
    m_ofn.lpstrFilter = m_filter.IsEmpty() ? nullptr : m_filter.GetString();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileName;
    m_ofn.nMaxFile = static_cast<DWORD>(sizeof(m_fileName) / sizeof(m_fileName[0]));
    m_ofn.lpstrDefExt = defaultExtension ? m_defaultExtension.GetString() : nullptr;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    if (!chosen) {
        m_fileName[0] = L'\0';
        return IDCANCEL;
    }
    m_fileName[sizeof(m_fileName) / sizeof(m_fileName[0]) - 1] = L'\0';
    return IDOK;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_fileName);
}

CString CFileDialog::GetFileName() const
{
    const wchar_t* slash = std::wcsrchr(m_fileName, L'\\');
    return CString(slash ? slash + 1 : m_fileName);
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}
