// The kernel-mode simulated driver as a service of the system: installed from its .sys file,
// started, stopped and removed through the service control manager.
#pragma once

#include <string>

namespace kernelctl {

constexpr const char kServiceName[] = "vesk_sim";

// Copies `sysPath` into the system's drivers folder, (re)creates the service and starts it.
// False with a reason when any step fails.
bool StartDriver(const std::string& sysPath, std::string* error);
// Stops and removes the service, if it exists. False with a reason when it does not stop.
bool StopDriver(std::string* error);

}  // namespace kernelctl
