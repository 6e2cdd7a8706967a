// What the file-list tests share: the box fixture with a known menu look and an icon cache,
// a stand-in box that records what the list posts to it, items made from real files or
// written directly, mouse messages at screen points, and the list's back-buffer pixels.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "BoxWndTestSupport.h"
#include "core/ShellHelpers.h"
#include "model/IconManager.h"
#include "windows/CFileListWnd.h"

namespace filelisttest {

// Records every WM_FILEWNDMSG (wParam, lParam); deletes nothing.
class CListOwner : public CWnd
{
public:
    struct Message
    {
        WPARAM code;
        LPARAM value;
    };
    std::vector<Message> messages;

    BOOL Create()
    {
        return CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"ListOwner", WS_POPUP, 200, 150, 10, 10, nullptr,
                        nullptr);
    }
    int Count(WPARAM code) const
    {
        int n = 0;
        for (const Message& m : messages)
            n += m.code == code ? 1 : 0;
        return n;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_FILEWNDMSG) {
            messages.push_back(Message{wParam, lParam});
            return 1;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// One back-buffer pixel of a layered window (premultiplied BGRA), 0 outside the buffer.
inline DWORD Pixel(const CVornWndBase& window, int x, int y) { return boxtest::BackBufferPixel(window, x, y); }

// Every back-buffer pixel, row by row.
inline std::vector<DWORD> BackBufferPixels(const CVornWndBase& window)
{
    std::vector<DWORD> pixels;
    for (int y = 0; y < window.m_rect.bottom - window.m_rect.top; ++y) {
        for (int x = 0; x < window.m_rect.right - window.m_rect.left; ++x)
            pixels.push_back(Pixel(window, x, y));
    }
    return pixels;
}

// Pixels in the rectangle that differ from a colour.
inline int CountOther(const CVornWndBase& window, const RECT& area, DWORD colour)
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            n += Pixel(window, x, y) != colour ? 1 : 0;
    }
    return n;
}

class FileListTest : public boxtest::BoxWndTest
{
protected:
    // Opaque, distinct colours, so that every fill can be told apart.
    static constexpr DWORD kBack = 0xFFFFFFFF;
    static constexpr DWORD kColumn = 0xFF0000C0;
    static constexpr DWORD kBorder = 0xFF00C000;
    static constexpr DWORD kHover = 0xFFC0C000;
    static constexpr DWORD kHoverBorder = 0xFFC000C0;
    static constexpr DWORD kText = 0xFF000000;

    void SetUp() override
    {
        boxtest::BoxWndTest::SetUp();
        m_style.m_bSmallMenu = TRUE;
        m_style.m_menuTextColor = kText;
        m_style.m_menuIconColumnColor = kColumn;
        m_style.m_menuBackColor = kBack;
        m_style.m_menuBorderColor = kBorder;
        m_style.m_menuHoverColor = kHover;
        m_style.m_menuHoverBorderColor = kHoverBorder;
        m_style.m_strMenuFontFace = L"Liberation Sans";
        m_style.m_nMenuFontSizeSmall = 12;
        m_style.m_nMenuFontSizeLarge = 14;
        m_style.m_nMenuFontStyle = 0;
        m_config.m_bShowExtension = FALSE;

        m_dataFolder = m_temp.Path() + L"\\data";
        ::CreateDirectoryW(m_dataFolder.c_str(), nullptr);
        m_icons.Init((m_temp.Path() + L"\\fileIcons").c_str());
        m_info.SetIconManager(&m_icons);
        ASSERT_TRUE(m_owner.Create());
    }

    void TearDown() override
    {
        CFileListWnd::SetTrackMenuHook(nullptr);
        CFileListWnd::SetShellExecuteHook(nullptr);
        CFileListWnd::SetShellExecuteExHook(nullptr);
        CFileListWnd::SetTickHook(nullptr);
        g_bConfirmOpen = FALSE;
        m_list.reset();
        m_owner.DestroyWindow();
        boxtest::BoxWndTest::TearDown();
    }

    // A real file in the data folder, registered as an item (its shortcut in the box folder).
    std::wstring AddFileItem(const wchar_t* name)
    {
        const std::wstring path = m_dataFolder + L"\\" + name;
        TempFolder::WriteBytes(path, std::vector<BYTE>{'d', 'a', 't', 'a'});
        EXPECT_TRUE(m_info.AddItem(name, path.c_str(), FALSE));
        return path;
    }

    // An item written straight into the record, with the icon key of a text file.
    void AddPlainItem(const wchar_t* name, UINT type = Model::ITEM_TYPE_FILE, BOOL exists = TRUE)
    {
        Model::CTarneloInfo::_ITEM item;
        item.nType = type;
        item.strName = name;
        item.strPath = (m_boxFolder + L"\\" + name + L".lnk").c_str();
        item.bExists = exists;
        item.strIconKey = TextIconKey();
        m_info.m_items.push_back(item);
    }

    CString TextIconKey()
    {
        if (m_textKey.IsEmpty()) {
            const std::wstring sample = m_dataFolder + L"\\sample.txt";
            TempFolder::WriteBytes(sample, std::vector<BYTE>{'x'});
            m_icons.RegisterIcon(Model::ITEM_TYPE_FILE, sample.c_str(), m_textKey);
        }
        return m_textKey;
    }

    // Opens the list under the stand-in box, stops its auto-close timer (tests tick it
    // themselves) and lets it draw.
    CFileListWnd* OpenList(BOOL moveCursor = FALSE)
    {
        m_list = std::make_unique<CFileListWnd>();
        if (!m_list->Open(&m_info, nullptr, &m_owner, WM_FILEWNDMSG, &m_style, &m_config, moveCursor))
            return nullptr;
        m_list->KillTimer(CFileListWnd::IDT_AUTO_CLOSE);
        boxtest::PumpPending();
        return m_list.get();
    }

    // A mouse message at a screen point, in the list's client coordinates.
    static void ListMouse(CFileListWnd& list, UINT message, POINT screen, UINT flags = 0)
    {
        const int x = screen.x - list.m_rect.left;
        const int y = screen.y - list.m_rect.top;
        ::SendMessageW(list.m_hWnd, message, flags,
                       MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
    }
    // The middle of row index, in screen coordinates.
    static POINT RowCentre(const CFileListWnd& list, int index)
    {
        return POINT{list.m_rect.left + 60, list.m_rect.top + index * list.m_nRowHeight + list.m_nRowHeight / 2};
    }
    // Hovers a row, making it current: the cursor is there, and the list is told it moved.
    static void Hover(CFileListWnd& list, int index)
    {
        HoverAt(list, RowCentre(list, index));
    }
    static void HoverAt(CFileListWnd& list, POINT screen)
    {
        ::SetCursorPos(screen.x, screen.y);
        ListMouse(list, WM_MOUSEMOVE, screen);
    }
    static void Command(CFileListWnd& list, UINT id)
    {
        ::SendMessageW(list.m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    static void Key(CFileListWnd& list, UINT key)
    {
        ::SendMessageW(list.m_hWnd, WM_KEYDOWN, key, 1);
    }

    // How far the middle of a row's name ink lies from the middle of its row, in pixels
    // (for names whose glyphs stand on the baseline, so their ink is centred like their line).
    static double NameInkOffset(const CFileListWnd& list, int row)
    {
        const int w = list.m_rect.right - list.m_rect.left;
        const int top = row * list.m_nRowHeight;
        // The list's first line is its border.
        const RECT name{list.m_nIconColumnWidth + 2, top == 0 ? 1 : top, w - 2, top + list.m_nRowHeight};
        return boxtest::InkMiddleY(list, name, kBack) - (top + list.m_nRowHeight / 2.0);
    }

    std::vector<std::wstring> ItemNames() const
    {
        std::vector<std::wstring> names;
        for (const auto& item : m_info.m_items)
            names.push_back(item.strName.GetString());
        return names;
    }

    std::wstring m_dataFolder;
    Model::IconManager m_icons;
    CString m_textKey;
    CListOwner m_owner;
    std::unique_ptr<CFileListWnd> m_list;
};

}  // namespace filelisttest
