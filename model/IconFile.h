// One icon of the icon cache as a file: a single-image ICO file ("<key>.si" or "<key>.li"),
// built from the icon's bitmaps and read back byte by byte. Nothing read from a file is
// trusted: every size and offset in it is checked against the bytes that are there before
// an icon is made of them, so a file cut short, emptied or overwritten gives no icon.
#pragma once

#include <windows.h>

#include "framework/CString.h"

namespace Model {

class IconFile
{
public:
    // What reading a file found: an icon, no icon (missing, empty, cut short or not an icon
    // file), or nothing, because the file could not be read (another program holds it).
    enum class State { Whole, Broken, Unreadable };

    IconFile() = delete;

    // Writes the icon as a single-image ICO file at the given bit depth. The whole file is
    // built in memory first; on any failure no file is left behind and FALSE is returned.
    static BOOL Save(HICON icon, int bitCount, const CString& path);
    // Loads an ICO file into an icon with its alpha channel; NULL (and a "warn" line) when the
    // file is missing, unreadable or not a well-formed icon file.
    static HICON Load(const CString& path);
    // Reads an ICO file and checks its structure, without making an icon of it.
    static State Check(const CString& path);
};

}  // namespace Model
