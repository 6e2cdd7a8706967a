// A full box, in one process that hosts the list window, so that its GDI objects can be
// counted. GetGuiResources gives 0 under Wine (for this process too): there the objects are
// counted in the process's GDI handle table instead (the PEB's GdiSharedHandleTable, whose
// used entries have a type), and USER objects are not counted.
// - a box of 5,000 internet shortcuts stored without icon keys is read, its items' work done
//   (every key registered with its icon files, then the box file saved), its list opened,
//   scrolled to the end and closed; the most GDI and USER objects the process held at any
//   point, and what it holds after the close;
// - opening a list of 1,000 of those items (their keys now stored): the window made and its
//   first drawing done.
// "Scrolled to the end" goes a screenful at a time, each step drawn, to the last row.
// An argument gives another number of items. Run under Wine on a display:
// wine FullBoxBench.exe
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfoManager.h"
#include "model/CTarneloStyleInfo.h"
#include "model/IconManager.h"
#include "windows/CFileListWnd.h"
#include "tests/TempFolder.h"

namespace {

using bench::Milliseconds;
using bench::Now;
using bench::Pump;

// One entry of the GDI handle table, as Windows and Wine lay it out on x64.
struct GdiTableEntry
{
    UINT64 object;
    USHORT processId;
    USHORT count;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
static_assert(sizeof(GdiTableEntry) == 24, "x64 layout");

// GCC 12 takes the TEB read of NtCurrentTeb for an out-of-bounds array read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
// The GDI objects of this process: GetGuiResources, or where that gives nothing, the used
// entries of the handle table that the PEB points to (the PEB at 0x60 of the TEB, the table
// at 0xF8 of the PEB, on x64).
DWORD GdiObjects()
{
    if (const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return count;
    const BYTE* peb = *reinterpret_cast<BYTE* const*>(reinterpret_cast<const BYTE*>(::NtCurrentTeb()) + 0x60);
    const auto* table = *reinterpret_cast<const GdiTableEntry* const*>(peb + 0xF8);
    MEMORY_BASIC_INFORMATION region = {};
    if (!table || !::VirtualQuery(table, &region, sizeof(region)) || region.State != MEM_COMMIT)
        return 0;
    const size_t readable = static_cast<size_t>(static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize -
                                                reinterpret_cast<const BYTE*>(table));
    const size_t entries = std::min<size_t>(readable / sizeof(GdiTableEntry), 0x10000);
    DWORD count = 0;
    for (size_t i = 0; i < entries; ++i) {
        if (table[i].type != 0)
            ++count;
    }
    return count;
}
#pragma GCC diagnostic pop

// The most GDI and USER objects seen at any sample.
struct Peak
{
    DWORD gdi = 0;
    DWORD user = 0;
    void Sample()
    {
        gdi = std::max(gdi, GdiObjects());
        user = std::max(user, ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
    }
};

bool WriteText(const std::wstring& path, const std::string& text)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    ::CloseHandle(file);
    return ok;
}

// Scrolls the list from its first row to its last, a screenful at a time, each step drawn.
void ScrollToEnd(CFileListWnd& list, Peak& peak)
{
    const int perPage = std::max(1, list.GetVisibleRows());
    for (int top = perPage; list.ScrollTo(top); top += perPage) {
        Pump();
        peak.Sample();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int items = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 5000;
    const bench::GraphicsSession graphics;
    const std::wstring folder = bench::MakeScratchFolder(L"FullBoxBench");
    const std::wstring files = folder + L"\\files";
    const std::wstring boxFile = folder + L"\\tarnelo.ser";
    ::CreateDirectoryW(files.c_str(), nullptr);

    Model::IconManager icons;
    icons.Init((folder + L"\\fileIcons").c_str());
    Model::CTarneloInfo::_SCREEN_INFO screen;
    screen.rcVirtual = {0, 0, 1280, 1024};
    screen.bTaskbarAutoHide = TRUE;
    bool ok = true;
    {
        // The box file: one box of internet shortcuts, stored without keys.
        Model::CTarneloInfoManager writer;
        writer.Bind(files.c_str(), (folder + L"\\icons").c_str(), nullptr, nullptr);
        Model::CTarneloInfo* box = writer.AddNewBox();
        box->m_pos = {100, 20};
        box->m_strName = L"Sites";
        for (int i = 0; i < items; ++i) {
            Model::CTarneloInfo::_ITEM item;
            item.nType = Model::ITEM_TYPE_INTERNET_SHORTCUT;
            item.strName.Format(L"Site number %d.url", i);
            item.strPath = box->m_strFolder + L"\\" + item.strName;
            ok = WriteText(item.strPath.GetString(), "[InternetShortcut]\r\nURL=http://example.com/" +
                                                         std::to_string(i) + "\r\n") && ok;
            box->m_items.push_back(item);
        }
        ok = writer.Save(boxFile.c_str()) && ok;
    }

    Peak peak;
    peak.Sample();
    const DWORD gdiAtStart = peak.gdi;
    Model::CTarneloInfoManager list;
    list.Bind(files.c_str(), (folder + L"\\icons").c_str(), &icons, nullptr);
    list.SetScreenInfo(&screen);
    const LARGE_INTEGER t0 = Now();
    ok = list.Load(boxFile.c_str()) && list.m_boxes.size() == 1 && ok;
    const LARGE_INTEGER t1 = Now();
    int slices = 0;
    while (list.DoPendingWork(nullptr, [n = 0]() mutable { return ++n >= 25; })) {
        ++slices;
        peak.Sample();
    }
    peak.Sample();
    const LARGE_INTEGER t2 = Now();

    Model::CTarneloStyleInfo style = bench::SmallListStyle();
    Model::CConfigInfo config;
    Model::CTarneloInfo* box = ok ? list.m_boxes.front() : nullptr;
    double scrollMs = 0;
    DWORD gdiAfterClose = 0;
    DWORD userAfterClose = 0;
    if (box) {
        CFileListWnd fileList;
        ok = fileList.Open(box, nullptr, nullptr, WM_USER + 201, &style, &config, FALSE) && ok;
        Pump();
        peak.Sample();
        const LARGE_INTEGER t3 = Now();
        ScrollToEnd(fileList, peak);
        scrollMs = Milliseconds(t3, Now());
        fileList.ClearFileList();
        Pump();
    }
    gdiAfterClose = GdiObjects();
    userAfterClose = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    peak.Sample();
    char user[96] = "USER objects not counted (GetGuiResources gives 0)";
    if (peak.user)
        std::snprintf(user, sizeof(user), "USER objects at most %lu, %lu after", peak.user, userAfterClose);
    std::printf("box of %d internet shortcuts without keys: read %.0f ms, keys and save %.1f s (%d slices); "
                "list opened and scrolled to the end in %.0f ms; GDI objects at most %lu (%lu before), "
                "%lu after the list closed; %s; the icon cache holds %u handles%s\n",
                items, Milliseconds(t0, t1), Milliseconds(t1, t2) / 1000.0, slices, scrollMs, peak.gdi,
                gdiAtStart, gdiAfterClose, user, static_cast<unsigned>(icons.GetHandleCount()),
                ok && peak.gdi < 2000 ? "" : "  FAILED");

    // A list of 1,000 of those items, keys stored, opened: the window and its first drawing.
    if (box) {
        Model::CTarneloInfo thousand;
        thousand.m_pos = POINT{100, 20};
        thousand.SetIconManager(&icons);
        auto it = box->m_items.begin();
        for (int i = 0; i < 1000 && it != box->m_items.end(); ++i, ++it)
            thousand.m_items.push_back(*it);
        std::vector<double> times;
        for (int run = 0; run < 7; ++run) {
            CFileListWnd fileList;
            const LARGE_INTEGER t4 = Now();
            const BOOL opened = fileList.Open(&thousand, nullptr, nullptr, WM_USER + 201, &style, &config, FALSE);
            Pump();
            times.push_back(Milliseconds(t4, Now()));
            ok = opened && ok;
        }
        std::printf("list of %zu items opened and first drawn: %.1f ms (median of 7)%s\n", thousand.m_items.size(),
                    bench::Median(times), ok ? "" : "  FAILED");
    }

    testfs::RemoveTree(folder);
    return ok && peak.gdi < 2000 ? 0 : 1;
}
