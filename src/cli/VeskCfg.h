// The console program's commands, over a driver connection the caller gives (the real driver
// in veskcfg.exe, the simulated one in the tests). Results go to `out`, messages to `err`.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/Drv.h"

namespace vesk {

// Exit codes.
constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;    // refused (an invalid file or value) or a failed write
constexpr int kExitNoDriver = 2;  // the driver cannot be opened
constexpr int kExitUsage = 64;

struct CommandStreams {
    std::string out;
    std::string err;
    // Whether `out` is UTF-8 (JSON) rather than the system's 8-bit text.
    bool outIsUtf8 = false;
};

// Runs one command line (without the program's name). `notifyPanel` is called after the
// driver's settings were written, so that a running panel reads them again.
int RunVeskCfg(const std::vector<std::string>& args, CDrv& drv,
               const std::function<void()>& notifyPanel, CommandStreams& streams);

}  // namespace vesk
