// One box on the desktop: a layered window showing the box's icon image in its icon cell
// and the box name beside it, drawn with the shared style. The box follows the mouse
// (hover, move, widen, click, double click), shows its context menu, answers its hot key
// and registers files dropped on it; every change it makes to its record is reported to
// the manager window as a box event.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <shellapi.h>
#include <uxtheme.h>  // MARGINS

#include <memory>

#include "core/ProcessFlags.h"
#include "core/WindowMessages.h"  // WM_BOXMSG, WM_FILEWNDMSG and the FILEWND_ codes
#include "framework/CString.h"
#include "text_effects/CEffectText.h"
#include "windows/BoxGeometry.h"  // the move and size strips
#include "windows/CPopupNoticeWnd.h"
#include "windows/CVornWndBase.h"

namespace Model {
class CConfigInfo;
class CTarneloInfo;
class CTarneloStyleInfo;
class CTextStyle;
}  // namespace Model

class CFileListWnd;

// ---- Messages ----------------------------------------------------------------------------
// Box event codes (wParam of WM_BOXMSG).
inline constexpr WPARAM BOXEVENT_UPDATE_BOX_INFO = 0;         // lParam 0: a record changed
// AddBox, DeleteBox and EditBox name their box by its request id (CTarneloWnd::RequestId).
inline constexpr WPARAM BOXEVENT_ADD_BOX = 1;                 // lParam: the issuing box
inline constexpr WPARAM BOXEVENT_DELETE_BOX = 2;              // lParam: the box
inline constexpr WPARAM BOXEVENT_EDIT_BOX = 3;                // lParam: the box
inline constexpr WPARAM BOXEVENT_UPDATE_STYLE = 4;            // lParam 1 preview, 0 final
inline constexpr WPARAM BOXEVENT_RESTORE_STYLE = 5;           // lParam 0
inline constexpr WPARAM BOXEVENT_UPDATE_CONFIG = 6;           // lParam 0
inline constexpr WPARAM BOXEVENT_UPDATE_HOT_KEY = 7;          // lParam 0
inline constexpr WPARAM BOXEVENT_UPDATE_HORIZONTAL_SIZE = 8;  // lParam: the new box width
inline constexpr WPARAM BOXEVENT_ALIGN_WINDOW = 9;            // lParam 0
inline constexpr WPARAM BOXEVENT_KEY = 10;                    // lParam: the virtual key
inline constexpr WPARAM BOXEVENT_HOT_KEY_SELECTION = 11;      // lParam 0
inline constexpr WPARAM BOXEVENT_ENTIRELY_MOVE = 12;          // sent, not posted; lParam unused
inline constexpr WPARAM BOXEVENT_EXIT_APP = 13;               // lParam 0
inline constexpr WPARAM BOXEVENT_LAST = BOXEVENT_EXIT_APP;

class CTarneloWnd : public CVornWndBase
{
public:
    // Timer ids of the box window.
    static constexpr UINT_PTR kTimerHoverCheck = 1;     // 1000 ms: hover ends when the cursor left
    static constexpr UINT_PTR kTimerButtonCheck = 2;    // 100 ms: hover follows a held button
    static constexpr UINT_PTR kTimerDelayedClick = 3;   // 80 ms: a click not cancelled by a double click
    static constexpr UINT_PTR kTimerCommandPending = 4; // 100 ms: the command-pending flag
    static constexpr UINT_PTR kTimerListClose = 5;      // 100 ms: a list close that had to wait
    static constexpr UINT kHoverCheckMs = 1000;
    static constexpr UINT kButtonCheckMs = 100;
    static constexpr UINT kDelayedClickMs = 80;
    static constexpr UINT kCommandPendingMs = 100;
    static constexpr UINT kListCloseMs = 100;
    // The box's one system-wide hot key.
    static constexpr int kHotKeyId = 1;

    CTarneloWnd();
    ~CTarneloWnd() override;

    // Creates the window at the record's position, sized by the style; registers the
    // record's hot key (unless its key is 0), accepts dropped files and starts the hover
    // timers. FALSE when the window cannot be made (then nothing else is set up).
    BOOL Create(Model::CTarneloInfo* pInfo, CWnd* pManager, UINT nBoxMsg, Model::CTarneloStyleInfo* pStyle,
                Model::CConfigInfo* pConfig, BOOL bShowInTaskSwitcher);
    // Applies the style to the title renderer and reloads the icon image.
    void SetStyle(Model::CTarneloStyleInfo* pStyle);

    // Geometry set by the manager: no redraw is posted, nothing is saved.
    void ResizeBox(int width, int height);
    // Moves the window and stores the position in the record.
    void MoveBoxTo(int x, int y);

    // Keyboard selection: puts the cursor on the box and hovers it.
    void Select();
    void Deselect();
    void SetHighlight(BOOL bHighlight);

    // Busy while a dialog, a menu or a file list is open, or a command of this box is
    // pending: the box then ignores the mouse, its menu and its hover timers.
    BOOL IsBusy() const;
    // TRUE while a handler of the box or of its file list runs a loop (a menu, a dialog, a
    // message box, a drag, a shell call): the box must not be deleted before it has returned.
    BOOL IsRunningLoop() const;

    // Opens the box's file list (nothing when a list or the edit-box dialog is open or the
    // box has no items). Items whose shortcuts are still to be read are read first.
    void OpenFileList(BOOL bMoveCursor);
    // Whether the box's file list is open, and showing the icons whose keys came meanwhile.
    BOOL HasFileList() const { return m_pFileList != nullptr; }
    void RefreshFileListIcons();
    // Opens item index (0-based) of the box with the shell.
    void ExecuteItem(int index);
    // Registers the record's hot key again (after the options changed). A key of 0 only
    // unregisters. FALSE when the key could not be registered (logged).
    BOOL ReRegisterHotKey();

    // The box menu; also shown by the manager for the first box from the tray icon.
    void OnRButtonUp(UINT flags, POINT point);

    Model::CTarneloInfo* GetInfo() const { return m_pInfo; }
    // How the box's events name it: a number no other box window of this run has, so that a
    // request still queued when its box has gone (the wizard rebuilds every box, often at the
    // same addresses) finds no box rather than another one.
    LPARAM RequestId() const { return m_requestId; }
    // A copy of the box name (empty without a record).
    CString GetName() const;

    // The box window's own drawing into the back buffer.
    void OnCustomDraw(Gdiplus::Graphics* pGraphics) override;

    // Rounded rectangles: a path of four arcs of size min(w, h, d), and a fill with an
    // outline of the same path.
    static void AddRoundRectPath(Gdiplus::GraphicsPath* pPath, int x, int y, int w, int h, int d);
    static void DrawRoundRect(Gdiplus::Graphics* pGraphics, Gdiplus::Brush* pBrush, int x, int y, int w, int h,
                              int radius, Gdiplus::Color color);
    static void FillRoundRect(Gdiplus::Graphics* pGraphics, int x, int y, int w, int h, Gdiplus::Color color,
                              int radius);

    // ---- Seams for tests ----------------------------------------------------------------
    // Shows the box menu and returns the chosen command id (0 for none).
    using TrackMenuFn = UINT (*)(HMENU menu, HWND owner, POINT at);
    // The tick count that tells a move from a click.
    using TickFn = DWORD (*)();
    // Opens an item or the help page.
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    // Null restores the real behaviour.
    static void SetTrackMenuHook(TrackMenuFn fn);
    static void SetTickHook(TickFn fn);
    static void SetShellExecuteHook(ShellExecuteFn fn);

    // The box's state. Public because the manager reads m_bHover, m_bMoving and m_pInfo,
    // and the tests drive the rest. The record, settings and style are not owned; the icon
    // image, the file list and the notice popup are.
    BOOL m_bMoving = FALSE;
    BOOL m_bSizing = FALSE;
    // A left press this box received lasts (until its release or the loss of the mouse): only
    // then may a move or a resize start.
    BOOL m_bPressed = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bKeyboardMode = FALSE;
    BOOL m_bHighlight = FALSE;
    UINT m_nBoxMsg = 0;
    DWORD m_dwPressTick = 0;
    POINT m_ptPress = {};
    Model::CTarneloInfo* m_pInfo = nullptr;
    Model::CConfigInfo* m_pConfig = nullptr;
    Model::CTarneloStyleInfo* m_pStyle = nullptr;
    CEffectText m_titleText;
    std::unique_ptr<Gdiplus::Image> m_pIconImage;
    std::unique_ptr<CFileListWnd> m_pFileList;
    CPopupNoticeWnd m_noticeWnd;
    BOOL m_bCommandPending = FALSE;

protected:
    int OnCreate(LPCREATESTRUCTW createStruct);
    void OnMouseMove(UINT flags, POINT point);
    LRESULT OnRButtonUpMsg(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    LRESULT OnCaptureChangedMsg(WPARAM wParam, LPARAM lParam);
    void OnDropFiles(HDROP hDrop);
    // The timers, one handler each (ids above).
    void OnHoverCheckTimer();
    void OnButtonCheckTimer();
    void OnDelayedClickTimer();
    void OnCommandPendingTimer();
    void OnListCloseTimer();
    void OnActivate(UINT state, HWND other, BOOL minimized);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnHotKey(UINT id, UINT modifiers, UINT key);
    LRESULT OnDisplayChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnRedrawMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnFileWndMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnNoticeMsg(WPARAM wParam, LPARAM lParam);

    // Menu commands.
    void OnNewBox();
    void OnEditBox();
    void OnDeleteBox();
    void OnRegisterFromStartMenu();
    void OnRegisterFromProgramFiles();
    void OnFixPosition();
    void OnEntirelyMove();
    void OnAlignBoxes();
    void OnStyle();
    void OnOptions();
    void OnHelp();
    void OnVersion();
    void OnExit();

    DECLARE_MESSAGE_MAP()

private:
    const LPARAM m_requestId;
    void PostBoxEvent(WPARAM code, LPARAM value);
    void PostRedraw();
    // Hover, move and resize from a mouse move at a client point (no default processing).
    void HandleMouseMove(UINT flags, POINT point);
    // Ends a press as a click when the box is hovered and the point lies on it.
    void OnClick(POINT screenPoint);
    // A left press at a client point: it counts when it lies on the box.
    void TakePress(POINT point);
    // The press is over without a release here: a move or a resize under way ends where the
    // box is shown, and is kept.
    void EndPress();
    // The record takes the place the window is shown at; a change is saved.
    void KeepShownPlace();
    // Moves the box under the cursor while the left button is held.
    void DragTo(POINT screenPoint);
    // Moves the box, and every box with it in entire move mode, to keep the pressed point
    // under screenPoint.
    void MoveUnderCursor(POINT screenPoint);
    void ResizeTo(POINT screenPoint);
    // The open file list's window goes (its object stays until its close request), and the
    // object itself.
    void DestroyFileListWindow();
    void DeleteFileList();
    // Registers one program chosen in a file dialog starting at folder.
    void RegisterProgram(const CString& folder);
    // Registers the file at path; one that is not registered adds a line "name: reason" to
    // failures, which TellNotRegistered then tells in one message.
    BOOL RegisterFile(const CString& path, BOOL bMove, CString& failures);
    static void TellNotRegistered(const CString& failures);
    // The notice popup under the title, with the text of textId.
    void ShowNotice(UINT textId, int fullTicks);
    // TRUE, with a notice that says why, when the box takes no files: it stands in for a box
    // file that could not be read, whose boxes' files its folder may hold.
    BOOL RefuseFiles();
    void DrawIcon(Gdiplus::Graphics* pGraphics);
    // Where a title goes: its cell in the box, and the margins kept free inside the cell.
    struct TitleCell
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        MARGINS margins = {};
    };
    void DrawTitle(Gdiplus::Graphics* pGraphics, const TitleCell& cell, const Model::CTextStyle& textStyle,
                   const CString& name);
    // Registers the record's hot key when its key is not 0; failures are logged.
    BOOL RegisterRecordHotKey();
    // The cursor position in screen coordinates.
    static POINT CursorPos();
    static DWORD Tick();
};
