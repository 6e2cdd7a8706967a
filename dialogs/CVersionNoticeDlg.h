// The notice the version check shows when a newer version exists: the running and the
// latest version, and "Open download page?" with "Yes" (opens the product page) and "Later".
#pragma once

#include <windows.h>

#include "controls/CImagePreviewStatic.h"
#include "framework/CDialog.h"
#include "framework/CString.h"

class CVersionNoticeDlg : public CDialog
{
public:
    // The product's web page, where the new version is downloaded.
    static const wchar_t kProductPageUrl[];

    CVersionNoticeDlg();

    BOOL OnInitDialog() override;
    void OnOK() override;

    Utility::CImagePreviewStatic m_image;
    CString m_strCurrentVersion;  // set by the caller before DoModal
    CString m_strLatestVersion;   // set by the caller before DoModal

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
