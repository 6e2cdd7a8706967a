// The owners of GDI objects: what they create, hand over and delete.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CRgn.h"
#include "framework/ScopedHandles.h"

namespace {

bool IsGdiObject(HGDIOBJ object)
{
    return object && ::GetObjectType(object) != 0;
}

TEST(GdiOwners, BitmapIsATopDownDibSectionOfZeroedPixels)
{
    CBitmap bitmap;
    void* bits = nullptr;
    ASSERT_TRUE(bitmap.CreateTopDownDIB(5, 3, &bits));
    ASSERT_NE(nullptr, bits);
    BITMAP info = {};
    ASSERT_TRUE(bitmap.GetBitmap(&info));
    EXPECT_EQ(5, info.bmWidth);
    EXPECT_EQ(3, info.bmHeight);
    EXPECT_EQ(32, info.bmBitsPixel);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(0u, pixels[i]);

    // Row 0 is the top row: a pixel set through GDI at (1, 0) lies at index 1.
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    ASSERT_NE(nullptr, dc.SelectBitmap(bitmap));
    ::SetPixelV(dc, 1, 0, RGB(255, 0, 0));
    ::GdiFlush();
    EXPECT_EQ(0x00FF0000u, pixels[1] & 0x00FFFFFFu);
    EXPECT_EQ(0u, pixels[5 + 1]);
}

TEST(GdiOwners, BitmapRefusesNoSizeAndASecondCreation)
{
    CBitmap bitmap;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_FALSE(bitmap.CreateTopDownDIB(0, 10, &bits));
    EXPECT_EQ(nullptr, bits);
    EXPECT_FALSE(bitmap.CreateTopDownDIB(10, -1));
    EXPECT_EQ(nullptr, bitmap.GetSafeHandle());
    BITMAP info = {};
    EXPECT_FALSE(bitmap.GetBitmap(&info));
    ASSERT_TRUE(bitmap.CreateTopDownDIB(2, 2));
    const HGDIOBJ first = bitmap.GetSafeHandle();
    EXPECT_FALSE(bitmap.CreateTopDownDIB(4, 4));
    EXPECT_EQ(first, bitmap.GetSafeHandle());
}

TEST(GdiOwners, ObjectsAreDeletedWithTheirOwnerUnlessDetached)
{
    HGDIOBJ deleted = nullptr;
    HGDIOBJ kept = nullptr;
    {
        CRgn a;
        ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
        deleted = a.GetSafeHandle();
        CRgn b;
        ASSERT_TRUE(b.CreateRoundRectRgn(0, 0, 11, 11, 4, 4));
        EXPECT_FALSE(b.CreateRectRgn(0, 0, 1, 1));
        kept = b.Detach();
        EXPECT_EQ(nullptr, b.GetSafeHandle());
    }
    EXPECT_FALSE(IsGdiObject(deleted));
    ASSERT_TRUE(IsGdiObject(kept));
    EXPECT_TRUE(::PtInRegion(static_cast<HRGN>(kept), 5, 5));
    EXPECT_FALSE(::PtInRegion(static_cast<HRGN>(kept), 0, 0));

    CRgn c;
    EXPECT_TRUE(c.Attach(kept));
    EXPECT_FALSE(c.Attach(kept));
    EXPECT_TRUE(c.DeleteObject());
    EXPECT_FALSE(c.DeleteObject());
    EXPECT_FALSE(IsGdiObject(kept));
}

TEST(GdiOwners, ContextPutsItsOwnBitmapBackSoSelectedBitmapsCanBeDeleted)
{
    CBitmap first;
    CBitmap second;
    ASSERT_TRUE(first.CreateTopDownDIB(4, 4));
    ASSERT_TRUE(second.CreateTopDownDIB(4, 4));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_FALSE(dc.CreateCompatibleDC(nullptr));
    const HGDIOBJ own = ::GetCurrentObject(dc, OBJ_BITMAP);
    EXPECT_NE(nullptr, dc.SelectBitmap(first));
    EXPECT_EQ(static_cast<HBITMAP>(first), dc.SelectBitmap(second));
    EXPECT_EQ(second.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_BITMAP));
    dc.RestoreOriginalBitmap();
    EXPECT_EQ(own, ::GetCurrentObject(dc, OBJ_BITMAP));
    EXPECT_TRUE(second.DeleteObject());

    EXPECT_NE(nullptr, dc.SelectBitmap(first));
    EXPECT_TRUE(dc.DeleteDC());
    EXPECT_FALSE(dc.DeleteDC());
    EXPECT_EQ(nullptr, dc.GetSafeHdc());
    EXPECT_TRUE(first.DeleteObject());
    EXPECT_EQ(nullptr, dc.SelectBitmap(first));  // no context any more
}

// A COM object that only counts its references.
struct CountedUnknown : IUnknown
{
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(GdiOwners, ScopedOwnersFreeOnExitAndKeepWhatIsReleased)
{
    // Each row: a handle made, and whether it is still alive.
    HBRUSH freedBrush = nullptr, keptBrush = nullptr, movedBrush = nullptr;
    HMENU freedMenu = nullptr;
    HDC freedDC = nullptr;
    HBITMAP color = nullptr, mask = nullptr;
    ScopedBrush survivor;
    {
        ScopedBrush a(::CreateSolidBrush(RGB(1, 2, 3)));
        freedBrush = a.get();
        ScopedBrush b(::CreateSolidBrush(RGB(4, 5, 6)));
        keptBrush = b.release();
        ScopedBrush c(::CreateSolidBrush(RGB(7, 8, 9)));
        movedBrush = c.get();
        survivor = std::move(c);
        EXPECT_FALSE(c);
        ScopedMenu menu(::CreatePopupMenu());
        freedMenu = menu.get();
        ScopedCreatedDC dc(::CreateCompatibleDC(nullptr));
        freedDC = dc.get();
        ScopedIconInfo info;
        ASSERT_TRUE(info.Load(::LoadIconW(nullptr, IDI_APPLICATION)));
        color = info.get().hbmColor;
        mask = info.get().hbmMask;
        EXPECT_TRUE(IsGdiObject(mask));
    }
    const struct { const char* what; bool alive; bool expected; } rows[] = {
        { "brush at scope end", IsGdiObject(freedBrush), false },
        { "released brush", IsGdiObject(keptBrush), true },
        { "moved brush", IsGdiObject(movedBrush), true },
        { "menu", ::IsMenu(freedMenu) != FALSE, false },
        { "memory DC", ::GetObjectType(freedDC) != 0, false },
        { "icon colour bitmap", IsGdiObject(color), false },
        { "icon mask bitmap", IsGdiObject(mask), false },
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, row.alive) << row.what;
    EXPECT_EQ(movedBrush, survivor.get());
    ::DeleteObject(keptBrush);

    // Kernel handles: a file closed at scope end; "none" is INVALID_HANDLE_VALUE for it.
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, folder));
    ASSERT_NE(0u, ::GetTempFileNameW(folder, L"sh", 0, path));
    HANDLE raw = nullptr;
    {
        ScopedFile file(::CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        raw = file.get();
        EXPECT_FALSE(ScopedFile(INVALID_HANDLE_VALUE));
        WIN32_FIND_DATAW found = {};
        ScopedFind find(::FindFirstFileW(L"C:\\no such folder\\*", &found));
        EXPECT_FALSE(find);
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));
    ::DeleteFileW(path);
}

TEST(GdiOwners, SelectionComReferenceFlagAndCounterAreUndoneAtScopeEnd)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    const HGDIOBJ original = ::GetCurrentObject(dc, OBJ_BRUSH);
    ScopedBrush brush(::CreateSolidBrush(RGB(9, 9, 9)));
    {
        ScopedSelectObject select(dc, brush.get());
        EXPECT_EQ(brush.get(), ::GetCurrentObject(dc, OBJ_BRUSH));
    }
    EXPECT_EQ(original, ::GetCurrentObject(dc, OBJ_BRUSH));

    CountedUnknown object;
    {
        ScopedComPtr<IUnknown> pointer;
        *pointer.put() = &object;
        ScopedComPtr<IUnknown> moved(std::move(pointer));
        EXPECT_FALSE(pointer);
        EXPECT_EQ(1u, object.refs);
    }
    EXPECT_EQ(0u, object.refs);

    int depth = 0;
    BOOL flag = FALSE;
    {
        ScopedCount outer(depth);
        ScopedFlag raised(flag);
        {
            ScopedCount inner(depth);
            ScopedFlag again(flag);
            EXPECT_EQ(2, depth);
        }
        EXPECT_EQ(1, depth);
        EXPECT_TRUE(flag);  // the inner scope puts back the outer one's value
    }
    EXPECT_EQ(0, depth);
    EXPECT_FALSE(flag);
}

}  // namespace
