// The owners of GDI objects: what they create, hand over and delete.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CRgn.h"

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

}  // namespace
