// Reads and drives the panel's windows from outside its process, for the end-to-end tests and
// the screenshot run. Every wait is bounded; exit 0 means the condition held.
//
//   vesk_probe wait-window TITLE [MS]        a visible or hidden top-level window with TITLE exists
//   vesk_probe wait-gone TITLE [MS]          no top-level window with TITLE exists
//   vesk_probe state TITLE                   prints "visible=V iconic=I foreground=F style=0x..."
//   vesk_probe pane TITLE INDEX              prints the status-bar pane's text
//   vesk_probe wait-pane TITLE INDEX TEXT [MS]
//   vesk_probe select-page TITLE INDEX       selects the INDEX-th item of the navigation tree
//   vesk_probe command TITLE ID              posts WM_COMMAND ID
//   vesk_probe tray TITLE MOUSEMSG           posts the icon's callback as the shell does
//   vesk_probe syscommand TITLE SC           posts WM_SYSCOMMAND SC
//   vesk_probe minimize TITLE                minimises the window
//   vesk_probe front TITLE                   brings the window to the front
//   vesk_probe press TITLE BUTTONTEXT [MS]   presses a button of the window once it exists
//   vesk_probe find-text TITLE TEXT [MS]     a window with TITLE has a child showing TEXT
//   vesk_probe wait-item-text TITLE ID TEXT [MS]  the child with control id ID shows TEXT
//   vesk_probe click TITLE ID                clicks the button with control id ID
//   vesk_probe combo-select TITLE ID INDEX   selects entry INDEX of combo box ID as a user does
//   vesk_probe paint TITLE                   the window and its children have painted
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT kTrayNotify = 0x8003;
constexpr WPARAM kTrayIconId = 0x42424242;

HWND FindTitled(const char* title) {
    return FindWindowA(nullptr, title);
}

template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

struct ChildSearch {
    const char* className;
    const char* text;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char buffer[1024] = {};
    if (search->className) {
        GetClassNameA(child, buffer, sizeof buffer);
        if (lstrcmpiA(buffer, search->className) != 0) return TRUE;
    }
    if (search->text) {
        GetWindowTextA(child, buffer, sizeof buffer);
        if (std::strcmp(buffer, search->text) != 0) return TRUE;
    }
    search->found = child;
    return FALSE;
}

HWND FindChild(HWND parent, const char* className, const char* text) {
    ChildSearch search{className, text, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Status-bar texts live in the other process: read them through memory allocated there.
std::string PaneText(HWND frame, int index) {
    HWND bar = FindChild(frame, STATUSCLASSNAMEA, nullptr);
    if (!bar) return "";
    DWORD pid = 0;
    GetWindowThreadProcessId(bar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return "";
    const SIZE_T size = 1024;
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    std::string text;
    if (remote) {
        const LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, index, 0) & 0xFFFF;
        if (length < static_cast<LRESULT>(size)) {
            SendMessageA(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(remote));
            char local[1024] = {};
            SIZE_T read = 0;
            if (ReadProcessMemory(process, remote, local, size - 1, &read)) text = local;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

struct IdSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<IdSearch*>(param);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindItem(HWND window, int id) {
    IdSearch search{id, nullptr};
    EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ItemText(HWND window, int id) {
    HWND item = FindItem(window, id);
    char buffer[1024] = {};
    if (item) GetWindowTextA(item, buffer, sizeof buffer);
    return buffer;
}

int Usage() {
    std::fprintf(stderr, "usage: vesk_probe COMMAND TITLE ...\n");
    return 64;
}

DWORD TimeoutArg(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 0)) : 20000;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    const char* title = argv[2];

    if (command == "wait-window")
        return WaitFor([&] { return FindTitled(title) != nullptr; }, TimeoutArg(argc, argv, 3)) ? 0
                                                                                                : 1;
    if (command == "wait-gone")
        return WaitFor([&] { return FindTitled(title) == nullptr; }, TimeoutArg(argc, argv, 3)) ? 0
                                                                                                : 1;

    HWND window = FindTitled(title);
    if (command == "press" || command == "find-text") {
        if (argc < 4) return Usage();
        HWND child = nullptr;
        const bool found = WaitFor(
            [&] {
                window = FindTitled(title);
                child = window ? FindChild(window, command == "press" ? "Button" : nullptr, argv[3])
                               : nullptr;
                return child != nullptr;
            },
            TimeoutArg(argc, argv, 4));
        if (!found) return 1;
        if (command == "press")
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                         reinterpret_cast<LPARAM>(child));
        return 0;
    }
    if (!window) {
        std::fprintf(stderr, "no window titled \"%s\"\n", title);
        return 2;
    }
    if (command == "state") {
        std::printf("visible=%d iconic=%d foreground=%d style=0x%08lx\n",
                    IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0,
                    GetForegroundWindow() == window ? 1 : 0,
                    static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
        return 0;
    }
    if (command == "pane" && argc >= 4) {
        std::printf("%s\n", PaneText(window, std::atoi(argv[3])).c_str());
        return 0;
    }
    if (command == "wait-pane" && argc >= 5) {
        const int index = std::atoi(argv[3]);
        return WaitFor([&] { return PaneText(window, index) == argv[4]; },
                       TimeoutArg(argc, argv, 5))
                   ? 0
                   : 1;
    }
    if (command == "select-page" && argc >= 4) {
        // Tree items are handles valid across processes; selecting needs no pointers.
        HWND tree = FindChild(window, WC_TREEVIEWA, nullptr);
        if (!tree) return 1;
        LRESULT item = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        for (int i = std::atoi(argv[3]); i > 0 && item; --i)
            item = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, item);
        if (!item) return 1;
        return SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, item) ? 0 : 1;
    }
    if (command == "wait-item-text" && argc >= 5) {
        const int id = std::atoi(argv[3]);
        return WaitFor([&] { return ItemText(window, id) == argv[4]; }, TimeoutArg(argc, argv, 5))
                   ? 0
                   : 1;
    }
    if ((command == "click" && argc >= 4) || (command == "combo-select" && argc >= 5)) {
        const int id = std::atoi(argv[3]);
        HWND item = FindItem(window, id);
        if (!item) return 1;
        WORD code = BN_CLICKED;
        if (command == "combo-select") {
            if (SendMessageA(item, CB_SETCURSEL, std::atoi(argv[4]), 0) == CB_ERR) return 1;
            code = CBN_SELCHANGE;
        }
        return PostMessageA(GetParent(item), WM_COMMAND, MAKEWPARAM(id, code),
                            reinterpret_cast<LPARAM>(item))
                   ? 0
                   : 1;
    }
    if (command == "paint") {
        // Painting is sent to the window's thread; the null message returns once it has run.
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) ? 0 : 1;
    }
    if (command == "command" && argc >= 4)
        return PostMessageA(window, WM_COMMAND, std::strtoul(argv[3], nullptr, 0), 0) ? 0 : 1;
    if (command == "tray" && argc >= 4)
        return PostMessageA(window, kTrayNotify, kTrayIconId, std::strtoul(argv[3], nullptr, 0))
                   ? 0
                   : 1;
    if (command == "syscommand" && argc >= 4)
        return PostMessageA(window, WM_SYSCOMMAND, std::strtoul(argv[3], nullptr, 0), 0) ? 0 : 1;
    if (command == "minimize") return ShowWindow(window, SW_MINIMIZE), 0;
    if (command == "front") return SetForegroundWindow(window) ? 0 : 1;
    return Usage();
}
