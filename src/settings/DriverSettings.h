// Everything of the driver's state that the user can change through the panel, read in one go
// through the device model, with the records kept whole so that a write sends back what was
// read with only the changed field altered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/DeviceRecords.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"
#include "model/Drv.h"

namespace vesk {

struct DeviceSettings {
    _VESK_DEVICE_PROPERTIES record{};
    bool hasSyncInfo = false;
    _DEVICE_SYNC_MODE_INFO sync{};

    // The serial number: the key of a device in a settings file.
    std::string Serial() const;
    std::string Name() const;
};

enum class ChannelDirection { Input = 0, Output = 1 };

struct ChannelSettings {
    ChannelDirection direction = ChannelDirection::Input;
    _VESK_CHANNEL_PROPERTIES record{};
    // The channel's place among the channels of its device and direction with the same
    // hardware name (0 for the first), which tells such channels apart.
    int occurrence = 0;

    std::string HardwareName() const;
    std::string Name() const;
};

struct DriverSettings {
    std::vector<DeviceSettings> devices;
    std::vector<ChannelSettings> channels;
    uint32_t asioNameIncludesDevice = 0;
    _VESK_CLOCK_MASTER clockMaster{};
    uint32_t sampleRateMode = 0;
    _VESK_SAMPLE_RATE_INFO sampleRates{};
    _VESK_STREAM_BUFFER_DEPTH streamDepth{};
    _VESK_AUDIO_BUFFER_DEPTH asioDepth{};
    _VESK_AUDIO_BUFFER_DEPTH wdmDepth{};

    // The device with this identifier or serial number; null when none is connected.
    const DeviceSettings* DeviceById(uint32_t deviceId) const;
    const DeviceSettings* DeviceBySerial(const std::string& serial) const;
    // How many connected devices carry this serial number (a key must name one).
    int DevicesWithSerial(const std::string& serial) const;
    const ChannelSettings* Channel(const std::string& serial, ChannelDirection direction,
                                   const std::string& hardwareName, int occurrence) const;
};

// Reads the whole state through `drv` (the device model's loads and the driver's requests).
// Returns 0, or the status of the first request that failed with its name in `failedRequest`;
// a state read only in part is never used.
uint32_t ReadDriverSettings(CDrv& drv, DriverSettings& settings, std::string* failedRequest);

}  // namespace vesk
