#include "sim/window/SimulatorView.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {

using Json = nlohmann::json;

// Scenario numbers are JSON numbers or "0x" hexadecimal strings.
uint64_t NumberOf(const Json& value) {
    if (value.is_number_unsigned()) return value.get<uint64_t>();
    if (value.is_number_integer()) return static_cast<uint64_t>(value.get<int64_t>());
    if (value.is_string()) return std::strtoull(value.get<std::string>().c_str(), nullptr, 0);
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    return 0;
}

uint64_t Member(const Json& object, const char* name) {
    if (!object.is_object()) return 0;
    auto found = object.find(name);
    return found == object.end() ? 0 : NumberOf(*found);
}

std::string TextMember(const Json& object, const char* name) {
    if (!object.is_object()) return std::string();
    auto found = object.find(name);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

const Json& ArrayMember(const Json& object, const char* name) {
    static const Json empty = Json::array();
    if (!object.is_object()) return empty;
    auto found = object.find(name);
    return found != object.end() && found->is_array() ? *found : empty;
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(value));
    return text;
}

uint32_t FreeId(std::vector<uint32_t>* used, uint32_t from) {
    uint32_t id = from;
    while (std::find(used->begin(), used->end(), id) != used->end()) ++id;
    used->push_back(id);
    return id;
}

}  // namespace

bool ReadSimulatorView(const std::string& dump, SimulatorView* view) {
    const Json state = Json::parse(dump, nullptr, false);
    if (!state.is_object()) return false;
    SimulatorView next;
    next.loaded = Member(state, "loaded") != 0;
    next.streaming = Member(state, "streaming") != 0;
    next.wdmInUse = Member(state, "wdmInUse") != 0;
    next.sampleRateMode = static_cast<int64_t>(Member(state, "sampleRateMode"));
    if (state.contains("sampleRate"))
        next.currentRate = static_cast<uint32_t>(Member(state["sampleRate"], "currentRate"));
    if (state.contains("clockMaster")) {
        next.masterType = static_cast<int64_t>(Member(state["clockMaster"], "masterType"));
        next.masterDeviceId = static_cast<uint32_t>(Member(state["clockMaster"], "masterDeviceId"));
    }
    if (state.contains("statistics")) next.dropOuts = Member(state["statistics"], "dropOuts");
    next.eventsQueued = ArrayMember(state, "events").size();
    next.faultRules = ArrayMember(state, "faults").size();
    for (const Json& device : ArrayMember(state, "devices")) {
        SimulatorDeviceRow row;
        row.id = static_cast<uint32_t>(Member(device, "id"));
        row.rank = static_cast<int64_t>(Member(device, "rank"));
        row.name = TextMember(device, "name");
        row.serial = TextMember(device, "serial");
        row.inputs = ArrayMember(device, "inputs").size();
        row.outputs = ArrayMember(device, "outputs").size();
        const Json& streams =
            device.is_object() && device.contains("streams") ? device["streams"] : Json::object();
        for (const Json& plug : ArrayMember(streams, "plugs")) {
            if (!row.plugStates.empty()) row.plugStates += ' ';
            row.plugStates += std::to_string(Member(plug, "state"));
        }
        next.idsInUse.push_back(row.id);
        for (const char* direction : {"inputs", "outputs"})
            for (const Json& channel : ArrayMember(device, direction))
                next.idsInUse.push_back(static_cast<uint32_t>(Member(channel, "id")));
        next.devices.push_back(std::move(row));
    }
    *view = std::move(next);
    return true;
}

std::string DescribeDriver(const SimulatorView& view) {
    std::string text = view.loaded ? "Driver loaded" : "Driver unloaded";
    text += view.streaming ? ", streaming" : ", not streaming";
    text += ". Rate " + std::to_string(view.currentRate) + " Hz";
    text += view.sampleRateMode ? " (automatic)" : " (manual)";
    text += ". Clock master: ";
    text += view.masterType == 1 ? "device " + Hex(view.masterDeviceId) : "PC driver";
    text += ". WDM in use: ";
    text += view.wdmInUse ? "yes" : "no";
    text += ". Events queued: " + std::to_string(view.eventsQueued);
    text += ". Fault rules: " + std::to_string(view.faultRules);
    text += ". Drop-outs: " + std::to_string(view.dropOuts) + ".";
    return text;
}

std::string CannedDeviceJson(const SimulatorView& view, int serialNumber) {
    std::vector<uint32_t> used = view.idsInUse;
    const uint32_t device = FreeId(&used, 0x1101);
    const uint32_t input1 = FreeId(&used, 0x2101);
    const uint32_t input2 = FreeId(&used, input1);
    const uint32_t output1 = FreeId(&used, 0x3101);
    const uint32_t output2 = FreeId(&used, output1);
    char serial[32];
    std::snprintf(serial, sizeof(serial), "SN-HP-%04d", serialNumber % 10000);
    const Json plug = {{"state", 3},
                       {"errorCode", 0},
                       {"streamNumber", 0},
                       {"currentRate", view.currentRate},
                       {"rates", {44100, 48000, 88200, 96000}}};
    Json outPlug = plug;
    Json inPlug = plug;
    outPlug["streamNumber"] = 2 * (serialNumber % 30);
    inPlug["streamNumber"] = 2 * (serialNumber % 30) + 1;
    const Json mode = {{"syncType", 6}, {"modeId", 1}, {"modeName", ""}};
    const Json json = {
        {"id", Hex(device)},
        {"rank", static_cast<int64_t>(view.devices.size())},
        {"name", "Hot-plugged Interface " + std::to_string(serialNumber)},
        {"serial", serial},
        {"syncModes",
         {{"current", mode},
          {"modes", {mode, {{"syncType", 2}, {"modeId", 2}, {"modeName", "1394 bus"}}}}}},
        {"streams", {{"plugs", {outPlug, inPlug, {{"state", 0}}, {{"state", 0}}}}}},
        {"inputs",
         {{{"id", Hex(input1)}, {"hardwareName", "Mic/Line In 1"}, {"channelName", "In 1"}},
          {{"id", Hex(input2)}, {"hardwareName", "Mic/Line In 2"}, {"channelName", "In 2"}}}},
        {"outputs",
         {{{"id", Hex(output1)}, {"hardwareName", "Line Out 1"}, {"channelName", "Out 1"}},
          {{"id", Hex(output2)}, {"hardwareName", "Line Out 2"}, {"channelName", "Out 2"}}}}};
    return json.dump();
}

}  // namespace sim
