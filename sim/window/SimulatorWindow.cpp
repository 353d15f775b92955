#include "sim/window/SimulatorWindow.h"

// The common controls need the window types first.
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "driver/IoctlCodes.h"
#include "sim/Simulator.h"
#include "sim/window/SimulatorView.h"

namespace sim {
namespace {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshPeriodMs = 1000;  // shows what the panel's own requests changed
constexpr int kClientWidth = 700;
constexpr int kClientHeight = 436;
constexpr size_t kShownCommandLength = 160;

// The request names for the fault chooser, without their common prefix.
struct RequestName {
    const char* name;
    uint32_t code;
};
constexpr RequestName kRequestNames[] = {
#define VESK_REQUEST(name, function, in, out) {#name, vesk::VeskControlCode(function)},
#include "driver/RequestList.def"
#undef VESK_REQUEST
};

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string Hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(value));
    return text;
}

class SimulatorWindow {
  public:
    explicit SimulatorWindow(Simulator& simulator) : m_simulator(simulator) {}

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    HWND AddControl(const char* className, const char* text, DWORD style, int x, int y, int width,
                    int height, int id);
    void OnCommand(int id, int notification);
    bool RunCommand(const std::string& command);
    void Refresh(bool always);
    void FillDeviceList();
    void SendCommandField();
    void FailNextRequest();
    void RemoveSelectedDevice();
    static LRESULT CALLBACK CommandFieldProcedure(HWND field, UINT message, WPARAM wParam,
                                                  LPARAM lParam);

    Simulator& m_simulator;
    HWND m_window = nullptr;
    HFONT m_font = nullptr;
    WNDPROC m_editProcedure = nullptr;
    std::string m_lastDump;
    SimulatorView m_view;
    int m_hotPlugged = 0;
};

// Hands the new window its state; the window owns it from WM_NCCREATE on.
struct CreationContext {
    std::unique_ptr<SimulatorWindow> state;
};

LRESULT CALLBACK SimulatorWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* context =
            static_cast<CreationContext*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SimulatorWindow* self = context->state.release();
        self->m_window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SimulatorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        std::unique_ptr<SimulatorWindow> owned(self);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT SimulatorWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            Refresh(true);
            SetTimer(m_window, kRefreshTimer, kRefreshPeriodMs, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam == kRefreshTimer) {
                Refresh(false);
                return 0;
            }
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!data || data->dwData != kSimulatorCommandTag) return FALSE;
            if (data->cbData > 0 && !data->lpData) return FALSE;
            // The sender may or may not count a terminating zero; the command ends at the first.
            const char* bytes = static_cast<const char*>(data->lpData);
            size_t length = 0;
            while (length < data->cbData && bytes[length] != '\0') ++length;
            return RunCommand(std::string(bytes, length)) ? TRUE : FALSE;
        }
        case WM_CLOSE:
            // Other programs find the simulator by its window, so closing only puts it aside.
            ShowWindow(m_window, SW_MINIMIZE);
            return 0;
        case WM_DESTROY:
            KillTimer(m_window, kRefreshTimer);
            if (m_font) DeleteObject(m_font);
            m_font = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcA(m_window, message, wParam, lParam);
}

HWND SimulatorWindow::AddControl(const char* className, const char* text, DWORD style, int x, int y,
                                 int width, int height, int id) {
    HWND control = CreateWindowExA(
        0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, m_window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_window, GWLP_HINSTANCE)), nullptr);
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    return control;
}

void SimulatorWindow::CreateControls() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        m_font = CreateFontIndirectA(&metrics.lfMessageFont);

    AddControl("BUTTON", "&Load", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 80, 24, kSimLoadButton);
    AddControl("BUTTON", "&Unload", BS_PUSHBUTTON | WS_TABSTOP, 96, 10, 80, 24, kSimUnloadButton);
    AddControl("BUTTON", "&WDM sound device in use", BS_AUTOCHECKBOX | WS_TABSTOP, 196, 10, 220, 24,
               kSimWdmInUseCheck);
    AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX, 10, 42, 680, 32, kSimDriverText);

    HWND list = AddControl(WC_LISTVIEWA, "",
                           LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
                           10, 78, 680, 168, kSimDeviceList);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const struct {
        const char* header;
        int width;
    } columns[] = {{"Id", 90},     {"Rank", 45},    {"Name", 180},       {"Serial number", 120},
                   {"Inputs", 55}, {"Outputs", 60}, {"Plug states", 100}};
    int index = 0;
    for (const auto& column : columns) {
        LVCOLUMNA entry = {};
        entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        entry.fmt = LVCFMT_LEFT;
        entry.cx = column.width;
        entry.pszText = const_cast<char*>(column.header);
        SendMessageA(list, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&entry));
    }

    AddControl("BUTTON", "&Add device", BS_PUSHBUTTON | WS_TABSTOP, 10, 252, 110, 24,
               kSimAddDeviceButton);
    AddControl("BUTTON", "&Remove selected device", BS_PUSHBUTTON | WS_TABSTOP, 126, 252, 170, 24,
               kSimRemoveDeviceButton);

    AddControl("STATIC", "Queue event:", SS_LEFT, 10, 292, 88, 20, -1);
    AddControl("BUTTON", "Bus reset", BS_PUSHBUTTON | WS_TABSTOP, 100, 288, 80, 24,
               kSimBusResetButton);
    AddControl("BUTTON", "Streaming restarted", BS_PUSHBUTTON | WS_TABSTOP, 186, 288, 125, 24,
               kSimStreamingRestartedButton);
    AddControl("BUTTON", "Domain configuration changed", BS_PUSHBUTTON | WS_TABSTOP, 317, 288, 180,
               24, kSimDomainChangedButton);
    AddControl("BUTTON", "ASIO buffer size changed", BS_PUSHBUTTON | WS_TABSTOP, 503, 288, 160, 24,
               kSimAsioBufferChangedButton);

    AddControl("STATIC", "Fail next request:", SS_LEFT, 10, 326, 100, 20, -1);
    HWND codes = AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 112, 322,
                            300, 300, kSimFaultCodeCombo);
    for (const RequestName& request : kRequestNames) {
        std::string name = request.name;
        const std::string prefix = "IOCTL_VESK_";
        if (name.compare(0, prefix.size(), prefix) == 0) name.erase(0, prefix.size());
        const std::string entry = name + "  " + Hex32(request.code);
        const LRESULT at =
            SendMessageA(codes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        if (at >= 0) SendMessageA(codes, CB_SETITEMDATA, at, static_cast<LPARAM>(request.code));
    }
    SendMessageA(codes, CB_SETCURSEL, 0, 0);
    AddControl("EDIT", "0x0000001F", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 418, 323, 96, 22,
               kSimFaultStatusEdit);
    AddControl("BUTTON", "&Fail next", BS_PUSHBUTTON | WS_TABSTOP, 520, 322, 80, 24,
               kSimFailNextButton);
    AddControl("BUTTON", "&Clear faults", BS_PUSHBUTTON | WS_TABSTOP, 606, 322, 84, 24,
               kSimClearFaultsButton);

    AddControl("STATIC", "Command:", SS_LEFT, 10, 362, 70, 20, -1);
    HWND field = AddControl("EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 84, 357, 516, 22,
                            kSimCommandEdit);
    AddControl("BUTTON", "&Send", BS_DEFPUSHBUTTON | WS_TABSTOP, 606, 356, 84, 24, kSimSendButton);
    // Enter in the command field sends it, as the Send button does.
    SetWindowLongPtrA(field, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CommandFieldProcedure)));

    AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX, 10, 392, 680, 36, kSimResultText);
}

LRESULT CALLBACK SimulatorWindow::CommandFieldProcedure(HWND field, UINT message, WPARAM wParam,
                                                        LPARAM lParam) {
    auto* self = reinterpret_cast<SimulatorWindow*>(GetWindowLongPtrA(field, GWLP_USERDATA));
    if ((message == WM_KEYDOWN && wParam == VK_RETURN) || (message == WM_CHAR && wParam == '\r')) {
        if (message == WM_KEYDOWN) self->SendCommandField();
        return 0;
    }
    return CallWindowProcA(self->m_editProcedure, field, message, wParam, lParam);
}

void SimulatorWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return;
    switch (id) {
        case kSimLoadButton:
            RunCommand("load");
            break;
        case kSimUnloadButton:
            RunCommand("unload");
            break;
        case kSimWdmInUseCheck: {
            const bool inUse = IsDlgButtonChecked(m_window, kSimWdmInUseCheck) == BST_CHECKED;
            RunCommand(inUse ? "set {\"wdmInUse\": true}" : "set {\"wdmInUse\": false}");
            break;
        }
        case kSimAddDeviceButton:
            Refresh(false);
            RunCommand("add-device " + CannedDeviceJson(m_view, ++m_hotPlugged));
            break;
        case kSimRemoveDeviceButton:
            RemoveSelectedDevice();
            break;
        case kSimBusResetButton:
            RunCommand("event 1");
            break;
        case kSimStreamingRestartedButton:
            RunCommand("event 2");
            break;
        case kSimDomainChangedButton:
            RunCommand("event 3");
            break;
        case kSimAsioBufferChangedButton:
            RunCommand("event 100");
            break;
        case kSimFailNextButton:
            FailNextRequest();
            break;
        case kSimClearFaultsButton:
            RunCommand("clear-faults");
            break;
        case kSimSendButton:
            SendCommandField();
            break;
        default:
            break;
    }
}

void SimulatorWindow::SendCommandField() {
    HWND field = GetDlgItem(m_window, kSimCommandEdit);
    const std::string command = WindowText(field);
    if (command.find_first_not_of(" \t") == std::string::npos) return;
    RunCommand(command);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

void SimulatorWindow::FailNextRequest() {
    HWND codes = GetDlgItem(m_window, kSimFaultCodeCombo);
    const LRESULT selected = SendMessageA(codes, CB_GETCURSEL, 0, 0);
    if (selected < 0) return;
    const auto code = static_cast<uint32_t>(SendMessageA(codes, CB_GETITEMDATA, selected, 0));
    const std::string status = WindowText(GetDlgItem(m_window, kSimFaultStatusEdit));
    RunCommand("fail " + Hex32(code) + " " + status + " 1");
}

void SimulatorWindow::RemoveSelectedDevice() {
    HWND list = GetDlgItem(m_window, kSimDeviceList);
    const LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (row < 0) {
        ShowSimulatorResult(m_window, "Select the device to remove first.");
        return;
    }
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(row);
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    RunCommand("remove-device " + Hex32(static_cast<uint32_t>(item.lParam)));
}

bool SimulatorWindow::RunCommand(const std::string& command) {
    std::string error;
    const bool accepted = m_simulator.Execute(command, &error);
    std::string shown = command.size() > kShownCommandLength
                            ? command.substr(0, kShownCommandLength) + "..."
                            : command;
    std::string result = (accepted ? "Accepted: " : "Refused: ") + shown;
    if (!accepted && !error.empty()) result += "\n" + error;
    ShowSimulatorResult(m_window, result.c_str());
    Refresh(true);
    return accepted;
}

void SimulatorWindow::Refresh(bool always) {
    std::string dump = m_simulator.DumpScenario();
    if (!always && dump == m_lastDump) return;
    SimulatorView view;
    if (!ReadSimulatorView(dump, &view)) return;
    m_lastDump = std::move(dump);
    m_view = std::move(view);
    SetDlgItemTextA(m_window, kSimDriverText, DescribeDriver(m_view).c_str());
    CheckDlgButton(m_window, kSimWdmInUseCheck, m_view.wdmInUse ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(m_window, kSimLoadButton), !m_view.loaded);
    EnableWindow(GetDlgItem(m_window, kSimUnloadButton), m_view.loaded);
    FillDeviceList();
}

void SimulatorWindow::FillDeviceList() {
    HWND list = GetDlgItem(m_window, kSimDeviceList);
    // The selection follows the device, not the row, across a rebuild.
    LPARAM selectedId = -1;
    const LRESULT selected =
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (selected >= 0) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = static_cast<int>(selected);
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        selectedId = item.lParam;
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (const SimulatorDeviceRow& device : m_view.devices) {
        const std::string cells[] = {
            Hex32(device.id), std::to_string(device.rank),   device.name,
            device.serial,    std::to_string(device.inputs), std::to_string(device.outputs),
            device.plugStates};
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = const_cast<char*>(cells[0].c_str());
        item.lParam = static_cast<LPARAM>(device.id);
        const int at = static_cast<int>(
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (at < 0) continue;
        for (int column = 1; column < 7; ++column) {
            LVITEMA cell = {};
            cell.iSubItem = column;
            cell.pszText = const_cast<char*>(cells[column].c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&cell));
        }
        if (static_cast<LPARAM>(device.id) == selectedId) {
            LVITEMA state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list, LVM_SETITEMSTATE, at, reinterpret_cast<LPARAM>(&state));
        }
        ++row;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, kSimulatorWindowClass, &existing)) return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &SimulatorWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));      // IDI_APPLICATION
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kSimulatorWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

HWND CreateSimulatorWindow(HINSTANCE instance, Simulator& simulator) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterWindowClass(instance)) return nullptr;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // At the right of the screen, out of the way of the panel, which opens at the left.
    RECT work = {0, 0, 1024, 768};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.right - width - 8 > work.left ? work.right - width - 8 : work.left;
    const int y = work.top + 8;

    CreationContext context{std::make_unique<SimulatorWindow>(simulator)};
    return CreateWindowExA(WS_EX_APPWINDOW, kSimulatorWindowClass, kSimulatorWindowTitle, style, x,
                           y, width, height, nullptr, nullptr, instance, &context);
}

void ShowSimulatorResult(HWND window, const char* text) {
    SetDlgItemTextA(window, kSimResultText, text);
}

}  // namespace sim
