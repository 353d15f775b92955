#include "settings/DriverSettings.h"

#include <map>
#include <tuple>

#include "model/TextField.h"

namespace vesk {

std::string DeviceSettings::Serial() const {
    return FieldText(record.SerialNumber).GetString();
}

std::string DeviceSettings::Name() const {
    return FieldText(record.DeviceName).GetString();
}

std::string ChannelSettings::HardwareName() const {
    return FieldText(record.HardwareName).GetString();
}

std::string ChannelSettings::Name() const {
    return FieldText(record.ChannelName).GetString();
}

const DeviceSettings* DriverSettings::DeviceById(uint32_t deviceId) const {
    for (const DeviceSettings& device : devices)
        if (device.record.DeviceId == deviceId) return &device;
    return nullptr;
}

const DeviceSettings* DriverSettings::DeviceBySerial(const std::string& serial) const {
    for (const DeviceSettings& device : devices)
        if (device.Serial() == serial) return &device;
    return nullptr;
}

int DriverSettings::DevicesWithSerial(const std::string& serial) const {
    int count = 0;
    for (const DeviceSettings& device : devices) count += device.Serial() == serial;
    return count;
}

const ChannelSettings* DriverSettings::Channel(const std::string& serial,
                                               ChannelDirection direction,
                                               const std::string& hardwareName,
                                               int occurrence) const {
    for (const ChannelSettings& channel : channels) {
        const DeviceSettings* device = DeviceById(channel.record.DeviceId);
        if (device != nullptr && device->Serial() == serial && channel.direction == direction &&
            channel.HardwareName() == hardwareName && channel.occurrence == occurrence)
            return &channel;
    }
    return nullptr;
}

namespace {

void TakeChannels(const CChannelArray& records, ChannelDirection direction,
                  std::vector<ChannelSettings>& channels) {
    std::map<std::tuple<uint32_t, std::string>, int> seen;
    for (int i = 0; i < records.GetSize(); ++i) {
        ChannelSettings channel;
        channel.direction = direction;
        channel.record = *records[i];
        channel.occurrence = seen[{uint32_t{channel.record.DeviceId}, channel.HardwareName()}]++;
        channels.push_back(channel);
    }
}

}  // namespace

uint32_t ReadDriverSettings(CDrv& drv, DriverSettings& settings, std::string* failedRequest) {
    settings = DriverSettings{};
    uint32_t status = 0;
    auto failed = [&](uint32_t result, const char* request) {
        if (result == 0) return false;
        status = result;
        if (failedRequest) *failedRequest = request;
        return true;
    };
    if (failed(drv.LoadDevices(), "the device list")) return status;
    if (failed(drv.LoadSyncModes(), "the synchronisation modes")) return status;
    if (failed(drv.LoadChannels(drv.m_inputChannels, 0), "the input channels")) return status;
    if (failed(drv.LoadChannels(drv.m_outputChannels, 1), "the output channels")) return status;
    if (failed(drv.GetAsioNameIncludesDevice(&settings.asioNameIncludesDevice),
               "the ASIO display name setting"))
        return status;
    if (failed(drv.GetClockMaster(&settings.clockMaster), "the clock master")) return status;
    if (failed(drv.GetSampleRateMode(&settings.sampleRateMode), "the sampling rate mode"))
        return status;
    if (failed(drv.GetSampleRate(&settings.sampleRates), "the sampling rate")) return status;
    if (failed(drv.GetStreamBufferDepth(&settings.streamDepth), "the stream buffer depth"))
        return status;
    if (failed(drv.GetAsioBufferDepth(&settings.asioDepth), "the ASIO buffer depth")) return status;
    if (failed(drv.GetWdmBufferDepth(&settings.wdmDepth), "the WDM sound buffer depth"))
        return status;

    for (int i = 0; i < drv.m_devices.GetSize(); ++i) {
        DeviceSettings device;
        device.record = *drv.m_devices[i];
        for (int j = 0; j < drv.m_syncModes.GetSize(); ++j) {
            if (drv.m_syncModes[j]->DeviceId != device.record.DeviceId) continue;
            device.hasSyncInfo = true;
            device.sync = *drv.m_syncModes[j];
            break;
        }
        settings.devices.push_back(device);
    }
    TakeChannels(drv.m_inputChannels, ChannelDirection::Input, settings.channels);
    TakeChannels(drv.m_outputChannels, ChannelDirection::Output, settings.channels);
    return 0;
}

}  // namespace vesk
