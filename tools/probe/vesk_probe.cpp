// Reads and drives the panel's windows from outside its process, for the end-to-end tests and
// the screenshot run. Every wait is bounded (MS, 20000 when left out). Exit status: 0 the
// command was done or its condition held, 1 it did not (or the time ran out), 2 no such
// window, 64 a wrong command line.
//
// WINDOW is a top-level window's exact title, class=NAME, or a handle (0x...), which still
// names a window after it is gone (for `icon`).
//
//   vesk_probe wait-window WINDOW [MS]       the window exists (visible or hidden)
//   vesk_probe wait-gone WINDOW [MS]         it does not exist
//   vesk_probe find WINDOW                   prints its handle
//   vesk_probe state WINDOW                  prints "visible=V iconic=I foreground=F style=0x...
//                                            exstyle=0x... rect=X,Y,W,H pid=N"
//   vesk_probe pane WINDOW INDEX             prints the status-bar pane's text
//   vesk_probe wait-pane WINDOW INDEX TEXT [MS]
//   vesk_probe tree WINDOW                   the navigation tree's items, "* " before the selection
//   vesk_probe select-page WINDOW INDEX      selects the INDEX-th item of the navigation tree
//   vesk_probe list WINDOW ID                the list's rows (a visible list first), tab-separated
//   vesk_probe combo WINDOW ID               the combo box's items, "* " before the selection
//   vesk_probe combo-select WINDOW ID INDEX  chooses an item of the combo box as a user does
//   vesk_probe select-row WINDOW ID INDEX    selects and focuses a row of the list as a click does
//   vesk_probe slide WINDOW ID POSITION      moves the slider there as a user's drag does
//   vesk_probe set-text WINDOW ID TEXT       replaces the text of the control (an edit field)
//   vesk_probe click WINDOW ID               presses the button with that id, if it is enabled
//   vesk_probe press WINDOW BUTTONTEXT [MS]  presses a button of the window once it exists
//   vesk_probe find-text WINDOW TEXT [MS]    a child of the window shows TEXT (\n: line break)
//   vesk_probe wait-item-text WINDOW ID TEXT [MS]  the child with that id shows TEXT
//   vesk_probe command WINDOW ID             posts WM_COMMAND ID
//   vesk_probe syscommand WINDOW SC          posts WM_SYSCOMMAND SC
//   vesk_probe tray WINDOW MOUSEMSG [ICONID] posts the icon's callback as the shell does
//   vesk_probe icon WINDOW [ICONID]          the shell holds the window's icon
//   vesk_probe wait-icon WINDOW [MS]         the shell holds the window's icon, within MS
//   vesk_probe drop-icon WINDOW              makes the shell drop the window's icon
//   vesk_probe taskbar-created               broadcasts "TaskbarCreated", as a new shell does
//   vesk_probe locale                        prints "ui=0x0409 acp=1252": the user's UI language
//                                            and the ANSI code page this environment gives
//   vesk_probe wait-menu open|closed [MS]    a pop-up menu is open / none is
//   vesk_probe menu-key WINDOW KEY           types KEY (a letter, or escape) into the open menu
//   vesk_probe minimize WINDOW               minimises the window
//   vesk_probe front WINDOW                  brings the window to the front
//   vesk_probe paint WINDOW                  the window and its children have painted
//   vesk_probe shot WINDOW FILE.bmp          saves the window's pixels, frame included
//   vesk_probe layout-check WINDOW           every visible control's text fits it, nothing
//                                            overlaps (prints each fault)
//   vesk_probe squeeze WINDOW ID WIDTH       makes the control WIDTH pixels wide (to show
//                                            that layout-check finds a clipped text)
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/probe/Accessibility.h"
#include "tools/probe/Layout.h"
#include "tools/probe/Screenshot.h"
#include "tools/probe/WindowActions.h"
#include "tools/probe/WindowQuery.h"

namespace {

constexpr int kDone = 0;
constexpr int kNotDone = 1;
constexpr int kNoWindow = 2;
constexpr int kUsage = 64;
constexpr DWORD kDefaultTimeLimitMs = 20000;

using Args = std::vector<std::string>;

unsigned long Number(const std::string& text) {
    return std::strtoul(text.c_str(), nullptr, 0);
}

DWORD TimeLimit(const Args& args, size_t index) {
    return args.size() > index ? static_cast<DWORD>(Number(args[index])) : kDefaultTimeLimitMs;
}

// Texts on the command line write a line break as \n.
std::string Unescape(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += '\n';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

HWND Resolve(const std::string& name) {
    if (name.compare(0, 6, "class=") == 0) return probe::FindTopLevel({"", name.substr(6)});
    if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X'))
        return reinterpret_cast<HWND>(static_cast<uintptr_t>(Number(name)));
    return probe::FindTopLevel({name, ""});
}

int Result(bool done) {
    return done ? kDone : kNotDone;
}

// Commands that wait for a window, or name no window at all.
bool RunWaiting(const Args& args, int* status) {
    const std::string& command = args[0];
    if (command == "wait-window" || command == "wait-gone") {
        const bool wantThere = command == "wait-window";
        *status = Result(
            probe::WaitUntil([&] { return (::IsWindow(Resolve(args[1])) != FALSE) == wantThere; },
                             TimeLimit(args, 2)));
        return true;
    }
    if (command == "wait-menu") {
        const bool wantOpen = args[1] == "open";
        *status = Result(probe::WaitUntil(
            [&] { return (probe::FindOpenMenu() != nullptr) == wantOpen; }, TimeLimit(args, 2)));
        return true;
    }
    if (command == "press" || command == "find-text") {
        if (args.size() < 3) {
            *status = kUsage;
            return true;
        }
        const std::string text = Unescape(args[2]);
        HWND found = nullptr;
        bool there = probe::WaitUntil(
            [&] {
                HWND window = Resolve(args[1]);
                found = window ? probe::FindChildWithText(window,
                                                          command == "press" ? "Button" : "", text)
                               : nullptr;
                return found != nullptr;
            },
            TimeLimit(args, 3));
        if (there && command == "press") there = probe::ClickButton(found);
        *status = Result(there);
        return true;
    }
    if (command == "icon") {
        // The window may be gone already: the question is whether the shell still shows it.
        HWND window = Resolve(args[1]);
        const UINT iconId =
            args.size() > 2 ? static_cast<UINT>(Number(args[2])) : probe::kTrayIconId;
        *status = Result(window != nullptr && probe::TrayIconPresent(window, iconId));
        return true;
    }
    if (command == "wait-icon" || command == "drop-icon") {
        HWND window = Resolve(args[1]);
        if (window == nullptr) {
            *status = kNoWindow;
        } else if (command == "drop-icon") {
            *status = Result(probe::RemoveTrayIcon(window));
        } else {
            *status = Result(probe::WaitUntil([&] { return probe::TrayIconPresent(window); },
                                              TimeLimit(args, 2)));
        }
        return true;
    }
    return false;
}

int RunOnWindow(const Args& args, HWND window) {
    const std::string& command = args[0];
    const size_t count = args.size();
    if (command == "find") {
        std::printf("0x%08lx\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
        return kDone;
    }
    if (command == "state") {
        std::printf("%s\n", probe::Describe(probe::StateOf(window)).c_str());
        return kDone;
    }
    if (command == "tree") {
        HWND tree = probe::FindDescendantOfClass(window, "SysTreeView32");
        if (tree == nullptr) return kNotDone;
        const std::string selected = probe::TreeSelectedText(tree);
        for (const probe::TreeItem& item : probe::TreeItems(tree))
            std::printf("%s%s\n", item.text == selected ? "* " : "  ", item.text.c_str());
        return kDone;
    }
    if (command == "minimize") {
        ::ShowWindow(window, SW_MINIMIZE);
        return Result(probe::WaitUntil([&] { return ::IsIconic(window) != FALSE; }, 5000));
    }
    if (command == "front") {
        probe::RaiseWindow(window);
        return Result(::SetForegroundWindow(window) != FALSE);
    }
    if (command == "paint") {
        // Whatever waits to be painted is painted now, on the window's thread; a null message
        // returns once that thread has got that far. Nothing is invalidated: a repaint of the
        // whole window would show as a flicker in a picture taken right after.
        ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        DWORD_PTR answer = 0;
        // A machine busy with other tests can keep the window's thread from answering for a
        // few seconds.
        return Result(::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kDefaultTimeLimitMs,
                                            &answer) != 0);
    }
    if (command == "focus") {
        // The control that has the keyboard focus on the window's thread: its id and class.
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ||
            info.hwndFocus == nullptr)
            return kNotDone;
        std::printf("%d %s\n", ::GetDlgCtrlID(info.hwndFocus),
                    probe::ClassOf(info.hwndFocus).c_str());
        return kDone;
    }
    if (command == "layout-check") {
        const std::vector<std::string> problems = probe::LayoutProblems(window);
        for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
        return Result(problems.empty());
    }
    if (command == "acc-check") {
        // Every control a user can tab to has a name of its own, unique among them.
        bool good = true;
        std::vector<std::string> names;
        for (HWND control : probe::FocusableControls(window)) {
            const probe::AccessibleTexts texts = probe::ReadAccessible(control);
            const int id = ::GetDlgCtrlID(control);
            std::printf("%d\t%s\t%s\t%s\n", id, probe::ClassOf(control).c_str(), texts.name.c_str(),
                        texts.value.c_str());
            const char* fault = !texts.read          ? "cannot be read"
                                : texts.name.empty() ? "has no name"
                                : std::find(names.begin(), names.end(), texts.name) != names.end()
                                    ? "has the name of another control"
                                    : nullptr;
            if (fault) {
                std::fprintf(stderr, "control %d (%s) %s\n", id, probe::ClassOf(control).c_str(),
                             fault);
                good = false;
            }
            names.push_back(texts.name);
        }
        return Result(good && !names.empty());
    }
    if (count < 3) return kUsage;
    if (command == "pane" || command == "wait-pane") {
        const size_t index = Number(args[2]);
        auto pane = [&] {
            const std::vector<std::string> panes = probe::StatusPaneTexts(window);
            return index < panes.size() ? panes[index] : std::string();
        };
        if (command == "pane") {
            std::printf("%s\n", pane().c_str());
            return kDone;
        }
        if (count < 4) return kUsage;
        const std::string wanted = Unescape(args[3]);
        const bool held = probe::WaitUntil([&] { return pane() == wanted; }, TimeLimit(args, 4));
        if (!held) std::fprintf(stderr, "pane %zu reads \"%s\"\n", index, pane().c_str());
        return Result(held);
    }
    if (command == "select-page") {
        HWND tree = probe::FindDescendantOfClass(window, "SysTreeView32");
        return Result(tree != nullptr && probe::SelectTreeItemAt(tree, Number(args[2])));
    }
    if (command == "command") {
        if (probe::PostCommand(window, Number(args[2]))) return kDone;
        std::fprintf(stderr, "vesk_probe: the command could not be posted (error %lu)\n",
                     ::GetLastError());
        return kNotDone;
    }
    if (command == "syscommand") return Result(probe::PostSysCommand(window, Number(args[2])));
    if (command == "tray") {
        const UINT iconId = count > 3 ? static_cast<UINT>(Number(args[3])) : probe::kTrayIconId;
        return Result(probe::PostTrayNotify(window, Number(args[2]), iconId));
    }
    if (command == "menu-key") {
        const UINT key =
            args[2] == "escape"
                ? VK_ESCAPE
                : static_cast<UINT>(std::toupper(static_cast<unsigned char>(args[2][0])));
        return Result(probe::TypeIntoMenu(window, key));
    }
    if (command == "shot") return Result(probe::SaveWindowPicture(window, args[2]));

    const int id = static_cast<int>(Number(args[2]));
    if (command == "click") return Result(probe::PressButton(window, id));
    if (command == "squeeze" && count >= 4) {
        HWND control = probe::FindControl(window, id);
        RECT r;
        if (control == nullptr || !::GetWindowRect(control, &r)) return kNotDone;
        return Result(::SetWindowPos(control, nullptr, 0, 0, static_cast<int>(Number(args[3])),
                                     r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    }
    if (command == "wait-item-text") {
        if (count < 4) return kUsage;
        const std::string wanted = Unescape(args[3]);
        return Result(probe::WaitUntil(
            [&] {
                HWND control = probe::FindControl(window, id);
                return control != nullptr && probe::TextOf(control) == wanted;
            },
            TimeLimit(args, 4)));
    }
    HWND control = probe::FindControl(window, id);
    if (control == nullptr) return kNotDone;
    if (command == "acc") {
        const probe::AccessibleTexts texts = probe::ReadAccessible(control);
        std::printf("%s\t%s\n", texts.name.c_str(), texts.value.c_str());
        return Result(texts.read);
    }
    if (command == "acc-value" && count >= 4) {
        // The control's accessible value is the text that another control shows.
        HWND shown = probe::FindControl(window, static_cast<int>(Number(args[3])));
        const probe::AccessibleTexts texts = probe::ReadAccessible(control);
        const std::string text = shown ? probe::TextOf(shown) : std::string();
        if (texts.value != text)
            std::fprintf(stderr, "value \"%s\", shown \"%s\"\n", texts.value.c_str(), text.c_str());
        return Result(texts.read && texts.value == text && !text.empty());
    }
    if (command == "acc-slide" && count >= 4) {
        // Moves the slider and prints the value-change events a screen reader hears of it.
        const int position = static_cast<int>(Number(args[3]));
        const int events = probe::CountSliderValueEvents(
            control, [&] { return probe::MoveSlider(control, position); });
        std::printf("%d\n", events);
        return Result(events >= 0);
    }
    if (command == "acc-key" && count >= 4) {
        // Presses an arrow key on the control, as a user does on a focused slider, and prints
        // the value-change events its client object raised. The key messages are sent, not
        // posted: the thread handles a sent message before the posted ones, so the count's
        // closing round trip could otherwise overtake a posted key and count nothing. The count
        // is what a screen reader hears, as for acc-slide.
        const WPARAM key = args[3] == "left"   ? VK_LEFT
                           : args[3] == "up"   ? VK_UP
                           : args[3] == "down" ? VK_DOWN
                                               : VK_RIGHT;
        const auto send = [&](UINT message, LPARAM flags) {
            DWORD_PTR answer = 0;
            return ::SendMessageTimeoutA(control, message, key, flags, SMTO_NORMAL, 5000,
                                         &answer) != 0;
        };
        const int events = probe::CountSliderValueEvents(control, [&] {
            return send(WM_KEYDOWN, 1) && send(WM_KEYUP, static_cast<LPARAM>(0xC0000001));
        });
        std::printf("%d\n", events);
        return Result(events >= 0);
    }
    if (command == "acc-quiet" && count >= 6) {
        // No name-change event of the control while the simulated driver's trace (a file)
        // gains POLLS more lines with TEXT: an idle page's polls announce nothing.
        const std::string trace = args[3];
        const std::string text = args[4];
        const size_t polls = Number(args[5]);
        const auto linesWith = [&] {
            size_t lines = 0;
            if (FILE* file = std::fopen(trace.c_str(), "rb")) {
                char line[4096];
                while (std::fgets(line, sizeof line, file))
                    lines += std::strstr(line, text.c_str()) != nullptr;
                std::fclose(file);
            }
            return lines;
        };
        const size_t start = linesWith();
        const int events = probe::CountEventsDuring(control, EVENT_OBJECT_NAMECHANGE, [&] {
            return probe::WaitUntil(
                [&] { return probe::EventsSoFar() > 0 || linesWith() >= start + polls; },
                static_cast<DWORD>(polls) * 2000);
        });
        if (events != 0) std::fprintf(stderr, "%d events while idle\n", events);
        return Result(events == 0 && linesWith() >= start + polls);
    }
    if (command == "acc-wait-event" && count >= 4) {
        // Waits for one name-change (or value-change) event of the control; prints "ready"
        // once the hook is in place, so that a script can cause the event after that.
        const DWORD event = args[3] == "value" ? EVENT_OBJECT_VALUECHANGE : EVENT_OBJECT_NAMECHANGE;
        const DWORD limit = static_cast<DWORD>(TimeLimit(args, 4));
        const int events = probe::CountEventsDuring(control, event, [&] {
            std::printf("ready\n");
            std::fflush(stdout);
            return probe::WaitUntil([&] { return probe::EventsSoFar() > 0; }, limit);
        });
        return Result(events > 0);
    }
    if (command == "list") {
        for (const std::vector<std::string>& row : probe::ListRows(control)) {
            std::string line;
            for (size_t i = 0; i < row.size(); ++i) line += (i ? "\t" : "") + row[i];
            std::printf("%s\n", line.c_str());
        }
        return kDone;
    }
    if (command == "combo") {
        const int selected = probe::ComboSelection(control);
        const std::vector<std::string> items = probe::ComboItems(control);
        for (size_t i = 0; i < items.size(); ++i)
            std::printf("%s%s\n", static_cast<int>(i) == selected ? "* " : "  ", items[i].c_str());
        return kDone;
    }
    if (command == "select-row" && count >= 4)
        return Result(probe::SelectListRow(control, static_cast<int>(Number(args[3]))));
    if (command == "set-text" && count >= 4)
        return Result(probe::SetControlText(control, Unescape(args[3]).c_str()));
    if (command == "slide" && count >= 4)
        return Result(probe::MoveSlider(control, static_cast<int>(Number(args[3]))));
    if (command == "combo-select" && count >= 4)
        return Result(probe::ChooseComboItem(control, static_cast<int>(Number(args[3]))));
    return kUsage;
}

int Run(const Args& args) {
    if (args.size() == 1 && args[0] == "taskbar-created")
        return Result(probe::BroadcastTaskbarCreated());
    if (args.size() == 1 && args[0] == "locale") {
        std::printf("ui=0x%04X acp=%u\n", ::GetUserDefaultUILanguage(), ::GetACP());
        return kDone;
    }
    if (args.size() < 2) return kUsage;
    int status = kUsage;
    if (RunWaiting(args, &status)) return status;
    HWND window = Resolve(args[1]);
    if (window == nullptr || !::IsWindow(window)) {
        std::fprintf(stderr, "vesk_probe: no window \"%s\"\n", args[1].c_str());
        return kNoWindow;
    }
    return RunOnWindow(args, window);
}

}  // namespace

int main(int argc, char** argv) {
    // Layouts are measured in the pixels the panel has; the other commands keep the view they
    // always had (the screenshots' crop comes from it).
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "layout-check" || command == "squeeze") probe::BecomeDpiAware();
    const int status = Run(Args(argv + 1, argv + argc));
    if (status == kUsage)
        std::fprintf(
            stderr,
            "usage: vesk_probe COMMAND WINDOW ...\n"
            "commands: wait-window wait-gone find state pane wait-pane tree select-page\n"
            "  list combo combo-select select-row set-text click press find-text\n"
            "  wait-item-text command syscommand tray icon wait-icon drop-icon\n"
            "  taskbar-created locale wait-menu menu-key minimize front paint shot layout-check\n"
            "  squeeze\n");
    std::fflush(stdout);
    return status;
}
