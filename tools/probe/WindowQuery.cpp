#include "tools/probe/WindowQuery.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "res/StringIds.h"
#include "sim/window/SimulatorWindowProtocol.h"
#include "tools/probe/RemoteMemory.h"

namespace probe {

namespace {

// Longest cell, pane or item text read back; the panel's texts are far shorter.
constexpr size_t kTextCapacity = 1024;

struct Search {
    const WindowKey* key;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!search->key->className.empty() && ClassOf(window) != search->key->className) return TRUE;
    if (!search->key->title.empty() && TextOf(window) != search->key->title) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

struct ChildSearch {
    int controlId;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindChildWithId(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (::GetDlgCtrlID(window) != search->controlId) return TRUE;
    if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

struct TextSearch {
    const std::string* className;
    const std::string* text;
    HWND found;
};

BOOL CALLBACK FindChildText(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (!search->className->empty() &&
        _stricmp(ClassOf(window).c_str(), search->className->c_str()) != 0)
        return TRUE;
    if (TextOf(window) != *search->text) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindChildOfClass(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (ClassOf(window) != *search->className) return TRUE;
    search->found = window;
    return FALSE;
}

std::string ListCell(HWND list, RemoteMemory& memory, int row, int column) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = static_cast<char*>(memory.At(sizeof item));
    item.cchTextMax = static_cast<int>(kTextCapacity);
    const char empty = '\0';
    if (!memory.Write(0, &item, sizeof item) || !memory.Write(sizeof item, &empty, 1))
        return std::string();
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), memory.Param());
    return memory.ReadText(sizeof item);
}

}  // namespace

WindowKey PanelKey() {
    return WindowKey{vesk::LookupString(vesk::IDS_WINDOW_TITLE), ""};
}

WindowKey SimulatorKey() {
    return WindowKey{"", sim::kSimulatorWindowClass};
}

std::vector<HWND> FindAllTopLevel(const WindowKey& key) {
    Search search{&key, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevel(const WindowKey& key) {
    const std::vector<HWND> all = FindAllTopLevel(key);
    return all.empty() ? nullptr : all.front();
}

std::string TextOf(HWND window) {
    char text[kTextCapacity] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

WindowState StateOf(HWND window) {
    WindowState state;
    if (window == nullptr || !::IsWindow(window)) return state;
    state.exists = true;
    state.visible = ::IsWindowVisible(window) != FALSE;
    state.iconic = ::IsIconic(window) != FALSE;
    HWND foreground = ::GetForegroundWindow();
    state.foreground = foreground != nullptr &&
                       (foreground == window || ::GetAncestor(foreground, GA_ROOTOWNER) == window);
    state.style = static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE));
    state.exStyle = static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE));
    ::GetWindowRect(window, &state.rect);
    ::GetWindowThreadProcessId(window, &state.processId);
    state.title = TextOf(window);
    state.className = ClassOf(window);
    return state;
}

std::string Describe(const WindowState& state) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "exists=%d visible=%d iconic=%d foreground=%d style=0x%08lx exstyle=0x%08lx "
                  "rect=%ld,%ld,%ld,%ld pid=%lu",
                  state.exists, state.visible, state.iconic, state.foreground,
                  static_cast<unsigned long>(state.style),
                  static_cast<unsigned long>(state.exStyle), state.rect.left, state.rect.top,
                  state.rect.right - state.rect.left, state.rect.bottom - state.rect.top,
                  static_cast<unsigned long>(state.processId));
    return line;
}

HWND FindControl(HWND top, int controlId) {
    for (bool visibleOnly : {true, false}) {
        ChildSearch search{controlId, visibleOnly, nullptr};
        ::EnumChildWindows(top, FindChildWithId, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
    }
    return nullptr;
}

HWND FindChildWithText(HWND top, const std::string& className, const std::string& text) {
    TextSearch search{&className, &text, nullptr};
    ::EnumChildWindows(top, FindChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendantOfClass(HWND top, const char* className) {
    const std::string name = className;
    TextSearch search{&name, nullptr, nullptr};
    ::EnumChildWindows(top, FindChildOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::string> StatusPaneTexts(HWND frameOrStatusBar) {
    HWND bar = frameOrStatusBar;
    if (ClassOf(bar) != STATUSCLASSNAMEA) bar = FindDescendantOfClass(bar, STATUSCLASSNAMEA);
    std::vector<std::string> panes;
    if (bar == nullptr) return panes;
    const int count = static_cast<int>(::SendMessageA(bar, SB_GETPARTS, 0, 0));
    RemoteMemory memory(bar, kTextCapacity);
    if (!memory.Valid()) return panes;
    for (int pane = 0; pane < count; ++pane) {
        const LRESULT length = ::SendMessageA(bar, SB_GETTEXTLENGTHA, pane, 0);
        if (LOWORD(length) >= kTextCapacity) {
            panes.push_back(std::string());
            continue;
        }
        const char empty = '\0';
        memory.Write(0, &empty, 1);
        ::SendMessageA(bar, SB_GETTEXTA, pane, memory.Param());
        panes.push_back(memory.ReadText(0));
    }
    return panes;
}

std::vector<TreeItem> TreeItems(HWND tree) {
    std::vector<TreeItem> items;
    RemoteMemory memory(tree, sizeof(TVITEMA) + kTextCapacity);
    if (!memory.Valid()) return items;
    auto next = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (next != nullptr) {
        TVITEMA item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = next;
        item.pszText = static_cast<char*>(memory.At(sizeof item));
        item.cchTextMax = static_cast<int>(kTextCapacity);
        const char empty = '\0';
        std::string text;
        if (memory.Write(0, &item, sizeof item) && memory.Write(sizeof item, &empty, 1) &&
            ::SendMessageA(tree, TVM_GETITEMA, 0, memory.Param()))
            text = memory.ReadText(sizeof item);
        items.push_back(TreeItem{next, text});
        next = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(next)));
    }
    return items;
}

std::string TreeSelectedText(HWND tree) {
    const auto selected =
        reinterpret_cast<HANDLE>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (selected == nullptr) return std::string();
    for (const TreeItem& item : TreeItems(tree))
        if (item.item == selected) return item.text;
    return std::string();
}

bool SelectTreeItemAt(HWND tree, size_t index) {
    const std::vector<TreeItem> items = TreeItems(tree);
    if (index >= items.size()) return false;
    return ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET,
                          reinterpret_cast<LPARAM>(items[index].item)) != FALSE;
}

std::vector<std::vector<std::string>> ListRows(HWND list) {
    std::vector<std::vector<std::string>> rows;
    auto header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    int columns = header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    if (columns < 1) columns = 1;
    const bool checkBoxes =
        (::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
    RemoteMemory memory(list, sizeof(LVITEMA) + kTextCapacity);
    if (!memory.Valid()) return rows;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        if (checkBoxes) {
            // State image 2 is the checked box, 1 the empty one.
            const auto state =
                static_cast<UINT>(::SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
            cells.push_back(((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? "[x]" : "[ ]");
        }
        for (int column = 0; column < columns; ++column)
            cells.push_back(ListCell(list, memory, row, column));
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> ComboItems(HWND combo) {
    // The combo box is a system control: the system carries its texts across processes.
    std::vector<std::string> items;
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
        if (length < 0 || static_cast<size_t>(length) >= kTextCapacity) {
            items.push_back(std::string());
            continue;
        }
        char text[kTextCapacity] = "";
        ::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND combo) {
    return static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

HWND FindOpenMenu() {
    for (HWND menu : FindAllTopLevel(WindowKey{"", "#32768"}))
        if (::IsWindowVisible(menu)) return menu;
    return nullptr;
}

}  // namespace probe
