// The device model's part of the fault loops, natively (under the sanitizers in CI): each
// model operation the pages use, with each of its requests failing in turn (once, and every
// request from then on). The model must never hold more records than the driver's lists can
// name, must write back only what the operation may change, and must read the driver
// correctly once it works again. (ctest label "fault".)
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/Drv.h"
#include "model/TextField.h"
#include "sim/Simulator.h"

namespace {

using json = nlohmann::json;

constexpr uint32_t kFailure = 31;

sim::Simulator& Sim() {
    return sim::Simulator::Instance();
}

json DriverHolds() {
    return json::parse(Sim().DumpScenario());
}

size_t RequestsTraced() {
    size_t count = 0;
    for (const std::string& line : Sim().TraceLines()) count += line.rfind("ioctl ", 0) == 0;
    return count;
}

void ExpectWithinCapacity(CDrv& drv) {
    EXPECT_LE(drv.m_devices.GetSize(), static_cast<int>(VESK_MAX_DEVICES));
    EXPECT_LE(drv.m_syncModes.GetSize(), static_cast<int>(VESK_MAX_DEVICES));
    EXPECT_LE(drv.m_inputChannels.GetSize(), static_cast<int>(VESK_MAX_CHANNELS));
    EXPECT_LE(drv.m_outputChannels.GetSize(), static_cast<int>(VESK_MAX_CHANNELS));
}

void LoadAll(CDrv& drv) {
    drv.LoadDevices();
    drv.LoadSyncModes();
    drv.LoadChannels(drv.m_inputChannels, 0);
    drv.LoadChannels(drv.m_outputChannels, 1);
}

struct Operation {
    const char* name;
    std::function<void(CDrv&)> run;
    // The members of the dump (top level, or of every device) the operation may change.
    std::vector<const char*> topMembers, deviceMembers;
};

json Masked(json state, const Operation& operation) {
    for (const char* member : operation.topMembers) state.erase(member);
    for (json& device : state["devices"])
        for (const char* member : operation.deviceMembers) device.erase(member);
    return state;
}

class ModelFault : public ::testing::Test {
  protected:
    void SetUp() override { Sim().TraceToMemory(true); }
    void TearDown() override {
        m_drv.Close();
        Sim().TraceToMemory(false);
        Sim().LoadScenario("");
    }

    void FailEachRequestInTurn(const Operation& operation) {
        for (const bool fromThenOn : {false, true}) {
            for (uint32_t n = 1;; ++n) {
                SCOPED_TRACE(std::string(operation.name) + ": request " + std::to_string(n) +
                             (fromThenOn ? " and every later one fail" : " fails"));
                ASSERT_TRUE(Sim().LoadScenario(""));
                if (!m_drv.IsOpen()) {
                    ASSERT_EQ(m_drv.Open(DEVICE_INTERFACE_NAME), 0u);
                }
                LoadAll(m_drv);
                const json before = DriverHolds();
                Sim().ClearTrace();
                Sim().FailRequestsInTurn(n - 1, kFailure, fromThenOn ? -1 : 1);
                operation.run(m_drv);
                const size_t sent = RequestsTraced();
                ASSERT_TRUE(Sim().Execute("clear-faults"));
                ExpectWithinCapacity(m_drv);
                EXPECT_EQ(Masked(DriverHolds(), operation), Masked(before, operation));

                // Once the driver works again the model reads it whole.
                LoadAll(m_drv);
                const json state = DriverHolds();
                ASSERT_EQ(m_drv.m_devices.GetSize(), static_cast<int>(state["devices"].size()));
                for (int i = 0; i < m_drv.m_devices.GetSize(); ++i) {
                    bool found = false;
                    for (const json& device : state["devices"])
                        found = found || device["name"] ==
                                             vesk::FieldText(m_drv.m_devices[i]->DeviceName).str();
                    EXPECT_TRUE(found) << "device " << i;
                }
                if (HasFailure() || sent < n) {
                    std::printf("%s: %u runs\n", operation.name, n);
                    break;
                }
            }
        }
    }

    CDrv m_drv;
};

TEST_F(ModelFault, EveryModelOperationWithEachRequestFailingInTurn) {
    const Operation operations[] = {
        {"load everything", [](CDrv& drv) { LoadAll(drv); }, {}, {}},
        {"save the ranking",
         [](CDrv& drv) {
             if (drv.m_devices.GetSize() > 1) drv.m_devices[0]->Rank = 7;
             drv.SaveDevices();
         },
         {},
         {"rank"}},
        {"rename a device",
         [](CDrv& drv) {
             if (drv.m_devices.GetSize() == 0) return;
             vesk::CopyNameIntoField(drv.m_devices[1]->DeviceName, "Renamed");
             drv.SaveDevices();
         },
         {},
         {"name", "rank"}},
        {"rename a channel",
         [](CDrv& drv) {
             if (drv.m_inputChannels.GetSize() == 0) return;
             _VESK_CHANNEL_PROPERTIES edited = *drv.m_inputChannels[2];
             vesk::CopyNameIntoField(edited.ChannelName, "Renamed");
             drv.SetChannelProperties(&edited);
             drv.LoadChannels(drv.m_inputChannels, 0);
         },
         {},
         {"inputs"}},
        {"synchronisation apply",
         [](CDrv& drv) {
             if (drv.StopStreaming() != 0) return;
             drv.GetClockMaster(&drv.m_clockMaster);
             drv.SetClockMaster(&drv.m_clockMaster);
             drv.SetSampleRateMode(1);
             drv.SaveSyncModes();
             drv.StartStreaming();
             drv.LoadSyncModes();
         },
         {"clockMaster", "sampleRateMode", "streaming", "events"},
         {"syncModes", "streams"}},
        {"sampling rate",
         [](CDrv& drv) {
             if (drv.GetSampleRate(&drv.m_sampleRates) == 0) drv.SetSampleRate(44100);
             drv.GetSampleRate(&drv.m_sampleRates);
         },
         {"sampleRate", "asioBufferDepth", "wdmBufferDepth"},
         {"streams"}},
        {"buffer depths",
         [](CDrv& drv) {
             _VESK_STREAM_BUFFER_DEPTH stream{};
             if (drv.GetStreamBufferDepth(&stream) == 0) {
                 stream.Current += stream.Step;
                 drv.SetStreamBufferDepth(&stream);
             }
             _VESK_AUDIO_BUFFER_DEPTH asio{};
             if (drv.GetAsioBufferDepth(&asio) == 0) {
                 asio.Current += asio.Step;
                 drv.SetAsioBufferDepth(&asio);
             }
             _VESK_STATISTICS statistics{};
             drv.GetStatistics(&statistics);
         },
         {"streamBufferDepth", "asioBufferDepth", "events"},
         {}},
    };
    for (const Operation& operation : operations) FailEachRequestInTurn(operation);
}

}  // namespace
