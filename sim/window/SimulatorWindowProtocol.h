// How other programs find the Driver Simulator window and hand it a command: the window class,
// and WM_COPYDATA with this tag and the command as 8-bit text. The window answers TRUE when
// the simulator accepted the command and FALSE when it refused it.
#pragma once

namespace sim {

constexpr const char kSimulatorWindowClass[] = "VeskDriverSimulator";
// Never the panel's title: other starts of the panel find the panel by its title.
constexpr const char kSimulatorWindowTitle[] = "Driver Simulator";
constexpr unsigned long kSimulatorCommandTag = 0x56534B31;  // "VSK1"

}  // namespace sim
