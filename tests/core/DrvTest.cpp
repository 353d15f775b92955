#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/Drv.h"
#include "model/TextField.h"
#include "sim/Simulator.h"

namespace {

using nlohmann::json;

constexpr uint32_t kDenied = 0x1F;  // what a failing device answers in these tests

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

std::string HexWords(const std::vector<uint32_t>& words) {
    std::string text;
    for (uint32_t word : words) text += Hex(&word, sizeof word);  // little-endian host
    return text;
}

std::string Id(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// Device n (from 1) with ids 0x1000+n, inputs 0x2000+16n+k and outputs 0x3000+16n+k.
json Device(uint32_t n, int inputs, int outputs) {
    json device = {{"id", Id(0x1000 + n)},
                   {"rank", n - 1},
                   {"name", "Device " + std::to_string(n)},
                   {"serial", "SN-" + std::to_string(n)}};
    device["inputs"] = json::array();
    device["outputs"] = json::array();
    for (int k = 0; k < inputs; ++k)
        device["inputs"].push_back({{"id", Id(0x2000 + 16 * n + k)},
                                    {"hardwareName", "In " + std::to_string(k + 1)},
                                    {"channelName", "Dev" + std::to_string(n) + " in"}});
    for (int k = 0; k < outputs; ++k)
        device["outputs"].push_back({{"id", Id(0x3000 + 16 * n + k)},
                                     {"hardwareName", "Out " + std::to_string(k + 1)},
                                     {"channelName", "Dev" + std::to_string(n) + " out"}});
    return device;
}

json Scenario(int deviceCount, int inputs = 2, int outputs = 3) {
    json scenario = {{"loaded", true}, {"faults", json::array()}, {"events", json::array()}};
    scenario["devices"] = json::array();
    for (int n = 1; n <= deviceCount; ++n)
        scenario["devices"].push_back(Device(n, inputs, outputs));
    return scenario;
}

json Fault(uint32_t code, uint32_t status, int skip, int count) {
    return {{"code", Id(code)}, {"status", Id(status)}, {"skip", skip}, {"count", count}};
}

class DrvTest : public ::testing::Test {
  protected:
    void SetUp() override { Sim().TraceToMemory(true); }
    void TearDown() override {
        m_drv.Close();
        Sim().TraceToMemory(false);
        Sim().ClearTrace();
        Sim().LoadScenario("");
    }

    // Loads the scenario, opens the model's connection and starts the trace afresh.
    void Start(const json& scenario) {
        std::string error;
        ASSERT_TRUE(Sim().LoadScenario(scenario.dump(), &error)) << error;
        ASSERT_EQ(m_drv.Open(DEVICE_INTERFACE_NAME), 0u);
        Sim().ClearTrace();
    }

    // The request lines of the trace for `code`, without the connection number.
    static std::vector<std::string> Requests(uint32_t code) {
        std::vector<std::string> lines;
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "0x%08x ", code);
        for (const std::string& line : Sim().TraceLines()) {
            if (line.rfind("ioctl ", 0) != 0) continue;
            const size_t at = line.find(' ', 6);
            if (at != std::string::npos && line.compare(at + 1, 11, prefix) == 0)
                lines.push_back(line.substr(at + 1));
        }
        return lines;
    }
    static size_t IoctlCount() {
        size_t count = 0;
        for (const std::string& line : Sim().TraceLines()) count += line.rfind("ioctl ", 0) == 0;
        return count;
    }

    static std::vector<uint32_t> DeviceIds(const CDeviceArray& devices) {
        std::vector<uint32_t> ids;
        for (int i = 0; i < devices.GetSize(); ++i) ids.push_back(devices[i]->DeviceId);
        return ids;
    }
    static std::vector<std::string> HardwareNames(const CChannelArray& channels) {
        std::vector<std::string> names;
        for (int i = 0; i < channels.GetSize(); ++i)
            names.push_back(vesk::FieldText(channels[i]->HardwareName).str());
        return names;
    }

    CDrv m_drv;
};

TEST_F(DrvTest, DevicesAreReadInListOrder) {
    Start(Scenario(3));
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    EXPECT_EQ(DeviceIds(m_drv.m_devices), (std::vector<uint32_t>{0x1001, 0x1002, 0x1003}));
    EXPECT_EQ(vesk::FieldText(m_drv.m_devices[1]->DeviceName), "Device 2");
    EXPECT_EQ(vesk::FieldText(m_drv.m_devices[2]->SerialNumber), "SN-3");
    EXPECT_EQ(m_drv.m_devices[2]->Rank, 2u);
    const auto properties = Requests(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES);
    ASSERT_EQ(properties.size(), 3u);
    EXPECT_EQ(properties[1].substr(0, 22), "0x80882920 in=02100000");
    EXPECT_EQ(Requests(vesk::IOCTL_VESK_GET_DEVICE_LIST).size(), 1u);

    // A reload replaces the records rather than adding to them.
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    EXPECT_EQ(m_drv.m_devices.GetSize(), 3);

    json empty = Scenario(0);
    Start(empty);
    EXPECT_EQ(m_drv.LoadDevices(), 0u);
    EXPECT_EQ(m_drv.m_devices.GetSize(), 0);
}

TEST_F(DrvTest, AFailingDeviceIsDroppedAndTheFirstFailureReturned) {
    json scenario = Scenario(3);
    scenario["faults"] = {Fault(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES, kDenied, 1, 1)};
    Start(scenario);
    EXPECT_EQ(m_drv.LoadDevices(), kDenied);
    EXPECT_EQ(DeviceIds(m_drv.m_devices), (std::vector<uint32_t>{0x1001, 0x1003}));
    EXPECT_EQ(Requests(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES).size(), 3u);

    // Two different failures: the first one is reported, and every identifier is still tried.
    scenario["faults"] = {Fault(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES, kDenied, 0, 1)};
    scenario["raw"] = {
        {Id(vesk::IOCTL_VESK_GET_DEVICE_LIST), HexWords({3, 0x1001, 0x1002, 0xBAD})}};
    m_drv.Close();
    Start(scenario);
    EXPECT_EQ(m_drv.LoadDevices(), kDenied);
    EXPECT_EQ(DeviceIds(m_drv.m_devices), (std::vector<uint32_t>{0x1002}));
    EXPECT_EQ(Requests(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES).size(), 3u);
}

TEST_F(DrvTest, SyncModesAreReadPerDeviceLikeDevices) {
    json scenario = Scenario(3);
    scenario["faults"] = {Fault(vesk::IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO, kDenied, 2, 1)};
    Start(scenario);
    EXPECT_EQ(m_drv.LoadSyncModes(), kDenied);
    ASSERT_EQ(m_drv.m_syncModes.GetSize(), 2);
    EXPECT_EQ(m_drv.m_syncModes[0]->DeviceId, 0x1001u);
    EXPECT_EQ(m_drv.m_syncModes[1]->DeviceId, 0x1002u);
    EXPECT_EQ(m_drv.m_devices.GetSize(), 0);  // the device records are a separate load
    EXPECT_EQ(Requests(vesk::IOCTL_VESK_GET_DEVICE_LIST).size(), 1u);
}

TEST_F(DrvTest, AClosedConnectionEmptiesEveryLoadedArray) {
    Start(Scenario(2));
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    ASSERT_EQ(m_drv.LoadSyncModes(), 0u);
    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), 0u);
    ASSERT_EQ(m_drv.m_inputChannels.GetSize(), 4);
    m_drv.Close();
    Sim().ClearTrace();
    EXPECT_EQ(m_drv.LoadDevices(), VESK_E_NOT_OPEN);
    EXPECT_EQ(m_drv.LoadSyncModes(), VESK_E_NOT_OPEN);
    EXPECT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), VESK_E_NOT_OPEN);
    EXPECT_EQ(m_drv.m_devices.GetSize(), 0);
    EXPECT_EQ(m_drv.m_syncModes.GetSize(), 0);
    EXPECT_EQ(m_drv.m_inputChannels.GetSize(), 0);
    EXPECT_EQ(IoctlCount(), 0u);
}

TEST_F(DrvTest, EachDirectionReadsItsOwnHalfOfTheChannelList) {
    Start(Scenario(2, 2, 3));
    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), 0u);
    EXPECT_EQ(HardwareNames(m_drv.m_inputChannels),
              (std::vector<std::string>{"In 1", "In 2", "In 1", "In 2"}));
    EXPECT_EQ(m_drv.m_inputChannels[2]->DeviceId, 0x1002u);
    EXPECT_EQ(vesk::FieldText(m_drv.m_inputChannels[3]->ChannelName), "Dev2 in");
    EXPECT_EQ(m_drv.m_outputChannels.GetSize(), 0);

    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_outputChannels, 1), 0u);
    ASSERT_EQ(m_drv.m_outputChannels.GetSize(), 6);
    EXPECT_EQ(vesk::FieldText(m_drv.m_outputChannels[5]->HardwareName), "Out 3");
    EXPECT_EQ(m_drv.m_outputChannels[5]->DeviceId, 0x1002u);

    // Any direction other than 0 is the output half.
    CChannelArray other;
    ASSERT_EQ(m_drv.LoadChannels(other, 7), 0u);
    EXPECT_EQ(HardwareNames(other), HardwareNames(m_drv.m_outputChannels));
    CDrv::FreeRecords(other);
}

TEST_F(DrvTest, LoadingOneDirectionNeverTouchesTheOther) {
    Start(Scenario(2, 2, 3));
    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), 0u);
    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_outputChannels, 1), 0u);
    const auto* firstOutput = m_drv.m_outputChannels[0];
    const _VESK_CHANNEL_PROPERTIES outputCopy = *firstOutput;

    // A failing channel list empties only the array being loaded, even one that held records.
    ASSERT_TRUE(Sim().Execute("fail 0x80882864 0x1f 1"));
    EXPECT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), kDenied);
    EXPECT_EQ(m_drv.m_inputChannels.GetSize(), 0);
    ASSERT_EQ(m_drv.m_outputChannels.GetSize(), 6);
    EXPECT_EQ(m_drv.m_outputChannels[0], firstOutput);
    EXPECT_EQ(std::memcmp(firstOutput, &outputCopy, sizeof outputCopy), 0);

    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), 0u);
    const auto* firstInput = m_drv.m_inputChannels[0];
    ASSERT_TRUE(Sim().Execute("fail 0x80882980 0x1f 1 1"));  // the second output channel fails
    EXPECT_EQ(m_drv.LoadChannels(m_drv.m_outputChannels, 1), kDenied);
    EXPECT_EQ(m_drv.m_outputChannels.GetSize(), 5);
    EXPECT_EQ(m_drv.m_outputChannels[1]->DeviceId, 0x1001u);
    EXPECT_EQ(vesk::FieldText(m_drv.m_outputChannels[1]->HardwareName), "Out 3");
    ASSERT_EQ(m_drv.m_inputChannels.GetSize(), 4);
    EXPECT_EQ(m_drv.m_inputChannels[0], firstInput);
}

TEST_F(DrvTest, CountsPastTheListCapacityAreBounded) {
    // Every properties request gets the same raw record, so any identifier can be read.
    _VESK_DEVICE_PROPERTIES device{};
    device.DeviceId = 0x77;
    std::vector<uint32_t> list(1 + VESK_MAX_DEVICES, 0x1001);
    list[0] = 0xFFFFFFFF;
    json scenario = Scenario(1);
    scenario["raw"] = {{Id(vesk::IOCTL_VESK_GET_DEVICE_LIST), HexWords(list)},
                       {Id(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES), Hex(&device, sizeof device)}};
    Start(scenario);
    EXPECT_EQ(m_drv.LoadDevices(), 0u);
    EXPECT_EQ(m_drv.m_devices.GetSize(), 64);
    EXPECT_EQ(Requests(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES).size(), 64u);

    // Input half: a huge count, 256 identifiers 0x5000+k; output half: count 257.
    std::vector<uint32_t> channels;
    channels.push_back(0x80000000u);
    for (uint32_t k = 0; k < VESK_MAX_CHANNELS; ++k) channels.push_back(0x5000 + k);
    channels.push_back(VESK_MAX_CHANNELS + 1);
    for (uint32_t k = 0; k < VESK_MAX_CHANNELS; ++k) channels.push_back(0x6000 + k);
    _VESK_CHANNEL_PROPERTIES channel{};
    scenario["raw"] = {
        {Id(vesk::IOCTL_VESK_GET_CHANNEL_LIST), HexWords(channels)},
        {Id(vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES), Hex(&channel, sizeof channel)}};
    m_drv.Close();
    Start(scenario);
    EXPECT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), 0u);
    EXPECT_EQ(m_drv.m_inputChannels.GetSize(), 256);
    auto sent = Requests(vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES);
    ASSERT_EQ(sent.size(), 256u);
    // The last input identifier is the half's last entry, never the output half's count.
    EXPECT_EQ(sent.back().substr(0, 22), "0x80882980 in=ff500000");
    Sim().ClearTrace();
    EXPECT_EQ(m_drv.LoadChannels(m_drv.m_outputChannels, 1), 0u);
    EXPECT_EQ(m_drv.m_outputChannels.GetSize(), 256);
    sent = Requests(vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES);
    ASSERT_EQ(sent.size(), 256u);
    EXPECT_EQ(sent.front().substr(0, 22), "0x80882980 in=00600000");
    EXPECT_EQ(sent.back().substr(0, 22), "0x80882980 in=ff600000");
}

TEST_F(DrvTest, NamesWithoutAZeroByteStayInsideTheirFields) {
    const std::string letters(2 * sizeof(_VESK_DEVICE_PROPERTIES), '4');  // all bytes 0x44
    json scenario = Scenario(1);
    scenario["raw"] = {{Id(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES), letters},
                       {Id(vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES), letters.substr(0, 2 * 92)}};
    Start(scenario);
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    ASSERT_EQ(m_drv.m_devices.GetSize(), 1);
    EXPECT_EQ(vesk::FieldText(m_drv.m_devices[0]->DeviceName), std::string(40, 'D').c_str());
    EXPECT_EQ(vesk::FieldText(m_drv.m_devices[0]->SerialNumber).GetLength(), 384);
    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_outputChannels, 1), 0u);
    ASSERT_EQ(m_drv.m_outputChannels.GetSize(), 3);
    EXPECT_EQ(vesk::FieldText(m_drv.m_outputChannels[2]->ChannelName).GetLength(), 40);
}

TEST_F(DrvTest, APartialReplyLeavesZerosInTheRestOfTheRecord) {
    Start(Scenario(3));
    // Records read in full first: the short replies after them must not show their names.
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), 0u);
    json scenario = Scenario(3);
    scenario["raw"] = {{Id(vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES), "01100000"},
                       {Id(vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES), "0000000002100000"}};
    ASSERT_TRUE(Sim().LoadScenario(scenario.dump()));
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    ASSERT_EQ(m_drv.LoadChannels(m_drv.m_inputChannels, 0), 0u);
    ASSERT_EQ(m_drv.m_devices.GetSize(), 3);
    for (int i = 0; i < m_drv.m_devices.GetSize(); ++i) {
        const _VESK_DEVICE_PROPERTIES* device = m_drv.m_devices[i];
        EXPECT_EQ(device->DeviceId, 0x1001u);
        EXPECT_EQ(device->Rank, 0u);
        EXPECT_EQ(vesk::FieldText(device->DeviceName), "");
        EXPECT_EQ(vesk::FieldText(device->SerialNumber), "");
    }
    ASSERT_GT(m_drv.m_inputChannels.GetSize(), 0);
    EXPECT_EQ(m_drv.m_inputChannels[0]->DeviceId, 0x1002u);
    EXPECT_EQ(vesk::FieldText(m_drv.m_inputChannels[0]->HardwareName), "");
}

TEST_F(DrvTest, SaveDevicesSendsEveryRecordAndReportsTheFirstFailure) {
    Start(Scenario(2));
    EXPECT_EQ(m_drv.SaveDevices(), 0u);  // nothing loaded: nothing sent
    EXPECT_EQ(IoctlCount(), 0u);

    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    ASSERT_EQ(m_drv.m_devices.GetSize(), 2);
    m_drv.m_devices[0]->Rank = 1;
    m_drv.m_devices[1]->Rank = 0;
    vesk::CopyNameIntoField(m_drv.m_devices[1]->DeviceName, "Front");
    Sim().ClearTrace();
    ASSERT_TRUE(Sim().Execute("fail 0x80882924 0x1f 1"));
    EXPECT_EQ(m_drv.SaveDevices(), kDenied);
    const auto sent = Requests(vesk::IOCTL_VESK_SET_DEVICE_PROPERTIES);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], "0x80882924 in=" + Hex(m_drv.m_devices[0], 432) + " -> 0x0000001f out=");
    EXPECT_EQ(sent[1], "0x80882924 in=" + Hex(m_drv.m_devices[1], 432) + " -> 0x00000000 out=");

    // Only the second record reached the driver: both now rank 0, the first under its old name.
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    ASSERT_EQ(DeviceIds(m_drv.m_devices), (std::vector<uint32_t>{0x1001, 0x1002}));
    EXPECT_EQ(m_drv.m_devices[0]->Rank, 0u);
    EXPECT_EQ(vesk::FieldText(m_drv.m_devices[0]->DeviceName), "Device 1");
    EXPECT_EQ(m_drv.m_devices[1]->Rank, 0u);
    EXPECT_EQ(vesk::FieldText(m_drv.m_devices[1]->DeviceName), "Front");
}

TEST_F(DrvTest, SaveSyncModesSendsTheHeadOfEachRecord) {
    json scenario = Scenario(2);
    for (json& device : scenario["devices"])
        device["syncModes"] = {{"current", {{"syncType", 6}, {"modeId", 1}, {"modeName", ""}}},
                               {"modes",
                                {{{"syncType", 6}, {"modeId", 1}, {"modeName", ""}},
                                 {{"syncType", 4}, {"modeId", 3}, {"modeName", "S/PDIF"}}}}};
    Start(scenario);
    EXPECT_EQ(m_drv.SaveSyncModes(), 0u);
    EXPECT_EQ(IoctlCount(), 0u);

    ASSERT_EQ(m_drv.LoadSyncModes(), 0u);
    ASSERT_EQ(m_drv.m_syncModes.GetSize(), 2);
    _DEVICE_SYNC_MODE_INFO* second = m_drv.m_syncModes[1];
    ASSERT_EQ(second->ModeCount, 2u);
    second->CurrentMode = second->Modes[1];
    Sim().ClearTrace();
    EXPECT_EQ(m_drv.SaveSyncModes(), 0u);
    const auto sent = Requests(vesk::IOCTL_VESK_SET_DEVICE_SYNC_MODE);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], "0x80882904 in=011000000600000001000000 -> 0x00000000 out=");
    EXPECT_EQ(sent[1], "0x80882904 in=021000000400000003000000 -> 0x00000000 out=");
    ASSERT_EQ(m_drv.LoadSyncModes(), 0u);
    EXPECT_EQ(m_drv.m_syncModes[1]->CurrentMode.ModeId, 3u);

    // A refused mode fails its own request only; the others are still sent.
    m_drv.m_syncModes[0]->CurrentMode.ModeId = 99;
    Sim().ClearTrace();
    EXPECT_EQ(m_drv.SaveSyncModes(), 87u);
    EXPECT_EQ(Requests(vesk::IOCTL_VESK_SET_DEVICE_SYNC_MODE).size(), 2u);
}

TEST_F(DrvTest, FreeRecordsEmptiesAnArray) {
    Start(Scenario(2));
    ASSERT_EQ(m_drv.LoadDevices(), 0u);
    CDrv::FreeRecords(m_drv.m_devices);
    EXPECT_EQ(m_drv.m_devices.GetSize(), 0);
    EXPECT_EQ(m_drv.m_devices.Find(0), nullptr);
    // The model frees whatever it still holds when it goes (the leak checker watches this).
    CDrv other;
    ASSERT_EQ(other.Open(DEVICE_INTERFACE_NAME), 0u);
    ASSERT_EQ(other.LoadDevices(), 0u);
    ASSERT_EQ(other.LoadSyncModes(), 0u);
    ASSERT_EQ(other.LoadChannels(other.m_inputChannels, 0), 0u);
    ASSERT_EQ(other.LoadChannels(other.m_outputChannels, 1), 0u);
}

}  // namespace
