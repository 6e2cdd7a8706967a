// The copies that a damaged box file is kept as beside it, "<box file>.bad", ".bad2", and so
// on: the user can bring one back, so a copy is never replaced, and the icon files its items
// name stay while one is there.
#pragma once

#include <windows.h>

#include "framework/CString.h"

namespace Model {

class KeptBoxFileCopy
{
public:
    // No more copies than this are made; a file damaged after that is not copied.
    static constexpr int kMaxCopies = 999;

    // "<path>.bad" for the first copy, "<path>.bad2" and on for later ones.
    static CString Name(const CString& path, int number);
    // Whether any copy is kept beside the file (their numbers may have gaps).
    static BOOL Exists(const CString& path);
    // Copies the file at path aside under the next free number, unless the newest copy holds
    // the same bytes already (the same damaged file met again). The copy it is kept as, or
    // empty when it could not be copied; *error then gets the system's reason.
    static CString Keep(const CString& path, DWORD* error);
};

}  // namespace Model
