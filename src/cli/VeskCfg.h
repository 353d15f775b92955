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
constexpr int kExitNoDriver = 2;  // no driver answers at its control device
// An export that wrote what it could, but devices that cannot be told apart by their serial
// numbers are not in it: a scheduled backup can tell this from success.
constexpr int kExitIncomplete = 3;
constexpr int kExitUsage = 64;

// Both streams are UTF-8.
struct CommandStreams {
    std::string out;
    std::string err;
    // Whether `out` is JSON (kept as it is) rather than a report of lines for a person.
    bool outIsJson = false;
};

// Runs one command line (without the program's name; UTF-8, as typed). `notifyPanel` is called
// after the driver's settings were written, so that a running panel reads them again. Never
// throws: whatever goes wrong is exit code 1 and a message.
int RunVeskCfg(const std::vector<std::string>& args, CDrv& drv,
               const std::function<void()>& notifyPanel, CommandStreams& streams);

}  // namespace vesk
