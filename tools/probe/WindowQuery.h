// Reading the panel's windows from another process: finding top-level windows, their state,
// and the texts of status bars, trees, lists and combo boxes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace probe {

// How a window is named on the probe's command line and in tests.
struct WindowKey {
    std::string title;      // exact title; empty: any
    std::string className;  // exact class; empty: any
};
WindowKey PanelKey();      // the panel's main window, by its title
WindowKey SimulatorKey();  // the Driver Simulator window, by its class

// The first top-level window with this title and class, hidden ones included; null if none.
HWND FindTopLevel(const WindowKey& key);
// Every top-level window with this title and class.
std::vector<HWND> FindAllTopLevel(const WindowKey& key);

struct WindowState {
    bool exists = false;
    bool visible = false;
    bool iconic = false;
    bool foreground = false;  // the window or one of its pop-ups is the foreground window
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};
    DWORD processId = 0;
    std::string title;
    std::string className;
};
WindowState StateOf(HWND window);
// One line: exists=1 visible=1 iconic=0 foreground=1 style=0x... exstyle=0x... rect=x,y,w,h ...
std::string Describe(const WindowState& state);

std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// The descendant of `top` with this control id, a visible one first (pages share templates,
// so hidden pages hold controls with the same ids); null if there is none.
HWND FindControl(HWND top, int controlId);
// The first descendant of `top` of this class (any class if empty) showing exactly `text`.
HWND FindChildWithText(HWND top, const std::string& className, const std::string& text);
// The first descendant of `top` of this class, visible or not.
HWND FindDescendantOfClass(HWND top, const char* className);

// Pane texts of a status bar, or of the status bar inside a frame.
std::vector<std::string> StatusPaneTexts(HWND frameOrStatusBar);

// Tree views: every top-level item's text in order, and the caret selection's text.
struct TreeItem {
    HANDLE item;  // HTREEITEM of the target process
    std::string text;
};
std::vector<TreeItem> TreeItems(HWND tree);
std::string TreeSelectedText(HWND tree);
// Selects, as the caret selection, the item at this position of the top level (0 the first);
// false if there is none.
bool SelectTreeItemAt(HWND tree, size_t index);

// List views: rows of cell texts, as many columns as the header has; a check box's state
// comes first as "[x]" or "[ ]" in lists that have them.
std::vector<std::vector<std::string>> ListRows(HWND list);

// Combo boxes: item texts and the selected index (-1 for none).
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);

// The visible pop-up menu window (class "#32768"), null if no menu is open.
HWND FindOpenMenu();

}  // namespace probe
