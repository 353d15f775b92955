// vesk_simctl COMMAND...: hands one command to the Driver Simulator of a running simulated
// panel. The arguments are joined with single spaces. Exit status: 0 accepted, 2 no simulator
// runs, 3 the simulator refused the command, 1 no command given.
#include <windows.h>

#include <cstdio>
#include <string>

#include "sim/window/SimulatorWindowProtocol.h"

namespace {

constexpr int kAccepted = 0;
constexpr int kUsage = 1;
constexpr int kNoSimulator = 2;
constexpr int kRefused = 3;
// Long enough for a dump or a scenario load; a simulator that hangs counts as not running.
constexpr UINT kAnswerTimeoutMs = 60000;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vesk_simctl COMMAND [ARGUMENT...]\n");
        return kUsage;
    }
    std::string command = argv[1];
    for (int i = 2; i < argc; ++i) command += std::string(" ") + argv[i];

    HWND simulator = FindWindowA(sim::kSimulatorWindowClass, nullptr);
    if (!simulator) {
        std::fprintf(stderr, "vesk_simctl: no Driver Simulator is running\n");
        return kNoSimulator;
    }
    COPYDATASTRUCT data = {};
    data.dwData = sim::kSimulatorCommandTag;
    data.cbData = static_cast<DWORD>(command.size() + 1);
    data.lpData = &command[0];
    DWORD_PTR answer = FALSE;
    if (!SendMessageTimeoutA(simulator, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer)) {
        std::fprintf(stderr, "vesk_simctl: the Driver Simulator does not answer\n");
        return kNoSimulator;
    }
    if (answer != TRUE) {
        std::fprintf(stderr, "vesk_simctl: refused: %s\n", command.c_str());
        return kRefused;
    }
    return kAccepted;
}
