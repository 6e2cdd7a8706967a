// The root of the objects that take messages through a message map: windows and the
// application object. A class's map lists the messages it handles; an object looks in its
// own class's map first, then in its base classes' maps.
#pragma once

#include <windows.h>

class CCmdTarget;

// One message-map entry: the message, for WM_COMMAND and WM_NOTIFY the notification code,
// the range of command, control or timer ids it takes, and the function that unpacks the
// parameters and calls the handler.
struct AfxMsgMapEntry
{
    UINT message;
    UINT code;
    UINT_PTR idFirst;
    UINT_PTR idLast;
    LRESULT (*handler)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

// A class's table and the way to its base class's table (null for the root).
struct AfxMsgMap
{
    const AfxMsgMap* (*base)();
    const AfxMsgMapEntry* entries;  // ends with an entry whose handler is null
};

class CCmdTarget
{
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Routes a menu or accelerator command (WM_COMMAND's parameters) to this object's map;
    // FALSE when no entry takes it.
    BOOL OnCmdMsg(WPARAM wParam, LPARAM lParam);

protected:
    // Calls the first entry that takes the message with this code and id; FALSE when none does.
    BOOL DispatchToMap(UINT message, UINT code, UINT_PTR id, WPARAM wParam, LPARAM lParam, LRESULT* result);

    static const AfxMsgMap* GetThisMessageMap();
    virtual const AfxMsgMap* GetMessageMap() const;
};

// ---- Message maps ------------------------------------------------------------------------
// In the class:   DECLARE_MESSAGE_MAP()
// In its source:  BEGIN_MESSAGE_MAP(CMyWnd, CWnd)  ON_WM_TIMER()  ON_MESSAGE(WM_USER, OnUser)
//                 END_MESSAGE_MAP()
// Handlers may be private: the table is built inside a member function of the class.
// The first matching entry wins, the class's own before its base's, so an ON_TIMER for one
// id goes before an ON_WM_TIMER that takes the rest.

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AfxMsgMap* GetThisMessageMap();       \
    const AfxMsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const AfxMsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AfxMsgMap* theClass::GetThisMessageMap()                                   \
    {                                                                                \
        using ThisClass [[maybe_unused]] = theClass;                                 \
        using TheBaseClass = baseClass;                                              \
        static const AfxMsgMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                      \
            { 0, 0, 0, 0, nullptr }                                            \
        };                                                                     \
        static const AfxMsgMap map = { &TheBaseClass::GetThisMessageMap, entries }; \
        return &map;                                                           \
    }

#define AFX_MSG_HANDLER(call) \
    [](CCmdTarget* afxTarget, [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam) -> LRESULT { \
        [[maybe_unused]] ThisClass* self = static_cast<ThisClass*>(afxTarget); call; }

#define AFX_ALL_IDS 0, static_cast<UINT_PTR>(-1)

// void fn(): a menu or accelerator command
#define ON_COMMAND(id, fn) \
    { WM_COMMAND, 0, id, id, AFX_MSG_HANDLER(self->fn(); return 0) },
// void fn(UINT id)
#define ON_COMMAND_RANGE(first, last, fn) \
    { WM_COMMAND, 0, first, last, AFX_MSG_HANDLER(self->fn(LOWORD(wParam)); return 0) },
