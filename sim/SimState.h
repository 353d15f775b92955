// Everything the simulated driver holds: the driver state a scenario describes, and the
// connections, registrations and trace that belong to the running simulator.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "Simulator.h"
#include "Trace.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"

namespace sim {

// The control device's path; the only one that opens.
constexpr const char kDevicePath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

// The longest text a 40-byte name field holds before its zero byte.
constexpr size_t kMaxNameLength = 39;
// The serial number's share of the device record's 384 bytes from offset 48: this driver keeps
// 63 characters and a zero there, and the bytes after it (offset 112 to 431) are `extra`.
constexpr size_t kSerialFieldSize = 64;
constexpr size_t kMaxSerialLength = kSerialFieldSize - 1;
constexpr size_t kDeviceExtraSize = 384 - kSerialFieldSize;

struct SimSyncMode {
    uint32_t syncType = 0;
    uint32_t modeId = 0;
    std::string name;
};

struct SimPlug {
    uint32_t state = 0;  // the configured state; reported as 0 while streaming is stopped
    uint32_t errorCode = 0;
    uint32_t streamNumber = 0;
    uint32_t currentRate = 0;
    std::vector<uint32_t> rates;
};

struct SimChannel {
    uint32_t id = 0;
    std::array<uint8_t, 4> field0{};
    std::array<uint8_t, 4> field8{};
    std::string hardwareName;
    std::string channelName;
};

struct SimDevice {
    uint32_t id = 0;
    uint32_t rank = 0;
    std::string name;
    std::string serial;
    std::vector<uint8_t> extra;  // at most kDeviceExtraSize bytes; the rest reads as zero
    SimSyncMode currentMode;
    std::vector<SimSyncMode> modes;
    std::array<SimPlug, VESK_PLUG_COUNT> plugs;
    std::vector<SimChannel> inputs;
    std::vector<SimChannel> outputs;
};

struct FaultRule {
    uint32_t code = 0;
    bool anyCode = false;  // counts requests of every code (set through the API, not scenarios)
    uint32_t status = 0;
    uint32_t skip = 0;
    int64_t count = 1;  // -1: always
};

struct Version {
    uint8_t interfaceMajor = 2;
    uint8_t interfaceMinor = 14;
    uint8_t driverMajor = 1;
    uint8_t driverMinor = 0;
    int32_t driverBuild = 0;
};

// What a scenario describes; `DumpScenario` writes exactly this.
struct DriverState {
    bool loaded = true;
    Version version;
    uint32_t asioNameIncludesDevice = 0;
    _VESK_CLOCK_MASTER clockMaster{};
    uint32_t sampleRateMode = 0;
    uint32_t sampleRateReserved = 0;
    uint32_t currentRate = 48000;
    std::vector<uint32_t> rates;
    bool wdmInUse = false;
    bool streaming = true;
    _VESK_STREAM_BUFFER_DEPTH streamBufferDepth{};
    _VESK_AUDIO_BUFFER_DEPTH asioBufferDepth{};
    _VESK_AUDIO_BUFFER_DEPTH wdmBufferDepth{};
    uint32_t dropOuts = 0;
    std::vector<SimDevice> devices;  // in scenario order; the device list orders them by rank
    std::deque<int32_t> events;
    std::vector<FaultRule> faults;
    std::map<uint32_t, std::vector<uint8_t>> raw;
};

struct Connection {
    uint32_t number = 0;
    uint32_t loadEpoch = 0;  // a connection from before the last unload is stale
    bool eventRegistered = false;
    uint32_t eventHandle = 0;
};

struct Registration {
    void* token = nullptr;
    os::WindowHandle window = nullptr;
};

struct Simulator::State {
    mutable std::mutex lock;
    DriverState driver;
    std::map<uintptr_t, Connection> connections;  // by handle value
    uint32_t nextConnection = 1;
    uint32_t loadEpoch = 0;
    std::vector<Registration> registrations;
    uintptr_t nextRegistration = 1;
    std::vector<uint32_t> pendingSignals;  // connection numbers, see FlushSignals
    Trace trace;
};

// Devices in device-list order: by rank, ties in scenario order.
std::vector<const SimDevice*> DevicesInListOrder(const DriverState& driver);
SimDevice* FindDevice(DriverState& driver, uint32_t id);
const SimChannel* FindChannel(const DriverState& driver, uint32_t id, uint32_t* deviceId);

// Samples of an audio buffer of `currentUs` microseconds at `rate` Hz, without overflow.
uint32_t SamplesFor(uint32_t currentUs, uint32_t rate);

}  // namespace sim
