// The simulated panel's first instance starts its driver: the scenario and trace named by the
// environment, and the Driver Simulator window beside the panel; and, with
// VESK_SIM_PSEUDO_LANGUAGE=1, the pseudo-language.
#include "app/FirstInstanceHook.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "res/PseudoLanguage.h"
#include "sim/Simulator.h"
#include "sim/window/SimulatorWindow.h"

void OnFirstInstanceStarting(void* instanceHandle) {
    // The test build's pseudo-language, when asked for, before the user's own languages.
    const char* pseudo = std::getenv("VESK_SIM_PSEUDO_LANGUAGE");
    if (pseudo != nullptr && std::strcmp(pseudo, "1") == 0)
        vesk::SetTestLanguage(&vesk::PseudoLanguage());
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
