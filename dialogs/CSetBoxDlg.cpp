#include "dialogs/CSetBoxDlg.h"

#include <algorithm>

#include <commctrl.h>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ProcessFlags.h"
#include "core/ShellHelpers.h"
#include "framework/CFileFind.h"
#include "framework/ScopedHandles.h"
#include "model/CConfigInfo.h"
#include "resources/resource.h"

BOOL g_bBoxDialogOpen = 0;
CSetBoxDlg* g_pSetBoxDlg = nullptr;

namespace {

// A PNG picture file, opened by GDI+ (which keeps the file open until the image goes). FALSE
// when the file does not load or holds another kind of picture.
BOOL LoadPng(const CString& path, ScopedGdipImage& image, UINT& width, UINT& height)
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path.GetString(), &bitmap) != Gdiplus::Ok || !bitmap)
        return FALSE;
    image.reset(bitmap);
    GUID format = {};
    if (Gdiplus::DllExports::GdipGetImageRawFormat(bitmap, &format) != Gdiplus::Ok ||
        format != Gdiplus::ImageFormatPNG)
        return FALSE;
    width = 0;
    height = 0;
    return Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width) == Gdiplus::Ok &&
           Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height) == Gdiplus::Ok;
}

// A 32 x 32 picture as a 32-bpp top-down DIB section with premultiplied alpha, the form the
// image list draws with its alpha; null on failure.
HBITMAP ToAlphaBitmap(Gdiplus::GpImage* image, int size)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits)
        return nullptr;
    const Gdiplus::GpRect rect(0, 0, size, size);
    Gdiplus::BitmapData data = {};
    if (Gdiplus::DllExports::GdipBitmapLockBits(static_cast<Gdiplus::GpBitmap*>(image), &rect,
                                                Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB,
                                                &data) != Gdiplus::Ok)
        return nullptr;
    const size_t rowBytes = static_cast<size_t>(size) * 4;
    for (int y = 0; y < size; ++y) {
        const BYTE* from = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        memcpy(static_cast<BYTE*>(bits) + rowBytes * static_cast<size_t>(y), from, rowBytes);
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(static_cast<Gdiplus::GpBitmap*>(image), &data);
    return dib.release();
}

}  // namespace

BEGIN_MESSAGE_MAP(CSetBoxDlg, CDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_MESSAGE(WM_COLOR_CLOSEUP, OnColorCloseUp)
    ON_WM_DESTROY()
    ON_CBN_SELCHANGE(IDC_SETBOX_ICON_SET, OnSelChangeIconSet)
    ON_NOTIFY(NM_DBLCLK, IDC_SETBOX_ICON_LIST, OnDblClkIconList)
    ON_WM_SIZE()
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    ON_TIMER(kTimerSaveSize, OnSaveSizeTimer)
END_MESSAGE_MAP()

CSetBoxDlg::CSetBoxDlg(CWnd* parent) : CDialog(IDD_SET_BOX, parent)
{
    g_pSetBoxDlg = this;
}

CSetBoxDlg::~CSetBoxDlg()
{
    // The drop callback must never reach a dialog that is gone.
    if (g_pSetBoxDlg == this)
        g_pSetBoxDlg = nullptr;
}

void CSetBoxDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SETBOX_NAME, m_strName);
    DDX_Control(pDX, IDC_SETBOX_ICON_LIST, m_listIcons);
    DDX_Control(pDX, IDC_SETBOX_COLOR, m_btnColor);
    DDX_Control(pDX, IDC_SETBOX_ICON_SET, m_comboIconSet);
    DDX_Control(pDX, IDC_SETBOX_DROP_HINT, m_staticDropHint);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_SETBOX_BACKGROUND_LABEL, m_staticBackground);
}

CString CSetBoxDlg::SetFolder(const CString& setName) const
{
    const CString icons = m_strIconsFolder.IsEmpty() ? GetDataFolder() + L"\\icons" : m_strIconsFolder;
    return FormatString(L"%s\\%s", icons.GetString(), setName.GetString());
}

SIZE CSetBoxDlg::StoredClientSize(const Model::CConfigInfo* config, SIZE templateClient)
{
    if (!config)
        return SIZE{ 0, 0 };
    const int width = std::min(config->m_nEditDialogWidth, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const int height = std::min(config->m_nEditDialogHeight, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return SIZE{ std::max<int>(width, templateClient.cx), std::max<int>(height, templateClient.cy) };
}

BOOL CSetBoxDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    g_bBoxDialogOpen = 1;
    RECT templateWindow = {};
    ::GetWindowRect(m_hWnd, &templateWindow);
    m_minWindow = SIZE{ templateWindow.right - templateWindow.left, templateWindow.bottom - templateWindow.top };

    ::EnableWindow(m_listIcons.m_hWnd, m_bIconEnabled ? TRUE : FALSE);
    m_btnColor.SetColor(m_color);
    ResetImageList();

    CFileDropListCtrl::DropMode mode;
    mode.nMask = DL_ACCEPT_FILES | DL_FILTER_EXTENSION | DL_USE_CALLBACK;
    mode.strFileExt = L".png";
    mode.pfnCallback = &CSetBoxDlg::OnIconFileDropped;
    m_listIcons.SetDropMode(mode);

    // The sets are the sub-folders of the icons folder; the box's own set is chosen, else
    // the first.
    CString current = GetParentPath(m_strIcon);
    CFileFind sets;
    BOOL more = sets.FindFile(SetFolder(L"*"));
    while (more) {
        more = sets.FindNextFile();
        if (sets.IsDirectory() && !sets.IsDots())
            m_comboIconSet.AddString(sets.GetFileName());
    }
    int chosen = -1;
    for (int i = 0; i < m_comboIconSet.GetCount() && chosen < 0; ++i) {
        CString name;
        m_comboIconSet.GetLBText(i, name);
        if (name == current)
            chosen = i;
    }
    if (chosen < 0) {
        current.Empty();
        if (m_comboIconSet.GetCount() > 0) {
            chosen = 0;
            m_comboIconSet.GetLBText(0, current);
        }
    }
    m_comboIconSet.SetCurSel(chosen);
    m_strIconSet = current;

    if (m_bAddMode)
        ::SetWindowTextW(m_hWnd, LoadResString(IDS_ADD_BOX).GetString());
    UpdateData(FALSE);

    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    m_nLastCx = client.right - client.left;
    m_nLastCy = client.bottom - client.top;
    UpdateDropHint();
    m_bInitialised = TRUE;

    // The size the user last gave the dialog; the resize that takes it there loads the
    // icons when its timer ends, and keeps the size shown: a stored size the dialog cannot
    // take (below its template's) is replaced by it, one it can is written back unchanged.
    const SIZE stored = StoredClientSize(m_pConfig, SIZE{ m_nLastCx, m_nLastCy });
    if (!m_pConfig || (m_pConfig->m_nEditDialogWidth == m_nLastCx && m_pConfig->m_nEditDialogHeight == m_nLastCy)) {
        LoadIconSet(m_strIconSet);
    } else {
        // Never larger than the work area of the dialog's monitor, and kept whole on it around
        // its centre, so that OK and Cancel stay within reach whatever "config.ini" says.
        RECT window = {};
        ::GetWindowRect(m_hWnd, &window);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& area = monitor.rcWork;
        const LONG width = std::min<LONG>(window.right - window.left + stored.cx - m_nLastCx, area.right - area.left);
        const LONG height = std::min<LONG>(window.bottom - window.top + stored.cy - m_nLastCy, area.bottom - area.top);
        const LONG left = std::clamp<LONG>((window.left + window.right - width) / 2, area.left, area.right - width);
        const LONG top = std::clamp<LONG>((window.top + window.bottom - height) / 2, area.top, area.bottom - height);
        ::SetWindowPos(m_hWnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        // Also when that size is the template's own, which sends no WM_SIZE.
        SetTimer(kTimerSaveSize, kSaveSizeDelayMs);
    }
    return TRUE;
}

void CSetBoxDlg::ResetImageList()
{
    // The list shares the image list (LVS_SHAREIMAGELISTS): this object alone destroys it.
    m_imageList.DeleteImageList();
    m_imageList.Create(kIconSize, kIconSize, ILC_COLOR32, kImageListInitial, kImageListGrow);
    m_listIcons.SetImageList(&m_imageList, LVSIL_NORMAL);
    m_listIcons.SetBkColor(m_color);
}

void CSetBoxDlg::LoadIconSet(const CString& setName)
{
    m_listIcons.DeleteAllItems();
    ResetImageList();
    // No set (the icons folder has no sub-folder): an empty list, so OK gives no icon.
    if (setName.IsEmpty())
        return;

    const CString folder = SetFolder(setName);
    int index = 0;
    CFileFind icons;
    BOOL more = icons.FindFile(folder + L"\\*.*");
    while (more) {
        more = icons.FindNextFile();
        if (!icons.IsDots() && AddIcon(index, FormatString(L"%s\\%s", folder.GetString(), icons.GetFileName().GetString())))
            ++index;
    }

    for (int i = 0; i < m_listIcons.GetItemCount(); ++i) {
        if (setName + L"\\" + m_listIcons.GetItemText(i, 0) == m_strIcon) {
            m_listIcons.SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            m_listIcons.EnsureVisible(i, FALSE);
            break;
        }
    }
}

BOOL CSetBoxDlg::AddIcon(int index, const CString& path)
{
    try {
        ScopedGdipImage image;
        UINT width = 0;
        UINT height = 0;
        if (!LoadPng(path, image, width, height))
            return FALSE;

        ScopedBitmap bitmap;
        if (width == kIconSize && height == kIconSize) {
            bitmap.reset(ToAlphaBitmap(image.get(), kIconSize));
            if (!bitmap.get())
                return FALSE;
        } else if (width == kSmallIconSize && height == kSmallIconSize) {
            ScopedGdipImage thumbnail;
            if (Gdiplus::DllExports::GdipGetImageThumbnail(image.get(), kIconSize, kIconSize, thumbnail.put(), nullptr,
                                                           nullptr) != Gdiplus::Ok ||
                !thumbnail.get()) {
                Log(kLogWarn, (CString(L"GetThumbnailImage failed: ") + path).GetString());
                return FALSE;
            }
            if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(static_cast<Gdiplus::GpBitmap*>(thumbnail.get()),
                                                                 bitmap.put(), kThumbnailBackground) != Gdiplus::Ok ||
                !bitmap.get()) {
                Log(kLogWarn, (CString(L"GetHBITMAP failed: ") + path).GetString());
                return FALSE;
            }
        } else {
            LogValue(kLogWarn, L"wroing icon size", static_cast<long>(width));
            return FALSE;
        }

        const int image32 = ImageList_AddMasked(m_imageList.GetSafeHandle(), bitmap.get(), RGB(255, 255, 255));
        if (image32 < 0)
            return FALSE;
        return m_listIcons.InsertItem(index, ExtractFileName(path).GetString(), image32) >= 0;
    } catch (...) {
        Log(kLogWarn, L"AddIcon exception");
        return FALSE;
    }
}

void CSetBoxDlg::UpdateDropHint()
{
    ::ShowWindow(m_staticDropHint.m_hWnd, m_strIconSet == kMyIcons ? SW_SHOW : SW_HIDE);
}

void CSetBoxDlg::OnSelChangeIconSet()
{
    CString name;
    const int selected = m_comboIconSet.GetCurSel();
    if (selected >= 0)
        m_comboIconSet.GetLBText(selected, name);
    LoadIconSet(name);
    m_strIconSet = name;
    UpdateDropHint();
}

UINT CSetBoxDlg::OnIconFileDropped(CFileDropListCtrl*, CString& path, UINT&)
{
    if (g_pSetBoxDlg)
        g_pSetBoxDlg->AddDroppedIcon(path);
    return 0;
}

void CSetBoxDlg::AddDroppedIcon(const CString& path)
{
    if (!(m_strIconSet == kMyIcons)) {
        ShowWarningMessage(IDS_SELECT_MY_ICONS_FIRST);
        return;
    }
    const CString name = ExtractFileName(path);
    const CString target = FormatString(L"%s\\%s", SetFolder(kMyIcons).GetString(), name.GetString());
    {
        ScopedGdipImage image;
        UINT width = 0;
        UINT height = 0;
        if (!LoadPng(path, image, width, height)) {
            ShowWarningMessage(IDS_CANT_LOAD_ICON_FILE);
            return;
        }
        const bool usable = (width == kIconSize && height == kIconSize) ||
                            (width == kSmallIconSize && height == kSmallIconSize);
        if (!usable) {
            ShowWarningMessage(IDS_ICON_FORMATS);
            return;
        }
    }
    // A failed copy would otherwise show an older file of that name, or nothing at all.
    if (!::CopyFileW(path.GetString(), target.GetString(), FALSE)) {
        LogValue(kLogWarn, (CString(L"icon copy failed: ") + name).GetString(), static_cast<long>(::GetLastError()));
        return;
    }
    // A picture dropped again replaces its entry instead of showing twice.
    for (int i = m_listIcons.GetItemCount() - 1; i >= 0; --i) {
        if (m_listIcons.GetItemText(i, 0) == name)
            m_listIcons.DeleteItem(i);
    }
    AddIcon(m_listIcons.GetItemCount(), target);
}

LRESULT CSetBoxDlg::OnColorCloseUp(WPARAM, LPARAM)
{
    const COLORREF colour = m_btnColor.GetColor();
    // The "Auto" choice has no colour of its own: the box takes it as black.
    m_color = colour == COLOR_AUTOMATIC ? RGB(0, 0, 0) : colour;
    m_listIcons.SetBkColor(m_color);
    ::InvalidateRect(m_listIcons.m_hWnd, nullptr, TRUE);
    return 1;
}

void CSetBoxDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CString set;
    const int selectedSet = m_comboIconSet.GetCurSel();
    if (selectedSet >= 0)
        m_comboIconSet.GetLBText(selectedSet, set);
    const int selected = m_listIcons.GetNextItem(-1, LVNI_SELECTED);
    if (selected >= 0)
        m_strIcon = set + L"\\" + m_listIcons.GetItemText(selected, 0);
    else
        m_strIcon.Empty();
    EndDialog(IDOK);
}

void CSetBoxDlg::OnDblClkIconList(NMHDR*, LRESULT* result)
{
    OnOK();
    *result = 0;
}

void CSetBoxDlg::MoveControl(int id, int dLeft, int dTop, int dRight, int dBottom)
{
    const HWND control = GetDlgItem(id);
    if (!control)
        return;
    RECT r = {};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(control, nullptr, r.left + dLeft, r.top + dTop, r.right - r.left + dRight - dLeft,
                   r.bottom - r.top + dBottom - dTop, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSetBoxDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    // A minimised dialog has no client size to lay out or keep.
    if (!m_bInitialised || type == SIZE_MINIMIZED)
        return;
    const int dx = cx - m_nLastCx;
    const int dy = cy - m_nLastCy;
    MoveControl(IDC_SETBOX_ICON_LIST, 0, 0, dx, dy);
    MoveControl(IDC_SETBOX_COLOR, dx, 0, dx, 0);
    MoveControl(IDC_SETBOX_BACKGROUND_LABEL, dx, 0, dx, 0);
    MoveControl(IDC_SETBOX_DROP_HINT, 0, dy, 0, dy);
    MoveControl(IDOK, dx, dy, dx, dy);
    MoveControl(IDCANCEL, dx, dy, dx, dy);
    m_nLastCx = cx;
    m_nLastCy = cy;
    KillTimer(kTimerSaveSize);
    SetTimer(kTimerSaveSize, kSaveSizeDelayMs);
}

LRESULT CSetBoxDlg::OnGetMinMaxInfo(WPARAM, LPARAM info)
{
    // Asked before the dialog knows its template's size too: the system's limits then.
    if (m_minWindow.cx > 0) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(info);
        limits->ptMinTrackSize.x = m_minWindow.cx;
        limits->ptMinTrackSize.y = m_minWindow.cy;
    }
    return 0;
}

void CSetBoxDlg::OnSaveSizeTimer()
{
    KillTimer(kTimerSaveSize);
    // Reloaded at the new size; the selection returns to the box's current icon.
    OnSelChangeIconSet();
    if (m_pConfig) {
        m_pConfig->m_nEditDialogWidth = m_nLastCx;
        m_pConfig->m_nEditDialogHeight = m_nLastCy;
        m_pConfig->Save();
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CSetBoxDlg::OnDestroy()
{
    CDialog::OnDestroy();
    g_bBoxDialogOpen = 0;
}
