#include "IconManagerTestSupport.h"

#include <algorithm>
#include <cwchar>

namespace IconTest {

namespace {

void PutWord(Bytes& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutDword(Bytes& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

uint32_t TestPixel(int x, int y)
{
    const uint32_t alpha = 0x40 + static_cast<uint32_t>((x * 7 + y * 3) % 0xC0);
    const uint32_t red = static_cast<uint32_t>(x * 8) & 0xFF;
    const uint32_t green = static_cast<uint32_t>(y * 8) & 0xFF;
    const uint32_t blue = 0x21;
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

HICON MakeTestIcon(int size)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top-down, so row y is the y-th row from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color)
        return nullptr;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels[y * size + x] = TestPixel(x, y);

    // Monochrome bitmap rows are padded to 2 bytes.
    const int maskStride = ((size + 15) / 16) * 2;
    std::vector<uint8_t> maskBits(static_cast<size_t>(maskStride * size), 0);
    for (int x = 0; x < size; ++x)
        maskBits[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    HBITMAP mask = ::CreateBitmap(size, size, 1, 1, maskBits.data());

    ICONINFO iconInfo = {};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmColor = color;
    iconInfo.hbmMask = mask;
    HICON icon = mask ? ::CreateIconIndirect(&iconInfo) : nullptr;
    ::DeleteObject(color);
    if (mask)
        ::DeleteObject(mask);
    return icon;
}

Bytes ExpectedTestIconFile(int size)
{
    const uint32_t colorSize = static_cast<uint32_t>(size * size * 4);
    const uint32_t maskStride = static_cast<uint32_t>(((size + 31) / 32) * 4);
    const uint32_t maskSize = maskStride * static_cast<uint32_t>(size);
    Bytes out;
    PutWord(out, 0);
    PutWord(out, 1);
    PutWord(out, 1);
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(0);
    out.push_back(0);
    PutWord(out, 0);
    PutWord(out, 32);
    PutDword(out, 40 + colorSize + maskSize);
    PutDword(out, 22);
    PutDword(out, 40);
    PutDword(out, static_cast<uint32_t>(size));
    PutDword(out, static_cast<uint32_t>(size * 2));
    PutWord(out, 1);
    PutWord(out, 32);
    PutDword(out, 0);
    PutDword(out, colorSize + maskSize);
    for (int i = 0; i < 4; ++i)
        PutDword(out, 0);
    for (int row = 0; row < size; ++row) {  // bottom-up
        const int y = size - 1 - row;
        for (int x = 0; x < size; ++x)
            PutDword(out, TestPixel(x, y));
    }
    for (int row = 0; row < size; ++row) {
        const int y = size - 1 - row;
        for (uint32_t i = 0; i < maskStride; ++i) {
            uint8_t byte = 0;
            if (y == 0) {
                for (int bit = 0; bit < 8; ++bit)
                    if (static_cast<int>(i) * 8 + bit < size)
                        byte |= static_cast<uint8_t>(0x80 >> bit);
            }
            out.push_back(byte);
        }
    }
    return out;
}

bool GetIconSize(HICON icon, int& width, int& height)
{
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info))
        return false;
    BITMAP bitmap = {};
    const bool ok = info.hbmColor && ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap) == sizeof(bitmap);
    if (ok) {
        width = bitmap.bmWidth;
        height = bitmap.bmHeight;
    }
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return ok;
}

std::vector<uint32_t> GetIconPixels(HICON icon)
{
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    ICONINFO info = {};
    if (!GetIconSize(icon, width, height) || !::GetIconInfo(icon, &info))
        return pixels;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    pixels.assign(static_cast<size_t>(width * height), 0);
    HDC dc = ::GetDC(nullptr);
    if (::GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS) != height)
        pixels.clear();
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return pixels;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring ReadLogs(const std::wstring& folder)
{
    std::wstring text;
    for (const std::wstring& name : ListFolder(folder))
        text += testfs::WideFromUtf8(ReadBytes(folder + L"\\" + name));
    return text;
}

int CountOccurrences(const std::wstring& text, const std::wstring& needle)
{
    int count = 0;
    for (size_t at = text.find(needle); at != std::wstring::npos; at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

}  // namespace IconTest
