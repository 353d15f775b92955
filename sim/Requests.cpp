#include "Requests.h"

#include <algorithm>
#include <cstring>

#include "Events.h"
#include "Status.h"
#include "driver/DeviceRecords.h"
#include "driver/DriverRecords.h"

namespace sim {
namespace {

using namespace vesk;

template <typename Record>
Record Read(const uint8_t* input) {
    Record record;
    std::memcpy(&record, input, sizeof record);
    return record;
}

template <typename Record>
void Write(std::vector<uint8_t>& output, const Record& record) {
    std::memcpy(output.data(), &record, sizeof record);
}

// A name as a driver keeps it from a 40-byte field: up to the first zero, at most 39 chars.
std::string StoredName(const char* field, size_t fieldSize) {
    size_t length = 0;
    while (length < fieldSize && length < kMaxNameLength && field[length] != '\0') ++length;
    return std::string(field, length);
}

// Copies `text` into a zero-filled field of `fieldSize`, always leaving a zero at its end.
void PutText(char* field, size_t fieldSize, const std::string& text) {
    std::memcpy(field, text.data(), std::min(text.size(), fieldSize - 1));
}

void PutMode(_DEVICE_SYNC_MODE& record, const SimSyncMode& mode) {
    std::memset(&record, 0, sizeof record);
    record.SyncType = mode.syncType;
    record.ModeId = mode.modeId;
    PutText(record.ModeName, sizeof record.ModeName, mode.name);
}

_VESK_CHANNEL_PROPERTIES ChannelRecord(uint32_t deviceId, const SimChannel& channel) {
    _VESK_CHANNEL_PROPERTIES record{};
    std::memcpy(&record.Field0, channel.field0.data(), 4);
    record.DeviceId = deviceId;
    std::memcpy(&record.Field8, channel.field8.data(), 4);
    PutText(record.HardwareName, sizeof record.HardwareName, channel.hardwareName);
    PutText(record.ChannelName, sizeof record.ChannelName, channel.channelName);
    return record;
}

uint32_t InputId(const uint8_t* input) {
    return Read<uint32_t>(input);
}

uint32_t GetDeviceList(const DriverState& driver, std::vector<uint8_t>& output) {
    _VESK_DEVICE_LIST list{};
    for (const SimDevice* device : DevicesInListOrder(driver)) {
        if (list.DeviceCount == VESK_MAX_DEVICES) break;
        list.DeviceIds[list.DeviceCount++] = device->id;
    }
    Write(output, list);
    return kStatusSuccess;
}

uint32_t GetChannelList(const DriverState& driver, std::vector<uint8_t>& output) {
    _VESK_CHANNEL_LIST list{};
    for (const SimDevice* device : DevicesInListOrder(driver)) {
        for (const SimChannel& channel : device->inputs)
            if (list.InputCount < VESK_MAX_CHANNELS)
                list.InputChannelIds[list.InputCount++] = channel.id;
        for (const SimChannel& channel : device->outputs)
            if (list.OutputCount < VESK_MAX_CHANNELS)
                list.OutputChannelIds[list.OutputCount++] = channel.id;
    }
    Write(output, list);
    return kStatusSuccess;
}

uint32_t GetDeviceProperties(DriverState& driver, const uint8_t* input,
                             std::vector<uint8_t>& output) {
    const SimDevice* device = FindDevice(driver, InputId(input));
    if (!device) return kErrorNotFound;
    _VESK_DEVICE_PROPERTIES record{};
    record.DeviceId = device->id;
    record.Rank = device->rank;
    PutText(record.DeviceName, sizeof record.DeviceName, device->name);
    PutText(record.SerialNumber, kSerialFieldSize, device->serial);
    std::copy_n(device->extra.begin(), std::min(device->extra.size(), kDeviceExtraSize),
                record.SerialNumber + kSerialFieldSize);
    Write(output, record);
    return kStatusSuccess;
}

uint32_t SetDeviceProperties(DriverState& driver, const uint8_t* input) {
    const auto record = Read<_VESK_DEVICE_PROPERTIES>(input);
    SimDevice* device = FindDevice(driver, record.DeviceId);
    if (!device) return kErrorNotFound;
    device->rank = record.Rank;
    device->name = StoredName(record.DeviceName, sizeof record.DeviceName);
    return kStatusSuccess;
}

uint32_t GetChannelProperties(const DriverState& driver, const uint8_t* input,
                              std::vector<uint8_t>& output) {
    uint32_t deviceId = 0;
    const SimChannel* channel = FindChannel(driver, InputId(input), &deviceId);
    if (!channel) return kErrorNotFound;
    Write(output, ChannelRecord(deviceId, *channel));
    return kStatusSuccess;
}

// The record carries no channel identifier: the channel is the one whose leading fields and
// hardware name are those the panel sent back (it must return them as it read them).
uint32_t SetChannelProperties(DriverState& driver, const uint8_t* input) {
    const auto sent = Read<_VESK_CHANNEL_PROPERTIES>(input);
    const std::string hardwareName = StoredName(sent.HardwareName, sizeof sent.HardwareName);
    for (SimDevice& device : driver.devices) {
        for (auto* list : {&device.inputs, &device.outputs}) {
            for (SimChannel& channel : *list) {
                const auto held = ChannelRecord(device.id, channel);
                if (std::memcmp(&held, &sent, offsetof(_VESK_CHANNEL_PROPERTIES, HardwareName)) ||
                    channel.hardwareName != hardwareName)
                    continue;
                channel.channelName = StoredName(sent.ChannelName, sizeof sent.ChannelName);
                return kStatusSuccess;
            }
        }
    }
    return kErrorNotFound;
}

uint32_t GetSyncModeInfo(DriverState& driver, const uint8_t* input, std::vector<uint8_t>& output) {
    const SimDevice* device = FindDevice(driver, InputId(input));
    if (!device) return kErrorNotFound;
    _DEVICE_SYNC_MODE_INFO record{};
    record.DeviceId = device->id;
    PutMode(record.CurrentMode, device->currentMode);
    for (const SimSyncMode& mode : device->modes) {
        if (record.ModeCount == VESK_MAX_SYNC_MODES) break;
        PutMode(record.Modes[record.ModeCount++], mode);
    }
    Write(output, record);
    return kStatusSuccess;
}

uint32_t SetSyncMode(DriverState& driver, const uint8_t* input) {
    const auto record = Read<_DEVICE_SYNC_MODE_SET>(input);
    SimDevice* device = FindDevice(driver, record.DeviceId);
    if (!device) return kErrorNotFound;
    for (const SimSyncMode& mode : device->modes) {
        if (mode.syncType == record.SyncType && mode.modeId == record.ModeId) {
            device->currentMode = mode;
            return kStatusSuccess;
        }
    }
    return kErrorInvalidParameter;
}

uint32_t SetClockMaster(DriverState& driver, const uint8_t* input) {
    const auto record = Read<_VESK_CLOCK_MASTER>(input);
    if (record.MasterType > 1) return kErrorInvalidParameter;
    if (record.MasterType == 1 && !FindDevice(driver, record.MasterDeviceId))
        return kErrorInvalidParameter;
    driver.clockMaster.MasterType = record.MasterType;
    driver.clockMaster.MasterDeviceId = record.MasterDeviceId;
    return kStatusSuccess;
}

uint32_t GetSampleRate(const DriverState& driver, std::vector<uint8_t>& output) {
    _VESK_SAMPLE_RATE_INFO record{};
    record.Reserved = driver.sampleRateReserved;
    record.CurrentRate = driver.currentRate;
    for (uint32_t rate : driver.rates) {
        if (record.RateCount == VESK_MAX_RATES) break;
        record.Rates[record.RateCount++] = rate;
    }
    Write(output, record);
    return kStatusSuccess;
}

uint32_t SetSampleRate(DriverState& driver, const uint8_t* input) {
    const uint32_t rate = Read<_VESK_SAMPLE_RATE>(input).Rate;
    if (driver.wdmInUse) return kDriverWdmDeviceInUse;
    if (std::find(driver.rates.begin(), driver.rates.end(), rate) == driver.rates.end())
        return kDriverRateNotSupported;
    driver.currentRate = rate;
    for (SimDevice& device : driver.devices)
        for (SimPlug& plug : device.plugs)
            if (plug.state == PLUG_STATE_CONNECTED) plug.currentRate = rate;
    driver.asioBufferDepth.Samples = SamplesFor(driver.asioBufferDepth.Current, rate);
    driver.wdmBufferDepth.Samples = SamplesFor(driver.wdmBufferDepth.Current, rate);
    return kStatusSuccess;
}

uint32_t GetStreamInfo(DriverState& driver, const uint8_t* input, std::vector<uint8_t>& output) {
    const SimDevice* device = FindDevice(driver, InputId(input));
    if (!device) return kErrorNotFound;
    _VESK_STREAM_INFO record{};
    for (uint32_t i = 0; i < VESK_PLUG_COUNT; ++i) {
        const SimPlug& plug = device->plugs[i];
        _VESK_PLUG_INFO& out = record.Plugs[i];
        out.State = driver.streaming ? plug.state : 0;
        out.ErrorCode = plug.errorCode;
        out.StreamNumber = plug.streamNumber;
        out.CurrentRate = plug.currentRate;
        for (uint32_t rate : plug.rates) {
            if (out.RateCount == VESK_MAX_PLUG_RATES) break;
            out.Rates[out.RateCount++] = rate;
        }
    }
    Write(output, record);
    return kStatusSuccess;
}

// A depth the driver takes: at least the minimum, and on the step (a zero step, which only a
// scenario can hold, accepts any depth rather than dividing by it).
bool AcceptableDepth(uint32_t current, uint32_t minimum, uint32_t step) {
    return current >= minimum && (step == 0 || current % step == 0);
}

uint32_t SetStreamBufferDepth(DriverState& driver, const uint8_t* input) {
    const uint32_t current = Read<_VESK_STREAM_BUFFER_DEPTH>(input).Current;
    _VESK_STREAM_BUFFER_DEPTH& held = driver.streamBufferDepth;
    if (!AcceptableDepth(current, held.Minimum, held.Step)) return kErrorInvalidParameter;
    held.Current = current;
    return kStatusSuccess;
}

uint32_t SetAudioBufferDepth(DriverState& driver, _VESK_AUDIO_BUFFER_DEPTH& held,
                             const uint8_t* input) {
    const uint32_t current = Read<_VESK_AUDIO_BUFFER_DEPTH>(input).Current;
    if (!AcceptableDepth(current, held.Minimum, held.Step)) return kErrorInvalidParameter;
    held.Current = current;
    held.Samples = SamplesFor(current, driver.currentRate);
    return kStatusSuccess;
}

uint32_t GetEvent(DriverState& driver, std::vector<uint8_t>& output) {
    if (driver.events.empty()) return kErrorNoMoreItems;
    VESK_EVENT_RECORD record{};
    record.EventType = driver.events.front();
    driver.events.pop_front();
    Write(output, record);
    return kStatusSuccess;
}

uint32_t SetNotificationEvent(Simulator::State& state, Connection& connection,
                              const uint8_t* input) {
    connection.eventHandle = Read<uint32_t>(input);
    connection.eventRegistered = connection.eventHandle != 0;
    if (connection.eventRegistered && !state.driver.events.empty())
        MarkForSignal(state, connection);
    return kStatusSuccess;
}

uint32_t GetVersion(const DriverState& driver, std::vector<uint8_t>& output) {
    _VESK_VERSION_INFO record{};
    record.InterfaceMajor = driver.version.interfaceMajor;
    record.InterfaceMinor = driver.version.interfaceMinor;
    record.DriverMajor = driver.version.driverMajor;
    record.DriverMinor = driver.version.driverMinor;
    record.DriverBuild = driver.version.driverBuild;
    Write(output, record);
    return kStatusSuccess;
}

}  // namespace

uint32_t HandleRequest(Simulator::State& state, Connection& connection, uint32_t code,
                       const uint8_t* input, std::vector<uint8_t>& output) {
    DriverState& driver = state.driver;
    switch (code) {
        case IOCTL_VESK_GET_VERSION:
            return GetVersion(driver, output);
        case IOCTL_VESK_UNUSED_A02:
        case IOCTL_VESK_UNUSED_A09:
            return kStatusSuccess;
        case IOCTL_VESK_GET_ASIO_NAME_INCLUDES_DEVICE:
            Write(output, driver.asioNameIncludesDevice);
            return kStatusSuccess;
        case IOCTL_VESK_SET_ASIO_NAME_INCLUDES_DEVICE:
            driver.asioNameIncludesDevice = Read<uint32_t>(input);
            return kStatusSuccess;
        case IOCTL_VESK_SET_NOTIFICATION_EVENT:
            return SetNotificationEvent(state, connection, input);
        case IOCTL_VESK_GET_EVENT:
            return GetEvent(driver, output);
        case IOCTL_VESK_GET_DEVICE_LIST:
            return GetDeviceList(driver, output);
        case IOCTL_VESK_GET_CHANNEL_LIST:
            return GetChannelList(driver, output);
        case IOCTL_VESK_GET_CLOCK_MASTER:
            Write(output, driver.clockMaster);
            return kStatusSuccess;
        case IOCTL_VESK_SET_CLOCK_MASTER:
            return SetClockMaster(driver, input);
        case IOCTL_VESK_GET_SAMPLE_RATE_MODE:
            Write(output, _VESK_SAMPLE_RATE_MODE{0, driver.sampleRateMode});
            return kStatusSuccess;
        case IOCTL_VESK_SET_SAMPLE_RATE_MODE:
            driver.sampleRateMode = Read<_VESK_SAMPLE_RATE_MODE>(input).Automatic;
            return kStatusSuccess;
        case IOCTL_VESK_GET_SAMPLE_RATE:
            return GetSampleRate(driver, output);
        case IOCTL_VESK_SET_SAMPLE_RATE:
            return SetSampleRate(driver, input);
        case IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO:
            return GetSyncModeInfo(driver, input, output);
        case IOCTL_VESK_SET_DEVICE_SYNC_MODE:
            return SetSyncMode(driver, input);
        case IOCTL_VESK_GET_DEVICE_PROPERTIES:
            return GetDeviceProperties(driver, input, output);
        case IOCTL_VESK_SET_DEVICE_PROPERTIES:
            return SetDeviceProperties(driver, input);
        case IOCTL_VESK_GET_STREAM_INFO:
            return GetStreamInfo(driver, input, output);
        case IOCTL_VESK_GET_CHANNEL_PROPERTIES:
            return GetChannelProperties(driver, input, output);
        case IOCTL_VESK_SET_CHANNEL_PROPERTIES:
            return SetChannelProperties(driver, input);
        case IOCTL_VESK_START_STREAMING:
            driver.streaming = true;
            QueueEvent(state, EvtType_StreamingRestarted);
            return kStatusSuccess;
        case IOCTL_VESK_STOP_STREAMING:
            driver.streaming = false;
            return kStatusSuccess;
        case IOCTL_VESK_GET_STREAM_BUFFER_DEPTH:
            Write(output, driver.streamBufferDepth);
            return kStatusSuccess;
        case IOCTL_VESK_SET_STREAM_BUFFER_DEPTH:
            return SetStreamBufferDepth(driver, input);
        case IOCTL_VESK_GET_ASIO_BUFFER_DEPTH:
            Write(output, driver.asioBufferDepth);
            return kStatusSuccess;
        case IOCTL_VESK_SET_ASIO_BUFFER_DEPTH: {
            const uint32_t status = SetAudioBufferDepth(driver, driver.asioBufferDepth, input);
            if (status == kStatusSuccess) QueueEvent(state, EvtType_AsioBufferSizeChanged);
            return status;
        }
        case IOCTL_VESK_GET_WDM_BUFFER_DEPTH:
            Write(output, driver.wdmBufferDepth);
            return kStatusSuccess;
        case IOCTL_VESK_SET_WDM_BUFFER_DEPTH:
            return SetAudioBufferDepth(driver, driver.wdmBufferDepth, input);
        case IOCTL_VESK_GET_STATISTICS: {
            _VESK_STATISTICS record{};
            record.DropOuts = driver.dropOuts;
            Write(output, record);
            return kStatusSuccess;
        }
        default:
            return kErrorInvalidFunction;
    }
}

}  // namespace sim
