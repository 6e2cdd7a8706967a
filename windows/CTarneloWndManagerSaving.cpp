// The manager window's saves of the three data files. A save that fails changes nothing on
// the disk and keeps what is in memory; the user is told, in a message box shown once the
// event that saved is done, naming the file and the system's reason.
#include "windows/CTarneloWndManager.h"

#include <algorithm>
#include <memory>

#include "core/Logger.h"
#include "core/ShellHelpers.h"
#include "framework/AfxMessageBox.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"

namespace {

// Saves a record to its file and hands the outcome to the manager, which tells a failure.
template <class Record>
BOOL SaveAndNote(CTarneloWndManager& manager, Record* record, const CString& path)
{
    if (!record)
        return FALSE;
    const BOOL saved = record->Save(path);
    manager.NoteSaveResult(path, saved ? ERROR_SUCCESS : record->GetSaveError());
    return saved;
}

}  // namespace

BOOL CTarneloWndManager::SaveBoxFile()
{
    return SaveAndNote(*this, m_pInfoManager, m_strBoxFilePath);
}

BOOL CTarneloWndManager::SaveStyle()
{
    const BOOL saved = SaveAndNote(*this, m_pStyle.get(), m_strStylePath);
    // Until its file holds it, the style meant to be saved is kept for a cancelled style
    // dialog to come back to: the file holds an older one.
    if (saved || !m_pStyle)
        m_pUnsavedStyle.reset();
    else
        m_pUnsavedStyle = std::make_unique<Model::CTarneloStyleInfo>(*m_pStyle);
    return saved;
}

BOOL CTarneloWndManager::SaveConfig()
{
    return SaveAndNote(*this, m_pConfig, m_strConfigPath);
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
