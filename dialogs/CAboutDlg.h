// The "Version" dialog of the box menu: the logo, the program's version, a link to the
// download page, credit links, the maker's link, and a button that opens the data folder.
#pragma once

#include <windows.h>

#include "controls/CImagePreviewStatic.h"
#include "controls/CUrlStatic.h"
#include "framework/CDialog.h"

class CAboutDlg : public CDialog
{
public:
    // Web addresses of the credit links and of the maker.
    static const wchar_t kCreditUrl1[];
    static const wchar_t kCreditUrl2[];
    static const wchar_t kCreditUrl3[];
    static const wchar_t kCreditUrl4[];
    static const wchar_t kCreditLabel4[];
    static const wchar_t kMakerUrl[];
    static const wchar_t kMakerName[];

    explicit CAboutDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    Utility::CImagePreviewStatic m_logo;
    Utility::CUrlStatic m_linkLatest;   // 1110: the download page
    Utility::CUrlStatic m_linkCredit1;  // 1111
    Utility::CUrlStatic m_linkCredit2;  // 1112
    Utility::CUrlStatic m_linkCredit4;  // 1114: shown by a short label
    Utility::CUrlStatic m_linkCredit3;  // 1115
    Utility::CUrlStatic m_linkMaker;    // 1113: the maker's name

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBnClickedOpenDataFolder();
    void OnBnClickedOk();

    DECLARE_MESSAGE_MAP()
};
