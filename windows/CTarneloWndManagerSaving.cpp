// The manager window's saves of the three data files. A save that fails changes nothing on
// the disk and keeps what is in memory; the user is told, in a message box shown once the
// event that saved is done, naming the file and the system's reason. The file is saved again
// by a timer until it can be written, and once more before the program ends.
#include "windows/CTarneloWndManager.h"

#include <algorithm>
#include <memory>

#include "core/Logger.h"
#include "core/ShellHelpers.h"
#include "framework/AfxMessageBox.h"
#include "framework/CFile.h"
#include "framework/ScopedHandles.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "resources/resource.h"
#include "windows/CTarneloWnd.h"

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

// The listed file of that path (names compared as the file system does), or the end.
template <class Files>
auto FindFile(Files& files, const CString& path)
{
    return std::find_if(files.begin(), files.end(), [&path](const CString& file) { return file.CompareNoCase(path) == 0; });
}

}  // namespace

BOOL CTarneloWndManager::IsListed(const std::vector<CString>& files, const CString& path)
{
    return FindFile(files, path) != files.end();
}

void CTarneloWndManager::Unlist(std::vector<CString>& files, const CString& path)
{
    const auto listed = FindFile(files, path);
    if (listed != files.end())
        files.erase(listed);
}

void CTarneloWndManager::ForgetUnreadFile(const CString& path)
{
    Unlist(m_unreadFiles, path);
    Unlist(m_failingSaves, path);
}

BOOL CTarneloWndManager::SaveBoxFile()
{
    return SaveAndNote(*this, m_pInfoManager, m_strBoxFilePath);
}

BOOL CTarneloWndManager::SaveStyle()
{
    const BOOL saved = SaveAndNote(*this, m_pStyle.get(), m_strStylePath);
    // Saved or not, this is the style to keep: when its file did not take it, the file holds
    // an older one.
    if (m_pStyle)
        m_pKeptStyle = std::make_unique<Model::CTarneloStyleInfo>(*m_pStyle);
    return saved;
}

BOOL CTarneloWndManager::SaveConfig()
{
    return SaveAndNote(*this, m_pConfig, m_strConfigPath);
}

CString CTarneloWndManager::NoteSaveResult(const CString& path, DWORD error)
{
    const auto unsaved = FindFile(m_unsavedFiles, path);
    if (error == ERROR_SUCCESS && unsaved != m_unsavedFiles.end()) {
        m_unsavedFiles.erase(unsaved);
    } else if (error != ERROR_SUCCESS && unsaved == m_unsavedFiles.end()) {
        // A file newly failing is tried again soon: whatever held it may let it go at once.
        m_unsavedFiles.push_back(path);
        if (m_hWnd)
            SetTimer(kTimerSaveRetry, kSaveRetryMs);
    }
    const auto told = FindFile(m_failingSaves, path);
    if (error == ERROR_SUCCESS) {
        if (told != m_failingSaves.end()) {
            Log(kLogInfo, FormatString(L"<boxmng> saved again: %s", path.GetString()));
            m_failingSaves.erase(told);
        }
        return CString();
    }
    // The same file failing again in a row was told already: its first failure said that
    // the changes are saved again by themselves.
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

void CTarneloWndManager::SaveFailedFilesAgain(BOOL bAll)
{
    // Each save takes the newest state the file is meant to hold, and goes through the
    // records' own protection (a file not read whole is not saved over).
    const std::vector<CString> files = m_unsavedFiles;
    for (const CString& path : files) {
        if (!bAll && IsListed(m_unreadFiles, path))
            continue;  // refused until the next start: no use trying
        if (path.CompareNoCase(m_strBoxFilePath) == 0) {
            SaveBoxFile();
        } else if (path.CompareNoCase(m_strConfigPath) == 0) {
            SaveConfig();
        } else if (path.CompareNoCase(m_strStylePath) == 0) {
            // The style meant to be saved, not a preview the style dialog shows meanwhile.
            if (m_pKeptStyle)
                SaveAndNote(*this, m_pKeptStyle.get(), m_strStylePath);
            else
                SaveStyle();
        }
    }
}

void CTarneloWndManager::OnSaveRetryTimer()
{
    // Not while the wizard works on the records: boxes it is to remove are still listed.
    if (!g_bWizardExists && !m_bWizardRemovalsDue)
        SaveFailedFilesAgain(FALSE);
    const bool retrying = std::any_of(m_unsavedFiles.begin(), m_unsavedFiles.end(), [this](const CString& path) {
        return !IsListed(m_unreadFiles, path);
    });
    if (!retrying)
        KillTimer(kTimerSaveRetry);
}

void CTarneloWndManager::KeepChangesBeforeEnd(BOOL bSessionEnding)
{
    // A wizard not finished has nothing of the user's to keep: its boxes are half made.
    if (g_bWizardExists) {
        KillTimer(kTimerSaveRetry);
        Log(kLogInfo, L"<boxmng> the wizard is not finished, nothing saved at the end");
        return;
    }
    // A finished one whose removals waited for a loop: they are made now, as the boxes go
    // anyway (a close waited for the loops; at the end of a session the hidden boxes run none).
    if (m_bWizardRemovalsDue)
        RemoveBoxesTheWizardHid();
    // The keys given so far first: a failure of that save is then kept or told with the rest.
    SaveIconKeysAtExit();
    SaveFailedFilesAgain(TRUE);
    // Stopped only now, since the saves above start it again when they fail: no retry may
    // save under the message below, which says the changes are not kept.
    KillTimer(kTimerSaveRetry);
    // What is still unsaved is told here, in one message, rather than one by one.
    KillTimer(kTimerSaveWarning);
    m_strSaveWarnings.Empty();
    if (m_unsavedFiles.empty())
        return;
    CString files;
    for (const CString& path : m_unsavedFiles) {
        Log(kLogError, FormatString(L"<boxmng> changes not kept: %s", path.GetString()));
        files += (files.IsEmpty() ? L"" : L"\n") + path;
    }
    if (bSessionEnding)
        return;
    const ScopedFlag ending(g_bDialogOpen);  // the boxes start nothing new meanwhile
    AfxMessageBox(FormatString(LoadResString(IDS_CHANGES_NOT_KEPT), files.GetString()), MB_OK | MB_ICONEXCLAMATION);
}
