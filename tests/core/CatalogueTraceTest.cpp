#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "driver/DeviceRecords.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"
#include "driver/Vesk1394Driver.h"
#include "os/Event.h"
#include "sim/Simulator.h"

namespace {

using namespace vesk;

sim::Simulator& Sim() {
    return sim::Simulator::Instance();
}

std::string Hex(const void* bytes, size_t size) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<const unsigned char*>(bytes)[i]);
        text += pair;
    }
    return text;
}

std::string Code(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", code);
    return text;
}

// Every record a method can fill or send, so that one call's output is the next one's input.
struct Buffers {
    _VESK_VERSION_INFO version;
    uint32_t asioNameFlag;
    uint32_t setFlag;
    VESK_EVENT_RECORD event;
    _VESK_DEVICE_LIST devices;
    _VESK_CHANNEL_LIST channels;
    _VESK_CLOCK_MASTER clockMaster;
    uint32_t sampleRateMode;
    _VESK_SAMPLE_RATE_INFO rates;
    uint32_t deviceId;
    uint32_t channelId;
    _DEVICE_SYNC_MODE_INFO syncInfo;
    _DEVICE_SYNC_MODE_SET syncSet;
    _VESK_DEVICE_PROPERTIES device;
    _VESK_STREAM_INFO stream;
    _VESK_CHANNEL_PROPERTIES channel;
    _VESK_STREAM_BUFFER_DEPTH streamDepth;
    _VESK_AUDIO_BUFFER_DEPTH asioDepth;
    _VESK_AUDIO_BUFFER_DEPTH wdmDepth;
    _VESK_STATISTICS statistics;
};

// One method of the connection: its code, how it is called, the input bytes it must send
// (worked out just before the call, from records read earlier) and the output it fills.
struct Case {
    uint32_t code;
    std::function<uint32_t(CVesk1394Driver&)> call;
    std::function<std::string()> input;
    void* output;
    size_t outputSize;
};

std::vector<Case> EveryMethod(Buffers& b, const os::AutoResetEvent& event) {
    auto none = [] { return std::string(); };
    auto bytes = [](const void* p, size_t n) { return [p, n] { return Hex(p, n); }; };
    const uint32_t eventHandle = event.HandleValue();
    return {
        {IOCTL_VESK_GET_VERSION, [&](CVesk1394Driver& d) { return d.GetVersion(&b.version); }, none,
         &b.version, sizeof b.version},
        {IOCTL_VESK_GET_ASIO_NAME_INCLUDES_DEVICE,
         [&](CVesk1394Driver& d) { return d.GetAsioNameIncludesDevice(&b.asioNameFlag); }, none,
         &b.asioNameFlag, 4},
        {IOCTL_VESK_SET_ASIO_NAME_INCLUDES_DEVICE,
         [&](CVesk1394Driver& d) { return d.SetAsioNameIncludesDevice(&b.setFlag); },
         [] { return std::string("01000000"); }, nullptr, 0},
        {IOCTL_VESK_SET_NOTIFICATION_EVENT,
         [eventHandle](CVesk1394Driver& d) { return d.SetNotificationEvent(eventHandle); },
         [eventHandle] { return Hex(&eventHandle, 4); }, nullptr, 0},
        {IOCTL_VESK_GET_EVENT, [&](CVesk1394Driver& d) { return d.GetEvent(&b.event); }, none,
         &b.event, sizeof b.event},
        {IOCTL_VESK_GET_DEVICE_LIST,
         [&](CVesk1394Driver& d) { return d.GetDeviceList(&b.devices); }, none, &b.devices,
         sizeof b.devices},
        {IOCTL_VESK_GET_CHANNEL_LIST,
         [&](CVesk1394Driver& d) { return d.GetChannelList(&b.channels); }, none, &b.channels,
         sizeof b.channels},
        {IOCTL_VESK_GET_CLOCK_MASTER,
         [&](CVesk1394Driver& d) { return d.GetClockMaster(&b.clockMaster); }, none, &b.clockMaster,
         sizeof b.clockMaster},
        {IOCTL_VESK_SET_CLOCK_MASTER,
         [&](CVesk1394Driver& d) { return d.SetClockMaster(&b.clockMaster); },
         bytes(&b.clockMaster, sizeof b.clockMaster), nullptr, 0},
        {IOCTL_VESK_GET_SAMPLE_RATE_MODE,
         [&](CVesk1394Driver& d) { return d.GetSampleRateMode(&b.sampleRateMode); }, none,
         &b.sampleRateMode, 4},
        {IOCTL_VESK_SET_SAMPLE_RATE_MODE, [](CVesk1394Driver& d) { return d.SetSampleRateMode(1); },
         [] { return std::string("0000000001000000"); }, nullptr, 0},
        {IOCTL_VESK_GET_SAMPLE_RATE, [&](CVesk1394Driver& d) { return d.GetSampleRate(&b.rates); },
         none, &b.rates, sizeof b.rates},
        {IOCTL_VESK_SET_SAMPLE_RATE, [](CVesk1394Driver& d) { return d.SetSampleRate(48000); },
         [] { return std::string("0000000080bb0000"); }, nullptr, 0},
        {IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO,
         [&](CVesk1394Driver& d) { return d.GetDeviceSyncModeInfo(&b.deviceId, &b.syncInfo); },
         bytes(&b.deviceId, 4), &b.syncInfo, sizeof b.syncInfo},
        {IOCTL_VESK_SET_DEVICE_SYNC_MODE,
         [&](CVesk1394Driver& d) { return d.SetDeviceSyncMode(&b.syncSet); },
         bytes(&b.syncSet, sizeof b.syncSet), nullptr, 0},
        {IOCTL_VESK_GET_DEVICE_PROPERTIES,
         [&](CVesk1394Driver& d) { return d.GetDeviceProperties(&b.deviceId, &b.device); },
         bytes(&b.deviceId, 4), &b.device, sizeof b.device},
        {IOCTL_VESK_SET_DEVICE_PROPERTIES,
         [&](CVesk1394Driver& d) { return d.SetDeviceProperties(&b.device); },
         bytes(&b.device, sizeof b.device), nullptr, 0},
        {IOCTL_VESK_GET_STREAM_INFO,
         [&](CVesk1394Driver& d) { return d.GetStreamInfo(&b.deviceId, &b.stream); },
         bytes(&b.deviceId, 4), &b.stream, sizeof b.stream},
        {IOCTL_VESK_GET_CHANNEL_PROPERTIES,
         [&](CVesk1394Driver& d) { return d.GetChannelProperties(&b.channelId, &b.channel); },
         bytes(&b.channelId, 4), &b.channel, sizeof b.channel},
        {IOCTL_VESK_SET_CHANNEL_PROPERTIES,
         [&](CVesk1394Driver& d) { return d.SetChannelProperties(&b.channel); },
         bytes(&b.channel, sizeof b.channel), nullptr, 0},
        {IOCTL_VESK_STOP_STREAMING, [](CVesk1394Driver& d) { return d.StopStreaming(); }, none,
         nullptr, 0},
        {IOCTL_VESK_START_STREAMING, [](CVesk1394Driver& d) { return d.StartStreaming(); }, none,
         nullptr, 0},
        {IOCTL_VESK_GET_STREAM_BUFFER_DEPTH,
         [&](CVesk1394Driver& d) { return d.GetStreamBufferDepth(&b.streamDepth); }, none,
         &b.streamDepth, sizeof b.streamDepth},
        {IOCTL_VESK_SET_STREAM_BUFFER_DEPTH,
         [&](CVesk1394Driver& d) { return d.SetStreamBufferDepth(&b.streamDepth); },
         bytes(&b.streamDepth, sizeof b.streamDepth), nullptr, 0},
        {IOCTL_VESK_GET_ASIO_BUFFER_DEPTH,
         [&](CVesk1394Driver& d) { return d.GetAsioBufferDepth(&b.asioDepth); }, none, &b.asioDepth,
         sizeof b.asioDepth},
        {IOCTL_VESK_SET_ASIO_BUFFER_DEPTH,
         [&](CVesk1394Driver& d) { return d.SetAsioBufferDepth(&b.asioDepth); },
         bytes(&b.asioDepth, sizeof b.asioDepth), nullptr, 0},
        {IOCTL_VESK_GET_WDM_BUFFER_DEPTH,
         [&](CVesk1394Driver& d) { return d.GetWdmBufferDepth(&b.wdmDepth); }, none, &b.wdmDepth,
         sizeof b.wdmDepth},
        {IOCTL_VESK_SET_WDM_BUFFER_DEPTH,
         [&](CVesk1394Driver& d) { return d.SetWdmBufferDepth(&b.wdmDepth); },
         bytes(&b.wdmDepth, sizeof b.wdmDepth), nullptr, 0},
        {IOCTL_VESK_GET_STATISTICS,
         [&](CVesk1394Driver& d) { return d.GetStatistics(&b.statistics); }, none, &b.statistics,
         sizeof b.statistics},
    };
}

const char kScenario[] = R"({
  "loaded": true,
  "version": {"interfaceMajor": 2, "interfaceMinor": 14, "driverMajor": 1, "driverMinor": 5,
              "driverBuild": 1234},
  "clockMaster": {"reserved": 0, "masterType": 0, "masterDeviceId": 0},
  "sampleRate": {"reserved": 0, "currentRate": 44100, "rates": [44100, 48000]},
  "wdmInUse": false,
  "faults": [],
  "events": [2],
  "devices": [{
    "id": "0x1001", "rank": 0, "name": "Studio Interface", "serial": "SN-000123",
    "syncModes": {"current": {"syncType": 6, "modeId": 1, "modeName": ""},
                  "modes": [{"syncType": 6, "modeId": 1, "modeName": ""}]},
    "inputs": [{"id": "0x2001", "hardwareName": "Analog In 1", "channelName": "In 1"}],
    "outputs": [{"id": "0x3001", "hardwareName": "Analog Out 1", "channelName": "Out 1"}]
  }]
})";

class CatalogueTraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(Sim().LoadScenario(kScenario, &error)) << error;
        Sim().TraceToMemory(true);
        Sim().ClearTrace();
        std::memset(&m_buffers, 0, sizeof m_buffers);
        m_buffers.setFlag = 1;
        m_buffers.deviceId = 0x1001;
        m_buffers.channelId = 0x2001;
    }
    void TearDown() override {
        m_driver.Close();
        Sim().TraceToMemory(false);
        Sim().ClearTrace();
        Sim().LoadScenario("");
    }

    Buffers m_buffers;
    os::AutoResetEvent m_event;
    CVesk1394Driver m_driver;
};

// The documented catalogue: code, input size, output size (the two unused requests too).
struct DocumentedRequest {
    uint32_t code;
    size_t inputSize;
    size_t outputSize;
};
constexpr DocumentedRequest kDocumentedCatalogue[] = {
    {0x80882804, 0, 12},   {0x80882808, 0, 8},   {0x80882810, 0, 4},   {0x80882814, 4, 0},
    {0x80882820, 4, 0},    {0x80882824, 0, 0},   {0x80882828, 0, 12},  {0x80882860, 0, 260},
    {0x80882864, 0, 2056}, {0x80882880, 0, 12},  {0x80882884, 12, 0},  {0x80882888, 0, 8},
    {0x8088288c, 8, 0},    {0x808828c0, 0, 44},  {0x808828c4, 8, 0},   {0x80882900, 4, 824},
    {0x80882904, 12, 0},   {0x80882920, 4, 432}, {0x80882924, 432, 0}, {0x80882928, 4, 212},
    {0x80882980, 4, 92},   {0x80882984, 92, 0},  {0x80882a00, 0, 0},   {0x80882a04, 0, 0},
    {0x80882a80, 0, 16},   {0x80882a84, 16, 0},  {0x80882a88, 0, 16},  {0x80882a8c, 16, 0},
    {0x80882a90, 0, 16},   {0x80882a94, 16, 0},  {0x80882ac8, 0, 64},
};

const DocumentedRequest* FindDocumented(uint32_t code) {
    for (const DocumentedRequest& request : kDocumentedCatalogue)
        if (request.code == code) return &request;
    return nullptr;
}

TEST_F(CatalogueTraceTest, EveryMethodSendsItsCodeInputAndSizes) {
    // The program's own table agrees with the documented one, entry for entry.
    ASSERT_EQ(std::size(kRequestCatalogue), std::size(kDocumentedCatalogue));
    for (const RequestShape& shape : kRequestCatalogue) {
        const DocumentedRequest* documented = FindDocumented(shape.code);
        ASSERT_NE(documented, nullptr) << Code(shape.code);
        EXPECT_EQ(shape.inputSize, documented->inputSize) << Code(shape.code);
        EXPECT_EQ(shape.outputSize, documented->outputSize) << Code(shape.code);
    }

    ASSERT_EQ(m_driver.Open(DEVICE_INTERFACE_NAME), 0u);
    std::set<uint32_t> covered;
    for (const Case& c : EveryMethod(m_buffers, m_event)) {
        SCOPED_TRACE(Code(c.code));
        const DocumentedRequest* shape = FindDocumented(c.code);
        ASSERT_NE(shape, nullptr);
        if (c.code == IOCTL_VESK_SET_DEVICE_SYNC_MODE)  // send back the mode just read
            std::memcpy(&m_buffers.syncSet, &m_buffers.syncInfo, sizeof m_buffers.syncSet);
        const std::string input = c.input();
        EXPECT_EQ(input.size(), 2u * shape->inputSize);
        Sim().ClearTrace();
        const uint32_t status = c.call(m_driver);
        EXPECT_EQ(status, 0u);

        // Besides its request line, a call may only make the driver set the registered event:
        // handing the event over with records queued sets it at once, and so do the records
        // that starting the streams and a new ASIO buffer depth queue.
        std::vector<std::string> lines, signals;
        for (const std::string& line : Sim().TraceLines())
            (line.rfind("signal ", 0) == 0 ? signals : lines).push_back(line);
        const bool signalled = c.code == IOCTL_VESK_SET_NOTIFICATION_EVENT ||
                               c.code == IOCTL_VESK_START_STREAMING ||
                               c.code == IOCTL_VESK_SET_ASIO_BUFFER_DEPTH;
        EXPECT_EQ(signals.size(), signalled ? 1u : 0u);
        ASSERT_EQ(lines.size(), 1u);
        const std::string& line = lines[0];
        const std::string head = Code(c.code) + " in=" + input + " -> 0x00000000 out=";
        ASSERT_EQ(line.rfind("ioctl ", 0), 0u) << line;
        const size_t at = line.find(' ', 6);
        ASSERT_NE(at, std::string::npos);
        ASSERT_EQ(line.substr(at + 1, head.size()), head) << line;
        const std::string output = line.substr(at + 1 + head.size());
        EXPECT_EQ(output.size(), 2u * shape->outputSize);
        // What the method hands its caller is what the driver returned; the two methods
        // that unpack a small record hand over its bytes 4 to 7.
        if (c.code == IOCTL_VESK_GET_SAMPLE_RATE_MODE) {
            EXPECT_EQ(output.substr(8), Hex(c.output, 4));
        } else {
            EXPECT_EQ(output, Hex(c.output, c.outputSize));
        }
        covered.insert(c.code);
    }
    // Every request of the catalogue has its method here, except the two the panel never sends.
    for (const DocumentedRequest& shape : kDocumentedCatalogue) {
        const bool sent =
            shape.code != IOCTL_VESK_UNUSED_A02 && shape.code != IOCTL_VESK_UNUSED_A09;
        EXPECT_EQ(covered.count(shape.code), sent ? 1u : 0u) << Code(shape.code);
    }

    EXPECT_EQ(m_buffers.version.InterfaceMajor, 2);
    EXPECT_EQ(m_buffers.version.DriverBuild, 1234);
    EXPECT_EQ(m_buffers.event.EventType, EvtType_StreamingRestarted);
    EXPECT_EQ(m_buffers.devices.DeviceCount, 1u);
    EXPECT_EQ(m_buffers.channels.OutputChannelIds[0], 0x3001u);
    EXPECT_EQ(m_buffers.sampleRateMode, 0u);
}

TEST_F(CatalogueTraceTest, SampleRateAndModeTravelInTheSecondWord) {
    ASSERT_EQ(m_driver.Open(DEVICE_INTERFACE_NAME), 0u);
    ASSERT_EQ(m_driver.SetSampleRateMode(1), 0u);
    uint32_t automatic = 0;
    ASSERT_EQ(m_driver.GetSampleRateMode(&automatic), 0u);
    EXPECT_NE(automatic, 0u);
    ASSERT_EQ(m_driver.SetSampleRate(48000), 0u);
    _VESK_SAMPLE_RATE_INFO rates{};
    ASSERT_EQ(m_driver.GetSampleRate(&rates), 0u);
    EXPECT_EQ(rates.CurrentRate, 48000u);

    // A failing read leaves the caller's variable as it was.
    automatic = 0xABCD;
    ASSERT_TRUE(Sim().Execute("fail 0x80882888 0x1f 1"));
    EXPECT_EQ(m_driver.GetSampleRateMode(&automatic), 0x1Fu);
    EXPECT_EQ(automatic, 0xABCDu);
}

TEST_F(CatalogueTraceTest, AClosedConnectionSendsNothingAndLeavesOutputsAlone) {
    std::memset(&m_buffers, 0xCC, sizeof m_buffers);
    const Buffers before = m_buffers;
    for (const Case& c : EveryMethod(m_buffers, m_event)) {
        SCOPED_TRACE(Code(c.code));
        EXPECT_EQ(c.call(m_driver), VESK_E_NOT_OPEN);
    }
    EXPECT_TRUE(Sim().TraceLines().empty());
    EXPECT_EQ(std::memcmp(&m_buffers, &before, sizeof before), 0);

    // After a close, the same holds: nothing reaches the driver.
    ASSERT_EQ(m_driver.Open(DEVICE_INTERFACE_NAME), 0u);
    m_driver.Close();
    Sim().ClearTrace();
    for (const Case& c : EveryMethod(m_buffers, m_event))
        EXPECT_EQ(c.call(m_driver), VESK_E_NOT_OPEN);
    EXPECT_TRUE(Sim().TraceLines().empty());
    EXPECT_EQ(std::memcmp(&m_buffers, &before, sizeof before), 0);
}

}  // namespace
