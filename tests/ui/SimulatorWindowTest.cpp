// The Driver Simulator window in process: commands by WM_COPYDATA are accepted or refused as
// the simulator decides, its buttons and command field reach the simulator, it shows the state
// after each action, and vesk_simctl finds it and reports the answer in its exit status.
#include <windows.h>
// The common controls need the window types first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "driver/IoctlCodes.h"
#include "sim/Simulator.h"
#include "sim/window/SimulatorView.h"
#include "sim/window/SimulatorWindow.h"

namespace {

constexpr char kDevicePath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

// A fresh demo driver and a Driver Simulator window over it for one test.
class SimulatorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        simulator().Reset();
        simulator().TraceToMemory(true);
        m_window = sim::CreateSimulatorWindow(GetModuleHandleA(nullptr), simulator());
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override {
        if (IsWindow(m_window)) DestroyWindow(m_window);
        simulator().TraceToMemory(false);
        simulator().Reset();
    }

    static sim::Simulator& simulator() { return sim::Simulator::Instance(); }

    sim::SimulatorView State() const {
        sim::SimulatorView view;
        EXPECT_TRUE(sim::ReadSimulatorView(simulator().DumpScenario(), &view));
        return view;
    }

    BOOL SendCommand(const void* bytes, DWORD size, ULONG_PTR tag = sim::kSimulatorCommandTag) {
        COPYDATASTRUCT data = {};
        data.dwData = tag;
        data.cbData = size;
        data.lpData = const_cast<void*>(bytes);
        return static_cast<BOOL>(
            SendMessageA(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
    }
    BOOL SendCommand(const std::string& text) {
        return SendCommand(text.c_str(), static_cast<DWORD>(text.size() + 1));
    }

    void Press(int id) {
        HWND button = GetDlgItem(m_window, id);
        ASSERT_NE(button, nullptr) << id;
        SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }

    std::string Text(int id) const {
        char text[2048] = {};
        GetDlgItemTextA(m_window, id, text, sizeof(text));
        return text;
    }

    int ListRows() const {
        return static_cast<int>(
            SendDlgItemMessageA(m_window, sim::kSimDeviceList, LVM_GETITEMCOUNT, 0, 0));
    }
    std::string ListCell(int row, int column) const {
        char text[256] = {};
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendDlgItemMessageA(m_window, sim::kSimDeviceList, LVM_GETITEMTEXTA, row,
                            reinterpret_cast<LPARAM>(&item));
        return text;
    }
    void SelectRow(int row) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageA(m_window, sim::kSimDeviceList, LVM_SETITEMSTATE, row,
                            reinterpret_cast<LPARAM>(&state));
    }

    int CommandLines() const {
        int count = 0;
        for (const std::string& line : simulator().TraceLines())
            count += line.compare(0, 8, "command ") == 0;
        return count;
    }

    HWND m_window = nullptr;
};

TEST_F(SimulatorWindowTest, CopyDataCommandsAreAcceptedOrRefused) {
    ASSERT_TRUE(State().loaded);
    EXPECT_EQ(SendCommand("set {\"wdmInUse\": true}"), TRUE);
    EXPECT_TRUE(State().wdmInUse);
    // The window shows the state right after the command.
    EXPECT_EQ(IsDlgButtonChecked(m_window, sim::kSimWdmInUseCheck), BST_CHECKED);
    EXPECT_EQ(Text(sim::kSimResultText).rfind("Accepted: set", 0), 0u) << Text(sim::kSimResultText);

    // Without a terminating zero, and with bytes after one: the command ends at the zero.
    const size_t eventsBefore = State().eventsQueued;
    const char event[] = "event 2";
    EXPECT_EQ(SendCommand(event, sizeof(event) - 1), TRUE);
    EXPECT_EQ(State().eventsQueued, eventsBefore + 1);
    const char unload[] = "unload\0event 3";
    EXPECT_EQ(SendCommand(unload, sizeof(unload)), TRUE);
    EXPECT_FALSE(State().loaded);
    EXPECT_EQ(State().eventsQueued, eventsBefore + 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_window, sim::kSimLoadButton)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_window, sim::kSimUnloadButton)));
    EXPECT_NE(Text(sim::kSimDriverText).find("Driver unloaded"), std::string::npos);

    // Refused by the simulator: FALSE, and the window says why.
    EXPECT_EQ(SendCommand("no-such-command 1"), FALSE);
    EXPECT_EQ(SendCommand("remove-device 0x7777"), FALSE);
    EXPECT_EQ(SendCommand("event"), FALSE);
    EXPECT_EQ(Text(sim::kSimResultText).rfind("Refused: event", 0), 0u);
    EXPECT_EQ(SendCommand(""), FALSE);

    // Not a command at all: the simulator never sees it.
    const int commandsBefore = CommandLines();
    EXPECT_EQ(SendCommand("load", 5, 0x12345678), FALSE);
    EXPECT_EQ(SendCommand(nullptr, 4), FALSE);
    EXPECT_EQ(CommandLines(), commandsBefore);
    EXPECT_FALSE(State().loaded);
    EXPECT_EQ(SendCommand("load"), TRUE);
    EXPECT_TRUE(State().loaded);
}

TEST_F(SimulatorWindowTest, ButtonsAndCommandFieldReachTheSimulator) {
    const sim::SimulatorView start = State();
    ASSERT_EQ(ListRows(), static_cast<int>(start.devices.size()));

    Press(sim::kSimUnloadButton);
    EXPECT_FALSE(State().loaded);
    Press(sim::kSimLoadButton);
    EXPECT_TRUE(State().loaded);

    // Two hot-plugged devices get identifiers of their own and show as rows.
    Press(sim::kSimAddDeviceButton);
    Press(sim::kSimAddDeviceButton);
    const sim::SimulatorView plugged = State();
    ASSERT_EQ(plugged.devices.size(), start.devices.size() + 2);
    EXPECT_NE(plugged.devices[plugged.devices.size() - 1].id,
              plugged.devices[plugged.devices.size() - 2].id);
    ASSERT_EQ(ListRows(), static_cast<int>(plugged.devices.size()));

    // Remove the row that is selected, whatever its place.
    int row = -1;
    for (int r = 0; r < ListRows(); ++r)
        if (ListCell(r, 2) == "Hot-plugged Interface 1") row = r;
    ASSERT_GE(row, 0);
    SelectRow(row);
    Press(sim::kSimRemoveDeviceButton);
    const sim::SimulatorView removed = State();
    ASSERT_EQ(removed.devices.size(), start.devices.size() + 1);
    for (const sim::SimulatorDeviceRow& device : removed.devices)
        EXPECT_NE(device.name, "Hot-plugged Interface 1");
    EXPECT_EQ(ListRows(), static_cast<int>(removed.devices.size()));
    // With nothing selected the button removes nothing.
    for (int r = 0; r < ListRows(); ++r) {
        LVITEMA none = {};
        none.stateMask = LVIS_SELECTED;
        SendDlgItemMessageA(m_window, sim::kSimDeviceList, LVM_SETITEMSTATE, r,
                            reinterpret_cast<LPARAM>(&none));
    }
    Press(sim::kSimRemoveDeviceButton);
    EXPECT_EQ(State().devices.size(), removed.devices.size());

    // The four event types, in the order pressed.
    ASSERT_EQ(SendCommand("set {\"events\": []}"), TRUE);
    Press(sim::kSimBusResetButton);
    Press(sim::kSimStreamingRestartedButton);
    Press(sim::kSimDomainChangedButton);
    Press(sim::kSimAsioBufferChangedButton);
    const nlohmann::json dump = nlohmann::json::parse(simulator().DumpScenario());
    EXPECT_EQ(dump["events"], nlohmann::json({1, 2, 3, 100}));

    // WDM in use follows the check box.
    CheckDlgButton(m_window, sim::kSimWdmInUseCheck, BST_CHECKED);
    Press(sim::kSimWdmInUseCheck);
    EXPECT_TRUE(State().wdmInUse);
    CheckDlgButton(m_window, sim::kSimWdmInUseCheck, BST_UNCHECKED);
    Press(sim::kSimWdmInUseCheck);
    EXPECT_FALSE(State().wdmInUse);

    // A fault on the next request of the chosen code, with the status typed in.
    HWND codes = GetDlgItem(m_window, sim::kSimFaultCodeCombo);
    const int count = static_cast<int>(SendMessageA(codes, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(count, vesk::kRequestCount);
    int versionEntry = -1;
    for (int i = 0; i < count; ++i)
        if (static_cast<uint32_t>(SendMessageA(codes, CB_GETITEMDATA, i, 0)) ==
            vesk::IOCTL_VESK_GET_VERSION)
            versionEntry = i;
    ASSERT_GE(versionEntry, 0);
    SendMessageA(codes, CB_SETCURSEL, versionEntry, 0);
    SetDlgItemTextA(m_window, sim::kSimFaultStatusEdit, "0x00000015");
    Press(sim::kSimFailNextButton);
    void* handle = nullptr;
    ASSERT_EQ(simulator().Open(kDevicePath, &handle), 0u);
    unsigned char version[12];
    EXPECT_EQ(simulator().Control(handle, vesk::IOCTL_VESK_GET_VERSION, nullptr, 0, version,
                                  sizeof(version)),
              0x15u);
    EXPECT_EQ(simulator().Control(handle, vesk::IOCTL_VESK_GET_VERSION, nullptr, 0, version,
                                  sizeof(version)),
              0u);
    // A status the simulator cannot take is refused and adds no rule.
    SetDlgItemTextA(m_window, sim::kSimFaultStatusEdit, "none");
    Press(sim::kSimFailNextButton);
    EXPECT_EQ(Text(sim::kSimResultText).rfind("Refused: fail", 0), 0u);
    SendCommand("fail 0x80882804 0x1F -1");
    EXPECT_EQ(State().faultRules, 1u);
    Press(sim::kSimClearFaultsButton);
    EXPECT_EQ(State().faultRules, 0u);
    simulator().Close(handle);

    // The command field sends on the button and on Enter.
    SetDlgItemTextA(m_window, sim::kSimCommandEdit, "dropouts 7");
    Press(sim::kSimSendButton);
    EXPECT_EQ(State().dropOuts, 7u);
    SetDlgItemTextA(m_window, sim::kSimCommandEdit, "dropouts 9");
    SendDlgItemMessageA(m_window, sim::kSimCommandEdit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(State().dropOuts, 9u);
    EXPECT_NE(Text(sim::kSimDriverText).find("Drop-outs: 9"), std::string::npos);
}

TEST_F(SimulatorWindowTest, FoundByClassNeverByThePanelTitleAndStaysWhenClosed) {
    EXPECT_EQ(FindWindowA(sim::kSimulatorWindowClass, nullptr), m_window);
    char title[256] = {};
    GetWindowTextA(m_window, title, sizeof(title));
    char panelTitle[256] = {};
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 61234, panelTitle, sizeof(panelTitle)), 0);
    EXPECT_STRNE(title, panelTitle);
    EXPECT_STREQ(title, sim::kSimulatorWindowTitle);

    SendMessageA(m_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(m_window));
    EXPECT_EQ(FindWindowA(sim::kSimulatorWindowClass, nullptr), m_window);
}

TEST_F(SimulatorWindowTest, CannedDevicesNeverReuseAnIdentifier) {
    for (int i = 1; i <= 6; ++i) {
        const std::string json = sim::CannedDeviceJson(State(), i);
        std::string error;
        ASSERT_TRUE(simulator().Execute("add-device " + json, &error)) << error << "\n" << json;
    }
    const sim::SimulatorView view = State();
    for (size_t i = 0; i < view.idsInUse.size(); ++i)
        for (size_t j = i + 1; j < view.idsInUse.size(); ++j)
            EXPECT_NE(view.idsInUse[i], view.idsInUse[j]);
    sim::SimulatorView untouched = view;
    EXPECT_FALSE(sim::ReadSimulatorView("not a dump", &untouched));
    EXPECT_EQ(untouched.devices.size(), view.devices.size());
}

// Runs vesk_simctl (next to this program) and serves the window's messages until it ends.
int RunSimctl(const std::string& arguments) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string tool(path);
    tool = tool.substr(0, tool.find_last_of("\\/") + 1) + "vesk_simctl.exe";
    if (GetFileAttributesA(tool.c_str()) == INVALID_FILE_ATTRIBUTES) return -1;
    std::string commandLine = "\"" + tool + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT) !=
           WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

TEST_F(SimulatorWindowTest, SimctlReportsTheAnswerInItsExitStatus) {
    const int accepted = RunSimctl("dropouts 42");
    if (accepted == -1) GTEST_SKIP() << "vesk_simctl.exe is not next to the test program";
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(State().dropOuts, 42u);
    // Arguments are joined with single spaces into one command.
    EXPECT_EQ(RunSimctl("set \"{\\\"wdmInUse\\\":\" true}"), 0);
    EXPECT_TRUE(State().wdmInUse);
    EXPECT_EQ(RunSimctl("remove-device 0x7777"), 3);
    EXPECT_EQ(RunSimctl(""), 1);
    DestroyWindow(m_window);
    EXPECT_EQ(RunSimctl("load"), 2);
}

}  // namespace
