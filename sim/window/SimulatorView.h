// What the Driver Simulator window shows of the simulated driver, read from the simulator's
// scenario dump, and the canned device that its "Add device" button plugs in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct SimulatorDeviceRow {
    uint32_t id = 0;
    int64_t rank = 0;
    std::string name;
    std::string serial;
    size_t inputs = 0;
    size_t outputs = 0;
    std::string plugStates;  // the four plug states, e.g. "3 3 0 0"
};

struct SimulatorView {
    bool loaded = false;
    bool streaming = false;
    bool wdmInUse = false;
    uint32_t currentRate = 0;
    int64_t sampleRateMode = 0;
    int64_t masterType = 0;
    uint32_t masterDeviceId = 0;
    size_t eventsQueued = 0;
    size_t faultRules = 0;
    uint64_t dropOuts = 0;
    std::vector<SimulatorDeviceRow> devices;
    std::vector<uint32_t> idsInUse;  // every device and channel identifier
};

// False when `dump` is not a scenario dump; `view` is then left as it was.
bool ReadSimulatorView(const std::string& dump, SimulatorView* view);

// One line about the driver as a whole: loaded, streaming, rate, clock, queues.
std::string DescribeDriver(const SimulatorView& view);

// A device for `add-device` whose identifiers (device and channels) are all unused in `view`.
// `serialNumber` tells hot-plugged devices apart in names and serial numbers.
std::string CannedDeviceJson(const SimulatorView& view, int serialNumber);

}  // namespace sim
