#include "settings/DriverStatus.h"

#include <nlohmann/json.hpp>

#include "driver/StreamRecords.h"
#include "model/BufferDepth.h"
#include "model/StreamText.h"
#include "model/SyncText.h"
#include "os/TextEncoding.h"

namespace vesk {

namespace {

using Json = nlohmann::ordered_json;

std::string VersionNumber(const _VESK_VERSION_INFO& v) {
    return std::to_string(v.DriverMajor) + "." + std::to_string(v.DriverMinor) + "." +
           std::to_string(v.DriverBuild);
}

std::string InterfaceNumber(const _VESK_VERSION_INFO& v) {
    return std::to_string(v.InterfaceMajor) + "." + std::to_string(v.InterfaceMinor);
}

// The clock master as a file names it: "pc", a serial number, or "" for a device the driver
// does not list.
std::string MasterKey(const DriverSettings& settings) {
    if (settings.clockMaster.MasterType == 0) return "pc";
    const DeviceSettings* device = settings.DeviceById(settings.clockMaster.MasterDeviceId);
    return device ? device->Serial() : "";
}

std::string SyncModeOf(const DeviceSettings& device) {
    return device.hasSyncInfo ? SyncModeText(device.sync.CurrentMode).GetString() : "";
}

// "5.2 ms, 252 samples": the Settings page's two lines on one.
std::string AudioDepthLine(const _VESK_AUDIO_BUFFER_DEPTH& depth) {
    std::string text = AudioDepthWithSamplesText(depth.Current, depth.Samples).GetString();
    const size_t newline = text.find('\n');
    if (newline != std::string::npos) text.replace(newline, 1, ", ");
    return text;
}

}  // namespace

bool DriverStatus::AllStreaming() const {
    if (settings.devices.empty()) return false;
    for (size_t i = 0; i < streaming.size(); ++i)
        if (!streamInfoRead[i] || !streaming[i]) return false;
    return true;
}

uint32_t ReadDriverStatus(CDrv& drv, DriverStatus& status, std::string* failedRequest) {
    status = DriverStatus{};
    const uint32_t versionStatus = drv.GetVersion(&status.version);
    if (versionStatus != 0) {
        if (failedRequest) *failedRequest = "the version";
        return versionStatus;
    }
    const uint32_t result = ReadDriverSettings(drv, status.settings, failedRequest);
    if (result != 0) return result;
    for (const DeviceSettings& device : status.settings.devices) {
        _VESK_STREAM_INFO info{};
        const uint32_t deviceId = device.record.DeviceId;  // the record is packed
        const bool read = drv.GetStreamInfo(&deviceId, &info) == 0;
        status.streamInfoRead.push_back(read);
        status.streaming.push_back(read && IsDeviceStreaming(info));
    }
    _VESK_STATISTICS statistics{};
    status.statisticsRead = drv.GetStatistics(&statistics) == 0;
    status.dropOuts = statistics.DropOuts;
    return 0;
}

std::string StatusText(const DriverStatus& status) {
    const DriverSettings& s = status.settings;
    std::string text = "Driver: " + VersionNumber(status.version) + " (interface " +
                       InterfaceNumber(status.version) + ")\n";
    text += "Devices: " + std::to_string(s.devices.size()) + "\n";
    for (size_t i = 0; i < s.devices.size(); ++i) {
        const DeviceSettings& device = s.devices[i];
        text += "  " + device.Serial() + "  \"" + device.Name() + "\"  rank " +
                std::to_string(device.record.Rank) + "  sync " + SyncModeOf(device) + "  " +
                (!status.streamInfoRead[i] ? "streaming unknown"
                 : status.streaming[i]     ? "streaming"
                                           : "not streaming") +
                "\n";
    }
    const std::string master = MasterKey(s);
    text += std::string("Clock master: ") +
            (s.clockMaster.MasterType == 0 ? "PC"
             : master.empty() ? "device id " + std::to_string(s.clockMaster.MasterDeviceId)
                              : "device " + master) +
            " (" + ClockMasterText(s.clockMaster.MasterType).GetString() + ")\n";
    text += std::string("Sampling rate: ") + SampleRateText(s.sampleRates.CurrentRate).GetString() +
            (s.sampleRateMode != 0 ? " (automatic)" : " (manual)") + "\n";
    text += std::string("Stream buffer depth: ") +
            StreamDepthText(s.streamDepth.Current).GetString() + "\n";
    text += "ASIO buffer depth: " + AudioDepthLine(s.asioDepth) + "\n";
    text += "WDM sound buffer depth: " + AudioDepthLine(s.wdmDepth) + "\n";
    text += "Drop-outs: " + (status.statisticsRead ? std::to_string(status.dropOuts) : "unknown") +
            "\n";
    text += std::string("All devices streaming: ") + (status.AllStreaming() ? "yes" : "no") + "\n";
    return text;
}

std::string StatusJson(const DriverStatus& status) {
    const DriverSettings& s = status.settings;
    auto utf8 = [](const std::string& text) { return os::AnsiToUtf8(text); };
    Json report;
    report["format"] = "vesk-driver-status";
    report["version"] = 1;
    report["driver"] = {{"version", VersionNumber(status.version)},
                        {"interface", InterfaceNumber(status.version)}};
    Json devices = Json::array();
    for (size_t i = 0; i < s.devices.size(); ++i) {
        const DeviceSettings& device = s.devices[i];
        Json entry = {{"serial", utf8(device.Serial())},
                      {"name", utf8(device.Name())},
                      {"rank", uint32_t{device.record.Rank}}};
        if (device.hasSyncInfo)
            entry["syncMode"] = {{"type", uint32_t{device.sync.CurrentMode.SyncType}},
                                 {"id", uint32_t{device.sync.CurrentMode.ModeId}},
                                 {"text", utf8(SyncModeOf(device))}};
        entry["streaming"] = status.streamInfoRead[i] ? Json(bool(status.streaming[i])) : Json();
        devices.push_back(entry);
    }
    report["devices"] = devices;
    const std::string master = MasterKey(s);
    report["clockMaster"] = master.empty() ? Json() : Json(utf8(master));
    report["clockMasterText"] = utf8(ClockMasterText(s.clockMaster.MasterType).GetString());
    report["sampleRateMode"] = s.sampleRateMode != 0 ? "automatic" : "manual";
    report["sampleRate"] = uint32_t{s.sampleRates.CurrentRate};
    report["sampleRateText"] = utf8(SampleRateText(s.sampleRates.CurrentRate).GetString());
    report["bufferDepths"] = {
        {"stream",
         {{"us", uint32_t{s.streamDepth.Current}},
          {"text", utf8(StreamDepthText(s.streamDepth.Current).GetString())}}},
        {"asio",
         {{"us", uint32_t{s.asioDepth.Current}},
          {"samples", uint32_t{s.asioDepth.Samples}},
          {"text", utf8(AudioDepthLine(s.asioDepth))}}},
        {"wdm",
         {{"us", uint32_t{s.wdmDepth.Current}},
          {"samples", uint32_t{s.wdmDepth.Samples}},
          {"text", utf8(AudioDepthLine(s.wdmDepth))}}}};
    report["dropOuts"] = status.statisticsRead ? Json(status.dropOuts) : Json();
    report["allStreaming"] = status.AllStreaming();
    return report.dump(2) + "\n";
}

}  // namespace vesk
