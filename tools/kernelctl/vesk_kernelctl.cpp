// vesk_kernelctl: the host side of the kernel-mode simulated driver.
//   vesk_kernelctl start SYS_FILE     install and start the driver (replacing a running one)
//   vesk_kernelctl stop               stop and remove it
//   vesk_kernelctl scenario FILE      load a scenario file in place of the whole state
//   vesk_kernelctl COMMAND...         one simulator command, as vesk_simctl takes them
// Paths are resolved here, because the driver runs in a context of its own. Exit status: 0
// accepted, 2 no driver runs (or it could not be started or stopped), 3 the driver refused the
// command, 1 no command given.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "KernelService.h"
#include "sim/kernel/KernelControl.h"

namespace {

constexpr int kAccepted = 0;
constexpr int kUsage = 1;
constexpr int kNoDriver = 2;
constexpr int kRefused = 3;

std::string FullPath(const std::string& path) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::string(full) : path;
}

// Commands whose argument names a file.
bool TakesPath(const std::string& name, const std::string& argument) {
    return name == "scenario" || name == "dump" || (name == "trace" && argument != "off");
}

int Send(DWORD code, const std::string& text) {
    HANDLE device = CreateFileA(VESK_SIM_COMMAND_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "vesk_kernelctl: the driver does not run (%lu)\n", GetLastError());
        return kNoDriver;
    }
    std::vector<char> reply(VESK_SIM_REPLY_SIZE);
    DWORD returned = 0;
    const BOOL sent = DeviceIoControl(device, code, const_cast<char*>(text.data()),
                                      static_cast<DWORD>(text.size()), reply.data(),
                                      static_cast<DWORD>(reply.size()), &returned, nullptr);
    const DWORD lastError = GetLastError();
    CloseHandle(device);
    if (!sent || returned < sizeof(uint32_t) + 1) {
        std::fprintf(stderr, "vesk_kernelctl: the driver does not answer (%lu)\n", lastError);
        return kNoDriver;
    }
    uint32_t accepted = 0;
    std::memcpy(&accepted, reply.data(), sizeof accepted);
    reply.back() = 0;
    if (!accepted) {
        std::fprintf(stderr, "vesk_kernelctl: refused: %s: %s\n", text.c_str(),
                     reply.data() + sizeof accepted);
        return kRefused;
    }
    return kAccepted;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: vesk_kernelctl start SYS_FILE | stop | scenario FILE | "
                     "COMMAND [ARGUMENT...]\n");
        return kUsage;
    }
    const std::string name = argv[1];
    std::string argument;
    for (int i = 2; i < argc; ++i) argument += (i > 2 ? " " : "") + std::string(argv[i]);

    std::string error;
    if (name == "start" || name == "stop") {
        if (name == "start" && argument.empty()) return kUsage;
        const bool done = name == "start" ? kernelctl::StartDriver(FullPath(argument), &error)
                                          : kernelctl::StopDriver(&error);
        if (!done) std::fprintf(stderr, "vesk_kernelctl: %s\n", error.c_str());
        return done ? kAccepted : kNoDriver;
    }
    if (TakesPath(name, argument)) argument = FullPath(argument);
    if (name == "scenario") return Send(IOCTL_VESK_SIM_SCENARIO, argument);
    return Send(IOCTL_VESK_SIM_COMMAND, argument.empty() ? name : name + " " + argument);
}
