// The data side of dragging one item out of a file list: a data source that offers one
// path as CF_HDROP and builds the block only when a drop target asks for it.
#pragma once

#include <windows.h>

#include "framework/COleDataSource.h"
#include "framework/CString.h"

namespace Utility {

class CDragFile : public COleDataSource
{
public:
    explicit CDragFile(const CString& path);

    // Renders CF_HDROP: builds the block, keeps it in the cache for every later request,
    // and answers this request with a copy, so that a target asking only once (at the drop)
    // gets the file too. FALSE for other formats, a null out pointer or no memory.
    BOOL OnRenderGlobalData(LPFORMATETC pFormatEtc, HGLOBAL* phGlobal) override;

    // The CF_HDROP block of one path: a DROPFILES header (file list at offset 20, wide
    // characters), the path, and zeros that end the path and the list. The block's size is
    // a multiple of 4096 bytes with at least 4 zero bytes after the path. Null when memory
    // runs out or the path is absurdly long.
    static HGLOBAL BuildDropFiles(const CString& path);
    // The size BuildDropFiles gives a path of that many characters.
    static SIZE_T DropFilesSize(SIZE_T pathChars);

    CString m_strPath;

protected:
    ~CDragFile() override;
};

}  // namespace Utility
