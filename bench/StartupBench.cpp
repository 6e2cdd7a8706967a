// Start-up of the program beside a bare Win32 program that shows the same six layered
// boxes with GDI+ text (BareBoxes.exe): the two are launched alternately, 7 runs each, on
// the same data folder (six default boxes, the first-boot wizard skipped). A run lasts
// from CreateProcess until six layered windows of the process are visible and the process
// has gone idle with its queue drained (so the boxes' first drawing is done); then the
// process is ended. Prints both medians and their ratio.
// Run under Wine on a display: wine StartupBench.exe (it empties the prefix's local data
// folder of the program, as the end-to-end tests do).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/E2eHarness.h"

namespace {

constexpr int kRuns = 7;
constexpr int kBoxes = 6;
constexpr DWORD kTimeoutMs = 30000;

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
    if (owner == query->processId && ::IsWindowVisible(window) &&
        (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED))
        ++query->count;
    return TRUE;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One start, in milliseconds; negative when the boxes never came.
double TimeStart(const std::wstring& exe)
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
        shown = query.count >= kBoxes;
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

}  // namespace

int main()
{
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
    for (int run = 0; run < kRuns; ++run) {
        bareTimes.push_back(TimeStart(bare));
        programTimes.push_back(TimeStart(program));
    }
    e2e::RemoveTree(e2e::LocalDataFolder());
    const bool failed = std::any_of(bareTimes.begin(), bareTimes.end(), [](double t) { return t < 0; }) ||
                        std::any_of(programTimes.begin(), programTimes.end(), [](double t) { return t < 0; });
    const double bareMedian = Median(bareTimes);
    const double programMedian = Median(programTimes);
    std::printf("start-up to six boxes (median of %d): bare %.0f ms, Tarnelo %.0f ms, ratio %.2f%s\n", kRuns,
                bareMedian, programMedian, bareMedian > 0 ? programMedian / bareMedian : 0.0,
                failed ? "  FAILED" : "");
    return failed ? 1 : 0;
}
