// Acting on the panel's windows from another process the way the shell, the keyboard or a
// user would: commands, system commands, the icon's callback, buttons, combo boxes, menus,
// and bounded waits for a window state.
#pragma once

#include <windows.h>

#include <functional>

namespace probe {

// The panel's notification-area icon id and callback message, as the shell knows them.
constexpr UINT kTrayNotifyMessage = 0x8003;
constexpr UINT kTrayIconId = 0x42424242;

// Posts WM_COMMAND with this id (lParam 0), as a menu or an accelerator would.
bool PostCommand(HWND window, UINT commandId);
// Posts WM_SYSCOMMAND (SC_CLOSE, SC_MINIMIZE, ...), as the title bar would.
bool PostSysCommand(HWND window, UINT systemCommand);
// Posts the icon's callback message like the shell: wParam the icon id, lParam the mouse
// message. Posted, because the right button makes the frame track its menu.
bool PostTrayNotify(HWND frame, UINT mouseMessage, UINT iconId = kTrayIconId);
// Makes the shell drop the icon of this window and id, as a shell that ends does.
bool RemoveTrayIcon(HWND frame, UINT iconId = kTrayIconId);
// Tells every top-level window that a new shell has started ("TaskbarCreated").
bool BroadcastTaskbarCreated();
// Whether the shell holds an icon of this window and id (it answers a modification only for
// an icon it has).
bool TrayIconPresent(HWND frame, UINT iconId = kTrayIconId);

// Presses the button with this id among `top`'s descendants, a visible one first; false if it
// is missing or disabled. Posted, so that a modal loop it starts never blocks us.
bool PressButton(HWND top, int controlId);
bool ClickButton(HWND button);
// Selects item `index` of a drop-down list and tells its parent, as a user's choice would.
bool ChooseComboItem(HWND combo, int index);
// Moves a slider (trackbar) to `position` and tells its parent, as a drag that ends there does.
bool MoveSlider(HWND slider, int position);
// Selects and focuses row `row` of a list view, as a click would; the list tells its parent.
bool SelectListRow(HWND list, int row);
// Replaces the text of a control (an edit field), as typing would.
bool SetControlText(HWND control, const char* text);
// Types a key into the menu that the frame's thread is tracking (an item's mnemonic, or
// VK_ESCAPE to close it).
bool TypeIntoMenu(HWND menuOwner, UINT virtualKey);
// Brings a top-level window to the front of the others, without changing its visibility.
void RaiseWindow(HWND window);

// Polls `done` every few milliseconds until it holds or `timeLimitMs` has passed; returns
// whether it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeLimitMs);

}  // namespace probe
