// Every dialog template of the program, in each language it carries, made as the dialog
// manager makes it with this process's dialog font (the Japanese run has the Japanese one):
// no control leaves its dialog or overlaps another. Three overlaps are meant and allowed: a
// group box around the controls it groups, an up-down control over the border of the edit
// it is bound to, and a wizard panel over the hidden placeholder that gives it its place.
// Then the dialogs whose layout changes as they open: the edit-box dialog at the size it
// opens with and at its smallest, the options dialog whose list fits its rows, and the
// wizard, whose header picture fills the dialog's width with no panel over it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <sstream>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "WizardTestSupport.h"
#include "dialogs/CSetBoxDlg.h"
#include "dialogs/CSetOptionDlg.h"
#include "dialogs/CWizardDlg.h"
#include "model/CConfigInfo.h"
#include "resources/resource.h"

namespace {

struct Template
{
    UINT id;
    LANGID language;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<Template>*>(param)->push_back(
        Template{ static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)), language });
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        ::EnumResourceLanguagesW(module, type, name, &CollectLanguage, param);
    return TRUE;
}

std::vector<Template> AllTemplates()
{
    std::vector<Template> all;
    ::EnumResourceNamesW(::GetModuleHandleW(nullptr), RT_DIALOG, &CollectName, reinterpret_cast<LONG_PTR>(&all));
    return all;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool IsGroupBox(HWND window)
{
    return _wcsicmp(ClassOf(window).c_str(), L"Button") == 0 &&
           (::GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsUpDownOf(HWND upDown, HWND buddy)
{
    return ClassOf(upDown) == UPDOWN_CLASSW &&
           reinterpret_cast<HWND>(::SendMessageW(upDown, UDM_GETBUDDY, 0, 0)) == buddy;
}

// A panel (a child dialog) laid exactly over the hidden placeholder whose place it takes.
bool IsPanelOnPlaceholder(HWND panel, const RECT& panelRect, HWND placeholder, const RECT& placeholderRect)
{
    return ClassOf(panel) == L"#32770" && !::IsWindowVisible(placeholder) && ::EqualRect(&panelRect, &placeholderRect);
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// A control's rectangle in its dialog's client coordinates.
RECT RectIn(HWND dialog, HWND control)
{
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring Describe(HWND control, const RECT& r)
{
    std::wostringstream text;
    text << ClassOf(control) << L" " << ::GetDlgCtrlID(control) << L" (" << r.left << L"," << r.top << L")-("
         << r.right << L"," << r.bottom << L")";
    return text.str();
}

// Every fault of one dialog's layout, one line each.
std::vector<std::wstring> LayoutFaults(HWND dialog)
{
    std::vector<std::wstring> faults;
    RECT client = {};
    ::GetClientRect(dialog, &client);
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);

    for (size_t i = 0; i < controls.size(); ++i) {
        const RECT a = RectIn(dialog, controls[i]);
        if (!Contains(client, a))
            faults.push_back(Describe(controls[i], a) + L" leaves the dialog");
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const RECT b = RectIn(dialog, controls[j]);
            RECT both = {};
            if (!::IntersectRect(&both, &a, &b))
                continue;
            if ((IsGroupBox(controls[i]) && Contains(a, b)) || (IsGroupBox(controls[j]) && Contains(b, a)))
                continue;
            if (IsUpDownOf(controls[i], controls[j]) || IsUpDownOf(controls[j], controls[i]))
                continue;
            if (IsPanelOnPlaceholder(controls[i], a, controls[j], b) ||
                IsPanelOnPlaceholder(controls[j], b, controls[i], a))
                continue;
            faults.push_back(Describe(controls[i], a) + L" overlaps " + Describe(controls[j], b));
        }
    }
    return faults;
}

}  // namespace

TEST(DialogLayout, NoControlOverlapsAnotherOrLeavesItsDialogAndTheWizardHeaderFits)
{
    INITCOMMONCONTROLSEX init = { sizeof(init), 0xFF };
    ::InitCommonControlsEx(&init);
    const HMODULE module = ::GetModuleHandleW(nullptr);
    // Panel templates are child dialogs: they are made inside a window of their own.
    WNDCLASSEXW parentClass{};
    parentClass.cbSize = sizeof(parentClass);
    parentClass.lpfnWndProc = ::DefWindowProcW;
    parentClass.hInstance = module;
    parentClass.lpszClassName = L"DialogLayoutParent";
    ::RegisterClassExW(&parentClass);
    const HWND parent = ::CreateWindowExW(0, parentClass.lpszClassName, L"", WS_POPUP, 0, 0, 1200, 900, nullptr,
                                          nullptr, module, nullptr);
    ASSERT_NE(nullptr, parent);

    const std::vector<Template> templates = AllTemplates();
    size_t english = 0;
    size_t japanese = 0;
    for (const Template& t : templates) {
        english += PRIMARYLANGID(t.language) == LANG_ENGLISH ? 1 : 0;
        japanese += PRIMARYLANGID(t.language) == LANG_JAPANESE ? 1 : 0;
        const HRSRC found = ::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(t.id), t.language);
        const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
        const auto* data = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
        ASSERT_NE(nullptr, data) << t.id;
        const HWND dialog = ::CreateDialogIndirectParamW(module, data, parent, &PlainDialogProc, 0);
        ASSERT_NE(nullptr, dialog) << "template " << t.id << " language " << t.language;
        for (const std::wstring& fault : LayoutFaults(dialog))
            ADD_FAILURE() << "template " << t.id << " language " << t.language << ": "
                          << std::string(fault.begin(), fault.end());
        ::DestroyWindow(dialog);
    }
    // Each template in both languages (the framework's own test templates are not here).
    EXPECT_GE(english, 12u);
    EXPECT_EQ(english, japanese);
    ::DestroyWindow(parent);

    // The edit-box dialog opens at the size kept in the settings (the program's default one
    // here), which moves its controls away from their template places.
    {
        Model::CConfigInfo config;
        config.m_nEditDialogWidth = 683;
        config.m_nEditDialogHeight = 442;
        CSetBoxDlg dialog;
        dialog.m_pConfig = &config;
        std::vector<std::wstring> faults;
        DialogTestSupport::OnNextDialog(
            [&](HWND window) {
                faults = LayoutFaults(window);
                ::SetWindowPos(window, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER);
                for (const std::wstring& fault : LayoutFaults(window))
                    faults.push_back(L"shrunk: " + fault);
            },
            IDCANCEL);
        dialog.DoModal();
        for (const std::wstring& fault : faults)
            ADD_FAILURE() << "edit-box dialog: " << std::string(fault.begin(), fault.end());
    }

    // The options dialog's list shows its three rows, as tall as the font's glyphs, without
    // a scroll bar.
    {
        Model::CConfigInfo config;
        CSetOptionDlg dialog(nullptr, &config);
        std::vector<std::wstring> faults;
        int rows = 0;
        int rowHeight = 0;
        RECT listClient = {};
        LONG_PTR listStyle = 0;
        DialogTestSupport::OnNextDialog(
            [&](HWND window) {
                faults = LayoutFaults(window);
                const HWND list = ::GetDlgItem(window, IDC_OPTION_CHECKS);
                rows = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
                rowHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
                ::GetClientRect(list, &listClient);
                listStyle = ::GetWindowLongPtrW(list, GWL_STYLE);
            },
            IDCANCEL);
        dialog.DoModal();
        for (const std::wstring& fault : faults)
            ADD_FAILURE() << "options dialog: " << std::string(fault.begin(), fault.end());
        EXPECT_EQ(3, rows);
        EXPECT_GE(listClient.bottom, rows * rowHeight);
        EXPECT_EQ(0, listStyle & WS_VSCROLL);
    }

    // The wizard as it runs, in every state: the header picture is as wide as the dialog,
    // and the panel starts below it.
    std::vector<std::wstring> faults;
    CWizardDlg wizard;
    DialogTestSupport::OnNextDialog([&](HWND dialog) {
        for (int step = 0; step < 4; ++step) {
            RECT client = {};
            ::GetClientRect(dialog, &client);
            const RECT header = RectIn(dialog, ::GetDlgItem(dialog, IDC_WIZ_HEADER_IMAGE));
            const RECT panel = RectIn(dialog, wizard.m_pPanel->GetSafeHwnd());
            std::wostringstream state;
            state << L"state " << wizard.m_nState << L": header (" << header.left << L"," << header.top << L")-("
                  << header.right << L"," << header.bottom << L"), panel top " << panel.top << L", client width "
                  << client.right;
            const std::vector<std::wstring> layout = LayoutFaults(dialog);
            for (const std::wstring& fault : layout)
                state << L"; " << fault;
            // The files panel's picture is in the middle of the panel.
            const HWND picture = ::GetDlgItem(wizard.m_pPanel->GetSafeHwnd(), IDC_WIZ_SETFILES_IMAGE);
            const RECT image = picture ? RectIn(dialog, picture) : panel;
            state << L", picture " << image.left << L"-" << image.right;
            if (header.left != 0 || header.top != 0 || header.right != client.right || header.bottom <= 0 ||
                panel.top < header.bottom || !layout.empty() || image.left - panel.left != panel.right - image.right)
                faults.push_back(state.str());
            wiztest::Click(dialog, IDOK);  // the last one is "Done"
        }
    });
    EXPECT_EQ(IDOK, wizard.DoModal());
    for (const std::wstring& fault : faults)
        ADD_FAILURE() << std::string(fault.begin(), fault.end());
}
