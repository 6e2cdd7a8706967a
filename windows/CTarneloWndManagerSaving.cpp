// The manager window's saves of the three data files. A save that fails changes nothing on
// the disk and keeps what is in memory; the user is told, in a message box shown once the
// event that saved is done, naming the file and the system's reason.
#include "windows/CTarneloWndManager.h"

#include <algorithm>

#include "core/Logger.h"
#include "core/ShellHelpers.h"
#include "framework/AfxMessageBox.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"

BOOL CTarneloWndManager::SaveBoxFile()
{
    if (!m_pInfoManager)
        return FALSE;
    const BOOL saved = m_pInfoManager->Save(m_strBoxFilePath);
    NoteSaveResult(m_strBoxFilePath, saved ? ERROR_SUCCESS : m_pInfoManager->GetSaveError());
    return saved;
}

BOOL CTarneloWndManager::SaveStyle()
{
    if (!m_pStyle)
        return FALSE;
    const BOOL saved = m_pStyle->Save(m_strStylePath);
    NoteSaveResult(m_strStylePath, saved ? ERROR_SUCCESS : m_pStyle->GetSaveError());
    return saved;
}

BOOL CTarneloWndManager::SaveConfig()
{
    if (!m_pConfig)
        return FALSE;
    const BOOL saved = m_pConfig->Save(m_strConfigPath);
    NoteSaveResult(m_strConfigPath, saved ? ERROR_SUCCESS : m_pConfig->GetSaveError());
    return saved;
}

CString CTarneloWndManager::NoteSaveResult(const CString& path, DWORD error)
{
    const auto told = std::find_if(m_failingSaves.begin(), m_failingSaves.end(),
                                   [&path](const CString& file) { return file.CompareNoCase(path) == 0; });
    if (error == ERROR_SUCCESS) {
        if (told != m_failingSaves.end()) {
            Log(kLogInfo, FormatString(L"<boxmng> saved again: %s", path.GetString()));
            m_failingSaves.erase(told);
        }
        return CString();
    }
    // The same file failing again in a row was told already: its first failure said that
    // the changes wait for a later save.
    if (told != m_failingSaves.end())
        return CString();
    m_failingSaves.push_back(path);
    const CString text = FormatString(LoadResString(IDS_SAVE_FAILED), path.GetString(),
                                      GetSystemErrorText(error).GetString());
    if (!m_strSaveWarnings.IsEmpty())
        m_strSaveWarnings += L"\n\n";
    m_strSaveWarnings += text;
    // Told when the event is done, not from within it: the box has its own message loop.
    if (m_hWnd && !m_bSaveWarningUp)
        SetTimer(kTimerSaveWarning, 0);
    return text;
}

void CTarneloWndManager::OnSaveWarningTimer()
{
    KillTimer(kTimerSaveWarning);
    if (m_bSaveWarningUp || m_strSaveWarnings.IsEmpty())
        return;
    const CString text = m_strSaveWarnings;
    m_strSaveWarnings.Empty();
    m_bSaveWarningUp = TRUE;
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    m_bSaveWarningUp = FALSE;
    // Failures of other files met while the box was up come in one box after it.
    if (!m_strSaveWarnings.IsEmpty() && m_hWnd)
        SetTimer(kTimerSaveWarning, 0);
}
