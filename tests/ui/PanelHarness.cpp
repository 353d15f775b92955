#include "PanelHarness.h"

#include <gtest/gtest.h>

#include "sim/Simulator.h"

namespace uitest {

namespace {
bool g_quitSeen = false;
ModalAnswerer* g_answerer = nullptr;
constexpr UINT kAnswerMessage = WM_APP + 0x321;
constexpr UINT_PTR kTimeLimitTimer = 1;

bool TakeOneMessage() {
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        g_quitSeen = true;
        return true;
    }
    if (CWinApp* app = AfxGetApp()) {
        app->ProcessMessage(msg);
    } else {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

void RunIdle() {
    if (CWinApp* app = AfxGetApp()) app->OnIdle(0);
}
}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeLimitMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        while (TakeOneMessage()) {
            if (done()) return true;
        }
        RunIdle();
        if (done()) return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeLimitMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeLimitMs - elapsed, QS_ALLINPUT);
    }
}

void PumpPending() {
    while (TakeOneMessage()) {
    }
    RunIdle();
}

bool QuitSeen() {
    return g_quitSeen;
}
void ForgetQuit() {
    g_quitSeen = false;
}

std::vector<ShellNotifyCall>& ShellNotifyCalls() {
    static std::vector<ShellNotifyCall> calls;
    return calls;
}

RunningPanel::RunningPanel(const std::string& commandLine, const std::string& scenario,
                           const std::function<void()>& beforeStart)
    : m_app(std::make_unique<CVESK_CPLApp>()) {
    std::string error;
    EXPECT_TRUE(sim::Simulator::Instance().LoadScenario(scenario, &error)) << error;
    if (beforeStart) beforeStart();
    ForgetQuit();
    m_app->m_hInstance = ::GetModuleHandleA(nullptr);
    m_app->m_lpCmdLine = commandLine;
    m_app->m_nCmdShow = SW_SHOWNORMAL;
    m_started = m_app->InitInstance();
}

RunningPanel::~RunningPanel() {
    if (FrameWindow() != nullptr) Quit();
    m_app->ExitInstance();
    m_app.reset();
    PumpPending();
    ForgetQuit();
}

CMainFrame* RunningPanel::Frame() const {
    return dynamic_cast<CMainFrame*>(m_app->m_pMainWnd);
}

CVESK_CPLView* RunningPanel::View() const {
    CMainFrame* frame = Frame();
    return frame ? dynamic_cast<CVESK_CPLView*>(frame->GetActiveView()) : nullptr;
}

HWND RunningPanel::FrameWindow() const {
    CMainFrame* frame = Frame();
    return frame ? frame->m_hWnd : nullptr;
}

void RunningPanel::Command(UINT id) {
    if (HWND frame = FrameWindow()) ::SendMessageA(frame, WM_COMMAND, id, 0);
}

bool RunningPanel::Quit() {
    HWND frame = FrameWindow();
    if (frame == nullptr) return false;
    ::PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    return PumpUntil([] { return QuitSeen(); });
}

ModalAnswerer::ModalAnswerer(std::function<void(HWND)> answer, DWORD timeLimitMs)
    : m_answer(std::move(answer)) {
    static const char* const kHelperClass = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &ModalAnswerer::HelperProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VeskTestAnswerer";
        ::RegisterClassA(&windowClass);
        return "VeskTestAnswerer";
    }();
    g_answerer = this;
    m_helper = ::CreateWindowExA(0, kHelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    ::SetTimer(m_helper, kTimeLimitTimer, timeLimitMs, nullptr);
    m_hook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &ModalAnswerer::HookProc, nullptr,
                                 ::GetCurrentThreadId());
}

ModalAnswerer::~ModalAnswerer() {
    if (m_hook != nullptr) ::UnhookWindowsHookEx(m_hook);
    if (m_helper != nullptr) ::DestroyWindow(m_helper);
    g_answerer = nullptr;
}

// Notes the dialog when it has handled WM_INITDIALOG, and leaves the answer for the modal
// loop once the dialog is shown (the modal loop shows it only when its queue runs empty).
LRESULT CALLBACK ModalAnswerer::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    ModalAnswerer* self = g_answerer;
    if (code == HC_ACTION && self != nullptr && !self->m_posted) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (self->m_dialog == nullptr && call->message == WM_INITDIALOG &&
            !(::GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD))
            self->m_dialog = call->hwnd;
        if (self->m_dialog != nullptr && call->hwnd == self->m_dialog &&
            (::GetWindowLongA(self->m_dialog, GWL_STYLE) & WS_VISIBLE)) {
            self->m_posted = true;
            ::PostMessageA(self->m_helper, kAnswerMessage, 0, 0);
        }
    }
    return ::CallNextHookEx(self ? self->m_hook : nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ModalAnswerer::HelperProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    ModalAnswerer* self = g_answerer;
    if (self != nullptr && message == kAnswerMessage && !self->m_answered) {
        self->m_answered = true;
        self->m_answer(self->m_dialog);
        return 0;
    }
    if (self != nullptr && message == WM_TIMER && wParam == kTimeLimitTimer) {
        ::KillTimer(window, kTimeLimitTimer);
        if (self->m_dialog != nullptr && ::IsWindow(self->m_dialog)) {
            self->m_timedOut = true;
            ::EndDialog(self->m_dialog, IDCANCEL);
        }
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

std::string ControlText(HWND dialog, int id) {
    return WindowText(::GetDlgItem(dialog, id));
}

bool ClickButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    if (button == nullptr || !::IsWindowEnabled(button) || !::IsWindowVisible(button)) return false;
    ::SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

std::vector<std::vector<std::string>> ListRows(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            char buffer[1024] = "";
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = buffer;
            item.cchTextMax = sizeof(buffer);
            ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&item));
            cells.emplace_back(buffer);
        }
        rows.push_back(cells);
    }
    return rows;
}

HTREEITEM FindTreeItem(HWND tree, const std::string& text) {
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (; item != nullptr;
         item = reinterpret_cast<HTREEITEM>(
             ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        char buffer[256] = "";
        TVITEMA tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = buffer;
        tvi.cchTextMax = sizeof(buffer);
        ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi));
        if (text == buffer) return item;
    }
    return nullptr;
}

std::string PaneText(HWND statusBar, int pane) {
    const LRESULT length =
        ::SendMessageA(statusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane), 0);
    std::string text(static_cast<size_t>(LOWORD(length)) + 1, '\0');
    ::SendMessageA(statusBar, SB_GETTEXTA, static_cast<WPARAM>(pane),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(length));
    return text;
}

std::vector<int> PaneEdges(HWND statusBar) {
    int edges[16] = {};
    const int count = static_cast<int>(
        ::SendMessageA(statusBar, SB_GETPARTS, 16, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + count);
}

void MoveSlider(HWND dialog, int id, int position) {
    HWND slider = ::GetDlgItem(dialog, id);
    ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
    ::SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                   reinterpret_cast<LPARAM>(slider));
    ::SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                   reinterpret_cast<LPARAM>(slider));
}

void PostKey(HWND target, UINT virtualKey, bool control) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(keys);
    const UINT scanCode = ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scanCode << 16));
    ::PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scanCode << 16) | (3u << 30));
}

}  // namespace uitest

// The tests link this in place of the shell's call: every icon record is kept, none shown.
BOOL TrayShellNotify(DWORD message, NOTIFYICONDATAA& data) {
    uitest::ShellNotifyCalls().push_back({message, data});
    return TRUE;
}
