// The manager window's keyboard selection with real box windows: type-ahead by the longest
// shared beginning of a name, the arrow, Home and End keys along the box list, and the typed
// text that clears after a second.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ManagerTestSupport.h"

namespace {

using managertest::ManagerTest;

// ---- Keyboard ----------------------------------------------------------------------------------

TEST_F(ManagerTest, TypeAheadFindsTheBoxWithTheLongestSharedBeginning)
{
    ASSERT_TRUE(Start());
    const auto nameOf = [&](const wchar_t* text) -> std::wstring {
        const CTarneloWnd* box = m_manager->FindBoxByPrefix(CString(text));
        return box ? box->m_pInfo->m_strName.GetString() : L"(none)";
    };
    EXPECT_EQ(L"Documents", nameOf(L"D"));
    EXPECT_EQ(L"Documents", nameOf(L"DX"));
    EXPECT_EQ(L"Documents", nameOf(L"docu"));
    EXPECT_EQ(L"Apps", nameOf(L"Q"));
    EXPECT_EQ(L"Apps", nameOf(L""));
    EXPECT_EQ(L"Hot items", nameOf(L"HOT"));
    EXPECT_EQ(L"Folders", nameOf(L"F"));
}

TEST_F(ManagerTest, ArrowKeysMoveTheSelectionAlongTheListAndWrapAround)
{
    ASSERT_TRUE(Start());
    // No box hovered: Up and Down do nothing and log nothing.
    Box(BOXEVENT_KEY, VK_DOWN);
    Box(BOXEVENT_KEY, VK_UP);
    EXPECT_FALSE(LogHas("EventKeyNextBox"));
    EXPECT_FALSE(LogHas("EventKeyPrevBox"));
    for (CTarneloWnd* box : m_manager->Boxes())
        EXPECT_FALSE(box->m_bHover);
    // Any key starts the selection mode, which highlights every box.
    EXPECT_TRUE(m_manager->m_bSelectionMode);
    for (CTarneloWnd* box : m_manager->Boxes())
        EXPECT_TRUE(box->m_bHighlight);

    // Home and End work without a hovered box.
    Box(BOXEVENT_KEY, VK_END);
    EXPECT_TRUE(BoxAt(5)->m_bHover);
    Box(BOXEVENT_KEY, VK_HOME);
    EXPECT_TRUE(BoxAt(0)->m_bHover);
    EXPECT_FALSE(BoxAt(5)->m_bHover);

    Box(BOXEVENT_KEY, VK_DOWN);
    EXPECT_TRUE(BoxAt(1)->m_bHover);
    EXPECT_FALSE(BoxAt(0)->m_bHover);
    EXPECT_TRUE(LogHas("Event: EventKeyNextBox"));

    Box(BOXEVENT_KEY, VK_UP);
    Box(BOXEVENT_KEY, VK_UP);  // from the first box to the last
    EXPECT_TRUE(BoxAt(5)->m_bHover);
    EXPECT_FALSE(BoxAt(0)->m_bHover);
    Box(BOXEVENT_KEY, VK_DOWN);  // from the last box to the first
    EXPECT_TRUE(BoxAt(0)->m_bHover);
    EXPECT_FALSE(BoxAt(5)->m_bHover);
    ::SetCursorPos(5, 1000);
}

TEST_F(ManagerTest, TypedLettersSelectByNameAndTheTextClearsAfterASecond)
{
    ASSERT_TRUE(Start());
    Box(BOXEVENT_KEY, 'D');
    EXPECT_EQ(L"D", m_manager->m_strTypedText);
    EXPECT_TRUE(BoxAt(2)->m_bHover);  // "Documents"
    Box(BOXEVENT_KEY, 'X');
    EXPECT_TRUE(BoxAt(2)->m_bHover);
    Box(BOXEVENT_KEY, VK_BACK);
    Box(BOXEVENT_KEY, VK_BACK);
    EXPECT_TRUE(m_manager->m_strTypedText.IsEmpty());
    EXPECT_TRUE(BoxAt(0)->m_bHover);  // the empty text matches the first box
    EXPECT_FALSE(BoxAt(2)->m_bHover);

    // Enter opens the hovered box (it has no items, so no list) and empties the text.
    Box(BOXEVENT_KEY, 'T');
    Box(BOXEVENT_KEY, VK_RETURN);
    EXPECT_TRUE(m_manager->m_strTypedText.IsEmpty());
    EXPECT_TRUE(LogHas("] Open:Tools\r\n\r\n"));  // its line feed, then the line's end

    Box(BOXEVENT_KEY, 'S');
    ASSERT_TRUE(boxtest::PumpUntil([&] { return m_manager->m_strTypedText.IsEmpty(); }));
    EXPECT_TRUE(LogHas("Clear box selection"));
    ::SetCursorPos(5, 1000);
}

}  // namespace
