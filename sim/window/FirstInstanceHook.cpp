// The simulated panel's first instance starts its driver: the scenario and trace named by the
// environment, and the Driver Simulator window beside the panel.
#include "app/FirstInstanceHook.h"

#include <string>

#include "sim/Simulator.h"
#include "sim/window/SimulatorWindow.h"

void OnFirstInstanceStarting(void* instanceHandle) {
    sim::Simulator& simulator = sim::Simulator::Instance();
    std::string problem;
    const bool configured = simulator.ConfigureFromEnvironment(&problem);
    HWND window = sim::CreateSimulatorWindow(static_cast<HINSTANCE>(instanceHandle), simulator);
    if (!window) return;
    // A scenario that cannot be read leaves the demo in place; the window says why.
    if (!configured) sim::ShowSimulatorResult(window, ("Scenario not used: " + problem).c_str());
    // The panel comes up next and takes the activation; the simulator stays behind it.
    ShowWindow(window, SW_SHOWNOACTIVATE);
}
