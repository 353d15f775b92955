// The `status` command's report: the driver's version, the devices, the clock, the rate, the
// buffer depths with their texts as the Settings page shows them, the drop-outs and whether
// every device streams; as text for a person and as JSON for a script
// (format "vesk-driver-status", version 1; docs/veskcfg.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/DriverRecords.h"
#include "settings/DriverSettings.h"

namespace vesk {

struct DriverStatus {
    _VESK_VERSION_INFO version{};
    DriverSettings settings;
    // Per device of `settings.devices`: whether its stream information could be read, and
    // whether it streams.
    std::vector<bool> streamInfoRead;
    std::vector<bool> streaming;
    bool statisticsRead = false;
    uint32_t dropOuts = 0;

    bool AllStreaming() const;
};

// Reads the status; 0, or the first failed request's status and name (the stream information
// and the statistics may fail alone: they are then reported as unknown).
uint32_t ReadDriverStatus(CDrv& drv, DriverStatus& status, std::string* failedRequest);

// The report for a person, in the system's 8-bit text, a line per item.
std::string StatusText(const DriverStatus& status);

// The report for a script: one JSON object in UTF-8 and a newline.
std::string StatusJson(const DriverStatus& status);

}  // namespace vesk
