// The Driver Simulator window: shows the simulated devices and the driver's state, and changes
// them through simulator commands, from its own buttons, its command field and other programs
// (WM_COPYDATA, see SimulatorWindowProtocol.h).
#pragma once

#include <windows.h>

#include "sim/window/SimulatorWindowProtocol.h"

namespace sim {

class Simulator;

// The window's controls, for tests that press its buttons.
enum SimulatorWindowControl : int {
    kSimLoadButton = 101,
    kSimUnloadButton,
    kSimWdmInUseCheck,
    kSimDriverText,
    kSimDeviceList,
    kSimAddDeviceButton,
    kSimRemoveDeviceButton,
    kSimBusResetButton,
    kSimStreamingRestartedButton,
    kSimDomainChangedButton,
    kSimAsioBufferChangedButton,
    kSimFaultCodeCombo,
    kSimFaultStatusEdit,
    kSimFailNextButton,
    kSimClearFaultsButton,
    kSimCommandEdit,
    kSimSendButton,
    kSimResultText,
};

// Creates the window, not yet shown, over `simulator`, which must outlive it. The window
// destroys its own state with itself. Null when the window cannot be created.
HWND CreateSimulatorWindow(HINSTANCE instance, Simulator& simulator);

// Writes `text` into the window's result line (for problems found before it existed).
void ShowSimulatorResult(HWND window, const char* text);

}  // namespace sim
