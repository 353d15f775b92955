// Every user action against a driver that fails each of the action's requests in turn: the
// N-th request fails once, and in a second pass every request from the N-th on, for N = 1, 2,
// ... until the action no longer gets that far. After each run the panel must be alive, must
// have left alone every driver field the action may not change, must show what the driver
// holds after a refresh, and must carry out the same action once the driver works again.
// (ctest label "fault"; a test per page.)
#include <nlohmann/json.hpp>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "PageActions.h"
#include "PageRequestTrace.h"
#include "PanelTestFixture.h"
#include "app/AppMessages.h"
#include "model/Drv.h"

namespace uitest {
namespace {

using json = nlohmann::json;

// A status without a text or a meaning of its own to the panel (ERROR_GEN_FAILURE).
constexpr uint32_t kFailure = 31;
constexpr char kGetEvent[] = "0x80882828";
constexpr char kNoMoreEvents[] = "0x00000103";

json DriverHolds() {
    return json::parse(sim::Simulator::Instance().DumpScenario());
}

// Devices in the order the driver lists them: by rank, ties in scenario order.
std::vector<json> DevicesByRank(const json& state) {
    std::vector<json> devices(state["devices"].begin(), state["devices"].end());
    std::stable_sort(devices.begin(), devices.end(), [](const json& a, const json& b) {
        return a["rank"].get<int64_t>() < b["rank"].get<int64_t>();
    });
    return devices;
}

// After a refresh the pages show what the driver holds: device names in list order, every
// channel's device and name, the device count and the current rate; or, while the panel has
// no connection, no devices.
void ExpectScreenShowsDriver(RunningPanel& panel) {
    CVESK_CPLView& view = *panel.View();
    view.RefreshAllPages();
    PumpPending();
    const json state = DriverHolds();
    std::vector<std::vector<std::string>> devices, inputs, outputs;
    // Without a connection (its opening failed) the panel shows no driver at all.
    const std::vector<json> listed = theDrv.IsOpen() ? DevicesByRank(state) : std::vector<json>();
    for (const json& device : listed) {
        const std::string name = device["name"];
        devices.push_back({name});
        for (const json& channel : device["inputs"])
            inputs.push_back({name, channel["channelName"]});
        for (const json& channel : device["outputs"])
            outputs.push_back({name, channel["channelName"]});
    }
    EXPECT_EQ(ListRows(view.m_pageDevices.m_deviceList.m_hWnd, 1), devices);
    EXPECT_EQ(ListRows(view.m_pageInputChannels.m_channelList.m_hWnd, 2), inputs);
    EXPECT_EQ(ListRows(view.m_pageOutputChannels.m_channelList.m_hWnd, 2), outputs);
    HWND bar = panel.Frame()->m_wndStatusBar.m_hWnd;
    EXPECT_EQ(PaneText(bar, 1), std::to_string(devices.size()) + " Device(s) connected.");
    if (!theDrv.IsOpen()) return;
    const uint32_t rate = state["sampleRate"]["currentRate"];
    char text[64];
    std::snprintf(text, sizeof text, "Current sampling rate: %u.%u kHz", rate / 1000,
                  rate % 1000 / 100);
    EXPECT_EQ(PaneText(bar, 2), text);
}

void ExpectAlive(RunningPanel& panel) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(::IsWindow(panel.FrameWindow()));
    ASSERT_NE(::SendMessageTimeoutA(panel.FrameWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                    kTimeLimitMs, &result),
              0);
}

// Runs `action` with each of its requests failing in turn, as the file's comment says.
// The checks after a run with faults: the faults cleared, the panel alive, no field written
// that the action may not change, and the pages showing what the driver holds.
void ExpectSoundAfterFault(RunningPanel& panel, json before,
                           const std::function<void(json&)>& mayChange) {
    ASSERT_TRUE(sim::Simulator::Instance().Execute("clear-faults"));
    ExpectAlive(panel);
    json after = DriverHolds();
    mayChange(before);
    mayChange(after);
    EXPECT_EQ(after, before) << "fields the action may not change were written";
    ExpectScreenShowsDriver(panel);
}

// Every request traced since the trace was cleared succeeded (draining the driver's events
// ends with the request that finds none left); there was at least one.
void ExpectAllSucceeded() {
    const std::vector<Request> requests = Requests();
    EXPECT_FALSE(requests.empty());
    for (const Request& request : requests) {
        if (request.code != kGetEvent || request.status != kNoMoreEvents) {
            EXPECT_EQ(request.status, "0x00000000") << request.code << " failed again";
        }
    }
}

int FailuresSoFar() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

void FailEachRequestInTurn(RunningPanel& panel, const PageAction& action) {
    sim::Simulator& simulator = sim::Simulator::Instance();
    const int failuresBefore = FailuresSoFar();
    CVESK_CPLView& view = *panel.View();
    for (const bool fromThenOn : {false, true}) {
        for (uint32_t n = 1;; ++n) {
            SCOPED_TRACE(std::string(action.name) + ": request " + std::to_string(n) +
                         (fromThenOn ? " and every later one fail" : " fails"));
            ASSERT_TRUE(simulator.LoadScenario(""));
            view.RefreshAllPages();
            PumpPending();
            action.prepare(view);
            PumpPending();
            json before = DriverHolds();
            simulator.ClearTrace();
            simulator.FailRequestsInTurn(n - 1, kFailure, fromThenOn ? -1 : 1);
            action.act(view);
            PumpPending();
            const size_t sent = Requests().size();
            ExpectSoundAfterFault(panel, before, action.mayChange);

            // Once the driver works again, so does the action, from where it began.
            ASSERT_TRUE(simulator.LoadScenario(""));
            view.RefreshAllPages();
            PumpPending();
            action.prepare(view);
            PumpPending();
            simulator.ClearTrace();
            action.act(view);
            PumpPending();
            ExpectAllSucceeded();
            // One failed run of an action says enough about it.
            if (FailuresSoFar() != failuresBefore || sent < n) {
                std::printf("%s: %u runs with %s\n", action.name, n,
                            fromThenOn ? "every request from the N-th on failing"
                                       : "the N-th request failing");
                break;
            }
        }
    }
}

class FaultLoop : public PanelTest {
  protected:
    // Every action of one group, each in a panel of its own.
    void RunPage(const char* page) {
        for (const PageAction& action : PageActions()) {
            if (std::string(action.page) != page) continue;
            RunningPanel panel("");
            ASSERT_TRUE(panel.Started());
            FailEachRequestInTurn(panel, action);
        }
    }
};

TEST_F(FaultLoop, Devices) {
    RunPage("Devices");
}

TEST_F(FaultLoop, Channels) {
    RunPage("Channels");
}

TEST_F(FaultLoop, Synchronisation) {
    RunPage("Synchronisation");
}

TEST_F(FaultLoop, Settings) {
    RunPage("Settings");
}

TEST_F(FaultLoop, DriverEventsAndAboutBox) {
    RunPage("Events and About box");
}

// Start-up, and the device interface's arrival at a panel that started without a driver.
TEST_F(FaultLoop, StartUpAndArrival) {
    sim::Simulator& simulator = sim::Simulator::Instance();
    const int failuresBefore = FailuresSoFar();
    for (const bool arrival : {false, true}) {
        for (const bool fromThenOn : {false, true}) {
            for (uint32_t n = 1;; ++n) {
                SCOPED_TRACE(std::string(arrival ? "arrival" : "start-up") + ": request " +
                             std::to_string(n) +
                             (fromThenOn ? " and every later one fail" : " fails"));
                const auto failInTurn = [&] {
                    simulator.ClearTrace();
                    simulator.FailRequestsInTurn(n - 1, kFailure, fromThenOn ? -1 : 1);
                };
                RunningPanel panel("", arrival ? R"({"loaded": false})" : "",
                                   arrival ? std::function<void()>() : failInTurn);
                ASSERT_TRUE(panel.Started());
                PumpPending();
                if (arrival) {
                    failInTurn();
                    ASSERT_TRUE(simulator.Execute("load"));
                    PumpPending();
                }
                const size_t sent = Requests().size();
                ExpectSoundAfterFault(panel, DriverHolds(),
                                      [](json& state) { state.erase("events"); });
                // Without a connection a new arrival connects; with one, a refresh reads all.
                simulator.ClearTrace();
                if (!theDrv.IsOpen()) {
                    ASSERT_TRUE(simulator.Execute("unload"));
                    ASSERT_TRUE(simulator.Execute("load"));
                } else {
                    panel.View()->RefreshAllPages();
                }
                PumpPending();
                ExpectAllSucceeded();
                if (FailuresSoFar() != failuresBefore || sent < n) {
                    std::printf("%s: %u runs\n", arrival ? "arrival" : "start-up", n);
                    break;
                }
            }
        }
    }
}

}  // namespace
}  // namespace uitest
