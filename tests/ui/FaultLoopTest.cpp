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

// Erases `member` of every element of the array `array` of `state` (both may be nested paths
// given as JSON pointers).
void EraseFromEach(json& state, const char* array, const char* member) {
    json& elements = state[json::json_pointer(array)];
    for (json& element : elements) element.erase(member);
}

// The state without the devices' members `member`.
std::function<void(json&)> DeviceMembers(std::vector<const char*> members) {
    return [members](json& state) {
        for (const char* member : members) EraseFromEach(state, "/devices", member);
    };
}

std::function<void(json&)> TopMembers(std::vector<const char*> members) {
    return [members](json& state) {
        for (const char* member : members) state.erase(member);
    };
}

std::function<void(json&)> Both(std::function<void(json&)> a, std::function<void(json&)> b) {
    return [a, b](json& state) {
        a(state);
        b(state);
    };
}

struct Action {
    const char* name;
    // Brings the page into the state the action starts from; its requests are not counted.
    std::function<void(CVESK_CPLView&)> prepare;
    // The user's action, with any dialog it opens answered.
    std::function<void(CVESK_CPLView&)> act;
    // Removes from a dump what the action may change.
    std::function<void(json&)> mayChange = [](json&) {};
};

void SelectPage(CVESK_CPLView& view, const char* item) {
    HWND tree = view.m_navigationTree.m_hWnd;
    ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(FindTreeItem(tree, item)));
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

void FailEachRequestInTurn(RunningPanel& panel, const Action& action) {
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

// Answers the next dialog: types `text` into the field `field` (if any) and presses OK.
void ClickAnswering(HWND page, int button, int field, const char* text) {
    ModalAnswerer answerer([&](HWND dialog) {
        if (field != 0) ::SetWindowTextA(::GetDlgItem(dialog, field), text);
        ClickButton(dialog, IDOK);
    });
    ClickButton(page, button);
}

void MoveSlider(HWND page, int id, int position) {
    HWND slider = ::GetDlgItem(page, id);
    ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
    ::SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                   reinterpret_cast<LPARAM>(slider));
    ::SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

class FaultLoop : public PanelTest {
  protected:
    void Run(const Action& action) {
        RunningPanel panel("");
        ASSERT_TRUE(panel.Started());
        FailEachRequestInTurn(panel, action);
    }
};

TEST_F(FaultLoop, Devices) {
    Run({"rename",
         [](CVESK_CPLView& view) {
             SelectPage(view, "Devices");
             view.m_pageDevices.m_deviceList.SelectRow(1);
         },
         [](CVESK_CPLView& view) {
             ClickAnswering(view.m_pageDevices.m_hWnd, IDC_DEVICE_EDIT_NAME, IDC_DEVICE_NAME_EDIT,
                            "Renamed");
         },
         DeviceMembers({"name"})});
    Run({"up and apply",
         [](CVESK_CPLView& view) {
             SelectPage(view, "Devices");
             view.m_pageDevices.m_deviceList.SelectRow(2);
         },
         [](CVESK_CPLView& view) {
             ClickButton(view.m_pageDevices.m_hWnd, IDC_DEVICE_UP);
             ClickButton(view.m_pageDevices.m_hWnd, IDC_DEVICE_APPLY);
         },
         DeviceMembers({"rank"})});
}

TEST_F(FaultLoop, Channels) {
    const auto channelNames = [](json& state) {
        for (json& device : state["devices"]) {
            EraseFromEach(device, "/inputs", "channelName");
            EraseFromEach(device, "/outputs", "channelName");
        }
    };
    Run({"rename",
         [](CVESK_CPLView& view) {
             SelectPage(view, "Input Channels");
             view.m_pageInputChannels.m_channelList.SelectRow(3);
         },
         [](CVESK_CPLView& view) {
             ClickAnswering(view.m_pageInputChannels.m_hWnd, IDC_CHANNEL_EDIT_NAME,
                            IDC_CHANNEL_NAME_EDIT, "Renamed");
         },
         channelNames});
    Run({"include device name", [](CVESK_CPLView& view) { SelectPage(view, "Output Channels"); },
         [](CVESK_CPLView& view) {
             ClickButton(view.m_pageOutputChannels.m_hWnd, IDC_CHANNEL_INCLUDE_DEVICE);
         },
         TopMembers({"asioNameIncludesDevice"})});
}

TEST_F(FaultLoop, Synchronisation) {
    const auto rateFields = Both(TopMembers({"sampleRate", "asioBufferDepth", "wdmBufferDepth"}),
                                 DeviceMembers({"streams"}));
    Run({"sampling rate",
         [](CVESK_CPLView& view) {
             SelectPage(view, "Synchronisation");
             CComboBox& combo = view.m_pageSynchronisation.m_sampleRateCombo;
             combo.SetCurSel(0);
             ::SendMessageA(view.m_pageSynchronisation.m_hWnd, WM_COMMAND,
                            MAKEWPARAM(IDC_SAMPLE_RATE_COMBO, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(combo.m_hWnd));
         },
         [](CVESK_CPLView& view) {
             ClickButton(view.m_pageSynchronisation.m_hWnd, IDC_RATE_APPLY);
         },
         rateFields});
    Run({"mode dialog and apply",
         [](CVESK_CPLView& view) {
             SelectPage(view, "Synchronisation");
             view.m_pageSynchronisation.m_syncList.SelectRow(1);
         },
         [](CVESK_CPLView& view) {
             HWND page = view.m_pageSynchronisation.m_hWnd;
             ClickAnswering(page, IDC_SYNC_CHANGE_MODE, 0, nullptr);
             ClickButton(page, IDC_RATE_MANUAL);
             ClickButton(page, IDC_SYNC_APPLY);
         },
         Both(TopMembers({"clockMaster", "sampleRateMode", "streaming", "events"}),
              DeviceMembers({"syncModes", "streams"}))});
}

TEST_F(FaultLoop, Settings) {
    const struct {
        const char* name;
        int slider, apply, position;
        const char* member;
    } sliders[] = {{"stream depth", IDC_STREAM_SLIDER, IDC_STREAM_APPLY, 20, "streamBufferDepth"},
                   {"ASIO depth", IDC_ASIO_SLIDER, IDC_ASIO_APPLY, 40, "asioBufferDepth"},
                   {"WDM depth", IDC_WDM_SLIDER, IDC_WDM_APPLY, 12, "wdmBufferDepth"}};
    // Applying the stream and WDM depths stops and restarts streaming: a failed restart leaves
    // it stopped.
    for (const auto& slider : sliders) {
        Run({slider.name,
             [slider](CVESK_CPLView& view) {
                 SelectPage(view, "Settings");
                 MoveSlider(view.m_pageAsioSettings.m_hWnd, slider.slider, slider.position);
             },
             [slider](CVESK_CPLView& view) {
                 EXPECT_TRUE(ClickButton(view.m_pageAsioSettings.m_hWnd, slider.apply));
             },
             Both(TopMembers({slider.member, "events", "streaming"}), DeviceMembers({"streams"}))});
    }
    Run({"statistics timer", [](CVESK_CPLView& view) { SelectPage(view, "Settings"); },
         [](CVESK_CPLView& view) {
             ::SendMessageA(view.m_pageAsioSettings.m_hWnd, WM_TIMER,
                            CDlgPgASIOSettings::STATISTICS_TIMER_ID, 0);
         }});
}

TEST_F(FaultLoop, DriverEventsAndAboutBox) {
    Run({"event drain", [](CVESK_CPLView&) {},
         [](CVESK_CPLView& view) {
             sim::Simulator::Instance().Execute("event 1");
             sim::Simulator::Instance().Execute("event 3");
             ::SendMessageA(view.m_hWnd, WM_DRIVER_EVENT, 0, 0);
         },
         TopMembers({"events"})});
    Run({"About box", [](CVESK_CPLView&) {},
         [](CVESK_CPLView& view) {
             ModalAnswerer answerer([](HWND about) { ClickButton(about, IDOK); });
             ::SendMessageA(::GetAncestor(view.m_hWnd, GA_ROOT), WM_COMMAND, ID_APP_ABOUT, 0);
         }});
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
