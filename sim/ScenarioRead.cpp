// A scenario into the driver state, refusing what the driver's records could not hold.
#include <set>

#include "JsonValues.h"
#include "driver/DeviceRecords.h"
#include "driver/IoctlCodes.h"

namespace sim {
namespace {

std::string Item(const std::string& where, size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

SimSyncMode ReadMode(const Json& json, const std::string& where) {
    const Members m(json, where, {"syncType", "modeId", "modeName"});
    SimSyncMode mode;
    if (const Json* v = m.Get("syncType")) mode.syncType = ReadU32(*v, m.Where("syncType"));
    if (const Json* v = m.Get("modeId")) mode.modeId = ReadU32(*v, m.Where("modeId"));
    if (const Json* v = m.Get("modeName"))
        mode.name = ReadText(*v, m.Where("modeName"), kMaxNameLength);
    return mode;
}

void ReadSyncModes(const Json& json, const std::string& where, SimDevice* device) {
    const Members m(json, where, {"current", "modes"});
    if (const Json* list = m.Get("modes")) {
        if (!list->is_array()) Refuse(m.Where("modes"), "not a list");
        if (list->size() > VESK_MAX_SYNC_MODES) Refuse(m.Where("modes"), "more than 16 modes");
        device->modes.clear();
        for (size_t i = 0; i < list->size(); ++i)
            device->modes.push_back(ReadMode((*list)[i], Item(m.Where("modes"), i)));
    }
    if (const Json* v = m.Get("current"))
        device->currentMode = ReadMode(*v, m.Where("current"));
    else if (!device->modes.empty())
        device->currentMode = device->modes.front();
}

SimPlug ReadPlug(const Json& json, const std::string& where) {
    const Members m(json, where, {"state", "errorCode", "streamNumber", "currentRate", "rates"});
    SimPlug plug;
    if (const Json* v = m.Get("state")) plug.state = ReadU32(*v, m.Where("state"));
    if (const Json* v = m.Get("errorCode")) plug.errorCode = ReadU32(*v, m.Where("errorCode"));
    if (const Json* v = m.Get("streamNumber"))
        plug.streamNumber = ReadU32(*v, m.Where("streamNumber"));
    if (const Json* v = m.Get("currentRate"))
        plug.currentRate = ReadU32(*v, m.Where("currentRate"));
    if (const Json* v = m.Get("rates"))
        plug.rates = ReadRates(*v, m.Where("rates"), VESK_MAX_PLUG_RATES);
    return plug;
}

void ReadStreams(const Json& json, const std::string& where, SimDevice* device) {
    const Members m(json, where, {"plugs"});
    const Json* list = m.Get("plugs");
    if (!list) return;
    if (!list->is_array()) Refuse(m.Where("plugs"), "not a list");
    if (list->size() > VESK_PLUG_COUNT) Refuse(m.Where("plugs"), "more than 4 plugs");
    for (size_t i = 0; i < list->size(); ++i)
        device->plugs[i] = ReadPlug((*list)[i], Item(m.Where("plugs"), i));
}

std::array<uint8_t, 4> ReadField(const Json& json, const std::string& where) {
    const std::vector<uint8_t> bytes = ReadBytes(json, where, 4);
    std::array<uint8_t, 4> field{};
    std::copy(bytes.begin(), bytes.end(), field.begin());
    return field;
}

// What a channel or device left out, to be chosen once all given identifiers are known.
struct Missing {
    std::vector<SimChannel*> channelIds;
    std::vector<SimChannel*> channelField0;
    bool deviceId = false;
    bool rank = false;
};

void ReadChannels(const Json& json, const std::string& where, std::vector<SimChannel>* channels,
                  Missing* missing) {
    if (!json.is_array()) Refuse(where, "not a list");
    if (json.size() > VESK_MAX_CHANNELS) Refuse(where, "more than 256 channels");
    channels->assign(json.size(), SimChannel{});
    for (size_t i = 0; i < json.size(); ++i) {
        const Members m(json[i], Item(where, i),
                        {"id", "hardwareName", "channelName", "field0", "field8"});
        SimChannel& channel = (*channels)[i];
        if (const Json* v = m.Get("id"))
            channel.id = ReadU32(*v, m.Where("id"));
        else
            missing->channelIds.push_back(&channel);
        if (const Json* v = m.Get("hardwareName"))
            channel.hardwareName = ReadText(*v, m.Where("hardwareName"), kMaxNameLength);
        channel.channelName = channel.hardwareName;
        if (const Json* v = m.Get("channelName"))
            channel.channelName = ReadText(*v, m.Where("channelName"), kMaxNameLength);
        if (const Json* v = m.Get("field0"))
            channel.field0 = ReadField(*v, m.Where("field0"));
        else
            missing->channelField0.push_back(&channel);
        if (const Json* v = m.Get("field8")) channel.field8 = ReadField(*v, m.Where("field8"));
    }
}

SimDevice ReadDevice(const Json& json, const std::string& where, Missing* missing) {
    const Members m(
        json, where,
        {"id", "rank", "name", "serial", "extra", "syncModes", "streams", "inputs", "outputs"});
    SimDevice device;
    device.modes = {{6, 1, ""}};  // a device without modes of its own runs on its own clock
    device.currentMode = device.modes.front();
    if (const Json* v = m.Get("id"))
        device.id = ReadU32(*v, m.Where("id"));
    else
        missing->deviceId = true;
    if (const Json* v = m.Get("rank"))
        device.rank = ReadU32(*v, m.Where("rank"));
    else
        missing->rank = true;
    if (const Json* v = m.Get("name")) device.name = ReadText(*v, m.Where("name"), kMaxNameLength);
    if (const Json* v = m.Get("serial"))
        device.serial = ReadText(*v, m.Where("serial"), kMaxSerialLength);
    if (const Json* v = m.Get("extra"))
        device.extra = ReadBytes(*v, m.Where("extra"), kDeviceExtraSize);
    if (const Json* v = m.Get("syncModes")) ReadSyncModes(*v, m.Where("syncModes"), &device);
    if (const Json* v = m.Get("streams")) ReadStreams(*v, m.Where("streams"), &device);
    return device;
}

// Channels are read once the device has its place, since `Missing` points into them.
void ReadDeviceChannels(const Json& json, const std::string& where, SimDevice* device,
                        Missing* missing) {
    const Members m(
        json, where,
        {"id", "rank", "name", "serial", "extra", "syncModes", "streams", "inputs", "outputs"});
    if (const Json* v = m.Get("inputs"))
        ReadChannels(*v, m.Where("inputs"), &device->inputs, missing);
    if (const Json* v = m.Get("outputs"))
        ReadChannels(*v, m.Where("outputs"), &device->outputs, missing);
}

template <typename Used>
uint32_t FreeId(uint32_t from, const Used& used) {
    uint32_t id = from;
    while (used.count(id)) ++id;
    return id;
}

// Chooses the left-out identifiers and checks that every identifier is unique and that the
// lists fit their records.
void Complete(DriverState& driver, std::vector<Missing>& missing, size_t firstNew) {
    std::set<const SimChannel*> unnamed;
    for (const Missing& left : missing)
        unnamed.insert(left.channelIds.begin(), left.channelIds.end());
    std::set<uint32_t> deviceIds;
    std::set<uint32_t> channelIds;
    for (size_t i = 0; i < driver.devices.size(); ++i) {
        const SimDevice& device = driver.devices[i];
        const bool given = i < firstNew || !missing[i - firstNew].deviceId;
        if (given && !deviceIds.insert(device.id).second)
            Refuse("devices", "device identifier " + HexText(device.id) + " used twice");
        for (const auto* list : {&device.inputs, &device.outputs})
            for (const SimChannel& channel : *list)
                if (!unnamed.count(&channel) && !channelIds.insert(channel.id).second)
                    Refuse("devices", "channel identifier " + HexText(channel.id) + " used twice");
    }
    for (size_t i = firstNew; i < driver.devices.size(); ++i) {
        SimDevice& device = driver.devices[i];
        Missing& left = missing[i - firstNew];
        if (left.deviceId) deviceIds.insert(device.id = FreeId(0x1001, deviceIds));
        if (left.rank) device.rank = static_cast<uint32_t>(i);
        for (SimChannel* channel : left.channelIds)
            channelIds.insert(channel->id = FreeId(0x2001, channelIds));
        for (SimChannel* channel : left.channelField0)
            channel->field0 = {
                static_cast<uint8_t>(channel->id), static_cast<uint8_t>(channel->id >> 8),
                static_cast<uint8_t>(channel->id >> 16), static_cast<uint8_t>(channel->id >> 24)};
    }
    if (driver.devices.size() > VESK_MAX_DEVICES) Refuse("devices", "more than 64 devices");
    size_t inputs = 0, outputs = 0;
    for (const SimDevice& device : driver.devices) {
        inputs += device.inputs.size();
        outputs += device.outputs.size();
    }
    if (inputs > VESK_MAX_CHANNELS) Refuse("devices", "more than 256 input channels");
    if (outputs > VESK_MAX_CHANNELS) Refuse("devices", "more than 256 output channels");
}

void ReadDevices(const Json& json, DriverState* driver) {
    if (!json.is_array()) Refuse("devices", "not a list");
    if (json.size() > VESK_MAX_DEVICES) Refuse("devices", "more than 64 devices");
    driver->devices.clear();
    std::vector<Missing> missing(json.size());
    for (size_t i = 0; i < json.size(); ++i)
        driver->devices.push_back(ReadDevice(json[i], Item("devices", i), &missing[i]));
    for (size_t i = 0; i < json.size(); ++i)
        ReadDeviceChannels(json[i], Item("devices", i), &driver->devices[i], &missing[i]);
    Complete(*driver, missing, 0);
}

FaultRule ReadFault(const Json& json, const std::string& where) {
    const Members m(json, where, {"code", "status", "skip", "count"});
    FaultRule rule;
    rule.count = -1;
    const Json* code = m.Get("code");
    const Json* status = m.Get("status");
    if (!code || !status) Refuse(where, "a fault needs a code and a status");
    rule.code = ReadU32(*code, m.Where("code"));
    if (!vesk::FindRequest(rule.code)) Refuse(m.Where("code"), "not a request code");
    rule.status = ReadU32(*status, m.Where("status"));
    if (rule.status == 0) Refuse(m.Where("status"), "a fault's status is not 0");
    if (const Json* v = m.Get("skip")) rule.skip = ReadU32(*v, m.Where("skip"));
    if (const Json* v = m.Get("count")) rule.count = ReadInteger(*v, m.Where("count"));
    if (rule.count < -1 || rule.count == 0) Refuse(m.Where("count"), "not -1 or a positive count");
    return rule;
}

void ReadRaw(const Json& json, DriverState* driver) {
    if (!json.is_object()) Refuse("raw", "not an object");
    driver->raw.clear();
    for (const auto& item : json.items()) {
        if (item.value().is_null()) continue;
        const std::string where = "raw." + item.key();
        const uint32_t code = ReadU32(Json(item.key()), where);
        const vesk::RequestShape* shape = vesk::FindRequest(code);
        if (!shape) Refuse(where, "not a request code");
        driver->raw[code] = ReadBytes(item.value(), where, shape->outputSize);
    }
}

void ReadAudioDepth(const Json& json, const std::string& where, _VESK_AUDIO_BUFFER_DEPTH* depth) {
    const Members m(json, where, {"current", "minimum", "step", "samples"});
    if (const Json* v = m.Get("current")) depth->Current = ReadU32(*v, m.Where("current"));
    if (const Json* v = m.Get("minimum")) depth->Minimum = ReadU32(*v, m.Where("minimum"));
    if (const Json* v = m.Get("step")) depth->Step = ReadU32(*v, m.Where("step"));
    if (const Json* v = m.Get("samples")) depth->Samples = ReadU32(*v, m.Where("samples"));
}

bool PatchGivesSamples(const Json& patch, const char* buffer) {
    const auto found = patch.find(buffer);
    return found != patch.end() && found->is_object() && found->contains("samples") &&
           !(*found)["samples"].is_null();
}

void ReadState(const Json& json, DriverState* driver) {
    const Members m(json, "",
                    {"loaded", "version", "asioNameIncludesDevice", "clockMaster", "sampleRateMode",
                     "sampleRate", "wdmInUse", "streaming", "streamBufferDepth", "asioBufferDepth",
                     "wdmBufferDepth", "statistics", "devices", "events", "faults", "raw"});
    if (const Json* v = m.Get("loaded")) driver->loaded = ReadBool(*v, "loaded");
    if (const Json* v = m.Get("version")) {
        const Members version(
            *v, "version",
            {"interfaceMajor", "interfaceMinor", "driverMajor", "driverMinor", "driverBuild"});
        Version& out = driver->version;
        if (const Json* f = version.Get("interfaceMajor"))
            out.interfaceMajor = ReadU8(*f, version.Where("interfaceMajor"));
        if (const Json* f = version.Get("interfaceMinor"))
            out.interfaceMinor = ReadU8(*f, version.Where("interfaceMinor"));
        if (const Json* f = version.Get("driverMajor"))
            out.driverMajor = ReadU8(*f, version.Where("driverMajor"));
        if (const Json* f = version.Get("driverMinor"))
            out.driverMinor = ReadU8(*f, version.Where("driverMinor"));
        if (const Json* f = version.Get("driverBuild"))
            out.driverBuild = ReadI32(*f, version.Where("driverBuild"));
    }
    if (const Json* v = m.Get("asioNameIncludesDevice"))
        driver->asioNameIncludesDevice = ReadU32(*v, "asioNameIncludesDevice");
    if (const Json* v = m.Get("clockMaster")) {
        const Members master(*v, "clockMaster", {"reserved", "masterType", "masterDeviceId"});
        _VESK_CLOCK_MASTER& out = driver->clockMaster;
        if (const Json* f = master.Get("reserved"))
            out.Reserved = ReadU32(*f, master.Where("reserved"));
        if (const Json* f = master.Get("masterType"))
            out.MasterType = ReadU32(*f, master.Where("masterType"));
        if (const Json* f = master.Get("masterDeviceId"))
            out.MasterDeviceId = ReadU32(*f, master.Where("masterDeviceId"));
    }
    if (const Json* v = m.Get("sampleRateMode"))
        driver->sampleRateMode = ReadU32(*v, "sampleRateMode");
    if (const Json* v = m.Get("sampleRate")) {
        const Members rate(*v, "sampleRate", {"reserved", "currentRate", "rates"});
        if (const Json* f = rate.Get("reserved"))
            driver->sampleRateReserved = ReadU32(*f, rate.Where("reserved"));
        if (const Json* f = rate.Get("currentRate"))
            driver->currentRate = ReadU32(*f, rate.Where("currentRate"));
        if (const Json* f = rate.Get("rates"))
            driver->rates = ReadRates(*f, rate.Where("rates"), VESK_MAX_RATES);
    }
    if (const Json* v = m.Get("wdmInUse")) driver->wdmInUse = ReadBool(*v, "wdmInUse");
    if (const Json* v = m.Get("streaming")) driver->streaming = ReadBool(*v, "streaming");
    if (const Json* v = m.Get("streamBufferDepth")) {
        const Members depth(*v, "streamBufferDepth", {"minimum", "reserved", "step", "current"});
        _VESK_STREAM_BUFFER_DEPTH& out = driver->streamBufferDepth;
        if (const Json* f = depth.Get("minimum")) out.Minimum = ReadU32(*f, depth.Where("minimum"));
        if (const Json* f = depth.Get("reserved"))
            out.Reserved = ReadU32(*f, depth.Where("reserved"));
        if (const Json* f = depth.Get("step")) out.Step = ReadU32(*f, depth.Where("step"));
        if (const Json* f = depth.Get("current")) out.Current = ReadU32(*f, depth.Where("current"));
    }
    if (const Json* v = m.Get("asioBufferDepth"))
        ReadAudioDepth(*v, "asioBufferDepth", &driver->asioBufferDepth);
    if (const Json* v = m.Get("wdmBufferDepth"))
        ReadAudioDepth(*v, "wdmBufferDepth", &driver->wdmBufferDepth);
    if (const Json* v = m.Get("statistics")) {
        const Members statistics(*v, "statistics", {"dropOuts"});
        if (const Json* f = statistics.Get("dropOuts"))
            driver->dropOuts = ReadU32(*f, statistics.Where("dropOuts"));
    }
    if (const Json* v = m.Get("devices")) ReadDevices(*v, driver);
    if (const Json* v = m.Get("events")) {
        if (!v->is_array()) Refuse("events", "not a list");
        driver->events.clear();
        for (size_t i = 0; i < v->size(); ++i)
            driver->events.push_back(ReadI32((*v)[i], Item("events", i)));
    }
    if (const Json* v = m.Get("faults")) {
        if (!v->is_array()) Refuse("faults", "not a list");
        driver->faults.clear();
        for (size_t i = 0; i < v->size(); ++i)
            driver->faults.push_back(ReadFault((*v)[i], Item("faults", i)));
    }
    if (const Json* v = m.Get("raw")) ReadRaw(*v, driver);
}

}  // namespace

bool ParseJsonObject(const std::string& text, Json* object, std::string* error) {
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        *object = Json::object();
        return true;
    }
    Json parsed = Json::parse(text, nullptr, false);
    if (parsed.is_discarded()) {
        if (error) *error = "not valid JSON";
        return false;
    }
    if (!parsed.is_object()) {
        if (error) *error = "not a JSON object";
        return false;
    }
    *object = std::move(parsed);
    return true;
}

bool DriverStateFromJson(const Json& merged, const Json& patch, DriverState* driver,
                         std::string* error) {
    try {
        DriverState read;
        ReadState(merged, &read);
        if (!PatchGivesSamples(patch, "asioBufferDepth"))
            read.asioBufferDepth.Samples =
                SamplesFor(read.asioBufferDepth.Current, read.currentRate);
        if (!PatchGivesSamples(patch, "wdmBufferDepth"))
            read.wdmBufferDepth.Samples = SamplesFor(read.wdmBufferDepth.Current, read.currentRate);
        *driver = std::move(read);
        return true;
    } catch (const ScenarioError& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool DeviceFromJson(const Json& json, const DriverState& driver, SimDevice* device,
                    std::string* error) {
    try {
        DriverState grown = driver;
        std::vector<Missing> missing(1);
        const size_t index = grown.devices.size();
        grown.devices.push_back(ReadDevice(json, "device", &missing[0]));
        ReadDeviceChannels(json, "device", &grown.devices[index], &missing[0]);
        Complete(grown, missing, index);
        if (missing[0].rank) {
            uint64_t last = 0;
            for (size_t i = 0; i < index; ++i)
                last = std::max<uint64_t>(last, uint64_t{grown.devices[i].rank} + 1);
            grown.devices[index].rank = static_cast<uint32_t>(std::min<uint64_t>(last, UINT32_MAX));
        }
        *device = grown.devices[index];
        return true;
    } catch (const ScenarioError& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace sim
