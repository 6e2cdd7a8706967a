#include "model/KeptBoxFileCopy.h"

#include <string>
#include <vector>

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "framework/CFileFind.h"

namespace Model {

CString KeptBoxFileCopy::Name(const CString& path, int number)
{
    return number == 1 ? path + L".bad" : FormatString(L"%s.bad%d", path.GetString(), number);
}

BOOL KeptBoxFileCopy::Exists(const CString& path)
{
    const CString first = Name(path, 1);
    const CString firstName = first.Mid(first.ReverseFind(L'\\') + 1);
    CFileFind finder;
    BOOL more = finder.FindFile(first + L"*");
    while (more) {
        more = finder.FindNextFile();
        const CString name = finder.GetFileName();
        const std::wstring number = name.Mid(firstName.GetLength()).str();
        if (!finder.IsDirectory() && name.Left(firstName.GetLength()).CompareNoCase(firstName) == 0 &&
            number.find_first_not_of(L"0123456789") == std::wstring::npos)
            return TRUE;
    }
    return FALSE;
}

CString KeptBoxFileCopy::Keep(const CString& path, DWORD* error)
{
    // A copy never replaces an earlier one. The same damaged file met again (a start reads it
    // twice, and it stays until the next save) is not copied twice.
    int number = 1;
    while (number <= kMaxCopies && FileExists(Name(path, number)))
        ++number;
    const CString newest = number > 1 ? Name(path, number - 1) : CString();
    if (!newest.IsEmpty() && SameFileBytes(path, newest))
        return newest;
    const CString copy = Name(path, number);
    if (number <= kMaxCopies && ::CopyFileW(path, copy, TRUE))
        return copy;
    if (error)
        *error = number <= kMaxCopies ? ::GetLastError() : ERROR_FILE_EXISTS;
    return CString();
}

}  // namespace Model
