// Message maps: each class lists the messages, commands and notifications it handles, and the
// search walks from the most derived class's map to the root. A map reads like this:
//
//   BEGIN_MESSAGE_MAP(CMyPage, CDialogPage)
//       ON_BN_CLICKED(IDC_APPLY, &CMyPage::OnApply)
//       ON_NOTIFY(LVN_ITEMCHANGED, IDC_LIST, &CMyPage::OnItemChanged)
//       ON_WM_TIMER()
//   END_MESSAGE_MAP()
//
// Handlers are named as pointers to members. The entries are small thunks created inside the
// class's own member function, so private handlers are reachable.
#pragma once

#include "framework/Win32.h"

class CCmdTarget;
class CWnd;
using CScrollBar = CWnd;

struct MessageMapEntry {
    UINT message;  // window message; WM_COMMAND and WM_NOTIFY carry a code and an id
    UINT code;     // command or notification code (0 for menu commands and plain messages)
    UINT firstId;
    UINT lastId;
    // Runs the handler; `result` receives the message's result.
    void (*handler)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;  // ends with an entry whose handler is null
};

// Finds the entry for a message (code and id 0) or for a command or notification.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, UINT code, UINT id);

#define DECLARE_MESSAGE_MAP()                     \
  protected:                                      \
    static const MessageMap* GetThisMessageMap(); \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                             \
    const MessageMap* theClass::GetMessageMap() const {                                    \
        return GetThisMessageMap();                                                        \
    }                                                                                      \
    const MessageMap* theClass::GetThisMessageMap() {                                      \
        using ThisClass = theClass;                                                        \
        using TheBaseClass = baseClass;                                                    \
        static_assert(sizeof(ThisClass) > 0, "an empty map names its class all the same"); \
        static const MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                      \
    { 0, 0, 0, 0, nullptr }                                                    \
    }                                                                          \
    ;                                                                          \
    static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                               \
    }

#define VESK_THUNK(body)                                                        \
    [](CCmdTarget* target_, WPARAM wParam_, LPARAM lParam_, LRESULT* result_) { \
        ThisClass* self_ = static_cast<ThisClass*>(target_);                    \
        (void)self_;                                                            \
        (void)wParam_;                                                          \
        (void)lParam_;                                                          \
        (void)result_;                                                          \
        body;                                                                   \
    }

// Commands (menus, accelerators, buttons) and control notifications sent as WM_COMMAND.
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), (id), VESK_THUNK((self_->*(memberFxn))())},
#define ON_COMMAND_RANGE(firstId, lastId, memberFxn) \
    {WM_COMMAND, 0, (firstId), (lastId), VESK_THUNK((self_->*(memberFxn))(LOWORD(wParam_)))},
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, (code), (id), (id), VESK_THUNK((self_->*(memberFxn))())},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// Notifications sent as WM_NOTIFY: void handler(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn)               \
    {WM_NOTIFY, static_cast<UINT>(code), (id), (id), \
     VESK_THUNK((self_->*(memberFxn))(reinterpret_cast<NMHDR*>(lParam_), result_))},

// Any message: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) \
    {(message), 0, 0, 0, VESK_THUNK(*result_ = (self_->*(memberFxn))(wParam_, lParam_))},

// Window messages with their usual handler names and arguments.
#define ON_WM_CREATE()   \
    {WM_CREATE, 0, 0, 0, \
     VESK_THUNK(*result_ = self_->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam_)))},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, VESK_THUNK(self_->OnDestroy())},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, VESK_THUNK(self_->OnClose())},
#define ON_WM_SIZE()   \
    {WM_SIZE, 0, 0, 0, \
     VESK_THUNK(self_->OnSize(static_cast<UINT>(wParam_), LOWORD(lParam_), HIWORD(lParam_)))},
#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, 0, VESK_THUNK(self_->OnTimer(static_cast<UINT_PTR>(wParam_)))},
#define ON_WM_SHOWWINDOW()   \
    {WM_SHOWWINDOW, 0, 0, 0, \
     VESK_THUNK(self_->OnShowWindow(static_cast<BOOL>(wParam_), static_cast<UINT>(lParam_)))},
#define ON_WM_HSCROLL()                                            \
    {WM_HSCROLL, 0, 0, 0,                                          \
     VESK_THUNK(self_->OnHScroll(LOWORD(wParam_), HIWORD(wParam_), \
                                 CWnd::FromHandle(reinterpret_cast<HWND>(lParam_))))},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, 0, VESK_THUNK(self_->OnSysCommand(static_cast<UINT>(wParam_), lParam_))},
#define ON_WM_DEVICECHANGE()                                                 \
    {WM_DEVICECHANGE, 0, 0, 0,                                               \
     VESK_THUNK(*result_ = self_->OnDeviceChange(static_cast<UINT>(wParam_), \
                                                 static_cast<DWORD_PTR>(lParam_)))},
#define ON_WM_SETFOCUS()   \
    {WM_SETFOCUS, 0, 0, 0, \
     VESK_THUNK(self_->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam_))))},
#define ON_WM_ACTIVATE()                                                             \
    {WM_ACTIVATE, 0, 0, 0,                                                           \
     VESK_THUNK(self_->OnActivate(LOWORD(wParam_),                                   \
                                  CWnd::FromHandle(reinterpret_cast<HWND>(lParam_)), \
                                  static_cast<BOOL>(HIWORD(wParam_))))},
#define ON_WM_MENUSELECT()                                            \
    {WM_MENUSELECT, 0, 0, 0,                                          \
     VESK_THUNK(self_->OnMenuSelect(LOWORD(wParam_), HIWORD(wParam_), \
                                    reinterpret_cast<HMENU>(lParam_)))},
