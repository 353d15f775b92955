#include "DemoScenario.h"

namespace sim {
namespace {

const std::vector<uint32_t> kCommonRates = {44100, 48000, 88200, 96000};
const std::vector<uint32_t> kWideRates = {44100, 48000, 88200, 96000, 176400, 192000};

SimPlug Connected(uint32_t streamNumber, const std::vector<uint32_t>& rates) {
    SimPlug plug;
    plug.state = PLUG_STATE_CONNECTED;
    plug.streamNumber = streamNumber;
    plug.currentRate = 48000;
    plug.rates = rates;
    return plug;
}

SimPlug Failed(uint32_t errorCode, const std::vector<uint32_t>& rates) {
    SimPlug plug;
    plug.state = PLUG_STATE_CONNECT_FAILED;
    plug.errorCode = errorCode;
    plug.rates = rates;
    return plug;
}

// Channels named after their connectors, with the user's names where `names` has one.
std::vector<SimChannel> Channels(uint32_t firstId, uint32_t deviceTag, const char* connector,
                                 int count, const std::vector<const char*>& names) {
    std::vector<SimChannel> channels;
    for (int i = 0; i < count; ++i) {
        SimChannel channel;
        channel.id = firstId + static_cast<uint32_t>(i);
        channel.field0 = {static_cast<uint8_t>(channel.id), static_cast<uint8_t>(channel.id >> 8),
                          0, 0};
        channel.field8 = {static_cast<uint8_t>(i), static_cast<uint8_t>(deviceTag), 0, 0};
        channel.hardwareName = std::string(connector) + " " + std::to_string(i + 1);
        channel.channelName = i < static_cast<int>(names.size()) ? names[static_cast<size_t>(i)]
                                                                 : channel.hardwareName;
        channels.push_back(channel);
    }
    return channels;
}

SimDevice StudioInterface() {
    SimDevice device;
    device.id = 0x1001;
    device.rank = 0;
    device.name = "Studio Interface";
    device.serial = "SN-000123";
    device.extra = {0x01, 0x00, 0x02, 0x00, 0x5a, 0xa5};
    device.modes = {{6, 1, ""}, {2, 2, "1394 bus"}, {4, 3, "S/PDIF"}, {5, 4, "Word clock"}};
    device.currentMode = device.modes[0];
    device.plugs = {Connected(0, kCommonRates), Connected(1, kCommonRates), SimPlug{}, SimPlug{}};
    device.inputs =
        Channels(0x2001, 1, "Analog In", 8, {"Vocal", "Guitar", "Bass DI", "Keys L", "Keys R"});
    device.outputs =
        Channels(0x3001, 1, "Analog Out", 8, {"Main L", "Main R", "Phones L", "Phones R"});
    return device;
}

SimDevice PortableInterface() {
    SimDevice device;
    device.id = 0x1002;
    device.rank = 1;
    device.name = "Portable Interface";
    device.serial = "SN-004711";
    device.modes = {{6, 1, ""}, {2, 2, "1394 bus"}};
    device.currentMode = device.modes[1];
    device.plugs = {Connected(2, kWideRates), Connected(3, kWideRates), SimPlug{}, SimPlug{}};
    device.inputs = Channels(0x2101, 2, "Mic/Line In", 2, {"Talkback"});
    device.outputs = Channels(0x3101, 2, "Line Out", 2, {});
    return device;
}

SimDevice PreampRack() {
    SimDevice device;
    device.id = 0x1003;
    device.rank = 2;
    device.name = "Preamp Rack";
    device.serial = "SN-010582";
    device.modes = {
        {6, 1, ""}, {3, 2, "1394 bus"}, {4, 3, "ADAT"}, {5, 4, "Word clock"}, {1, 5, ""}};
    device.currentMode = device.modes[1];
    device.plugs = {Connected(4, kCommonRates), Connected(5, kCommonRates),
                    Failed(0xE0000073, kCommonRates), SimPlug{}};
    device.inputs =
        Channels(0x2201, 3, "Preamp In", 8,
                 {"Kick", "Snare", "Hi-Hat", "Tom 1", "Tom 2", "Overhead L", "Overhead R"});
    device.outputs = Channels(0x3201, 3, "ADAT Out", 2, {});
    return device;
}

}  // namespace

DriverState DemoDriverState() {
    DriverState state;
    state.loaded = true;
    state.version = {2, 14, 1, 5, 1234};
    state.asioNameIncludesDevice = 0;
    // The studio interface runs on its own clock and the others follow it over the bus.
    state.clockMaster = {0, 1, 0x1001};
    state.sampleRateMode = 0;
    state.currentRate = 48000;
    state.rates = kCommonRates;
    state.wdmInUse = false;
    state.streaming = true;
    state.streamBufferDepth = {1000, 0, 125, 2000};
    state.asioBufferDepth = {5250, 1000, 125, SamplesFor(5250, 48000)};
    state.wdmBufferDepth = {10000, 2000, 1000, SamplesFor(10000, 48000)};
    state.dropOuts = 0;
    state.devices = {StudioInterface(), PortableInterface(), PreampRack()};
    return state;
}

}  // namespace sim
