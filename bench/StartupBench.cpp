// Start-up of the program beside a bare Win32 program that shows the same six layered
// boxes with GDI+ text (BareBoxes.exe): the two are launched alternately, 7 runs each, on
// the same data folder (six default boxes, the first-boot wizard skipped). A run lasts
// from CreateProcess until six layered windows of the process are visible and the process
// has gone idle with its queue drained (so the boxes' first drawing is done); then the
// process is ended. Prints both medians and their ratio.
//
// Then a full desktop: 20 boxes of 200 items each (2 of 5 shortcuts made for files, 1 of 5
// for folders, 2 of 5 internet shortcuts), once with their icon keys stored and once
// without (every key to be registered again), each against the same 20 boxes empty. The
// three are launched in turn, 7 runs each; a run lasts until the 20 boxes are visible and
// the process has gone idle. An argument gives another number of runs.
// Run under Wine on a display: wine StartupBench.exe (it empties the prefix's local data
// folder of the program, as the end-to-end tests do).
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "model/CTarneloInfoManager.h"
#include "tests/e2e/E2eHarness.h"

namespace {

using bench::Median;
using bench::Milliseconds;

int g_runs = 7;
constexpr int kBoxes = 6;
constexpr int kFullBoxes = 20;
constexpr int kItemsPerBox = 200;
constexpr DWORD kTimeoutMs = 300000;

struct LayeredCount
{
    DWORD processId;
    int count;
};

BOOL CALLBACK CountLayered(HWND window, LPARAM lParam)
{
    auto* query = reinterpret_cast<LayeredCount*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    // Drop shadows are layered windows too; only the boxes count.
    if (owner == query->processId && ::IsWindowVisible(window) &&
        (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) && std::wstring(className) != L"DaskoShadowWnd")
        ++query->count;
    return TRUE;
}

// One start, in milliseconds; negative when the boxes never came.
double TimeStart(const std::wstring& exe, int boxes = kBoxes)
{
    LARGE_INTEGER t0, t1;
    ::QueryPerformanceCounter(&t0);
    e2e::Process process;
    if (!process.Start(exe))
        return -1;
    bool shown = false;
    const DWORD deadline = ::GetTickCount() + kTimeoutMs;
    while (!shown && ::GetTickCount() < deadline && process.IsRunning()) {
        LayeredCount query{process.Id(), 0};
        ::EnumWindows(CountLayered, reinterpret_cast<LPARAM>(&query));
        shown = query.count >= boxes;
        if (!shown)
            ::Sleep(1);
    }
    if (shown) {
        HANDLE handle = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process.Id());
        if (handle) {
            ::WaitForInputIdle(handle, kTimeoutMs);
            ::CloseHandle(handle);
        }
    }
    ::QueryPerformanceCounter(&t1);
    process.Terminate();
    process.WaitForExit(kTimeoutMs);
    return shown ? Milliseconds(t0, t1) : -1;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The box file of the full desktop: 20 boxes, empty or with their 200 items each, with or
// without icon keys. The items' files are made once by MakeItemFiles.
bool WriteBoxFile(const std::wstring& data, bool withItems, bool withKeys)
{
    Model::CTarneloInfoManager list;
    list.Bind((data + L"\\files").c_str(), (data + L"\\icons").c_str(), nullptr, nullptr);
    int ext = 2;
    for (int b = 0; b < kFullBoxes; ++b) {
        Model::CTarneloInfo* box = list.AddNewBox();
        box->m_nId = static_cast<UINT>(b);
        box->m_strFolder = list.GetBoxFolder(box->m_nId);
        box->m_pos = {760 + (b / 10) * 250, 10 + (b % 10) * 60};
        box->m_strName.Format(L"Box %d", b);
        box->m_strIcon = L"150-outlined-icons-white\\squares.png";
        for (int i = 0; withItems && i < kItemsPerBox; ++i) {
            Model::CTarneloInfo::_ITEM item;
            const int kind = i % 5;
            item.nType = kind < 2 ? 1 : kind == 2 ? 2 : 4;
            item.strName.Format(kind < 2 ? L"Document %d.txt" : kind == 2 ? L"Folder %d" : L"Site %d.url", i);
            item.strPath.Format(kind < 3 ? L"%s\\Item %d.lnk" : L"%s\\Item %d.url",
                                box->m_strFolder.GetString(), i);
            if (withKeys) {
                if (kind < 2)
                    item.strIconKey = L"txt";
                else if (kind == 2)
                    item.strIconKey = L"folder";
                else
                    item.strIconKey.Format(L"ext%d", ext++);
            }
            box->m_items.push_back(item);
        }
    }
    return list.Save(Model::CTarneloInfoManager::FilePath(data.c_str())) != FALSE;
}

// The files the items of WriteBoxFile refer to: in each box folder a shortcut to a file or a
// folder of the "targets" folder, or an internet shortcut.
bool MakeItemFiles(const std::wstring& data)
{
    const std::wstring targets = data + L"\\targets";
    CreateDirectoryTree(targets.c_str());
    bool ok = true;
    for (int b = 0; b < kFullBoxes; ++b) {
        wchar_t folder[MAX_PATH];
        std::swprintf(folder, MAX_PATH, L"%ls\\files\\%03d", data.c_str(), b);
        CreateDirectoryTree(folder);
        for (int i = 0; i < kItemsPerBox; ++i) {
            const int kind = i % 5;
            wchar_t target[MAX_PATH];
            wchar_t item[MAX_PATH];
            if (kind == 3 || kind == 4) {
                std::swprintf(item, MAX_PATH, L"%ls\\Item %d.url", folder, i);
                char url[128];
                const int n = std::snprintf(url, sizeof(url), "[InternetShortcut]\r\nURL=http://example.com/%d/%d\r\n", b, i);
                ok = e2e::WriteFileBytes(item, std::vector<BYTE>(url, url + n)) && ok;
                continue;
            }
            if (kind == 2) {
                std::swprintf(target, MAX_PATH, L"%ls\\Folder %d", targets.c_str(), i % 20);
                ::CreateDirectoryW(target, nullptr);
            } else {
                std::swprintf(target, MAX_PATH, L"%ls\\Document %d-%d.txt", targets.c_str(), b, i);
                e2e::WriteFileBytes(target, std::vector<BYTE>{'x'});
            }
            std::swprintf(item, MAX_PATH, L"%ls\\Item %d.lnk", folder, i);
            ok = CreateShortcut(target, item) && ok;
        }
    }
    return ok;
}

// The full desktop: empty, keyed and keyless boxes launched in turn; prints the medians and
// the ratios to the empty boxes.
int FullDesktop(const std::wstring& program)
{
    const std::wstring data = e2e::LocalDataFolder();
    if (!e2e::ResetDataFolder() || !e2e::WriteInstallDate(data) || !MakeItemFiles(data)) {
        std::printf("full desktop: the data folder could not be made\n");
        return 1;
    }
    const std::wstring icons = data + L"\\fileIcons";
    // Every run starts from its own box file; the keyless one also from an empty icon cache.
    auto prepare = [&](bool withItems, bool withKeys) {
        if (!withKeys)
            e2e::RemoveTree(icons);
        return WriteBoxFile(data, withItems, withKeys);
    };
    prepare(false, true);
    TimeStart(program, kFullBoxes);
    std::vector<double> empty, keyed, keyless;
    bool failed = false;
    for (int run = 0; run < g_runs; ++run) {
        failed = !prepare(false, true) || failed;
        empty.push_back(TimeStart(program, kFullBoxes));
        failed = !prepare(true, true) || failed;
        keyed.push_back(TimeStart(program, kFullBoxes));
        failed = !prepare(true, false) || failed;
        keyless.push_back(TimeStart(program, kFullBoxes));
    }
    e2e::RemoveTree(data);
    for (const auto* times : {&empty, &keyed, &keyless})
        failed = failed || std::any_of(times->begin(), times->end(), [](double t) { return t < 0; });
    const double e = Median(empty), k = Median(keyed), n = Median(keyless);
    std::printf("start-up to %d boxes x %d items (median of %d): empty %.0f ms, keys stored %.0f ms (%.2fx), "
                "no keys %.0f ms (%.2fx)%s\n",
                kFullBoxes, kItemsPerBox, g_runs, e, k, e > 0 ? k / e : 0.0, n, e > 0 ? n / e : 0.0,
                failed ? "  FAILED" : "");
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::atoi(argv[1]) > 0)
        g_runs = std::atoi(argv[1]);
    ::CoInitialize(nullptr);
    const std::wstring bare = OwnFolder() + L"\\BareBoxes.exe";
    const std::wstring program = e2e::TarneloExePath();
    if (!e2e::FileExists(bare) || !e2e::FileExists(program) || !e2e::ResetDataFolder() ||
        !e2e::WriteInstallDate(e2e::LocalDataFolder())) {
        std::printf("start-up: missing BareBoxes.exe or Tarnelo.exe, or no data folder\n");
        return 1;
    }
    // A first start makes the default boxes and the data files; every measured start then
    // finds the same folder.
    TimeStart(program);
    TimeStart(bare);

    std::vector<double> bareTimes, programTimes;
    for (int run = 0; run < g_runs; ++run) {
        bareTimes.push_back(TimeStart(bare));
        programTimes.push_back(TimeStart(program));
    }
    e2e::RemoveTree(e2e::LocalDataFolder());
    const bool failed = std::any_of(bareTimes.begin(), bareTimes.end(), [](double t) { return t < 0; }) ||
                        std::any_of(programTimes.begin(), programTimes.end(), [](double t) { return t < 0; });
    const double bareMedian = Median(bareTimes);
    const double programMedian = Median(programTimes);
    std::printf("start-up to six boxes (median of %d): bare %.0f ms, Tarnelo %.0f ms, ratio %.2f%s\n", g_runs,
                bareMedian, programMedian, bareMedian > 0 ? programMedian / bareMedian : 0.0,
                failed ? "  FAILED" : "");
    const int full = FullDesktop(program);
    ::CoUninitialize();
    return failed || full ? 1 : 0;
}
