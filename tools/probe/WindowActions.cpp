#include "tools/probe/WindowActions.h"

#include <commctrl.h>
#include <shellapi.h>

#include "tools/probe/RemoteMemory.h"
#include "tools/probe/WindowQuery.h"

namespace probe {

namespace {
constexpr DWORD kPollIntervalMs = 20;
}  // namespace

bool PostCommand(HWND window, UINT commandId) {
    return ::PostMessageA(window, WM_COMMAND, commandId, 0) != FALSE;
}

bool PostSysCommand(HWND window, UINT systemCommand) {
    return ::PostMessageA(window, WM_SYSCOMMAND, systemCommand, 0) != FALSE;
}

bool PostTrayNotify(HWND frame, UINT mouseMessage, UINT iconId) {
    return ::PostMessageA(frame, kTrayNotifyMessage, iconId, mouseMessage) != FALSE;
}

bool TrayIconPresent(HWND frame, UINT iconId) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = frame;
    data.uID = iconId;
    data.uFlags = 0;  // changes nothing; the shell still says whether it knows the icon
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool RemoveTrayIcon(HWND frame, UINT iconId) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = frame;
    data.uID = iconId;
    return ::Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

bool BroadcastTaskbarCreated() {
    const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message != 0 && ::PostMessageA(HWND_BROADCAST, message, 0, 0) != FALSE;
}

bool PressButton(HWND top, int controlId) {
    return ClickButton(FindControl(top, controlId));
}

bool ClickButton(HWND button) {
    if (button == nullptr || !::IsWindowEnabled(button)) return false;
    return ::PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

bool ChooseComboItem(HWND combo, int index) {
    if (::SendMessageA(combo, CB_SETCURSEL, index, 0) != index) return false;
    HWND parent = ::GetParent(combo);
    if (parent == nullptr) return false;
    const WPARAM selectionChanged =
        MAKEWPARAM(static_cast<WORD>(::GetDlgCtrlID(combo)), CBN_SELCHANGE);
    ::SendMessageA(parent, WM_COMMAND, selectionChanged, reinterpret_cast<LPARAM>(combo));
    return true;
}

bool MoveSlider(HWND slider, int position) {
    HWND parent = ::GetParent(slider);
    if (parent == nullptr) return false;
    ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
    const LPARAM from = reinterpret_cast<LPARAM>(slider);
    ::SendMessageA(parent, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), from);
    ::SendMessageA(parent, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), from);
    return ::SendMessageA(slider, TBM_GETPOS, 0, 0) == position;
}

bool SelectListRow(HWND list, int row) {
    if (row < 0 || row >= static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)))
        return false;
    RemoteMemory memory(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    if (!memory.Write(0, &item, sizeof item)) return false;
    return ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), memory.Param()) != 0;
}

bool SetControlText(HWND control, const char* text) {
    // The system carries WM_SETTEXT's text across processes. The edit field then tells its
    // dialog, as it does for typed text.
    return ::SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != FALSE;
}

bool TypeIntoMenu(HWND menuOwner, UINT virtualKey) {
    // The menu loop reads the keyboard from its thread's queue, whichever window it names.
    return ::PostMessageA(menuOwner, WM_KEYDOWN, virtualKey, 0) &&
           ::PostMessageA(menuOwner, WM_KEYUP, virtualKey, 0xC0000000);
}

void RaiseWindow(HWND window) {
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeLimitMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) return true;
        if (::GetTickCount() - start >= timeLimitMs) return done();
        ::Sleep(kPollIntervalMs);
    }
}

}  // namespace probe
