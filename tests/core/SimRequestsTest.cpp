// The simulated driver's answers to the requests: the rules that the panel's tests rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/DeviceRecords.h"
#include "driver/DriverRecords.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"
#include "sim/Simulator.h"

namespace {

using namespace vesk;

const char kPath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

class SimRequests : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(m_sim.Open(kPath, &m_handle), 0u); }
    void TearDown() override { m_sim.Close(m_handle); }

    void Load(const std::string& scenario) {
        std::string error;
        ASSERT_TRUE(m_sim.LoadScenario(scenario, &error)) << error;
    }
    template <typename Out>
    uint32_t Get(uint32_t code, Out* out) {
        return m_sim.Control(m_handle, code, nullptr, 0, out, sizeof *out);
    }
    template <typename In>
    uint32_t Set(uint32_t code, const In& in) {
        return m_sim.Control(m_handle, code, &in, sizeof in, nullptr, 0);
    }
    template <typename Out>
    uint32_t GetFor(uint32_t code, uint32_t id, Out* out) {
        return m_sim.Control(m_handle, code, &id, 4, out, sizeof *out);
    }
    std::vector<int32_t> DrainEvents() {
        std::vector<int32_t> types;
        VESK_EVENT_RECORD record{};
        while (Get(IOCTL_VESK_GET_EVENT, &record) == 0) types.push_back(record.EventType);
        return types;
    }

    sim::Simulator m_sim;
    void* m_handle = nullptr;
};

TEST_F(SimRequests, OpensOnlyTheDevicePathWhileLoadedAndStaleHandlesStayDead) {
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(m_sim.Open("\\\\.\\{B50F27E2-F1B7-440C-9BCA-8CFC653BD5C3}", &other), 2u);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(m_sim.Open(nullptr, &other), 2u);

    ASSERT_TRUE(m_sim.Execute("unload"));
    EXPECT_EQ(m_sim.Open(kPath, &other), 2u);
    _VESK_VERSION_INFO version{};
    EXPECT_EQ(Get(IOCTL_VESK_GET_VERSION, &version), 1167u);
    ASSERT_TRUE(m_sim.Execute("load"));
    EXPECT_EQ(Get(IOCTL_VESK_GET_VERSION, &version), 1167u);  // stale for good

    ASSERT_EQ(m_sim.Open(kPath, &other), 0u);
    EXPECT_NE(other, m_handle);
    EXPECT_EQ(m_sim.Control(other, IOCTL_VESK_GET_VERSION, nullptr, 0, &version, 12), 0u);
    m_sim.Close(other);
    EXPECT_EQ(m_sim.Control(other, IOCTL_VESK_GET_VERSION, nullptr, 0, &version, 12), 6u);
}

TEST_F(SimRequests, EveryCatalogueSizeIsEnforcedAndUnknownCodesRefused) {
    std::vector<uint8_t> in(4096), out(4096);
    for (const RequestShape& shape : kRequestCatalogue) {
        SCOPED_TRACE(shape.code);
        EXPECT_EQ(m_sim.Control(m_handle, shape.code, in.data(), shape.inputSize + 1, out.data(),
                                shape.outputSize),
                  87u);
        EXPECT_EQ(m_sim.Control(m_handle, shape.code, in.data(), shape.inputSize, out.data(),
                                shape.outputSize + 4),
                  87u);
        if (shape.outputSize > 0) {
            EXPECT_EQ(m_sim.Control(m_handle, shape.code, in.data(), shape.inputSize, out.data(),
                                    shape.outputSize - 1),
                      87u);
        }
        const uint32_t status = m_sim.Control(m_handle, shape.code, in.data(), shape.inputSize,
                                              out.data(), shape.outputSize);
        EXPECT_NE(status, 1u);
        if (shape.inputSize == 0 && shape.code != IOCTL_VESK_GET_EVENT) {
            EXPECT_EQ(status, 0u);
        }
    }
    EXPECT_EQ(m_sim.Control(m_handle, 0x80882800, nullptr, 0, nullptr, 0), 1u);
    EXPECT_EQ(m_sim.Control(m_handle, 0x80882c00, nullptr, 0, nullptr, 0), 1u);

    uint8_t unused[8];
    std::memset(unused, 0xff, sizeof unused);
    EXPECT_EQ(m_sim.Control(m_handle, IOCTL_VESK_UNUSED_A02, nullptr, 0, unused, 8), 0u);
    EXPECT_EQ(std::vector<uint8_t>(unused, unused + 8), std::vector<uint8_t>(8, 0));
    EXPECT_EQ(m_sim.Control(m_handle, IOCTL_VESK_UNUSED_A09, nullptr, 0, nullptr, 0), 0u);

    _VESK_VERSION_INFO version{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_VERSION, &version), 0u);
    EXPECT_EQ(version.InterfaceMajor, 2);
    EXPECT_EQ(version.InterfaceMinor, 14);
    EXPECT_EQ(version.DriverBuild, 1234);
}

TEST_F(SimRequests, IdentifiersNotHandedOutAreNotFound) {
    _VESK_DEVICE_PROPERTIES device{};
    _DEVICE_SYNC_MODE_INFO modes{};
    _VESK_STREAM_INFO streams{};
    _VESK_CHANNEL_PROPERTIES channel{};
    EXPECT_EQ(GetFor(IOCTL_VESK_GET_DEVICE_PROPERTIES, 0xdead, &device), 1168u);
    EXPECT_EQ(GetFor(IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO, 0xdead, &modes), 1168u);
    EXPECT_EQ(GetFor(IOCTL_VESK_GET_STREAM_INFO, 0xdead, &streams), 1168u);
    EXPECT_EQ(GetFor(IOCTL_VESK_GET_CHANNEL_PROPERTIES, 0x1001, &channel), 1168u);  // a device
    EXPECT_EQ(Set(IOCTL_VESK_SET_DEVICE_SYNC_MODE, _DEVICE_SYNC_MODE_SET{0xdead, 6, 1}), 1168u);
    device.DeviceId = 0xdead;
    EXPECT_EQ(Set(IOCTL_VESK_SET_DEVICE_PROPERTIES, device), 1168u);
}

TEST_F(SimRequests, DevicesFollowRankWithTiesInScenarioOrderAndChannelsFollowDevices) {
    Load(R"({"devices": [
        {"id": "0xa", "rank": 2, "inputs": [{"id": 1}, {"id": 2}], "outputs": [{"id": 3}]},
        {"id": "0xb", "rank": 0, "inputs": [{"id": 4}], "outputs": [{"id": 5}, {"id": 6}]},
        {"id": "0xc", "rank": 0, "inputs": [{"id": 7}]}]})");
    _VESK_DEVICE_LIST list{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_DEVICE_LIST, &list), 0u);
    ASSERT_EQ(list.DeviceCount, 3u);
    EXPECT_EQ(std::vector<uint32_t>(list.DeviceIds, list.DeviceIds + 3),
              (std::vector<uint32_t>{0xb, 0xc, 0xa}));
    _VESK_CHANNEL_LIST channels{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_CHANNEL_LIST, &channels), 0u);
    EXPECT_EQ(std::vector<uint32_t>(channels.InputChannelIds,
                                    channels.InputChannelIds + channels.InputCount),
              (std::vector<uint32_t>{4, 7, 1, 2}));
    EXPECT_EQ(std::vector<uint32_t>(channels.OutputChannelIds,
                                    channels.OutputChannelIds + channels.OutputCount),
              (std::vector<uint32_t>{5, 6, 3}));

    // A new rank reorders the list.
    _VESK_DEVICE_PROPERTIES device{};
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_DEVICE_PROPERTIES, 0xa, &device), 0u);
    device.Rank = 0;
    ASSERT_EQ(Set(IOCTL_VESK_SET_DEVICE_PROPERTIES, device), 0u);
    ASSERT_EQ(Get(IOCTL_VESK_GET_DEVICE_LIST, &list), 0u);
    EXPECT_EQ(std::vector<uint32_t>(list.DeviceIds, list.DeviceIds + 3),
              (std::vector<uint32_t>{0xa, 0xb, 0xc}));
}

TEST_F(SimRequests, DeviceWritesTakeOnlyRankAndABoundedName) {
    Load(R"({"devices": [{"id": "0x1001", "rank": 4, "name": "Old", "serial": "SN-1",
                          "extra": "0102030405"}]})");
    _VESK_DEVICE_PROPERTIES device{};
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_DEVICE_PROPERTIES, 0x1001, &device), 0u);
    _VESK_DEVICE_PROPERTIES read = device;
    device.Rank = 7;
    std::memset(device.DeviceName, 'N', sizeof device.DeviceName);  // no zero byte at all
    std::memset(device.SerialNumber, 'S', sizeof device.SerialNumber);
    ASSERT_EQ(Set(IOCTL_VESK_SET_DEVICE_PROPERTIES, device), 0u);

    ASSERT_EQ(GetFor(IOCTL_VESK_GET_DEVICE_PROPERTIES, 0x1001, &device), 0u);
    EXPECT_EQ(device.Rank, 7u);
    EXPECT_EQ(std::string(device.DeviceName), std::string(39, 'N'));
    EXPECT_EQ(std::memcmp(device.SerialNumber, read.SerialNumber, sizeof device.SerialNumber), 0);
    EXPECT_STREQ(device.SerialNumber, "SN-1");
    EXPECT_EQ(device.SerialNumber[64], 1);
    EXPECT_EQ(device.SerialNumber[68], 5);

    std::memcpy(device.DeviceName, "ab\0cd", 6);
    ASSERT_EQ(Set(IOCTL_VESK_SET_DEVICE_PROPERTIES, device), 0u);
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_DEVICE_PROPERTIES, 0x1001, &device), 0u);
    EXPECT_EQ(std::memcmp(device.DeviceName, "ab\0\0\0", 5), 0);
}

TEST_F(SimRequests, ChannelWritesTakeOnlyTheNameOfTheChannelSentBack) {
    Load(R"({"devices": [{"id": "0x1001", "inputs": [
        {"id": "0x2001", "hardwareName": "In 1", "channelName": "A", "field0": "aabbccdd",
         "field8": "11223344"},
        {"id": "0x2002", "hardwareName": "In 1", "channelName": "B"}]}]})");
    _VESK_CHANNEL_PROPERTIES channel{};
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_CHANNEL_PROPERTIES, 0x2002, &channel), 0u);
    EXPECT_EQ(channel.DeviceId, 0x1001u);
    EXPECT_STREQ(channel.ChannelName, "B");
    std::strcpy(channel.ChannelName, "Renamed");
    std::strcpy(channel.HardwareName + 20, "junk after the zero");
    ASSERT_EQ(Set(IOCTL_VESK_SET_CHANNEL_PROPERTIES, channel), 0u);

    _VESK_CHANNEL_PROPERTIES first{}, second{};
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_CHANNEL_PROPERTIES, 0x2001, &first), 0u);
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_CHANNEL_PROPERTIES, 0x2002, &second), 0u);
    EXPECT_STREQ(first.ChannelName, "A");
    EXPECT_EQ(first.Field0, 0xddccbbaau);
    EXPECT_EQ(first.Field8, 0x44332211u);
    EXPECT_STREQ(second.ChannelName, "Renamed");
    EXPECT_STREQ(second.HardwareName, "In 1");

    second.Field8 ^= 1;  // not a record this driver handed out
    EXPECT_EQ(Set(IOCTL_VESK_SET_CHANNEL_PROPERTIES, second), 1168u);
}

TEST_F(SimRequests, ClockMasterAndSyncModesMustNameWhatIsOffered) {
    Load(R"({"clockMaster": {"reserved": 77, "masterType": 0, "masterDeviceId": 0},
             "devices": [{"id": "0x1001", "syncModes": {"modes": [
                 {"syncType": 6, "modeId": 1}, {"syncType": 2, "modeId": 2, "modeName": "bus"}]}}]})");
    EXPECT_EQ(Set(IOCTL_VESK_SET_CLOCK_MASTER, _VESK_CLOCK_MASTER{0, 1, 0x1002}), 87u);
    EXPECT_EQ(Set(IOCTL_VESK_SET_CLOCK_MASTER, _VESK_CLOCK_MASTER{0, 2, 0}), 87u);
    EXPECT_EQ(Set(IOCTL_VESK_SET_CLOCK_MASTER, _VESK_CLOCK_MASTER{5, 1, 0x1001}), 0u);
    _VESK_CLOCK_MASTER master{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_CLOCK_MASTER, &master), 0u);
    EXPECT_EQ(master.Reserved, 77u);
    EXPECT_EQ(master.MasterType, 1u);
    EXPECT_EQ(master.MasterDeviceId, 0x1001u);

    EXPECT_EQ(Set(IOCTL_VESK_SET_DEVICE_SYNC_MODE, _DEVICE_SYNC_MODE_SET{0x1001, 6, 2}), 87u);
    EXPECT_EQ(Set(IOCTL_VESK_SET_DEVICE_SYNC_MODE, _DEVICE_SYNC_MODE_SET{0x1001, 2, 2}), 0u);
    _DEVICE_SYNC_MODE_INFO info{};
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO, 0x1001, &info), 0u);
    EXPECT_EQ(info.DeviceId, 0x1001u);
    EXPECT_EQ(info.CurrentMode.SyncType, 2u);
    EXPECT_EQ(info.CurrentMode.ModeId, 2u);
    EXPECT_STREQ(info.CurrentMode.ModeName, "bus");
    EXPECT_EQ(info.ModeCount, 2u);
}

TEST_F(SimRequests, ARateIsRefusedInUseOrUnofferedAndOtherwiseReachesPlugsAndBuffers) {
    Load(R"({"sampleRate": {"currentRate": 48000, "rates": [48000, 192000]},
             "asioBufferDepth": {"current": 40000, "minimum": 1000, "step": 125},
             "devices": [{"id": 1, "streams": {"plugs": [
                 {"state": 3, "currentRate": 48000}, {"state": 4, "currentRate": 48000}]}}]})");
    _VESK_AUDIO_BUFFER_DEPTH asio{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_ASIO_BUFFER_DEPTH, &asio), 0u);
    EXPECT_EQ(asio.Samples, 1920u);

    EXPECT_EQ(Set(IOCTL_VESK_SET_SAMPLE_RATE, _VESK_SAMPLE_RATE{0, 44100}), 0xE0000080u);
    ASSERT_TRUE(m_sim.Execute("set {\"wdmInUse\": true}"));
    EXPECT_EQ(Set(IOCTL_VESK_SET_SAMPLE_RATE, _VESK_SAMPLE_RATE{0, 192000}), 0xE0000047u);
    ASSERT_TRUE(m_sim.Execute("set {\"wdmInUse\": false}"));
    ASSERT_EQ(Set(IOCTL_VESK_SET_SAMPLE_RATE, _VESK_SAMPLE_RATE{0, 192000}), 0u);

    _VESK_SAMPLE_RATE_INFO rates{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_SAMPLE_RATE, &rates), 0u);
    EXPECT_EQ(rates.CurrentRate, 192000u);
    EXPECT_EQ(rates.RateCount, 2u);
    _VESK_STREAM_INFO streams{};
    ASSERT_EQ(GetFor(IOCTL_VESK_GET_STREAM_INFO, 1, &streams), 0u);
    EXPECT_EQ(streams.Plugs[0].CurrentRate, 192000u);
    EXPECT_EQ(streams.Plugs[1].CurrentRate, 48000u);  // not connected
    ASSERT_EQ(Get(IOCTL_VESK_GET_ASIO_BUFFER_DEPTH, &asio), 0u);
    EXPECT_EQ(asio.Samples, 7680u);  // 40000 us x 192000 Hz overflows 32 bits on the way
}

TEST_F(SimRequests, BufferDepthsTakeOnlyACurrentOnTheStepAndAsioTellsOfIt) {
    DrainEvents();
    _VESK_AUDIO_BUFFER_DEPTH asio{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_ASIO_BUFFER_DEPTH, &asio), 0u);
    EXPECT_EQ(asio.Current, 5250u);
    EXPECT_EQ(asio.Samples, 252u);
    _VESK_AUDIO_BUFFER_DEPTH sent = asio;
    sent.Current = 875;  // below the minimum
    EXPECT_EQ(Set(IOCTL_VESK_SET_ASIO_BUFFER_DEPTH, sent), 87u);
    sent.Current = 2010;  // off the step
    EXPECT_EQ(Set(IOCTL_VESK_SET_ASIO_BUFFER_DEPTH, sent), 87u);
    EXPECT_TRUE(DrainEvents().empty());
    sent = {2000, 1, 3, 99};
    ASSERT_EQ(Set(IOCTL_VESK_SET_ASIO_BUFFER_DEPTH, sent), 0u);
    ASSERT_EQ(Get(IOCTL_VESK_GET_ASIO_BUFFER_DEPTH, &asio), 0u);
    EXPECT_EQ(asio.Current, 2000u);
    EXPECT_EQ(asio.Minimum, 1000u);
    EXPECT_EQ(asio.Step, 125u);
    EXPECT_EQ(asio.Samples, 96u);
    EXPECT_EQ(DrainEvents(), std::vector<int32_t>{EvtType_AsioBufferSizeChanged});

    _VESK_AUDIO_BUFFER_DEPTH wdm{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_WDM_BUFFER_DEPTH, &wdm), 0u);
    wdm.Current = 4000;
    ASSERT_EQ(Set(IOCTL_VESK_SET_WDM_BUFFER_DEPTH, wdm), 0u);
    EXPECT_TRUE(DrainEvents().empty());

    _VESK_STREAM_BUFFER_DEPTH stream{};
    ASSERT_EQ(Get(IOCTL_VESK_GET_STREAM_BUFFER_DEPTH, &stream), 0u);
    stream.Reserved = 5;
    stream.Current = 1125;
    ASSERT_EQ(Set(IOCTL_VESK_SET_STREAM_BUFFER_DEPTH, stream), 0u);
    stream.Current = 1126;
    EXPECT_EQ(Set(IOCTL_VESK_SET_STREAM_BUFFER_DEPTH, stream), 87u);
    ASSERT_EQ(Get(IOCTL_VESK_GET_STREAM_BUFFER_DEPTH, &stream), 0u);
    EXPECT_EQ(stream.Current, 1125u);
    EXPECT_EQ(stream.Reserved, 0u);
}

TEST_F(SimRequests, StoppingClearsEveryPlugAndStartingRestoresThemWithAnEvent) {
    DrainEvents();
    auto states = [&](uint32_t id) {
        _VESK_STREAM_INFO info{};
        EXPECT_EQ(GetFor(IOCTL_VESK_GET_STREAM_INFO, id, &info), 0u);
        std::vector<uint32_t> result;
        for (const _VESK_PLUG_INFO& plug : info.Plugs) result.push_back(plug.State);
        return result;
    };
    const std::vector<uint32_t> before = states(0x1003);
    EXPECT_EQ(before, (std::vector<uint32_t>{3, 3, 4, 0}));
    ASSERT_EQ(m_sim.Control(m_handle, IOCTL_VESK_STOP_STREAMING, nullptr, 0, nullptr, 0), 0u);
    EXPECT_EQ(states(0x1003), std::vector<uint32_t>(4, 0));
    EXPECT_EQ(states(0x1001), std::vector<uint32_t>(4, 0));
    EXPECT_TRUE(DrainEvents().empty());
    ASSERT_EQ(m_sim.Control(m_handle, IOCTL_VESK_START_STREAMING, nullptr, 0, nullptr, 0), 0u);
    EXPECT_EQ(states(0x1003), before);
    EXPECT_EQ(DrainEvents(), std::vector<int32_t>{EvtType_StreamingRestarted});
}

TEST_F(SimRequests, EventsComeOldestFirstThenNoMoreItems) {
    Load(R"({"events": [3, 1, "0x64"]})");
    VESK_EVENT_RECORD record{};
    std::memset(&record, 0xff, sizeof record);
    ASSERT_EQ(Get(IOCTL_VESK_GET_EVENT, &record), 0u);
    EXPECT_EQ(record.EventType, 3);
    EXPECT_EQ(record.Reserved[7], 0);
    EXPECT_EQ(DrainEvents(), (std::vector<int32_t>{1, 100}));
    record.EventType = 42;
    EXPECT_EQ(Get(IOCTL_VESK_GET_EVENT, &record), 259u);
    EXPECT_EQ(record.EventType, 42);  // a failed request leaves the output alone
}

}  // namespace
