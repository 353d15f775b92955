// Running the panel inside the test process: start-up with a chosen command line over the
// simulated driver, pumping messages until something holds (with a time limit), answering
// modal dialogs from inside their modal loops, and reading and driving controls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/VESK_CPLApp.h"
#include "view/VESK_CPLView.h"

namespace uitest {

constexpr DWORD kTimeLimitMs = 10000;

// Dispatches the thread's messages through the current application (pre-translation,
// accelerators, idle work) until `done` holds or the time limit passes; returns `done()`.
// A quit message is taken and remembered (QuitSeen), never dispatched.
bool PumpUntil(const std::function<bool()>& done, DWORD timeLimitMs = kTimeLimitMs);
// Dispatches what is queued now, then runs the idle work once.
void PumpPending();
bool QuitSeen();
void ForgetQuit();

// What the panel handed to the shell for its notification-area icon.
struct ShellNotifyCall {
    DWORD message;
    NOTIFYICONDATAA data;
};
// Every record, in order: the tests link a shell call that keeps them instead of showing icons.
std::vector<ShellNotifyCall>& ShellNotifyCalls();

// One run of the panel: InitInstance of a fresh application object with `commandLine`.
class RunningPanel {
  public:
    // Loads `scenario` into the simulated driver first (empty: the demo scenario), then runs
    // `beforeStart` (to set faults, for example).
    explicit RunningPanel(const std::string& commandLine, const std::string& scenario = "",
                          const std::function<void()>& beforeStart = {});
    // Quits the panel if it still runs, takes the quit message and releases the mutex.
    ~RunningPanel();
    RunningPanel(const RunningPanel&) = delete;
    RunningPanel& operator=(const RunningPanel&) = delete;

    bool Started() const { return m_started; }
    CVESK_CPLApp& App() { return *m_app; }
    CMainFrame* Frame() const;
    CVESK_CPLView* View() const;
    HWND FrameWindow() const;
    // Sends a command to the frame as a menu would.
    void Command(UINT id);
    // Ends the panel through the framework's exit command and pumps until its loop would end.
    bool Quit();

  private:
    std::unique_ptr<CVESK_CPLApp> m_app;
    bool m_started = false;
};

// Runs `answer` with the next top-level dialog of this thread, from inside its modal loop,
// once the dialog has initialised. If no answer ends it within the time limit, the dialog is
// cancelled so that the test goes on and fails instead of hanging.
class ModalAnswerer {
  public:
    explicit ModalAnswerer(std::function<void(HWND dialog)> answer,
                           DWORD timeLimitMs = kTimeLimitMs);
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    bool Answered() const { return m_answered; }
    bool TimedOut() const { return m_timedOut; }
    HWND Dialog() const { return m_dialog; }

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK HelperProc(HWND, UINT, WPARAM, LPARAM);
    std::function<void(HWND)> m_answer;
    HHOOK m_hook = nullptr;
    HWND m_helper = nullptr;
    HWND m_dialog = nullptr;
    bool m_posted = false;
    bool m_answered = false;
    bool m_timedOut = false;
};

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
// Presses an enabled, visible button as a click would; false if it cannot be pressed.
bool ClickButton(HWND dialog, int id);
// The rows of a list view, each with the texts of its `columns` columns.
std::vector<std::vector<std::string>> ListRows(HWND list, int columns);
// The tree item with `text` among the top-level items, or null.
HTREEITEM FindTreeItem(HWND tree, const std::string& text);
std::string PaneText(HWND statusBar, int pane);
// The right edges of the status bar's panes.
std::vector<int> PaneEdges(HWND statusBar);
// Moves the slider `id` of `dialog` as the user's drag ends: the track bar's position, then
// its notification to the dialog.
void MoveSlider(HWND dialog, int id, int position);
// Posts a key press with the given modifier keys held, as the keyboard would.
void PostKey(HWND target, UINT virtualKey, bool control = false);

}  // namespace uitest
