// The file list's rename command with the real rename dialog: what the dialog is preset
// with, the name the item gets (extension kept in lower case, a folder as typed), what the
// box hears, a cancel that keeps the list open, and a refused name that is explained.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "FileListTestSupport.h"
#include "core/ShellHelpers.h"
#include "dialogs/BoxDialogTestSupport.h"
#include "resources/resource.h"

using boxdlgtest::ModalScript;
using boxdlgtest::TextOf;
using filelisttest::FileListTest;

namespace {

class FileListRenameTest : public FileListTest
{
protected:
    // Renames row `index` through the menu command, typing `typed` and pressing `button`;
    // returns the text the dialog showed first.
    std::wstring Rename(CFileListWnd& list, int index, const wchar_t* typed, int button = IDOK)
    {
        Hover(list, index);
        std::wstring shown;
        ModalScript script;
        // Under Wine the list learns from X that the dialog took the focus only when that event
        // is read; read after the list has the input back, it cancels the list's capture. The
        // dialog's own loop reads it first.
        script.Wait(150).Then([&](HWND dlg) {
                  shown = TextOf(::GetDlgItem(dlg, IDC_RENAME_NAME));
                  m_openDuring = list.m_bRenameOpen;
                  // Escape in the list does nothing while the dialog is up.
                  Key(list, VK_ESCAPE);
                  ::SetDlgItemTextW(dlg, IDC_RENAME_NAME, typed);
                  return true;
              })
            .Click(button);
        script.Arm();
        Command(list, ID_ITEM_RENAME);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_FALSE(list.m_bRenameOpen);
        return shown;
    }

    BOOL m_openDuring = FALSE;
};

}  // namespace

TEST_F(FileListRenameTest, AFileKeepsItsExtensionInLowerCaseAndTheListClosesAfterOk)
{
    AddPlainItem(L"Report.PDF");
    AddPlainItem(L"other.txt");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);

    EXPECT_EQ(L"Report", Rename(*list, 0, L"Summary"));
    EXPECT_TRUE(m_openDuring);
    EXPECT_EQ((std::vector<std::wstring>{ L"Summary.pdf", L"other.txt" }), ItemNames());
    boxtest::PumpPending();
    ASSERT_EQ(2u, m_owner.messages.size());
    EXPECT_EQ(static_cast<WPARAM>(FILEWND_UPDATE), m_owner.messages[0].code);
    EXPECT_EQ(static_cast<WPARAM>(FILEWND_CLOSE), m_owner.messages[1].code);
    EXPECT_TRUE(list->IsCloseRequested());
}

TEST_F(FileListRenameTest, ANameWithoutExtensionGetsATrailingDotAndAFolderTakesTheTextAsTyped)
{
    AddPlainItem(L"README");
    AddPlainItem(L"My.Folder", Model::ITEM_TYPE_FOLDER);
    {
        CFileListWnd* list = OpenList();
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(L"README", Rename(*list, 0, L"NOTES"));
    }
    {
        CFileListWnd* list = OpenList();
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(L"My", Rename(*list, 1, L"Projects.2026"));
    }
    EXPECT_EQ((std::vector<std::wstring>{ L"NOTES.", L"Projects.2026" }), ItemNames());
}

TEST_F(FileListRenameTest, CancelChangesNothingAndKeepsTheListOpen)
{
    // A name wider than the screen: the list shows it cut with an ellipsis, the dialog whole.
    const std::wstring title = L"Report" + std::wstring(194, L'W');
    AddPlainItem((title + L".PDF").c_str());
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(::GetSystemMetrics(SM_CXVIRTUALSCREEN) - 10, list->m_nWidth);
    EXPECT_EQ(L'\u2026', list->GetRows().front()->strShownName.Right(1)[0]);
    EXPECT_EQ(title, Rename(*list, 0, L"Summary", IDCANCEL));
    EXPECT_EQ((std::vector<std::wstring>{ title + L".PDF" }), ItemNames());
    boxtest::PumpPending();
    EXPECT_TRUE(m_owner.messages.empty());
    EXPECT_FALSE(list->IsCloseRequested());
    EXPECT_EQ(list->m_hWnd, ::GetCapture());

}

TEST_F(FileListRenameTest, ARefusedNameIsExplainedAndTheListStaysOpenWithTheOldName)
{
    AddPlainItem(L"Report.PDF");
    AddPlainItem(L"Summary.pdf");
    CFileListWnd* list = OpenList();
    ASSERT_NE(nullptr, list);
    const std::wstring warning = LoadResString(IDS_CANT_RENAME_ITEM).GetString();
    ASSERT_EQ(L"Can't rename: the name is empty or used by another item.", warning);

    // A name another item has, and an empty one (which the extension alone does not make).
    for (const wchar_t* refused : { L"Summary", L"" }) {
        boxtest::MessageBoxAnswers::Asked().clear();
        EXPECT_EQ(L"Report", Rename(*list, 0, refused)) << "typed: " << refused;
        EXPECT_EQ((std::vector<std::wstring>{ warning }), boxtest::MessageBoxAnswers::Asked());
        EXPECT_EQ((std::vector<std::wstring>{ L"Report.PDF", L"Summary.pdf" }), ItemNames());
        boxtest::PumpPending();
        EXPECT_TRUE(m_owner.messages.empty());
        EXPECT_FALSE(list->IsCloseRequested());
        EXPECT_EQ(list->m_hWnd, ::GetCapture());
    }
}
