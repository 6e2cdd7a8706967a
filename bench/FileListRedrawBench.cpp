// Time of opening a file list, of one full redraw (rows, icons, names) and of one hover
// change (the mouse moves onto another row: the message, the redraw it posts and the layered
// update) with 10, 50, 200 and 500 items, and of one reorder step in a list of 200 rows.
// Run under Wine on a display: wine FileListRedrawBench.exe
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/BenchSupport.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/IconManager.h"
#include "windows/CFileListWnd.h"
#include "tests/TempFolder.h"

namespace {

using bench::Milliseconds;
using bench::Now;
using bench::Pump;

}  // namespace

int main()
{
    const bench::GraphicsSession graphics;
    const std::wstring folder = bench::MakeScratchFolder(L"FileListBench");
    const std::wstring sample = folder + L"\\sample.txt";
    HANDLE file = ::CreateFileW(sample.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);

    Model::IconManager icons;
    icons.Init((folder + L"\\fileIcons").c_str());
    CString key;
    icons.RegisterIcon(Model::ITEM_TYPE_FILE, sample.c_str(), key);

    Model::CTarneloStyleInfo style = bench::SmallListStyle();
    Model::CConfigInfo config;

    for (const int count : {10, 50, 200, 500}) {
        Model::CTarneloInfo info;
        info.m_pos = POINT{100, 100};
        info.SetIconManager(&icons);
        for (int i = 0; i < count; ++i) {
            Model::CTarneloInfo::_ITEM item;
            item.nType = Model::ITEM_TYPE_FILE;
            item.strName = (L"Document number " + std::to_wstring(i) + L".txt").c_str();
            item.bExists = TRUE;
            item.strIconKey = key;
            info.m_items.push_back(item);
        }
        CFileListWnd list;
        const LARGE_INTEGER t0 = Now();
        if (!list.Open(&info, nullptr, nullptr, WM_USER + 201, &style, &config, FALSE)) {
            std::printf("items %d: the list did not open\n", count);
            continue;
        }
        const LARGE_INTEGER t1 = Now();
        const int redraws = 20;
        for (int i = 0; i < redraws; ++i)
            list.Redraw();
        const LARGE_INTEGER t2 = Now();
        Pump();
        // The mouse goes back and forth between two rows in the middle of what the list
        // shows (a long list is cut to the screen's height).
        const int hovers = 20;
        const int shown = std::min(count, static_cast<int>(list.m_rect.bottom - list.m_rect.top) / list.m_nRowHeight);
        const int middle = (shown / 2) * list.m_nRowHeight + list.m_nRowHeight / 2;
        const LARGE_INTEGER t5 = Now();
        for (int i = 0; i < hovers; ++i) {
            const int y = middle + (i % 2) * list.m_nRowHeight;
            ::SendMessageW(list.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, y));
            Pump();
        }
        const LARGE_INTEGER t6 = Now();
        std::printf("items %3d: open %.2f ms, redraw %.2f ms, hover change %.2f ms\n", count, Milliseconds(t0, t1),
                    Milliseconds(t1, t2) / redraws, Milliseconds(t5, t6) / hovers);

        if (count == 200) {
            auto& rows = const_cast<CFileListWnd::RowList&>(list.GetRows());
            const int steps = 1000;
            const LARGE_INTEGER t3 = Now();
            for (int i = 0; i < steps; ++i)
                FileListLayout::MoveRow(rows, rows.front().get(), rows.back().get(), list.m_nWidth, list.m_nRowHeight);
            const LARGE_INTEGER t4 = Now();
            std::printf("reorder step in 200 rows: %.4f ms\n", Milliseconds(t3, t4) / steps);
        }
    }

    testfs::RemoveTree(folder);
    return 0;
}
