// Time of saving and loading "tarnelo.ser" with 10, 100 and 1000 boxes of 100 items each,
// printed per item, beside a plain write and a plain read of as many bytes (64 KB calls of
// WriteFile and ReadFile) in the same run, and the ratios to them. A second line splits the
// load: the archive's decoding alone (every field read, no records kept), as many string
// allocations as the records hold (name, path, resolved path, icon key), and the box folders.
// Run under Wine: wine BoxFileBench.exe
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/PathHelpers.h"
#include "framework/CArchive.h"
#include "framework/CFile.h"
#include "model/CTarneloInfoManager.h"
#include "tests/TempFolder.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Writes count bytes to a new file and reads them back, in 64 KB calls; the seconds of each.
bool PlainWriteAndRead(const std::wstring& path, DWORD count, double& writeSeconds, double& readSeconds)
{
    std::vector<char> chunk(64 * 1024, 'x');
    LARGE_INTEGER t0, t1, t2, t3;
    ::QueryPerformanceCounter(&t0);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (DWORD left = count; ok && left > 0;) {
        const DWORD n = left < chunk.size() ? left : static_cast<DWORD>(chunk.size());
        DWORD written = 0;
        ok = ::WriteFile(file, chunk.data(), n, &written, nullptr) && written == n;
        left -= n;
    }
    ::CloseHandle(file);
    ::QueryPerformanceCounter(&t1);
    ::QueryPerformanceCounter(&t2);
    file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD total = 0;
    for (DWORD got = 1; ok && got > 0; total += got)
        ok = ::ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) != FALSE;
    ::CloseHandle(file);
    ::QueryPerformanceCounter(&t3);
    writeSeconds = Seconds(t0, t1);
    readSeconds = Seconds(t2, t3);
    return ok && total == count;
}

// Reads every field of a box file of the given shape through the archive, keeping nothing.
void DecodeOnly(const std::wstring& path, int boxes)
{
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite))
        return;
    CArchive ar(&file, CArchive::load, 32 * 1024);
    UINT number = 0;
    CString text;
    ar >> number >> text >> number;
    for (int b = 0; b < boxes; ++b) {
        UINT count = 0;
        ar >> number >> number >> number >> text >> count;
        for (UINT i = 0; i < count; ++i)
            ar >> number >> text >> text >> text;
        ar >> number >> number >> number >> number >> text;
    }
    ar.Close();
}

}  // namespace

int main()
{
    const std::wstring folder = bench::MakeScratchFolder(L"BoxFileBench");
    const std::wstring files = folder + L"\\files";
    const std::wstring boxFile = folder + L"\\tarnelo.ser";
    ::CreateDirectoryW(files.c_str(), nullptr);

    Model::CTarneloInfo::_SCREEN_INFO screen;
    screen.rcVirtual = {0, 0, 100000, 100000};
    screen.bTaskbarAutoHide = TRUE;

    int failures = 0;
    for (const int boxes : {10, 100, 1000}) {
        const int itemsPerBox = 100;
        Model::CTarneloInfoManager list;
        list.Bind(files.c_str(), (folder + L"\\icons").c_str(), nullptr, nullptr);
        list.SetScreenInfo(&screen);
        for (int b = 0; b < boxes; ++b) {
            Model::CTarneloInfo* box = list.AddNewBox();
            box->m_pos = {100 + (b / 20) * 200, 10 + (b % 20) * 40};
            box->m_strName.Format(L"Box number %d", b);
            box->m_strIcon = L"150-outlined-icons-white\\squares.png";
            for (int i = 0; i < itemsPerBox; ++i) {
                Model::CTarneloInfo::_ITEM item;
                item.nType = (i % 2) ? 3 : 4;
                item.strName.Format(i % 2 ? L"Program %d.lnk" : L"Site %d.url", i);
                item.strPath = box->m_strFolder + L"\\" + item.strName;
                item.strResolvedPath = item.strPath;
                item.bExists = TRUE;
                item.strIconKey.Format(L"ext%d", b * itemsPerBox + i + 2);
                box->m_items.push_back(item);
            }
        }
        const double items = static_cast<double>(boxes) * itemsPerBox;

        LARGE_INTEGER t0, t1, t2;
        ::QueryPerformanceCounter(&t0);
        const BOOL saved = list.Save(boxFile.c_str());
        ::QueryPerformanceCounter(&t1);
        Model::CTarneloInfoManager loaded;
        loaded.Bind(files.c_str(), (folder + L"\\icons").c_str(), nullptr, nullptr);
        loaded.SetScreenInfo(&screen);
        const BOOL read = loaded.Load(boxFile.c_str());
        ::QueryPerformanceCounter(&t2);
        if (!saved || !read || loaded.m_boxes.size() != static_cast<size_t>(boxes))
            ++failures;

        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ::GetFileAttributesExW(boxFile.c_str(), GetFileExInfoStandard, &data);
        double plainWrite = 0, plainRead = 0;
        if (!PlainWriteAndRead(folder + L"\\plain.bin", data.nFileSizeLow, plainWrite, plainRead))
            ++failures;
        LARGE_INTEGER t3, t4, t5, t6;
        ::QueryPerformanceCounter(&t3);
        DecodeOnly(boxFile, boxes);
        ::QueryPerformanceCounter(&t4);
        {
            std::vector<std::wstring> strings;
            strings.reserve(static_cast<size_t>(items) * 4);
            for (int i = 0; i < static_cast<int>(items) * 4; ++i)
                strings.emplace_back(L"C:\\Box files\\012\\Program 12.lnk");
            ::QueryPerformanceCounter(&t5);
        }
        for (int b = 0; b < boxes; ++b)
            CreateDirectoryTree(list.GetBoxFolder(static_cast<UINT>(b)));
        ::QueryPerformanceCounter(&t6);
        const double save = Seconds(t0, t1), load = Seconds(t1, t2);
        std::printf("%5d boxes x %d items (%lu bytes): save %.3f us/item (plain write %.3f, %.1fx), "
                    "load %.3f us/item (plain read %.3f, %.1fx)%s\n",
                    boxes, itemsPerBox, data.nFileSizeLow, save * 1e6 / items, plainWrite * 1e6 / items,
                    plainWrite > 0 ? save / plainWrite : 0.0, load * 1e6 / items, plainRead * 1e6 / items,
                    plainRead > 0 ? load / plainRead : 0.0, saved && read ? "" : "  FAILED");
        std::printf("      load split: archive decoding %.3f us/item, string allocations alone %.3f us/item, "
                    "box folders %.3f us/item\n",
                    Seconds(t3, t4) * 1e6 / items, Seconds(t4, t5) * 1e6 / items, Seconds(t5, t6) * 1e6 / items);
    }
    testfs::RemoveTree(folder);
    return failures ? 1 : 0;
}
