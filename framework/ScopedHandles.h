// Scope owners for the handles of the Windows API: each takes a handle on the line that
// makes it and gives it back, the one right way for its kind, however the scope is left
// (a return, a failure, an exception). Unique handles move and never copy; a null (or, for
// find and file handles, INVALID_HANDLE_VALUE) owner holds nothing and frees nothing.
//
//   ScopedMenu menu(::CreatePopupMenu());      ScopedFind find(::FindFirstFileW(...));
//   ScopedGdiObject<HBRUSH> brush(::CreateSolidBrush(colour));
//   ScopedSelectObject keep(dc, brush.get());  ScopedCount busy(m_nFilling);
#pragma once

#include <windows.h>
#include <objidl.h>  // before gdiplus.h under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <shellapi.h>

#include <utility>

// ---- The owner shared by every kind of handle ---------------------------------------------
// Traits name the handle type, the value that means "none" and how to give a handle back.
template <typename Traits>
class ScopedHandle
{
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::None(); }
    // Gives the handle up without freeing it.
    Handle release() { return std::exchange(m_handle, Traits::None()); }
    // Frees the handle held (if any) and takes the new one.
    void reset(Handle handle = Traits::None())
    {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::None())
            Traits::Free(old);
    }
    // For an API that writes a new handle through a pointer: frees the old one first.
    Handle* put()
    {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::None();
};

namespace ScopedTraits {

template <typename H, BOOL(WINAPI* FreeFn)(H)>
struct NullIsNone
{
    using Handle = H;
    static constexpr Handle None() { return nullptr; }
    static void Free(Handle handle) { FreeFn(handle); }
};

template <BOOL(WINAPI* FreeFn)(HANDLE)>
struct InvalidIsNone
{
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Free(Handle handle) { FreeFn(handle); }
};

struct Drop
{
    using Handle = HDROP;
    static constexpr Handle None() { return nullptr; }
    static void Free(Handle handle) { ::DragFinish(handle); }
};

template <typename H>
struct GdiObject
{
    using Handle = H;
    static constexpr Handle None() { return nullptr; }
    static void Free(Handle handle) { ::DeleteObject(handle); }
};

struct GdipImage
{
    using Handle = Gdiplus::GpImage*;
    static constexpr Handle None() { return nullptr; }
    static void Free(Handle handle) { Gdiplus::DllExports::GdipDisposeImage(handle); }
};

struct GdipGraphics
{
    using Handle = Gdiplus::GpGraphics*;
    static constexpr Handle None() { return nullptr; }
    static void Free(Handle handle) { Gdiplus::DllExports::GdipDeleteGraphics(handle); }
};

}  // namespace ScopedTraits

using ScopedMenu = ScopedHandle<ScopedTraits::NullIsNone<HMENU, ::DestroyMenu>>;
// A kernel object whose "none" is null: a mutex, an event, a thread, a process.
using ScopedKernelHandle = ScopedHandle<ScopedTraits::NullIsNone<HANDLE, ::CloseHandle>>;
// A handle from CreateFileW, whose "none" is INVALID_HANDLE_VALUE.
using ScopedFile = ScopedHandle<ScopedTraits::InvalidIsNone<::CloseHandle>>;
using ScopedFind = ScopedHandle<ScopedTraits::InvalidIsNone<::FindClose>>;
// The drop handle of WM_DROPFILES: its receiver finishes it.
using ScopedDrop = ScopedHandle<ScopedTraits::Drop>;
// A DC made by CreateCompatibleDC (or CreateDC): deleted, not released.
using ScopedCreatedDC = ScopedHandle<ScopedTraits::NullIsNone<HDC, ::DeleteDC>>;
template <typename H>
using ScopedGdiObject = ScopedHandle<ScopedTraits::GdiObject<H>>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedRgn = ScopedGdiObject<HRGN>;
// An image of GDI+'s flat interface (GdipLoadImageFromFile, GdipCreateBitmapFromFile...).
using ScopedGdipImage = ScopedHandle<ScopedTraits::GdipImage>;
using ScopedGdipGraphics = ScopedHandle<ScopedTraits::GdipGraphics>;

// ---- Handles that need more than themselves to be freed ------------------------------------

// A window's DC (or the screen's, for a null window) taken with GetDC and released to it.
class ScopedGetDC
{
public:
    explicit ScopedGetDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~ScopedGetDC()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// The two bitmaps GetIconInfo hands out, deleted together.
class ScopedIconInfo
{
public:
    ScopedIconInfo() = default;
    ~ScopedIconInfo()
    {
        if (m_info.hbmColor)
            ::DeleteObject(m_info.hbmColor);
        if (m_info.hbmMask)
            ::DeleteObject(m_info.hbmMask);
    }
    ScopedIconInfo(const ScopedIconInfo&) = delete;
    ScopedIconInfo& operator=(const ScopedIconInfo&) = delete;
    // Fills the owner from the icon (freeing nothing it held: call it once); FALSE when the
    // icon has no information, and then the owner holds nothing.
    BOOL Load(HICON icon)
    {
        if (::GetIconInfo(icon, &m_info))
            return TRUE;
        m_info = {};
        return FALSE;
    }
    const ICONINFO& get() const { return m_info; }

private:
    ICONINFO m_info = {};
};

// Selects an object into a DC and selects the one it replaced back at scope end. Nothing
// happens for a null DC or object.
class ScopedSelectObject
{
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject()
    {
        if (m_old && m_old != HGDI_ERROR)
            ::SelectObject(m_dc, m_old);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// ---- A COM interface pointer --------------------------------------------------------------
// Holds one reference: Release at scope end. put()/put_void() for the creating call; the
// constructor adopts the reference of an object just made with new (it does not AddRef).
template <typename T>
class ScopedComPtr
{
public:
    ScopedComPtr() = default;
    explicit ScopedComPtr(T* adopted) : m_p(adopted) {}
    ~ScopedComPtr() { reset(); }
    ScopedComPtr(ScopedComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ScopedComPtr& operator=(ScopedComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void reset()
    {
        if (T* old = std::exchange(m_p, nullptr))
            old->Release();
    }
    T** put()
    {
        reset();
        return &m_p;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

private:
    T* m_p = nullptr;
};

// ---- Scoped state -------------------------------------------------------------------------
// Counts one running scope on a counter (a loop depth, a "filling the controls" count): up
// on entry, down on exit, so a return or an exception between cannot leave it counted.
class ScopedCount
{
public:
    explicit ScopedCount(int& counter) : m_counter(counter) { ++m_counter; }
    ~ScopedCount() { --m_counter; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;

private:
    int& m_counter;
};

// Raises a flag for the scope's life (a loop or a question is up) and puts its earlier value
// back at exit, so a nested scope does not lower the flag under the outer one.
class ScopedFlag
{
public:
    explicit ScopedFlag(BOOL& flag) : m_flag(flag), m_old(flag) { m_flag = TRUE; }
    ~ScopedFlag() { m_flag = m_old; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    BOOL& m_flag;
    BOOL m_old;
};
