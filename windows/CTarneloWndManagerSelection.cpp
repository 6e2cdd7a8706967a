// The manager window's keyboard selection: the selection mode that highlights every box,
// the arrow, Home and End keys that move the selection along the box list, and type-ahead,
// which selects the box whose name begins with the typed text.
#include "windows/CTarneloWndManager.h"

#include <wchar.h>

#include <algorithm>
#include <iterator>

#include "core/Logger.h"
#include "windows/CTarneloWnd.h"

CTarneloWnd* CTarneloWndManager::FindHoveredBox(BOOL bFromTail) const
{
    if (bFromTail) {
        for (auto it = m_boxList.rbegin(); it != m_boxList.rend(); ++it) {
            if ((*it)->m_bHover)
                return it->get();
        }
        return nullptr;
    }
    for (const auto& box : m_boxList) {
        if (box->m_bHover)
            return box.get();
    }
    return nullptr;
}

void CTarneloWndManager::EnterSelectionMode()
{
    m_bSelectionMode = TRUE;
    RefreshAllBoxes();
    SetTimer(kTimerSelection, kSelectionMs);
}

void CTarneloWndManager::OnSelectionTimer()
{
    if (!m_bSelectionMode) {
        KillTimer(kTimerSelection);
    } else if (!FindHoveredBox(FALSE)) {
        m_bSelectionMode = FALSE;
        RefreshAllBoxes();
        KillTimer(kTimerSelection);
    }
}

void CTarneloWndManager::OnHotKeySelection()
{
    Log(kLogInfo, L"Event: HotKeySelection");
    EnterSelectionMode();
}

void CTarneloWndManager::OnKeyEvent(UINT nKey)
{
    switch (nKey) {
    case VK_UP:
        m_strTypedText.Empty();
        SelectPrevBox();
        break;
    case VK_DOWN:
        m_strTypedText.Empty();
        SelectNextBox();
        break;
    case VK_HOME: SelectFirstBox(); break;
    case VK_END: SelectLastBox(); break;
    default: OnTypeAhead(nKey); break;
    }
    if (!m_bSelectionMode)
        EnterSelectionMode();
}

namespace {

// One step of the selection along the list in the iterators' direction, wrapping round at
// the end: the current box is the first hovered box met from where the walk starts.
template <typename Iterator>
void StepSelection(Iterator first, Iterator last, const wchar_t* event)
{
    const Iterator current = std::find_if(first, last, [](const auto& box) { return box->m_bHover; });
    if (current == last)
        return;
    LogValue(kLogInfo, event, static_cast<long>(reinterpret_cast<LONG_PTR>(current->get())));
    Iterator target = std::next(current);
    if (target == last)
        target = first;
    (*target)->Select();
    (*current)->Deselect();
}

// Selects target in place of the current box (none when null); nothing when it is the current.
void MoveSelection(CTarneloWnd* target, CTarneloWnd* current)
{
    if (target == current)
        return;
    target->Select();
    if (current)
        current->Deselect();
}

}  // namespace

void CTarneloWndManager::SelectNextBox()
{
    StepSelection(m_boxList.begin(), m_boxList.end(), L"Event: EventKeyNextBox");
}

void CTarneloWndManager::SelectPrevBox()
{
    StepSelection(m_boxList.rbegin(), m_boxList.rend(), L"Event: EventKeyPrevBox");
}

void CTarneloWndManager::SelectFirstBox()
{
    if (!m_boxList.empty())
        MoveSelection(m_boxList.front().get(), FindHoveredBox(FALSE));
}

void CTarneloWndManager::SelectLastBox()
{
    if (!m_boxList.empty())
        MoveSelection(m_boxList.back().get(), FindHoveredBox(FALSE));
}

void CTarneloWndManager::OnTypeAhead(UINT nKey)
{
    SetTimer(kTimerTypeAhead, kTypeAheadMs);
    CTarneloWnd* current = FindHoveredBox(FALSE);
    if (nKey == VK_BACK) {
        if (!m_strTypedText.IsEmpty())
            m_strTypedText = m_strTypedText.Left(m_strTypedText.GetLength() - 1);
    } else if (nKey >= 0x30 && nKey <= 0x5A) {
        m_strTypedText += static_cast<wchar_t>(nKey);
    } else {
        if (nKey == VK_RETURN || nKey == VK_RIGHT) {
            if (current) {
                Log(kLogInfo, CString(L"Open:") + current->GetName() + L"\n");
                current->OpenFileList(TRUE);
            }
            m_strTypedText.Empty();
        }
        return;
    }

    CTarneloWnd* found = FindBoxByPrefix(m_strTypedText);
    if (!found)
        return;
    found->Select();
    if (current && current != found)
        current->Deselect();
}

void CTarneloWndManager::OnTypeAheadTimer()
{
    KillTimer(kTimerTypeAhead);
    m_strTypedText.Empty();
    Log(kLogInfo, L"Clear box selection");
}

CTarneloWnd* CTarneloWndManager::FindBoxByPrefix(const CString& text) const
{
    for (int n = text.GetLength(); n >= 0; --n) {
        const CString prefix = text.Left(n);
        for (const auto& box : m_boxList) {
            const CString name = box->GetName();
            if (_wcsnicmp(name.GetString(), prefix.GetString(), static_cast<size_t>(n)) == 0)
                return box.get();
        }
    }
    return nullptr;
}
