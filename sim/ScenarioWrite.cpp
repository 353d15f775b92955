// The driver state as a scenario.
#include "JsonValues.h"
#include "Trace.h"

namespace sim {
namespace {

// Packed record fields may sit off their alignment: they are copied, never bound to a
// reference.
uint32_t Value(uint32_t field) {
    return field;
}

Json ModeJson(const SimSyncMode& mode) {
    return Json{
        {"syncType", mode.syncType}, {"modeId", mode.modeId}, {"modeName", TextJson(mode.name)}};
}

Json PlugJson(const SimPlug& plug) {
    return Json{{"state", plug.state},
                {"errorCode", Hex32Text(plug.errorCode)},
                {"streamNumber", plug.streamNumber},
                {"currentRate", plug.currentRate},
                {"rates", plug.rates}};
}

Json ChannelsJson(const std::vector<SimChannel>& channels) {
    Json list = Json::array();
    for (const SimChannel& channel : channels) {
        list.push_back(Json{{"id", HexText(channel.id)},
                            {"hardwareName", TextJson(channel.hardwareName)},
                            {"channelName", TextJson(channel.channelName)},
                            {"field0", HexBytes(channel.field0.data(), channel.field0.size())},
                            {"field8", HexBytes(channel.field8.data(), channel.field8.size())}});
    }
    return list;
}

Json DeviceJson(const SimDevice& device) {
    Json modes = Json::array();
    for (const SimSyncMode& mode : device.modes) modes.push_back(ModeJson(mode));
    Json plugs = Json::array();
    for (const SimPlug& plug : device.plugs) plugs.push_back(PlugJson(plug));
    // Trailing zeros are what a shorter `extra` reads as anyway.
    size_t extraSize = device.extra.size();
    while (extraSize > 0 && device.extra[extraSize - 1] == 0) --extraSize;
    return Json{{"id", HexText(device.id)},
                {"rank", device.rank},
                {"name", TextJson(device.name)},
                {"serial", TextJson(device.serial)},
                {"extra", HexBytes(device.extra.data(), extraSize)},
                {"syncModes", {{"current", ModeJson(device.currentMode)}, {"modes", modes}}},
                {"streams", {{"plugs", plugs}}},
                {"inputs", ChannelsJson(device.inputs)},
                {"outputs", ChannelsJson(device.outputs)}};
}

Json AudioDepthJson(const _VESK_AUDIO_BUFFER_DEPTH& depth) {
    return Json{{"current", Value(depth.Current)},
                {"minimum", Value(depth.Minimum)},
                {"step", Value(depth.Step)},
                {"samples", Value(depth.Samples)}};
}

}  // namespace

Json DriverStateToJson(const DriverState& driver) {
    const Version& version = driver.version;
    Json devices = Json::array();
    for (const SimDevice& device : driver.devices) devices.push_back(DeviceJson(device));
    Json faults = Json::array();
    for (const FaultRule& rule : driver.faults) {
        if (rule.anyCode) continue;  // not expressible in a scenario
        faults.push_back(Json{{"code", Hex32Text(rule.code)},
                              {"status", Hex32Text(rule.status)},
                              {"skip", rule.skip},
                              {"count", rule.count}});
    }
    Json raw = Json::object();
    for (const auto& entry : driver.raw)
        raw[Hex32Text(entry.first)] = HexBytes(entry.second.data(), entry.second.size());
    const _VESK_STREAM_BUFFER_DEPTH& stream = driver.streamBufferDepth;
    return Json{{"loaded", driver.loaded},
                {"version",
                 {{"interfaceMajor", version.interfaceMajor},
                  {"interfaceMinor", version.interfaceMinor},
                  {"driverMajor", version.driverMajor},
                  {"driverMinor", version.driverMinor},
                  {"driverBuild", version.driverBuild}}},
                {"asioNameIncludesDevice", driver.asioNameIncludesDevice},
                {"clockMaster",
                 {{"reserved", Value(driver.clockMaster.Reserved)},
                  {"masterType", Value(driver.clockMaster.MasterType)},
                  {"masterDeviceId", HexText(driver.clockMaster.MasterDeviceId)}}},
                {"sampleRateMode", driver.sampleRateMode},
                {"sampleRate",
                 {{"reserved", driver.sampleRateReserved},
                  {"currentRate", driver.currentRate},
                  {"rates", driver.rates}}},
                {"wdmInUse", driver.wdmInUse},
                {"streaming", driver.streaming},
                {"streamBufferDepth",
                 {{"minimum", Value(stream.Minimum)},
                  {"reserved", Value(stream.Reserved)},
                  {"step", Value(stream.Step)},
                  {"current", Value(stream.Current)}}},
                {"asioBufferDepth", AudioDepthJson(driver.asioBufferDepth)},
                {"wdmBufferDepth", AudioDepthJson(driver.wdmBufferDepth)},
                {"statistics", {{"dropOuts", driver.dropOuts}}},
                {"devices", devices},
                {"events", Json(std::vector<int32_t>(driver.events.begin(), driver.events.end()))},
                {"faults", faults},
                {"raw", raw}};
}

}  // namespace sim
